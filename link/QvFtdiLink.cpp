#include "QvFtdiLink.h"

#include <ftdi.h>

#include <chrono>

void TQvFtdiLink::TFtdiFree::operator()(ftdi_context* Ctx) const {
    ftdi_free(Ctx);
}

TQvFtdiLink::TQvFtdiLink() : TQvFtdiLink(TSettings{}) {}

TQvFtdiLink::TQvFtdiLink(TSettings Settings) : FSettings(Settings) {}

TQvFtdiLink::~TQvFtdiLink() {
    Close();
}

FT_STATUS TQvFtdiLink::Fail(FT_STATUS Status) {
    // libftdi leaves its error text unset when nothing failed inside it (no device found).
    const char* text = FCtx ? ftdi_get_error_string(FCtx.get()) : "libftdi context unavailable";
    FLastError = text ? text : (Status == FT_DEVICE_NOT_FOUND ? "no FTDI device found" : "");
    return Status;
}

FT_STATUS TQvFtdiLink::Open() {
    if (FOpen) {
        return FT_OK;
    }
    FCtx.reset(ftdi_new());
    if (!FCtx) {
        return Fail(FT_INSUFFICIENT_RESOURCES);
    }
    ftdi_device_list* list = nullptr;
    // Vendor and product 0: every FTDI chip libftdi knows; the first one found is device 0.
    const int found = ftdi_usb_find_all(FCtx.get(), &list, 0, 0);
    if (found <= 0 || !list) {
        ftdi_list_free(&list);
        const FT_STATUS status = Fail(FT_DEVICE_NOT_FOUND);
        FCtx.reset();
        return status;
    }
    const int opened = ftdi_usb_open_dev(FCtx.get(), list->dev);
    ftdi_list_free(&list);
    if (opened < 0) {
        const FT_STATUS status = Fail(FT_DEVICE_NOT_OPENED);
        FCtx.reset();
        return status;
    }
    if ((FSettings.BaudRate && ftdi_set_baudrate(FCtx.get(), *FSettings.BaudRate) < 0) ||
        (FSettings.LatencyTimer &&
         ftdi_set_latency_timer(FCtx.get(), *FSettings.LatencyTimer) < 0)) {
        const FT_STATUS status = Fail(FT_IO_ERROR);
        ftdi_usb_close(FCtx.get());
        FCtx.reset();
        return status;
    }
    // Short USB transfers so that the overall read deadline below is kept closely.
    FCtx->usb_read_timeout = 100;
    FOpen = true;
    return FT_OK;
}

FT_STATUS TQvFtdiLink::Close() {
    if (!FOpen) {
        return FCtx ? FT_OK : FT_INVALID_HANDLE;
    }
    const int rc = ftdi_usb_close(FCtx.get());
    FOpen = false;
    const FT_STATUS status = rc < 0 ? Fail(FT_IO_ERROR) : FT_OK;
    FCtx.reset();
    return status;
}

FT_STATUS TQvFtdiLink::Write(const std::uint8_t* Data, std::uint32_t Count,
                             std::uint32_t& Written) {
    Written = 0;
    if (!FOpen) {
        return FT_INVALID_HANDLE;
    }
    const int rc = ftdi_write_data(FCtx.get(), Data, static_cast<int>(Count));
    if (rc < 0) {
        return Fail(FT_IO_ERROR);
    }
    Written = static_cast<std::uint32_t>(rc);
    return FT_OK;
}

FT_STATUS TQvFtdiLink::Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) {
    Received = 0;
    if (!FOpen) {
        return FT_INVALID_HANDLE;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(FSettings.ReadTimeoutMs);
    while (Received < Count) {
        const int rc =
            ftdi_read_data(FCtx.get(), Data + Received, static_cast<int>(Count - Received));
        if (rc < 0) {
            return Fail(FT_IO_ERROR);
        }
        Received += static_cast<std::uint32_t>(rc);
        if (Received < Count && std::chrono::steady_clock::now() >= deadline) {
            FLastError = "read timed out";
            return FT_IO_ERROR;
        }
    }
    return FT_OK;
}
