// Manual tuning of a channel: the instrument moves the carrier's frequency, amplitude or phase
// with the voltage at its ADC input, around the carrier the program sets and with the depth
// Scale. While the channel is in tuning mode and the link is open, a timer polls the instrument
// for the value it currently produces (ADCValue) and raises the generator's OnADCTimer.
#pragma once

#include "QvGen4Timer.h"
#include "QvGen4Types.h"

#include <cstdint>
#include <memory>

class TQvGen4Channel;

class TQvGen4Tuner {
public:
    explicit TQvGen4Tuner(TQvGen4Channel& Owner) : FOwner(Owner) {}
    ~TQvGen4Tuner();
    TQvGen4Tuner(const TQvGen4Tuner&) = delete;
    TQvGen4Tuner& operator=(const TQvGen4Tuner&) = delete;

    // --- Properties; an accepted change updates the generator ---
    TQvGen4AFPModes Type() const { return FType; } // the tuned parameter
    void SetType(TQvGen4AFPModes Value);
    // Depth: each step doubles it; sent as its low byte.
    std::int32_t Scale() const { return FScale; }
    void SetScale(std::int32_t Value);
    // Last value read: the 32-bit frequency word, or the 16-bit amplitude or phase word.
    std::uint32_t ADCValue() const { return FADCValue; }
    // Polling wanted; the timer runs only while the link is open and the channel is tuning.
    bool ADCTimerEnabled() const { return FADCTimerEnabled; }
    void SetADCTimerEnabled(bool Value);
    // Polling period, ms; negative values are refused, 0 stops polling.
    std::int32_t ADCTimerInterval() const { return FADCTimerInterval; }
    void SetADCTimerInterval(std::int32_t Value);

    // The persistent fields, stored as they are: no update, no timer change (the next update
    // cycle brings the timer up to date).
    struct TStored {
        TQvGen4AFPModes Type;
        std::int32_t Scale;
        bool ADCTimerEnabled;
        std::int32_t ADCTimerInterval;
    };
    TStored Stored() const { return {FType, FScale, FADCTimerEnabled, FADCTimerInterval}; }
    void LoadStored(const TStored& Value);

    // --- Set-up frames: the centre value, then the depth ---
    void SetModeFreqTune();
    void SetModeAmplTune();
    void SetModePhaseTune();

    // --- Polling ---
    // Disarms the timer, then arms it again when polling is enabled with a positive interval,
    // the link is open and the channel is tuning. Throws EQvGen4OutOfResources when no timer
    // can be had.
    void UpdateADCTimer();
    // One poll (GetADCValue), then OnADCTimer. A failed poll disarms the timer before its error
    // goes on, so that a device switched off raises the error once instead of every period; the
    // next update cycle arms it again.
    void ADCTimer();
    // Asks the instrument for its current value: a 1-byte query, a 4-byte answer.
    void GetADCValue();

    // The polling timer, null until polling was first armed.
    TQvGen4Timer* PollTimer() const { return FTimer.get(); }
    // Drops the timer so that the next arming takes one from the generator's current factory.
    void ReleaseADCTimer();

private:
    TQvGen4Channel& FOwner;
    TQvGen4AFPModes FType = QGAFPms_freq;
    std::int32_t FScale = 0;
    std::uint32_t FADCValue = 0;
    std::unique_ptr<TQvGen4Timer> FTimer;
    std::int32_t FADCTimerInterval = 500;
    bool FADCTimerEnabled = false;
};
