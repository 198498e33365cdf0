// The program's windows driven by object name on the offscreen platform, against the instrument
// behind the device factory, with a clock that never waits.
#include "QvApplication.h"
#include "QvColorBox.h"
#include "QvDevice.h"
#include "QvGen4Errors.h"
#include "QvQtTimer.h"
#include "QvRecordingLink.h"
#include "QvRoutines.h"
#include "QvTraceLink.h"
#include "QvVantorMain.h"
#include "QvVirtualInstrument.h"
#include "chframe.h"
#include "frmMain.h"
#include "mainDM.h"
#include "options.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>
#include <vector>

namespace {

template <class TBytes> std::string Hex(const TBytes& Bytes) {
    return QvHexLine(Bytes.data(), Bytes.size());
}

// Keeps every write on its way to the device the program chose.
class TTapLink final : public TQvGen4Link {
public:
    explicit TTapLink(std::unique_ptr<TQvGen4Link> Inner) : FInner(std::move(Inner)) {}
    FT_STATUS Open() override { return FInner->Open(); }
    FT_STATUS Close() override { return FInner->Close(); }
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count,
                    std::uint32_t& Written) override {
        Writes.emplace_back(Data, Data + Count);
        return FInner->Write(Data, Count, Written);
    }
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override {
        return FInner->Read(Data, Count, Received);
    }
    TQvGen4Link& Inner() const { return *FInner; }
    std::vector<std::vector<std::uint8_t>> Writes;

private:
    std::unique_ptr<TQvGen4Link> FInner;
};

// Answers the modal windows the program opens: message boxes with a chosen button, other
// dialogs through a callback. Every message box seen is remembered.
class TModalDriver : public QObject {
public:
    struct TBox {
        QString Name, Title, Text;
        QMessageBox::Icon Icon;
    };

    TModalDriver() {
        FTimer.setInterval(5);
        connect(&FTimer, &QTimer::timeout, this, &TModalDriver::Look);
        FTimer.start();
    }

    std::vector<TBox> Boxes;
    QMessageBox::StandardButton Answer = QMessageBox::Ok;
    std::function<void(QDialog&)> OnDialog;

private:
    void Look() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->property("answered").toBool()) {
                continue;
            }
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                box->setProperty("answered", true);
                Boxes.push_back({box->objectName(), box->windowTitle(), box->text(), box->icon()});
                QAbstractButton* b = box->button(Answer);
                if (!b) {
                    b = box->buttons().front();
                }
                b->click();
                return;
            }
            if (auto* dlg = qobject_cast<QDialog*>(w); dlg && dlg->isModal() && OnDialog) {
                auto handler = std::move(OnDialog);
                OnDialog = nullptr;
                handler(*dlg);
                return;
            }
        }
    }
    QTimer FTimer;
};

// The program's objects as the entry point creates them, on a temporary INI file.
struct TProgram {
    QTemporaryDir Dir;
    TModalDriver Modal;
    std::vector<QUrl> OpenedUrls;
    std::unique_ptr<TDMmain> DM;
    std::unique_ptr<TfrmMain> Main;
    std::unique_ptr<TfrmOptions> Options;

    struct TConfig {
        TQvDevice Device = TQvDevice::Virtual;
        QByteArray Ini; // written before start; empty: no INI file
    };

    TProgram() : TProgram(TConfig{}) {}
    explicit TProgram(const TConfig& Config) {
        if (!Config.Ini.isEmpty()) {
            QFile f(IniPath());
            f.open(QIODevice::WriteOnly);
            f.write(Config.Ini);
        }
        TDMmainSetup setup;
        setup.IniPath = IniPath();
        setup.DeviceOverride = Config.Device;
        setup.HelpDir = Dir.filePath(QStringLiteral("help"));
        setup.TickFactory = [] { return std::make_unique<TQvGen4ManualTicks>(); };
        setup.TimerFactory = TQvGen4ManualTimer::Factory();
        setup.LinkFactory = [](TQvDevice Device) -> std::unique_ptr<TQvGen4Link> {
            return std::make_unique<TTapLink>(MakeDeviceLink(Device));
        };
        setup.OpenUrl = [this](const QUrl& u) {
            OpenedUrls.push_back(u);
            return true;
        };
        DM = std::make_unique<TDMmain>(std::move(setup));
        Main = std::make_unique<TfrmMain>(*DM);
        Options = std::make_unique<TfrmOptions>(*DM, *Main, Main.get());
        Main->frmOptions = Options.get();
    }
    ~TProgram() {
        Options.reset();
        Main.reset();
        DM.reset();
    }

    QString IniPath() const { return Dir.filePath(QStringLiteral("QvVantor.ini")); }
    QByteArray IniText() const {
        QFile f(IniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void ShowActive() {
        Main->show();
        QApplication::setActiveWindow(Main.get());
        QVERIFY(QTest::qWaitForWindowActive(Main.get()));
    }

    TframeCh& A() { return *Main->frameChA; }
    TframeCh& B() { return *Main->frameChB; }
    template <class T> T* Find(QObject* Parent, const char* Name) {
        auto* w = Parent->findChild<T*>(QString::fromLatin1(Name));
        if (!w) {
            qFatal("no %s", Name);
        }
        return w;
    }

    TTapLink* Tap() const { return dynamic_cast<TTapLink*>(DM->QvGen.Link()); }
    // The virtual instrument the program talks to.
    TQvVirtualInstrument& Instrument() const {
        return *dynamic_cast<TQvVirtualLink&>(Tap()->Inner()).Instrument();
    }
    std::vector<std::string> Frames() const {
        std::vector<std::string> out;
        for (const auto& w : Tap()->Writes) {
            out.push_back(Hex(w));
        }
        return out;
    }
    void ClearFrames() { Tap()->Writes.clear(); }
};

// Types Text into a field the way an operator does: select all, type, leave with Enter.
void Type(QWidget* Field, const QString& Text) {
    QLineEdit* edit = qobject_cast<QLineEdit*>(Field);
    if (!edit) {
        edit = qobject_cast<QComboBox*>(Field)->lineEdit();
    }
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, Text);
}

class TLocaleScope {
public:
    explicit TLocaleScope(const QLocale& L) : FOld(QLocale()) { QLocale::setDefault(L); }
    ~TLocaleScope() { QLocale::setDefault(FOld); }

private:
    QLocale FOld;
};

} // namespace

class TestGui : public QObject {
    Q_OBJECT
private slots:
    void FixDecimalSeparatorCases_data();
    void FixDecimalSeparatorCases();
    void NumberTextFollowsLocale();
    void CommandLine();
    void TraceLinkLogsEveryWrite();
    void PollTimerRunsOnTheMessageLoop();

    void StartWithoutIniConnectsWithDefaults();
    void StartWithIniClock_data();
    void StartWithIniClock();
    void DeviceChoice();
    void ColoursReachPanelsAndIni();
    void ConnectAndDisconnectEnableTheActions();
    void AbsentUsbDeviceReportsConnectionFailure();
    void UpdateWritesBothPanelsInOneCycle();
    void CarrierEdgeCases();
    void CommaLocaleNormalisesSeparators();
    void FunctionKeysSwitchOutputs();
    void OutputSwitchWhileDisconnected();
    void EmptyFieldErrorIsShownAndSurvived();
    void NotifyShowsEscapingException();
    void OverModulationQuestion();
    void SweepPagesFollowBothSelectors();
    void MultiplierFromReferenceFrequency_data();
    void MultiplierFromReferenceFrequency();
    void MultiplierKeptWhenReferenceUnchanged();
    void OptionsDialogOkAndCancel();
    void ReferenceFrequencyErrors();
    void FailedIniWriteAtEndIsShown();
    void ChannelBFollowsExternalModulationOfA();
    void ColourCategorySelectsChannelA();
    void HelpOpensContextPages();
    void AboutBoxAndHomePage();
    void AccessibleNamesAndTabOrder();
    void ActionHints();
};

void TestGui::FixDecimalSeparatorCases_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QString>("result");
    QTest::newRow("point to comma") << "12.5"
                                    << ","
                                    << "12,5";
    QTest::newRow("comma to point") << "0,5"
                                    << "."
                                    << "0.5";
    QTest::newRow("mixed") << "1.2,3"
                           << ","
                           << "1,2,3";
    QTest::newRow("no separator") << "125"
                                  << ","
                                  << "125";
    QTest::newRow("other separator given") << "1,5"
                                           << ";"
                                           << "1;5";
}

void TestGui::FixDecimalSeparatorCases() {
    QFETCH(QString, text);
    QFETCH(QString, sep);
    QFETCH(QString, result);
    std::string s = text.toStdString();
    QCOMPARE(QString::fromStdString(FixDecimalSeparator(s, sep.toLatin1()[0])), result);
    QCOMPARE(s, result.toStdString()); // in place
    QString q = text;
    QCOMPARE(FixDecimalSeparator(q, sep[0]), result);
}

void TestGui::NumberTextFollowsLocale() {
    {
        TLocaleScope ru(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(StrToFloat(QStringLiteral("1,5")), 1.5);
        QCOMPARE(FloatToStr(2.5), QStringLiteral("2,5"));
        QVERIFY_THROWS_EXCEPTION(EQvConvertError, StrToFloat(QStringLiteral("1.5")));
    }
    QCOMPARE(StrToFloat(QStringLiteral(" -3 ")), -3.0);
    QCOMPARE(FloatToStr(123456789.123456789), QStringLiteral("123456789.123457"));
    for (const char* bad : {"", ",", ".", "abc", "1e", "--1"}) {
        try {
            StrToFloat(QString::fromLatin1(bad));
            QFAIL(bad);
        } catch (const EQvConvertError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("'%1' is not a valid floating point value").arg(bad));
        }
    }
    QCOMPARE(RoundTo(0.0125, -3), 0.012); // ties to even
    QCOMPARE(RoundTo(-3.0000000000004, -3), -3.0);
}

void TestGui::CommandLine() {
    auto cl = ParseCommandLine(
        {QStringLiteral("--virtual"), QStringLiteral("--trace"), QStringLiteral("/tmp/x.log")});
    QVERIFY(cl.Error.isEmpty());
    QVERIFY(cl.Virtual);
    QCOMPARE(cl.TracePath, QStringLiteral("/tmp/x.log"));
    QCOMPARE(ParseCommandLine({QStringLiteral("--trace=/a")}).TracePath, QStringLiteral("/a"));
    QVERIFY(ParseCommandLine({QStringLiteral("--help")}).Help);
    QVERIFY(!ParseCommandLine({QStringLiteral("--trace")}).Error.isEmpty());
    QVERIFY(!ParseCommandLine({QStringLiteral("--bogus")}).Error.isEmpty());
    QVERIFY(CommandLineHelp().contains(QStringLiteral("--virtual")));
    QVERIFY(CommandLineHelp().contains(QStringLiteral("--trace")));
}

void TestGui::TraceLinkLogsEveryWrite() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("earlier\n"); // appended to, never truncated
    }
    auto log = OpenTraceLog(path.toStdString());
    QVERIFY(log);
    auto inner = std::make_unique<TQvRecordingLink>();
    TQvRecordingLink* rec = inner.get();
    auto trace = WrapInTraceLog(std::move(inner), log);
    QCOMPARE(trace->Open(), FT_OK);
    const std::uint8_t frame[] = {0xF0, 0x00, 0x0A, 0xB1, 0xFF, 0x07};
    std::uint32_t written = 0;
    QCOMPARE(trace->Write(frame, 6, written), FT_OK);
    QCOMPARE(written, 6u);
    const std::uint8_t query[] = {0xFD};
    trace->Write(query, 1, written);
    // Flushed at once: readable while the link is still alive.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier\nF0 00 0A B1 FF 07\nFD\n"));
    QCOMPARE(rec->Writes().size(), 2u);
    QVERIFY(!OpenTraceLog("/nonexistent-dir/x.log"));
}

void TestGui::PollTimerRunsOnTheMessageLoop() {
    TModalDriver modal;
    int ticks = 0;
    auto timer = TQvQtTimer::Factory()([&] {
        if (++ticks == 2) {
            throw EQvGen4Error("Ошибка при чтении данных из FTPort");
        }
    });
    QVERIFY(!timer->Active());
    QVERIFY(timer->Start(5));
    QVERIFY(timer->Active());
    // A failed poll is shown and the timer goes on.
    QTRY_VERIFY(ticks >= 3);
    QCOMPARE(modal.Boxes.size(), 1u);
    QCOMPARE(modal.Boxes[0].Text, QStringLiteral("Ошибка при чтении данных из FTPort."));
    timer->Stop();
    QVERIFY(!timer->Active());
    const int stopped = ticks;
    QTest::qWait(30);
    QCOMPARE(ticks, stopped);
}

void TestGui::StartWithoutIniConnectsWithDefaults() {
    TProgram p;
    TQvGen4& gen = p.DM->QvGen;
    QVERIFY(p.DM->optAutoConnect->Value());
    QCOMPARE(gen.RefFreq(), 25.0);
    QCOMPARE(gen.FreqScale(), 16);
    QVERIFY(!gen.UseExtRefFreq());
    // The mode parameters start at their working values, on both channels.
    for (TQvGen4Channel* ch :
         {static_cast<TQvGen4Channel*>(&gen.ChA), static_cast<TQvGen4Channel*>(&gen.ChB)}) {
        QCOMPARE(ch->IntModulation.dA(), 50);
        QCOMPARE(ch->DDSMod.Ph2(), 180.0);
        QCOMPARE(ch->DDSMod.ReadingsCntMin(), 32);
        QVERIFY(ch->Tuner.ADCTimerEnabled());
    }
    // Connected at start, one cycle: the reset, nothing else (both outputs off).
    QVERIFY(gen.Active());
    QVERIFY(gen.AutoUpdate());
    QCOMPARE(p.Frames(), std::vector<std::string>{"F0 00 00 00 00 00"});
    QVERIFY(p.Modal.Boxes.empty());
    // The panels show the stored carrier: 1 MHz, 0 dB, 0°.
    for (TframeCh* f : {&p.A(), &p.B()}) {
        QCOMPARE(f->edtFreq->text(), QStringLiteral("1"));
        QCOMPARE(f->edtAmpl->currentText(), QStringLiteral("0"));
        QCOMPARE(f->edtPhase->text(), QStringLiteral("0"));
        QVERIFY(!f->chBox_ChOpen->isChecked());
        QCOMPARE(f->pgCtrlChModes->currentWidget()->objectName(), QStringLiteral("tabSh_None"));
    }
    QCOMPARE(p.Main->windowTitle(), QStringLiteral("Сивалон Ж7-ТН4/90"));
    QVERIFY(p.Main->lblDevice->text().contains(QStringLiteral("Виртуальный генератор")));
    QVERIFY(p.Main->lblDevice->text().contains(QStringLiteral("подключено")));

    // At the end the INI file holds the application's options with their values.
    p.Options.reset();
    p.Main.reset();
    p.DM.reset();
    const QByteArray ini = p.IniText();
    for (const char* line :
         {"AutoConnect=1", "RefFreq=25", "FreqScale=16", "UseExtFreq=0", "Device=usb"}) {
        QVERIFY2(ini.contains(line), ini.constData());
    }
}

void TestGui::StartWithIniClock_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<double>("refFreq");
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("connected");
    QTest::newRow("external 10.5")
        << QByteArray("[Gen]\nUseExtFreq=1\nRefFreq=10.5\n") << 10.5 << 16 << true;
    QTest::newRow("external off keeps 25 and 16")
        << QByteArray("[Gen]\nUseExtFreq=0\nRefFreq=10.5\nFreqScale=8\n") << 25.0 << 16 << true;
    QTest::newRow("no auto-connect")
        << QByteArray("[common]\nautoconnect=0\n[Gen]\nUseExtFreq=1\nFreqScale=8\n") << 25.0 << 8
        << false;
}

void TestGui::StartWithIniClock() {
    QFETCH(QByteArray, ini);
    QFETCH(double, refFreq);
    QFETCH(int, scale);
    QFETCH(bool, connected);
    TProgram p(TProgram::TConfig{TQvDevice::Virtual, ini});
    QCOMPARE(p.DM->QvGen.RefFreq(), refFreq);
    QCOMPARE(p.DM->QvGen.FreqScale(), scale);
    QCOMPARE(p.DM->QvGen.Active(), connected);
    QCOMPARE(p.DM->optRefFreq->Value(), ini.contains("RefFreq") ? 10.5 : 25.0);
    if (connected && p.DM->QvGen.UseExtRefFreq()) {
        // The connection's cycle sends the multiplier after the reset.
        QCOMPARE(p.Frames().size(), 2u);
        QCOMPARE(p.Frames()[1].substr(0, 2), std::string("E5"));
    }
}

void TestGui::DeviceChoice() {
    // --virtual is for one run: confirming the dialog unchanged keeps the stored choice.
    TProgram p(TProgram::TConfig{TQvDevice::Virtual, "[Common]\nDevice=usb\n"});
    TfrmOptions& dlg = *p.Options;
    p.Modal.OnDialog = [&](QDialog&) {
        QVERIFY(dlg.rdBtn_dev_Virtual->isChecked());
        dlg.btnOK->click();
    };
    p.Main->act_OptionsSet->trigger();
    QVERIFY(p.IniText().contains("Device=usb"));
    QVERIFY(p.DM->QvGen.Active());

    // Choosing USB in the dialog stores it and moves the connection to it; no device answers.
    p.Modal.OnDialog = [&](QDialog&) {
        QTest::mouseClick(dlg.rdBtn_dev_USB, Qt::LeftButton, {}, QPoint(6, 6));
        dlg.btnOK->click();
    };
    p.Main->act_OptionsSet->trigger();
    QCOMPARE(p.DM->Device(), TQvDevice::Usb);
    QVERIFY(!p.DM->QvGen.Active());
    QVERIFY(p.Main->lblDevice->text().startsWith(QStringLiteral("Устройство: USB (FTDI)")));
    QVERIFY(p.IniText().contains("Device=usb"));

    // And back to the virtual generator, stored this time.
    p.Modal.OnDialog = [&](QDialog&) {
        dlg.rdBtn_dev_Virtual->setChecked(true);
        dlg.btnOK->click();
    };
    p.Main->act_OptionsSet->trigger();
    QVERIFY(p.IniText().contains("Device=virtual"));
    QCOMPARE(p.DM->Device(), TQvDevice::Virtual);
    p.Main->act_GenConnect->trigger();
    QVERIFY(p.DM->QvGen.Active());
}

void TestGui::ColoursReachPanelsAndIni() {
    const QByteArray ini("[ChB]\nOffColor=255\n");
    TProgram p(TProgram::TConfig{TQvDevice::Virtual, ini});
    // Colours from the INI file at start; defaults where it has none.
    QCOMPARE(p.B().grBoxChParams->palette().color(QPalette::Window), QColor(255, 0, 0));
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), ColorFromBGR(13816556));
    QCOMPARE(p.A().chBox_ChOpen->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    p.A().actCh_SetMode->trigger(); // output A on: its on colour

    TfrmOptions& dlg = *p.Options;
    p.Modal.OnDialog = [&](QDialog&) {
        QCOMPARE(dlg.clrBox_clr_chB_Off->ColorValue(), 255);
        QCOMPARE(dlg.clrBox_clr_chA_On->ColorValue(), 12632319);
        dlg.treeViewCategrs->setCurrentItem(dlg.treeViewCategrs->topLevelItem(1)->child(0));
        // Lime from the list of named colours, as the operator picks it.
        TQvColorBox* on = dlg.clrBox_clr_chA_On;
        on->setCurrentIndex(10);
        emit on->activated(10);
        dlg.clrBox_clr_chA_NameText->SetColorValue(0x123456);
        dlg.btnOK->click();
    };
    p.Main->act_OptionsSet->trigger();
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(p.A().chBox_ChOpen->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(p.A().chBox_ChOpen->palette().color(QPalette::WindowText), QColor(0x56, 0x34, 0x12));
    const QByteArray text = p.IniText();
    QVERIFY2(text.contains("OnColor=65280"), text.constData());
    QVERIFY(text.contains("NameTextClr=1193046"));
    QVERIFY(text.contains("OffColor=255"));
    QVERIFY(text.contains("OffColor=13816556"));

    // Cancel changes nothing.
    p.Modal.OnDialog = [&](QDialog&) {
        dlg.clrBox_clr_chA_On->SetColorValue(0);
        dlg.btnCancel->click();
    };
    p.Main->act_OptionsSet->trigger();
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), QColor(0, 255, 0));
    QCOMPARE(p.IniText(), text);
}

void TestGui::ConnectAndDisconnectEnableTheActions() {
    TProgram p;
    QAction* connectAct = p.Find<QAction>(p.Main.get(), "act_GenConnect");
    QAction* disconnectAct = p.Find<QAction>(p.Main.get(), "act_GenDisconnect");
    QVERIFY(!connectAct->isEnabled());
    QVERIFY(disconnectAct->isEnabled());

    p.A().actCh_SetMode->trigger(); // output A on
    QVERIFY(p.A().chBox_ChOpen->isChecked());
    p.ClearFrames();
    disconnectAct->trigger();
    QVERIFY(!p.DM->QvGen.Active());
    QVERIFY(connectAct->isEnabled());
    QVERIFY(!disconnectAct->isEnabled());
    QCOMPARE(p.Frames().front(), std::string("F0 00 00 00 00 00")); // reset before closing
    QVERIFY(!p.Instrument().IsOpen());
    // Going inactive switches both outputs off and paints the panels in their off colour.
    QVERIFY(!p.A().chBox_ChOpen->isChecked());
    QCOMPARE(p.DM->QvGen.ChA.Mode(), QGMdC_off);
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), ColorFromBGR(13816556));
    QVERIFY(p.Main->lblDevice->text().contains(QStringLiteral("нет подключения")));

    connectAct->trigger();
    QVERIFY(p.DM->QvGen.Active());
    QVERIFY(!connectAct->isEnabled());
    QVERIFY(disconnectAct->isEnabled());
    QVERIFY(p.Modal.Boxes.empty());

    // "Выход" disconnects and closes without a message.
    p.Main->show();
    p.Find<QAction>(p.Main.get(), "miExit")->trigger();
    QVERIFY(!p.DM->QvGen.Active());
    QVERIFY(!p.Main->isVisible());
    QVERIFY(p.Modal.Boxes.empty());
}

void TestGui::AbsentUsbDeviceReportsConnectionFailure() {
    // No FTDI device is attached on a test machine: the start-up connection fails, is reported
    // before the window shows, and the program goes on.
    TProgram p(TProgram::TConfig{TQvDevice::Usb, {}});
    QCOMPARE(p.Modal.Boxes.size(), 1u);
    QCOMPARE(p.Modal.Boxes[0].Title, QStringLiteral("Подключение к устройству"));
    QCOMPARE(p.Modal.Boxes[0].Text, QStringLiteral("Невозможно включить генератор!"));
    QCOMPARE(p.Modal.Boxes[0].Icon, QMessageBox::Critical);
    QVERIFY(!p.Main->isVisible());
    QAction* connectAct = p.Find<QAction>(p.Main.get(), "act_GenConnect");
    QVERIFY(connectAct->isEnabled());
    QVERIFY(!p.Find<QAction>(p.Main.get(), "act_GenDisconnect")->isEnabled());
    connectAct->trigger();
    QCOMPARE(p.Modal.Boxes.size(), 2u);
    QCOMPARE(p.Modal.Boxes[1].Text, QStringLiteral("Невозможно включить генератор!"));
    QVERIFY(connectAct->isEnabled());
    QVERIFY(p.Main->lblDevice->text().startsWith(QStringLiteral("Устройство: USB (FTDI)")));
}

void TestGui::UpdateWritesBothPanelsInOneCycle() {
    TProgram p;
    p.ShowActive();
    p.A().actCh_SetMode->trigger();
    p.B().actCh_SetMode->trigger();
    Type(p.A().edtFreq, QStringLiteral("2.5"));
    Type(p.A().edtAmpl, QStringLiteral("-6"));
    Type(p.A().edtPhase, QStringLiteral("90"));
    Type(p.B().edtFreq, QStringLiteral("100"));
    p.ClearFrames();
    // Enter in a field runs the default button "Обновить".
    QTest::keyClick(p.B().edtFreq, Qt::Key_Return);
    QCOMPARE(p.DM->QvGen.ChA.Frequency(), 2500.0);
    QCOMPARE(p.DM->QvGen.ChB.Frequency(), 100000.0);
    QCOMPARE(p.DM->QvGen.ChA.Phase(), 90.0);
    const auto frames = p.Frames();
    // One cycle: reset, channel A on with its carrier, channel B likewise, update.
    std::vector<std::uint8_t> codes;
    for (const auto& w : p.Tap()->Writes) {
        codes.push_back(w[0]);
    }
    QCOMPARE(codes, (std::vector<std::uint8_t>{0xF0, 0xF1, 0x04, 0x02, 0x05, 0xF9, 0x14, 0x12, 0x15,
                                               0x7F}));
    const auto code = static_cast<std::uint32_t>(p.DM->QvGen.Conv_FreqToCode(2.5e6));
    QCOMPARE(frames[2], Hex(TQvGen4Cmd::With32(QGCN_A, QGC_Frequency, code).Bytes));
    QCOMPARE(p.A().edtAmpl->currentText(), QStringLiteral("-6"));
    // The instrument puts out exactly what was typed (to a step of its frequency word).
    const TQvOutputSample a = p.Instrument().Sample(QGCN_A, 0.001);
    const TQvOutputSample b = p.Instrument().Sample(QGCN_B, 0.001);
    QVERIFY(a.On && b.On);
    QVERIFY(std::abs(a.FrequencyHz - 2.5e6) < 0.1);
    QVERIFY(std::abs(b.FrequencyHz - 100e6) < 0.1);
    QVERIFY(std::abs(a.AmplitudePercent - 50.1187) < 0.01); // -6 dB
    QVERIFY(std::abs(a.PhaseDeg - 90) < 0.01);
    QCOMPARE(p.Instrument().ProtocolErrorCount(), 0u);
    // The focus came back to the field.
    QCOMPARE(QApplication::focusWidget(), p.B().edtFreq);
}

void TestGui::CarrierEdgeCases() {
    TProgram p;
    p.A().actCh_SetMode->trigger();
    TQvGen4Channel& ch = p.DM->QvGen.ChA;
    struct TCase {
        const char* Field;
        const char* Typed;
        const char* Shown;
    };
    // Refused values reappear as the values the channel kept.
    const TCase cases[] = {
        {"edtAmpl", "-3", "-3"},   {"edtAmpl", "0,5", "-3"},  {"edtAmpl", "0", "0"},
        {"edtFreq", "1.5", "1.5"}, {"edtFreq", "250", "1.5"}, {"edtFreq", "0.3", "1.5"},
        {"edtFreq", "200", "200"}, {"edtPhase", "360", "0"},  {"edtPhase", "359.5", "359.5"},
    };
    for (const TCase& c : cases) {
        QWidget* field = p.Find<QWidget>(&p.A(), c.Field);
        Type(field, QString::fromLatin1(c.Typed));
        p.Main->act_UpdateChls->trigger();
        const QString shown = qobject_cast<QLineEdit*>(field)
                                  ? qobject_cast<QLineEdit*>(field)->text()
                                  : qobject_cast<QComboBox*>(field)->currentText();
        QVERIFY2(shown == QString::fromLatin1(c.Shown),
                 qPrintable(QStringLiteral("%1 %2 -> %3").arg(c.Field, c.Typed, shown)));
        if (QByteArray(c.Typed) == "-3") {
            QCOMPARE(qRound(ch.Amplitude() * 10000), 707946);
        }
    }
    QCOMPARE(ch.Amplitude(), 100.0);
    QCOMPARE(ch.Frequency(), 200000.0);
    QCOMPARE(ch.Phase(), 359.5);
    // "нет" with the output on is a plain sine.
    QCOMPARE(ch.Mode(), QGMdC_gen);
    QVERIFY(p.Modal.Boxes.empty());
}

void TestGui::CommaLocaleNormalisesSeparators() {
    TLocaleScope ru(QLocale(QLocale::Russian, QLocale::Russia));
    TProgram p;
    p.ShowActive();
    p.A().actCh_SetMode->trigger();
    Type(p.A().edtFreq, QStringLiteral("1.5"));
    // Still in the field: "Обновить" commits it first.
    p.Main->act_UpdateChls->trigger();
    QCOMPARE(p.DM->QvGen.ChA.Frequency(), 1500.0);
    QCOMPARE(p.A().edtFreq->text(), QStringLiteral("1,5"));
    Type(p.A().edtPhase, QStringLiteral("12.25"));
    p.A().edtFreq->setFocus(); // leaving the field normalises it
    QCOMPARE(p.A().edtPhase->text(), QStringLiteral("12,25"));
    p.Main->act_UpdateChls->trigger();
    QCOMPARE(p.DM->QvGen.ChA.Phase(), 12.25);
    QVERIFY(p.Modal.Boxes.empty());
}

void TestGui::FunctionKeysSwitchOutputs() {
    TProgram p;
    p.ShowActive();
    QTest::keyClick(p.Main.get(), Qt::Key_F2);
    QVERIFY(p.A().chBox_ChOpen->isChecked());
    QVERIFY(!p.B().chBox_ChOpen->isChecked());
    QCOMPARE(p.DM->QvGen.ChA.Mode(), QGMdC_gen);
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), ColorFromBGR(12632319));
    QTest::keyClick(p.Main.get(), Qt::Key_F3);
    QVERIFY(p.B().chBox_ChOpen->isChecked());
    QCOMPARE(p.DM->QvGen.ChB.Mode(), QGMdC_gen);
    QCOMPARE(p.B().grBoxChParams->palette().color(QPalette::Window), ColorFromBGR(16761024));
    // A click on the box is the same action.
    QTest::mouseClick(p.A().chBox_ChOpen, Qt::LeftButton, {},
                      QPoint(8, p.A().chBox_ChOpen->height() / 2));
    QVERIFY(!p.A().chBox_ChOpen->isChecked());
    QVERIFY(!p.A().actCh_SetMode->isChecked());
    QCOMPARE(p.DM->QvGen.ChA.Mode(), QGMdC_off);
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), ColorFromBGR(13816556));
    QCOMPARE(p.A().actCh_SetMode->text(), QStringLiteral("Выход канала &A"));
    QCOMPARE(p.B().actCh_SetMode->shortcut(), QKeySequence(Qt::Key_F3));
}

void TestGui::OutputSwitchWhileDisconnected() {
    TProgram p;
    p.ShowActive();
    p.Main->act_GenDisconnect->trigger();
    p.ClearFrames();
    QTest::keyClick(p.Main.get(), Qt::Key_F2);
    QVERIFY(!p.A().chBox_ChOpen->isChecked());
    QCOMPARE(p.A().grBoxChParams->palette().color(QPalette::Window), ColorFromBGR(13816556));
    QCOMPARE(p.DM->QvGen.ChA.Mode(), QGMdC_off);
    QVERIFY(p.Frames().empty());
    // The selector only switches pages while the output is off.
    p.A().cmbBoxChMode->setCurrentIndex(TframeCh::ItemTuner);
    QCOMPARE(p.A().pgCtrlChModes->currentWidget()->objectName(), QStringLiteral("tabSh_Tuner"));
    QCOMPARE(p.DM->QvGen.ChA.Mode(), QGMdC_off);
}

void TestGui::EmptyFieldErrorIsShownAndSurvived() {
    TProgram p;
    p.A().actCh_SetMode->trigger();
    p.A().edtFreq->setText(QString());
    p.Main->act_UpdateChls->trigger();
    QCOMPARE(p.Modal.Boxes.size(), 1u);
    QCOMPARE(p.Modal.Boxes[0].Title, QStringLiteral("Сивалон Ж7-ТН4/90"));
    QCOMPARE(p.Modal.Boxes[0].Text, QStringLiteral("'' is not a valid floating point value."));
    QCOMPARE(p.Modal.Boxes[0].Icon, QMessageBox::Critical);
    // The mode written before the failing field stays, and automatic update is back on, so the
    // instrument got it and later changes still reach it.
    QCOMPARE(p.DM->QvGen.ChA.Mode(), QGMdC_gen);
    QVERIFY(p.DM->QvGen.AutoUpdate());
    QCOMPARE(p.Frames().back(), std::string("7F 00 00 00 00 00"));
    // The program carries on: a good value goes through.
    p.A().edtFreq->setText(QStringLiteral("3"));
    p.Main->act_UpdateChls->trigger();
    QCOMPARE(p.DM->QvGen.ChA.Frequency(), 3000.0);
    QCOMPARE(p.Modal.Boxes.size(), 1u);
}

void TestGui::NotifyShowsEscapingException() {
    // The full stop is added only after a character that sorts after it.
    QCOMPARE(TQvApplication::ExceptionText(QStringLiteral("Ошибка при открытии файла")),
             QStringLiteral("Ошибка при открытии файла."));
    QCOMPARE(TQvApplication::ExceptionText(QStringLiteral("Переполнение!")),
             QStringLiteral("Переполнение!"));
    QCOMPARE(TQvApplication::ExceptionText(QStringLiteral("(> FF00 )")),
             QStringLiteral("(> FF00 )"));
    QCOMPARE(TQvApplication::ExceptionText(QString()), QString());

    // An exception from an event handler that no guard caught reaches the message loop.
    class TThrower : public QObject {
    public:
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) {
                throw EQvGen4Error("Ошибка при записи команды в FTPort");
            }
            if (e->type() == QEvent::User + 1) {
                throw 42;
            }
            return QObject::event(e);
        }
    } thrower;
    TModalDriver modal;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTRY_COMPARE(modal.Boxes.size(), 1u);
    QCOMPARE(modal.Boxes[0].Text, QStringLiteral("Ошибка при записи команды в FTPort."));
    QCOMPARE(modal.Boxes[0].Title, QStringLiteral("Сивалон Ж7-ТН4/90"));
    QCOMPARE(modal.Boxes[0].Icon, QMessageBox::Critical);
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    QTRY_COMPARE(modal.Boxes.size(), 2u);
    QCOMPARE(modal.Boxes[1].Text, QString()); // not one of ours: no text
}

void TestGui::OverModulationQuestion() {
    TProgram p;
    TQvGen4& gen = p.DM->QvGen;
    p.A().actCh_SetMode->trigger();
    p.B().actCh_SetMode->trigger();

    p.Modal.Answer = QMessageBox::No;
    gen.OnOverModulation(gen.ChB, 50);
    QCOMPARE(p.Modal.Boxes.back().Title, QStringLiteral("Внешняя модуляция"));
    QCOMPARE(p.Modal.Boxes.back().Text,
             QStringLiteral("Обнаружено наличие перемодуляции.\nИсправить уровень сигнала?"));
    QCOMPARE(p.Modal.Boxes.back().Icon, QMessageBox::NoIcon);
    QCOMPARE(gen.ChB.Amplitude(), 100.0);
    QCOMPARE(p.B().edtAmpl->currentText(), QStringLiteral("0"));

    p.Modal.Answer = QMessageBox::Yes;
    gen.OnOverModulation(gen.ChB, 50);
    QCOMPARE(gen.ChB.Amplitude(), 50.0);
    QCOMPARE(p.B().edtAmpl->currentText(), QStringLiteral("-6.021"));
    QCOMPARE(p.A().edtAmpl->currentText(), QStringLiteral("0"));

    // In manual tuning the question names the tuning.
    p.A().cmbBoxChMode->setCurrentIndex(TframeCh::ItemTuner);
    QCOMPARE(gen.ChA.Mode(), QGMdC_tuning);
    gen.OnOverModulation(gen.ChA, 70);
    QCOMPARE(p.Modal.Boxes.back().Title, QStringLiteral("Ручная подстройка"));
    QCOMPARE(p.Modal.Boxes.back().Text,
             QStringLiteral("Возможно переполнение регистра амплитуды.\nИсправить уровень "
                            "сигнала?"));

    // Without panels (the main window gone) an event changes nothing.
    const std::size_t seen = p.Modal.Boxes.size();
    p.Options.reset();
    p.Main.reset();
    gen.OnOverModulation(gen.ChA, 10);
    QCOMPARE(p.Modal.Boxes.size(), seen);
}

void TestGui::SweepPagesFollowBothSelectors() {
    TProgram p;
    auto page = [](TframeCh& f) { return f.pgCtrlChModes->currentWidget()->objectName(); };
    p.B().cmbBoxChMode->setCurrentIndex(TframeCh::ItemLFM);
    QCOMPARE(page(p.B()), QStringLiteral("tabSh_LFMm"));
    p.A().cmbBoxChMode->setCurrentIndex(TframeCh::ItemLFM);
    QCOMPARE(page(p.A()), QStringLiteral("tabSh_LFMm"));
    QCOMPARE(page(p.B()), QStringLiteral("tabSh_LFMd"));
    p.A().cmbBoxChMode->setCurrentIndex(TframeCh::ItemXSK);
    QCOMPARE(page(p.A()), QStringLiteral("tabSh_xSK"));
    QCOMPARE(page(p.B()), QStringLiteral("tabSh_LFMm"));
    p.A().cmbBoxChMode->setCurrentIndex(TframeCh::ItemExtMod);
    QCOMPARE(page(p.A()), QStringLiteral("tabSh_ExtMod"));
    p.A().cmbBoxChMode->setCurrentIndex(TframeCh::ItemIntMod);
    QCOMPARE(page(p.A()), QStringLiteral("tabSh_IntMod"));
}

void TestGui::MultiplierFromReferenceFrequency_data() {
    QTest::addColumn<QString>("ref");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("result");
    QTest::newRow("25") << "25" << 16 << "400";
    QTest::newRow("27.5 passes 410") << "27.5" << 14 << "385";
    QTest::newRow("30") << "30" << 13 << "390";
    QTest::newRow("100") << "100" << 4 << "400";
    QTest::newRow("200 clamped up") << "200" << 4 << "800";
    QTest::newRow("10 clamped down") << "10" << 20 << "200";
    QTest::newRow("comma") << "12,5" << 20 << "250";
}

void TestGui::MultiplierFromReferenceFrequency() {
    QFETCH(QString, ref);
    QFETCH(int, scale);
    QFETCH(QString, result);
    TProgram p;
    TfrmOptions& dlg = *p.Options;
    dlg.ChBox_gen_UseExtRefFreq->setChecked(true);
    Type(dlg.edt_RefFreq, ref);
    QTest::keyClick(dlg.edt_RefFreq, Qt::Key_Tab); // the value is taken when the field is left
    emit dlg.edt_RefFreq->editingFinished();
    QCOMPARE(dlg.edtFreqScale->value(), scale);
    QCOMPARE(dlg.lblGenFreq->text(), result);
    QCOMPARE(dlg.edt_RefFreq->text(), QString(ref).replace(',', '.'));
    QVERIFY(p.Modal.Boxes.empty());
}

void TestGui::MultiplierKeptWhenReferenceUnchanged() {
    TProgram p;
    TfrmOptions& dlg = *p.Options;
    p.DM->optUseExtFreq->SetValue(true);
    p.DM->optFreqScale->SetValue(12); // chosen by hand: 25 MHz x 12
    dlg.OptionsToControls(false);
    QCOMPARE(dlg.lblGenFreq->text(), QStringLiteral("300"));
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    // Passing through the field without changing it keeps the multiplier.
    dlg.edt_RefFreq->setFocus();
    QTest::keyClick(dlg.edt_RefFreq, Qt::Key_Tab);
    QVERIFY(!dlg.edt_RefFreq->hasFocus());
    QCOMPARE(dlg.edtFreqScale->value(), 12);
    QCOMPARE(dlg.lblGenFreq->text(), QStringLiteral("300"));
    // A changed value computes it anew when the field is left.
    Type(dlg.edt_RefFreq, QStringLiteral("30"));
    QTest::keyClick(dlg.edt_RefFreq, Qt::Key_Tab);
    QCOMPARE(dlg.edtFreqScale->value(), 13);
    QCOMPARE(dlg.lblGenFreq->text(), QStringLiteral("390"));
    dlg.hide();
    QVERIFY(p.Modal.Boxes.empty());
}

void TestGui::OptionsDialogOkAndCancel() {
    TProgram p;
    TQvGen4& gen = p.DM->QvGen;
    TfrmOptions& dlg = *p.Options;
    // Cancel leaves everything as it was.
    p.Modal.OnDialog = [&](QDialog& d) {
        QCOMPARE(&d, static_cast<QDialog*>(&dlg));
        dlg.ChBox_gen_UseExtRefFreq->setChecked(true);
        dlg.edt_RefFreq->setText(QStringLiteral("10"));
        dlg.edtFreqScale->setValue(20);
        dlg.btnCancel->click();
    };
    p.ClearFrames();
    p.Main->act_OptionsSet->trigger();
    QVERIFY(!gen.UseExtRefFreq());
    QVERIFY(!p.DM->optUseExtFreq->Value());
    QVERIFY(p.Frames().empty());

    // The dialog shows the options again, not what was left in it.
    p.Modal.OnDialog = [&](QDialog&) {
        QVERIFY(!dlg.ChBox_gen_UseExtRefFreq->isChecked());
        QVERIFY(!dlg.grpBox_RefFreq->isEnabled());
        QVERIFY(!dlg.edt_RefFreq->isEnabled());
        QCOMPARE(dlg.edt_RefFreq->text(), QStringLiteral("25"));
        QCOMPARE(dlg.edtFreqScale->value(), 16);
        QCOMPARE(dlg.lblGenFreq->text(), QStringLiteral("400"));
        QVERIFY(dlg.rdBtn_dev_Virtual->isChecked());
        QTest::mouseClick(dlg.ChBox_gen_UseExtRefFreq, Qt::LeftButton);
        QVERIFY(dlg.edtFreqScale->isEnabled());
        dlg.edt_RefFreq->setText(QStringLiteral("10"));
        dlg.edtFreqScale->setValue(20);
        dlg.btnOK->click();
    };
    p.Main->act_OptionsSet->trigger();
    QVERIFY(gen.UseExtRefFreq());
    QCOMPARE(gen.RefFreq(), 10.0);
    QCOMPARE(gen.FreqScale(), 20);
    // One cycle with the new clock: reset, then the multiplier.
    const auto frames = p.Frames();
    QVERIFY(frames.size() >= 2);
    QCOMPARE(frames[0], std::string("F0 00 00 00 00 00"));
    QCOMPARE(frames[1].substr(0, 2), std::string("E5"));
    QVERIFY(p.Modal.Boxes.empty());
}

void TestGui::ReferenceFrequencyErrors() {
    TProgram p;
    TfrmOptions& dlg = *p.Options;
    dlg.OptionsToControls(false);
    dlg.ChBox_gen_UseExtRefFreq->setChecked(true);
    const std::pair<const char*, const char*> cases[] = {
        {"", "'' is not a valid floating point value."},
        {",", "'.' is not a valid floating point value."}, // normalised first
        {"0", "Floating point division by zero."},
    };
    for (const auto& [text, message] : cases) {
        dlg.edt_RefFreq->setText(QString::fromLatin1(text));
        emit dlg.edt_RefFreq->editingFinished();
        QCOMPARE(p.Modal.Boxes.back().Text, QString::fromUtf8(message));
        QCOMPARE(dlg.edtFreqScale->value(), 16); // unchanged
    }
    // OK with such a text changes no option at all and applies nothing.
    p.Modal.Boxes.clear();
    p.Modal.OnDialog = [&](QDialog&) {
        dlg.chBox_comn_AutoConnect->setChecked(false);
        dlg.ChBox_gen_UseExtRefFreq->setChecked(true);
        dlg.edt_RefFreq->setText(QString());
        dlg.btnOK->click();
    };
    p.Main->act_OptionsSet->trigger();
    QCOMPARE(p.Modal.Boxes.size(), 1u);
    QVERIFY(p.DM->optAutoConnect->Value());
    QVERIFY(!p.DM->optUseExtFreq->Value());
    QVERIFY(!p.DM->QvGen.UseExtRefFreq());
    QVERIFY(p.IniText().isEmpty());
}

void TestGui::FailedIniWriteAtEndIsShown() {
    TProgram p;
    // The folder of the INI file disappears while the program runs.
    QVERIFY(p.Dir.remove());
    p.Options.reset();
    p.Main.reset();
    p.DM.reset();
    QCOMPARE(p.Modal.Boxes.size(), 1u);
    QVERIFY(p.Modal.Boxes[0].Text.startsWith(QStringLiteral("Unable to write to ")));
    QCOMPARE(p.Modal.Boxes[0].Title, QStringLiteral("Сивалон Ж7-ТН4/90"));
}

void TestGui::ChannelBFollowsExternalModulationOfA() {
    TProgram p;
    TQvGen4& gen = p.DM->QvGen;
    p.A().actCh_SetMode->trigger();
    gen.ChA.ExtModulation.SetType(QGAFPms_ampl);
    // Channel A modulated from input 1 for both channels: channel B follows.
    gen.ChA.SetMode(QGMdC_ExtModulationAB1);
    QCOMPARE(gen.ChB.Mode(), QGMdC_ExtModulationAB1);
    QVERIFY(p.B().chBox_ChOpen->isChecked());
    QCOMPARE(p.B().cmbBoxChMode->currentIndex(), int(TframeCh::ItemExtMod));
    QVERIFY(!p.B().cmbBoxChMode->isEnabled());
    QVERIFY(!p.B().pgCtrlChModes->isEnabled());
    QVERIFY(!p.B().edtAmpl->isEnabled());
    QVERIFY(p.B().edtFreq->isEnabled());
    // Toggling B's output does not take B out of A's modulation.
    p.B().actCh_SetMode->trigger();
    QCOMPARE(gen.ChB.Mode(), QGMdC_ExtModulationAB1);
    // A back to a plain sine: B's controls come back at the next refresh.
    gen.ChA.SetMode(QGMdC_gen);
    QVERIFY(p.B().cmbBoxChMode->isEnabled());
    QVERIFY(p.B().pgCtrlChModes->isEnabled());
    QVERIFY(p.B().edtAmpl->isEnabled());
}

void TestGui::ColourCategorySelectsChannelA() {
    TProgram p;
    TfrmOptions& dlg = *p.Options;
    QCOMPARE(dlg.lblSection->text(), QStringLiteral(" Общие"));
    dlg.treeViewCategrs->setCurrentItem(dlg.treeViewCategrs->topLevelItem(1));
    QCOMPARE(dlg.treeViewCategrs->currentItem()->text(0), QStringLiteral("Канал A"));
    QCOMPARE(dlg.pgCtrlSections->currentWidget()->objectName(), QStringLiteral("tabSh_clr_chA"));
    QCOMPARE(dlg.lblSection->text(), QStringLiteral(" Цвета: Канал A"));
    // The operator cannot fold the tree.
    dlg.show();
    QTreeWidgetItem* colours = dlg.treeViewCategrs->topLevelItem(1);
    const QPoint at = dlg.treeViewCategrs->visualItemRect(colours).center();
    QTest::mouseDClick(dlg.treeViewCategrs->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(dlg.treeViewCategrs, Qt::Key_Left);
    QTest::keyClick(dlg.treeViewCategrs, Qt::Key_Left);
    QVERIFY(colours->isExpanded());
    QCOMPARE(dlg.treeViewCategrs->currentItem()->text(0), QStringLiteral("Канал A"));
    dlg.hide();
}

void TestGui::HelpOpensContextPages() {
    TProgram p;
    bool callDefault = true;
    QVERIFY(!p.DM->ApplicationEventsMainHelp(TDMmain::HELP_SETPOPUP_POS, 0, callDefault));
    QVERIFY(!callDefault);
    QVERIFY(p.OpenedUrls.empty());
    QVERIFY(p.DM->ApplicationEventsMainHelp(TDMmain::HELP_QUIT, 0, callDefault));
    QVERIFY(p.OpenedUrls.empty());

    p.ShowActive();
    p.A().edtFreq->setFocus();
    QTest::keyClick(p.A().edtFreq, Qt::Key_F1);
    p.Main->btnGenUpdate->setFocus();
    QTest::keyClick(p.Main.get(), Qt::Key_F1);
    p.Find<QAction>(p.Main.get(), "actHelpContents")->trigger();
    QCOMPARE(p.OpenedUrls.size(), 3u);
    QCOMPARE(p.OpenedUrls[0].fileName(), QStringLiteral("carrier.html"));
    QCOMPARE(p.OpenedUrls[1].fileName(), QStringLiteral("mainwindow.html"));
    QCOMPARE(p.OpenedUrls[2].fileName(), QStringLiteral("index.html"));
    QVERIFY(p.OpenedUrls[0].isLocalFile());

    // Every context the windows carry has its page among the shipped ones.
    for (int context : {0, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2010, 2020}) {
        const QString page = QStringLiteral(QV_HELP_SOURCE_DIR "/") + p.DM->HelpPage(context);
        QVERIFY2(QFile::exists(page), qPrintable(page));
    }
}

void TestGui::AboutBoxAndHomePage() {
    TProgram p;
    QString title;
    p.Modal.OnDialog = [&](QDialog& d) {
        title = d.windowTitle();
        QCOMPARE(d.size(), QSize(442, 256));
        QVERIFY(d.findChild<QLabel*>(QStringLiteral("lblVersion"))->text().contains("1.0.1.11"));
        d.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
    };
    p.Find<QAction>(p.Main.get(), "miHelpAbout")->trigger();
    QCOMPARE(title, QStringLiteral("О программе Модуль управления Сивалон Ж7-ТН4/90"));
    QTest::mouseClick(p.Main->btnTzweb, Qt::LeftButton);
    QCOMPARE(p.OpenedUrls.size(), 1u);
    QCOMPARE(p.OpenedUrls[0].toString(), QString::fromLatin1(TfrmMain::HomePageUrl));
}

void TestGui::AccessibleNamesAndTabOrder() {
    TProgram p;
    TframeCh& f = p.A();
    QCOMPARE(f.edtFreq->accessibleName(), QStringLiteral("Несущая частота"));
    QCOMPARE(f.edtAmpl->accessibleName(), QStringLiteral("Уровень сигнала"));
    QCOMPARE(f.edtPhase->accessibleName(), QStringLiteral("Начальная фаза"));
    QCOMPARE(f.cmbBoxChMode->accessibleName(), QStringLiteral("Режим"));
    QCOMPARE(f.chBox_ChOpen->text(), QStringLiteral("Канал A"));
    // Tab walks the panel from top to bottom.
    p.ShowActive();
    f.chBox_ChOpen->setFocus();
    const std::vector<QWidget*> order{f.edtFreq, f.edtAmpl, f.edtPhase, f.cmbBoxChMode};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        QVERIFY(now == next || now->parentWidget() == next);
    }
}

void TestGui::ActionHints() {
    TProgram p;
    struct TCase {
        const char* Name;
        QString Tip, Status; // tool tip and the status bar's long hint
    };
    const TCase cases[] = {
        {"act_GenConnect", QStringLiteral("Подключиться"),
         QStringLiteral("Подключение к генератору")},
        {"act_OptionsSet", QStringLiteral("Параметры"),
         QStringLiteral("Открытие диалогового окна для настройки параметров приложения")},
        {"act_UpdateChls", QStringLiteral("Обновить"),
         QStringLiteral("Обновление параметров каналов генератора")},
        {"actHelpContents", QStringLiteral("Help Contents"), QStringLiteral("Help Contents")},
    };
    for (const TCase& c : cases) {
        QAction* a = p.Find<QAction>(p.Main.get(), c.Name);
        QCOMPARE(a->toolTip(), c.Tip);
        QCOMPARE(a->statusTip(), c.Status);
    }
    QCOMPARE(p.A().actCh_SetMode->statusTip(),
             QStringLiteral("Управление состоянием выхода канала"));
}

int main(int argc, char** argv) {
    TQvApplication app(argc, argv);
    TestGui tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "TestGui.moc"
