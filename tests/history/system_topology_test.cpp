#include "common/chart_support.h"
#include "common/screen_support.h"
#include "common/temp_folder.h"

#include "core/chart.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/system_statistics.h"
#include "history/system_topology_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

using namespace tavimond;
using namespace tavimond::test;

namespace {

using Stats = sim::SystemStatistics;

// Each chart and the header of the grid column it shows, in the order they are drawn.
const std::pair<const char *, const char *> kChartColumns[] = {
    {"syselaps_graph", "Elapse Time (s)"},
    {"pga_graph", "pga (mb)"},
    {"pgasess_graph", "pga (mb/sess)"},
    {"sesscnt_graph", "Session Count"},
    {"actsess_graph", "Active Sessions/Sec"},
    {"actproc_graph", "LOAD(# Active Process)"},
    {"cpucores_graph", "CPU Cores"},
    {"cputhreads_graph", "CPU Threads"},
    {"coretime_graph", "Total Core Time"},
    {"hostcore_graph", "Host Core Util"},
    {"hostuser_graph", "Host User Util"},
    {"hostsys_graph", "Host SYS Util"},
    {"dbbgtime_graph", "DB+BG Time (s)"},
    {"dbcores_graph", "DB Cores Util"},
    {"bgcore_graph", "BG Time Core"},
    {"rmancore_graph", "RMAN Core"},
    {"iopsr_graph", "IOPs r"},
    {"iopsrt_graph", "IOPs r total"},
    {"iopsrs_graph", "IOPs r Sequential"},
    {"iopsrr_graph", "IOPs r Random(single)"},
    {"iopsrb_graph", "IO r (bytes)/s"},
    {"iopsrbt_graph", "IO_Tot r (bytes)/s"},
    {"iopsw_graph", "IOPs w"},
    {"iopswt_graph", "IOPs w total"},
    {"iopsws_graph", "IOPs w Sequential"},
    {"iopswr_graph", "IOPs w Random(single)"},
    {"iopswb_graph", "IO w (bytes)/s"},
    {"iopswbt_graph", "IO_Tot w (bytes)/s"},
    {"ru1_graph", "redo recovery blocks/s"},
    {"ru2_graph", "Undo Blocks/s"},
    {"ru3_graph", "redo blocks written/s"},
    {"ru4_graph", "redo write/s"},
    {"ru5_graph", "Redo Blocks/w"},
    {"ru6_graph", "Redo (bytes)/s"},
    {"traf1_graph", "SQL*Net Sent (bytes)/s"},
    {"traf2_graph", "SQL*Net received (bytes)/s"},
    {"traf3_graph", "Estd Interconnect traffic (KB)"},
};

const QString kGroupBy =
    " GROUP BY snap_id,TO_CHAR(begin_interval_time, 'DD/MON/YYYY HH24:MI'),TO_CHAR(end_interval_time, "
    "'DD/MON/YYYY HH24:MI'),d.name||instance_number ";
const QString kOrderBy = "order by d.name||instance_number , snap_id";

class SystemTopology : public ::testing::Test {
protected:
    SystemTopology()
    {
        // Two days and half a minute into the clock: the last two days hold 47
        // snapshots of each instance, among them instance 2's first after its restart.
        h.sim.server.model().advance(48 * 3600 + 30);
    }
    ResultGrid &grid() { return h.grid("systopgrid"); }
    Chart &chart(const char *name) { return *h.screen.findChild<Chart *>(QLatin1String(name)); }
    QComboBox &combo() { return h.widget<QComboBox>("instid_combo"); }
    int column(const char *header) const { return int(h.screen.gridHeaders().first().headers.indexOf(header)); }
    double cell(int row, const char *header) { return grid().cell(column(header), row).toDouble(); }
    void retrieve() { h.click("Button2"); }
    void fromTo(const QString &from, const QString &to)
    {
        h.widget<QRadioButton>("systrangerb").setChecked(true);
        h.widget<QLineEdit>("systfrom").setText(from);
        h.widget<QLineEdit>("systto").setText(to);
    }
    // The active series' titles of a chart.
    static QStringList active(const Chart &c)
    {
        QStringList out;
        for (int s = 0; s < c.seriesCount(); ++s)
            if (c.series(s).active())
                out << c.series(s).title();
        return out;
    }

    ScreenHarness<SystemTopologyScreen> h;
};

// What the repository recorded for one snapshot of one instance, and its differences
// from the instance's previous snapshot since the same startup (the value itself right
// after a startup, nothing for the first snapshot kept).
struct Recorded {
    Stats::Capture capture;
    std::vector<double> difference;
    double value(const char *name, Stats::View view = Stats::View::SysStat) const
    {
        return capture.values.at(size_t(Stats::indexOf(view, name)));
    }
    double diff(const char *name, Stats::View view = Stats::View::SysStat) const
    {
        return difference.at(size_t(Stats::indexOf(view, name)));
    }
};

std::map<std::pair<qint64, int>, Recorded> recorded(sim::Model &model)
{
    std::map<std::pair<qint64, int>, Recorded> out;
    std::map<int, const Stats::Capture *> previous;
    const std::vector<Stats::Capture> captures = model.state<Stats>().captures();
    for (const Stats::Capture &c : captures) {
        Recorded r{c, std::vector<double>(c.values.size(), std::nan(""))};
        const Stats::Capture *p = previous[c.snapshot.instance];
        for (size_t i = 0; i < c.values.size(); ++i) {
            if (c.snapshot.begin == c.snapshot.startup)
                r.difference[i] = c.values[i];
            else if (p && p->snapshot.startup == c.snapshot.startup)
                r.difference[i] = c.values[i] - p->values[i];
        }
        previous[c.snapshot.instance] = &c;
        out.emplace(std::pair{c.snapshot.snapId, c.snapshot.instance}, std::move(r));
    }
    return out;
}

} // namespace

TEST_F(SystemTopology, TheStatementForTheLastDaysOrForAFromToWindow)
{
    retrieve();
    const QStringList days = memoLines(h.memo("systopmemo"));
    ASSERT_EQ(days.size(), 125);
    EXPECT_EQ(days.first(), "select snap_id,");
    EXPECT_EQ(days.mid(121), (QStringList{"  ), v$database d", "        where begin_interval_time >= sysdate - 1",
                                          kGroupBy, kOrderBy}));
    EXPECT_EQ(h.sim.server.statements().last(), days.join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 30);

    fromTo("30/NOV/2026 08:00:00", "1/dec/2026 8:15:59");
    retrieve();
    const QStringList range = memoLines(h.memo("systopmemo"));
    EXPECT_EQ(range.mid(0, 122), days.mid(0, 122));
    EXPECT_EQ(
        range.mid(122),
        (QStringList{"        where begin_interval_time >= to_date('30/NOV/2026 08:00:00','DD/MON/YYYY HH24:MI:SS')",
                     "          and end_interval_time <=   to_date('1/dec/2026 8:15:59','DD/MON/YYYY HH24:MI:SS')",
                     kGroupBy, kOrderBy}));
}

TEST_F(SystemTopology, TwoDaysOfTwoInstancesShowTheRepositorysFiguresPerSnapshotAndInstance)
{
    h.widget<QLineEdit>("systdays").setText("2");
    retrieve();
    auto &model = h.sim.server.model();
    const auto figures = recorded(model);
    int expectedRows = 0;
    for (const auto &[key, r] : figures)
        expectedRows += r.capture.snapshot.begin >= model.now().addDays(-2) && r.capture.snapshot.end <= model.now();
    ASSERT_EQ(expectedRows, 94);
    ASSERT_EQ(grid().rowCount(), expectedRows + 1);
    EXPECT_EQ(grid().colCount(), 41);

    bool sawRestart = false;
    for (int r = 1; r < grid().rowCount(); ++r) {
        const QStringList row = grid().row(r);
        for (const QString &c : row)
            ASSERT_FALSE(c.isEmpty()) << "row " << r;
        // Ordered by instance key, then snapshot.
        if (r > 1) {
            const QStringList before = grid().row(r - 1);
            EXPECT_TRUE(before[3] < row[3] || (before[3] == row[3] && before[0].toLongLong() < row[0].toLongLong()));
        }
        const int instance = row[3].endsWith('1') ? 1 : 2;
        EXPECT_EQ(row[3], "TAVIDB" + QString::number(instance));
        const Recorded &rec = figures.at({row[0].toLongLong(), instance});
        const auto &snap = rec.capture.snapshot;
        EXPECT_EQ(row[1], snap.begin.toString("dd/MMM/yyyy hh:mm").toUpper());
        EXPECT_EQ(row[2], snap.end.toString("dd/MMM/yyyy hh:mm").toUpper());

        const double ela = cell(r, "Elapse Time (s)");
        EXPECT_NEAR(ela, double(snap.begin.msecsTo(snap.end)) / 1000, 1.0);
        // Per second of the interval; the CPU of the database and its background in seconds.
        const double reads = rec.diff("physical read IO requests");
        EXPECT_NEAR(cell(r, "IOPs r"), reads / ela, 0.0005 + 1e-9);
        EXPECT_GT(cell(r, "IOPs r"), 0);
        const double cpu =
            rec.diff("DB CPU", Stats::View::TimeModel) + rec.diff("background cpu time", Stats::View::TimeModel);
        EXPECT_NEAR(cell(r, "DB+BG Time (s)"), cpu / 1e6, 0.005 + 1e-9);
        EXPECT_NEAR(cell(r, "Active Sessions/Sec"), rec.diff("DB time", Stats::View::TimeModel) / 1e6, 0.005 + 1e-9);
        EXPECT_EQ(cell(r, "Session Count"), rec.value("logons current"));

        // Instance 1's host reports NUM_VCPUS, instance 2's only NUM_CPU_CORES: both show cores.
        const double cores = instance == 1 ? rec.value("NUM_VCPUS", Stats::View::OsStat)
                                           : rec.value("NUM_CPU_CORES", Stats::View::OsStat);
        EXPECT_EQ(std::isnan(rec.value("NUM_VCPUS", Stats::View::OsStat)), instance == 2);
        EXPECT_GT(cores, 0);
        EXPECT_EQ(cell(r, "CPU Cores"), cores);
        EXPECT_EQ(cell(r, "Total Core Time"), cores * ela);

        // Each redo write adds one to the divisor of each of the other statistics' rows.
        EXPECT_GT(cell(r, "Redo Blocks/w"), 0);
        EXPECT_LT(cell(r, "Redo Blocks/w"), cell(r, "redo blocks written/s") / cell(r, "redo write/s"));

        if (instance == 2 && snap.begin == snap.startup) {
            // The counters fell at the restart: the first snapshot after it counts from zero.
            const Recorded &before = figures.at({row[0].toLongLong() - 1, 2});
            EXPECT_LT(rec.value("physical read IO requests"), before.value("physical read IO requests"));
            EXPECT_NEAR(cell(r, "IOPs r"), rec.value("physical read IO requests") / ela, 0.0005 + 1e-9);
            sawRestart = true;
        }
    }
    EXPECT_TRUE(sawRestart);
}

TEST_F(SystemTopology, EveryChartGetsASeriesPerInstanceAndTheComboSwitchesThemAll)
{
    retrieve();
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    EXPECT_EQ(h.screen.currentWidget()->objectName(), "TabSheet65");
    EXPECT_TRUE(h.widget<QLabel>("systopmess").isHidden());
    const QStringList keys{"TAVIDB1", "TAVIDB2"};
    auto checkAll = [&](const QStringList &shown) {
        for (const auto &[name, header] : kChartColumns) {
            const Chart &c = chart(name);
            ASSERT_EQ(c.seriesCount(), 2) << name;
            EXPECT_EQ(c.series(0).title(), "TAVIDB1") << name;
            EXPECT_EQ(c.series(1).title(), "TAVIDB2") << name;
            EXPECT_EQ(active(c), shown) << name;
            // Each chart's bars are its column's values, labelled with the begin times.
            for (int s = 0; s < 2; ++s) {
                QList<double> values;
                QStringList labels;
                for (int r = 1; r < grid().rowCount(); ++r)
                    if (grid().cell(3, r) == keys[s]) {
                        values << grid().cell(column(header), r).toDouble();
                        labels << grid().cell(1, r);
                    }
                const auto &points = c.series(s).points();
                ASSERT_EQ(int(points.size()), values.size()) << name;
                for (size_t p = 0; p < points.size(); ++p) {
                    EXPECT_EQ(points[p].value, values[int(p)]) << name;
                    EXPECT_EQ(points[p].label, labels[int(p)]) << name;
                }
            }
        }
    };
    checkAll({"TAVIDB1"});
    EXPECT_EQ(combo().count(), 2);
    EXPECT_EQ(combo().currentText(), "TAVIDB1");

    // The user picks the second instance.
    combo().setFocus();
    QTest::keyClick(&combo(), Qt::Key_Down);
    EXPECT_EQ(combo().currentText(), "TAVIDB2");
    checkAll({"TAVIDB2"});

    // A text that names no instance hides every series.
    combo().lineEdit()->selectAll();
    QTest::keyClicks(combo().lineEdit(), "TAVIDB9");
    QTest::keyClick(combo().lineEdit(), Qt::Key_Return);
    for (const auto &[name, header] : kChartColumns)
        EXPECT_TRUE(active(chart(name)).isEmpty()) << name;
    EXPECT_EQ(combo().count(), 2);

    // A prefix the combo completes as it is typed: the charts show the completed
    // instance, and still do once the user leaves the field.
    combo().lineEdit()->selectAll();
    QTest::keyClicks(combo().lineEdit(), "TAVIDB");
    QCoreApplication::processEvents();
    EXPECT_EQ(combo().currentText(), "TAVIDB1");
    checkAll({"TAVIDB1"});
    QTest::keyClick(combo().lineEdit(), Qt::Key_Tab);
    checkAll({"TAVIDB1"});

    // A second retrieve starts afresh: no series or item twice.
    retrieve();
    checkAll({"TAVIDB1"});
    EXPECT_EQ(combo().count(), 2);
}

TEST_F(SystemTopology, AWindowWithoutSnapshotsOrASnapshotWithoutLogonsLeavesNothingStale)
{
    retrieve();
    ASSERT_GT(grid().rowCount(), 2);
    ASSERT_GT(chart("syselaps_graph").seriesCount(), 0);
    const qint64 snapId = grid().cell(0, 3).toLongLong();
    h.screen.setCurrentIndex(0);

    fromTo("1/MAY/2013 08:00:00", "2/MAY/2013 08:15:59");
    retrieve();
    EXPECT_EQ(h.sink().infos, QStringList{"No records found for system stats"});
    EXPECT_TRUE(h.sink().errors.isEmpty());
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().row(1), QStringList(41, QString()));
    // No chart keeps a frame of the last retrieve: no axis, grid line or baseline.
    for (const auto &[name, header] : kChartColumns) {
        EXPECT_EQ(chart(name).seriesCount(), 0) << name;
        EXPECT_TRUE(test::blank(h.widget<ChartView>(name))) << name;
    }
    EXPECT_EQ(combo().count(), 0);
    EXPECT_EQ(combo().currentText(), "");
    EXPECT_EQ(h.screen.currentWidget()->objectName(), "TabSheet65");
    EXPECT_TRUE(h.widget<QLabel>("systopmess").isHidden());

    // A snapshot without logons stops the query with the database's error; nothing is
    // shown as if the report were complete.
    h.widget<QRadioButton>("systdaysrb").setChecked(true);
    retrieve();
    ASSERT_GT(grid().rowCount(), 2);
    h.sim.server.model().state<Stats>().omit("logons current", snapId, 1);
    h.screen.setCurrentIndex(0);
    retrieve();
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01476: divisor is equal to zero"});
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(chart("syselaps_graph").seriesCount(), 0);
    EXPECT_EQ(combo().count(), 0);
    EXPECT_EQ(h.screen.currentIndex(), 0);
    EXPECT_TRUE(h.widget<QLabel>("systopmess").isVisible());
}

TEST_F(SystemTopology, AfterAPartialDrawTheComboSkipsChartsWithoutThatSeries)
{
    // A value that does not convert, in instance 2's first row of the column of the
    // seventeenth chart drawn: the charts drawn later have no series of instance 2.
    QStringList columns;
    for (int c = 0; c < 41; ++c)
        columns << QString("C%1").arg(c);
    auto table = std::make_shared<sim::Table>(columns);
    for (int instance = 1; instance <= 2; ++instance)
        for (int snap = 0; snap < 3; ++snap) {
            QStringList row{QString::number(41000 + snap), QString("0%1/DEC/2026 08:00").arg(snap + 1),
                            QString("0%1/DEC/2026 09:00").arg(snap + 1), "TAVIDB" + QString::number(instance)};
            for (int c = 4; c < 41; ++c)
                row << QString::number(c + snap);
            if (instance == 2 && snap == 0)
                row[column("IOPs r")] = "n/a";
            table->addRow(row);
        }
    h.sim.server.add({"system topology with a bad value", [](const sim::Statement &s) { return s.has("v$database d"); },
                      [table](const sim::Statement &, sim::Context &) { return sim::Result(table); }});
    retrieve();
    ASSERT_EQ(h.sink().errors.size(), 1);
    EXPECT_EQ(chart("iopsr_graph").seriesCount(), 1);
    EXPECT_EQ(chart("iopsrt_graph").seriesCount(), 0);
    EXPECT_EQ(combo().count(), 0);

    h.sink().clear();
    QTest::keyClicks(combo().lineEdit(), "TAVIDB2");
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    EXPECT_EQ(active(chart("syselaps_graph")), QStringList{"TAVIDB2"});
    EXPECT_EQ(active(chart("pga_graph")), QStringList{"TAVIDB2"});
    EXPECT_TRUE(active(chart("iopsr_graph")).isEmpty());
}

TEST_F(SystemTopology, TheHintsBoxSilencesTheChartsHintsAndTheAxisButtonTurnsItsChartsLabels)
{
    // The hints start-up writes; unticking the box silences every one, ticking brings them back.
    h.screen.setCurrentIndex(1);
    for (const ChartHint &hint : h.screen.chartHints())
        chart(hint.chart.toLatin1().constData()).setHint(hint.hint);
    QApplication::processEvents();
    auto hinted = [&] {
        int out = 0;
        for (const auto &[name, header] : kChartColumns)
            out += !h.widget<ChartView>(name).toolTip().isEmpty();
        return out;
    };
    EXPECT_EQ(hinted(), 17);
    h.click("graph_hints");
    EXPECT_EQ(hinted(), 0);
    h.click("graph_hints");
    EXPECT_EQ(hinted(), 17);

    // "=||" turns its chart's bottom labels to 90 degrees and back.
    h.click("Button181");
    EXPECT_EQ(chart("traf3_graph").bottomLabelAngle(), 90);
    EXPECT_EQ(chart("traf1_graph").bottomLabelAngle(), 0);
    h.click("Button181");
    EXPECT_EQ(chart("traf3_graph").bottomLabelAngle(), 0);
}
