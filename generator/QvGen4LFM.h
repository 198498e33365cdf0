// The linear frequency sweep of a channel.
#pragma once

#include <cstdint>

class TQvGen4Channel;

class TQvGen4LFM {
public:
    explicit TQvGen4LFM(TQvGen4Channel& Owner) : FOwner(Owner) {}

    // Top frequency of the sweep, kHz.
    std::int32_t FreqTop() const { return FFreqTop; }

    // Sends the sweep's frames; the start frames only when Start is set.
    void StartLFM(bool Start) { (void)Start; }

private:
    friend class TQvGen4Channel; // raises FreqTop with the carrier, without an update
    [[maybe_unused]] TQvGen4Channel& FOwner;
    std::int32_t FFreqTop = 0;
};
