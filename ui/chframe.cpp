#include "chframe.h"

#include "QvApplication.h"
#include "QvRoutines.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

struct TPageInfo {
    const char* Name;
    int HelpContext;
    const char* Caption;
};

constexpr std::array<TPageInfo, 7> PageInfo{{
    {"tabSh_None", 0, nullptr},
    {"tabSh_Tuner", 2003, "Ручная подстройка"},
    {"tabSh_IntMod", 2004, "Внутренняя модуляция"},
    {"tabSh_ExtMod", 2005, "Модуляция внешним сигналом"},
    {"tabSh_LFMm", 2006, "ЛЧМ"},
    {"tabSh_LFMd", 2006, "Синхронная ЛЧМ"},
    {"tabSh_xSK", 2007, "xSK"},
}};

// The page each selector item shows; the sweep item leaves the choice of its page to the main
// window (single or synchronised sweep).
constexpr std::array<int, 6> PageOfItem{TframeCh::PageNone,   TframeCh::PageTuner,
                                        TframeCh::PageIntMod, TframeCh::PageExtMod,
                                        TframeCh::PageNone,   TframeCh::PageXSK};

QLabel* AddField(QGridLayout* Grid, int Row, const QString& Caption, QWidget* Field,
                 const QString& Unit, const char* LabelName) {
    auto* label = new QLabel(Caption);
    label->setObjectName(QString::fromLatin1(LabelName));
    label->setBuddy(Field);
    Field->setAccessibleName(Caption);
    Grid->addWidget(label, Row, 0);
    Grid->addWidget(Field, Row, 1);
    if (!Unit.isEmpty()) {
        Grid->addWidget(new QLabel(Unit), Row, 2);
    }
    return label;
}

void SetBackground(QWidget* Widget, const QColor& Color) {
    QPalette pal = Widget->palette();
    pal.setColor(QPalette::Window, Color);
    pal.setColor(QPalette::Button, Color);
    Widget->setPalette(pal);
    Widget->setBackgroundRole(QPalette::Window);
    Widget->setAutoFillBackground(true);
}

} // namespace

TframeCh::TframeCh(QWidget* Parent) : QFrame(Parent) {
    QFont editorFont = font();
    editorFont.setPixelSize(12);
    setFont(editorFont);
    SetHelpContext(this, 2001);

    actCh_SetMode = new QAction(QStringLiteral("Канал"), this);
    actCh_SetMode->setObjectName(QStringLiteral("actCh_SetMode"));
    actCh_SetMode->setCheckable(true);
    actCh_SetMode->setToolTip(QStringLiteral("Выход канала"));
    actCh_SetMode->setStatusTip(QStringLiteral("Управление состоянием выхода канала"));
    actCh_SetMode->setProperty("category", QStringLiteral("Channel"));
    connect(actCh_SetMode, &QAction::triggered, this,
            Guarded([this](bool) { actCh_SetModeExecute(); }));

    chBox_ChOpen = new QCheckBox(QStringLiteral("Канал"));
    chBox_ChOpen->setObjectName(QStringLiteral("chBox_ChOpen"));
    QFont big = chBox_ChOpen->font();
    big.setPixelSize(19);
    chBox_ChOpen->setFont(big);
    chBox_ChOpen->setToolTip(actCh_SetMode->toolTip());
    chBox_ChOpen->setStatusTip(actCh_SetMode->statusTip());
    SetHelpContext(chBox_ChOpen, 2001);
    // The box is the action's face: a click runs the action, the action's state shows here.
    connect(chBox_ChOpen, &QCheckBox::clicked, this, [this](bool) {
        chBox_ChOpen->setChecked(actCh_SetMode->isChecked());
        actCh_SetMode->trigger();
    });
    connect(actCh_SetMode, &QAction::toggled, chBox_ChOpen, &QCheckBox::setChecked);

    grBoxChParams = new QGroupBox(QStringLiteral(" "));
    grBoxChParams->setObjectName(QStringLiteral("grBoxChParams"));
    SetHelpContext(grBoxChParams, 2001);

    GrpBox_Sinus = new QGroupBox(QStringLiteral("Синус"));
    GrpBox_Sinus->setObjectName(QStringLiteral("GrpBox_Sinus"));
    SetHelpContext(GrpBox_Sinus, 2002);

    edtFreq = new QLineEdit(QStringLiteral("1"));
    edtFreq->setObjectName(QStringLiteral("edtFreq"));
    edtFreq->setValidator(
        new QRegularExpressionValidator(TDMmain::cxEdRep_ChMask_FreqInMHz, edtFreq));

    edtAmpl = new QComboBox;
    edtAmpl->setObjectName(QStringLiteral("edtAmpl"));
    edtAmpl->setEditable(true);
    edtAmpl->setInsertPolicy(QComboBox::NoInsert);
    edtAmpl->addItems({QStringLiteral("0"), QStringLiteral("-3"), QStringLiteral("-6"),
                       QStringLiteral("-10"), QStringLiteral("-20")});
    edtAmpl->setCurrentText(QStringLiteral("0"));

    edtPhase = new QLineEdit(QStringLiteral("0"));
    edtPhase->setObjectName(QStringLiteral("edtPhase"));
    edtPhase->setValidator(
        new QRegularExpressionValidator(TDMmain::cxEdRep_ChMask_PhaseInGrade, edtPhase));

    for (QLineEdit* edit : {edtFreq, edtAmpl->lineEdit(), edtPhase}) {
        connect(edit, &QLineEdit::editingFinished, this,
                Guarded([this, edit] { edtTextValidate(edit); }));
    }

    auto* sinus = new QGridLayout(GrpBox_Sinus);
    AddField(sinus, 0, QStringLiteral("Несущая частота"), edtFreq, QStringLiteral("МГц"),
             "lblFreq");
    AddField(sinus, 1, QStringLiteral("Уровень сигнала"), edtAmpl, QStringLiteral("dB"), "lblAmpl");
    AddField(sinus, 2, QStringLiteral("Начальная фаза"), edtPhase, QStringLiteral("°"), "lblPhase");
    sinus->setColumnStretch(1, 1);

    cmbBoxChMode = new QComboBox;
    cmbBoxChMode->setObjectName(QStringLiteral("cmbBoxChMode"));
    cmbBoxChMode->addItems({QStringLiteral("нет"), QStringLiteral("Ручная подстройка"),
                            QStringLiteral("Внутренняя модуляция"),
                            QStringLiteral("Внешняя модуляция"), QStringLiteral("ЛЧМ"),
                            QStringLiteral("xSK")});
    cmbBoxChMode->setCurrentIndex(ItemNone);
    connect(cmbBoxChMode, &QComboBox::currentIndexChanged, this,
            Guarded([this](int) { cmbBoxChModePropertiesChange(); }));

    pgCtrlChModes = new QStackedWidget;
    pgCtrlChModes->setObjectName(QStringLiteral("pgCtrlChModes"));
    pgCtrlChModes->setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i < PageInfo.size(); ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(PageInfo[i].Name));
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        if (PageInfo[i].Caption) {
            SetHelpContext(page, PageInfo[i].HelpContext);
            auto* box = new QGroupBox(QString::fromUtf8(PageInfo[i].Caption));
            box->setObjectName(QStringLiteral("grBox_") +
                               QString::fromLatin1(PageInfo[i].Name).mid(6));
            pageLayout->addWidget(box);
        } else {
            pageLayout->addStretch();
        }
        pgCtrlChModes->addWidget(page);
        Pages[i] = page;
    }
    pgCtrlChModes->setCurrentIndex(PageNone);

    auto* modeRow = new QHBoxLayout;
    auto* modeLabel = new QLabel(QStringLiteral("Режим"));
    modeLabel->setObjectName(QStringLiteral("lblChMode"));
    modeLabel->setBuddy(cmbBoxChMode);
    cmbBoxChMode->setAccessibleName(QStringLiteral("Режим"));
    modeRow->addWidget(modeLabel);
    modeRow->addWidget(cmbBoxChMode, 1);

    auto* params = new QVBoxLayout(grBoxChParams);
    params->addWidget(GrpBox_Sinus);
    params->addLayout(modeRow);
    params->addWidget(pgCtrlChModes, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);
    outer->addWidget(chBox_ChOpen);
    outer->addWidget(grBoxChParams, 1);

    setTabOrder(chBox_ChOpen, edtFreq);
    setTabOrder(edtFreq, edtAmpl);
    setTabOrder(edtAmpl, edtPhase);
    setTabOrder(edtPhase, cmbBoxChMode);

    cxEdStyle_Channel.Color = 12632319;
}

TframeCh::~TframeCh() = default;

bool TframeCh::IsChannelA() const {
    return DM && Channel == &DM->QvGen.ChA;
}

void TframeCh::SetNameTextColor(int Color) {
    FNameTextColor = Color;
    QPalette pal = chBox_ChOpen->palette();
    pal.setColor(QPalette::WindowText, ColorFromBGR(Color));
    pal.setColor(QPalette::ButtonText, ColorFromBGR(Color));
    chBox_ChOpen->setPalette(pal);
}

void TframeCh::InitPanel() {
    const std::string section = std::string("Ch") + ChLetter;
    TQvAppOptionsRepository& rep = DM->QvAppOptionsRep;
    optNameTextClr = rep.AddAppColorOption(FOptionOwner, section, "NameTextClr",
                                           static_cast<TQvColor>(FNameTextColor));
    optOnColor = rep.AddAppColorOption(FOptionOwner, section, "OnColor",
                                       static_cast<TQvColor>(cxEdStyle_Channel.Color));
    optOffColor =
        rep.AddAppColorOption(FOptionOwner, section, "OffColor",
                              static_cast<TQvColor>(cxEdStyle_Channel.EffectiveDisabledColor()));
    ApplyColorOptions(true);
    // The pages' own set-up goes here. It ends with a write pass, which with the output off only
    // keeps the channel off, and which switches the generator's automatic update on for good.
    UpdateGenChannel();
}

void TframeCh::ApplyColorOptions(bool Reload) {
    if (Reload) {
        DM->QvAppOptionsRep.LoadOptions();
    }
    SetNameTextColor(optNameTextClr->GetValue());
    ApplyPanelColor();
}

void TframeCh::ApplyPanelColor() {
    cxEdStyle_Channel.Color = (chBox_ChOpen->isChecked() ? optOnColor : optOffColor)->GetValue();
    const QColor color = ColorFromBGR(cxEdStyle_Channel.Color);
    SetBackground(grBoxChParams, color);
    SetBackground(chBox_ChOpen, color);
}

void TframeCh::SetModeFromSelector() {
    TQvGen4Channel& ch = *Channel;
    switch (cmbBoxChMode->currentIndex()) {
    case ItemNone:
        ch.SetMode(QGMdC_gen);
        break;
    case ItemTuner:
        ch.SetMode(QGMdC_tuning);
        break;
    case ItemIntMod:
        // The storage choice of the modulation page (microcontroller or synthesizer memory)
        // refines this once the page exists; the microcontroller memory is its default.
        ch.SetMode(QGMdC_IntModulation);
        break;
    case ItemExtMod:
        if (IsChannelA() || ch.GetOtherCh().Mode() != QGMdC_ExtModulationAB1) {
            ch.SetMode(QGMdC_ExtModulation);
        }
        break;
    case ItemLFM:
        ch.SetMode(QGMdC_LFM);
        break;
    case ItemXSK:
        // The keying page refines the program (frequency or phase, two or four symbols).
        ch.SetMode(QGMdC_DDSMod);
        ch.DDSMod.SetMode(QGTMs_BxSK);
        break;
    default:
        break;
    }
}

void TframeCh::ApplyToChannel() {
    TQvGen4Channel& ch = *Channel;
    // Channel B follows channel A's external modulation from input 1; its mode is not ours then.
    if (IsChannelA() || ch.Mode() != QGMdC_ExtModulationAB1) {
        if (actCh_SetMode->isChecked()) {
            SetModeFromSelector();
        } else {
            ch.SetMode(QGMdC_off);
        }
    }
    if (ch.Mode() == QGMdC_off) {
        return;
    }
    // In sweep mode the carrier is the sweep's lower frequency, written by the sweep page.
    if (ch.Mode() != QGMdC_LFM) {
        ch.Set_sinFrequency(TQvGen4::Conv_Value(StrToFloat(edtFreq->text()), 1000, 1));
    }
    ch.Set_sinAmplitude(TQvGen4::Conv_AdBToAmpl(StrToFloat(edtAmpl->currentText())));
    ch.SetPhase(StrToFloat(edtPhase->text()));
    // The mode pages write their sub-objects here once they exist.
    ShowSineParams();
}

void TframeCh::UpdateGenChannel() {
    TQvGen4& gen = Channel->Owner();
    WithUpdateSuspended(gen, [this] { ApplyToChannel(); });
}

void TframeCh::UpdateOutputState() {
    // The output cannot be switched on while the generator is disconnected.
    if (!Channel->Owner().Active()) {
        actCh_SetMode->setChecked(false);
    }
    ApplyPanelColor();
    UpdateGenChannel();
}

void TframeCh::actCh_SetModeExecute() {
    UpdateOutputState();
}

void TframeCh::RefreshAfterUpdate() {
    TQvGen4Channel& ch = *Channel;
    EnableSineEdits(true);
    const bool on = ch.Mode() != QGMdC_off;
    if (on != actCh_SetMode->isChecked()) {
        // Only the execute handler writes; setting the checked state does not run it.
        actCh_SetMode->setChecked(on);
        ApplyPanelColor();
    }
    if (!IsChannelA()) {
        const bool follows = ch.Mode() == QGMdC_ExtModulationAB1;
        if (follows) {
            SetSelectorSilently(ItemExtMod);
        }
        cmbBoxChMode->setEnabled(!follows);
        pgCtrlChModes->setEnabled(!follows);
        if (follows) {
            // The parameter that channel A's input modulates is not ours to set.
            switch (ch.GetOtherCh().ExtModulation.Type()) {
            case QGAFPms_freq:
                edtFreq->setEnabled(false);
                break;
            case QGAFPms_ampl:
                edtAmpl->setEnabled(false);
                break;
            case QGAFPms_phase:
                edtPhase->setEnabled(false);
                break;
            }
        }
    }
    if (ch.Mode() == QGMdC_LFM) {
        edtFreq->setEnabled(false);
    }
}

void TframeCh::SetSelectorSilently(int Item) {
    ReactOnChange = false;
    cmbBoxChMode->setCurrentIndex(Item);
    ReactOnChange = true;
}

void TframeCh::SelectIntModSilently() {
    SetSelectorSilently(ItemIntMod);
}

void TframeCh::ShowSineParams() {
    const TQvGen4Channel& ch = *Channel;
    edtFreq->setText(FloatToStr(TQvGen4::Conv_Value(ch.Frequency(), 1, 1000)));
    // Rounded so that a typed "-3" shows "-3" again although the percentage is not exact.
    edtAmpl->setCurrentText(FloatToStr(RoundTo(TQvGen4::Conv_AmplTodB(ch.Amplitude()), -3)));
    edtPhase->setText(FloatToStr(ch.Phase()));
}

void TframeCh::EnableSineEdits(bool Enabled) {
    edtFreq->setEnabled(Enabled);
    edtAmpl->setEnabled(Enabled);
    edtPhase->setEnabled(Enabled);
}

void TframeCh::ShowModePage() {
    const int item = cmbBoxChMode->currentIndex();
    pgCtrlChModes->setCurrentIndex(item >= 0 && item < static_cast<int>(PageOfItem.size())
                                       ? PageOfItem[static_cast<std::size_t>(item)]
                                       : PageNone);
    if (OnChSetMode) {
        OnChSetMode(*this);
    }
}

void TframeCh::cmbBoxChModePropertiesChange() {
    ShowModePage();
    if (ReactOnChange) {
        UpdateGenChannel();
    }
}

void TframeCh::edtTextValidate(QLineEdit* Edit) {
    QString text = Edit->text();
    FixDecimalSeparator(text, LocaleDecimalSeparator());
    if (text != Edit->text()) {
        Edit->setText(text);
    }
}

void TframeCh::ShowADCValue() {
    // The tuning page shows the reading once it exists.
}

void TframeCh::PrepareLFM() {
    // The sweep page writes the sweep once it exists.
}
