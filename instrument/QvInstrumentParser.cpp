#include "QvInstrumentParser.h"

#include "QvGen4Cmd.h"

namespace {

// Every frame the program may send, as built for channel A.
constexpr TQvGen4Commands KnownCodes[] = {
    QGC_Control,          QGC_Amplitude,    QGC_Frequency,       QGC_Phase,
    QGC_SweepTop,         QGC_Ramp0,        QGC_Ramp1,           QGC_Symbol2,
    QGC_Symbol3,          QGC_TableHeader,  QGC_CentreValue,     QGC_DDSMemHeader,
    QGC_SymbolSelect,     QGC_UpdateDDSs,   QGC_NoUpdateDDSs,    QGC_TuneFreq,
    QGC_TuneAmpl,         QGC_SweepStart,   QGC_TunePhase,       QGC_SweepRise,
    QGC_SweepFall,        QGC_IntModStart,  QGC_IntModStop,      QGC_ExtModStart,
    QGC_ExtModDouble,     QGC_ExtModA12,    QGC_IntModDoubleCmd, QGC_IntModDoubleStart,
    QGC_IntModDoubleStop, QGC_IntModDuplex, QGC_ExtModDuplex,    QGC_FreqScale,
    QGC_ExtTimes,         QGC_Reset,        QGC_OutputOn,        QGC_OutputOff,
    QGC_ADCQuery,
};

// Received code -> frame. The channel-B codes come from the frame record's own remap, so the two
// sides cannot drift apart.
struct TCodeTable {
    std::array<std::optional<TQvFrameCode>, 256> Codes{};
    TCodeTable() {
        for (const TQvGen4Commands base : KnownCodes) {
            const std::uint8_t b = TQvGen4Cmd::RemapForChannelB(base);
            if (b == base) {
                Codes[base] = TQvFrameCode{base, std::nullopt};
            } else {
                Codes[base] = TQvFrameCode{base, QGCN_A};
                Codes[b] = TQvFrameCode{base, QGCN_B};
            }
        }
        // The sum start frame keeps its code on either channel; it always sets up output A.
        Codes[QGC_ExtModA12] = TQvFrameCode{QGC_ExtModA12, QGCN_A};
    }
};

const TCodeTable& Table() {
    static const TCodeTable table;
    return table;
}

} // namespace

std::optional<TQvFrameCode> QvDecodeCode(std::uint8_t Code) {
    return Table().Codes[Code];
}

bool TQvFrameParser::IsBlockHeader(std::uint8_t Code) {
    return Code == 0x20 || Code == 0x21 || Code == 0x30 || Code == 0x31;
}

std::optional<std::size_t> TQvFrameParser::BlockLength(const std::array<std::uint8_t, 6>& Header) {
    const auto u16 = [&](int i) { return std::size_t{Header[i]} << 8 | Header[i + 1]; };
    switch (Header[0]) {
    case 0x20: // size
    case 0x30:
    case 0x31:
        return u16(1);
    case 0x21: { // start and end offsets
        const std::size_t start = u16(1);
        const std::size_t end = u16(3);
        if (end < start) {
            return std::nullopt;
        }
        return end - start;
    }
    default:
        return std::nullopt;
    }
}

std::size_t TQvFrameParser::Feed(const std::uint8_t* Data, std::size_t Count, const TSink& Sink) {
    std::size_t taken = 0;
    while (taken < Count) {
        if (FBlockLeft) {
            const std::size_t n = std::min(FBlockLeft, Count - taken);
            FBlock.insert(FBlock.end(), Data + taken, Data + taken + n);
            taken += n;
            FOffset += n;
            FBlockLeft -= n;
            if (!FBlockLeft) {
                TQvStreamItem item;
                item.Kind = TQvStreamItem::Block;
                item.Offset = FItemOffset;
                item.Header = FHeader;
                item.Bytes = std::move(FBlock);
                FBlock.clear();
                if (!Sink(item)) {
                    return taken;
                }
            }
            continue;
        }
        const std::uint8_t byte = Data[taken++];
        if (FFrame.empty()) {
            FItemOffset = FOffset;
            // An unknown code is still taken as a six-byte frame: every frame but the ADC
            // query has six bytes, so that is where the next frame most likely starts.
            FFrameLength = byte == QGC_ADCQuery ? 1 : 6;
        }
        ++FOffset;
        FFrame.push_back(byte);
        if (FFrame.size() < FFrameLength) {
            continue;
        }
        TQvStreamItem item;
        item.Offset = FItemOffset;
        item.Bytes = std::move(FFrame);
        FFrame.clear();
        std::copy(item.Bytes.begin(), item.Bytes.end(), item.Header.begin());
        item.Kind = QvDecodeCode(item.Bytes[0]) ? TQvStreamItem::Frame : TQvStreamItem::UnknownCode;
        bool announcesBlock = false;
        if (item.Kind == TQvStreamItem::Frame && IsBlockHeader(item.Bytes[0])) {
            if (const auto length = BlockLength(item.Header)) {
                announcesBlock = true;
                FHeader = item.Header;
                FBlockLeft = *length;
            } else {
                item.Kind = TQvStreamItem::BadHeader;
            }
        }
        if (!Sink(item)) {
            return taken;
        }
        if (announcesBlock && !FBlockLeft) {
            // An empty block ends with its header.
            TQvStreamItem block;
            block.Kind = TQvStreamItem::Block;
            block.Offset = FItemOffset;
            block.Header = FHeader;
            if (!Sink(block)) {
                return taken;
            }
        }
    }
    return taken;
}

std::vector<std::uint8_t> TQvFrameParser::Discard() {
    std::vector<std::uint8_t> lost;
    if (FBlockLeft) {
        lost.assign(FHeader.begin(), FHeader.end());
        lost.insert(lost.end(), FBlock.begin(), FBlock.end());
    } else {
        lost = FFrame;
    }
    FFrame.clear();
    FBlock.clear();
    FBlockLeft = 0;
    return lost;
}
