// Internal modulation: property ranges, how many readings fit, the timer divider, the download
// and its failure.
#include "QvGen4Errors.h"
#include "QvModesTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using ::testing::ElementsAre;

TEST(IntModulation, SetterRanges) {
    using TSetter = std::function<void(TQvGen4IntModulation&, int)>;
    using TGetter = std::function<int(const TQvGen4IntModulation&)>;
    struct TCase {
        const char* Name;
        TSetter Set;
        TGetter Get;
        std::vector<int> Refused, Accepted;
    };
    const TCase cases[] = {
        {"Fm", &TQvGen4IntModulation::SetFm, &TQvGen4IntModulation::Fm, {0, 20001, -5}, {1, 20000}},
        {"dA", &TQvGen4IntModulation::SetdA, &TQvGen4IntModulation::dA, {101, -1}, {0, 100}},
        {"dF",
         &TQvGen4IntModulation::SetdF,
         &TQvGen4IntModulation::dF,
         {2000001, -1},
         {0, 2000000}},
        {"dPh", &TQvGen4IntModulation::SetdPh, &TQvGen4IntModulation::dPh, {181, -1}, {0, 180}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGenOnRecorder r;
        r.Gen->SetActive(true);
        int cycles = 0;
        r.Gen->AfterUpdate = [&](TQvGen4&) { ++cycles; };
        auto& im = r.Gen->ChA.IntModulation;
        const int before = c.Get(im);
        for (int v : c.Refused) {
            c.Set(im, v);
            EXPECT_EQ(c.Get(im), before) << v;
        }
        EXPECT_EQ(cycles, 0);
        for (int v : c.Accepted) {
            c.Set(im, v);
            EXPECT_EQ(c.Get(im), v);
        }
        EXPECT_EQ(cycles, 2);
    }
}

TEST(IntModulation, WaveformPropertiesUpdateTheMode) {
    TGenOnRecorder r;
    r.Gen->SetActive(true);
    int cycles = 0;
    r.Gen->AfterUpdate = [&](TQvGen4&) { ++cycles; };
    auto& im = r.Gen->ChA.IntModulation;
    EXPECT_EQ(im.CC(), 0.5);
    im.SetCC(1.5); // refused by the table, but the mode is still updated
    EXPECT_EQ(im.CC(), 0.5);
    EXPECT_EQ(cycles, 1);
    im.SetCC(0.5); // unchanged
    EXPECT_EQ(cycles, 1);
    im.SetCC(0.25);
    im.SetMathFuncType(QMFT_rect);
    im.SetMathFuncType(QMFT_rect);
    EXPECT_EQ(im.CC(), 0.25);
    EXPECT_EQ(im.MathFuncType(), QMFT_rect);
    EXPECT_EQ(cycles, 3);
}

TEST(IntModulation, ReadingsAndDivider) {
    struct TCase {
        std::uint32_t Fm;
        bool Whole, Freq;
        std::int32_t Count, Bytes;
        std::uint32_t La; // 0: divider overflow
    };
    const TCase cases[] = {
        {1000, true, true, 172, 688, 65021},   // timer-bound
        {1000, true, false, 307, 614, 65247},  //
        {1000, false, true, 86, 344, 64507},   // shared memory: half the readings
        {1000, false, false, 153, 306, 64957}, //
        {50, true, true, 2048, 8192, 64672},   // memory-bound
        {84, true, true, 2048, 8192, 65021},   // still memory-bound
        {85, true, true, 2032, 8128, 65023},   // timer-bound from here
        {20000, false, true, 4, 16, 64430},    {2, false, true, 1024, 4096, 22336},
        {1, false, true, 1024, 4096, 0}, // a reading would need more than 65536 ticks
        {1, true, false, 4096, 8192, 43936},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "Fm " << c.Fm << (c.Whole ? " whole" : " shared")
                                        << (c.Freq ? " freq" : " ampl"));
        TQvGen4 gen;
        auto& im = gen.ChA.IntModulation;
        im.SetFm(static_cast<std::int32_t>(c.Fm));
        im.SetType(c.Freq ? QGAFPms_freq : QGAFPms_ampl);
        im.CreateReadings(c.Whole);
        EXPECT_EQ(im.RdsCnt(), c.Count);
        EXPECT_EQ(im.RdsBytes(), c.Bytes);
        EXPECT_EQ(im.MathFunction().ReadingsMemorySize(), c.Bytes);
        const auto count = static_cast<std::uint32_t>(c.Count);
        if (c.La) {
            EXPECT_EQ(TQvGen4IntModulation::GetLa(c.Fm, c.Whole, c.Freq, count), c.La);
        } else {
            EXPECT_THROW(TQvGen4IntModulation::GetLa(c.Fm, c.Whole, c.Freq, count), EQvGen4Error);
        }
    }
    // A count of 0 stands for as many as Fm allows.
    EXPECT_EQ(TQvGen4IntModulation::GetLa(1000, true, true, 0), 65021u);
    // Limits of the reload value: 0xFF80 for one table, 0xFF00 when both are played.
    EXPECT_EQ(TQvGen4IntModulation::GetLa(1000, true, true, 696), 0xFF80u);
    EXPECT_THROW(TQvGen4IntModulation::GetLa(1000, true, true, 697), EQvGen4Error);
    EXPECT_EQ(TQvGen4IntModulation::GetLa(1000, false, true, 346), 0xFF00u);
    EXPECT_THROW(TQvGen4IntModulation::GetLa(1000, false, true, 347), EQvGen4Error);
}

TEST(IntModulation, RectangleThresholdOverTheTable) {
    TQvGen4 gen;
    auto& im = gen.ChA.IntModulation;
    im.SetMathFuncType(QMFT_rect);
    im.SetCC(0.25);
    im.CreateReadings(true); // 172 frequency words
    const auto& table = im.MathFunction();
    ASSERT_EQ(table.ReadingsMemorySize(), 688);
    const std::uint8_t* m = table.ReadingsMemory();
    int high = 0;
    for (int i = 0; i < 172; ++i) {
        const std::uint32_t w =
            std::uint32_t(m[4 * i]) << 24 | m[4 * i + 1] << 16 | m[4 * i + 2] << 8 | m[4 * i + 3];
        high += w == 0x00A3D709u + 1073u; // carrier word plus the 100 Hz swing
    }
    EXPECT_EQ(high, 43); // 172 x 0.25
}

TEST(IntModulation, DividerOverflowAfterTheDownload) {
    TGenOnRecorder r;
    PrepareModes(r, QGMdC_IntModulation, QGMdC_IntModulation);
    r.Gen->ChA.IntModulation.SetFm(1);
    try {
        r.Gen->SetAutoUpdate(true);
        ADD_FAILURE() << "no error";
    } catch (const EQvGen4Error& e) {
        EXPECT_STREQ(e.what(), "Переполнение делителя! (> FF80 или > FF00 )");
    }
    // Channel A's table went out; no start frame, nothing for channel B.
    EXPECT_THAT(Frames(r), ElementsAre("F0 00 00 00 00 00", "F1 00 00 00 00 00",
                                       "04 00 A3 D7 09 00", "02 3F FF 00 00 00",
                                       "05 00 00 00 00 00", "20 10 00 00 00 00", "block 4096"));
    EXPECT_EQ(r.Gen->ChA.IntModulation.La(), 0u) << "the divider keeps its former value";

    // The divider of a good download stays when a later one overflows.
    r.Gen->ChA.IntModulation.SetFm(2);
    EXPECT_EQ(r.Gen->ChA.IntModulation.La(), 22336u);
    EXPECT_THROW(r.Gen->ChA.IntModulation.SetFm(1), EQvGen4Error);
    EXPECT_EQ(r.Gen->ChA.IntModulation.La(), 22336u);
}

TEST(IntModulation, ChannelBAddressesItsBlock) {
    struct TCase {
        TQvGen4ModesCommon A;
        std::string Header;
    };
    // Alone from address 0 to 688; beside channel A from 4096 to 4096 + 344.
    const TCase cases[] = {{QGMdC_off, "21 00 00 02 B0 00"},
                           {QGMdC_IntModulation, "21 10 00 11 58 00"}};
    for (const auto& c : cases) {
        TGenOnRecorder r;
        PrepareModes(r, c.A, QGMdC_IntModulation);
        r.Gen->SetAutoUpdate(true);
        const auto lines = Frames(r);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), c.Header), 1) << int(c.A);
    }
}

TEST(IntModulation, StoredFrequencyOutOfRangeEndsInTheDividerError) {
    // Settings files store Fm unchecked; 0 or a negative value must not divide by zero.
    for (std::int32_t fm : {0, -5}) {
        SCOPED_TRACE(fm);
        TGenOnRecorder r;
        PrepareModes(r, QGMdC_IntModulation, QGMdC_off);
        auto stored = r.Gen->ChA.IntModulation.Stored();
        stored.Fm = fm;
        r.Gen->ChA.IntModulation.LoadStored(stored);
        EXPECT_THROW(r.Gen->SetAutoUpdate(true), EQvGen4Error);
        EXPECT_EQ(r.Gen->ChA.IntModulation.RdsCnt(), 0);
        EXPECT_EQ(Frames(r).back(), "20 00 00 00 00 00") << "no data block for an empty table";
    }
}
