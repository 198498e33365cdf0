// What the outputs produce over time, worked out from the registers, the memories, the clock and
// the inputs; and the ADC answer.
#include "QvVirtualInstrument.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double TWO32 = 4294967296.0;

// Register values are worked out in double; the synthesizer keeps their low bits.
std::uint32_t Wrap32(double V) {
    if (!std::isfinite(V)) {
        return 0;
    }
    double w = std::fmod(std::nearbyint(V), TWO32);
    if (w < 0) {
        w += TWO32;
    }
    return static_cast<std::uint32_t>(w);
}

std::uint16_t Wrap16(double V) {
    return static_cast<std::uint16_t>(Wrap32(V) & 0xFFFF);
}

std::size_t SegmentLength(const TQvProfile& P) {
    return P.End >= P.Start ? std::size_t{P.End} - P.Start + 1 : 1;
}

} // namespace

TQvOutputMode TQvOutputState::Mode() const {
    if (!On) {
        return TQvOutputMode::Off;
    }
    if (MemoryEnabled()) {
        const std::uint8_t playback = Memory.Profiles[0].Playback;
        if (KeyingProgram() < 2 && !Memory.ExternalTimes &&
            (playback == 0x80 || playback == 0x60)) {
            return TQvOutputMode::MemoryTable;
        }
        return TQvOutputMode::Keying;
    }
    if (SweepEnabled()) {
        return TQvOutputMode::Sweep;
    }
    if (IntMod.Running || IntMod.Prepared) {
        return TQvOutputMode::IntModulation;
    }
    if (ExtMod.Running) {
        return TQvOutputMode::ExtModulation;
    }
    if (Tuning.Active) {
        return TQvOutputMode::Tuning;
    }
    return TQvOutputMode::Sine;
}

double TQvVirtualInstrument::WordToHz(double FreqWord) const {
    // Word 0 stands for one step, not for 0 Hz.
    return (FreqWord + 1) * GeneratorClockMHz() * 1e6 / TWO32;
}

double TQvVirtualInstrument::CodeToPercent(std::uint16_t Code) {
    return AmplitudeOf(static_cast<std::int16_t>(Code));
}

double TQvVirtualInstrument::AmplitudeOf(double Code) {
    // The multiplier saturates: nothing below code -1 (silence), nothing above full scale. This
    // is what over-modulation does to the output.
    const double c = std::clamp(std::nearbyint(Code), -1.0, 16383.0);
    return (c + 1) * 100.0 / 16384;
}

double TQvVirtualInstrument::CodeToDegrees(std::uint16_t Code) {
    return (Code & 0x3FFF) * 360.0 / 16384; // 14-bit code, wraps at a full turn
}

double TQvVirtualInstrument::Input(const TQvInputSignal& Signal, double Seconds) const {
    const double v = Signal ? Signal(Seconds) : 0.0;
    return std::isfinite(v) ? std::clamp(v, -1.0, 1.0) : 0.0;
}

std::uint32_t TQvVirtualInstrument::MemoryWordAt(const TQvOutputState& Out, double Seconds) const {
    const TQvMemoryState& mem = Out.Memory;
    // The table was loaded upwards from the segment's start and is played from its end down.
    const auto at = [&](const TQvProfile& P, double Step) {
        return mem.Word(P.End - static_cast<std::size_t>(Step));
    };
    const auto steps = [](const TQvProfile& P, double T) {
        const double tau = P.StepTime * TICK_S;
        return tau > 0 ? std::floor(T / tau) : 0.0;
    };
    if (mem.ExternalTimes) {
        int symbol = Input(FInput1, Seconds) > 0 ? 1 : 0;
        if (Out.SymbolCount() == 4 && Input(FInput2, Seconds) > 0) {
            symbol |= 2;
        }
        const TQvProfile& p = mem.Profiles[static_cast<std::size_t>(symbol)];
        return at(p, std::fmod(steps(p, Seconds), static_cast<double>(SegmentLength(p))));
    }
    if (Out.KeyingProgram() >= 2) {
        const std::size_t symbols = Out.KeyingProgram() == 3 ? 4 : 2;
        double cycle = 0;
        for (std::size_t s = 0; s < symbols; ++s) {
            cycle += static_cast<double>(SegmentLength(mem.Profiles[s])) *
                     mem.Profiles[s].StepTime * TICK_S;
        }
        if (cycle <= 0) {
            return at(mem.Profiles[0], 0);
        }
        double t = std::fmod(Seconds, cycle);
        for (std::size_t s = 0; s < symbols; ++s) {
            const TQvProfile& p = mem.Profiles[s];
            const double len = static_cast<double>(SegmentLength(p));
            const double dwell = len * p.StepTime * TICK_S;
            if (t < dwell || s + 1 == symbols) {
                return at(p, std::min(steps(p, t), len - 1));
            }
            t -= dwell;
        }
    }
    const TQvProfile& p = mem.Profiles[0];
    const double len = static_cast<double>(SegmentLength(p));
    const double k = steps(p, Seconds);
    switch (p.Playback) {
    case 0x80:
        return at(p, std::fmod(k, len));
    case 0x60: {
        const double m = std::fmod(k, 2 * len);
        return m < len ? at(p, m) : mem.Word(p.Start + static_cast<std::size_t>(m - len));
    }
    default:
        return at(p, std::min(k, len - 1));
    }
}

double TQvVirtualInstrument::SweepWordAt(const TQvOutputState& Out, double Seconds) const {
    const double bottom = Out.FreqWord;
    const double top = Out.Sweep.TopWord;
    const double rise = FState.RiseHalf * HALF_TICK_S;
    const double fall = FState.FallHalf * HALF_TICK_S;
    const double period = rise + fall;
    if (period <= 0) {
        return bottom;
    }
    // The ramp adds its step every (Rate - 1) mod 256 ticks and stops at the limit.
    const auto move = [&](double W, const TQvRamp& R, double T, bool Up) {
        if (R.Step == 0 || (Up ? W >= top : W <= bottom)) {
            return W;
        }
        const int ticks = (R.Rate + 255) & 0xFF;
        const double n =
            ticks ? std::floor(T / (ticks * TICK_S)) : std::numeric_limits<double>::infinity();
        return Up ? std::min(top, W + n * R.Step) : std::max(bottom, W - n * R.Step);
    };
    const auto cycle = [&](double W) {
        return move(move(W, Out.Sweep.Rise, rise, true), Out.Sweep.Fall, fall, false);
    };
    // Each period starts where the last one ended; after a period or two that is a fixed point.
    const double k = std::floor(Seconds / period);
    double w = bottom;
    for (double i = 0; i < k && i < 100000; ++i) {
        const double next = cycle(w);
        if (next == w) {
            break;
        }
        w = next;
    }
    const double t = Seconds - k * period;
    if (t < rise) {
        return move(w, Out.Sweep.Rise, t, true);
    }
    return move(move(w, Out.Sweep.Rise, rise, true), Out.Sweep.Fall, t - rise, false);
}

TQvOutputSample TQvVirtualInstrument::Sample(TQvGen4ChNames Output, double Seconds) const {
    const TQvOutputState& o = FState[Output];
    // Before the start, and at times that are no times at all, the output is as it started.
    const double t = std::isfinite(Seconds) ? std::max(Seconds, 0.0) : 0.0;
    double fw = o.FreqWord;
    double aw = std::int16_t(o.AmplWord);
    double pw = o.PhaseWord;
    const auto set = [&](TQvGen4AFPModes P, double V) {
        (P == QGAFPms_freq ? fw : P == QGAFPms_ampl ? aw : pw) = V;
    };
    const auto carrier = [&](TQvGen4AFPModes P) {
        return P == QGAFPms_freq ? fw : P == QGAFPms_ampl ? aw : pw;
    };
    const auto centre = [&](TQvGen4AFPModes P) {
        return P == QGAFPms_freq ? double(o.CentreWord) : double(std::int16_t(o.Centre16()));
    };
    switch (o.Mode()) {
    case TQvOutputMode::Keying:
    case TQvOutputMode::MemoryTable: {
        const std::uint32_t w = MemoryWordAt(o, t);
        if (o.MemoryToPhase()) {
            pw = w >> 18; // the phase code sits in the top 14 bits
        } else {
            fw = w;
        }
        break;
    }
    case TQvOutputMode::Sweep:
        if (o.Sweep.Started) {
            fw = SweepWordAt(o, t);
        }
        break;
    case TQvOutputMode::IntModulation: {
        const TQvIntModState& m = o.IntMod;
        const std::size_t width = m.Parameter == QGAFPms_freq ? 4 : 2;
        const std::size_t count = m.TableBytes / width;
        if (!m.Running || !count) {
            break;
        }
        const double rate = TIMER_HZ / (65536.0 - m.Divider);
        const auto index = static_cast<std::size_t>(std::fmod(std::floor(t * rate), double(count)));
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < width; ++i) {
            v = v << 8 |
                FState
                    .McuMemory[(m.TableStart + index * width + i) % TQvInstrumentState::MCU_MEMORY];
        }
        // Amplitude and phase words are 16-bit two's complement.
        set(m.Parameter, m.Parameter == QGAFPms_freq ? double(v) : double(std::int16_t(v)));
        break;
    }
    case TQvOutputMode::ExtModulation: {
        const TQvExtModState& m = o.ExtMod;
        const bool ownInput2 = Output == QGCN_B && m.Form != TQvStartForm::AB1;
        const double in = Input(ownInput2 ? FInput2 : FInput1, t);
        // Under AB1 channel B swings around its own carrier.
        double v = (Output == QGCN_B && m.Form == TQvStartForm::AB1) ? carrier(m.Parameter)
                                                                     : centre(m.Parameter);
        v += in * QvDepthCodes(m.Parameter, m.Scale);
        if (m.Form == TQvStartForm::A12) {
            v += Input(FInput2, t) * QvDepthCodes(m.Parameter, m.ScaleInput2);
        }
        set(m.Parameter, v);
        break;
    }
    case TQvOutputMode::Tuning: {
        const TQvTuningState& m = o.Tuning;
        set(m.Parameter,
            centre(m.Parameter) + Input(FAdcInput, t) * QvDepthCodes(m.Parameter, m.Scale));
        break;
    }
    default:
        break;
    }
    TQvOutputSample s;
    s.Time = Seconds;
    s.On = o.On;
    s.FrequencyHz = WordToHz(Wrap32(fw));
    s.AmplitudePercent = o.On ? AmplitudeOf(aw) : 0.0;
    s.PhaseDeg = CodeToDegrees(Wrap16(pw));
    return s;
}

std::vector<TQvOutputSample> TQvVirtualInstrument::Render(TQvGen4ChNames Output, double From,
                                                          double To, std::size_t Count) const {
    std::vector<TQvOutputSample> out;
    out.reserve(Count);
    for (std::size_t i = 0; i < Count; ++i) {
        const double t = Count == 1 ? From : From + (To - From) * double(i) / double(Count - 1);
        out.push_back(Sample(Output, t));
    }
    return out;
}

std::uint32_t TQvVirtualInstrument::AdcAnswer() const {
    for (const TQvOutputState& o : FState.Outputs) {
        if (!o.Tuning.Active) {
            continue;
        }
        const TQvTuningState& m = o.Tuning;
        const double centre = m.Parameter == QGAFPms_freq ? double(o.CentreWord) : o.Centre16();
        const double v = centre + Input(FAdcInput, FTime) * QvDepthCodes(m.Parameter, m.Scale);
        // Amplitude and phase travel in the upper half, as 16-bit two's complement.
        return m.Parameter == QGAFPms_freq ? Wrap32(v) : std::uint32_t{Wrap16(v)} << 16;
    }
    return 0; // nothing tunes: the converter's value goes nowhere
}
