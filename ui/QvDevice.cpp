#include "QvDevice.h"

#include "QvFtdiLink.h"
#include "QvVirtualInstrument.h"

#include <string_view>

const char* DeviceKey(TQvDevice Device) {
    return Device == TQvDevice::Virtual ? "virtual" : "usb";
}

TQvDevice DeviceFromKey(const std::string& Key) {
    std::string key;
    for (char c : Key) {
        key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return key == "virtual" ? TQvDevice::Virtual : TQvDevice::Usb;
}

const char* DeviceCaption(TQvDevice Device) {
    return Device == TQvDevice::Virtual ? "Виртуальный генератор" : "USB (FTDI)";
}

std::unique_ptr<TQvGen4Link> MakeDeviceLink(TQvDevice Device) {
    if (Device == TQvDevice::Virtual) {
        return QvMakeVirtualLink(std::make_shared<TQvVirtualInstrument>());
    }
    return std::make_unique<TQvFtdiLink>();
}

std::shared_ptr<std::FILE> OpenTraceLog(const std::string& Path) {
    std::FILE* file = std::fopen(Path.c_str(), "ab");
    if (!file) {
        return nullptr;
    }
    return std::shared_ptr<std::FILE>(file, [](std::FILE* f) { std::fclose(f); });
}

TQvTraceLink::TQvTraceLink(std::unique_ptr<TQvGen4Link> Inner, std::shared_ptr<std::FILE> Log)
    : FInner(std::move(Inner)), FLog(std::move(Log)) {}

FT_STATUS TQvTraceLink::Write(const std::uint8_t* Data, std::uint32_t Count,
                              std::uint32_t& Written) {
    if (FLog) {
        static constexpr std::string_view Digits = "0123456789ABCDEF";
        std::string line;
        line.reserve(Count * 3);
        for (std::uint32_t i = 0; i < Count; ++i) {
            if (i) {
                line += ' ';
            }
            line += Digits[Data[i] >> 4];
            line += Digits[Data[i] & 0x0F];
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), FLog.get());
        std::fflush(FLog.get());
    }
    return FInner->Write(Data, Count, Written);
}
