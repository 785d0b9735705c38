#include "strict_int.h"

#include "db/error.h"

#include <limits>

namespace tavimond
{

int strictToInt(const QString &text)
{
    const auto invalid = [&] { return Error(QStringLiteral("'%1' is not a valid integer value").arg(text)); };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        throw invalid();
    // Accumulate the magnitude in 64 bits; the 32-bit limit ends it long before overflow.
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min()) : std::numeric_limits<int>::max();
    qint64 value = 0;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw invalid();
        value = value * 10 + (c.unicode() - '0');
        if (value > limit)
            throw invalid();
    }
    return int(negative ? -value : value);
}

} // namespace tavimond
