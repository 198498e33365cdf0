#include "QvRecordingLink.h"

#include <algorithm>

FT_STATUS TQvRecordingLink::Open() {
    ++FOpenCount;
    FOpen = FOpenStatus == FT_OK;
    return FOpenStatus;
}

FT_STATUS TQvRecordingLink::Close() {
    ++FCloseCount;
    if (FCloseStatus == FT_OK) {
        FOpen = false;
    }
    return FCloseStatus;
}

FT_STATUS TQvRecordingLink::Write(const std::uint8_t* Data, std::uint32_t Count,
                                  std::uint32_t& Written) {
    const std::size_t index = FWriteCalls++;
    FT_STATUS status = FT_OK;
    Written = Count;
    for (const auto& fault : FWriteFaults) {
        if (fault.Index == index) {
            status = fault.Status;
            Written = std::min(Count, fault.Written.value_or(Count));
        }
    }
    FWrites.emplace_back(Data, Data + Written);
    return status;
}

FT_STATUS TQvRecordingLink::Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) {
    Received = 0;
    if (FReadStatus != FT_OK) {
        return FReadStatus;
    }
    while (Received < Count && !FReadQueue.empty()) {
        Data[Received++] = FReadQueue.front();
        FReadQueue.pop_front();
    }
    return FT_OK;
}

void TQvRecordingLink::QueueRead(const std::vector<std::uint8_t>& Bytes) {
    FReadQueue.insert(FReadQueue.end(), Bytes.begin(), Bytes.end());
}

void TQvRecordingLink::FailWrite(std::size_t N, FT_STATUS Status,
                                 std::optional<std::uint32_t> Written) {
    FWriteFaults.push_back({N, Status, Written});
}
