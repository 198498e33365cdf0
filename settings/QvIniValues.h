// Conversions between typed option values and the text of INI keys. They never consult the
// process locale: the file always uses '.' as the decimal point, whatever the user's settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decimal text of the integer.
std::string QvIniIntToText(std::int32_t Value);

// Decimal ("-12", "+7") or hexadecimal ("$1F", "0x1F", "0X1F", up to eight digits, taken as the
// 32-bit pattern so that "$FFFFFFFF" is -1) integer text; nullopt for anything else, including
// text after the number ("12abc") and decimal numbers outside the 32-bit range.
std::optional<std::int32_t> QvIniTextToInt(std::string_view Text);

// The C "%g" form: six significant digits, '.' as decimal point, exponent form for very large
// or small magnitudes (25 gives "25", 0.5 gives "0.5", 1e-5 gives "1e-05").
std::string QvIniDblToText(double Value);

// The leading decimal number of the text (optional sign, digits with an optional '.', optional
// exponent); whatever follows it is ignored ("25,5" gives 25) and text without a leading number
// gives 0. nullopt for an empty text, and for a number too large for a double, which is not a
// value any setting can use.
std::optional<double> QvIniTextToDbl(std::string_view Text);
