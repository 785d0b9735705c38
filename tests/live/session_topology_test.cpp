// The "Session Topology" tab of the real-time screen, sampled against the simulated
// instance: the sessions of both instances, the differences of their time figures, the
// stacked bar chart and the row that chooses a session for the other tabs.
#include "common/chart_support.h"
#include "common/fault_matrix.h"
#include "common/screen_support.h"

#include "db/error.h"
#include "db/sim/live/session_model.h"
#include "live/real_time_screen.h"
#include "live/session_topology_tab.h"
#include "live/sql_text_tab.h"
#include "ui/chart_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSet>

using namespace tavimond;

namespace {

class SessionTopologyTest : public ::testing::Test, protected test::ScreenHarness<RealTimeScreen> {
protected:
    SessionTopologyTab &tab() { return *screen.sessionTopology(); }
    Chart &chart() { return widget<Chart>("sessres_graph"); }
    ChartView &chartView() { return widget<ChartView>("sessres_graph"); }
    QPlainTextEdit &memo() { return widget<QPlainTextEdit>("sessres_memo"); }
    QString edit(const char *name) { return widget<QLineEdit>(name).text(); }
    // A tick of block 1, the clock moved on by a default interval first.
    void tick(int seconds = 30)
    {
        sim.server.model().advance(seconds);
        tab().Button177Click();
    }
    // The session statement replaced by a table of the test's own rows, each written as
    // its fields between bars: instance, sid, serial#, key, status, user, type, program
    // and the seven figures.
    void useRows(const QStringList &rows)
    {
        QList<QStringList> table;
        for (const QString &r : rows)
            table << r.split(QLatin1Char('|'));
        sim.setRows("sessions",
                    {"INST_ID", "SID", "SERIAL#", "KEY", "STATUS", "USERNAME", "TYPE", "PROGRAM", "cpu", "I/O", "App",
                     "Conc", "Clus", "RedoSync", "Parse"},
                    table);
        memo().setPlainText(QStringLiteral("select * from sessions"));
    }
    // The seven statistics of the session of a grid row as the simulated model keeps
    // them, in centiseconds.
    std::vector<double> centiseconds(const ResultGrid &g, int r)
    {
        const auto &model = sim.server.model().state<sim::SessionModel>();
        const auto &names = sim::SessionModel::statisticNames();
        std::vector<double> out;
        for (const auto &s : model.sessions(nullptr)) {
            if (QString::number(s.instance) != g.cell(0, r) || QString::number(s.sid) != g.cell(1, r) ||
                QString::number(s.serial) != g.cell(2, r))
                continue;
            for (const char *statistic :
                 {"CPU used by this session", "user I/O wait time", "application wait time", "concurrency wait time",
                  "cluster wait time", "redo synch time", "parse time elapsed"}) {
                const auto at = std::find_if(names.begin(), names.end(),
                                             [&](const auto &n) { return n.name == QLatin1String(statistic); });
                EXPECT_NE(at, names.end()) << statistic;
                out.push_back(model.statistic(s, size_t(at - names.begin())).value_or(0));
            }
        }
        EXPECT_EQ(out.size(), 7u) << identity(g, r).toStdString();
        return out;
    }
    static QString identity(const ResultGrid &g, int r)
    {
        return g.cell(0, r) + QLatin1Char('/') + g.cell(1, r) + QLatin1Char('/') + g.cell(2, r);
    }
    QStringList pointLabels(int series = 0)
    {
        QStringList out;
        for (const ChartPoint &p : chart().series(series).points())
            out << p.label;
        return out;
    }
    // The eight edits of the other tabs that a chosen session fills.
    QStringList chosen()
    {
        QStringList out;
        for (const char *e :
             {"Instidwt", "sidid", "serialnum", "Instidst", "sesid", "serialnumst", "sesssqlid", "sessexecplan"})
            out << edit(e);
        return out;
    }
    void showOnScreen()
    {
        screen.resize(1280, 800);
        screen.setCurrentIndex(0);
        QCoreApplication::processEvents();
        chartView().sync();
    }
    // Clicks a row of a grid view, or double-clicks it as the mouse does: a click, then
    // the double click.
    void clickRow(GridView &v, int row, bool twice = false)
    {
        const QPoint at = v.visualRect(v.model()->index(row, 1)).center();
        QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(v.viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

TEST_F(SessionTopologyTest,
       TheFirstSampleListsEverySessionTheNextOnesTheGrowthOfThoseActiveAndSampledBeforeSortedAndPaged)
{
    const QStringList lines = memo().toPlainText().split(QLatin1Char('\n'));
    EXPECT_EQ(lines.size(), 47);
    EXPECT_EQ(lines.at(3), QStringLiteral("sess.serial#, "));
    EXPECT_EQ(lines.at(9),
              QStringLiteral("sum(case when statn.name = 'CPU used by this session' then nvl(sql.value/100,0) "
                             "end) as \"cpu\","));
    EXPECT_TRUE(lines.contains(QStringLiteral("statn.inst_id = sql.inst_id and")));
    EXPECT_EQ(lines.last(), QStringLiteral("sess.serial#"));

    tick();
    ASSERT_EQ(sim.server.statements().size(), 1);
    EXPECT_EQ(sim.server.statements().at(0), lines.join(QLatin1Char('\n')));
    const ResultGrid &g = grid("sessres_grid"), &arc = grid("sessres_grid_arc"), &del = grid("sessres_grid_del");
    QSet<QString> kinds;
    for (int r = 1; r + 1 < g.rowCount(); ++r) {
        kinds << g.cell(0, r) + QLatin1Char(' ') + g.cell(6, r) + QLatin1Char(' ') + g.cell(4, r);
        EXPECT_NE(g.cell(7, r), QStringLiteral("tavimond")); // the system's own session is left out
        if (r > 1) {                                         // by instance and sid
            EXPECT_TRUE(g.cell(0, r - 1).toInt() < g.cell(0, r).toInt() ||
                        g.cell(1, r - 1).toInt() < g.cell(1, r).toInt());
        }
    }
    for (const char *k : {"1 USER ACTIVE", "1 USER INACTIVE", "1 BACKGROUND ACTIVE", "2 USER ACTIVE", "2 USER INACTIVE",
                          "2 BACKGROUND ACTIVE"})
        EXPECT_TRUE(kinds.contains(QLatin1String(k))) << k;
    EXPECT_EQ(g.row(g.rowCount() - 1), QStringList(15, QString())); // the spare row

    // No differences yet: one empty row and seven empty series.
    EXPECT_EQ(test::rowsOf(del), QList<QStringList>{QStringList(15, QString())});
    ASSERT_EQ(chart().seriesCount(), 7);
    for (int k = 0; k < 7; ++k)
        EXPECT_TRUE(chart().series(k).points().empty());

    // Then only sessions active now and sampled before get a difference.
    bool fewer = false, reused = false, grew = false;
    int previousRows = 0;
    for (int t = 0; t < 40; ++t) {
        tick();
        // Exactly those sessions, once each, and one empty row after them.
        const auto sid = [](const ResultGrid &grid, int r) { return grid.cell(0, r) + '/' + grid.cell(1, r); };
        QSet<QString> before, sidsBefore, expected, replaced;
        for (int a = 1; a < arc.rowCount(); ++a) {
            before << identity(arc, a);
            sidsBefore << sid(arc, a);
        }
        for (int r = 1; r < g.rowCount(); ++r) {
            if (g.cell(4, r) != QLatin1String("ACTIVE"))
                continue;
            if (before.contains(identity(g, r)))
                expected << identity(g, r);
            else if (sidsBefore.contains(sid(g, r)))
                replaced << sid(g, r);
        }
        QSet<QString> shown;
        for (int r = 1; r + 1 < del.rowCount(); ++r) {
            shown << identity(del, r);
            EXPECT_EQ(del.cell(4, r), QStringLiteral("ACTIVE"));
            // Each figure's growth is checked against the model by the seconds test below,
            // its clamping at 0 and its decimals by the figures test.
            grew = grew || del.cell(8, r).toDouble() > 0;
            if (r > 1) { // sorted by the first sort item, CPU, largest first
                EXPECT_GE(del.cell(8, r - 1).toDouble(), del.cell(8, r).toDouble());
            }
            // A sid taken over by a new session gives no row.
            EXPECT_FALSE(replaced.contains(sid(del, r)));
        }
        EXPECT_EQ(shown, expected) << "tick " << t;
        EXPECT_EQ(del.rowCount(), expected.size() + 2);
        EXPECT_EQ(del.row(del.rowCount() - 1), QStringList(15, QString()));
        fewer = fewer || (previousRows > 0 && expected.size() < previousRows);
        reused = reused || !replaced.isEmpty();
        previousRows = int(expected.size());
    }
    EXPECT_TRUE(fewer);
    EXPECT_TRUE(reused);
    EXPECT_TRUE(grew);

    int background = -1;
    for (int r = 1; r < g.rowCount() && background < 0; ++r)
        if (g.cell(6, r) == QLatin1String("BACKGROUND") && g.cell(0, r) == QLatin1String("2"))
            background = r;
    ASSERT_GT(background, 0);
    // Each figure is the session's one statistic in seconds, although gv$statname
    // names every statistic once per instance.
    const double cpu = centiseconds(g, background).at(0);
    ASSERT_GT(cpu, 0);
    EXPECT_DOUBLE_EQ(g.cell(8, background).toDouble(), cpu / 100);

    // Background sessions plotted too, sorted by parse time: twenty sessions a page.
    widget<QCheckBox>("exc_backsess").setChecked(false);
    widget<QComboBox>("sessres_combo").setCurrentIndex(6); // "Parse Time"
    tick();
    tick();
    QStringList expected;
    for (int r = 1; r + 1 < del.rowCount(); ++r) {
        expected << del.cell(0, r) + QStringLiteral("::") + del.cell(1, r);
        if (r > 1) {
            EXPECT_GE(del.cell(14, r - 1).toDouble(), del.cell(14, r).toDouble());
        }
    }
    ASSERT_GT(expected.size(), 30); // the background processes of both instances included
    EXPECT_EQ(pointLabels(), expected);
    showOnScreen();
    EXPECT_EQ(chartView().placesPerPage(), 20);
}

TEST_F(SessionTopologyTest, BarsAndTheCaptionUnderTheMouseShowTheSecondsEachSessionSpentSinceTheLastSample)
{
    tick();
    const ResultGrid &g = grid("sessres_grid"), &del = grid("sessres_grid_del");
    QHash<QString, std::vector<double>> before;
    for (int r = 1; r + 1 < g.rowCount(); ++r)
        before.insert(identity(g, r), centiseconds(g, r));
    tick();
    showOnScreen();
    // Each figure, and each bar of a user session, is the model's centiseconds grown
    // since then, in seconds.
    size_t bar = 0;
    int top = 0;
    for (int r = 1; r + 1 < del.rowCount(); ++r) {
        int now = 1;
        while (identity(g, now) != identity(del, r))
            ++now;
        const std::vector<double> after = centiseconds(g, now), then = before.value(identity(del, r));
        ASSERT_EQ(then.size(), 7u);
        const bool plotted = del.cell(6, r) == QLatin1String("USER");
        for (int k = 0; k < 7; ++k) {
            EXPECT_NEAR(del.cell(8 + k, r).toDouble(), (after[size_t(k)] - then[size_t(k)]) / 100, 1e-9);
            if (plotted) {
                ASSERT_LT(bar, chart().series(k).points().size());
                EXPECT_EQ(chart().series(k).points()[bar].value, del.cell(8 + k, r).toDouble());
            }
        }
        if (plotted && bar++ == 0)
            top = r;
    }
    ASSERT_EQ(bar, chart().series(0).points().size());
    ASSERT_GT(top, 0);
    EXPECT_GT(del.cell(8, top).toDouble(), 1); // seconds of CPU in a 30-second sample
    // Hovering over the top bar names its session and shows its seconds.
    QTest::mouseMove(chartView().viewport(), chartView().pointPosition(0, 0).value().toPoint());
    EXPECT_EQ(label("instsidcap"), "Inst-SID: " + del.cell(0, top) + "::" + del.cell(1, top));
    EXPECT_EQ(label("cpucap"), "CPU: " + del.cell(8, top));

    // The Cluster Wait bars are white on the white chart. Down through the middle of
    // each, its edges above and below stand out from white as much as a drawing must to
    // be seen (a contrast of 3:1), and its inside stays white.
    const QImage shown = chartView().viewport()->grab().toImage();
    const QColor white = QColor::fromRgb(QRgb(0xFFFFFFFF));
    int seen = 0;
    for (const ChartPlot::Bar &b : chartView().plot().bars()) {
        if (b.series != 4 || !chartView().plot().plotRect().contains(b.rect.center()))
            continue;
        const QRect at =
            chartView().viewportTransform().mapRect(chartView().chart()->mapRectToScene(b.rect)).toAlignedRect();
        QList<bool> edge;
        for (int y = at.top() - 1; y <= at.bottom() + 1; ++y)
            edge << (test::contrast(white, shown.pixelColor(at.center().x(), y)) >= 3);
        EXPECT_TRUE(edge.mid(0, edge.size() / 2).contains(true) && edge.mid(edge.size() / 2).contains(true))
            << pointLabels(4).value(b.point).toStdString();
        EXPECT_EQ(shown.pixelColor(at.center()), white);
        ++seen;
    }
    EXPECT_GT(seen, 3);
}

TEST_F(SessionTopologyTest,
       FiguresAreReadAsNumbersWrittenInPlainNotationAndPlottedForUserSessionsAndUnexcludedBackgroundOnes)
{
    useRows({"1|10|5|abc::123|ACTIVE|APP|USER|JDBC Thin Client|10.01|0.3|| |0|0|0",
             "1|11|8|abc::123|ACTIVE|APP|USER|JDBC Thin Client|2|1|| |0|0|0"});
    tick();
    EXPECT_EQ(grid("sessres_grid").row(1).mid(10, 2), (QStringList{"0", "0"})); // NULL and a blank read as 0
    useRows({"1|10|5|abc::123|ACTIVE|APP|USER|JDBC Thin Client|12.34|0.1|| |0|0|0",
             "1|11|9|abc::123|ACTIVE|APP|USER|JDBC Thin Client|3|1|| |0|0|0"});
    tick();
    const ResultGrid &del = grid("sessres_grid_del");
    ASSERT_EQ(del.rowCount(), 3); // sid 11 is a new session under serial# 9: no row yet
    // The growth of decimals without binary noise (12.34 - 10.01 is 2.3299999999999983).
    EXPECT_EQ(del.row(1).mid(0, 11),
              (QStringList{"1", "10", "5", "abc::123", "ACTIVE", "APP", "USER", "JDBC Thin Client", "2.33", "0", "0"}));
    // A small growth reads in plain notation, in the grid and under the mouse.
    useRows({"1|10|5|abc::123|ACTIVE|APP|USER|JDBC Thin Client|12.340084|0.1|| |0|0|0"});
    tick();
    EXPECT_EQ(del.cell(8, 1), QStringLiteral("0.000084"));
    showOnScreen();
    QTest::mouseMove(chartView().viewport(), chartView().pointPosition(0, 0).value().toPoint());
    EXPECT_EQ(label("cpucap"), QStringLiteral("CPU: 0.000084"));

    // A figure that is not a number ends the sample with the conversion error; what the
    // sample did before stays.
    useRows({"1|10|5|abc::123|ACTIVE|APP|USER|JDBC Thin Client|0,9|0.1|| |0|0|0"});
    try {
        tick();
        ADD_FAILURE() << "the sample must fail";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("'0,9' is not a valid floating point value"));
    }
    EXPECT_EQ(grid("sessres_grid").cell(8, 1), QStringLiteral("0,9"));
    EXPECT_EQ(del.rowCount(), 2);

    // Background sessions are plotted only while not excluded.
    useRows({"1|1|3|::|ACTIVE||BACKGROUND|oracle|1|1|1|1|1|1|1", "1|2|3|::|ACTIVE||USER|oracle|1|1|1|1|1|1|1",
             "1|3|3|::|ACTIVE||RECURSIVE|oracle|1|1|1|1|1|1|1"});
    tick();
    useRows({"1|1|3|::|ACTIVE||BACKGROUND|oracle|4|1|1|1|1|1|1", "1|2|3|::|ACTIVE||USER|oracle|3|1|1|1|1|1|1",
             "1|3|3|::|ACTIVE||RECURSIVE|oracle|2|1|1|1|1|1|1"});
    tick();
    EXPECT_TRUE(widget<QCheckBox>("exc_backsess").isChecked());
    EXPECT_EQ(grid("sessres_grid_del").rowCount(), 5); // in the grid like any other
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(pointLabels(k), QStringList{"1::2"}) << k;

    // Unticked, from the next sample on; a type other than these two is never plotted.
    widget<QCheckBox>("exc_backsess").setChecked(false);
    EXPECT_EQ(pointLabels(), QStringList{"1::2"});
    useRows({"1|1|3|::|ACTIVE||BACKGROUND|oracle|7|1|1|1|1|1|1", "1|2|3|::|ACTIVE||USER|oracle|4|1|1|1|1|1|1",
             "1|3|3|::|ACTIVE||RECURSIVE|oracle|3|1|1|1|1|1|1"});
    tick();
    EXPECT_EQ(pointLabels(), (QStringList{"1::1", "1::2"}));
    EXPECT_EQ(chart().series(0).points()[0].value, 3);
}

TEST_F(SessionTopologyTest, ARowClickedOrReachedWithTheKeysChoosesItsSessionForTheOtherTabsAndASampleChoosesNone)
{
    const QString a = "1|11|5|a::1|ACTIVE|APP|USER|x|1|1|1|1|1|1|1", b = "1|12|6|::|ACTIVE|APP|USER|x|1|1|1|1|1|1|1";
    useRows({a, b, "1|13|5|c::3|ACTIVE|APP|USER|x|1|1|1|1|1|1|1", "2|14|5|d::4|ACTIVE|APP|USER|x|1|1|1|1|1|1|1"});
    tick();
    tick();
    showOnScreen();
    click("RadioButton31");
    EXPECT_TRUE(widget<QGroupBox>("sessdesc_panel").isVisible());
    EXPECT_FALSE(widget<QGroupBox>("sessres_panel").isVisible());
    const QStringList first{"1", "11", "5", "1", "11", "5", "a", "1"}, second{"1", "12", "6", "1", "12", "6", "", ""},
        last{"2", "14", "5", "2", "14", "5", "d", "4"};
    GridView &view = widget<GridView>("sessres_grid");
    // Tab passing through the grid marks its first row and chooses no session; the keys
    // and the mouse do.
    view.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.currentIndex().row(), 0);
    EXPECT_EQ(chosen(), QStringList(8, QString()));
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(chosen(), second); // a session without a statement: its key's parts empty
    clickRow(view, 0);
    EXPECT_EQ(chosen(), first);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(chosen(), second);
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(chosen(), last);
    // Ctrl and an arrow move the current row without selecting it: the session that
    // shows on the other tabs is the row highlighted all the same, and the only one.
    const auto highlighted = [&view] {
        QList<int> rows;
        for (const QModelIndex &i : view.selectionModel()->selectedRows())
            rows << i.row();
        return rows;
    };
    QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(chosen(), (QStringList{"1", "13", "5", "1", "13", "5", "c", "3"}));
    EXPECT_EQ(highlighted(), QList<int>{2});
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(chosen(), last);
    EXPECT_EQ(highlighted(), QList<int>{3});
    // Ctrl and a click still add a row to those highlighted, as in any grid.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view.visualRect(view.model()->index(1, 1)).center());
    EXPECT_EQ(chosen(), second);
    EXPECT_EQ(highlighted(), (QList<int>{3, 1}));
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(chosen(), last);

    // Two sessions gone: the sample takes the current row off the last session, and the
    // session chosen stays; the keys choose again.
    useRows({a, b});
    tick();
    EXPECT_EQ(view.currentIndex().row(), 2);
    EXPECT_EQ(chosen(), last);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_EQ(chosen(), second);
    clickRow(view, 2, true); // the empty last row empties all eight
    EXPECT_EQ(chosen(), QStringList(8, QString()));

    // On the delta grid a click copies nothing; a double click or Return copies the row.
    GridView &deltas = widget<GridView>("sessres_grid_del");
    const int atFirst = grid("sessres_grid_del").cell(1, 1) == QLatin1String("11") ? 0 : 1;
    clickRow(deltas, 1 - atFirst);
    EXPECT_EQ(chosen(), QStringList(8, QString()));
    clickRow(deltas, 1 - atFirst, true);
    EXPECT_EQ(chosen(), second);
    clickRow(deltas, atFirst);
    EXPECT_EQ(chosen(), second);
    QTest::keyClick(&deltas, Qt::Key_Return);
    EXPECT_EQ(chosen(), first);

    click("RadioButton30");
    EXPECT_FALSE(widget<QGroupBox>("sessdesc_panel").isVisible());
    EXPECT_TRUE(widget<QGroupBox>("sessres_panel").isVisible());
    EXPECT_TRUE(sink().errors.isEmpty());
}

namespace {

struct Key {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

void PrintTo(const Key &key, std::ostream *out)
{
    *out << key.name;
}

class SessionTopologyKeyTest : public SessionTopologyTest, public ::testing::WithParamInterface<Key> {};

} // namespace

// Tab into the grid marks its first row and chooses nothing, so the row does not look
// chosen; a key that leaves the current row where it is chooses it.
TEST_P(SessionTopologyKeyTest, TabMarksTheFirstRowUnchosenAndAKeyThatStaysOnItChoosesIt)
{
    useRows({"1|11|5|a::1|ACTIVE|APP|USER|x|1|1|1|1|1|1|1", "1|12|6|::|ACTIVE|APP|USER|x|1|1|1|1|1|1|1"});
    tick();
    showOnScreen();
    click("RadioButton31");
    GridView &view = widget<GridView>("sessres_grid");
    ASSERT_TRUE(test::tabTo(view));
    EXPECT_EQ(view.currentIndex().row(), 0);
    EXPECT_FALSE(view.selectionModel()->hasSelection());
    EXPECT_EQ(chosen(), QStringList(8, QString()));

    QTest::keyClick(&view, GetParam().key, GetParam().modifiers);
    EXPECT_EQ(chosen(), (QStringList{"1", "11", "5", "1", "11", "5", "a", "1"}));
    EXPECT_EQ(view.currentIndex().row(), 0);
    const QModelIndexList rows = view.selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0).row(), 0);
    // Tab still leaves the grid.
    QTest::keyClick(&view, Qt::Key_Tab);
    EXPECT_FALSE(view.hasFocus());
    EXPECT_TRUE(sink().errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Keys, SessionTopologyKeyTest,
                         ::testing::Values(Key{"Space", Qt::Key_Space},
                                           Key{"CtrlSpace", Qt::Key_Space, Qt::ControlModifier},
                                           Key{"Home", Qt::Key_Home}, Key{"End", Qt::Key_End}, Key{"Up", Qt::Key_Up},
                                           Key{"PageUp", Qt::Key_PageUp}, Key{"Left", Qt::Key_Left},
                                           Key{"Right", Qt::Key_Right}, Key{"Return", Qt::Key_Return}),
                         [](const ::testing::TestParamInfo<Key> &info) { return std::string(info.param.name); });

TEST_F(SessionTopologyTest, TheBarUnderTheMouseFillsTheCaptionsAndSeriesSwitchedOffKeepTheirValues)
{
    // Two sessions under one label: each keeps a bar of its own.
    useRows({"1|7|1|::|ACTIVE|APP|USER|x|1|1|2|3|4|5|6", "1|7|2|::|ACTIVE|APP|USER|x|1|1|2|3|4|5|6",
             "1|9|1|::|ACTIVE|APP|USER|x|1|1|2|3|4|5|6"});
    tick();
    useRows({"1|7|1|::|ACTIVE|APP|USER|x|1.25|1|2|3|4|5|6", "1|7|2|::|ACTIVE|APP|USER|x|3|1|2|3|4|5|6",
             "1|9|1|::|ACTIVE|APP|USER|x|1.5|1|2|3|4|5|6"});
    tick();
    showOnScreen();
    EXPECT_EQ(pointLabels(), (QStringList{"1::7", "1::9", "1::7"}));
    QSet<double> rows;
    for (const auto &b : chartView().plot().bars())
        rows << b.rect.center().y();
    EXPECT_EQ(rows.size(), 3);

    const auto hover = [&](int series, int point) {
        const auto at = chartView().pointPosition(series, point);
        ASSERT_TRUE(at.has_value());
        QTest::mouseMove(chartView().viewport(), at->toPoint());
    };
    hover(3, 1); // the concurrency part of the second bar
    EXPECT_EQ(label("instsidcap"), QStringLiteral("Inst-SID: 1::9"));
    EXPECT_EQ(label("cpucap"), QStringLiteral("CPU: 0.5"));
    EXPECT_EQ(label("iocap"), QStringLiteral("I/O: 0"));
    EXPECT_EQ(label("parsecap"), QStringLiteral("Parse:0"));
    hover(0, 2);
    EXPECT_EQ(label("cpucap"), QStringLiteral("CPU: 0.25"));
    // Away from the bars the captions stay.
    QTest::mouseMove(chartView().viewport(), QPoint(3, 3));
    EXPECT_EQ(label("cpucap"), QStringLiteral("CPU: 0.25"));
    shoot("session_topology.png");

    // A series switched off keeps its values; the legend names the others.
    ASSERT_EQ(chart().series(1).points().size(), 3u);
    click("sessres_io_cb");
    EXPECT_FALSE(chart().series(1).active());
    EXPECT_EQ(chart().series(1).points().size(), 3u);
    EXPECT_EQ(chart().legendTexts(), (QStringList{"CPU Time ", "Application Wait", "Concurrency Wait", "Cluster Wait",
                                                  "Redo Sync Time", "Parse Time"}));
    // It lasts: the next sample applies the boxes again.
    tick();
    EXPECT_FALSE(chart().series(1).active());
    click("sessres_io_cb");
    EXPECT_TRUE(chart().series(1).active());

    // With one series left the legend names it on its first entry only.
    for (const char *box :
         {"sessres_io_cb", "sessres_app_cb", "sessres_conc_cb", "sessres_clust_cb", "sessres_pl_cb", "sessres_java_cb"})
        click(box);
    showOnScreen();
    const auto &legend = chartView().legend();
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[0].text, QStringLiteral("CPU Time "));
    EXPECT_EQ(legend[1].text + legend[2].text, QString());
}

TEST_F(SessionTopologyTest, ASessionChosenHereHasItsStatementTextOnTheSqlTextTab)
{
    // Every session of the simulated instance that runs a statement, whichever it is.
    tick();
    tick();
    showOnScreen();
    click("RadioButton31");
    const ResultGrid &g = grid("sessres_grid");
    int chosen = 0;
    for (int r = 1; r < g.rowCount(); ++r) {
        if (g.cell(3, r).startsWith(QLatin1String("::")) || g.cell(0, r).isEmpty())
            continue;
        clickRow(widget<GridView>("sessres_grid"), r - 1);
        ASSERT_EQ(edit("sesssqlid") + QStringLiteral("::") + edit("sessexecplan"), g.cell(3, r));
        screen.sqlText()->Button23Click();
        EXPECT_FALSE(widget<QPlainTextEdit>("sqltextmemo").toPlainText().isEmpty()) << g.cell(1, r).toStdString();
        ++chosen;
    }
    EXPECT_GT(chosen, 2);
    EXPECT_TRUE(sink().errors.isEmpty());
    EXPECT_TRUE(sink().infos.isEmpty());
}
