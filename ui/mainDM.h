// The data module: the generator, the application options and their INI file, the panel styles
// and input masks, the answers to the generator's events, and help. Every window uses it.
#pragma once

#include "QvAppOptionsRepository.h"
#include "QvDevice.h"
#include "QvGen4.h"

#include <QColor>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

class TframeCh;

// Writes many values with the generator's automatic update suspended; switching it back on runs
// one update cycle with all of them. When a write fails (a field that is no number), the update
// is switched back on all the same, so that the generator is not left deaf to later changes and
// a connection made later still programs the instrument.
template <class F> void WithUpdateSuspended(TQvGen4& Gen, F&& Write) {
    Gen.SetAutoUpdate(false);
    try {
        Write();
    } catch (...) {
        Gen.SetAutoUpdate(true);
        throw;
    }
    Gen.SetAutoUpdate(true);
}

// The colours an editor style gives the controls it styles. A style with a base takes its
// disabled colour from the base.
struct TQvEdStyle {
    int Color = 0;         // 0x00BBGGRR
    int DisabledColor = 0; // 0x00BBGGRR; used only when there is no base
    const TQvEdStyle* Base = nullptr;
    int FontPixelSize = 12;

    int EffectiveDisabledColor() const { return Base ? Base->DisabledColor : DisabledColor; }
};

// What the entry point (or a test) decides before the data module starts.
struct TDMmainSetup {
    QString IniPath;                         // empty: QvVantor.ini at its usual place
    std::optional<TQvDevice> DeviceOverride; // --virtual: this run only, the INI file untouched
    std::shared_ptr<std::FILE> TraceLog;     // --trace: every link write is logged here
    QString HelpDir;                         // empty: "help" beside the executable
    // Tests put fakes here; empty means the real ones.
    std::function<std::unique_ptr<TQvGen4Link>(TQvDevice)> LinkFactory;
    std::function<std::unique_ptr<TQvGen4TickSource>()> TickFactory;
    TQvGen4TimerFactory TimerFactory;
    std::function<bool(const QUrl&)> OpenUrl;
};

class TDMmain final : public QObject {
    Q_OBJECT
public:
    explicit TDMmain(TDMmainSetup Setup, QObject* Parent = nullptr);
    ~TDMmain() override;

    // Input masks of the decimal fields (both separators allowed, empty text allowed).
    static const QRegularExpression cxEdRep_ChMask_FreqInMHz;
    static const QRegularExpression cxEdRep_ChMask_TimeInMilliSec;
    static const QRegularExpression cxEdRep_ChMask_PhaseInGrade;
    static const QRegularExpression cxEdRep_ChMask_RdsCnt;

    // Help contexts and the commands the help event understands.
    enum : int {
        HELP_CONTEXT = 1,
        HELP_QUIT = 2,
        HELP_CONTENTS = 3,
        HELP_HELPONHELP = 4,
        HELP_CONTEXTPOPUP = 8,
        HELP_FINDER = 11,
        HELP_SETPOPUP_POS = 13,
    };

    static QString DefaultIniPath();

    void ApplyGenOptions();

    // Generator events.
    void QvGenChangeActiveState(TQvGen4& Sender);
    void QvGenAfterUpdate(TQvGen4& Sender);
    void QvGenADCTimer(TQvGen4Channel& Channel);
    void QvGenChModeChange(TQvGen4Channel& Channel, bool ByCompat);
    void QvGenGenResponseWait(TQvGen4& Sender);
    void OldQvGenOverModulation(TQvGen4Channel& Channel, double Amplitude);

    // The application's help event; false when the request is refused.
    bool ApplicationEventsMainHelp(int Command, long Data, bool& CallDefault);
    // The page a help context opens (the contents for an unknown one).
    QString HelpPage(int Context) const;
    // Opens an address in the desktop's browser.
    void OpenUrl(const QUrl& Url) const;

    // The device in use: the --virtual choice for this run, else Common/Device.
    TQvDevice Device() const;
    // Chooses the device from the options dialog: stored in Common/Device, the run's override
    // dropped, and the link exchanged (reconnecting when the generator was connected).
    void SetDevice(TQvDevice Device);
    // The device stored in Common/Device.
    TQvDevice StoredDevice() const;

    // Not owning; set by the main window while its panels exist.
    TframeCh* FrameChA = nullptr;
    TframeCh* FrameChB = nullptr;

    // Styles of the channel panels: the common editor style and one per channel based on it.
    TQvEdStyle cxEdStyleCtrlMain{0, 0, nullptr, 12};
    TQvEdStyle cxEdStyle_ChA{12632319, 13816556, nullptr, 12};
    TQvEdStyle cxEdStyle_ChB{16761024, 15520466, nullptr, 12};

    // Declared first: destroyed last, after the options are saved; its destruction sends the
    // reset frame and closes the link.
    TQvGen4 QvGen;

    // After the generator: destroyed before it. The panels register their colours here too.
    TQvAppOptionsRepository QvAppOptionsRep;

private:
    // Destroyed first: the options leave the repository before it goes.
    TQvAppOptionOwner FOptionOwner;

public:
    // Application options, registered with QvAppOptionsRep by DataModuleCreate.
    TQvAppBoolOption* optAutoConnect = nullptr; // Common/AutoConnect: connect at start
    TQvAppDblOption* optRefFreq = nullptr;      // Gen/RefFreq, MHz
    TQvAppIntOption* optFreqScale = nullptr;    // Gen/FreqScale
    TQvAppBoolOption* optUseExtFreq = nullptr;  // Gen/UseExtFreq: external reference
    TQvAppStrOption* optDevice = nullptr;       // Common/Device: "usb" or "virtual"

    QString IniPath() const { return FIniPath; }

signals:
    // The generator connected or disconnected (or failed to).
    void GenActiveChanged();
    // The device in use changed.
    void DeviceChanged();

private:
    void DataModuleCreate();
    void DataModuleDestroy();
    void LoadStoredGenValues();
    std::unique_ptr<TQvGen4Link> MakeLink(TQvDevice Device) const;
    TframeCh* PanelOf(const TQvGen4Channel& Channel) const;
    void OpenHelpPage(const QString& Page);

    TDMmainSetup FSetup;
    QString FIniPath;
};
