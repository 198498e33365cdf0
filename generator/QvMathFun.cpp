#include "QvMathFun.h"

#include "QvGen4Property.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <numbers>

namespace Qv {

namespace {

// Rounded half to even, then the low 32 bits as the registers take them: large frequency words
// keep their bit pattern and negative readings become two's complement.
std::uint32_t ToReading(double V) {
    const double r = std::nearbyint(V);
    if (!std::isfinite(r)) {
        return 0;
    }
    const double low32 = std::fmod(r, 4294967296.0); // keeps the sign, |low32| < 2^32
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(low32));
}

} // namespace

void TMathFunction::Changed() {
    if (FAutoUpdate) {
        UpdateReadings();
    }
}

void TMathFunction::SetReadingsCount(std::int32_t Value) {
    if (AssignProperty(FReadingsCount, Value, [](std::int32_t v) { return v >= 0; })) {
        Changed();
    }
}

void TMathFunction::SetBytesPerReading(TBytesPerReading Value) {
    if (AssignProperty(FBytesPerReading, Value)) {
        Changed();
    }
}

void TMathFunction::SetFunctionType(TMathFuncsTypes Value) {
    if (AssignProperty(FFunctionType, Value)) {
        Changed();
    }
}

void TMathFunction::Set_CA(double Value) {
    if (AssignProperty(FCA, Value)) {
        Changed();
    }
}

void TMathFunction::Set_CB(double Value) {
    if (AssignProperty(FCB, Value)) {
        Changed();
    }
}

void TMathFunction::Set_CC(double Value) {
    if (AssignProperty(FCC, Value, [](double v) { return v >= 0.0 && v <= 1.0; })) {
        Changed();
    }
}

void TMathFunction::SetDirectRdsBytes(bool Value) {
    if (AssignProperty(FDirectRdsBytes, Value)) {
        Changed();
    }
}

void TMathFunction::SetDirectRdsOrder(bool Value) {
    if (AssignProperty(FDirectRdsOrder, Value)) {
        Changed();
    }
}

void TMathFunction::SetHalfOfPeriod(bool Value) {
    if (AssignProperty(FHalfOfPeriod, Value)) {
        Changed();
    }
}

void TMathFunction::SetAutoUpdate(bool Value) {
    if (AssignProperty(FAutoUpdate, Value) && Value) {
        UpdateReadings();
    }
}

void TMathFunction::SetPropsLoaded(bool Value) {
    if (AssignProperty(FPropsLoaded, Value)) {
        UpdateReadings();
    }
}

void TMathFunction::UpdateReadings() {
    if (FPropsLoaded) {
        ResizeReadingsMemory();
        CreateReadings();
    }
}

void TMathFunction::ResizeReadingsMemory() {
    DeleteReadingsMemory();
    if (FReadingsCount == 0) {
        return;
    }
    const std::int64_t size = std::int64_t{FReadingsCount} * Width();
    if (size > std::numeric_limits<std::int32_t>::max()) {
        throw std::bad_alloc(); // the size field could not describe such a table
    }
    FReadingsMemory = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size));
    FReadingsMemorySize = static_cast<std::int32_t>(size);
}

void TMathFunction::DeleteReadingsMemory() {
    FReadingsMemory.reset();
    FReadingsMemorySize = 0;
}

void TMathFunction::CreateReadings() {
    // Called on its own after changes made with AutoUpdate off, the buffer may still be sized for
    // an older count or width; filling it as it is would write past its end.
    if (FReadingsMemorySize != std::int64_t{FReadingsCount} * Width()) {
        ResizeReadingsMemory();
    }
    if (!FReadingsMemory) {
        return;
    }
    const std::int32_t n = FReadingsCount;
    const int w = Width();
    const long double periods = FHalfOfPeriod ? 1.0L : 2.0L;
    const double high = std::nearbyint(static_cast<double>(n) * FCC); // rectangle threshold
    for (std::int32_t i = 0; i < n; ++i) {
        double v = 0;
        switch (FFunctionType) {
        case QMFT_sin: {
            // The argument is formed in extended precision, then rounded once to double.
            const auto arg = static_cast<double>(periods * std::numbers::pi_v<long double> * i / n);
            v = std::sin(arg) * FCB + FCA;
            break;
        }
        case QMFT_triangle: {
            const double d = static_cast<double>(i) / n;
            const double t = d < FCC ? d / FCC : (FCC - d) / (1 - FCC) + 1;
            v = (FCA - FCB) + 2 * FCB * t;
            break;
        }
        case QMFT_rect:
            v = i < high ? FCA + FCB : FCA - FCB;
            break;
        }
        const std::uint32_t r = ToReading(v);
        const std::int32_t p = FDirectRdsOrder ? i : n - 1 - i;
        std::uint8_t* out = FReadingsMemory.get() + std::size_t(p) * std::size_t(w);
        for (int b = 0; b < w; ++b) {
            const int shift = 8 * (FDirectRdsBytes ? b : w - 1 - b);
            out[b] = static_cast<std::uint8_t>(r >> shift);
        }
    }
}

} // namespace Qv
