// The linear frequency sweep of a channel: the carrier frequency rises from the channel's
// Frequency to FreqTop in Tinc0, stays there for Tinc1, falls back in Tdec0 and stays at the bottom
// for Tdec1, over and over. The synthesizer runs the ramps itself; this object turns each ramp into
// a step word and a step-rate count and gives the microcontroller the timing.
#pragma once

#include <cstdint>

class TQvGen4Channel;

class TQvGen4LFM {
public:
    static constexpr double TIME_BOT = 10.0;         // µs, shortest ramp or hold time
    static constexpr double TIME_TOP = 10000000.0;   // µs, longest
    static constexpr double MUL_COEF = 1073741824.0; // 2^30, scales the frequency difference
    static constexpr double DIV_COEF = 10000000.0;   // scales the ramp time

    explicit TQvGen4LFM(TQvGen4Channel& Owner) : FOwner(Owner) {}
    TQvGen4LFM(const TQvGen4LFM&) = delete;
    TQvGen4LFM& operator=(const TQvGen4LFM&) = delete;

    // Top frequency, kHz; a value below the channel's Frequency is ignored without a report.
    std::int32_t FreqTop() const { return FFreqTop; }
    void SetFreqTop(std::int32_t Value);
    // Rise, hold at the top, fall, hold at the bottom; µs, TIME_BOT..TIME_TOP. A refused time is
    // reported through the generator's OnParamValueError.
    std::int32_t Tinc0() const { return FTinc0; }
    void SetTinc0(std::int32_t Value);
    std::int32_t Tinc1() const { return FTinc1; }
    void SetTinc1(std::int32_t Value);
    std::int32_t Tdec0() const { return FTdec0; }
    void SetTdec0(std::int32_t Value);
    std::int32_t Tdec1() const { return FTdec1; }
    void SetTdec1(std::int32_t Value);

    bool CheckTimeRange(double Value);

    // Best rational approximation A/B of X/Y from the convergents of its continued fraction: the
    // last convergent with A <= MaxA and B <= MaxB (a bound of 0 means none). A and B are 0 when
    // X/Y is not positive, or when the first convergent already breaks a bound. The expansion
    // ends where a quotient or a convergent no longer fits in 32 bits, so it always ends.
    static void XYtoAB(double X, double Y, double MaxA, double MaxB, double& A, double& B);

    // Sends the sweep's frames; the timing and start frames only when Start is set. Of a
    // synchronised pair only the second channel starts, and its times apply to both.
    void StartLFM(bool Start);

private:
    friend class TQvGen4Channel; // raises FreqTop with the carrier, without an update
    friend class TQvGen4File;    // a loaded set-up is stored as it was saved

    void SetTime(std::int32_t& Field, std::int32_t Value);
    // Frame of one ramp: the step-rate count B + 1 and the step word A.
    void WriteRamp(std::uint8_t Code, std::int32_t Time);

    TQvGen4Channel& FOwner;
    std::int32_t FFreqTop = 0;
    std::int32_t FTinc0 = 0;
    std::int32_t FTinc1 = 0;
    std::int32_t FTdec0 = 0;
    std::int32_t FTdec1 = 0;
};
