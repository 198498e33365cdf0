// The About box.
#pragma once

#include <QDialog>

class TfrmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* Parent = nullptr);
};
