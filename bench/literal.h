#pragma once

// The plain literal algorithms the benchmarks measure the system's routines against:
// a tally merge that compares every row with every record and scans every series for
// every match, a bubble sort of whole rows, and a chart drawn from a grid by comparing
// every row's key with every series' title.

#include "core/chart.h"
#include "core/conversions.h"
#include "core/result_grid.h"
#include "db/query.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <climits>
#include <cmath>
#include <limits>

namespace tavimond::literal {

// The literal tally merge: every row for every record, every series for every match.
inline void literalTally(Query &q, ResultGrid &g, Chart &c)
{
    while (!q.eof()) {
        bool matched = false;
        const QString key = q.field(0), value = q.field(1);
        for (int r = 1; r < g.rowCount(); ++r) {
            if (g.cell(0, r) != key)
                continue;
            const QString old = g.cell(1, r);
            g.setCell(1, r, value);
            g.setCell(2, r, QString::number(lenientToInt64(value) - lenientToInt64(old)));
            matched = true;
            for (int s = 0; s < c.seriesCount(); ++s)
                if (c.series(s).title() == key)
                    c.addPoint(s, double(lenientToInt64(g.cell(2, r))), QStringLiteral("08:00:00"));
            if (g.cell(3, r).isEmpty() || lenientToInt64(g.cell(2, r)) < lenientToInt64(g.cell(3, r)))
                g.setCell(3, r, g.cell(2, r));
            if (g.cell(4, r).isEmpty() || lenientToInt64(g.cell(2, r)) > lenientToInt64(g.cell(4, r)))
                g.setCell(4, r, g.cell(2, r));
        }
        if (!matched) {
            const int last = g.rowCount() - 1;
            g.setCell(0, last, key);
            g.setCell(1, last, value);
            g.setRowCount(last + 2);
            c.addSeries(SeriesKind::Line, key);
        }
        q.next();
    }
    q.close();
}

inline void literalBubbleSort(ResultGrid &g, int col, int first)
{
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int r = first; r < g.rowCount() - 1; ++r)
            if (sortValue(g.cell(col, r)) < sortValue(g.cell(col, r + 1))) {
                for (int c = 0; c < g.colCount(); ++c) {
                    const QString t = g.cell(c, r);
                    g.setCell(c, r, g.cell(c, r + 1));
                    g.setCell(c, r + 1, t);
                }
                swapped = true;
            }
    }
}

// The literal chart update: every line laid out again from every one of its points
// (the value range too), each pixel column's run of points reduced to its lowest and
// highest point, and painted with QPainter.
inline void literalPaintLines(const Chart &c, QImage &image)
{
    image.fill(Qt::white);
    const double places = std::max(c.places().count(), 1);
    const double w = image.width(), h = image.height();
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (int s = 0; s < c.seriesCount(); ++s)
        for (size_t p = 0; p < c.series(s).pointCount(); ++p) {
            lo = std::min(lo, c.series(s).value(p));
            hi = std::max(hi, c.series(s).value(p));
        }
    const double scale = hi > lo ? h / (hi - lo) : 1;
    QPainter painter(&image);
    for (int s = 0; s < c.seriesCount(); ++s) {
        const ChartSeries &series = c.series(s);
        QPolygonF path;
        int column = INT_MIN;
        QPointF high, low;
        size_t highAt = 0, lowAt = 0;
        const auto flush = [&] {
            if (column == INT_MIN)
                return;
            if (highAt == lowAt)
                path << high;
            else
                path << (highAt < lowAt ? high : low) << (highAt < lowAt ? low : high);
        };
        for (size_t p = 0; p < series.pointCount(); ++p) {
            const QPointF at((series.place(p) + 0.5) * w / places, h - (series.value(p) - lo) * scale);
            const int col = int(std::floor(at.x()));
            if (col != column) {
                flush();
                column = col;
                high = low = at;
                highAt = lowAt = p;
            } else if (at.y() < high.y()) {
                high = at;
                highAt = p;
            } else if (at.y() > low.y()) {
                low = at;
                lowAt = p;
            }
        }
        flush();
        painter.setPen(QPen(QColor::fromRgb(QRgb(0xFF000000u | (0x1f77b4u * unsigned(s + 1)))), 1));
        painter.drawPolyline(path);
    }
}

// The literal chart from a grid: every series' title compared with every row's key.
inline void literalChartFromGrid(const ResultGrid &g, Chart &c, int valueColumn, bool average)
{
    if (g.rowCount() < 2 || g.cell(0, 1).isEmpty())
        return;
    Chart::Batch batch(c);
    c.setRightAxisFormat(QStringLiteral("#,##0.#####"));
    double divisor = 1.0;
    for (int r = 1; r < g.rowCount(); ++r) {
        bool found = false;
        const double value = strictToFloat(g.cell(valueColumn, r));
        const QString label = g.cell(1, r), key = g.cell(3, r);
        for (int s = 0; s < c.seriesCount(); ++s)
            if (c.series(s).title() == key) {
                if (average) {
                    const double d = strictToFloat(g.cell(4, r));
                    if (d != 0)
                        divisor = d;
                }
                c.addPoint(s, average ? value / divisor : value, label);
                found = true;
            }
        if (!found) {
            if (average) {
                const double d = strictToFloat(g.cell(4, r));
                divisor = d != 0 ? d : 1.0;
            }
            const int s = c.addSeries(SeriesKind::Bar, key, AxisSide::Right);
            c.setSeriesMarksVisible(s, false);
            c.addPoint(s, average ? value / divisor : value, label);
        }
    }
}

} // namespace tavimond::literal

namespace tavimond::literal {

// The wait event history's load as first written: every record written into the grid's
// last row, every series of the count chart compared by title for every record, then
// every row against every series position for the points.
inline void literalWaitHistory(Query &q, ResultGrid &g, Chart &count, Chart &time)
{
    while (!q.eof()) {
        const int last = g.rowCount() - 1;
        for (int c = 0; c < 4; ++c)
            g.setCell(c, last, q.field(c));
        g.setRowCount(last + 2);
        bool known = false;
        for (int s = 0; s < count.seriesCount(); ++s)
            if (count.series(s).title() == q.field(1))
                known = true;
        if (!known) {
            count.addSeries(SeriesKind::Line, q.field(1));
            time.addSeries(SeriesKind::Line, q.field(1));
        }
        q.next();
    }
    q.close();
    while (g.rowCount() > 2 && g.cell(0, g.rowCount() - 1).isEmpty())
        g.setRowCount(g.rowCount() - 1);
    for (int r = 1; r < g.rowCount(); ++r)
        for (int s = 0; s < count.seriesCount(); ++s)
            if (count.series(s).title() == g.cell(1, r)) {
                count.addPoint(s, strictToFloat(g.cell(2, r)), g.cell(0, r));
                time.addPoint(s, strictToFloat(g.cell(3, r)), g.cell(0, r));
            }
}

} // namespace tavimond::literal
