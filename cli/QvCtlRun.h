// Runs one request of qvgen4ctl on a generator set up as the program starts it.
#pragma once

#include "QvCtlArgs.h"

#include <iosfwd>
#include <string>

// Exit statuses of the tool.
enum : int {
    QvCtlExitOk = 0,
    QvCtlExitFailure = 1, // device, file or update cycle
    QvCtlExitUsage = 2,
    QvCtlExitRefused = 3, // some assignment was refused; the output is still complete
};

class TQvGen4Channel;

// The channel's last ADC reading as its panel shows it: "-3.012 dB", "1000000 Гц", "45.5 °".
std::string QvCtlAdcText(const TQvGen4Channel& Ch);

int QvCtlRun(const TQvCtlRequest& Req, std::ostream& Out, std::ostream& Err);
