// The main window: menu, tool bar, status bar and the two channel panels. It binds the panels to
// the generator's channels, connects and disconnects, writes both panels on "Обновить", opens the
// options dialog and the About box, and keeps the panels consistent where one channel's mode
// depends on the other's.
#pragma once

#include "mainDM.h"

#include <QMainWindow>

#include <array>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QPushButton;
class QToolButton;
class TframeCh;
class TfrmOptions;

class TfrmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(TDMmain& DM, QWidget* Parent = nullptr);
    ~TfrmMain() override;

    void SetGenConnection(bool On);
    void UpdateGenChannels();

    // Panel hooks.
    void ChFrameSetMode(TframeCh& Panel);
    void ChLFMmodePrep(TframeCh& Panel);
    void ChIntModDuplexSync(TframeCh& Panel);

    // The maker's home page.
    static constexpr const char* HomePageUrl = "https://sivalon.example/";

    TDMmain& DM;
    TQvGen4& QvGen;
    // Set by the entry point once the dialog exists.
    TfrmOptions* frmOptions = nullptr;

    QToolBar* ToolBarMain;
    QToolButton* btnGenUpdate;
    QPushButton* btnTzweb;
    QWidget* pnlChannels;
    QWidget* pnlChA;
    QWidget* pnlChB;
    TframeCh* frameChA;
    TframeCh* frameChB;
    QLabel* lblDevice;
    std::array<QIcon, 4> ImgListMain;

    QAction* act_GenConnect;
    QAction* act_GenDisconnect;
    QAction* act_OptionsSet;
    QAction* act_UpdateChls;
    QAction* actOnHelpContext;
    QAction* act_TzwebPage;
    QAction* actHelpContents;
    QAction* miExit;
    QAction* miHelpAbout;

protected:
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void FormCreate();
    void act_GenConnectUpdate();
    void act_GenDisconnectUpdate();
    void UpdateDeviceStatus();
    void miExitClick();
    void act_UpdateChlsExecute();
    void act_OptionsSetExecute();
    void miHelpAboutClick();
    void act_TzwebPageExecute();
    void btnTzwebClick();
    void actHelpContentsExecute();
    void actOnHelpContextExecute();
};
