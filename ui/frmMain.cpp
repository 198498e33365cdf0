#include "frmMain.h"

#include "About.h"
#include "QvApplication.h"
#include "QvRoutines.h"
#include "chframe.h"
#include "options.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QAction* MakeAction(QObject* Owner, const char* Name, const QString& Caption,
                    const QString& ShortHint = {}, const QString& LongHint = {}) {
    auto* action = new QAction(Caption, Owner);
    action->setObjectName(QString::fromLatin1(Name));
    if (!ShortHint.isEmpty()) {
        action->setToolTip(ShortHint);
    }
    // A hint without a long part shows whole in the status bar as well.
    action->setStatusTip(LongHint.isEmpty() ? ShortHint : LongHint);
    return action;
}

// The settings of one panel that the window's form gives it.
void SetUpPanel(TframeCh& Panel, char Letter, int NameColor, int PanelColor,
                const QKeySequence& Shortcut) {
    const QString letter{QLatin1Char(Letter)};
    Panel.chBox_ChOpen->setText(QStringLiteral("Канал ") + letter);
    Panel.SetNameTextColor(NameColor);
    Panel.cxEdStyle_Channel.Color = PanelColor;
    Panel.actCh_SetMode->setText(QStringLiteral("Выход канала &") + letter);
    Panel.actCh_SetMode->setShortcut(Shortcut);
    Panel.pgCtrlChModes->setCurrentIndex(TframeCh::PageNone);
}

} // namespace

TfrmMain::TfrmMain(TDMmain& DM_, QWidget* Parent) : QMainWindow(Parent), DM(DM_), QvGen(DM_.QvGen) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(TQvApplication::Title));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetHelpContext(this, 2020);

    ImgListMain = {QIcon(QStringLiteral(":/icons/connect.png")),
                   QIcon(QStringLiteral(":/icons/disconnect.png")),
                   QIcon(QStringLiteral(":/icons/options.png")),
                   QIcon(QStringLiteral(":/icons/update.png"))};

    act_GenConnect =
        MakeAction(this, "act_GenConnect", QStringLiteral("Подключиться"),
                   QStringLiteral("Подключиться"), QStringLiteral("Подключение к генератору"));
    act_GenConnect->setIcon(ImgListMain[0]);
    act_GenDisconnect =
        MakeAction(this, "act_GenDisconnect", QStringLiteral("Отключиться"),
                   QStringLiteral("Отключиться"), QStringLiteral("Отключение от генератора"));
    act_GenDisconnect->setIcon(ImgListMain[1]);
    act_OptionsSet = MakeAction(
        this, "act_OptionsSet", QStringLiteral("Параметры..."), QStringLiteral("Параметры"),
        QStringLiteral("Открытие диалогового окна для настройки параметров приложения"));
    act_OptionsSet->setIcon(ImgListMain[2]);
    act_UpdateChls =
        MakeAction(this, "act_UpdateChls", QStringLiteral("Обновить"), QStringLiteral("Обновить"),
                   QStringLiteral("Обновление параметров каналов генератора"));
    act_UpdateChls->setIcon(ImgListMain[3]);
    actOnHelpContext = MakeAction(this, "actOnHelpContext", QStringLiteral("Содержание..."));
    actOnHelpContext->setShortcut(QKeySequence(Qt::Key_F1));
    act_TzwebPage = MakeAction(this, "act_TzwebPage", QStringLiteral("Домашняя страница"));
    actHelpContents = MakeAction(this, "actHelpContents", QStringLiteral("&Содержание"),
                                 QStringLiteral("Help Contents"));
    miExit = MakeAction(this, "miExit", QStringLiteral("В&ыход"));
    miHelpAbout = MakeAction(this, "miHelpAbout", QStringLiteral("&О программе..."));
    addAction(actOnHelpContext);

    connect(act_GenConnect, &QAction::triggered, this,
            Guarded([this](bool) { SetGenConnection(true); }));
    connect(act_GenDisconnect, &QAction::triggered, this,
            Guarded([this](bool) { SetGenConnection(false); }));
    connect(act_OptionsSet, &QAction::triggered, this,
            Guarded([this](bool) { act_OptionsSetExecute(); }));
    connect(act_UpdateChls, &QAction::triggered, this,
            Guarded([this](bool) { act_UpdateChlsExecute(); }));
    connect(actOnHelpContext, &QAction::triggered, this,
            Guarded([this](bool) { actOnHelpContextExecute(); }));
    connect(act_TzwebPage, &QAction::triggered, this,
            Guarded([this](bool) { act_TzwebPageExecute(); }));
    connect(actHelpContents, &QAction::triggered, this,
            Guarded([this](bool) { actHelpContentsExecute(); }));
    connect(miExit, &QAction::triggered, this, Guarded([this](bool) { miExitClick(); }));
    connect(miHelpAbout, &QAction::triggered, this, Guarded([this](bool) { miHelpAboutClick(); }));

    // Tool bar: connect, disconnect | options | update ... logo.
    ToolBarMain = new QToolBar(QStringLiteral("ToolBarMain"));
    ToolBarMain->setObjectName(QStringLiteral("ToolBarMain"));
    ToolBarMain->setMovable(false);
    ToolBarMain->setFloatable(false);
    ToolBarMain->setFixedHeight(33);
    ToolBarMain->setIconSize(QSize(18, 18));
    ToolBarMain->addAction(act_GenConnect);
    ToolBarMain->addAction(act_GenDisconnect);
    ToolBarMain->addSeparator();
    ToolBarMain->addAction(act_OptionsSet);
    ToolBarMain->addSeparator();
    for (QAction* a : {act_GenConnect, act_GenDisconnect, act_OptionsSet}) {
        if (QWidget* w = ToolBarMain->widgetForAction(a)) {
            w->setFixedSize(25, 25);
        }
    }
    btnGenUpdate = new QToolButton;
    btnGenUpdate->setObjectName(QStringLiteral("btnGenUpdate"));
    btnGenUpdate->setDefaultAction(act_UpdateChls);
    btnGenUpdate->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btnGenUpdate->setFixedSize(86, 25);
    btnGenUpdate->setFocusPolicy(Qt::StrongFocus);
    ToolBarMain->addWidget(btnGenUpdate);
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBarMain->addWidget(spacer);
    // A push button: the tool bar would shrink a tool button's picture to its own icon size.
    btnTzweb = new QPushButton;
    btnTzweb->setObjectName(QStringLiteral("btnTzweb"));
    btnTzweb->setIcon(QIcon(QStringLiteral(":/pictures/logo.png")));
    btnTzweb->setIconSize(QSize(83, 28));
    btnTzweb->setFixedSize(87, 32);
    btnTzweb->setFocusPolicy(Qt::NoFocus);
    btnTzweb->setFlat(true);
    btnTzweb->setToolTip(QStringLiteral("Домашняя страница"));
    btnTzweb->setAccessibleName(QStringLiteral("Домашняя страница"));
    connect(btnTzweb, &QPushButton::clicked, this, Guarded([this](bool) { btnTzwebClick(); }));
    ToolBarMain->addWidget(btnTzweb);
    addToolBar(Qt::TopToolBarArea, ToolBarMain);

    // Channel panels side by side.
    pnlChannels = new QWidget;
    pnlChannels->setObjectName(QStringLiteral("pnlChannels"));
    pnlChA = new QWidget(pnlChannels);
    pnlChA->setObjectName(QStringLiteral("pnlChA"));
    pnlChB = new QWidget(pnlChannels);
    pnlChB->setObjectName(QStringLiteral("pnlChB"));
    frameChA = new TframeCh(pnlChA);
    frameChA->setObjectName(QStringLiteral("frameChA"));
    frameChB = new TframeCh(pnlChB);
    frameChB->setObjectName(QStringLiteral("frameChB"));
    for (auto [pnl, frame] : {std::pair{pnlChA, frameChA}, std::pair{pnlChB, frameChB}}) {
        auto* fill = new QVBoxLayout(pnl);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(frame);
    }
    auto* sides = new QHBoxLayout(pnlChannels);
    sides->setContentsMargins(0, 0, 0, 0);
    sides->setSpacing(0);
    sides->addWidget(pnlChA);
    sides->addWidget(pnlChB);
    pnlChannels->setFixedSize(640, 451);
    setCentralWidget(pnlChannels);
    SetUpPanel(*frameChA, 'A', 192, 12632319, QKeySequence(Qt::Key_F2));
    SetUpPanel(*frameChB, 'B', 12582912, 16761024, QKeySequence(Qt::Key_F3));

    // Menu.
    menuBar()->setObjectName(QStringLiteral("mnuMain"));
    QMenu* miGen = menuBar()->addMenu(QStringLiteral("&Генератор"));
    miGen->setObjectName(QStringLiteral("miGen"));
    miGen->addAction(act_GenConnect);
    miGen->addAction(act_GenDisconnect);
    miGen->addSeparator();
    miGen->addAction(act_OptionsSet);
    miGen->addSeparator();
    miGen->addAction(miExit);
    QMenu* miChannel = menuBar()->addMenu(QStringLiteral("&Канал"));
    miChannel->setObjectName(QStringLiteral("miChannel"));
    miChannel->addAction(frameChA->actCh_SetMode);
    miChannel->addAction(frameChB->actCh_SetMode);
    miChannel->addSeparator();
    miChannel->addAction(act_UpdateChls);
    QMenu* miHelp = menuBar()->addMenu(QStringLiteral("&Справка"));
    miHelp->setObjectName(QStringLiteral("miHelp"));
    miHelp->addAction(actHelpContents);
    miHelp->addSeparator();
    miHelp->addAction(act_TzwebPage);
    miHelp->addSeparator();
    miHelp->addAction(miHelpAbout);

    // Status bar: hints while the mouse is over a control, the device otherwise.
    setStatusBar(new QStatusBar);
    statusBar()->setObjectName(QStringLiteral("StatBarMain"));
    statusBar()->setSizeGripEnabled(false);
    lblDevice = new QLabel;
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    statusBar()->addWidget(lblDevice, 1);

    connect(&DM, &TDMmain::GenActiveChanged, this, [this] {
        act_GenConnectUpdate();
        act_GenDisconnectUpdate();
        UpdateDeviceStatus();
    });
    connect(&DM, &TDMmain::DeviceChanged, this, &TfrmMain::UpdateDeviceStatus);

    FormCreate();
    setFixedSize(640, menuBar()->sizeHint().height() + 33 + 451 + statusBar()->sizeHint().height());
}

TfrmMain::~TfrmMain() {
    // Events raised while the rest shuts down must not reach the panels.
    DM.FrameChA = nullptr;
    DM.FrameChB = nullptr;
}

void TfrmMain::FormCreate() {
    frameChA->cxEdStyle_Channel.Base = &DM.cxEdStyle_ChA;
    frameChB->cxEdStyle_Channel.Base = &DM.cxEdStyle_ChB;
    btnGenUpdate->setIcon(ImgListMain[3]);
    const int half = pnlChannels->width() / 2;
    pnlChA->setFixedWidth(half);
    pnlChB->setFixedWidth(pnlChannels->width() - half);

    frameChA->DM = &DM;
    frameChB->DM = &DM;
    frameChA->Channel = &QvGen.ChA;
    frameChB->Channel = &QvGen.ChB;
    DM.FrameChA = frameChA;
    DM.FrameChB = frameChB;
    frameChA->ChLetter = 'A';
    frameChB->ChLetter = 'B';
    frameChA->InitPanel();
    frameChB->InitPanel();
    for (TframeCh* frame : {frameChA, frameChB}) {
        frame->OnChSetMode = [this](TframeCh& p) { ChFrameSetMode(p); };
        frame->OnLFMmodePrep = [this](TframeCh& p) { ChLFMmodePrep(p); };
        frame->OnIntModApplied = [this](TframeCh& p) { ChIntModDuplexSync(p); };
    }
    act_GenConnectUpdate();
    act_GenDisconnectUpdate();
    UpdateDeviceStatus();
    if (DM.optAutoConnect && DM.optAutoConnect->Value()) {
        SetGenConnection(true);
    }
}

void TfrmMain::SetGenConnection(bool On) {
    QvGen.SetActive(On);
    if (QvGen.Active() == On) {
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Подключение к устройству"),
                    QStringLiteral("Невозможно %1ключить генератор!")
                        .arg(On ? QStringLiteral("в") : QStringLiteral("вы")),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("msgConnection"));
    box.exec();
}

void TfrmMain::UpdateGenChannels() {
    WithUpdateSuspended(QvGen, [this] {
        frameChA->ApplyToChannel();
        frameChB->ApplyToChannel();
    });
}

void TfrmMain::act_GenConnectUpdate() {
    act_GenConnect->setEnabled(!QvGen.Active());
}

void TfrmMain::act_GenDisconnectUpdate() {
    act_GenDisconnect->setEnabled(QvGen.Active());
}

void TfrmMain::UpdateDeviceStatus() {
    lblDevice->setText(QStringLiteral("Устройство: %1, %2")
                           .arg(QString::fromUtf8(DeviceCaption(DM.Device())),
                                QvGen.Active() ? QStringLiteral("подключено")
                                               : QStringLiteral("нет подключения")));
}

void TfrmMain::miExitClick() {
    SetGenConnection(false);
    close();
}

void TfrmMain::act_UpdateChlsExecute() {
    QWidget* focused = focusWidget();
    // A field being typed in commits its text (and normalises its separator) first.
    QLineEdit* edit = qobject_cast<QLineEdit*>(focused);
    if (auto* combo = qobject_cast<QComboBox*>(focused)) {
        edit = combo->lineEdit();
    }
    if (edit) {
        emit edit->editingFinished();
    }
    btnGenUpdate->setFocus();
    UpdateGenChannels();
    if (focused) {
        focused->setFocus();
    }
}

void TfrmMain::act_OptionsSetExecute() {
    if (!frmOptions) {
        return;
    }
    frmOptions->OptionsToControls(false);
    if (frmOptions->exec() == QDialog::Accepted) {
        frmOptions->ControlsToOptions(true);
        frameChA->ApplyColorOptions(false);
        frameChB->ApplyColorOptions(false);
    }
}

void TfrmMain::ChFrameSetMode(TframeCh&) {
    const bool sweepA = frameChA->cmbBoxChMode->currentIndex() == TframeCh::ItemLFM;
    if (sweepA) {
        frameChA->pgCtrlChModes->setCurrentIndex(TframeCh::PageLFMm);
    }
    if (frameChB->cmbBoxChMode->currentIndex() == TframeCh::ItemLFM) {
        frameChB->pgCtrlChModes->setCurrentIndex(sweepA ? TframeCh::PageLFMd : TframeCh::PageLFMm);
    }
}

void TfrmMain::ChLFMmodePrep(TframeCh& Panel) {
    if (&Panel == frameChB) {
        frameChA->PrepareLFM();
    }
}

void TfrmMain::ChIntModDuplexSync(TframeCh& Panel) {
    if (&Panel == frameChA && QvGen.Options.EnableDuplexIntMod()) {
        frameChB->SelectIntModSilently();
    }
}

void TfrmMain::miHelpAboutClick() {
    TfrmAbout about(this);
    about.exec();
}

void TfrmMain::act_TzwebPageExecute() {
    DM.OpenUrl(QUrl(QString::fromLatin1(HomePageUrl)));
}

void TfrmMain::btnTzwebClick() {
    act_TzwebPage->trigger();
    btnGenUpdate->setFocus();
}

void TfrmMain::actHelpContentsExecute() {
    bool callDefault = false;
    DM.ApplicationEventsMainHelp(TDMmain::HELP_CONTENTS, 0, callDefault);
}

void TfrmMain::actOnHelpContextExecute() {
    // F1: the help of the focused control's context, else of the window.
    const int context = HelpContextOf(focusWidget() ? focusWidget() : this);
    bool callDefault = false;
    DM.ApplicationEventsMainHelp(TDMmain::HELP_CONTEXT, context ? context : 2020, callDefault);
}

void TfrmMain::keyPressEvent(QKeyEvent* Event) {
    // Enter that no control used runs the default button.
    if ((Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) &&
        (Event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        act_UpdateChls->trigger();
        return;
    }
    QMainWindow::keyPressEvent(Event);
}
