// Options of the generator that are not properties of one channel.
#pragma once

class TQvGen4;

class TQvGen4Options {
public:
    explicit TQvGen4Options(TQvGen4& Owner) : FOwner(Owner) {}

    // When both channels are in internal modulation, channel A's modulation drives both outputs.
    bool EnableDuplexIntMod() const { return FEnableDuplexIntMod; }
    void SetEnableDuplexIntMod(bool Value);

    // Raise OnOverModulation when a carrier leaves no room for its amplitude swing.
    bool OverModulationNotify() const { return FOverModulationNotify; }
    void SetOverModulationNotify(bool Value) { FOverModulationNotify = Value; }

private:
    friend class TQvGen4File; // a loaded set-up is stored as it was saved

    TQvGen4& FOwner;
    bool FEnableDuplexIntMod = false;
    bool FOverModulationNotify = true;
};
