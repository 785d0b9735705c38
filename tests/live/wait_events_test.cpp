// The "Real Time" tab of the wait events screen, sampled against the simulated instance.
#include "common/screen_support.h"
#include "db/error.h"
#include "tally_support.h"
#include "live/wait_events_screen.h"

#include <QCheckBox>
#include <QListWidget>

using namespace tavimond;
using test::keysOf;
using test::rowOf;
using test::seriesOf;

namespace {

class WaitEventsTest : public ::testing::Test, protected test::ScreenHarness<WaitEventsScreen> {
protected:
    Chart &chart(const char *name) { return widget<Chart>(name); }
    QListWidget &list(const char *name) { return widget<QListWidget>(name); }
    // A tick of block 3, the clock moved on by a default interval first.
    void tick(int seconds = 30)
    {
        sim.server.model().advance(seconds);
        screen.sampleWaitEvents();
    }
    // Sets both scripts to fixed samples of the test's own table.
    void useTable(const QList<QStringList> &rows)
    {
        sim.setRows(QStringLiteral("counts"), {QStringLiteral("KEY"), QStringLiteral("VALUE")}, rows);
        memo("waits_sql").setPlainText(QStringLiteral("select * from counts"));
        memo("waits_sql_time").setPlainText(QStringLiteral("select * from counts"));
    }
};

} // namespace

TEST_F(WaitEventsTest, FirstTickGivesRowsAndSeriesSecondTickTheFirstPoints)
{
    EXPECT_FALSE(screen.sampling());
    tick();
    EXPECT_EQ(sim.server.statements().size(), 2);
    EXPECT_TRUE(sim.server.statements().at(0).contains(QStringLiteral("TOTAL_WAITS from gv$system_event")));
    ResultGrid &count = grid("SRGrid");
    const QStringList first = keysOf(count);
    ASSERT_GT(first.size(), 60); // the events of both instances and the spare row
    EXPECT_TRUE(first.contains(QStringLiteral("1:log file sync")));
    EXPECT_TRUE(first.contains(QStringLiteral("2:db file sequential read")));
    EXPECT_EQ(first.last(), QString());
    for (int r = 1; r < count.rowCount(); ++r)
        EXPECT_EQ(count.cell(2, r), QString()) << r;
    EXPECT_EQ(chart("EVTChart").seriesCount(), first.size() - 1);
    EXPECT_EQ(chart("EVTcharttime").seriesCount(), first.size() - 1);
    for (int s = 0; s < chart("EVTChart").seriesCount(); ++s)
        EXPECT_TRUE(chart("EVTChart").series(s).points().empty());
    EXPECT_EQ(list("disp_wait_box").count(), first.size()); // the spare row's empty key included
    EXPECT_EQ(grid("THGrid").rowCount(), 2);

    tick();
    const int r = rowOf(count, QStringLiteral("1:log file sync"));
    ASSERT_GT(r, 0);
    EXPECT_GT(count.cell(2, r).toLongLong(), 0);
    EXPECT_EQ(count.cell(3, r), count.cell(2, r));
    EXPECT_EQ(count.cell(4, r), count.cell(2, r));
    const auto &points = seriesOf(chart("EVTChart"), QStringLiteral("1:log file sync")).points();
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].value, count.cell(2, r).toDouble());
    // Sorted by Delta, largest first, the spare row last.
    EXPECT_GE(count.cell(2, 1).toLongLong(), count.cell(2, 2).toLongLong());
    EXPECT_EQ(count.row(count.rowCount() - 1), QStringList(6, QString()));
    EXPECT_EQ(list("disp_wait_box").count(), first.size());
}

TEST_F(WaitEventsTest, AnEventFirstSeenAfterARestartGetsARowOfItsOwn)
{
    tick(3570);
    tick(30); // 3600: instance 2 restarts, its counters drop
    ResultGrid &count = grid("SRGrid");
    const int restarted = rowOf(count, QStringLiteral("2:log file sync"));
    ASSERT_GT(restarted, 0);
    EXPECT_LT(count.cell(2, restarted).toLongLong(), 0);
    EXPECT_EQ(count.row(count.rowCount() - 1), QStringList(6, QString())); // the spare row stayed last
    const QStringList before = keysOf(count);
    QStringList maxima;
    for (const QString &k : before)
        maxima << count.cell(4, rowOf(count, k));

    tick(420); // 4020: a new event on instance 1
    const int fresh = rowOf(count, QStringLiteral("1:gc cr failure"));
    ASSERT_GT(fresh, 0);
    EXPECT_EQ(count.cell(2, fresh), QString());
    EXPECT_EQ(count.cell(4, fresh), QString());
    // Every older key still has its own row with its own Max.
    for (int i = 0; i < before.size() - 1; ++i) {
        const int r = rowOf(count, before.at(i));
        ASSERT_GT(r, 0) << before.at(i);
        if (!maxima.at(i).isEmpty()) {
            EXPECT_GE(count.cell(4, r).toLongLong(), maxima.at(i).toLongLong()) << before.at(i);
        }
    }
    EXPECT_EQ(keysOf(count).size(), before.size() + 1);
    EXPECT_EQ(chart("EVTChart").seriesTitled(QStringLiteral("1:gc cr failure")).size(), 1u);
}

TEST_F(WaitEventsTest, ThresholdsSavedAndLoadedBreachOnlyBelowTheDelta)
{
    useTable(test::pairs({{"1:a", "100"}, {"1:b", "100"}}));
    tick();
    useTable(test::pairs({{"1:a", "110"}, {"1:b", "105"}}));
    tick();
    click("Button4"); // Save: each key's Max
    QFile saved(metafiles.filePath(QStringLiteral("TAVIDB_wait_thresh.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("1:a,10\r\n1:b,5\r\n,\r\n"));
    click("Button5"); // Load: the Max becomes the threshold
    EXPECT_EQ(grid("SRGrid").cell(5, rowOf(grid("SRGrid"), QStringLiteral("1:a"))), QStringLiteral("10"));

    useTable(test::pairs({{"1:a", "120"}, {"1:b", "111"}}));
    tick(); // a: Delta 10 = threshold, no breach; b: Delta 6 > 5, a breach
    ResultGrid &th = grid("THGrid");
    ASSERT_EQ(th.rowCount(), 3);
    EXPECT_EQ(th.row(1).mid(1), (QStringList{QStringLiteral("1:b"), QStringLiteral("5"), QStringLiteral("6")}));
    EXPECT_TRUE(th.cell(0, 1).endsWith(QStringLiteral("08:01:30")));
    tick(); // unchanged counters: Delta 0
    EXPECT_EQ(th.rowCount(), 3);
    EXPECT_TRUE(sink().errors.isEmpty());
}

TEST_F(WaitEventsTest, DisplayAndHideSwitchTheKeysSeriesInBothChartsAndClearAllStartsAfresh)
{
    widget<QCheckBox>("sr_check").setChecked(true);
    useTable(test::pairs({{"1:a", "1"}, {"1:b", "1"}}));
    tick();
    list("disp_wait_box").setCurrentRow(0);
    click("Button53"); // ">"
    EXPECT_EQ(list("hide_wait_box").count(), 1);
    for (const char *c : {"EVTChart", "EVTcharttime"}) {
        EXPECT_FALSE(seriesOf(chart(c), QStringLiteral("1:a")).active()) << c;
        EXPECT_TRUE(seriesOf(chart(c), QStringLiteral("1:b")).active()) << c;
    }
    list("hide_wait_box").setCurrentRow(0);
    click("Button52"); // "<"
    EXPECT_EQ(list("disp_wait_box").item(list("disp_wait_box").count() - 1)->text(), QStringLiteral("1:a"));
    EXPECT_TRUE(seriesOf(chart("EVTcharttime"), QStringLiteral("1:a")).active());
    click("Button55"); // ">>"
    EXPECT_EQ(list("disp_wait_box").count(), 0);
    for (int s = 0; s < chart("EVTChart").seriesCount(); ++s)
        EXPECT_FALSE(chart("EVTChart").series(s).active());

    // Clear All empties grids, breaches, charts and lists; the headers and the box stay.
    tick();
    grid("THGrid").setRowCount(3);
    grid("THGrid").setRow(1, {QStringLiteral("t"), QStringLiteral("1:a"), QStringLiteral("0"), QStringLiteral("1")});
    click("ClearAll");
    for (const char *g : {"SRGrid", "srgridtime"}) {
        EXPECT_EQ(grid(g).rowCount(), 2) << g;
        EXPECT_EQ(grid(g).cell(0, 0), QStringLiteral("Wait Event"));
    }
    EXPECT_EQ(grid("THGrid").rowCount(), 2);
    EXPECT_EQ(grid("THGrid").cell(1, 0), QStringLiteral("Wait Event"));
    EXPECT_EQ(chart("EVTChart").seriesCount() + chart("EVTcharttime").seriesCount(), 0);
    EXPECT_EQ(list("disp_wait_box").count() + list("hide_wait_box").count(), 0);
    EXPECT_TRUE(screen.sampling());
    tick();
    EXPECT_EQ(grid("SRGrid").cell(2, 1), QString()); // every key is new again
    EXPECT_EQ(chart("EVTChart").seriesCount(), 2);
    EXPECT_TRUE(seriesOf(chart("EVTChart"), QStringLiteral("1:a")).active());
}

TEST_F(WaitEventsTest, AFailingTimeScriptEndsTheBlockAfterTheCountLoad)
{
    useTable(test::pairs({{"1:a", "1"}}));
    tick();
    grid("SRGrid").setCell(5, 1, QStringLiteral("-5")); // would breach at the next scan
    memo("waits_sql_time").setPlainText(QStringLiteral("select event, time_waitd from gv$system_event"));
    EXPECT_THROW(tick(), DbError);
    EXPECT_EQ(grid("SRGrid").cell(2, 1), QStringLiteral("0")); // the count load ran
    EXPECT_EQ(grid("THGrid").rowCount(), 2);                   // the breach scan did not
    // Only queries run from the scripts.
    memo("waits_sql").setPlainText(QStringLiteral("delete from sys.aud$"));
    EXPECT_THROW(tick(), DbError);
}
