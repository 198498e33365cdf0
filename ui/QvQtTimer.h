// The generator's polling timers on the GUI thread: a QTimer whose timeouts arrive through the
// message loop like any other event.
#pragma once

#include "QvGen4Timer.h"

#include <QTimer>

class TQvQtTimer final : public TQvGen4Timer {
public:
    explicit TQvQtTimer(std::function<void()> OnTimeout);

    bool Start(std::uint32_t IntervalMs) override;
    void Stop() override { FTimer.stop(); }
    bool Active() const override { return FTimer.isActive(); }

    static TQvGen4TimerFactory Factory();

private:
    QTimer FTimer;
    std::function<void()> FOnTimeout;
};
