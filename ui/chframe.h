// The panel of one output channel: the output switch, the carrier (frequency, level, phase), the
// mode selector and one page per mode. It writes into its channel object with automatic update
// suspended and then lets the generator run one update cycle; after every cycle it shows what
// the channel really holds, so refused values reappear as the values the channel kept.
#pragma once

#include "mainDM.h"

#include <QFrame>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QWidget;

class TframeCh final : public QFrame {
    Q_OBJECT
public:
    using TPanelEvent = std::function<void(TframeCh& Panel)>;

    explicit TframeCh(QWidget* Parent = nullptr);
    ~TframeCh() override;

    // Pages of pgCtrlChModes.
    enum TPage : int {
        PageNone = 0,
        PageTuner = 1,
        PageIntMod = 2,
        PageExtMod = 3,
        PageLFMm = 4,
        PageLFMd = 5,
        PageXSK = 6,
    };
    // Items of cmbBoxChMode.
    enum TModeItem : int {
        ItemNone = 0,
        ItemTuner = 1,
        ItemIntMod = 2,
        ItemExtMod = 3,
        ItemLFM = 4,
        ItemXSK = 5,
    };

    void InitPanel();
    void ApplyToChannel();
    void UpdateGenChannel();
    void UpdateOutputState();
    void RefreshAfterUpdate();
    void ShowSineParams();
    void ApplyPanelColor();
    void ApplyColorOptions(bool Reload);
    void SelectIntModSilently();
    void SetModeFromSelector();
    void ShowModePage();
    void EnableSineEdits(bool Enabled);
    void ShowADCValue();
    void PrepareLFM();

    bool IsChannelA() const;

    // Not owned; set by the main window before InitPanel.
    TQvGen4Channel* Channel = nullptr;
    TDMmain* DM = nullptr;
    bool ReactOnChange = true;
    TPanelEvent OnChSetMode;
    TPanelEvent OnLFMmodePrep;
    TPanelEvent OnIntModApplied;
    char ChLetter = 'A';

    // Colour options (0x00BBGGRR) under "ChA" or "ChB", registered by InitPanel: the channel
    // name, the panel with the output on and off.
    TQvAppColorOption* optNameTextClr = nullptr;
    TQvAppColorOption* optOnColor = nullptr;
    TQvAppColorOption* optOffColor = nullptr;

    // The panel colour; its base (the data module's style of the channel) gives the disabled
    // colour.
    TQvEdStyle cxEdStyle_Channel;

    QAction* actCh_SetMode;
    QCheckBox* chBox_ChOpen;
    QGroupBox* grBoxChParams;
    QGroupBox* GrpBox_Sinus;
    QLineEdit* edtFreq;
    QComboBox* edtAmpl;
    QLineEdit* edtPhase;
    QComboBox* cmbBoxChMode;
    QStackedWidget* pgCtrlChModes;
    std::array<QWidget*, 7> Pages{};

    // The colour the name of the channel is drawn in (0x00BBGGRR).
    int NameTextColor() const { return FNameTextColor; }
    void SetNameTextColor(int Color);

private:
    void actCh_SetModeExecute();
    void cmbBoxChModePropertiesChange();
    void edtTextValidate(QLineEdit* Edit);
    void SetSelectorSilently(int Item);

    int FNameTextColor = 0;
    TQvAppOptionOwner FOptionOwner;
};
