#include "QvGen4.h"

#include "QvGen4Errors.h"

#include <algorithm>

TQvGen4::TQvGen4(std::unique_ptr<TQvGen4Link> Link, std::unique_ptr<TQvGen4TickSource> Ticks)
    : FLink(std::move(Link)), FTicks(std::move(Ticks)), ChA(*this), ChB(*this), Options(*this) {
    if (!FTicks) {
        FTicks = std::make_unique<TQvGen4SystemTicks>();
    }
}

TQvGen4::~TQvGen4() {
    try {
        SetActive(false);
    } catch (const std::exception&) {
        // A destructor cannot report; the reset frame is lost but the device must not stay open.
        if (FActive && FLink) {
            FLink->Close();
        }
    }
}

void TQvGen4::SetLink(std::unique_ptr<TQvGen4Link> Link) {
    if (FActive) {
        SetActive(false);
    }
    FLink = std::move(Link);
}

void TQvGen4::SetTickSource(std::unique_ptr<TQvGen4TickSource> Ticks) {
    FTicks = Ticks ? std::move(Ticks) : std::make_unique<TQvGen4SystemTicks>();
}

void TQvGen4::SetTimerFactory(TQvGen4TimerFactory Factory) {
    FTimerFactory = std::move(Factory);
    ChA.Tuner.ReleaseADCTimer();
    ChB.Tuner.ReleaseADCTimer();
    UpdateDependentTimers();
}

std::unique_ptr<TQvGen4Timer> TQvGen4::CreateTimer(std::function<void()> OnTimeout) const {
    if (!FTimerFactory) {
        return nullptr;
    }
    return FTimerFactory(std::move(OnTimeout));
}

// --- Link ---

bool TQvGen4::OpenFTPort() {
    FStatus = FLink ? FLink->Open() : FT_DEVICE_NOT_FOUND;
    if (FStatus == FT_OK) {
        FActive = true;
        return true;
    }
    FActive = false;
    if (OnFTError) {
        OnFTError(*this);
    }
    return false;
}

bool TQvGen4::CloseFTPort() {
    FStatus = FLink ? FLink->Close() : FT_INVALID_HANDLE;
    if (FStatus == FT_OK) {
        FActive = false;
        return true;
    }
    if (OnFTError) {
        OnFTError(*this);
    }
    return false;
}

void TQvGen4::LinkFailure(const char* Message) {
    if (OnFTError) {
        OnFTError(*this);
    }
    throw EQvGen4Error(Message);
}

void TQvGen4::Pause() {
    // The instrument needs 20 ms after each frame. Sleep in short slices so that the host's wait
    // hook runs often without a core spinning; the hook runs at least once per frame.
    constexpr std::uint32_t SliceMs = 2;
    const std::uint32_t start = FTicks->GetTickCount();
    for (;;) {
        if (OnGenResponseWait) {
            OnGenResponseWait(*this);
        }
        const std::uint32_t elapsed = FTicks->GetTickCount() - start; // modulo 2^32
        if (elapsed >= RESPONSE_PAUSE_MS) {
            break;
        }
        FTicks->Sleep(std::min(SliceMs, RESPONSE_PAUSE_MS - elapsed));
    }
}

bool TQvGen4::WriteCmdFTPort(const TQvGen4Cmd& Cmd) {
    if (!FActive) {
        return false;
    }
    std::uint32_t written = 0;
    const auto length = static_cast<std::uint32_t>(Cmd.Length);
    const FT_STATUS status = FLink->Write(Cmd.Bytes.data(), length, written);
    Pause();
    FStatus = status;
    if (status == FT_OK && written == length) {
        return true;
    }
    LinkFailure("Ошибка при записи команды в FTPort");
}

bool TQvGen4::WriteBytesToFTPort(const std::uint8_t* Data, std::uint32_t Count) {
    if (!FActive) {
        return false;
    }
    std::uint32_t written = 0;
    FStatus = FLink->Write(Data, Count, written);
    if (FStatus == FT_OK && written == Count) {
        return true;
    }
    LinkFailure("Ошибка при записи данных в FTPort");
}

bool TQvGen4::ReadBytesFromFTPort(std::uint8_t* Data, std::uint32_t Count) {
    if (!FActive) {
        return false;
    }
    std::uint32_t received = 0;
    FStatus = FLink->Read(Data, Count, received);
    if (FStatus == FT_OK && received == Count) {
        return true;
    }
    LinkFailure("Ошибка при чтении данных из FTPort");
}

// --- State and the update cycle ---

void TQvGen4::SetActive(bool Value) {
    if (Value == FActive) {
        return;
    }
    if (Value) {
        if (OpenFTPort()) {
            TryUpdateMode();
        }
    } else {
        FActive = false;
        UpdateDependentTimers(); // every tuning timer stops while the flag is clear
        FActive = true;          // the reset frame still has to go out
        try {
            ResetGen();
        } catch (const EQvGen4Error&) {
            // An instrument pulled out cannot take the reset; keeping the port open would leave
            // the program stuck connected to nothing. Close it, tell the host, then report.
            CloseFTPort();
            if (OnChangeActiveState) {
                OnChangeActiveState(*this);
            }
            throw;
        }
        CloseFTPort();
    }
    if (OnChangeActiveState) {
        OnChangeActiveState(*this);
    }
}

void TQvGen4::SetAutoUpdate(bool Value) {
    if (Value == FAutoUpdate) {
        return;
    }
    FAutoUpdate = Value;
    if (Value) {
        TryUpdateMode();
    }
}

void TQvGen4::TryUpdateMode() {
    if (FAutoUpdate) {
        UpdateMode();
    }
}

namespace {

// The first channel in mode M (channel A looked at first) and the other one if it shares M.
struct TModePair {
    TQvGen4Channel* First = nullptr;
    TQvGen4Channel* Second = nullptr;
};

TModePair ChannelsIn(TQvGen4Channel& A, TQvGen4Channel& B, TQvGen4ModesCommon M) {
    TModePair pair;
    if (A.Mode() == M) {
        pair.First = &A;
    } else if (B.Mode() == M) {
        pair.First = &B;
    } else {
        return pair;
    }
    TQvGen4Channel& other = pair.First->GetOtherCh();
    if (other.Mode() == M) {
        pair.Second = &other;
    }
    return pair;
}

} // namespace

void TQvGen4::UpdateMode() {
    UpdateDependentTimers();
    if (!FActive) {
        return;
    }
    ResetGen();
    if (FUseExtRefFreq) {
        WriteExtFreqScale();
    }
    if (auto gen = ChannelsIn(ChA, ChB, QGMdC_gen); gen.First) {
        gen.First->SetModeSinGeneration();
        if (gen.Second) {
            gen.Second->SetModeSinGeneration();
        }
        UpdateDDSs(true);
    }
    if (auto im = ChannelsIn(ChA, ChB, QGMdC_IntModulation); im.First) {
        SetModeIntModulation(*im.First, im.Second);
    }
    if (ChA.Mode() == QGMdC_DDSMod) {
        ChA.SetModeDDSMod();
    }
    if (ChB.Mode() == QGMdC_DDSMod) {
        ChB.SetModeDDSMod();
    }
    if (ChA.Mode() == QGMdC_tuning) {
        ChA.SetModeTuning();
    } else if (ChB.Mode() == QGMdC_tuning) {
        ChB.SetModeTuning();
    }
    if (auto em = ChannelsIn(ChA, ChB, QGMdC_ExtModulation); em.First) {
        SetModeExtModulation(*em.First, em.Second);
    }
    if (ChA.Mode() == QGMdC_ExtModulationA12) {
        SetModeExtModulation(ChA, nullptr);
    }
    if (ChA.Mode() == QGMdC_ExtModulationAB1) {
        ChB.SetOpened(true);
        ChB.WriteAFPtoGen();
        ChA.SetModeExtModulation(false);
        TQvGen4ExtModulation::StartDuplexModulation(ChA);
    }
    if (auto lfm = ChannelsIn(ChA, ChB, QGMdC_LFM); lfm.First) {
        SetModeLFM(*lfm.First, lfm.Second);
    }
    if (AfterUpdate) {
        AfterUpdate(*this);
    }
}

void TQvGen4::UpdateDependentTimers() {
    ChA.UpdateDependentTimers();
    ChB.UpdateDependentTimers();
}

void TQvGen4::ResetGen() {
    WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_Reset));
}

void TQvGen4::UpdateDDSs(bool Value) {
    WriteCmdFTPort(TQvGen4Cmd(QGCN_A, Value ? QGC_UpdateDDSs : QGC_NoUpdateDDSs));
}

void TQvGen4::SetModeIntModulation(TQvGen4Channel& First, TQvGen4Channel* Second) {
    if (!Second) {
        First.SetModeIntModulation(true);
        First.IntModulation.StartSingleModulation(true);
    } else if (Options.EnableDuplexIntMod()) {
        First.SetModeIntModulation(true);
        Second->SetOpened(true);
        Second->WriteAFPtoGen();
        First.IntModulation.StartDuplexModulation(true);
    } else {
        First.SetModeIntModulation(false);
        First.IntModulation.StartModulationCmd(QGC_IntModDoubleCmd);
        Second->SetModeIntModulation(false);
        Second->IntModulation.StartModulationCmd(QGC_IntModDoubleCmd);
        First.IntModulation.StartDoubleModulation(true);
    }
}

void TQvGen4::SetModeExtModulation(TQvGen4Channel& First, TQvGen4Channel* Second) {
    if (Second) {
        First.SetModeExtModulation(false);
        Second->SetModeExtModulation(false);
        TQvGen4ExtModulation::StartDoubleModulation(First, *Second);
    } else {
        First.SetModeExtModulation(true);
    }
}

void TQvGen4::SetModeLFM(TQvGen4Channel& First, TQvGen4Channel* Second) {
    if (Second) {
        First.SetModeLFM(false);
        Second->SetModeLFM(true);
    } else {
        First.SetModeLFM(true);
    }
}

bool TQvGen4::CompareIntModForDuplex() const {
    return ChA.IntModulation.Type() == ChB.IntModulation.Type();
}
