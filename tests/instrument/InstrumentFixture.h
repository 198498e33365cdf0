// Helpers for the virtual instrument's tests: hand-made frames, feeding a session in pieces of
// any size, and a generator whose link is the virtual instrument.
#pragma once

#include "QvGen4.h"
#include "QvVirtualInstrument.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

inline TBytes Frame(std::uint8_t Code, std::uint8_t P1 = 0, std::uint8_t P2 = 0,
                    std::uint8_t P3 = 0, std::uint8_t P4 = 0, std::uint8_t P5 = 0) {
    return {Code, P1, P2, P3, P4, P5};
}

inline TBytes Frame32(std::uint8_t Code, std::uint32_t V) {
    return Frame(Code, std::uint8_t(V >> 24), std::uint8_t(V >> 16), std::uint8_t(V >> 8),
                 std::uint8_t(V));
}

inline TBytes Frame16(std::uint8_t Code, std::uint16_t V) {
    return Frame(Code, std::uint8_t(V >> 8), std::uint8_t(V));
}

inline TBytes Join(std::initializer_list<TBytes> Parts) {
    TBytes out;
    for (const auto& p : Parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// Opens the instrument if needed and writes Session in write calls of Chunk bytes (0: one call).
inline void Feed(TQvVirtualInstrument& I, const TBytes& Session, std::size_t Chunk = 0) {
    if (!I.IsOpen()) {
        I.Open();
    }
    if (Chunk == 0) {
        Chunk = Session.size();
    }
    for (std::size_t i = 0; i < Session.size(); i += Chunk) {
        const auto n = static_cast<std::uint32_t>(std::min(Chunk, Session.size() - i));
        std::uint32_t written = 0;
        I.Write(Session.data() + i, n, written);
    }
}

struct TGenOnInstrument {
    std::shared_ptr<TQvVirtualInstrument> Instr = std::make_shared<TQvVirtualInstrument>();
    std::unique_ptr<TQvGen4> Gen;

    TGenOnInstrument() {
        Gen = std::make_unique<TQvGen4>(QvMakeVirtualLink(Instr),
                                        std::make_unique<TQvGen4ManualTicks>());
        Gen->SetTimerFactory(TQvGen4ManualTimer::Factory());
    }
    // Handlers capture locals that die before the generator, whose destruction still sends the
    // reset frame: drop them first.
    ~TGenOnInstrument() {
        Gen->OnFTError = {};
        Gen->OnADCTimer = {};
        Gen->AfterUpdate = {};
        Gen->OnChangeActiveState = {};
        Gen->OnOverModulation = {};
        Gen->OnParamValueError = {};
    }
    TGenOnInstrument(const TGenOnInstrument&) = delete;
    TGenOnInstrument& operator=(const TGenOnInstrument&) = delete;

    const TQvOutputState& A() const { return Instr->Output(QGCN_A); }
    const TQvOutputState& B() const { return Instr->Output(QGCN_B); }
};

// A small check that a text is one well-formed JSON value.
class TJsonCheck {
public:
    static bool Valid(const std::string& S) {
        TJsonCheck c{S};
        c.Ws();
        return c.Value() && (c.Ws(), c.FPos == S.size());
    }

private:
    explicit TJsonCheck(const std::string& S) : FS(S) {}
    void Ws() {
        while (FPos < FS.size() && std::isspace(static_cast<unsigned char>(FS[FPos]))) {
            ++FPos;
        }
    }
    bool Eat(char C) {
        Ws();
        if (FPos < FS.size() && FS[FPos] == C) {
            ++FPos;
            return true;
        }
        return false;
    }
    bool Value() {
        Ws();
        if (FPos >= FS.size()) {
            return false;
        }
        const char c = FS[FPos];
        if (c == '{' || c == '[') {
            const char close = c == '{' ? '}' : ']';
            ++FPos;
            if (Eat(close)) {
                return true;
            }
            do {
                if (c == '{' && !(String() && Eat(':'))) {
                    return false;
                }
                if (!Value()) {
                    return false;
                }
            } while (Eat(','));
            return Eat(close);
        }
        if (c == '"') {
            return String();
        }
        for (const char* word : {"true", "false", "null"}) {
            if (FS.compare(FPos, std::strlen(word), word) == 0) {
                FPos += std::strlen(word);
                return true;
            }
        }
        const std::size_t start = FPos;
        while (FPos < FS.size() && std::strchr("+-0123456789.eE", FS[FPos])) {
            ++FPos;
        }
        return FPos > start;
    }
    bool String() {
        Ws();
        if (FPos >= FS.size() || FS[FPos] != '"') {
            return false;
        }
        for (++FPos; FPos < FS.size(); ++FPos) {
            if (FS[FPos] == '\\') {
                ++FPos;
            } else if (FS[FPos] == '"') {
                ++FPos;
                return true;
            }
        }
        return false;
    }
    const std::string& FS;
    std::size_t FPos = 0;
};
