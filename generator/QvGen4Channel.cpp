#include "QvGen4Channel.h"

#include "QvGen4.h"
#include "QvGen4Property.h"

TQvGen4Channel::TQvGen4Channel(TQvGen4& Owner, TQvGen4ChNames Type)
    : FOwner(Owner), IntModulation(*this), ExtModulation(*this), Tuner(*this), LFM(*this),
      DDSMod(*this), FFrequency(1000), FAmplitude(100), FPhase(0), FChannelType(Type) {}

void TQvGen4Channel::UpdateMode() {
    FOwner.TryUpdateMode();
}

TQvGen4Channel& TQvGen4Channel::GetOtherCh() const {
    if (FChannelType == QGCN_A) {
        return FOwner.ChB;
    }
    return FOwner.ChA;
}

void TQvGen4Channel::Set_sinFrequency(double Value) {
    if (!AssignProperty(FFrequency, Value, [this](double v) { return CheckFreqRange(v); })) {
        return;
    }
    // The sweep never starts above its top: raise the top with the carrier, in whole kHz.
    if (LFM.FFreqTop < FFrequency) {
        LFM.FFreqTop = static_cast<std::int32_t>(FFrequency);
    }
    UpdateMode();
}

void TQvGen4Channel::Set_sinAmplitude(double Value) {
    if (AssignProperty(FAmplitude, Value, [](double v) { return v > AMPL_BOT && v <= AMPL_TOP; })) {
        UpdateMode();
    }
}

void TQvGen4Channel::SetPhase(double Value) {
    if (AssignProperty(FPhase, Value, [this](double v) { return CheckPhaseRange(v); })) {
        UpdateMode();
    }
}

bool TQvGen4Channel::CheckFreqRange(double Value) {
    if (Value >= FREQUENCY_BOT && Value <= FREQUENCY_TOP) {
        return true;
    }
    if (FOwner.OnParamValueError) {
        FOwner.OnParamValueError(*this, QGP_Frequency, Value);
    }
    return false;
}

bool TQvGen4Channel::CheckPhaseRange(double Value) {
    if (Value >= PHASE_BOT && Value < PHASE_TOP) {
        return true;
    }
    if (FOwner.OnParamValueError) {
        FOwner.OnParamValueError(*this, QGP_Phase, Value);
    }
    return false;
}

void TQvGen4Channel::SetOpened(bool Value) {
    FOpened = Value;
    FOwner.WriteCmdFTPort(TQvGen4Cmd(FChannelType, Value ? QGC_OutputOn : QGC_OutputOff));
}

void TQvGen4Channel::WriteAFPtoGen() {
    const auto freq = FOwner.Conv_FreqToCode(TQvGen4::Conv_Value(FFrequency, 1000, 1));
    FOwner.WriteCmdFTPort(
        TQvGen4Cmd::With32(FChannelType, QGC_Frequency, static_cast<std::uint32_t>(freq)));
    FOwner.WriteCmdFTPort(
        TQvGen4Cmd::With16(FChannelType, QGC_Amplitude,
                           static_cast<std::uint16_t>(TQvGen4::Conv_AmplToCode(FAmplitude))));
    FOwner.WriteCmdFTPort(TQvGen4Cmd::With16(
        FChannelType, QGC_Phase, static_cast<std::uint16_t>(TQvGen4::Conv_PhaseToCode(FPhase))));
}

void TQvGen4Channel::SetModeSinGeneration() {
    SetOpened(true);
    WriteAFPtoGen();
}

void TQvGen4Channel::UpdateDependentTimers() {
    Tuner.UpdateADCTimer();
}
