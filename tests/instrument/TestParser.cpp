// The byte stream as the instrument reads it: the same session however the writes split it, and
// bad bytes that are refused without touching the state.
#include "InstrumentFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace {

TBytes Zeros(std::size_t N, std::uint8_t Fill = 0) {
    return TBytes(N, Fill);
}

// A session touching every kind of item: frames of both outputs, the one-byte query, tables for
// the microcontroller memory of both outputs and a block for the synthesizer memory.
std::vector<TBytes> Session() {
    return {
        Frame(0xF0),
        Frame(0xE5, 20),
        Frame(0xF1),
        Frame32(0x04, 0x00A3D709),
        Frame16(0x02, 16383),
        Frame16(0x05, 4096),
        Frame(0x20, 0x00, 0x08),
        {0x00, 0xA3, 0xD7, 0x09, 0x00, 0xA4, 0x00, 0x00},
        Frame(0x87, 0xFD, 0xFD, 0x08, 0x03),
        Frame(0xF9),
        Frame(0x21, 0x10, 0x00, 0x10, 0x04),
        {0x12, 0x34, 0x23, 0x45},
        Frame(0x89, 0xFE, 0x00, 0x08, 0x01),
        Frame(0x2A, 0x11, 0x22, 0x33, 0x44),
        Frame(0xE1, 10),
        {0xFD},
        Frame(0x10, 0x86, 0x80, 0x02, 0x42),
        Frame(0x17, 50, 0, 1, 0, 0),
        Frame(0x50, 0, 0),
        Frame(0x31, 0, 8),
        {0x40, 0, 0, 0, 0x40, 0, 0, 0},
        Frame(0x80),
    };
}

std::string FedWhole(std::size_t Chunk) {
    TQvVirtualInstrument I;
    TBytes all;
    for (const auto& part : Session()) {
        all.insert(all.end(), part.begin(), part.end());
    }
    Feed(I, all, Chunk);
    EXPECT_EQ(I.ProtocolErrorCount(), 0u) << "chunk " << Chunk;
    return I.SnapshotJson();
}

// The state part of the snapshot (the stream counters and errors differ on purpose).
std::string Outputs(const TQvVirtualInstrument& I) {
    const std::string j = I.SnapshotJson();
    return j.substr(j.find("\"sweep_timing\""));
}

} // namespace

TEST(Parser, SameStateHoweverTheWritesSplitTheSession) {
    TQvVirtualInstrument byFrame;
    for (const auto& part : Session()) {
        Feed(byFrame, part);
    }
    const std::string reference = byFrame.SnapshotJson();
    EXPECT_EQ(byFrame.FrameCount(), 19u);
    EXPECT_EQ(byFrame.BlockCount(), 3u);
    EXPECT_EQ(byFrame.ProtocolErrorCount(), 0u);
    for (const std::size_t chunk : {0u, 1u, 2u, 5u, 7u, 13u}) {
        EXPECT_EQ(FedWhole(chunk), reference) << "chunk " << chunk;
    }
    // The session did what its frames say.
    const auto& a = byFrame.Output(QGCN_A);
    const auto& b = byFrame.Output(QGCN_B);
    EXPECT_EQ(byFrame.State().Multiplier, 20);
    EXPECT_EQ(a.FreqWord, 0x00A3D709u);
    EXPECT_EQ(a.IntMod.TableBytes, 8);
    EXPECT_TRUE(a.IntMod.Running);
    EXPECT_EQ(b.IntMod.TableStart, 4096);
    EXPECT_EQ(b.IntMod.Parameter, QGAFPms_ampl);
    EXPECT_EQ(b.Memory.Word(0), 0x40000000u);
    EXPECT_EQ(b.Memory.Profiles[0].StepTime, 50);
}

TEST(Parser, BadBytesAreRefusedWithoutTouchingTheStateAndTheNextFrameIsTaken) {
    struct TCase {
        const char* Name;
        TBytes Bad;
        const char* Reason;
    };
    const TCase cases[] = {
        {"unknown code", Frame(0x33, 1, 2, 3, 4, 5), "неизвестный код 0x33"},
        {"A table beyond memory", Join({Frame(0x20, 0x20, 0x01), Zeros(8193, 0x55)}),
         "не помещается в ОЗУ МК"},
        {"B table ends beyond memory", Join({Frame(0x21, 0x1F, 0x40, 0x20, 0x08), Zeros(200)}),
         "не помещается в ОЗУ МК"},
        {"B table ends before it starts", Frame(0x21, 0x00, 0x10, 0x00, 0x05),
         "конец блока раньше начала"},
        {"memory block beyond memory", Join({Frame(0x30, 0x10, 0x04), Zeros(4100, 0x77)}),
         "не помещается в ОЗУ ЦВС"},
        {"unknown modulated parameter", Frame(0x87, 0xFD, 0xFD, 0x08, 0x07),
         "неизвестный параметр"},
        {"segment number beyond 3", Frame(0x40, 2, 0), "номер сегмента"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TQvVirtualInstrument I;
        for (const auto& part : Session()) {
            Feed(I, part);
        }
        const std::string before = Outputs(I);
        const auto mcu = I.State().McuMemory;
        Feed(I, c.Bad);
        EXPECT_EQ(Outputs(I), before);
        EXPECT_EQ(I.State().McuMemory, mcu);
        ASSERT_EQ(I.ProtocolErrorCount(), 1u);
        EXPECT_THAT(I.ProtocolErrors().back().Reason, HasSubstr(c.Reason));
        EXPECT_EQ(I.ProtocolErrors().back().Size, c.Bad.size());
        EXPECT_TRUE(I.Monitor().back().Error);

        Feed(I, Frame32(0x14, 0x01020304));
        EXPECT_EQ(I.Output(QGCN_B).FreqWord, 0x01020304u);
        EXPECT_EQ(I.ProtocolErrorCount(), 1u);
    }
}

TEST(Parser, ANewSessionStartsOnAFrameBoundary) {
    TQvVirtualInstrument I;
    Feed(I, {0x04, 0x00, 0x01}); // the host gave up in the middle of a frame
    I.Close();
    I.Open();
    EXPECT_EQ(I.ProtocolErrorCount(), 1u);
    Feed(I, Frame32(0x04, 0x00A3D709));
    EXPECT_EQ(I.Output(QGCN_A).FreqWord, 0x00A3D709u);
}
