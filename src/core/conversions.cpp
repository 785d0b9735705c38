#include "conversions.h"

#include "db/error.h"

#include <cmath>
#include <limits>
#include <optional>

namespace tavimond {
namespace {

// Length of a plain decimal number at the start of s (sign, digits, ".", exponent),
// or 0 when there is none. fraction/exponent tell what it held.
qsizetype numberPrefix(QStringView s, bool *fraction = nullptr, bool *exponent = nullptr)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    bool frac = false;
    if (i < n && s[i] == u'.') {
        qsizetype j = i + 1;
        qsizetype fd = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            ++j;
            ++fd;
        }
        if (digits + fd > 0) {
            frac = true;
            digits += fd;
            i = j;
        }
    }
    if (digits == 0)
        return 0;
    bool exp = false;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        qsizetype ed = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) {
            ++j;
            ++ed;
        }
        if (ed > 0) {
            exp = true;
            i = j;
        }
    }
    if (fraction)
        *fraction = frac;
    if (exponent)
        *exponent = exp;
    return i;
}

QStringView skipBlanks(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return s.mid(i);
}

// The whole text as a plain decimal number (blanks around it allowed).
std::optional<double> wholeNumber(const QString &text, bool *fraction = nullptr, bool *exponent = nullptr)
{
    const QStringView s = QStringView(text).trimmed();
    if (s.isEmpty())
        return std::nullopt;
    const qsizetype len = numberPrefix(s, fraction, exponent);
    if (len != s.size())
        return std::nullopt;
    bool ok = false;
    const double v = s.toDouble(&ok); // always "." and no group separators
    if (!ok && !std::isinf(v))
        return std::nullopt;
    return v;
}

int decimals(const QString &text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    int n = 0;
    for (qsizetype i = dot + 1; i < text.size() && text.at(i).isDigit(); ++i)
        ++n;
    return n;
}

// True when the text is a number written with a fraction or an exponent.
bool isDecimalText(const QString &text)
{
    bool fraction = false, exponent = false;
    return wholeNumber(text, &fraction, &exponent).has_value() && (fraction || exponent);
}

// Empty text counts as 0 beside a decimal one; junk does not take the decimal path.
std::optional<double> decimalOperand(const QString &text)
{
    if (text.trimmed().isEmpty())
        return 0.0;
    return wholeNumber(text);
}

} // namespace

qint64 lenientToInt64(const QString &text)
{
    const QStringView s = skipBlanks(text);
    qsizetype i = 0;
    const qsizetype n = s.size();
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    quint64 value = 0;
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    bool hex = false;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    const unsigned base = hex ? 16 : 10;
    for (; i < n; ++i) {
        const char16_t c = s[i].unicode();
        unsigned d;
        if (c >= u'0' && c <= u'9')
            d = unsigned(c - u'0');
        else if (hex && c >= u'a' && c <= u'f')
            d = unsigned(c - u'a' + 10);
        else if (hex && c >= u'A' && c <= u'F')
            d = unsigned(c - u'A' + 10);
        else
            break;
        if (value > (limit - d) / base)
            break; // the next digit would overflow
        value = value * base + d;
    }
    if (negative)
        return value == quint64(std::numeric_limits<qint64>::max()) + 1 ? std::numeric_limits<qint64>::min()
                                                                        : -qint64(value);
    return qint64(value);
}

int strictToInt(const QString &text)
{
    const QStringView s = skipBlanks(text);
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    bool digitsOnly = i < s.size();
    for (qsizetype j = i; j < s.size(); ++j)
        if (s[j] < u'0' || s[j] > u'9')
            digitsOnly = false;
    bool ok = false;
    const qlonglong v = digitsOnly ? s.toLongLong(&ok) : 0;
    if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return int(v);
}

double strictToFloat(const QString &text)
{
    const auto v = wholeNumber(text);
    if (!v)
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return *v;
}

double sortValue(const QString &text)
{
    const QStringView s = skipBlanks(text);
    const qsizetype len = numberPrefix(s);
    if (len == 0)
        return 0;
    return s.left(len).toDouble();
}

double chartValue(const QString &text)
{
    const auto v = wholeNumber(text);
    if (!v)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *v;
}

QString tallyDelta(const QString &now, const QString &before)
{
    if (isDecimalText(now) || isDecimalText(before)) {
        const auto a = decimalOperand(now);
        const auto b = decimalOperand(before);
        if (a && b) {
            const double d = *a - *b;
            const bool exponent = now.contains(QLatin1Char('e'), Qt::CaseInsensitive)
                                  || before.contains(QLatin1Char('e'), Qt::CaseInsensitive);
            QString out;
            if (exponent || !std::isfinite(d) || std::fabs(d) >= 1e15) {
                out = QString::number(d, 'g', 15);
            } else {
                // Round to the inputs' own decimals: that is all the precision they carry.
                out = QString::number(d, 'f', std::max(decimals(now), decimals(before)));
                if (out.contains(QLatin1Char('.'))) {
                    while (out.endsWith(QLatin1Char('0')))
                        out.chop(1);
                    if (out.endsWith(QLatin1Char('.')))
                        out.chop(1);
                }
            }
            if (out == QLatin1String("-0"))
                out = QStringLiteral("0");
            return out;
        }
    }
    // Wrapping subtraction: counters near the 64-bit limits must not be undefined behaviour.
    const quint64 diff = quint64(lenientToInt64(now)) - quint64(lenientToInt64(before));
    return QString::number(qint64(diff));
}

int compareNumberTexts(const QString &a, const QString &b)
{
    if (isDecimalText(a) || isDecimalText(b)) {
        const double x = sortValue(a), y = sortValue(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const qint64 x = lenientToInt64(a), y = lenientToInt64(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace tavimond
