// The object browser's tree, filters, kind boxes, option panels and script panels.
#include "object_browser_support.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGroupBox>

using namespace tavimond;

namespace {

class ObjectTreeTest : public test::ObjectBrowserTest {
protected:
    // From the owner filter, Tab to "Table" and press the menu key there.
    void menuKeyOnTable()
    {
        QTest::mouseClick(&edit("schema_name_text"), Qt::LeftButton);
        ASSERT_TRUE(test::tabTo(box("tabcbox")));
        // What the platform makes of the menu key (or Shift+F10) for the focused control.
        const QPoint middle = box("tabcbox").rect().center();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, middle, box("tabcbox").mapToGlobal(middle));
        QApplication::sendEvent(&box("tabcbox"), &menuKey);
    }
};

} // namespace

TEST_F(ObjectTreeTest, TickedKindsInTheirOrderChildrenInTheQueryOrderAndNoOddKinds)
{
    // dba_objects as the test gives it, in this order, whatever the filters.
    answer("from dba_objects", {"OBJECT_TYPE", "OWNER", "OBJECT_NAME"},
           {{"INDEX PARTITION", "SALES", "ORDERS_DATE_IX"},
            {"MATERIALIZED VIEW", "SALES", "MV_DAILY_SALES"},
            {"PACKAGE BODY", "SYS", "DBMS_X"},
            {"TABLE", "SALES", "ORDERS"},
            {"TABLE", "HR", "EMPLOYEES"},
            {"TABLE PARTITION", "SALES", "ORDERS"},
            {"VIEW", "HR", "EMP_DETAILS_V"},
            {"JOB CLASS", "SYS", "DEFAULT_JOB_CLASS"},
            {"TABLE", "HR", "DEPARTMENTS"}});
    tickOnly({"indcbox", "tabcbox"});
    load();
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(texts(tree()), (QStringList{"TABLE", "INDEX"}));
    EXPECT_EQ(texts(tree(), node("TABLE")), (QStringList{"SALES.ORDERS", "HR.EMPLOYEES", "HR.DEPARTMENTS"}));
    EXPECT_EQ(node("INDEX")->childCount(), 0);
    EXPECT_EQ(memoText("mainobj"), "select object_type,owner,object_name from dba_objects where \n"
                                   "upper(owner) like '%'\n"
                                   " and upper(object_name) like '%'\n"
                                   "order by 1,2,3");
    // Again: rebuilt from scratch, not added to.
    load();
    EXPECT_EQ(texts(tree(), node("TABLE")).size(), 3);
    EXPECT_EQ(tree().topLevelItemCount(), 2);
    // Every box unticked: the statement is still sent, the tree left empty.
    tickOnly({});
    s.sim.server.clearStatements();
    load();
    EXPECT_EQ(tree().topLevelItemCount(), 0);
    ASSERT_EQ(s.sim.server.statements().size(), 1);
    EXPECT_TRUE(s.sim.server.statements().front().startsWith("select object_type,owner,object_name from dba_objects"));
}

TEST_F(ObjectTreeTest, FiltersAreUpperCaseQuotedAndAnEmptyOneListsNothing)
{
    QLineEdit &owner = edit("schema_name_text");
    QLineEdit &name = edit("obj_name_text");
    EXPECT_EQ(owner.text(), "%");
    EXPECT_EQ(name.text(), "%");
    // Typed and pasted text become upper case.
    owner.clear();
    QTest::keyClicks(&owner, "legacy");
    EXPECT_EQ(owner.text(), "LEGACY");
    name.clear();
    QApplication::clipboard()->setText("%o'b%");
    name.paste();
    EXPECT_EQ(name.text(), "%O'B%");

    load();
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(texts(tree(), node("TABLE")), (QStringList{"LEGACY.O'BRIEN_IMPORT"}));
    // "_" stays a wildcard; "%" at the start keeps its meaning.
    owner.setText("H_");
    name.setText("%S");
    load();
    EXPECT_EQ(texts(tree(), node("TABLE")), (QStringList{"HR.DEPARTMENTS", "HR.EMPLOYEES", "HR.LeaveRequests"}));
    // An emptied filter compares with NULL: nothing matches, the kind nodes stay.
    name.clear();
    load();
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(texts(tree()), (QStringList{"TABLE", "INDEX", "VIEW"}));
    for (int i = 0; i < tree().topLevelItemCount(); ++i)
        EXPECT_EQ(tree().topLevelItem(i)->childCount(), 0);
}

TEST_F(ObjectTreeTest, ARightClickOpensTheRetrievalOptionsOverTheKindBoxesAndXClosesThem)
{
    auto &tablePanel = s.widget<QGroupBox>("taboptpanel");
    auto &indexPanel = s.widget<QGroupBox>("idxoptpanel");
    EXPECT_FALSE(tablePanel.isVisible());
    // A left click toggles the box and opens nothing.
    QTest::mouseClick(&box("tabcbox"), Qt::LeftButton);
    EXPECT_FALSE(box("tabcbox").isChecked());
    EXPECT_FALSE(tablePanel.isVisible());

    QTest::mouseClick(&box("tabcbox"), Qt::RightButton);
    EXPECT_FALSE(box("tabcbox").isChecked());
    EXPECT_TRUE(tablePanel.isVisible());
    // It lies over the kind boxes.
    EXPECT_TRUE(tablePanel.geometry().intersects(
        box("viewcbox")
            .geometry()
            .translated(box("viewcbox").parentWidget()->mapTo(tablePanel.parentWidget(), QPoint()))));
    for (const char *option : {"trotablest", "trostat", "tropart", "troind", "trocon", "trosto", "troddl"})
        EXPECT_TRUE(box(option).isChecked()) << option;
    box("trostat").setChecked(false);
    s.click("Button64");
    EXPECT_FALSE(tablePanel.isVisible());
    EXPECT_FALSE(box("trostat").isChecked()); // kept while hidden

    QTest::mouseClick(&box("indcbox"), Qt::RightButton);
    EXPECT_TRUE(indexPanel.isVisible());
    s.click("Button65");
    EXPECT_FALSE(indexPanel.isVisible());
    // On the Scripts tab each radio shows its panel.
    auto &panels = s.widget<QStackedWidget>("objscriptpanels");
    s.screen.setCurrentIndex(1);
    EXPECT_EQ(panels.currentWidget()->objectName(), "objpanel");
    radio("objindbut");
    EXPECT_EQ(panels.currentWidget()->objectName(), "idxpanel");
    EXPECT_TRUE(panels.currentWidget()->findChild<QPlainTextEdit *>("idxparts"));
    radio("objjobbut");
    EXPECT_EQ(panels.currentWidget()->objectName(), "jobpanel");
}

TEST_F(ObjectTreeTest, ByKeyboardTheOpenOptionsPanelKeepsTheKindBoxesOutOfReachUntilXAndReturnShowsAnObject)
{
    // The menu key on "Table" opens its options, as a right click does; the user goes
    // round every control with Tab, pressing Space on each but "X".
    QLineEdit &owner = edit("schema_name_text");
    menuKeyOnTable();
    ASSERT_TRUE(s.widget<QGroupBox>("taboptpanel").isVisible());
    QTest::mouseClick(&owner, Qt::LeftButton);
    QStringList reached;
    for (int presses = 0; presses < 500; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        if (w == &owner)
            break;
        reached << w->objectName();
        if (w->objectName() != QLatin1String("Button64"))
            QTest::keyClick(w, Qt::Key_Space);
    }
    EXPECT_TRUE(reached.contains("trostat") && reached.contains("Button64")) << reached.join(' ').toStdString();
    for (const QString &kind : kindBoxes())
        EXPECT_FALSE(reached.contains(kind)) << kind.toStdString();
    // Nor does the mouse reach them: a click where "Function" lies lands on the panel.
    QCheckBox &function = box("funcbox");
    QTest::mouseClick(s.screen.windowHandle(), Qt::LeftButton, {}, function.mapTo(&s.screen, function.rect().center()));
    s.click("Button64");
    // The blank typed over the name filter's "%" is typed over again.
    QTest::keyClick(&edit("obj_name_text"), Qt::Key_Backspace);
    QTest::keyClicks(&edit("obj_name_text"), "%");
    ASSERT_EQ(text("obj_name_text"), "%");
    load();
    EXPECT_EQ(texts(tree()), (QStringList{"TABLE", "INDEX", "VIEW"}));

    // Closed, the boxes are there for Tab and Space again.
    QTest::mouseClick(&owner, Qt::LeftButton);
    ASSERT_TRUE(test::tabTo(function));
    QTest::keyClick(&function, Qt::Key_Space);
    load();
    EXPECT_EQ(texts(tree()), (QStringList{"TABLE", "INDEX", "VIEW", "FUNCTION"}));

    // Return on an object chosen with the keys shows it, as a double-click does.
    ASSERT_TRUE(test::tabTo(tree()));
    test::keyToNode(tree(), {"TABLE", "HR.EMPLOYEES"});
    ASSERT_EQ(tree().currentItem(), node("TABLE", "HR.EMPLOYEES"));
    QTest::keyClick(&tree(), Qt::Key_Return);
    EXPECT_EQ(frontPage()->objectName(), "tabpage");
    EXPECT_EQ(text("objownertab"), "HR.EMPLOYEES");
    EXPECT_EQ(s.sink().errors, QStringList());
}

TEST_F(ObjectTreeTest, AnOpenedOptionsPanelTakesTheFocusAndXGivesItBackToTheKindBoxThatOpenedIt)
{
    auto &tablePanel = s.widget<QGroupBox>("taboptpanel");
    auto &indexPanel = s.widget<QGroupBox>("idxoptpanel");
    QLineEdit &owner = edit("schema_name_text");
    // By keys: the menu key on the focused "Table" box; Tab goes round the panel's
    // options to "X", and Space on "X" closes it.
    menuKeyOnTable();
    ASSERT_TRUE(tablePanel.isVisible());
    ASSERT_EQ(QApplication::focusWidget(), &box("trotablest"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &box("trostat"));
    for (int presses = 0; presses < 10 && QApplication::focusWidget()->objectName() != "Button64"; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(tablePanel.isAncestorOf(QApplication::focusWidget()))
            << QApplication::focusWidget()->objectName().toStdString();
    }
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "Button64");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(tablePanel.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &box("tabcbox"));

    // By the mouse, on a box that does not have the focus: the index panel's first
    // option takes it, and a click on "X" gives it to "Index".
    QTest::mouseClick(&owner, Qt::LeftButton);
    QTest::mouseClick(&box("indcbox"), Qt::RightButton);
    ASSERT_TRUE(indexPanel.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &box("irost"));
    s.click("Button65");
    EXPECT_FALSE(indexPanel.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), &box("indcbox"));
    QTest::mouseClick(&box("tabcbox"), Qt::RightButton);
    EXPECT_EQ(QApplication::focusWidget(), &box("trotablest"));
    s.click("Button64");
    EXPECT_EQ(QApplication::focusWidget(), &box("tabcbox"));
    EXPECT_TRUE(box("tabcbox").isChecked()); // right clicks toggle nothing
    EXPECT_TRUE(box("indcbox").isChecked());
}
