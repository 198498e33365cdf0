// The millisecond tick source behind the pause after every command frame.
#pragma once

#include <cstdint>

class TQvGen4TickSource {
public:
    virtual ~TQvGen4TickSource() = default;
    // Milliseconds since an arbitrary start, wrapping modulo 2^32.
    virtual std::uint32_t GetTickCount() = 0;
    // Gives the processor away for about Ms milliseconds.
    virtual void Sleep(std::uint32_t Ms) = 0;
};

// Wall-clock ticks; Sleep really sleeps.
class TQvGen4SystemTicks final : public TQvGen4TickSource {
public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t Ms) override;
};

// A clock that never waits: Sleep only moves its time on. Tests, benchmarks and the frame dump
// of the command-line tool use it.
class TQvGen4ManualTicks final : public TQvGen4TickSource {
public:
    explicit TQvGen4ManualTicks(std::uint32_t Start = 0) : FNow(Start) {}
    std::uint32_t GetTickCount() override { return FNow; }
    void Sleep(std::uint32_t Ms) override { FNow += Ms; }
    void Advance(std::uint32_t Ms) { FNow += Ms; }

private:
    std::uint32_t FNow;
};
