// The "Session Statistics" tab of the real-time screen, sampled against the simulated
// instance: one session's waits per event as tallies, delta lines and coloured bars,
// its statistics sorted by Delta, Clear All and the view switches.
#include "common/screen_support.h"

#include "db/query.h"
#include "live/real_time_screen.h"
#include "live/session_statistics_tab.h"
#include "tally_support.h"
#include "ui/chart_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>

using namespace tavimond;
using test::rowOf;

namespace {

// The palette as the screen must show it, red-green-blue: black, maroon, green, olive,
// navy, purple, teal, gray, silver, red, lime, yellow, blue, fuchsia, aqua.
const Rgb kPalette[15] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                          0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF};
constexpr Rgb kRed = 0xFF0000;

class SessionStatisticsTest : public ::testing::Test, protected test::ScreenHarness<RealTimeScreen> {
protected:
    SessionStatisticsTest()
    {
        tab().setClock([this] { return sim.server.model().now(); });
        screen.setCurrentWidget(&widget<QWidget>("sesstatstab"));
    }
    SessionStatisticsTab &tab() { return *screen.sessionStatistics(); }
    Chart &chart(const char *name) { return widget<Chart>(name); }
    QLineEdit &edit(const char *name) { return widget<QLineEdit>(name); }
    void choose(const QString &instance, const QString &sid)
    {
        edit("Instidwt").setText(instance);
        edit("sidid").setText(sid);
    }
    // A sample of block 2, the clock moved on by a default interval first.
    void tick(int seconds = 30)
    {
        sim.server.model().advance(seconds);
        tab().sample();
    }
    // What the session's wait events are now, in the order the database gives them:
    // each record's event and figure.
    QList<QStringList> records(const char *column, const QString &instance, const QString &sid)
    {
        return test::allRows(sim.cnn, {QStringLiteral("select event, %1 from gv$session_event where inst_id = %2 "
                                                      "and sid = %3")
                                           .arg(QLatin1String(column), instance, sid)});
    }
    // Keys of the rows from 1 on, the spare row left out.
    static QStringList keys(const ResultGrid &g) { return test::keysOf(g).mid(0, g.rowCount() - 2); }
    static bool spareLast(const ResultGrid &g)
    {
        return g.row(g.rowCount() - 1) == QStringList(g.colCount(), QString());
    }
};

} // namespace

TEST_F(SessionStatisticsTest, EachSampleSendsTheThreeStatementsTalliesTheSessionAndColoursItsBars)
{
    choose(QStringLiteral(" 1"), QStringLiteral("101 ")); // blanks around the numbers are dropped
    tick();
    EXPECT_EQ(sim.server.statements(),
              (QStringList{"select event,TIME_WAITED from gV$SESSION_EVENT where sid = 101and inst_id = 1",
                           "select event,Total_waits from gV$SESSION_EVENT where sid = 101and inst_id = 1",
                           QStringList({"SELECT statdesc.name, nvl(sql.value/1000000,0) ",
                                        "FROM gV$SESSION sess, gv$sesstat sql, gv$statname statdesc ", "where ",
                                        "sess.inst_id = '1' and ", "sess.sid = '101' and ",
                                        "sess.inst_id = sql.inst_id and ", "sess.sid = sql.sid and ",
                                        "sql.inst_id = statdesc.inst_id and ", "sql.statistic# = statdesc.statistic# "})
                               .join(QLatin1Char('\n'))}));
    EXPECT_EQ(sim.server.timeouts(),
              (QList<int>{Query::kLongTimeoutSeconds, Query::kLongTimeoutSeconds, Query::kDefaultTimeoutSeconds}));

    // The first sample: a row per event with its figure and no Delta, a line per event
    // without points, a bar per record.
    const ResultGrid &time = grid("sesevtgrid_time");
    const QList<QStringList> waited = records("time_waited", QStringLiteral("1"), QStringLiteral("101"));
    ASSERT_GT(waited.size(), 5);
    ASSERT_EQ(time.rowCount(), waited.size() + 2);
    for (int i = 0; i < waited.size(); ++i) {
        EXPECT_EQ(time.row(i + 1), (QStringList{waited[i].at(0), waited[i].at(1), "", "", ""}));
        EXPECT_TRUE(test::seriesOf(chart("sesevt_delta_time"), waited[i].at(0)).points().empty());
    }
    EXPECT_TRUE(spareLast(time));
    EXPECT_EQ(chart("sesevt_cum_time").series(0).points().size(), size_t(waited.size()));
    EXPECT_EQ(grid("sesevtgrid_cnt").rowCount(), records("total_waits", "1", "101").size() + 2);
    const ResultGrid &statistics = grid("timedstatgrid");
    EXPECT_GT(statistics.rowCount(), 1000);
    EXPECT_TRUE(statistics.cell(2, 1).isEmpty());
    EXPECT_TRUE(spareLast(statistics));

    // The second: Deltas, one point per line labelled with the time of the sample, and the
    // statistics sorted by Delta.
    QMap<QString, QString> before;
    for (int r = 1; r + 1 < time.rowCount(); ++r)
        before.insert(time.cell(0, r), time.cell(1, r));
    sim.server.clearStatements();
    tick(300);
    EXPECT_EQ(sim.server.statements().size(), 3);
    const QString label = sim.server.model().now().time().toString(QStringLiteral("HH:mm:ss"));
    bool grew = false;
    for (int r = 1; r + 1 < time.rowCount(); ++r) {
        const QString key = time.cell(0, r);
        if (!before.contains(key))
            continue;
        const qint64 delta = time.cell(1, r).toLongLong() - before.value(key).toLongLong();
        EXPECT_EQ(time.cell(2, r), QString::number(delta)) << key.toStdString();
        EXPECT_EQ(time.cell(3, r), time.cell(2, r));
        EXPECT_EQ(time.cell(4, r), time.cell(2, r));
        const auto &points = test::seriesOf(chart("sesevt_delta_time"), key).points();
        ASSERT_EQ(points.size(), 1u) << key.toStdString();
        EXPECT_EQ(points[0].value, double(delta));
        EXPECT_EQ(points[0].label, label);
        grew = grew || delta > 0;
    }
    EXPECT_TRUE(grew);
    for (int r = 2; r + 1 < statistics.rowCount(); ++r)
        ASSERT_GE(statistics.cell(2, r - 1).toDouble(), statistics.cell(2, r).toDouble()) << r;
    EXPECT_TRUE(spareLast(statistics));

    // The bars take the palette's colours, from the fifteenth on red, and their value
    // marks cover no other.
    sim.server.model().advance(600); // long enough for the session to wait on most of its events
    for (int t = 0; t < 3; ++t)
        tick();
    screen.resize(1400, 900);
    for (const char *name : {"sesevt_cum_time", "sesevt_cum_cnt"}) {
        const auto &bars = chart(name).series(0).points();
        ASSERT_GE(bars.size(), 20u) << name;
        for (size_t i = 0; i < bars.size(); ++i)
            EXPECT_EQ(bars[i].color, i < 15 ? kPalette[i] : kRed) << name << " bar " << i;
        ChartView &view = widget<ChartView>(name);
        QCoreApplication::processEvents();
        view.sync();
        ASSERT_EQ(view.plot().bars().size(), bars.size());
        // The value marks that are written can be read: none covers another, and the
        // tallest bar's value is among them.
        const auto &marks = view.plot().marks();
        ASSERT_FALSE(marks.empty());
        EXPECT_LE(marks.size(), bars.size());
        QFont markFont = view.font(); // marks are written a point smaller than the labels
        markFont.setPointSizeF(std::max(6.0, markFont.pointSizeF() - 1));
        const QFontMetricsF fm(markFont);
        for (size_t a = 0; a < marks.size(); ++a)
            for (size_t b = a + 1; b < marks.size(); ++b)
                EXPECT_FALSE(ChartPlot::markBox(marks[a], fm).intersects(ChartPlot::markBox(marks[b], fm)))
                    << marks[a].text.toStdString() << " / " << marks[b].text.toStdString();
        const size_t tallest = size_t(
            std::max_element(bars.begin(), bars.end(), [](const auto &x, const auto &y) { return x.value < y.value; }) -
            bars.begin());
        const auto &top = *std::find_if(view.plot().bars().begin(), view.plot().bars().end(),
                                        [&](const ChartPlot::Bar &b) { return size_t(b.point) == tallest; });
        EXPECT_TRUE(std::any_of(marks.begin(), marks.end(), [&](const ChartPlot::Mark &m) {
            return m.at.x() == top.rect.center().x();
        })) << name;
    }
    shoot("session_waits.png");
}

TEST_F(SessionStatisticsTest, TheSwitchesShowOneViewAtATimeAndClearAllEmptiesEverythingButThem)
{
    auto &waits = widget<QGroupBox>("waitevtpanel");
    auto &statistics = widget<QGroupBox>("timedstatpanel");
    const auto chartsShown = [&](bool wanted) {
        for (const char *name : {"sesevt_delta_time", "sesevt_cum_time", "sesevt_delta_cnt", "sesevt_cum_cnt"})
            EXPECT_EQ(widget<QWidget>(name).isVisible(), wanted) << name;
        EXPECT_EQ(widget<QWidget>("sesevtgrid_time").isVisible(), !wanted);
        EXPECT_EQ(widget<QWidget>("sesevtgrid_cnt").isVisible(), !wanted);
    };
    EXPECT_TRUE(waits.isVisible());
    EXPECT_FALSE(statistics.isVisible());
    chartsShown(true);
    click("sesevt_gridrbut");
    chartsShown(false);
    click("RadioButton42");
    EXPECT_FALSE(waits.isVisible());
    EXPECT_TRUE(widget<QWidget>("timedstatgrid").isVisible());
    EXPECT_TRUE(widget<QRadioButton>("sesevt_gridrbut").isChecked()); // the two choices are apart
    click("RadioButton41");
    EXPECT_TRUE(waits.isVisible());
    EXPECT_FALSE(statistics.isVisible());
    click("sesevt_graphrbut");
    chartsShown(true);
    EXPECT_TRUE(sim.server.statements().isEmpty()); // switching reloads nothing

    widget<QCheckBox>("sesevt_check").setChecked(true);
    tab().setSession({QStringLiteral("1"), QStringLiteral("101"), QStringLiteral("3301"), {}, {}});
    tick();
    tick();
    click("sesevt_gridrbut");
    click("RadioButton42");
    ASSERT_GT(grid("timedstatgrid").rowCount(), 2);
    ASSERT_GT(chart("sesevt_delta_cnt").seriesCount(), 0);

    click("Button14"); // Clear All
    EXPECT_FALSE(tab().sampling());
    for (const char *name : {"Instidwt", "sidid", "serialnum"})
        EXPECT_TRUE(edit(name).text().isEmpty()) << name;
    for (const char *name : {"sesevtgrid_time", "sesevtgrid_cnt", "timedstatgrid"})
        EXPECT_EQ(test::rowsOf(grid(name)), QList<QStringList>{QStringList(5, QString())}) << name;
    EXPECT_EQ(grid("timedstatgrid").cell(0, 0), QStringLiteral("Metric")); // headers kept
    EXPECT_EQ(chart("sesevt_delta_time").seriesCount() + chart("sesevt_delta_cnt").seriesCount(), 0);
    for (const char *name : {"sesevt_cum_time", "sesevt_cum_cnt"}) {
        ASSERT_EQ(chart(name).seriesCount(), 1);
        EXPECT_TRUE(chart(name).series(0).points().empty());
        EXPECT_TRUE(chart(name).legendTexts().isEmpty());
    }
    EXPECT_EQ(tab().sesevt_cum_timeGetLegendText(0), QString());
    // The view choices stay.
    EXPECT_TRUE(widget<QRadioButton>("sesevt_gridrbut").isChecked());
    EXPECT_TRUE(statistics.isVisible());

    // Sampling again starts afresh: a first sample has no Deltas.
    choose(QStringLiteral("1"), QStringLiteral("101"));
    tick();
    EXPECT_TRUE(grid("sesevtgrid_time").cell(2, 1).isEmpty());
    EXPECT_TRUE(grid("timedstatgrid").cell(2, 1).isEmpty());
}

TEST_F(SessionStatisticsTest, EachKeyHasOneRowANewEventOrStatisticItsOwnAndTheBarsTheirRecordsNames)
{
    choose(QStringLiteral("1"), QStringLiteral("11")); // a background process: always at work
    const ResultGrid &statistics = grid("timedstatgrid");
    tick();
    tick();
    // One row a statistic, although gv$statname names it once per instance.
    const QStringList first = keys(statistics);
    EXPECT_EQ(QSet<QString>(first.begin(), first.end()).size(), first.size());
    const int reads = rowOf(statistics, QStringLiteral("session logical reads"));
    ASSERT_GT(reads, 0);
    EXPECT_GT(statistics.cell(2, reads).toDouble(), 0);
    EXPECT_LT(statistics.cell(1, reads).toDouble(), 1000); // shown in millions
    int growing = 0;
    for (int r = 1; r + 1 < statistics.rowCount(); ++r)
        growing += statistics.cell(2, r).toDouble() > 0 ? 1 : 0;
    EXPECT_GT(growing, 100);

    // An event first seen later gets its own row, line and correctly named bar.
    const ResultGrid &time = grid("sesevtgrid_time");
    const QStringList events = keys(time);
    const int points = int(chart("sesevt_delta_time").series(0).points().size());
    tick(100); // an event the log writer first waits on now
    const QList<QStringList> waited = records("time_waited", QStringLiteral("1"), QStringLiteral("11"));
    const QStringList eventsNow = keys(time);
    ASSERT_EQ(eventsNow.size(), events.size() + 1);
    const QString added = eventsNow.last();
    EXPECT_EQ(eventsNow.mid(0, events.size()), events); // below the older rows, taking none of them
    int at = -1;
    for (int i = 0; i < waited.size(); ++i)
        if (waited[i].at(0) == added)
            at = i;
    ASSERT_GE(at, 0);
    ASSERT_LT(at, waited.size() - 1); // in the middle of the records
    EXPECT_EQ(time.row(time.rowCount() - 2), (QStringList{added, waited[at].at(1), "", "", ""}));

    // Its own line, without a point yet; the others have one more each.
    const Chart &lines = chart("sesevt_delta_time");
    EXPECT_EQ(lines.seriesCount(), eventsNow.size());
    for (int s = 0; s < lines.seriesCount(); ++s)
        EXPECT_EQ(int(lines.series(s).points().size()), lines.series(s).title() == added ? 0 : points + 1);

    // Each bar is named after its own record: the legend follows the records, which
    // from the new event on differ from the grid's rows.
    const Chart &bars = chart("sesevt_cum_time");
    ASSERT_EQ(bars.series(0).points().size(), size_t(waited.size()));
    ASSERT_EQ(bars.legendTexts().size(), waited.size());
    for (int i = 0; i < waited.size(); ++i) {
        EXPECT_EQ(bars.legendTexts().at(i), waited[i].at(0));
        EXPECT_EQ(tab().sesevt_cum_timeGetLegendText(i), waited[i].at(0));
        EXPECT_EQ(bars.series(0).points()[size_t(i)].value, time.cell(1, rowOf(time, waited[i].at(0))).toDouble());
    }
    EXPECT_NE(time.cell(0, at + 1), waited[at].at(0));
    EXPECT_EQ(tab().sesevt_cum_timeGetLegendText(waited.size()), QString());
    const QList<QStringList> counted = records("total_waits", QStringLiteral("1"), QStringLiteral("11"));
    for (int i = 0; i < counted.size(); ++i)
        EXPECT_EQ(tab().sesevt_cum_cntGetLegendText(i), counted[i].at(0));

    // The statistics of the log writer, until one shrinks.
    bool shrank = false;
    for (int t = 0; t < 30 && !shrank; ++t) {
        tick();
        for (int r = 1; r + 1 < statistics.rowCount(); ++r)
            shrank = shrank || statistics.cell(2, r).toDouble() < 0;
    }
    ASSERT_TRUE(shrank);
    ASSERT_TRUE(spareLast(statistics)); // below the negative Deltas
    const QStringList before = keys(statistics);

    // Another session without Clear All: its statistics continue the rows, and those
    // the background process did not keep are new.
    choose(QStringLiteral("1"), QStringLiteral("101"));
    tick();
    const QStringList after = keys(statistics);
    EXPECT_EQ(QSet<QString>(after.begin(), after.end()).size(), after.size());
    for (const QString &key : before)
        EXPECT_GT(rowOf(statistics, key), 0) << key.toStdString();
    ASSERT_GT(after.size(), before.size());
    const int userCalls = rowOf(statistics, QStringLiteral("user calls"));
    ASSERT_GT(userCalls, 0);
    EXPECT_FALSE(before.contains(QStringLiteral("user calls")));
    EXPECT_TRUE(statistics.cell(2, userCalls).isEmpty()); // a new row of its own
    EXPECT_TRUE(spareLast(statistics));

    // A session that is gone: no rows, so no bars and no points; the grids keep theirs.
    const int rows = time.rowCount();
    const size_t linePoints = lines.series(0).points().size();
    choose(QStringLiteral("1"), QStringLiteral("9999"));
    tick();
    EXPECT_EQ(time.rowCount(), rows);
    EXPECT_TRUE(bars.series(0).points().empty());
    EXPECT_TRUE(bars.legendTexts().isEmpty());
    EXPECT_EQ(lines.series(0).points().size(), linePoints);
}
