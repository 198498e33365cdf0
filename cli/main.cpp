// qvgen4ctl: the generator model from the command line, for scripts, labs and CI.
#include "QvCtlArgs.h"
#include "QvCtlRun.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    TQvCtlRequest req;
    try {
        req = QvCtlParseArgs(args);
    } catch (const EQvCtlUsage& e) {
        std::cerr << "qvgen4ctl: " << e.what() << '\n';
        return QvCtlExitUsage;
    }
    if (req.Help) {
        std::cout << QvCtlHelpText;
        return QvCtlExitOk;
    }
    try {
        const int rc = QvCtlRun(req, std::cout, std::cerr);
        std::cout.flush();
        return rc;
    } catch (const std::exception& e) {
        std::cerr << "qvgen4ctl: " << e.what() << '\n';
        return QvCtlExitFailure;
    }
}
