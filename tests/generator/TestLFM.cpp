// The sweep: its rational ramp approximation, the frames of one channel and the setters' checks.
#include "QvGen4Fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

constexpr double TwoPow30 = 1073741824.0;

// Open, AutoUpdate off, nothing recorded yet.
void OpenQuiet(TGenOnRecorder& R) {
    R.Gen->SetAutoUpdate(false);
    R.Gen->SetActive(true);
    R.Link->ClearWrites();
}

} // namespace

TEST(LFM, XYtoABKeepsTheLastConvergentWithinTheBounds) {
    struct TCase {
        const char* Name;
        double X, Y, MaxA, MaxB;
        double A, B;
    };
    const TCase cases[] = {
        {"10/3", 10, 3, 0, 255, 10, 3},
        {"pi", std::numbers::pi * 1e6, 1e6, 0, 255, 355, 113},
        {"1000 kHz in 1000 us", 1000 * TwoPow30, 1e10, 0, 255, 16643, 155},
        {"92 kHz in 1000 us", 92 * TwoPow30, 1e10, 0, 255, 2519, 255},
        {"X zero", 0, 5, 0, 255, 0, 0},
        {"Y zero", 5, 0, 0, 255, 0, 0},
        {"first quotient above MaxA", 1000, 1, 500, 0, 0, 0},
        // Inputs the plain expansion never finished on:
        {"negative difference", -0.5 * TwoPow30, 10 * 1e7, 0, 255, 0, 0},
        {"negative, large ratio", -3e9, 1, 0, 0, 0, 0},
        {"quotient beyond 32 bits", 1e20, 1, 0, 0, 0, 0},
        {"NaN", std::nan(""), 1, 0, 255, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        double a = -1, b = -1;
        TQvGen4LFM::XYtoAB(c.X, c.Y, c.MaxA, c.MaxB, a, b);
        EXPECT_EQ(a, c.A);
        EXPECT_EQ(b, c.B);
    }
}

TEST(LFM, XYtoABWithoutBoundsEndsWithin32Bits) {
    double a = 0, b = 0;
    TQvGen4LFM::XYtoAB(std::numbers::pi, 1, 0, 0, a, b);
    EXPECT_LE(a, 4294967295.0);
    EXPECT_LE(b, 4294967295.0);
    EXPECT_NEAR(a / b, std::numbers::pi, 1e-15);
}

TEST(LFM, StartFramesOfEachChannel) {
    TGenOnRecorder r;
    OpenQuiet(r);
    for (TQvGen4Channel* ch :
         {static_cast<TQvGen4Channel*>(&r.Gen->ChA), static_cast<TQvGen4Channel*>(&r.Gen->ChB)}) {
        ch->LFM.SetFreqTop(2000);
        ch->LFM.SetTinc0(1000);
        ch->LFM.SetTinc1(500);
        ch->LFM.SetTdec0(2000);
        ch->LFM.SetTdec1(301);
    }
    r.Gen->ChA.LFM.StartLFM(true);
    EXPECT_THAT(r.Lines(),
                ElementsAre("00 06 A0 02 40 00", "08 9C 00 00 41 03", "07 94 00 00 1E D4",
                            "06 01 47 AE 13 00", "80 00 00 00 00 00", "85 00 02 EE 00 00",
                            "86 00 04 7E 00 00", "83 00 00 00 00 00"));
    r.Link->ClearWrites();
    r.Gen->ChB.LFM.StartLFM(false); // the timing and start frames belong to the pair's start
    EXPECT_THAT(r.Lines(),
                ElementsAre("10 06 A0 02 42 00", "18 9C 00 00 41 03", "17 94 00 00 1E D4",
                            "16 01 47 AE 13 00", "80 00 00 00 00 00"));
}

TEST(LFM, RampFramesAtTheEdges) {
    struct TCase {
        const char* Name;
        double Bottom; // kHz
        std::int32_t Top, Tinc0;
        const char* Ramp;
    };
    const TCase cases[] = {
        // B = 255 goes out as B + 1 in one byte: 0.
        {"denominator 255", 1000, 1092, 1000, "08 00 00 00 09 D7"},
        {"times never set", 1000, 2000, 0, "08 01 00 00 00 00"},
        {"top equal to bottom", 1000, 1000, 1000, "08 01 00 00 00 00"},
        // The carrier raises the top to whole kHz, so the top may lie below a fractional
        // bottom: the negative difference gives a still ramp.
        {"top below bottom", 1000.5, 1000, 10, "08 01 00 00 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGenOnRecorder r;
        OpenQuiet(r);
        r.Gen->ChA.LFM.SetFreqTop(c.Top);
        r.Gen->ChA.Set_sinFrequency(c.Bottom);
        if (c.Tinc0) {
            r.Gen->ChA.LFM.SetTinc0(c.Tinc0);
        }
        EXPECT_EQ(r.Gen->ChA.LFM.FreqTop(), c.Top);
        r.Gen->ChA.LFM.StartLFM(false);
        ASSERT_GE(r.Lines().size(), 2u);
        EXPECT_EQ(r.Lines()[1], c.Ramp);
    }
}

TEST(LFM, SettersRefuseOutOfRangeValues) {
    TGenOnRecorder r;
    std::vector<std::pair<int, double>> reports;
    r.Gen->OnParamValueError = [&](TQvGen4Channel&, TQvGen4Parameters p, const double& v) {
        reports.emplace_back(p, v);
    };
    OpenQuiet(r);
    r.Gen->SetAutoUpdate(true);
    r.Link->ClearWrites();
    auto& lfm = r.Gen->ChA.LFM;
    using TSetter = void (TQvGen4LFM::*)(std::int32_t);
    using TGetter = std::int32_t (TQvGen4LFM::*)() const;
    const std::pair<TSetter, TGetter> times[] = {{&TQvGen4LFM::SetTinc0, &TQvGen4LFM::Tinc0},
                                                 {&TQvGen4LFM::SetTinc1, &TQvGen4LFM::Tinc1},
                                                 {&TQvGen4LFM::SetTdec0, &TQvGen4LFM::Tdec0},
                                                 {&TQvGen4LFM::SetTdec1, &TQvGen4LFM::Tdec1}};
    for (const auto& [set, get] : times) {
        reports.clear();
        r.Link->ClearWrites();
        (lfm.*set)(9);
        (lfm.*set)(10000001);
        EXPECT_EQ((lfm.*get)(), 0);
        EXPECT_THAT(reports, ElementsAre(std::pair<int, double>{11, 9.0},
                                         std::pair<int, double>{11, 10000001.0}));
        EXPECT_TRUE(r.Link->Writes().empty());
        (lfm.*set)(10);
        EXPECT_EQ((lfm.*get)(), 10);
        (lfm.*set)(10000000);
        EXPECT_EQ((lfm.*get)(), 10000000);
        EXPECT_EQ(r.Link->Writes().size(), 2u); // one cycle (the reset alone) per accepted time
    }

    reports.clear();
    r.Link->ClearWrites();
    lfm.SetFreqTop(999);         // below the 1000 kHz carrier: ignored silently
    EXPECT_EQ(lfm.FreqTop(), 0); // never raised: the carrier was not set
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(r.Link->Writes().empty());
    lfm.SetFreqTop(1500);
    EXPECT_EQ(lfm.FreqTop(), 1500);
    EXPECT_EQ(r.Link->Writes().size(), 1u);
}

TEST(LFM, SingleAndSynchronisedSweepCycles) {
    auto setUp = [](TQvGen4Channel& Ch, std::int32_t Rise, std::int32_t Hold) {
        Ch.LFM.SetFreqTop(2000);
        Ch.LFM.SetTinc0(1000);
        Ch.LFM.SetTinc1(Rise);
        Ch.LFM.SetTdec0(2000);
        Ch.LFM.SetTdec1(Hold);
        Ch.SetMode(QGMdC_LFM);
    };
    const std::vector<std::string> a = {
        "F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 3F FF 00 00 00",
        "05 00 00 00 00 00", "00 06 A0 02 40 00", "08 9C 00 00 41 03",
        "07 94 00 00 1E D4", "06 01 47 AE 13 00", "80 00 00 00 00 00"};
    const std::vector<std::string> b = {
        "F9 00 00 00 00 00", "14 00 A3 D7 09 00", "12 3F FF 00 00 00",
        "15 00 00 00 00 00", "10 06 A0 02 42 00", "18 9C 00 00 41 03",
        "17 94 00 00 1E D4", "16 01 47 AE 13 00", "80 00 00 00 00 00"};
    auto join = [](std::initializer_list<std::vector<std::string>> Parts) {
        std::vector<std::string> out;
        for (const auto& p : Parts) {
            out.insert(out.end(), p.begin(), p.end());
        }
        return out;
    };
    {
        SCOPED_TRACE("channel A alone");
        TGenOnRecorder r;
        OpenQuiet(r);
        setUp(r.Gen->ChA, 500, 301);
        r.Gen->SetAutoUpdate(true);
        EXPECT_THAT(r.Lines(), ElementsAreArray(join({{"F0 00 00 00 00 00"},
                                                      a,
                                                      {"85 00 02 EE 00 00", "86 00 04 7E 00 00",
                                                       "83 00 00 00 00 00"}})));
    }
    {
        SCOPED_TRACE("both channels: started once, from B, with B's times");
        TGenOnRecorder r;
        OpenQuiet(r);
        setUp(r.Gen->ChA, 500, 301);
        setUp(r.Gen->ChB, 100, 1000); // (1000 + 100) / 2 = 550, (2000 + 1000) / 2 = 1500
        r.Gen->SetAutoUpdate(true);
        EXPECT_THAT(r.Lines(), ElementsAreArray(join({{"F0 00 00 00 00 00"},
                                                      a,
                                                      b,
                                                      {"85 00 02 26 00 00", "86 00 05 DC 00 00",
                                                       "83 00 00 00 00 00"}})));
    }
}
