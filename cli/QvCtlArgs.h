// The command line of qvgen4ctl:
//   qvgen4ctl COMMAND [--load FILE] [ASSIGNMENT ...]
// read into a request before anything runs, so that a usage error leaves no half-done work.
#pragma once

#include "QvCtlPaths.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class TQvCtlCommand { Frames, Show, Save, Apply, Adc };
enum class TQvCtlDevice { Usb, Virtual };

struct TQvCtlAssignment {
    const TQvCtlPath* Path;
    std::string Text; // as given, for messages
    TQvCtlValue Value;
};

struct TQvCtlRequest {
    bool Help = false;
    TQvCtlCommand Command = TQvCtlCommand::Show;
    std::optional<std::string> LoadFile;
    std::string SaveFile;                    // save
    TQvCtlDevice Device = TQvCtlDevice::Usb; // apply, adc
    bool Trace = false;                      // apply
    int Count = 1;                           // adc
    std::vector<TQvCtlAssignment> Assignments;
};

// A usage error; what() is the one-line reason.
class EQvCtlUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws EQvCtlUsage.
TQvCtlRequest QvCtlParseArgs(const std::vector<std::string>& Args);

// The short description that --help prints.
extern const char* const QvCtlHelpText;
