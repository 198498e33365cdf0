// Internal modulation of a channel from a computed sample table.
#pragma once

#include "QvGen4Types.h"

#include <cstdint>

class TQvGen4Channel;

class TQvGen4IntModulation {
public:
    explicit TQvGen4IntModulation(TQvGen4Channel& Owner) : FOwner(Owner) {}

    TQvGen4AFPModes Type() const { return FType; }

    void StartModulationCmd(std::uint8_t Code) { (void)Code; }
    void StartSingleModulation(bool) {}
    void StartDoubleModulation(bool Start) { (void)Start; }
    void StartDuplexModulation(bool) {}
    void WriteReadings(bool Whole) { (void)Whole; }

private:
    [[maybe_unused]] TQvGen4Channel& FOwner;
    TQvGen4AFPModes FType = QGAFPms_freq;
};
