// Colours as the options and the INI file keep them: a 32-bit value 0x00BBGGRR for plain colours;
// values with the high byte set name system colours and are passed through untouched. Widgets
// convert at their edge.
#pragma once

#include <cstdint>

enum class TQvColor : std::int32_t {};

constexpr TQvColor QvColorFromRGB(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue) {
    return static_cast<TQvColor>(static_cast<std::int32_t>(Red) |
                                 static_cast<std::int32_t>(Green) << 8 |
                                 static_cast<std::int32_t>(Blue) << 16);
}

constexpr std::int32_t QvColorToInt(TQvColor Color) {
    return static_cast<std::int32_t>(Color);
}

constexpr std::uint8_t QvColorRed(TQvColor Color) {
    return static_cast<std::uint8_t>(QvColorToInt(Color) & 0xFF);
}
constexpr std::uint8_t QvColorGreen(TQvColor Color) {
    return static_cast<std::uint8_t>(QvColorToInt(Color) >> 8 & 0xFF);
}
constexpr std::uint8_t QvColorBlue(TQvColor Color) {
    return static_cast<std::uint8_t>(QvColorToInt(Color) >> 16 & 0xFF);
}

// A system colour (high byte set) has no RGB of its own; the widget layer looks it up.
constexpr bool QvColorIsSystem(TQvColor Color) {
    return (static_cast<std::uint32_t>(QvColorToInt(Color)) & 0xFF000000u) != 0;
}
