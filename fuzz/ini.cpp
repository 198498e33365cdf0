// Any bytes as an INI file: parsing must not crash, an untouched text must write back
// byte for byte, and writing one key must change that key and nothing else.
#include "QvIniText.h"
#include "QvIniValues.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    QvIniTextToInt(bytes);
    QvIniTextToDbl(bytes);

    TQvIniText text(bytes);
    if (text.Bytes() != bytes) {
        std::abort();
    }
    const auto other = text.Read("Common", "AutoConnect");
    const auto sibling = text.Read("Gen", "FreqScale");
    text.Write("Gen", "RefFreq", "25");
    text.EraseSection("ChA");
    const TQvIniText again(text.Bytes());
    if (again.Read("gen", "reffreq") != "25" || again.Read("Common", "AutoConnect") != other ||
        again.Read("Gen", "FreqScale") != sibling || again.SectionExists("ChA")) {
        std::abort();
    }
    return 0;
}
