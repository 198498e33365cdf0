// Any bytes as a generator settings file, loaded into a generator that is open with AutoUpdate
// on, so that whatever a file can hold also runs through the whole update cycle. Loading must not
// crash; a refused file must leave the model as it was; a loaded set-up must save and load back
// to the same bytes.
//
// An odd first byte lays the rest of the input over a valid record after its header, so that the
// fuzzer reaches the values of the record at once; an even one takes the rest as the file.
#include "QvGen4.h"
#include "QvGen4Errors.h"
#include "QvRecordingLink.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using TBytes = std::vector<std::uint8_t>;

std::filesystem::path TempPath(const char* Name) {
    return std::filesystem::temp_directory_path() /
           ("qvgen4_fuzz_" + std::to_string(::getpid()) + "_" + Name);
}

TBytes ReadAll(const std::filesystem::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& Path, const TBytes& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

const TBytes& ValidRecord() {
    static const TBytes record = [] {
        TQvGen4 gen;
        const auto path = TempPath("valid");
        gen.SaveToFile(path);
        TBytes bytes = ReadAll(path);
        std::filesystem::remove(path);
        return bytes;
    }();
    return record;
}

std::unique_ptr<TQvGen4> OpenGenerator() {
    auto gen = std::make_unique<TQvGen4>(std::make_unique<TQvRecordingLink>(),
                                         std::make_unique<TQvGen4ManualTicks>());
    gen->SetActive(true);
    return gen;
}

// Saves and returns the file's bytes.
TBytes Saved(const TQvGen4& Gen, const std::filesystem::path& Path) {
    Gen.SaveToFile(Path);
    return ReadAll(Path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) {
        return 0;
    }
    TBytes file(Data + 1, Data + Size);
    if (Data[0] & 1) {
        TBytes record = ValidRecord();
        for (std::size_t i = 0; i < file.size() && 8 + i < record.size(); ++i) {
            record[8 + i] = file[i];
        }
        file = record;
    }
    static const auto input = TempPath("input");
    static const auto output = TempPath("output");
    struct TRemove { // no file is left behind, whichever way the run ends
        ~TRemove() {
            std::error_code ec;
            std::filesystem::remove(input, ec);
            std::filesystem::remove(output, ec);
        }
    } remove;
    WriteAll(input, file);

    auto gen = OpenGenerator();
    const TBytes before = Saved(*gen, output);
    bool loaded = false;
    try {
        loaded = gen->LoadFromFile(input);
    } catch (const EQvGen4InOutError&) {
        // Refused as damaged: nothing may have changed.
        if (Saved(*gen, output) != before) {
            std::abort();
        }
        return 0;
    } catch (const EQvGen4Error&) {
        loaded = true; // the values are in; the update cycle refused them (a divider, a clock)
    }
    if (!loaded) {
        if (Saved(*gen, output) != before) {
            std::abort();
        }
        return 0;
    }

    // The same way again from what was saved: the same cycle runs, so even the output flags of
    // the record come out the same.
    const TBytes first = Saved(*gen, output);
    auto again = OpenGenerator();
    try {
        if (!again->LoadFromFile(output)) {
            std::abort();
        }
    } catch (const EQvGen4InOutError&) {
        std::abort();
    } catch (const EQvGen4Error&) {
    }
    if (Saved(*again, output) != first) {
        std::abort();
    }
    return 0;
}
