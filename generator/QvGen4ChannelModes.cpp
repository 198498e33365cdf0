// A channel's modes: changing them, keeping the two channels compatible, and the set-up that the
// update cycle runs for each mode, with the over-modulation guard.
#include "QvGen4.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace {

using TModeSet = std::uint16_t;

constexpr TModeSet Modes(std::initializer_list<TQvGen4ModesCommon> List) {
    TModeSet set = 0;
    for (auto m : List) {
        set = static_cast<TModeSet>(set | 1u << m);
    }
    return set;
}

// What a channel's new mode does to the other channel: the other is switched off when its mode
// is in SwitchOff; with PullAlong it takes the same mode instead (both outputs share it).
struct TCompatRule {
    TModeSet SwitchOff;
    bool PullAlong;
};

// Indexed by the new mode.
constexpr std::array<TCompatRule, 9> CompatRules = {{
    /* off */ {Modes({QGMdC_ExtModulationAB1}), false},
    /* gen */ {Modes({QGMdC_ExtModulationAB1}), false},
    /* tuning */
    {Modes({QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulation, QGMdC_ExtModulationA12,
            QGMdC_ExtModulationAB1, QGMdC_LFM}),
     false},
    /* IntModulation */
    {Modes({QGMdC_tuning, QGMdC_ExtModulation, QGMdC_ExtModulationA12, QGMdC_ExtModulationAB1,
            QGMdC_LFM, QGMdC_DDSMod}),
     false},
    /* ExtModulation */
    {Modes({QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulationA12, QGMdC_ExtModulationAB1,
            QGMdC_LFM}),
     false},
    /* ExtModulationA12 */
    {Modes({QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulation, QGMdC_ExtModulationAB1,
            QGMdC_LFM}),
     false},
    /* ExtModulationAB1 */ {0, true},
    /* LFM */
    {Modes({QGMdC_tuning, QGMdC_IntModulation, QGMdC_ExtModulation, QGMdC_ExtModulationA12,
            QGMdC_ExtModulationAB1}),
     false},
    /* DDSMod */ {Modes({QGMdC_IntModulation, QGMdC_ExtModulationAB1}), false},
}};

// Amplitude depth of a Scale, percent of full scale: each step doubles it, 21 is full scale.
double ScaleDepth(std::int32_t Scale) {
    // Kept within what a double can express; any Scale is accepted and stored.
    const auto e = std::clamp<std::int64_t>(std::int64_t{Scale} - 21, -2000, 2000);
    return std::ldexp(100.0, static_cast<int>(e));
}

} // namespace

void TQvGen4Channel::SetMode(TQvGen4ModesCommon Value) {
    if (Value == FMode || !CheckEnableNewMode(Value)) {
        return;
    }
    FMode = Value;
    if (FOwner.OnChModeChange) {
        FOwner.OnChModeChange(*this, false);
    }
    CheckModesCompat();
    UpdateMode();
}

bool TQvGen4Channel::CheckEnableNewMode(TQvGen4ModesCommon Value) const {
    return !(FChannelType == QGCN_B && Value == QGMdC_ExtModulationA12);
}

void TQvGen4Channel::CheckModesCompat() {
    if (FMode >= CompatRules.size()) {
        return; // not a mode a setter can give; nothing to adjust
    }
    const TCompatRule& rule = CompatRules[FMode];
    TQvGen4Channel& other = GetOtherCh();
    TQvGen4ModesCommon next = other.FMode;
    if (rule.PullAlong) {
        next = FMode;
    } else if (other.FMode < 16 && (rule.SwitchOff >> other.FMode & 1u)) {
        next = QGMdC_off;
    }
    if (next == other.FMode) {
        return;
    }
    // Written directly: no checks and no update on the other channel's behalf.
    other.FMode = next;
    if (FOwner.OnChModeChange) {
        FOwner.OnChModeChange(other, true);
    }
}

void TQvGen4Channel::CheckOverModulation(TQvGen4AFPModes Type, bool SuspendPolling) {
    if (Type != QGAFPms_ampl || !FOwner.Options.OverModulationNotify() ||
        !FOwner.OnOverModulation) {
        return;
    }
    const double limit = GetMaxAmplAvoidOverMod();
    if (!(limit < FAmplitude)) {
        return;
    }
    // The handler may change Amplitude: that runs a nested cycle, and the set-up then goes on
    // with the new value. A tuning channel does not poll while the handler (a modal question)
    // runs, and polls as before afterwards, also when the handler throws.
    const bool polling = Tuner.ADCTimerEnabled();
    if (SuspendPolling) {
        Tuner.SetADCTimerEnabled(false);
    }
    try {
        FOwner.OnOverModulation(*this, limit);
    } catch (...) {
        if (SuspendPolling) {
            Tuner.SetADCTimerEnabled(polling);
        }
        throw;
    }
    if (SuspendPolling) {
        Tuner.SetADCTimerEnabled(polling);
    }
}

void TQvGen4Channel::SetModeTuning() {
    CheckOverModulation(Tuner.Type(), true);
    SetOpened(true);
    WriteAFPtoGen();
    switch (Tuner.Type()) {
    case QGAFPms_freq:
        Tuner.SetModeFreqTune();
        break;
    case QGAFPms_ampl:
        Tuner.SetModeAmplTune();
        break;
    case QGAFPms_phase:
        Tuner.SetModePhaseTune();
        break;
    }
}

void TQvGen4Channel::SetModeExtModulation(bool Start) {
    CheckOverModulation(ExtModulation.Type(), false);
    SetOpened(true);
    WriteAFPtoGen();
    const bool sumInputs = FMode == QGMdC_ExtModulationA12;
    switch (ExtModulation.Type()) {
    case QGAFPms_freq:
        ExtModulation.SetModeFreqMod(Start, sumInputs);
        break;
    case QGAFPms_ampl:
        ExtModulation.SetModeAmplMod(Start, sumInputs);
        break;
    case QGAFPms_phase:
        ExtModulation.SetModePhaseMod(Start, sumInputs);
        break;
    }
}

void TQvGen4Channel::SetModeLFM(bool Start) {
    SetOpened(true);
    WriteAFPtoGen();
    LFM.StartLFM(Start);
}

void TQvGen4Channel::SetModeDDSMod() {
    SetOpened(true);
    DDSMod.StartDDSMod(); // writes the carrier itself
}

void TQvGen4Channel::SetModeIntModulation(bool Whole) {
    CheckOverModulation(IntModulation.Type(), false);
    SetOpened(true);
    WriteAFPtoGen();
    IntModulation.WriteReadings(Whole);
}

void TQvGen4Channel::SetModeOff() {
    SetOpened(false);
}

double TQvGen4Channel::GetMaxAmplAvoidOverMod() const {
    switch (FMode) {
    case QGMdC_tuning:
        return AMPL_TOP - ScaleDepth(Tuner.Scale());
    case QGMdC_IntModulation:
        return std::nearbyint(AMPL_TOP / (1 + IntModulation.dA() * 0.01));
    case QGMdC_ExtModulation:
    case QGMdC_ExtModulationA12:
    case QGMdC_ExtModulationAB1:
        return AMPL_TOP - ScaleDepth(ExtModulation.Scale());
    default:
        return AMPL_TOP;
    }
}

void TQvGen4Channel::CorrectAmplAvoidOverModul() {
    switch (FMode) {
    case QGMdC_tuning:
        if (Tuner.Scale() < 7 || Tuner.Scale() > 21) {
            Tuner.SetScale(20);
        }
        break;
    case QGMdC_ExtModulation:
    case QGMdC_ExtModulationA12:
    case QGMdC_ExtModulationAB1:
        if (ExtModulation.Scale() < 7 || ExtModulation.Scale() > 20) {
            ExtModulation.SetScale(20);
        }
        break;
    default:
        return;
    }
    const double limit = GetMaxAmplAvoidOverMod();
    if (FAmplitude > limit) {
        FAmplitude = limit; // directly: the host decides when to update
    }
}
