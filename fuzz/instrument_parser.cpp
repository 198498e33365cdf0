// Arbitrary bytes into the virtual instrument: it must neither crash nor depend on how the bytes
// are split into writes. The first byte chooses the size of the writes.
#include "QvVirtualInstrument.h"

#include <cstdint>
#include <cstdlib>

namespace {

void FeedIn(TQvVirtualInstrument& I, const std::uint8_t* Data, std::size_t Size,
            std::size_t Chunk) {
    I.Open();
    for (std::size_t i = 0; i < Size; i += Chunk) {
        const auto n = static_cast<std::uint32_t>(Size - i < Chunk ? Size - i : Chunk);
        std::uint32_t written = 0;
        I.Write(Data + i, n, written);
        if (i % 7 == 0) { // the host may read at any time
            std::uint8_t answer[4];
            std::uint32_t got = 0;
            I.Read(answer, 4, got);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 1) {
        return 0;
    }
    const std::size_t chunk = Data[0] % 16 + 1;
    ++Data;
    --Size;

    TQvVirtualInstrument whole;
    TQvVirtualInstrument pieces;
    FeedIn(whole, Data, Size, Size ? Size : 1);
    FeedIn(pieces, Data, Size, chunk);
    if (whole.SnapshotJson() != pieces.SnapshotJson() ||
        whole.MonitorText() != pieces.MonitorText()) {
        std::abort();
    }

    // Whatever the state, rendering, the ADC answer and the snapshot must hold.
    for (const TQvGen4ChNames out : {QGCN_A, QGCN_B}) {
        for (const double t : {0.0, 1e-6, 3.3e-4, 0.25, 1.0}) {
            (void)pieces.Sample(out, t);
        }
    }
    (void)pieces.AdcAnswer();
    (void)pieces.SnapshotJson();
    return 0;
}
