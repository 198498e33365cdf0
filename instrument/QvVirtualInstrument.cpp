// The device's link side, its faults and its protocol log.
#include "QvVirtualInstrument.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

TQvInputSignal QvSineInput(double Hz, double Amplitude) {
    return
        [Hz, Amplitude](double t) { return Amplitude * std::sin(2 * std::numbers::pi * Hz * t); };
}

TQvInputSignal QvConstantInput(double Level) {
    return [Level](double) { return Level; };
}

std::string TQvMonitorLine::ToString() const {
    std::string s = Channel + " | " + Text + " |";
    char buf[4];
    for (const std::uint8_t b : Raw) {
        std::snprintf(buf, sizeof buf, " %02X", b);
        s += buf;
    }
    if (RawSize > Raw.size()) {
        s += " … (" + std::to_string(RawSize) + " байт)";
    }
    return s;
}

TQvVirtualInstrument::TQvVirtualInstrument()
    : FInput1(QvSineInput(1000)), FInput2(QvSineInput(1000)), FAdcInput(QvSineInput(1000)) {}

void TQvVirtualInstrument::PowerOn() {
    FState = TQvInstrumentState{};
    FAnswer.clear();
    FLastControlled.reset();
}

double TQvVirtualInstrument::ReferenceMHz() const {
    return FState.ExternalReference ? FExtRefMHz : TQvInstrumentState::BUILTIN_REF_MHZ;
}

double TQvVirtualInstrument::GeneratorClockMHz() const {
    return ReferenceMHz() * FState.Multiplier;
}

void TQvVirtualInstrument::SetInput1(TQvInputSignal Signal) {
    FInput1 = std::move(Signal);
}
void TQvVirtualInstrument::SetInput2(TQvInputSignal Signal) {
    FInput2 = std::move(Signal);
}
void TQvVirtualInstrument::SetAdcInput(TQvInputSignal Signal) {
    FAdcInput = std::move(Signal);
}

// --- Link side ---

FT_STATUS TQvVirtualInstrument::Open() {
    if (FPulled) {
        return FT_DEVICE_NOT_FOUND;
    }
    if (FOpenFault) {
        return *FOpenFault;
    }
    FOpen = true;
    // A new session starts on a frame boundary; what an earlier one left unfinished is lost.
    const std::uint64_t offset = FParser.Offset();
    if (auto lost = FParser.Discard(); !lost.empty()) {
        ProtocolError(offset - lost.size(), "—", "кадр или блок оборван", std::move(lost));
    }
    return FT_OK;
}

FT_STATUS TQvVirtualInstrument::Close() {
    FOpen = false;
    return FT_OK;
}

FT_STATUS TQvVirtualInstrument::Write(const std::uint8_t* Data, std::uint32_t Count,
                                      std::uint32_t& Written) {
    Written = 0;
    if (!FOpen) {
        return FT_INVALID_HANDLE;
    }
    if (FPulled) {
        return FT_IO_ERROR;
    }
    FT_STATUS status = FT_OK;
    std::uint32_t deliver = Count;
    for (auto it = FWriteFaults.begin(); it != FWriteFaults.end();) {
        if (--it->Left == 0) {
            status = it->Status;
            deliver = std::min(Count, it->Delivered);
            it = FWriteFaults.erase(it);
        } else {
            ++it;
        }
    }
    const std::size_t taken =
        FParser.Feed(Data, deliver, [this](const TQvStreamItem& Item) { return Take(Item); });
    Written = static_cast<std::uint32_t>(taken);
    if (taken < deliver) {
        return FT_IO_ERROR; // pulled out in the middle of the write
    }
    return status;
}

FT_STATUS TQvVirtualInstrument::Read(std::uint8_t* Data, std::uint32_t Count,
                                     std::uint32_t& Received) {
    Received = 0;
    if (!FOpen) {
        return FT_INVALID_HANDLE;
    }
    if (FPulled || FSilent) {
        FAnswer.clear();
        return FT_IO_ERROR; // the read timed out
    }
    while (Received < Count && !FAnswer.empty()) {
        Data[Received++] = FAnswer.front();
        FAnswer.pop_front();
    }
    // Fewer bytes than asked for means the rest never came: a timed-out read, as on USB.
    return Received == Count ? FT_OK : FT_IO_ERROR;
}

bool TQvVirtualInstrument::Take(const TQvStreamItem& Item) {
    if (Item.Kind == TQvStreamItem::Block) {
        ++FBlocks;
        ApplyBlock(Item);
        return true;
    }
    ++FFrames;
    ApplyFrame(Item);
    if (FFramesToPull && --*FFramesToPull == 0) {
        FFramesToPull.reset();
        FPulled = true;
        return false;
    }
    return true;
}

// --- Faults ---

void TQvVirtualInstrument::FailWrite(std::uint32_t N, FT_STATUS Status, std::uint32_t Delivered) {
    if (N == 0) {
        N = 1;
    }
    FWriteFaults.push_back({N, Status, Delivered});
}

void TQvVirtualInstrument::PullOutAfterFrames(std::uint32_t N) {
    if (N == 0) {
        FPulled = true;
        FFramesToPull.reset();
    } else {
        FFramesToPull = N;
    }
}

void TQvVirtualInstrument::PlugIn() {
    if (!FPulled) {
        return;
    }
    FPulled = false;
    FOpen = false; // the old handle died with the device
    FParser.Discard();
    PowerOn();
}

void TQvVirtualInstrument::ClearFaults() {
    FOpenFault.reset();
    FWriteFaults.clear();
    FSilent = false;
    FFramesToPull.reset();
    PlugIn();
}

// --- Monitor ---

void TQvVirtualInstrument::Log(std::string Channel, std::string Text, const std::uint8_t* Raw,
                               std::size_t Size, bool Error) {
    TQvMonitorLine line;
    line.Seq = FNextSeq++;
    line.Channel = std::move(Channel);
    line.Text = std::move(Text);
    line.Raw.assign(Raw, Raw + std::min(Size, TQvMonitorLine::RAW_SHOWN));
    line.RawSize = Size;
    line.Error = Error;
    FMonitor.push_back(std::move(line));
    if (FMonitor.size() > MONITOR_KEEP) {
        FMonitor.pop_front();
    }
    if (OnMonitorLine) {
        OnMonitorLine(FMonitor.back());
    }
}

void TQvVirtualInstrument::ProtocolError(std::uint64_t Offset, std::string Channel,
                                         std::string Reason, std::vector<std::uint8_t> Bytes) {
    ++FErrorCount;
    Log(std::move(Channel), "ОШИБКА ПРОТОКОЛА: " + Reason, Bytes.data(), Bytes.size(), true);
    const std::size_t size = Bytes.size();
    Bytes.resize(std::min(size, TQvProtocolError::BYTES_KEPT));
    FErrors.push_back({Offset, std::move(Reason), std::move(Bytes), size});
    if (FErrors.size() > ERRORS_KEEP) {
        FErrors.pop_front();
    }
}

std::vector<std::string> TQvVirtualInstrument::MonitorText(std::uint64_t From) const {
    std::vector<std::string> out;
    for (const auto& line : FMonitor) {
        if (line.Seq >= From) {
            out.push_back(line.ToString());
        }
    }
    return out;
}
