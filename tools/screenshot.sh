#!/bin/sh
# Starts the program on the virtual instrument under a virtual X display, connects, switches both
# outputs on and saves a picture of the main window as docs/screenshot.png.
# Usage: tools/screenshot.sh [build-dir]   (default: build; configured there if needed)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target qvvantor_screenshot
mkdir -p "$root/docs"
# A settings file of its own, so that the picture shows the program's defaults.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/ui/qvvantor_screenshot" "$work/"
xvfb-run -a -s "-screen 0 1024x768x24" \
    env QT_QPA_PLATFORM=xcb "$work/qvvantor_screenshot" "$root/docs/screenshot.png" --virtual
echo "saved $root/docs/screenshot.png"
