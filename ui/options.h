// The options dialog: connecting at start, the device, the reference clock and the panel
// colours. The main window fills it from the options before showing it and, after OK, has it
// write the options back, apply them to the generator and save them.
#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TDMmain;
class TfrmMain;
class TQvColorBox;

class TfrmOptions final : public QDialog {
    Q_OBJECT
public:
    TfrmOptions(TDMmain& DM, TfrmMain& Main, QWidget* Parent = nullptr);

    void OptionsToControls(bool Reload);
    void ControlsToOptions(bool Save);
    void UpdateGenFreqLabel();

    // The multiplier that brings a reference of RefFreq MHz nearest to 400 MHz without passing
    // 410 MHz, within 4 to 20.
    static int FreqScaleFor(double RefFreq);

    QWidget* pnlCategrs;
    QWidget* pnlOptions;
    QWidget* pnlOkCancelButtons;
    QTreeWidget* treeViewCategrs;
    QLabel* lblSection;
    QStackedWidget* pgCtrlSections;
    std::array<QWidget*, 4> Pages{};
    QCheckBox* ChBox_gen_UseExtRefFreq;
    QGroupBox* grpBox_RefFreq;
    QLineEdit* edt_RefFreq;
    QSpinBox* edtFreqScale;
    QLabel* lblGenFreq;
    QCheckBox* chBox_comn_AutoConnect;
    QGroupBox* grpBox_Device;
    QRadioButton* rdBtn_dev_USB;
    QRadioButton* rdBtn_dev_Virtual;
    TQvColorBox* clrBox_clr_chA_NameText;
    TQvColorBox* clrBox_clr_chA_On;
    TQvColorBox* clrBox_clr_chA_Off;
    TQvColorBox* clrBox_clr_chB_NameText;
    TQvColorBox* clrBox_clr_chB_On;
    TQvColorBox* clrBox_clr_chB_Off;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    bool event(QEvent* Event) override;

private:
    void FormCreate();
    void treeViewCategrsChange(QTreeWidgetItem* Node);
    void pgCtrlSectionsChange();
    void ChBox_gen_UseExtRefFreqPropertiesChange();
    void edt_RefFreqPropertiesEditValueChanged();
    void edtFreqScalePropertiesChange();
    void ShowContextHelp();

    TDMmain& DM;
    TfrmMain& Main;
    // The reference-frequency text the multiplier was last computed from (or that the options
    // put there): leaving the field without changing it keeps the multiplier as it is.
    QString FRefFreqTaken;
};
