// Loading query results into grids, plain and tallied, against the simulated instance.
#include "common/sim_fixture.h"
#include "core/chart.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class GridLoad : public ::testing::Test {
protected:
    // A plain load of "select * from <table>".
    void dump(const QString &table, ResultGrid &g, bool clearFirst = true, int columnSwitch = 100,
              const QString &series = "None")
    {
        LoadQueryIntoGrid(sim.open(table), g, {}, nullptr, nullptr, clearFirst, "Dump", series, false, "--null--",
                          "LeftAxis", {}, columnSwitch);
    }
    // One tally sample: key/value pairs answered by "select * from sample".
    void tick(const QList<QStringList> &rows, const QString &label = "08:00:30", QStringList *keys = nullptr)
    {
        sim.setRows("sample", {"KEY", "VALUE"}, rows);
        LoadQueryIntoGrid(sim.open("sample"), grid, QString(), &delta, &cumulative, false, "Tally", "All",
                          withCumulative, "--null--", "LeftAxis", label, 100, keys);
    }
    QStringList column(int c) const
    {
        QStringList out;
        for (int r = 1; r < grid.rowCount(); ++r)
            out << grid.cell(c, r);
        return out;
    }
    std::vector<double> points(const QString &title) const
    {
        std::vector<double> out;
        for (const int s : delta.seriesTitled(title))
            for (const ChartPoint &p : delta.series(s).points())
                out.push_back(p.value);
        return out;
    }

    test::SimFixture sim;
    ResultGrid grid{6};
    Chart delta;
    Chart cumulative;
    bool withCumulative = false;

    void SetUp() override { grid.setHeaders({"Event", "Accumulated", "Delta", "Min", "Max", "Threshhold"}); }
};

} // namespace

TEST_F(GridLoad, DumpWithClearFirstThenTrim)
{
    ResultGrid g(3);
    g.setHeaders({"A", "B", "C"});
    g.setRowCount(7);
    g.setCell(2, 3, "stale");
    sim.setRows("none", {"A", "B", "C"}, {});
    dump("none", g);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.row(1), QStringList(3, QString()));
    GridTailTrim(g);
    EXPECT_EQ(g.rowCount(), 2); // exactly two rows: left as they are

    sim.setRows("three", {"A", "B", "C"}, {{"a1", "b1", "c1"}, {"a2", "b2", QString()}, {"a3", "b3", "c3"}});
    Query &q = sim.open("three");
    LoadQueryIntoGrid(q, g, {}, nullptr, nullptr, true, "Dump", "Single", false, "--null--", "LeftAxis", {}, 100);
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(g.rowCount(), 5); // header, three records, spare row
    EXPECT_EQ(g.row(0), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(g.cell(2, 2), QString()); // NULL leaves the cell empty after ClearFirst
    EXPECT_EQ(g.row(4), QStringList(3, QString()));
    GridTailTrim(g);
    EXPECT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.cell(0, 3), "a3");

    // Appending without ClearFirst writes into the spare row of an untrimmed grid.
    ResultGrid bulk(3);
    dump("three", bulk, true, 100, "Single");
    dump("three", bulk, false, 100, "Single");
    EXPECT_EQ(bulk.rowCount(), 8);
    EXPECT_EQ(bulk.cell(0, 4), "a1");

    // A column switch below 100 copies the key and that one field.
    ResultGrid narrow(3);
    dump("three", narrow, true, 3);
    EXPECT_EQ(narrow.row(1), (QStringList{"a1", "c1", QString()}));

    // Records whose first field is empty are trimmed away, down to the header alone.
    sim.setRows("blank", {"A", "B"}, {{QString(), "x"}, {QString(), "y"}});
    dump("blank", g);
    GridTailTrim(g);
    EXPECT_EQ(g.rowCount(), 1);

    // Unlike GridTailTrim, dropping the empty tail ignores the row count.
    ResultGrid t(2);
    t.setHeaders({"A", "B"});
    dropEmptyTailRows(t);
    EXPECT_EQ(t.rowCount(), 1);
    t.setRowCount(5);
    t.setCell(0, 1, "a");
    t.setCell(1, 3, "b without a key");
    dropEmptyTailRows(t);
    EXPECT_EQ(t.rowCount(), 2);
}

TEST_F(GridLoad, TallyKeepsDeltaMinMaxAndFeedsOneSeriesPerKey)
{
    tick({{"1:A", "10"}, {"1:B", "5"}}, "08:00:00");
    EXPECT_EQ(column(0), (QStringList{"1:A", "1:B", QString()}));
    EXPECT_EQ(column(2), QStringList(3, QString())); // a first sample has no Delta
    ASSERT_EQ(delta.seriesCount(), 2);
    EXPECT_EQ(delta.series(0).title(), "1:A");
    EXPECT_EQ(delta.series(0).kind(), SeriesKind::Line);
    EXPECT_EQ(delta.series(0).axis(), AxisSide::Left);
    EXPECT_TRUE(delta.series(0).points().empty());

    tick({{"1:A", "15"}, {"1:B", "5"}}, "08:00:30");
    EXPECT_EQ(grid.row(1), (QStringList{"1:A", "15", "5", "5", "5", QString()}));
    EXPECT_EQ(grid.row(2).mid(0, 5), (QStringList{"1:B", "5", "0", "0", "0"}));
    EXPECT_EQ(points("1:A"), std::vector<double>{5});
    EXPECT_EQ(delta.series(0).points()[0].label, "08:00:30");

    // A counter that falls gives a negative Delta, which becomes the Min.
    tick({{"1:A", "100"}}, "08:01:00");
    tick({{"1:A", "40"}}, "08:01:30");
    EXPECT_EQ(grid.row(1).mid(1, 4), (QStringList{"40", "-60", "-60", "85"}));
    EXPECT_EQ(points("1:A"), (std::vector<double>{5, 85, -60}));
    EXPECT_EQ(points("1:B"), std::vector<double>{0}); // missing from a sample: unchanged

    // Two records with one key in a sample: the second is compared with the first.
    tick({{"1:B", "7"}, {"1:B", "10"}});
    EXPECT_EQ(grid.row(2).mid(1, 4), (QStringList{"10", "3", "0", "3"}));

    // A key holding the exclude mark gets a row but no series; a new key goes to the spare row.
    tick({{"1:--null--", "1"}, {"2:C", "9"}});
    EXPECT_EQ(column(0), (QStringList{"1:A", "1:B", "1:--null--", "2:C", QString()}));
    EXPECT_TRUE(delta.seriesTitled("1:--null--").empty());
    EXPECT_EQ(delta.seriesTitled("2:C").size(), 1u);
}

TEST_F(GridLoad, FractionsAndExponentsGiveExactDecimalDeltas)
{
    tick({{"cpu", "12.9"}, {"io", "1.5E+10"}});
    tick({{"cpu", "14.1"}, {"io", "2.0E+10"}});
    EXPECT_EQ(grid.cell(1, 1), "14.1");
    EXPECT_EQ(grid.cell(2, 1), "1.2");
    EXPECT_EQ(grid.cell(2, 2), "5000000000");
    tick({{"cpu", "15.05"}});
    tick({{"cpu", "16.75"}});
    // Min and Max compare the decimal values, not their integer parts.
    EXPECT_EQ(grid.row(1).mid(2, 3), (QStringList{"1.7", "0.95", "1.7"}));
    EXPECT_EQ(points("cpu"), (std::vector<double>{1.2, 0.95, 1.7}));
}

TEST_F(GridLoad, CumulativePointsComeFromEveryRecordOnTheLastSeriesNamedAfterTheirOwnRecords)
{
    withCumulative = true;
    cumulative.addSeries(SeriesKind::Bar, "first");
    cumulative.addSeries(SeriesKind::Bar, "latest");
    tick({{"A", "3000000000"}, {"B", "7"}});
    tick({{"A", "5000000000"}});
    EXPECT_TRUE(cumulative.series(0).points().empty());
    ASSERT_EQ(cumulative.series(1).points().size(), 3u);
    // Counters beyond 32 bits plot as they are.
    EXPECT_EQ(cumulative.series(1).points()[2].value, 5e9);
    EXPECT_EQ(points("A"), std::vector<double>{2e9});
    EXPECT_EQ(grid.cell(2, 1), "2000000000");

    // C comes between A and B: it takes the grid's third row but is the second point.
    QStringList keys;
    cumulative.clearPoints(1);
    tick({{"A", "6000000000"}, {"C", "5"}, {"B", "4"}}, "t", &keys);
    EXPECT_EQ(column(0), (QStringList{"A", "B", "C", QString()}));
    EXPECT_EQ(keys, (QStringList{"A", "C", "B"}));
    ASSERT_EQ(cumulative.series(1).points().size(), 3u);
    EXPECT_EQ(cumulative.series(1).points()[1].value, 5);

    // Without cumulative points there are no keys either.
    keys.clear();
    withCumulative = false;
    tick({{"A", "3"}}, "t", &keys);
    EXPECT_TRUE(keys.isEmpty());
}

TEST_F(GridLoad, TextThatIsNotANumberStopsTheLoadAndLeavesTheQueryOpen)
{
    withCumulative = true;
    cumulative.addSeries(SeriesKind::Bar, "latest");
    tick({{"A", "1"}});
    sim.setRows("sample", {"KEY", "VALUE"}, {{"A", "4"}, {"B", "n/a"}, {"C", "1"}});
    Query &q = sim.open("sample");
    try {
        LoadQueryIntoGrid(q, grid, QString(), &delta, &cumulative, false, "Tally", "All", true, "--null--", "LeftAxis",
                          "t", 100);
        FAIL() << "the load must raise";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), "'n/a' is not a valid integer value");
    }
    EXPECT_TRUE(q.isOpen());
    EXPECT_EQ(grid.cell(2, 1), "3"); // done before the failure: stays
    EXPECT_EQ(grid.cell(0, 2), "B"); // the failing record's row was written
    EXPECT_EQ(grid.rowsWithKey("C").size(), 0u);
    q.setSql({"select * from sample"});
    EXPECT_FALSE(q.isOpen()); // the next SQL closes it
}

TEST_F(GridLoad, NewKeysTakeTheSpareRowAndNoOtherKeysRow)
{
    // After a negative Delta and a sort.
    tick({{"A", "10"}, {"B", "10"}});
    tick({{"A", "30"}, {"B", "4"}});
    SortGridNumericDesc(grid, 2, 1);
    EXPECT_EQ(column(0), (QStringList{"A", "B", QString()}));
    tick({{"A", "31"}, {"B", "5"}, {"C", "100"}});
    EXPECT_EQ(grid.row(2).mid(0, 5), (QStringList{"B", "5", "1", "-6", "1"}));
    EXPECT_EQ(grid.row(3).mid(0, 5), (QStringList{"C", "100", QString(), QString(), QString()}));
    EXPECT_EQ(grid.row(4), QStringList(6, QString()));

    // An empty key never matches the spare row: it gets a row of its own and a new spare row.
    tick({{QString(), "50"}});
    EXPECT_EQ(grid.rowCount(), 6);
    EXPECT_EQ(grid.row(4).mid(0, 3), (QStringList{QString(), "50", QString()}));
    EXPECT_EQ(grid.row(5), QStringList(6, QString()));
    tick({{QString(), "80"}, {"D", "2"}});
    EXPECT_EQ(grid.row(4).mid(0, 3), (QStringList{QString(), "80", "30"}));
    EXPECT_EQ(grid.row(5).mid(0, 5), (QStringList{"D", "2", QString(), QString(), QString()}));
}

TEST_F(GridLoad, ALoadCutShortByTheDatabaseLeavesGridAndChartsAsTheyWere)
{
    withCumulative = true;
    cumulative.addSeries(SeriesKind::Bar, "latest");
    tick({{"A", "10"}, {"B", "5"}});
    tick({{"A", "15"}, {"B", "7"}});
    QList<QStringList> rows;
    for (int r = 0; r < grid.rowCount(); ++r)
        rows << grid.row(r);
    // A and B arrive, C is new, then the connection goes.
    sim.server.loseConnectionAfterRows(3);
    QStringList keys;
    try {
        tick({{"A", "40"}, {"B", "9"}, {"C", "1"}, {"D", "1"}}, "08:01:30", &keys);
        FAIL() << "the load must raise";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), "ORA-03113: end-of-file on communication channel\nLoading stopped after 3 "
                               "rows; they were set aside and the grid keeps its previous rows.");
    }
    EXPECT_EQ(grid.rowCount(), int(rows.size()));
    for (int r = 0; r < grid.rowCount(); ++r)
        EXPECT_EQ(grid.row(r), rows.value(r)) << r;
    EXPECT_EQ(delta.seriesCount(), 2); // C's series went with its row
    EXPECT_EQ(points("A"), std::vector<double>{5});
    EXPECT_EQ(points("B"), std::vector<double>{2});
    EXPECT_EQ(cumulative.series(0).pointCount(), 4u); // the two earlier samples' bars
    EXPECT_TRUE(keys.isEmpty());
    // The next complete sample is compared with the last complete one.
    tick({{"A", "41"}, {"B", "9"}, {"C", "1"}});
    EXPECT_EQ(column(2).mid(0, 3), (QStringList{"26", "2", QString()}));
    EXPECT_EQ(points("A"), (std::vector<double>{5, 26}));

    // A plain load cut short keeps the rows shown before it.
    ResultGrid g(2);
    sim.setRows("rows", {"A", "B"}, {{"1", "x"}, {"2", "y"}});
    dump("rows", g);
    sim.setRows("rows", {"A", "B"}, {{"7", "p"}, {"8", "q"}, {"9", "r"}});
    sim.server.loseConnectionAfterRows(2); // 7 and 8 arrive
    EXPECT_THROW(dump("rows", g), DbError);
    EXPECT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.row(2), (QStringList{"2", "y"}));

    // Appended to the rows there are (a list retrieved statement by statement): the
    // spare row written and rows added, then taken back.
    sim.server.loseConnectionAfterRows(2);
    EXPECT_THROW(dump("rows", g, false), DbError);
    EXPECT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.row(2), (QStringList{"2", "y"}));
    EXPECT_EQ(g.row(3), (QStringList{QString(), QString()}));

    // A key twice in one sample overwrites its row twice: the first texts come back.
    const QStringList a = grid.row(grid.rowsWithKey("A").front());
    sim.server.loseConnectionAfterRows(2);
    EXPECT_THROW(tick({{"A", "50"}, {"A", "70"}, {"B", "1"}}, "08:02:00"), DbError);
    EXPECT_EQ(grid.row(grid.rowsWithKey("A").front()), a);
    EXPECT_EQ(points("A"), (std::vector<double>{5, 26}));
}
