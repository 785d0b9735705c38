#include "common/screen_support.h"
#include "common/temp_folder.h"

#include "core/chart.h"
#include "db/sim/repository/active_session_history.h"
#include "db/sim/repository/awr_plans.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/sql_workload.h"
#include "db/timestamp_text.h"
#include "history/sql_history_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <map>

using namespace tavimond;
using namespace tavimond::test;

namespace {

// The wait statement as the screen builds it for a sql_id over the last N days.
QStringList waitLines(const QString &sqlId, const QString &days, const QString &terms = {})
{
    return {"select x.session_id,x.SESSION_SERIAL#,x.sql_id||'::'||x.SQL_PLAN_HASH_VALUE,",
            "min(x.sample_time), max(x.sample_time),x.event" + terms,
            ",count(*) , sum(x.time_waited)/1000000 from ",
            "(select snap_id,SESSION_ID,SESSION_SERIAL#,sql_id,SQL_PLAN_HASH_VALUE, ",
            "event,sample_time,time_waited,p1text,p1,p2text,p2,p3text,p3 from dba_hist_active_sess_history where ",
            "sql_id = '" + sqlId + "'",
            ") x, ",
            "(select snap_id from dba_hist_snapshot ",
            "        where begin_interval_time >= sysdate - " + days,
            "group by snap_id ) s",
            "where s.snap_id = x.snap_id",
            "group by x.session_id,x.SESSION_SERIAL#,x.sql_id||'::'||x.SQL_PLAN_HASH_VALUE,x.event " + terms,
            "order by x.session_id,x.SESSION_SERIAL#,x.sql_id||'::'||x.SQL_PLAN_HASH_VALUE,x.event" + terms};
}

// What the repository's samples of a statement give per session, serial#, key and
// event text: the detail rows in their order, as texts.
using EventText = std::function<QString(const sim::ActiveSessionHistory::Sample &)>;
QList<QStringList> detailFromTheModel(sim::Model &model, const QString &sqlId, const QDateTime &from,
                                      const EventText &eventText)
{
    const auto &repository = model.state<sim::Repository>();
    const auto &workload = model.state<sim::SqlWorkload>();
    const size_t index = size_t(workload.find(sqlId) - workload.statements().data());
    QSet<qint64> ids;
    for (const auto &s : repository.snapshots())
        if (s.begin >= from)
            ids.insert(s.snapId);
    struct Acc {
        QDateTime first, last;
        qint64 samples = 0, waited = 0;
    };
    // Sorted as the statement orders: numbers as numbers, texts as texts, no event last.
    std::map<std::tuple<int, int, QString, bool, QString>, Acc> groups;
    std::vector<sim::ActiveSessionHistory::Sample> samples;
    for (const auto &s : repository.snapshots()) {
        if (!ids.contains(s.snapId))
            continue;
        samples.clear();
        model.state<sim::ActiveSessionHistory>().samplesOf(s, index, samples);
        for (const auto &x : samples) {
            const QString text = eventText(x);
            Acc &a = groups[{x.sessionId, x.serial, sqlId + "::" + QString::number(x.planHashValue), text.isEmpty(), text}];
            a.first = a.samples ? std::min(a.first, x.time) : x.time;
            a.last = a.samples ? std::max(a.last, x.time) : x.time;
            ++a.samples;
            a.waited += x.timeWaited;
        }
    }
    QList<QStringList> out;
    for (const auto &[g, a] : groups)
        out << QStringList{QString::number(std::get<0>(g)), QString::number(std::get<1>(g)), std::get<2>(g),
                           timestampText(a.first), timestampText(a.last), std::get<4>(g), QString::number(a.samples),
                           sim::microsAsSeconds(a.waited)};
    return out;
}

class SqlWaitsAndText : public ::testing::Test {
protected:
    ResultGrid &detail() { return h.grid("sql_ash_grid"); }
    ResultGrid &summary() { return h.grid("sql_ash_grid_summ"); }
    QComboBox &combo(const char *name = "sqlid_combo") { return h.widget<QComboBox>(name); }
    Chart &pie(const char *name) { return *h.screen.findChild<Chart *>(name); }
    std::vector<std::pair<QString, double>> slices(const char *name)
    {
        std::vector<std::pair<QString, double>> out;
        for (const auto &p : pie(name).series(0).points())
            out.emplace_back(p.label, p.value);
        return out;
    }
    const sim::SqlWorkload::Sql &statement(int index)
    {
        return h.sim.server.model().state<sim::SqlWorkload>().statements().at(size_t(index));
    }
    // Statistics of one statement over the last `days` days, then the wait statistics.
    void retrieve(const QString &sqlId, const QString &days)
    {
        h.widget<QLineEdit>("dayret").setText(days);
        h.widget<QLineEdit>("adhoc_sqlid").setText(sqlId);
        h.click("Button101");
        h.click("RadioButton21");
    }
    // The summary as the detail rows give it: per key and event, in order of first
    // appearance, counts and times summed.
    static QList<QStringList> summed(const QList<QStringList> &rows)
    {
        QList<QStringList> out;
        for (const QStringList &r : rows) {
            auto it = std::find_if(out.begin(), out.end(), [&](const QStringList &s) { return s[0] == r[2] && s[1] == r[5]; });
            if (it == out.end())
                out << QStringList{r[2], r[5], r[6], r[7]};
            else
                *it = QStringList{r[2], r[5], QString::number(it->at(2).toDouble() + r[6].toDouble(), 'g', 15),
                                  QString::number(it->at(3).toDouble() + r[7].toDouble(), 'g', 15)};
        }
        return out;
    }
    // The user types a key into a combo.
    void typeKey(const char *name, const QString &text)
    {
        QLineEdit *edit = combo(name).lineEdit();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    ScreenHarness<SqlHistoryScreen> h;
};

} // namespace

TEST_F(SqlWaitsAndText, TheWaitsOfAStatementPerSessionPlanAndEventWithTheirSummaryAndPies)
{
    const auto &two = statement(sim::SqlWorkload::kTwoPlansIndex);
    retrieve(two.sqlId, "14");
    ASSERT_EQ(combo().count(), 2);
    h.sim.server.clearStatements();
    h.click("Button42");
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(memoLines(h.memo("sql_ash_text")), waitLines(two.sqlId, "14"));
    EXPECT_EQ(h.sim.server.statements(), QStringList{waitLines(two.sqlId, "14").join('\n')});
    EXPECT_EQ(h.sim.server.timeouts(), QList<int>{30});

    auto &model = h.sim.server.model();
    const QList<QStringList> expected =
        detailFromTheModel(model, two.sqlId, model.now().addDays(-14), [](const auto &x) { return x.event; });
    const QList<QStringList> rows = rowsOf(detail());
    ASSERT_EQ(rows, expected);
    // Several sessions, both plans, waits and CPU (no event).
    QSet<QString> sessions, keys, events;
    for (const QStringList &r : rows) {
        sessions << r[0];
        keys << r[2];
        events << r[5];
    }
    EXPECT_GT(sessions.size(), 5);
    EXPECT_EQ(keys.size(), 2);
    EXPECT_TRUE(events.contains(""));
    EXPECT_GT(events.size(), 2);

    const QList<QStringList> totals = summed(rows);
    EXPECT_EQ(rowsOf(summary()), totals);
    EXPECT_LT(totals.size(), rows.size());
    // The pies: the summary rows of the key in the combo, the first retrieved.
    auto slicesOf = [&](const QString &key, int column) {
        std::vector<std::pair<QString, double>> out;
        for (const QStringList &t : totals)
            if (t[0] == key)
                out.emplace_back(t[1], t[column].toDouble());
        return out;
    };
    EXPECT_FALSE(slicesOf(combo().currentText(), 2).empty());
    EXPECT_EQ(slices("sqlstat_wait_cnt"), slicesOf(combo().currentText(), 2));
    EXPECT_EQ(slices("sqlstat_wait_time"), slicesOf(combo().currentText(), 3));

    // The other key chosen from code: no refill. Chosen by the user: its rows, from the
    // summary, with no query.
    const auto firstSlices = slices("sqlstat_wait_cnt");
    combo().setCurrentIndex(1);
    EXPECT_EQ(slices("sqlstat_wait_cnt"), firstSlices);
    combo().setCurrentIndex(0);
    QTest::keyClick(&combo(), Qt::Key_Down);
    EXPECT_EQ(h.sim.server.statements().size(), 1);
    EXPECT_FALSE(slices("sqlstat_wait_cnt").empty());
    EXPECT_EQ(slices("sqlstat_wait_cnt"), slicesOf(combo().currentText(), 2));
    EXPECT_EQ(slices("sqlstat_wait_time"), slicesOf(combo().currentText(), 3));

    // The slice of samples without an event is named in the legend, not given as a figure.
    QCoreApplication::processEvents();
    for (const char *name : {"sqlstat_wait_cnt", "sqlstat_wait_time"}) {
        QStringList legend;
        for (const LegendEntry &e : h.widget<ChartView>(name).legend())
            legend << e.text;
        QStringList events;
        for (const auto &[event, value] : slices(name))
            events << (event.isEmpty() ? "ON CPU" : event);
        EXPECT_EQ(legend, events) << name;
        EXPECT_TRUE(legend.contains("ON CPU")) << name;
    }

    h.screen.resize(1142, 698);
    h.shoot("sql_history_waits.png");
    h.click("RadioButton6");
    EXPECT_TRUE(h.widget<GridView>("sql_ash_grid_summ").isVisible());
    EXPECT_FALSE(h.widget<GridView>("sql_ash_grid").isVisible());
    h.shoot("sql_history_waits_summary.png");
    h.click("RadioButton4");
    EXPECT_FALSE(h.widget<GridView>("sql_ash_grid_summ").isVisible());
    EXPECT_TRUE(h.widget<GridView>("sql_ash_grid").isVisible());
}

TEST_F(SqlWaitsAndText, TheParameterBoxesRefineTheEventInTheSelectTheGroupingAndTheOrder)
{
    const auto &report = statement(sim::SqlWorkload::kLongTextIndex);
    retrieve(report.sqlId, "2");
    h.widget<QCheckBox>("P3text_chk").setChecked(true);
    h.widget<QCheckBox>("P1_chk").setChecked(true);
    h.click("Button42");
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(memoLines(h.memo("sql_ash_text")), waitLines(report.sqlId, "2", "||':'||x.p1||':'||x.p3text"));
    auto &model = h.sim.server.model();
    const QList<QStringList> expected =
        detailFromTheModel(model, report.sqlId, model.now().addDays(-2), [](const auto &x) {
            return x.event + ":" + QString::number(x.p1) + ":" + x.p3text;
        });
    ASSERT_EQ(rowsOf(detail()), expected);
    // On CPU: no event, no parameter names, parameters 0.
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [](const QStringList &r) { return r[5] == ":0:"; }));
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
                            [](const QStringList &r) { return r[5].startsWith("db file scattered read:"); }));
    EXPECT_EQ(rowsOf(summary()), summed(expected));

    for (const char *box : {"P1text_chk", "P2text_chk", "P2_chk", "P3_chk"})
        h.widget<QCheckBox>(box).setChecked(true);
    h.click("Button42");
    EXPECT_EQ(memoLines(h.memo("sql_ash_text")),
              waitLines(report.sqlId, "2", "||':'||x.p1text||':'||x.p1||':'||x.p2text||':'||x.p2||':'||x.p3text||':'||x.p3"));
    EXPECT_EQ(detail().cell(5, 1).count(':'), 6);

    // A kept script runs as it stands: the boxes change nothing.
    const QStringList kept = waitLines(report.sqlId, "1");
    h.memo("sql_ash_text").setPlainText(kept.join('\n'));
    h.widget<QCheckBox>("sql_mds_check").setChecked(true);
    h.click("Button42");
    EXPECT_EQ(h.sim.server.statements().last(), kept.join('\n'));
    EXPECT_EQ(rowsOf(detail()), detailFromTheModel(model, report.sqlId, model.now().addDays(-1),
                                                   [](const auto &x) { return x.event; }));
}

TEST_F(SqlWaitsAndText, NoSamplesGiveEmptyGridsAndPiesWithoutAnError)
{
    // As it starts, the script asks for a placeholder in the detail grid's columns.
    h.widget<QCheckBox>("sql_mds_check").setChecked(true);
    h.screen.setCurrentWidget(h.screen.findChild<QWidget *>("TabSheet3"));
    h.click("RadioButton21");
    h.click("Button42");
    EXPECT_TRUE(h.sim.server.statements().last().contains("sql_id = 'xxxxxxxxxxxxx'"));
    EXPECT_EQ(memoLines(h.memo("sql_ash_text")), waitLines("xxxxxxxxxxxxx", "1"));
    h.widget<QCheckBox>("sql_mds_check").setChecked(false);

    // "<SQL ID>" before any statistics: the combo is empty too.
    h.click("Button42");
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(detail().rowCount(), 2);
    EXPECT_EQ(detail().row(1).join(""), "");
    EXPECT_EQ(summary().rowCount(), 1);
    EXPECT_EQ(summary().headers(), (QStringList{"SQL ID:SQL_PLAN", "Event", "Count", "Time"}));
    EXPECT_TRUE(slices("sqlstat_wait_cnt").empty());
    EXPECT_TRUE(slices("sqlstat_wait_time").empty());
    EXPECT_TRUE(h.widget<QGroupBox>("sqlstat_waits").isVisible());
}

TEST_F(SqlWaitsAndText, AfterABulkRetrievalTheWaitsAreThoseOfTheChosenKey)
{
    TempCurrentFolder folder;
    const auto &first = statement(2), &second = statement(sim::SqlWorkload::kLongTextIndex);
    folder.write("list.txt", (first.sqlId + ",\r\n" + second.sqlId + ",\r\n").toUtf8());
    h.widget<QLineEdit>("SQLIdList").setText("list.txt");
    h.click("Button102");
    h.click("listrb");
    h.widget<QLineEdit>("dayret").setText("3");
    h.click("ret_bulk_button");
    const int index = combo().findText(second.sqlId, Qt::MatchStartsWith);
    ASSERT_GT(index, 0);
    combo().setCurrentIndex(index - 1);
    QTest::keyClick(&combo(), Qt::Key_Down);
    h.click("RadioButton21");
    h.click("Button42");
    EXPECT_TRUE(h.sim.server.statements().last().contains("sql_id = '" + second.sqlId + "'"));
    ASSERT_GT(detail().rowCount(), 2);
    EXPECT_EQ(detail().cell(2, 1).section("::", 0, 0), second.sqlId);
    EXPECT_FALSE(slices("sqlstat_wait_cnt").empty());
}

TEST_F(SqlWaitsAndText, TheSwitchShowsTheBoxOrTheChartSetsAlsoAfterADatabaseError)
{
    auto &box = h.widget<QGroupBox>("sqlstat_waits");
    auto &panel1 = h.widget<QFrame>("Panel1");
    auto &panel2 = h.widget<QFrame>("Panel2");
    h.screen.setCurrentWidget(h.screen.findChild<QWidget *>("TabSheet3"));
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(panel1.isVisible() && panel2.isVisible());
    h.click("RadioButton21");
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(panel1.isVisible() || panel2.isVisible());
    h.click("RadioButton8");
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(panel1.isVisible() && panel2.isVisible());

    // A database error leaves the box hidden under the chosen "Wait Event Statistics";
    // choosing the execution statistics and back shows it again.
    h.click("RadioButton21");
    h.widget<QLineEdit>("dayret").setText("a week");
    h.click("Button42");
    ASSERT_EQ(h.sink().errors.size(), 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(h.widget<QRadioButton>("RadioButton21").isChecked());
    EXPECT_FALSE(panel1.isVisible() || panel2.isVisible());
    h.click("RadioButton8");
    h.click("RadioButton21");
    EXPECT_TRUE(box.isVisible());
}

TEST_F(SqlWaitsAndText, LoadShowsTheWholeStoredTextAndThePlanOfTheChosenPlan)
{
    const auto &report = statement(sim::SqlWorkload::kLongTextIndex);
    const auto &two = statement(sim::SqlWorkload::kTwoPlansIndex);
    ASSERT_GT(report.text.size(), 65536);
    retrieve(report.sqlId, "3");
    ASSERT_EQ(combo("sqltext_combo").currentText(), report.sqlId + "::" + QString::number(report.plans.at(0)));
    h.sim.server.clearStatements();
    h.click("Button180");
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(h.sim.server.statements(),
              (QStringList{"SELECT sql_text from dba_hist_sqltext where \nsql_id = '" + report.sqlId + "'",
                           "SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_AWR('" + report.sqlId + "','" +
                               QString::number(report.plans.at(0)) + "',null,'ALL +OUTLINE'))"}));
    EXPECT_EQ(h.sim.server.timeouts(), (QList<int>{3000, 3000}));
    EXPECT_EQ(h.memo("awrsqltext_memo").toPlainText(), report.text);
    auto &plan = h.memo("awrsqlexec_memo");
    EXPECT_EQ(plan.toPlainText(), sim::displayAwrLines(report, report.plans.at(0)).join('\n'));
    for (const char *heading : {"Plan hash value: ", "Query Block Name / Object Alias", "Outline Data",
                                "Predicate Information", "Column Projection Information"})
        EXPECT_TRUE(plan.toPlainText().contains(heading)) << heading;
    EXPECT_EQ(plan.textCursor().position(), 0);
    h.screen.setCurrentWidget(h.screen.findChild<QWidget *>("TabSheet68"));
    h.screen.resize(1142, 698);
    h.shoot("sql_history_text_plan.png");

    // Another plan of another statement replaces both; the plan shows from its top again.
    plan.moveCursor(QTextCursor::End);
    typeKey("sqltext_combo", two.sqlId + "::" + QString::number(two.plans.at(1)));
    h.click("Button180");
    EXPECT_EQ(h.memo("awrsqltext_memo").toPlainText(), two.text);
    EXPECT_TRUE(plan.toPlainText().contains("Plan hash value: " + QString::number(two.plans.at(1))));
    EXPECT_FALSE(plan.toPlainText().contains("Plan hash value: " + QString::number(two.plans.at(0))));
    EXPECT_EQ(plan.textCursor().position(), 0);

    // Without a plan hash value: every plan of the statement.
    typeKey("sqltext_combo", two.sqlId + "::");
    h.click("Button180");
    EXPECT_EQ(h.sim.server.statements().last(),
              "SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_AWR('" + two.sqlId + "','',null,'ALL +OUTLINE'))");
    for (const qint64 phv : two.plans)
        EXPECT_TRUE(plan.toPlainText().contains("Plan hash value: " + QString::number(phv)));

    // A failing text query leaves the plan as it was.
    const QString before = plan.toPlainText();
    h.sim.server.setSlowStatement("dba_hist_sqltext", 4000 * 1000);
    typeKey("sqltext_combo", report.sqlId + "::" + QString::number(report.plans.at(0)));
    h.click("Button180");
    EXPECT_EQ(h.sink().errors.last(), "ORA-01013: user requested cancel of current operation");
    EXPECT_EQ(plan.toPlainText(), before);
}

TEST_F(SqlWaitsAndText, TypedKeysAreSplitAsThePartsGoAndTheirQuotesDoubled)
{
    typeKey("sqltext_combo", "ab'c::12");
    h.click("Button180");
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(h.sim.server.statements().mid(h.sim.server.statements().size() - 2),
              (QStringList{"SELECT sql_text from dba_hist_sqltext where \nsql_id = 'ab''c'",
                           "SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_AWR('ab''c','12',null,'ALL +OUTLINE'))"}));
    EXPECT_EQ(h.memo("awrsqltext_memo").toPlainText(), "");

    // Without ':' the sql_id is empty and the plan hash value the text from its second
    // character: a bare sql_id is no number.
    typeKey("sqltext_combo", statement(2).sqlId);
    h.click("Button180");
    EXPECT_TRUE(h.sim.server.statements().last().contains("DISPLAY_AWR('','" + statement(2).sqlId.mid(1) + "',"));
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01722: invalid number"});
}
