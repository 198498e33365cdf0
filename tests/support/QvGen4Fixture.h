// A generator on a recording link with a clock that never waits, and helpers to read what went
// out as hexadecimal text.
#pragma once

#include "QvGen4.h"
#include "QvRecordingLink.h"
#include "QvTraceLink.h"

#include <memory>
#include <string>
#include <vector>

inline std::string HexBytes(const std::vector<std::uint8_t>& Bytes) {
    return QvHexLine(Bytes.data(), Bytes.size());
}

struct TGenOnRecorder {
    TQvRecordingLink* Link;
    TQvGen4ManualTicks* Ticks;
    std::unique_ptr<TQvGen4> Gen;

    TGenOnRecorder() {
        auto link = std::make_unique<TQvRecordingLink>();
        auto ticks = std::make_unique<TQvGen4ManualTicks>();
        Link = link.get();
        Ticks = ticks.get();
        Gen = std::make_unique<TQvGen4>(std::move(link), std::move(ticks));
    }

    // Test handlers capture locals that die before the generator, whose destruction still sends
    // the reset frame and raises events: drop them first.
    ~TGenOnRecorder() {
        TQvGen4& g = *Gen;
        g.OnFTError = {};
        g.OnParamValueError = {};
        g.OnADCTimer = {};
        g.AfterUpdate = {};
        g.OnChModeChange = {};
        g.OnChangeActiveState = {};
        g.OnGenResponseWait = {};
        g.OnOverModulation = {};
        g.OnErrorFile = {};
    }
    TGenOnRecorder(const TGenOnRecorder&) = delete;
    TGenOnRecorder& operator=(const TGenOnRecorder&) = delete;

    // Every write as one line of hexadecimal bytes.
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const auto& w : Link->Writes()) {
            out.push_back(HexBytes(w));
        }
        return out;
    }
    // The code byte of every write.
    std::vector<std::uint8_t> Codes() const {
        std::vector<std::uint8_t> out;
        for (const auto& w : Link->Writes()) {
            out.push_back(w.empty() ? 0 : w[0]);
        }
        return out;
    }
};
