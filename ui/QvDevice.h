// Which instrument the program talks to, the one place that builds its link, and the command
// log that can be put around any link.
#pragma once

#include "QvGen4Link.h"

#include <cstdio>
#include <memory>
#include <string>

enum class TQvDevice { Usb, Virtual };

// The value of Common/Device in the INI file; an unknown text means the USB instrument.
const char* DeviceKey(TQvDevice Device);
TQvDevice DeviceFromKey(const std::string& Key);
// How the operator sees the device ("USB (FTDI)", "Виртуальный генератор").
const char* DeviceCaption(TQvDevice Device);

std::unique_ptr<TQvGen4Link> MakeDeviceLink(TQvDevice Device);

// Opens a command log for appending; null when it cannot be opened.
std::shared_ptr<std::FILE> OpenTraceLog(const std::string& Path);

// Puts a command log around a link: every write call appends one line, the bytes as two-digit
// upper-case hexadecimal separated by single spaces, flushed at once so that the log survives a
// crash or a pulled plug. The log is shared so that it outlives a change of device.
std::unique_ptr<TQvGen4Link> WrapInTraceLog(std::unique_ptr<TQvGen4Link> Inner,
                                            std::shared_ptr<std::FILE> Log);
