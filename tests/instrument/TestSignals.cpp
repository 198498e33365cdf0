// What the outputs produce over time, from hand-made frames: tables at their divider's rate,
// the sweep's trapezoid, keyed symbols for their dwell times, and the external inputs.
#include "InstrumentFixture.h"

#include <gtest/gtest.h>
