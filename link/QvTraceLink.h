// A link that passes everything on to another one and shows each write to an observer once it has
// gone out. The program's command log, the tool's --trace and tests all watch the wire through it.
#pragma once

#include "QvGen4Link.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The bytes as two-digit upper-case hexadecimal numbers separated by single spaces: the one-line
// form of a write in logs, traces and frame dumps.
std::string QvHexLine(const std::uint8_t* Data, std::size_t Count);

class TQvTraceLink final : public TQvGen4Link {
public:
    // Sees only the bytes the device took; a write that failed outright shows nothing.
    using TObserver = std::function<void(const std::uint8_t* Data, std::uint32_t Count)>;

    TQvTraceLink(std::unique_ptr<TQvGen4Link> Inner, TObserver Observer);

    FT_STATUS Open() override { return FInner->Open(); }
    FT_STATUS Close() override { return FInner->Close(); }
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Written) override;
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override {
        return FInner->Read(Data, Count, Received);
    }

    TQvGen4Link& Inner() const { return *FInner; }

private:
    std::unique_ptr<TQvGen4Link> FInner;
    TObserver FObserver;
};
