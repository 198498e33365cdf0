#include "QvQtTimer.h"

#include "QvApplication.h"

TQvQtTimer::TQvQtTimer(std::function<void()> OnTimeout) : FOnTimeout(std::move(OnTimeout)) {
    // A failed poll throws; it is shown like the error of any other handler.
    QObject::connect(&FTimer, &QTimer::timeout, [this] {
        auto onTimeout = FOnTimeout; // the handler may release this timer
        QvGuard(onTimeout);
    });
}

bool TQvQtTimer::Start(std::uint32_t IntervalMs) {
    FTimer.start(static_cast<int>(IntervalMs));
    return FTimer.isActive();
}

TQvGen4TimerFactory TQvQtTimer::Factory() {
    return [](std::function<void()> OnTimeout) -> std::unique_ptr<TQvGen4Timer> {
        return std::make_unique<TQvQtTimer>(std::move(OnTimeout));
    };
}
