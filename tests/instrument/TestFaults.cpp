// Faults of the virtual instrument as the generator meets them: the status it keeps, OnFTError,
// the message of the exception, and a model that keeps the values it was given.
#include "InstrumentFixture.h"

#include "QvGen4Errors.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char* const WriteCmd = "Ошибка при записи команды в FTPort";
const char* const WriteData = "Ошибка при записи данных в FTPort";
const char* const ReadData = "Ошибка при чтении данных из FTPort";

} // namespace

TEST(Faults, NoDeviceAtOpen) {
    TGenOnInstrument g;
    int ftErrors = 0;
    g.Gen->OnFTError = [&](TQvGen4&) { ++ftErrors; };
    g.Instr->FailOpen();
    g.Gen->ChA.SetMode(QGMdC_gen);
    g.Gen->SetActive(true);
    EXPECT_FALSE(g.Gen->Active());
    EXPECT_EQ(g.Gen->Status(), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(ftErrors, 1);
    EXPECT_EQ(g.Instr->ByteCount(), 0u);

    g.Instr->ClearFaults();
    g.Gen->SetActive(true);
    EXPECT_TRUE(g.Gen->Active());
    EXPECT_TRUE(g.A().On);
}

TEST(Faults, EachFaultReachesTheGeneratorAndTheModelKeepsItsValues) {
    struct TCase {
        const char* Name;
        std::function<void(TQvGen4&)> Setup;
        std::function<void(TQvVirtualInstrument&)> Arm;
        std::function<void(TQvGen4&)> Act;
        FT_STATUS Status;
        const char* Message;
    };
    const auto sine = [](TQvGen4& G) { G.ChA.SetMode(QGMdC_gen); };
    const auto newCarrier = [](TQvGen4& G) { G.ChA.Set_sinFrequency(2500); };
    const TCase cases[] = {
        {"failed command write", sine, [](auto& I) { I.FailWrite(3, FT_IO_ERROR); }, newCarrier,
         FT_IO_ERROR, WriteCmd},
        {"short command write", sine, [](auto& I) { I.FailWrite(3, FT_OK, 2); }, newCarrier, FT_OK,
         WriteCmd},
        {"failed data block", [](TQvGen4& G) { G.ChA.SetMode(QGMdC_IntModulation); },
         // F0, F1, 04, 02, 05, the table header, then the table
         [](auto& I) { I.FailWrite(7, FT_INSUFFICIENT_RESOURCES); }, newCarrier,
         FT_INSUFFICIENT_RESOURCES, WriteData},
        {"pulled out after two frames", sine, [](auto& I) { I.PullOutAfterFrames(2); }, newCarrier,
         FT_IO_ERROR, WriteCmd},
        {"read never answered", [](TQvGen4& G) { G.ChA.SetMode(QGMdC_tuning); },
         [](auto& I) { I.SilenceReads(true); },
         [](TQvGen4& G) {
             G.ChA.Set_sinFrequency(2500);
             G.ChA.Tuner.GetADCValue();
         },
         FT_IO_ERROR, ReadData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TGenOnInstrument g;
        c.Setup(*g.Gen);
        g.Gen->SetActive(true);
        ASSERT_TRUE(g.Gen->Active());
        const std::uint32_t adcBefore = g.Gen->ChA.Tuner.ADCValue();
        int ftErrors = 0;
        FT_STATUS seen = 0xFF;
        g.Gen->OnFTError = [&](TQvGen4& G) {
            ++ftErrors;
            seen = G.Status(); // the status of the failed call, before the exception
        };
        c.Arm(*g.Instr);
        try {
            c.Act(*g.Gen);
            ADD_FAILURE() << "no exception";
        } catch (const EQvGen4Error& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_EQ(ftErrors, 1);
        EXPECT_EQ(seen, c.Status);
        EXPECT_EQ(g.Gen->Status(), c.Status);
        EXPECT_TRUE(g.Gen->Active());
        EXPECT_DOUBLE_EQ(g.Gen->ChA.Frequency(), 2500);
        EXPECT_EQ(g.Gen->ChA.Tuner.ADCValue(), adcBefore);
        g.Gen->OnFTError = {};
        g.Instr->ClearFaults();
        g.Instr->Close(); // the generator's handle died with the fault; let it go quietly
    }
}

TEST(Faults, PulledOutDeviceIsGoneUntilPluggedInAgain) {
    TQvVirtualInstrument I;
    Feed(I, Frame(0xF1));
    I.PullOutAfterFrames(1);
    const TBytes two = Join({Frame(0xF2), Frame(0xF9)});
    std::uint32_t written = 0;
    EXPECT_EQ(I.Write(two.data(), 12, written), FT_IO_ERROR);
    EXPECT_EQ(written, 6u); // the first frame went through before the plug came out
    EXPECT_FALSE(I.Output(QGCN_A).On);
    EXPECT_FALSE(I.Output(QGCN_B).On);
    std::uint8_t r[4];
    EXPECT_EQ(I.Read(r, 4, written), FT_IO_ERROR);
    I.Close();
    EXPECT_EQ(I.Open(), FT_DEVICE_NOT_FOUND);

    I.PlugIn();
    EXPECT_EQ(I.Open(), FT_OK);
    EXPECT_EQ(I.Output(QGCN_A).Mode(), TQvOutputMode::Off); // it starts from power-on
}
