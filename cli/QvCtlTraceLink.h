// A link that passes everything on to another one and prints each write as it goes out: the bytes
// as one hexadecimal line, then the lines a decoder makes of them. Printing as the bytes go out
// keeps the trace complete up to a failure.
#pragma once

#include "QvGen4Link.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// The bytes as two-digit upper-case hexadecimal numbers separated by single spaces.
std::string QvCtlHexLine(const std::uint8_t* Data, std::size_t Count);

class TQvCtlTraceLink final : public TQvGen4Link {
public:
    // Decode gets the bytes that went out and returns the lines to print after them.
    using TDecode = std::function<std::vector<std::string>(const std::uint8_t*, std::uint32_t)>;

    TQvCtlTraceLink(std::unique_ptr<TQvGen4Link> Inner, std::ostream& Out, TDecode Decode);

    FT_STATUS Open() override { return FInner->Open(); }
    FT_STATUS Close() override { return FInner->Close(); }
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Written) override;
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override {
        return FInner->Read(Data, Count, Received);
    }

    TQvGen4Link& Inner() const { return *FInner; }

private:
    std::unique_ptr<TQvGen4Link> FInner;
    std::ostream& FOut;
    TDecode FDecode;
};
