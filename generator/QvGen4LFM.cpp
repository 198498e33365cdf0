#include "QvGen4LFM.h"

#include "QvGen4.h"
#include "QvGen4Property.h"

#include <cmath>

void TQvGen4LFM::SetFreqTop(std::int32_t Value) {
    if (AssignProperty(FFreqTop, Value,
                       [this](std::int32_t v) { return double(v) >= FOwner.Frequency(); })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4LFM::SetTime(std::int32_t& Field, std::int32_t Value) {
    if (AssignProperty(Field, Value, [this](std::int32_t v) { return CheckTimeRange(v); })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4LFM::SetTinc0(std::int32_t Value) {
    SetTime(FTinc0, Value);
}
void TQvGen4LFM::SetTinc1(std::int32_t Value) {
    SetTime(FTinc1, Value);
}
void TQvGen4LFM::SetTdec0(std::int32_t Value) {
    SetTime(FTdec0, Value);
}
void TQvGen4LFM::SetTdec1(std::int32_t Value) {
    SetTime(FTdec1, Value);
}

bool TQvGen4LFM::CheckTimeRange(double Value) {
    if (Value >= TIME_BOT && Value <= TIME_TOP) {
        return true;
    }
    TQvGen4& gen = FOwner.Owner();
    if (gen.OnParamValueError) {
        gen.OnParamValueError(FOwner, QGP_SweepTime, Value);
    }
    return false;
}

void TQvGen4LFM::XYtoAB(double X, double Y, double MaxA, double MaxB, double& A, double& B) {
    constexpr double Max32 = 4294967295.0;
    A = 0;
    B = 0;
    double h1 = 1, k1 = 0; // the last convergent
    double h0 = 0, k0 = 1; // the one before
    // Only a positive ratio has an expansion worth taking. A negative one (a top truncated to
    // whole kHz just below a fractional bottom) keeps A = 0: a ramp that does not move. A
    // remainder that rounding made negative ends the expansion the same way.
    while (X > 0 && Y > 0 && std::isfinite(X) && std::isfinite(Y)) {
        const double q = std::trunc(X / Y);
        if (!(q <= Max32)) {
            break; // the quotient is a 32-bit value; a larger one ends the expansion
        }
        const double r = X - Y * q;
        X = Y;
        Y = r;
        const double h = h1 * q + h0;
        const double k = k1 * q + k0;
        if ((MaxA != 0 && h > MaxA) || (MaxB != 0 && k > MaxB) || h > Max32 || k > Max32) {
            break;
        }
        h0 = h1;
        k0 = k1;
        h1 = h;
        k1 = k;
        A = h;
        B = k;
    }
}

void TQvGen4LFM::WriteRamp(std::uint8_t Code, std::int32_t Time) {
    const double x = (double(FFreqTop) - FOwner.Frequency()) * MUL_COEF;
    const double y = double(Time) * DIV_COEF;
    double a = 0, b = 0;
    XYtoAB(x, y, 0, 255, a, b);
    // Both fit in 32 bits and are whole: XYtoAB keeps them there.
    const auto step = static_cast<std::uint32_t>(a);
    const auto rate = static_cast<std::uint8_t>(static_cast<std::uint32_t>(b) + 1); // 255 -> 0
    FOwner.Owner().WriteCmdFTPort(
        TQvGen4Cmd(FOwner.ChannelType(), Code, rate, static_cast<std::uint8_t>(step >> 24),
                   static_cast<std::uint8_t>(step >> 16), static_cast<std::uint8_t>(step >> 8),
                   static_cast<std::uint8_t>(step)));
}

namespace {

// Half of a rise or fall with its hold, µs, as the 24 bits the timing frames carry.
TQvGen4Cmd HalfCycleFrame(TQvGen4ChNames Ch, std::uint8_t Code, std::int32_t Ramp,
                          std::int32_t Hold) {
    const auto half = static_cast<std::uint32_t>((std::int64_t{Ramp} + Hold) / 2); // toward 0
    return TQvGen4Cmd(Ch, Code, static_cast<std::uint8_t>(half >> 16),
                      static_cast<std::uint8_t>(half >> 8), static_cast<std::uint8_t>(half));
}

} // namespace

void TQvGen4LFM::StartLFM(bool Start) {
    TQvGen4& gen = FOwner.Owner();
    const TQvGen4ChNames ch = FOwner.ChannelType();
    gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_Control, 0x06, 0xA0, 0x02, ch == QGCN_A ? 0x40 : 0x42));
    WriteRamp(QGC_Ramp1, FTinc0);
    WriteRamp(QGC_Ramp0, FTdec0);
    const auto top = gen.Conv_FreqToCode(double(FFreqTop) * 1000);
    gen.WriteCmdFTPort(TQvGen4Cmd::With32(ch, QGC_SweepTop, static_cast<std::uint32_t>(top)));
    gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_NoUpdateDDSs));
    if (Start) {
        // One start for both channels of a synchronised sweep: these codes have no B variant.
        gen.WriteCmdFTPort(HalfCycleFrame(ch, QGC_SweepRise, FTinc0, FTinc1));
        gen.WriteCmdFTPort(HalfCycleFrame(ch, QGC_SweepFall, FTdec0, FTdec1));
        gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_SweepStart));
    }
}
