// The "Real Time" tab of the wait events screen, sampled against the simulated instance.
#include "common/file_size_limit.h"
#include "common/screen_support.h"
#include "db/error.h"
#include "live/wait_events_screen.h"
#include "tally_support.h"

#include <QCheckBox>
#include <QDir>
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

TEST_F(WaitEventsTest, EachTickSamplesCountsAndTimesIntoTheirOwnGridsAndLines)
{
    tick();
    EXPECT_EQ(sim.server.statements(), (QStringList{"select INST_ID||':'||EVENT, TOTAL_WAITS from gv$system_event\n"
                                                    "order by 1,2",
                                                    "select INST_ID||':'||EVENT,time_waited from gv$system_event\n"
                                                    "order by 1,2"}));
    const QStringList first = keysOf(grid("SRGrid"));
    ASSERT_GT(first.size(), 60); // the events of both instances and the spare row
    EXPECT_TRUE(first.contains(QStringLiteral("2:db file sequential read")));
    for (const char *c : {"EVTChart", "EVTcharttime"})
        EXPECT_EQ(chart(c).seriesCount(), first.size() - 1) << c;
    EXPECT_EQ(list("disp_wait_box").count(), first.size()); // the spare row's empty key included
    EXPECT_EQ(grid("THGrid").rowCount(), 2);

    // The second tick: each key's count and time Deltas are its lines' first points.
    tick();
    const QString key = QStringLiteral("1:log file sync");
    for (const auto &[g, c] : {std::pair{"SRGrid", "EVTChart"}, std::pair{"srgridtime", "EVTcharttime"}}) {
        const int r = rowOf(grid(g), key);
        ASSERT_GT(r, 0) << g;
        EXPECT_GT(grid(g).cell(2, r).toLongLong(), 0) << g;
        const auto &points = seriesOf(chart(c), key).points();
        ASSERT_EQ(points.size(), 1u) << c;
        EXPECT_EQ(points[0].value, grid(g).cell(2, r).toDouble()) << c;
    }
    EXPECT_NE(grid("SRGrid").cell(2, rowOf(grid("SRGrid"), key)),
              grid("srgridtime").cell(2, rowOf(grid("srgridtime"), key)));
    EXPECT_EQ(list("disp_wait_box").count(), first.size());
}

TEST_F(WaitEventsTest, ThresholdsSavedAndLoadedBreachOnlyBelowTheDeltaAMaxOfZeroIncludedAndOnlyAfterBothLoads)
{
    useTable(test::pairs({{"1:a", "100"}, {"1:b", "100"}, {"1:x", "5"}}));
    tick();
    useTable(test::pairs({{"1:a", "110"}, {"1:b", "105"}, {"1:x", "5"}}));
    tick();
    click("Button4"); // Save: each key's Max
    QFile saved(metafiles.filePath(QStringLiteral("TAVIDB_wait_thresh.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("1:a,10\r\n1:b,5\r\n1:x,0\r\n,\r\n"));
    click("Button5"); // Load: the Max becomes the threshold
    EXPECT_EQ(grid("SRGrid").cell(5, rowOf(grid("SRGrid"), QStringLiteral("1:a"))), QStringLiteral("10"));
    EXPECT_EQ(grid("SRGrid").cell(5, rowOf(grid("SRGrid"), QStringLiteral("1:x"))), QStringLiteral("0"));

    useTable(test::pairs({{"1:a", "120"}, {"1:b", "111"}, {"1:x", "5"}}));
    tick(); // a: Delta 10 = threshold and x: 0 = 0, no breach; b: Delta 6 > 5, a breach
    ResultGrid &th = grid("THGrid");
    ASSERT_EQ(th.rowCount(), 3);
    EXPECT_EQ(th.row(1).mid(1), (QStringList{"1:b", "5", "6"}));
    EXPECT_TRUE(th.cell(0, 1).endsWith(QStringLiteral("08:01:30")));
    useTable(test::pairs({{"1:a", "120"}, {"1:b", "111"}, {"1:x", "6"}}));
    tick(); // x's first positive Delta passes its Max of 0
    ASSERT_EQ(th.rowCount(), 4);
    EXPECT_EQ(th.row(2).mid(1), (QStringList{"1:x", "0", "1"}));
    EXPECT_TRUE(sink().errors.isEmpty());

    // A failing time script ends the block after the count load, before the breach scan.
    useTable(test::pairs({{"1:a", "200"}, {"1:b", "111"}, {"1:x", "6"}}));
    memo("waits_sql_time").setPlainText(QStringLiteral("select event, time_waitd from gv$system_event"));
    EXPECT_THROW(tick(), DbError);
    EXPECT_EQ(grid("SRGrid").cell(2, rowOf(grid("SRGrid"), QStringLiteral("1:a"))), QStringLiteral("80"));
    EXPECT_EQ(th.rowCount(), 4);
}

TEST_F(WaitEventsTest, SaveOnAFullDiskLeavesThePreviousThresholdFileAsItWas)
{
    const QString path = metafiles.filePath(QStringLiteral("TAVIDB_wait_thresh.txt"));
    const QByteArray previous = "1:event 7,70\r\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(previous);
    file.close();
    QList<QStringList> rows; // more keys than the disk holds lines of
    for (int i = 0; i < 400; ++i)
        rows << QStringList{QStringLiteral("1:event %1").arg(i), QString::number(i)};
    useTable(rows);
    tick();
    tick();
    const QStringList folder = QDir(metafiles.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    {
        test::FileSizeLimit disk(4096);
        if (!disk.active())
            GTEST_SKIP() << "no file size limit could be set, so no full disk to write to";
        click("Button4");
    }
    EXPECT_EQ(sink().errors,
              QStringList{"Cannot write file \"" + path + "\": File too large. The file keeps its previous content."});
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), previous);
    EXPECT_EQ(QDir(metafiles.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), folder);
    click("Button5"); // the previous thresholds load as they were saved
    EXPECT_EQ(grid("SRGrid").cell(5, rowOf(grid("SRGrid"), QStringLiteral("1:event 7"))), QStringLiteral("70"));
    EXPECT_EQ(grid("SRGrid").cell(5, rowOf(grid("SRGrid"), QStringLiteral("1:event 8"))), QString());
}

TEST_F(WaitEventsTest, HidingAKeySwitchesItsSeriesInBothChartsAndClearAllStartsAfresh)
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
