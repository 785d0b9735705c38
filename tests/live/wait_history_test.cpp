// The "History" tab of the wait events screen, against the simulated repository.
#include "common/fault_matrix.h"

#include "db/sim/oracle_dates.h"
#include "db/sim/repository/system_event_model.h"
#include "live/wait_events_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSet>
#include <map>
#include <tuple>

using namespace tavimond;
using namespace tavimond::test;

namespace {

class WaitHistory : public ::testing::Test {
protected:
    WaitHistory()
    {
        // Six hours into the clock: instance 2 restarted in the fifth hour of the last day.
        h.sim.server.model().advance(6 * 3600);
        h.screen.setCurrentWidget(&h.widget<QWidget>("wthist"));
    }
    ResultGrid &grid() { return h.grid("wthistgrid"); }
    Chart &chart(const char *name) { return h.widget<Chart>(name); }
    QListWidget &list(const char *name) { return h.widget<QListWidget>(name); }
    QStringList items(const char *name) { return itemsOf(h.screen, name).lines; }
    void acquire() { h.click("Button10"); }
    int seriesOf(const char *chartName, const QString &key)
    {
        const auto &found = chart(chartName).seriesTitled(key);
        EXPECT_EQ(found.size(), 1u) << key.toStdString();
        return found.empty() ? -1 : found.front();
    }

    ScreenHarness<WaitEventsScreen> h;
};

QStringList script(const QString &mask, const QString &snapshotLine, const QStringList &window)
{
    QStringList lines{"select s.start_time,",
                      "instance_number||':'||event_name,  ",
                      "sum(nvl(total_waits,0)), ",
                      "sum(nvl(TIME_WAITED_MICRO,0)) ",
                      "from  ",
                      "(select snap_id,  ",
                      "        instance_number,  ",
                      "        event_name, ",
                      "        total_waits, ",
                      "        time_waited_micro ",
                      "        from dba_hist_system_event) x, ",
                      "(select snap_id, ",
                      "        max(to_char((trunc(begin_interval_time, 'mi')),'" + mask + "')) as start_time,",
                      "        max(to_char((trunc(end_interval_time, 'mi')),'" + mask + "')) as end_time",
                      snapshotLine};
    return lines + window + QStringList{"        group by snap_id  ",         "        ) s ",
                                        "where s.snap_id = x.snap_id ",       "group by s.snap_id,s.start_time, ",
                                        "instance_number||':'||event_name  ", "order by s.snap_id "};
}

// What the repository kept of one key in the snapshots that began since `from`: the
// snapshot's start time as the history shows it (the latest of its instances'), the
// count and the time waited.
struct Kept {
    QString time;
    qint64 waits;
    qint64 micro;
};
std::vector<Kept> keptFor(sim::Model &model, int instance, const QString &event, const QDateTime &from)
{
    const auto &history = model.state<sim::SystemEventHistory>();
    const auto &events = history.events();
    const auto e = std::find_if(events.begin(), events.end(), [&](const auto &x) { return x.name == event; });
    EXPECT_NE(e, events.end());
    const auto snapshots = model.state<sim::Repository>().snapshots();
    std::map<qint64, QString> startTimes;
    for (const auto &s : snapshots) {
        const QDateTime minute(s.begin.date(), QTime(s.begin.time().hour(), s.begin.time().minute()), Qt::UTC);
        if (s.begin >= from)
            startTimes[s.snapId] = std::max(startTimes[s.snapId], sim::toChar(minute, "DD/MON/YYYY HH24:MI:SS"));
    }
    std::vector<Kept> out;
    for (const auto &s : snapshots)
        if (s.instance == instance && startTimes.count(s.snapId))
            if (const auto f = history.at(s, *e))
                out.push_back({startTimes[s.snapId], f->waits, f->micro});
    return out;
}

} // namespace

TEST_F(WaitHistory, TheStartUpScriptTheDaysScriptAndTheFromToScript)
{
    const QStringList startUp = script("DD-MON-YYYY HH24:MI", "       from dba_hist_snapshot ",
                                       {"        where begin_interval_time >= sysdate -1"});
    EXPECT_EQ(memoLines(h.memo("wtsqlhisttxt")), startUp);
    // Ticked before the first Acquire, the start-up script runs as it is.
    h.widget<QCheckBox>("wait_mds").setChecked(true);
    acquire();
    EXPECT_EQ(h.sim.server.statements().last(), startUp.join('\n'));
    ASSERT_GT(grid().rowCount(), 100);
    EXPECT_EQ(grid().cell(0, 1).size(), QString("29-NOV-2026 14:00").size());
    EXPECT_TRUE(grid().cell(0, 1).contains("-NOV-2026 ")) << grid().cell(0, 1);

    h.widget<QCheckBox>("wait_mds").setChecked(false);
    acquire();
    const QStringList days = script("DD/MON/YYYY HH24:MI:SS", "       from dba_hist_snapshot where ",
                                    {"begin_interval_time >= sysdate - 1"});
    EXPECT_EQ(memoLines(h.memo("wtsqlhisttxt")), days);
    EXPECT_EQ(h.sim.server.statements().last(), days.join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 30);

    h.widget<QRadioButton>("wait_rad2").setChecked(true);
    h.widget<QLineEdit>("wait_from").setText("30/NOV/2026 08:00:00");
    h.widget<QLineEdit>("wait_to").setText("30/nov/2026 11:30:00");
    acquire();
    const QStringList fromTo =
        script("DD/MON/YYYY HH24:MI:SS", "       from dba_hist_snapshot where ",
               {"begin_interval_time >= to_date('30/NOV/2026 08:00:00','DD/MON/YYYY HH24:MI:SS')",
                " and end_interval_time <=   to_date('30/nov/2026 11:30:00','DD/MON/YYYY HH24:MI:SS')"});
    EXPECT_EQ(memoLines(h.memo("wtsqlhisttxt")), fromTo);
    EXPECT_EQ(h.sim.server.statements().last(), fromTo.join('\n'));
    // Three snapshots, 08:00 to 11:00; each shows the latest begin of its instances, and
    // instance 2 began its second one when it restarted at 09:01.
    QSet<QString> times;
    for (int r = 1; r < grid().rowCount(); ++r)
        times.insert(grid().cell(0, r));
    EXPECT_EQ(times, (QSet<QString>{"30/NOV/2026 08:00:00", "30/NOV/2026 09:01:00", "30/NOV/2026 10:00:00"}));
}

TEST_F(WaitHistory, EachKeysCountAndTimeLinesHoldItsRowsFiguresAsTheRepositoryKeptThem)
{
    acquire();
    auto &model = h.sim.server.model();
    const QDateTime dayAgo = model.now().addDays(-1);
    // A key of every snapshot, and two whose events first wait mid-window: each point at
    // its own snapshot's time.
    for (const auto &[instance, event, late] : std::initializer_list<std::tuple<int, const char *, bool>>{
             {1, "log file sync", false}, {1, "library cache lock", true}, {2, "log buffer space", true}}) {
        const QString key = QString::number(instance) + ":" + event;
        SCOPED_TRACE(key.toStdString());
        const int i = seriesOf("WaitHistGraph", key);
        ASSERT_GE(i, 0);
        EXPECT_EQ(chart("WaitHistGraphtime").series(i).title(), key);
        const auto counts = chart("WaitHistGraph").series(i).points();
        const auto times = chart("WaitHistGraphtime").series(i).points();
        std::vector<int> rows;
        for (int r = 1; r < grid().rowCount(); ++r)
            if (grid().cell(1, r) == key)
                rows.push_back(r);
        const std::vector<Kept> kept = keptFor(model, instance, event, dayAgo);
        ASSERT_GE(kept.size(), 2u);
        EXPECT_EQ(kept.size() < 20u, late); // a late event is not in the window's first snapshots
        ASSERT_EQ(rows.size(), kept.size());
        ASSERT_EQ(counts.size(), rows.size());
        ASSERT_EQ(times.size(), rows.size());
        for (size_t p = 0; p < rows.size(); ++p) {
            EXPECT_EQ(counts[p].value, grid().cell(2, rows[p]).toDouble()) << p;
            EXPECT_EQ(times[p].value, grid().cell(3, rows[p]).toDouble()) << p;
            EXPECT_EQ(counts[p].label, grid().cell(0, rows[p]));
            EXPECT_EQ(counts[p].label, kept[p].time);
            EXPECT_EQ(counts[p].value, double(kept[p].waits));
            EXPECT_EQ(times[p].value, double(kept[p].micro));
        }
    }
    // Idle time waited runs far past 32 bits, and is shown whole.
    const int idle = seriesOf("WaitHistGraphtime", "1:SQL*Net message from client");
    EXPECT_GT(chart("WaitHistGraphtime").series(idle).points().back().value, 1e12);

    // Instance 2 restarted an hour after the clock's start: its lines drop there, as kept.
    const auto restarted = chart("WaitHistGraph").series(seriesOf("WaitHistGraph", "2:log file sync")).points();
    int drops = 0;
    for (size_t p = 1; p < restarted.size(); ++p)
        drops += restarted[p].value < restarted[p - 1].value;
    EXPECT_EQ(drops, 1);

    // One row per snapshot and key the repository kept, in snapshot order.
    qsizetype expected = 0;
    for (const auto &e : model.state<sim::SystemEventHistory>().events())
        for (int instance = 1; instance <= 2; ++instance)
            expected += qsizetype(keptFor(model, instance, e.name, dayAgo).size());
    EXPECT_EQ(grid().rowCount(), expected + 1);
    EXPECT_EQ(chart("WaitHistGraph").seriesCount(), chart("WaitHistGraphtime").seriesCount());
    EXPECT_EQ(items("eventdisplay").size(), chart("WaitHistGraph").seriesCount());

    // A late event is drawn level with the point of an event of every snapshot at its time.
    auto &view = h.widget<ChartView>("WaitHistGraph");
    h.screen.resize(1142, 698);
    QApplication::processEvents();
    view.sync();
    const int late = seriesOf("WaitHistGraph", "1:library cache lock");
    const int steady = seriesOf("WaitHistGraph", "1:db file sequential read");
    const auto latePoints = chart("WaitHistGraph").series(late).points();
    const auto steadyPoints = chart("WaitHistGraph").series(steady).points();
    ASSERT_GT(steadyPoints.size(), latePoints.size());
    const auto same = std::find_if(steadyPoints.begin(), steadyPoints.end(),
                                   [&](const ChartPoint &p) { return p.label == latePoints.front().label; });
    ASSERT_NE(same, steadyPoints.end());
    const auto lateAt = view.pointPosition(late, 0);
    const auto steadyAt = view.pointPosition(steady, int(same - steadyPoints.begin()));
    const auto firstAt = view.pointPosition(steady, 0);
    ASSERT_TRUE(lateAt && steadyAt && firstAt);
    EXPECT_DOUBLE_EQ(lateAt->x(), steadyAt->x());
    EXPECT_GT(lateAt->x(), firstAt->x() + 100);
    h.shoot("wait_history.png");
}

TEST_F(WaitHistory, ItsListsAreItsOwnASecondAcquireShowsEachKeyOnceAndAnEmptyWindowFewColumnsOrClearEmptyTheTab)
{
    const auto expectEmpty = [&](const char *what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(grid().rowCount(), 2);
        EXPECT_EQ(grid().row(0), (QStringList{"Time", "Inst::Event", "Count", "Time"}));
        EXPECT_EQ(grid().row(1).join(""), "");
        EXPECT_EQ(chart("WaitHistGraph").seriesCount() + chart("WaitHistGraphtime").seriesCount(), 0);
        EXPECT_TRUE(items("eventdisplay").isEmpty());
    };
    h.screen.sampleWaitEvents();
    h.sim.server.model().advance(30);
    h.screen.sampleWaitEvents();
    const QString key = "1:log file sync";
    ASSERT_EQ(items("disp_wait_box").count(key), 1);
    acquire();
    const int keys = chart("WaitHistGraph").seriesCount();
    ASSERT_GT(keys, 60);

    list("eventdisplay").setCurrentItem(list("eventdisplay").findItems(key, Qt::MatchExactly).first());
    h.click("Button7");
    EXPECT_EQ(items("eventhide"), QStringList{key});
    EXPECT_FALSE(items("eventdisplay").contains(key));
    const int i = seriesOf("WaitHistGraph", key);
    EXPECT_FALSE(chart("WaitHistGraph").series(i).active());
    EXPECT_FALSE(chart("WaitHistGraphtime").series(i).active());
    // The live tab keeps the key shown.
    EXPECT_EQ(items("disp_wait_box").count(key), 1);
    EXPECT_FALSE(items("hide_wait_box").contains(key));
    EXPECT_TRUE(chart("EVTChart").series(seriesOf("EVTChart", key)).active());

    acquire();
    EXPECT_EQ(chart("WaitHistGraph").seriesCount(), keys);
    EXPECT_EQ(chart("WaitHistGraphtime").seriesCount(), keys);
    EXPECT_TRUE(items("eventhide").isEmpty());
    EXPECT_EQ(items("eventdisplay").size(), keys);
    EXPECT_EQ(items("eventdisplay").count(key), 1);
    EXPECT_TRUE(chart("WaitHistGraph").series(seriesOf("WaitHistGraph", key)).active());

    h.widget<QLineEdit>("wait_days").setText("0");
    acquire();
    EXPECT_TRUE(h.sink().errors.isEmpty());
    expectEmpty("an empty window");

    // The grid takes the charts' place and gives it back.
    h.click("RadioButton2");
    EXPECT_TRUE(h.widget<GridView>("wthistgrid").isVisible());
    EXPECT_FALSE(h.widget<ChartView>("WaitHistGraph").isVisible());
    EXPECT_FALSE(h.widget<ChartView>("WaitHistGraphtime").isVisible());
    h.click("RadioButton1");
    EXPECT_FALSE(h.widget<GridView>("wthistgrid").isVisible());
    EXPECT_TRUE(h.widget<ChartView>("WaitHistGraphtime").isVisible());

    h.widget<QLineEdit>("wait_days").setText("1");
    acquire();
    h.widget<QCheckBox>("wait_mds").setChecked(true);
    h.memo("wtsqlhisttxt").setPlainText("select snap_id, event_name from dba_hist_system_event");
    acquire();
    EXPECT_EQ(h.sink().errors, QStringList{"The wait event history needs four columns: the snapshot time, the key, "
                                           "the count and the time waited; the script gives 2."});
    expectEmpty("a script of two columns");

    h.widget<QCheckBox>("wait_mds").setChecked(false);
    acquire();
    ASSERT_GT(grid().rowCount(), 2);
    h.click("Button24"); // Clear
    expectEmpty("Clear");
    EXPECT_EQ(memoLines(h.memo("wtsqlhisttxt")).size(), 22); // the script last run stays
}

TEST_F(WaitHistory, AKeyHasOneColourInEveryChartOfTheScreenAndTheFirstTwentyFourKeysTwentyFourColours)
{
    // The colour the user sees a key's line drawn in, on the chart of that name.
    const auto colourOf = [&](const char *name, const QString &key) {
        QCoreApplication::processEvents();
        const int i = seriesOf(name, key);
        for (const ChartPlot::Line &line : h.widget<ChartView>(name).plot().lines())
            if (line.series == i)
                return line.color.name();
        ADD_FAILURE() << name << " draws no line for " << key.toStdString();
        return QString();
    };
    acquire();
    const Chart &counts = chart("WaitHistGraph");
    ASSERT_GT(counts.seriesCount(), 24);
    QSet<QString> first24;
    for (int i = 0; i < 24; ++i)
        first24 << colourOf("WaitHistGraph", counts.series(i).title());
    EXPECT_EQ(first24.size(), 24);

    // The live tab meets the same keys in an order of its own.
    h.screen.sampleWaitEvents();
    h.sim.server.model().advance(30);
    h.screen.sampleWaitEvents();
    int shared = 0;
    for (int i = 0; i < counts.seriesCount(); ++i) {
        const QString key = counts.series(i).title();
        const QString colour = colourOf("WaitHistGraph", key);
        EXPECT_EQ(colourOf("WaitHistGraphtime", key), colour) << key.toStdString();
        if (chart("EVTChart").seriesTitled(key).empty())
            continue;
        ++shared;
        EXPECT_EQ(colourOf("EVTChart", key), colour) << key.toStdString();
        EXPECT_EQ(colourOf("EVTcharttime", key), colour) << key.toStdString();
    }
    EXPECT_GT(shared, 20);
}

// Under the simulated instance's faults: the error box with the database's message, no
// line, row or key of a fetch cut short, and the history whole again once the fault clears.
TEST(WaitHistoryFaults, AcquireShowsTheDatabasesErrorKeepsNothingCutShortAndWorksAgain)
{
    ScreenHarness<WaitEventsScreen> h;
    h.screen.setCurrentWidget(&h.widget<QWidget>("wthist"));
    runFaultCase(h.sim, h.screen,
                 typeAndPress(
                     h, "Wait event history: Acquire", "wait_days", {"1", "2"}, "Button10",
                     [&h] {
                         return Screenful{gridOf(h.screen, "wthistgrid"), chartOf(h.screen, "WaitHistGraph"),
                                          chartOf(h.screen, "WaitHistGraphtime"), itemsOf(h.screen, "eventdisplay"),
                                          itemsOf(h.screen, "eventhide")};
                     },
                     "dba_hist_system_event"));
}
