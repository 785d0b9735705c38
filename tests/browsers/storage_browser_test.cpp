// The storage browser against the simulated instance: the tablespace tree, the details
// of a double-clicked node.
#include "browsers/storage_browser_screen.h"
#include "common/chart_support.h"
#include "common/fault_matrix.h"

#include "core/chart.h"
#include "db/sim/server.h"
#include "ui/chart_view.h"
#include "ui/handler.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>

using namespace tavimond;

namespace {

class StorageBrowserTest : public ::testing::Test {
protected:
    QTreeWidget &tree() { return s.widget<QTreeWidget>("tsdftree"); }
    QLineEdit &edit(const char *name) { return s.widget<QLineEdit>(name); }

    void load(const QString &tablespaces = QStringLiteral("%"), const QString &files = QStringLiteral("%"))
    {
        edit("tsfilter").setText(tablespaces);
        edit("dffilter").setText(files);
        s.click("Button68");
    }
    QStringList texts(const QTreeWidgetItem *node = nullptr) { return test::childTexts(tree(), node); }
    // The tablespace's node, or the node of its file-th file.
    QTreeWidgetItem *node(const QString &tablespace, int file = -1)
    {
        QTreeWidgetItem *n = test::nodeAt(tree(), {tablespace});
        return file < 0 ? n : n->child(file);
    }
    QStringList editTexts(const QStringList &names)
    {
        QStringList out;
        for (const QString &n : names)
            out << edit(n.toLatin1().constData()).text();
        return out;
    }
    QStringList dictionaryRow(const QString &sql)
    {
        const QList<QStringList> rows = test::allRows(s.sim.cnn, {sql});
        EXPECT_EQ(rows.size(), 1) << sql.toStdString();
        return rows.value(0);
    }

    test::ScreenHarness<StorageBrowserScreen> s;
};

// The detail edits in the order of the dictionary columns they show.
const QStringList kTablespaceEdits{"tsblocksize",  "tsinitext", "tsminext",   "tsmaxext",    "tspctinc",   "tsnextext",
                                   "tsminextlen",  "tsstatus",  "tscontents", "tslog",       "tsforcelog", "tsextman",
                                   "tsallocatype", "tsplugged", "tssegman",   "tsdeftabcom", "tsret",      "tsbigfile"};
const char kTablespaceColumns[] = "block_size, initial_extent, min_extents, max_extents, pct_increase, next_extent, "
                                  "min_extlen, status, contents, logging, force_logging, extent_management, "
                                  "allocation_type, plugged_in, segment_space_management, def_tab_compression, "
                                  "retention, bigfile";
const QStringList kFileEdits{"dffileid",   "dfbytes", "dfblocks",    "dfstatus",    "dfrfileid",    "dfautoext",
                             "dfmaxbytes", "dfincby", "dfmaxblocks", "dfuserbytes", "dfuserblocks", "dfostatus"};
const char kFileColumns[] = "file_id, bytes, blocks, status, relative_fno, autoextensible, maxbytes, increment_by, "
                            "maxblocks, user_bytes, user_blocks, online_status";

} // namespace

TEST_F(StorageBrowserTest, LoadListsTheTablespacesTheFiltersMatchWithTheirFiles)
{
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace: "));
    EXPECT_EQ(s.label("dffilename"), QStringLiteral("Datafile:"));
    EXPECT_FALSE(s.widget<GridView>("tsdfgrid").isVisible());
    load();

    EXPECT_EQ(s.memo("tsdfmemo").toPlainText(),
              "select df.tablespace_name,ts.block_size,ts.initial_extent,ts.next_extent,\n"
              "ts.min_extents,ts.max_extents,ts.pct_increase,ts.min_extlen,ts.status,ts.contents,\n"
              "ts.logging,ts.force_logging,ts.extent_management,ts.allocation_type,ts.plugged_in,\n"
              "ts.segment_space_management,ts.def_tab_compression,ts.retention,ts.bigfile,\n"
              "df.file_name,df.file_id,df.bytes,df.blocks,df.status,df.relative_fno,\n"
              "df.autoextensible,df.maxbytes,df.maxblocks,df.increment_by,df.user_bytes,\n"
              "df.user_blocks,df.online_status \n from dba_tablespaces ts, dba_data_files df where \n"
              "upper(ts.tablespace_name) like '%'\n and upper(df.file_name) like '%'\n"
              " and df.tablespace_name = ts.tablespace_name\nunion \n"
              "select tf.tablespace_name,ts.block_size,ts.initial_extent,ts.next_extent,\n"
              "ts.min_extents,ts.max_extents,ts.pct_increase,ts.min_extlen,ts.status,ts.contents,\n"
              "ts.logging,ts.force_logging,ts.extent_management,ts.allocation_type,ts.plugged_in,\n"
              "ts.segment_space_management,ts.def_tab_compression,ts.retention,'',\n"
              "tf.file_name,tf.file_id,tf.bytes,tf.blocks,tf.status,tf.relative_fno,\n"
              "tf.autoextensible,tf.maxbytes,tf.maxblocks,tf.increment_by,tf.user_bytes,\ntf.user_blocks, ''\n"
              "from dba_tablespaces ts, dba_temp_files tf where \nupper(ts.tablespace_name) like '%'\n"
              " and upper(tf.file_name) like '%'\n and tf.tablespace_name = ts.tablespace_name\norder by 1,2");
    EXPECT_EQ(s.sim.server.statements().last(), s.memo("tsdfmemo").toPlainText());
    EXPECT_EQ(s.sink().errors, QStringList());
    // One node per tablespace in name order, its children the files the dictionary lists for it.
    const QStringList names{"APP_DATA", "APP_INDEX", "APP_LOB",  "SYSAUX", "SYSTEM",
                            "TEMP",     "UNDOTBS1",  "UNDOTBS2", "USERS"};
    ASSERT_EQ(texts(), names);
    int files = 0;
    for (int i = 0; i < tree().topLevelItemCount(); ++i) {
        const QTreeWidgetItem *node = tree().topLevelItem(i);
        const QString view = node->text(0) == QLatin1String("TEMP") ? "dba_temp_files" : "dba_data_files";
        QStringList expected;
        for (const QStringList &r :
             test::allRows(s.sim.cnn, {"select file_name from " + view + " where tablespace_name = '" + node->text(0) +
                                       "' order by file_id"}))
            expected << r.at(0);
        EXPECT_EQ(texts(node), expected) << node->text(0).toStdString();
        files += node->childCount();
    }
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace : APP_DATA"));
    // The grid holds a row per file and no spare row; a temporary file's bigfile and
    // online status are empty, a data file's are not.
    const ResultGrid &grid = s.grid("tsdfgrid");
    ASSERT_EQ(grid.rowCount(), files + 1);
    for (int r = 1; r < grid.rowCount(); ++r) {
        const bool temporary = grid.cell(0, r) == QLatin1String("TEMP");
        EXPECT_EQ(grid.cell(9, r) == QLatin1String("TEMPORARY"), temporary);
        EXPECT_EQ(grid.cell(18, r).isEmpty(), temporary) << r;
        EXPECT_EQ(grid.cell(31, r).isEmpty(), temporary) << r;
        EXPECT_FALSE(grid.cell(19, r).isEmpty());
    }
    // Grid View shows the grid over the details, Dialog View hides it; neither queries.
    const qsizetype sent = s.sim.server.statements().size();
    s.click("RadioButton29");
    EXPECT_TRUE(s.widget<GridView>("tsdfgrid").isVisible());
    s.click("RadioButton28");
    EXPECT_FALSE(s.widget<GridView>("tsdfgrid").isVisible());
    EXPECT_EQ(s.sim.server.statements().size(), sent);
    // The filters force upper case as the user types.
    QLineEdit &filter = edit("tsfilter");
    filter.clear();
    QTest::keyClicks(&filter, "sys%");
    EXPECT_EQ(filter.text(), QStringLiteral("SYS%"));
    // Tablespaces whose files all fail the file filter do not appear.
    load(QStringLiteral("%"), QStringLiteral("%/SYSTEM.%"));
    ASSERT_EQ(texts(), QStringList{"SYSTEM"});
    EXPECT_EQ(tree().topLevelItem(0)->childCount(), 2);
    // A filter that matches nothing (its quotes doubled, as the typed-text test checks):
    // one empty node, without an error.
    for (const QString &pattern : {QStringLiteral("O'X"), QStringLiteral("NO SUCH%"), QString()}) {
        load(pattern);
        EXPECT_EQ(s.sink().errors, QStringList());
        ASSERT_EQ(tree().topLevelItemCount(), 1) << pattern.toStdString();
        EXPECT_EQ(tree().topLevelItem(0)->text(0), QString());
        EXPECT_EQ(tree().topLevelItem(0)->childCount(), 0);
        EXPECT_EQ(s.grid("tsdfgrid").rowCount(), 2);
        EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace : "));
    }
}

TEST_F(StorageBrowserTest, DoubleClickFillsTheDetailsOfTheSelectedNode)
{
    load();
    // A file of the second tablespace: both groups from that file's row.
    ASSERT_EQ(tree().topLevelItem(1)->text(0), QStringLiteral("APP_INDEX"));
    QTreeWidgetItem *file = node("APP_INDEX", 1);
    test::doubleClickNode(tree(), {"APP_INDEX", file->text(0)});
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace:APP_INDEX"));
    EXPECT_EQ(s.label("dffilename"), QStringLiteral("Datafile: ") + file->text(0));
    EXPECT_EQ(editTexts(kTablespaceEdits),
              dictionaryRow(QStringLiteral("select %1 from dba_tablespaces where tablespace_name = 'APP_INDEX'")
                                .arg(QLatin1String(kTablespaceColumns))));
    const QStringList fileRow = dictionaryRow(QStringLiteral("select %1 from dba_data_files where file_name = '%2'")
                                                  .arg(QLatin1String(kFileColumns), file->text(0)));
    EXPECT_EQ(editTexts(kFileEdits), fileRow);
    // A tablespace node: its own details, the file group emptied.
    tree().collapseAll();
    test::doubleClickNode(tree(), {"TEMP"});
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace:TEMP"));
    EXPECT_EQ(s.label("dffilename"), QStringLiteral("Datafile:"));
    EXPECT_EQ(edit("tscontents").text(), QStringLiteral("TEMPORARY"));
    EXPECT_EQ(edit("tsbigfile").text(), QString());
    EXPECT_EQ(editTexts(kFileEdits), QStringList(kFileEdits.size(), QString()));
    // The "To" edit of the growth window runs the same double-click.
    tree().setCurrentItem(tree().topLevelItem(4)->child(1));
    QTest::mouseDClick(&edit("tssizeto"), Qt::LeftButton);
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace:SYSTEM"));
    EXPECT_EQ(s.label("dffilename"), QStringLiteral("Datafile: ") + tree().topLevelItem(4)->child(1)->text(0));
    EXPECT_EQ(edit("dffileid").text(), QStringLiteral("12"));
    // With no node selected a double-click changes nothing.
    tree().clearSelection();
    QTest::mouseDClick(&edit("tssizeto"), Qt::LeftButton);
    QTest::mouseDClick(tree().viewport(), Qt::LeftButton, {}, QPoint(5, tree().viewport()->height() - 3));
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace:SYSTEM"));
    EXPECT_EQ(edit("dffileid").text(), QStringLiteral("12"));
    // By keyboard: Tab from the filter into the tree, the arrow keys to the file, Return.
    QTest::mouseClick(&edit("tsfilter"), Qt::LeftButton);
    ASSERT_TRUE(test::tabTo(tree()));
    test::keyToNode(tree(), {"APP_INDEX", file->text(0)});
    QTest::keyClick(&tree(), Qt::Key_Return);
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace:APP_INDEX"));
    EXPECT_EQ(s.label("dffilename"), QStringLiteral("Datafile: ") + file->text(0));
    EXPECT_EQ(editTexts(kFileEdits), fileRow);
    // Loaded anew, Tab marks the first tablespace without selecting it; Return selects
    // it and shows it.
    load();
    QTest::mouseClick(&edit("tsfilter"), Qt::LeftButton);
    ASSERT_TRUE(test::tabTo(tree()));
    QTreeWidgetItem *first = tree().topLevelItem(0);
    ASSERT_EQ(tree().currentItem(), first);
    EXPECT_TRUE(tree().selectedItems().isEmpty());
    QTest::keyClick(&tree(), Qt::Key_Return);
    EXPECT_EQ(tree().selectedItems(), QList<QTreeWidgetItem *>{first});
    EXPECT_EQ(s.label("tsname"), QStringLiteral("Tablespace:") + first->text(0));
    EXPECT_EQ(s.label("dffilename"), QStringLiteral("Datafile:"));
    EXPECT_EQ(s.sink().errors, QStringList());
}

namespace {

class TablespaceGrowthTest : public StorageBrowserTest {
protected:
    Chart &chart() { return *s.widget<ChartView>("tssizegraph").model(); }
    void retrieve(QTreeWidgetItem *selected)
    {
        tree().setCurrentItem(selected);
        s.click("gettssizes");
    }
    void window(const QString &from, const QString &to)
    {
        s.click("tssizefromto");
        edit("tssizefrom").setText(from);
        edit("tssizeto").setText(to);
    }
    static QString growthStatement(const QString &quotedName, const QString &window)
    {
        return QStringLiteral(
                   "select s.snap_id,s.start_time,s.end_time,x.tablespace_maxsize*x.block_size/1024/1024, \n"
                   "x.tablespace_size*x.block_size/1024/1024,x.tablespace_usedsize*x.block_size/1024/1024 \nfrom  \n"
                   "(select dhtsu.snap_id,dhtsu.tablespace_size,dhtsu.tablespace_maxsize,dhtsu.tablespace_usedsize "
                   ",dbat.block_size \nfrom DBA_HIST_TBSPC_SPACE_USAGE dhtsu,v$tablespace vt,dba_tablespaces dbat "
                   "where \n"
                   "dhtsu.tablespace_id = vt.ts# and \nvt.name = %1 and \nvt.name = dbat.TABLESPACE_NAME \n)x, \n(  \n"
                   "select snap_id,\n"
                   "        max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as start_time,\n"
                   "        max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as end_time \n"
                   "        from dba_hist_snapshot \n%2\n        group by snap_id \n) s \n"
                   "where s.snap_id = x.snap_id \norder by snap_id")
            .arg(quotedName, window);
    }
};

} // namespace

TEST_F(TablespaceGrowthTest, RetrieveChartsTheSelectedTablespaceInThreeLines)
{
    load();
    // A file node stands for its tablespace.
    retrieve(node("APP_DATA", 2));
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(s.label("tsgraphcap"), QStringLiteral("Tablespace : APP_DATA"));
    EXPECT_EQ(s.memo("tssizememo").toPlainText(),
              growthStatement("'APP_DATA'", "        where begin_interval_time >= sysdate - 1"));
    // A day of hourly snapshots, sizes in megabytes: used below allocated below the
    // maximum, the data growing; the last allocation is what the files hold now.
    const ResultGrid &grid = s.grid("tssizegrid");
    ASSERT_GE(grid.rowCount(), 23);
    ASSERT_LE(grid.rowCount(), 25);
    for (int r = 1; r < grid.rowCount(); ++r) {
        EXPECT_TRUE(grid.cell(1, r).endsWith(QLatin1String(":00"))) << grid.cell(1, r).toStdString();
        EXPECT_LE(grid.cell(5, r).toDouble(), grid.cell(4, r).toDouble());
        EXPECT_LE(grid.cell(4, r).toDouble(), grid.cell(3, r).toDouble());
    }
    EXPECT_LT(grid.cell(5, 1).toDouble(), grid.cell(5, grid.rowCount() - 1).toDouble());
    const QList<QStringList> files = test::allRows(
        s.sim.cnn, {"select sum(bytes)/1024/1024 from dba_data_files where tablespace_name = 'APP_DATA'"});
    EXPECT_EQ(grid.cell(4, grid.rowCount() - 1), files.at(0).at(0));
    // Three lines (max, total, used) whose points are the grid's megabytes, labelled
    // with the start times; the grid heads each column as the chart names its line.
    ASSERT_EQ(chart().seriesCount(), 3);
    for (int i = 0; i < 3; ++i) {
        const ChartSeries &line = chart().series(i);
        EXPECT_EQ(line.kind(), SeriesKind::Line);
        EXPECT_EQ(s.widget<GridView>("tssizegrid").model()->headerData(3 + i, Qt::Horizontal).toString(), line.title());
        ASSERT_EQ(int(line.points().size()), grid.rowCount() - 1);
        for (int r = 1; r < grid.rowCount(); ++r) {
            EXPECT_DOUBLE_EQ(line.points()[size_t(r - 1)].value, grid.cell(3 + i, r).toDouble());
            EXPECT_EQ(line.points()[size_t(r - 1)].label, grid.cell(1, r));
        }
    }
    // The label angle stays through a retrieve of another tablespace; still three lines.
    s.click("Button142");
    EXPECT_EQ(chart().bottomLabelAngle(), 90);
    window(QStringLiteral("29/NOV/2026 10:00:00"), QStringLiteral("29/NOV/2026 14:00:00"));
    retrieve(node("TEMP"));
    EXPECT_EQ(s.memo("tssizememo").toPlainText(),
              growthStatement("'TEMP'",
                              "        where begin_interval_time >= to_date('29/NOV/2026 10:00:00','DD/MON/YYYY "
                              "HH24:MI:SS')\n          and end_interval_time <=   to_date('29/NOV/2026 "
                              "14:00:00','DD/MON/YYYY HH24:MI:SS')"));
    EXPECT_EQ(chart().seriesCount(), 3);
    EXPECT_EQ(chart().bottomLabelAngle(), 90);
    // Snapshots taken a few seconds after each hour: the one ending after 14:00 is outside.
    EXPECT_EQ(test::rowsOf(grid).size(), 3);
    EXPECT_EQ(chart().series(2).points().front().label, "29/NOV/2026 10:00:00");

    s.widget<QTabWidget>("storagetabs").setCurrentIndex(1);
    s.click("RadioButton34");
    EXPECT_TRUE(s.widget<GridView>("tssizegrid").isVisible() && !s.widget<ChartView>("tssizegraph").isVisible());
    s.click("RadioButton35");
    EXPECT_TRUE(!s.widget<GridView>("tssizegrid").isVisible() && s.widget<ChartView>("tssizegraph").isVisible());
    // An empty size leaves a gap in its line.
    auto t = std::make_shared<sim::Table>(QStringList{"SNAP_ID", "START_TIME", "END_TIME", "MAX", "TOTAL", "USED"});
    t->addRow({"7", "01/MAY/2013 08:00:00", "01/MAY/2013 09:00:00", "32767.984375", "700", "652.375"});
    t->addRow({"8", "01/MAY/2013 09:00:00", "01/MAY/2013 10:00:00", "32767.984375", "700", ""});
    t->addRow({"9", "01/MAY/2013 10:00:00", "01/MAY/2013 11:00:00", "32767.984375", "710", "660.5"});
    s.sim.server.add({"growth with a missing size",
                      [](const sim::Statement &st) { return st.has("dba_hist_tbspc_space_usage"); },
                      [t](const sim::Statement &, sim::Context &) { return t; }});
    retrieve(node("USERS"));
    EXPECT_EQ(s.sink().errors, QStringList());
    ASSERT_EQ(s.grid("tssizegrid").rowCount(), 4);
    const ChartSeries &used = chart().series(2);
    ASSERT_EQ(used.points().size(), 3u);
    EXPECT_DOUBLE_EQ(used.points()[2].value, 660.5);
    EXPECT_TRUE(std::isnan(used.points()[1].value));
    EXPECT_EQ(chart().series(1).points()[1].value, 700);
}

TEST_F(TablespaceGrowthTest, RetrieveWithoutRowsOrWithoutANodeLeavesNothingBehind)
{
    load();
    retrieve(node("APP_INDEX"));
    ASSERT_GT(s.grid("tssizegrid").rowCount(), 2);
    // No snapshot in the window: the message, and nothing left of the earlier tablespace,
    // on screen already while the message is open.
    s.widget<QTabWidget>("storagetabs").setCurrentIndex(1);
    ChartView &view = s.widget<ChartView>("tssizegraph");
    QCoreApplication::processEvents();
    ASSERT_EQ(view.plot().lines().size(), 3u);
    installMessageBoxes();
    QString message;
    bool linesWhileOpen = true;
    bool blankWhileOpen = false;
    QObject looking; // no look is left pending after the test
    std::function<void()> look = [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, &looking, look);
            return;
        }
        message = box->text();
        blankWhileOpen = test::blank(view); // the box's event loop has taken the changes in
        linesWhileOpen = !view.plot().lines().empty();
        box->accept();
    };
    QTimer::singleShot(0, &looking, look);
    window(QStringLiteral("1/MAY/2013 08:00:00"), QStringLiteral("1/MAY/2013 08:15:59"));
    retrieve(node("USERS", 0));
    setMessageSink(&s.sink());
    EXPECT_EQ(message, "No records found for tablespace : USERS");
    EXPECT_FALSE(linesWhileOpen);
    EXPECT_TRUE(blankWhileOpen);
    EXPECT_EQ(s.label("tsgraphcap"), QStringLiteral("Tablespace : USERS"));
    EXPECT_EQ(s.grid("tssizegrid").rowCount(), 2);
    EXPECT_EQ(s.grid("tssizegrid").row(1), QStringList(6, QString()));
    ASSERT_EQ(chart().seriesCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(chart().series(i).points().empty());
    // No node selected, or the empty node a load that matched nothing leaves: no query.
    const qsizetype sent = s.sim.server.statements().size();
    tree().clearSelection();
    s.click("gettssizes");
    load(QStringLiteral("NOTHING"));
    const qsizetype afterLoad = s.sim.server.statements().size();
    retrieve(tree().topLevelItem(0));
    EXPECT_EQ(afterLoad, sent + 1);
    EXPECT_EQ(s.sim.server.statements().size(), afterLoad);
    EXPECT_EQ(s.label("tsgraphcap"), QStringLiteral("Tablespace : USERS"));
    // A quote in the tablespace's name arrives doubled.
    s.sim.server.clearStatements();
    tree().topLevelItem(0)->setText(0, QStringLiteral("O'X"));
    retrieve(tree().topLevelItem(0));
    ASSERT_EQ(s.sim.server.statements().size(), 1);
    EXPECT_TRUE(s.sim.server.statements().at(0).contains(QStringLiteral("vt.name = 'O''X' and ")));
    EXPECT_EQ(s.sink().infos, QStringList{"No records found for tablespace : O'X"});
    EXPECT_EQ(s.sink().errors, QStringList());
}
