// The object browser's table details against the simulated dictionary.
#include "object_browser_support.h"

#include <cmath>

#include <QComboBox>
#include <QKeySequence>
#include <QTabWidget>

using namespace tavimond;

namespace {

class ObjectTableTest : public test::ObjectBrowserTest {
protected:
    QTabWidget &tabpage() { return s.widget<QTabWidget>("tabpage"); }
    QTreeWidget &parttree() { return s.widget<QTreeWidget>("parttree"); }
    const sim::DictionaryModel::TableDef &table(const char *owner, const char *name)
    {
        const auto *t = dictionary().table(QLatin1String(owner), QString::fromUtf8(name));
        EXPECT_NE(t, nullptr);
        return *t;
    }
};

} // namespace

TEST_F(ObjectTableTest, AnUnpartitionedTableShowsTheModelsFigures)
{
    const auto &t = table("HR", "EMPLOYEES");
    show("TABLE", "HR", "EMPLOYEES");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(tabpage().currentIndex(), 0);
    EXPECT_EQ(text("objownertab"), "HR.EMPLOYEES");
    // Structure: the invisible column (no column_id) first, so the tail trim keeps it;
    // a default's text whole, trailing blank and all.
    const ResultGrid &columns = s.grid("objtabcolsgrid");
    ASSERT_EQ(columns.rowCount(), int(t.columns.size()) + 1);
    EXPECT_EQ(columns.row(1).mid(0, 2), (QStringList{"", "BADGE_NO"}));
    EXPECT_EQ(columns.row(2), (QStringList{"1", "EMPLOYEE_ID", "NUMBER", "22", "6", "0", "N", "", "NONE"}));
    EXPECT_EQ(columns.row(6).mid(1), (QStringList{"HIRE_DATE", "DATE", "7", "", "", "N", "SYSDATE ", "NONE"}));
    // The key, NOT NULL, reads N where FIRST_NAME, which may be empty, reads Y: the
    // column says whether a value may be null.
    EXPECT_EQ(s.widget<GridView>("objtabcolsgrid").model()->headerData(6, Qt::Horizontal).toString(), "Nullable");
    EXPECT_EQ(columns.row(3).mid(1, 6), (QStringList{"FIRST_NAME", "VARCHAR2", "20", "", "", "Y"}));
    EXPECT_EQ(text("objtsname"), "USERS");
    EXPECT_EQ(text("objmaxext"), "2147483645");
    // Statistics, the table's own modifications, and an endpoint in every histogram row,
    // numeric columns' included.
    EXPECT_EQ(text("objnumrows"), t.stats.numRows);
    EXPECT_EQ(text("objlastanal"), t.stats.lastAnalyzed);
    EXPECT_EQ(s.label("dms"), "Data Manipulation Since: " + t.stats.lastAnalyzed);
    EXPECT_EQ(text("objinserts"), t.modifications.back().inserts);
    EXPECT_EQ(text("objlastchange"), t.modifications.back().timestamp);
    QSet<QString> histograms;
    for (const QStringList &r : test::rowsOf(s.grid("objextstatsgrid"))) {
        EXPECT_FALSE(r.at(2).isEmpty()) << r.join(',').toStdString();
        histograms << r.at(0);
    }
    EXPECT_TRUE(histograms.contains("JOB_ID") && histograms.contains("DEPARTMENT_ID")); // characters and numbers
    // No partitions: one empty row, one top node with empty text that matches nothing.
    EXPECT_EQ(s.grid("partitiongrid").rowCount(), 2);
    ASSERT_EQ(texts(parttree()), QStringList{""});
    tabpage().setCurrentIndex(2);
    click(parttree(), parttree().topLevelItem(0));
    EXPECT_EQ(text("PARTNUMROWS"), "");
    EXPECT_EQ(s.label("Label115"), "Data Manipulation Since: ");
    // Indexes and constraints as the model declares them.
    QList<QStringList> indexColumns;
    for (const auto &x : dictionary().indexes())
        if (x.tableOwner == "HR" && x.tableName == "EMPLOYEES")
            for (const auto &c : x.columns)
                indexColumns << QStringList{x.name, c.position, c.name};
    std::sort(indexColumns.begin(), indexColumns.end());
    EXPECT_EQ(test::rowsOf(s.grid("objindexgrid")), indexColumns);
    auto &names = s.widget<QComboBox>("objconddown");
    QStringList constraints;
    for (const auto &c : t.constraints)
        constraints << c.name;
    std::sort(constraints.begin(), constraints.end());
    EXPECT_EQ(test::shownItems({}, names).lines, constraints);
    EXPECT_EQ(names.currentText(), "EMP_DEPT_FK");
    EXPECT_EQ(text("contype"), "R");
    EXPECT_EQ(text("concols"), "DEPARTMENT_ID");
    // DDL, and storage summed over the layout's segments of that name.
    EXPECT_EQ(memoText("tabddl"), "select dbms_metadata.get_ddl('TABLE','EMPLOYEES','HR') from dual");
    EXPECT_TRUE(s.memo("tabdefinition").toPlainText().startsWith("\n  CREATE TABLE \"HR\".\"EMPLOYEES\" \n"));
    qint64 extents = 0, blocks = 0;
    double mbytes = 0;
    for (const auto &seg : dictionary().layout().segments())
        if (seg.owner == "HR" && seg.name == "EMPLOYEES") {
            extents += qint64(seg.extents.size());
            blocks += seg.blocks();
            mbytes += std::round(double(seg.bytes()) / 1024 / 1024 * 10000) / 10000;
        }
    EXPECT_EQ(text("objextents"), QString::number(extents));
    EXPECT_EQ(text("objdsblocks"), QString::number(blocks));
    EXPECT_DOUBLE_EQ(text("objmbytes").toDouble(), mbytes);
    EXPECT_EQ(memoText("tabsto"), "select sum(extents),sum(round(bytes/1024/1024,4)),sum(blocks) \n"
                                  "from dba_segments  \n"
                                  "where  \n"
                                  "owner =  'HR' and \n"
                                  "segment_name =  'EMPLOYEES' ");
}

TEST_F(ObjectTableTest, ACompositePartitionedTableShowsPartitionsAndSubpartitionsAsATree)
{
    const auto &t = table("BILLING", "CALL_RECORDS");
    show("TABLE", "BILLING", "CALL_RECORDS");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(text("objparttype"), "RANGE");
    EXPECT_EQ(text("objsubparttype"), "LIST");
    EXPECT_EQ(text("objtsname"), "");
    // The table's own modifications row (the model's last), not the first partition's.
    EXPECT_EQ(text("objinserts"), t.modifications.back().inserts);
    EXPECT_NE(t.modifications.front().inserts, t.modifications.back().inserts);
    // Two statements, one per level, both in the script memo; no LONG in a union.
    const QString script = memoText("tabparts");
    EXPECT_TRUE(script.contains("dba_tab_partitions dtp, sys.dba_tab_modifications dtm, dba_segments ds"));
    EXPECT_TRUE(script.contains("dba_tab_subpartitions dtp, sys.dba_tab_modifications dtm, dba_segments ds"));
    EXPECT_FALSE(script.contains("union all"));
    // Each partition's row (subpartition exactly " ") before its subpartitions.
    const ResultGrid &grid = s.grid("partitiongrid");
    QStringList order;
    for (int r = 1; r < grid.rowCount(); ++r)
        order << grid.cell(1, r) + "/" + grid.cell(2, r);
    EXPECT_EQ(order,
              (QStringList{"P2026_Q2/ ", "P2026_Q2/P2026_Q2_EU", "P2026_Q2/P2026_Q2_REST", "P2026_Q2/P2026_Q2_US",
                           "P2026_Q3/ ", "P2026_Q3/P2026_Q3_EU", "P2026_Q3/P2026_Q3_REST", "P2026_Q3/P2026_Q3_US",
                           "P2026_Q4/ ", "P2026_Q4/P2026_Q4_EU", "P2026_Q4/P2026_Q4_REST", "P2026_Q4/P2026_Q4_US"}));
    EXPECT_EQ(texts(parttree()), (QStringList{"P2026_Q2", "P2026_Q3", "P2026_Q4"}));
    QTreeWidgetItem *q4 = parttree().topLevelItem(2);
    EXPECT_EQ(texts(parttree(), q4), (QStringList{"P2026_Q4_EU", "P2026_Q4_REST", "P2026_Q4_US"}));
    // A partition: its own row; it has no segment of its own.
    tabpage().setCurrentIndex(2);
    const auto &partition = t.partitions[2];
    click(parttree(), q4);
    EXPECT_EQ(text("PARTNUMROWS"), partition.stats.numRows);
    EXPECT_EQ(text("partlastanal"), partition.stats.lastAnalyzed);
    EXPECT_EQ(s.label("Label115"), "Data Manipulation Since: " + partition.stats.lastAnalyzed);
    EXPECT_EQ(text("parthigh"), "TO_DATE(' 2027-01-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')");
    EXPECT_EQ(text("partdsblocks"), "");
    // A subpartition: its row, down to the last column, the segment's blocks.
    const auto &sub = partition.subpartitions[1];
    ASSERT_EQ(sub.name, "P2026_Q4_US");
    click(parttree(), q4->child(2));
    const sim::StorageLayout::Segment *segment = this->segment("CALL_RECORDS", sub.name);
    ASSERT_NE(segment, nullptr);
    EXPECT_EQ(text("PARTNUMROWS"), sub.stats.numRows);
    EXPECT_EQ(text("parttsname"), "APP_DATA");
    EXPECT_EQ(text("parthigh"), "'US'");
    EXPECT_EQ(text("partdsextents"), QString::number(segment->extents.size()));
    EXPECT_EQ(text("partdsblocks"), QString::number(segment->blocks()));
    EXPECT_DOUBLE_EQ(text("partdsmbytes").toDouble(), double(segment->bytes()) / 1024 / 1024);
    EXPECT_EQ(text("partinsert"), [&] {
        for (const auto &m : t.modifications)
            if (m.subpartition == sub.name)
                return m.inserts;
        return QString("none");
    }());
    // The keys move the current node and the edits follow it: up to the subpartition
    // above, then past the first to the partitions of the fourth and third quarters.
    const auto &rest = *std::find_if(partition.subpartitions.begin(), partition.subpartitions.end(),
                                     [](const auto &p) { return p.name == "P2026_Q4_REST"; });
    QTest::keyClick(&parttree(), Qt::Key_Up);
    EXPECT_EQ(text("PARTNUMROWS"), rest.stats.numRows);
    EXPECT_EQ(text("parthigh"), rest.highValue);
    QTest::keyClick(&parttree(), Qt::Key_Up);
    QTest::keyClick(&parttree(), Qt::Key_Up);
    EXPECT_EQ(text("parthigh"), partition.highValue);
    const auto &q3 = t.partitions[1];
    ASSERT_EQ(q3.name, "P2026_Q3");
    QTest::keyClick(&parttree(), Qt::Key_Up);
    EXPECT_EQ(text("parthigh"), q3.highValue);
    EXPECT_EQ(s.label("Label115"), "Data Manipulation Since: " + q3.stats.lastAnalyzed);
    // Return on the table's node in the object tree shows it again, as a double-click
    // does: its partition tree rebuilt, no node shows until one is chosen.
    ASSERT_EQ(tree().currentItem(), node("TABLE", "BILLING.CALL_RECORDS"));
    QTest::keyClick(&tree(), Qt::Key_Return);
    EXPECT_EQ(text("PARTNUMROWS"), "");
    EXPECT_EQ(texts(parttree()), (QStringList{"P2026_Q2", "P2026_Q3", "P2026_Q4"}));
    // The grid view in front, and back.
    radio("partgview");
    EXPECT_TRUE(s.widget<GridView>("partitiongrid").isVisible() && !parttree().isVisible());
    radio("parttview");
    EXPECT_TRUE(!s.widget<GridView>("partitiongrid").isVisible() && parttree().isVisible());
}

TEST_F(ObjectTableTest, TabIntoThePartitionTreeMarksTheFirstPartitionUnchosenAndAKeyThatStaysOnItChoosesIt)
{
    const auto &first = table("SALES", "ORDERS").partitions.front();
    ASSERT_EQ(first.name, "P2026_06");
    show("TABLE", "SALES", "ORDERS");
    tabpage().setCurrentIndex(2);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Space, Qt::NoModifier}, {Qt::Key_Space, Qt::ControlModifier}, {Qt::Key_Home, Qt::NoModifier},
                {Qt::Key_Up, Qt::NoModifier},    {Qt::Key_PageUp, Qt::NoModifier},     {Qt::Key_Left, Qt::NoModifier},
                {Qt::Key_Return, Qt::NoModifier}};
    for (const auto &k : keys) {
        SCOPED_TRACE(QKeySequence(k.key | k.modifiers).toString().toStdString());
        // Return on the table's node shows it again: the partition tree rebuilt, no
        // node current.
        tree().setFocus(Qt::MouseFocusReason);
        QTest::keyClick(&tree(), Qt::Key_Return);
        ASSERT_EQ(parttree().currentItem(), nullptr);
        ASSERT_TRUE(test::tabTo(parttree()));
        ASSERT_EQ(parttree().currentItem(), parttree().topLevelItem(0));
        EXPECT_TRUE(parttree().selectedItems().isEmpty());
        EXPECT_EQ(text("parthigh"), "");
        EXPECT_EQ(text("PARTNUMROWS"), "");
        QTest::keyClick(&parttree(), k.key, k.modifiers);
        EXPECT_EQ(parttree().currentItem(), parttree().topLevelItem(0));
        EXPECT_EQ(parttree().selectedItems(), QList<QTreeWidgetItem *>{parttree().topLevelItem(0)});
        EXPECT_EQ(text("parthigh"), first.highValue);
        EXPECT_EQ(text("PARTNUMROWS"), first.stats.numRows);
    }
    EXPECT_EQ(s.sink().errors, QStringList());
}

TEST_F(ObjectTableTest, TheRetrievalOptionsGateEachSectionAndAKindNodeOrNothingAsksNothing)
{
    // A double-click with no node selected, or on a kind node, does nothing.
    load();
    s.sim.server.clearStatements();
    tree().clearSelection();
    s.screen.objtreeDblClick();
    open("TABLE", {});
    EXPECT_EQ(s.sim.server.statements(), QStringList());
    EXPECT_EQ(text("objownertab"), "");

    show("TABLE", "HR", "EMPLOYEES");
    const QString caption = s.label("dms");
    ASSERT_NE(caption, "Data Manipulation Since: ");
    // Every option off: the page is emptied, only the name is shown, nothing is asked.
    for (const char *option : {"trotablest", "trostat", "tropart", "troind", "trocon", "trosto", "troddl"})
        box(option).setChecked(false);
    s.sim.server.clearStatements();
    open("TABLE", "HR.DEPARTMENTS");
    EXPECT_EQ(s.sim.server.statements(), QStringList());
    EXPECT_EQ(text("objownertab"), "HR.DEPARTMENTS");
    for (const char *e : {"objtsname", "objpctfree", "objnumrows", "objinserts", "contype", "objextents"})
        EXPECT_EQ(text(e), "") << e;
    EXPECT_EQ(s.grid("objtabcolsgrid").rowCount(), 2);
    EXPECT_EQ(s.memo("tabdefinition").toPlainText(), "");
    EXPECT_EQ(s.label("dms"), caption); // not touched
    // Structure without storage: the storage parameters go again.
    box("trotablest").setChecked(true);
    open("TABLE", "HR.DEPARTMENTS");
    EXPECT_EQ(text("objtsname"), "USERS");
    for (const char *e : {"objpctfree", "objpctused", "objpctinc", "objinitext", "objnextext", "objminext", "objmaxext",
                          "objfreelists", "objfreelistg"})
        EXPECT_EQ(text(e), "") << e;
    box("trosto").setChecked(true);
    open("TABLE", "HR.DEPARTMENTS");
    EXPECT_EQ(text("objpctfree"), "10");
    EXPECT_FALSE(text("objextents").isEmpty());
}

TEST_F(ObjectTableTest, TheConstraintDropDownShowsTheChosenConstraint)
{
    show("TABLE", "SALES", "ORDER_LINES");
    auto &names = s.widget<QComboBox>("objconddown");
    ASSERT_GT(names.count(), 3);
    // The columns of a key come in alphabetical order, not the key's own.
    EXPECT_TRUE(test::rowsOf(s.grid("objcongrid"))
                    .contains(QStringList{"ORDER_LINES_PK", "P", "ENABLED", "", "NOT DEFERRABLE", "IMMEDIATE",
                                          "LINE_NO,ORDER_ID"}));

    tabpage().setCurrentIndex(4);
    names.setFocus();
    for (int i = 0; i < names.count() && names.currentText() != "ORDER_LINES_QTY_CK"; ++i)
        QTest::keyClick(&names, Qt::Key_Down);
    ASSERT_EQ(names.currentText(), "ORDER_LINES_QTY_CK");
    EXPECT_EQ(text("contype"), "C");
    EXPECT_EQ(text("consearch"), "QUANTITY > 0");
    EXPECT_EQ(text("concols"), "QUANTITY");
    radio("RadioButton23");
    EXPECT_TRUE(s.widget<GridView>("objcongrid").isVisible());
    // A table without constraints: one empty item, empty edits.
    show("TABLE", "LEGACY", "O'BRIEN_IMPORT");
    EXPECT_EQ(test::shownItems({}, names).lines, QStringList{""});
    EXPECT_EQ(text("contype"), "");
    EXPECT_EQ(text("concols"), "");
}

TEST_F(ObjectTableTest, QuotesInANameAreDoubledAndAMixedCaseNameIsFound)
{
    show("TABLE", "LEGACY", "O'BRIEN_IMPORT");
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_TRUE(s.memo("tabdefinition").toPlainText().contains("CREATE TABLE \"LEGACY\".\"O'BRIEN_IMPORT\""));
    EXPECT_EQ(s.grid("objtabcolsgrid").rowCount(), 4);
    // Never analysed: no figures, nothing after the caption.
    EXPECT_EQ(text("objnumrows"), "");
    EXPECT_EQ(s.label("dms"), "Data Manipulation Since: ");
    // A quoted mixed-case table: every section finds it.
    show("TABLE", "HR", "LeaveRequests");
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(s.grid("objtabcolsgrid").rowCount(), 6);
    EXPECT_EQ(s.grid("objtabcolsgrid").cell(1, 1), "RequestId");
    EXPECT_EQ(text("objtsname"), "USERS");
    EXPECT_EQ(text("objnumrows"), table("HR", "LeaveRequests").stats.numRows);
    EXPECT_EQ(s.widget<QComboBox>("objconddown").itemText(0), "LeaveRequests_Dates_CK");
    EXPECT_TRUE(s.memo("tabdefinition").toPlainText().contains("\"HR\".\"LeaveRequests\""));
    // A DDL of megabytes arrives whole, a memo line for each of its lines.
    QString ddl = QStringLiteral("\n  CREATE TABLE \"SALES\".\"ORDERS\" ");
    for (int p = 0; ddl.size() < 3 * 1024 * 1024; ++p)
        ddl += QStringLiteral("\n PARTITION \"P%1\"  VALUES LESS THAN (%1) SEGMENT CREATION IMMEDIATE ,").arg(p);
    answer("dbms_metadata", {"DDL"}, {{ddl}});
    show("TABLE", "SALES", "ORDERS");
    EXPECT_EQ(memoText("tabdefinition"), ddl);
    EXPECT_EQ(s.memo("tabdefinition").blockCount(), ddl.count('\n') + 1);
}

TEST_F(ObjectTableTest, AStatementFailingMidBranchLeavesTheEarlierSectionsFilled)
{
    fail("dba_cons_columns", "ORA-01555: snapshot too old");
    show("TABLE", "HR", "EMPLOYEES");
    EXPECT_EQ(s.sink().errors, QStringList{"ORA-01555: snapshot too old"});
    EXPECT_EQ(text("objtsname"), "USERS");
    EXPECT_FALSE(text("objnumrows").isEmpty());
    EXPECT_GT(s.grid("objindexgrid").rowCount(), 2);
    EXPECT_EQ(s.grid("objcongrid").rowCount(), 2);
    EXPECT_EQ(s.memo("tabdefinition").toPlainText(), "");
    EXPECT_EQ(text("objextents"), "");
    EXPECT_TRUE(memoText("tabconmemo").contains("dba_cons_columns"));
    EXPECT_EQ(memoText("tabddl"), "");
}

TEST_F(ObjectTableTest, AMaterializedViewsTableIsListedBesideItAndShowsItsDetails)
{
    // Oracle keeps a materialized view's rows in a table of its owner and name.
    tickOnly({"tabcbox"});
    edit("schema_name_text").setText("SALES");
    edit("obj_name_text").setText("MV%");
    load();
    EXPECT_EQ(texts(tree(), node("TABLE")), QStringList{"SALES.MV_DAILY_SALES"});
    open("TABLE", "SALES.MV_DAILY_SALES");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(text("objtsname"), "APP_DATA");
    QStringList columns;
    for (const QStringList &r : test::rowsOf(s.grid("objtabcolsgrid")))
        columns << r.value(1);
    EXPECT_EQ(columns, (QStringList{"SALE_DAY", "PRODUCT_ID", "QUANTITY", "AMOUNT"}));
    EXPECT_GT(text("objnumrows").toLongLong(), 0);
    EXPECT_GT(text("objextents").toInt(), 0);
    EXPECT_TRUE(memoText("tabdefinition").startsWith("\n  CREATE TABLE \"SALES\".\"MV_DAILY_SALES\" \n"))
        << memoText("tabdefinition").toStdString();
}
