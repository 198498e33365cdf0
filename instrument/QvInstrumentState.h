// What the virtual instrument holds: the registers and memories that the frames and data blocks
// set, per output and shared. Plain data; the instrument fills it, hosts read it.
#pragma once

#include "QvGen4Types.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

// How a modulation was started: one output alone, both from one start frame (each its own table
// or input), channel A's modulation on both outputs, or A from both external inputs.
enum class TQvStartForm : std::uint8_t { None, Single, Double, Duplex, A12, AB1 };

// What an output is doing, derived from its registers.
enum class TQvOutputMode : std::uint8_t {
    Off,
    Sine,
    Tuning,
    IntModulation,
    ExtModulation,
    Sweep,
    Keying,
    MemoryTable,
};

// Tuning from the ADC input around the centre word.
struct TQvTuningState {
    bool Active = false;
    TQvGen4AFPModes Parameter = QGAFPms_freq;
    std::uint8_t Scale = 0;
};

// Modulation from a table in the microcontroller memory, played by its timer.
struct TQvIntModState {
    bool Prepared = false; // two-output start announced, waiting for the common start
    bool Running = false;
    TQvStartForm Form = TQvStartForm::None;
    TQvGen4AFPModes Parameter = QGAFPms_freq;
    std::uint16_t Divider = 0;    // timer reload; 65536 - Divider timer ticks per reading
    std::uint8_t TimerByte = 0;   // third parameter byte of the start frame, kept as sent
    std::uint16_t TableStart = 0; // byte address in the microcontroller memory
    std::uint16_t TableBytes = 0;
};

// Modulation by the external inputs around the centre word.
struct TQvExtModState {
    bool Running = false;
    TQvStartForm Form = TQvStartForm::None;
    TQvGen4AFPModes Parameter = QGAFPms_freq;
    std::uint8_t Scale = 0;       // depth of the output's own input
    std::uint8_t ScaleInput2 = 0; // depth of input 2 when A sums both inputs
};

// One ramp of the sweep: the frequency word moves by Step every (Rate - 1) mod 256 ticks of 10 ns.
struct TQvRamp {
    std::uint8_t Rate = 0;
    std::uint32_t Step = 0;
};

struct TQvSweepState {
    TQvRamp Rise;
    TQvRamp Fall;
    std::uint32_t TopWord = 0;
    bool Started = false;
};

// A segment of the synthesizer memory with its step time and playback, set by frames 07 to 0A
// while the memory is enabled.
struct TQvProfile {
    bool Set = false;
    std::uint16_t StepTime = 0; // units of 10 ns per word
    std::uint16_t Start = 0;    // word addresses, Start <= End for a usable segment
    std::uint16_t End = 0;
    std::uint8_t Playback = 0; // 0x00 once per symbol, 0x80 in a loop, 0x60 down and up
};

struct TQvMemoryState {
    static constexpr std::size_t WORDS = 1024;
    std::array<TQvProfile, 4> Profiles{};
    std::uint8_t Selected = 0;  // the profile the next data block goes to
    bool ExternalTimes = false; // symbols chosen by the external inputs
    std::array<std::uint8_t, WORDS * 4> Bytes{};

    // The 32-bit word at Address, most significant byte first as loaded.
    std::uint32_t Word(std::size_t Address) const {
        const std::size_t i = (Address % WORDS) * 4;
        return std::uint32_t{Bytes[i]} << 24 | std::uint32_t{Bytes[i + 1]} << 16 |
               std::uint32_t{Bytes[i + 2]} << 8 | Bytes[i + 3];
    }
};

struct TQvOutputState {
    bool On = false;
    std::uint32_t FreqWord = 0;
    std::uint16_t AmplWord = 0;
    std::uint16_t PhaseWord = 0;
    std::array<std::uint8_t, 5> Control{}; // parameter bytes of the last control frame
    std::uint32_t CentreWord = 0;          // bytes 1 to 4 of the centre frame
    TQvTuningState Tuning;
    TQvIntModState IntMod;
    TQvExtModState ExtMod;
    TQvSweepState Sweep;
    TQvMemoryState Memory;

    // Control byte bits: the synthesizer memory drives a parameter, which one, the automatic
    // keying program (0 none, 2 two symbols, 3 four symbols) and the frequency ramp.
    bool MemoryEnabled() const { return (Control[0] & 0x80) != 0; }
    bool MemoryToPhase() const { return (Control[0] & 0x40) != 0; }
    std::uint8_t KeyingProgram() const { return (Control[0] >> 4) & 3; }
    bool SweepEnabled() const { return (Control[1] & 0x20) != 0; }

    // The 16-bit half of the centre word used for amplitude and phase.
    std::uint16_t Centre16() const { return static_cast<std::uint16_t>(CentreWord >> 16); }

    TQvOutputMode Mode() const;
    // Symbols taking part in keying: four once a third or fourth segment was set, else two.
    int SymbolCount() const { return Memory.Profiles[2].Set || Memory.Profiles[3].Set ? 4 : 2; }
};

struct TQvInstrumentState {
    static constexpr std::size_t MCU_MEMORY = 8192; // bytes of readings
    static constexpr double BUILTIN_REF_MHZ = 25.0;
    static constexpr std::uint8_t MULTIPLIER_DEF = 16;

    std::array<TQvOutputState, 2> Outputs{};
    std::uint8_t Multiplier = MULTIPLIER_DEF;
    bool ExternalReference = false; // a multiplier frame switches to the external reference
    std::uint32_t RiseHalf = 0;     // sweep timing, units of 2 µs: rise and hold at the top
    std::uint32_t FallHalf = 0;     // fall and hold at the bottom
    std::array<std::uint8_t, MCU_MEMORY> McuMemory{};

    TQvOutputState& operator[](TQvGen4ChNames Output) { return Outputs[Output == QGCN_B]; }
    const TQvOutputState& operator[](TQvGen4ChNames Output) const {
        return Outputs[Output == QGCN_B];
    }
};

// The swing of one input at full scale, in units of the parameter's register: each step of Scale
// doubles it; a frequency word moves by 2^(Scale+9), a 14-bit amplitude or phase code by
// 2^(Scale-7).
inline double QvDepthCodes(TQvGen4AFPModes Parameter, std::uint8_t Scale) {
    return std::ldexp(1.0, Parameter == QGAFPms_freq ? Scale + 9 : Scale - 7);
}
