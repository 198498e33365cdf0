// TQvGen4 stands for the two-channel DDS generator. Set properties on it and on its channels;
// with AutoUpdate on and the link open, every accepted change resets the instrument and writes
// the whole configuration anew (the update cycle). To change many values at once, switch
// AutoUpdate off, set them, and switch it on again: that runs exactly one cycle.
#pragma once

#include "QvGen4Channel.h"
#include "QvGen4Cmd.h"
#include "QvGen4Link.h"
#include "QvGen4Options.h"
#include "QvGen4Tick.h"
#include "QvGen4Timer.h"
#include "QvGen4Types.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class TQvGen4;

using TQvGen4NotifyEvent = std::function<void(TQvGen4& Sender)>;
using TQvGen4ParamErrorEvent =
    std::function<void(TQvGen4Channel& Channel, TQvGen4Parameters Param, const double& Value)>;
using TQvGen4ChannelEvent = std::function<void(TQvGen4Channel& Channel)>;
// ByCompat is true for the channel that the compatibility rules changed on the other's behalf.
using TQvGen4ModeChangeEvent = std::function<void(TQvGen4Channel& Channel, bool ByCompat)>;
// Limit is the highest carrier amplitude, in percent, that leaves room for the swing.
using TQvGen4OverModulationEvent = std::function<void(TQvGen4Channel& Channel, double Limit)>;

class TQvGen4 {
public:
    static constexpr double REFFREQ_DEF = 25.0; // MHz
    static constexpr int FREQSCALE_DEF = 16;
    static constexpr std::uint32_t RESPONSE_PAUSE_MS = 20; // after every command frame

    // Without a link the generator behaves as if no device were attached. Without a tick source
    // it waits on the wall clock.
    explicit TQvGen4(std::unique_ptr<TQvGen4Link> Link = nullptr,
                     std::unique_ptr<TQvGen4TickSource> Ticks = nullptr);
    ~TQvGen4();
    TQvGen4(const TQvGen4&) = delete;
    TQvGen4& operator=(const TQvGen4&) = delete;

    // The transport; may be exchanged only while inactive (the old one is closed already).
    void SetLink(std::unique_ptr<TQvGen4Link> Link);
    TQvGen4Link* Link() const { return FLink.get(); }
    void SetTickSource(std::unique_ptr<TQvGen4TickSource> Ticks);
    // Where the tuners get their polling timers (see QvGen4Timer.h); none by default. Timers of
    // the former factory are dropped, and polling that should run is armed anew.
    void SetTimerFactory(TQvGen4TimerFactory Factory);
    // A disarmed timer from the factory, or null when there is none.
    std::unique_ptr<TQvGen4Timer> CreateTimer(std::function<void()> OnTimeout) const;

    // --- Link ---
    bool OpenFTPort();
    bool CloseFTPort();
    // Writes the frame, then pauses RESPONSE_PAUSE_MS; false (and nothing written) while inactive.
    bool WriteCmdFTPort(const TQvGen4Cmd& Cmd);
    bool WriteBytesToFTPort(const std::uint8_t* Data, std::uint32_t Count);
    bool ReadBytesFromFTPort(std::uint8_t* Data, std::uint32_t Count);
    FT_STATUS Status() const { return FStatus; }

    // --- State and the update cycle ---
    bool GetActive() const { return FActive; }
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value);
    void TryUpdateMode();
    void UpdateMode();
    void UpdateDependentTimers();
    void ResetGen();
    void UpdateDDSs(bool Value);
    void SetModeIntModulation(TQvGen4Channel& First, TQvGen4Channel* Second);
    void SetModeExtModulation(TQvGen4Channel& First, TQvGen4Channel* Second);
    void SetModeLFM(TQvGen4Channel& First, TQvGen4Channel* Second);
    bool CompareIntModForDuplex() const;
    // Hook run after stored values have been applied; does nothing.
    void Loaded() {}

    // --- Settings file: clock, both channels with all their sub-objects, and the options, in
    // one fixed record whose bytes are the same on every platform ---
    // Throws EQvGen4InOutError when the file cannot be created or written.
    void SaveToFile(const std::filesystem::path& FileName) const;
    // Applies a file written by SaveToFile as one batch: with AutoUpdate on, exactly one update
    // cycle runs once every value is in place. A file of another kind or version raises
    // OnErrorFile and returns false. A file that cannot be opened, ends before its record does,
    // or holds a value no set-up can have throws EQvGen4InOutError. A refused file leaves the
    // model as it was; an error of the update cycle comes after every value is applied.
    bool LoadFromFile(const std::filesystem::path& FileName);

    // --- Reference clock (MHz) ---
    bool UseExtRefFreq() const { return FUseExtRefFreq; }
    void SetUseExtRefFreq(bool Value);
    double RefFreq() const { return FRefFreq; }
    void SetRefFreq(double Value);
    int FreqScale() const { return FFreqScale; }
    void SetFreqScale(int Value);
    double GenFreq() const { return FGenFreq; }
    void CalcGenFreq();
    void WriteExtFreqScale();

    // --- Conversions between physical values and register codes ---
    std::int32_t Conv_FreqToCode(double Hz) const;
    double Conv_CodeToFreq(double Code) const;
    static std::int32_t Conv_AmplToCode(double Percent);
    static double Conv_CodeToAmpl(double Code);
    static std::int32_t Conv_PhaseToCode(double Degrees);
    static double Conv_CodeToPhase(double Code);
    static double Conv_AmplTodB(double Percent);
    static double Conv_AdBToAmpl(double dB);
    static double Conv_Value(double Value, double From, double To);
    static double Conv_Value(double Value, double From, double To, signed char Digits);

    // --- Events (an empty one is skipped) ---
    TQvGen4NotifyEvent OnFTError;
    TQvGen4ParamErrorEvent OnParamValueError;
    TQvGen4ChannelEvent OnADCTimer;
    TQvGen4NotifyEvent AfterUpdate;
    TQvGen4ModeChangeEvent OnChModeChange;
    TQvGen4NotifyEvent OnChangeActiveState;
    TQvGen4NotifyEvent OnGenResponseWait;
    TQvGen4OverModulationEvent OnOverModulation;
    TQvGen4NotifyEvent OnErrorFile;

private:
    friend class TQvGen4File; // a loaded set-up is stored as it was saved
    [[noreturn]] void LinkFailure(const char* Message);
    void Pause();

    std::unique_ptr<TQvGen4Link> FLink;
    std::unique_ptr<TQvGen4TickSource> FTicks;
    TQvGen4TimerFactory FTimerFactory; // outlives the channels' timers
    FT_STATUS FStatus = FT_OK;

public:
    TQvGen4ChannelA ChA;
    TQvGen4ChannelB ChB;
    TQvGen4Options Options;

private:
    double FRefFreq = REFFREQ_DEF;
    int FFreqScale = FREQSCALE_DEF;
    double FGenFreq = REFFREQ_DEF * FREQSCALE_DEF;
    bool FActive = false;
    bool FAutoUpdate = true;
    bool FUseExtRefFreq = false;
};
