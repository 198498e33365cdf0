// One output of the generator: its carrier (frequency, amplitude, phase), its mode and the
// sub-objects that program each mode. Property setters ignore unchanged and refused values and
// ask the generator to update after an accepted one.
#pragma once

#include "QvGen4DDSMod.h"
#include "QvGen4ExtModulation.h"
#include "QvGen4IntModulation.h"
#include "QvGen4LFM.h"
#include "QvGen4Tuner.h"
#include "QvGen4Types.h"

class TQvGen4;

class TQvGen4Channel {
public:
    static constexpr double FREQUENCY_TOP = 200000; // kHz
    static constexpr double FREQUENCY_BOT = 400;    // kHz
    static constexpr double AMPL_TOP = 100;         // percent of full scale
    static constexpr double AMPL_BOT = 0;
    static constexpr double PHASE_TOP = 360; // degrees, excluded
    static constexpr double PHASE_BOT = 0;

    TQvGen4Channel(const TQvGen4Channel&) = delete;
    TQvGen4Channel& operator=(const TQvGen4Channel&) = delete;
    virtual ~TQvGen4Channel() = default;

    virtual bool IsChannelA() const = 0;
    // Asks the owner to update (its TryUpdateMode).
    virtual void UpdateMode();
    // Hook run after stored values have been applied; does nothing.
    virtual void Loaded() {}

    TQvGen4& Owner() const { return FOwner; }
    TQvGen4Channel& GetOtherCh() const;
    TQvGen4ChNames ChannelType() const { return FChannelType; }

    // --- Carrier ---
    double Frequency() const { return FFrequency; } // kHz
    void Set_sinFrequency(double Value);
    double Amplitude() const { return FAmplitude; } // percent of full scale
    void Set_sinAmplitude(double Value);
    double Phase() const { return FPhase; } // degrees
    void SetPhase(double Value);
    bool CheckFreqRange(double Value);
    bool CheckPhaseRange(double Value);

    // --- Output and carrier frames ---
    bool Opened() const { return FOpened; }
    void SetOpened(bool Value);
    void WriteAFPtoGen();
    void SetModeSinGeneration();
    void UpdateDependentTimers();

    // --- Modes ---
    TQvGen4ModesCommon Mode() const { return FMode; }
    void SetMode(TQvGen4ModesCommon Value);
    bool CheckEnableNewMode(TQvGen4ModesCommon Value) const;
    void CheckModesCompat();
    void SetModeTuning();
    void SetModeExtModulation(bool Start);
    void SetModeLFM(bool Start);
    void SetModeDDSMod();
    void SetModeIntModulation(bool Whole);
    void SetModeOff();
    double GetMaxAmplAvoidOverMod() const;
    void CorrectAmplAvoidOverModul();

protected:
    TQvGen4Channel(TQvGen4& Owner, TQvGen4ChNames Type);

private:
    friend class TQvGen4File; // a loaded set-up is stored as it was saved

    // Raises OnOverModulation when an amplitude swing of Type leaves no room above the carrier;
    // SuspendPolling stops the tuner's poll while the handler runs.
    void CheckOverModulation(TQvGen4AFPModes Type, bool SuspendPolling);

    TQvGen4& FOwner;
    TQvGen4ModesCommon FMode = QGMdC_off;
    bool FOpened = false;

public:
    // Created in this order, before the carrier gets its initial values.
    TQvGen4IntModulation IntModulation;
    TQvGen4ExtModulation ExtModulation;
    TQvGen4Tuner Tuner;
    TQvGen4LFM LFM;
    TQvGen4DDSMod DDSMod;

private:
    double FFrequency;
    double FAmplitude;
    double FPhase;
    const TQvGen4ChNames FChannelType;
};

class TQvGen4ChannelA final : public TQvGen4Channel {
public:
    explicit TQvGen4ChannelA(TQvGen4& Owner) : TQvGen4Channel(Owner, QGCN_A) {}
    bool IsChannelA() const override { return true; }
};

class TQvGen4ChannelB final : public TQvGen4Channel {
public:
    explicit TQvGen4ChannelB(TQvGen4& Owner) : TQvGen4Channel(Owner, QGCN_B) {}
    bool IsChannelA() const override { return false; }
};
