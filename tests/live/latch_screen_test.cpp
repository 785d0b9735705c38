// The latch screen, sampled against the simulated instance.
#include "common/screen_support.h"
#include "db/query.h"
#include "live/latch_screen.h"
#include "tally_support.h"
#include "ui/chart_view.h"

#include <QListWidget>

using namespace tavimond;
using test::keysOf;
using test::pairs;
using test::rowOf;

namespace {

class LatchScreenTest : public ::testing::Test, protected test::ScreenHarness<LatchScreen> {
protected:
    Chart &chart() { return widget<Chart>("latchchart"); }
    QListWidget &list(const char *name) { return widget<QListWidget>(name); }
    // A tick of each timer, the clock moved on by the timers' interval at start first.
    void latchTick(int seconds = 120)
    {
        sim.server.model().advance(seconds);
        screen.sampleLatches();
    }
    void childTick(int seconds = 120)
    {
        sim.server.model().advance(seconds);
        screen.sampleChildLatches();
    }
    // The next sample of a script reads the test's own table.
    void useTable(const char *memoName, const QList<QStringList> &rows)
    {
        const QString table = QLatin1String(memoName) + QStringLiteral("_rows");
        sim.setRows(table, {QStringLiteral("KEY"), QStringLiteral("VALUE")}, rows);
        memo(memoName).setPlainText(QStringLiteral("select * from ") + table);
    }
    QString tchLabel() { return label("TCH_num"); }
};

} // namespace

TEST_F(LatchScreenTest, FirstLatchTickGivesRowsSeriesAndListEntriesTheSecondTheFirstPointsShownAsGraphOrGrid)
{
    latchTick();
    EXPECT_EQ(sim.server.statements(),
              QStringList{"select inst_id||':'||name, SLEEPS  from gv$latch order by sleeps desc"});
    ResultGrid &g = grid("Latchgrid");
    const QStringList first = keysOf(g);
    ASSERT_GT(first.size(), 200); // the latches of both instances and the spare row
    EXPECT_TRUE(first.contains(QStringLiteral("2:shared pool")));
    EXPECT_EQ(first.last(), QString());
    for (int r = 1; r < g.rowCount(); ++r)
        EXPECT_EQ(g.row(r).mid(2), QStringList(4, QString())) << r;
    EXPECT_EQ(chart().seriesCount(), first.size() - 1);
    EXPECT_EQ(list("disp_latch_box").count(), first.size()); // the spare row's empty key once
    EXPECT_EQ(grid("latchTHgrid").rowCount(), 2);
    EXPECT_EQ(grid("cbc_latchgrid").rowCount(), 2); // the other timer's grid is its own

    latchTick();
    const int r = rowOf(g, QStringLiteral("1:shared pool"));
    ASSERT_GT(r, 0);
    EXPECT_GT(g.cell(2, r).toLongLong(), 0);
    const ChartSeries &series = test::seriesOf(chart(), QStringLiteral("1:shared pool"));
    ASSERT_EQ(series.points().size(), 1u);
    EXPECT_EQ(series.points()[0].label, QStringLiteral("08:04:00"));
    for (int i = 2; i < g.rowCount() - 1; ++i)
        EXPECT_GE(g.cell(2, i - 1).toLongLong(), g.cell(2, i).toLongLong()) << i;
    EXPECT_EQ(list("disp_latch_box").count(), first.size());

    // The lists switch the latch's line.
    list("disp_latch_box").setCurrentRow(int(first.indexOf(QStringLiteral("1:shared pool"))));
    click("Button60"); // ">"
    EXPECT_FALSE(series.active());
    EXPECT_EQ(list("hide_latch_box").item(0)->text(), QStringLiteral("1:shared pool"));
    EXPECT_TRUE(sink().errors.isEmpty());

    // Graph and Grid bring one to the front and hide nothing.
    auto &chartView = widget<ChartView>("latchchart");
    auto &gridView = widget<GridView>("Latchgrid");
    ASSERT_EQ(chartView.geometry(), gridView.geometry());
    QWidget *tab = chartView.parentWidget();
    const auto inFront = [&](QWidget &w) {
        QWidget *at = tab->childAt(chartView.geometry().center());
        return at == &w || w.isAncestorOf(at);
    };
    EXPECT_TRUE(inFront(chartView));
    click("RadioButton5");
    EXPECT_TRUE(inFront(gridView));
    EXPECT_TRUE(chartView.isVisible());
    click("RadioButton3");
    EXPECT_TRUE(inFront(chartView));
    EXPECT_TRUE(gridView.isVisible());
}

TEST_F(LatchScreenTest, EachChildTickTalliesTheChainChildrenOnItsOwnGridWithoutChartListsOrBreaches)
{
    childTick();
    EXPECT_EQ(sim.server.statements(), QStringList{"select inst_id||':'||child#,SLEEPS\nfrom gv$latch_children\n"
                                                   "where name = 'cache buffers chains'\nand sleeps > 100\n"
                                                   "order by 2 desc\n"});
    ResultGrid &g = grid("cbc_latchgrid");
    ASSERT_GT(g.rowCount(), 10);
    childTick();
    EXPECT_FALSE(g.cell(2, 1).isEmpty());
    EXPECT_EQ(g.row(g.rowCount() - 1), QStringList(6, QString()));
    EXPECT_EQ(chart().seriesCount(), 0);
    EXPECT_EQ(list("disp_latch_box").count(), 0);
    EXPECT_EQ(grid("latchTHgrid").rowCount(), 2);
}

TEST_F(LatchScreenTest, AfterARestartANewChildTakesARowOfItsOwn)
{
    ResultGrid &g = grid("cbc_latchgrid");
    useTable("cbc_latchquery", pairs({{"2:5", "5000"}, {"1:7", "200"}}));
    childTick();
    useTable("cbc_latchquery", pairs({{"2:5", "150"}, {"1:7", "300"}})); // instance 2 started again
    childTick();
    EXPECT_EQ(g.cell(2, rowOf(g, QStringLiteral("2:5"))), QStringLiteral("-4850"));
    useTable("cbc_latchquery", pairs({{"2:5", "160"}, {"1:7", "310"}, {"1:9", "120"}}));
    childTick();
    EXPECT_EQ(keysOf(g), (QStringList{"1:7", "2:5", "1:9", ""}));
    EXPECT_EQ(g.row(rowOf(g, QStringLiteral("1:9"))).mid(1), (QStringList{"120", "", "", "", ""}));
    EXPECT_EQ(g.row(rowOf(g, QStringLiteral("1:7"))).mid(1), (QStringList{"310", "10", "10", "100", ""}));
    EXPECT_EQ(g.row(rowOf(g, QStringLiteral("2:5"))).mid(1), (QStringList{"160", "10", "-4850", "10", ""}));
}

TEST_F(LatchScreenTest, ClearAllKeepsTheBreachesNewBreachesGoBelowTheOldOnesAndAMissingFileLoadsNothing)
{
    useTable("cbc_latchquery", pairs({{"1:7", "200"}}));
    childTick(0);
    useTable("latchquerytext", pairs({{"1:a", "100"}, {"1:b", "100"}}));
    latchTick();
    useTable("latchquerytext", pairs({{"1:a", "110"}, {"1:b", "105"}}));
    latchTick();
    click("Button15"); // Save: a 10, b 5
    click("Button16"); // Load
    useTable("latchquerytext", pairs({{"1:a", "120"}, {"1:b", "111"}}));
    latchTick(); // b: 6 > 5
    ResultGrid &th = grid("latchTHgrid");
    ASSERT_EQ(th.rowCount(), 3);
    const QStringList firstBreach = th.row(1);
    EXPECT_EQ(firstBreach.mid(1), (QStringList{"1:b", "5", "6"}));
    EXPECT_TRUE(firstBreach.at(0).endsWith(QStringLiteral(" 08:06:00"))) << firstBreach.at(0);

    click("Button17"); // Clear All
    EXPECT_EQ(test::rowsOf(grid("Latchgrid")), QList<QStringList>{QStringList(6, QString())});
    EXPECT_EQ(grid("Latchgrid").cell(0, 0), QStringLiteral("Latch Type"));
    EXPECT_EQ(chart().seriesCount(), 0);
    EXPECT_EQ(list("disp_latch_box").count() + list("hide_latch_box").count(), 0);
    EXPECT_EQ(th.rowCount(), 3);
    EXPECT_EQ(th.row(1), firstBreach);
    EXPECT_EQ(grid("cbc_latchgrid").cell(0, 1), QStringLiteral("1:7")); // another tab's grid

    useTable("latchquerytext", pairs({{"1:a", "130"}, {"1:b", "117"}}));
    latchTick(); // every key new again, without a threshold
    EXPECT_EQ(th.rowCount(), 3);
    click("Button16"); // Load again
    useTable("latchquerytext", pairs({{"1:a", "150"}, {"1:b", "118"}}));
    latchTick(); // a: 20 > 10; b: 1
    ASSERT_EQ(th.rowCount(), 4);
    EXPECT_EQ(th.row(1), firstBreach);
    EXPECT_EQ(th.row(2).mid(1), (QStringList{"1:a", "10", "20"}));
    EXPECT_TRUE(sink().errors.isEmpty());

    // Load of a missing file changes nothing and says so.
    settings.service = QStringLiteral("NOSUCH");
    click("Button16");
    ASSERT_EQ(sink().errors.size(), 1);
    EXPECT_TRUE(sink().errors.at(0).contains(QStringLiteral("NOSUCH_latch_thresh.txt"))) << sink().errors.at(0);
    EXPECT_EQ(grid("Latchgrid").cell(5, rowOf(grid("Latchgrid"), QStringLiteral("1:a"))), QStringLiteral("10"));
}

TEST_F(LatchScreenTest, TchAnalysisAsksForTheChildAfterTheLastColonAndWithoutAChildNumberSendsNothing)
{
    EXPECT_EQ(tchLabel(), QStringLiteral("Latch Touch Count"));
    click("Button30"); // an empty grid
    EXPECT_EQ(tchLabel(), QStringLiteral("Latch Touch Count:"));
    EXPECT_TRUE(sim.server.statements().isEmpty());
    EXPECT_EQ(sink().errors, QStringList{"No child latch to analyse: the selected row of the CBC grid is empty."});
    sink().clear();
    sim.server.model().advance(3000);
    useTable("cbc_latchquery", pairs({{"1:33", "300"}, {"2:517", "200"}}));
    childTick();
    auto &view = widget<GridView>("cbc_latchgrid");
    view.selectRow(1); // "2:517"
    sim.server.clearStatements();
    click("Button30");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.value(0).toStdString();
    EXPECT_EQ(sim.server.statements(),
              QStringList{"select e.owner ||'.'|| e.segment_name  segment_name, e.extent_id  extent#, x.dbablk - "
                          "e.block_id + 1  block#, x.tch, l.child# from v$latch_children  l, sys.x$bh x, "
                          "sys.dba_extents e where l.child# = 517 and x.hladdr  = l.addr and e.file_id = x.file# "
                          "and x.dbablk between e.block_id and e.block_id + e.blocks -1 order by x.tch desc"});
    EXPECT_EQ(sim.server.timeouts().at(0), Query::kLongTimeoutSeconds);
    EXPECT_EQ(tchLabel(), QStringLiteral("Latch Touch Count:2:517"));
    EXPECT_FALSE(widget<QWidget>("tch_panel").isHidden());

    // The grid holds what the database answers, then its spare row.
    const QList<QStringList> answer = test::allRows(sim.cnn, sim.server.statements());
    ASSERT_GT(answer.size(), 9);
    EXPECT_EQ(test::rowsOf(grid("tch_grid")), answer + QList<QStringList>{QStringList(5, QString())});
    EXPECT_EQ(answer.at(0).at(4), QStringLiteral("517"));

    // With no row chosen it is row 1's child; the grid is emptied first.
    view.setCurrentIndex(QModelIndex());
    view.clearSelection();
    click("Button30");
    EXPECT_TRUE(sim.server.statements().last().contains(QStringLiteral("where l.child# = 33 and")));
    EXPECT_EQ(tchLabel(), QStringLiteral("Latch Touch Count:1:33"));
    const QList<QStringList> rows = test::rowsOf(grid("tch_grid"));
    for (int i = 0; i + 1 < rows.size(); ++i)
        EXPECT_EQ(rows.at(i).at(4), QStringLiteral("33")) << i;

    // A key that does not end in a child number sends nothing and leaves the grid.
    useTable("cbc_latchquery", pairs({{"1:buffers", "300"}, {"2:", "200"}}));
    childTick();
    sim.server.clearStatements();
    const QList<QStringList> shown = test::rowsOf(grid("tch_grid"));
    for (const char *key : {"1:buffers", "2:"}) {
        view.selectRow(rowOf(grid("cbc_latchgrid"), QLatin1String(key)) - 1);
        click("Button30");
    }
    EXPECT_EQ(sink().errors,
              (QStringList{"No child latch to analyse: the key '1:buffers' does not end in a child number.",
                           "No child latch to analyse: the key '2:' does not end in a child number."}));
    EXPECT_EQ(tchLabel(), QStringLiteral("Latch Touch Count:2:"));
    EXPECT_TRUE(sim.server.statements().isEmpty());
    EXPECT_EQ(test::rowsOf(grid("tch_grid")), shown);
}
