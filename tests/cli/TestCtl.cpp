// qvgen4ctl as scripts use it: output, messages and exit status of the built binary.
#include "QvCtlRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> Parts) {
    std::vector<std::string> out;
    for (const auto& p : Parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

const std::string Reset = "F0 00 00 00 00 00";
const std::string Update = "7F 00 00 00 00 00";

} // namespace

TEST(CtlShow, PrintsTheStartStateInPathOrder) {
    const auto r = RunCtl({"show"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_THAT(r.Err, IsEmpty());
    const std::vector<std::string> generator = {
        "UseExtRefFreq=false",
        "RefFreq=25",
        "FreqScale=16",
        "Options.EnableDuplexIntMod=false",
        "Options.OverModulationNotify=true",
    };
    auto channel = [](const std::string& Ch) {
        std::vector<std::string> lines = {
            "Mode=QGMdC_off",
            "Frequency=1000",
            "Amplitude=100",
            "Phase=0",
            "Tuner.Type=QGAFPms_freq",
            "Tuner.Scale=0",
            "Tuner.ADCTimerEnabled=true",
            "Tuner.ADCTimerInterval=500",
            "IntModulation.Type=QGAFPms_freq",
            "IntModulation.Fm=1000",
            "IntModulation.dA=50",
            "IntModulation.dF=100",
            "IntModulation.dPh=90",
            "IntModulation.CC=0.5",
            "IntModulation.MathFuncType=QMFT_sin",
            "ExtModulation.Type=QGAFPms_freq",
            "ExtModulation.Scale=0",
            // The carrier's start value equals its default, so the sweep top keeps its 0.
            "LFM.FreqTop=0",
            "LFM.Tinc0=0",
            "LFM.Tinc1=0",
            "LFM.Tdec0=0",
            "LFM.Tdec1=0",
            "DDSMod.F1=1000",
            "DDSMod.F2=1000",
            "DDSMod.F3=1000",
            "DDSMod.F4=1000",
            "DDSMod.dF=1000",
            "DDSMod.Ph1=0",
            "DDSMod.Ph2=180",
            "DDSMod.Ph3=90",
            "DDSMod.Ph4=270",
            "DDSMod.dPh=90",
            "DDSMod.T1=1000",
            "DDSMod.T2=1000",
            "DDSMod.T3=1000",
            "DDSMod.T4=1000",
            "DDSMod.Mode=QGTMs_BxSK",
            "DDSMod.Type=QGAFPms_freq",
            "DDSMod.UseExtTimes=false",
            "DDSMod.ContBidiRamp=true",
            "DDSMod.Fm=1000",
            "DDSMod.MathFuncType=QMFT_sin",
            "DDSMod.CC=0.5",
            "DDSMod.ReadingsCntMin=32",
        };
        for (auto& l : lines) {
            l = Ch + "." + l;
        }
        return lines;
    };
    EXPECT_THAT(r.OutLines(),
                ElementsAreArray(Concat({generator, channel("ChA"), channel("ChB")})));
}

TEST(CtlShow, DoublesInShortestFixedNotation) {
    const auto r = RunCtl({"show", "ChA.Amplitude=0.0005", "ChA.Phase=12.25",
                           "ChB.Frequency=200000", "ChB.Phase=1e2"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_THAT(r.OutLines(), testing::IsSupersetOf({"ChA.Amplitude=0.0005", "ChA.Phase=12.25",
                                                     "ChB.Frequency=200000", "ChB.Phase=100"}));
}

TEST(CtlFrames, SineCarriers) {
    struct TCase {
        std::vector<std::string> Args;
        std::vector<std::string> Lines;
    };
    const std::vector<std::string> carrierA = {"F1 00 00 00 00 00", "04 00 A3 D7 09 00",
                                               "02 3F FF 00 00 00", "05 00 00 00 00 00"};
    const std::vector<std::string> carrierB = {"F9 00 00 00 00 00", "14 00 A3 D7 09 00",
                                               "12 3F FF 00 00 00", "15 00 00 00 00 00"};
    const TCase cases[] = {
        {{"ChA.Mode=QGMdC_gen", "ChB.Mode=QGMdC_gen"},
         Concat({{Reset}, carrierA, carrierB, {Update}})},
        // 2500 kHz, 50 % and 90 degrees on channel B only.
        {{"ChB.Mode=QGMdC_gen", "ChB.Frequency=2500", "ChB.Amplitude=50", "ChB.Phase=90"},
         {Reset, "F9 00 00 00 00 00", "14 01 99 99 99 00", "12 1F FF 00 00 00", "15 10 00 00 00 00",
          Update}},
        // The external reference sends its multiplier right after the reset.
        {{"UseExtRefFreq=true", "FreqScale=8", "ChA.Mode=QGMdC_gen"},
         Concat({{Reset, "E5 08 00 00 00 00", "F1 00 00 00 00 00", "04 01 47 AE 13 00",
                  "02 3F FF 00 00 00", "05 00 00 00 00 00", Update}})},
        {{}, {Reset}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Args));
        std::vector<std::string> args{"frames"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        const auto r = RunCtl(args);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_THAT(r.Err, IsEmpty());
        EXPECT_THAT(r.OutLines(), ElementsAreArray(c.Lines));
    }
}

// A data block line of Count bytes; its contents are the sample tables' business.
testing::Matcher<std::string> Block(std::size_t Count) {
    return testing::AllOf(SizeIs(Count * 3 - 1), testing::ContainsRegex("^[0-9A-F ]+$"));
}

TEST(CtlFrames, EachMode) {
    using M = testing::Matcher<std::string>;
    struct TCase {
        std::vector<std::string> Args;
        std::vector<M> Lines;
    };
    const std::vector<M> sineA = {"F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 3F FF 00 00 00",
                                  "05 00 00 00 00 00"};
    const std::vector<M> sineB = {"F9 00 00 00 00 00", "14 00 A3 D7 09 00", "12 3F FF 00 00 00",
                                  "15 00 00 00 00 00"};
    auto lines = [](std::initializer_list<std::vector<M>> Parts) {
        std::vector<M> out{M(Reset)};
        for (const auto& p : Parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    const TCase cases[] = {
        // Manual tuning of channel B's frequency, depth 10.
        {{"ChB.Mode=QGMdC_tuning", "ChB.Tuner.Scale=10"},
         lines({sineB, {"2A 00 A3 D7 09 00", "E1 0A 00 00 00 00"}})},
        // Internal frequency modulation at 1 kHz, whole memory: 172 readings, divider 0xFDFD.
        {{"ChA.Mode=QGMdC_IntModulation"},
         lines({sineA, {"20 02 B0 00 00 00", Block(688), "87 FD FD 08 03 00"}})},
        // Channel B alone also loads from address 0.
        {{"ChB.Mode=QGMdC_IntModulation"},
         lines({sineB, {"21 00 00 02 B0 00", Block(688), "89 FD FD 08 03 00"}})},
        // Both channels independently at 2 Hz: half the memory each, divider 22336.
        {{"ChA.Mode=QGMdC_IntModulation", "ChB.Mode=QGMdC_IntModulation", "ChA.IntModulation.Fm=2",
          "ChB.IntModulation.Fm=2"},
         lines({sineA,
                {"20 10 00 00 00 00", Block(4096), "97 57 40 08 03 00"},
                sineB,
                {"21 10 00 20 00 00", Block(4096), "99 57 40 08 03 00", "9A 00 00 00 00 00"}})},
        // Identical amplitude modulation on both: channel A's table (307 readings) drives both.
        {{"Options.EnableDuplexIntMod=true", "ChA.Mode=QGMdC_IntModulation",
          "ChB.Mode=QGMdC_IntModulation", "ChA.IntModulation.Type=QGAFPms_ampl",
          "ChA.Amplitude=50"},
         lines({{"F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 1F FF 00 00 00", "05 00 00 00 00 00",
                 "20 02 66 00 00 00", Block(614)},
                sineB,
                {"B0 FE DF 08 01 00"}})},
        // External phase modulation of channel A alone, ±22,5°.
        {{"ChA.Mode=QGMdC_ExtModulation", "ChA.ExtModulation.Type=QGAFPms_phase",
          "ChA.ExtModulation.Scale=17", "ChA.Phase=90"},
         lines({{"F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 3F FF 00 00 00", "05 10 00 00 00 00",
                 "29 10 00 00 00 00", "8B 11 02 00 00 00"}})},
        // Both channels from their own inputs: one start frame.
        {{"ChA.Mode=QGMdC_ExtModulation", "ChB.Mode=QGMdC_ExtModulation",
          "ChA.ExtModulation.Scale=4", "ChB.ExtModulation.Type=QGAFPms_ampl",
          "ChB.ExtModulation.Scale=18", "ChB.Amplitude=50"},
         lines({sineA,
                {"29 00 A3 D7 09 00", "F9 00 00 00 00 00", "14 00 A3 D7 09 00", "12 1F FF 00 00 00",
                 "15 00 00 00 00 00", "2A 1F FF 00 00 00", "8F 04 03 12 01 00"}})},
        // Channel A from inputs 1 and 2: its own depth, then channel B's.
        {{"ChA.Mode=QGMdC_ExtModulationA12", "ChA.ExtModulation.Type=QGAFPms_ampl",
          "ChA.ExtModulation.Scale=19", "ChB.ExtModulation.Scale=18", "ChA.Amplitude=50"},
         lines({{"F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 1F FF 00 00 00", "05 00 00 00 00 00",
                 "29 1F FF 00 00 00", "91 13 12 01 00 00"}})},
        // Input 1 drives both outputs; channel B is pulled into the mode.
        {{"ChA.Mode=QGMdC_ExtModulationAB1", "ChA.ExtModulation.Scale=7"},
         lines({sineB, sineA, {"29 00 A3 D7 09 00", "B2 07 03 00 00 00"}})},
        // Sweep from 1000 to 2000 kHz in 1000 µs, held 500 µs at each end.
        {{"ChA.Mode=QGMdC_LFM", "ChA.LFM.FreqTop=2000", "ChA.LFM.Tinc0=1000", "ChA.LFM.Tinc1=500",
          "ChA.LFM.Tdec0=1000", "ChA.LFM.Tdec1=500"},
         lines({sineA,
                {"00 06 A0 02 40 00", "08 9C 00 00 41 03", "07 9C 00 00 41 03", "06 01 47 AE 13 00",
                 "80 00 00 00 00 00", "85 00 02 EE 00 00", "86 00 02 EE 00 00",
                 "83 00 00 00 00 00"}})},
        // Synchronised sweeps: channel B's times go out and one start frame starts both. A
        // 92 kHz rise in 1000 µs has the denominator 255, sent as 0.
        {{"ChA.Mode=QGMdC_LFM", "ChB.Mode=QGMdC_LFM", "ChA.LFM.FreqTop=2000", "ChA.LFM.Tinc0=1000",
          "ChB.LFM.FreqTop=1092", "ChB.LFM.Tinc0=1000", "ChB.LFM.Tdec0=1000", "ChB.LFM.Tinc1=100",
          "ChB.LFM.Tdec1=300"},
         lines({sineA,
                {"00 06 A0 02 40 00", "08 9C 00 00 41 03", "07 01 00 00 00 00", "06 01 47 AE 13 00",
                 "80 00 00 00 00 00"},
                sineB,
                {"10 06 A0 02 42 00", "18 00 00 00 09 D7", "17 00 00 00 09 D7", "16 00 B2 E9 CC 00",
                 "80 00 00 00 00 00", "85 00 02 26 00 00", "86 00 02 8A 00 00",
                 "83 00 00 00 00 00"}})},
        // BPSK at 90° and 180°, dwell times at both ends of their range (1 and 65000 counts).
        {{"ChA.Mode=QGMdC_DDSMod", "ChA.DDSMod.Type=QGAFPms_phase", "ChA.DDSMod.Ph1=90",
          "ChA.DDSMod.Ph2=180", "ChA.DDSMod.T1=20", "ChA.DDSMod.T2=1300000"},
         lines({sineA,
                {"00 C6 80 02 40 00", "07 01 00 01 00 00", "08 E8 FD 03 08 00", "80 00 00 00 00 00",
                 "40 00 00 00 00 00", "30 00 08 00 00 00", "40 00 00 00 40 00 00 00",
                 "40 00 01 00 00 00", "30 00 08 00 00 00", "80 00 00 00 80 00 00 00",
                 "00 E6 80 02 40 00", "80 00 00 00 00 00"}})},
        // QFSK on channel B with external times: four symbols, then 0xE6 instead of the start.
        {{"ChB.Mode=QGMdC_DDSMod", "ChB.DDSMod.Mode=QGTMs_QxSK", "ChB.DDSMod.UseExtTimes=true",
          "ChB.DDSMod.F2=2000"},
         lines({sineB,
                {"10 86 80 02 42 00", "17 32 00 01 00 00", "18 32 00 03 08 00", "19 32 00 05 10 00",
                 "1A 32 00 07 18 00", "80 00 00 00 00 00", "50 00 00 00 00 00", "31 00 08 00 00 00",
                 "00 A3 D7 09 00 A3 D7 09", "50 00 01 00 00 00", "31 00 08 00 00 00",
                 "01 47 AE 13 01 47 AE 13", "50 01 00 00 00 00", "31 00 08 00 00 00",
                 "00 A3 D7 09 00 A3 D7 09", "50 01 01 00 00 00", "31 00 08 00 00 00",
                 "00 A3 D7 09 00 A3 D7 09", "E6 00 00 00 00 00"}})},
        // Frequency modulation from the synthesizer memory: a half sine of 1000 readings
        // played up and down at 500 ns a step.
        {{"ChA.Mode=QGMdC_DDSMod", "ChA.DDSMod.Mode=QGTMs_User"},
         lines({sineA,
                {"00 86 80 02 40 00", "40 00 00 00 00 00", "07 32 00 E7 03 60", "80 00 00 00 00 00",
                 "30 0F A0 00 00 00", Block(4000), "80 00 00 00 00 00"}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Args));
        std::vector<std::string> args{"frames"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        const auto r = RunCtl(args);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_THAT(r.OutLines(), ElementsAreArray(c.Lines));
    }
}

TEST(CtlFrames, OverModulationIsReportedAndLeftAsAssigned) {
    // Amplitude tuning of ±50 % leaves room up to 50 %; the carrier stays at 60 %.
    const auto r = RunCtl({"frames", "ChA.Mode=QGMdC_tuning", "ChA.Tuner.Type=QGAFPms_ampl",
                           "ChA.Tuner.Scale=20", "ChA.Amplitude=60"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_THAT(r.ErrLines(), ElementsAreArray<std::string>(
                                  {"qvgen4ctl: ChA: over-modulation: Amplitude 60 is above the "
                                   "limit 50; not corrected"}));
    EXPECT_THAT(r.OutLines(),
                ElementsAreArray<std::string>({Reset, "F1 00 00 00 00 00", "04 00 A3 D7 09 00",
                                               "02 26 65 00 00 00", "05 00 00 00 00 00",
                                               "29 26 65 00 00 00", "82 14 00 00 00 00"}));
}

TEST(CtlAssign, RefusedValuesAreReportedAndTheRunGoesOn) {
    // 100 kHz is below the carrier range; FreqScale is fixed while the built-in reference is
    // used; keying takes frequency or phase, never amplitude.
    const auto r = RunCtl({"frames", "ChA.Frequency=100", "ChA.Mode=QGMdC_gen", "FreqScale=8",
                           "ChA.DDSMod.Type=QGAFPms_ampl", "ChA.Amplitude=50"});
    EXPECT_EQ(r.Status, 3);
    EXPECT_THAT(r.ErrLines(),
                ElementsAreArray<std::string>(
                    {"qvgen4ctl: refused: ChA.Frequency=100 (keeps 1000)",
                     "qvgen4ctl: refused: FreqScale=8 (keeps 16)",
                     "qvgen4ctl: refused: ChA.DDSMod.Type=QGAFPms_ampl (keeps QGAFPms_freq)"}));
    // Everything after the refusals was still applied and the cycle ran in full.
    EXPECT_THAT(r.OutLines(),
                ElementsAreArray<std::string>({Reset, "F1 00 00 00 00 00", "04 00 A3 D7 09 00",
                                               "02 1F FF 00 00 00", "05 00 00 00 00 00", Update}));
}

TEST(CtlAssign, LaterAssignmentsOverrideEarlierOnes) {
    const auto r = RunCtl(
        {"show", "ChA.Phase=10", "ChA.Phase=20", "ChA.Mode=QGMdC_gen", "ChA.Mode=QGMdC_off"});
    EXPECT_EQ(r.Status, 0);
    EXPECT_THAT(r.OutLines(), testing::IsSupersetOf({"ChA.Phase=20", "ChA.Mode=QGMdC_off"}));
}

TEST(CtlUsage, EachMistakeExitsTwoWithAOneLineReason) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"launch"},
        {"show", "ChC.Frequency=1000"},
        {"show", "ChA.Frequency"},
        {"show", "ChA.Frequency=1,5"},
        {"show", "ChA.Frequency=1000kHz"},
        {"show", "ChA.Frequency="},
        {"show", "ChA.Frequency=nan"},
        {"show", "FreqScale=4.5"},
        {"show", "FreqScale=99999999999"},
        {"show", "UseExtRefFreq=1"},
        {"show", "ChA.Mode=QGAFPms_ampl"}, // an enumerator of another type
        {"show", "ChA.Mode=gen"},
        {"show", "--load"},
        {"show", "--trace"},
        {"frames", "--device", "virtual"},
        {"apply", "--device", "serial"},
        {"adc", "--count", "0"},
        {"adc", "--count", "x"},
        {"adc", "--device", "virtual"}, // no channel in tuning: nothing to read
        {"save"},
        // A usage error anywhere stops the run before anything is done.
        {"save", CtlTempPath("never.qvg"), "ChA.Phase=10", "ChA.Nothing=1"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto r = RunCtl(args);
        EXPECT_EQ(r.Status, 2);
        EXPECT_THAT(r.Out, IsEmpty());
        EXPECT_THAT(r.ErrLines(), SizeIs(1));
    }
    EXPECT_EQ(ReadWholeFile(CtlTempPath("never.qvg")), "");
}

TEST(CtlUsage, HelpDescribesTheContract) {
    for (const char* arg : {"--help", "-h"}) {
        const auto r = RunCtl({"show", "ChZ=1", arg});
        EXPECT_EQ(r.Status, 0);
        EXPECT_THAT(r.Out, HasSubstr("Usage: qvgen4ctl COMMAND"));
        for (const char* word : {"frames", "show", "save FILE2", "apply", "adc", "--load",
                                 "--device usb|virtual", "--trace", "--count", "Exit status"}) {
            EXPECT_THAT(r.Out, HasSubstr(word));
        }
    }
}

TEST(CtlFailures, ExitStatusOfEachFailureKind) {
    // No generator clock (multiplier below 4 on the external reference): the cycle stops before
    // the first frequency frame; what went out before is printed.
    const auto cycle =
        RunCtl({"frames", "UseExtRefFreq=true", "FreqScale=3", "ChA.Mode=QGMdC_gen"});
    EXPECT_EQ(cycle.Status, 1);
    EXPECT_THAT(cycle.OutLines(),
                ElementsAreArray<std::string>({Reset, "E5 00 00 00 00 00", "F1 00 00 00 00 00"}));
    ASSERT_THAT(cycle.ErrLines(), SizeIs(2)); // the multiplier was brought to 0, then the failure
    EXPECT_THAT(cycle.ErrLines()[0], HasSubstr("refused: FreqScale=3 (keeps 0)"));

    // A divider overflow: channel A's table went out, its start frame did not.
    const auto divider = RunCtl({"frames", "ChA.Mode=QGMdC_IntModulation",
                                 "ChB.Mode=QGMdC_IntModulation", "ChA.IntModulation.Fm=1"});
    EXPECT_EQ(divider.Status, 1);
    EXPECT_THAT(divider.OutLines(), SizeIs(7));
    EXPECT_THAT(
        divider.ErrLines(),
        ElementsAreArray<std::string>({"qvgen4ctl: Переполнение делителя! (> FF80 или > FF00 )"}));

    // Settings files: missing, of another kind, cut short, or not writable.
    const std::string text = CtlTempPath("text.qvg");
    std::ofstream(text) << "not a settings file\n";
    const std::string good = CtlTempPath("good.qvg");
    ASSERT_EQ(RunCtl({"save", good}).Status, 0);
    const std::string shortFile = CtlTempPath("short.qvg");
    std::ofstream(shortFile, std::ios::binary) << ReadWholeFile(good).substr(0, 100);
    const std::vector<std::vector<std::string>> fileCases = {
        {"show", "--load", CtlTempPath("missing.qvg")},
        {"show", "--load", text},
        {"frames", "--load", shortFile, "ChA.Mode=QGMdC_gen"},
        {"save", CtlTempPath("no/such/dir.qvg")},
    };
    for (const auto& args : fileCases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto r = RunCtl(args);
        EXPECT_EQ(r.Status, 1);
        EXPECT_THAT(r.Out, IsEmpty());
        EXPECT_THAT(r.ErrLines(), SizeIs(1));
    }
    for (const auto& f : {text, good, shortFile}) {
        std::remove(f.c_str());
    }

    const auto usb = RunCtl({"apply", "--device", "usb", "ChA.Mode=QGMdC_gen"});
    if (usb.Status == 0) {
        GTEST_SKIP() << "an FTDI device is attached";
    }
    EXPECT_EQ(usb.Status, 1);
    EXPECT_THAT(usb.Out, IsEmpty());
    EXPECT_THAT(usb.Err, HasSubstr("cannot open the device"));
}

namespace {

// The JSON object that follows "Key": in the one-line snapshot, up to its closing brace.
std::string JsonObject(const std::string& Json, const std::string& Key) {
    const auto start = Json.find("\"" + Key + "\":{");
    if (start == std::string::npos) {
        return {};
    }
    int depth = 0;
    for (auto i = Json.find('{', start); i < Json.size(); ++i) {
        depth += Json[i] == '{' ? 1 : Json[i] == '}' ? -1 : 0;
        if (depth == 0) {
            return Json.substr(start, i - start + 1);
        }
    }
    return {};
}

double JsonNumber(const std::string& Object, const std::string& Key) {
    const auto at = Object.find("\"" + Key + "\":");
    return at == std::string::npos ? -1 : std::stod(Object.substr(at + Key.size() + 3));
}

} // namespace

TEST(CtlApply, VirtualInstrumentKeepsRunningAsAssigned) {
    const auto r = RunCtl({"apply", "--device", "virtual", "ChA.Mode=QGMdC_gen",
                           "ChA.Frequency=2500", "ChA.Amplitude=50", "ChB.Mode=QGMdC_LFM",
                           "ChB.LFM.FreqTop=2000", "ChB.LFM.Tinc0=1000", "ChB.LFM.Tdec0=1000",
                           "ChB.LFM.Tinc1=10", "ChB.LFM.Tdec1=10"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    ASSERT_THAT(r.OutLines(), SizeIs(1));
    const std::string json = r.OutLines()[0];
    const std::string outputs = JsonObject(json, "outputs");
    // No reset frame at the end: both outputs still do what the cycle set up.
    const std::string a = JsonObject(outputs, "A");
    EXPECT_THAT(a, HasSubstr("\"on\":true,\"mode\":\"sine\""));
    EXPECT_NEAR(JsonNumber(a, "frequency_hz"), 2500000, 0.1);
    EXPECT_NEAR(JsonNumber(a, "amplitude_percent"), 50, 0.01);
    const std::string b = JsonObject(outputs, "B");
    EXPECT_THAT(b, HasSubstr("\"on\":true,\"mode\":\"sweep\""));
    EXPECT_NEAR(JsonNumber(b, "frequency_hz"), 1000000, 0.1);
    EXPECT_NEAR(JsonNumber(JsonObject(b, "sweep"), "top_hz"), 2000000, 0.1);
    EXPECT_THAT(JsonObject(json, "stream"), HasSubstr("\"protocol_errors\":0"));
}

TEST(CtlApply, TraceShowsEachFrameWithItsDecodedLine) {
    const auto r = RunCtl({"apply", "--device", "virtual", "--trace", "ChA.Mode=QGMdC_gen"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    const auto lines = r.OutLines();
    const std::vector<std::string> frames = {
        Reset, "F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 3F FF 00 00 00", "05 00 00 00 00 00",
        Update};
    ASSERT_THAT(lines, SizeIs(frames.size() * 2 + 1));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(lines[2 * i], frames[i]);
        // The monitor's line names the same bytes.
        EXPECT_THAT(lines[2 * i + 1], testing::EndsWith("| " + frames[i]));
    }
    EXPECT_THAT(lines.back(), testing::StartsWith("{\"clock\":"));
}

TEST(CtlAdc, ReadingsAsThePanelShowsThem) {
    struct TCase {
        std::vector<std::string> Args;
        std::string Reading;
    };
    // The virtual instrument's ADC input sits at its centre at these instants, so each reading
    // is the carrier itself.
    const TCase cases[] = {
        {{"ChA.Tuner.Type=QGAFPms_ampl", "ChA.Tuner.Scale=19", "ChA.Amplitude=50"}, "-6.021 dB"},
        // Full scale is a hair below 0 dB and rounds to zero: shown without a minus sign.
        {{"ChA.Tuner.Type=QGAFPms_ampl", "ChA.Tuner.Scale=19"}, "0 dB"},
        {{"ChA.Tuner.Type=QGAFPms_phase", "ChA.Tuner.Scale=17", "ChA.Phase=45"}, "45 °"},
        {{"ChA.Tuner.Scale=4", "ChA.Frequency=1500"}, "1500000 Гц"},
        {{"ChA.Tuner.Scale=10", "ChA.Frequency=1500"}, "1500 кГц"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.Args));
        std::vector<std::string> args{"adc",
                                      "--device",
                                      "virtual",
                                      "--count",
                                      "2",
                                      "ChA.Mode=QGMdC_tuning",
                                      "ChA.Tuner.ADCTimerInterval=10"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        const auto r = RunCtl(args);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_THAT(r.OutLines(), ElementsAreArray({c.Reading, c.Reading}));
    }
}

TEST(CtlFile, ShowAfterLoadingASavedFileGivesTheSameLines) {
    // Values off their defaults on every sub-object, a mode that compatibility rules reach, a
    // ratio with a long binary expansion, and an interval of 10 ms whose byte 0x0A the file
    // stores as a line break.
    const std::vector<std::string> setup = {
        "UseExtRefFreq=true",
        "RefFreq=10.5",
        "FreqScale=12",
        "Options.EnableDuplexIntMod=true",
        "Options.OverModulationNotify=false",
        "ChA.Mode=QGMdC_ExtModulationAB1",
        "ChA.Frequency=1234.567",
        "ChA.Amplitude=0.0005",
        "ChA.Phase=359.99",
        "ChA.Tuner.Type=QGAFPms_phase",
        "ChA.Tuner.Scale=17",
        "ChA.Tuner.ADCTimerEnabled=false",
        "ChA.Tuner.ADCTimerInterval=10",
        "ChA.IntModulation.Type=QGAFPms_ampl",
        "ChA.IntModulation.Fm=20000",
        "ChA.IntModulation.dA=100",
        "ChA.IntModulation.dF=2000000",
        "ChA.IntModulation.dPh=180",
        "ChA.IntModulation.CC=0.1",
        "ChA.IntModulation.MathFuncType=QMFT_rect",
        "ChA.ExtModulation.Type=QGAFPms_ampl",
        "ChA.ExtModulation.Scale=19",
        "ChA.LFM.FreqTop=150000",
        "ChA.LFM.Tinc0=10",
        "ChA.LFM.Tinc1=10000000",
        "ChA.LFM.Tdec0=2570",
        "ChA.LFM.Tdec1=13",
        "ChB.Frequency=200000",
        "ChB.DDSMod.F1=400",
        "ChB.DDSMod.F2=200000",
        "ChB.DDSMod.F3=1000.001",
        "ChB.DDSMod.F4=2570",
        "ChB.DDSMod.dF=0",
        "ChB.DDSMod.Ph1=10",
        "ChB.DDSMod.Ph2=20",
        "ChB.DDSMod.Ph3=30",
        "ChB.DDSMod.Ph4=40",
        "ChB.DDSMod.dPh=180",
        "ChB.DDSMod.T1=20",
        "ChB.DDSMod.T2=1300000",
        "ChB.DDSMod.T3=2000",
        "ChB.DDSMod.T4=33.3",
        "ChB.DDSMod.Mode=QGTMs_User",
        "ChB.DDSMod.Type=QGAFPms_phase",
        "ChB.DDSMod.UseExtTimes=true",
        "ChB.DDSMod.ContBidiRamp=false",
        "ChB.DDSMod.Fm=1500000",
        "ChB.DDSMod.MathFuncType=QMFT_triangle",
        "ChB.DDSMod.CC=0.75",
        "ChB.DDSMod.ReadingsCntMin=1024",
    };
    const std::string file = CtlTempPath("roundtrip.qvg");
    std::vector<std::string> save{"save", file};
    save.insert(save.end(), setup.begin(), setup.end());
    const auto saved = RunCtl(save);
    ASSERT_EQ(saved.Status, 0) << saved.Err;

    std::vector<std::string> show{"show"};
    show.insert(show.end(), setup.begin(), setup.end());
    const auto before = RunCtl(show);
    ASSERT_EQ(before.Status, 0) << before.Err;
    EXPECT_THAT(before.OutLines(), testing::Contains("ChB.Mode=QGMdC_ExtModulationAB1"));

    const auto after = RunCtl({"show", "--load", file});
    EXPECT_EQ(after.Status, 0) << after.Err;
    EXPECT_EQ(after.Out, before.Out);
    // The record holds 0x0A at least once, so the file is longer than the record.
    EXPECT_GT(ReadWholeFile(file).size(), 475u);
    std::remove(file.c_str());
}
