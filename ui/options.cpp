#include "options.h"

#include "QvApplication.h"
#include "QvColorBox.h"
#include "QvRoutines.h"
#include "chframe.h"
#include "frmMain.h"
#include "mainDM.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <cmath>

namespace {

constexpr int AbsIndexRole = Qt::UserRole + 1;

QLabel* Buddy(const QString& Caption, QWidget* Field) {
    auto* label = new QLabel(Caption);
    label->setBuddy(Field);
    Field->setAccessibleName(Caption);
    return label;
}

} // namespace

TfrmOptions::TfrmOptions(TDMmain& DM_, TfrmMain& Main_, QWidget* Parent)
    : QDialog(Parent), DM(DM_), Main(Main_) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Параметры"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    setFixedSize(600, 417);
    SetHelpContext(this, 2010);

    // Categories on the left.
    pnlCategrs = new QWidget;
    pnlCategrs->setObjectName(QStringLiteral("pnlCategrs"));
    treeViewCategrs = new QTreeWidget;
    treeViewCategrs->setObjectName(QStringLiteral("treeViewCategrs"));
    treeViewCategrs->setAccessibleName(QStringLiteral("Разделы"));
    treeViewCategrs->setHeaderHidden(true);
    treeViewCategrs->setRootIsDecorated(false);
    treeViewCategrs->setItemsExpandable(false);
    treeViewCategrs->setSelectionBehavior(QAbstractItemView::SelectRows);
    treeViewCategrs->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeViewCategrs->setFixedWidth(140);
    auto* common = new QTreeWidgetItem(treeViewCategrs, {QStringLiteral("Общие")});
    auto* colours = new QTreeWidgetItem(treeViewCategrs, {QStringLiteral("Цвета")});
    auto* colA = new QTreeWidgetItem(colours, {QStringLiteral("Канал A")});
    auto* colB = new QTreeWidgetItem(colours, {QStringLiteral("Канал B")});
    int index = 0;
    for (QTreeWidgetItem* node : {common, colours, colA, colB}) {
        node->setData(0, AbsIndexRole, index++);
    }
    // The selection stays visible while the tree has no focus.
    QPalette treePal = treeViewCategrs->palette();
    treePal.setColor(QPalette::Inactive, QPalette::Highlight,
                     treePal.color(QPalette::Active, QPalette::Highlight));
    treePal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     treePal.color(QPalette::Active, QPalette::HighlightedText));
    treeViewCategrs->setPalette(treePal);
    (new QVBoxLayout(pnlCategrs))->addWidget(treeViewCategrs);

    // Section title and pages on the right.
    pnlOptions = new QWidget;
    pnlOptions->setObjectName(QStringLiteral("pnlOptions"));
    lblSection = new QLabel;
    lblSection->setObjectName(QStringLiteral("lblSection"));
    QFont bold = lblSection->font();
    bold.setBold(true);
    lblSection->setFont(bold);
    lblSection->setAutoFillBackground(true);
    lblSection->setStyleSheet(
        QStringLiteral("QLabel { background-color: #A6CAF0; border: 1px solid gray; }"));
    pgCtrlSections = new QStackedWidget;
    pgCtrlSections->setObjectName(QStringLiteral("pgCtrlSections"));
    pgCtrlSections->setFocusPolicy(Qt::NoFocus);

    // Page "Общие".
    auto* pageCommon = new QWidget;
    ChBox_gen_UseExtRefFreq =
        new QCheckBox(QStringLiteral("Использовать внешний источник опорной частоты"));
    ChBox_gen_UseExtRefFreq->setObjectName(QStringLiteral("ChBox_gen_UseExtRefFreq"));
    grpBox_RefFreq = new QGroupBox(QStringLiteral("Тактовая частота"));
    grpBox_RefFreq->setObjectName(QStringLiteral("grpBox_RefFreq"));
    edt_RefFreq = new QLineEdit(QStringLiteral("25"));
    edt_RefFreq->setObjectName(QStringLiteral("edt_RefFreq"));
    edt_RefFreq->setValidator(
        new QRegularExpressionValidator(TDMmain::cxEdRep_ChMask_FreqInMHz, edt_RefFreq));
    edtFreqScale = new QSpinBox;
    edtFreqScale->setObjectName(QStringLiteral("edtFreqScale"));
    edtFreqScale->setRange(4, 20);
    edtFreqScale->setValue(4);
    lblGenFreq = new QLabel(QStringLiteral("400"));
    lblGenFreq->setObjectName(QStringLiteral("lblGenFreq"));
    lblGenFreq->setFont(bold);
    lblGenFreq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblGenFreq->setFixedWidth(80);
    auto* clock = new QGridLayout(grpBox_RefFreq);
    clock->addWidget(Buddy(QStringLiteral("Опорная частота"), edt_RefFreq), 0, 0);
    clock->addWidget(edt_RefFreq, 0, 1);
    clock->addWidget(new QLabel(QStringLiteral("МГц")), 0, 2);
    clock->addWidget(Buddy(QStringLiteral("Множитель"), edtFreqScale), 1, 0);
    clock->addWidget(edtFreqScale, 1, 1);
    auto* genFreqCaption = new QLabel(QStringLiteral("Результирующая частота"));
    lblGenFreq->setAccessibleName(genFreqCaption->text());
    clock->addWidget(genFreqCaption, 2, 0);
    clock->addWidget(lblGenFreq, 2, 1, Qt::AlignRight);
    clock->addWidget(new QLabel(QStringLiteral("МГц")), 2, 2);
    chBox_comn_AutoConnect =
        new QCheckBox(QStringLiteral("Подключаться к генератору при старте программы"));
    chBox_comn_AutoConnect->setObjectName(QStringLiteral("chBox_comn_AutoConnect"));
    grpBox_Device = new QGroupBox(QStringLiteral("Устройство"));
    grpBox_Device->setObjectName(QStringLiteral("grpBox_Device"));
    rdBtn_dev_USB = new QRadioButton(QStringLiteral("USB (FTDI)"));
    rdBtn_dev_USB->setObjectName(QStringLiteral("rdBtn_dev_USB"));
    rdBtn_dev_Virtual = new QRadioButton(QStringLiteral("Виртуальный генератор"));
    rdBtn_dev_Virtual->setObjectName(QStringLiteral("rdBtn_dev_Virtual"));
    auto* device = new QVBoxLayout(grpBox_Device);
    device->addWidget(rdBtn_dev_USB);
    device->addWidget(rdBtn_dev_Virtual);
    auto* commonLayout = new QVBoxLayout(pageCommon);
    commonLayout->addWidget(ChBox_gen_UseExtRefFreq);
    commonLayout->addWidget(grpBox_RefFreq);
    commonLayout->addWidget(chBox_comn_AutoConnect);
    commonLayout->addWidget(grpBox_Device);
    commonLayout->addStretch();

    // Colour pages.
    auto colourPage = [](std::array<TQvColorBox**, 3> Boxes, const QString& Letter) {
        auto* page = new QWidget;
        auto* form = new QFormLayout(page);
        const std::array<const char*, 3> suffix{"NameText", "On", "Off"};
        const std::array<QString, 3> caption{QStringLiteral("Заголовок канала"),
                                             QStringLiteral("Активная панель"),
                                             QStringLiteral("Неактивная панель")};
        for (std::size_t i = 0; i < 3; ++i) {
            auto* box = new TQvColorBox;
            box->setObjectName(QStringLiteral("clrBox_clr_ch") + Letter + QLatin1Char('_') +
                               QString::fromLatin1(suffix[i]));
            form->addRow(Buddy(caption[i], box), box);
            *Boxes[i] = box;
        }
        return page;
    };
    QWidget* pageColours = new QWidget;
    QWidget* pageColA = colourPage(
        {&clrBox_clr_chA_NameText, &clrBox_clr_chA_On, &clrBox_clr_chA_Off}, QStringLiteral("A"));
    QWidget* pageColB = colourPage(
        {&clrBox_clr_chB_NameText, &clrBox_clr_chB_On, &clrBox_clr_chB_Off}, QStringLiteral("B"));

    const std::array<std::pair<const char*, const char*>, 4> pageNames{{
        {"tabSh_Common", "Общие"},
        {"tabSh_clrs", "Цвета"},
        {"tabSh_clr_chA", "Цвета: Канал A"},
        {"tabSh_clr_chB", "Цвета: Канал B"},
    }};
    Pages = {pageCommon, pageColours, pageColA, pageColB};
    for (std::size_t i = 0; i < Pages.size(); ++i) {
        Pages[i]->setObjectName(QString::fromLatin1(pageNames[i].first));
        Pages[i]->setWindowTitle(QString::fromUtf8(pageNames[i].second));
        pgCtrlSections->addWidget(Pages[i]);
    }
    auto* right = new QVBoxLayout(pnlOptions);
    right->addWidget(lblSection);
    right->addWidget(pgCtrlSections, 1);

    // OK and Cancel at the bottom.
    pnlOkCancelButtons = new QWidget;
    pnlOkCancelButtons->setObjectName(QStringLiteral("pnlOkCancelButtons"));
    btnOK = new QPushButton(QStringLiteral("OK"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout(pnlOkCancelButtons);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* middle = new QHBoxLayout;
    middle->addWidget(pnlCategrs);
    middle->addWidget(pnlOptions, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(middle, 1);
    all->addWidget(pnlOkCancelButtons);

    connect(
        treeViewCategrs, &QTreeWidget::currentItemChanged, this,
        Guarded([this](QTreeWidgetItem* Node, QTreeWidgetItem*) { treeViewCategrsChange(Node); }));
    connect(treeViewCategrs, &QTreeWidget::itemCollapsed, treeViewCategrs,
            [this](QTreeWidgetItem* Node) { treeViewCategrs->expandItem(Node); });
    connect(pgCtrlSections, &QStackedWidget::currentChanged, this,
            Guarded([this](int) { pgCtrlSectionsChange(); }));
    connect(ChBox_gen_UseExtRefFreq, &QCheckBox::toggled, this,
            Guarded([this](bool) { ChBox_gen_UseExtRefFreqPropertiesChange(); }));
    connect(edt_RefFreq, &QLineEdit::editingFinished, this,
            Guarded([this] { edt_RefFreqPropertiesEditValueChanged(); }));
    connect(edtFreqScale, &QSpinBox::valueChanged, this,
            Guarded([this](int) { edtFreqScalePropertiesChange(); }));
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, Guarded([this] { ShowContextHelp(); }));

    FormCreate();
}

void TfrmOptions::FormCreate() {
    treeViewCategrs->expandAll();
    treeViewCategrs->setCurrentItem(treeViewCategrs->topLevelItem(0));
    pgCtrlSectionsChange();
    ChBox_gen_UseExtRefFreqPropertiesChange();
}

bool TfrmOptions::event(QEvent* Event) {
    // The title bar's help button opens the dialog's help page instead of "What's this".
    if (Event->type() == QEvent::EnterWhatsThisMode) {
        QWhatsThis::leaveWhatsThisMode();
        QvGuard([this] {
            bool callDefault = false;
            DM.ApplicationEventsMainHelp(TDMmain::HELP_CONTEXT, 2010, callDefault);
        });
        return true;
    }
    return QDialog::event(Event);
}

void TfrmOptions::ShowContextHelp() {
    const int context = HelpContextOf(focusWidget() ? focusWidget() : this);
    bool callDefault = false;
    DM.ApplicationEventsMainHelp(TDMmain::HELP_CONTEXT, context ? context : 2010, callDefault);
}

void TfrmOptions::treeViewCategrsChange(QTreeWidgetItem* Node) {
    if (!Node) {
        return;
    }
    // "Цвета" has no page of its own: it opens its first channel.
    if (Node->data(0, AbsIndexRole).toInt() == 1) {
        treeViewCategrs->setCurrentItem(Node->child(0));
        return;
    }
    pgCtrlSections->setCurrentIndex(Node->data(0, AbsIndexRole).toInt());
}

void TfrmOptions::pgCtrlSectionsChange() {
    lblSection->setText(QLatin1Char(' ') + pgCtrlSections->currentWidget()->windowTitle());
}

void TfrmOptions::ChBox_gen_UseExtRefFreqPropertiesChange() {
    const bool on = ChBox_gen_UseExtRefFreq->isChecked();
    grpBox_RefFreq->setEnabled(on);
    for (QWidget* w : grpBox_RefFreq->findChildren<QWidget*>()) {
        w->setEnabled(on);
    }
}

int TfrmOptions::FreqScaleFor(double RefFreq) {
    if (RefFreq == 0) {
        throw EQvConvertError("Floating point division by zero");
    }
    // nearbyint: a tie goes to the even multiplier.
    double k = std::nearbyint(400 / RefFreq);
    if (RefFreq * k > 410) {
        k -= 1;
    }
    if (!(k <= 20)) {
        k = 20;
    }
    if (k < 4) {
        k = 4;
    }
    return static_cast<int>(k);
}

void TfrmOptions::edt_RefFreqPropertiesEditValueChanged() {
    // The field reports every time it loses the focus; only a changed value recomputes the
    // multiplier, so that one chosen by hand survives a pass through the field.
    if (edt_RefFreq->text() == FRefFreqTaken) {
        return;
    }
    QString text = edt_RefFreq->text();
    FixDecimalSeparator(text, LocaleDecimalSeparator());
    if (text != edt_RefFreq->text()) {
        edt_RefFreq->setText(text);
    }
    FRefFreqTaken = text;
    edtFreqScale->setValue(FreqScaleFor(StrToFloat(text)));
    UpdateGenFreqLabel();
}

void TfrmOptions::edtFreqScalePropertiesChange() {
    UpdateGenFreqLabel();
}

void TfrmOptions::UpdateGenFreqLabel() {
    lblGenFreq->setText(FloatToStr(StrToFloat(edt_RefFreq->text()) * edtFreqScale->value()));
}

void TfrmOptions::OptionsToControls(bool Reload) {
    if (Reload) {
        DM.QvAppOptionsRep.LoadOptions();
    }
    TframeCh& a = *Main.frameChA;
    TframeCh& b = *Main.frameChB;
    chBox_comn_AutoConnect->setChecked(DM.optAutoConnect->Value());
    clrBox_clr_chA_NameText->SetColorValue(a.optNameTextClr->GetValue());
    clrBox_clr_chB_NameText->SetColorValue(b.optNameTextClr->GetValue());
    clrBox_clr_chA_On->SetColorValue(a.optOnColor->GetValue());
    clrBox_clr_chB_On->SetColorValue(b.optOnColor->GetValue());
    clrBox_clr_chA_Off->SetColorValue(a.optOffColor->GetValue());
    clrBox_clr_chB_Off->SetColorValue(b.optOffColor->GetValue());
    ChBox_gen_UseExtRefFreq->setChecked(DM.optUseExtFreq->Value());
    ChBox_gen_UseExtRefFreqPropertiesChange();
    edt_RefFreq->setText(FloatToStr(DM.optRefFreq->Value()));
    FRefFreqTaken = edt_RefFreq->text();
    edtFreqScale->setValue(DM.optFreqScale->Value());
    (DM.Device() == TQvDevice::Virtual ? rdBtn_dev_Virtual : rdBtn_dev_USB)->setChecked(true);
    UpdateGenFreqLabel();
}

void TfrmOptions::ControlsToOptions(bool Save) {
    // Converted before anything is copied, so that a text that is no number leaves every
    // option as it was instead of half of them changed.
    const double refFreq = StrToFloat(edt_RefFreq->text());
    TframeCh& a = *Main.frameChA;
    TframeCh& b = *Main.frameChB;
    DM.optAutoConnect->SetValue(chBox_comn_AutoConnect->isChecked());
    a.optNameTextClr->SetValue(clrBox_clr_chA_NameText->ColorValue());
    b.optNameTextClr->SetValue(clrBox_clr_chB_NameText->ColorValue());
    a.optOnColor->SetValue(clrBox_clr_chA_On->ColorValue());
    b.optOnColor->SetValue(clrBox_clr_chB_On->ColorValue());
    a.optOffColor->SetValue(clrBox_clr_chA_Off->ColorValue());
    b.optOffColor->SetValue(clrBox_clr_chB_Off->ColorValue());
    DM.optUseExtFreq->SetValue(ChBox_gen_UseExtRefFreq->isChecked());
    DM.optRefFreq->SetValue(refFreq);
    DM.optFreqScale->SetValue(edtFreqScale->value());
    WithUpdateSuspended(DM.QvGen, [this] { DM.ApplyGenOptions(); });
    const TQvDevice device = rdBtn_dev_Virtual->isChecked() ? TQvDevice::Virtual : TQvDevice::Usb;
    // Only an actual change of the device is stored, so that a run with --virtual leaves the
    // stored choice alone when the operator confirms the dialog unchanged.
    if (device != DM.Device()) {
        DM.SetDevice(device);
    }
    if (Save) {
        DM.QvAppOptionsRep.SaveOptions();
    }
}
