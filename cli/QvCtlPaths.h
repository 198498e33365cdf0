// The table of properties the command-line tool reads and writes: one row per path, in the order
// `show` prints them. Assignments, validation and `show` all go through it.
#pragma once

#include "QvCtlValue.h"

#include <functional>
#include <string>
#include <vector>

class TQvGen4;

struct TQvCtlPath {
    std::string Name; // "ChB.DDSMod.T3"
    TQvCtlType Type;
    std::function<TQvCtlValue(TQvGen4&)> Get;
    // Goes through the property's setter, which may refuse or adjust the value.
    std::function<void(TQvGen4&, const TQvCtlValue&)> Set;
};

// Every path: the generator's, then channel A's, then channel B's.
const std::vector<TQvCtlPath>& QvCtlPaths();

// The row named Name, or nullptr.
const TQvCtlPath* QvCtlFindPath(std::string_view Name);
