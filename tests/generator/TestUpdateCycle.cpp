// The update cycle for the sine carrier, the carrier setters and their checks.
#include "QvGen4Fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

// Open, with the given modes, and the writes of activation forgotten.
void Prepare(TGenOnRecorder& R, TQvGen4ModesCommon A, TQvGen4ModesCommon B) {
    R.Gen->SetAutoUpdate(false);
    R.Gen->ChA.SetMode(A);
    R.Gen->ChB.SetMode(B);
    R.Gen->SetActive(true);
    R.Link->ClearWrites();
}

} // namespace

TEST(UpdateCycle, SineFramesForEachChannelCombination) {
    struct TCase {
        TQvGen4ModesCommon A, B;
        std::vector<std::string> Lines;
    };
    const std::string F0 = "F0 00 00 00 00 00", Up = "7F 00 00 00 00 00";
    const std::vector<std::string> carrierA = {"F1 00 00 00 00 00", "04 00 A3 D7 09 00",
                                               "02 3F FF 00 00 00", "05 00 00 00 00 00"};
    const std::vector<std::string> carrierB = {"F9 00 00 00 00 00", "14 00 A3 D7 09 00",
                                               "12 3F FF 00 00 00", "15 00 00 00 00 00"};
    auto join = [&](std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> out;
        for (const auto& p : parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    const TCase cases[] = {
        {QGMdC_gen, QGMdC_gen, join({{F0}, carrierA, carrierB, {Up}})},
        {QGMdC_gen, QGMdC_off, join({{F0}, carrierA, {Up}})},
        {QGMdC_off, QGMdC_gen, join({{F0}, carrierB, {Up}})},
        {QGMdC_off, QGMdC_off, {F0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.A) << "/" << int(c.B));
        TGenOnRecorder r;
        Prepare(r, c.A, c.B);
        int after = 0;
        r.Gen->AfterUpdate = [&](TQvGen4&) { ++after; };
        r.Gen->SetAutoUpdate(true);
        EXPECT_THAT(r.Lines(), ElementsAreArray(c.Lines));
        EXPECT_EQ(after, 1);
    }
}

TEST(UpdateCycle, ExternalReferenceSendsTheMultiplierAfterTheReset) {
    TGenOnRecorder r;
    Prepare(r, QGMdC_gen, QGMdC_off);
    r.Gen->SetUseExtRefFreq(true); // AutoUpdate off: no cycle yet
    r.Gen->SetRefFreq(20);
    r.Gen->SetFreqScale(10); // 200 MHz: the 1000 kHz word doubles
    EXPECT_TRUE(r.Link->Writes().empty());
    r.Gen->SetAutoUpdate(true);
    EXPECT_THAT(r.Lines(),
                ElementsAre("F0 00 00 00 00 00", "E5 0A 00 00 00 00", "F1 00 00 00 00 00",
                            "04 01 47 AE 13 00", "02 3F FF 00 00 00", "05 00 00 00 00 00",
                            "7F 00 00 00 00 00"));
}

TEST(UpdateCycle, ActivationProgramsTheInstrumentOnlyWithAutoUpdate) {
    TGenOnRecorder r;
    r.Gen->ChA.SetMode(QGMdC_gen); // inactive: stored only
    EXPECT_TRUE(r.Link->Writes().empty());
    r.Gen->SetActive(true);
    EXPECT_EQ(r.Link->Writes().size(), 6u);

    TGenOnRecorder quiet;
    quiet.Gen->SetAutoUpdate(false);
    quiet.Gen->ChA.SetMode(QGMdC_gen);
    quiet.Gen->SetActive(true);
    EXPECT_TRUE(quiet.Link->Writes().empty());
    quiet.Gen->ChA.Set_sinFrequency(2000);
    EXPECT_TRUE(quiet.Link->Writes().empty());
    quiet.Gen->SetAutoUpdate(true);
    EXPECT_EQ(quiet.Link->Writes().size(), 6u);
}

TEST(UpdateCycle, EveryAcceptedChangeRunsOneCycle) {
    TGenOnRecorder r;
    Prepare(r, QGMdC_gen, QGMdC_off);
    r.Gen->SetAutoUpdate(true);
    int cycles = 0;
    r.Gen->AfterUpdate = [&](TQvGen4&) { ++cycles; };
    r.Gen->ChA.Set_sinFrequency(2500);
    r.Gen->ChA.Set_sinFrequency(2500); // unchanged
    r.Gen->ChA.Set_sinAmplitude(50);
    r.Gen->ChA.SetPhase(90);
    r.Gen->ChA.Set_sinAmplitude(0); // refused
    EXPECT_EQ(cycles, 3);
}

TEST(UpdateCycle, AFrameFailureEndsTheCycleWithoutAfterUpdate) {
    TGenOnRecorder r;
    Prepare(r, QGMdC_gen, QGMdC_gen);
    int after = 0;
    r.Gen->AfterUpdate = [&](TQvGen4&) { ++after; };
    r.Link->FailWrite(6, FT_IO_ERROR); // F0, A's four frames, F9, then B's frequency frame
    EXPECT_ANY_THROW(r.Gen->SetAutoUpdate(true));
    EXPECT_EQ(after, 0);
    EXPECT_EQ(r.Gen->ChB.Frequency(), 1000);
    EXPECT_EQ(r.Link->Writes().size(), 7u);
}

TEST(CarrierSetters, RangesAndReports) {
    TGenOnRecorder r;
    std::vector<std::pair<int, double>> refused;
    r.Gen->OnParamValueError = [&](TQvGen4Channel& ch, TQvGen4Parameters p, const double& v) {
        EXPECT_EQ(&ch, &r.Gen->ChB);
        refused.emplace_back(p, v);
    };
    auto& ch = r.Gen->ChB;
    ch.Set_sinFrequency(399.999);
    ch.Set_sinFrequency(200000.001);
    EXPECT_EQ(ch.Frequency(), 1000);
    ch.Set_sinFrequency(400);
    EXPECT_EQ(ch.Frequency(), 400);
    ch.Set_sinFrequency(200000);
    EXPECT_EQ(ch.Frequency(), 200000);

    ch.SetPhase(360);
    ch.SetPhase(-0.001);
    ch.SetPhase(359.999);
    EXPECT_EQ(ch.Phase(), 359.999);
    ch.SetPhase(0);
    EXPECT_EQ(ch.Phase(), 0);

    ch.Set_sinAmplitude(0);
    ch.Set_sinAmplitude(100.5);
    EXPECT_EQ(ch.Amplitude(), 100);
    ch.Set_sinAmplitude(0.01);
    ch.Set_sinAmplitude(100);
    EXPECT_EQ(ch.Amplitude(), 100);

    EXPECT_THAT(refused,
                ElementsAre(std::pair<int, double>{2, 399.999},
                            std::pair<int, double>{2, 200000.001}, std::pair<int, double>{3, 360},
                            std::pair<int, double>{3, -0.001}));
}

TEST(CarrierSetters, FrequencyRaisesTheSweepTop) {
    TQvGen4 gen;
    EXPECT_EQ(gen.ChA.LFM.FreqTop(), 0) << "sub-objects exist before the carrier";
    gen.ChA.Set_sinFrequency(5000.7);
    EXPECT_EQ(gen.ChA.LFM.FreqTop(), 5000);
    gen.ChA.Set_sinFrequency(3000);
    EXPECT_EQ(gen.ChA.LFM.FreqTop(), 5000);
}

TEST(CarrierSetters, QuietestLevelIsNotSentAsFullScale) {
    TGenOnRecorder r;
    Prepare(r, QGMdC_gen, QGMdC_off);
    r.Gen->ChA.Set_sinAmplitude(0.001); // below -90.3 dB
    r.Gen->SetAutoUpdate(true);
    ASSERT_GE(r.Lines().size(), 4u);
    EXPECT_EQ(r.Lines()[3], "02 00 00 00 00 00");
}

TEST(Options, DuplexSwitchUpdatesOnlyWithBothChannelsInInternalModulation) {
    TGenOnRecorder r;
    Prepare(r, QGMdC_IntModulation, QGMdC_gen);
    r.Gen->SetAutoUpdate(true);
    int cycles = 0;
    r.Gen->AfterUpdate = [&](TQvGen4&) { ++cycles; };
    r.Gen->Options.SetEnableDuplexIntMod(true);
    EXPECT_EQ(cycles, 0);
    EXPECT_TRUE(r.Gen->Options.EnableDuplexIntMod());
}

TEST(Generator, DestructionResetsAndCloses) {
    auto link = std::make_unique<TQvRecordingLink>();
    auto* raw = link.get();
    std::vector<std::vector<std::uint8_t>> writes;
    {
        TQvGen4 gen(std::move(link), std::make_unique<TQvGen4ManualTicks>());
        gen.SetAutoUpdate(false);
        gen.SetActive(true);
        EXPECT_TRUE(raw->IsOpen());
        raw->ClearWrites();
        // The link dies with the generator; look at it from inside the close.
        gen.OnChangeActiveState = [&](TQvGen4&) { writes = raw->Writes(); };
    }
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0][0], 0xF0);
}
