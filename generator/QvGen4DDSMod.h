// Keying and modulation from the synthesizer's own waveform memory. In the keying modes (BxSK,
// QxSK) each symbol's frequency or phase word goes into its own memory segment and the symbols
// alternate with the dwell times T1..T4, or with times given at the instrument's external inputs.
// In the user mode a sine, triangle or rectangle of frequency Fm modulates the frequency or the
// phase from a table of N readings played at one reading per Tau.
#pragma once

#include "QvGen4Types.h"
#include "QvMathFun.h"

#include <array>
#include <cstdint>

class TQvGen4Channel;

class TQvGen4DDSMod {
public:
    static constexpr double TIME_BOT = 20;               // ns, shortest dwell time
    static constexpr double TIME_TOP = 1300000;          // ns, longest
    static constexpr double FREQ_MOD_BOT = 200.0;        // Hz, limits of Fm
    static constexpr double FREQ_MOD_TOP = 1500000.0;    // Hz
    static constexpr double FREQ_DEVIAT_MAX = 2000000.0; // Hz
    static constexpr double PHASE_DEVIAT_MAX = 180.0;    // degrees
    static constexpr std::int32_t READINGS_MAX = 1024;   // the synthesizer memory, 4-byte words

    explicit TQvGen4DDSMod(TQvGen4Channel& Owner);
    TQvGen4DDSMod(const TQvGen4DDSMod&) = delete;
    TQvGen4DDSMod& operator=(const TQvGen4DDSMod&) = delete;

    // --- Symbols. Frequencies in kHz (refusals reported as the channel's), phases in degrees
    // (likewise), dwell times in ns (refusals reported as dwell times). ---
    double F1() const { return FF[0]; }
    double F2() const { return FF[1]; }
    double F3() const { return FF[2]; }
    double F4() const { return FF[3]; }
    void SetF1(double Value) { SetF(0, Value); }
    void SetF2(double Value) { SetF(1, Value); }
    void SetF3(double Value) { SetF(2, Value); }
    void SetF4(double Value) { SetF(3, Value); }
    double Ph1() const { return FPh[0]; }
    double Ph2() const { return FPh[1]; }
    double Ph3() const { return FPh[2]; }
    double Ph4() const { return FPh[3]; }
    void SetPh1(double Value) { SetPh(0, Value); }
    void SetPh2(double Value) { SetPh(1, Value); }
    void SetPh3(double Value) { SetPh(2, Value); }
    void SetPh4(double Value) { SetPh(3, Value); }
    double T1() const { return FT[0]; }
    double T2() const { return FT[1]; }
    double T3() const { return FT[2]; }
    double T4() const { return FT[3]; }
    void SetT1(double Value) { SetT(0, Value); }
    void SetT2(double Value) { SetT(1, Value); }
    void SetT3(double Value) { SetT(2, Value); }
    void SetT4(double Value) { SetT(3, Value); }
    bool CheckTimeRange(double Value);

    // --- Program. Type is the keyed or modulated parameter: frequency or phase (an amplitude
    // type is refused). UseExtTimes: the external inputs switch the symbols. ---
    TQvGen4DDSmodModes Mode() const { return FMode; }
    void SetMode(TQvGen4DDSmodModes Value);
    TQvGen4AFPModes Type() const { return FType; }
    void SetType(TQvGen4AFPModes Value);
    bool UseExtTimes() const { return FUseExtTimes; }
    void SetUseExtTimes(bool Value);

    // --- User mode. Deviations: dF in Hz, dPh in degrees; Fm in Hz. ContBidiRamp plays half a
    // period of a sine up and down (a sine only). Refused values are ignored silently. ---
    double dF() const { return FdF; }
    void Set_dF(double Value);
    double dPh() const { return FdPh; }
    void Set_dPh(double Value);
    double Fm() const { return FFm; }
    void SetFm(double Value);
    bool ContBidiRamp() const { return FContBidiRamp; }
    void SetContBidiRamp(bool Value);
    std::int32_t ReadingsCntMin() const { return FReadingsCntMin; } // 16..1024
    void SetReadingsCntMin(std::int32_t Value);
    TMathFuncsTypes MathFuncType() const { return FWaveform.FunctionType(); }
    void SetMathFuncType(TMathFuncsTypes Value);
    double CC() const { return FWaveform.CC(); } // shape of the triangle or rectangle, 0..1
    void SetCC(double Value);
    // Readings count and step time (10 ns units) chosen at the last start of the user mode.
    std::int32_t N() const { return FN; }
    std::uint32_t Tau() const { return FTau; }
    const TMathFunction& Waveform() const { return FWaveform; }

    // --- Start sequences ---
    // Writes the carrier, then the keying or the user mode.
    void StartDDSMod();
    void Start_xSK();
    void OutputReading(int Symbol); // 0..3
    // Chooses N (ReadingsCntMin..1024) and Tau so that N * Tau comes closest to the period.
    void Calc_N_Tau();
    bool CanUseHalfOfPeriod() const { return FWaveform.FunctionType() == QMFT_sin; }
    void StartUserMode();
    void OutputUserReading();

private:
    friend class TQvGen4File; // a loaded set-up is stored as it was saved

    void SetF(int Index, double Value);
    void SetPh(int Index, double Value);
    void SetT(int Index, double Value);
    bool IsPhase() const { return FType == QGAFPms_phase; }
    bool Half() const { return CanUseHalfOfPeriod() && FContBidiRamp; }
    void WriteControl(std::uint8_t Control);
    void WriteSynthUpdate();

    TQvGen4Channel& FOwner;
    std::array<double, 4> FF{1000.0, 1000.0, 1000.0, 1000.0};
    double FdF = 1000.0;
    std::array<double, 4> FPh{0.0, 180.0, 90.0, 270.0};
    double FdPh = 90.0;
    std::array<double, 4> FT{1000.0, 1000.0, 1000.0, 1000.0};
    TQvGen4DDSmodModes FMode = QGTMs_BxSK;
    TQvGen4AFPModes FType = QGAFPms_freq;
    bool FUseExtTimes = false;
    bool FContBidiRamp = false;
    double FFm = 1000.0;
    std::int32_t FN = 0;
    std::uint32_t FTau = 0;
    TMathFunction FWaveform;
    std::int32_t FReadingsCntMin = 32;
};
