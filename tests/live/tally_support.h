#pragma once

// What the tests of the live tally screens read from their grids and charts.
#include "core/chart.h"
#include "core/result_grid.h"

#include <QStringList>
#include <stdexcept>

namespace tavimond::test {

// The keys of a grid's rows from row 1 on, the spare row's empty key last.
inline QStringList keysOf(const ResultGrid &g)
{
    QStringList out;
    for (int r = 1; r < g.rowCount(); ++r)
        out << g.cell(0, r);
    return out;
}

// The one row holding a key, or -1 when none or several hold it.
inline int rowOf(const ResultGrid &g, const QString &key)
{
    const auto &rows = g.rowsWithKey(key);
    return rows.size() == 1 ? rows.front() : -1;
}

// The one series of a chart titled with a key.
inline const ChartSeries &seriesOf(const Chart &c, const QString &key)
{
    const auto &found = c.seriesTitled(key);
    if (found.size() != 1)
        throw std::runtime_error("not one series titled " + key.toStdString());
    return c.series(found.front());
}

// Rows of (key, value) for a table a script reads.
inline QList<QStringList> pairs(std::initializer_list<std::pair<const char *, const char *>> list)
{
    QList<QStringList> out;
    for (const auto &[k, v] : list)
        out << QStringList{QLatin1String(k), QLatin1String(v)};
    return out;
}

} // namespace tavimond::test
