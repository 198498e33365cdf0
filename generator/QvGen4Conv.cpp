// The reference clock and the conversions between physical values and register codes.
#include "QvGen4.h"
#include "QvGen4Errors.h"
#include "QvGen4Property.h"

#include <cmath>

namespace {

// The register code of a value already scaled to code units: rounded half to even, never below
// 0 (a negative code would go out with all its low bits set, i.e. as full scale), and only its
// low 32 bits kept, as the registers take them.
std::int32_t ToCode(double Scaled) {
    const double r = std::nearbyint(Scaled);
    if (!(r > 0) || std::isinf(r)) { // also NaN; infinity has no low bits to keep
        return 0;
    }
    const double low32 = std::fmod(r, 4294967296.0);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low32));
}

} // namespace

void TQvGen4::CalcGenFreq() {
    FGenFreq = static_cast<double>(FFreqScale) * FRefFreq;
}

void TQvGen4::SetUseExtRefFreq(bool Value) {
    if (!AssignProperty(FUseExtRefFreq, Value)) {
        return;
    }
    if (!Value) {
        FRefFreq = REFFREQ_DEF;
        FFreqScale = FREQSCALE_DEF;
        CalcGenFreq();
    }
    TryUpdateMode();
}

void TQvGen4::SetRefFreq(double Value) {
    if (FUseExtRefFreq && AssignProperty(FRefFreq, Value)) {
        CalcGenFreq();
    }
}

void TQvGen4::SetFreqScale(int Value) {
    if (!FUseExtRefFreq || Value == FFreqScale) {
        return;
    }
    FFreqScale = Value < 4 ? 0 : (Value > 20 ? 20 : Value);
    CalcGenFreq();
}

void TQvGen4::WriteExtFreqScale() {
    WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_FreqScale, static_cast<std::uint8_t>(FFreqScale)));
}

std::int32_t TQvGen4::Conv_FreqToCode(double Hz) const {
    // A multiplier below 4 is stored as 0 and leaves no generator clock to divide by: refuse to
    // make up a frequency word rather than send one the instrument would misread.
    if (!(FGenFreq > 0) || !std::isfinite(FGenFreq)) {
        throw EQvGen4Error("Частота генератора не задана: множитель опорной частоты должен быть "
                           "от 4 до 20");
    }
    const double factor = 4294.967296 / FGenFreq;
    return ToCode(Hz * factor - 1);
}

double TQvGen4::Conv_CodeToFreq(double Code) const {
    const double factor = 0.000232830643654 * FGenFreq;
    return (Code + 1) * factor;
}

std::int32_t TQvGen4::Conv_AmplToCode(double Percent) {
    return ToCode(Percent * 163.84 - 1);
}

double TQvGen4::Conv_CodeToAmpl(double Code) {
    return (Code + 1) * 0.0061035156;
}

std::int32_t TQvGen4::Conv_PhaseToCode(double Degrees) {
    return ToCode(Degrees * 45.51111111111111);
}

double TQvGen4::Conv_CodeToPhase(double Code) {
    const double p = Code * 0.0219726563;
    return p >= 360 ? p - 1080 : p;
}

double TQvGen4::Conv_AmplTodB(double Percent) {
    return 20 * std::log10(Percent * 0.01);
}

double TQvGen4::Conv_AdBToAmpl(double dB) {
    return 100 * std::pow(1.1220184543019633, dB);
}

double TQvGen4::Conv_Value(double Value, double From, double To) {
    const double q = From / To;
    return Value * q;
}

double TQvGen4::Conv_Value(double Value, double From, double To, signed char Digits) {
    const double unit = std::pow(10.0, Digits);
    return std::nearbyint(Conv_Value(Value, From, To) / unit) * unit;
}
