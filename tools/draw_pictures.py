#!/usr/bin/env python3
"""Draws the program's icons and pictures (resources/icons, resources/pictures) as PNG files.

Everything is built from a few shapes with 4x4 supersampling; no image library is needed.
Run from the repository root: python3 tools/draw_pictures.py
"""
import math
import os
import struct
import zlib

SS = 4  # subsamples per pixel side


def png(path, w, h, pixels):
    raw = b"".join(b"\x00" + bytes(c for px in pixels[y * w:(y + 1) * w] for c in px)
                   for y in range(h))

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(
            ">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def render(w, h, layers):
    """layers: list of (inside(x, y) -> bool, (r, g, b, a)) painted in order."""
    out = []
    for py in range(h):
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    c = [0.0, 0.0, 0.0, 0.0]
                    for inside, (r, g, b, a) in layers:
                        if inside(x, y):
                            al = a / 255.0
                            c = [r * al + c[0] * (1 - al), g * al + c[1] * (1 - al),
                                 b * al + c[2] * (1 - al), al + c[3] * (1 - al)]
                    for i in range(4):
                        acc[i] += c[i]
            n = SS * SS
            a = acc[3] / n
            if a <= 0:
                out.append((0, 0, 0, 0))
            else:
                out.append(tuple(int(round(acc[i] / n / a)) for i in range(3)) +
                           (int(round(a * 255)),))
    return out


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r1, r2, a0=0.0, a1=360.0):
    def f(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r1 <= d <= r2):
            return False
        ang = math.degrees(math.atan2(-(y - cy), x - cx)) % 360
        return a0 <= ang <= a1 if a0 <= a1 else (ang >= a0 or ang <= a1)
    return f


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rrect(x0, y0, x1, y1, r):
    def f(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return f


def poly(points):
    def f(x, y):
        inside = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                inside = not inside
        return inside
    return f


def wave(x0, x1, cy, amp, periods, width, phase=0.0):
    def f(x, y):
        if not (x0 <= x <= x1):
            return False
        t = (x - x0) / (x1 - x0)
        yy = cy - amp * math.sin(2 * math.pi * periods * t + phase)
        slope = amp * 2 * math.pi * periods / (x1 - x0) * math.cos(2 * math.pi * periods * t + phase)
        return abs(y - yy) <= width / 2 * math.sqrt(1 + slope * slope)
    return f


GREY = (90, 90, 90, 255)
DARK = (40, 40, 40, 255)
GREEN = (30, 150, 50, 255)
RED = (200, 40, 40, 255)
BLUE = (40, 70, 190, 255)
WHITE = (255, 255, 255, 255)


def plug_halves(gap):
    # A cable end with two pins on the left, a socket on the right.
    left = 9 - gap
    right = 9 + gap
    return [
        (rect(1, 8, left - 4, 10), GREY),
        (rrect(left - 5, 5, left - 1, 13, 1.5), DARK),
        (rect(left - 1, 6.5, left + 1.5, 7.8), DARK),
        (rect(left - 1, 10.2, left + 1.5, 11.5), DARK),
        (rrect(right, 5, right + 4, 13, 1.5), DARK),
        (rect(right + 4, 8, 17, 10), GREY),
    ]


def icons(folder):
    png(os.path.join(folder, "connect.png"), 18, 18,
        render(18, 18, plug_halves(0) + [(circle(14.5, 3.5, 2.6), GREEN)]))
    png(os.path.join(folder, "disconnect.png"), 18, 18,
        render(18, 18, plug_halves(2.5) + [(poly([(12, 1), (13.5, 1), (17, 5.5), (15.5, 5.5)]), RED),
                                           (poly([(15.5, 1), (17, 1), (13.5, 5.5), (12, 5.5)]), RED)]))
    teeth = []
    for k in range(8):
        a = math.radians(k * 45)
        ca, sa = math.cos(a), math.sin(a)
        pts = []
        for (u, v) in [(-1.3, 4.5), (1.3, 4.5), (1.3, 8.3), (-1.3, 8.3)]:
            pts.append((9 + u * ca - v * sa, 9 + u * sa + v * ca))
        teeth.append((poly(pts), GREY))
    # The hole in the middle is cut out of the alpha channel.
    gear = render(18, 18, teeth + [(circle(9, 9, 5.8), GREY)])
    hole = render(18, 18, [(circle(9, 9, 2.4), WHITE)])
    gear = [(r, g, b, max(0, a - h[3])) for (r, g, b, a), h in zip(gear, hole)]
    png(os.path.join(folder, "options.png"), 18, 18, gear)
    png(os.path.join(folder, "update.png"), 18, 18,
        render(18, 18, [(ring(9, 9, 4.3, 7, 40, 330), GREEN),
                        (poly([(11.5, 1.0), (17.5, 4.5), (11.0, 8.5)]), GREEN)]))


def pictures(folder):
    w, h = 83, 28
    png(os.path.join(folder, "logo.png"), w, h,
        render(w, h, [(rrect(0.5, 0.5, w - 0.5, h - 0.5, 5), BLUE),
                      (wave(5, w - 5, h / 2, 8, 2.0, 2.4), WHITE),
                      (wave(5, w - 5, h / 2, 4, 4.0, 1.4, 1.0), (255, 200, 200, 230))]))
    w, h = 150, 104
    layers = [
        (rrect(2, 6, 148, 98, 6), (200, 200, 205, 255)),
        (rrect(4, 8, 146, 96, 5), (225, 225, 230, 255)),
        (rrect(10, 14, 96, 62, 3), (20, 40, 30, 255)),
        (wave(14, 92, 28, 9, 2.0, 1.8), (255, 140, 140, 255)),
        (wave(14, 92, 48, 9, 3.0, 1.8), (150, 170, 255, 255)),
        (circle(120, 30, 13), (80, 80, 85, 255)),
        (circle(120, 30, 10), (120, 120, 125, 255)),
        (rect(119, 20, 121, 28), WHITE),
        (rrect(104, 52, 136, 60, 2), (70, 160, 80, 255)),
        (circle(30, 80, 8), (190, 160, 60, 255)),
        (circle(30, 80, 4), DARK),
        (circle(70, 80, 8), (190, 160, 60, 255)),
        (circle(70, 80, 4), DARK),
        (rect(24, 68, 36, 69.5), RED),
        (rect(64, 68, 76, 69.5), BLUE),
        (rrect(104, 72, 140, 88, 2), (160, 160, 165, 255)),
    ]
    png(os.path.join(folder, "about.png"), w, h, render(w, h, layers))


if __name__ == "__main__":
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    icons(os.path.join(root, "icons"))
    pictures(os.path.join(root, "pictures"))
