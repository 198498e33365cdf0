// The settings file: round trips, the CR LF form on disk, refused files leaving the model as it
// was, and the single update cycle after a load.
#include "QvGen4Errors.h"
#include "QvGen4Fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

using TBytes = std::vector<std::uint8_t>;

// A file in the temporary directory, removed afterwards.
struct TTempFile {
    std::filesystem::path Path;
    explicit TTempFile(const std::string& Name)
        : Path(std::filesystem::temp_directory_path() /
               ("qvgen4_" + std::to_string(::getpid()) + "_" + Name)) {}
    ~TTempFile() {
        std::error_code ec;
        std::filesystem::remove(Path, ec);
    }
    TBytes Read() const {
        std::ifstream in(Path, std::ios::binary);
        return TBytes(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const TBytes& Bytes) const {
        std::ofstream out(Path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
    }
};

// Every persistent value, read through the public getters.
std::string Snapshot(const TQvGen4& G) {
    std::ostringstream s;
    s.precision(17);
    s << G.UseExtRefFreq() << ' ' << G.FreqScale() << ' ' << G.RefFreq() << ' ' << G.GenFreq()
      << ' ' << G.Options.EnableDuplexIntMod() << ' ' << G.Options.OverModulationNotify();
    for (const TQvGen4Channel* ch :
         {static_cast<const TQvGen4Channel*>(&G.ChA), static_cast<const TQvGen4Channel*>(&G.ChB)}) {
        const auto& t = ch->Tuner;
        const auto& im = ch->IntModulation;
        const auto& em = ch->ExtModulation;
        const auto& l = ch->LFM;
        const auto& m = ch->DDSMod;
        s << "\n"
          << int(ch->Mode()) << ' ' << ch->Frequency() << ' ' << ch->Amplitude() << ' '
          << ch->Phase() << " | " << int(t.Type()) << ' ' << t.Scale() << ' ' << t.ADCTimerEnabled()
          << ' ' << t.ADCTimerInterval() << " | " << int(im.Type()) << ' ' << im.Fm() << ' '
          << im.dA() << ' ' << im.dF() << ' ' << im.dPh() << ' ' << int(im.MathFuncType()) << ' '
          << im.CC() << " | " << int(em.Type()) << ' ' << em.Scale() << " | " << l.FreqTop() << ' '
          << l.Tinc0() << ' ' << l.Tinc1() << ' ' << l.Tdec0() << ' ' << l.Tdec1() << " | "
          << m.F1() << ' ' << m.F2() << ' ' << m.F3() << ' ' << m.F4() << ' ' << m.dF() << ' '
          << m.Fm() << ' ' << m.Ph1() << ' ' << m.Ph2() << ' ' << m.Ph3() << ' ' << m.Ph4() << ' '
          << m.dPh() << ' ' << m.T1() << ' ' << m.T2() << ' ' << m.T3() << ' ' << m.T4() << ' '
          << int(m.Mode()) << ' ' << int(m.Type()) << ' ' << m.UseExtTimes() << ' '
          << m.ContBidiRamp() << ' ' << m.ReadingsCntMin() << ' ' << m.CC() << ' '
          << int(m.MathFuncType());
    }
    return s.str();
}

// A value other than the default in every field; K tells the channels apart.
void FillChannel(TQvGen4Channel& Ch, int K) {
    Ch.Set_sinFrequency(12345.678 + K);
    Ch.Set_sinAmplitude(77.7 - K);
    Ch.SetPhase(123.4 + K);
    Ch.Tuner.SetType(QGAFPms_phase);
    Ch.Tuner.SetScale(17 - K);
    Ch.Tuner.SetADCTimerEnabled(true);
    Ch.Tuner.SetADCTimerInterval(250 + K);
    Ch.IntModulation.SetType(QGAFPms_ampl);
    Ch.IntModulation.SetFm(2345 + K);
    Ch.IntModulation.SetdA(33 + K);
    Ch.IntModulation.SetdF(4567 + K);
    Ch.IntModulation.SetdPh(77 + K);
    Ch.IntModulation.SetMathFuncType(QMFT_triangle);
    Ch.IntModulation.SetCC(0.25 + 0.1 * K);
    Ch.ExtModulation.SetType(QGAFPms_phase);
    Ch.ExtModulation.SetScale(19 - K);
    Ch.LFM.SetFreqTop(54321 + K);
    Ch.LFM.SetTinc0(11 + K);
    Ch.LFM.SetTinc1(22 + K);
    Ch.LFM.SetTdec0(33 + K);
    Ch.LFM.SetTdec1(44 + K);
    auto& m = Ch.DDSMod;
    m.SetF1(1111.5 + K);
    m.SetF2(2222.5 + K);
    m.SetF3(3333.5 + K);
    m.SetF4(4444.5 + K);
    m.Set_dF(1234.5 + K);
    m.SetFm(9876.5 + K);
    m.SetPh1(10.5 + K);
    m.SetPh2(20.5 + K);
    m.SetPh3(30.5 + K);
    m.SetPh4(40.5 + K);
    m.Set_dPh(45.5 + K);
    m.SetT1(100.5 + K);
    m.SetT2(200.5 + K);
    m.SetT3(300.5 + K);
    m.SetT4(400.5 + K);
    m.SetMode(QGTMs_QxSK);
    m.SetType(QGAFPms_phase);
    m.SetUseExtTimes(true);
    m.SetContBidiRamp(true);
    m.SetReadingsCntMin(100 + K);
    m.SetCC(0.75 - 0.1 * K);
    m.SetMathFuncType(QMFT_rect);
}

void Fill(TQvGen4& G) {
    G.SetUseExtRefFreq(true);
    G.SetRefFreq(20.5);
    G.SetFreqScale(10);
    G.Options.SetEnableDuplexIntMod(true);
    G.Options.SetOverModulationNotify(false);
    FillChannel(G.ChA, 0);
    FillChannel(G.ChB, 1);
    G.ChA.SetMode(QGMdC_LFM);
    G.ChB.SetMode(QGMdC_DDSMod);
}

// Offsets in the record.
constexpr std::size_t ChA = 21, ChB = 247;

} // namespace

TEST(SettingsFile, RoundTripOfEveryField) {
    TTempFile file("roundtrip");
    TQvGen4 source;
    Fill(source);
    source.SaveToFile(file.Path);

    TQvGen4 target;
    ASSERT_NE(Snapshot(target), Snapshot(source));
    EXPECT_TRUE(target.LoadFromFile(file.Path));
    EXPECT_EQ(Snapshot(target), Snapshot(source));

    // Saving what was loaded gives the same bytes.
    TTempFile again("roundtrip2");
    target.SaveToFile(again.Path);
    EXPECT_EQ(again.Read(), file.Read());
}

TEST(SettingsFile, DefaultRecordLayout) {
    TTempFile file("default");
    TQvGen4 gen;
    gen.SaveToFile(file.Path);
    const TBytes disk = file.Read();
    ASSERT_EQ(disk.size(), 475u); // no 0x0A in the default record
    // Signature, version 1, UseExtRefFreq 0, FreqScale 16, RefFreq 25.0.
    EXPECT_EQ(HexBytes(TBytes(disk.begin(), disk.begin() + 21)),
              "51 76 47 34 01 00 00 00 00 10 00 00 00 00 00 00 00 00 00 39 40");
    // Channel A: mode slot, Frequency 1000.0; Options at the end: duplex off, notify on.
    EXPECT_EQ(HexBytes(TBytes(disk.begin() + ChA, disk.begin() + ChA + 12)),
              "00 00 00 00 00 00 00 00 00 40 8F 40");
    EXPECT_EQ(HexBytes(TBytes(disk.end() - 2, disk.end())), "00 01");
}

TEST(SettingsFile, LineFeedsGoToDiskAsCarriageReturnLineFeed) {
    struct TCase {
        const char* Name;
        std::int32_t Scale, Interval; // ChA's tuner: Scale at 50, ADCTimerInterval at 55
        const char* Disk;             // bytes 50 to 60 on disk
        std::size_t Size;
    };
    const TCase cases[] = {
        {"LF", 0, 10, "00 00 00 00 00 0D 0A 00 00 00 00", 476},
        {"CR LF", 0x0A0D, 500, "0D 0D 0A 00 00 00 F4 01 00 00 00", 476},
        {"lone CR", 0x0D, 500, "0D 00 00 00 00 F4 01 00 00 00 E8", 475},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTempFile file("lf");
        TQvGen4 source;
        source.ChA.Tuner.SetScale(c.Scale);
        source.ChA.Tuner.SetADCTimerInterval(c.Interval);
        source.SaveToFile(file.Path);
        const TBytes disk = file.Read();
        ASSERT_EQ(disk.size(), c.Size);
        EXPECT_EQ(HexBytes(TBytes(disk.begin() + 50, disk.begin() + 61)), c.Disk);

        TQvGen4 target;
        EXPECT_TRUE(target.LoadFromFile(file.Path));
        EXPECT_EQ(target.ChA.Tuner.Scale(), c.Scale);
        EXPECT_EQ(target.ChA.Tuner.ADCTimerInterval(), c.Interval);
        EXPECT_EQ(Snapshot(target), Snapshot(source));
    }
}

TEST(SettingsFile, RefusedFilesLeaveTheModelAsItWas) {
    TTempFile good("good");
    TQvGen4().SaveToFile(good.Path);
    const TBytes record = good.Read();
    ASSERT_EQ(record.size(), 475u); // disk form equals the record: offsets apply as they are

    enum TOutcome { ErrorFile, Damaged };
    struct TCase {
        const char* Name;
        std::function<void(TBytes&)> Spoil;
        TOutcome Outcome;
        const char* Message;
    };
    const TCase cases[] = {
        {"signature", [](TBytes& b) { b[3] = '5'; }, ErrorFile, ""},
        {"version 2", [](TBytes& b) { b[4] = 2; }, ErrorFile, ""},
        {"empty", [](TBytes& b) { b.clear(); }, ErrorFile, ""},
        {"cut in the header", [](TBytes& b) { b.resize(6); }, Damaged, "после 6 из 475"},
        {"cut in channel B", [](TBytes& b) { b.resize(300); }, Damaged, "после 300 из 475"},
        {"last byte missing", [](TBytes& b) { b.pop_back(); }, Damaged, "после 474 из 475"},
        {"mode 9", [](TBytes& b) { b[ChA] = 9; }, Damaged, "9 поля ChA.Mode"},
        {"waveform 7", [](TBytes& b) { b[ChA + 38 + 17] = 7; }, Damaged,
         "7 поля ChA.IntModulation.MathFuncType"},
        {"tuner type 3", [](TBytes& b) { b[ChB + 28] = 3; }, Damaged, "3 поля ChB.Tuner.Type"},
        {"keying by amplitude", [](TBytes& b) { b[ChB + 89 + 121] = QGAFPms_ampl; }, Damaged,
         "1 поля ChB.DDSMod.Type"},
        {"keying mode 3", [](TBytes& b) { b[ChB + 89 + 120] = 3; }, Damaged,
         "3 поля ChB.DDSMod.Mode"},
        {"boolean 2", [](TBytes& b) { b[474] = 2; }, Damaged,
         "2 поля Options.OverModulationNotify"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBytes spoilt = record;
        c.Spoil(spoilt);
        TTempFile file("spoilt");
        file.Write(spoilt);

        TGenOnRecorder r; // open, AutoUpdate on: a refused file must not reach the instrument
        Fill(*r.Gen);
        r.Gen->SetActive(true);
        r.Link->ClearWrites();
        const std::string before = Snapshot(*r.Gen);
        int errorFile = 0;
        r.Gen->OnErrorFile = [&](TQvGen4&) { ++errorFile; };
        if (c.Outcome == ErrorFile) {
            EXPECT_FALSE(r.Gen->LoadFromFile(file.Path));
            EXPECT_EQ(errorFile, 1);
        } else {
            try {
                r.Gen->LoadFromFile(file.Path);
                ADD_FAILURE() << "loaded";
            } catch (const EQvGen4InOutError& e) {
                EXPECT_THAT(e.what(), HasSubstr("Файл настроек генератора повреждён"));
                EXPECT_THAT(e.what(), HasSubstr(c.Message));
            }
            EXPECT_EQ(errorFile, 0);
        }
        EXPECT_EQ(Snapshot(*r.Gen), before);
        EXPECT_TRUE(r.Gen->AutoUpdate());
        EXPECT_TRUE(r.Link->Writes().empty());
    }
}

TEST(SettingsFile, FilesThatCannotBeOpened) {
    TQvGen4 gen;
    const auto missing = std::filesystem::temp_directory_path() / "qvgen4_no_such_dir" / "x";
    for (auto op : {+[](TQvGen4&G, const std::filesystem::path&P) { G.LoadFromFile(P); },
                    +[](TQvGen4&G, const std::filesystem::path&P) { G.SaveToFile(P); }}) {
        try {
            op(gen, missing);
            ADD_FAILURE() << "no error";
        } catch (const EQvGen4InOutError& e) {
            EXPECT_STREQ(e.what(), "Ошибка при открытии файла");
        }
    }
    // A directory opens as a stream but fails the first read: still the model's own error.
    try {
        gen.LoadFromFile(std::filesystem::temp_directory_path());
        ADD_FAILURE() << "no error";
    } catch (const EQvGen4InOutError& e) {
        EXPECT_STREQ(e.what(), "Ошибка при открытии файла");
    }
}

TEST(SettingsFile, LoadingRunsOneCycleWithEveryValueInPlace) {
    TTempFile file("cycle");
    {
        TQvGen4 source;
        source.ChA.SetMode(QGMdC_gen);
        source.ChB.SetMode(QGMdC_gen);
        source.ChA.Set_sinFrequency(2000);
        source.ChB.SetPhase(90);
        source.SaveToFile(file.Path);
    }
    TGenOnRecorder r;
    r.Gen->SetActive(true);
    r.Link->ClearWrites();
    int cycles = 0;
    r.Gen->AfterUpdate = [&](TQvGen4& G) {
        ++cycles;
        EXPECT_EQ(G.ChB.Phase(), 90); // the last channel's values are in place already
    };
    EXPECT_TRUE(r.Gen->LoadFromFile(file.Path));
    EXPECT_EQ(cycles, 1);
    EXPECT_TRUE(r.Gen->AutoUpdate());
    EXPECT_THAT(r.Lines(),
                testing::ElementsAre("F0 00 00 00 00 00", "F1 00 00 00 00 00", "04 01 47 AE 13 00",
                                     "02 3F FF 00 00 00", "05 00 00 00 00 00", "F9 00 00 00 00 00",
                                     "14 00 A3 D7 09 00", "12 3F FF 00 00 00", "15 10 00 00 00 00",
                                     "7F 00 00 00 00 00"));

    // With AutoUpdate off the values are stored and nothing is sent.
    TGenOnRecorder quiet;
    quiet.Gen->SetAutoUpdate(false);
    quiet.Gen->SetActive(true);
    quiet.Link->ClearWrites();
    EXPECT_TRUE(quiet.Gen->LoadFromFile(file.Path));
    EXPECT_FALSE(quiet.Gen->AutoUpdate());
    EXPECT_TRUE(quiet.Link->Writes().empty());
    EXPECT_EQ(quiet.Gen->ChA.Frequency(), 2000);
}

TEST(SettingsFile, ClockAndModesAreRestoredAsSaved) {
    TTempFile external("ext");
    TTempFile internal("int");
    {
        TQvGen4 source;
        source.SetUseExtRefFreq(true);
        source.SetFreqScale(8); // at 25 MHz
        source.SaveToFile(external.Path);
        TQvGen4().SaveToFile(internal.Path);
    }
    TQvGen4 gen;
    gen.LoadFromFile(external.Path);
    EXPECT_TRUE(gen.UseExtRefFreq());
    EXPECT_EQ(gen.FreqScale(), 8);
    EXPECT_EQ(gen.GenFreq(), 200);

    // A generator on its own external clock takes the built-in one of the file whole.
    gen.SetRefFreq(10);
    gen.LoadFromFile(internal.Path);
    EXPECT_FALSE(gen.UseExtRefFreq());
    EXPECT_EQ(gen.RefFreq(), 25);
    EXPECT_EQ(gen.GenFreq(), 400);

    // Modes are stored as saved, without the rules of a mode change: channel B may hold A12.
    TBytes bytes = internal.Read();
    bytes[ChB] = QGMdC_ExtModulationA12;
    internal.Write(bytes);
    int changes = 0;
    gen.OnChModeChange = [&](TQvGen4Channel&, bool) { ++changes; };
    EXPECT_TRUE(gen.LoadFromFile(internal.Path));
    EXPECT_EQ(gen.ChB.Mode(), QGMdC_ExtModulationA12);
    EXPECT_EQ(changes, 0);
}
