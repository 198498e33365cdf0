#include "QvCtlPaths.h"

#include "QvGen4.h"

#include <type_traits>

namespace {

// A row from a getter and a setter of the object Pick selects. The kind of the value follows the
// getter's type, so the table cannot disagree with the model about it.
template <class Pick, class Obj, class G, class R, class S>
TQvCtlPath Row(std::string Name, Pick P, G (Obj::*Get)() const, R (Obj::*Set)(S)) {
    using TGet = std::remove_cvref_t<G>;
    using TSet = std::remove_cvref_t<S>;
    return {std::move(Name), QvCtlTypeOf<TGet>(),
            [P, Get](TQvGen4& Gen) { return QvCtlToValue<TGet>((P(Gen).*Get)()); },
            [P, Set](TQvGen4& Gen, const TQvCtlValue& V) {
                (P(Gen).*Set)(static_cast<TSet>(QvCtlFromValue<TGet>(V)));
            }};
}

using TChannelPick = TQvGen4Channel& (*)(TQvGen4&);

void AddChannel(std::vector<TQvCtlPath>& Rows, const std::string& Prefix, TChannelPick Chan) {
    using C = TQvGen4Channel;
    auto ch = [Chan](TQvGen4& g) -> C& { return Chan(g); };
    auto add = [&](const char* Name, auto Pick, auto Get, auto Set) {
        Rows.push_back(Row(Prefix + Name, Pick, Get, Set));
    };
    add("Mode", ch, &C::Mode, &C::SetMode);
    add("Frequency", ch, &C::Frequency, &C::Set_sinFrequency);
    add("Amplitude", ch, &C::Amplitude, &C::Set_sinAmplitude);
    add("Phase", ch, &C::Phase, &C::SetPhase);

    using T = TQvGen4Tuner;
    auto tuner = [Chan](TQvGen4& g) -> T& { return Chan(g).Tuner; };
    add("Tuner.Type", tuner, &T::Type, &T::SetType);
    add("Tuner.Scale", tuner, &T::Scale, &T::SetScale);
    add("Tuner.ADCTimerEnabled", tuner, &T::ADCTimerEnabled, &T::SetADCTimerEnabled);
    add("Tuner.ADCTimerInterval", tuner, &T::ADCTimerInterval, &T::SetADCTimerInterval);

    using I = TQvGen4IntModulation;
    auto im = [Chan](TQvGen4& g) -> I& { return Chan(g).IntModulation; };
    add("IntModulation.Type", im, &I::Type, &I::SetType);
    add("IntModulation.Fm", im, &I::Fm, &I::SetFm);
    add("IntModulation.dA", im, &I::dA, &I::SetdA);
    add("IntModulation.dF", im, &I::dF, &I::SetdF);
    add("IntModulation.dPh", im, &I::dPh, &I::SetdPh);
    add("IntModulation.CC", im, &I::CC, &I::SetCC);
    add("IntModulation.MathFuncType", im, &I::MathFuncType, &I::SetMathFuncType);

    using E = TQvGen4ExtModulation;
    auto em = [Chan](TQvGen4& g) -> E& { return Chan(g).ExtModulation; };
    add("ExtModulation.Type", em, &E::Type, &E::SetType);
    add("ExtModulation.Scale", em, &E::Scale, &E::SetScale);

    using L = TQvGen4LFM;
    auto lfm = [Chan](TQvGen4& g) -> L& { return Chan(g).LFM; };
    add("LFM.FreqTop", lfm, &L::FreqTop, &L::SetFreqTop);
    add("LFM.Tinc0", lfm, &L::Tinc0, &L::SetTinc0);
    add("LFM.Tinc1", lfm, &L::Tinc1, &L::SetTinc1);
    add("LFM.Tdec0", lfm, &L::Tdec0, &L::SetTdec0);
    add("LFM.Tdec1", lfm, &L::Tdec1, &L::SetTdec1);

    using D = TQvGen4DDSMod;
    auto dds = [Chan](TQvGen4& g) -> D& { return Chan(g).DDSMod; };
    add("DDSMod.F1", dds, &D::F1, &D::SetF1);
    add("DDSMod.F2", dds, &D::F2, &D::SetF2);
    add("DDSMod.F3", dds, &D::F3, &D::SetF3);
    add("DDSMod.F4", dds, &D::F4, &D::SetF4);
    add("DDSMod.dF", dds, &D::dF, &D::Set_dF);
    add("DDSMod.Ph1", dds, &D::Ph1, &D::SetPh1);
    add("DDSMod.Ph2", dds, &D::Ph2, &D::SetPh2);
    add("DDSMod.Ph3", dds, &D::Ph3, &D::SetPh3);
    add("DDSMod.Ph4", dds, &D::Ph4, &D::SetPh4);
    add("DDSMod.dPh", dds, &D::dPh, &D::Set_dPh);
    add("DDSMod.T1", dds, &D::T1, &D::SetT1);
    add("DDSMod.T2", dds, &D::T2, &D::SetT2);
    add("DDSMod.T3", dds, &D::T3, &D::SetT3);
    add("DDSMod.T4", dds, &D::T4, &D::SetT4);
    add("DDSMod.Mode", dds, &D::Mode, &D::SetMode);
    add("DDSMod.Type", dds, &D::Type, &D::SetType);
    add("DDSMod.UseExtTimes", dds, &D::UseExtTimes, &D::SetUseExtTimes);
    add("DDSMod.ContBidiRamp", dds, &D::ContBidiRamp, &D::SetContBidiRamp);
    add("DDSMod.Fm", dds, &D::Fm, &D::SetFm);
    add("DDSMod.MathFuncType", dds, &D::MathFuncType, &D::SetMathFuncType);
    add("DDSMod.CC", dds, &D::CC, &D::SetCC);
    add("DDSMod.ReadingsCntMin", dds, &D::ReadingsCntMin, &D::SetReadingsCntMin);
}

std::vector<TQvCtlPath> BuildPaths() {
    std::vector<TQvCtlPath> rows;
    auto gen = [](TQvGen4& g) -> TQvGen4& { return g; };
    auto opt = [](TQvGen4& g) -> TQvGen4Options& { return g.Options; };
    rows.push_back(Row("UseExtRefFreq", gen, &TQvGen4::UseExtRefFreq, &TQvGen4::SetUseExtRefFreq));
    rows.push_back(Row("RefFreq", gen, &TQvGen4::RefFreq, &TQvGen4::SetRefFreq));
    rows.push_back(Row("FreqScale", gen, &TQvGen4::FreqScale, &TQvGen4::SetFreqScale));
    rows.push_back(Row("Options.EnableDuplexIntMod", opt, &TQvGen4Options::EnableDuplexIntMod,
                       &TQvGen4Options::SetEnableDuplexIntMod));
    rows.push_back(Row("Options.OverModulationNotify", opt, &TQvGen4Options::OverModulationNotify,
                       &TQvGen4Options::SetOverModulationNotify));
    AddChannel(rows, "ChA.", [](TQvGen4& g) -> TQvGen4Channel& { return g.ChA; });
    AddChannel(rows, "ChB.", [](TQvGen4& g) -> TQvGen4Channel& { return g.ChB; });
    return rows;
}

} // namespace

const std::vector<TQvCtlPath>& QvCtlPaths() {
    static const std::vector<TQvCtlPath> rows = BuildPaths();
    return rows;
}

const TQvCtlPath* QvCtlFindPath(std::string_view Name) {
    for (const auto& row : QvCtlPaths()) {
        if (row.Name == Name) {
            return &row;
        }
    }
    return nullptr;
}
