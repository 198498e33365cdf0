#include "QvRoutines.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {
constexpr const char* HelpContextProperty = "qvHelpContext";
}

std::string& FixDecimalSeparator(std::string& Text, char Separator) {
    const char other = Separator == ',' ? '.' : ',';
    for (char& c : Text) {
        if (c == other) {
            c = Separator;
        }
    }
    return Text;
}

QString& FixDecimalSeparator(QString& Text, QChar Separator) {
    const QChar other = Separator == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    Text.replace(other, Separator);
    return Text;
}

QChar LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.front();
}

double StrToFloat(const QString& Text) {
    // Only the locale's separator counts: "1.5" is no number where the separator is a comma.
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?\s*$)"));
    const QChar sep = LocaleDecimalSeparator();
    QString text = Text;
    bool ok = sep == QLatin1Char('.') || !text.contains(QLatin1Char('.'));
    if (ok) {
        text.replace(sep, QLatin1Char('.'));
        ok = number.match(text).hasMatch();
    }
    double value = 0;
    if (ok) {
        value = text.trimmed().toDouble(&ok);
    }
    if (!ok) {
        throw EQvConvertError(
            QStringLiteral("'%1' is not a valid floating point value").arg(Text).toStdString());
    }
    return value;
}

int StrToInt(const QString& Text) {
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?\d+\s*$)"));
    bool ok = number.match(Text).hasMatch();
    int value = ok ? Text.trimmed().toInt(&ok) : 0;
    if (!ok) {
        throw EQvConvertError(
            QStringLiteral("'%1' is not a valid integer value").arg(Text).toStdString());
    }
    return value;
}

QString FloatToStr(double Value) {
    QString text = QString::number(Value, 'g', 15);
    const QChar sep = LocaleDecimalSeparator();
    if (sep != QLatin1Char('.')) {
        text.replace(QLatin1Char('.'), sep);
    }
    return text;
}

double RoundTo(double Value, int Digits) {
    const double factor = std::pow(10.0, -Digits);
    // nearbyint rounds half to even in the default rounding mode.
    return std::nearbyint(Value * factor) / factor;
}

QColor ColorFromBGR(int Value) {
    const auto v = static_cast<unsigned>(Value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

int ColorToBGR(const QColor& Color) {
    return Color.red() | (Color.green() << 8) | (Color.blue() << 16);
}

void SetHelpContext(QWidget* Widget, int Context) {
    Widget->setProperty(HelpContextProperty, Context);
}

int HelpContextOf(const QWidget* Widget) {
    for (const QWidget* w = Widget; w; w = w->parentWidget()) {
        const QVariant ctx = w->property(HelpContextProperty);
        if (ctx.isValid() && ctx.toInt() != 0) {
            return ctx.toInt();
        }
    }
    return 0;
}
