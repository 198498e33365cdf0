#include "QvAppOptionsRepository.h"
#include "SettingsFixture.h"

#include <clocale>
#include <cstdio>
#include <limits>
#include <locale>
#include <sstream>

// Typed values as the repository reads them from text written by hand.
class TIniValues : public TScratchDir {
protected:
    TQvAppOptionsRepository Rep;

    // Stores each text under its own key of section T; returns the keys.
    std::vector<std::string> Store(const std::vector<std::string>& Texts) {
        std::string bytes = "[T]\n";
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < Texts.size(); ++i) {
            keys.push_back("k" + std::to_string(i));
            bytes += keys.back() + "=" + Texts[i] + "\n";
        }
        WriteBytes(Path("values.ini"), bytes);
        Rep.SetFileName(Path("values.ini"));
        return keys;
    }
};

TEST_F(TIniValues, IntegerAndBooleanTexts) {
    constexpr std::int32_t D = -7; // the default
    struct TCase {
        std::string Text;
        std::int32_t Int;
    };
    const std::vector<TCase> cases = {
        {"31", 31},
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"$ff", 255},
        {"-12", -12},
        {"+5", 5},
        {"  42  ", 42},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"$FFFFFFFF", -1},
        {"0xFF000000", static_cast<std::int32_t>(0xFF000000u)},
        {"12abc", D},
        {"", D},
        {"0x", D},
        {"$", D},
        {"x1F", D},
        {"0x-1", D},
        {"$100000000", D},
        {"2147483648", D},
        {"1 2", D},
        {"--1", D},
        {"1.5", D},
    };
    std::vector<std::string> texts;
    for (const auto& c : cases) {
        texts.push_back(c.Text);
    }
    const auto keys = Store(texts);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("\"" + cases[i].Text + "\"");
        EXPECT_EQ(Rep.IniReadInt("T", keys[i], D), cases[i].Int);
        // Booleans go through the integer reading: any non-zero integer is true.
        const bool isInt = cases[i].Int != D;
        EXPECT_EQ(Rep.IniReadBool("T", keys[i], true), isInt ? cases[i].Int != 0 : true);
        EXPECT_EQ(Rep.IniReadBool("T", keys[i], false), isInt ? cases[i].Int != 0 : false);
    }
    EXPECT_EQ(Rep.IniReadInt("T", "absent", D), D);

    const auto bools = Store({"2", "0", "-1", "$0", "yes", "true"});
    const bool expected[] = {true, false, true, false, true, true}; // with default true
    for (std::size_t i = 0; i < bools.size(); ++i) {
        EXPECT_EQ(Rep.IniReadBool("T", bools[i], true), expected[i]) << i;
    }
    EXPECT_FALSE(Rep.IniReadBool("T", bools[4], false)); // "yes" is no integer
}

TEST_F(TIniValues, DoubleTexts) {
    constexpr double D = 25.0; // the default
    struct TCase {
        std::string Text;
        double Value;
    };
    const std::vector<TCase> cases = {
        {"12.3457", 12.3457}, {"10.5", 10.5},
        {"-1.5e3", -1500.0},  {"+2", 2.0},
        {".5", 0.5},          {"5.", 5.0},
        {"25,5", 25.0}, // the comma ends the number
        {"3.5MHz", 3.5},      {"1e", 1.0},
        {"1e+", 1.0},         {"2E2x", 200.0},
        {"abc", 0.0},         {"-", 0.0},
        {".", 0.0},           {"inf", 0.0},
        {"nan", 0.0},         {"0x10", 0.0},
        {"1e-999", 0.0},      {"", D},
        {"1e999", D}, // no setting can hold an infinity
        {"-1e999", D},        {"123456789012345678901234567890e300", D},
    };
    std::vector<std::string> texts;
    for (const auto& c : cases) {
        texts.push_back(c.Text);
    }
    const auto keys = Store(texts);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE("\"" + cases[i].Text + "\"");
        EXPECT_EQ(Rep.IniReadDbl("T", keys[i], D), cases[i].Value);
    }
    EXPECT_EQ(Rep.IniReadDbl("T", "absent", D), D);
}

TEST_F(TIniValues, WrittenTextsOfEachType) {
    Rep.SetFileName(Path("out.ini"));
    TQvIniFile raw(Path("out.ini"));
    struct TCase {
        double Value;
        const char* Text;
    };
    const TCase doubles[] = {
        {12.3456789, "12.3457"},
        {25.0, "25"},
        {0.5, "0.5"},
        {0.0, "0"},
        {1e-5, "1e-05"},
        {100000.0, "100000"},
        {1e6, "1e+06"},
        {123456789.0, "1.23457e+08"},
        {-0.000123456, "-0.000123456"},
        {1e20, "1e+20"},
    };
    for (const auto& c : doubles) {
        SCOPED_TRACE(c.Text);
        Rep.IniWriteDbl("Gen", "RefFreq", c.Value);
        EXPECT_EQ(raw.ReadString("Gen", "RefFreq", ""), c.Text);
    }
    Rep.IniWriteDbl("Gen", "RefFreq", 12.3456789);
    EXPECT_EQ(Rep.IniReadDbl("Gen", "RefFreq", 0.0), 12.3457);

    Rep.IniWriteInt("ChA", "OnColor", -16777201); // a system colour
    EXPECT_EQ(raw.ReadString("ChA", "OnColor", ""), "-16777201");
    EXPECT_EQ(Rep.IniReadInt("ChA", "OnColor", 0), -16777201);
    Rep.IniWriteBool("Common", "AutoConnect", true);
    EXPECT_EQ(raw.ReadString("Common", "AutoConnect", ""), "1");
    Rep.IniWriteBool("Common", "AutoConnect", false);
    EXPECT_EQ(raw.ReadString("Common", "AutoConnect", ""), "0");
    Rep.IniWriteString("Common", "Name", "Сивалон");
    EXPECT_EQ(Rep.IniReadString("Common", "Name", ""), "Сивалон");
}

namespace {

struct TCommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

// Switches the process to a decimal comma, both for C++ streams and, where the machine has such
// a locale installed, for the C library; restores both afterwards.
class TCommaLocale {
public:
    TCommaLocale()
        : FOldGlobal(std::locale::global(std::locale(std::locale::classic(), new TCommaPunct))) {
        FOldC = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8",
                                 "ru_RU.CP1251", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name)) {
                CName = name;
                break;
            }
        }
    }
    ~TCommaLocale() {
        std::setlocale(LC_ALL, FOldC.c_str());
        std::locale::global(FOldGlobal);
    }
    std::string CName; // empty when no C locale with a decimal comma exists here

private:
    std::locale FOldGlobal;
    std::string FOldC;
};

} // namespace

TEST_F(TIniValues, DoublesIgnoreADecimalCommaLocale) {
    Rep.SetFileName(Path("locale.ini"));
    TQvAppOptionOwner owner;
    auto* refFreq = Rep.AddAppDblOption(owner, "Gen", "RefFreq", 25.0);
    TCommaLocale comma;
    // Make sure the comma is really in force, or the test would prove nothing.
    std::ostringstream probe;
    probe << 0.5;
    ASSERT_EQ(probe.str(), "0,5");
    if (!comma.CName.empty()) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%g", 0.5);
        ASSERT_STREQ(buf, "0,5") << comma.CName;
    } else {
        std::cout << "[ NOTE     ] no C locale with a decimal comma installed; C++ locale only\n";
    }

    refFreq->SetValue(0.5);
    Rep.SaveOptions();
    EXPECT_EQ(TQvIniFile(Path("locale.ini")).ReadString("Gen", "RefFreq", ""), "0.5");
    refFreq->SetValue(1.0);
    Rep.LoadOptions();
    EXPECT_EQ(refFreq->Value(), 0.5);

    Rep.IniWriteString("Gen", "RefFreq", "10.25");
    Rep.LoadOptions();
    EXPECT_EQ(refFreq->Value(), 10.25);
    Rep.IniWriteString("Gen", "RefFreq", "25,5");
    Rep.LoadOptions();
    EXPECT_EQ(refFreq->Value(), 25.0);
}
