// The generator settings file: "QvG4", version 1, then one fixed record of every persistent
// field. Integers are 32-bit and doubles IEEE binary64, both least significant byte first;
// booleans and enumerations one byte. On disk every 0x0A of the record is preceded by 0x0D (the
// format was first written through a text-mode stream); the translation is done here, so that the
// bytes are the same on every platform.
//
// Loading reads and checks the whole record before it touches the model: a file that is cut
// short or holds an enumeration no set-up can have is refused with the model unchanged.
#include "QvGen4.h"
#include "QvGen4Errors.h"

#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr std::array<std::uint8_t, 4> Signature = {'Q', 'v', 'G', '4'};
constexpr std::int32_t Version = 1;
constexpr std::size_t RecordSize = 475; // signature and version included

const char* const OpenError = "Ошибка при открытии файла";
const char* const WriteError = "Ошибка при записи файла";
const char* const ReadError = "Ошибка при чтении файла";

// Every persistent field, in the order of the record.
struct TChannelData {
    std::uint8_t Mode = 0;
    std::uint8_t Opened = 0; // written for the record's sake; loading ignores it
    double Frequency = 0, Amplitude = 0, Phase = 0;
    TQvGen4Tuner::TStored Tuner{};
    TQvGen4IntModulation::TStored IntModulation{};
    std::uint8_t IntModWave = 0;
    double IntModCC = 0;
    TQvGen4ExtModulation::TStored ExtModulation{};
    std::int32_t FreqTop = 0, Tinc0 = 0, Tinc1 = 0, Tdec0 = 0, Tdec1 = 0;
    std::array<double, 4> F{}, Ph{}, T{};
    double dF = 0, Fm = 0, dPh = 0;
    std::uint8_t DDSMode = 0, DDSType = 0;
    bool UseExtTimes = false, ContBidiRamp = false;
    std::int32_t ReadingsCntMin = 0;
    double DDSCC = 0;
    std::uint8_t DDSWave = 0;
};

struct TGenData {
    std::array<std::uint8_t, 4> Signature{};
    std::int32_t Version = 0;
    bool UseExtRefFreq = false;
    std::int32_t FreqScale = 0;
    double RefFreq = 0;
    TChannelData Ch[2];
    bool EnableDuplexIntMod = false, OverModulationNotify = false;
};

// Builds the record.
class TRecordWriter {
public:
    std::vector<std::uint8_t> Bytes;

    void Bool(bool V, const std::string&) { Bytes.push_back(V ? 1 : 0); }
    template <class E, class Valid> void Enum(E V, Valid, const std::string&) {
        Bytes.push_back(static_cast<std::uint8_t>(V));
    }
    void Ignored(std::uint8_t V) { Bytes.push_back(V); }
    void I32(std::int32_t V) { Little(static_cast<std::uint32_t>(V), 4); }
    void F64(double V) { Little(std::bit_cast<std::uint64_t>(V), 8); }

private:
    void Little(std::uint64_t V, int Count) {
        for (int i = 0; i < Count; ++i) {
            Bytes.push_back(static_cast<std::uint8_t>(V >> (8 * i)));
        }
    }
};

// Takes the record apart; refuses bytes that no set-up can have written.
class TRecordReader {
public:
    explicit TRecordReader(const std::vector<std::uint8_t>& Bytes) : FBytes(Bytes) {}

    void Bool(bool& V, const std::string& Name) {
        const std::uint8_t b = Next();
        if (b > 1) {
            Damaged(Name, b);
        }
        V = b != 0;
    }
    template <class E, class Valid> void Enum(E& V, Valid IsValid, const std::string& Name) {
        const std::uint8_t b = Next();
        if (!IsValid(b)) {
            Damaged(Name, b);
        }
        V = static_cast<E>(b);
    }
    void Ignored(std::uint8_t& V) { V = Next(); }
    void I32(std::int32_t& V) {
        V = static_cast<std::int32_t>(static_cast<std::uint32_t>(Little(4)));
    }
    void F64(double& V) { V = std::bit_cast<double>(Little(8)); }

    [[noreturn]] static void Damaged(const std::string& Name, unsigned Value) {
        throw EQvGen4InOutError("Файл настроек генератора повреждён: недопустимое значение " +
                                std::to_string(Value) + " поля " + Name);
    }

private:
    std::uint8_t Next() { return FBytes.at(FPos++); } // the caller checked the length
    std::uint64_t Little(int Count) {
        std::uint64_t v = 0;
        for (int i = 0; i < Count; ++i) {
            v |= std::uint64_t{Next()} << (8 * i);
        }
        return v;
    }

    const std::vector<std::uint8_t>& FBytes;
    std::size_t FPos = 0;
};

// Enumeration bytes a set-up can hold.
auto UpTo(std::uint8_t Max) {
    return [Max](std::uint8_t b) { return b <= Max; };
}

// The one description of the record, walked by the writer and by the reader.
template <class IO> void LayoutChannel(IO& io, TChannelData& c, const std::string& Ch) {
    auto name = [&](const char* Field) { return Ch + "." + Field; };
    std::uint8_t zero = 0;
    io.Enum(c.Mode, UpTo(QGMdC_DDSMod), name("Mode"));
    io.Ignored(zero);
    io.Ignored(c.Opened);
    io.Ignored(zero);
    io.F64(c.Frequency);
    io.F64(c.Amplitude);
    io.F64(c.Phase);

    io.Enum(c.Tuner.Type, UpTo(QGAFPms_phase), name("Tuner.Type"));
    io.I32(c.Tuner.Scale);
    io.Bool(c.Tuner.ADCTimerEnabled, name("Tuner.ADCTimerEnabled"));
    io.I32(c.Tuner.ADCTimerInterval);

    io.Enum(c.IntModulation.Type, UpTo(QGAFPms_phase), name("IntModulation.Type"));
    io.I32(c.IntModulation.Fm);
    io.I32(c.IntModulation.dA);
    io.I32(c.IntModulation.dF);
    io.I32(c.IntModulation.dPh);
    io.Enum(c.IntModWave, UpTo(QMFT_rect), name("IntModulation.MathFuncType"));
    io.F64(c.IntModCC);

    io.Enum(c.ExtModulation.Type, UpTo(QGAFPms_phase), name("ExtModulation.Type"));
    io.I32(c.ExtModulation.Scale);

    io.I32(c.FreqTop);
    io.I32(c.Tinc0);
    io.I32(c.Tinc1);
    io.I32(c.Tdec0);
    io.I32(c.Tdec1);

    for (double& f : c.F) {
        io.F64(f);
    }
    io.F64(c.dF);
    io.F64(c.Fm);
    for (double& ph : c.Ph) {
        io.F64(ph);
    }
    io.F64(c.dPh);
    for (double& t : c.T) {
        io.F64(t);
    }
    io.Enum(c.DDSMode, UpTo(QGTMs_User), name("DDSMod.Mode"));
    // Keying has no amplitude form (its setter refuses it): a file carrying one is damaged.
    io.Enum(
        c.DDSType, [](std::uint8_t b) { return b == QGAFPms_freq || b == QGAFPms_phase; },
        name("DDSMod.Type"));
    io.Bool(c.UseExtTimes, name("DDSMod.UseExtTimes"));
    io.Bool(c.ContBidiRamp, name("DDSMod.ContBidiRamp"));
    io.I32(c.ReadingsCntMin);
    io.F64(c.DDSCC);
    io.Enum(c.DDSWave, UpTo(QMFT_rect), name("DDSMod.MathFuncType"));
}

template <class IO> void Layout(IO& io, TGenData& d) {
    for (std::uint8_t& b : d.Signature) {
        io.Ignored(b);
    }
    io.I32(d.Version);
    io.Bool(d.UseExtRefFreq, "UseExtRefFreq");
    io.I32(d.FreqScale);
    io.F64(d.RefFreq);
    LayoutChannel(io, d.Ch[0], "ChA");
    LayoutChannel(io, d.Ch[1], "ChB");
    io.Bool(d.EnableDuplexIntMod, "Options.EnableDuplexIntMod");
    io.Bool(d.OverModulationNotify, "Options.OverModulationNotify");
}

// The record as a text-mode stream stores it: LF becomes CR LF.
std::vector<std::uint8_t> ToDisk(const std::vector<std::uint8_t>& Record) {
    std::vector<std::uint8_t> out;
    out.reserve(Record.size() + 16);
    for (std::uint8_t b : Record) {
        if (b == 0x0A) {
            out.push_back(0x0D);
        }
        out.push_back(b);
    }
    return out;
}

// Reads up to RecordSize bytes of the record back from the disk form: CR LF becomes LF, every
// other byte (a CR before anything else included) stays. Whatever follows the record is not read.
std::vector<std::uint8_t> FromDisk(std::istream& In) {
    std::vector<std::uint8_t> out;
    out.reserve(RecordSize);
    std::istreambuf_iterator<char> it(In), end;
    while (out.size() < RecordSize && it != end) {
        auto b = static_cast<std::uint8_t>(*it++);
        if (b == 0x0D && it != end && static_cast<std::uint8_t>(*it) == 0x0A) {
            b = 0x0A;
            ++it;
        }
        out.push_back(b);
    }
    return out;
}

} // namespace

// Moves every persistent field between the model and the record.
class TQvGen4File {
public:
    static TGenData Capture(const TQvGen4& Gen) {
        TGenData d;
        d.Signature = Signature;
        d.Version = Version;
        d.UseExtRefFreq = Gen.FUseExtRefFreq;
        d.FreqScale = Gen.FFreqScale;
        d.RefFreq = Gen.FRefFreq;
        Capture(Gen.ChA, d.Ch[0]);
        Capture(Gen.ChB, d.Ch[1]);
        d.EnableDuplexIntMod = Gen.Options.FEnableDuplexIntMod;
        d.OverModulationNotify = Gen.Options.FOverModulationNotify;
        return d;
    }

    // Every value has been checked; nothing here can refuse the file any more.
    static void Apply(TQvGen4& Gen, const TGenData& d) {
        Gen.FUseExtRefFreq = d.UseExtRefFreq;
        Gen.FFreqScale = d.FreqScale;
        // Stored as saved also with the built-in reference: the target's own external clock
        // must not stay behind under a file that says otherwise.
        Gen.FRefFreq = d.RefFreq;
        Gen.CalcGenFreq();
        Apply(Gen.ChA, d.Ch[0]);
        Apply(Gen.ChB, d.Ch[1]);
        Gen.Options.FEnableDuplexIntMod = d.EnableDuplexIntMod;
        Gen.Options.FOverModulationNotify = d.OverModulationNotify;
    }

private:
    static void Capture(const TQvGen4Channel& Ch, TChannelData& c) {
        c.Mode = Ch.FMode;
        c.Opened = Ch.FOpened ? 1 : 0;
        c.Frequency = Ch.FFrequency;
        c.Amplitude = Ch.FAmplitude;
        c.Phase = Ch.FPhase;
        c.Tuner = Ch.Tuner.Stored();
        c.IntModulation = Ch.IntModulation.Stored();
        c.IntModWave = Ch.IntModulation.MathFuncType();
        c.IntModCC = Ch.IntModulation.CC();
        c.ExtModulation = Ch.ExtModulation.Stored();
        const TQvGen4LFM& l = Ch.LFM;
        c.FreqTop = l.FFreqTop;
        c.Tinc0 = l.FTinc0;
        c.Tinc1 = l.FTinc1;
        c.Tdec0 = l.FTdec0;
        c.Tdec1 = l.FTdec1;
        const TQvGen4DDSMod& m = Ch.DDSMod;
        c.F = m.FF;
        c.dF = m.FdF;
        c.Fm = m.FFm;
        c.Ph = m.FPh;
        c.dPh = m.FdPh;
        c.T = m.FT;
        c.DDSMode = m.FMode;
        c.DDSType = m.FType;
        c.UseExtTimes = m.FUseExtTimes;
        c.ContBidiRamp = m.FContBidiRamp;
        c.ReadingsCntMin = m.FReadingsCntMin;
        c.DDSCC = m.CC();
        c.DDSWave = m.MathFuncType();
    }

    static void Apply(TQvGen4Channel& Ch, const TChannelData& c) {
        // The mode as saved: no compatibility rules, no events.
        Ch.FMode = static_cast<TQvGen4ModesCommon>(c.Mode);
        Ch.FFrequency = c.Frequency;
        Ch.FAmplitude = c.Amplitude;
        Ch.FPhase = c.Phase;
        Ch.Tuner.LoadStored(c.Tuner);
        Ch.IntModulation.LoadStored(c.IntModulation);
        Ch.IntModulation.SetMathFuncType(static_cast<TMathFuncsTypes>(c.IntModWave));
        Ch.IntModulation.SetCC(c.IntModCC);
        Ch.ExtModulation.LoadStored(c.ExtModulation);
        TQvGen4LFM& l = Ch.LFM;
        l.FFreqTop = c.FreqTop;
        l.FTinc0 = c.Tinc0;
        l.FTinc1 = c.Tinc1;
        l.FTdec0 = c.Tdec0;
        l.FTdec1 = c.Tdec1;
        TQvGen4DDSMod& m = Ch.DDSMod;
        m.FF = c.F;
        m.FdF = c.dF;
        m.FFm = c.Fm;
        m.FPh = c.Ph;
        m.FdPh = c.dPh;
        m.FT = c.T;
        m.FMode = static_cast<TQvGen4DDSmodModes>(c.DDSMode);
        m.FType = static_cast<TQvGen4AFPModes>(c.DDSType);
        m.FUseExtTimes = c.UseExtTimes;
        m.FContBidiRamp = c.ContBidiRamp;
        m.FReadingsCntMin = c.ReadingsCntMin;
        m.SetCC(c.DDSCC);
        m.SetMathFuncType(static_cast<TMathFuncsTypes>(c.DDSWave));
    }
};

void TQvGen4::SaveToFile(const std::filesystem::path& FileName) const {
    TGenData d = TQvGen4File::Capture(*this);
    TRecordWriter w;
    Layout(w, d);
    const std::vector<std::uint8_t> disk = ToDisk(w.Bytes);

    std::ofstream out(FileName, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        throw EQvGen4InOutError(OpenError);
    }
    out.write(reinterpret_cast<const char*>(disk.data()), std::streamsize(disk.size()));
    out.close();
    if (out.fail()) {
        throw EQvGen4InOutError(WriteError); // a full disk must not pass for a saved set-up
    }
}

bool TQvGen4::LoadFromFile(const std::filesystem::path& FileName) {
    std::vector<std::uint8_t> record;
    {
        // A directory opens as a stream here but can never be read as one.
        std::error_code ec;
        std::ifstream in(FileName, std::ios::binary);
        if (!in.is_open() || std::filesystem::is_directory(FileName, ec)) {
            throw EQvGen4InOutError(OpenError);
        }
        try {
            record = FromDisk(in);
        } catch (const std::ios_base::failure&) {
            // The stream buffer throws on a failed read; callers expect the model's own error.
            throw EQvGen4InOutError(ReadError);
        }
    }

    const bool signatureOk = record.size() >= Signature.size() &&
                             std::memcmp(record.data(), Signature.data(), Signature.size()) == 0;
    // A header cut short after a good signature is a truncated file, refused below.
    const bool versionOk = record.size() < 8 || (record[4] == Version && record[5] == 0 &&
                                                 record[6] == 0 && record[7] == 0);
    if (!signatureOk || !versionOk) {
        if (OnErrorFile) {
            OnErrorFile(*this);
        }
        return false;
    }
    if (record.size() < RecordSize) {
        throw EQvGen4InOutError("Файл настроек генератора повреждён: запись обрывается после " +
                                std::to_string(record.size()) + " из " +
                                std::to_string(RecordSize) + " байт");
    }

    TGenData d;
    TRecordReader r(record);
    Layout(r, d); // throws on a damaged value, before anything is applied

    // One batch: no setter below may start a cycle; switching AutoUpdate back on runs the one.
    const bool autoUpdate = FAutoUpdate;
    SetAutoUpdate(false);
    try {
        TQvGen4File::Apply(*this, d);
    } catch (...) {
        SetAutoUpdate(autoUpdate);
        throw;
    }
    SetAutoUpdate(autoUpdate);
    return true;
}
