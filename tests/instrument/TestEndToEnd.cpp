#include "InstrumentFixture.h"

#include <gtest/gtest.h>
