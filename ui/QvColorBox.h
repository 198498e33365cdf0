// A colour picker: the sixteen named colours of HTML 4 as swatches without names, the current
// colour when it is none of them, and "Другой..." for any colour through the colour dialog.
#pragma once

#include <QComboBox>

class TQvColorBox final : public QComboBox {
    Q_OBJECT
public:
    explicit TQvColorBox(QWidget* Parent = nullptr);

    // 0x00BBGGRR
    int ColorValue() const { return FColor; }
    void SetColorValue(int Color);

private:
    void ItemChosen(int Index);
    void ShowColor();

    int FColor = 0;
    int FCustomIndex = -1;
    int FOtherIndex = -1;
};
