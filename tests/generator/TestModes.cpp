// Mode changes, the compatibility of the two channels' modes, and the over-modulation guard.
#include "QvModesTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

using ::testing::ElementsAre;

namespace {

constexpr TQvGen4ModesCommon AllModes[] = {QGMdC_off,
                                           QGMdC_gen,
                                           QGMdC_tuning,
                                           QGMdC_IntModulation,
                                           QGMdC_ExtModulation,
                                           QGMdC_ExtModulationA12,
                                           QGMdC_ExtModulationAB1,
                                           QGMdC_LFM,
                                           QGMdC_DDSMod};

struct TModeLog {
    std::vector<std::string> Events;
    void Attach(TQvGen4& Gen) {
        Gen.OnChModeChange = [this](TQvGen4Channel& ch, bool byCompat) {
            Events.push_back(std::string(ch.IsChannelA() ? "A " : "B ") +
                             std::to_string(int(ch.Mode())) + (byCompat ? " compat" : ""));
        };
        Gen.AfterUpdate = [this](TQvGen4&) { Events.push_back("AfterUpdate"); };
    }
};

} // namespace

TEST(ChannelModes, CompatibilityTable) {
    // For each new mode of one channel: the other channel's modes that get switched off.
    const std::map<TQvGen4ModesCommon, std::set<TQvGen4ModesCommon>> switchedOff = {
        {QGMdC_off, {QGMdC_ExtModulationAB1}},
        {QGMdC_gen, {QGMdC_ExtModulationAB1}},
        {QGMdC_tuning,
         {QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulation, QGMdC_ExtModulationA12,
          QGMdC_ExtModulationAB1, QGMdC_LFM}},
        {QGMdC_IntModulation,
         {QGMdC_tuning, QGMdC_ExtModulation, QGMdC_ExtModulationA12, QGMdC_ExtModulationAB1,
          QGMdC_LFM, QGMdC_DDSMod}},
        {QGMdC_ExtModulation,
         {QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulationA12, QGMdC_ExtModulationAB1,
          QGMdC_LFM}},
        {QGMdC_ExtModulationA12,
         {QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulation, QGMdC_ExtModulationAB1,
          QGMdC_LFM}},
        {QGMdC_ExtModulationAB1, {}}, // pulls the other one along instead
        {QGMdC_LFM,
         {QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulation, QGMdC_ExtModulationA12,
          QGMdC_ExtModulationAB1}},
        {QGMdC_DDSMod, {QGMdC_IntModulation, QGMdC_ExtModulationAB1}},
    };
    for (bool thisIsA : {true, false}) {
        for (auto m : AllModes) {
            for (auto o : AllModes) {
                if ((!thisIsA && m == QGMdC_ExtModulationA12) ||
                    (thisIsA && o == QGMdC_ExtModulationA12)) {
                    continue; // channel B never takes A12
                }
                SCOPED_TRACE(testing::Message() << (thisIsA ? "A" : "B") << " -> " << int(m)
                                                << ", other in " << int(o));
                TQvGen4 gen;
                TQvGen4Channel& self = thisIsA ? static_cast<TQvGen4Channel&>(gen.ChA) : gen.ChB;
                TQvGen4Channel& other = self.GetOtherCh();
                other.SetMode(o);
                if (self.Mode() == m && m == QGMdC_off) {
                    self.SetMode(QGMdC_gen); // gen leaves every o but AB1 alone
                }
                ASSERT_EQ(other.Mode(), o);
                if (self.Mode() == m) {
                    continue; // AB1 beside AB1: nothing to change
                }
                TModeLog log;
                log.Attach(gen);
                self.SetMode(m);
                TQvGen4ModesCommon expected = o;
                if (m == QGMdC_ExtModulationAB1) {
                    expected = QGMdC_ExtModulationAB1;
                } else if (switchedOff.at(m).count(o)) {
                    expected = QGMdC_off;
                }
                EXPECT_EQ(self.Mode(), m);
                EXPECT_EQ(other.Mode(), expected);
                const std::string selfEvent = (thisIsA ? "A " : "B ") + std::to_string(int(m));
                const std::string otherEvent =
                    (thisIsA ? "B " : "A ") + std::to_string(int(expected)) + " compat";
                if (expected == o) {
                    EXPECT_THAT(log.Events, ElementsAre(selfEvent));
                } else {
                    EXPECT_THAT(log.Events, ElementsAre(selfEvent, otherEvent));
                }
                gen.OnChModeChange = {};
                gen.AfterUpdate = {};
            }
        }
    }
}

TEST(ChannelModes, SetModeRaisesEventsThenRunsOneCycle) {
    TModeLog log;
    TGenOnRecorder r;
    r.Gen->ChB.SetMode(QGMdC_LFM);
    r.Gen->SetActive(true);
    log.Attach(*r.Gen);

    r.Gen->ChA.SetMode(QGMdC_ExtModulationAB1);
    EXPECT_THAT(log.Events, ElementsAre("A 6", "B 6 compat", "AfterUpdate"));

    log.Events.clear();
    r.Gen->ChA.SetMode(QGMdC_ExtModulationAB1); // unchanged
    r.Gen->ChB.SetMode(QGMdC_ExtModulationA12); // refused on B
    EXPECT_TRUE(log.Events.empty());
    EXPECT_EQ(r.Gen->ChB.Mode(), QGMdC_ExtModulationAB1);

    r.Gen->ChB.SetMode(QGMdC_gen);
    EXPECT_THAT(log.Events, ElementsAre("B 1", "A 0 compat", "AfterUpdate"));
}

TEST(OverModulation, Limits) {
    const double byScale[][2] = {{7, 99.993896484375},
                                 {8, 99.98779296875},
                                 {9, 99.9755859375},
                                 {10, 99.951171875},
                                 {11, 99.90234375},
                                 {12, 99.8046875},
                                 {13, 99.609375},
                                 {14, 99.21875},
                                 {15, 98.4375},
                                 {16, 96.875},
                                 {17, 93.75},
                                 {18, 87.5},
                                 {19, 75},
                                 {20, 50},
                                 {21, 0}};
    TQvGen4 gen;
    auto& ch = gen.ChA;
    for (const auto& [scale, limit] : byScale) {
        SCOPED_TRACE(scale);
        ch.Tuner.SetScale(int(scale));
        ch.ExtModulation.SetScale(int(scale));
        ch.SetMode(QGMdC_tuning);
        EXPECT_EQ(ch.GetMaxAmplAvoidOverMod(), limit);
        for (auto m : {QGMdC_ExtModulation, QGMdC_ExtModulationA12, QGMdC_ExtModulationAB1}) {
            ch.SetMode(m);
            EXPECT_EQ(ch.GetMaxAmplAvoidOverMod(), limit);
        }
    }
    ch.SetMode(QGMdC_IntModulation);
    for (const auto& [dA, limit] : {std::pair{50, 67.0}, {25, 80.0}, {100, 50.0}, {0, 100.0}}) {
        ch.IntModulation.SetdA(dA);
        EXPECT_EQ(ch.GetMaxAmplAvoidOverMod(), limit) << dA;
    }
    for (auto m : {QGMdC_off, QGMdC_gen, QGMdC_LFM, QGMdC_DDSMod}) {
        ch.SetMode(m);
        EXPECT_EQ(ch.GetMaxAmplAvoidOverMod(), 100) << int(m);
    }
}

TEST(OverModulation, WhenTheNotificationIsRaised) {
    struct TCase {
        const char* Name;
        TQvGen4ModesCommon Mode;
        TQvGen4AFPModes Type;
        int Scale; // tuner and external modulation; dA for internal modulation
        double Amplitude;
        bool Notify;
        std::vector<double> Raised;
    };
    const TCase cases[] = {
        {"tuning above the limit", QGMdC_tuning, QGAFPms_ampl, 20, 60, true, {50}},
        {"tuning at the limit", QGMdC_tuning, QGAFPms_ampl, 20, 50, true, {}},
        {"tuning the frequency", QGMdC_tuning, QGAFPms_freq, 20, 60, true, {}},
        {"notification off", QGMdC_tuning, QGAFPms_ampl, 20, 60, false, {}},
        {"external", QGMdC_ExtModulation, QGAFPms_ampl, 19, 80, true, {75}},
        {"external A12", QGMdC_ExtModulationA12, QGAFPms_ampl, 18, 90, true, {87.5}},
        {"external phase", QGMdC_ExtModulation, QGAFPms_phase, 19, 80, true, {}},
        {"internal", QGMdC_IntModulation, QGAFPms_ampl, 50, 100, true, {67}},
        {"internal at the limit", QGMdC_IntModulation, QGAFPms_ampl, 50, 67, true, {}},
        {"internal frequency", QGMdC_IntModulation, QGAFPms_freq, 50, 100, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGenOnRecorder r;
        PrepareModes(r, c.Mode, QGMdC_off);
        auto& ch = r.Gen->ChA;
        ch.Tuner.SetType(c.Type);
        ch.Tuner.SetScale(c.Scale);
        ch.ExtModulation.SetType(c.Type);
        ch.ExtModulation.SetScale(c.Scale);
        ch.IntModulation.SetType(c.Type);
        ch.IntModulation.SetdA(c.Scale);
        ch.Set_sinAmplitude(c.Amplitude);
        r.Gen->Options.SetOverModulationNotify(c.Notify);
        r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
        std::vector<double> raised;
        r.Gen->OnOverModulation = [&](TQvGen4Channel& on, double limit) {
            EXPECT_EQ(&on, &ch);
            raised.push_back(limit);
        };
        r.Gen->SetAutoUpdate(true);
        EXPECT_EQ(raised, c.Raised);
    }
}

TEST(OverModulation, TuningPollIsSuspendedWhileTheHandlerRuns) {
    for (bool pollingBefore : {true, false}) {
        SCOPED_TRACE(pollingBefore);
        TGenOnRecorder r;
        r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
        PrepareModes(r, QGMdC_tuning, QGMdC_off);
        auto& tuner = r.Gen->ChA.Tuner;
        tuner.SetType(QGAFPms_ampl);
        tuner.SetScale(20);
        tuner.SetADCTimerEnabled(pollingBefore);
        r.Gen->ChA.Set_sinAmplitude(60);
        int calls = 0;
        r.Gen->OnOverModulation = [&](TQvGen4Channel&, double) {
            ++calls;
            EXPECT_FALSE(tuner.ADCTimerEnabled());
            EXPECT_FALSE(tuner.PollTimer() && tuner.PollTimer()->Active());
        };
        r.Gen->SetAutoUpdate(true);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(tuner.ADCTimerEnabled(), pollingBefore);
        EXPECT_EQ(tuner.PollTimer() && tuner.PollTimer()->Active(), pollingBefore);

        // A handler that throws still gives the poll back.
        r.Gen->OnOverModulation = [](TQvGen4Channel&, double) { throw std::runtime_error("x"); };
        EXPECT_THROW(r.Gen->UpdateMode(), std::runtime_error);
        EXPECT_EQ(tuner.ADCTimerEnabled(), pollingBefore);
    }
}

TEST(OverModulation, HandlerLoweringTheLevelRunsANestedCycle) {
    TGenOnRecorder r;
    PrepareModes(r, QGMdC_IntModulation, QGMdC_off);
    r.Gen->ChA.IntModulation.SetType(QGAFPms_ampl); // dA 50: limit 67 %
    int cycles = 0;
    r.Gen->AfterUpdate = [&](TQvGen4&) { ++cycles; };
    r.Gen->OnOverModulation = [](TQvGen4Channel& ch, double limit) { ch.Set_sinAmplitude(limit); };
    r.Gen->SetAutoUpdate(true);
    EXPECT_EQ(cycles, 2);
    EXPECT_EQ(r.Gen->ChA.Amplitude(), 67);

    // The outer cycle sent its reset, then the nested cycle ran whole, then the outer one went on
    // with the lowered level: both bodies are the same, 67 % included.
    const auto lines = Frames(r);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "F0 00 00 00 00 00");
    EXPECT_EQ(lines[1], "F0 00 00 00 00 00");
    const std::vector<std::string> nested(lines.begin() + 2, lines.begin() + 9);
    const std::vector<std::string> outer(lines.begin() + 9, lines.end());
    EXPECT_EQ(nested, outer);
    EXPECT_EQ(outer[2], "02 2A E0 00 00 00"); // 67 %
    const auto blocks = Blocks(r);
    EXPECT_EQ(blocks[0], blocks[1]);
}

TEST(OverModulation, CorrectAmplitude) {
    struct TCase {
        const char* Name;
        TQvGen4ModesCommon Mode;
        int Scale;
        double Amplitude;
        int ScaleAfter;
        double AmplitudeAfter;
    };
    const TCase cases[] = {
        {"external, scale beyond 20", QGMdC_ExtModulation, 21, 60, 20, 50},
        {"external AB1, scale below 7", QGMdC_ExtModulationAB1, 3, 40, 20, 40},
        {"external A12, scale kept", QGMdC_ExtModulationA12, 19, 90, 19, 75},
        {"tuning keeps 20", QGMdC_tuning, 20, 60, 20, 50},
        {"tuning, scale beyond 21", QGMdC_tuning, 22, 60, 20, 50},
        {"tuning, scale kept", QGMdC_tuning, 18, 80, 18, 80},
        {"sine: nothing", QGMdC_gen, 30, 100, 30, 100},
        {"internal: nothing", QGMdC_IntModulation, 30, 100, 30, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TQvGen4 gen;
        auto& ch = gen.ChA;
        ch.SetMode(c.Mode);
        ch.Tuner.SetScale(c.Scale);
        ch.ExtModulation.SetScale(c.Scale);
        ch.Set_sinAmplitude(c.Amplitude);
        ch.CorrectAmplAvoidOverModul();
        // Only the scale of the mode's own sub-object may change.
        const bool tuning = c.Mode == QGMdC_tuning;
        EXPECT_EQ(ch.Tuner.Scale(), tuning ? c.ScaleAfter : c.Scale);
        const bool external = c.Mode == QGMdC_ExtModulation || c.Mode == QGMdC_ExtModulationA12 ||
                              c.Mode == QGMdC_ExtModulationAB1;
        EXPECT_EQ(ch.ExtModulation.Scale(), external ? c.ScaleAfter : c.Scale);
        EXPECT_EQ(ch.Amplitude(), c.AmplitudeAfter);
    }
}
