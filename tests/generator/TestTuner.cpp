// Manual tuning: set-up frames, the ADC poll, and when the polling timer runs.
#include "QvGen4Errors.h"
#include "QvModesTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

TQvGen4ManualTimer* PollTimerOf(const TQvGen4Channel& Ch) {
    return dynamic_cast<TQvGen4ManualTimer*>(Ch.Tuner.PollTimer());
}

bool Polling(const TQvGen4Channel& Ch) {
    return Ch.Tuner.PollTimer() && Ch.Tuner.PollTimer()->Active();
}

} // namespace

TEST(Tuner, SetUpFramesOnBothChannels) {
    struct TCase {
        bool OnA;
        TQvGen4AFPModes Type;
        int Scale;
        std::string Centre, Depth;
    };
    // Carrier 1000 kHz, 50 %, 90 degrees.
    const TCase cases[] = {
        {true, QGAFPms_freq, 10, "29 00 A3 D7 09 00", "81 0A 00 00 00 00"},
        {false, QGAFPms_freq, 10, "2A 00 A3 D7 09 00", "E1 0A 00 00 00 00"},
        {true, QGAFPms_ampl, 19, "29 1F FF 00 00 00", "82 13 00 00 00 00"},
        {false, QGAFPms_ampl, 19, "2A 1F FF 00 00 00", "E2 13 00 00 00 00"},
        {true, QGAFPms_phase, 16, "29 10 00 00 00 00", "84 10 00 00 00 00"},
        {false, QGAFPms_phase, 0x110, "2A 10 00 00 00 00", "E4 10 00 00 00 00"}, // low byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.OnA ? "A " : "B ") << int(c.Type));
        TGenOnRecorder r;
        r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
        PrepareModes(r, c.OnA ? QGMdC_tuning : QGMdC_off, c.OnA ? QGMdC_off : QGMdC_tuning);
        TQvGen4Channel& ch = c.OnA ? static_cast<TQvGen4Channel&>(r.Gen->ChA) : r.Gen->ChB;
        ch.Tuner.SetType(c.Type);
        ch.Tuner.SetScale(c.Scale);
        ch.Set_sinAmplitude(50);
        ch.SetPhase(90);
        r.Gen->SetAutoUpdate(true);
        const auto lines = r.Lines();
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[5], c.Centre);
        EXPECT_EQ(lines[6], c.Depth);
    }
}

TEST(Tuner, PollReadsTheValueByType) {
    struct TCase {
        bool OnA;
        TQvGen4AFPModes Type;
        std::uint32_t Value;
    };
    const TCase cases[] = {
        {true, QGAFPms_ampl, 0x1234},      {false, QGAFPms_ampl, 0x1234},
        {true, QGAFPms_phase, 0x1234},     {true, QGAFPms_freq, 0x12345678},
        {false, QGAFPms_freq, 0x12345678},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.OnA ? "A " : "B ") << int(c.Type));
        TGenOnRecorder r;
        r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
        PrepareModes(r, c.OnA ? QGMdC_tuning : QGMdC_off, c.OnA ? QGMdC_off : QGMdC_tuning);
        TQvGen4Channel& ch = c.OnA ? static_cast<TQvGen4Channel&>(r.Gen->ChA) : r.Gen->ChB;
        ch.Tuner.SetType(c.Type);
        ch.Tuner.SetADCTimerEnabled(true);
        r.Gen->SetAutoUpdate(true);
        r.Link->ClearWrites();
        std::vector<const TQvGen4Channel*> shown;
        r.Gen->OnADCTimer = [&](TQvGen4Channel& from) {
            shown.push_back(&from);
            EXPECT_EQ(from.Tuner.ADCValue(), c.Value);
        };
        r.Link->QueueRead({0x12, 0x34, 0x56, 0x78});
        ASSERT_NE(PollTimerOf(ch), nullptr);
        PollTimerOf(ch)->Fire();
        EXPECT_THAT(r.Lines(), ElementsAre("FD")) << "the query is one byte on either channel";
        EXPECT_THAT(shown, ElementsAre(&ch));
        EXPECT_EQ(ch.Tuner.ADCValue(), c.Value);
    }
}

TEST(Tuner, TimerRunsOnlyWhileTuningWithTheLinkOpen) {
    TGenOnRecorder r;
    r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
    auto& ch = r.Gen->ChA;
    auto& tuner = ch.Tuner;
    EXPECT_FALSE(tuner.ADCTimerEnabled());
    EXPECT_EQ(tuner.ADCTimerInterval(), 500);

    tuner.SetADCTimerEnabled(true); // link closed, channel off
    EXPECT_FALSE(Polling(ch));
    ch.SetMode(QGMdC_tuning); // link still closed
    EXPECT_FALSE(Polling(ch));
    r.Gen->SetActive(true);
    ASSERT_TRUE(Polling(ch));
    EXPECT_EQ(PollTimerOf(ch)->Interval(), 500u);

    tuner.SetADCTimerInterval(250); // restarted with the new period
    EXPECT_TRUE(Polling(ch));
    EXPECT_EQ(PollTimerOf(ch)->Interval(), 250u);
    tuner.SetADCTimerInterval(-1); // refused
    EXPECT_EQ(tuner.ADCTimerInterval(), 250);
    EXPECT_TRUE(Polling(ch));
    tuner.SetADCTimerInterval(0);
    EXPECT_FALSE(Polling(ch));
    tuner.SetADCTimerInterval(500);
    EXPECT_TRUE(Polling(ch));

    tuner.SetADCTimerEnabled(false);
    EXPECT_FALSE(Polling(ch));
    tuner.SetADCTimerEnabled(true);
    EXPECT_TRUE(Polling(ch));

    ch.SetMode(QGMdC_gen);
    EXPECT_FALSE(Polling(ch));
    ch.SetMode(QGMdC_tuning);
    EXPECT_TRUE(Polling(ch));
    EXPECT_FALSE(Polling(r.Gen->ChB));

    r.Gen->SetActive(false);
    EXPECT_FALSE(Polling(ch));
}

TEST(Tuner, NoTimerToBeHad) {
    // Without a factory, or with one whose timers cannot start, only real polling needs one.
    for (bool withFactory : {false, true}) {
        SCOPED_TRACE(withFactory);
        TGenOnRecorder r;
        if (withFactory) {
            r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory(false));
        }
        auto& ch = r.Gen->ChA;
        ch.Tuner.SetADCTimerEnabled(true);
        ch.SetMode(QGMdC_tuning);
        r.Gen->ChB.SetMode(QGMdC_gen);
        r.Gen->SetAutoUpdate(false);
        r.Gen->SetActive(true); // no cycle yet: nothing to arm

        int cycles = 0;
        r.Gen->AfterUpdate = [&](TQvGen4&) { ++cycles; };
        try {
            r.Gen->SetAutoUpdate(true);
            ADD_FAILURE() << "no error";
        } catch (const EQvGen4OutOfResources& e) {
            EXPECT_STREQ(e.what(), "Невозможно создать таймер!");
        }
        EXPECT_EQ(cycles, 0);
        EXPECT_TRUE(r.Link->Writes().empty()) << "the timers are armed before any frame";

        ch.Tuner.SetADCTimerEnabled(false); // no polling wanted: the cycle runs
        EXPECT_EQ(cycles, 0);
        r.Gen->UpdateMode();
        EXPECT_EQ(cycles, 1);
    }
}

TEST(Tuner, FailedPollDisarmsUntilTheNextCycle) {
    TGenOnRecorder r;
    r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
    PrepareModes(r, QGMdC_off, QGMdC_tuning);
    auto& ch = r.Gen->ChB;
    ch.Tuner.SetType(QGAFPms_ampl);
    ch.Tuner.SetADCTimerEnabled(true);
    r.Gen->SetAutoUpdate(true);
    r.Link->QueueRead({0xAB, 0xCD, 0, 0});
    PollTimerOf(ch)->Fire();
    ASSERT_EQ(ch.Tuner.ADCValue(), 0xABCDu);

    int errors = 0, shown = 0;
    r.Gen->OnFTError = [&](TQvGen4&) { ++errors; };
    r.Gen->OnADCTimer = [&](TQvGen4Channel&) { ++shown; };
    r.Link->QueueRead({0x12, 0x34}); // the instrument answers short, then not at all
    try {
        PollTimerOf(ch)->Fire();
        ADD_FAILURE() << "no error";
    } catch (const EQvGen4Error& e) {
        EXPECT_STREQ(e.what(), "Ошибка при чтении данных из FTPort");
    }
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(ch.Tuner.ADCValue(), 0xABCDu);
    EXPECT_FALSE(Polling(ch)) << "the error is raised once, not every period";
    r.Link->ClearWrites();
    PollTimerOf(ch)->Fire();
    EXPECT_TRUE(r.Link->Writes().empty());
    EXPECT_EQ(errors, 1);

    // Programming the instrument again resumes polling.
    r.Gen->ChB.SetPhase(10);
    EXPECT_TRUE(Polling(ch));
    r.Link->QueueRead({0x00, 0x42, 0x99, 0x99});
    PollTimerOf(ch)->Fire();
    EXPECT_EQ(ch.Tuner.ADCValue(), 0x42u);
    EXPECT_EQ(shown, 1);
}

TEST(Tuner, FailedQueryWriteAlsoDisarms) {
    TGenOnRecorder r;
    r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
    r.Gen->ChA.Tuner.SetADCTimerEnabled(true);
    r.Gen->ChA.SetMode(QGMdC_tuning);
    r.Gen->SetActive(true);
    r.Link->FailWrite(r.Link->Writes().size(), FT_IO_ERROR, 0);
    EXPECT_THROW(PollTimerOf(r.Gen->ChA)->Fire(), EQvGen4Error);
    EXPECT_FALSE(Polling(r.Gen->ChA));
    r.Gen->UpdateMode();
    EXPECT_TRUE(Polling(r.Gen->ChA));
}

TEST(Tuner, NewFactoryTakesOverRunningPolls) {
    TGenOnRecorder r;
    r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
    r.Gen->ChA.Tuner.SetADCTimerEnabled(true);
    r.Gen->ChA.SetMode(QGMdC_tuning);
    r.Gen->SetActive(true);
    const TQvGen4Timer* first = r.Gen->ChA.Tuner.PollTimer();
    ASSERT_TRUE(first && first->Active());
    r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
    ASSERT_TRUE(Polling(r.Gen->ChA));
    EXPECT_EQ(PollTimerOf(r.Gen->ChA)->Starts(), 1);
}
