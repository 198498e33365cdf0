// Registers, clock, reset, the ADC answer, the monitor lines and the snapshot, from hand-made
// frames.
#include "InstrumentFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(InstrumentState, CarrierWordsInPhysicalUnitsFollowTheClock) {
    TQvVirtualInstrument I;
    Feed(I,
         Join({Frame(0xF9), Frame32(0x14, 0x00A3D709), Frame16(0x12, 8191), Frame16(0x15, 16384)}));
    auto s = I.Sample(QGCN_B, 0);
    EXPECT_TRUE(s.On);
    // Word 0x00A3D709 is the program's code for 1 MHz at 400 MHz; it stands for one step more.
    EXPECT_NEAR(s.FrequencyHz, 1e6, 0.1);
    EXPECT_DOUBLE_EQ(s.AmplitudePercent, 50.0);
    EXPECT_DOUBLE_EQ(s.PhaseDeg, 0.0);                    // 14 bits: 16384 is a full turn
    EXPECT_EQ(I.Sample(QGCN_A, 0).AmplitudePercent, 0.0); // output A is off

    // An external reference of 10 MHz times 20: the same word now means half the frequency.
    I.SetExternalReferenceMHz(10);
    Feed(I, Frame(0xE5, 20));
    EXPECT_DOUBLE_EQ(I.GeneratorClockMHz(), 200.0);
    EXPECT_NEAR(I.Sample(QGCN_B, 0).FrequencyHz, 0.5e6, 0.1);

    // Reset: back to power-on, built-in 25 MHz times 16, outputs off.
    Feed(I, Frame(0xF0));
    EXPECT_DOUBLE_EQ(I.GeneratorClockMHz(), 400.0);
    EXPECT_FALSE(I.Output(QGCN_B).On);
    EXPECT_EQ(I.Output(QGCN_B).FreqWord, 0u);
    EXPECT_EQ(I.Output(QGCN_B).Mode(), TQvOutputMode::Off);
}

TEST(InstrumentState, AdcAnswerIsCentrePlusInputTimesDepthAsTheTunerDecodesIt) {
    struct TCase {
        const char* Name;
        TBytes Setup;
        double Input;
        std::uint32_t Answer;
    };
    const TCase cases[] = {
        // Frequency: the word, depth 2^(Scale+9) at full scale.
        {"frequency", Join({Frame32(0x29, 0x00A3D709), Frame(0x81, 10)}), 0.5,
         0x00A3D709u + (1u << 18)},
        {"frequency on B", Join({Frame32(0x2A, 0x00A3D709), Frame(0xE1, 1)}), -1.0,
         0x00A3D709u - (1u << 10)},
        // Amplitude and phase: 14-bit codes, depth 2^(Scale-7), in the upper 16 bits.
        {"amplitude", Join({Frame16(0x29, 8191), Frame(0x82, 20)}), 1.0, (8191u + 8192u) << 16},
        {"phase below zero wraps as 16-bit two's complement",
         Join({Frame16(0x29, 0), Frame(0x84, 19)}), -1.0, 0xF000u << 16},
        {"input beyond full scale is clipped", Join({Frame16(0x29, 4096), Frame(0x84, 15)}), 3.0,
         (4096u + 256u) << 16},
        {"nothing tunes", Frame32(0x29, 0x12345678), 1.0, 0u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TQvVirtualInstrument I;
        I.SetAdcInput(QvConstantInput(c.Input));
        Feed(I, Join({c.Setup, {0xFD}}));
        std::uint8_t r[4] = {};
        std::uint32_t got = 0;
        ASSERT_EQ(I.Read(r, 4, got), FT_OK);
        ASSERT_EQ(got, 4u);
        EXPECT_EQ(std::uint32_t{r[0]} << 24 | r[1] << 16 | r[2] << 8 | r[3], c.Answer);
        // Nothing more to read: the read times out like a silent device.
        EXPECT_EQ(I.Read(r, 1, got), FT_IO_ERROR);
        EXPECT_EQ(got, 0u);
    }
}

TEST(InstrumentState, MonitorGivesOneReadableLinePerFrameAndBlock) {
    TQvVirtualInstrument I;
    std::vector<std::string> seen;
    I.OnMonitorLine = [&](const TQvMonitorLine& L) { seen.push_back(L.ToString()); };
    Feed(I, Join({Frame(0xF0),
                  Frame32(0x14, 0x00A3D709),
                  Frame16(0x02, 16383),
                  Frame(0x20, 0, 4),
                  {1, 2, 3, 4},
                  Frame(0x33)}));
    EXPECT_THAT(seen,
                ElementsAre("— | Сброс прибора | F0 00 00 00 00 00",
                            "B | Частота несущей: 999999,978 Гц (0x00A3D709) | 14 00 A3 D7 09 00",
                            "A | Амплитуда: 100,000 % (код 16383) | 02 3F FF 00 00 00",
                            "A | Заголовок таблицы ОЗУ МК: 4 байт с адреса 0 | 20 00 04 00 00 00",
                            "A | Таблица ОЗУ МК: 4 байт с адреса 0 | 01 02 03 04",
                            "— | ОШИБКА ПРОТОКОЛА: неизвестный код 0x33 | 33 00 00 00 00 00"));
    EXPECT_EQ(I.MonitorText(), seen);
    EXPECT_EQ(I.MonitorText(I.NextMonitorSeq() - 1).size(), 1u);
}

TEST(InstrumentState, SnapshotIsWellFormedJsonWithTheState) {
    TQvVirtualInstrument I;
    Feed(I, Join({Frame(0xF9),
                  Frame32(0x14, 0x00A3D709),
                  Frame(0x10, 0x86, 0x80, 2, 0x42),
                  Frame(0x17, 100, 0, 3, 0, 0x80),
                  Frame(0x31, 0, 16),
                  {0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4},
                  Frame(0x77)}));
    const std::string j = I.SnapshotJson();
    EXPECT_TRUE(TJsonCheck::Valid(j)) << j;
    EXPECT_THAT(j, HasSubstr("\"generator_mhz\":400"));
    EXPECT_THAT(j, HasSubstr("\"frequency_word\":10737417"));
    EXPECT_THAT(j, HasSubstr("\"mode\":\"memory_table\""));
    EXPECT_THAT(j, HasSubstr("\"table\":[4,3,2,1]")); // played from the end of the segment
    EXPECT_THAT(j, HasSubstr("\"protocol_errors\":1"));
    EXPECT_THAT(j, HasSubstr("\"reason\":\"неизвестный код 0x77\""));
}
