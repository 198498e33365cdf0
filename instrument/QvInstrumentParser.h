// The instrument's side of the byte stream: splits it into command frames and data blocks the way
// its microcontroller reads it, whatever the host's write calls were. A code byte starts a frame;
// the ADC query is one byte, every other frame six; after a table or synthesizer-memory header the
// announced number of bytes is a data block.
#pragma once

#include "QvGen4Types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A command code as received: which frame it is (its channel-A code) and for which output.
struct TQvFrameCode {
    TQvGen4Commands Base;
    std::optional<TQvGen4ChNames> Output; // empty for frames that concern the whole instrument
};

// Decodes a received code byte; empty for a code the instrument does not know.
std::optional<TQvFrameCode> QvDecodeCode(std::uint8_t Code);

struct TQvStreamItem {
    enum TKind : std::uint8_t {
        Frame,       // Bytes holds the frame (1 or 6 bytes)
        Block,       // Header holds the header frame, Bytes the data block
        UnknownCode, // Bytes holds the six bytes taken as the unknown frame
        BadHeader,   // Header announces a block with an end before its start; no block follows
    };
    TKind Kind = Frame;
    std::uint64_t Offset = 0; // position of the item's first byte in the stream
    std::array<std::uint8_t, 6> Header{};
    std::vector<std::uint8_t> Bytes;
};

class TQvFrameParser {
public:
    // Returns false to stop taking bytes after this item.
    using TSink = std::function<bool(const TQvStreamItem&)>;

    // Takes bytes until they run out or the sink asks to stop; returns how many it took.
    std::size_t Feed(const std::uint8_t* Data, std::size_t Count, const TSink& Sink);
    // Drops a frame or block that has begun but not ended; returns its bytes.
    std::vector<std::uint8_t> Discard();
    bool Idle() const { return FFrame.empty() && !FBlockLeft; }
    std::uint64_t Offset() const { return FOffset; }

    // Length of the data block announced by a header frame; empty when the header is not one or
    // announces an end before its start.
    static std::optional<std::size_t> BlockLength(const std::array<std::uint8_t, 6>& Header);
    static bool IsBlockHeader(std::uint8_t Code);

private:
    std::vector<std::uint8_t> FFrame;
    std::size_t FFrameLength = 0;
    std::array<std::uint8_t, 6> FHeader{};
    std::size_t FBlockLeft = 0;
    std::vector<std::uint8_t> FBlock;
    std::uint64_t FOffset = 0;
    std::uint64_t FItemOffset = 0;
};
