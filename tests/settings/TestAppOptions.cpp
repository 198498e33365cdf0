#include "QvAppOptionsRepository.h"
#include "SettingsFixture.h"

#include <memory>

namespace {

// Records its own destruction, to show who destroys it and in which order.
class TLoggedOption : public TQvAppIntOption {
public:
    TLoggedOption(std::string Ident, std::vector<std::string>& Log)
        : TQvAppIntOption("S", Ident, 0), FLog(Log) {}
    ~TLoggedOption() override { FLog.push_back(IdentName()); }

private:
    std::vector<std::string>& FLog;
};

} // namespace

using TAppOptions = TScratchDir;

TEST_F(TAppOptions, UnregisteredOptionKeepsToMemory) {
    TQvAppDblOption dbl("Gen", "RefFreq", 25.0);
    TQvAppColorOption color("ChA", "OnColor", QvColorFromRGB(255, 192, 192));
    dbl.SetValue(10.5);
    color.SetValue(QvColorFromRGB(1, 2, 3));

    dbl.Save();
    dbl.Load();
    EXPECT_EQ(dbl.Value(), 10.5);
    color.Load();
    EXPECT_EQ(color.Value(), QvColorFromRGB(1, 2, 3));
    dbl.ReSaveDefault();
    color.ReSaveDefault();
    EXPECT_EQ(dbl.Value(), 25.0);
    EXPECT_EQ(color.Value(), QvColorFromRGB(255, 192, 192));
    EXPECT_EQ(color.GetValue(), 12632319);

    EXPECT_EQ(dbl.IniReadString("x"), "x");
    EXPECT_EQ(dbl.IniReadInt(3), 3);
    EXPECT_EQ(dbl.IniReadBool(true), true);
    EXPECT_EQ(dbl.IniReadDbl(1.5), 1.5);
    EXPECT_NO_THROW(dbl.IniWriteString("y"));
    EXPECT_TRUE(Others({}).empty()); // nothing written anywhere near
}

TEST_F(TAppOptions, EveryTypeSavesAndLoadsBack) {
    const std::string file = Path("QvVantor.ini");
    {
        TQvAppOptionsRepository rep;
        rep.SetFileName(file);
        TQvAppOptionOwner owner;
        rep.AddAppBoolOption(owner, "Common", "AutoConnect", true)->SetValue(false);
        rep.AddAppDblOption(owner, "Gen", "RefFreq", 25.0)->SetValue(10.5);
        rep.AddAppIntOption(owner, "Gen", "FreqScale", 16)->SetValue(20);
        rep.AddAppColorOption(owner, "ChA", "OnColor", QvColorFromRGB(255, 192, 192))
            ->SetValue(QvColorFromRGB(0, 128, 255));
        rep.AddAppStrOption(owner, "ChA", "Title", "A")->SetValue("Канал A");
        rep.SaveOptions();
    }
    EXPECT_EQ(ReadBytes(file), "[Common]\nAutoConnect=0\n\n"
                               "[Gen]\nRefFreq=10.5\nFreqScale=20\n\n"
                               "[ChA]\nOnColor=16744448\nTitle=Канал A\n");

    TQvAppOptionsRepository rep;
    rep.SetFileName(file);
    TQvAppOptionOwner owner;
    auto* autoConnect = rep.AddAppBoolOption(owner, "Common", "AutoConnect", true);
    auto* refFreq = rep.AddAppDblOption(owner, "Gen", "RefFreq", 25.0);
    auto* freqScale = rep.AddAppIntOption(owner, "Gen", "FreqScale", 16);
    auto* onColor = rep.AddAppColorOption(owner, "ChA", "OnColor", QvColorFromRGB(255, 192, 192));
    auto* title = rep.AddAppStrOption(owner, "ChA", "Title", "A");
    auto* absent = rep.AddAppIntOption(owner, "ChB", "OnColor", 16761024);
    absent->SetValue(1); // a value changed in memory gives way to the default
    rep.LoadOptions();
    EXPECT_FALSE(autoConnect->Value());
    EXPECT_EQ(refFreq->Value(), 10.5);
    EXPECT_EQ(freqScale->Value(), 20);
    EXPECT_EQ(onColor->Value(), QvColorFromRGB(0, 128, 255));
    EXPECT_EQ(title->Value(), "Канал A");
    EXPECT_EQ(absent->Value(), 16761024);

    // Loading from a missing file: every option back to its default.
    rep.SetFileName(Path("missing.ini"));
    rep.LoadOptions();
    EXPECT_TRUE(autoConnect->Value());
    EXPECT_EQ(refFreq->Value(), 25.0);
    EXPECT_EQ(onColor->Value(), QvColorFromRGB(255, 192, 192));
    EXPECT_EQ(title->Value(), "A");
    EXPECT_FALSE(std::filesystem::exists(Path("missing.ini")));
}

TEST_F(TAppOptions, ReSaveDefaultOptionsResetsAndWritesAll) {
    TQvAppOptionsRepository rep;
    rep.SetFileName(Path("a.ini"));
    TQvAppOptionOwner owner;
    auto* freqScale = rep.AddAppIntOption(owner, "Gen", "FreqScale", 16);
    auto* refFreq = rep.AddAppDblOption(owner, "Gen", "RefFreq", 25.0);
    freqScale->SetValue(4);
    refFreq->SetDefValue(30.0);
    rep.ReSaveDefaultOptions();
    EXPECT_EQ(freqScale->Value(), 16);
    EXPECT_EQ(refFreq->Value(), 30.0);
    EXPECT_EQ(ReadBytes(Path("a.ini")), "[Gen]\nFreqScale=16\nRefFreq=30\n");
}

TEST_F(TAppOptions, SetFileNameRedirectsLaterWritesOnly) {
    TQvAppOptionsRepository rep;
    EXPECT_EQ(rep.FileName(), "filename.ini");
    rep.SetFileName(Path("old.ini"));
    TQvAppOptionOwner owner;
    auto* freqScale = rep.AddAppIntOption(owner, "Gen", "FreqScale", 16);
    rep.AddAppBoolOption(owner, "Common", "AutoConnect", true);
    rep.SaveOptions();
    const std::string old = ReadBytes(Path("old.ini"));

    rep.SetFileName(Path("new.ini"));
    EXPECT_EQ(rep.GetFileName(), Path("new.ini"));
    EXPECT_FALSE(std::filesystem::exists(Path("new.ini"))); // rebinding writes nothing
    EXPECT_EQ(rep.AppOptionsCount(), 2);
    freqScale->SetValue(8);
    rep.SaveOptions();
    EXPECT_EQ(ReadBytes(Path("new.ini")), "[Gen]\nFreqScale=8\n\n[Common]\nAutoConnect=1\n");
    EXPECT_EQ(ReadBytes(Path("old.ini")), old);
}

TEST_F(TAppOptions, FailedWriteReachesTheCaller) {
    TQvAppOptionsRepository rep;
    rep.SetFileName(Path("missing/dir.ini"));
    TQvAppOptionOwner owner;
    rep.AddAppIntOption(owner, "Gen", "FreqScale", 16);
    EXPECT_THROW(rep.SaveOptions(), EQvIniFileError);
    EXPECT_THROW(rep.ReSaveDefaultOptions(), EQvIniFileError);
}

TEST_F(TAppOptions, RegisteringMovingAndRemoving) {
    TQvAppOptionsRepository first, second;
    TQvAppOptionOwner owner;
    auto* a = first.AddAppIntOption(owner, "S", "A", 1);
    auto* b = first.AddAppIntOption(owner, "S", "B", 2);
    EXPECT_EQ(a->AppOptionsRepository(), &first);
    EXPECT_EQ(a->Owner(), &owner);
    EXPECT_EQ(&first.AppOptions(1), b);
    EXPECT_THROW(first.AppOptions(2), std::out_of_range);

    a->SetAppOptionsRepository(&first); // already there: no second entry
    EXPECT_EQ(first.AppOptionsCount(), 2);
    a->SetAppOptionsRepository(&second);
    EXPECT_EQ(first.AppOptionsCount(), 1);
    EXPECT_EQ(&first.AppOptions(0), b);
    EXPECT_EQ(&second.AppOptions(0), a);
    EXPECT_EQ(a->AppOptionsRepository(), &second);

    EXPECT_EQ(second.RemoveAppOption(*b), -1); // not listed there: its link stays
    EXPECT_EQ(b->AppOptionsRepository(), &first);
    EXPECT_EQ(first.RemoveAppOption(*b), 0);
    EXPECT_EQ(b->AppOptionsRepository(), nullptr);
    a->SetAppOptionsRepository(nullptr);
    EXPECT_EQ(second.AppOptionsCount(), 0);
    EXPECT_EQ(a->AppOptionsRepository(), nullptr);

    // Adding directly while registered elsewhere also moves it.
    first.AddAppOption(*a);
    second.AddAppOption(*a);
    EXPECT_EQ(first.AppOptionsCount(), 0);
    EXPECT_EQ(a->AppOptionsRepository(), &second);
}

TEST_F(TAppOptions, BulkWalkTakesInOptionsAddedDuringIt) {
    struct TRegistering : TQvAppIntOption {
        TQvAppOptionOwner& Owner;
        int Loads = 0;
        TRegistering(TQvAppOptionOwner& O) : TQvAppIntOption("S", "First", 1), Owner(O) {}
        void Load() override {
            if (Loads++ == 0) {
                AppOptionsRepository()->AddAppIntOption(Owner, "S", "Late", 7)->SetValue(0);
            }
            TQvAppIntOption::Load();
        }
    };
    TQvAppOptionsRepository rep;
    rep.SetFileName(Path("none.ini"));
    TQvAppOptionOwner owner;
    auto* first = owner.Adopt(std::make_unique<TRegistering>(owner));
    rep.AddAppOption(*first);
    rep.LoadOptions();
    ASSERT_EQ(rep.AppOptionsCount(), 2);
    EXPECT_EQ(static_cast<TQvAppIntOption&>(rep.AppOptions(1)).Value(), 7); // loaded as well
}

TEST_F(TAppOptions, OwnerDestroyedFirstLeavesNoEntryBehind) {
    TQvAppOptionsRepository rep;
    rep.SetFileName(Path("o.ini"));
    TQvAppOptionOwner dataModule;
    rep.AddAppBoolOption(dataModule, "Common", "AutoConnect", true);
    {
        TQvAppOptionOwner panel;
        auto* on = rep.AddAppColorOption(panel, "ChA", "OnColor", QvColorFromRGB(1, 2, 3));
        rep.AddAppOption(*on); // listed twice
        EXPECT_EQ(rep.RemoveAppOption(*on), 1);
        EXPECT_EQ(on->AppOptionsRepository(), &rep); // one entry is left, so still registered
        EXPECT_EQ(rep.AppOptionsCount(), 2);
    }
    EXPECT_EQ(rep.AppOptionsCount(), 1);
    rep.SaveOptions(); // would touch the destroyed option if an entry had stayed
    EXPECT_EQ(ReadBytes(Path("o.ini")), "[Common]\nAutoConnect=1\n");

    auto alone = std::make_unique<TQvAppIntOption>("S", "Alone", 1);
    rep.AddAppOption(*alone);
    alone.reset();
    EXPECT_EQ(rep.AppOptionsCount(), 1);
}

TEST_F(TAppOptions, RepositoryDestroyedFirstDestroysOwnedOptionsLastFirst) {
    std::vector<std::string> log;
    TQvAppOptionOwner owner;
    auto unowned = std::make_unique<TQvAppIntOption>("S", "Unowned", 1);
    TQvAppOption* kept = nullptr;
    {
        TQvAppOptionsRepository rep;
        for (const char* name : {"A", "B", "C"}) {
            rep.AddAppOption(*owner.Adopt(std::make_unique<TLoggedOption>(name, log)));
        }
        rep.AddAppOption(*unowned);
        kept = owner.Adopt(std::make_unique<TLoggedOption>("NotRegistered", log));
        rep.AddAppOption(rep.AppOptions(0)); // a duplicate entry of A
    }
    EXPECT_EQ(log, (std::vector<std::string>{"A", "C", "B"}));
    EXPECT_EQ(owner.Count(), 1); // only the unregistered one is left to its owner
    EXPECT_EQ(kept->AppOptionsRepository(), nullptr);
    EXPECT_EQ(unowned->AppOptionsRepository(), nullptr); // its holder keeps it
    unowned->SetValue(2);
}
