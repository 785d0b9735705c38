#include "common/screen_support.h"

#include "db/error.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/sql_workload.h"
#include "history/sql_topology_screen.h"
#include "ui/script_memo.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <map>

using namespace tavimond;
using namespace tavimond::test;

namespace {

// The script as the screen builds it for the last day.
const QStringList kDayScript{
    "select x.sql_id||'::'||x.plan_hash_value, ",
    "sum(x.executions_delta),",
    "sum(x.elapsed_time_delta)/1000000, ",
    "sum(x.cpu_time_delta)/1000000, ",
    "sum(x.sorts_delta),",
    "sum(x.rows_processed_delta),",
    "sum(x.disk_reads_delta),",
    "sum(x.IOWAIT_DELTA)/1000000,",
    "sum(x.CLWAIT_DELTA)/1000000,",
    "sum(x.APWAIT_DELTA)/1000000,",
    "sum(x.CCWAIT_DELTA)/1000000",
    "from ",
    "(select snap_id,",
    "      sql_id,",
    "      plan_hash_value,",
    "     executions_delta,",
    "     elapsed_time_delta,",
    "     cpu_time_delta,",
    "      sorts_delta,",
    "      rows_processed_delta,",
    "      disk_reads_delta,",
    "      IOWAIT_DELTA,",
    "      CLWAIT_DELTA,",
    "      APWAIT_DELTA,",
    "      CCWAIT_DELTA ",
    "     from dba_hist_sqlstat) x, ",
    "(select snap_id,",
    "      max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI')) as start_time, ",
    "      max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI')) as end_time ",
    "      from dba_hist_snapshot ",
    "        where begin_interval_time >= sysdate - 1",
    "      group by snap_id ) s  ",
    "where s.snap_id = x.snap_id  ",
    "group by x.sql_id||'::'||x.plan_hash_value ",
    "having sum(x.elapsed_time_delta) > 0  ",
    "order by x.sql_id||'::'||x.plan_hash_value ",
};

// What the repository holds for a window, summed per statement and plan: executions,
// elapsed and CPU microseconds.
std::map<QString, std::array<qint64, 3>> sumsFromTheModel(sim::Model &model, const QDateTime &from, const QDateTime &to)
{
    const auto &repository = model.state<sim::Repository>();
    QSet<qint64> ids;
    for (const auto &s : repository.snapshots())
        if (s.begin >= from && s.end <= to)
            ids.insert(s.snapId);
    std::map<QString, std::array<qint64, 3>> out;
    std::vector<sim::SqlWorkload::Row> rows;
    for (const auto &s : repository.snapshots()) {
        if (!ids.contains(s.snapId))
            continue;
        rows.clear();
        model.state<sim::SqlWorkload>().rowsOf(s, rows);
        for (const auto &r : rows) {
            auto &acc = out[r.sql->sqlId + "::" + QString::number(r.planHashValue)];
            acc[0] += r.executions;
            acc[1] += r.elapsed;
            acc[2] += r.cpu;
        }
    }
    return out;
}

class SqlTopology : public ::testing::Test {
protected:
    SqlTopology()
    {
        // A day and a half into the clock: the window of the last day holds 24 snapshots.
        h.sim.server.model().advance(36 * 3600);
    }
    ResultGrid &grid() { return h.grid("SQL_top_Grid"); }
    QLineEdit &edit(const char *name) { return h.widget<QLineEdit>(name); }
    void retrieve() { h.click("Button13"); }
    // The grid holds a row per statement and plan with elapsed time in the window, ordered
    // by key, with the sums the repository holds.
    void expectTheRepositorysSums(const QDateTime &from, const QDateTime &to)
    {
        const auto sums = sumsFromTheModel(h.sim.server.model(), from, to);
        int expectedRows = 0;
        for (const auto &[key, acc] : sums)
            expectedRows += acc[1] > 0;
        ASSERT_EQ(grid().rowCount(), expectedRows + 1); // the header, no spare row after the trim
        for (int r = 1; r < grid().rowCount(); ++r) {
            const auto &acc = sums.at(grid().cell(0, r));
            EXPECT_EQ(grid().cell(1, r).toLongLong(), acc[0]) << grid().cell(0, r).toStdString();
            EXPECT_DOUBLE_EQ(grid().cell(2, r).toDouble(), double(acc[1]) / 1e6);
            EXPECT_DOUBLE_EQ(grid().cell(3, r).toDouble(), double(acc[2]) / 1e6);
            if (r > 1) {
                EXPECT_LT(grid().cell(0, r - 1), grid().cell(0, r));
            }
        }
    }

    ScreenHarness<SqlTopologyScreen> h;
};

} // namespace

TEST_F(SqlTopology, TheScriptForTheLastDaysOrAFromToWindowGivesTheRepositorysSumsARowPerPlan)
{
    // Before the first run the memo holds the default script, so that ticking the box
    // first runs it.
    EXPECT_EQ(memoLines(h.memo("sql_top_text")), kDayScript);
    retrieve();
    EXPECT_EQ(memoLines(h.memo("sql_top_text")), kDayScript);
    EXPECT_EQ(h.sim.server.statements().last(), kDayScript.join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 30);
    EXPECT_GT(grid().rowCount(), 20);

    // Over 14 days the statement that changed its plan has a row per plan.
    auto &model = h.sim.server.model();
    const auto &two = model.state<sim::SqlWorkload>().statements().at(sim::SqlWorkload::kTwoPlansIndex);
    ASSERT_EQ(two.plans.size(), 2u);
    edit("dayret2").setText("14");
    retrieve();
    expectTheRepositorysSums(model.now().addDays(-14), model.now());
    QStringList keys,
        expected{two.sqlId + "::" + QString::number(two.plans[0]), two.sqlId + "::" + QString::number(two.plans[1])};
    for (int r = 1; r < grid().rowCount(); ++r)
        if (grid().cell(0, r).startsWith(two.sqlId + "::"))
            keys << grid().cell(0, r);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(keys, expected);

    h.widget<QRadioButton>("sqlfromto2").setChecked(true);
    edit("sqlfromdate2").setText("30/NOV/2026 08:00:00");
    edit("sqltodate2").setText("30/nov/2026 20:10:00");
    retrieve();
    QStringList fromTo = kDayScript;
    fromTo.replace(30, "        where begin_interval_time >= to_date('30/NOV/2026 08:00:00','DD/MON/YYYY HH24:MI:SS')");
    fromTo.insert(31, "          and end_interval_time <=   to_date('30/nov/2026 20:10:00','DD/MON/YYYY HH24:MI:SS')");
    ASSERT_EQ(fromTo.size(), 37);
    EXPECT_EQ(memoLines(h.memo("sql_top_text")), fromTo);
    // Twelve snapshots; the figures are those the repository holds for them.
    expectTheRepositorysSums(QDateTime(QDate(2026, 11, 30), QTime(8, 0), Qt::UTC),
                             QDateTime(QDate(2026, 11, 30), QTime(20, 10), Qt::UTC));
}

TEST_F(SqlTopology, EachRadioSortsItsOwnColumnStablyTheKeyRadioByCodePointAndClearAllEmptiesTheGrid)
{
    const QStringList headers = grid().headers();
    edit("dayret2").setText("3");
    retrieve();
    ResultGrid &g = grid();
    ASSERT_GT(g.rowCount(), 30);
    // The user edits three keys: the key sort puts capitals before small letters.
    g.setCell(0, 1, "~b::1");
    g.setCell(0, 2, "~a::1");
    g.setCell(0, 3, "~B::1");
    const std::pair<const char *, int> radios[] = {
        {"RadioButton10", 1}, {"RadioButton11", 2}, {"RadioButton12", 3}, {"RadioButton13", 4}, {"RadioButton14", 5},
        {"RadioButton16", 6}, {"RadioButton15", 7}, {"RadioButton17", 8}, {"RadioButton18", 9}, {"RadioButton19", 10}};
    for (const auto &[radio, column] : radios) {
        const QList<QStringList> before = rowsOf(g);
        h.click(radio);
        const QList<QStringList> after = rowsOf(g);
        ASSERT_EQ(after.size(), before.size()) << radio;
        for (int i = 1; i < after.size(); ++i) {
            const double previous = after[i - 1][column].toDouble(), value = after[i][column].toDouble();
            ASSERT_GE(previous, value) << radio << " row " << i;
            // Equal values keep the order they had before the click.
            if (previous == value) {
                EXPECT_LT(before.indexOf(after[i - 1]), before.indexOf(after[i])) << radio << " row " << i;
            }
        }
    }
    h.click("RadioButton9");
    const int last = g.rowCount() - 1;
    EXPECT_EQ(g.cell(0, last - 2), "~B::1");
    EXPECT_EQ(g.cell(0, last - 1), "~a::1");
    EXPECT_EQ(g.cell(0, last), "~b::1");
    for (int r = 2; r < g.rowCount(); ++r)
        EXPECT_LT(g.cell(0, r - 1), g.cell(0, r));

    // Clear All rewrites the headers, leaves two rows and selects the key radio.
    h.click("RadioButton11");
    g.setCell(2, 0, "edited");
    h.click("Button19");
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.headers(), headers);
    EXPECT_EQ(g.row(1).join(""), "");
    EXPECT_TRUE(h.widget<QRadioButton>("RadioButton9").isChecked());
}

TEST_F(SqlTopology, TheRadiosStandOverTheirColumnsAsTheyAreResizedAndScrolled)
{
    auto &view = h.widget<GridView>("SQL_top_Grid");
    h.screen.resize(900, 600);
    QApplication::processEvents();
    auto radioOver = [&](const char *radio, int column) {
        auto &r = h.widget<QRadioButton>(radio);
        const int x = r.mapToGlobal(r.rect().center()).x();
        const int right = view.viewport()
                              ->mapToGlobal(QPoint(view.horizontalHeader()->sectionViewportPosition(column) +
                                                       view.horizontalHeader()->sectionSize(column),
                                                   0))
                              .x();
        return r.isVisible() && x < right && x > right - view.horizontalHeader()->sectionSize(column) / 2;
    };
    EXPECT_TRUE(radioOver("RadioButton9", 0));
    EXPECT_TRUE(radioOver("RadioButton16", 6));
    EXPECT_TRUE(radioOver("RadioButton15", 7));
    view.setColumnWidth(0, 300);
    QApplication::processEvents();
    EXPECT_TRUE(radioOver("RadioButton10", 1));
    EXPECT_TRUE(radioOver("RadioButton19", 10) || !h.widget<QRadioButton>("RadioButton19").isVisible());
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_TRUE(radioOver("RadioButton19", 10));
    EXPECT_FALSE(h.widget<QRadioButton>("RadioButton9").isVisible());
}

TEST_F(SqlTopology, ATickedBoxRunsTheEditedScriptUnchangedAndWhatCannotBeSentLeavesTheGrid)
{
    h.widget<QCheckBox>("mtn_dyn_sql").setChecked(true);
    QStringList edited = kDayScript;
    edited[30] = "        where begin_interval_time >= sysdate - 2";
    edited.insert(0, "-- the last two days");
    h.memo("sql_top_text").setPlainText(edited.join('\n'));
    edit("dayret2").setText("7");
    retrieve();
    EXPECT_EQ(h.sim.server.statements().last(), edited.join('\n'));
    EXPECT_EQ(memoLines(h.memo("sql_top_text")), edited);
    expectTheRepositorysSums(h.sim.server.model().now().addDays(-2), h.sim.server.model().now());

    // Days that are no number are refused before the grid is cleared.
    const QList<QStringList> rows = rowsOf(grid());
    ASSERT_GT(rows.size(), 20);
    h.widget<QCheckBox>("mtn_dyn_sql").setChecked(false);
    edit("dayret2").setText("one");
    retrieve();
    EXPECT_EQ(h.sink().errors,
              QStringList{"Days must be a number of days, or arithmetic of numbers such as 0.5, 1/24 or 7*2."});
    EXPECT_EQ(rowsOf(grid()), rows);

    // An edited script that would write is refused: the error box says what, nothing is sent.
    h.sink().clear();
    const int sent = int(h.sim.server.statements().size());
    h.widget<QCheckBox>("mtn_dyn_sql").setChecked(true);
    h.memo("sql_top_text").setPlainText("with x as (select 1 from dual)\ndelete from sys.aud$");
    retrieve();
    EXPECT_EQ(h.sink().errors,
              QStringList{"The statement was not sent: its WITH clause leads to DELETE, not to SELECT."});
    EXPECT_EQ(h.sim.server.statements().size(), sent);
}

TEST_F(SqlTopology, TheWaitCursorStandsWhileTheDatabaseWorksAndGoesHoweverItEnds)
{
    std::optional<Qt::CursorShape> during;
    bool fail = false;
    h.sim.server.add({"watch", [](const sim::Statement &s) { return s.has("from dba_hist_sqlstat ) x"); },
                      [&](const sim::Statement &, sim::Context &) -> sim::Result {
                          if (const QCursor *c = QApplication::overrideCursor())
                              during = c->shape();
                          if (fail)
                              throw DbError("ORA-01013: user requested cancel of current operation");
                          return std::make_shared<sim::Table>(QStringList(11, "C"));
                      }});
    for (const bool failing : {false, true}) {
        during.reset();
        fail = failing;
        retrieve();
        EXPECT_EQ(during, Qt::WaitCursor) << failing;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << failing;
    }
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01013: user requested cancel of current operation"});
}

TEST_F(SqlTopology, ByKeyboardTheArrowsMoveInTheGridACellIsTypedOverAndTabLeavesItEvenFromAnEdit)
{
    retrieve();
    auto &view = h.widget<GridView>("SQL_top_Grid");
    const QModelIndex cell = view.model()->index(1, 2);
    // A click on a cell, then the arrows: down a row and back, right a column and back.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(cell).center());
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.currentIndex(), view.model()->index(2, 2));
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Left);
    ASSERT_EQ(view.currentIndex(), cell);
    // Keys go where the focus is: the first opens the cell's edit.
    const auto type = [](const char *text) {
        for (const char *c = text; *c; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
    };
    // Typed over, the cell keeps its text when Tab leaves the edit, and leaves the grid.
    type("42");
    QWidget *editor = QApplication::focusWidget();
    ASSERT_TRUE(view.isAncestorOf(editor));
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(grid().cell(2, 2), "42");
    QWidget *after = QApplication::focusWidget();
    EXPECT_FALSE(after == &view || view.isAncestorOf(after));
    EXPECT_TRUE(qobject_cast<QRadioButton *>(after)) << after->metaObject()->className();
    // Shift+Tab comes back to the grid, Tab leaves it again; from an edit Shift+Tab
    // leaves it the other way.
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), &view);
    QTest::keyClick(&view, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    type("7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(grid().cell(2, 2), "7");
    EXPECT_EQ(QApplication::focusWidget(), &h.widget<QCheckBox>("mtn_dyn_sql"));
    EXPECT_EQ(h.sink().errors, QStringList());
}
