#include "QvCtlValue.h"

#include <charconv>
#include <cmath>
#include <limits>

std::optional<TQvCtlValue> QvCtlParse(const TQvCtlType& Type, std::string_view Text) {
    const char* first = Text.data();
    const char* last = Text.data() + Text.size();
    switch (Type.Kind) {
    case TQvCtlKind::Bool:
        if (Text == "true") {
            return TQvCtlValue(true);
        }
        if (Text == "false") {
            return TQvCtlValue(false);
        }
        return std::nullopt;
    case TQvCtlKind::Int: {
        // Every integer property of the model is 32 bits wide; wider text would wrap silently.
        std::int32_t v = 0;
        const auto [end, ec] = std::from_chars(first, last, v);
        if (ec != std::errc() || end != last || Text.empty()) {
            return std::nullopt;
        }
        return TQvCtlValue(static_cast<std::int64_t>(v));
    }
    case TQvCtlKind::Double: {
        // from_chars ignores the locale, so "." is the decimal point everywhere; it also takes
        // "inf" and "nan", which are no values of the model.
        double v = 0;
        const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
        if (ec != std::errc() || end != last || Text.empty() || !std::isfinite(v)) {
            return std::nullopt;
        }
        return TQvCtlValue(v);
    }
    case TQvCtlKind::Enum:
        for (std::size_t i = 0; i < Type.Names.size(); ++i) {
            if (Type.Names[i] == Text) {
                return TQvCtlValue(static_cast<std::int64_t>(i));
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::string QvCtlFormatDouble(double Value) {
    // Fixed notation of the largest double needs 309 digits before the point.
    char buf[400];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, Value, std::chars_format::fixed);
    if (ec != std::errc()) {
        return "nan";
    }
    return std::string(buf, end);
}

std::string QvCtlFormat(const TQvCtlType& Type, const TQvCtlValue& Value) {
    switch (Type.Kind) {
    case TQvCtlKind::Bool:
        return std::get<bool>(Value) ? "true" : "false";
    case TQvCtlKind::Int:
        return std::to_string(std::get<std::int64_t>(Value));
    case TQvCtlKind::Double:
        return QvCtlFormatDouble(std::get<double>(Value));
    case TQvCtlKind::Enum: {
        // A settings file stores enumerations as raw bytes; a value without a name is shown as
        // its number rather than hidden.
        const auto v = std::get<std::int64_t>(Value);
        if (v >= 0 && static_cast<std::size_t>(v) < Type.Names.size()) {
            return std::string(Type.Names[static_cast<std::size_t>(v)]);
        }
        return std::to_string(v);
    }
    }
    return {};
}
