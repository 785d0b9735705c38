#include "timestamp_text.h"

namespace tavimond {

QString timestampText(int year, int month, int day, int hour, int minute, int second, quint32 nanoseconds)
{
    QString out = QStringLiteral("%1-%2-%3 %4:%5:%6")
                      .arg(year, 4, 10, QLatin1Char('0'))
                      .arg(month, 2, 10, QLatin1Char('0'))
                      .arg(day, 2, 10, QLatin1Char('0'))
                      .arg(hour, 2, 10, QLatin1Char('0'))
                      .arg(minute, 2, 10, QLatin1Char('0'))
                      .arg(second, 2, 10, QLatin1Char('0'));
    if (nanoseconds > 0) {
        QString fraction = QStringLiteral("%1").arg(nanoseconds, 9, 10, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        out += QLatin1Char('.') + fraction;
    }
    return out;
}

QString timestampText(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime c = t.time();
    return timestampText(d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second(), quint32(c.msec()) * 1000000u);
}

} // namespace tavimond
