#include "float_arithmetic.h"

#include "db/error.h"

#include <cmath>

namespace tavimond {

QString formatFloat(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // never "-0"
    return QString::number(value, 'g', 15);
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
