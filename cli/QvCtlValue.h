// Values of the command-line tool as text: parsing an assignment's right-hand side and printing a
// property for `show`. Every property of the model is one of four kinds; enumerations are written
// by their enumerator names.
#pragma once

#include "QvGen4Types.h"
#include "QvMathFun.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

// Booleans, integers (and enumerations, by their numeric value) and doubles.
using TQvCtlValue = std::variant<bool, std::int64_t, double>;

enum class TQvCtlKind { Bool, Int, Double, Enum };

struct TQvCtlType {
    TQvCtlKind Kind;
    // Enumerator names by value (Enum only); values run from 0 without gaps.
    std::span<const std::string_view> Names;
};

// Enumerator names of the model's enumerations, indexed by value.
template <class E> struct TQvCtlEnumNames;

template <> struct TQvCtlEnumNames<TQvGen4ModesCommon> {
    static constexpr std::array<std::string_view, 9> Names{"QGMdC_off",
                                                           "QGMdC_gen",
                                                           "QGMdC_tuning",
                                                           "QGMdC_IntModulation",
                                                           "QGMdC_ExtModulation",
                                                           "QGMdC_ExtModulationA12",
                                                           "QGMdC_ExtModulationAB1",
                                                           "QGMdC_LFM",
                                                           "QGMdC_DDSMod"};
};
template <> struct TQvCtlEnumNames<TQvGen4AFPModes> {
    static constexpr std::array<std::string_view, 3> Names{"QGAFPms_freq", "QGAFPms_ampl",
                                                           "QGAFPms_phase"};
};
template <> struct TQvCtlEnumNames<TQvGen4DDSmodModes> {
    static constexpr std::array<std::string_view, 3> Names{"QGTMs_BxSK", "QGTMs_QxSK",
                                                           "QGTMs_User"};
};

template <> struct TQvCtlEnumNames<TMathFuncsTypes> {
    static constexpr std::array<std::string_view, 3> Names{"QMFT_sin", "QMFT_triangle",
                                                           "QMFT_rect"};
};

// The kind of a model type, and its names for an enumeration.
template <class T> TQvCtlType QvCtlTypeOf() {
    if constexpr (std::is_same_v<T, bool>) {
        return {TQvCtlKind::Bool, {}};
    } else if constexpr (std::is_enum_v<T>) {
        return {TQvCtlKind::Enum, TQvCtlEnumNames<T>::Names};
    } else if constexpr (std::is_integral_v<T>) {
        return {TQvCtlKind::Int, {}};
    } else {
        static_assert(std::is_floating_point_v<T>, "a property of an unexpected type");
        return {TQvCtlKind::Double, {}};
    }
}

template <class T> TQvCtlValue QvCtlToValue(T Value) {
    if constexpr (std::is_same_v<T, bool>) {
        return Value;
    } else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>) {
        return static_cast<std::int64_t>(Value);
    } else {
        return static_cast<double>(Value);
    }
}

// The inverse of QvCtlToValue for a value that QvCtlParse made for the same type.
template <class T> T QvCtlFromValue(const TQvCtlValue& Value) {
    if constexpr (std::is_same_v<T, bool>) {
        return std::get<bool>(Value);
    } else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>) {
        return static_cast<T>(std::get<std::int64_t>(Value));
    } else {
        return static_cast<T>(std::get<double>(Value));
    }
}

// Reads Text as a value of Type: `true`/`false`, a decimal integer within 32 bits, a finite
// number with "." as decimal point, or an enumerator name. Empty when Text is none of these.
std::optional<TQvCtlValue> QvCtlParse(const TQvCtlType& Type, std::string_view Text);

// Prints Value of Type the way QvCtlParse reads it back. Doubles take the shortest fixed-notation
// form that reads back to the same value.
std::string QvCtlFormat(const TQvCtlType& Type, const TQvCtlValue& Value);

// Shortest fixed notation of a double that reads back exactly (1000, 0.0005, 200000).
std::string QvCtlFormatDouble(double Value);
