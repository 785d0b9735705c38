// One logged-on window on the simulated instance, walked through as a user meets it:
// each screen's main action once, every result filled where the instance holds data,
// and never an error box. With TAVIMOND_SHOTS naming a folder, the walk leaves a
// picture of every screen and tab it fills there.
#include "shell_support.h"

#include "common/fault_matrix.h"

#include "core/chart.h"
#include "db/sim/repository/sql_workload.h"
#include "live/latch_screen.h"
#include "live/real_time_screen.h"
#include "live/session_statistics_tab.h"
#include "live/wait_events_screen.h"
#include "ui/chart_view.h"
#include "ui/grid_view.h"
#include "ui/screen.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

using namespace tavimond;

namespace {

class WholeWalk : public test::LoggedOnWindow {
protected:
    // The screen a menu item brings to the front.
    Screen &open(const char *menuItem)
    {
        widget<QAction>(menuItem).trigger();
        return *window.frontScreen();
    }
    template <class W>
    W &on(const char *name)
    {
        W *w = window.frontScreen()->findChild<W *>(QLatin1String(name));
        if (!w)
            throw std::runtime_error(std::string("no component ") + name + " on the screen in front");
        return *w;
    }
    void press(const char *name) { QTest::mouseClick(&on<QAbstractButton>(name), Qt::LeftButton); }
    void type(const char *edit, const QString &text) { on<QLineEdit>(edit).setText(text); }
    const ResultGrid &gridOf(const char *name) { return *on<GridView>(name).grid(); }
    // Records: the rows under the header that hold something.
    int records(const char *name)
    {
        const ResultGrid &g = gridOf(name);
        int n = 0;
        for (int r = 1; r < g.rowCount(); ++r)
            n += !g.cell(0, r).isEmpty();
        return n;
    }
    const Chart &chart(const char *name) { return on<Chart>(name); }
    // Points of the chart's active series.
    size_t shownPoints(const char *name)
    {
        size_t n = 0;
        const Chart &c = chart(name);
        for (int i = 0; i < c.seriesCount(); ++i)
            if (c.series(i).active())
                n += c.series(i).points().size();
        return n;
    }
    QString memo(const char *name) { return on<QPlainTextEdit>(name).toPlainText(); }
    QString text(const char *name) { return on<QLineEdit>(name).text(); }
    // No error box since the last look.
    void clean(const char *where)
    {
        EXPECT_TRUE(sink().errors.isEmpty()) << where << ": " << sink().errors.join(QLatin1Char('\n')).toStdString();
        sink().errors.clear();
    }

    static void clickRow(GridView &view, int row)
    {
        const QModelIndex index = view.model()->index(row - 1, 0);
        view.scrollTo(index);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
    }

    // The client area as it is now, into the shots folder when there is one.
    void shoot(const QString &name)
    {
        if (shots_.isEmpty())
            return;
        QCoreApplication::processEvents();
        const QPixmap picture = window.centralWidget()->grab();
        EXPECT_EQ(picture.size(), QSize(1142, 698)) << name.toStdString();
        EXPECT_TRUE(picture.save(QDir(shots_).filePath(name + QStringLiteral(".png")))) << name.toStdString();
    }
    // Every tab of a tab widget in turn; the tab shown before is shown again after.
    void shootTabs(QTabWidget &tabs, const QString &prefix)
    {
        if (shots_.isEmpty())
            return;
        const int was = tabs.currentIndex();
        for (int i = 0; i < tabs.count(); ++i) {
            tabs.setCurrentIndex(i);
            shoot(QStringLiteral("%1_%2").arg(prefix).arg(i));
        }
        tabs.setCurrentIndex(was);
    }

    // Presses a button that runs something: no error box follows.
    void act(const char *button, const char *what)
    {
        press(button);
        clean(what);
    }
    // "Export(CSV)": the export file of the current folder holds the grid, and the user
    // was told so.
    void exportWith(const char *button, const char *grid)
    {
        act(button, "the export");
        exported(gridOf(grid));
    }
    void exported(const ResultGrid &grid);

    // Presses every "=||" button shown on the screen: its chart's bottom labels turn.
    void turnBottomLabels(QWidget &screen)
    {
        for (QPushButton *b : screen.findChildren<QPushButton *>())
            if (b->isVisible() && b->text() == QStringLiteral("=||"))
                QTest::mouseClick(b, Qt::LeftButton);
    }

    void live();
    void sqlHistory();
    void sqlTopology();
    void systemTopology();
    void waitHistory();
    void datafiles();
    void segments();
    void advisors();
    void objects();
    void security();
    void storage();

    const QString shots_ = qEnvironmentVariable("TAVIMOND_SHOTS");
};

void WholeWalk::live()
{
    // Points are stamped with the simulated time, which the walk moves on.
    const auto clock = [this] { return sim::Model::start().addSecs(server.model().elapsedSeconds()); };
    window.findChild<WaitEventsScreen *>()->setClock(clock);
    window.findChild<LatchScreen *>()->setClock(clock);
    window.findChild<RealTimeScreen *>()->sessionStatistics()->setClock(clock);
    Screen &realTime = open("RealTimePerformance1");
    shoot(QStringLiteral("live_real_time_before_sampling"));
    for (const char *box : {"session_check", "sr_check", "Latch_Check", "CBC_latch_check"})
        check(box, true);
    fire("Default_timer");
    fire("latch_timer");
    fire("CBCLatch_Timer");
    // A session running a statement with a plan, as the user picks it from the list.
    const ResultGrid &sessions = grid("sessres_grid");
    int chosen = 1;
    while (chosen < sessions.rowCount() && !sessions.cell(3, chosen).contains(QRegularExpression("^\\w+::[1-9]")))
        ++chosen;
    ASSERT_LT(chosen, sessions.rowCount()) << "no session runs a statement";
    chooseRow(chosen);
    check("sesevt_check", true);
    for (int tick = 0; tick < 4; ++tick) {
        server.model().advance(120);
        fire("Default_timer");
        fire("latch_timer");
        fire("CBCLatch_Timer");
    }
    clean("the live ticks");
    EXPECT_GT(records("sessres_grid"), 40);
    EXPECT_GT(records("sessres_grid_del"), 0);
    EXPECT_GT(records("sesevtgrid_cnt"), 0);
    EXPECT_GT(records("timedstatgrid"), 10);
    EXPECT_GT(chart("sessres_graph").seriesCount(), 0);

    act("Button23", "SQL text and plan");
    EXPECT_FALSE(memo("sqltextmemo").trimmed().isEmpty());
    EXPECT_TRUE(memo("sessplan_memo").contains(QLatin1String("Plan hash value")))
        << memo("sessplan_memo").toStdString();
    act("Button99", "locks");
    EXPECT_GT(records("lockgrid"), 20);
    EXPECT_EQ(records("blockinggrid"), 1);
    shootTabs(realTime, QStringLiteral("live_real_time"));

    open("WaitEvents1");
    EXPECT_GT(records("SRGrid"), 20);
    EXPECT_GT(shownPoints("EVTChart"), 20u);
    EXPECT_GT(shownPoints("EVTcharttime"), 20u);
    shoot(QStringLiteral("live_wait_events_chart"));
    press("rbut_wait_grid");
    shoot(QStringLiteral("live_wait_events_grid"));
    press("rbut_wait_graph");

    Screen &latches = open("Latching1");
    EXPECT_GT(records("Latchgrid"), 20);
    EXPECT_GT(shownPoints("latchchart"), 20u);
    EXPECT_GT(records("cbc_latchgrid"), 1);
    on<GridView>("cbc_latchgrid").setCurrentIndex(on<GridView>("cbc_latchgrid").model()->index(0, 0));
    act("Button30", "touch counts");
    EXPECT_GT(records("tch_grid"), 0);
    shootTabs(latches, QStringLiteral("live_latching"));

    Screen &sga = open("BufferHitRatio1");
    act("sgahitbut", "SGA hit ratios");
    EXPECT_GT(records("DDictGrid"), 5);
    EXPECT_GT(records("LCacheGrid"), 5);
    // The three ratios: percentages the labels show.
    for (const char *label : {"DDHRLabel", "LCHRLabel", "BCHRLabel"}) {
        const QRegularExpressionMatch ratio =
            QRegularExpression("[(:](\\d+(\\.\\d+)?)[ )]").match(on<QLabel>(label).text());
        ASSERT_TRUE(ratio.hasMatch()) << on<QLabel>(label).text().toStdString();
        EXPECT_GT(ratio.captured(1).toDouble(), 0) << label;
        EXPECT_LE(ratio.captured(1).toDouble(), 100) << label;
    }
    shootTabs(sga, QStringLiteral("live_sga"));

    Screen &cache = open("BufferCache1");
    act("bcc_button", "buffer cache content");
    EXPECT_GT(records("bc_grid"), 5);
    shootTabs(cache, QStringLiteral("live_buffer_cache"));
}

void WholeWalk::sqlHistory()
{
    Screen &history = open("hISTORY1");
    const auto &workload = server.model().state<sim::SqlWorkload>();
    const auto &twoPlans = workload.statements().at(sim::SqlWorkload::kTwoPlansIndex);
    type("adhoc_sqlid", twoPlans.sqlId);
    act("Button101", "a single retrieval");
    EXPECT_GT(records("SQL_Prof_Grid"), 5);
    EXPECT_GT(on<QComboBox>("sqlid_combo").count(), 0);
    EXPECT_GT(shownPoints("sqlprof_ela_graph"), 5u);
    EXPECT_GT(shownPoints("sqlprof_execs_graph"), 5u);
    // The statement's waits, their summary and pies.
    history.setCurrentWidget(&on<QWidget>("TabSheet3"));
    press("RadioButton21");
    act("Button42", "the wait statistics");
    EXPECT_GT(records("sql_ash_grid"), 5);
    EXPECT_GT(records("sql_ash_grid_summ"), 1);
    EXPECT_GT(shownPoints("sqlstat_wait_cnt"), 1u);
    EXPECT_GT(shownPoints("sqlstat_wait_time"), 1u);
    shoot(QStringLiteral("sql_history_waits_detail"));
    press("RadioButton6");
    shoot(QStringLiteral("sql_history_waits_summary"));
    press("RadioButton8");
    // Its stored text and plan.
    act("Button180", "the text and plan");
    EXPECT_TRUE(memo("awrsqltext_memo")
                    .contains(QRegularExpression("select|SELECT|insert|INSERT|update|UPDATE|delete|DELETE")));
    EXPECT_TRUE(memo("awrsqlexec_memo").contains(QLatin1String("Plan hash value")));
    shootTabs(history, QStringLiteral("sql_history_single"));

    // The demo's baseline list, loaded from the current folder under its default name,
    // and its statements retrieved in bulk, then exported.
    const QString demoList =
        qEnvironmentVariable("TAVIMOND_TEST_DATA") + QStringLiteral("/../../demo/Default_SQL_List.txt");
    ASSERT_TRUE(QFile::copy(demoList, folder.filePath(QStringLiteral("Default_SQL_List.txt"))))
        << demoList.toStdString();
    history.setCurrentIndex(0);
    EXPECT_EQ(text("SQLIdList"), QStringLiteral("Default_SQL_List.txt"));
    act("Button102", "the list file");
    const int listed = records("sqlid_grid");
    EXPECT_GE(listed, 4);
    press("listrb");
    act("ret_bulk_button", "a bulk retrieval");
    QSet<QString> statements;
    const ResultGrid &rows = gridOf("SQL_Prof_Grid");
    for (int r = 1; r < rows.rowCount(); ++r)
        statements << rows.cell(3, r).section(QStringLiteral("::"), 0, 0);
    // Each statement of the list ran in the last day.
    EXPECT_EQ(statements.size(), listed);
    EXPECT_GE(on<QComboBox>("sqlid_combo").count(), listed);
    history.setCurrentWidget(&on<QWidget>("TabSheet3"));
    for (const char *set : {"histsql_totals_btn", "histsql_avg_btn"})
        for (const char *profile : {"histsql_general_btn", "histsql_io_btn", "hist_comms_btn"}) {
            press(set);
            press(profile);
            shoot(QStringLiteral("sql_history_bulk_%1_%2").arg(QLatin1String(set), QLatin1String(profile)));
        }
    press("histsql_totals_btn");
    press("histsql_general_btn");
    // The snapshot times turned upright under every chart shown, and back.
    turnBottomLabels(history);
    shoot(QStringLiteral("sql_history_bulk_labels_upright"));
    turnBottomLabels(history);
    shootTabs(history, QStringLiteral("sql_history_bulk"));
    exportWith("Button1", "SQL_Prof_Grid");
}

void WholeWalk::exported(const ResultGrid &grid)
{
    ASSERT_FALSE(sink().infos.isEmpty());
    EXPECT_EQ(sink().infos.last(), QStringLiteral("CSV Created: csvexport.csv"));
    QFile file(folder.filePath(QStringLiteral("csvexport.csv")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.size() - 1, grid.rowCount());
    EXPECT_EQ(lines.value(1).trimmed(), grid.row(1).join(QLatin1Char(',')).toUtf8());
    file.remove();
}

void WholeWalk::sqlTopology()
{
    Screen &topology = open("Load1");
    act("Button13", "SQL topology");
    EXPECT_GT(records("SQL_top_Grid"), 20);
    shootTabs(topology, QStringLiteral("sql_topology"));
    exportWith("exportcsv", "SQL_top_Grid");
}

void WholeWalk::systemTopology()
{
    Screen &system = open("S1");
    act("Button2", "system topology");
    EXPECT_GT(records("systopgrid"), 20);
    QComboBox &instances = on<QComboBox>("instid_combo");
    ASSERT_EQ(instances.count(), 2);
    instances.setFocus();
    QTest::keyClick(&instances, Qt::Key_Down);
    EXPECT_EQ(instances.currentText(), QStringLiteral("TAVIDB2"));
    EXPECT_GT(shownPoints("syselaps_graph"), 10u);
    for (const char *group : {"RadioButton32", "RadioButton33", "RadioButton40", "RadioButton36", "RadioButton37",
                              "RadioButton38", "RadioButton39"}) {
        press(group);
        shoot(QStringLiteral("system_topology_%1").arg(QLatin1String(group)));
    }
    press("RadioButton32");
    turnBottomLabels(system);
    shoot(QStringLiteral("system_topology_labels_upright"));
    turnBottomLabels(system);
    shootTabs(system, QStringLiteral("system_topology"));
    exportWith("Button67", "systopgrid");
}

void WholeWalk::waitHistory()
{
    Screen &waits = open("WaitEvents1");
    waits.setCurrentWidget(&on<QWidget>("wthist"));
    act("Button10", "wait event history");
    EXPECT_GT(records("wthistgrid"), 100);
    EXPECT_GT(chart("WaitHistGraph").seriesCount(), 10);
    EXPECT_GT(shownPoints("WaitHistGraph"), 100u);
    EXPECT_GT(shownPoints("WaitHistGraphtime"), 100u);
    shoot(QStringLiteral("wait_history_graph"));
    press("RadioButton2");
    shoot(QStringLiteral("wait_history_grid"));
    press("RadioButton1");
}

void WholeWalk::datafiles()
{
    Screen &files = open("DatafileStatistics1");
    act("Button116", "datafile statistics");
    EXPECT_GT(records("df_grid"), 20);
    for (const char *pair : {"df_ops", "df_times_total", "df_times_avg"}) {
        press(pair);
        shoot(QStringLiteral("datafile_stats_%1").arg(QLatin1String(pair)));
    }
    press("df_ops");
    turnBottomLabels(files);
    shoot(QStringLiteral("datafile_stats_labels_upright"));
    turnBottomLabels(files);
    EXPECT_GT(shownPoints("reads_graph"), 20u);
    EXPECT_GT(shownPoints("writes_graph"), 20u);
    shootTabs(files, QStringLiteral("datafile_stats"));
}

void WholeWalk::segments()
{
    Screen &segments = open("Statistics1");
    act("Button83", "the segment tree");
    QTreeWidget &tree = on<QTreeWidget>("segtree");
    QTabWidget &tabs = on<QTabWidget>("segstatstab");
    const QList<QStringList> nodes{
        {"TABLE", "SALES.ORDER_LINES"}, {"INDEX", "SALES.ORDERS_PK"}, {"TABLE", "SALES.ORDERS", "P2026_11"}};
    for (const QStringList &path : nodes) {
        test::doubleClickNode(tree, path);
        clean(qPrintable(path.join(QLatin1Char('/'))));
        EXPECT_GT(records("segstat_grid"), 5) << path.join(QLatin1Char('/')).toStdString();
        EXPECT_GT(records("seggrowthgrid"), 20) << path.join(QLatin1Char('/')).toStdString();
        EXPECT_GT(shownPoints("seg_lreads_graph"), 5u) << path.join(QLatin1Char('/')).toStdString();
        EXPECT_GT(shownPoints("objgrowth_graph"), 20u) << path.join(QLatin1Char('/')).toStdString();
        const QString name = path.last().toLower().replace(QLatin1Char('.'), QLatin1Char('_'));
        shootTabs(tabs, QStringLiteral("segment_%1").arg(name));
    }
    shootTabs(segments, QStringLiteral("segment"));
    exportWith("exp_segstat", "segstat_grid");
}

void WholeWalk::advisors()
{
    Screen &advisors = open("Advir1");
    act("Button182", "advisor findings");
    EXPECT_GT(records("adv_grid"), 10);
    clickRow(on<GridView>("adv_grid"), 2);
    EXPECT_EQ(text("advdat"), gridOf("adv_grid").cell(0, 2));
    EXPECT_FALSE(text("advdat").isEmpty());
    shootTabs(advisors, QStringLiteral("advisors"));
}

void WholeWalk::objects()
{
    Screen &browser = open("Object2");
    for (const char *box : {"tabcbox", "indcbox", "viewcbox", "funcbox", "seqcbox", "trigcbox", "syncbox", "dircbox",
                            "jobcbox", "packcbox", "proccbox", "progcbox"})
        on<QCheckBox>(box).setChecked(true);
    act("Button141", "the object list");
    QTreeWidget &tree = on<QTreeWidget>("objtree");
    ASSERT_EQ(tree.topLevelItemCount(), 12);
    shootTabs(browser, QStringLiteral("objects"));
    // One object of each kind: its page in front, its record and its DDL shown.
    const std::pair<const char *, const char *> shown[] = {
        {"TABLE", "SALES.ORDERS"},
        {"INDEX", "BILLING.CALL_RECORDS_IX"},
        {"VIEW", "HR.EMP_DETAILS_V"},
        {"FUNCTION", "SALES.ORDER_TOTAL"},
        {"SEQUENCE", "SALES.ORDERS_SEQ"},
        {"TRIGGER", "SALES.ORDERS_BIU"},
        {"SYNONYM", "INVENTORY.REMOTE_STOCK"},
        {"DIRECTORY", "SYS.DATA_PUMP_DIR"},
        {"JOB", "BILLING.MONTHLY_INVOICE_RUN"},
        {"PACKAGE", "BILLING.INVOICE_PKG"},
        {"PROCEDURE", "SALES.LOG_ORDER_CHANGE"},
        {"PROGRAM", "BILLING.INVOICE_RUN_PROG"},
    };
    QStackedWidget &details = on<QStackedWidget>("objdetails");
    for (const auto &[kind, node] : shown) {
        test::doubleClickNode(tree, {QLatin1String(kind), QLatin1String(node)});
        clean(node);
        auto *page = qobject_cast<QTabWidget *>(details.currentWidget());
        ASSERT_NE(page, nullptr) << kind;
        // The record, or the code, names the object; the DDL where the kind has one
        // (code shows its stored lines instead, a program its record alone).
        const QString name = QString::fromLatin1(node).section(QLatin1Char('.'), 1);
        const bool code = QStringList{"FUNCTION", "PACKAGE", "PROCEDURE"}.contains(QLatin1String(kind));
        bool named = false, ddl = false;
        for (const QLineEdit *e : page->findChildren<QLineEdit *>())
            named = named || e->text() == name || e->text() == QLatin1String(node);
        for (const QPlainTextEdit *m : page->findChildren<QPlainTextEdit *>()) {
            named = named || (code && m->toPlainText().contains(name, Qt::CaseInsensitive));
            ddl = ddl || m->toPlainText().contains(QRegularExpression("CREATE|dbms_scheduler\\.create_"));
        }
        EXPECT_TRUE(named) << node;
        EXPECT_EQ(ddl, !code && QLatin1String(kind) != QLatin1String("PROGRAM")) << node;
        // A partitioned table or index: a click on its first partition shows its figures.
        for (const char *partitions : {"parttree", "idxparttree"}) {
            auto *tree = page->findChild<QTreeWidget *>(QLatin1String(partitions));
            if (!tree || tree->topLevelItemCount() == 0)
                continue;
            for (QWidget *w = tree; w && w != page; w = w->parentWidget())
                if (page->indexOf(w) >= 0)
                    page->setCurrentWidget(w);
            const QRect first = tree->visualItemRect(tree->topLevelItem(0));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, first.center());
            clean(partitions);
            page->setCurrentIndex(0);
        }
        shootTabs(*page, QStringLiteral("objects_%1").arg(QString::fromLatin1(kind).toLower()));
    }
    EXPECT_GT(records("partitiongrid"), 3);
    EXPECT_GT(records("objtabcolsgrid"), 3);
    EXPECT_GT(records("idxcolsgrid"), 0);
}

void WholeWalk::security()
{
    Screen &browser = open("Security1");
    type("secfilter", QStringLiteral("%"));
    act("Button3", "the security list");
    QTreeWidget &tree = on<QTreeWidget>("securitytree");
    ASSERT_EQ(tree.topLevelItemCount(), 4);
    QTabWidget &details = on<QTabWidget>("secpage2");

    test::doubleClickNode(tree, {"USER", "HR"});
    clean("a user");
    EXPECT_EQ(text("username"), QStringLiteral("HR"));
    EXPECT_GT(records("userrolegrid"), 0);
    shootTabs(details, QStringLiteral("security_user"));
    press("userrolehier");
    act("btbtn", "the user's grant tree");
    press("btexpbtn");
    EXPECT_GT(on<QTreeWidget>("userroletree").topLevelItemCount(), 0);
    details.setCurrentWidget(&on<QWidget>("userpage"));
    shoot(QStringLiteral("security_user_grant_tree"));

    // The first name under a root.
    const auto first = [&](const char *root) {
        QTreeWidgetItem *top = test::nodeAt(tree, {QLatin1String(root)});
        EXPECT_GT(top->childCount(), 0) << root;
        return top->childCount() > 0 ? top->child(0)->text(0) : QString();
    };
    test::doubleClickNode(tree, {"ROLE", first("ROLE")});
    clean("a role");
    EXPECT_GT(on<QTreeWidget>("roletree").topLevelItemCount(), 0);
    press("roleexpbtn");
    shoot(QStringLiteral("security_role"));
    test::doubleClickNode(tree, {"PROFILE", first("PROFILE")});
    clean("a profile");
    EXPECT_GT(records("profilegrid"), 5);
    shoot(QStringLiteral("security_profile"));
    test::doubleClickNode(tree, {"T/S QUOTAS", first("T/S QUOTAS")});
    clean("a tablespace quota");
    EXPECT_GT(records("tsqugrid"), 0);
    shoot(QStringLiteral("security_quota"));
    shootTabs(browser, QStringLiteral("security"));
}

void WholeWalk::storage()
{
    Screen &browser = open("Storage2");
    act("Button68", "the storage list");
    QTreeWidget &tree = on<QTreeWidget>("tsdftree");
    ASSERT_GT(tree.topLevelItemCount(), 5);
    QTreeWidgetItem *tablespace = test::nodeAt(tree, {"APP_DATA"});
    ASSERT_GT(tablespace->childCount(), 0);
    test::doubleClickNode(tree, {"APP_DATA"});
    clean("a tablespace");
    EXPECT_EQ(text("tsblocksize"), QStringLiteral("8192"));
    shoot(QStringLiteral("storage_tablespace"));
    test::doubleClickNode(tree, {"APP_DATA", tablespace->child(0)->text(0)});
    clean("a file");
    EXPECT_FALSE(text("dffileid").isEmpty());
    shoot(QStringLiteral("storage_file"));
    press("RadioButton29");
    shoot(QStringLiteral("storage_file_grid"));
    press("RadioButton28");
    act("gettssizes", "the tablespace's growth");
    EXPECT_GT(records("tssizegrid"), 20);
    EXPECT_GT(shownPoints("tssizegraph"), 60u);
    shootTabs(browser, QStringLiteral("storage"));
    on<QTabWidget>("storagetabs").setCurrentIndex(1);
    shoot(QStringLiteral("storage_growth_graph"));
    press("RadioButton34");
    shoot(QStringLiteral("storage_growth_grid"));
    press("RadioButton35");
}

} // namespace

TEST_F(WholeWalk, EveryScreensMainActionFillsItWithoutAnErrorBox)
{
    // Six hours into the clock: the repository's last day and the live counters both moved on.
    server.model().advance(6 * 3600);
    live();
    sqlHistory();
    sqlTopology();
    systemTopology();
    waitHistory();
    datafiles();
    segments();
    advisors();
    objects();
    security();
    storage();
}
