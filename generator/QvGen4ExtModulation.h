// Modulation of a channel by an external signal.
#pragma once

class TQvGen4Channel;

class TQvGen4ExtModulation {
public:
    explicit TQvGen4ExtModulation(TQvGen4Channel& Owner) : FOwner(Owner) {}

    // One start frame for both channels.
    static void StartDoubleModulation(TQvGen4Channel& A, TQvGen4Channel& B) {
        (void)A;
        (void)B;
    }
    // Channel A's input drives both outputs.
    static void StartDuplexModulation(TQvGen4Channel& A) { (void)A; }

private:
    [[maybe_unused]] TQvGen4Channel& FOwner;
};
