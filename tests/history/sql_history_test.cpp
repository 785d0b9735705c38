#include "common/screen_support.h"
#include "common/temp_folder.h"

#include "core/chart.h"
#include "db/sim/oracle_dates.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/sql_workload.h"
#include "history/sql_history_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGraphicsTextItem>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>
#include <map>

using namespace tavimond;
using namespace tavimond::test;

namespace {

const char *const kChartNames[] = {
    "sqlprof_execs_graph",     "sqlprof_ela_graph",        "sqlprof_row_graph",      "sqlprof_io_graph",
    "sqlprof_iow_graph",       "sqlprof_cpu_graph",        "sqlprof_sorts_graph",    "sqlprof_appw_graph",
    "sqlprof_clustw_graph",    "sqlprof_concw_graph",      "sqlprof_ela_graph_avg",  "sqlprof_row_graph_avg",
    "sqlprof_io_graph_avg",    "sqlprof_iow_graph_avg",    "sqlprof_cpu_graph_avg",  "sqlprof_sorts_graph_avg",
    "sqlprof_appw_graph_avg",  "sqlprof_clustw_graph_avg", "sqlprof_concw_graph_avg"};

// The statement of a single retrieval over the last day, as the report builds it.
const QStringList kSingleDay{
    "select s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value as sqlexec, "
    "nvl(sum(x.executions_delta),0) as execs,",
    "nvl(round(sum(x.elapsed_time_delta) /1000000, 4),0) as elpas, ",
    "nvl(sum(x.rows_processed_delta),0) as rowsp,",
    "nvl(round(sum(x.disk_reads_delta), 4),0) as readsp, ",
    "nvl(round(sum(x.iowait_delta) /1000000, 4),0) as iowaitsp, ",
    "nvl(round(sum(x.cpu_time_delta) /1000000, 4),0) as cpup, ",
    "nvl(round(sum(x.sorts_delta), 4),0) as sortp, ",
    "nvl(round(sum(x.apwait_delta) /1000000, 4),0) as apwaitp, ",
    "nvl(round(sum(x.clwait_delta) /1000000, 4),0) as clwaitp, ",
    "nvl(round(sum(x.ccwait_delta) /1000000, 4),0) as ccwaitp ",
    "from ",
    "(select snap_id,",
    "        sql_id,",
    "        plan_hash_value,",
    "        executions_delta,",
    "        elapsed_time_delta,",
    "        rows_processed_delta,",
    "        disk_reads_delta,",
    "        iowait_DELTA,",
    "        cpu_time_DELTA,",
    "        sorts_DELTA,",
    "        apwait_DELTA,",
    "        clwait_DELTA,",
    "        ccwait_DELTA",
    "        from dba_hist_sqlstat where",
    "        sql_id = '%1') x,",
    "(select snap_id,",
    "        max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as start_time,",
    "        max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as end_time",
    "        from dba_hist_snapshot",
    "        where begin_interval_time >= sysdate - 1",
    "        group by snap_id",
    "        ) s",
    "where s.snap_id = x.snap_id",
    "group by s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value",
    "having sum(x.elapsed_time_delta)>0 ",
    "order by x.sql_id||'::'||x.plan_hash_value,s.snap_id",
};
constexpr int kSqlIdLine = 25;
constexpr int kWindowLine = 30;

const QStringList kRollupHead{
    "select '---',trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD'),'---',sx.sqlexec,sum(sx.execs),"
    "sum(sx.elpas),sum(sx.rowsp), ",
    "sum(sx.readsp),sum(sx.iowaitsp),sum(sx.cpup),sum(sx.sortp),sum(sx.apwaitp),sum(sx.clwaitp),sum(sx.ccwaitp) from ("};
const QStringList kRollupTail{") sx ", "group by trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD'),sx.sqlexec ",
                              "order by trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD')"};

QStringList singleDay(const QString &sqlId)
{
    QStringList lines = kSingleDay;
    lines[kSqlIdLine] = lines[kSqlIdLine].arg(sqlId);
    return lines;
}

// What the repository holds for one statement, per plan and snapshot in the window
// (snap_ids any instance took inside it), summed over the instances.
struct Figures {
    qint64 executions = 0, elapsed = 0, cpu = 0, sorts = 0;
};
std::map<std::pair<QString, qint64>, Figures> fromTheModel(sim::Model &model, const QString &sqlId,
                                                           const QDateTime &from)
{
    const auto &repository = model.state<sim::Repository>();
    const auto &workload = model.state<sim::SqlWorkload>();
    const auto *sql = workload.find(sqlId);
    const size_t index = size_t(sql - workload.statements().data());
    QSet<qint64> ids;
    for (const auto &s : repository.snapshots())
        if (s.begin >= from)
            ids.insert(s.snapId);
    std::map<std::pair<QString, qint64>, Figures> out;
    sim::SqlWorkload::Row row;
    for (const auto &s : repository.snapshots()) {
        if (!ids.contains(s.snapId) || !workload.rowOf(s, index, row))
            continue;
        Figures &f = out[{sqlId + "::" + QString::number(row.planHashValue), s.snapId}];
        f.executions += row.executions;
        f.elapsed += row.elapsed;
        f.cpu += row.cpu;
        f.sorts += row.sorts;
    }
    std::erase_if(out, [](const auto &e) { return e.second.elapsed <= 0; });
    return out;
}

// Seconds from microseconds rounded to four decimals, as the report asks the database.
double seconds4(qint64 micros)
{
    return std::round(double(micros) / 100.0) / 10000.0;
}

class SqlHistory : public ::testing::Test {
protected:
    ResultGrid &grid() { return h.grid("SQL_Prof_Grid"); }
    QComboBox &combo(const char *name = "sqlid_combo") { return h.widget<QComboBox>(name); }
    Chart &chart(const char *name) { return *h.screen.findChild<Chart *>(name); }
    QStringList comboItems(const char *name = "sqlid_combo")
    {
        QStringList items;
        for (int i = 0; i < combo(name).count(); ++i)
            items << combo(name).itemText(i);
        return items;
    }
    // The index of the active series of each chart (-1: none, -2: several).
    std::vector<int> activeSeries()
    {
        std::vector<int> out;
        for (const char *name : kChartNames) {
            Chart &c = chart(name);
            int active = -1;
            for (int i = 0; i < c.seriesCount(); ++i)
                if (c.series(i).active())
                    active = active == -1 ? i : -2;
            out.push_back(active);
        }
        return out;
    }
    const sim::SqlWorkload &workload() { return h.sim.server.model().state<sim::SqlWorkload>(); }
    const sim::SqlWorkload::Sql &statement(int index) { return workload().statements().at(size_t(index)); }
    // A statement of the nightly batch: its runs give rows of 0 executions.
    const sim::SqlWorkload::Sql &batchStatement()
    {
        for (const auto &s : workload().statements())
            if (s.kind == sim::SqlWorkload::Kind::Batch)
                return s;
        throw std::runtime_error("no batch statement");
    }
    void retrieveSingle(const QString &sqlId)
    {
        h.widget<QLineEdit>("adhoc_sqlid").setText(sqlId);
        h.click("Button101");
    }
    void loadList(const QByteArray &bytes)
    {
        folder.write("list.txt", bytes);
        h.widget<QLineEdit>("SQLIdList").setText("list.txt");
        h.click("Button102");
    }
    void bulkMode() { h.click("listrb"); }
    // The user types a key into the combo.
    void typeKey(const QString &text)
    {
        QLineEdit *edit = combo().lineEdit();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
    }

    TempCurrentFolder folder;
    ScreenHarness<SqlHistoryScreen> h;
};

} // namespace

TEST_F(SqlHistory, ASingleRetrievalSendsTheStatementAndShowsTheRepositorysFigures)
{
    const auto &two = statement(sim::SqlWorkload::kTwoPlansIndex);
    // Before the first retrieval the memo holds the starter script, which runs as it stands.
    h.widget<QCheckBox>("sqlstat_mds").setChecked(true);
    h.click("Button101");
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    EXPECT_TRUE(h.sim.server.statements().last().contains("sql_id = 'xxx'"));
    h.widget<QCheckBox>("sqlstat_mds").setChecked(false);

    retrieveSingle(two.sqlId);
    EXPECT_EQ(memoLines(h.memo("sql_prof_text")), singleDay(two.sqlId));
    EXPECT_EQ(h.sim.server.statements().last(), singleDay(two.sqlId).join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 3000);
    EXPECT_EQ(h.screen.currentWidget()->objectName(), "TabSheet3");

    auto &model = h.sim.server.model();
    const auto expected = fromTheModel(model, two.sqlId, model.now().addDays(-1));
    ASSERT_EQ(grid().rowCount(), int(expected.size()) + 1); // trimmed: no spare row
    int r = 1;
    for (const auto &[id, f] : expected) {
        EXPECT_EQ(grid().cell(0, r), QString::number(id.second));
        EXPECT_EQ(grid().cell(3, r), id.first);
        EXPECT_EQ(grid().cell(4, r).toLongLong(), f.executions);
        EXPECT_DOUBLE_EQ(grid().cell(5, r).toDouble(), seconds4(f.elapsed));
        EXPECT_DOUBLE_EQ(grid().cell(9, r).toDouble(), seconds4(f.cpu));
        const auto snap = model.state<sim::Repository>().snapshot(id.second, 2);
        EXPECT_EQ(grid().cell(1, r).size(), 20);
        EXPECT_EQ(grid().cell(2, r), sim::toChar(snap->end.addSecs(-snap->end.time().second()), "DD/MON/YYYY HH24:MI:SS"));
        ++r;
    }
    // One series per key on every chart, its points the grid's rows; the first key shown.
    EXPECT_EQ(comboItems(), QStringList{two.sqlId + "::" + QString::number(two.plans.at(1))});
    EXPECT_EQ(comboItems("sqltext_combo"), comboItems());
    EXPECT_EQ(combo().currentText(), comboItems().first());
    Chart &cpu = chart("sqlprof_cpu_graph");
    ASSERT_EQ(cpu.seriesCount(), 1);
    ASSERT_EQ(cpu.series(0).points().size(), expected.size());
    EXPECT_DOUBLE_EQ(cpu.series(0).points().back().value, seconds4(expected.rbegin()->second.cpu));
    EXPECT_EQ(cpu.series(0).points().back().label, grid().cell(1, grid().rowCount() - 1));

    // The default "<SQL ID>" finds nothing: the header and an empty row, no series.
    retrieveSingle("<SQL ID>");
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().row(1).join(""), "");
    EXPECT_EQ(chart("sqlprof_ela_graph").seriesCount(), 0);
    EXPECT_EQ(combo().count(), 0);
    EXPECT_EQ(h.screen.currentWidget()->objectName(), "TabSheet3");
    EXPECT_TRUE(h.sink().errors.isEmpty());
}

TEST_F(SqlHistory, AFromToWindowAndADailyRollup)
{
    const auto &batch = batchStatement();
    h.widget<QRadioButton>("sqlfromto").setChecked(true);
    h.widget<QLineEdit>("sqlfromdate").setText("26/NOV/2026 08:00:00");
    h.widget<QLineEdit>("sqltodate").setText("29/nov/2026 08:15:59");
    retrieveSingle(batch.sqlId);
    QStringList fromTo = singleDay(batch.sqlId);
    fromTo[kWindowLine] = "        where begin_interval_time >= to_date('26/NOV/2026 08:00:00','DD/MON/YYYY HH24:MI:SS')";
    fromTo.insert(kWindowLine + 1,
                  "          and end_interval_time <=   to_date('29/nov/2026 08:15:59','DD/MON/YYYY HH24:MI:SS')");
    EXPECT_EQ(memoLines(h.memo("sql_prof_text")), fromTo);
    const int perSnapshot = grid().rowCount() - 1;
    EXPECT_GT(perSnapshot, 3);

    // Rolled up: one row a day, "---" in the snapshot columns, the day's sums.
    h.widget<QCheckBox>("sqlstat_droll").setChecked(true);
    retrieveSingle(batch.sqlId);
    EXPECT_EQ(memoLines(h.memo("sql_prof_text")), kRollupHead + fromTo + kRollupTail);
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    auto &model = h.sim.server.model();
    std::map<QString, qint64> executionsPerDay;
    for (const auto &[id, f] : fromTheModel(model, batch.sqlId, QDateTime(QDate(2026, 11, 26), QTime(8, 0), Qt::UTC))) {
        const auto snap = model.state<sim::Repository>().snapshot(id.second, 2);
        if (snap->end <= QDateTime(QDate(2026, 11, 29), QTime(8, 15, 59), Qt::UTC))
            executionsPerDay[snap->begin.date().toString("yyyy-MM-dd 00:00:00")] += f.executions;
    }
    ASSERT_EQ(grid().rowCount() - 1, int(executionsPerDay.size()));
    for (int r = 1; r < grid().rowCount(); ++r) {
        EXPECT_EQ(grid().cell(0, r), "---");
        EXPECT_EQ(grid().cell(2, r), "---");
        EXPECT_EQ(grid().cell(4, r).toLongLong(), executionsPerDay.at(grid().cell(1, r))) << r;
    }
    EXPECT_EQ(chart("sqlprof_execs_graph").series(0).points().size(), executionsPerDay.size());
}

TEST_F(SqlHistory, TheListFileFillsTheListGridFieldByField)
{
    loadList("a1,p1,5,2.5,10,f6,f7\r\nbare_sql_id\r\n\r\nb2,p2\r\n");
    const QList<QStringList> rows = rowsOf(h.grid("sqlid_grid"));
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], (QStringList{"a1", "p1", "5", "2.5", "10", "f6,f7"}));
    EXPECT_EQ(rows[1], (QStringList{"", "", "", "", "", "bare_sql_id"}));
    EXPECT_EQ(rows[2], (QStringList{"", "", "", "", "", ""}));
    EXPECT_EQ(rows[3], (QStringList{"b2", "", "", "", "", "p2"}));
    EXPECT_EQ(h.grid("sqlid_grid").headers().first(), "SQL ID");

    // An empty file leaves the header alone, and a bulk retrieval then sends nothing.
    loadList("");
    EXPECT_EQ(h.grid("sqlid_grid").rowCount(), 1);
    bulkMode();
    const int sent = h.sim.server.statements().size();
    h.click("ret_bulk_button");
    EXPECT_EQ(h.sim.server.statements().size(), sent);
    EXPECT_EQ(grid().rowCount(), 1);

    // A file that is not there: the error, and the list stays empty.
    h.widget<QLineEdit>("SQLIdList").setText("missing.txt");
    h.click("Button102");
    EXPECT_EQ(h.sink().errors.size(), 1);
    EXPECT_EQ(h.grid("sqlid_grid").rowCount(), 2);
}

TEST_F(SqlHistory, TheFileButtonStartsInTheMetafileFolderAndTakesTheChosenFullName)
{
    const QString path = QDir(h.settings.folder).filePath("Default_SQL_List.txt");
    QFile(path).open(QIODevice::WriteOnly);
    QString startedIn;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        startedIn = dialog->directory().absolutePath();
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    h.click("Button100");
    EXPECT_EQ(startedIn, QDir(h.settings.folder).absolutePath());
    EXPECT_EQ(h.widget<QLineEdit>("SQLIdList").text(), path);
}

TEST_F(SqlHistory, ABulkRetrievalAppendsEachStatementsRowsInListOrder)
{
    const auto &first = statement(9), &two = statement(sim::SqlWorkload::kTwoPlansIndex), &last = statement(3);
    loadList((first.sqlId + ",1,2,3,4,5\r\n" + two.sqlId + ",\r\n" + last.sqlId + ",9\r\n").toUtf8());
    bulkMode();
    EXPECT_FALSE(h.widget<QLineEdit>("adhoc_sqlid").isEnabled());
    EXPECT_FALSE(h.widget<QPushButton>("Button101").isEnabled());
    h.widget<QLineEdit>("dayret").setText("14");
    h.sim.server.clearStatements();
    h.click("ret_bulk_button");
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();

    // The list's select: no aliases, no nvl on the first figures.
    QStringList list = singleDay(last.sqlId);
    list[kWindowLine] = "        where begin_interval_time >= sysdate - 14";
    list.replace(0, "select s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value, sum(x.executions_delta),");
    list.replace(1, "round(sum(x.elapsed_time_delta) /1000000, 4), ");
    list.replace(2, "sum(x.rows_processed_delta),");
    list.replace(3, "round(sum(x.disk_reads_delta), 4), ");
    list.replace(4, "round(sum(x.iowait_delta) /1000000, 4), ");
    list.replace(5, "round(sum(x.cpu_time_delta) /1000000, 4), ");
    list.replace(6, "round(sum(x.sorts_delta), 4), ");
    list.replace(17, "        DISK_READS_DELTA,");
    list.replace(35, "having sum(x.elapsed_time_delta)>0");
    ASSERT_EQ(h.sim.server.statements().size(), 3);
    EXPECT_EQ(h.sim.server.statements().last(), list.join('\n'));

    auto &model = h.sim.server.model();
    QStringList keys;
    int expectedRows = 0;
    for (const auto *sql : {&first, &two, &last})
        for (const auto &[id, f] : fromTheModel(model, sql->sqlId, model.now().addDays(-14))) {
            ++expectedRows;
            EXPECT_EQ(grid().cell(3, expectedRows), id.first) << expectedRows;
            EXPECT_EQ(grid().cell(4, expectedRows).toLongLong(), f.executions) << expectedRows;
            if (!keys.contains(id.first))
                keys << id.first;
        }
    EXPECT_EQ(grid().rowCount(), expectedRows + 1);
    EXPECT_EQ(keys.size(), 4);
    EXPECT_EQ(comboItems(), keys);
    EXPECT_EQ(comboItems("sqltext_combo"), keys);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 0));
    for (const char *name : kChartNames)
        EXPECT_EQ(chart(name).seriesCount(), 4) << name;
    h.screen.resize(1142, 698);
    h.shoot("sql_history_run_statistics.png");
    // The snapshots' begin times stand under the bars, level, where the user sees them.
    QStringList shownTexts;
    for (QGraphicsItem *item : h.widget<ChartView>("sqlprof_ela_graph").scene()->items())
        if (auto *text = dynamic_cast<QGraphicsTextItem *>(item); text && text->isVisible())
            shownTexts << text->toPlainText();
    EXPECT_FALSE(shownTexts.filter(QRegularExpression("^\\d\\d/NOV/2026 \\d\\d:00:00$")).isEmpty())
        << shownTexts.join('|').toStdString();
    h.screen.setCurrentIndex(0);
    h.shoot("sql_history_retrieve.png");
    h.screen.setCurrentIndex(3);
    h.shoot("sql_history_raw_data.png");
    h.screen.setCurrentIndex(4);
    h.shoot("sql_history_script.png");
    h.screen.setCurrentIndex(1);

    // The user steps to the second key: its series on every chart.
    QTest::keyClick(&combo(), Qt::Key_Down);
    EXPECT_EQ(combo().currentText(), keys.at(1));
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 1));
    // A text that names no key hides every series.
    typeKey("no such key");
    EXPECT_EQ(activeSeries(), std::vector<int>(19, -1));
    EXPECT_TRUE(h.sink().errors.isEmpty());

    // Again: nothing doubled.
    h.click("ret_bulk_button");
    EXPECT_EQ(comboItems(), keys);
    EXPECT_EQ(chart("sqlprof_concw_graph_avg").seriesCount(), 4);
    EXPECT_EQ(grid().rowCount(), expectedRows + 1);

    // Rolled up, each statement of the list gets the single retrieval's select inside
    // the rollup, which the database can run: one row per day and plan.
    h.widget<QCheckBox>("sqlstat_droll").setChecked(true);
    h.click("ret_bulk_button");
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    QStringList rolled = singleDay(last.sqlId);
    rolled[kWindowLine] = "        where begin_interval_time >= sysdate - 14";
    EXPECT_EQ(h.sim.server.statements().last(), (kRollupHead + rolled + kRollupTail).join('\n'));
    std::map<std::pair<QString, QString>, qint64> days; // (key, day): executions
    for (const auto *sql : {&first, &two, &last})
        for (const auto &[id, f] : fromTheModel(model, sql->sqlId, model.now().addDays(-14)))
            days[{id.first, model.state<sim::Repository>().snapshot(id.second, 2)->begin.date().toString("yyyy-MM-dd")}] +=
                f.executions;
    ASSERT_EQ(grid().rowCount() - 1, int(days.size()));
    for (int r = 1; r < grid().rowCount(); ++r) {
        EXPECT_EQ(grid().cell(0, r), "---");
        EXPECT_EQ(grid().cell(4, r).toLongLong(), days.at({grid().cell(3, r), grid().cell(1, r).left(10)})) << r;
    }
    EXPECT_EQ(comboItems(), keys);
}

TEST_F(SqlHistory, AKeptScriptRunsOncePerListRowAndAFailureLeavesNoPartOfTheList)
{
    const auto &first = statement(9);
    loadList((first.sqlId + ",\r\nbroken'id,\r\n" + statement(3).sqlId + ",\r\n").toUtf8());
    bulkMode();
    h.click("ret_bulk_button");
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01756: quoted string not properly terminated"});
    // Not the first statement's rows as if they were the list's: the grid is empty; no chart.
    auto &model = h.sim.server.model();
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().row(1), QStringList(14, QString()));
    EXPECT_EQ(chart("sqlprof_execs_graph").seriesCount(), 0);
    EXPECT_EQ(combo().count(), 0);

    const QStringList kept = singleDay(first.sqlId);
    h.memo("sql_prof_text").setPlainText(kept.join('\n'));
    h.widget<QCheckBox>("sqlstat_mds").setChecked(true);
    h.sim.server.clearStatements();
    h.click("ret_bulk_button");
    EXPECT_EQ(h.sim.server.statements(), QStringList(3, kept.join('\n')));
    EXPECT_EQ(memoLines(h.memo("sql_prof_text")), kept);
    EXPECT_EQ(grid().rowCount(), 3 * int(fromTheModel(model, first.sqlId, model.now().addDays(-1)).size()) + 1);
}

TEST_F(SqlHistory, AveragesDivideAZeroExecutionRowByThePreviousCountAndRaiseTheAlert)
{
    QStringList columns;
    for (int c = 0; c < 14; ++c)
        columns << QString("C%1").arg(c);
    auto row = [](const QString &snap, const QString &key, const QString &executions, const QString &value) {
        QStringList r{snap, "0" + snap + "/MAY/2013 08:00:00", "", key, executions};
        for (int c = 5; c < 14; ++c)
            r << value;
        return r;
    };
    h.sim.setRows("spanning", columns,
                  {row("1", "a::1", "5", "10"), row("2", "a::1", "0", "20"), row("3", "a::1", "4", "8")});
    h.sim.setRows("late_start", columns, {row("1", "b::2", "0", "6"), row("2", "b::2", "3", "9")});
    h.widget<QCheckBox>("sqlstat_mds").setChecked(true);
    auto values = [&](const char *name) {
        std::vector<double> v;
        for (const auto &p : chart(name).series(0).points())
            v.push_back(p.value);
        return v;
    };

    h.memo("sql_prof_text").setPlainText("select * from spanning");
    h.click("Button101");
    EXPECT_EQ(values("sqlprof_ela_graph"), (std::vector<double>{10, 20, 8}));
    EXPECT_EQ(values("sqlprof_ela_graph_avg"), (std::vector<double>{2, 4, 2}));
    EXPECT_EQ(values("sqlprof_concw_graph_avg"), (std::vector<double>{2, 4, 2}));
    EXPECT_TRUE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen));
    EXPECT_TRUE(h.widget<QLabel>("alert_txt").isVisibleTo(&h.screen));

    h.memo("sql_prof_text").setPlainText("select * from late_start");
    h.click("Button101");
    EXPECT_EQ(values("sqlprof_cpu_graph_avg"), (std::vector<double>{6, 3}));
    EXPECT_FALSE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen));
    EXPECT_TRUE(h.sink().errors.isEmpty());

    // A value that is no number stops the drawing part-way: the later charts hold fewer
    // series, and choosing a key skips the charts that lack its series.
    h.sim.setRows("broken", columns, {row("1", "a::1", "5", "10"), [&] {
                                          QStringList r = row("1", "b::2", "5", "10");
                                          r[10] = "n/a";
                                          return r;
                                      }()});
    h.memo("sql_prof_text").setPlainText("select * from broken");
    h.click("Button101");
    EXPECT_EQ(h.sink().errors, QStringList{"'n/a' is not a valid floating point value"});
    EXPECT_EQ(chart("sqlprof_ela_graph").seriesCount(), 2);
    EXPECT_EQ(chart("sqlprof_sorts_graph").seriesCount(), 1);
    EXPECT_EQ(chart("sqlprof_appw_graph").seriesCount(), 0);
    typeKey("b::2");
    EXPECT_EQ(h.sink().errors.size(), 1);
    const std::vector<int> active = activeSeries();
    EXPECT_EQ(std::vector<int>(active.begin(), active.begin() + 6), std::vector<int>(6, 1));
    EXPECT_EQ(std::vector<int>(active.begin() + 6, active.end()), std::vector<int>(13, -1));
}

TEST_F(SqlHistory, OnlyTheUsersOwnChoiceOfAKeyRunsTheKeySelection)
{
    const auto &two = statement(sim::SqlWorkload::kTwoPlansIndex);
    h.widget<QLineEdit>("dayret").setText("14");
    retrieveSingle(two.sqlId);
    ASSERT_EQ(combo().count(), 2);
    // Chosen from code: the first key's series stay the ones shown.
    combo().setCurrentIndex(1);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 0));

    // A choice on the text and plan tab re-applies the statistics combo's key.
    h.widget<QComboBox>("sqltext_combo").setCurrentIndex(0);
    QTest::keyClick(&h.widget<QComboBox>("sqltext_combo"), Qt::Key_Down);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 1));

    // An empty text matches the empty row the summary keeps after Clear All: no slice,
    // no error.
    typeKey("");
    EXPECT_EQ(combo().currentText(), "");
    EXPECT_EQ(h.screen.findChild<ResultGrid *>("sql_ash_grid_summ")->rowCount(), 2);
    EXPECT_TRUE(chart("sqlstat_wait_cnt").series(0).points().empty());
    EXPECT_EQ(activeSeries(), std::vector<int>(19, -1));
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
}

TEST_F(SqlHistory, ClearAllEmptiesTheResultsTheListTheCombosAndTheAlert)
{
    loadList((batchStatement().sqlId + ",\r\n" + statement(1).sqlId + ",\r\n").toUtf8());
    bulkMode();
    h.widget<QLineEdit>("dayret").setText("3");
    h.click("ret_bulk_button");
    ASSERT_TRUE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen)); // the batch runs past its snapshots
    h.click("RadioButton21");
    h.click("Button42");
    ResultGrid &summary = *h.screen.findChild<ResultGrid *>("sql_ash_grid_summ");
    ASSERT_GT(summary.rowCount(), 1);
    ASSERT_FALSE(chart("sqlstat_wait_cnt").series(0).points().empty());
    grid().setCell(1, 0, "edited");

    h.click("Button104");
    EXPECT_EQ(grid().rowCount(), 2);
    EXPECT_EQ(grid().row(0), (QStringList{"Snap ID", "Begin", "End", "SQLID::PLANID", "Executions", "Elapsed Secs",
                                          "Rows", "Reads", "I/O Wait", "CPU", "Sorts", "App Wait", "Cluster Wait",
                                          "Conc Wait"}));
    EXPECT_EQ(grid().row(1).join(""), "");
    EXPECT_EQ(h.grid("sqlid_grid").rowCount(), 2);
    EXPECT_EQ(h.grid("sqlid_grid").row(0).first(), "SQL ID");
    for (const char *name : {"sqlid_combo", "sqltext_combo"}) {
        EXPECT_EQ(combo(name).count(), 0);
        EXPECT_EQ(combo(name).currentText(), "");
    }
    for (const char *name : kChartNames)
        EXPECT_EQ(chart(name).seriesCount(), 0);
    EXPECT_FALSE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen));
    EXPECT_EQ(summary.rowCount(), 2);
    EXPECT_EQ(summary.row(1).join(""), "");
    EXPECT_EQ(h.screen.findChild<ResultGrid *>("sql_ash_grid")->rowCount(), 2);
    EXPECT_TRUE(chart("sqlstat_wait_cnt").series(0).points().empty());
    EXPECT_TRUE(chart("sqlstat_wait_time").series(0).points().empty());
}

TEST_F(SqlHistory, EachChartSetShowsItsThreeChartsBesideTheExecutions)
{
    struct Set {
        const char *kind, *profile;
        QStringList shown;
    };
    const Set sets[] = {
        {"histsql_avg_btn", "hist_comms_btn",
         {"sqlprof_appw_graph_avg", "sqlprof_concw_graph_avg", "sqlprof_clustw_graph_avg"}},
        {"histsql_totals_btn", "hist_comms_btn", {"sqlprof_appw_graph", "sqlprof_concw_graph", "sqlprof_clustw_graph"}},
        {"histsql_totals_btn", "histsql_io_btn", {"sqlprof_io_graph", "sqlprof_sorts_graph", "sqlprof_iow_graph"}},
        {"histsql_avg_btn", "histsql_io_btn",
         {"sqlprof_io_graph_avg", "sqlprof_sorts_graph_avg", "sqlprof_iow_graph_avg"}},
        {"histsql_avg_btn", "histsql_general_btn",
         {"sqlprof_ela_graph_avg", "sqlprof_row_graph_avg", "sqlprof_cpu_graph_avg"}},
        {"histsql_totals_btn", "histsql_general_btn", {"sqlprof_ela_graph", "sqlprof_row_graph", "sqlprof_cpu_graph"}},
    };
    h.screen.setCurrentWidget(h.screen.findChild<QWidget *>("TabSheet3"));
    auto shown = [&] {
        QStringList out;
        for (const char *name : kChartNames)
            if (h.widget<ChartView>(name).isVisible())
                out << name;
        return out;
    };
    QStringList atStart = sets[5].shown + QStringList{"sqlprof_execs_graph"};
    atStart.sort();
    QStringList now = shown();
    now.sort();
    EXPECT_EQ(now, atStart);
    for (const Set &set : sets) {
        h.click(set.kind);
        h.click(set.profile);
        QStringList expected = set.shown + QStringList{"sqlprof_execs_graph"};
        expected.sort();
        now = shown();
        now.sort();
        EXPECT_EQ(now, expected) << set.kind << " " << set.profile;
    }
    // Some plot buttons tell what they do; "<" widens its own chart's margin.
    EXPECT_EQ(h.widget<QPushButton>("Button11").toolTip(), "Decrease Plot Area");
    EXPECT_EQ(h.widget<QPushButton>("Button127").toolTip(), "Increase Plot Area");
    EXPECT_EQ(h.widget<QPushButton>("Button105").toolTip(), "");
    EXPECT_EQ(h.widget<QPushButton>("Button63").toolTip(), "Axis Text Orientation");
    h.click("Button105");
    EXPECT_EQ(chart("sqlprof_ela_graph").rightMargin(), 1);
    EXPECT_EQ(chart("sqlprof_ela_graph_avg").rightMargin(), 0);

    // The three places hold the set's charts top left, top right and bottom right.
    const QRect left = h.widget<ChartView>("sqlprof_ela_graph").geometry();
    EXPECT_LT(left.right(), h.widget<ChartView>("sqlprof_cpu_graph").geometry().left());
    EXPECT_LT(left.bottom(), h.widget<ChartView>("sqlprof_row_graph").geometry().top());
    EXPECT_LT(left.bottom(), h.widget<ChartView>("sqlprof_execs_graph").geometry().top());
    h.shoot("sql_history_charts.png");
}

TEST_F(SqlHistory, ExportWritesTheHeaderAndEveryRowWithTheChosenDelimiter)
{
    h.settings.delimiter = ";";
    retrieveSingle(statement(2).sqlId);
    ASSERT_GT(grid().rowCount(), 10);
    h.click("Button1");
    auto lines = [&] {
        QFile f(folder.filePath("csvexport.csv"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll()).split("\r\n");
    };
    QStringList written = lines();
    ASSERT_EQ(written.size(), grid().rowCount() + 1); // the last line end
    EXPECT_EQ(written.first(), grid().row(0).join(';'));
    EXPECT_EQ(written.at(5), grid().row(5).join(';'));
    EXPECT_EQ(h.sink().infos.last(), "CSV Created: csvexport.csv");

    retrieveSingle("nothing");
    h.click("Button1");
    written = lines();
    EXPECT_EQ(written, (QStringList{grid().row(0).join(';'), QString(13, ';'), ""}));
}
