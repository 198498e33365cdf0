// The Tuner sub-object of a channel.
#pragma once

class TQvGen4Channel;

class TQvGen4Tuner {
public:
    explicit TQvGen4Tuner(TQvGen4Channel& Owner) : FOwner(Owner) {}

    // Arms or disarms the polling timer from the link state and the channel mode.
    void UpdateADCTimer() {}
private:
    [[maybe_unused]] TQvGen4Channel& FOwner;
};
