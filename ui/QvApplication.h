// The application object: title, help, and the display of errors that escape a handler.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>
#include <utility>

class TQvApplication final : public QApplication {
public:
    TQvApplication(int& argc, char** argv);

    static constexpr const char* Title = "Сивалон Ж7-ТН4/90";

    // Errors that leave an event handler are shown here and the program carries on.
    bool notify(QObject* Receiver, QEvent* Event) override;

    // Shows Message in a message box with the application title, the error icon and OK; a full
    // stop is appended when the last character sorts after it.
    static void ShowException(const QString& Message);
    static void ShowCurrentException();
    static QString ExceptionText(const QString& Message);
};

// Runs F and shows whatever it throws. Handlers are wrapped with it because Qt Widgets is built
// without exception tables: an exception left to unwind through it would skip its clean-ups.
template <class F> void QvGuard(F&& Fn) {
    try {
        std::forward<F>(Fn)();
    } catch (...) {
        TQvApplication::ShowCurrentException();
    }
}

// A slot that runs Fn under QvGuard, for connect().
template <class F> auto Guarded(F Fn) {
    return [Fn = std::move(Fn)](auto&&... Args) {
        QvGuard([&] { Fn(std::forward<decltype(Args)>(Args)...); });
    };
}
