#include "QvCtlTraceLink.h"

#include <ostream>

std::string QvCtlHexLine(const std::uint8_t* Data, std::size_t Count) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(Count * 3);
    for (std::size_t i = 0; i < Count; ++i) {
        if (i) {
            out += ' ';
        }
        out += digits[Data[i] >> 4];
        out += digits[Data[i] & 0x0F];
    }
    return out;
}

TQvCtlTraceLink::TQvCtlTraceLink(std::unique_ptr<TQvGen4Link> Inner, std::ostream& Out,
                                 TDecode Decode)
    : FInner(std::move(Inner)), FOut(Out), FDecode(std::move(Decode)) {}

FT_STATUS TQvCtlTraceLink::Write(const std::uint8_t* Data, std::uint32_t Count,
                                 std::uint32_t& Written) {
    Written = 0;
    const FT_STATUS status = FInner->Write(Data, Count, Written);
    // Only what reached the device is shown; a write that failed outright shows nothing.
    if (Written > 0) {
        FOut << QvCtlHexLine(Data, Written) << '\n';
        if (FDecode) {
            for (const auto& line : FDecode(Data, Written)) {
                FOut << line << '\n';
            }
        }
        FOut.flush();
    }
    return status;
}
