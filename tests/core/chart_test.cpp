// The chart model's points: kept as a value and a place, labels once per chart.
#include "core/chart.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace tavimond;

TEST(ChartPoints, ATickSharesItsLabelAndRepeatedLabelsKeepEveryPoint)
{
    Chart c;
    const int a = c.addSeries(SeriesKind::Line, "1:db file sequential read");
    const int b = c.addSeries(SeriesKind::Line, "1:log file sync");
    const char *ticks[] = {"08:00:30", "08:01:00", "08:01:30"};
    for (const char *tick : ticks) {
        c.addPoint(a, 1, tick);
        c.addPoint(b, 2, tick);
    }
    // Each tick's label is kept once, both series' points at its place.
    EXPECT_EQ(c.places().labelCount(), 3);
    EXPECT_EQ(c.places().count(), 3);
    for (size_t p = 0; p < 3; ++p) {
        EXPECT_EQ(c.series(a).place(p), c.series(b).place(p));
        EXPECT_EQ(c.series(b).point(p).label, ticks[p]);
    }

    // A day later the clock shows 08:00:30 again: a new place, not the first one's.
    c.addPoint(a, 7, "08:00:30");
    EXPECT_EQ(c.places().labelCount(), 3);
    EXPECT_EQ(c.places().count(), 4);
    EXPECT_EQ(c.places().occurrence(c.series(a).place(3)), 1);
    EXPECT_EQ(c.series(a).point(3).label, "08:00:30");
    EXPECT_EQ(c.series(a).point(3).value, 7);
    EXPECT_TRUE(c.series(a).placesAscending());
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(1.0, 7.0));
}

TEST(ChartPoints, RollbackTakesBackWhatCameAfterTheCheckpoint)
{
    Chart c;
    const int a = c.addSeries(SeriesKind::Line, "A");
    c.addPoint(a, 3, "t1");
    c.addPoint(a, 4, "t2");
    const Chart::Checkpoint before = c.checkpoint();
    const quint64 generation = c.series(a).generation();
    c.addPoint(a, 100, "t3", 0x00FF00);
    c.addPoint(a, -5, "t1"); // a second t1, and a new extreme
    const int b = c.addSeries(SeriesKind::Line, "B");
    c.addPoint(b, 1, "t3");
    c.rollback(before);
    ASSERT_EQ(c.seriesCount(), 1);
    EXPECT_TRUE(c.seriesTitled("B").empty());
    EXPECT_EQ(c.series(a).pointCount(), 2u);
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(3.0, 4.0));
    EXPECT_EQ(c.series(a).pointColor(2), std::nullopt);
    EXPECT_TRUE(c.series(a).placesAscending());
    EXPECT_GT(c.series(a).generation(), generation); // views place its points again
    // It goes on as if the taken-back points never came.
    c.addPoint(a, 5, "t1");
    EXPECT_EQ(c.places().occurrence(c.series(a).place(2)), 1);
    c.addPoint(a, 6, "t3");
    EXPECT_EQ(c.series(a).point(3).label, "t3");
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(3.0, 6.0));
}

TEST(ChartPoints, EveryValueReadsBackExactlyWhateverItsSizeAndPlace)
{
    Chart c;
    const int a = c.addSeries(SeriesKind::Line, "A");
    const int b = c.addSeries(SeriesKind::Line, "B");
    // Whole counts first (kept small), then values a float does not hold: microseconds
    // past 2^24 (a NULL among them), a fraction after them, 2^40 + 1, and whole numbers
    // at the ends of 32 bits.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> values;
    for (int t = 0; t < 1100; ++t) {
        double v = double(t % 17);
        if (t >= 256 && t < 512)
            v = t == 300 ? nan : 16777217.0 * (t % 3) - t;
        if (t == 400)
            v = 0.1;
        if (t >= 600 && t < 800)
            v = t % 2 ? 2147483647.0 : -2147483647.0;
        if (t == 700)
            v = -2147483648.0;
        if (t == 900)
            v = 1099511627777.0;
        values.push_back(v);
    }
    // A skips no tick; B misses every seventh, and its values come from A's.
    for (size_t t = 0; t < values.size(); ++t) {
        c.addPoint(a, values[t], QStringLiteral("t%1").arg(t));
        if (t % 7 != 3)
            c.addPoint(b, values[t], QStringLiteral("t%1").arg(t));
    }
    for (size_t t = 0, p = 0; t < values.size(); ++t) {
        const bool inB = t % 7 != 3;
        if (std::isnan(values[t])) {
            EXPECT_TRUE(std::isnan(c.series(a).value(t)));
        } else {
            ASSERT_EQ(c.series(a).value(t), values[t]) << t;
            if (inB) {
                ASSERT_EQ(c.series(b).value(p), values[t]) << t;
            }
        }
        const QString label = QStringLiteral("t%1").arg(t);
        ASSERT_EQ(c.series(a).point(t).label, label);
        if (inB) {
            ASSERT_EQ(c.series(b).point(p++).label, label);
        }
    }
    EXPECT_EQ(c.series(a).valueRange(), std::make_pair(-2147483648.0, 1099511627777.0));
    EXPECT_TRUE(c.series(b).placesAscending());
}
