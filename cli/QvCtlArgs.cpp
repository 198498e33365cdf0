#include "QvCtlArgs.h"

#include <charconv>

const char* const QvCtlHelpText =
    R"(Usage: qvgen4ctl COMMAND [OPTIONS] [--load FILE] [ASSIGNMENT ...]

Starts from the program's start-up set-up (both channels off, AutoUpdate off), loads FILE if
given, applies each ASSIGNMENT Path=Value in order through the property's setter, then runs
COMMAND.

Commands:
  frames                 print the bytes one update cycle writes, one write per line
  show                   print every path as Path=Value
  save FILE2             write the set-up to a settings file
  apply [--device usb|virtual] [--trace]
                         program the instrument with one update cycle and leave it running;
                         --trace prints each frame and its decoded line; the virtual
                         instrument's JSON snapshot is printed at the end
  adc [--device usb|virtual] [--count N]
                         program as apply does, then read the ADC N times (default 1) at the
                         tuning channel's ADCTimerInterval; one channel must be in
                         QGMdC_tuning
  The device is usb unless --device virtual is given.

Paths: UseExtRefFreq RefFreq FreqScale Options.EnableDuplexIntMod Options.OverModulationNotify,
  and for ChA and ChB: Mode Frequency Amplitude Phase
  Tuner.Type|Scale|ADCTimerEnabled|ADCTimerInterval
  IntModulation.Type|Fm|dA|dF|dPh|CC|MathFuncType   ExtModulation.Type|Scale
  LFM.FreqTop|Tinc0|Tinc1|Tdec0|Tdec1
  DDSMod.F1..F4|dF|Ph1..Ph4|dPh|T1..T4|Mode|Type|UseExtTimes|ContBidiRamp|Fm|MathFuncType|CC|
  ReadingsCntMin                               e.g. ChB.DDSMod.T3=2000
Values: numbers in the model's units (kHz, Hz, %, degrees, us, ns) with "." as decimal point;
  true/false; enumerator names (QGMdC_IntModulation, QGAFPms_ampl, QMFT_triangle, QGTMs_QxSK).
  A value the setter refuses is reported on stderr and the run goes on.
  Over-modulation is reported on stderr and not corrected.

Exit status: 0 all taken and done; 3 some assignment refused; 1 device, file or update
  failure; 2 usage error.
)";

namespace {

TQvCtlCommand CommandOf(const std::string& Name) {
    if (Name == "frames") {
        return TQvCtlCommand::Frames;
    }
    if (Name == "show") {
        return TQvCtlCommand::Show;
    }
    if (Name == "save") {
        return TQvCtlCommand::Save;
    }
    if (Name == "apply") {
        return TQvCtlCommand::Apply;
    }
    if (Name == "adc") {
        return TQvCtlCommand::Adc;
    }
    throw EQvCtlUsage("unknown command '" + Name + "' (try --help)");
}

TQvCtlAssignment AssignmentOf(const std::string& Arg) {
    const auto eq = Arg.find('=');
    if (eq == std::string::npos) {
        throw EQvCtlUsage("expected Path=Value, got '" + Arg + "'");
    }
    const std::string name = Arg.substr(0, eq);
    const std::string text = Arg.substr(eq + 1);
    const TQvCtlPath* path = QvCtlFindPath(name);
    if (!path) {
        throw EQvCtlUsage("unknown path '" + name + "'");
    }
    const auto value = QvCtlParse(path->Type, text);
    if (!value) {
        switch (path->Type.Kind) {
        case TQvCtlKind::Bool:
            throw EQvCtlUsage(name + ": expected true or false, got '" + text + "'");
        case TQvCtlKind::Int:
            throw EQvCtlUsage(name + ": malformed integer '" + text + "'");
        case TQvCtlKind::Double:
            throw EQvCtlUsage(name + ": malformed number '" + text + "'");
        case TQvCtlKind::Enum:
            throw EQvCtlUsage(name + ": unknown enumerator '" + text + "'");
        }
    }
    return {path, text, *value};
}

} // namespace

TQvCtlRequest QvCtlParseArgs(const std::vector<std::string>& Args) {
    TQvCtlRequest req;
    for (const auto& a : Args) {
        if (a == "--help" || a == "-h") {
            req.Help = true;
            return req;
        }
    }
    if (Args.empty()) {
        throw EQvCtlUsage("missing command (try --help)");
    }
    req.Command = CommandOf(Args[0]);
    bool haveSaveFile = false;
    bool haveDevice = false;
    for (std::size_t i = 1; i < Args.size(); ++i) {
        std::string arg = Args[i];
        if (arg.rfind("--", 0) == 0) {
            // --name VALUE and --name=VALUE are both taken.
            std::string name = arg;
            std::optional<std::string> inlineValue;
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
            auto value = [&]() -> std::string {
                if (inlineValue) {
                    return *inlineValue;
                }
                if (i + 1 >= Args.size()) {
                    throw EQvCtlUsage(name + " needs a value");
                }
                return Args[++i];
            };
            const bool device =
                req.Command == TQvCtlCommand::Apply || req.Command == TQvCtlCommand::Adc;
            if (name == "--load") {
                if (req.LoadFile) {
                    throw EQvCtlUsage("--load given twice");
                }
                req.LoadFile = value();
            } else if (name == "--device" && device) {
                if (haveDevice) {
                    throw EQvCtlUsage("--device given twice");
                }
                haveDevice = true;
                const std::string v = value();
                if (v == "usb") {
                    req.Device = TQvCtlDevice::Usb;
                } else if (v == "virtual") {
                    req.Device = TQvCtlDevice::Virtual;
                } else {
                    throw EQvCtlUsage("--device: expected usb or virtual, got '" + v + "'");
                }
            } else if (name == "--trace" && req.Command == TQvCtlCommand::Apply && !inlineValue) {
                req.Trace = true;
            } else if (name == "--count" && req.Command == TQvCtlCommand::Adc) {
                const std::string v = value();
                int n = 0;
                const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
                if (ec != std::errc() || end != v.data() + v.size() || v.empty() || n < 1) {
                    throw EQvCtlUsage("--count: expected a positive integer, got '" + v + "'");
                }
                req.Count = n;
            } else {
                throw EQvCtlUsage("unknown option '" + arg + "' for " + Args[0]);
            }
        } else if (req.Command == TQvCtlCommand::Save && !haveSaveFile) {
            req.SaveFile = arg;
            haveSaveFile = true;
        } else {
            req.Assignments.push_back(AssignmentOf(arg));
        }
    }
    if (req.Command == TQvCtlCommand::Save && !haveSaveFile) {
        throw EQvCtlUsage("save needs a file name");
    }
    return req;
}
