#include "core/chart.h"
#include "core/chart_routines.h"
#include "core/result_grid.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

// Rows of (label, key, value, executions) in the layout the reports load:
// column 1 the label, column 3 the key, column 2 the value, column 4 the divisor.
struct Report : ResultGrid {
    explicit Report(const QList<QStringList> &rows) : ResultGrid(5)
    {
        setHeaders({"Snap", "Time", "Value", "Key", "Execs"});
        setRowCount(int(rows.size()) + 1);
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList &r = rows.at(i);
            setRow(i + 1, {QString::number(i + 1), r.value(0), r.value(2), r.value(1), r.value(3)});
        }
    }
};

std::vector<double> values(const Chart &c, const QString &title)
{
    std::vector<double> out;
    for (const int s : c.seriesTitled(title))
        for (const ChartPoint &p : c.series(s).points())
            out.push_back(p.value);
    return out;
}

} // namespace

TEST(ChartFromGrid, TotalMakesOneRightAxisBarSeriesPerKeyInRowOrder)
{
    Chart c;
    ChartFromGrid(ResultGrid(5), c, 2, {}, "Total"); // an empty grid draws nothing and leaves the format
    EXPECT_EQ(c.seriesCount(), 0);
    EXPECT_EQ(c.rightAxisFormat(), QString());

    const Report g({{"10:00", "A", "1.5"}, {"10:00", "B", "2"}, {"11:00", "A", "3"}});
    ChartFromGrid(g, c, 2, {}, "Total");
    ASSERT_EQ(c.seriesCount(), 2);
    EXPECT_EQ(c.series(0).title(), "A");
    EXPECT_EQ(c.series(1).title(), "B");
    EXPECT_EQ(c.series(0).kind(), SeriesKind::Bar);
    EXPECT_EQ(c.series(0).axis(), AxisSide::Right);
    EXPECT_FALSE(c.series(0).marksVisible());
    EXPECT_EQ(values(c, "A"), (std::vector<double>{1.5, 3}));
    EXPECT_EQ(c.series(0).points()[1].label, "11:00");
    EXPECT_EQ(c.rightAxisFormat(), "#,##0.#####");

    // A second call adds to the series of the first.
    ChartFromGrid(g, c, 2, {}, "Total");
    EXPECT_EQ(values(c, "B"), (std::vector<double>{2, 2}));

    Chart literal;
    ChartFromGrid(g, literal, 2, {}, "Literal");
    ASSERT_EQ(literal.seriesCount(), 2);
    EXPECT_EQ(literal.series(0).title(), "A::Thresh");
    EXPECT_EQ(literal.series(0).kind(), SeriesKind::Line);
}

TEST(ChartFromGrid, AverageDividesByTheKeysOwnExecutionCount)
{
    int alerts = 0;
    const auto average = [&](const ResultGrid &g, Chart &c) {
        alerts = 0;
        ChartFromGrid(g, c, 2, {}, "Average", [&] { ++alerts; });
    };
    Chart c;
    average(Report({{"t1", "A", "8", "4"}, {"t2", "A", "6", "0"}}), c);
    EXPECT_EQ(values(c, "A"), (std::vector<double>{2, 1.5}));
    EXPECT_EQ(alerts, 1);

    // A new series with 0 executions: the value itself, no alert.
    const Report zero({{"t1", "A", "8", "0"}});
    Chart z;
    average(zero, z);
    EXPECT_EQ(values(z, "A"), std::vector<double>{8});
    EXPECT_EQ(alerts, 0);
    // An existing series met with 0 executions first: the value itself, and the alert.
    average(zero, z);
    EXPECT_EQ(values(z, "A"), (std::vector<double>{8, 8}));
    EXPECT_EQ(alerts, 1);

    // Rows ordered by time only: B's zero count must not borrow A's.
    Chart two;
    average(Report({{"d1", "A", "8", "4"}, {"d1", "B", "9", "3"}, {"d2", "A", "4", "2"}, {"d2", "B", "6", "0"}}), two);
    EXPECT_EQ(values(two, "B"), (std::vector<double>{3, 2}));
    EXPECT_EQ(values(two, "A"), (std::vector<double>{2, 2}));
    EXPECT_EQ(alerts, 1);
}

TEST(ChartFromGrid, AValueThatIsNotANumberRaisesAndEarlierPointsStay)
{
    Chart c;
    try {
        ChartFromGrid(Report({{"t1", "A", "1"}, {"t2", "A", QString()}, {"t3", "A", "3"}}), c, 2, {}, "Total");
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), "'' is not a valid floating point value");
    }
    EXPECT_EQ(values(c, "A"), std::vector<double>{1});
}
