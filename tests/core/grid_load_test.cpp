// Loading query results into grids, plain and tallied, against the simulated instance.
#include "common/sim_fixture.h"
#include "core/chart.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

const QStringList kTallyHeaders{QStringLiteral("Event"), QStringLiteral("Accumulated"), QStringLiteral("Delta"),
                                QStringLiteral("Min"),   QStringLiteral("Max"),         QStringLiteral("Threshhold")};

class GridLoad : public ::testing::Test {
protected:
    // One tally sample: key/value pairs answered by "select * from sample".
    void tick(const QList<QStringList> &rows, const QString &label = QStringLiteral("08:00:30"))
    {
        sim.setRows(QStringLiteral("sample"), {QStringLiteral("KEY"), QStringLiteral("VALUE")}, rows);
        LoadQueryIntoGrid(sim.open(QStringLiteral("sample")), grid, QString(), &delta, &cumulative, false,
                          QStringLiteral("Tally"), QStringLiteral("All"), withCumulative, QStringLiteral("--null--"),
                          QStringLiteral("LeftAxis"), label, 100);
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

    void SetUp() override { grid.setHeaders(kTallyHeaders); }
};

} // namespace

TEST_F(GridLoad, DumpWithClearFirstThenTrim)
{
    ResultGrid g(3);
    g.setHeaders({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    g.setRowCount(7);
    g.setCell(2, 3, QStringLiteral("stale"));

    sim.setRows(QStringLiteral("none"), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, {});
    LoadQueryIntoGrid(sim.open(QStringLiteral("none")), g, {}, nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.row(1), QStringList(3, QString()));
    GridTailTrim(g);
    EXPECT_EQ(g.rowCount(), 2); // exactly two rows: left as they are

    sim.setRows(QStringLiteral("three"), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
                {{QStringLiteral("a1"), QStringLiteral("b1"), QStringLiteral("c1")},
                 {QStringLiteral("a2"), QStringLiteral("b2"), QString()},
                 {QStringLiteral("a3"), QStringLiteral("b3"), QStringLiteral("c3")}});
    Query &q = sim.open(QStringLiteral("three"));
    LoadQueryIntoGrid(q, g, {}, nullptr, nullptr, true, QStringLiteral("Dump"), QStringLiteral("Single"), false,
                      QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(g.rowCount(), 5); // header, three records, spare row
    EXPECT_EQ(g.row(0), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(g.cell(2, 2), QString()); // NULL leaves the cell empty after ClearFirst
    EXPECT_EQ(g.row(4), QStringList(3, QString()));
    GridTailTrim(g);
    EXPECT_EQ(g.rowCount(), 4);
    EXPECT_EQ(g.cell(0, 3), QStringLiteral("a3"));

    // Appending without ClearFirst writes into the spare row of an untrimmed grid.
    ResultGrid bulk(3);
    LoadQueryIntoGrid(sim.open(QStringLiteral("three")), bulk, {}, nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("Single"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
    LoadQueryIntoGrid(sim.open(QStringLiteral("three")), bulk, {}, nullptr, nullptr, false, QStringLiteral("Dump"),
                      QStringLiteral("Single"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
    EXPECT_EQ(bulk.rowCount(), 8);
    EXPECT_EQ(bulk.cell(0, 4), QStringLiteral("a1"));

    // Records whose first field is empty are trimmed away, down to the header alone.
    sim.setRows(QStringLiteral("blank"), {QStringLiteral("A"), QStringLiteral("B")},
                {{QString(), QStringLiteral("x")}, {QString(), QStringLiteral("y")}});
    LoadQueryIntoGrid(sim.open(QStringLiteral("blank")), g, {}, nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
    GridTailTrim(g);
    EXPECT_EQ(g.rowCount(), 1);
}

TEST_F(GridLoad, ColumnSwitchBelowOneHundredCopiesTheKeyAndOneField)
{
    ResultGrid g(3);
    sim.setRows(QStringLiteral("wide"), {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
                {{QStringLiteral("k"), QStringLiteral("b"), QStringLiteral("c")}});
    LoadQueryIntoGrid(sim.open(QStringLiteral("wide")), g, {}, nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 3);
    EXPECT_EQ(g.row(1), (QStringList{QStringLiteral("k"), QStringLiteral("c"), QString()}));
}

TEST_F(GridLoad, TallyKeepsDeltaMinMaxAndFeedsOneSeriesPerKey)
{
    tick({{QStringLiteral("1:A"), QStringLiteral("10")}, {QStringLiteral("1:B"), QStringLiteral("5")}},
         QStringLiteral("08:00:00"));
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("1:A"), QStringLiteral("1:B"), QString()}));
    EXPECT_EQ(column(2), QStringList(3, QString())); // a first sample has no Delta
    ASSERT_EQ(delta.seriesCount(), 2);
    EXPECT_EQ(delta.series(0).title(), QStringLiteral("1:A"));
    EXPECT_EQ(delta.series(0).kind(), SeriesKind::Line);
    EXPECT_EQ(delta.series(0).axis(), AxisSide::Left);
    EXPECT_TRUE(delta.series(0).points().empty());

    tick({{QStringLiteral("1:A"), QStringLiteral("15")}, {QStringLiteral("1:B"), QStringLiteral("5")}},
         QStringLiteral("08:00:30"));
    EXPECT_EQ(grid.row(1), (QStringList{QStringLiteral("1:A"), QStringLiteral("15"), QStringLiteral("5"),
                                        QStringLiteral("5"), QStringLiteral("5"), QString()}));
    EXPECT_EQ(grid.row(2).mid(0, 5), (QStringList{QStringLiteral("1:B"), QStringLiteral("5"), QStringLiteral("0"),
                                                  QStringLiteral("0"), QStringLiteral("0")}));
    EXPECT_EQ(points(QStringLiteral("1:A")), std::vector<double>{5});
    EXPECT_EQ(delta.series(0).points()[0].label, QStringLiteral("08:00:30"));

    // A counter that falls gives a negative Delta, which becomes the Min.
    tick({{QStringLiteral("1:A"), QStringLiteral("100")}}, QStringLiteral("08:01:00"));
    tick({{QStringLiteral("1:A"), QStringLiteral("40")}}, QStringLiteral("08:01:30"));
    EXPECT_EQ(grid.row(1).mid(1, 4),
              (QStringList{QStringLiteral("40"), QStringLiteral("-60"), QStringLiteral("-60"), QStringLiteral("85")}));
    EXPECT_EQ(points(QStringLiteral("1:A")), (std::vector<double>{5, 85, -60}));
    EXPECT_EQ(points(QStringLiteral("1:B")), std::vector<double>{0}); // missing from a sample: unchanged

    // Two records with one key in a sample: the second is compared with the first.
    tick({{QStringLiteral("1:B"), QStringLiteral("7")}, {QStringLiteral("1:B"), QStringLiteral("10")}});
    EXPECT_EQ(grid.row(2).mid(1, 4),
              (QStringList{QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("3")}));

    // A key holding the exclude mark gets a row but no series; a new key goes to the spare row.
    tick({{QStringLiteral("1:--null--"), QStringLiteral("1")}, {QStringLiteral("2:C"), QStringLiteral("9")}});
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("1:A"), QStringLiteral("1:B"), QStringLiteral("1:--null--"),
                                      QStringLiteral("2:C"), QString()}));
    EXPECT_TRUE(delta.seriesTitled(QStringLiteral("1:--null--")).empty());
    EXPECT_EQ(delta.seriesTitled(QStringLiteral("2:C")).size(), 1u);
}

TEST_F(GridLoad, CumulativePointsComeFromEveryRecordOnTheLastSeries)
{
    withCumulative = true;
    cumulative.addSeries(SeriesKind::Bar, QStringLiteral("first"));
    cumulative.addSeries(SeriesKind::Bar, QStringLiteral("latest"));
    tick({{QStringLiteral("A"), QStringLiteral("3000000000")}, {QStringLiteral("B"), QStringLiteral("7")}});
    tick({{QStringLiteral("A"), QStringLiteral("5000000000")}});
    EXPECT_TRUE(cumulative.series(0).points().empty());
    ASSERT_EQ(cumulative.series(1).points().size(), 3u);
    // Counters beyond 32 bits plot as they are.
    EXPECT_EQ(cumulative.series(1).points()[2].value, 5e9);
    EXPECT_EQ(points(QStringLiteral("A")), std::vector<double>{2e9});
    EXPECT_EQ(grid.cell(2, 1), QStringLiteral("2000000000"));
}

TEST_F(GridLoad, CumulativeKeysNameEachPointAfterItsOwnRecord)
{
    cumulative.addSeries(SeriesKind::Bar, QStringLiteral("latest"));
    QStringList keys;
    const auto load = [&](const QList<QStringList> &rows) {
        keys.clear();
        cumulative.clearPoints(0);
        sim.setRows(QStringLiteral("sample"), {QStringLiteral("KEY"), QStringLiteral("VALUE")}, rows);
        LoadQueryIntoGrid(sim.open(QStringLiteral("sample")), grid, QString(), &delta, &cumulative, false,
                          QStringLiteral("Tally"), QStringLiteral("All"), true, QStringLiteral("--null--"),
                          QStringLiteral("LeftAxis"), QStringLiteral("t"), 100, &keys);
    };
    load({{QStringLiteral("A"), QStringLiteral("1")}, {QStringLiteral("C"), QStringLiteral("3")}});
    // B comes between A and C: it takes the grid's third row but is the second point.
    load({{QStringLiteral("A"), QStringLiteral("2")},
          {QStringLiteral("B"), QStringLiteral("5")},
          {QStringLiteral("C"), QStringLiteral("4")}});
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B"), QString()}));
    EXPECT_EQ(keys, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    ASSERT_EQ(cumulative.series(0).points().size(), 3u);
    EXPECT_EQ(cumulative.series(0).points()[1].value, 5);

    // Without cumulative points there are no keys either.
    keys.clear();
    sim.setRows(QStringLiteral("sample"), {QStringLiteral("KEY"), QStringLiteral("VALUE")},
                {{QStringLiteral("A"), QStringLiteral("3")}});
    LoadQueryIntoGrid(sim.open(QStringLiteral("sample")), grid, QString(), &delta, &cumulative, false,
                      QStringLiteral("Tally"), QStringLiteral("All"), false, QStringLiteral("--null--"),
                      QStringLiteral("LeftAxis"), QStringLiteral("t"), 100, &keys);
    EXPECT_TRUE(keys.isEmpty());
}

TEST_F(GridLoad, TextThatIsNotANumberStopsTheLoadAndLeavesTheQueryOpen)
{
    withCumulative = true;
    cumulative.addSeries(SeriesKind::Bar, QStringLiteral("latest"));
    tick({{QStringLiteral("A"), QStringLiteral("1")}});
    sim.setRows(QStringLiteral("sample"), {QStringLiteral("KEY"), QStringLiteral("VALUE")},
                {{QStringLiteral("A"), QStringLiteral("4")},
                 {QStringLiteral("B"), QStringLiteral("n/a")},
                 {QStringLiteral("C"), QStringLiteral("1")}});
    Query &q = sim.open(QStringLiteral("sample"));
    try {
        LoadQueryIntoGrid(q, grid, QString(), &delta, &cumulative, false, QStringLiteral("Tally"),
                          QStringLiteral("All"), true, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                          QStringLiteral("t"), 100);
        FAIL() << "the load must raise";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'n/a' is not a valid integer value"));
    }
    EXPECT_TRUE(q.isOpen());
    EXPECT_EQ(grid.cell(2, 1), QStringLiteral("3")); // done before the failure: stays
    EXPECT_EQ(grid.cell(0, 2), QStringLiteral("B")); // the failing record's row was written
    EXPECT_EQ(grid.rowsWithKey(QStringLiteral("C")).size(), 0u);
    q.setSql({QStringLiteral("select * from sample")});
    EXPECT_FALSE(q.isOpen()); // the next SQL closes it
}

TEST_F(GridLoad, FractionsAndExponentsGiveExactDecimalDeltas)
{
    tick({{QStringLiteral("cpu"), QStringLiteral("12.9")}, {QStringLiteral("io"), QStringLiteral("1.5E+10")}});
    tick({{QStringLiteral("cpu"), QStringLiteral("14.1")}, {QStringLiteral("io"), QStringLiteral("2.0E+10")}});
    EXPECT_EQ(grid.cell(1, 1), QStringLiteral("14.1"));
    EXPECT_EQ(grid.cell(2, 1), QStringLiteral("1.2"));
    EXPECT_EQ(grid.cell(2, 2), QStringLiteral("5000000000"));
    tick({{QStringLiteral("cpu"), QStringLiteral("15.05")}});
    tick({{QStringLiteral("cpu"), QStringLiteral("16.75")}});
    // Min and Max compare the decimal values, not their integer parts.
    EXPECT_EQ(grid.row(1).mid(2, 3),
              (QStringList{QStringLiteral("1.7"), QStringLiteral("0.95"), QStringLiteral("1.7")}));
    EXPECT_EQ(points(QStringLiteral("cpu")), (std::vector<double>{1.2, 0.95, 1.7}));
}

TEST_F(GridLoad, ANewKeyAfterANegativeDeltaAndASortTakesNoOtherKeysRow)
{
    tick({{QStringLiteral("A"), QStringLiteral("10")}, {QStringLiteral("B"), QStringLiteral("10")}});
    tick({{QStringLiteral("A"), QStringLiteral("30")}, {QStringLiteral("B"), QStringLiteral("4")}});
    SortGridNumericDesc(grid, 2, 1);
    EXPECT_EQ(column(0), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QString()}));
    tick({{QStringLiteral("A"), QStringLiteral("31")},
          {QStringLiteral("B"), QStringLiteral("5")},
          {QStringLiteral("C"), QStringLiteral("100")}});
    EXPECT_EQ(grid.row(2).mid(0, 5), (QStringList{QStringLiteral("B"), QStringLiteral("5"), QStringLiteral("1"),
                                                  QStringLiteral("-6"), QStringLiteral("1")}));
    EXPECT_EQ(grid.row(3).mid(0, 5),
              (QStringList{QStringLiteral("C"), QStringLiteral("100"), QString(), QString(), QString()}));
    EXPECT_EQ(grid.row(4), QStringList(6, QString()));
}

TEST_F(GridLoad, AnEmptyKeyNeverMatchesTheSpareRow)
{
    tick({{QStringLiteral("A"), QStringLiteral("1")}});
    tick({{QString(), QStringLiteral("50")}});
    EXPECT_EQ(grid.rowCount(), 4); // the empty key got a row of its own and a new spare row
    EXPECT_EQ(grid.row(2).mid(0, 3), (QStringList{QString(), QStringLiteral("50"), QString()}));
    EXPECT_EQ(grid.row(3), QStringList(6, QString()));
    tick({{QString(), QStringLiteral("80")}, {QStringLiteral("D"), QStringLiteral("2")}});
    EXPECT_EQ(grid.row(2).mid(0, 3), (QStringList{QString(), QStringLiteral("80"), QStringLiteral("30")}));
    EXPECT_EQ(grid.row(3).mid(0, 5),
              (QStringList{QStringLiteral("D"), QStringLiteral("2"), QString(), QString(), QString()}));
}

TEST(GridTrim, DroppingTheEmptyTailIgnoresTheRowCount)
{
    ResultGrid g(2);
    g.setHeaders({QStringLiteral("A"), QStringLiteral("B")});
    dropEmptyTailRows(g); // header and one empty row: unlike GridTailTrim, the empty row goes
    EXPECT_EQ(g.rowCount(), 1);
    g.setRowCount(5);
    g.setCell(0, 1, QStringLiteral("a"));
    g.setCell(1, 3, QStringLiteral("b without a key"));
    dropEmptyTailRows(g);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.cell(0, 0), QStringLiteral("A"));
}

TEST_F(GridLoad, ALoadCutShortByTheDatabaseLeavesGridAndChartsAsTheyWere)
{
    withCumulative = true;
    cumulative.addSeries(SeriesKind::Bar, QStringLiteral("latest"));
    tick({{QStringLiteral("A"), QStringLiteral("10")}, {QStringLiteral("B"), QStringLiteral("5")}});
    tick({{QStringLiteral("A"), QStringLiteral("15")}, {QStringLiteral("B"), QStringLiteral("7")}});
    const QList<QStringList> rows = [&] {
        QList<QStringList> out;
        for (int r = 0; r < grid.rowCount(); ++r)
            out << grid.row(r);
        return out;
    }();
    // A and B arrive, C is new, then the connection goes.
    sim.server.loseConnectionAfterRows(3);
    QStringList keys;
    sim.setRows(QStringLiteral("sample"), {QStringLiteral("KEY"), QStringLiteral("VALUE")},
                {{QStringLiteral("A"), QStringLiteral("40")},
                 {QStringLiteral("B"), QStringLiteral("9")},
                 {QStringLiteral("C"), QStringLiteral("1")},
                 {QStringLiteral("D"), QStringLiteral("1")}});
    try {
        LoadQueryIntoGrid(sim.open(QStringLiteral("sample")), grid, QString(), &delta, &cumulative, false,
                          QStringLiteral("Tally"), QStringLiteral("All"), true, QStringLiteral("--null--"),
                          QStringLiteral("LeftAxis"), QStringLiteral("08:01:30"), 100, &keys);
        FAIL() << "the load must raise";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("ORA-03113: end-of-file on communication channel\nLoading stopped after 3 "
                                 "rows; they were set aside and the grid keeps its previous rows."));
    }
    for (int r = 0; r < grid.rowCount(); ++r)
        EXPECT_EQ(grid.row(r), rows.value(r)) << r;
    EXPECT_EQ(grid.rowCount(), int(rows.size()));
    EXPECT_EQ(delta.seriesCount(), 2); // C's series went with its row
    EXPECT_EQ(points(QStringLiteral("A")), std::vector<double>{5});
    EXPECT_EQ(points(QStringLiteral("B")), std::vector<double>{2});
    EXPECT_EQ(cumulative.series(0).pointCount(), 4u); // the two earlier samples' bars
    EXPECT_TRUE(keys.isEmpty());
    // The next complete sample is compared with the last complete one.
    tick({{QStringLiteral("A"), QStringLiteral("41")},
          {QStringLiteral("B"), QStringLiteral("9")},
          {QStringLiteral("C"), QStringLiteral("1")}});
    EXPECT_EQ(column(2).mid(0, 3), (QStringList{QStringLiteral("26"), QStringLiteral("2"), QString()}));
    EXPECT_EQ(points(QStringLiteral("A")), (std::vector<double>{5, 26}));

    // A plain load cut short keeps the rows shown before it.
    ResultGrid dump(2);
    sim.setRows(QStringLiteral("rows"), {QStringLiteral("A"), QStringLiteral("B")},
                {{QStringLiteral("1"), QStringLiteral("x")}, {QStringLiteral("2"), QStringLiteral("y")}});
    LoadQueryIntoGrid(sim.open(QStringLiteral("rows")), dump, QString(), nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), QString(),
                      100);
    sim.setRows(QStringLiteral("rows"), {QStringLiteral("A"), QStringLiteral("B")},
                {{QStringLiteral("7"), QStringLiteral("p")},
                 {QStringLiteral("8"), QStringLiteral("q")},
                 {QStringLiteral("9"), QStringLiteral("r")}});
    sim.server.loseConnectionAfterRows(2); // 7 and 8 arrive
    EXPECT_THROW(LoadQueryIntoGrid(sim.open(QStringLiteral("rows")), dump, QString(), nullptr, nullptr, true,
                                   QStringLiteral("Dump"), QStringLiteral("None"), false, QStringLiteral("--null--"),
                                   QStringLiteral("LeftAxis"), QString(), 100),
                 DbError);
    EXPECT_EQ(dump.rowCount(), 4);
    EXPECT_EQ(dump.row(2), (QStringList{QStringLiteral("2"), QStringLiteral("y")}));
}
