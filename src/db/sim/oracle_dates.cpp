#include "oracle_dates.h"

#include "../error.h"

#include <QStringList>

namespace tavimond::sim {
namespace {

const char *const kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
                               "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};

[[noreturn]] void fail(const char *message)
{
    throw DbError(QString::fromLatin1(message));
}

// The mask's elements in order; separators are kept as empty elements.
QStringList maskElements(const QString &mask)
{
    static const char *const kElements[] = {"MONTH", "YYYY", "HH24", "MON", "DD", "MM", "HH", "MI", "SS"};
    QStringList out;
    const QString m = mask.toUpper();
    qsizetype i = 0;
    while (i < m.size()) {
        if (!m.at(i).isLetterOrNumber()) {
            while (i < m.size() && !m.at(i).isLetterOrNumber())
                ++i;
            out << QString();
            continue;
        }
        bool found = false;
        for (const char *e : kElements) {
            const QLatin1String el(e);
            if (m.mid(i, el.size()) == el) {
                out << QString(el);
                i += el.size();
                found = true;
                break;
            }
        }
        if (!found)
            fail("ORA-01821: date format not recognized");
    }
    return out;
}

} // namespace

QDateTime toDate(const QString &text, const QString &mask)
{
    int year = 0, month = 0, day = 1, hour = 0, minute = 0, second = 0;
    bool haveYear = false, haveMonth = false;
    const QString t = text.trimmed();
    qsizetype i = 0;
    auto number = [&](int maxDigits) {
        const qsizetype start = i;
        while (i < t.size() && i - start < maxDigits && t.at(i).isDigit())
            ++i;
        if (i == start)
            fail("ORA-01858: a non-numeric character was found where a numeric was expected");
        return t.mid(start, i - start).toInt();
    };
    for (const QString &el : maskElements(mask)) {
        if (i >= t.size())
            break; // the rest keeps its first value
        if (el.isEmpty()) {
            while (i < t.size() && !t.at(i).isLetterOrNumber())
                ++i;
            continue;
        }
        // Blanks or punctuation where the mask has none are passed over, as the database does.
        while (i < t.size() && !t.at(i).isLetterOrNumber())
            ++i;
        if (el == QLatin1String("MON") || el == QLatin1String("MONTH")) {
            const qsizetype start = i;
            while (i < t.size() && t.at(i).isLetter())
                ++i;
            const QString word = t.mid(start, i - start).toUpper();
            month = 0;
            for (int m = 0; m < 12 && word.size() >= 3; ++m) {
                const QString name = QString::fromLatin1(kMonths[m]);
                if (word == name || word == name.left(3))
                    month = m + 1;
            }
            if (month == 0)
                fail("ORA-01843: not a valid month");
            haveMonth = true;
        } else if (el == QLatin1String("MM")) {
            month = number(2);
            if (month < 1 || month > 12)
                fail("ORA-01843: not a valid month");
            haveMonth = true;
        } else if (el == QLatin1String("DD")) {
            day = number(2);
        } else if (el == QLatin1String("YYYY")) {
            year = number(4);
            if (year == 0)
                fail("ORA-01841: (full) year must be between -4713 and +9999, and not be 0");
            haveYear = true;
        } else if (el == QLatin1String("HH24") || el == QLatin1String("HH")) {
            hour = number(2);
            if (hour > 23)
                fail("ORA-01850: hour must be between 0 and 23");
        } else if (el == QLatin1String("MI")) {
            minute = number(2);
            if (minute > 59)
                fail("ORA-01851: minutes must be between 0 and 59");
        } else if (el == QLatin1String("SS")) {
            second = number(2);
            if (second > 59)
                fail("ORA-01852: seconds must be between 0 and 59");
        }
    }
    while (i < t.size() && !t.at(i).isLetterOrNumber())
        ++i;
    if (i < t.size())
        fail("ORA-01830: date format picture ends before converting entire input string");
    if (t.isEmpty())
        return {}; // to_date('') is NULL
    // Left out, the year and month are the current ones; the reports always give both.
    if (!haveYear)
        year = QDate::currentDate().year();
    if (!haveMonth)
        month = QDate::currentDate().month();
    const QDate date(year, month, 1);
    if (day < 1 || day > date.daysInMonth())
        fail("ORA-01847: day of month must be between 1 and last day of month");
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

QString toChar(const QDateTime &t, const QString &mask)
{
    QString out;
    const QDate d = t.date();
    const QTime c = t.time();
    const QString m = mask.toUpper();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    qsizetype i = 0;
    while (i < m.size()) {
        auto take = [&](const char *el) {
            const QLatin1String e(el);
            if (m.mid(i, e.size()) != e)
                return false;
            i += e.size();
            return true;
        };
        if (take("MONTH"))
            out += QString::fromLatin1(kMonths[d.month() - 1]).leftJustified(9);
        else if (take("YYYY"))
            out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
        else if (take("HH24"))
            out += two(c.hour());
        else if (take("MON"))
            out += QString::fromLatin1(kMonths[d.month() - 1]).left(3);
        else if (take("DD"))
            out += two(d.day());
        else if (take("MM"))
            out += two(d.month());
        else if (take("MI"))
            out += two(c.minute());
        else if (take("SS"))
            out += two(c.second());
        else if (take("HH"))
            out += two(c.hour() % 12 == 0 ? 12 : c.hour() % 12);
        else
            out += mask.at(i++);
    }
    return out;
}

} // namespace tavimond::sim
