#include "chart_scale.h"

#include "core/float_arithmetic.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace tavimond {
namespace {

struct NumberPattern {
    bool valid = false;
    bool group = false;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
};

NumberPattern parsePattern(const QString &pattern)
{
    NumberPattern p;
    if (pattern.isEmpty())
        return p;
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? pattern : pattern.left(dot);
    const QString decPart = dot < 0 ? QString() : pattern.mid(dot + 1);
    for (const QChar c : intPart) {
        if (c == QLatin1Char(','))
            p.group = true;
        else if (c == QLatin1Char('0'))
            ++p.minInt;
        else if (c != QLatin1Char('#'))
            return p;
    }
    for (const QChar c : decPart) {
        if (c == QLatin1Char('0')) {
            if (p.maxDec != p.minDec)
                return p; // a '0' after a '#' is not a pattern we know
            ++p.minDec;
        } else if (c != QLatin1Char('#')) {
            return p;
        }
        ++p.maxDec;
    }
    p.valid = true;
    return p;
}

QString groupThousands(const QString &digits)
{
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

} // namespace

QString formatNumber(double value, const QString &pattern)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const NumberPattern p = parsePattern(pattern);
    if (!p.valid)
        return formatFloat(value);

    QString text = QString::number(std::fabs(value), 'f', p.maxDec);
    QString intDigits = text;
    QString decDigits;
    if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) {
        intDigits = text.left(dot);
        decDigits = text.mid(dot + 1);
    }
    while (decDigits.size() > p.minDec && decDigits.endsWith(QLatin1Char('0')))
        decDigits.chop(1);
    if (intDigits == QLatin1String("0") && p.minInt == 0 && !decDigits.isEmpty())
        intDigits.clear();
    while (intDigits.size() < p.minInt)
        intDigits.prepend(QLatin1Char('0'));

    QString out = p.group ? groupThousands(intDigits) : intDigits;
    if (!decDigits.isEmpty())
        out += QLatin1Char('.') + decDigits;
    const bool zero =
        std::all_of(out.cbegin(), out.cend(), [](QChar c) { return !c.isDigit() || c == QLatin1Char('0'); });
    if (value < 0 && !zero)
        out.prepend(QLatin1Char('-'));
    return out.isEmpty() ? QStringLiteral("0") : out;
}

Ticks niceTicks(double lo, double hi, int maxTicks)
{
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0;
        hi = 1;
    }
    if (hi < lo)
        std::swap(lo, hi);
    if (hi == lo) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.1;
        lo -= lo == 0 ? 0 : pad;
        hi += pad;
    }
    maxTicks = std::max(2, maxTicks);
    const double rough = (hi - lo) / (maxTicks - 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude * 10;
    for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * magnitude >= rough) {
            step = m * magnitude;
            break;
        }
    }
    const double first = std::floor(lo / step + 1e-9);
    const double last = std::ceil(hi / step - 1e-9);
    Ticks t;
    t.min = first * step;
    t.max = last * step;
    for (double k = first; k <= last + 0.5; ++k)
        t.values.push_back(k * step == 0 ? 0.0 : k * step);
    return t;
}

std::vector<QString> distinctTexts(const std::vector<QString> &texts)
{
    QHash<QString, int> seen;
    std::vector<QString> out;
    out.reserve(texts.size());
    for (const QString &t : texts) {
        int &n = seen[t];
        out.push_back(n == 0 ? t : t + QString(n, QChar(0x200B)));
        ++n;
    }
    return out;
}

} // namespace tavimond
