#include "QvGen4IntModulation.h"

#include "QvGen4.h"
#include "QvGen4Errors.h"
#include "QvGen4Property.h"

#include <algorithm>
#include <cmath>

TQvGen4IntModulation::TQvGen4IntModulation(TQvGen4Channel& Owner) : FOwner(Owner) {
    // One full period of big-endian words in natural order, as the microcontroller plays them.
    FWave.SetHalfOfPeriod(false);
    FWave.SetDirectRdsBytes(false);
    FWave.SetDirectRdsOrder(true);
}

void TQvGen4IntModulation::SetType(TQvGen4AFPModes Value) {
    if (AssignProperty(FType, Value)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::SetFm(std::int32_t Value) {
    const auto inRange = [](std::int32_t v) {
        return static_cast<double>(v) >= FREQ_MOD_BOT && static_cast<double>(v) <= FREQ_MOD_TOP;
    };
    if (AssignProperty(FFm, Value, inRange)) {
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::SetdA(std::int32_t Value) {
    if (AssignProperty(FdA, Value, [](std::int32_t v) { return v >= 0 && v <= DEVIAT_AMPL_MAX; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::SetdF(std::int32_t Value) {
    if (AssignProperty(FdF, Value, [](std::int32_t v) { return v >= 0 && v <= DEVIAT_FREQ_MAX; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::SetdPh(std::int32_t Value) {
    if (AssignProperty(FdPh, Value,
                       [](std::int32_t v) { return v >= 0 && v <= DEVIAT_PHASE_MAX; })) {
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::SetCC(double Value) {
    if (Value != FWave.CC()) {
        FWave.Set_CC(Value);
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::SetMathFuncType(TMathFuncsTypes Value) {
    if (Value != FWave.FunctionType()) {
        FWave.SetFunctionType(Value);
        FOwner.UpdateMode();
    }
}

void TQvGen4IntModulation::LoadStored(const TStored& Value) {
    FType = Value.Type;
    FFm = Value.Fm;
    FdA = Value.dA;
    FdF = Value.dF;
    FdPh = Value.dPh;
}

void TQvGen4IntModulation::WriteReadings(bool Whole) {
    CreateReadings(Whole);
    OutputReadings(Whole);
}

void TQvGen4IntModulation::CreateReadings(bool Whole) {
    FRdsBytes = Whole ? MEMORY_WHOLE : MEMORY_SHARED;
    FRdsCnt = FRdsBytes;
    FWave.SetAutoUpdate(false);
    const bool freq = IsFreq();
    const std::int32_t width = freq ? 4 : 2;
    FWave.SetBytesPerReading(freq ? BPR_4 : BPR_2);
    FRdsCnt /= width;
    const std::uint32_t limit = GetMaxReadingsCnt(static_cast<std::uint32_t>(FFm), Whole, freq);
    FRdsCnt = static_cast<std::int32_t>(
        std::min<std::uint32_t>(static_cast<std::uint32_t>(FRdsCnt), limit));
    FRdsBytes = width * FRdsCnt;

    // The readings are DDS words: centre and swing are codes, taken as unsigned 32-bit numbers.
    const TQvGen4& gen = FOwner.Owner();
    const auto word = [](std::int32_t Code) {
        return static_cast<double>(static_cast<std::uint32_t>(Code));
    };
    switch (FType) {
    case QGAFPms_freq:
        FWave.Set_CA(word(gen.Conv_FreqToCode(TQvGen4::Conv_Value(FOwner.Frequency(), 1000, 1))));
        FWave.Set_CB(word(gen.Conv_FreqToCode(FdF)));
        break;
    case QGAFPms_ampl:
        FWave.Set_CA(word(TQvGen4::Conv_AmplToCode(FOwner.Amplitude())));
        FWave.Set_CB(word(TQvGen4::Conv_AmplToCode(FdA * FOwner.Amplitude() * 0.01)));
        break;
    case QGAFPms_phase:
        FWave.Set_CA(word(TQvGen4::Conv_PhaseToCode(FOwner.Phase())));
        FWave.Set_CB(word(TQvGen4::Conv_PhaseToCode(FdPh)));
        break;
    }
    FWave.SetReadingsCount(FRdsCnt);
    FWave.SetAutoUpdate(true);
}

void TQvGen4IntModulation::OutputReadings(bool Whole) {
    TQvGen4& gen = FOwner.Owner();
    const TQvGen4ChNames ch = FOwner.ChannelType();
    const auto hi = [](std::int32_t v) { return static_cast<std::uint8_t>(v >> 8); };
    const auto lo = [](std::int32_t v) { return static_cast<std::uint8_t>(v); };
    if (ch == QGCN_A) {
        gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_TableHeader, hi(FRdsBytes), lo(FRdsBytes)));
    } else {
        // Channel B names its block by addresses: the upper half when the memory is shared.
        const std::int32_t start = Whole ? 0 : MEMORY_SHARED;
        const std::int32_t end = start + FRdsBytes;
        gen.WriteCmdFTPort(TQvGen4Cmd(ch, QGC_TableHeader, hi(start), lo(start), hi(end), lo(end)));
    }
    if (FWave.ReadingsMemorySize() > 0) {
        gen.WriteBytesToFTPort(FWave.ReadingsMemory(),
                               static_cast<std::uint32_t>(FWave.ReadingsMemorySize()));
    }
    FLa = GetLa(static_cast<std::uint32_t>(FFm), Whole, IsFreq(),
                static_cast<std::uint32_t>(FRdsCnt));
}

std::uint32_t TQvGen4IntModulation::GetMaxReadingsCnt(std::uint32_t Fm, bool Whole, bool Freq) {
    const std::uint64_t minTicks = (Freq ? 512u : 288u) * (Whole ? 1u : 2u);
    const std::uint64_t perReading = std::uint64_t{Fm} * minTicks;
    if (perReading == 0) {
        return 0; // no modulation frequency: nothing can be played
    }
    return static_cast<std::uint32_t>(F_Ftimer / perReading);
}

std::uint32_t TQvGen4IntModulation::GetLa(std::uint32_t Fm, bool Whole, bool Freq,
                                          std::uint32_t Count) {
    if (Count == 0) {
        Count = GetMaxReadingsCnt(Fm, Whole, Freq);
    }
    const double ticks =
        std::ceil(static_cast<double>(F_Ftimer) / (static_cast<double>(Fm) * Count));
    const double la = 65536.0 - ticks;
    // A reading needing more than 65536 ticks gives a negative value, which as an unsigned
    // reload value is beyond any limit; so does an empty table (infinite ticks).
    const double limit = Whole ? 0xFF80 : 0xFF00;
    if (!(la >= 0) || la > limit) {
        throw EQvGen4Error("Переполнение делителя! (> FF80 или > FF00 )");
    }
    return static_cast<std::uint32_t>(la);
}

void TQvGen4IntModulation::StartModulationCmd(TQvGen4Commands Code) {
    FOwner.Owner().WriteCmdFTPort(
        TQvGen4Cmd(FOwner.ChannelType(), Code, static_cast<std::uint8_t>(FLa >> 8),
                   static_cast<std::uint8_t>(FLa), 8, QvGen4AFPSelector(FType)));
}

void TQvGen4IntModulation::StartSingleModulation(bool) {
    StartModulationCmd(QGC_IntModStart);
}

void TQvGen4IntModulation::StopSingleModulation() {
    FOwner.Owner().WriteCmdFTPort(TQvGen4Cmd(FOwner.ChannelType(), QGC_IntModStop));
}

void TQvGen4IntModulation::StartDoubleModulation(bool Start) {
    if (!Start) {
        StopDoubleModulation();
    }
    FOwner.Owner().WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_IntModDoubleStart));
}

void TQvGen4IntModulation::StopDoubleModulation() {
    FOwner.Owner().WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_IntModDoubleStop));
}

void TQvGen4IntModulation::StartDuplexModulation(bool) {
    StartModulationCmd(QGC_IntModDuplex);
}
