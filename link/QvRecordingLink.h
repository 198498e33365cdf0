// A link that keeps every write and answers reads from queued bytes. Tests use it to see the exact
// bytes a set-up sends; the command-line tool prints them. It can be told to fail like a device.
#pragma once

#include "QvGen4Link.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

class TQvRecordingLink final : public TQvGen4Link {
public:
    FT_STATUS Open() override;
    FT_STATUS Close() override;
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Written) override;
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override;

    // Every write call's bytes, in order.
    const std::vector<std::vector<std::uint8_t>>& Writes() const { return FWrites; }
    void ClearWrites() { FWrites.clear(); }
    bool IsOpen() const { return FOpen; }
    int OpenCount() const { return FOpenCount; }
    int CloseCount() const { return FCloseCount; }

    // Bytes the next reads return; a read beyond them comes back short.
    void QueueRead(const std::vector<std::uint8_t>& Bytes);

    // Faults: the status Open or Close returns; the write with index N (0-based, counted over
    // the link's life) returns Status after writing only Written bytes (all of them if unset).
    void SetOpenStatus(FT_STATUS Status) { FOpenStatus = Status; }
    void SetCloseStatus(FT_STATUS Status) { FCloseStatus = Status; }
    void FailWrite(std::size_t N, FT_STATUS Status, std::optional<std::uint32_t> Written = {});
    void SetReadStatus(FT_STATUS Status) { FReadStatus = Status; }

private:
    struct TWriteFault {
        std::size_t Index;
        FT_STATUS Status;
        std::optional<std::uint32_t> Written;
    };

    std::vector<std::vector<std::uint8_t>> FWrites;
    std::deque<std::uint8_t> FReadQueue;
    std::vector<TWriteFault> FWriteFaults;
    std::size_t FWriteCalls = 0;
    FT_STATUS FOpenStatus = FT_OK;
    FT_STATUS FCloseStatus = FT_OK;
    FT_STATUS FReadStatus = FT_OK;
    bool FOpen = false;
    int FOpenCount = 0;
    int FCloseCount = 0;
};
