// Whole update cycles for the modulation and tuning modes, byte for byte.
#include "QvModesTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using ::testing::ElementsAreArray;

namespace {

const std::string F0 = "F0 00 00 00 00 00";
// Default carriers: 1000 kHz, 100 %, 0 degrees.
const std::vector<std::string> CarrierA = {"F1 00 00 00 00 00", "04 00 A3 D7 09 00",
                                           "02 3F FF 00 00 00", "05 00 00 00 00 00"};
const std::vector<std::string> CarrierB = {"F9 00 00 00 00 00", "14 00 A3 D7 09 00",
                                           "12 3F FF 00 00 00", "15 00 00 00 00 00"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> Parts) {
    std::vector<std::string> out;
    for (const auto& p : Parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

struct TCycleCase {
    const char* Name;
    TQvGen4ModesCommon A, B;
    std::function<void(TQvGen4&)> Setup;
    std::vector<std::string> Frames;
};

} // namespace

TEST(ModeCycles, FramesOfEachConfiguration) {
    // Carrier 60 %: 26 65; an amplitude swing of 50 % of it (30 %): 13 32.
    const std::vector<std::string> carrierA60 = {"F1 00 00 00 00 00", "04 00 A3 D7 09 00",
                                                 "02 26 65 00 00 00", "05 00 00 00 00 00"};
    const std::vector<std::string> carrierB60 = {"F9 00 00 00 00 00", "14 00 A3 D7 09 00",
                                                 "12 26 65 00 00 00", "15 00 00 00 00 00"};
    const TCycleCase cases[] = {
        {"A internal frequency modulation alone", QGMdC_IntModulation, QGMdC_off, [](TQvGen4&) {},
         // 172 frequency words at Fm 1000 Hz, divider FDFD, selector 3.
         Join({{F0}, CarrierA, {"20 02 B0 00 00 00", "block 688", "87 FD FD 08 03 00"}})},
        {"A and B in independent amplitude modulation", QGMdC_IntModulation, QGMdC_IntModulation,
         [](TQvGen4& g) {
             for (TQvGen4Channel* ch :
                  {static_cast<TQvGen4Channel*>(&g.ChA), static_cast<TQvGen4Channel*>(&g.ChB)}) {
                 ch->IntModulation.SetType(QGAFPms_ampl);
                 ch->Set_sinAmplitude(60);
             }
         },
         // 153 readings each in half the memory: A from 0, B from 4096.
         Join({{F0},
               carrierA60,
               {"20 01 32 00 00 00", "block 306", "97 FD BD 08 01 00"},
               carrierB60,
               {"21 10 00 11 32 00", "block 306", "99 FD BD 08 01 00", "9A 00 00 00 00 00"}})},
        {"A and B in duplex modulation", QGMdC_IntModulation, QGMdC_IntModulation,
         [](TQvGen4& g) {
             g.Options.SetEnableDuplexIntMod(true);
             g.ChB.IntModulation.SetFm(50); // B's own table is not used
         },
         Join({{F0},
               CarrierA,
               {"20 02 B0 00 00 00", "block 688"},
               CarrierB,
               {"B0 FD FD 08 03 00"}})},
        {"A in external A12 modulation, B on a sine", QGMdC_ExtModulationA12, QGMdC_gen,
         [](TQvGen4& g) {
             g.ChA.ExtModulation.SetType(QGAFPms_ampl);
             g.ChA.ExtModulation.SetScale(20);
             g.ChA.Set_sinAmplitude(50);
             g.ChB.ExtModulation.SetScale(18);
         },
         Join({{F0},
               CarrierB,
               {"7F 00 00 00 00 00", "F1 00 00 00 00 00", "04 00 A3 D7 09 00", "02 1F FF 00 00 00",
                "05 00 00 00 00 00", "29 1F FF 00 00 00", "91 14 12 01 00 00"}})},
        {"A in AB1", QGMdC_ExtModulationAB1, QGMdC_ExtModulationAB1,
         [](TQvGen4& g) { g.ChA.ExtModulation.SetScale(7); },
         Join({{F0}, CarrierB, CarrierA, {"29 00 A3 D7 09 00", "B2 07 03 00 00 00"}})},
        {"B alone in tuning", QGMdC_off, QGMdC_tuning,
         [](TQvGen4& g) {
             g.ChB.Tuner.SetScale(10);
             g.ChB.Tuner.SetADCTimerEnabled(true);
         },
         Join({{F0}, CarrierB, {"2A 00 A3 D7 09 00", "E1 0A 00 00 00 00"}})},
        {"B alone in external frequency modulation", QGMdC_off, QGMdC_ExtModulation,
         [](TQvGen4& g) { g.ChB.ExtModulation.SetScale(7); },
         Join({{F0}, CarrierB, {"2A 00 A3 D7 09 00", "8D 07 03 00 00 00"}})},
        {"A and B in external modulation", QGMdC_ExtModulation, QGMdC_ExtModulation,
         [](TQvGen4& g) {
             g.ChA.ExtModulation.SetType(QGAFPms_ampl);
             g.ChA.ExtModulation.SetScale(19);
             g.ChB.ExtModulation.SetType(QGAFPms_phase);
             g.ChB.ExtModulation.SetScale(17);
         },
         Join({{F0},
               CarrierA,
               {"29 3F FF 00 00 00"},
               CarrierB,
               {"2A 00 00 00 00 00", "8F 13 01 11 02 00"}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGenOnRecorder r;
        r.Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
        PrepareModes(r, c.A, c.B);
        c.Setup(*r.Gen);
        int after = 0;
        r.Gen->AfterUpdate = [&](TQvGen4&) { ++after; };
        r.Gen->SetAutoUpdate(true);
        EXPECT_THAT(Frames(r), ElementsAreArray(c.Frames));
        EXPECT_EQ(after, 1);
    }
}

TEST(ModeCycles, TableBlocksHoldTheWaveform) {
    TGenOnRecorder r;
    PrepareModes(r, QGMdC_IntModulation, QGMdC_IntModulation);
    for (TQvGen4Channel* ch :
         {static_cast<TQvGen4Channel*>(&r.Gen->ChA), static_cast<TQvGen4Channel*>(&r.Gen->ChB)}) {
        ch->IntModulation.SetType(QGAFPms_ampl);
        ch->Set_sinAmplitude(60);
    }
    r.Gen->ChB.IntModulation.SetMathFuncType(QMFT_triangle);
    r.Gen->SetAutoUpdate(true);
    const auto blocks = Blocks(r);
    ASSERT_EQ(blocks.size(), 2u);
    // A: a sine from the carrier word 2665 up by 1332 at a quarter period; 16-bit words, most
    // significant byte first. B: a triangle from the bottom, 2665 - 1332.
    EXPECT_EQ(Head(blocks[0], 2), "26 65");
    EXPECT_EQ(Head(blocks[1], 2), "13 33");

    TGenOnRecorder f;
    PrepareModes(f, QGMdC_IntModulation, QGMdC_off);
    f.Gen->SetAutoUpdate(true);
    const auto fm = Blocks(f).at(0);
    ASSERT_EQ(fm.size(), 688u);
    EXPECT_EQ(Head(fm), "00 A3 D7 09");
    // Reading 43 of 172 is the crest: carrier word plus the 100 Hz deviation word (1073).
    EXPECT_EQ(HexBytes({fm.begin() + 4 * 43, fm.begin() + 4 * 44}), "00 A3 DB 3A");
}
