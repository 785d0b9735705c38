#include "float_arithmetic.h"

#include "db/error.h"

#include <cmath>

namespace tavimond {

QString formatFloat(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // never "-0"
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0 || !std::isfinite(value))
        return text;
    const int exponent = text.mid(e + 1).toInt();
    if (exponent < 0) {
        // Small: fifteen decimals at most, which is fewer than fifteen digits, so no
        // binary noise shows.
        text = QString::number(value, 'f', 15);
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
        return text == QLatin1String("-0") ? QStringLiteral("0") : text;
    }
    // Large: the fifteen digits, then zeros up to the decimal point.
    const bool negative = value < 0;
    QString digits = text.left(e).remove(QLatin1Char('-'));
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const qsizetype before = point < 0 ? digits.size() : point;
    digits.remove(QLatin1Char('.'));
    digits += QString(before + exponent - digits.size(), QLatin1Char('0'));
    return negative ? QLatin1Char('-') + digits : digits;
}

double roundHalfEven(double value, int decimals)
{
    const double unit = std::pow(10.0, -decimals);
    const double scaled = value / unit;
    double whole = std::floor(scaled);
    const double rest = scaled - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0))
        whole += 1;
    return whole * unit;
}

double divideFloat(double dividend, double divisor)
{
    if (divisor == 0) {
        if (dividend == 0 || std::isnan(dividend))
            throw Error(QStringLiteral("Invalid floating point operation"));
        throw Error(QStringLiteral("Floating point division by zero"));
    }
    return dividend / divisor;
}

} // namespace tavimond
