// The chart model's points: kept as a value and a place, labels once per chart.
#include "core/chart.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace tavimond;

namespace {

QStringList labelsOf(const ChartSeries &s)
{
    QStringList out;
    for (const ChartPoint &p : s.points())
        out << p.label;
    return out;
}

} // namespace

TEST(ChartPoints, ATickSharesItsLabelAndRepeatedLabelsKeepEveryPoint)
{
    Chart c;
    const int a = c.addSeries(SeriesKind::Line, QStringLiteral("1:db file sequential read"));
    const int b = c.addSeries(SeriesKind::Line, QStringLiteral("1:log file sync"));
    for (const char *tick : {"08:00:30", "08:01:00", "08:01:30"}) {
        c.addPoint(a, 1, QLatin1String(tick));
        c.addPoint(b, 2, QLatin1String(tick));
    }
    // Each tick's label is kept once, both series' points at its place.
    EXPECT_EQ(c.places().labelCount(), 3);
    EXPECT_EQ(c.places().count(), 3);
    for (size_t p = 0; p < 3; ++p)
        EXPECT_EQ(c.series(a).place(p), c.series(b).place(p));
    EXPECT_EQ(labelsOf(c.series(b)),
              (QStringList{QStringLiteral("08:00:30"), QStringLiteral("08:01:00"), QStringLiteral("08:01:30")}));

    // A day later the clock shows 08:00:30 again: a new place, not the first one's.
    c.addPoint(a, 7, QStringLiteral("08:00:30"));
    EXPECT_EQ(c.places().labelCount(), 3);
    EXPECT_EQ(c.places().count(), 4);
    EXPECT_EQ(c.places().occurrence(c.series(a).place(3)), 1);
    EXPECT_EQ(c.series(a).point(3).label, QStringLiteral("08:00:30"));
    EXPECT_EQ(c.series(a).point(3).value, 7);
    EXPECT_TRUE(c.series(a).placesAscending());
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(1.0, 7.0));
}

TEST(ChartPoints, SeriesOfTheirOwnLabelsInAnyOrderWithColouredPoints)
{
    // Bars of a report: each series its own snapshots, not in time order.
    Chart c;
    const int a = c.addSeries(SeriesKind::Bar, QStringLiteral("abc::1"));
    const int b = c.addSeries(SeriesKind::Bar, QStringLiteral("def::2"));
    c.addPoint(b, 8, QStringLiteral("30-APR-2013 23:00"), 0xFF0000);
    c.addPoint(a, 5, QStringLiteral("01-MAY-2013 09:00"));
    c.addPoint(a, 6, QStringLiteral("30-APR-2013 23:00"));
    c.addPoint(a, 4, QStringLiteral("01-MAY-2013 09:00")); // again, in this series
    c.addPoint(b, 9, QStringLiteral("01-MAY-2013 09:00"));
    EXPECT_FALSE(c.series(a).placesAscending());
    EXPECT_TRUE(c.series(b).placesAscending());
    EXPECT_EQ(labelsOf(c.series(a)),
              (QStringList{QStringLiteral("01-MAY-2013 09:00"), QStringLiteral("30-APR-2013 23:00"),
                           QStringLiteral("01-MAY-2013 09:00")}));
    EXPECT_NE(c.series(a).place(0), c.series(a).place(2)); // both kept
    EXPECT_EQ(c.series(a).place(1), c.series(b).place(0)); // the same snapshot lines up
    EXPECT_EQ(c.series(b).place(1), c.series(a).place(0));
    EXPECT_EQ(c.series(b).pointColor(0), Rgb(0xFF0000));
    EXPECT_EQ(c.series(b).pointColor(1), std::nullopt);
    EXPECT_EQ(c.series(b).points()[0].color, Rgb(0xFF0000));

    c.clearPoints(b);
    EXPECT_EQ(c.series(b).pointCount(), 0u);
    EXPECT_EQ(c.series(b).pointColor(0), std::nullopt);
    c.removeAllSeries();
    EXPECT_EQ(c.places().count(), 0); // Clear All leaves no label behind
}

TEST(ChartPoints, RollbackTakesBackWhatCameAfterTheCheckpoint)
{
    Chart c;
    const int a = c.addSeries(SeriesKind::Line, QStringLiteral("A"));
    c.addPoint(a, 3, QStringLiteral("t1"));
    c.addPoint(a, 4, QStringLiteral("t2"));
    const Chart::Checkpoint before = c.checkpoint();
    const quint64 generation = c.series(a).generation();
    c.addPoint(a, 100, QStringLiteral("t3"), 0x00FF00);
    c.addPoint(a, -5, QStringLiteral("t1")); // a second t1, and a new extreme
    const int b = c.addSeries(SeriesKind::Line, QStringLiteral("B"));
    c.addPoint(b, 1, QStringLiteral("t3"));
    c.rollback(before);
    ASSERT_EQ(c.seriesCount(), 1);
    EXPECT_TRUE(c.seriesTitled(QStringLiteral("B")).empty());
    EXPECT_EQ(c.series(a).pointCount(), 2u);
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(3.0, 4.0));
    EXPECT_EQ(c.series(a).pointColor(2), std::nullopt);
    EXPECT_TRUE(c.series(a).placesAscending());
    EXPECT_GT(c.series(a).generation(), generation); // views place its points again
    // It goes on as if the taken-back points never came.
    c.addPoint(a, 5, QStringLiteral("t1"));
    EXPECT_EQ(c.places().occurrence(c.series(a).place(2)), 1);
    c.addPoint(a, 6, QStringLiteral("t3"));
    EXPECT_EQ(c.series(a).point(3).label, QStringLiteral("t3"));
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(3.0, 6.0));
}

TEST(ChartPoints, EveryValueReadsBackExactlyWhateverItsSize)
{
    Chart c;
    const int a = c.addSeries(SeriesKind::Line, QStringLiteral("A"));
    // Whole counts first (kept small), then values a float does not hold: 0.1, 2^40 + 1.
    std::vector<double> values;
    for (int t = 0; t < 600; ++t)
        values.push_back(t == 300 ? 0.1 : (t == 520 ? 1099511627777.0 : double(t % 17)));
    values.push_back(std::numeric_limits<double>::quiet_NaN());
    for (size_t t = 0; t < values.size(); ++t)
        c.addPoint(a, values[t], QStringLiteral("t%1").arg(t));
    for (size_t t = 0; t + 1 < values.size(); ++t)
        ASSERT_EQ(c.series(a).value(t), values[t]) << t;
    EXPECT_TRUE(std::isnan(c.series(a).value(values.size() - 1)));
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(0.0, 1099511627777.0));
    EXPECT_EQ(c.series(a).point(300).label, QStringLiteral("t300"));
}
