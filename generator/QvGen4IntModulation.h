// Internal modulation of a channel from the microcontroller's memory: the channel's frequency,
// amplitude or phase follows a sine, triangle or rectangle of frequency Fm. The table of ready
// DDS words is computed here, downloaded into the microcontroller, and its timer plays one word
// every 65536 - La ticks of F_Ftimer. The update cycle decides whether a channel runs alone, both
// channels share the memory (double modulation), or channel A drives both (duplex).
#pragma once

#include "QvGen4Types.h"
#include "QvMathFun.h"

#include <cstdint>

class TQvGen4Channel;

class TQvGen4IntModulation {
public:
    static constexpr std::uint32_t F_Ftimer = 88473600;      // Hz, microcontroller timer clock
    static constexpr double FREQ_MOD_BOT = 1.0;              // Hz
    static constexpr double FREQ_MOD_TOP = 20000.0;          // Hz
    static constexpr std::int32_t DEVIAT_AMPL_MAX = 100;     // percent of the carrier amplitude
    static constexpr std::int32_t DEVIAT_FREQ_MAX = 2000000; // Hz
    static constexpr std::int32_t DEVIAT_PHASE_MAX = 180;    // degrees
    static constexpr std::int32_t MEMORY_WHOLE = 8192;       // bytes for readings, one table
    static constexpr std::int32_t MEMORY_SHARED = 4096;      // bytes per channel, two tables

    explicit TQvGen4IntModulation(TQvGen4Channel& Owner);
    TQvGen4IntModulation(const TQvGen4IntModulation&) = delete;
    TQvGen4IntModulation& operator=(const TQvGen4IntModulation&) = delete;

    // --- Properties; refused values are ignored silently, an accepted one updates ---
    TQvGen4AFPModes Type() const { return FType; } // the modulated parameter
    void SetType(TQvGen4AFPModes Value);
    std::int32_t Fm() const { return FFm; } // modulation frequency, Hz, 1..20000
    void SetFm(std::int32_t Value);
    std::int32_t dA() const { return FdA; } // depth, percent of the carrier amplitude, 0..100
    void SetdA(std::int32_t Value);
    std::int32_t dF() const { return FdF; } // deviation, Hz, 0..2000000
    void SetdF(std::int32_t Value);
    std::int32_t dPh() const { return FdPh; } // deviation, degrees, 0..180
    void SetdPh(std::int32_t Value);
    // Waveform shape (0..1) and type, kept by the table generator. SetCC updates even when the
    // table generator refuses the value.
    double CC() const { return FWave.CC(); }
    double GetCC() const { return FWave.CC(); }
    void SetCC(double Value);
    TMathFuncsTypes MathFuncType() const { return FWave.FunctionType(); }
    TMathFuncsTypes GetMathFuncType() const { return FWave.FunctionType(); }
    void SetMathFuncType(TMathFuncsTypes Value);

    // The persistent fields that are stored as they are (CC and MathFuncType go through their
    // setters): no update.
    struct TStored {
        TQvGen4AFPModes Type;
        std::int32_t Fm, dA, dF, dPh;
    };
    TStored Stored() const { return {FType, FFm, FdA, FdF, FdPh}; }
    void LoadStored(const TStored& Value);

    // --- The last download ---
    std::int32_t RdsCnt() const { return FRdsCnt; }     // readings
    std::int32_t RdsBytes() const { return FRdsBytes; } // bytes
    std::uint32_t La() const { return FLa; }            // timer reload value
    const TMathFunction& MathFunction() const { return FWave; }

    // --- Table and download. Whole: this table has the whole memory (alone or duplex); else
    // both channels share it. ---
    void WriteReadings(bool Whole);
    void CreateReadings(bool Whole);
    // Header frame, data block, then La; throws on a divider overflow after the download.
    void OutputReadings(bool Whole);
    // The most readings Fm allows, the timer needing at least 288 ticks per 2-byte reading and
    // 512 per frequency word, twice that when shared.
    static std::uint32_t GetMaxReadingsCnt(std::uint32_t Fm, bool Whole, bool Freq);
    // The reload value for Count readings per period (0: as many as Fm allows); throws
    // EQvGen4Error "Переполнение делителя! (> FF80 или > FF00 )" when a reading would get too
    // few ticks or more than 65536.
    static std::uint32_t GetLa(std::uint32_t Fm, bool Whole, bool Freq, std::uint32_t Count);

    // --- Start and stop frames ---
    void StartModulationCmd(TQvGen4Commands Code);
    void StartSingleModulation(bool Start);
    void StopSingleModulation();
    void StartDoubleModulation(bool Start);
    void StopDoubleModulation();
    void StartDuplexModulation(bool Start);
    void StopDuplexModulation() {}

private:
    bool IsFreq() const { return FType == QGAFPms_freq; }

    TQvGen4Channel& FOwner;
    TQvGen4AFPModes FType = QGAFPms_freq;
    std::int32_t FFm = 1000;
    std::int32_t FdA = 50;
    std::int32_t FdF = 100;
    std::int32_t FdPh = 90;
    TMathFunction FWave;
    std::int32_t FRdsBytes = 0;
    std::int32_t FRdsCnt = 0;
    std::uint32_t FLa = 0;
};
