#include "QvCtlRun.h"

#include "QvFtdiLink.h"
#include "QvGen4.h"
#include "QvGen4Errors.h"
#include "QvGen4StartValues.h"
#include "QvRecordingLink.h"
#include "QvTraceLink.h"
#include "QvVirtualInstrument.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string_view>
#include <thread>

namespace {

std::string_view ChannelName(const TQvGen4Channel& Ch) {
    return Ch.ChannelType() == QGCN_A ? "ChA" : "ChB";
}

} // namespace

std::string QvCtlAdcText(const TQvGen4Channel& Ch) {
    const TQvGen4& gen = Ch.Owner();
    const auto code = static_cast<double>(Ch.Tuner.ADCValue());
    // The channel panel's general format: up to 15 significant digits.
    auto general = [](double V) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g",
                      V + 0.0); // + 0.0: a reading rounded to -0 shows as 0
        return std::string(buf);
    };
    switch (Ch.Tuner.Type()) {
    case QGAFPms_freq: {
        const double hz = gen.Conv_CodeToFreq(code);
        // The panel switches to kHz from the ±48 kHz range (Scale 10) upwards.
        if (Ch.Tuner.Scale() >= 10) {
            return general(std::nearbyint(hz / 1000)) + " кГц";
        }
        return general(std::nearbyint(hz)) + " Гц";
    }
    case QGAFPms_ampl:
        return general(TQvGen4::Conv_Value(TQvGen4::Conv_AmplTodB(TQvGen4::Conv_CodeToAmpl(code)),
                                           1, 1, -3)) +
               " dB";
    case QGAFPms_phase:
        return general(TQvGen4::Conv_Value(TQvGen4::Conv_CodeToPhase(code), 1, 1, -2)) + " °";
    }
    return general(code);
}

namespace {

class TSession {
public:
    TSession(const TQvCtlRequest& Req, std::ostream& Out, std::ostream& Err)
        : FReq(Req), FOut(Out), FErr(Err) {}

    int Run() {
        switch (FReq.Command) {
        case TQvCtlCommand::Frames:
            return Frames();
        case TQvCtlCommand::Show:
            return Show();
        case TQvCtlCommand::Save:
            return Save();
        case TQvCtlCommand::Apply:
        case TQvCtlCommand::Adc:
            return Program();
        }
        return QvCtlExitFailure;
    }

private:
    // Start state, --load and the assignments. False when the file failed (reported already).
    bool Prepare(TQvGen4& Gen) {
        QvGen4ApplyStartValues(Gen);
        // A tuning channel needs a polling timer once the link is open. Nothing here runs an
        // event loop, so the timers never fire by themselves; adc polls on its own schedule.
        Gen.SetTimerFactory(TQvGen4ManualTimer::Factory());
        Gen.OnOverModulation = [this](TQvGen4Channel& Ch, double Limit) {
            // Answered "no": the level stays as assigned.
            FErr << "qvgen4ctl: " << ChannelName(Ch) << ": over-modulation: Amplitude "
                 << QvCtlFormatDouble(Ch.Amplitude()) << " is above the limit "
                 << QvCtlFormatDouble(Limit) << "; not corrected\n";
        };
        if (FReq.LoadFile && !Load(Gen, *FReq.LoadFile)) {
            return false;
        }
        for (const auto& a : FReq.Assignments) {
            a.Path->Set(Gen, a.Value);
            const TQvCtlValue now = a.Path->Get(Gen);
            if (now != a.Value) {
                FRefused = true;
                FErr << "qvgen4ctl: refused: " << a.Path->Name << '=' << a.Text << " (keeps "
                     << QvCtlFormat(a.Path->Type, now) << ")\n";
            }
        }
        return true;
    }

    bool Load(TQvGen4& Gen, const std::string& File) {
        // AutoUpdate is off here, so loading applies the values and runs no cycle.
        try {
            if (!Gen.LoadFromFile(File)) {
                FErr << "qvgen4ctl: " << File
                     << ": not a settings file of this generator (signature or version)\n";
                return false;
            }
        } catch (const EQvGen4Error& e) {
            FErr << "qvgen4ctl: " << File << ": " << e.what() << '\n';
            return false;
        }
        return true;
    }

    int Done() const { return FRefused ? QvCtlExitRefused : QvCtlExitOk; }

    int Fail(const std::exception& E) {
        FErr << "qvgen4ctl: " << E.what() << '\n';
        return QvCtlExitFailure;
    }

    int Frames() {
        auto link = std::make_unique<TQvRecordingLink>();
        TQvRecordingLink* rec = link.get();
        TQvGen4 gen(std::move(link), std::make_unique<TQvGen4ManualTicks>());
        if (!Prepare(gen)) {
            return QvCtlExitFailure;
        }
        gen.SetActive(true); // AutoUpdate is off: this only opens the link
        rec->ClearWrites();
        int rc = QvCtlExitOk;
        try {
            gen.SetAutoUpdate(true);
        } catch (const EQvGen4Error& e) {
            rc = Fail(e);
        }
        for (const auto& w : rec->Writes()) {
            FOut << QvHexLine(w.data(), w.size()) << '\n';
        }
        return rc == QvCtlExitOk ? Done() : rc;
    }

    int Show() {
        TQvGen4 gen;
        if (!Prepare(gen)) {
            return QvCtlExitFailure;
        }
        for (const auto& row : QvCtlPaths()) {
            FOut << row.Name << '=' << QvCtlFormat(row.Type, row.Get(gen)) << '\n';
        }
        return Done();
    }

    int Save() {
        TQvGen4 gen;
        if (!Prepare(gen)) {
            return QvCtlExitFailure;
        }
        try {
            gen.SaveToFile(FReq.SaveFile);
        } catch (const EQvGen4Error& e) {
            FErr << "qvgen4ctl: " << FReq.SaveFile << ": " << e.what() << '\n';
            return QvCtlExitFailure;
        }
        return Done();
    }

    // The device's link, wrapped for --trace. The monitor lines come from the virtual
    // instrument: the device itself, or for USB a second one that only decodes the same bytes.
    std::unique_ptr<TQvGen4Link> OpenDeviceLink() {
        std::unique_ptr<TQvGen4Link> link;
        std::shared_ptr<TQvVirtualInstrument> decoder;
        if (FReq.Device == TQvCtlDevice::Usb) {
            auto ftdi = std::make_unique<TQvFtdiLink>();
            FFtdi = ftdi.get();
            link = std::move(ftdi);
            if (FReq.Trace) {
                decoder = std::make_shared<TQvVirtualInstrument>();
                decoder->Open();
            }
        } else {
            FVirtual = std::make_shared<TQvVirtualInstrument>();
            link = QvMakeVirtualLink(FVirtual);
            decoder = FVirtual;
        }
        if (FReq.Trace) {
            auto decode = [decoder, feed = decoder != FVirtual, next = std::uint64_t{0}](
                              const std::uint8_t* Data, std::uint32_t Count) mutable {
                if (feed) {
                    std::uint32_t taken = 0;
                    decoder->Write(Data, Count, taken);
                }
                auto lines = decoder->MonitorText(next);
                next = decoder->NextMonitorSeq();
                return lines;
            };
            // Printed as the bytes go out, so the trace is complete up to a failure.
            auto print = [this, decode = std::move(decode)](const std::uint8_t* Data,
                                                            std::uint32_t Count) mutable {
                FOut << QvHexLine(Data, Count) << '\n';
                for (const auto& line : decode(Data, Count)) {
                    FOut << line << '\n';
                }
                FOut.flush();
            };
            link = std::make_unique<TQvTraceLink>(std::move(link), std::move(print));
        }
        return link;
    }

    // apply and adc: one update cycle at the real pace, then the instrument is left running.
    int Program() {
        auto link = OpenDeviceLink();
        TQvGen4 gen(std::move(link)); // the wall clock: the instrument needs its pauses
        if (!Prepare(gen)) {
            return QvCtlExitFailure;
        }
        TQvGen4Channel* tuning = nullptr;
        if (FReq.Command == TQvCtlCommand::Adc) {
            tuning = TuningChannel(gen);
            if (!tuning) {
                FErr << "qvgen4ctl: adc needs a channel in QGMdC_tuning\n";
                return QvCtlExitUsage;
            }
        }
        gen.SetActive(true); // AutoUpdate is off: this only opens the link
        if (!gen.Active()) {
            FErr << "qvgen4ctl: cannot open the device (status " << gen.Status() << ")";
            if (FFtdi && !FFtdi->LastError().empty()) {
                FErr << ": " << FFtdi->LastError();
            }
            FErr << '\n';
            return QvCtlExitFailure;
        }
        try {
            gen.SetAutoUpdate(true);
        } catch (const EQvGen4Error& e) {
            // The generator's destructor deactivates as usual: a reset frame puts a half-programmed
            // instrument back into a known state before the link closes.
            return Fail(e);
        }
        if (tuning) {
            try {
                Poll(*tuning);
            } catch (const EQvGen4Error& e) {
                return Fail(e);
            }
        }
        // Leave the instrument running: close only the port. The generator then counts as
        // inactive, so its destructor sends no reset frame; deactivation itself, which does reset,
        // stays as it is for every other host.
        if (!gen.CloseFTPort()) {
            FErr << "qvgen4ctl: cannot close the device (status " << gen.Status() << ")\n";
            return QvCtlExitFailure;
        }
        if (FVirtual && FReq.Command == TQvCtlCommand::Apply) {
            FOut << FVirtual->SnapshotJson() << '\n';
        }
        return Done();
    }

    // The channel the update cycle puts into tuning: channel A looked at first.
    static TQvGen4Channel* TuningChannel(TQvGen4& Gen) {
        if (Gen.ChA.Mode() == QGMdC_tuning) {
            return &Gen.ChA;
        }
        if (Gen.ChB.Mode() == QGMdC_tuning) {
            return &Gen.ChB;
        }
        return nullptr;
    }

    // Reads the ADC as the tuning timer would, one period apart, first after one period.
    void Poll(TQvGen4Channel& Ch) {
        const auto interval = std::chrono::milliseconds(std::max(0, Ch.Tuner.ADCTimerInterval()));
        for (int i = 0; i < FReq.Count; ++i) {
            std::this_thread::sleep_for(interval);
            if (FVirtual) {
                // The virtual instrument samples its ADC input at its own time.
                FVirtual->SetTime(FVirtual->Time() +
                                  std::chrono::duration<double>(interval).count());
            }
            Ch.Tuner.GetADCValue();
            FOut << QvCtlAdcText(Ch) << '\n';
            FOut.flush();
        }
    }

    const TQvCtlRequest& FReq;
    std::ostream& FOut;
    std::ostream& FErr;
    bool FRefused = false;
    std::shared_ptr<TQvVirtualInstrument> FVirtual; // --device virtual
    TQvFtdiLink* FFtdi = nullptr;                   // for the USB library's own words on a failure
};

} // namespace

int QvCtlRun(const TQvCtlRequest& Req, std::ostream& Out, std::ostream& Err) {
    return TSession(Req, Out, Err).Run();
}
