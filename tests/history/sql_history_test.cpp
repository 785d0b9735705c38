#include "common/fault_matrix.h"
#include "common/screen_support.h"
#include "common/temp_folder.h"

#include "core/chart.h"
#include "db/sim/oracle_dates.h"
#include "db/sim/repository/active_session_history.h"
#include "db/sim/repository/awr_plans.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/sql_workload.h"
#include "db/timestamp_text.h"
#include "history/sql_history_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>
#include <map>

using namespace tavimond;
using namespace tavimond::test;

namespace {

// Each chart and the grid column it draws: totals, then averages per execution.
const std::pair<const char *, int> kDrawn[] = {
    {"sqlprof_execs_graph", 4},      {"sqlprof_ela_graph", 5},       {"sqlprof_row_graph", 6},
    {"sqlprof_io_graph", 7},         {"sqlprof_iow_graph", 8},       {"sqlprof_cpu_graph", 9},
    {"sqlprof_sorts_graph", 10},     {"sqlprof_appw_graph", 11},     {"sqlprof_clustw_graph", 12},
    {"sqlprof_concw_graph", 13},     {"sqlprof_ela_graph_avg", 5},   {"sqlprof_row_graph_avg", 6},
    {"sqlprof_io_graph_avg", 7},     {"sqlprof_iow_graph_avg", 8},   {"sqlprof_cpu_graph_avg", 9},
    {"sqlprof_sorts_graph_avg", 10}, {"sqlprof_appw_graph_avg", 11}, {"sqlprof_clustw_graph_avg", 12},
    {"sqlprof_concw_graph_avg", 13},
};

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

// The snap_ids any instance took from a time on.
QSet<qint64> idsFrom(const sim::Repository &repository, const QDateTime &from)
{
    QSet<qint64> ids;
    for (const auto &s : repository.snapshots())
        if (s.begin >= from)
            ids.insert(s.snapId);
    return ids;
}

// What the repository holds for one statement, per plan and snapshot in the window
// (snap_ids any instance took inside it), summed over the instances.
struct Figures {
    qint64 executions = 0, elapsed = 0, cpu = 0;
};
std::map<std::pair<QString, qint64>, Figures> fromTheModel(sim::Model &model, const QString &sqlId,
                                                           const QDateTime &from)
{
    const auto &repository = model.state<sim::Repository>();
    const auto &workload = model.state<sim::SqlWorkload>();
    const size_t index = size_t(workload.find(sqlId) - workload.statements().data());
    const QSet<qint64> ids = idsFrom(repository, from);
    std::map<std::pair<QString, qint64>, Figures> out;
    sim::SqlWorkload::Row row;
    for (const auto &s : repository.snapshots()) {
        if (!ids.contains(s.snapId) || !workload.rowOf(s, index, row))
            continue;
        Figures &f = out[{sqlId + "::" + QString::number(row.planHashValue), s.snapId}];
        f.executions += row.executions;
        f.elapsed += row.elapsed;
        f.cpu += row.cpu;
    }
    std::erase_if(out, [](const auto &e) { return e.second.elapsed <= 0; });
    return out;
}

// Seconds from microseconds rounded to four decimals, as the report asks the database.
double seconds4(qint64 micros)
{
    return std::round(double(micros) / 100.0) / 10000.0;
}

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
    const QSet<qint64> ids = idsFrom(repository, from);
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
            Acc &a =
                groups[{x.sessionId, x.serial, sqlId + "::" + QString::number(x.planHashValue), text.isEmpty(), text}];
            a.first = a.samples ? std::min(a.first, x.time) : x.time;
            a.last = a.samples ? std::max(a.last, x.time) : x.time;
            ++a.samples;
            a.waited += x.timeWaited;
        }
    }
    QList<QStringList> out;
    for (const auto &[g, a] : groups)
        out << QStringList{QString::number(std::get<0>(g)), QString::number(std::get<1>(g)), std::get<2>(g),
                           timestampText(a.first),          timestampText(a.last),           std::get<4>(g),
                           QString::number(a.samples),      sim::microsAsSeconds(a.waited)};
    return out;
}

class SqlHistory : public ::testing::Test {
protected:
    ResultGrid &grid() { return h.grid("SQL_Prof_Grid"); }
    QComboBox &combo(const char *name = "sqlid_combo") { return h.widget<QComboBox>(name); }
    Chart &chart(const char *name) { return *h.screen.findChild<Chart *>(name); }
    QStringList comboItems(const char *name = "sqlid_combo") { return itemsOf(h.screen, name).lines; }
    // The index of the active series of each chart (-1: none, -2: several).
    std::vector<int> activeSeries()
    {
        std::vector<int> out;
        for (const auto &[name, column] : kDrawn) {
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
    // The user types a key into a combo.
    void typeKey(const QString &text, const char *name = "sqlid_combo")
    {
        QLineEdit *edit = combo(name).lineEdit();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, text);
        QCoreApplication::processEvents();
    }
    // The wait statistics: their grids and pies.
    ResultGrid &detail() { return h.grid("sql_ash_grid"); }
    ResultGrid &summary() { return h.grid("sql_ash_grid_summ"); }
    std::vector<std::pair<QString, double>> slices(const char *name)
    {
        std::vector<std::pair<QString, double>> out;
        for (const auto &p : chart(name).series(0).points())
            out.emplace_back(p.label, p.value);
        return out;
    }
    // Statistics of one statement over the last `days` days, then the wait statistics.
    void retrieveWaits(const QString &sqlId, const QString &days)
    {
        h.widget<QLineEdit>("dayret").setText(days);
        retrieveSingle(sqlId);
        h.click("RadioButton21");
    }
    // The summary as the detail rows give it: per key and event, in order of first
    // appearance, counts and times summed.
    static QList<QStringList> summed(const QList<QStringList> &rows)
    {
        QList<QStringList> out;
        for (const QStringList &r : rows) {
            auto it = std::find_if(out.begin(), out.end(),
                                   [&](const QStringList &s) { return s[0] == r[2] && s[1] == r[5]; });
            if (it == out.end())
                out << QStringList{r[2], r[5], r[6], r[7]};
            else
                *it = QStringList{r[2], r[5], QString::number(it->at(2).toDouble() + r[6].toDouble(), 'g', 15),
                                  QString::number(it->at(3).toDouble() + r[7].toDouble(), 'g', 15)};
        }
        return out;
    }

    // A record of the statistics grid's fourteen columns, every figure the same value.
    static QStringList row(const QString &snap, const QString &key, const QString &executions, const QString &value)
    {
        QStringList r{snap, "0" + snap + "/MAY/2013 08:00:00", "", key, executions};
        for (int c = 5; c < 14; ++c)
            r << value;
        return r;
    }
    // A kept script that reads the test's own records.
    void runRows(const QString &table, const QList<QStringList> &rows)
    {
        QStringList columns;
        for (int c = 0; c < 14; ++c)
            columns << QString("C%1").arg(c);
        h.sim.setRows(table, columns, rows);
        h.widget<QCheckBox>("sqlstat_mds").setChecked(true);
        h.memo("sql_prof_text").setPlainText("select * from " + table);
        h.click("Button101");
    }
    std::vector<double> values(const char *name)
    {
        std::vector<double> v;
        for (const auto &p : chart(name).series(0).points())
            v.push_back(p.value);
        return v;
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
        EXPECT_EQ(grid().cell(2, r),
                  sim::toChar(snap->end.addSecs(-snap->end.time().second()), "DD/MON/YYYY HH24:MI:SS"));
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

    // Exported with the delimiter of the settings.
    h.settings.delimiter = ";";
    h.click("Button1");
    QFile exported(folder.filePath("csvexport.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(exported.readAll()).split("\r\n").mid(0, 2),
              (QStringList{grid().row(0).join(';'), grid().row(1).join(';')}));

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
    fromTo[kWindowLine] =
        "        where begin_interval_time >= to_date('26/NOV/2026 08:00:00','DD/MON/YYYY HH24:MI:SS')";
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

TEST_F(SqlHistory, TheFileButtonChoosesTheListFileThatFillsTheListGridFieldByField)
{
    // The file button starts in the metafile folder and takes the chosen full name.
    const QString path = QDir(h.settings.folder).filePath("Default_SQL_List.txt");
    QFile list(path);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("a1,p1,5,2.5,10,f6,f7\r\nbare_sql_id\r\n\r\nb2,p2\r\n");
    list.close();
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
    h.click("Button102");
    EXPECT_EQ(rowsOf(h.grid("sqlid_grid")), (QList<QStringList>{{"a1", "p1", "5", "2.5", "10", "f6,f7"},
                                                                {"", "", "", "", "", "bare_sql_id"},
                                                                {"", "", "", "", "", ""},
                                                                {"b2", "", "", "", "", "p2"}}));

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
    list.replace(
        0, "select s.snap_id,s.start_time, s.end_time,x.sql_id||'::'||x.plan_hash_value, sum(x.executions_delta),");
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
    for (const auto &[name, column] : kDrawn)
        EXPECT_EQ(chart(name).seriesCount(), 4) << name;

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
            days[{id.first,
                  model.state<sim::Repository>().snapshot(id.second, 2)->begin.date().toString("yyyy-MM-dd")}] +=
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
    loadList((first.sqlId + ",\r\nslow_id,\r\n" + statement(3).sqlId + ",\r\n").toUtf8());
    bulkMode();
    h.sim.server.setSlowStatement("sql_id = 'slow_id'", 4000 * 1000);
    h.click("ret_bulk_button");
    h.sim.server.clearFaults();
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01013: user requested cancel of current operation"});
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

TEST_F(SqlHistory, EveryChartDrawsItsOwnColumnAveragesRaiseTheAlertAndACompletedKeyShowsOnAllOfThem)
{
    // A zero count divides by the key's previous one and raises the alert.
    runRows("spanning", {row("1", "a::1", "5", "10"), row("2", "a::1", "0", "20"), row("3", "a::1", "4", "8")});
    EXPECT_EQ(values("sqlprof_ela_graph_avg"), (std::vector<double>{2, 4, 2}));
    EXPECT_TRUE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen));
    EXPECT_TRUE(h.widget<QLabel>("alert_txt").isVisibleTo(&h.screen));

    // Every cell a value of its own: column c of record r holds c * 1000 + r, executions r + 1.
    const QStringList keys{"4k2xq7::1001", "4k2xq7::2002", "9mt0z::3003"};
    QList<QStringList> rows;
    for (int r = 1; r <= 9; ++r) {
        rows << row(QString::number(r), keys[(r - 1) / 3], QString::number(r + 1), {});
        for (int c = 5; c < 14; ++c)
            rows.last()[c] = QString::number(c * 1000 + r);
    }
    runRows("wiring", rows);
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
    EXPECT_FALSE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen));
    for (const auto &[name, column] : kDrawn) {
        const Chart &c = chart(name);
        const bool average = QByteArray(name).endsWith("_avg");
        ASSERT_EQ(c.seriesCount(), 3) << name;
        for (int s = 0; s < 3; ++s) {
            EXPECT_EQ(c.series(s).title(), keys[s]) << name;
            const auto &points = c.series(s).points();
            ASSERT_EQ(points.size(), 3u) << name;
            for (int p = 0; p < 3; ++p) {
                const int r = s * 3 + p + 1;
                const double value = column == 4 ? r + 1 : column * 1000 + r;
                EXPECT_DOUBLE_EQ(points[size_t(p)].value, average ? value / (r + 1) : value) << name << " row " << r;
                EXPECT_EQ(points[size_t(p)].label, rows[r - 1][1]) << name;
            }
        }
    }
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 0));

    // The user clicks into the combo and types a prefix that it completes: every chart
    // shows the completed key alone, and still does once the user leaves the field.
    // The same with Enter.
    combo().setFocus();
    typeKey("9");
    EXPECT_EQ(combo().currentText(), keys[2]);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 2));
    QTest::keyClick(combo().lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 2));
    combo().setFocus();
    typeKey("4k2xq7::2");
    EXPECT_EQ(combo().currentText(), keys[1]);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 1));
    QTest::keyClick(combo().lineEdit(), Qt::Key_Return);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 1));
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();

    // A value that is no number stops the drawing part-way: the later charts hold fewer
    // series, and choosing a key skips the charts that lack its series.
    QStringList broken = row("1", "b::2", "5", "10");
    broken[10] = "n/a";
    runRows("broken", {row("1", "a::1", "5", "10"), broken});
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

TEST_F(SqlHistory, ClearAllEmptiesTheResultsTheListTheCombosAndTheAlert)
{
    // What the screen shows of results, headers included, as it starts.
    const auto shown = [&] {
        Screenful out = chartsOf(h.screen);
        for (const char *g : {"SQL_Prof_Grid", "sqlid_grid", "sql_ash_grid", "sql_ash_grid_summ"})
            out << gridOf(h.screen, g) << Shown{g + QString(" headers"), h.grid(g).headers()};
        for (const char *c : {"sqlid_combo", "sqltext_combo"})
            out << itemsOf(h.screen, c) << Shown{c + QString(" text"), {combo(c).currentText()}};
        std::sort(out.begin(), out.end(), [](const Shown &a, const Shown &b) { return a.widget < b.widget; });
        return out;
    };
    const Screenful atStart = shown();
    loadList((batchStatement().sqlId + ",\r\n" + statement(1).sqlId + ",\r\n").toUtf8());
    bulkMode();
    h.widget<QLineEdit>("dayret").setText("3");
    h.click("ret_bulk_button");
    ASSERT_TRUE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen)); // the batch runs past its snapshots
    h.click("RadioButton21");
    h.click("Button42");
    ASSERT_GT(summary().rowCount(), 1);
    ASSERT_FALSE(chart("sqlstat_wait_cnt").series(0).points().empty());
    grid().setCell(1, 0, "edited");

    h.click("Button104");
    EXPECT_EQ(shown(), atStart);
    EXPECT_FALSE(h.widget<QFrame>("alert_shp").isVisibleTo(&h.screen));

    // An empty key matches the summary's empty row: no slice, no error.
    typeKey("x");
    typeKey("");
    EXPECT_TRUE(chart("sqlstat_wait_cnt").series(0).points().empty());
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join("\n").toStdString();
}

TEST_F(SqlHistory, EachChartSetShowsItsThreeChartsBesideTheExecutions)
{
    // The kind and profile clicked, and the charts then shown beside the executions.
    const std::tuple<const char *, const char *, QStringList> sets[] = {
        {"histsql_avg_btn", "hist_comms_btn", {"appw", "concw", "clustw"}},
        {"histsql_totals_btn", "hist_comms_btn", {"appw", "concw", "clustw"}},
        {"histsql_totals_btn", "histsql_io_btn", {"io", "sorts", "iow"}},
        {"histsql_avg_btn", "histsql_io_btn", {"io", "sorts", "iow"}},
        {"histsql_avg_btn", "histsql_general_btn", {"ela", "row", "cpu"}},
        {"histsql_totals_btn", "histsql_general_btn", {"ela", "row", "cpu"}},
    };
    h.screen.setCurrentWidget(h.screen.findChild<QWidget *>("TabSheet3"));
    auto shown = [&] {
        QStringList out;
        for (const auto &[name, column] : kDrawn)
            if (h.widget<ChartView>(name).isVisible())
                out << name;
        out.sort();
        return out;
    };
    const auto expected = [](const QStringList &set, bool average) {
        QStringList out{"sqlprof_execs_graph"};
        for (const QString &c : set)
            out << "sqlprof_" + c + "_graph" + (average ? "_avg" : "");
        out.sort();
        return out;
    };
    EXPECT_EQ(shown(), expected({"ela", "row", "cpu"}, false));
    for (const auto &[kind, profile, set] : sets) {
        h.click(kind);
        h.click(profile);
        EXPECT_EQ(shown(), expected(set, QByteArray(kind) == "histsql_avg_btn")) << kind << " " << profile;
    }
    // "<" widens its own chart's margin.
    h.click("Button105");
    EXPECT_EQ(chart("sqlprof_ela_graph").rightMargin(), 1);
    EXPECT_EQ(chart("sqlprof_ela_graph_avg").rightMargin(), 0);

    // The three places hold the set's charts top left, top right and bottom right.
    const QRect left = h.widget<ChartView>("sqlprof_ela_graph").geometry();
    EXPECT_LT(left.right(), h.widget<ChartView>("sqlprof_cpu_graph").geometry().left());
    EXPECT_LT(left.bottom(), h.widget<ChartView>("sqlprof_row_graph").geometry().top());
    EXPECT_LT(left.bottom(), h.widget<ChartView>("sqlprof_execs_graph").geometry().top());
}

TEST_F(SqlHistory, TheWaitsOfAStatementPerSessionPlanAndEventWithTheirSummaryAndPies)
{
    const auto &two = statement(sim::SqlWorkload::kTwoPlansIndex);
    retrieveWaits(two.sqlId, "14");
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
    // Several sessions, both plans, waits and CPU (no event: named in the legends below).
    EXPECT_GT(rows.size(), 10);
    EXPECT_NE(rows.first()[2], rows.last()[2]);

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

    // The other key chosen from code: no refill, the first key's series stay shown.
    const auto firstSlices = slices("sqlstat_wait_cnt");
    combo().setCurrentIndex(1);
    EXPECT_EQ(slices("sqlstat_wait_cnt"), firstSlices);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 0));
    // A choice on the text and plan tab re-applies the statistics combo's key.
    combo("sqltext_combo").setCurrentIndex(0);
    QTest::keyClick(&combo("sqltext_combo"), Qt::Key_Down);
    EXPECT_EQ(activeSeries(), std::vector<int>(19, 1));
    // Chosen by the user: its rows, from the summary, with no query.
    combo().setCurrentIndex(0);
    QTest::keyClick(&combo(), Qt::Key_Down);
    EXPECT_EQ(h.sim.server.statements().size(), 1);
    EXPECT_FALSE(slices("sqlstat_wait_cnt").empty());
    EXPECT_EQ(slices("sqlstat_wait_cnt"), slicesOf(combo().currentText(), 2));
    EXPECT_EQ(slices("sqlstat_wait_time"), slicesOf(combo().currentText(), 3));

    // The slice of samples without an event is named in the legend, not given as a figure;
    // the legend, which alone names the slices, names every one of them.
    QCoreApplication::processEvents();
    for (const char *name : {"sqlstat_wait_cnt", "sqlstat_wait_time"}) {
        QStringList legend;
        for (const LegendEntry &e : h.widget<ChartView>(name).legend())
            legend << e.text;
        QStringList events;
        for (const auto &[event, value] : slices(name))
            events << (event.isEmpty() ? "ON CPU" : event);
        ASSERT_GE(events.size(), 4) << name;
        EXPECT_EQ(legend, events) << name;
        EXPECT_TRUE(legend.contains("ON CPU")) << name;
    }

    h.click("RadioButton6");
    EXPECT_TRUE(h.widget<GridView>("sql_ash_grid_summ").isVisible());
    EXPECT_FALSE(h.widget<GridView>("sql_ash_grid").isVisible());
    h.click("RadioButton4");
    EXPECT_FALSE(h.widget<GridView>("sql_ash_grid_summ").isVisible());
    EXPECT_TRUE(h.widget<GridView>("sql_ash_grid").isVisible());
}

TEST_F(SqlHistory, TheParameterBoxesRefineTheEventInTheSelectTheGroupingAndTheOrder)
{
    const auto &report = statement(sim::SqlWorkload::kLongTextIndex);
    retrieveWaits(report.sqlId, "2");
    h.widget<QCheckBox>("P3text_chk").setChecked(true);
    h.widget<QCheckBox>("P1_chk").setChecked(true);
    h.click("Button42");
    ASSERT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(memoLines(h.memo("sql_ash_text")), waitLines(report.sqlId, "2", "||':'||x.p1||':'||x.p3text"));
    auto &model = h.sim.server.model();
    const QList<QStringList> expected =
        detailFromTheModel(model, report.sqlId, model.now().addDays(-2),
                           [](const auto &x) { return x.event + ":" + QString::number(x.p1) + ":" + x.p3text; });
    ASSERT_EQ(rowsOf(detail()), expected);
    // On CPU: no event, no parameter names, parameters 0.
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [](const QStringList &r) { return r[5] == ":0:"; }));
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(),
                            [](const QStringList &r) { return r[5].startsWith("db file scattered read:"); }));
    EXPECT_EQ(rowsOf(summary()), summed(expected));

    for (const char *box : {"P1text_chk", "P2text_chk", "P2_chk", "P3_chk"})
        h.widget<QCheckBox>(box).setChecked(true);
    h.click("Button42");
    EXPECT_EQ(
        memoLines(h.memo("sql_ash_text")),
        waitLines(report.sqlId, "2", "||':'||x.p1text||':'||x.p1||':'||x.p2text||':'||x.p2||':'||x.p3text||':'||x.p3"));
    EXPECT_EQ(detail().cell(5, 1).count(':'), 6);

    // A kept script runs as it stands: the boxes change nothing.
    const QStringList kept = waitLines(report.sqlId, "1");
    h.memo("sql_ash_text").setPlainText(kept.join('\n'));
    h.widget<QCheckBox>("sql_mds_check").setChecked(true);
    h.click("Button42");
    EXPECT_EQ(h.sim.server.statements().last(), kept.join('\n'));
    EXPECT_EQ(rowsOf(detail()),
              detailFromTheModel(model, report.sqlId, model.now().addDays(-1), [](const auto &x) { return x.event; }));
}

TEST_F(SqlHistory, TheSwitchShowsTheBoxOrTheChartSetsAndNoSamplesGiveEmptyGridsAndPiesWithoutAnError)
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

    // As it starts, the script asks for a placeholder in the detail grid's columns.
    h.widget<QCheckBox>("sql_mds_check").setChecked(true);
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
    EXPECT_TRUE(slices("sqlstat_wait_cnt").empty());
    EXPECT_TRUE(slices("sqlstat_wait_time").empty());
    EXPECT_TRUE(box.isVisible());

    h.click("RadioButton8");
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(panel1.isVisible() && panel2.isVisible());
    // A database error leaves the box hidden under the chosen "Wait Event Statistics";
    // choosing the execution statistics and back shows it again.
    h.click("RadioButton21");
    h.widget<QRadioButton>("sqlfromto").setChecked(true);
    h.widget<QLineEdit>("sqlfromdate").setText("31/NOV/2026 08:00:00");
    h.click("Button42");
    ASSERT_EQ(h.sink().errors.size(), 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(h.widget<QRadioButton>("RadioButton21").isChecked());
    EXPECT_FALSE(panel1.isVisible() || panel2.isVisible());
    h.click("RadioButton8");
    h.click("RadioButton21");
    EXPECT_TRUE(box.isVisible());
}

TEST_F(SqlHistory, LoadShowsTheWholeStoredTextAndThePlanOfTheKeyCutAtItsColons)
{
    const auto &report = statement(sim::SqlWorkload::kLongTextIndex);
    const auto &two = statement(sim::SqlWorkload::kTwoPlansIndex);
    ASSERT_GT(report.text.size(), 65536);
    retrieveWaits(report.sqlId, "3");
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
    EXPECT_EQ(plan.textCursor().position(), 0);

    // Another plan of another statement replaces both; the plan shows from its top again.
    plan.moveCursor(QTextCursor::End);
    typeKey(two.sqlId + "::" + QString::number(two.plans.at(1)), "sqltext_combo");
    h.click("Button180");
    EXPECT_EQ(h.memo("awrsqltext_memo").toPlainText(), two.text);
    EXPECT_TRUE(plan.toPlainText().contains("Plan hash value: " + QString::number(two.plans.at(1))));
    EXPECT_FALSE(plan.toPlainText().contains("Plan hash value: " + QString::number(two.plans.at(0))));
    EXPECT_EQ(plan.textCursor().position(), 0);

    // Without a plan hash value: every plan of the statement.
    typeKey(two.sqlId + "::", "sqltext_combo");
    h.click("Button180");
    EXPECT_EQ(h.sim.server.statements().last(),
              "SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_AWR('" + two.sqlId + "','',null,'ALL +OUTLINE'))");
    for (const qint64 phv : two.plans)
        EXPECT_TRUE(plan.toPlainText().contains("Plan hash value: " + QString::number(phv)));
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();

    // Without ':' the sql_id is empty and the plan hash value the text from its second
    // character: a bare sql_id is no number.
    typeKey(statement(2).sqlId, "sqltext_combo");
    h.click("Button180");
    EXPECT_TRUE(h.sim.server.statements().last().contains("DISPLAY_AWR('','" + statement(2).sqlId.mid(1) + "',"));
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01722: invalid number"});
}
