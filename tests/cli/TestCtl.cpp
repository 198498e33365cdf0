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
        return std::vector<std::string>{
            Ch + ".Mode=QGMdC_off",
            Ch + ".Frequency=1000",
            Ch + ".Amplitude=100",
            Ch + ".Phase=0",
            // The carrier's start value equals its default, so the sweep top keeps its 0.
            Ch + ".LFM.FreqTop=0",
            Ch + ".LFM.Tinc0=0",
            Ch + ".LFM.Tinc1=0",
            Ch + ".LFM.Tdec0=0",
            Ch + ".LFM.Tdec1=0",
        };
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

TEST(CtlAssign, RefusedValuesAreReportedAndTheRunGoesOn) {
    // 100 kHz is below the carrier range; FreqScale is fixed while the built-in reference is used.
    const auto r = RunCtl(
        {"frames", "ChA.Frequency=100", "ChA.Mode=QGMdC_gen", "FreqScale=8", "ChA.Amplitude=50"});
    EXPECT_EQ(r.Status, 3);
    EXPECT_THAT(r.ErrLines(),
                ElementsAreArray<std::string>({"qvgen4ctl: refused: ChA.Frequency=100 (keeps 1000)",
                                               "qvgen4ctl: refused: FreqScale=8 (keeps 16)"}));
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

    const auto usb = RunCtl({"apply", "--device", "usb", "ChA.Mode=QGMdC_gen"});
    if (usb.Status == 0) {
        GTEST_SKIP() << "an FTDI device is attached";
    }
    EXPECT_EQ(usb.Status, 1);
    EXPECT_THAT(usb.Out, IsEmpty());
    EXPECT_THAT(usb.Err, HasSubstr("cannot open the device"));
}
