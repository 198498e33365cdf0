// The command line of qvgen4ctl: any arguments end in a request or a usage error, every value
// the parser takes prints back to text that parses to the same value, and assigning it through
// the path table leaves a model that `show` can print.
#include "QvCtlArgs.h"
#include "QvGen4.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    // Arguments are separated by NUL bytes, as in argv.
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < Size; ++i) {
        if (Data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(Data[i]);
        }
    }
    TQvCtlRequest req;
    try {
        req = QvCtlParseArgs(args);
    } catch (const EQvCtlUsage&) {
        return 0;
    }
    TQvGen4 gen;
    gen.SetAutoUpdate(false);
    for (const auto& a : req.Assignments) {
        const auto back = QvCtlParse(a.Path->Type, QvCtlFormat(a.Path->Type, a.Value));
        if (!back || *back != a.Value) {
            std::abort();
        }
        a.Path->Set(gen, a.Value);
    }
    for (const auto& row : QvCtlPaths()) {
        (void)QvCtlFormat(row.Type, row.Get(gen));
    }
    return 0;
}
