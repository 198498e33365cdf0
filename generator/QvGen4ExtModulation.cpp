#include "QvGen4ExtModulation.h"

#include "QvGen4.h"
#include "QvGen4Property.h"

void TQvGen4ExtModulation::SetType(TQvGen4AFPModes Value) {
    if (AssignProperty(FType, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4ExtModulation::SetScale(std::int32_t Value) {
    if (AssignProperty(FScale, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4ExtModulation::LoadStored(const TStored& Value) {
    FType = Value.Type;
    FScale = Value.Scale;
}

void TQvGen4ExtModulation::SetModeFreqMod(bool Start, bool SumInputs) {
    TQvGen4& gen = FOwner.Owner();
    const auto code = gen.Conv_FreqToCode(TQvGen4::Conv_Value(FOwner.Frequency(), 1000, 1));
    gen.WriteCmdFTPort(TQvGen4Cmd::With32(FOwner.ChannelType(), QGC_CentreValue,
                                          static_cast<std::uint32_t>(code)));
    if (Start) {
        StartSingleModulation(SumInputs);
    }
}

void TQvGen4ExtModulation::SetModeAmplMod(bool Start, bool SumInputs) {
    const auto code = TQvGen4::Conv_AmplToCode(FOwner.Amplitude());
    FOwner.Owner().WriteCmdFTPort(TQvGen4Cmd::With16(FOwner.ChannelType(), QGC_CentreValue,
                                                     static_cast<std::uint16_t>(code)));
    if (Start) {
        StartSingleModulation(SumInputs);
    }
}

void TQvGen4ExtModulation::SetModePhaseMod(bool Start, bool SumInputs) {
    const auto code = TQvGen4::Conv_PhaseToCode(FOwner.Phase());
    FOwner.Owner().WriteCmdFTPort(TQvGen4Cmd::With16(FOwner.ChannelType(), QGC_CentreValue,
                                                     static_cast<std::uint16_t>(code)));
    if (Start) {
        StartSingleModulation(SumInputs);
    }
}

void TQvGen4ExtModulation::StartSingleModulation(bool SumInputs) {
    const auto scale = static_cast<std::uint8_t>(FScale);
    TQvGen4Cmd cmd(FOwner.ChannelType(), QGC_ExtModStart, scale, GetTypeAsInt());
    if (SumInputs) {
        // The summing start has one code for either channel and carries both depths.
        const auto other = static_cast<std::uint8_t>(FOwner.GetOtherCh().ExtModulation.Scale());
        cmd = TQvGen4Cmd(FOwner.ChannelType(), QGC_ExtModStart, scale, other, GetTypeAsInt());
        cmd.Bytes[0] = QGC_ExtModA12;
    }
    FOwner.Owner().WriteCmdFTPort(cmd);
}

void TQvGen4ExtModulation::StartDoubleModulation(TQvGen4Channel& A, TQvGen4Channel& B) {
    const TQvGen4ExtModulation& a = A.ExtModulation;
    const TQvGen4ExtModulation& b = B.ExtModulation;
    A.Owner().WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_ExtModDouble,
                                        static_cast<std::uint8_t>(a.FScale), a.GetTypeAsInt(),
                                        static_cast<std::uint8_t>(b.FScale), b.GetTypeAsInt()));
}

void TQvGen4ExtModulation::StartDuplexModulation(TQvGen4Channel& A) {
    const TQvGen4ExtModulation& a = A.ExtModulation;
    A.Owner().WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_ExtModDuplex,
                                        static_cast<std::uint8_t>(a.FScale), a.GetTypeAsInt()));
}
