// TMathFunction computes one period (or half of one) of a modulating waveform as a table of
// integer readings, already packed in the byte layout the instrument takes. It knows nothing of
// the instrument: the owner sets the count, the width and order of the readings, the waveform and
// its coefficients, then sends ReadingsMemory() as it is. With AutoUpdate on, every accepted
// change rebuilds the table at once; owners that change several properties switch AutoUpdate off
// meanwhile and on again at the end, which rebuilds it once.
#pragma once

#include <cstdint>
#include <memory>

namespace Qv {

enum TMathFuncsTypes : std::uint8_t { QMFT_sin = 0, QMFT_triangle = 1, QMFT_rect = 2 };

// Width of one reading: two or four bytes.
enum TBytesPerReading : std::uint8_t { BPR_2 = 0, BPR_4 = 1 };

class TMathFunction {
public:
    TMathFunction() = default;
    virtual ~TMathFunction() = default;
    TMathFunction(const TMathFunction&) = delete;
    TMathFunction& operator=(const TMathFunction&) = delete;

    // --- The table, valid until the next rebuild ---
    std::int32_t ReadingsCount() const { return FReadingsCount; }
    std::int32_t ReadingsMemorySize() const { return FReadingsMemorySize; }      // bytes
    const std::uint8_t* ReadingsMemory() const { return FReadingsMemory.get(); } // null when empty

    // --- Properties; a refused or unchanged value changes nothing ---
    void SetReadingsCount(std::int32_t Value); // negative counts are refused
    TBytesPerReading BytesPerReading() const { return FBytesPerReading; }
    void SetBytesPerReading(TBytesPerReading Value);
    TMathFuncsTypes FunctionType() const { return FFunctionType; }
    void SetFunctionType(TMathFuncsTypes Value);
    // Centre of the waveform.
    double CA() const { return FCA; }
    void Set_CA(double Value);
    // Half the peak-to-peak swing.
    double CB() const { return FCB; }
    void Set_CB(double Value);
    // Shape in 0..1: turning point of the triangle, share of high readings of the rectangle.
    double CC() const { return FCC; }
    void Set_CC(double Value);
    // true: least significant byte of a reading first.
    bool DirectRdsBytes() const { return FDirectRdsBytes; }
    void SetDirectRdsBytes(bool Value);
    // true: reading i at position i; false: the table is stored back to front.
    bool DirectRdsOrder() const { return FDirectRdsOrder; }
    void SetDirectRdsOrder(bool Value);
    // The sine covers half a period instead of a whole one.
    bool HalfOfPeriod() const { return FHalfOfPeriod; }
    void SetHalfOfPeriod(bool Value);

    // --- Recomputation gates ---
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value);
    bool PropsLoaded() const { return FPropsLoaded; }
    void SetPropsLoaded(bool Value);

    void UpdateReadings();
    void ResizeReadingsMemory();
    void DeleteReadingsMemory();
    void CreateReadings();

private:
    // Rebuilds the table after an accepted change when AutoUpdate is on.
    void Changed();
    int Width() const { return FBytesPerReading == BPR_4 ? 4 : 2; }

    std::int32_t FReadingsCount = 0;
    std::int32_t FReadingsMemorySize = 0;
    std::unique_ptr<std::uint8_t[]> FReadingsMemory;
    bool FPropsLoaded = true;
    bool FAutoUpdate = true;
    double FCA = 1.0;
    double FCB = 1.0;
    double FCC = 0.5;
    TMathFuncsTypes FFunctionType = QMFT_sin;
    bool FDirectRdsBytes = true;
    TBytesPerReading FBytesPerReading = BPR_2;
    bool FDirectRdsOrder = true;
    bool FHalfOfPeriod = false;
};

} // namespace Qv

// The model uses the waveform types unqualified.
using Qv::BPR_2;
using Qv::BPR_4;
using Qv::QMFT_rect;
using Qv::QMFT_sin;
using Qv::QMFT_triangle;
using Qv::TBytesPerReading;
using Qv::TMathFuncsTypes;
using Qv::TMathFunction;
