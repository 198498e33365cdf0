// The USB link through libftdi1: opens the first FTDI device and leaves the chip at its defaults.
// Reads give up after a bounded time, so a silent or unplugged instrument cannot hang the program.
#pragma once

#include "QvGen4Link.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct ftdi_context;

class TQvFtdiLink final : public TQvGen4Link {
public:
    struct TSettings {
        std::optional<int> BaudRate;              // bit/s; the chip's default when unset
        std::optional<std::uint8_t> LatencyTimer; // ms; the chip's default when unset
        std::uint32_t ReadTimeoutMs = 1000;       // a read that takes longer fails
    };

    TQvFtdiLink();
    explicit TQvFtdiLink(TSettings Settings);
    ~TQvFtdiLink() override;

    FT_STATUS Open() override;
    FT_STATUS Close() override;
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Written) override;
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override;

    // libftdi's description of the last failure, for logs.
    const std::string& LastError() const { return FLastError; }

private:
    struct TFtdiFree {
        void operator()(ftdi_context* Ctx) const;
    };
    FT_STATUS Fail(FT_STATUS Status);

    TSettings FSettings;
    std::unique_ptr<ftdi_context, TFtdiFree> FCtx;
    bool FOpen = false;
    std::string FLastError;
};
