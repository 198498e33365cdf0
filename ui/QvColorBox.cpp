#include "QvColorBox.h"

#include "QvRoutines.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

// 0x00BBGGRR of black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime,
// yellow, blue, fuchsia, aqua, white.
constexpr std::array<int, 16> HtmlColors{0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                         0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                         0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

QIcon Swatch(int Color) {
    QPixmap pix(48, 14);
    pix.fill(ColorFromBGR(Color));
    QPainter p(&pix);
    p.setPen(Qt::gray);
    p.drawRect(pix.rect().adjusted(0, 0, -1, -1));
    return QIcon(pix);
}

} // namespace

TQvColorBox::TQvColorBox(QWidget* Parent) : QComboBox(Parent) {
    setIconSize(QSize(48, 14));
    for (int c : HtmlColors) {
        addItem(Swatch(c), QString(), c);
        setItemData(count() - 1, ColorFromBGR(c).name(), Qt::AccessibleTextRole);
    }
    FCustomIndex = count();
    addItem(Swatch(0), QString(), 0);
    FOtherIndex = count();
    addItem(QStringLiteral("Другой..."));
    connect(this, &QComboBox::activated, this, &TQvColorBox::ItemChosen);
    SetColorValue(0);
}

void TQvColorBox::SetColorValue(int Color) {
    FColor = Color & 0xFFFFFF;
    ShowColor();
}

void TQvColorBox::ShowColor() {
    const QSignalBlocker block(this);
    for (int i = 0; i < FCustomIndex; ++i) {
        if (itemData(i).toInt() == FColor) {
            setCurrentIndex(i);
            return;
        }
    }
    setItemIcon(FCustomIndex, Swatch(FColor));
    setItemData(FCustomIndex, FColor);
    setItemData(FCustomIndex, ColorFromBGR(FColor).name(), Qt::AccessibleTextRole);
    setCurrentIndex(FCustomIndex);
}

void TQvColorBox::ItemChosen(int Index) {
    if (Index == FOtherIndex) {
        const QColor chosen = QColorDialog::getColor(ColorFromBGR(FColor), this);
        if (chosen.isValid()) {
            FColor = ColorToBGR(chosen);
        }
    } else if (Index >= 0) {
        FColor = itemData(Index).toInt();
    }
    ShowColor();
}
