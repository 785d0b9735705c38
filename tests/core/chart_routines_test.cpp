#include "core/chart.h"
#include "core/chart_routines.h"
#include "core/result_grid.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

// Rows of (label, key, value, executions) in the layout the reports load:
// column 1 the label, column 3 the key, column 2 the value, column 4 the divisor.
void fillReport(ResultGrid &g, const QList<QStringList> &rows)
{
    g.setColCount(5);
    g.setHeaders({QStringLiteral("Snap"), QStringLiteral("Time"), QStringLiteral("Value"), QStringLiteral("Key"),
                  QStringLiteral("Execs")});
    g.setRowCount(int(rows.size()) + 1);
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList &r = rows.at(i);
        g.setRow(i + 1, {QString::number(i + 1), r.value(0), r.value(2), r.value(1), r.value(3)});
    }
}

std::vector<double> values(const Chart &c, const QString &title)
{
    std::vector<double> out;
    for (const int s : c.seriesTitled(title))
        for (const ChartPoint &p : c.series(s).points())
            out.push_back(p.value);
    return out;
}

} // namespace

TEST(ChartFromGrid, EmptyGridDrawsNothingAndLeavesTheFormat)
{
    ResultGrid g(5);
    Chart c;
    ChartFromGrid(g, c, 2, {}, QStringLiteral("Total"));
    EXPECT_EQ(c.seriesCount(), 0);
    EXPECT_EQ(c.rightAxisFormat(), QString());
}

TEST(ChartFromGrid, TotalMakesOneRightAxisBarSeriesPerKeyInRowOrder)
{
    ResultGrid g;
    fillReport(g, {{QStringLiteral("10:00"), QStringLiteral("A"), QStringLiteral("1.5")},
                   {QStringLiteral("10:00"), QStringLiteral("B"), QStringLiteral("2")},
                   {QStringLiteral("11:00"), QStringLiteral("A"), QStringLiteral("3")}});
    Chart c;
    ChartFromGrid(g, c, 2, {}, QStringLiteral("Total"));
    ASSERT_EQ(c.seriesCount(), 2);
    EXPECT_EQ(c.series(0).title(), QStringLiteral("A"));
    EXPECT_EQ(c.series(1).title(), QStringLiteral("B"));
    EXPECT_EQ(c.series(0).kind(), SeriesKind::Bar);
    EXPECT_EQ(c.series(0).axis(), AxisSide::Right);
    EXPECT_FALSE(c.series(0).marksVisible());
    EXPECT_EQ(values(c, QStringLiteral("A")), (std::vector<double>{1.5, 3}));
    EXPECT_EQ(c.series(0).points()[1].label, QStringLiteral("11:00"));
    EXPECT_EQ(c.rightAxisFormat(), QStringLiteral("#,##0.#####"));

    // A second call adds to the series of the first.
    ChartFromGrid(g, c, 2, {}, QStringLiteral("Total"));
    EXPECT_EQ(values(c, QStringLiteral("B")), (std::vector<double>{2, 2}));

    Chart literal;
    ChartFromGrid(g, literal, 2, {}, QStringLiteral("Literal"));
    ASSERT_EQ(literal.seriesCount(), 2);
    EXPECT_EQ(literal.series(0).title(), QStringLiteral("A::Thresh"));
    EXPECT_EQ(literal.series(0).kind(), SeriesKind::Line);
}

TEST(ChartFromGrid, AverageDividesByTheKeysOwnExecutionCount)
{
    int alerts = 0;
    const auto alert = [&] { ++alerts; };
    {
        ResultGrid g;
        fillReport(g, {{QStringLiteral("t1"), QStringLiteral("A"), QStringLiteral("8"), QStringLiteral("4")},
                       {QStringLiteral("t2"), QStringLiteral("A"), QStringLiteral("6"), QStringLiteral("0")}});
        Chart c;
        ChartFromGrid(g, c, 2, {}, QStringLiteral("Average"), alert);
        EXPECT_EQ(values(c, QStringLiteral("A")), (std::vector<double>{2, 1.5}));
        EXPECT_EQ(alerts, 1);
    }
    {
        // A new series with 0 executions: the value itself, no alert.
        alerts = 0;
        ResultGrid g;
        fillReport(g, {{QStringLiteral("t1"), QStringLiteral("A"), QStringLiteral("8"), QStringLiteral("0")}});
        Chart c;
        ChartFromGrid(g, c, 2, {}, QStringLiteral("Average"), alert);
        EXPECT_EQ(values(c, QStringLiteral("A")), std::vector<double>{8});
        EXPECT_EQ(alerts, 0);
        // An existing series met with 0 executions first: the value itself, and the alert.
        ChartFromGrid(g, c, 2, {}, QStringLiteral("Average"), alert);
        EXPECT_EQ(values(c, QStringLiteral("A")), (std::vector<double>{8, 8}));
        EXPECT_EQ(alerts, 1);
    }
    {
        // Rows ordered by time only: B's zero count must not borrow A's.
        alerts = 0;
        ResultGrid g;
        fillReport(g, {{QStringLiteral("d1"), QStringLiteral("A"), QStringLiteral("8"), QStringLiteral("4")},
                       {QStringLiteral("d1"), QStringLiteral("B"), QStringLiteral("9"), QStringLiteral("3")},
                       {QStringLiteral("d2"), QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("2")},
                       {QStringLiteral("d2"), QStringLiteral("B"), QStringLiteral("6"), QStringLiteral("0")}});
        Chart c;
        ChartFromGrid(g, c, 2, {}, QStringLiteral("Average"), alert);
        EXPECT_EQ(values(c, QStringLiteral("B")), (std::vector<double>{3, 2}));
        EXPECT_EQ(values(c, QStringLiteral("A")), (std::vector<double>{2, 2}));
        EXPECT_EQ(alerts, 1);
    }
}

TEST(ChartFromGrid, AValueThatIsNotANumberRaisesAndEarlierPointsStay)
{
    ResultGrid g;
    fillReport(g, {{QStringLiteral("t1"), QStringLiteral("A"), QStringLiteral("1")},
                   {QStringLiteral("t2"), QStringLiteral("A"), QString()},
                   {QStringLiteral("t3"), QStringLiteral("A"), QStringLiteral("3")}});
    Chart c;
    try {
        ChartFromGrid(g, c, 2, {}, QStringLiteral("Total"));
        FAIL();
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'' is not a valid floating point value"));
    }
    EXPECT_EQ(values(c, QStringLiteral("A")), std::vector<double>{1});
}

TEST(ChartRoutines, ToggleBottomAxisLabelsTurnsBetweenZeroAndNinety)
{
    Chart c;
    c.setBottomLabelAngle(45);
    ToggleBottomAxisLabels(c);
    EXPECT_EQ(c.bottomLabelAngle(), 0);
    ToggleBottomAxisLabels(c);
    EXPECT_EQ(c.bottomLabelAngle(), 90);
    ToggleBottomAxisLabels(c);
    EXPECT_EQ(c.bottomLabelAngle(), 0);
}
