// The latch screen, sampled against the simulated instance.
#include "common/screen_support.h"
#include "core/chart.h"
#include "core/result_grid.h"
#include "db/error.h"
#include "db/query.h"
#include "live/latch_screen.h"
#include "ui/chart_view.h"
#include "ui/grid_view.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavimond;

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
    int rowOf(ResultGrid &g, const QString &key)
    {
        const auto &rows = g.rowsWithKey(key);
        return rows.size() == 1 ? rows.front() : -1;
    }
    QStringList keys(ResultGrid &g)
    {
        QStringList out;
        for (int r = 1; r < g.rowCount(); ++r)
            out << g.cell(0, r);
        return out;
    }
    // The next sample of a script reads the test's own table.
    void useTable(const char *memoName, const QList<QStringList> &rows)
    {
        const QString table = QLatin1String(memoName) + QStringLiteral("_rows");
        sim.setRows(table, {QStringLiteral("KEY"), QStringLiteral("VALUE")}, rows);
        memo(memoName).setPlainText(QStringLiteral("select * from ") + table);
    }
    static QList<QStringList> pairs(std::initializer_list<std::pair<const char *, const char *>> list)
    {
        QList<QStringList> out;
        for (const auto &[k, v] : list)
            out << QStringList{QLatin1String(k), QLatin1String(v)};
        return out;
    }
};

} // namespace

TEST_F(LatchScreenTest, FirstLatchTickGivesRowsSeriesAndListEntriesTheSecondTheFirstPoints)
{
    EXPECT_FALSE(screen.latchSampling());
    EXPECT_FALSE(screen.childSampling());
    latchTick();
    ASSERT_EQ(sim.server.statements().size(), 1);
    EXPECT_EQ(sim.server.statements().at(0),
              QStringLiteral("select inst_id||':'||name, SLEEPS  from gv$latch order by sleeps desc"));
    ResultGrid &g = grid("Latchgrid");
    const QStringList first = keys(g);
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
    EXPECT_EQ(g.cell(3, r), g.cell(2, r));
    EXPECT_EQ(g.cell(4, r), g.cell(2, r));
    const auto series = chart().seriesTitled(QStringLiteral("1:shared pool"));
    ASSERT_EQ(series.size(), 1u);
    ASSERT_EQ(chart().series(series[0]).points().size(), 1u);
    EXPECT_EQ(chart().series(series[0]).points()[0].label, QStringLiteral("08:04:00"));
    for (int i = 2; i < g.rowCount() - 1; ++i)
        EXPECT_GE(g.cell(2, i - 1).toLongLong(), g.cell(2, i).toLongLong()) << i;
    EXPECT_EQ(list("disp_latch_box").count(), first.size());

    // The lists switch the latch's line.
    list("disp_latch_box").setCurrentRow(int(first.indexOf(QStringLiteral("1:shared pool"))));
    click("Button60"); // ">"
    EXPECT_FALSE(chart().series(series[0]).active());
    EXPECT_EQ(list("hide_latch_box").item(0)->text(), QStringLiteral("1:shared pool"));
    click("Button61"); // "<<"
    EXPECT_TRUE(chart().series(series[0]).active());
    EXPECT_EQ(list("hide_latch_box").count(), 0);
    EXPECT_TRUE(sink().errors.isEmpty());
}

TEST_F(LatchScreenTest, AChildPassingAHundredSleepsGetsItsTotalThenItsFirstDelta)
{
    childTick();
    ASSERT_EQ(sim.server.statements().size(), 1);
    EXPECT_EQ(sim.server.statements().at(0), QStringLiteral("select inst_id||':'||child#,SLEEPS\n"
                                                            "from gv$latch_children\n"
                                                            "where name = 'cache buffers chains'\n"
                                                            "and sleeps > 100\n"
                                                            "order by 2 desc\n"));
    ResultGrid &g = grid("cbc_latchgrid");
    QStringList known = keys(g);
    ASSERT_GT(known.size(), 10);
    QString fresh;
    for (int t = 0; t < 10 && fresh.isEmpty(); ++t) {
        childTick();
        for (const QString &k : keys(g))
            if (!known.contains(k))
                fresh = k;
        if (fresh.isEmpty())
            known = keys(g);
    }
    ASSERT_FALSE(fresh.isEmpty()) << "no child crossed 100 sleeps in 20 minutes";
    int r = rowOf(g, fresh);
    ASSERT_GT(r, 0);
    const qint64 total = g.cell(1, r).toLongLong();
    EXPECT_GT(total, 100);
    EXPECT_EQ(g.row(r).mid(2), QStringList(4, QString()));

    childTick();
    r = rowOf(g, fresh);
    ASSERT_GT(r, 0);
    const qint64 delta = g.cell(1, r).toLongLong() - total;
    EXPECT_GT(delta, 0);
    EXPECT_EQ(g.cell(2, r), QString::number(delta));
    EXPECT_EQ(g.cell(3, r), g.cell(2, r));
    EXPECT_EQ(g.cell(4, r), g.cell(2, r));
    EXPECT_EQ(g.row(g.rowCount() - 1), QStringList(6, QString()));
    // No chart, no lists and no breaches on this tab.
    EXPECT_EQ(chart().seriesCount(), 0);
    EXPECT_EQ(list("disp_latch_box").count(), 0);
    EXPECT_EQ(grid("latchTHgrid").rowCount(), 2);
}

TEST_F(LatchScreenTest, AfterARestartANewChildTakesARowOfItsOwnAndAFailedTickKeepsTheGrid)
{
    ResultGrid &g = grid("cbc_latchgrid");
    useTable("cbc_latchquery", pairs({{"2:5", "5000"}, {"1:7", "200"}}));
    childTick();
    useTable("cbc_latchquery", pairs({{"2:5", "150"}, {"1:7", "300"}})); // instance 2 started again
    childTick();
    EXPECT_EQ(g.cell(2, rowOf(g, QStringLiteral("2:5"))), QStringLiteral("-4850"));
    useTable("cbc_latchquery", pairs({{"2:5", "160"}, {"1:7", "310"}, {"1:9", "120"}}));
    childTick();
    EXPECT_EQ(keys(g), (QStringList{QStringLiteral("1:7"), QStringLiteral("2:5"), QStringLiteral("1:9"), QString()}));
    EXPECT_EQ(g.row(rowOf(g, QStringLiteral("1:9"))).mid(1), (QStringList{QStringLiteral("120"), {}, {}, {}, {}}));
    EXPECT_EQ(
        g.row(rowOf(g, QStringLiteral("1:7"))).mid(1),
        (QStringList{QStringLiteral("310"), QStringLiteral("10"), QStringLiteral("10"), QStringLiteral("100"), {}}));
    EXPECT_EQ(
        g.row(rowOf(g, QStringLiteral("2:5"))).mid(1),
        (QStringList{QStringLiteral("160"), QStringLiteral("10"), QStringLiteral("-4850"), QStringLiteral("10"), {}}));

    memo("cbc_latchquery").setPlainText(QStringLiteral("select inst_id, child#, slept from gv$latch_children"));
    EXPECT_THROW(childTick(), DbError);
    EXPECT_EQ(keys(g).size(), 4);
}

TEST_F(LatchScreenTest, ClearAllKeepsTheBreachesAndNewBreachesGoBelowTheOldOnes)
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
    EXPECT_EQ(firstBreach.mid(1), (QStringList{QStringLiteral("1:b"), QStringLiteral("5"), QStringLiteral("6")}));
    EXPECT_TRUE(firstBreach.at(0).endsWith(QStringLiteral(" 08:06:00"))) << firstBreach.at(0);

    click("Button17"); // Clear All
    EXPECT_EQ(grid("Latchgrid").rowCount(), 2);
    EXPECT_EQ(grid("Latchgrid").row(1), QStringList(6, QString()));
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
    EXPECT_EQ(th.row(2).mid(1), (QStringList{QStringLiteral("1:a"), QStringLiteral("10"), QStringLiteral("20")}));
    EXPECT_TRUE(th.cell(0, 2).endsWith(QStringLiteral(" 08:10:00"))) << th.cell(0, 2);
    EXPECT_EQ(th.row(3), QStringList(4, QString()));
    EXPECT_TRUE(sink().errors.isEmpty());
}

TEST_F(LatchScreenTest, AKeySavedWithMaxZeroBreachesAtTheFirstPositiveDeltaAfterLoad)
{
    useTable("latchquerytext", pairs({{"1:x", "5"}}));
    latchTick();
    latchTick();
    click("Button15");
    QFile saved(metafiles.filePath(QStringLiteral("TAVIDB_latch_thresh.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("1:x,0\r\n,\r\n"));
    click("Button16");
    EXPECT_EQ(grid("Latchgrid").cell(5, 1), QStringLiteral("0"));
    latchTick(); // Delta 0: no breach
    EXPECT_EQ(grid("latchTHgrid").rowCount(), 2);
    useTable("latchquerytext", pairs({{"1:x", "6"}}));
    latchTick();
    ASSERT_EQ(grid("latchTHgrid").rowCount(), 3);
    EXPECT_EQ(grid("latchTHgrid").row(1).mid(1),
              (QStringList{QStringLiteral("1:x"), QStringLiteral("0"), QStringLiteral("1")}));
    // Load of a missing file changes nothing and says so.
    settings.service = QStringLiteral("NOSUCH");
    click("Button16");
    ASSERT_EQ(sink().errors.size(), 1);
    EXPECT_TRUE(sink().errors.at(0).contains(QStringLiteral("NOSUCH_latch_thresh.txt"))) << sink().errors.at(0);
    EXPECT_EQ(grid("Latchgrid").cell(5, 1), QStringLiteral("0"));
}

TEST_F(LatchScreenTest, TchAnalysisAsksForTheChildAfterTheLastColonAndFillsTheGrid)
{
    sim.server.model().advance(3000);
    useTable("cbc_latchquery", pairs({{"1:33", "300"}, {"2:517", "200"}}));
    childTick();
    auto *view = screen.findChild<GridView *>(QStringLiteral("cbc_latchgrid"));
    view->selectRow(1); // "2:517"
    sim.server.clearStatements();
    click("Button30");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.value(0);
    ASSERT_EQ(sim.server.statements().size(), 1);
    EXPECT_EQ(sim.server.statements().at(0),
              QStringLiteral("select e.owner ||'.'|| e.segment_name  segment_name, e.extent_id  extent#, x.dbablk - "
                             "e.block_id + 1  block#, x.tch, l.child# from v$latch_children  l, sys.x$bh x, "
                             "sys.dba_extents e where l.child# = 517 and x.hladdr  = l.addr and e.file_id = x.file# "
                             "and x.dbablk between e.block_id and e.block_id + e.blocks -1 order by x.tch desc"));
    EXPECT_EQ(sim.server.timeouts().at(0), Query::kLongTimeoutSeconds);
    EXPECT_EQ(screen.findChild<QLabel *>(QStringLiteral("TCH_num"))->text(), QStringLiteral("Latch Touch Count:2:517"));
    EXPECT_FALSE(screen.findChild<QWidget *>(QStringLiteral("tch_panel"))->isHidden());

    // The grid holds what the database answers, then its spare row.
    Query check(sim.cnn);
    check.setSql({sim.server.statements().at(0)});
    check.open();
    ResultGrid &tch = grid("tch_grid");
    EXPECT_EQ(tch.cell(3, 0), QStringLiteral("TCH"));
    int r = 1;
    for (; !check.eof(); check.next(), ++r)
        EXPECT_EQ(tch.row(r),
                  (QStringList{check.field(0), check.field(1), check.field(2), check.field(3), check.field(4)}));
    EXPECT_GT(r, 10);
    EXPECT_EQ(tch.cell(4, 1), QStringLiteral("517"));
    EXPECT_EQ(tch.rowCount(), r + 1);
    EXPECT_EQ(tch.row(r), QStringList(5, QString()));

    // With no row chosen it is row 1's child; the grid is emptied first.
    view->setCurrentIndex(QModelIndex());
    view->clearSelection();
    click("Button30");
    EXPECT_TRUE(sim.server.statements().last().contains(QStringLiteral("where l.child# = 33 and")));
    EXPECT_EQ(screen.findChild<QLabel *>(QStringLiteral("TCH_num"))->text(), QStringLiteral("Latch Touch Count:1:33"));
    for (int i = 1; i < tch.rowCount() - 1; ++i)
        EXPECT_EQ(tch.cell(4, i), QStringLiteral("33")) << i;
}

TEST_F(LatchScreenTest, TchAnalysisWithoutAChildNumberSendsNothing)
{
    auto *label = screen.findChild<QLabel *>(QStringLiteral("TCH_num"));
    EXPECT_EQ(label->text(), QStringLiteral("Latch Touch Count"));
    click("Button30"); // an empty grid
    ASSERT_EQ(sink().errors.size(), 1);
    EXPECT_EQ(sink().errors.at(0),
              QStringLiteral("No child latch to analyse: the selected row of the CBC grid is empty."));
    EXPECT_EQ(label->text(), QStringLiteral("Latch Touch Count:"));
    EXPECT_TRUE(sim.server.statements().isEmpty());

    useTable("cbc_latchquery", pairs({{"1:buffers", "300"}, {"2:", "200"}}));
    childTick();
    sim.server.clearStatements();
    auto *view = screen.findChild<GridView *>(QStringLiteral("cbc_latchgrid"));
    for (int row : {0, 1}) {
        view->selectRow(row);
        click("Button30");
    }
    ASSERT_EQ(sink().errors.size(), 3);
    EXPECT_EQ(sink().errors.at(1),
              QStringLiteral("No child latch to analyse: the key '1:buffers' does not end in a child number."));
    EXPECT_EQ(sink().errors.at(2),
              QStringLiteral("No child latch to analyse: the key '2:' does not end in a child number."));
    EXPECT_EQ(label->text(), QStringLiteral("Latch Touch Count:2:"));
    EXPECT_TRUE(sim.server.statements().isEmpty());
    EXPECT_EQ(grid("tch_grid").rowCount(), 2);
}

TEST_F(LatchScreenTest, GraphAndGridBringOneToTheFrontAndHideNothing)
{
    // Some history first: lines, and breaches of the thresholds the first minutes set.
    for (int t = 0; t < 3; ++t)
        latchTick();
    click("Button15");
    click("Button16");
    for (int t = 0; t < 12; ++t)
        latchTick();
    EXPECT_GT(grid("latchTHgrid").rowCount(), 2);
    screen.resize(1100, 700);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    const QByteArray shots = qgetenv("TAVIMOND_SHOTS");
    const auto shoot = [&](const char *name) {
        if (!shots.isEmpty()) {
            QCoreApplication::processEvents();
            EXPECT_TRUE(screen.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QLatin1String(name))));
        }
    };
    shoot("latch_overview.png");
    auto *chartView = screen.findChild<ChartView *>(QStringLiteral("latchchart"));
    auto *gridView = screen.findChild<GridView *>(QStringLiteral("Latchgrid"));
    ASSERT_EQ(chartView->geometry(), gridView->geometry());
    QWidget *tab = chartView->parentWidget();
    const auto inFront = [&](QWidget *w) {
        QWidget *at = tab->childAt(chartView->geometry().center());
        return at == w || w->isAncestorOf(at);
    };
    EXPECT_TRUE(inFront(chartView));
    QTest::mouseClick(screen.findChild<QRadioButton *>(QStringLiteral("RadioButton5")), Qt::LeftButton);
    EXPECT_TRUE(inFront(gridView));
    EXPECT_TRUE(chartView->isVisible());
    shoot("latch_overview_grid.png");
    QTest::mouseClick(screen.findChild<QRadioButton *>(QStringLiteral("RadioButton3")), Qt::LeftButton);
    EXPECT_TRUE(inFront(chartView));
    EXPECT_TRUE(gridView->isVisible());
}
