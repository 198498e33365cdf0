#include "QvDevice.h"

#include "QvFtdiLink.h"
#include "QvTraceLink.h"
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

std::unique_ptr<TQvGen4Link> WrapInTraceLog(std::unique_ptr<TQvGen4Link> Inner,
                                            std::shared_ptr<std::FILE> Log) {
    auto append = [Log = std::move(Log)](const std::uint8_t* Data, std::uint32_t Count) {
        const std::string line = QvHexLine(Data, Count) + '\n';
        std::fwrite(line.data(), 1, line.size(), Log.get());
        std::fflush(Log.get());
    };
    return std::make_unique<TQvTraceLink>(std::move(Inner), std::move(append));
}
