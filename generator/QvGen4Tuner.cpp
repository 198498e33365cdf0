#include "QvGen4Tuner.h"

#include "QvGen4.h"
#include "QvGen4Errors.h"
#include "QvGen4Property.h"

TQvGen4Tuner::~TQvGen4Tuner() {
    // Only the timer is touched: the generator may already be half gone.
    FADCTimerEnabled = false;
    ReleaseADCTimer();
}

void TQvGen4Tuner::SetType(TQvGen4AFPModes Value) {
    if (AssignProperty(FType, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4Tuner::SetScale(std::int32_t Value) {
    if (AssignProperty(FScale, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4Tuner::SetADCTimerEnabled(bool Value) {
    if (AssignProperty(FADCTimerEnabled, Value)) {
        UpdateADCTimer();
    }
}

void TQvGen4Tuner::SetADCTimerInterval(std::int32_t Value) {
    if (AssignProperty(FADCTimerInterval, Value, [](std::int32_t v) { return v >= 0; })) {
        UpdateADCTimer();
    }
}

void TQvGen4Tuner::LoadStored(const TStored& Value) {
    FType = Value.Type;
    FScale = Value.Scale;
    FADCTimerEnabled = Value.ADCTimerEnabled;
    FADCTimerInterval = Value.ADCTimerInterval;
}

namespace {

void SendTuneFrames(TQvGen4Channel& Ch, const TQvGen4Cmd& Centre, TQvGen4Commands DepthCode,
                    std::int32_t Scale) {
    TQvGen4& gen = Ch.Owner();
    gen.WriteCmdFTPort(Centre);
    gen.WriteCmdFTPort(TQvGen4Cmd(Ch.ChannelType(), DepthCode, static_cast<std::uint8_t>(Scale)));
}

} // namespace

void TQvGen4Tuner::SetModeFreqTune() {
    const TQvGen4& gen = FOwner.Owner();
    const auto code = gen.Conv_FreqToCode(TQvGen4::Conv_Value(FOwner.Frequency(), 1000, 1));
    SendTuneFrames(
        FOwner,
        TQvGen4Cmd::With32(FOwner.ChannelType(), QGC_CentreValue, static_cast<std::uint32_t>(code)),
        QGC_TuneFreq, FScale);
}

void TQvGen4Tuner::SetModeAmplTune() {
    const auto code = TQvGen4::Conv_AmplToCode(FOwner.Amplitude());
    SendTuneFrames(
        FOwner,
        TQvGen4Cmd::With16(FOwner.ChannelType(), QGC_CentreValue, static_cast<std::uint16_t>(code)),
        QGC_TuneAmpl, FScale);
}

void TQvGen4Tuner::SetModePhaseTune() {
    const auto code = TQvGen4::Conv_PhaseToCode(FOwner.Phase());
    SendTuneFrames(
        FOwner,
        TQvGen4Cmd::With16(FOwner.ChannelType(), QGC_CentreValue, static_cast<std::uint16_t>(code)),
        QGC_TunePhase, FScale);
}

void TQvGen4Tuner::UpdateADCTimer() {
    if (FTimer) {
        FTimer->Stop();
    }
    TQvGen4& gen = FOwner.Owner();
    if (FADCTimerInterval <= 0 || !FADCTimerEnabled || !gen.Active() ||
        FOwner.Mode() != QGMdC_tuning) {
        return;
    }
    if (!FTimer) {
        FTimer = gen.CreateTimer([this] { ADCTimer(); });
    }
    if (!FTimer || !FTimer->Start(static_cast<std::uint32_t>(FADCTimerInterval))) {
        throw EQvGen4OutOfResources("Невозможно создать таймер!");
    }
}

void TQvGen4Tuner::ReleaseADCTimer() {
    if (FTimer) {
        FTimer->Stop();
        FTimer.reset();
    }
}

void TQvGen4Tuner::ADCTimer() {
    try {
        GetADCValue();
    } catch (...) {
        if (FTimer) {
            FTimer->Stop();
        }
        throw;
    }
    TQvGen4& gen = FOwner.Owner();
    if (gen.OnADCTimer) {
        gen.OnADCTimer(FOwner);
    }
}

void TQvGen4Tuner::GetADCValue() {
    TQvGen4& gen = FOwner.Owner();
    // The query has no channel-B variant and goes out as its code byte alone.
    if (!gen.WriteCmdFTPort(TQvGen4Cmd(FOwner.ChannelType(), QGC_ADCQuery, 0, 0, 0, 0, 0, 1))) {
        return;
    }
    std::uint8_t r[4] = {};
    if (!gen.ReadBytesFromFTPort(r, sizeof r)) {
        return;
    }
    std::uint32_t v =
        std::uint32_t{r[0]} << 24 | std::uint32_t{r[1]} << 16 | std::uint32_t{r[2]} << 8 | r[3];
    if (FType == QGAFPms_ampl || FType == QGAFPms_phase) {
        v >>= 16;
    }
    FADCValue = v;
}
