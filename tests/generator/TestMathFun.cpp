// Waveform tables: values, rounding, byte and reading order, and when the table is rebuilt.
#include "QvGen4Fixture.h"
#include "QvMathFun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

using ::testing::ElementsAreArray;

namespace {

struct TShape {
    TMathFuncsTypes Type;
    int N;
    double CA, CB, CC;
    bool Half;
};

TMathFunction& Configure(TMathFunction& F, const TShape& S, TBytesPerReading Width) {
    F.SetAutoUpdate(false);
    F.SetFunctionType(S.Type);
    F.SetReadingsCount(S.N);
    F.Set_CA(S.CA);
    F.Set_CB(S.CB);
    F.Set_CC(S.CC);
    F.SetHalfOfPeriod(S.Half);
    F.SetBytesPerReading(Width);
    F.SetAutoUpdate(true);
    return F;
}

// Readings back as signed numbers, assuming 4-byte readings, least significant byte first.
std::vector<std::int32_t> Readings(const TMathFunction& F) {
    std::vector<std::int32_t> out;
    const std::uint8_t* m = F.ReadingsMemory();
    for (int i = 0; i < F.ReadingsMemorySize() / 4; ++i) {
        const std::uint32_t r =
            m[4 * i] | m[4 * i + 1] << 8 | m[4 * i + 2] << 16 | std::uint32_t(m[4 * i + 3]) << 24;
        out.push_back(static_cast<std::int32_t>(r));
    }
    return out;
}

std::string Bytes(const TMathFunction& F) {
    return HexBytes({F.ReadingsMemory(), F.ReadingsMemory() + F.ReadingsMemorySize()});
}

} // namespace

TEST(MathFunction, WaveformValues) {
    struct TCase {
        TShape Shape;
        std::vector<std::int32_t> Expected;
    };
    const TCase cases[] = {
        {{QMFT_sin, 4, 100, 50, 0.5, false}, {100, 150, 100, 50}},
        {{QMFT_sin, 4, 100, 50, 0.5, true}, {100, 135, 150, 135}},
        {{QMFT_triangle, 4, 0, 100, 0.5, false}, {-100, 0, 100, 0}},
        {{QMFT_triangle, 4, 0, 100, 0, false}, {100, 50, 0, -50}},
        {{QMFT_triangle, 4, 0, 100, 1, false}, {-100, -50, 0, 50}},
        {{QMFT_triangle, 4, 0, 100, 0.5, true}, {-100, 0, 100, 0}}, // half period: no effect
        {{QMFT_triangle, 8, 1000, 200, 0.25, false}, {800, 1000, 1200, 1133, 1067, 1000, 933, 867}},
        // Thresholds N x CC round half to even: 2.5 gives 2, 3.5 gives 4.
        {{QMFT_rect, 5, 10, 3, 0.5, false}, {13, 13, 7, 7, 7}},
        {{QMFT_rect, 7, 10, 3, 0.5, false}, {13, 13, 13, 13, 7, 7, 7}},
        // Readings round half to even as well: 2.5 gives 2, -2.5 gives -2.
        {{QMFT_rect, 2, 0, 2.5, 0.5, false}, {2, -2}},
        {{QMFT_rect, 2, 1, 2.5, 0.5, false}, {4, -2}},
        // Large frequency words keep their 32-bit pattern.
        {{QMFT_rect, 2, 3221225472.0, 1, 0.5, false}, {-1073741823, -1073741825}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.Shape.Type) << " N=" << c.Shape.N
                                        << " CC=" << c.Shape.CC << " half=" << c.Shape.Half);
        TMathFunction f;
        Configure(f, c.Shape, BPR_4);
        EXPECT_EQ(f.ReadingsMemorySize(), 4 * c.Shape.N);
        EXPECT_THAT(Readings(f), ElementsAreArray(c.Expected));
    }
}

TEST(MathFunction, ByteAndReadingOrder) {
    TMathFunction f;
    Configure(f, {QMFT_sin, 4, 100, 50, 0.5, false}, BPR_4);
    f.SetDirectRdsBytes(false);
    EXPECT_EQ(Bytes(f), "00 00 00 64 00 00 00 96 00 00 00 64 00 00 00 32");

    Configure(f, {QMFT_triangle, 4, 0, 100, 0.5, false}, BPR_2);
    EXPECT_EQ(f.ReadingsMemorySize(), 8);
    EXPECT_EQ(Bytes(f), "FF 9C 00 00 00 64 00 00");
    f.SetDirectRdsBytes(true);
    EXPECT_EQ(Bytes(f), "9C FF 00 00 64 00 00 00");
    f.SetDirectRdsOrder(false); // reading 0 goes last
    EXPECT_EQ(Bytes(f), "00 00 64 00 00 00 9C FF");

    Configure(f, {QMFT_rect, 1, -1, 0, 1, false}, BPR_2);
    f.SetDirectRdsOrder(true);
    EXPECT_EQ(Bytes(f), "FF FF");
    f.SetBytesPerReading(BPR_4);
    EXPECT_EQ(Bytes(f), "FF FF FF FF");
}

TEST(MathFunction, RefusedAndUnchangedValuesLeaveTheTable) {
    TMathFunction f;
    EXPECT_EQ(f.ReadingsMemory(), nullptr);
    EXPECT_EQ(f.ReadingsMemorySize(), 0);
    f.SetReadingsCount(0); // unchanged: nothing built
    EXPECT_EQ(f.ReadingsMemory(), nullptr);

    Configure(f, {QMFT_rect, 4, 10, 3, 0.5, false}, BPR_2);
    const std::uint8_t* table = f.ReadingsMemory();
    ASSERT_NE(table, nullptr);
    f.Set_CC(1.5);
    f.Set_CC(-0.1);
    f.SetReadingsCount(-1);
    f.Set_CA(10);
    f.SetFunctionType(QMFT_rect);
    EXPECT_EQ(f.CC(), 0.5);
    EXPECT_EQ(f.ReadingsCount(), 4);
    EXPECT_EQ(f.ReadingsMemory(), table) << "no rebuild for refused or unchanged values";

    f.SetReadingsCount(0);
    EXPECT_EQ(f.ReadingsMemory(), nullptr);
    EXPECT_EQ(f.ReadingsMemorySize(), 0);
}

TEST(MathFunction, GatesDeferTheRebuild) {
    TMathFunction f;
    Configure(f, {QMFT_rect, 2, 10, 3, 0.5, false}, BPR_4);
    f.SetAutoUpdate(false);
    f.SetReadingsCount(3);
    f.Set_CA(20);
    EXPECT_EQ(f.ReadingsMemorySize(), 8) << "the old table stays while AutoUpdate is off";
    EXPECT_THAT(Readings(f), ElementsAreArray({13, 7}));
    f.SetAutoUpdate(true);
    EXPECT_THAT(Readings(f), ElementsAreArray({23, 23, 17}));

    f.SetPropsLoaded(false); // the request is ignored, the table stays
    f.Set_CA(30);
    EXPECT_THAT(Readings(f), ElementsAreArray({23, 23, 17}));
    f.SetPropsLoaded(true);
    EXPECT_THAT(Readings(f), ElementsAreArray({33, 33, 27}));

    // Filling the table directly after deferred changes sizes it for them first.
    f.SetAutoUpdate(false);
    f.SetReadingsCount(5);
    f.CreateReadings();
    EXPECT_EQ(f.ReadingsMemorySize(), 20);
    EXPECT_THAT(Readings(f), ElementsAreArray({33, 33, 27, 27, 27}));
}
