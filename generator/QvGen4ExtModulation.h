// Modulation of a channel by an external signal. The instrument does the modulating; the program
// tells it the centre value of the modulated parameter, which parameter, and the depth Scale.
// Start frames: one channel alone, channel A from inputs 1 and 2 (A12), both channels each from
// its own input (double), or both from input 1 (AB1); the update cycle picks the form.
#pragma once

#include "QvGen4Types.h"

#include <cstdint>

class TQvGen4Channel;

class TQvGen4ExtModulation {
public:
    explicit TQvGen4ExtModulation(TQvGen4Channel& Owner) : FOwner(Owner) {}
    TQvGen4ExtModulation(const TQvGen4ExtModulation&) = delete;
    TQvGen4ExtModulation& operator=(const TQvGen4ExtModulation&) = delete;

    // --- Properties; no range check, an accepted change updates ---
    TQvGen4AFPModes Type() const { return FType; } // the modulated parameter
    void SetType(TQvGen4AFPModes Value);
    // Depth: each step doubles it; sent as its low byte.
    std::int32_t Scale() const { return FScale; }
    void SetScale(std::int32_t Value);
    // The parameter as start frames name it: frequency 3, amplitude 1, phase 2, else 0.
    std::uint8_t GetTypeAsInt() const { return QvGen4AFPSelector(FType); }

    // The persistent fields, stored as they are: no update.
    struct TStored {
        TQvGen4AFPModes Type;
        std::int32_t Scale;
    };
    TStored Stored() const { return {FType, FScale}; }
    void LoadStored(const TStored& Value);

    // --- Set-up: the centre value, then, with Start, the start frame for this channel alone
    // (SumInputs: channel A from inputs 1 and 2) ---
    void SetModeFreqMod(bool Start, bool SumInputs);
    void SetModeAmplMod(bool Start, bool SumInputs);
    void SetModePhaseMod(bool Start, bool SumInputs);
    void StartSingleModulation(bool SumInputs);
    // One start frame for both channels, each from its own input.
    static void StartDoubleModulation(TQvGen4Channel& A, TQvGen4Channel& B);
    // Channel A's input drives both outputs.
    static void StartDuplexModulation(TQvGen4Channel& A);

private:
    TQvGen4Channel& FOwner;
    TQvGen4AFPModes FType = QGAFPms_freq;
    std::int32_t FScale = 0;
};
