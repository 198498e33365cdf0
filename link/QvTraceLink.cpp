#include "QvTraceLink.h"

std::string QvHexLine(const std::uint8_t* Data, std::size_t Count) {
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

TQvTraceLink::TQvTraceLink(std::unique_ptr<TQvGen4Link> Inner, TObserver Observer)
    : FInner(std::move(Inner)), FObserver(std::move(Observer)) {}

FT_STATUS TQvTraceLink::Write(const std::uint8_t* Data, std::uint32_t Count,
                              std::uint32_t& Written) {
    Written = 0;
    const FT_STATUS status = FInner->Write(Data, Count, Written);
    if (Written > 0 && FObserver) {
        FObserver(Data, Written);
    }
    return status;
}
