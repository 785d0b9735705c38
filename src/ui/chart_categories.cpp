#include "chart_categories.h"

#include <QRegularExpression>

namespace tavimond {
namespace {

int monthNumber(const QString &name)
{
    static const QStringList months = {QStringLiteral("JAN"), QStringLiteral("FEB"), QStringLiteral("MAR"),
                                       QStringLiteral("APR"), QStringLiteral("MAY"), QStringLiteral("JUN"),
                                       QStringLiteral("JUL"), QStringLiteral("AUG"), QStringLiteral("SEP"),
                                       QStringLiteral("OCT"), QStringLiteral("NOV"), QStringLiteral("DEC")};
    return int(months.indexOf(name.toUpper())) + 1;
}

qint64 packTime(int y, int mo, int d, int h, int mi, int s)
{
    return ((((qint64(y) * 100 + mo) * 100 + d) * 100 + h) * 100 + mi) * 100 + s;
}

} // namespace

std::optional<qint64> labelTime(const QString &label)
{
    static const QRegularExpression named(
        QStringLiteral(R"(^\s*(\d{1,2})[-/ ]([A-Za-z]{3})[-/ ](\d{4})\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*$)"));
    static const QRegularExpression iso(
        QStringLiteral(R"(^\s*(\d{4})-(\d{2})-(\d{2})[ T](\d{1,2}):(\d{2})(?::(\d{2}))?\s*$)"));
    if (label.isEmpty() || !label.at(label.size() - 1).isDigit())
        return std::nullopt;
    if (const auto m = named.match(label); m.hasMatch()) {
        const int month = monthNumber(m.captured(2));
        if (month == 0)
            return std::nullopt;
        return packTime(m.captured(3).toInt(), month, m.captured(1).toInt(), m.captured(4).toInt(),
                        m.captured(5).toInt(), m.captured(6).toInt());
    }
    if (const auto m = iso.match(label); m.hasMatch())
        return packTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                        m.captured(5).toInt(), m.captured(6).toInt());
    return std::nullopt;
}

} // namespace tavimond
