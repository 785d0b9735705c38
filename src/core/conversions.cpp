#include "conversions.h"

#include "float_arithmetic.h"

#include "db/error.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tavimond {
namespace {

// A plain decimal number at the start of a text: sign, digits, ".", exponent.
struct NumberScan {
    qsizetype length = 0; // 0 when there is none
    bool fraction = false;
    bool exponent = false;
    bool negative = false;
    bool fitsInteger = true; // no fraction, no exponent and at most 18 digits
    qint64 integer = 0;
    // Digits without the point, and how many stood after it (for a fraction of at most
    // 15 digits, which a double holds exactly).
    quint64 mantissa = 0;
    int decimals = 0;
    bool fitsDecimal = false;
};

NumberScan scanNumber(QStringView s)
{
    NumberScan out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        out.negative = s[i] == u'-';
        ++i;
    }
    qsizetype digits = 0;
    quint64 value = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
        value = value * 10 + unsigned(s[i].unicode() - u'0');
        ++i;
        ++digits;
    }
    quint64 mantissa = value;
    if (i < n && s[i] == u'.') {
        qsizetype j = i + 1;
        qsizetype fd = 0;
        while (j < n && s[j] >= u'0' && s[j] <= u'9') {
            if (digits + fd < 19)
                mantissa = mantissa * 10 + unsigned(s[j].unicode() - u'0');
            ++j;
            ++fd;
        }
        out.decimals = int(fd);
        if (digits + fd > 0) {
            out.fraction = true;
            digits += fd;
            i = j;
        }
    }
    if (digits == 0)
        return out;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        qsizetype ed = 0;
        while (j < n && s[j] >= u'0' && s[j] <= u'9') {
            ++j;
            ++ed;
        }
        if (ed > 0) {
            out.exponent = true;
            i = j;
        }
    }
    out.length = i;
    out.fitsInteger = !out.fraction && !out.exponent && digits <= 18;
    if (out.fitsInteger)
        out.integer = out.negative ? -qint64(value) : qint64(value);
    out.fitsDecimal = out.fraction && !out.exponent && digits <= 15;
    out.mantissa = mantissa;
    return out;
}

double valueOf(QStringView number, const NumberScan &scan)
{
    if (scan.fitsInteger)
        return double(scan.integer);
    if (scan.fitsDecimal) {
        // Both numbers are exact in a double, so the one division rounds correctly:
        // the same value the general conversion gives, for a fraction of the cost.
        static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double v = double(scan.mantissa) / kPowers[scan.decimals];
        return scan.negative ? -v : v;
    }
    return number.left(scan.length).toDouble();
}

// Decimal text of a whole number (QString::number goes through the locale machinery,
// which a tally pays for at every row of every tick).
QString wholeText(qint64 v)
{
    char16_t buf[24];
    int i = 24;
    quint64 u = v < 0 ? 0 - quint64(v) : quint64(v);
    do {
        buf[--i] = char16_t(u'0' + u % 10);
        u /= 10;
    } while (u);
    if (v < 0)
        buf[--i] = u'-';
    return QString(reinterpret_cast<const QChar *>(buf + i), 24 - i);
}

bool mayBeDecimal(const QString &text)
{
    for (const QChar c : text)
        if (c == u'.' || c == u'e' || c == u'E')
            return true;
    return false;
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
    const NumberScan scan = scanNumber(s);
    if (scan.length == 0 || scan.length != s.size())
        return std::nullopt;
    if (fraction)
        *fraction = scan.fraction;
    if (exponent)
        *exponent = scan.exponent;
    return valueOf(s, scan);
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
        quint64 next;
        if (__builtin_mul_overflow(value, quint64(base), &next) || __builtin_add_overflow(next, quint64(d), &next) ||
            next > limit)
            break; // the next digit would overflow
        value = next;
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

QString wholeNumberField(const QString &text, const QString &fieldName)
{
    const QString t = text.trimmed();
    const bool digits = !t.isEmpty() && std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        throw Error(QStringLiteral("%1 must be a whole number; '%2' is not.").arg(fieldName, text));
    return t;
}

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString daysField(const QString &text, const QString &fieldName)
{
    // Read as a sequence of operands and operators; an operand is a number or an
    // opening parenthesis (whose group is closed later), an operator follows an operand.
    bool wantOperand = true;
    bool outerSum = false; // a + or - outside every parenthesis
    int depth = 0;
    bool ok = true;
    for (qsizetype i = 0; ok && i < text.size();) {
        const QChar c = text.at(i);
        if (c == u' ') {
            ++i;
        } else if (wantOperand && c == u'(') {
            ++depth;
            ++i;
        } else if (wantOperand && (isDigit(c) || c == u'.')) {
            qsizetype digits = 0, points = 0;
            for (; i < text.size() && (isDigit(text.at(i)) || text.at(i) == u'.'); ++i) {
                if (isDigit(text.at(i)))
                    ++digits;
                else
                    ++points;
            }
            ok = digits > 0 && points <= 1;
            wantOperand = false;
        } else if (!wantOperand && c == u')' && depth > 0) {
            --depth;
            ++i;
        } else if (!wantOperand && (c == u'+' || c == u'-' || c == u'*' || c == u'/')) {
            outerSum = outerSum || (depth == 0 && (c == u'+' || c == u'-'));
            wantOperand = true;
            ++i;
        } else {
            ok = false;
        }
    }
    if (!ok || wantOperand || depth != 0)
        throw Error(QStringLiteral("%1 must be a number of days, or arithmetic of numbers such as 0.5, 1/24 or 7*2.")
                        .arg(fieldName));
    return outerSum ? QLatin1Char('(') + text + QLatin1Char(')') : text;
}

QString sqlQuote(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
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
    const NumberScan scan = scanNumber(s);
    return scan.length == 0 ? 0 : valueOf(s, scan);
}

double chartValue(const QString &text)
{
    const auto v = wholeNumber(text);
    if (!v)
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *v;
}

TallyNumber readTallyNumber(const QString &text)
{
    TallyNumber n;
    if (mayBeDecimal(text)) {
        const QStringView s = QStringView(text).trimmed();
        const NumberScan scan = scanNumber(s);
        if (scan.length != 0 && scan.length == s.size() && (scan.fraction || scan.exponent)) {
            n.decimal = true;
            n.real = valueOf(s, scan);
            n.exponent = scan.exponent;
            n.decimals = scan.exponent ? 0 : decimals(text);
            return n;
        }
    }
    n.whole = lenientToInt64(text);
    return n;
}

TallyDifference subtractTally(const TallyNumber &now, const TallyNumber &before)
{
    TallyDifference out;
    if (now.decimal || before.decimal) {
        // Beside a decimal, a whole number (or junk read as one) counts by its value.
        const double d = now.value() - before.value();
        if (now.exponent || before.exponent || !std::isfinite(d) || std::fabs(d) >= 1e15) {
            out.text = formatFloat(d);
        } else {
            // Round to the inputs' own decimals: that is all the precision they carry.
            out.text = QString::number(d, 'f', std::max(now.decimals, before.decimals));
            if (out.text.contains(QLatin1Char('.'))) {
                while (out.text.endsWith(QLatin1Char('0')))
                    out.text.chop(1);
                if (out.text.endsWith(QLatin1Char('.')))
                    out.text.chop(1);
            }
        }
        if (out.text == QLatin1String("-0"))
            out.text = QStringLiteral("0");
        // The number is what the text says, so charts and Min/Max agree with the grid.
        out.number = readTallyNumber(out.text);
        return out;
    }
    // Wrapping subtraction: counters near the 64-bit limits must not be undefined behaviour.
    out.number.whole = qint64(quint64(now.whole) - quint64(before.whole));
    out.text = wholeText(out.number.whole);
    return out;
}

int compareTally(const TallyNumber &a, const TallyNumber &b)
{
    if (a.decimal || b.decimal) {
        const double x = a.value(), y = b.value();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.whole < b.whole ? -1 : (a.whole > b.whole ? 1 : 0);
}

QString tallyDelta(const QString &now, const QString &before)
{
    return subtractTally(readTallyNumber(now), readTallyNumber(before)).text;
}

int compareNumberTexts(const QString &a, const QString &b)
{
    return compareTally(readTallyNumber(a), readTallyNumber(b));
}

} // namespace tavimond
