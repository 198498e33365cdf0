#include "QvGen4DDSMod.h"

#include "QvGen4.h"
#include "QvGen4Property.h"

#include <algorithm>
#include <cmath>

namespace {

// The low 32 bits of a whole number as the registers take them. A value that is no number at
// all (a keying set-up loaded from a file is not range-checked) gives 0 instead of undefined
// behaviour.
std::uint32_t Low32(double Whole) {
    if (!std::isfinite(Whole)) {
        return 0;
    }
    const double low = std::fmod(Whole, 4294967296.0); // keeps the sign, |low| < 2^32
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(low));
}

std::uint8_t Byte(std::uint32_t Value, int Shift) {
    return static_cast<std::uint8_t>(Value >> Shift);
}

// A phase word of the synthesizer memory: the 14-bit phase code in the top bits.
std::uint32_t PhaseWord(double Degrees) {
    return static_cast<std::uint32_t>(TQvGen4::Conv_PhaseToCode(Degrees)) << 18;
}

} // namespace

TQvGen4DDSMod::TQvGen4DDSMod(TQvGen4Channel& Owner) : FOwner(Owner) {
    FWaveform.SetHalfOfPeriod(FContBidiRamp);
    FWaveform.SetBytesPerReading(BPR_4);
    FWaveform.SetDirectRdsBytes(false); // most significant byte first
    FWaveform.SetDirectRdsOrder(false); // the memory plays the table from its end
}

// --- Setters ---

void TQvGen4DDSMod::SetF(int Index, double Value) {
    if (AssignProperty(FF[std::size_t(Index)], Value,
                       [this](double v) { return FOwner.CheckFreqRange(v); })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetPh(int Index, double Value) {
    if (AssignProperty(FPh[std::size_t(Index)], Value,
                       [this](double v) { return FOwner.CheckPhaseRange(v); })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetT(int Index, double Value) {
    if (AssignProperty(FT[std::size_t(Index)], Value,
                       [this](double v) { return CheckTimeRange(v); })) {
        FOwner.UpdateMode();
    }
}

bool TQvGen4DDSMod::CheckTimeRange(double Value) {
    if (Value >= TIME_BOT && Value <= TIME_TOP) {
        return true;
    }
    TQvGen4& gen = FOwner.Owner();
    if (gen.OnParamValueError) {
        gen.OnParamValueError(FOwner, QGP_DwellTime, Value);
    }
    return false;
}

void TQvGen4DDSMod::SetMode(TQvGen4DDSmodModes Value) {
    if (AssignProperty(FMode, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetType(TQvGen4AFPModes Value) {
    // The synthesizer memory holds frequency or phase words; there is no amplitude keying.
    if (AssignProperty(FType, Value, [](TQvGen4AFPModes v) { return v != QGAFPms_ampl; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetUseExtTimes(bool Value) {
    if (AssignProperty(FUseExtTimes, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::Set_dF(double Value) {
    if (AssignProperty(FdF, Value, [](double v) { return v >= 0 && v <= FREQ_DEVIAT_MAX; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::Set_dPh(double Value) {
    if (AssignProperty(FdPh, Value, [](double v) { return v >= 0 && v <= PHASE_DEVIAT_MAX; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetFm(double Value) {
    if (AssignProperty(FFm, Value,
                       [](double v) { return v >= FREQ_MOD_BOT && v <= FREQ_MOD_TOP; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetContBidiRamp(bool Value) {
    if (AssignProperty(FContBidiRamp, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetReadingsCntMin(std::int32_t Value) {
    if (AssignProperty(FReadingsCntMin, Value,
                       [](std::int32_t v) { return v >= 16 && v <= READINGS_MAX; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetMathFuncType(TMathFuncsTypes Value) {
    if (Value != FWaveform.FunctionType()) {
        FWaveform.SetFunctionType(Value);
        FOwner.UpdateMode();
    }
}

void TQvGen4DDSMod::SetCC(double Value) {
    if (Value != FWaveform.CC()) {
        FWaveform.Set_CC(Value); // the waveform ignores values outside 0..1
        FOwner.UpdateMode();
    }
}

// --- Start sequences ---

void TQvGen4DDSMod::WriteControl(std::uint8_t Control) {
    const TQvGen4ChNames ch = FOwner.ChannelType();
    FOwner.Owner().WriteCmdFTPort(
        TQvGen4Cmd(ch, QGC_Control, Control, 0x80, 0x02, ch == QGCN_A ? 0x40 : 0x42));
}

void TQvGen4DDSMod::WriteSynthUpdate() {
    FOwner.Owner().WriteCmdFTPort(TQvGen4Cmd(FOwner.ChannelType(), QGC_NoUpdateDDSs));
}

void TQvGen4DDSMod::StartDDSMod() {
    FOwner.WriteAFPtoGen();
    if (FMode == QGTMs_User) {
        StartUserMode();
    } else {
        Start_xSK();
    }
}

void TQvGen4DDSMod::Start_xSK() {
    TQvGen4& gen = FOwner.Owner();
    const TQvGen4ChNames ch = FOwner.ChannelType();
    const bool quad = FMode == QGTMs_QxSK;
    const int symbols = quad ? 4 : 2;
    std::uint8_t control = IsPhase() ? 0xC6 : 0x86;
    WriteControl(control);
    // Dwell counts in 20-ns steps, least significant byte first, each with its segment bytes.
    static constexpr std::uint8_t Codes[4] = {QGC_Ramp0, QGC_Ramp1, QGC_Symbol2, QGC_Symbol3};
    static constexpr std::uint8_t Segments[4][2] = {{1, 0}, {3, 8}, {5, 16}, {7, 24}};
    for (int s = 0; s < symbols; ++s) {
        const std::uint32_t t = Low32(std::trunc(FT[std::size_t(s)] * 0.05));
        gen.WriteCmdFTPort(
            TQvGen4Cmd(ch, Codes[s], Byte(t, 0), Byte(t, 8), Segments[s][0], Segments[s][1]));
    }
    WriteSynthUpdate();
    for (int s = 0; s < symbols; ++s) {
        OutputReading(s);
    }
    control |= quad ? 0x30 : 0x20;
    if (FUseExtTimes) {
        gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_ExtTimes));
        return;
    }
    WriteControl(control);
    WriteSynthUpdate();
}

void TQvGen4DDSMod::OutputReading(int Symbol) {
    TQvGen4& gen = FOwner.Owner();
    const TQvGen4ChNames ch = FOwner.ChannelType();
    const auto s = static_cast<std::size_t>(Symbol & 3);
    gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_SymbolSelect, (s >> 1) & 1, s & 1));
    const std::uint32_t word = IsPhase()
                                   ? PhaseWord(FPh[s])
                                   : static_cast<std::uint32_t>(gen.Conv_FreqToCode(FF[s] * 1000));
    gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_DDSMemHeader, 0, 8));
    const std::uint8_t block[8] = {Byte(word, 24), Byte(word, 16), Byte(word, 8), Byte(word, 0),
                                   Byte(word, 24), Byte(word, 16), Byte(word, 8), Byte(word, 0)};
    gen.WriteBytesToFTPort(block, sizeof block);
}

void TQvGen4DDSMod::Calc_N_Tau() {
    double period = 100000000.0 / FFm; // 10-ns units
    if (Half()) {
        period *= 0.5;
    }
    std::int32_t n = READINGS_MAX;
    double tau = std::nearbyint(period / n);
    double err = std::fabs(n * tau - period);
    // A count below 1 cannot be a table; the setter keeps the minimum at 16 or more, a loaded
    // set-up may not.
    const std::int32_t lowest = std::max<std::int32_t>(FReadingsCntMin, 1);
    for (std::int32_t i = READINGS_MAX - 1; i >= lowest; --i) {
        const double t = std::nearbyint(period / i);
        const double e = std::fabs(i * t - period);
        if (e < err) { // on a tie the larger count, found first, stays
            n = i;
            tau = t;
            err = e;
        }
    }
    FN = n;
    FTau = Low32(tau);
}

void TQvGen4DDSMod::StartUserMode() {
    TQvGen4& gen = FOwner.Owner();
    const TQvGen4ChNames ch = FOwner.ChannelType();
    Calc_N_Tau();
    const bool half = Half();
    FWaveform.SetHalfOfPeriod(half);
    std::uint32_t centre = 0, swing = 0;
    if (IsPhase()) {
        centre = PhaseWord(FOwner.Phase());
        swing = PhaseWord(FdPh);
    } else {
        centre = static_cast<std::uint32_t>(gen.Conv_FreqToCode(FOwner.Frequency() * 1000));
        swing = static_cast<std::uint32_t>(gen.Conv_FreqToCode(FdF));
    }
    FWaveform.Set_CA(centre);
    FWaveform.Set_CB(swing);
    FWaveform.SetReadingsCount(FN);

    WriteControl(IsPhase() ? 0xC6 : 0x86);
    gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_SymbolSelect));
    const auto last = static_cast<std::uint32_t>(FN - 1);
    gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_Ramp0, Byte(FTau, 0), Byte(FTau, 8), Byte(last, 0),
                                  Byte(last, 8) & 3, half ? 0x60 : 0x80));
    WriteSynthUpdate();
    OutputUserReading();
    WriteSynthUpdate();
}

void TQvGen4DDSMod::OutputUserReading() {
    TQvGen4& gen = FOwner.Owner();
    const auto size = static_cast<std::uint32_t>(FWaveform.ReadingsMemorySize());
    gen.WriteCmdFTPort(
        TQvGen4Cmd(FOwner.ChannelType(), QGC_DDSMemHeader, Byte(size, 8), Byte(size, 0)));
    gen.WriteBytesToFTPort(FWaveform.ReadingsMemory(), size);
}
