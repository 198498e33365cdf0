#include "QvCtlRun.h"

#include "QvGen4.h"
#include "QvGen4Errors.h"
#include "QvRecordingLink.h"

#include <ostream>
#include <string_view>

namespace {

// The values the program's data module stores for the generator, so that every run starts
// where the program does. Applied through the same setters as assignments, in the order the
// program applies them: the channels, then the options, then the clock.
struct TStartValue {
    std::string_view Path, Value;
};
constexpr TStartValue StartChannel[] = {
    {"Frequency", "1000"},
    {"Amplitude", "100"},
    {"Phase", "0"},
};
constexpr TStartValue StartGenerator[] = {
    {"Options.OverModulationNotify", "true"},
    {"UseExtRefFreq", "false"},
    {"RefFreq", "25"},
    {"FreqScale", "16"},
};

void SetText(TQvGen4& Gen, std::string_view Path, std::string_view Text) {
    const TQvCtlPath* row = QvCtlFindPath(Path);
    row->Set(Gen, *QvCtlParse(row->Type, Text));
}

void ApplyStartState(TQvGen4& Gen) {
    Gen.SetAutoUpdate(false);
    for (const char* ch : {"ChA.", "ChB."}) {
        for (const auto& v : StartChannel) {
            SetText(Gen, std::string(ch) + std::string(v.Path), v.Value);
        }
    }
    for (const auto& v : StartGenerator) {
        SetText(Gen, v.Path, v.Value);
    }
}

std::string_view ChannelName(const TQvGen4Channel& Ch) {
    return Ch.ChannelType() == QGCN_A ? "ChA" : "ChB";
}

std::string HexLine(const std::vector<std::uint8_t>& Bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(Bytes.size() * 3);
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        if (i) {
            out += ' ';
        }
        out += digits[Bytes[i] >> 4];
        out += digits[Bytes[i] & 0x0F];
    }
    return out;
}

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
            FErr << "qvgen4ctl: this command is not available in this build\n";
            return QvCtlExitFailure;
        }
        return QvCtlExitFailure;
    }

private:
    // Start state, --load and the assignments. False when the file failed (reported already).
    bool Prepare(TQvGen4& Gen) {
        ApplyStartState(Gen);
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
        (void)Gen;
        FErr << "qvgen4ctl: " << File
             << ": loading settings files is not available in this build\n";
        return false;
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
            FOut << HexLine(w) << '\n';
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
        FErr << "qvgen4ctl: saving settings files is not available in this build\n";
        return QvCtlExitFailure;
    }

    const TQvCtlRequest& FReq;
    std::ostream& FOut;
    std::ostream& FErr;
    bool FRefused = false;
};

} // namespace

int QvCtlRun(const TQvCtlRequest& Req, std::ostream& Out, std::ostream& Err) {
    return TSession(Req, Out, Err).Run();
}
