#include "common/fault_matrix.h"
#include "common/screen_support.h"

#include "core/chart.h"
#include "db/sim/oracle_dates.h"
#include "db/sim/repository/filestat_model.h"
#include "history/datafile_stats_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <map>

using namespace tavimond;
using namespace tavimond::test;

namespace {

const char *const kCharts[] = {"reads_graph",     "writes_graph",      "readtime_graph",
                               "writetime_graph", "readtimeavg_graph", "writetimeavg_graph"};

class DatafileStats : public ::testing::Test {
protected:
    DatafileStats()
    {
        // Six hours into the clock: instance 2 restarted in the fifth hour of the last day.
        h.sim.server.model().advance(6 * 3600);
    }
    ResultGrid &grid() { return h.grid("df_grid"); }
    Chart &chart(const char *name) { return h.widget<Chart>(name); }
    QStringList items(const char *name) { return itemsOf(h.screen, name).lines; }
    void retrieve() { h.click("Button116"); }
    QStringList visibleCharts()
    {
        QStringList out;
        for (const char *name : kCharts)
            if (!h.widget<ChartView>(name).isHidden())
                out << name;
        return out;
    }

    ScreenHarness<DatafileStatsScreen> h;
};

// The script as the screen builds it, with the join on the instance's own snapshot and the
// final ordering.
QStringList script(const QStringList &window, const QString &pattern)
{
    return QStringList{
               "select snap_id,begintime,endtime,filename,sum(Phy_Reads),sum(Phy_Read_Time),sum(Phy_Writes),"
               "sum(Phy_write_time) from ",
               "(select nm.snap_id, ",
               "  to_char(begin_interval_time,'DD-MON-YYYY HH24:MI') begintime, ",
               "  to_char(end_interval_time,'DD-MON-YYYY HH24:MI') endtime, filename, ",
               "nvl(decode(greatest(PHYBLKRD, nvl(lag(PHYBLKRD) over (partition by dba_hist_filestatxs.dbid, ",
               "dba_hist_filestatxs.instance_number, tsname, filename order by dba_hist_filestatxs.snap_id),0)), ",
               "PHYBLKRD, PHYBLKRD - lag(PHYBLKRD) over (partition by dba_hist_filestatxs.dbid, "
               "dba_hist_filestatxs.instance_number, ",
               "tsname, filename order by dba_hist_filestatxs.snap_id),PHYBLKRD), 0) Phy_Reads, ",
               "nvl(decode(greatest(READTIM, nvl(lag(READTIM) over (partition by dba_hist_filestatxs.dbid, ",
               "dba_hist_filestatxs.instance_number, tsname, filename order by dba_hist_filestatxs.snap_id),0)), ",
               "READTIM, READTIM - lag(READTIM) over (partition by dba_hist_filestatxs.dbid, "
               "dba_hist_filestatxs.instance_number, ",
               "tsname, filename order by dba_hist_filestatxs.snap_id),READTIM), 0) Phy_Read_Time, ",
               "nvl(decode(greatest(PHYBLKWRT, nvl(lag(PHYBLKWRT) over (partition by dba_hist_filestatxs.dbid, ",
               "dba_hist_filestatxs.instance_number, tsname, filename order by dba_hist_filestatxs.snap_id),0)), ",
               "PHYBLKWRT, PHYBLKWRT - lag(PHYBLKWRT) over (partition by dba_hist_filestatxs.dbid, "
               "dba_hist_filestatxs.instance_number, ",
               "tsname, filename order by dba_hist_filestatxs.snap_id),PHYBLKWRT), 0)  Phy_Writes, ",
               "nvl(decode(greatest(WRITETIM, nvl(lag(WRITETIM) over (partition by dba_hist_filestatxs.dbid, ",
               "dba_hist_filestatxs.instance_number, tsname, filename order by dba_hist_filestatxs.snap_id),0)),  ",
               "WRITETIM, WRITETIM - lag(WRITETIM) over (partition by dba_hist_filestatxs.dbid, "
               "dba_hist_filestatxs.instance_number, tsname, ",
               "filename order by dba_hist_filestatxs.snap_id),WRITETIM), 0) Phy_Write_Time ",
               "from ",
               "dba_hist_filestatxs, ",
               "dba_hist_snapshot nm ",
               "where ",
               "dba_hist_filestatxs.snap_id = nm.snap_id  ",
               "and dba_hist_filestatxs.dbid = nm.dbid ",
               "and dba_hist_filestatxs.instance_number = nm.instance_number ",
           } +
           window +
           QStringList{"and filename like '" + pattern + "'", "order by ", "nm.begin_interval_time) iodetail ",
                       "group by snap_id,begintime,endtime,filename ", "order by snap_id, filename"};
}

// Per snapshot id, begin and end text and file: the four counters' differences from each
// instance's row before in the window, summed over the instances.
using Key = std::tuple<qint64, QString, QString, QString>;
std::map<Key, std::array<qint64, 4>> differencesFromTheModel(sim::Model &model, const QDateTime &from)
{
    const auto &history = model.state<sim::FileStatHistory>();
    std::map<Key, std::array<qint64, 4>> out;
    for (const auto &file : history.files())
        for (int instance = 1; instance <= 2; ++instance) {
            std::optional<sim::FileStatHistory::Figures> before;
            for (const auto &s : model.state<sim::Repository>().snapshots()) {
                if (s.instance != instance || s.begin < from)
                    continue;
                const auto now = history.at(s, file);
                if (!now)
                    continue;
                const qint64 x[4] = {now->phyblkrd, now->readtim, now->phyblkwrt, now->writetim};
                const qint64 b[4] = {before ? before->phyblkrd : 0, before ? before->readtim : 0,
                                     before ? before->phyblkwrt : 0, before ? before->writetim : 0};
                auto &sums = out[{s.snapId, sim::toChar(s.begin, "DD-MON-YYYY HH24:MI"),
                                  sim::toChar(s.end, "DD-MON-YYYY HH24:MI"), file.name}];
                for (int c = 0; c < 4; ++c)
                    sums[size_t(c)] += !before ? 0 : x[c] >= b[c] ? x[c] - b[c] : x[c];
                before = now;
            }
        }
    return out;
}

} // namespace

TEST_F(DatafileStats, TheScriptForTheLastDaysGivesEachInstancesDifferencesAndAFromToWindowItsOwnScript)
{
    retrieve();
    const QStringList days = script({"and begin_interval_time >= sysdate - 1"}, "%");
    ASSERT_EQ(days.size(), 33);
    EXPECT_EQ(memoLines(h.memo("df_text")), days);
    EXPECT_EQ(h.sim.server.statements().last(), days.join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 30);

    auto &model = h.sim.server.model();
    const auto expected = differencesFromTheModel(model, model.now().addDays(-1));
    ASSERT_EQ(grid().rowCount(), int(expected.size()) + 1);
    for (int r = 1; r < grid().rowCount(); ++r) {
        const Key key{grid().cell(0, r).toLongLong(), grid().cell(1, r), grid().cell(2, r), grid().cell(3, r)};
        ASSERT_TRUE(expected.count(key)) << grid().row(r).join(" | ").toStdString();
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(grid().cell(4 + c, r).toLongLong(), expected.at(key)[size_t(c)]) << r << " " << c;
        for (int c : {8, 9}) {
            const QString count = grid().cell(c == 8 ? 4 : 6, r), time = grid().cell(c == 8 ? 5 : 7, r);
            if (count == "0" || time == "0") {
                EXPECT_EQ(grid().cell(c, r), "0");
            } else {
                EXPECT_NEAR(grid().cell(c, r).toDouble(), time.toDouble() / count.toDouble(), 1e-12);
            }
        }
    }
    // The window's first snapshot: 0 for every file.
    const QString first = grid().cell(0, 1);
    for (int r = 1; r < grid().rowCount() && grid().cell(0, r) == first; ++r)
        EXPECT_EQ(grid().row(r).mid(4).join(","), "0,0,0,0,0,0");
    // Instance 2 restarted at 09:01: its first snapshot after holds its counters as they
    // stand, each larger than a difference of that hour would be on instance 1.
    const auto &files = model.state<sim::FileStatHistory>().files();
    const auto &app =
        *std::find_if(files.begin(), files.end(), [](const auto &f) { return f.tablespace == "APP_DATA"; });
    int restart = 0;
    for (int r = 1; r < grid().rowCount(); ++r)
        if (grid().cell(1, r) == "30-NOV-2026 09:01" && grid().cell(3, r) == app.name)
            restart = r;
    ASSERT_GT(restart, 0);
    const auto snapshot = model.state<sim::Repository>().snapshot(grid().cell(0, restart).toLongLong(), 2);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(grid().cell(4, restart).toLongLong(), model.state<sim::FileStatHistory>().at(*snapshot, app)->phyblkrd);
    EXPECT_GT(grid().cell(4, restart).toLongLong(), 100000);

    h.widget<QRadioButton>("dffromto").setChecked(true);
    h.widget<QLineEdit>("dfdatefrom").setText("30/NOV/2026 01:00:00");
    h.widget<QLineEdit>("dfdateto").setText("30/nov/2026 12:00:00");
    h.widget<QLineEdit>("dfname").setText("%app_data%");
    retrieve();
    const QStringList fromTo =
        script({"and begin_interval_time >= to_date('30/NOV/2026 01:00:00','DD/MON/YYYY HH24:MI:SS')",
                "and end_interval_time <=   to_date('30/nov/2026 12:00:00','DD/MON/YYYY HH24:MI:SS')"},
               "%app_data%");
    EXPECT_EQ(h.sim.server.statements().last(), fromTo.join('\n'));
    // The three files of APP_DATA over the window's snapshots, in snapshot order.
    EXPECT_EQ(items("filedispbox").size(), 3);
    for (int r = 1; r < grid().rowCount(); ++r) {
        EXPECT_TRUE(grid().cell(3, r).contains("app_data")) << r;
        if (r > 1) {
            EXPECT_LE(grid().cell(0, r - 1).toLongLong(), grid().cell(0, r).toLongLong());
        }
    }
    EXPECT_EQ(grid().cell(1, 1), "30-NOV-2026 01:00");
}

TEST_F(DatafileStats, AveragesOfTheRowsAsTheDatabaseGaveThem)
{
    h.sim.setRows("io", {"SNAP_ID", "BEGINTIME", "ENDTIME", "FILENAME", "R", "RT", "W", "WT"},
                  {{"7", "30-NOV-2026 08:00", "30-NOV-2026 09:00", "/u01/a.dbf", "4", "10", "0", "7"},
                   {"7", "30-NOV-2026 08:00", "30-NOV-2026 09:00", "/u01/b.dbf", "3", "0", "3", "1"},
                   {"8", "30-NOV-2026 09:00", "30-NOV-2026 10:00", "/u01/a.dbf", "6", "1.5", "12", "30"},
                   // Zeros as a database may write them.
                   {"8", "30-NOV-2026 09:00", "30-NOV-2026 10:00", "/u01/b.dbf", "0.0", "0.00", "2", "-0"},
                   {"9", "30-NOV-2026 10:00", "30-NOV-2026 11:00", "/u01/a.dbf", " 0", "1.5", "0.00", "4"}});
    h.widget<QCheckBox>("df_mds").setChecked(true);
    h.memo("df_text").setPlainText("select * from io");
    retrieve();
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    ASSERT_EQ(grid().rowCount(), 6);
    EXPECT_EQ(grid().row(1).mid(8), (QStringList{"2.5", "0"}));
    EXPECT_EQ(grid().row(2).mid(8), (QStringList{"0", "0.333333333333333"}));
    EXPECT_EQ(grid().row(3).mid(8), (QStringList{"0.25", "2.5"}));
    EXPECT_EQ(grid().row(4).mid(8), (QStringList{"0", "0"}));
    EXPECT_EQ(grid().row(5).mid(8), (QStringList{"0", "0"}));
    // Bars by file, each under its own label.
    const auto a = chart("reads_graph").series(chart("reads_graph").seriesTitled("/u01/a.dbf").front()).points();
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[1].value, 6);
    EXPECT_EQ(a[1].label, "30-NOV-2026 09:00");
    EXPECT_EQ(chart("readtimeavg_graph").series(0).points().front().value, 2.5);
}

TEST_F(DatafileStats, EachRadioShowsItsTwoChartsTheListsDriveAllSixAndNoFileEmptiesThem)
{
    EXPECT_EQ(visibleCharts(), (QStringList{"reads_graph", "writes_graph"}));
    h.widget<QLineEdit>("dfname").setText("%undotbs%");
    retrieve();
    const QStringList files = items("filedispbox");
    ASSERT_EQ(files.size(), 2);
    for (const char *name : kCharts)
        EXPECT_EQ(chart(name).seriesCount(), 2) << name;

    h.click("df_times_avg");
    EXPECT_EQ(visibleCharts(), (QStringList{"readtimeavg_graph", "writetimeavg_graph"}));
    retrieve(); // the choice stays, and so does the pattern
    EXPECT_EQ(visibleCharts(), (QStringList{"readtimeavg_graph", "writetimeavg_graph"}));
    EXPECT_EQ(h.widget<QLineEdit>("dfname").text(), "%undotbs%");
    h.click("df_times_total");
    EXPECT_EQ(visibleCharts(), (QStringList{"readtime_graph", "writetime_graph"}));
    h.click("df_ops");
    EXPECT_EQ(visibleCharts(), (QStringList{"reads_graph", "writes_graph"}));

    auto &display = h.widget<QListWidget>("filedispbox");
    display.setCurrentRow(1);
    h.click("fileshide");
    EXPECT_EQ(items("filehidebox"), QStringList{files.at(1)});
    for (const char *name : kCharts) {
        const Chart &c = chart(name);
        EXPECT_FALSE(c.series(c.seriesTitled(files.at(1)).front()).active()) << name;
        EXPECT_TRUE(c.series(c.seriesTitled(files.at(0)).front()).active()) << name;
    }
    h.click("fileadisp");
    EXPECT_EQ(items("filedispbox"), (QStringList{files.at(0), files.at(1)}));
    EXPECT_TRUE(items("filehidebox").isEmpty());
    for (const char *name : kCharts)
        for (int s = 0; s < chart(name).seriesCount(); ++s)
            EXPECT_TRUE(chart(name).series(s).active()) << name;

    // A pattern that matches nothing: an empty grid, no series, no list, no error box.
    h.widget<QLineEdit>("dfname").setText("%no such file%");
    retrieve();
    EXPECT_TRUE(h.sink().errors.isEmpty());
    EXPECT_EQ(rowsOf(grid()), QList<QStringList>{QStringList(10, QString())});
    for (const char *name : kCharts)
        EXPECT_EQ(chart(name).seriesCount(), 0) << name;
    EXPECT_TRUE(items("filedispbox").isEmpty());
    EXPECT_EQ(h.screen.currentWidget()->objectName(), "dfstattab");

    // Clear All puts "%" back; the next retrieve reads every file again.
    h.click("Button123");
    EXPECT_EQ(h.widget<QLineEdit>("dfname").text(), "%");
    retrieve();
    EXPECT_EQ(items("filedispbox").size(), 13);
    h.click("Button123");
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(chart("writes_graph").seriesCount(), 0);
    EXPECT_TRUE(items("filedispbox").isEmpty());
}

TEST_F(DatafileStats, TheFileAddedMidWindowHasItsFirstBarUnderItsOwnSnapshot)
{
    h.widget<QLineEdit>("dfname").setText("%system%");
    retrieve();
    auto &model = h.sim.server.model();
    const auto &files = model.state<sim::FileStatHistory>().files();
    const auto added = std::find_if(files.begin(), files.end(),
                                    [](const auto &f) { return f.fileId == sim::FileStatHistory::kAddedFile; });
    ASSERT_NE(added, files.end());
    const auto firstSnapshot = [&] {
        for (const auto &s : model.state<sim::Repository>().snapshots())
            if (s.instance == 1 && s.begin >= model.now().addDays(-1) &&
                model.state<sim::FileStatHistory>().at(s, *added))
                return s;
        return sim::Repository::Snapshot{};
    }();
    Chart &reads = chart("reads_graph");
    const int late = reads.seriesTitled(added->name).front();
    const int early = reads.seriesTitled(files.front().name).front(); // file 1, there all along
    const auto latePoints = reads.series(late).points();
    const auto earlyPoints = reads.series(early).points();
    ASSERT_LT(latePoints.size() + 5, earlyPoints.size());
    EXPECT_EQ(latePoints.front().label, sim::toChar(firstSnapshot.begin, "DD-MON-YYYY HH24:MI"));
    EXPECT_EQ(latePoints.front().value, 0);
}
