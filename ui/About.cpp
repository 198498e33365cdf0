#include "About.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

TfrmAbout::TfrmAbout(QWidget* Parent) : QDialog(Parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("О программе Модуль управления Сивалон Ж7-ТН4/90"));
    setFixedSize(442, 256);

    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("imgAbout"));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/about.png")));
    picture->setFixedSize(150, 104);

    auto* product = new QLabel(QStringLiteral("Сивалон Ж7-ТН4/90"));
    product->setObjectName(QStringLiteral("lblProduct"));
    QFont f = product->font();
    f.setBold(true);
    f.setPixelSize(16);
    product->setFont(f);
    product->setWordWrap(true);

    auto* module = new QLabel(QStringLiteral("Модуль управления"));
    module->setObjectName(QStringLiteral("lblModule"));
    f.setPixelSize(13);
    module->setFont(f);

    auto* version = new QLabel(QStringLiteral("Версия 1.0.1.11"));
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* notice = new QLabel(QStringLiteral("© Сивалон. Программа управления генератором "
                                             "сигналов двухканальным Ж7-ТН4/90."));
    notice->setObjectName(QStringLiteral("lblNotice"));
    notice->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop | Qt::AlignLeft);
    grid->addWidget(product, 0, 1);
    grid->addWidget(module, 1, 1);
    grid->addWidget(version, 2, 1, Qt::AlignTop);
    grid->addWidget(notice, 3, 0, 1, 2);
    grid->addWidget(ok, 4, 0, 1, 2, Qt::AlignHCenter);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
}
