// The virtual Ж7-ТН4/90: a full device in the process, byte-exact with the real one. It reads the
// byte stream as the instrument's microcontroller does, keeps each output's registers and
// memories, answers the ADC query, renders what each output produces over time, logs every frame
// as one readable line and can be told to fail like a device.
//
// Use: create it with std::make_shared, give the generator a link to it with QvMakeVirtualLink,
// and keep the shared pointer to watch it:
//     auto Instr = std::make_shared<TQvVirtualInstrument>();
//     TQvGen4 Gen(QvMakeVirtualLink(Instr));
//     Gen.SetActive(true);  ...  Instr->SnapshotJson(), Instr->Monitor(), Instr->Sample(QGCN_A, t)
// Single-threaded, like the generator that drives it.
#pragma once

#include "QvGen4Link.h"
#include "QvInstrumentParser.h"
#include "QvInstrumentState.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A signal at an input of the instrument: full scale is -1 to +1, larger values are clipped.
// The argument is the time in seconds.
using TQvInputSignal = std::function<double(double Seconds)>;
TQvInputSignal QvSineInput(double Hz, double Amplitude = 1.0);
TQvInputSignal QvConstantInput(double Level);

// One decoded frame or data block of the protocol monitor.
struct TQvMonitorLine {
    std::uint64_t Seq = 0;         // numbers every line since the instrument was created
    std::string Channel;           // "A", "B", "AB" for both, "—" for the whole instrument
    std::string Text;              // meaning and value in physical units, in Russian
    std::vector<std::uint8_t> Raw; // the bytes, at most RAW_SHOWN of them
    std::size_t RawSize = 0;       // how many bytes the frame or block really had
    bool Error = false;            // a protocol error

    static constexpr std::size_t RAW_SHOWN = 16;
    // "A | Частота несущей: 1000000,000 Гц | 04 00 A3 D7 09 00"
    std::string ToString() const;
};

// Bytes the instrument could not take: an unknown code, a block that does not fit its memory,
// a value outside what a frame allows, a frame cut short.
struct TQvProtocolError {
    static constexpr std::size_t BYTES_KEPT = 1024;
    std::uint64_t Offset = 0; // position of the first offending byte in the stream
    std::string Reason;
    std::vector<std::uint8_t> Bytes; // the first BYTES_KEPT of them
    std::size_t Size = 0;            // how many there were
};

// What an output produces at one moment.
struct TQvOutputSample {
    double Time = 0;             // s from the start of the output's programme
    bool On = false;             // output switched on
    double FrequencyHz = 0;      //
    double AmplitudePercent = 0; // of full scale; 0 while the output is off
    double PhaseDeg = 0;         // start phase, 0 to 360
};

class TQvVirtualInstrument {
public:
    static constexpr double TIMER_HZ = 88473600.0; // microcontroller timer clock
    static constexpr double TICK_S = 10e-9;        // step unit of ramps and memory playback
    static constexpr double HALF_TICK_S = 2e-6;    // unit of the sweep's two timing values
    static constexpr std::size_t MONITOR_KEEP = 20000;
    static constexpr std::size_t ERRORS_KEEP = 1000;

    TQvVirtualInstrument();

    // --- The link side (what TQvVirtualLink forwards) ---
    FT_STATUS Open();
    FT_STATUS Close();
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Written);
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received);
    bool IsOpen() const { return FOpen; }

    // --- State ---
    const TQvInstrumentState& State() const { return FState; }
    const TQvOutputState& Output(TQvGen4ChNames Output) const { return FState[Output]; }
    // Back to the state after power-on, as the reset frame does.
    void PowerOn();
    std::uint64_t FrameCount() const { return FFrames; }
    std::uint64_t BlockCount() const { return FBlocks; }
    std::uint64_t ByteCount() const { return FParser.Offset(); }

    // The external reference (MHz), used once a multiplier frame has arrived; 25 by default.
    void SetExternalReferenceMHz(double MHz) { FExtRefMHz = MHz; }
    double ExternalReferenceMHz() const { return FExtRefMHz; }
    double ReferenceMHz() const;
    double GeneratorClockMHz() const;

    // --- Inputs set by the host (1 kHz sine of full scale each by default) ---
    void SetInput1(TQvInputSignal Signal);
    void SetInput2(TQvInputSignal Signal);
    void SetAdcInput(TQvInputSignal Signal);
    // The instrument's time, s: the moment at which an ADC query samples the ADC input.
    void SetTime(double Seconds) { FTime = Seconds; }
    double Time() const { return FTime; }

    // --- What the outputs do ---
    TQvOutputSample Sample(TQvGen4ChNames Output, double Seconds) const;
    // Count samples evenly over [From, To].
    std::vector<TQvOutputSample> Render(TQvGen4ChNames Output, double From, double To,
                                        std::size_t Count) const;
    // The four bytes an ADC query gets now, as a 32-bit number (most significant byte first).
    std::uint32_t AdcAnswer() const;
    double WordToHz(double FreqWord) const;
    // Amplitude of a 16-bit code (two's complement, saturating at 0 and full scale), percent.
    static double CodeToPercent(std::uint16_t Code);
    static double AmplitudeOf(double Code);
    static double CodeToDegrees(std::uint16_t Code);

    // --- Faults ---
    // Open fails with Status until cleared.
    void FailOpen(FT_STATUS Status = FT_DEVICE_NOT_FOUND) { FOpenFault = Status; }
    // The N-th write from now (1 = the next) passes only Delivered bytes and returns Status:
    // FT_OK with fewer bytes is a short write.
    void FailWrite(std::uint32_t N, FT_STATUS Status = FT_IO_ERROR, std::uint32_t Delivered = 0);
    // Queries get no answer: reads time out and fail.
    void SilenceReads(bool Silent) { FSilent = Silent; }
    // After N more complete frames the device is gone: writes and reads fail, open finds nothing.
    void PullOutAfterFrames(std::uint32_t N);
    // Plugs the device back in: it starts from power-on.
    void PlugIn();
    bool PulledOut() const { return FPulled; }
    void ClearFaults();

    // --- Protocol monitor ---
    const std::deque<TQvMonitorLine>& Monitor() const { return FMonitor; }
    // Lines with a sequence number of From or later, as text.
    std::vector<std::string> MonitorText(std::uint64_t From = 0) const;
    std::uint64_t NextMonitorSeq() const { return FNextSeq; }
    void ClearMonitor() { FMonitor.clear(); }
    // Called with every new line.
    std::function<void(const TQvMonitorLine&)> OnMonitorLine;

    const std::deque<TQvProtocolError>& ProtocolErrors() const { return FErrors; }
    std::uint64_t ProtocolErrorCount() const { return FErrorCount; }

    // --- Snapshot of the state as JSON (schema in docs/virtual-instrument.md) ---
    std::string SnapshotJson() const;

private:
    bool Take(const TQvStreamItem& Item);
    void ApplyFrame(const TQvStreamItem& Item);
    void ApplyBlock(const TQvStreamItem& Item);
    void Log(std::string Channel, std::string Text, const std::uint8_t* Raw, std::size_t Size,
             bool Error = false);
    void ProtocolError(std::uint64_t Offset, std::string Channel, std::string Reason,
                       std::vector<std::uint8_t> Bytes);
    double Input(const TQvInputSignal& Signal, double Seconds) const;
    std::uint32_t MemoryWordAt(const TQvOutputState& Out, double Seconds) const;
    double SweepWordAt(const TQvOutputState& Out, double Seconds) const;

    TQvInstrumentState FState;
    TQvFrameParser FParser;
    std::deque<std::uint8_t> FAnswer;
    std::optional<TQvGen4ChNames> FLastControlled; // output of the last control frame
    double FExtRefMHz = TQvInstrumentState::BUILTIN_REF_MHZ;
    TQvInputSignal FInput1;
    TQvInputSignal FInput2;
    TQvInputSignal FAdcInput;
    double FTime = 0;
    std::uint64_t FFrames = 0;
    std::uint64_t FBlocks = 0;

    bool FOpen = false;
    std::optional<FT_STATUS> FOpenFault;
    struct TWriteFault {
        std::uint32_t Left;
        FT_STATUS Status;
        std::uint32_t Delivered;
    };
    std::vector<TWriteFault> FWriteFaults;
    bool FSilent = false;
    std::optional<std::uint32_t> FFramesToPull;
    bool FPulled = false;

    std::deque<TQvMonitorLine> FMonitor;
    std::uint64_t FNextSeq = 0;
    std::deque<TQvProtocolError> FErrors;
    std::uint64_t FErrorCount = 0;
};

// The thin link the generator owns; the instrument lives as long as anyone holds it.
class TQvVirtualLink final : public TQvGen4Link {
public:
    explicit TQvVirtualLink(std::shared_ptr<TQvVirtualInstrument> Instrument)
        : FInstrument(std::move(Instrument)) {}
    FT_STATUS Open() override { return FInstrument->Open(); }
    FT_STATUS Close() override { return FInstrument->Close(); }
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count,
                    std::uint32_t& Written) override {
        return FInstrument->Write(Data, Count, Written);
    }
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override {
        return FInstrument->Read(Data, Count, Received);
    }
    const std::shared_ptr<TQvVirtualInstrument>& Instrument() const { return FInstrument; }

private:
    std::shared_ptr<TQvVirtualInstrument> FInstrument;
};

inline std::unique_ptr<TQvGen4Link> QvMakeVirtualLink(std::shared_ptr<TQvVirtualInstrument> I) {
    return std::make_unique<TQvVirtualLink>(std::move(I));
}
