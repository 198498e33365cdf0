#include "QvApplication.h"

#include <QMessageBox>

#include <stdexcept>

TQvApplication::TQvApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("QvVantor"));
    setOrganizationName(QStringLiteral("Sivalon"));
}

bool TQvApplication::notify(QObject* Receiver, QEvent* Event) {
    try {
        return QApplication::notify(Receiver, Event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

QString TQvApplication::ExceptionText(const QString& Message) {
    QString text = Message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) {
        text += QLatin1Char('.');
    }
    return text;
}

void TQvApplication::ShowException(const QString& Message) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(Title), ExceptionText(Message),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("msgException"));
    box.exec();
}

void TQvApplication::ShowCurrentException() {
    // Anything that is not one of our errors is shown with an empty text.
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowException(QString());
    }
}
