#include "QvGen4Errors.h"
#include "QvGen4Fixture.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Conversions, CodesAtTheDefaultClock) {
    TQvGen4 gen;
    struct TCase {
        double Hz;
        std::int32_t Code;
    };
    const TCase freq[] = {
        {1000000, 10737417},     // 1000 kHz
        {400000, 4294966},       // 400 kHz
        {200000000, 0x7FFFFFFF}, // 200000 kHz
        {0, 0},                  // would round to -1: no frequency word is negative
    };
    for (const auto& c : freq) {
        EXPECT_EQ(gen.Conv_FreqToCode(c.Hz), c.Code) << c.Hz;
    }
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_Value(1000, 1000, 1), 1000000);
    EXPECT_DOUBLE_EQ(gen.Conv_CodeToFreq(10737417), 999999.9776488182);
}

TEST(Conversions, AmplitudeAndPhaseCodes) {
    struct TCase {
        double Value;
        std::int32_t Code;
    };
    const TCase ampl[] = {{100, 16383}, {50, 8191},
                          {1, 163},     {0.5 / 163.84, 0},
                          {0.001, 0},   {std::numeric_limits<double>::infinity(), 0}};
    for (const auto& c : ampl) {
        EXPECT_EQ(TQvGen4::Conv_AmplToCode(c.Value), c.Code) << c.Value;
    }
    const TCase phase[] = {{90, 4096}, {359.99, 16384}, {0, 0}, {-1, 0}};
    for (const auto& c : phase) {
        EXPECT_EQ(TQvGen4::Conv_PhaseToCode(c.Value), c.Code) << c.Value;
    }
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_CodeToAmpl(16383), 99.9999995904);
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_CodeToPhase(8192), 180.0000004096);
    // ADC phase words beyond 14 bits fold back below zero.
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_CodeToPhase(32768), 32768 * 0.0219726563 - 1080);
}

TEST(Conversions, LevelsAndScaling) {
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_AmplTodB(50), -6.020599913279624);
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_AdBToAmpl(-20), 10.000000000000018);
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_AdBToAmpl(0), 100);
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_Value(1234.5678, 1000, 1000000, -3), 1.235);
    EXPECT_DOUBLE_EQ(TQvGen4::Conv_Value(2.5, 1000000, 1000), 2500);
}

TEST(Conversions, RoundingIsHalfToEven) {
    // 0.5 + 1 and 1.5 + 1 codes below: the amplitude (code + 1) / 163.84.
    EXPECT_EQ(TQvGen4::Conv_AmplToCode(1.5 / 163.84), 0); // 0.5 -> 0
    EXPECT_EQ(TQvGen4::Conv_AmplToCode(2.5 / 163.84), 2); // 1.5 -> 2
    EXPECT_EQ(TQvGen4::Conv_AmplToCode(3.5 / 163.84), 2); // 2.5 -> 2
}

TEST(ReferenceClock, SettersFollowTheExternalReference) {
    TGenOnRecorder r;
    TQvGen4& gen = *r.Gen;
    gen.SetActive(true);
    // Only switching the reference reprograms the instrument; the start-up code sets the clock
    // in three steps and relies on that.
    int cycles = 0;
    gen.AfterUpdate = [&](TQvGen4&) { ++cycles; };
    gen.SetRefFreq(10);
    gen.SetFreqScale(8);
    EXPECT_EQ(gen.RefFreq(), 25.0);
    EXPECT_EQ(gen.FreqScale(), 16);
    EXPECT_EQ(gen.GenFreq(), 400.0);

    gen.SetUseExtRefFreq(true);
    gen.SetFreqScale(25);
    EXPECT_EQ(gen.FreqScale(), 20);
    EXPECT_EQ(gen.GenFreq(), 500.0);
    gen.SetRefFreq(10);
    EXPECT_EQ(gen.GenFreq(), 200.0);
    gen.SetFreqScale(2);
    EXPECT_EQ(gen.FreqScale(), 0);
    EXPECT_EQ(gen.GenFreq(), 0.0);
    EXPECT_EQ(cycles, 1);

    gen.SetUseExtRefFreq(false);
    EXPECT_EQ(gen.RefFreq(), 25.0);
    EXPECT_EQ(gen.FreqScale(), 16);
    EXPECT_EQ(gen.GenFreq(), 400.0);
    EXPECT_EQ(cycles, 2);
}

TEST(ReferenceClock, NoFrequencyWordWithoutAGeneratorClock) {
    TQvGen4 gen;
    gen.SetUseExtRefFreq(true);
    gen.SetFreqScale(3);
    EXPECT_THROW(gen.Conv_FreqToCode(1000000), EQvGen4Error);
    gen.SetFreqScale(4);
    EXPECT_EQ(gen.GenFreq(), 100.0);
    EXPECT_EQ(gen.Conv_FreqToCode(1000000), 42949672); // 42949671.96 rounded
}
