#include "common/fault_matrix.h"
#include "common/screen_support.h"

#include "core/chart.h"
#include "db/error.h"
#include "db/query.h"
#include "db/sim/repository/segment_activity.h"
#include "history/segment_stats_screen.h"
#include "ui/chart_view.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <random>

using namespace tavimond;
using namespace tavimond::test;

namespace {

using Layout = sim::StorageLayout;
using Sums = std::array<qint64, 7>;

// The list statement for the patterns as typed, quotes doubled.
QStringList listStatement(const QString &owner, const QString &name)
{
    const QString o = "'" + QString(owner).replace("'", "''") + "'";
    const QString n = "'" + QString(name).replace("'", "''") + "'";
    return {"  select * from ",
            "  ( ",
            "  select '1',dt.owner, dt.table_name, ' ' as partition_name,' ' as subpartition_name,'TABLE'",
            "  from ",
            "  dba_tables dt ",
            "  where ",
            "  upper(dt.owner) like " + o + " and ",
            "  upper(dt.table_name) like " + n,
            "  union all ",
            "  select  '2',dtp.table_owner, dtp.table_name,dtp.partition_name,' ','TABLE'",
            "  from ",
            "  dba_tab_partitions dtp ",
            "  where ",
            "  upper(dtp.table_owner) like " + o + " and ",
            "  upper(dtp.table_name) like " + n,
            "  union all ",
            "  select  '3',dtp.table_owner,dtp.table_name,dtp.partition_name,dtp.subpartition_name,'TABLE'",
            "  from ",
            "  dba_tab_subpartitions dtp ",
            "  where ",
            "  upper(dtp.table_owner) like " + o + " and ",
            "  upper(dtp.table_name) like " + n,
            "  union all ",
            "  select '4',dt.owner, dt.index_name, ' ' as partition_name,' ' as subpartition_name,'INDEX'",
            "  from ",
            "  dba_indexes dt ",
            "  where ",
            "  upper(dt.owner) like " + o + " and ",
            "  upper(dt.index_name) like " + n,
            "  union all ",
            "  select  '5',dtp.index_owner, dtp.index_name,dtp.partition_name,' ','INDEX'",
            "  from ",
            "  dba_ind_partitions dtp ",
            "  where ",
            "  upper(dtp.index_owner) like " + o + " and ",
            "  upper(dtp.index_name) like " + n,
            "  union all ",
            "  select  '6',dtp.index_owner,dtp.index_name,dtp.partition_name,dtp.subpartition_name,'INDEX'",
            "  from ",
            "  dba_ind_subpartitions dtp ",
            "  where ",
            "  upper(dtp.index_owner) like " + o + " and ",
            "  upper(dtp.index_name) like " + n,
            "  ) ",
            "  order by 6,2,3,4,5 "};
}

// The statistics statement of a whole table SALES.ORDER_LINES over the last day; lines
// 26 (the window) and 31 to 33 (the segment) change with the node and the window.
const QStringList kOrderLinesStatistics{
    "select s.snap_id,s.start_time,s.end_time,o.owner||':'||o.object_name||':'||o.subobject_name as objname,",
    "nvl(sum(x.PHYSICAL_READS_DELTA),0) as phyr,",
    "nvl(sum(x.PHYSICAL_READS_DIRECT_DELTA),0) as phyrd,",
    "nvl(sum(x.PHYSICAL_WRITES_DELTA),0) as phyw,",
    "nvl(sum(x.PHYSICAL_WRITES_DIRECT_DELTA),0) as phywd,",
    "nvl(sum(x.LOGICAL_READS_DELTA),0) as lgr,",
    "nvl(sum(x.BUFFER_BUSY_WAITS_DELTA),0) as bbw,",
    "nvl(sum(x.ROW_LOCK_WAITS_DELTA),0) as rlw",
    "from ",
    "(select snap_id,",
    "                obj#,",
    "                PHYSICAL_READS_DELTA,",
    "                PHYSICAL_READS_DIRECT_DELTA,",
    "                PHYSICAL_WRITES_DELTA,",
    "                PHYSICAL_WRITES_DIRECT_DELTA,",
    "                LOGICAL_READS_DELTA,",
    "                BUFFER_BUSY_WAITS_DELTA,",
    "                ROW_LOCK_WAITS_DELTA",
    "                from dba_hist_seg_stat",
    "                ) x,",
    "(select snap_id,",
    "        max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as start_time,",
    "        max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as end_time",
    "        from dba_hist_snapshot",
    "        where begin_interval_time >= sysdate - 1",
    "        group by snap_id",
    "        ) s,",
    "(select owner,object_name,subobject_name,object_id ",
    "    from dba_objects ",
    "    where ",
    "    owner = 'SALES' and object_name = 'ORDER_LINES'",
    "    and object_type = 'TABLE'",
    "    and subobject_name is null ) o ",
    "where s.snap_id = x.snap_id",
    "     and x.obj# = o.object_id ",
    "group by s.snap_id,s.start_time, s.end_time,o.owner||':'||o.object_name||':'||o.subobject_name",
    "order by s.snap_id",
};

const QStringList kOrderLinesGrowth{
    "SELECT to_char(timepoint,'DD-MON-YYYY HH24:MI'),space_usage,space_alloc,quality",
    "FROM",
    "  table(",
    "   DBMS_SPACE.OBJECT_GROWTH_TREND (",
    "    object_owner => 'SALES',",
    "    object_name  => 'ORDER_LINES',",
    "    object_type  => 'TABLE',",
    "    partition_name => '',",
    "    start_time =>SYSDATE-360,",
    "   end_time   =>SYSDATE+360,",
    "   interval   =>to_dsinterval( '0 12:00:00')  ,",
    "   skip_interpolated => 'FALSE',",
    "   timeout_seconds =>NULL,",
    "   single_datapoint_flag =>'TRUE')",
    " )",
};

// The paths of the nodes the dictionary's tables and indexes make under an owner prefix,
// in the order of kind, owner, name, partition and subpartition.
QStringList expectedTree(const Layout &layout, const QString &ownerPrefix)
{
    QStringList out{"INDEX", "TABLE"};
    for (const Layout::DbObject &o : layout.objects()) {
        const QString kind = o.type.section(' ', 0, 0), level = o.type.section(' ', 1);
        if (!o.owner.startsWith(ownerPrefix) || (kind != "TABLE" && kind != "INDEX") ||
            !QStringList{"", "PARTITION", "SUBPARTITION"}.contains(level))
            continue;
        out << kind + "/" + o.owner + "." + o.name + (level == "SUBPARTITION" ? "/" + o.partitionOfSub : "") +
                   (level.isEmpty() ? "" : "/" + o.subobject);
    }
    out.sort();
    return out;
}

class SegmentStats : public ::testing::Test {
protected:
    SegmentStats()
    {
        // A day and a half into the clock: the last day holds 24 snapshots.
        h.sim.server.model().advance(36 * 3600);
    }
    sim::Model &model() { return h.sim.server.model(); }
    const sim::SegmentActivity &activity() { return model().state<sim::SegmentActivity>(); }
    QTreeWidget &tree() { return h.widget<QTreeWidget>("segtree"); }
    QStringList paths(bool sorted = false)
    {
        QStringList out = treeOf(h.screen, "segtree").lines;
        if (sorted)
            out.sort();
        return out;
    }
    ResultGrid &stats() { return h.grid("segstat_grid"); }
    ResultGrid &growth() { return h.grid("seggrowthgrid"); }
    Chart &chart(const char *name) { return *h.widget<ChartView>(name).model(); }

    void retrieve(const QString &owner = "%", const QString &name = "%")
    {
        h.widget<QLineEdit>("segowner").setText(owner);
        h.widget<QLineEdit>("segname").setText(name);
        h.click("Button83");
    }
    QTreeWidgetItem *node(const QStringList &path) { return nodeAt(tree(), path); }
    // From now on the dictionary lists these rows (level, owner, name, partition,
    // subpartition, kind), in this order, whatever the patterns.
    void listAnswers(const QList<QStringList> &rows)
    {
        auto list = std::make_shared<sim::Table>(QStringList{"A", "B", "C", "D", "E", "F"});
        for (const QStringList &r : rows)
            list->addRow(r);
        h.sim.server.add({"the list of the test's dictionary",
                          [](const sim::Statement &s) { return s.has("dba_ind_subpartitions dtp"); },
                          [list](const sim::Statement &, sim::Context &) { return list; }});
    }
    void report(const QStringList &path) { doubleClickNode(tree(), path); }

    const Layout::DbObject &object(const QString &owner, const QString &name, const QString &type,
                                   const QString &subobject = {})
    {
        for (const Layout::DbObject &o : activity().layout().objects())
            if (o.owner == owner && o.name == name && o.type == type && o.subobject == subobject)
                return o;
        throw std::runtime_error("no object " + name.toStdString());
    }
    // The object's counters per snapshot id of the window (snapshots that began at or
    // after `from`), every instance's rows together, as the repository holds them.
    std::map<qint64, Sums> sumsFromTheModel(const Layout::DbObject &o, const QDateTime &from)
    {
        const auto snapshots = activity().repository().snapshots();
        QSet<qint64> ids;
        for (const auto &s : snapshots)
            if (s.begin >= from)
                ids.insert(s.snapId);
        std::map<qint64, Sums> out;
        for (const auto &s : snapshots)
            if (ids.contains(s.snapId))
                if (const auto d = activity().deltasOf(o, s)) {
                    Sums &acc = out[s.snapId];
                    const Sums add{d->physicalReads, d->physicalReadsDirect, d->physicalWrites,
                                   d->physicalWritesDirect, d->logicalReads, d->bufferBusyWaits, d->rowLockWaits};
                    for (size_t i = 0; i < acc.size(); ++i)
                        acc[i] += add[i];
                }
        return out;
    }
    std::map<qint64, Sums> statsGrid()
    {
        std::map<qint64, Sums> out;
        for (int r = 1; r < stats().rowCount(); ++r)
            for (int c = 0; c < 7; ++c)
                out[stats().cell(0, r).toLongLong()][size_t(c)] = stats().cell(4 + c, r).toLongLong();
        return out;
    }
    int statementsSent() { return int(h.sim.server.statements().size()); }

    ScreenHarness<SegmentStatsScreen> h;
};

} // namespace

TEST_F(SegmentStats, PatternsAreTypedInUpperCaseAndGoIntoTheListWithTheirQuotesDoubled)
{
    auto &owner = h.widget<QLineEdit>("segowner");
    EXPECT_EQ(owner.text(), "%");
    owner.clear();
    QTest::keyClicks(&owner, "billing");
    owner.setCursorPosition(0);
    QTest::keyClicks(&owner, "%");
    EXPECT_EQ(owner.text(), "%BILLING");
    EXPECT_EQ(owner.cursorPosition(), 1);
    auto &name = h.widget<QLineEdit>("segname");
    name.clear();
    QTest::keyClicks(&name, "o'neill%");
    EXPECT_EQ(name.text(), "O'NEILL%");
    h.click("Button83");

    const QStringList expected = listStatement("%BILLING", "O'NEILL%");
    ASSERT_EQ(expected.size(), 45);
    EXPECT_EQ(memoLines(h.memo("segquery_memo")), expected);
    EXPECT_EQ(h.sim.server.statements().last(), expected.join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 3000);
    EXPECT_EQ(paths(), (QStringList{"INDEX", "TABLE", "TABLE/BILLING.O'NEILL_ACCOUNTS"}));
    EXPECT_EQ(rowsOf(h.grid("seggrid")), (QList<QStringList>{{"1", "BILLING", "O'NEILL_ACCOUNTS", " ", " "}}));

    // Its report: the quote doubled in both statements.
    report({"TABLE", "BILLING.O'NEILL_ACCOUNTS"});
    EXPECT_EQ(memoLines(h.memo("segstat_text")).at(30), "    owner = 'BILLING' and object_name = 'O''NEILL_ACCOUNTS'");
    EXPECT_EQ(memoLines(h.memo("seggrowth_memo")).at(5), "    object_name  => 'O''NEILL_ACCOUNTS',");
    EXPECT_EQ(h.sink().errors, QStringList{});
    EXPECT_GT(growth().rowCount(), 700);
    EXPECT_EQ(stats().cell(3, 1), "BILLING:O'NEILL_ACCOUNTS:");
}

TEST_F(SegmentStats, APartitionsAndASubpartitionsNameWithAQuoteReachTheServerDoubled)
{
    // A quoted name may hold a quote: the orders table and its date index with a
    // partition "P_O'HARE" and its subpartition "P_O'HARE_EAST".
    listAnswers({{"4", "SALES", "ORDERS_DATE_IX", " ", " ", "INDEX"},
                 {"5", "SALES", "ORDERS_DATE_IX", "P_O'HARE", " ", "INDEX"},
                 {"6", "SALES", "ORDERS_DATE_IX", "P_O'HARE", "P_O'HARE_EAST", "INDEX"},
                 {"1", "SALES", "ORDERS", " ", " ", "TABLE"},
                 {"2", "SALES", "ORDERS", "P_O'HARE", " ", "TABLE"},
                 {"3", "SALES", "ORDERS", "P_O'HARE", "P_O'HARE_EAST", "TABLE"}});
    retrieve("SALES", "ORDERS%");
    struct Case {
        QStringList path;
        QString name, kind, quoted, read;
    };
    for (const Case &c : {Case{{"TABLE", "SALES.ORDERS", "P_O'HARE"}, "ORDERS", "TABLE PARTITION", "'P_O''HARE'",
                               "SALES.ORDERS.P_O'HARE"},
                          Case{{"INDEX", "SALES.ORDERS_DATE_IX", "P_O'HARE", "P_O'HARE_EAST"}, "ORDERS_DATE_IX",
                               "INDEX SUBPARTITION", "'P_O''HARE_EAST'", "SALES.ORDERS_DATE_IX.P_O'HARE_EAST"}}) {
        report(c.path);
        QStringList statistics = kOrderLinesStatistics;
        statistics.replace(30, "    owner = 'SALES' and object_name = '" + c.name + "'");
        statistics.replace(31, "    and object_type = '" + c.kind + "'");
        statistics.replace(32, "    and subobject_name = " + c.quoted + ") o ");
        QStringList growthLines = kOrderLinesGrowth;
        growthLines.replace(5, "    object_name  => '" + c.name + "',");
        growthLines.replace(6, "    object_type  => '" + c.kind + "',");
        growthLines.replace(7, "    partition_name => " + c.quoted + ",");
        EXPECT_EQ(h.sim.server.statements().mid(statementsSent() - 2),
                  (QStringList{statistics.join('\n'), growthLines.join('\n')}));
        // The simulated dictionary itself has no such partition: the space package says
        // so, naming it as it read it, with one quote.
        EXPECT_EQ(h.sink().errors.last(), "ORA-20000: object " + c.read + " of type " + c.kind + " does not exist");
    }
}

TEST_F(SegmentStats, TheTreeShowsTheDictionarysTablesAndIndexesWithTheirPartitionsInPlaceWhateverTheRowOrder)
{
    retrieve();
    const QStringList all = paths();
    EXPECT_EQ(all, expectedTree(activity().layout(), ""));
    QList<QStringList> rows = rowsOf(h.grid("seggrid"));
    // A composite-partitioned table has three levels, its local index too; a partitioned
    // object's own node is there; a plain one has no children.
    EXPECT_EQ(node({"TABLE", "SALES.SALES_HISTORY"})->childCount(), 3);
    EXPECT_EQ(node({"TABLE", "SALES.SALES_HISTORY", "H2025_2"})->childCount(), 3);
    EXPECT_EQ(node({"INDEX", "SALES.SALES_HISTORY_IX", "H2026_2"})->childCount(), 3);
    EXPECT_EQ(node({"INDEX", "SALES.ORDERS_DATE_IX"})->childCount(), 6);
    EXPECT_EQ(node({"TABLE", "SALES.ORDER_LINES"})->childCount(), 0);
    EXPECT_FALSE(node({"TABLE"})->isExpanded());

    // Again: the same tree, nothing twice.
    report({"TABLE", "SALES.ORDER_LINES"});
    retrieve();
    EXPECT_EQ(paths(), all);
    EXPECT_FALSE(node({"TABLE"})->isExpanded());

    // Patterns that match nothing, or an emptied edit ('' is NULL): the two top nodes.
    for (const QString &pattern : {QString("NOBODY%"), QString()}) {
        retrieve(pattern, "%");
        EXPECT_EQ(paths(), (QStringList{"INDEX", "TABLE"}));
        EXPECT_EQ(h.grid("seggrid").rowCount(), 2);
    }
    retrieve("INV%", "%");
    EXPECT_EQ(paths(), expectedTree(activity().layout(), "INVENTORY"));

    // The rows in another order give the same tree: shuffled, then a subpartition put
    // first, before its partition and its table, and an index partition before its index.
    std::mt19937 random(7);
    std::shuffle(rows.begin(), rows.end(), random);
    for (const QString code : {"5", "3"}) {
        const auto it = std::find_if(rows.begin(), rows.end(), [&](const QStringList &r) { return r[0] == code; });
        ASSERT_NE(it, rows.end());
        rows.move(it - rows.begin(), 0);
    }
    for (QStringList &r : rows)
        r << (r[0] <= "3" ? "TABLE" : "INDEX");
    listAnswers(rows);
    retrieve();
    EXPECT_EQ(paths(true), all);
}

TEST_F(SegmentStats, TheListNamesEachColumnOfItsViewOnceSoThatAServerListsTheTablesAndIndexes)
{
    retrieve("HR", "%");
    EXPECT_EQ(h.sink().errors, QStringList{});
    const QStringList shown = paths();
    EXPECT_TRUE(shown.contains("TABLE/HR.EMPLOYEES") && shown.contains("INDEX/HR.EMP_PK"))
        << shown.join(' ').toStdString();
    EXPECT_EQ(shown, expectedTree(activity().layout(), "HR"));

    // The list with its objects' blanks unnamed: the view has two columns named ' ' and
    // the server refuses the "*" over it, as Oracle does.
    const QString sent = h.sim.server.statements().last();
    const QString unnamed = QString(sent).remove(" as partition_name").remove(" as subpartition_name");
    ASSERT_NE(unnamed, sent);
    Query old(h.sim.cnn);
    old.setSql(unnamed.split('\n'));
    try {
        old.open();
        ADD_FAILURE() << "the server read two columns of one name";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), "ORA-00918: column ambiguously defined");
    }
}

TEST_F(SegmentStats, AnObjectReportsItsRepositoryFiguresPerSnapshotAndItsGrowth)
{
    retrieve();
    report({"TABLE", "SALES.ORDER_LINES"});
    EXPECT_TRUE(h.sink().errors.isEmpty()) << h.sink().errors.join('\n').toStdString();
    EXPECT_EQ(h.sim.server.timeouts().mid(h.sim.server.timeouts().size() - 2), (QList<int>{30, 3000}));

    // One row per snapshot of the last day in which the table had figures, summed over
    // both instances; the key ends in ':' for a whole object.
    const auto expected = sumsFromTheModel(object("SALES", "ORDER_LINES", "TABLE"), model().now().addDays(-1));
    ASSERT_GT(expected.size(), 5u);
    EXPECT_EQ(statsGrid(), expected);
    EXPECT_EQ(stats().cell(3, 1), "SALES:ORDER_LINES:");
    // Times cut to the minute, the later of the instances' (the one restarted began later).
    for (int r = 1; r < stats().rowCount(); ++r) {
        QString start;
        for (int instance = 1; instance <= 2; ++instance)
            if (const auto snap = activity().repository().snapshot(stats().cell(0, r).toLongLong(), instance))
                start = std::max(start, snap->begin.toString("dd/MMM/yyyy hh:mm:00").toUpper());
        EXPECT_EQ(stats().cell(1, r), start);
    }

    // Each chart: one series titled with the key, a bar per row labelled with its start.
    const char *const charts[] = {"seg_preads_graph", "seg_pdreads_graph", "seg_pwrites_graph", "seg_pdwrites_graph",
                                  "seg_lreads_graph", "seg_bbwait_graph",  "seg_rowlock_graph"};
    for (int c = 0; c < 7; ++c) {
        const Chart &bars = chart(charts[c]);
        ASSERT_EQ(bars.seriesCount(), 1) << charts[c];
        EXPECT_EQ(bars.series(0).title(), "SALES:ORDER_LINES:");
        const auto &points = bars.series(0).points();
        ASSERT_EQ(points.size(), expected.size()) << charts[c];
        size_t k = 0;
        for (const auto &[snap, sums] : expected) {
            EXPECT_EQ(points[k].value, double(sums[size_t(c)])) << charts[c] << " snap " << snap;
            EXPECT_EQ(points[k].label, stats().cell(1, int(k) + 1));
            ++k;
        }
    }

    // The growth: from the oldest snapshot, a point every 12 hours, the space the model
    // gives, measured up to now and projected after; both lines at the same places.
    const QDateTime oldest = activity().repository().boundary(-1);
    const auto &orderLines = object("SALES", "ORDER_LINES", "TABLE");
    QDateTime t = model().now().addDays(-360);
    while (t < oldest)
        t = t.addSecs(12 * 3600);
    ASSERT_EQ(growth().rowCount(), 1 + 2 * 14 + 3 + 720 + 1); // 14 days and 36 hours back, 360 days on
    for (int r = 1; r < growth().rowCount(); ++r, t = t.addSecs(12 * 3600)) {
        const auto space = activity().spaceAt(orderLines, t);
        ASSERT_EQ(growth().row(r).mid(0, 3), (QStringList{t.toString("dd-MMM-yyyy hh:mm").toUpper(),
                                                          QString::number(space.used),
                                                          QString::number(space.allocated)}));
        EXPECT_LE(space.used, space.allocated);
        EXPECT_EQ(growth().cell(3, r) == "PROJECTION", t > model().now()) << r;
    }
    const Chart &lines = chart("objgrowth_graph");
    ASSERT_EQ(lines.seriesCount(), 2);
    ASSERT_EQ(lines.series(0).points().size(), size_t(growth().rowCount() - 1));
    ASSERT_EQ(lines.series(1).points().size(), lines.series(0).points().size());
    for (int r = 1; r < growth().rowCount(); ++r) {
        EXPECT_EQ(lines.series(0).points()[size_t(r - 1)].value, growth().cell(1, r).toDouble());
        EXPECT_EQ(lines.series(1).points()[size_t(r - 1)].value, growth().cell(2, r).toDouble());
        EXPECT_EQ(lines.series(1).points()[size_t(r - 1)].label, lines.series(0).points()[size_t(r - 1)].label);
    }
    // The last point is a year on, higher than the first; one page holds the whole trend.
    EXPECT_GT(lines.series(0).points().back().value, lines.series(0).points().front().value);
    EXPECT_TRUE(h.widget<QTabWidget>("segstatstab").isVisible());
    h.widget<QTabWidget>("segstatstab").setCurrentIndex(3);
    QApplication::processEvents();
    h.widget<ChartView>("objgrowth_graph").sync();
    EXPECT_EQ(h.widget<ChartView>("objgrowth_graph").plot().window().places, int(lines.series(0).points().size()));
    // Its own button turns its bottom labels.
    h.widget<QAbstractButton>("ogs_axis").click();
    EXPECT_EQ(lines.bottomLabelAngle(), 90);
}

TEST_F(SegmentStats, ReturnOnANodeChosenWithTheKeysReportsItAsADoubleClickDoes)
{
    retrieve("SALES", "ORDER_LINES");
    QTreeWidget &t = tree();
    for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(&t, key);
    ASSERT_EQ(t.currentItem(), node({"TABLE", "SALES.ORDER_LINES"}));
    const int before = statementsSent();
    QTest::keyClick(&t, Qt::Key_Return);
    EXPECT_EQ(h.sink().errors, QStringList{});
    const QStringList sent = h.sim.server.statements().mid(before);
    EXPECT_EQ(sent, (QStringList{kOrderLinesStatistics.join('\n'), kOrderLinesGrowth.join('\n')}));
    const auto figures = sumsFromTheModel(object("SALES", "ORDER_LINES", "TABLE"), model().now().addDays(-1));
    ASSERT_GT(figures.size(), 5u);
    EXPECT_EQ(statsGrid(), figures);
    ASSERT_EQ(chart("seg_lreads_graph").seriesCount(), 1);
    EXPECT_EQ(chart("seg_lreads_graph").series(0).points().size(), figures.size());
    EXPECT_EQ(chart("objgrowth_graph").series(0).points().size(), size_t(growth().rowCount() - 1));
    EXPECT_GT(growth().rowCount(), 700);
    EXPECT_TRUE(h.widget<QTabWidget>("segstatstab").isVisible());

    // A double-click on the node sends the same and shows the same.
    const QList<QStringList> shown = rowsOf(stats());
    report({"TABLE", "SALES.ORDER_LINES"});
    EXPECT_EQ(h.sim.server.statements().mid(before + 2), sent);
    EXPECT_EQ(rowsOf(stats()), shown);
}

TEST_F(SegmentStats, TheStatisticsStatementInItsEightFormsAndTheGrowthInItsTwo)
{
    retrieve();
    h.widget<QLineEdit>("segfromdate").setText("29/NOV/2026 00:00:00");
    h.widget<QLineEdit>("segtodate").setText("1/DEC/2026 00:00:00");
    for (const bool fromTo : {false, true})
        for (const bool daily : {false, true})
            for (const bool partition : {false, true}) {
                h.widget<QRadioButton>(fromTo ? "segfromto" : "RadioButton26").setChecked(true);
                h.widget<QCheckBox>("segstat_droll").setChecked(daily);
                report(partition ? QStringList{"TABLE", "SALES.ORDERS", "P2026_11"}
                                 : QStringList{"TABLE", "SALES.ORDER_LINES"});
                QStringList expected = kOrderLinesStatistics;
                QStringList growthExpected = kOrderLinesGrowth;
                if (partition) {
                    expected.replace(30, "    owner = 'SALES' and object_name = 'ORDERS'");
                    expected.replace(31, "    and object_type = 'TABLE PARTITION'");
                    expected.replace(32, "    and subobject_name = 'P2026_11') o ");
                    growthExpected.replace(5, "    object_name  => 'ORDERS',");
                    growthExpected.replace(6, "    object_type  => 'TABLE PARTITION',");
                    growthExpected.replace(7, "    partition_name => 'P2026_11',");
                }
                if (fromTo) {
                    expected.replace(24, "        where begin_interval_time >= to_date('29/NOV/2026 00:00:00',"
                                         "'DD/MON/YYYY HH24:MI:SS')");
                    expected.insert(25, "          and end_interval_time <=   to_date('1/DEC/2026 00:00:00',"
                                        "'DD/MON/YYYY HH24:MI:SS')");
                }
                if (daily) {
                    expected.prepend("sum(sx.phywd),sum(sx.lgr),sum(sx.bbw),sum(sx.rlw) from (");
                    expected.prepend("select '---',trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD'),'---',"
                                     "sx.objname,sum(sx.phyr),sum(sx.phyrd),sum(sx.phyw), ");
                    expected << ") sx "
                             << "group by trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD'),sx.objname"
                             << "order by trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD')";
                }
                const QStringList sent = h.sim.server.statements().mid(statementsSent() - 2);
                ASSERT_EQ(sent, (QStringList{expected.join('\n'), growthExpected.join('\n')}))
                    << fromTo << daily << partition;
                EXPECT_EQ(h.sink().errors, QStringList{});
            }

    // The last form's figures: a row per day of the window, each the sum of the
    // snapshots that began on or after the 29th and ended by the 1st, every instance's
    // rows of them together.
    const auto &partition = object("SALES", "ORDERS", "TABLE PARTITION", "P2026_11");
    const QDateTime from(QDate(2026, 11, 29), QTime(0, 0), Qt::UTC), to(QDate(2026, 12, 1), QTime(0, 0), Qt::UTC);
    const auto snapshots = activity().repository().snapshots();
    std::map<qint64, QString> days;
    for (const auto &s : snapshots)
        if (s.begin >= from && s.end <= to)
            days[s.snapId] = s.begin.date().toString("yyyy-MM-dd 00:00:00");
    std::map<QString, qint64> logicalPerDay;
    for (const auto &s : snapshots)
        if (days.count(s.snapId))
            if (const auto d = activity().deltasOf(partition, s))
                logicalPerDay[days[s.snapId]] += d->logicalReads;
    ASSERT_EQ(logicalPerDay.size(), 2u);
    ASSERT_EQ(stats().rowCount(), 3);
    int r = 1;
    for (const auto &[day, logical] : logicalPerDay) {
        EXPECT_EQ(stats().row(r).mid(0, 4), (QStringList{"---", day, "---", "SALES:ORDERS:P2026_11"}));
        EXPECT_EQ(stats().cell(8, r).toLongLong(), logical);
        ++r;
    }
    EXPECT_EQ(chart("seg_lreads_graph").series(0).points().size(), 2u);
    EXPECT_GT(growth().rowCount(), 700);

    // A level-3 node: an index subpartition.
    h.widget<QCheckBox>("segstat_droll").setChecked(false);
    h.widget<QRadioButton>("RadioButton26").setChecked(true);
    report({"INDEX", "SALES.SALES_HISTORY_IX", "H2026_2", "H2026_2_WEST"});
    QStringList sub = kOrderLinesStatistics;
    sub.replace(30, "    owner = 'SALES' and object_name = 'SALES_HISTORY_IX'");
    sub.replace(31, "    and object_type = 'INDEX SUBPARTITION'");
    sub.replace(32, "    and subobject_name = 'H2026_2_WEST') o ");
    EXPECT_EQ(memoLines(h.memo("segstat_text")), sub);
    EXPECT_EQ(statsGrid(), sumsFromTheModel(object("SALES", "SALES_HISTORY_IX", "INDEX SUBPARTITION", "H2026_2_WEST"),
                                            model().now().addDays(-1)));
    EXPECT_EQ(memoLines(h.memo("seggrowth_memo")).at(7), "    partition_name => 'H2026_2_WEST',");
    EXPECT_EQ(h.sink().errors, QStringList{});
}

TEST_F(SegmentStats, ATableAndAnIndexOfOneNameReportSeparatelyAndNoNodeOrATopNodeSendsNothing)
{
    retrieve("INVENTORY", "STOCK_AUDIT");
    EXPECT_EQ(paths(), (QStringList{"INDEX", "INDEX/INVENTORY.STOCK_AUDIT", "TABLE", "TABLE/INVENTORY.STOCK_AUDIT"}));
    const QDateTime day = model().now().addDays(-1);
    report({"TABLE", "INVENTORY.STOCK_AUDIT"});
    const auto table = sumsFromTheModel(object("INVENTORY", "STOCK_AUDIT", "TABLE"), day);
    EXPECT_EQ(statsGrid(), table);
    EXPECT_EQ(memoLines(h.memo("segstat_text")).at(31), "    and object_type = 'TABLE'");
    report({"INDEX", "INVENTORY.STOCK_AUDIT"});
    const auto index = sumsFromTheModel(object("INVENTORY", "STOCK_AUDIT", "INDEX"), day);
    EXPECT_EQ(statsGrid(), index);
    EXPECT_NE(table, index);
    EXPECT_EQ(memoLines(h.memo("seggrowth_memo")).at(6), "    object_type  => 'INDEX',");

    const QList<QStringList> trend = rowsOf(growth());
    const int sent = statementsSent();
    h.widget<QCheckBox>("segstat_mds").setChecked(true); // not even the user's own script
    report({"TABLE"});
    tree().clearSelection();
    h.screen.segtreeDblClick();
    EXPECT_EQ(statementsSent(), sent);
    EXPECT_EQ(statsGrid(), index);
    EXPECT_EQ(rowsOf(growth()), trend);
    EXPECT_EQ(chart("seg_preads_graph").seriesCount(), 1);
    EXPECT_EQ(h.sink().errors, QStringList{});
}

TEST_F(SegmentStats, TheUsersOwnScriptRunsAndTheGrowthStillFollowsTheNode)
{
    retrieve("SALES", "ORDER%");
    h.widget<QCheckBox>("segstat_mds").setChecked(true);
    QStringList edited = kOrderLinesStatistics;
    edited.replace(24, "        where begin_interval_time >= sysdate - 2");
    h.memo("segstat_text").setPlainText(edited.join('\n'));
    report({"INDEX", "SALES.ORDERS_PK"});
    EXPECT_EQ(h.sim.server.statements().at(statementsSent() - 2), edited.join('\n'));
    EXPECT_EQ(statsGrid(), sumsFromTheModel(object("SALES", "ORDER_LINES", "TABLE"), model().now().addDays(-2)));
    QStringList growthLines = kOrderLinesGrowth;
    growthLines.replace(5, "    object_name  => 'ORDERS_PK',");
    growthLines.replace(6, "    object_type  => 'INDEX',");
    EXPECT_EQ(h.sim.server.statements().last(), growthLines.join('\n'));
    EXPECT_EQ(chart("objgrowth_graph").series(0).points().size(), size_t(growth().rowCount() - 1));
    EXPECT_GT(growth().rowCount(), 700);
}

TEST_F(SegmentStats, AFailingGrowthStatementStillShowsTheCompleteStatistics)
{
    retrieve("SALES", "ORDER_LINES%");
    EXPECT_FALSE(h.widget<QTabWidget>("segstatstab").isVisible());
    h.sim.server.setSlowStatement("dbms_space.object_growth_trend", 3001 * 1000); // beyond its time-out
    report({"TABLE", "SALES.ORDER_LINES"});
    EXPECT_EQ(h.sink().errors, QStringList{"ORA-01013: user requested cancel of current operation"});
    EXPECT_TRUE(h.widget<QTabWidget>("segstatstab").isVisible());
    EXPECT_EQ(statsGrid(), sumsFromTheModel(object("SALES", "ORDER_LINES", "TABLE"), model().now().addDays(-1)));
    EXPECT_EQ(chart("seg_lreads_graph").seriesCount(), 1);
    EXPECT_EQ(growth().rowCount(), 2);
}

TEST_F(SegmentStats, ASegmentWithoutFiguresOrWithoutSpaceDrawsNothingOfItsOwn)
{
    retrieve("SALES", "ORDERS");
    // No snapshot in the window: one empty row, no series; the growth still runs.
    h.widget<QRadioButton>("segfromto").setChecked(true);
    report({"TABLE", "SALES.ORDERS", "P2026_11"});
    EXPECT_EQ(rowsOf(stats()), (QList<QStringList>{QStringList(11, QString())}));
    for (const char *name : {"seg_preads_graph", "seg_lreads_graph", "seg_rowlock_graph"})
        EXPECT_EQ(chart(name).seriesCount(), 0) << name;
    EXPECT_GT(chart("objgrowth_graph").series(0).points().size(), 700u);

    // The partitioned table itself: its own entry has no segment, so no figures and no
    // space; the growth grid has no record and the chart no point.
    h.widget<QRadioButton>("RadioButton26").setChecked(true);
    report({"TABLE", "SALES.ORDERS"});
    EXPECT_EQ(stats().rowCount(), 2);
    EXPECT_EQ(rowsOf(growth()), (QList<QStringList>{QStringList(4, QString())}));
    EXPECT_TRUE(chart("objgrowth_graph").series(0).points().empty());
    EXPECT_TRUE(chart("objgrowth_graph").series(1).points().empty());
    EXPECT_EQ(h.sink().errors, QStringList{});
}
