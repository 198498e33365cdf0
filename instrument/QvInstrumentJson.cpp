// The snapshot of the instrument as JSON, written by hand to need no library.
#include "QvVirtualInstrument.h"

#include <cmath>
#include <cstdio>

namespace {

class TJsonOut {
public:
    std::string Text;

    TJsonOut& Open(const char* Key, char Bracket) {
        Sep(Key);
        Text += Bracket;
        FFirst.push_back(true);
        return *this;
    }
    TJsonOut& Close(char Bracket) {
        Text += Bracket;
        FFirst.pop_back();
        return *this;
    }
    TJsonOut& Num(const char* Key, double V) {
        Sep(Key);
        if (!std::isfinite(V)) {
            Text += "null";
        } else {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.12g", V);
            Text += buf;
        }
        return *this;
    }
    TJsonOut& Int(const char* Key, std::uint64_t V) {
        Sep(Key);
        Text += std::to_string(V);
        return *this;
    }
    TJsonOut& Bool(const char* Key, bool V) {
        Sep(Key);
        Text += V ? "true" : "false";
        return *this;
    }
    TJsonOut& Str(const char* Key, const std::string& V) {
        Sep(Key);
        Text += '"';
        for (const char c : V) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                Text += '\\';
                Text += c;
            } else if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                Text += buf;
            } else {
                Text += c; // UTF-8 passes as it is
            }
        }
        Text += '"';
        return *this;
    }

private:
    void Sep(const char* Key) {
        if (!FFirst.empty()) {
            if (!FFirst.back()) {
                Text += ',';
            }
            FFirst.back() = false;
        }
        if (Key) {
            Text += '"';
            Text += Key;
            Text += "\":";
        }
    }
    std::vector<bool> FFirst;
};

const char* ParamName(TQvGen4AFPModes P) {
    switch (P) {
    case QGAFPms_ampl:
        return "amplitude";
    case QGAFPms_phase:
        return "phase";
    default:
        return "frequency";
    }
}

const char* FormName(TQvStartForm F) {
    switch (F) {
    case TQvStartForm::Single:
        return "single";
    case TQvStartForm::Double:
        return "double";
    case TQvStartForm::Duplex:
        return "duplex";
    case TQvStartForm::A12:
        return "a12";
    case TQvStartForm::AB1:
        return "ab1";
    default:
        return "none";
    }
}

const char* ModeName(TQvOutputMode M) {
    switch (M) {
    case TQvOutputMode::Sine:
        return "sine";
    case TQvOutputMode::Tuning:
        return "tuning";
    case TQvOutputMode::IntModulation:
        return "int_modulation";
    case TQvOutputMode::ExtModulation:
        return "ext_modulation";
    case TQvOutputMode::Sweep:
        return "sweep";
    case TQvOutputMode::Keying:
        return "keying";
    case TQvOutputMode::MemoryTable:
        return "memory_table";
    default:
        return "off";
    }
}

std::string HexBytes(const std::vector<std::uint8_t>& Bytes, std::size_t Max) {
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < Bytes.size() && i < Max; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", Bytes[i]);
        s += buf;
    }
    return s;
}

} // namespace

std::string TQvVirtualInstrument::SnapshotJson() const {
    TJsonOut j;
    j.Open(nullptr, '{');
    j.Open("clock", '{')
        .Num("reference_mhz", ReferenceMHz())
        .Bool("external_reference", FState.ExternalReference)
        .Int("multiplier", FState.Multiplier)
        .Num("generator_mhz", GeneratorClockMHz())
        .Close('}');
    j.Open("stream", '{')
        .Int("bytes", ByteCount())
        .Int("frames", FFrames)
        .Int("blocks", FBlocks)
        .Int("protocol_errors", FErrorCount)
        .Close('}');
    j.Open("errors", '[');
    for (const TQvProtocolError& e : FErrors) {
        j.Open(nullptr, '{')
            .Int("offset", e.Offset)
            .Str("reason", e.Reason)
            .Int("size", e.Size)
            .Str("bytes", HexBytes(e.Bytes, 64))
            .Close('}');
    }
    j.Close(']');
    j.Open("sweep_timing", '{')
        .Int("rise_half", FState.RiseHalf)
        .Int("fall_half", FState.FallHalf)
        .Num("rise_half_us", FState.RiseHalf * HALF_TICK_S * 1e6)
        .Num("fall_half_us", FState.FallHalf * HALF_TICK_S * 1e6)
        .Close('}');
    j.Open("outputs", '{');
    for (const TQvGen4ChNames name : {QGCN_A, QGCN_B}) {
        const TQvOutputState& o = FState[name];
        const TQvOutputMode mode = o.Mode();
        j.Open(name == QGCN_A ? "A" : "B", '{')
            .Bool("on", o.On)
            .Str("mode", ModeName(mode))
            .Int("frequency_word", o.FreqWord)
            .Num("frequency_hz", WordToHz(o.FreqWord))
            .Int("amplitude_word", o.AmplWord)
            .Num("amplitude_percent", CodeToPercent(o.AmplWord))
            .Int("phase_word", o.PhaseWord)
            .Num("phase_deg", CodeToDegrees(o.PhaseWord))
            .Int("centre_word", o.CentreWord);
        j.Open("control", '[');
        for (const std::uint8_t c : o.Control) {
            j.Int(nullptr, c);
        }
        j.Close(']');
        j.Open("tuning", '{')
            .Bool("active", o.Tuning.Active)
            .Str("parameter", ParamName(o.Tuning.Parameter))
            .Int("scale", o.Tuning.Scale)
            .Close('}');
        const TQvIntModState& im = o.IntMod;
        const std::size_t readings = im.TableBytes / (im.Parameter == QGAFPms_freq ? 4 : 2);
        const double rate = TIMER_HZ / (65536.0 - im.Divider);
        j.Open("int_modulation", '{')
            .Bool("running", im.Running)
            .Bool("prepared", im.Prepared)
            .Str("form", FormName(im.Form))
            .Str("parameter", ParamName(im.Parameter))
            .Int("divider", im.Divider)
            .Int("timer_byte", im.TimerByte)
            .Int("table_start", im.TableStart)
            .Int("table_bytes", im.TableBytes)
            .Int("readings", readings)
            .Num("reading_rate_hz", rate)
            .Num("modulation_hz", readings ? rate / double(readings) : 0.0)
            .Close('}');
        const TQvExtModState& em = o.ExtMod;
        j.Open("ext_modulation", '{')
            .Bool("running", em.Running)
            .Str("form", FormName(em.Form))
            .Str("parameter", ParamName(em.Parameter))
            .Int("scale", em.Scale)
            .Int("scale_input2", em.ScaleInput2)
            .Close('}');
        const TQvSweepState& sw = o.Sweep;
        j.Open("sweep", '{')
            .Bool("enabled", o.SweepEnabled())
            .Bool("started", sw.Started)
            .Int("top_word", sw.TopWord)
            .Num("top_hz", WordToHz(sw.TopWord));
        j.Open("rise", '{').Int("rate", sw.Rise.Rate).Int("step", sw.Rise.Step).Close('}');
        j.Open("fall", '{').Int("rate", sw.Fall.Rate).Int("step", sw.Fall.Step).Close('}');
        j.Close('}');
        const TQvMemoryState& mem = o.Memory;
        j.Open("memory", '{')
            .Bool("enabled", o.MemoryEnabled())
            .Str("destination", o.MemoryToPhase() ? "phase" : "frequency")
            .Int("keying_program", o.KeyingProgram())
            .Bool("external_times", mem.ExternalTimes)
            .Int("selected", mem.Selected);
        j.Open("profiles", '[');
        for (const TQvProfile& p : mem.Profiles) {
            j.Open(nullptr, '{')
                .Bool("set", p.Set)
                .Int("step_time", p.StepTime)
                .Int("start", p.Start)
                .Int("end", p.End)
                .Int("playback", p.Playback)
                .Close('}');
        }
        j.Close(']');
        j.Open("symbols", '[');
        for (const TQvProfile& p : mem.Profiles) {
            j.Int(nullptr, mem.Word(p.End));
        }
        j.Close(']');
        j.Open("table", '[');
        if (mode == TQvOutputMode::MemoryTable) {
            const TQvProfile& p = mem.Profiles[0];
            for (std::size_t a = p.End + 1; a-- > p.Start;) { // in playing order
                j.Int(nullptr, mem.Word(a));
            }
        }
        j.Close(']');
        j.Close('}');
        j.Close('}');
    }
    j.Close('}');
    j.Close('}');
    return j.Text;
}
