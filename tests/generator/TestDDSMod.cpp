// Keying and the user mode of the synthesizer memory: frame sequences, the choice of N and Tau,
// and the setters' checks.
#include "QvGen4Fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

void OpenQuiet(TGenOnRecorder& R) {
    R.Gen->SetAutoUpdate(false);
    R.Gen->SetActive(true);
    R.Link->ClearWrites();
}

const std::vector<std::string> CarrierA = {"04 00 A3 D7 09 00", "02 3F FF 00 00 00",
                                           "05 00 00 00 00 00"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> Parts) {
    std::vector<std::string> out;
    for (const auto& p : Parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

} // namespace

TEST(DDSMod, BPSKWithDwellTimesAtTheLimits) {
    TGenOnRecorder r;
    OpenQuiet(r);
    auto& m = r.Gen->ChA.DDSMod;
    m.SetType(QGAFPms_phase);
    m.SetPh1(90);
    m.SetPh2(180);
    m.SetT1(20);      // 1 count
    m.SetT2(1300000); // 65000 counts
    m.StartDDSMod();
    EXPECT_THAT(r.Lines(),
                ElementsAreArray(
                    Join({CarrierA,
                          {"00 C6 80 02 40 00", "07 01 00 01 00 00", "08 E8 FD 03 08 00",
                           "80 00 00 00 00 00", "40 00 00 00 00 00", "30 00 08 00 00 00",
                           "40 00 00 00 40 00 00 00", "40 00 01 00 00 00", "30 00 08 00 00 00",
                           "80 00 00 00 80 00 00 00", "00 E6 80 02 40 00", "80 00 00 00 00 00"}})));
}

TEST(DDSMod, QFSKOnChannelBWithAndWithoutExternalTimes) {
    const std::vector<std::string> keying = {
        "10 86 80 02 42 00", "17 32 00 01 00 00", "18 32 00 03 08 00",
        "19 32 00 05 10 00", "1A 32 00 07 18 00", "80 00 00 00 00 00",
        "50 00 00 00 00 00", "31 00 08 00 00 00", "00 A3 D7 09 00 A3 D7 09",
        "50 00 01 00 00 00", "31 00 08 00 00 00", "01 47 AE 13 01 47 AE 13",
        "50 01 00 00 00 00", "31 00 08 00 00 00", "01 EB 85 1E 01 EB 85 1E",
        "50 01 01 00 00 00", "31 00 08 00 00 00", "02 8F 5C 28 02 8F 5C 28"};
    const std::vector<std::string> carrierB = {"14 00 A3 D7 09 00", "12 3F FF 00 00 00",
                                               "15 00 00 00 00 00"};
    for (bool ext : {false, true}) {
        SCOPED_TRACE(ext ? "external times" : "dwell times");
        TGenOnRecorder r;
        OpenQuiet(r);
        auto& m = r.Gen->ChB.DDSMod;
        m.SetMode(QGTMs_QxSK);
        m.SetF2(2000);
        m.SetF3(3000);
        m.SetF4(4000);
        m.SetUseExtTimes(ext);
        m.StartDDSMod();
        const std::vector<std::string> tail =
            ext ? std::vector<std::string>{"E6 00 00 00 00 00"}
                : std::vector<std::string>{"10 B6 80 02 42 00", "80 00 00 00 00 00"};
        EXPECT_THAT(r.Lines(), ElementsAreArray(Join({carrierB, keying, tail})));
    }
}

TEST(DDSMod, CalcNTauPicksTheClosestProduct) {
    struct TCase {
        double Fm;
        bool Half;
        std::int32_t Min;
        std::int32_t N;
        std::uint32_t Tau;
    };
    const TCase cases[] = {
        {1000, false, 32, 1000, 100}, {1000, true, 32, 1000, 50}, {200, false, 32, 1000, 500},
        {3000, false, 32, 813, 41},   {3000, true, 32, 641, 26},  {7000, false, 32, 157, 91},
        {1500000, false, 32, 67, 1},  {1500000, true, 32, 33, 1}, {1500000, false, 1024, 1024, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Fm << (c.Half ? " half" : "") << " min " << c.Min);
        TGenOnRecorder r;
        auto& m = r.Gen->ChA.DDSMod;
        m.SetFm(c.Fm);
        m.SetContBidiRamp(c.Half); // the default sine may use half a period
        m.SetReadingsCntMin(c.Min);
        m.Calc_N_Tau();
        EXPECT_EQ(m.N(), c.N);
        EXPECT_EQ(m.Tau(), c.Tau);
    }
}

TEST(DDSMod, UserModeSineOnHalfAPeriodAndTriangleOnAWholeOne) {
    struct TCase {
        const char* Name;
        TMathFuncsTypes Wave;
        const char* Sweep;   // Tau, N - 1 and the half-period mark
        std::size_t PeakAt;  // reading with the largest word
        std::uint32_t First; // reading 0
    };
    // Carrier 1000 kHz = 0x00A3D709; dF 1000 Hz = 10736: peak 0x00A400F9, trough 0x00A3AD19.
    const TCase cases[] = {
        {"sine, half period", QMFT_sin, "07 32 00 E7 03 60", 500, 0x00A3D709},
        {"triangle, whole period", QMFT_triangle, "07 64 00 E7 03 80", 500, 0x00A3AD19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGenOnRecorder r;
        OpenQuiet(r);
        auto& m = r.Gen->ChA.DDSMod;
        m.SetMode(QGTMs_User);
        m.SetContBidiRamp(true);
        m.SetMathFuncType(c.Wave);
        m.StartDDSMod();
        const auto lines = r.Lines();
        ASSERT_EQ(lines.size(), 10u);
        EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 8),
                    ElementsAreArray(Join({CarrierA,
                                           {"00 86 80 02 40 00", "40 00 00 00 00 00", c.Sweep,
                                            "80 00 00 00 00 00", "30 0F A0 00 00 00"}})));
        EXPECT_EQ(lines[9], "80 00 00 00 00 00");
        // 1000 readings of 4 bytes, most significant first, the table stored back to front.
        const auto& block = r.Link->Writes()[8];
        ASSERT_EQ(block.size(), 4000u);
        auto reading = [&](std::size_t i) {
            const std::size_t p = (999 - i) * 4;
            return std::uint32_t(block[p]) << 24 | std::uint32_t(block[p + 1]) << 16 |
                   std::uint32_t(block[p + 2]) << 8 | block[p + 3];
        };
        EXPECT_EQ(reading(0), c.First);
        EXPECT_EQ(reading(c.PeakAt), 0x00A400F9u);
    }
}

TEST(DDSMod, SettersRefuseOutOfRangeValues) {
    TGenOnRecorder r;
    std::vector<int> reports;
    r.Gen->OnParamValueError = [&](TQvGen4Channel&, TQvGen4Parameters p, const double&) {
        reports.push_back(p);
    };
    auto& m = r.Gen->ChA.DDSMod;
    struct TCase {
        const char* Name;
        std::function<void()> Refused, Accepted;
        std::function<double()> Get;
        double Before, After;
        int Report; // 0: refused silently
    };
    const TCase cases[] = {
        {"T1", [&] { m.SetT1(19); }, [&] { m.SetT1(20); }, [&] { return m.T1(); }, 1000, 20, 24},
        {"T4", [&] { m.SetT4(1300001); }, [&] { m.SetT4(1300000); }, [&] { return m.T4(); }, 1000,
         1300000, 24},
        {"F2", [&] { m.SetF2(399.999); }, [&] { m.SetF2(200000); }, [&] { return m.F2(); }, 1000,
         200000, 2},
        {"Ph3", [&] { m.SetPh3(360); }, [&] { m.SetPh3(0); }, [&] { return m.Ph3(); }, 90, 0, 3},
        {"dF", [&] { m.Set_dF(2000001); }, [&] { m.Set_dF(0); }, [&] { return m.dF(); }, 1000, 0,
         0},
        {"dPh", [&] { m.Set_dPh(180.5); }, [&] { m.Set_dPh(180); }, [&] { return m.dPh(); }, 90,
         180, 0},
        {"Fm", [&] { m.SetFm(199); }, [&] { m.SetFm(1500000); }, [&] { return m.Fm(); }, 1000,
         1500000, 0},
        {"ReadingsCntMin low", [&] { m.SetReadingsCntMin(15); }, [&] { m.SetReadingsCntMin(16); },
         [&] { return double(m.ReadingsCntMin()); }, 32, 16, 0},
        {"ReadingsCntMin high", [&] { m.SetReadingsCntMin(1025); },
         [&] { m.SetReadingsCntMin(1024); }, [&] { return double(m.ReadingsCntMin()); }, 16, 1024,
         0},
        {"Type", [&] { m.SetType(QGAFPms_ampl); }, [&] { m.SetType(QGAFPms_phase); },
         [&] { return double(m.Type()); }, QGAFPms_freq, QGAFPms_phase, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        reports.clear();
        c.Refused();
        EXPECT_EQ(c.Get(), c.Before);
        EXPECT_EQ(reports, c.Report ? std::vector<int>{c.Report} : std::vector<int>{});
        c.Accepted();
        EXPECT_EQ(c.Get(), c.After);
    }
}

TEST(DDSMod, UpdateCycleKeysChannelAThenChannelB) {
    TGenOnRecorder r;
    OpenQuiet(r);
    r.Gen->ChA.SetMode(QGMdC_DDSMod);
    r.Gen->ChB.SetMode(QGMdC_DDSMod);
    r.Gen->ChB.DDSMod.SetUseExtTimes(true);
    r.Gen->SetAutoUpdate(true);
    const std::string word = "00 A3 D7 09 00 A3 D7 09"; // 1000 kHz, both symbols
    EXPECT_THAT(
        r.Lines(),
        ElementsAreArray(Join(
            {{"F0 00 00 00 00 00", "F1 00 00 00 00 00"},
             CarrierA,
             {"00 86 80 02 40 00", "07 32 00 01 00 00", "08 32 00 03 08 00", "80 00 00 00 00 00",
              "40 00 00 00 00 00", "30 00 08 00 00 00", word, "40 00 01 00 00 00",
              "30 00 08 00 00 00", word, "00 A6 80 02 40 00", "80 00 00 00 00 00"},
             {"F9 00 00 00 00 00", "14 00 A3 D7 09 00", "12 3F FF 00 00 00", "15 00 00 00 00 00",
              "10 86 80 02 42 00", "17 32 00 01 00 00", "18 32 00 03 08 00", "80 00 00 00 00 00",
              "50 00 00 00 00 00", "31 00 08 00 00 00", word, "50 00 01 00 00 00",
              "31 00 08 00 00 00", word, "E6 00 00 00 00 00"}})));
}
