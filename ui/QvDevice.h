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

// Passes everything to the inner link and appends every write to a log file: one line per write
// call, the bytes as two-digit upper-case hexadecimal separated by single spaces. Each line is
// flushed at once so that the log survives a crash or a pulled plug.
class TQvTraceLink final : public TQvGen4Link {
public:
    // The log is shared so that it outlives a change of device; the last holder closes it.
    TQvTraceLink(std::unique_ptr<TQvGen4Link> Inner, std::shared_ptr<std::FILE> Log);

    FT_STATUS Open() override { return FInner->Open(); }
    FT_STATUS Close() override { return FInner->Close(); }
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Written) override;
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override {
        return FInner->Read(Data, Count, Received);
    }

    TQvGen4Link& Inner() const { return *FInner; }

private:
    std::unique_ptr<TQvGen4Link> FInner;
    std::shared_ptr<std::FILE> FLog;
};
