// A channel's modes: changing them, keeping the two channels compatible, and the set-up that the
// update cycle runs for each mode.
#include "QvGen4.h"

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

// Filled in by the modes work: compatibility rules, set-ups and the over-modulation guard.
void TQvGen4Channel::CheckModesCompat() {}
void TQvGen4Channel::SetModeTuning() {}
void TQvGen4Channel::SetModeExtModulation(bool) {}
void TQvGen4Channel::SetModeLFM(bool) {}
void TQvGen4Channel::SetModeDDSMod() {}
void TQvGen4Channel::SetModeIntModulation(bool) {}
void TQvGen4Channel::SetModeOff() { SetOpened(false); }
double TQvGen4Channel::GetMaxAmplAvoidOverMod() const { return AMPL_TOP; }
void TQvGen4Channel::CorrectAmplAvoidOverModul() {}
