#include "QvAppOptionsRepository.h"
#include "QvIniFile.h"
#include "SettingsFixture.h"

#include <csignal>
#include <random>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ino_t Inode(const std::string& File) {
    struct stat st {};
    ::stat(File.c_str(), &st);
    return st.st_ino;
}

// Whether every line of the old text is still found in the new one.
bool KeepsEveryLine(const std::string& Old, const std::string& Now) {
    std::size_t start = 0;
    while (start <= Old.size()) {
        const auto end = std::min(Old.find('\n', start), Old.size());
        if (Now.find(std::string_view(Old).substr(start, end - start)) == std::string::npos) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

constexpr char NUL_NAMES[] = "[Gen\0]\nRefFreq\0=10.5\n";

} // namespace

using TIniFile = TScratchDir;

TEST_F(TIniFile, WrittenFileReadsBackWhateverTheCaseAndPadding) {
    const std::string file = Path("QvVantor.ini");
    TQvIniFile ini(file);
    ini.WriteString("Common", "AutoConnect", "1");
    ini.WriteString("Gen", "RefFreq", "10.5");
    ini.WriteString("Gen", "FreqScale", "16");
    ini.WriteString("GEN", "refFREQ", "25"); // the same key, found in place
    ini.WriteString(" ChA ", " OnColor ", "12632319");

    EXPECT_EQ(ReadBytes(file), "[Common]\nAutoConnect=1\n\n"
                               "[Gen]\nRefFreq=25\nFreqScale=16\n\n"
                               "[ChA]\nOnColor=12632319\n");
    EXPECT_EQ(ini.ReadString("gen", "REFFREQ", "x"), "25");
    EXPECT_EQ(ini.ReadString("  Cha", "oncolor  ", "x"), "12632319");
    EXPECT_EQ(ini.ReadString("Gen", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Missing", "RefFreq", "dflt"), "dflt");
    EXPECT_EQ(TQvIniFile(Path("absent.ini")).ReadString("Gen", "RefFreq", "dflt"), "dflt");

    // Every change replaces the file; a value it holds already leaves it alone.
    const ino_t before = Inode(file);
    ini.WriteString("Gen", "FreqScale", "16");
    EXPECT_EQ(Inode(file), before);
    ini.WriteString("Gen", "FreqScale", "20");
    EXPECT_NE(Inode(file), before);
    EXPECT_TRUE(Others({"QvVantor.ini"}).empty());
}

TEST_F(TIniFile, ForeignFileIsReadAndItsOtherLinesKeptByteForByte) {
    const std::string file = Path("foreign.ini");
    WriteBytes(file, "\xEF\xBB\xBF; written by hand\r\n"
                     "stray=before any section\r\n"
                     "[ Gen ]   ; trailing note\r\n"
                     "  RefFreq =  10.5  \r\n"
                     "a line without equals sign\r\n"
                     "=no key\r\n"
                     ";FreqScale=99\r\n"
                     "\r\n"
                     "; about ChA\r\n"
                     "[ChA]\r\n"
                     "OnColor=1=2\r\n"
                     "[gen]\r\n"
                     "FreqScale=5");
    TQvIniFile ini(file);
    struct TCase {
        const char* Section;
        const char* Ident;
        const char* Expected;
    };
    const TCase reads[] = {
        {"Gen", "RefFreq", "10.5"},
        {"Gen", "FreqScale", "-"}, // second [gen] does not count
        {"ChA", "OnColor", "1=2"},
        {"", "stray", "-"},
        {"Gen", "a line without equals sign", "-"},
    };
    for (const auto& c : reads) {
        SCOPED_TRACE(std::string(c.Section) + "/" + c.Ident);
        EXPECT_EQ(ini.ReadString(c.Section, c.Ident, "-"), c.Expected);
    }

    ini.WriteString("Gen", "RefFreq", "25");
    ini.WriteString("Gen", "FreqScale", "16");
    ini.WriteString("Common", "AutoConnect", "0");
    EXPECT_EQ(ReadBytes(file), "\xEF\xBB\xBF; written by hand\r\n"
                               "stray=before any section\r\n"
                               "[ Gen ]   ; trailing note\r\n"
                               "RefFreq=25\r\n"
                               "FreqScale=16\r\n"
                               "a line without equals sign\r\n"
                               "=no key\r\n"
                               ";FreqScale=99\r\n"
                               "\r\n"
                               "; about ChA\r\n"
                               "[ChA]\r\n"
                               "OnColor=1=2\r\n"
                               "[gen]\r\n"
                               "FreqScale=5\n"
                               "\r\n"
                               "[Common]\r\n"
                               "AutoConnect=0\r\n");
    EXPECT_EQ(ini.ReadString("Gen", "FreqScale", "-"), "16");
}

TEST_F(TIniFile, EraseSectionRemovesEveryOccurrenceAndNothingElse) {
    const std::string file = Path("erase.ini");
    WriteBytes(file, "[Keep]\nA=1\n[Gone]\nB=2\n; note\n[Keep2]\nC=3\n[GONE]\nD=4");
    TQvIniFile ini(file);
    ini.EraseSection("gone");
    EXPECT_EQ(ReadBytes(file), "[Keep]\nA=1\n[Keep2]\nC=3\n");
    EXPECT_FALSE(ini.SectionExists("Gone"));

    // No such section: nothing to write, so even an unwritable place raises nothing.
    const ino_t before = Inode(file);
    ini.EraseSection("Absent");
    EXPECT_EQ(Inode(file), before);
    EXPECT_NO_THROW(TQvIniFile(Path("no/such/dir.ini")).EraseSection("Gen"));
}

TEST_F(TIniFile, RefusesNamesAndValuesThatWouldBreakTheFile) {
    const std::string file = Path("strict.ini");
    TQvIniFile ini(file);
    ini.WriteString("Gen", "RefFreq", "25");
    const std::string before = ReadBytes(file);
    struct TCase {
        const char* Section;
        const char* Ident;
        const char* Value;
    };
    const TCase cases[] = {
        {"Gen", "RefFreq", "1\n[Common]\nAutoConnect=0"},
        {"Gen", "RefFreq", "1\r2"},
        {"Gen", "Ref=Freq", "1"},
        {"Gen", "", "1"},
        {"Gen", "[Common]", "1"},
        {"Gen", ";RefFreq", "1"},
        {"Gen]x", "RefFreq", "1"},
        {"Gen\n", "RefFreq\nX", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Section) + "/" + c.Ident + "=" + c.Value);
        EXPECT_THROW(ini.WriteString(c.Section, c.Ident, c.Value), std::invalid_argument);
    }
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(TIniFile, FailedWriteRaisesAndLeavesTheOldFileIntact) {
    // A directory that does not exist: nothing can be created there.
    const std::string lost = Path("missing/QvVantor.ini");
    try {
        TQvIniFile(lost).WriteString("Gen", "RefFreq", "25");
        ADD_FAILURE() << "no error raised";
    } catch (const EQvIniFileError& e) {
        EXPECT_STREQ(e.what(), ("Unable to write to " + lost).c_str());
        EXPECT_EQ(e.FileName(), lost);
    }

    // The path names a directory: the rename fails after the temporary file was written.
    std::filesystem::create_directory(Path("dir.ini"));
    EXPECT_THROW(TQvIniFile(Path("dir.ini")).WriteString("Gen", "RefFreq", "25"), EQvIniFileError);

    // The disk fills up half-way through the new file (a file-size limit binds root too).
    const std::string file = Path("QvVantor.ini");
    const std::string old = "[Gen]\nRefFreq=10.5\n";
    WriteBytes(file, old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(TQvIniFile(file).WriteString("Gen", "Comment", std::string(10000, 'x')),
                 EQvIniFileError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadBytes(file), old);

    // A file made read-only stays as it is (root may write anything, so only for others).
    if (::geteuid() != 0) {
        std::filesystem::permissions(file, std::filesystem::perms::owner_read);
        EXPECT_THROW(TQvIniFile(file).WriteString("Gen", "RefFreq", "25"), EQvIniFileError);
        EXPECT_EQ(ReadBytes(file), old);
    }

    EXPECT_EQ(Others({"QvVantor.ini", "dir.ini"}), std::vector<std::string>());
}

TEST_F(TIniFile, ReplacingKeepsTheFileModeAndWritesThroughALink) {
    const std::string real = Path("real.ini");
    WriteBytes(real, "[Gen]\nRefFreq=10.5\n");
    std::filesystem::permissions(real, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real.ini", Path("link.ini"));

    TQvIniFile(Path("link.ini")).WriteString("Gen", "RefFreq", "25");

    EXPECT_TRUE(std::filesystem::is_symlink(Path("link.ini")));
    EXPECT_EQ(ReadBytes(real), "[Gen]\nRefFreq=25\n");
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(TIniFile, HostileFilesReadAsDefaultsAndCanStillBeWritten) {
    std::mt19937 rng(5);
    std::string garbage(64 * 1024, '\0');
    for (auto& c : garbage) {
        c = static_cast<char>(rng());
    }
    const std::string longLine(10 * 1024 * 1024, 'R');
    struct TCase {
        const char* Name;
        std::string Bytes;
    };
    const TCase cases[] = {
        {"binary garbage", garbage},
        {"10 MB line", longLine},
        {"10 MB line before the keys", "[Gen]\n" + longLine + "\nFreqScale\n"},
        {"unterminated header", "[Gen\nRefFreq=10.5\nFreqScale=5\n[Common\nAutoConnect=0"},
        {"10 MB unterminated header", "[Gen" + longLine + "\nRefFreq=10.5\n"},
        {"NUL bytes in names", std::string(NUL_NAMES, sizeof NUL_NAMES - 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = Path("hostile.ini");
        WriteBytes(file, c.Bytes);

        TQvAppOptionsRepository rep;
        rep.SetFileName(file);
        TQvAppOptionOwner owner;
        auto* autoConnect = rep.AddAppBoolOption(owner, "Common", "AutoConnect", true);
        auto* refFreq = rep.AddAppDblOption(owner, "Gen", "RefFreq", 25.0);
        auto* freqScale = rep.AddAppIntOption(owner, "Gen", "FreqScale", 16);
        rep.LoadOptions();
        EXPECT_EQ(autoConnect->Value(), true);
        EXPECT_EQ(refFreq->Value(), 25.0);
        EXPECT_EQ(freqScale->Value(), 16);

        refFreq->SetValue(12.5);
        freqScale->SetValue(8);
        rep.SaveOptions();
        refFreq->SetValue(0);
        freqScale->SetValue(0);
        rep.LoadOptions();
        EXPECT_EQ(refFreq->Value(), 12.5);
        EXPECT_EQ(freqScale->Value(), 8);
        EXPECT_TRUE(KeepsEveryLine(c.Bytes, ReadBytes(file)));
    }
}
