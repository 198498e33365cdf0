// The periodic timer behind the ADC poll of a channel in manual tuning. The model never waits on
// its own: the host supplies timers that deliver their timeouts on the thread that drives the
// generator (the GUI implements this with QTimer; tests and tools fire a manual timer by hand).
//
// How a generator gets its timers: TQvGen4::SetTimerFactory. A tuner asks the factory for its
// timer the first time polling has to be armed, and keeps it. Without a factory (the default)
// no timer can be had, so a channel that really needs polling (tuning mode, polling enabled,
// link open) fails its update with "Невозможно создать таймер!"; every other use of the model
// runs without one. A factory may also return null, or a timer whose Start fails, for the same
// result.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class TQvGen4Timer {
public:
    virtual ~TQvGen4Timer() = default;
    // Arms the timer to call its timeout every IntervalMs (> 0) milliseconds, restarting it if
    // it was armed; false when the system could not give a timer.
    virtual bool Start(std::uint32_t IntervalMs) = 0;
    // Disarms it; no timeout arrives afterwards. Harmless when not armed.
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
};

// Makes a disarmed timer that calls OnTimeout on each period. OnTimeout may throw (a failed
// poll); the host delivers that like any other handler's exception.
using TQvGen4TimerFactory =
    std::function<std::unique_ptr<TQvGen4Timer>(std::function<void()> OnTimeout)>;

// A timer that only fires when told to. Tests and the command-line tool drive it by hand.
class TQvGen4ManualTimer final : public TQvGen4Timer {
public:
    explicit TQvGen4ManualTimer(std::function<void()> OnTimeout, bool CanStart = true)
        : FOnTimeout(std::move(OnTimeout)), FCanStart(CanStart) {}

    bool Start(std::uint32_t IntervalMs) override {
        FActive = FCanStart;
        FInterval = IntervalMs;
        if (FCanStart) {
            ++FStarts;
        }
        return FCanStart;
    }
    void Stop() override { FActive = false; }
    bool Active() const override { return FActive; }

    std::uint32_t Interval() const { return FInterval; } // ms, of the last Start
    int Starts() const { return FStarts; }               // successful Start calls so far

    // One period has passed: calls the timeout if armed.
    void Fire() {
        if (FActive) {
            auto onTimeout = FOnTimeout; // the handler may release this timer
            onTimeout();
        }
    }

    // Makes manual timers; with CanStart false every Start fails, as when the system has no
    // timer left.
    static TQvGen4TimerFactory Factory(bool CanStart = true) {
        return [CanStart](std::function<void()> OnTimeout) -> std::unique_ptr<TQvGen4Timer> {
            return std::make_unique<TQvGen4ManualTimer>(std::move(OnTimeout), CanStart);
        };
    }

private:
    std::function<void()> FOnTimeout;
    bool FCanStart;
    bool FActive = false;
    std::uint32_t FInterval = 0;
    int FStarts = 0;
};
