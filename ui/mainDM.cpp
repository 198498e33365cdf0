#include "mainDM.h"

#include "QvApplication.h"
#include "QvGen4StartValues.h"
#include "QvQtTimer.h"
#include "chframe.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTemporaryFile>

const QRegularExpression
    TDMmain::cxEdRep_ChMask_FreqInMHz(QStringLiteral(R"([0-9]{0,3}(([\.,][0-9]{0,6})|[\.,])?)"));
const QRegularExpression TDMmain::cxEdRep_ChMask_TimeInMilliSec(
    QStringLiteral(R"([0-9]{0,4}(([\.,][0-9]{0,3})|[\.,])?)"));
const QRegularExpression
    TDMmain::cxEdRep_ChMask_PhaseInGrade(QStringLiteral(R"([0-9]{0,3}(([\.,][0-9]{0,3})|[\.,])?)"));
const QRegularExpression TDMmain::cxEdRep_ChMask_RdsCnt(QStringLiteral("[0-9]{1,4}"));

TDMmain::TDMmain(TDMmainSetup Setup, QObject* Parent) : QObject(Parent), FSetup(std::move(Setup)) {
    setObjectName(QStringLiteral("DMmain"));
    cxEdStyle_ChA.Base = &cxEdStyleCtrlMain;
    cxEdStyle_ChB.Base = &cxEdStyleCtrlMain;
    if (FSetup.TickFactory) {
        QvGen.SetTickSource(FSetup.TickFactory());
    }
    QvGen.SetTimerFactory(FSetup.TimerFactory ? FSetup.TimerFactory : TQvQtTimer::Factory());
    LoadStoredGenValues();

    QvGen.OnADCTimer = [this](TQvGen4Channel& ch) { QvGenADCTimer(ch); };
    QvGen.AfterUpdate = [this](TQvGen4& g) { QvGenAfterUpdate(g); };
    QvGen.OnChModeChange = [this](TQvGen4Channel& ch, bool c) { QvGenChModeChange(ch, c); };
    QvGen.OnChangeActiveState = [this](TQvGen4& g) { QvGenChangeActiveState(g); };
    QvGen.OnGenResponseWait = [this](TQvGen4& g) { QvGenGenResponseWait(g); };
    QvGen.OnOverModulation = [this](TQvGen4Channel& ch, double a) {
        OldQvGenOverModulation(ch, a);
    };

    // A failure here is shown, and the windows still come up.
    QvGuard([this] { DataModuleCreate(); });
}

TDMmain::~TDMmain() {
    QvGuard([this] { DataModuleDestroy(); });
    // The generator's own destruction resets the instrument; no event may reach us by then.
    QvGen.OnChangeActiveState = nullptr;
    QvGen.AfterUpdate = nullptr;
    QvGen.OnADCTimer = nullptr;
    QvGen.OnOverModulation = nullptr;
}

void TDMmain::LoadStoredGenValues() {
    // Automatic update stays off until the panels' first write passes, so nothing is sent before
    // the windows exist.
    QvGen4ApplyStartValues(QvGen);
}

QString TDMmain::DefaultIniPath() {
    const QString name = QStringLiteral("QvVantor.ini");
    const QString exeDir = QCoreApplication::applicationDirPath();
    // A portable copy keeps its settings beside itself; an installed one in the user's folder.
    QTemporaryFile probe(exeDir + QStringLiteral("/.qvvantor-XXXXXX"));
    if (!exeDir.isEmpty() && probe.open()) {
        return QDir(exeDir).filePath(name);
    }
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(dir);
    return QDir(dir).filePath(name);
}

void TDMmain::DataModuleCreate() {
    FIniPath = FSetup.IniPath.isEmpty() ? DefaultIniPath() : FSetup.IniPath;
    QvAppOptionsRep.SetFileName(FIniPath.toStdString());
    optAutoConnect = QvAppOptionsRep.AddAppBoolOption(FOptionOwner, "Common", "AutoConnect", true);
    optRefFreq = QvAppOptionsRep.AddAppDblOption(FOptionOwner, "Gen", "RefFreq", 25.0);
    optFreqScale = QvAppOptionsRep.AddAppIntOption(FOptionOwner, "Gen", "FreqScale", 16);
    optUseExtFreq = QvAppOptionsRep.AddAppBoolOption(FOptionOwner, "Gen", "UseExtFreq", false);
    optDevice = QvAppOptionsRep.AddAppStrOption(FOptionOwner, "Common", "Device",
                                                DeviceKey(TQvDevice::Usb));
    QvAppOptionsRep.LoadOptions();
    ApplyGenOptions();
    QvGen.SetLink(MakeLink(Device()));
}

void TDMmain::DataModuleDestroy() {
    // By now the panels and their colours are gone: this writes the application's own options.
    QvAppOptionsRep.SaveOptions();
}

void TDMmain::ApplyGenOptions() {
    // The clock setters accept the frequency and multiplier only while the external reference
    // is in use, hence this order.
    QvGen.SetUseExtRefFreq(optUseExtFreq->Value());
    QvGen.SetRefFreq(optRefFreq->Value());
    QvGen.SetFreqScale(optFreqScale->Value());
}

std::unique_ptr<TQvGen4Link> TDMmain::MakeLink(TQvDevice Device) const {
    auto link = FSetup.LinkFactory ? FSetup.LinkFactory(Device) : MakeDeviceLink(Device);
    if (FSetup.TraceLog) {
        link = WrapInTraceLog(std::move(link), FSetup.TraceLog);
    }
    return link;
}

TQvDevice TDMmain::StoredDevice() const {
    return optDevice ? DeviceFromKey(optDevice->Value()) : TQvDevice::Usb;
}

TQvDevice TDMmain::Device() const {
    return FSetup.DeviceOverride ? *FSetup.DeviceOverride : StoredDevice();
}

void TDMmain::SetDevice(TQvDevice Device) {
    const TQvDevice before = this->Device();
    optDevice->SetValue(DeviceKey(Device));
    FSetup.DeviceOverride.reset();
    if (before == Device) {
        return;
    }
    const bool wasActive = QvGen.Active();
    QvGen.SetActive(false);
    QvGen.SetLink(MakeLink(Device));
    emit DeviceChanged();
    if (wasActive) {
        QvGen.SetActive(true);
    }
}

TframeCh* TDMmain::PanelOf(const TQvGen4Channel& Channel) const {
    return &Channel == &QvGen.ChA ? FrameChA : FrameChB;
}

void TDMmain::QvGenChangeActiveState(TQvGen4& Sender) {
    if (FrameChA && FrameChB && !Sender.Active()) {
        FrameChA->UpdateOutputState();
        FrameChB->UpdateOutputState();
    }
    emit GenActiveChanged();
}

void TDMmain::QvGenAfterUpdate(TQvGen4&) {
    if (FrameChA && FrameChB) {
        FrameChA->RefreshAfterUpdate();
        FrameChB->RefreshAfterUpdate();
    }
}

void TDMmain::QvGenADCTimer(TQvGen4Channel& Channel) {
    if (FrameChA && FrameChB) {
        PanelOf(Channel)->ShowADCValue();
    }
}

void TDMmain::QvGenChModeChange(TQvGen4Channel&, bool) {}

void TDMmain::QvGenGenResponseWait(TQvGen4&) {}

void TDMmain::OldQvGenOverModulation(TQvGen4Channel& Channel, double Amplitude) {
    if (!FrameChA || !FrameChB) {
        return;
    }
    const bool tuning = Channel.Mode() == QGMdC_tuning;
    const QString caption =
        tuning ? QStringLiteral("Ручная подстройка") : QStringLiteral("Внешняя модуляция");
    const QString text = (tuning ? QStringLiteral("Возможно переполнение регистра амплитуды.")
                                 : QStringLiteral("Обнаружено наличие перемодуляции.")) +
                         QStringLiteral("\nИсправить уровень сигнала?");
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No,
                    FrameChA->window());
    box.setObjectName(QStringLiteral("msgOverModulation"));
    if (box.exec() == QMessageBox::Yes) {
        Channel.Set_sinAmplitude(Amplitude);
        PanelOf(Channel)->ShowSineParams();
    }
}

QString TDMmain::HelpPage(int Context) const {
    switch (Context) {
    case 2001:
        return QStringLiteral("channel.html");
    case 2002:
        return QStringLiteral("carrier.html");
    case 2003:
        return QStringLiteral("tuning.html");
    case 2004:
        return QStringLiteral("intmod.html");
    case 2005:
        return QStringLiteral("extmod.html");
    case 2006:
        return QStringLiteral("sweep.html");
    case 2007:
        return QStringLiteral("keying.html");
    case 2010:
        return QStringLiteral("options.html");
    case 2020:
        return QStringLiteral("mainwindow.html");
    default:
        return QStringLiteral("index.html");
    }
}

void TDMmain::OpenHelpPage(const QString& Page) {
    const QString dir = FSetup.HelpDir.isEmpty()
                            ? QDir(QCoreApplication::applicationDirPath()).filePath("help")
                            : FSetup.HelpDir;
    OpenUrl(QUrl::fromLocalFile(QDir(dir).filePath(Page)));
}

void TDMmain::OpenUrl(const QUrl& Url) const {
    if (FSetup.OpenUrl) {
        FSetup.OpenUrl(Url);
    } else {
        QDesktopServices::openUrl(Url);
    }
}

bool TDMmain::ApplicationEventsMainHelp(int Command, long Data, bool& CallDefault) {
    CallDefault = false;
    switch (Command) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
        OpenHelpPage(HelpPage(static_cast<int>(Data)));
        return true;
    case HELP_QUIT:
        // The pages live in the desktop's browser, which is not ours to close.
        return true;
    case HELP_SETPOPUP_POS:
        return false;
    default:
        OpenHelpPage(HelpPage(0));
        return true;
    }
}
