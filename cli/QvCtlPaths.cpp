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

    using L = TQvGen4LFM;
    auto lfm = [Chan](TQvGen4& g) -> L& { return Chan(g).LFM; };
    add("LFM.FreqTop", lfm, &L::FreqTop, &L::SetFreqTop);
    add("LFM.Tinc0", lfm, &L::Tinc0, &L::SetTinc0);
    add("LFM.Tinc1", lfm, &L::Tinc1, &L::SetTinc1);
    add("LFM.Tdec0", lfm, &L::Tdec0, &L::SetTdec0);
    add("LFM.Tdec1", lfm, &L::Tdec1, &L::SetTdec1);
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
