// Small helpers shared by the windows: decimal separators, number text in the locale's form,
// colours kept as 0x00BBGGRR integers, and the help context a widget carries.
#pragma once

#include <QColor>
#include <QString>

#include <stdexcept>
#include <string>

class QWidget;

// Replaces every occurrence of the other decimal separator ("." when Separator is ",", else ",")
// by Separator, in place, and returns Text. Nothing else changes.
std::string& FixDecimalSeparator(std::string& Text, char Separator);
QString& FixDecimalSeparator(QString& Text, QChar Separator);

// A text that is not a number where one is required; the message is shown to the operator.
class EQvConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The decimal separator of the current locale (QLocale()).
QChar LocaleDecimalSeparator();

// A complete decimal number in Text with the locale's separator (sign, exponent and surrounding
// blanks allowed). Anything else throws "'Text' is not a valid floating point value".
double StrToFloat(const QString& Text);
// A decimal integer; anything else throws "'Text' is not a valid integer value".
int StrToInt(const QString& Text);
// General format: up to 15 significant digits, no trailing zeros, the locale's separator.
QString FloatToStr(double Value);

// Rounds to the nearest multiple of 10^Digits, ties to the even multiple (Digits -3 is 0.001).
double RoundTo(double Value, int Digits);

// Colours are stored as 0x00BBGGRR (red in the low byte).
QColor ColorFromBGR(int Value);
int ColorToBGR(const QColor& Color);

// Help contexts travel as a property of the widget; the nearest ancestor's context counts.
void SetHelpContext(QWidget* Widget, int Context);
int HelpContextOf(const QWidget* Widget);
