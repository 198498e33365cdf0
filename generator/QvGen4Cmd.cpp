#include "QvGen4Cmd.h"

#include <algorithm>
#include <initializer_list>

namespace {

struct TRemapRule {
    std::initializer_list<std::uint8_t> Codes;
    std::uint8_t Offset;
};

// Applied in this order, each to what the rule before left; no result of one rule falls into a
// later rule's set, so every code changes at most once.
const TRemapRule RemapRules[] = {
    {{0x00, 0x02, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x40}, 0x10},
    {{0x20, 0x29, 0x30}, 0x01},
    {{0x87, 0x88, 0x8B, 0x97}, 0x02},
    {{0xF1, 0xF2}, 0x08},
    {{0x81, 0x82, 0x84}, 0x60},
};

} // namespace

std::uint8_t TQvGen4Cmd::RemapForChannelB(std::uint8_t Code) {
    for (const auto& rule : RemapRules) {
        if (std::find(rule.Codes.begin(), rule.Codes.end(), Code) != rule.Codes.end()) {
            Code = static_cast<std::uint8_t>(Code + rule.Offset);
        }
    }
    return Code;
}

TQvGen4Cmd::TQvGen4Cmd(TQvGen4ChNames Channel, std::uint8_t Code, std::uint8_t P1, std::uint8_t P2,
                       std::uint8_t P3, std::uint8_t P4, std::uint8_t P5, std::uint8_t Length)
    : Bytes{Channel == QGCN_B ? RemapForChannelB(Code) : Code, P1, P2, P3, P4, P5}, Length(Length),
      Channel(Channel) {}

TQvGen4Cmd TQvGen4Cmd::With32(TQvGen4ChNames Channel, std::uint8_t Code, std::uint32_t Value) {
    return TQvGen4Cmd(Channel, Code, static_cast<std::uint8_t>(Value >> 24),
                      static_cast<std::uint8_t>(Value >> 16), static_cast<std::uint8_t>(Value >> 8),
                      static_cast<std::uint8_t>(Value));
}

TQvGen4Cmd TQvGen4Cmd::With16(TQvGen4ChNames Channel, std::uint8_t Code, std::uint16_t Value) {
    return TQvGen4Cmd(Channel, Code, static_cast<std::uint8_t>(Value >> 8),
                      static_cast<std::uint8_t>(Value));
}
