// One command frame: the code byte and five parameter bytes, of which Length leading bytes are
// written. The constructor is the only place where the channel-B code remap is applied.
#pragma once

#include "QvGen4Types.h"

#include <array>
#include <cstdint>

struct TQvGen4Cmd {
    std::array<std::uint8_t, 6> Bytes{};
    std::int32_t Length = 6;
    TQvGen4ChNames Channel = QGCN_A;

    TQvGen4Cmd(TQvGen4ChNames Channel, std::uint8_t Code, std::uint8_t P1 = 0, std::uint8_t P2 = 0,
               std::uint8_t P3 = 0, std::uint8_t P4 = 0, std::uint8_t P5 = 0,
               std::uint8_t Length = 6);

    // A frame carrying a 32-bit value in bytes 1 to 4, most significant byte first.
    static TQvGen4Cmd With32(TQvGen4ChNames Channel, std::uint8_t Code, std::uint32_t Value);
    // A frame carrying a 16-bit value in bytes 1 and 2, most significant byte first.
    static TQvGen4Cmd With16(TQvGen4ChNames Channel, std::uint8_t Code, std::uint16_t Value);

    // The code a frame built for channel B carries instead of Code.
    static std::uint8_t RemapForChannelB(std::uint8_t Code);
};
