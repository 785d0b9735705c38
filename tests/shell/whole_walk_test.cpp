// One logged-on window on the simulated instance, walked through as a user meets it:
// the live screens left sampling for an hour and a quarter, each other screen's main
// action once, every result filled where the instance holds data, and never an error
// box. With TAVIMOND_SHOTS naming a folder (made if missing), the
// walk leaves there a picture of every tab of every screen (the tabs within them too),
// every chart set, every view a radio button switches to, numbered in walk order
// and named for what they show; with TAVIMOND_SHOTS_SMALL set as well, each picture a
// second time as a 1024x700 window shows it, in the folder's 1024x700 subfolder. The
// clicks that serve only a picture run only then.
#include "layout_check.h"
#include "shell_support.h"

#include "common/fault_matrix.h"
#include "common/test_data.h"
#include "core/chart.h"
#include "db/sim/repository/sql_workload.h"
#include "live/latch_screen.h"
#include "live/real_time_screen.h"
#include "live/session_statistics_tab.h"
#include "live/wait_events_screen.h"
#include "ui/screen.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
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
    // Each grid holds more records than its least; each chart more points in its active
    // series.
    void filled(std::initializer_list<std::pair<const char *, int>> grids,
                std::initializer_list<std::pair<const char *, size_t>> charts = {})
    {
        for (const auto &[name, least] : grids)
            EXPECT_GT(records(name), least) << name;
        for (const auto &[name, least] : charts) {
            size_t n = 0;
            const Chart &c = on<Chart>(name);
            for (int i = 0; i < c.seriesCount(); ++i)
                n += c.series(i).active() ? c.series(i).points().size() : 0;
            EXPECT_GT(n, least) << name;
        }
    }
    QString memo(const char *name) { return on<QPlainTextEdit>(name).toPlainText(); }
    QString text(const char *name) { return on<QLineEdit>(name).text(); }
    // No error box since the last look.
    void clean(const std::string &where)
    {
        EXPECT_TRUE(sink().errors.isEmpty()) << where << ": " << sink().errors.join(QLatin1Char('\n')).toStdString();
        sink().errors.clear();
    }
    // Presses a button that runs something: no error box follows.
    void act(const char *button, const char *what)
    {
        press(button);
        clean(what);
    }
    // "Export(CSV)": the export file of the current folder holds the grid, and the user
    // was told so.
    void exportWith(const char *button, const char *name)
    {
        act(button, "the export");
        const ResultGrid &grid = gridOf(name);
        ASSERT_FALSE(sink().infos.isEmpty());
        EXPECT_EQ(sink().infos.last(), QStringLiteral("CSV Created: csvexport.csv"));
        QFile file(folder.filePath(QStringLiteral("csvexport.csv")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        EXPECT_EQ(lines.size() - 1, grid.rowCount());
        EXPECT_EQ(lines.value(1).trimmed(), grid.row(1).join(QLatin1Char(',')).toUtf8());
        file.remove();
    }
    // One part of the walk: a failed assertion ends that part alone.
    static void part(const char *name, const std::function<void()> &steps)
    {
        SCOPED_TRACE(name);
        steps();
    }

    bool shooting() const { return !shots_.isEmpty(); }
    // A picture of the client area as it is now, numbered in walk order; with
    // TAVIMOND_SHOTS_SMALL, also what a 1024x700 window shows of it (a window that
    // cannot shrink that far is cut off, as a screen of that size cuts it).
    void shoot(const QString &what)
    {
        if (!shooting())
            return;
        const QString name = QStringLiteral("%1_%2.png").arg(++shot_, 3, 10, QLatin1Char('0')).arg(what);
        const auto save = [&](const QString &folder, const QSize &seen) {
            QCoreApplication::processEvents();
            EXPECT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
            const QPixmap picture = window.centralWidget()->grab(QRect(QPoint(0, 0), seen));
            EXPECT_TRUE(picture.save(QDir(folder).filePath(name))) << name.toStdString();
        };
        save(shots_, window.centralWidget()->size());
        if (qEnvironmentVariableIsSet("TAVIMOND_SHOTS_SMALL")) {
            const QSize was = window.size();
            window.resize(1024, 700);
            QCoreApplication::processEvents();
            const QSize around = window.size() - window.centralWidget()->size(); // the menu bar
            save(QDir(shots_).filePath(QStringLiteral("1024x700")),
                 (QSize(1024, 700) - around).boundedTo(window.centralWidget()->size()));
            window.resize(was);
            QCoreApplication::processEvents();
        }
    }
    // Every page of a screen or tab widget, the tabs within its pages too.
    void shootPages(QWidget &pages, const QString &prefix)
    {
        if (shooting())
            test::walkPages(pages, prefix, [this](const QString &name) { shoot(name); });
    }
    // Brings the tab pages that hold a widget to the front.
    static void reveal(QWidget &w)
    {
        for (QWidget *page = &w; page; page = page->parentWidget())
            if (auto *tabs =
                    qobject_cast<QTabWidget *>(page->parentWidget() ? page->parentWidget()->parentWidget() : nullptr);
                tabs && tabs->indexOf(page) >= 0)
                tabs->setCurrentWidget(page);
    }
    // Each view of a radio group in turn, named by its caption; the first is chosen
    // again after.
    void shootChoices(const QString &prefix, const QList<const char *> &radios)
    {
        if (!shooting())
            return;
        reveal(on<QRadioButton>(radios.first()));
        for (const char *radio : radios) {
            press(radio);
            shoot(prefix + QLatin1Char('_') + test::named(on<QRadioButton>(radio).text()));
        }
        press(radios.first());
    }
    // The charts shown with their bottom labels upright, then as they were.
    void shootLabelsUpright(const QString &prefix)
    {
        if (!shooting())
            return;
        QList<QPushButton *> turners;
        for (QPushButton *b : window.frontScreen()->findChildren<QPushButton *>())
            if (b->isVisible() && b->text() == QStringLiteral("=||"))
                turners << b;
        for (QPushButton *b : turners)
            QTest::mouseClick(b, Qt::LeftButton);
        shoot(prefix + QStringLiteral("_labels_upright"));
        for (QPushButton *b : turners)
            QTest::mouseClick(b, Qt::LeftButton);
    }
    const QString shots_ = qEnvironmentVariable("TAVIMOND_SHOTS");
    int shot_ = 0;
};

} // namespace

TEST_F(WholeWalk, EveryScreensMainActionFillsItWithoutAnErrorBox)
{
    shootPages(*window.frontScreen(), QStringLiteral("settings"));

    part("live screens", [&] {
        // Points are stamped with the simulated time, which the walk moves on.
        const auto clock = [this] { return sim::Model::start().addSecs(server.model().elapsedSeconds()); };
        window.findChild<WaitEventsScreen *>()->setClock(clock);
        window.findChild<LatchScreen *>()->setClock(clock);
        window.findChild<RealTimeScreen *>()->sessionStatistics()->setClock(clock);
        Screen &realTime = open("RealTimePerformance1");
        shootPages(realTime, QStringLiteral("live_real_time_before_sampling"));
        for (const char *box : {"session_check", "sr_check", "Latch_Check", "CBC_latch_check"})
            check(box, true);
        fire("Default_timer");
        // A session running a statement with a plan, as the user picks it from the list.
        const ResultGrid &sessions = grid("sessres_grid");
        int chosen = 1;
        while (chosen < sessions.rowCount() && !sessions.cell(3, chosen).contains(QRegularExpression("^\\w+::[1-9]")))
            ++chosen;
        ASSERT_LT(chosen, sessions.rowCount()) << "no session runs a statement";
        chooseRow(chosen);
        check("sesevt_check", true);
        // An hour and a quarter of sampling, as a user leaves the screens running, instance
        // 2 restarting an hour in; every live button pressed each quarter of an hour.
        for (int t = 30; t <= 4500; t += 30) {
            server.model().advance(30);
            fire("Default_timer");
            if (t % 120 == 0) {
                fire("latch_timer");
                fire("CBCLatch_Timer");
            }
            if (t % 900 == 0)
                for (const char *button : {"sgahitbut", "bcc_button", "Button23", "Button99", "Button30"})
                    LoggedOnWindow::press(button);
            ASSERT_TRUE(sink().errors.isEmpty()) << "at " << t << " s: " << sink().errors.join(QLatin1Char('\n'));
        }
        filled({{"sessres_grid", 40}, {"sessres_grid_del", 0}, {"sesevtgrid_cnt", 0}, {"timedstatgrid", 1000}});
        EXPECT_GT(on<Chart>("sessres_graph").seriesCount(), 0);

        act("Button23", "SQL text and plan");
        EXPECT_FALSE(memo("sessplan_memo").trimmed().isEmpty());
        act("Button99", "locks");
        filled({{"lockgrid", 20}, {"blockinggrid", 0}});
        shootPages(realTime, QStringLiteral("live_real_time"));
        shootChoices(QStringLiteral("live_session_topology"), {"RadioButton30", "RadioButton31"});
        shootChoices(QStringLiteral("live_session_statistics"), {"RadioButton41", "RadioButton42"});
        shootChoices(QStringLiteral("live_session_waits"), {"sesevt_graphrbut", "sesevt_gridrbut"});
        realTime.setCurrentIndex(0);

        open("WaitEvents1");
        filled({{"SRGrid", 60}}, {{"EVTChart", 20}, {"EVTcharttime", 20}});
        bool negative = false;
        for (int r = 1; r < grid("SRGrid").rowCount(); ++r)
            negative = negative || grid("SRGrid").cell(3, r).startsWith(QLatin1Char('-'));
        EXPECT_TRUE(negative) << "instance 2's restart shows as a negative Min";
        shootChoices(QStringLiteral("live_wait_events"), {"rbut_wait_graph", "rbut_wait_grid"});

        Screen &latches = open("Latching1");
        filled({{"Latchgrid", 100}, {"cbc_latchgrid", 1}}, {{"latchchart", 20}});
        on<GridView>("cbc_latchgrid").setCurrentIndex(on<GridView>("cbc_latchgrid").model()->index(0, 0));
        act("Button30", "touch counts");
        filled({{"tch_grid", 0}});
        shootPages(latches, QStringLiteral("live_latching"));
        shootChoices(QStringLiteral("live_latching_overview"), {"RadioButton3", "RadioButton5"});
        latches.setCurrentIndex(0);

        Screen &sga = open("BufferHitRatio1");
        act("sgahitbut", "SGA hit ratios");
        filled({{"DDictGrid", 5}, {"LCacheGrid", 5}});
        shootPages(sga, QStringLiteral("live_sga"));

        Screen &cache = open("BufferCache1");
        act("bcc_button", "buffer cache content");
        filled({{"bc_grid", 5}});
        shootPages(cache, QStringLiteral("live_buffer_cache"));
    });

    // Six hours into the clock: the repository's last day moved on.
    server.model().advance(6 * 3600 - 4500);

    part("SQL history", [&] {
        Screen &history = open("hISTORY1");
        const auto &workload = server.model().state<sim::SqlWorkload>();
        on<QLineEdit>("adhoc_sqlid").setText(workload.statements().at(sim::SqlWorkload::kTwoPlansIndex).sqlId);
        act("Button101", "a single retrieval");
        filled({{"SQL_Prof_Grid", 5}}, {{"sqlprof_ela_graph", 5}, {"sqlprof_execs_graph", 5}});
        EXPECT_GT(on<QComboBox>("sqlid_combo").count(), 0);
        // The statement's waits, their summary and pies.
        history.setCurrentWidget(&on<QWidget>("TabSheet3"));
        press("RadioButton21");
        act("Button42", "the wait statistics");
        filled({{"sql_ash_grid", 5}, {"sql_ash_grid_summ", 1}}, {{"sqlstat_wait_cnt", 1}, {"sqlstat_wait_time", 1}});
        shootChoices(QStringLiteral("sql_history_waits"), {"RadioButton4", "RadioButton6"});
        // Its stored text and plan.
        act("Button180", "the text and plan");
        EXPECT_FALSE(memo("awrsqlexec_memo").trimmed().isEmpty());
        shootPages(history, QStringLiteral("sql_history_single"));

        // The demo's baseline list, loaded from the current folder under its default name,
        // and its statements retrieved in bulk, then exported.
        const QString demoList = test::testDataFolder() + QStringLiteral("/../../demo/Default_SQL_List.txt");
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
        exportWith("Button1", "SQL_Prof_Grid");
        // The nineteen charts, three of a set beside the executions at a time.
        if (shooting()) {
            history.setCurrentWidget(&on<QWidget>("TabSheet3"));
            press("RadioButton8");
            for (const char *set : {"histsql_totals_btn", "histsql_avg_btn"})
                for (const char *profile : {"histsql_general_btn", "histsql_io_btn", "hist_comms_btn"}) {
                    press(set);
                    press(profile);
                    shoot(QStringLiteral("sql_history_bulk_%1_%2")
                              .arg(test::named(on<QRadioButton>(set).text()),
                                   test::named(on<QRadioButton>(profile).text())));
                }
            press("histsql_totals_btn");
            press("histsql_general_btn");
            shootLabelsUpright(QStringLiteral("sql_history_bulk"));
        }
        shootPages(history, QStringLiteral("sql_history_bulk"));
    });

    part("SQL topology", [&] {
        Screen &topology = open("Load1");
        act("Button13", "SQL topology");
        filled({{"SQL_top_Grid", 20}});
        exportWith("exportcsv", "SQL_top_Grid");
        shootPages(topology, QStringLiteral("sql_topology"));
    });

    part("system topology", [&] {
        Screen &system = open("S1");
        act("Button2", "system topology");
        filled({{"systopgrid", 20}}, {{"syselaps_graph", 10}});
        exportWith("Button67", "systopgrid");
        // The seven groups of charts.
        shootChoices(QStringLiteral("system_topology"),
                     {"RadioButton32", "RadioButton33", "RadioButton40", "RadioButton36", "RadioButton37",
                      "RadioButton38", "RadioButton39"});
        shootLabelsUpright(QStringLiteral("system_topology_session"));
        shootPages(system, QStringLiteral("system_topology"));
    });

    part("wait history", [&] {
        Screen &waits = open("WaitEvents1");
        waits.setCurrentWidget(&on<QWidget>("wthist"));
        act("Button10", "wait event history");
        filled({{"wthistgrid", 100}}, {{"WaitHistGraph", 100}, {"WaitHistGraphtime", 100}});
        EXPECT_GT(on<Chart>("WaitHistGraph").seriesCount(), 10);
        shootChoices(QStringLiteral("wait_history"), {"RadioButton1", "RadioButton2"});
        shootPages(waits, QStringLiteral("wait_events"));
    });

    part("datafile statistics", [&] {
        Screen &files = open("DatafileStatistics1");
        act("Button116", "datafile statistics");
        filled({{"df_grid", 20}}, {{"reads_graph", 20}, {"writes_graph", 20}});
        // Operations, and the response times in totals and averages.
        shootChoices(QStringLiteral("datafile_stats"), {"df_ops", "df_times_total", "df_times_avg"});
        shootLabelsUpright(QStringLiteral("datafile_stats_operations"));
        shootPages(files, QStringLiteral("datafile_stats"));
    });

    part("segment statistics", [&] {
        Screen &segments = open("Statistics1");
        act("Button83", "the segment tree");
        for (const QStringList &path : QList<QStringList>{
                 {"TABLE", "SALES.ORDER_LINES"}, {"INDEX", "SALES.ORDERS_PK"}, {"TABLE", "SALES.ORDERS", "P2026_11"}}) {
            const std::string where = path.join(QLatin1Char('/')).toStdString();
            SCOPED_TRACE(where);
            test::doubleClickNode(on<QTreeWidget>("segtree"), path);
            clean(where);
            filled({{"segstat_grid", 5}, {"seggrowthgrid", 20}}, {{"seg_lreads_graph", 5}, {"objgrowth_graph", 20}});
            // Its statistics tabs, the growth chart among them.
            shootPages(on<QTabWidget>("segstatstab"),
                       QStringLiteral("segment_") + test::named(path.mid(1).join(QLatin1Char('_'))));
        }
        exportWith("exp_segstat", "segstat_grid");
        shootPages(segments, QStringLiteral("segment_statistics"));
    });

    part("advisors", [&] {
        Screen &advisors = open("Advir1");
        act("Button182", "advisor findings");
        filled({{"adv_grid", 10}});
        if (shooting()) // a finding's details
            on<GridView>("adv_grid").setCurrentIndex(on<GridView>("adv_grid").model()->index(1, 0));
        shootPages(advisors, QStringLiteral("advisors"));
    });

    part("object browser", [&] {
        Screen &browser = open("Object2");
        for (const char *box : {"tabcbox", "indcbox", "viewcbox", "funcbox", "seqcbox", "trigcbox", "syncbox",
                                "dircbox", "jobcbox", "packcbox", "proccbox", "progcbox"})
            on<QCheckBox>(box).setChecked(true);
        act("Button141", "the object list");
        QTreeWidget &tree = on<QTreeWidget>("objtree");
        ASSERT_EQ(tree.topLevelItemCount(), 12);
        // One object of each kind: its page in front, its record and its DDL shown. Each
        // page keeps its object for the pictures of every page at the end.
        // clang-format off
        const QStringList shown{
            "TABLE/SALES.ORDERS", "INDEX/BILLING.CALL_RECORDS_IX", "VIEW/HR.EMP_DETAILS_V",
            "FUNCTION/SALES.ORDER_TOTAL", "SEQUENCE/SALES.ORDERS_SEQ", "TRIGGER/SALES.ORDERS_BIU",
            "SYNONYM/INVENTORY.REMOTE_STOCK", "DIRECTORY/SYS.DATA_PUMP_DIR", "JOB/BILLING.MONTHLY_INVOICE_RUN",
            "PACKAGE/BILLING.INVOICE_PKG", "PROCEDURE/SALES.LOG_ORDER_CHANGE", "PROGRAM/BILLING.INVOICE_RUN_PROG",
        };
        // clang-format on
        for (const QString &path : shown) {
            const QString kind = path.section(QLatin1Char('/'), 0, 0), node = path.section(QLatin1Char('/'), 1);
            test::doubleClickNode(tree, {kind, node});
            clean(node.toStdString());
            auto *page = qobject_cast<QTabWidget *>(on<QStackedWidget>("objdetails").currentWidget());
            ASSERT_NE(page, nullptr) << kind;
            // The record, or the code, names the object; the DDL where the kind has one
            // (code shows its stored lines instead, a program its record alone).
            const QString name = node.section(QLatin1Char('.'), 1);
            const bool code = QStringList{"FUNCTION", "PACKAGE", "PROCEDURE"}.contains(kind);
            bool namesIt = false, ddl = false;
            for (const QLineEdit *e : page->findChildren<QLineEdit *>())
                namesIt = namesIt || e->text() == name || e->text() == node;
            for (const QPlainTextEdit *m : page->findChildren<QPlainTextEdit *>()) {
                namesIt = namesIt || (code && m->toPlainText().contains(name, Qt::CaseInsensitive));
                ddl = ddl || m->toPlainText().contains(QRegularExpression("CREATE|dbms_scheduler\\.create_"));
            }
            EXPECT_TRUE(namesIt) << node;
            EXPECT_EQ(ddl, !code && kind != QLatin1String("PROGRAM")) << node;
            // A partitioned table or index: its first partition's figures.
            for (const char *partitions : {"parttree", "idxparttree"}) {
                auto *parts = page->findChild<QTreeWidget *>(QLatin1String(partitions));
                if (!shooting() || !parts || parts->topLevelItemCount() == 0)
                    continue;
                reveal(*parts);
                const QRect first = parts->visualItemRect(parts->topLevelItem(0));
                QTest::mouseClick(parts->viewport(), Qt::LeftButton, {}, first.center());
                clean(partitions);
            }
            if (kind == QLatin1String("TABLE"))
                shootChoices(QStringLiteral("objects_table_constraints"), {"RadioButton22", "RadioButton23"});
            page->setCurrentIndex(0);
        }
        filled({{"partitiongrid", 3}, {"objtabcolsgrid", 3}, {"idxcolsgrid", 0}});
        shootPages(browser, QStringLiteral("objects"));
    });

    part("security browser", [&] {
        Screen &browser = open("Security1");
        on<QLineEdit>("secfilter").setText(QStringLiteral("%"));
        act("Button3", "the security list");
        QTreeWidget &tree = on<QTreeWidget>("securitytree");
        ASSERT_EQ(tree.topLevelItemCount(), 4);
        test::doubleClickNode(tree, {"USER", "HR"});
        clean("a user");
        EXPECT_EQ(text("username"), QStringLiteral("HR"));
        filled({{"userrolegrid", 0}});
        press("userrolehier");
        act("btbtn", "the user's grant tree");
        press("btexpbtn");
        EXPECT_GT(on<QTreeWidget>("userroletree").topLevelItemCount(), 0);
        if (shooting()) {
            on<QTabWidget>("secpage2").setCurrentWidget(&on<QWidget>("userpage"));
            shoot(QStringLiteral("security_user_grant_tree"));
            press("userrolesum");
        }
        // The first name under each other root; each kind's page keeps it for the
        // pictures of every page at the end.
        for (const char *root : {"ROLE", "PROFILE", "T/S QUOTAS"}) {
            QTreeWidgetItem *top = test::nodeAt(tree, {QLatin1String(root)});
            ASSERT_GT(top->childCount(), 0) << root;
            test::doubleClickNode(tree, {QLatin1String(root), top->child(0)->text(0)});
            clean(root);
        }
        if (shooting())
            press("roleexpbtn");
        EXPECT_GT(on<QTreeWidget>("roletree").topLevelItemCount(), 0);
        filled({{"profilegrid", 5}, {"tsqugrid", 0}});
        shootPages(browser, QStringLiteral("security"));
    });

    part("storage browser", [&] {
        Screen &browser = open("Storage2");
        act("Button68", "the storage list");
        QTreeWidget &tree = on<QTreeWidget>("tsdftree");
        ASSERT_GT(tree.topLevelItemCount(), 5);
        QTreeWidgetItem *tablespace = test::nodeAt(tree, {"APP_DATA"});
        ASSERT_GT(tablespace->childCount(), 0);
        test::doubleClickNode(tree, {"APP_DATA"});
        clean("a tablespace");
        EXPECT_EQ(text("tsblocksize"), QStringLiteral("8192"));
        test::doubleClickNode(tree, {"APP_DATA", tablespace->child(0)->text(0)});
        clean("a file");
        EXPECT_FALSE(text("dffileid").isEmpty());
        shootChoices(QStringLiteral("storage_file"), {"RadioButton28", "RadioButton29"});
        act("gettssizes", "the tablespace's growth");
        filled({{"tssizegrid", 20}}, {{"tssizegraph", 60}});
        shootChoices(QStringLiteral("storage_growth"), {"RadioButton35", "RadioButton34"});
        shootPages(browser, QStringLiteral("storage"));
    });

    shootPages(open("About2"), QStringLiteral("about"));
}
