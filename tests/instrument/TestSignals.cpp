// Readings of values the model rarely sends, from hand-made frames.
#include "InstrumentFixture.h"

#include <gtest/gtest.h>

TEST(Signals, ARateByteOfZeroIsTheLongestStepOf255Ticks) {
    // The ramp waits (rate - 1) mod 256 ticks of 10 ns, so the program's denominator of 255,
    // sent as 0, still means 255 ticks.
    TQvVirtualInstrument I;
    Feed(I, Join({Frame(0xF1), Frame32(0x04, 1000), Frame(0x00, 0x06, 0xA0, 0x02, 0x40),
                  Frame(0x08, 0, 0, 0, 0, 10), Frame(0x07, 1, 0, 0, 0, 10), Frame32(0x06, 1000000),
                  Frame(0x85, 0, 0, 50), Frame(0x86, 0, 0, 50), Frame(0x83)}));
    const double tick = 10e-9;
    EXPECT_NEAR(I.Sample(QGCN_A, 255 * tick - 1e-12).FrequencyHz, I.WordToHz(1000), 1e-9);
    EXPECT_NEAR(I.Sample(QGCN_A, 255 * tick + 1e-12).FrequencyHz, I.WordToHz(1010), 1e-9);
    EXPECT_NEAR(I.Sample(QGCN_A, 3 * 255 * tick + 1e-12).FrequencyHz, I.WordToHz(1030), 1e-9);
    // A rate byte of 1 waits no tick at all: the fall is a jump back to the bottom.
    EXPECT_NEAR(I.Sample(QGCN_A, 100e-6 + 1e-9).FrequencyHz, I.WordToHz(1000), 1e-9);
}

TEST(Signals, AmplitudeSaturatesAtSilenceAndFullScale) {
    struct TCase {
        std::uint16_t Word;
        double Percent;
    };
    // FF FF is what the program sends for an amplitude below a code: it is silence, not full
    // scale. Words beyond 14 bits are over-modulation and clip.
    const TCase cases[] = {{0xFFFF, 0.0}, {0x8000, 0.0},  {0, 100.0 / 16384},
                           {8191, 50.0},  {16383, 100.0}, {20000, 100.0}};
    for (const auto& c : cases) {
        TQvVirtualInstrument I;
        Feed(I, Join({Frame(0xF1), Frame16(0x02, c.Word)}));
        EXPECT_DOUBLE_EQ(I.Sample(QGCN_A, 0).AmplitudePercent, c.Percent) << c.Word;
    }
}
