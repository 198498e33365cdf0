// Helpers for the mode tests: a generator on the recording link put into given modes, and its
// writes with data blocks shown by size.
#pragma once

#include "QvGen4Fixture.h"

#include <string>
#include <vector>

// Open with AutoUpdate off, the channels in the given modes, and the writes so far forgotten.
// Switching AutoUpdate on then runs exactly one cycle.
inline void PrepareModes(TGenOnRecorder& R, TQvGen4ModesCommon A, TQvGen4ModesCommon B) {
    R.Gen->SetAutoUpdate(false);
    R.Gen->ChA.SetMode(A);
    R.Gen->ChB.SetMode(B);
    R.Gen->SetActive(true);
    R.Link->ClearWrites();
}

// Every write as hexadecimal bytes; a data block (longer than a frame) as "block <size>".
inline std::vector<std::string> Frames(const TGenOnRecorder& R) {
    std::vector<std::string> out;
    for (const auto& w : R.Link->Writes()) {
        out.push_back(w.size() > 6 ? "block " + std::to_string(w.size()) : HexBytes(w));
    }
    return out;
}

// The data blocks written, in order.
inline std::vector<std::vector<std::uint8_t>> Blocks(const TGenOnRecorder& R) {
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& w : R.Link->Writes()) {
        if (w.size() > 6) {
            out.push_back(w);
        }
    }
    return out;
}

// The first four bytes of a block, as text.
inline std::string Head(const std::vector<std::uint8_t>& Block, std::size_t Count = 4) {
    return HexBytes({Block.begin(), Block.begin() + static_cast<long>(Count)});
}
