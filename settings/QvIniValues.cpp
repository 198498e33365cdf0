#include "QvIniValues.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace {

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// For a number out of the double's range: whether it is too large rather than too small, judged
// by its decimal order of magnitude (only the sign of that matters out there).
bool IsTooLarge(std::string_view Number) {
    std::size_t i = 0;
    std::int64_t order = 0;
    while (i < Number.size() && Number[i] == '0') {
        ++i;
    }
    while (i < Number.size() && IsDigit(Number[i])) {
        ++i, ++order;
    }
    if (order == 0 && i < Number.size() && Number[i] == '.') {
        ++i;
        while (i < Number.size() && Number[i] == '0') {
            ++i, --order;
        }
    }
    const auto e = Number.find_first_of("eE");
    if (e != std::string_view::npos) {
        std::size_t j = e + 1;
        const bool negative = j < Number.size() && Number[j] == '-';
        if (j < Number.size() && (Number[j] == '+' || Number[j] == '-')) {
            ++j;
        }
        std::int64_t exponent = 0;
        for (; j < Number.size(); ++j) {
            exponent = std::min<std::int64_t>(exponent * 10 + (Number[j] - '0'), 1'000'000'000);
        }
        order += negative ? -exponent : exponent;
    }
    return order > 0;
}

} // namespace

std::string QvIniIntToText(std::int32_t Value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, Value);
    return std::string(buf, res.ptr);
}

std::optional<std::int32_t> QvIniTextToInt(std::string_view Text) {
    // "0x1F" reads as "$1F"; a bare "0x" is no number.
    bool hex = false;
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        Text.remove_prefix(2);
        hex = true;
    } else if (!Text.empty() && Text[0] == '$') {
        Text.remove_prefix(1);
        hex = true;
    }
    if (hex) {
        std::uint32_t value = 0;
        if (Text.empty() || Text.size() > 8) {
            return std::nullopt;
        }
        const auto res = std::from_chars(Text.data(), Text.data() + Text.size(), value, 16);
        if (res.ec != std::errc() || res.ptr != Text.data() + Text.size()) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(value);
    }
    bool negative = false;
    if (!Text.empty() && (Text[0] == '+' || Text[0] == '-')) {
        negative = Text[0] == '-';
        Text.remove_prefix(1);
    }
    if (Text.empty() || !IsDigit(Text[0])) {
        return std::nullopt; // from_chars would take a second sign
    }
    std::int64_t magnitude = 0;
    const auto res = std::from_chars(Text.data(), Text.data() + Text.size(), magnitude);
    if (res.ec != std::errc() || res.ptr != Text.data() + Text.size()) {
        return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string QvIniDblToText(double Value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, Value, std::chars_format::general, 6);
    return std::string(buf, res.ptr);
}

std::optional<double> QvIniTextToDbl(std::string_view Text) {
    if (Text.empty()) {
        return std::nullopt;
    }
    std::size_t i = 0;
    while (i < Text.size() && (Text[i] == ' ' || Text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) {
        negative = Text[i] == '-';
        ++i;
    }
    // Find the extent of the number ourselves: from_chars would also take "inf", "nan" and
    // hexadecimal forms, none of which a settings value may be.
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < Text.size() && IsDigit(Text[i])) {
        ++i, ++digits;
    }
    if (i < Text.size() && Text[i] == '.') {
        ++i;
        while (i < Text.size() && IsDigit(Text[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (i < Text.size() && (Text[i] == 'e' || Text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < Text.size() && (Text[j] == '+' || Text[j] == '-')) {
            ++j;
        }
        if (j < Text.size() && IsDigit(Text[j])) {
            while (j < Text.size() && IsDigit(Text[j])) {
                ++j;
            }
            i = j; // an exponent without digits is not part of the number
        }
    }
    const std::string_view number = Text.substr(start, i - start);
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Either too small, which is zero, or too large, which no setting can hold.
        if (!IsTooLarge(number)) {
            return negative ? -0.0 : 0.0;
        }
        return std::nullopt;
    }
    if (res.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}
