// Runs one request of qvgen4ctl on a generator set up as the program starts it.
#pragma once

#include "QvCtlArgs.h"

#include <iosfwd>

// Exit statuses of the tool.
enum : int {
    QvCtlExitOk = 0,
    QvCtlExitFailure = 1, // device, file or update cycle
    QvCtlExitUsage = 2,
    QvCtlExitRefused = 3, // some assignment was refused; the output is still complete
};

int QvCtlRun(const TQvCtlRequest& Req, std::ostream& Out, std::ostream& Err);
