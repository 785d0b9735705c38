// The security browser against the simulated instance: the list of principals, each
// kind's details, and the grant trees, driven by clicks.
#include "browsers/grant_tree.h"
#include "browsers/security_browser_screen.h"
#include "common/fault_matrix.h"
#include "db/error.h"
#include "db/query.h"
#include "db/sim/dictionary/security_model.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <algorithm>

using namespace tavimond;

namespace {

using SecurityModel = sim::SecurityModel;

// A grant tree as text: each node, then its children between braces, in the tree's order
// or, with sorted, by text.
QString shape(const QTreeWidgetItem *node, bool sorted)
{
    QStringList children;
    for (int c = 0; c < node->childCount(); ++c)
        children << shape(node->child(c), sorted);
    if (sorted)
        std::sort(children.begin(), children.end());
    return node->text(0) + (children.isEmpty() ? QString() : '{' + children.join(',') + '}');
}

QStringList rootShapes(const QTreeWidget &tree, bool sorted)
{
    QStringList out;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        out << shape(tree.topLevelItem(i), sorted);
    return out;
}

// The grantee of each grants statement sent, in order.
QStringList granteesQueried(const QStringList &statements)
{
    QStringList out;
    for (const QString &s : statements) {
        if (!s.contains(QLatin1String("from   dba_role_privs")))
            continue;
        const QString marker = QStringLiteral("where  grantee = '");
        const qsizetype from = s.indexOf(marker) + marker.size();
        out << s.mid(from, s.indexOf(QLatin1String("'\nunion"), from) - from)
                   .replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return out;
}

class SecurityBrowserTest : public ::testing::Test, protected test::ScreenHarness<SecurityBrowserScreen> {
protected:
    SecurityModel &model() { return sim.server.model().state<SecurityModel>(); }
    QTreeWidget &tree(const char *name) { return widget<QTreeWidget>(name); }
    QString edit(const char *name) { return widget<QLineEdit>(name).text(); }
    int detailTab() { return widget<QTabWidget>("secpage2").currentIndex(); }

    void tick(const char *box, bool on) { widget<QCheckBox>(box).setChecked(on); }
    void load(const QString &filter = QStringLiteral("%"))
    {
        QLineEdit &f = widget<QLineEdit>("secfilter");
        f.clear();
        QTest::keyClicks(&f, filter);
        click("Button3");
    }
    // The nodes of securitytree: each root, then "ROOT/name" for each name under it.
    QStringList listed() { return test::shownTree({}, tree("securitytree")).lines; }
    QTreeWidgetItem *node(const QString &root, const QString &name)
    {
        return test::nodeAt(tree("securitytree"), name.isEmpty() ? QStringList{root} : QStringList{root, name});
    }
    void open(const QString &root, const QString &name)
    {
        load();
        test::doubleClickNode(tree("securitytree"), {root, name});
    }
    void buildTreeFor(const QString &root, const QString &name)
    {
        load();
        tree("securitytree").setCurrentItem(node(root, name));
        click("userrolehier");
        sim.server.clearStatements();
        click("btbtn");
    }
};

TEST_F(SecurityBrowserTest, ListsEachTickedKindsNamesMatchingTheFilter)
{
    const char *boxes[] = {"usercbox", "rolecbox", "profilecbox", "tsqcbox"};
    const QStringList listings[] = {
        {"USER", "USER/APP_USER"},
        {"ROLE", "ROLE/APP_ADMIN", "ROLE/APP_READ", "ROLE/APP_WRITE"},
        {"PROFILE", "PROFILE/APP_PROFILE"},
        {"T/S QUOTAS", "T/S QUOTAS/APP_DATA", "T/S QUOTAS/APP_INDEX", "T/S QUOTAS/APP_LOB"}};
    for (int combination = 0; combination < 16; ++combination) {
        QStringList want;
        for (int k = 0; k < 4; ++k) {
            tick(boxes[k], combination & (1 << k));
            if (combination & (1 << k))
                want << listings[k];
        }
        sim.server.clearStatements();
        load("app%");
        EXPECT_EQ(listed(), want) << "boxes " << combination;
        // The statement runs whatever is ticked.
        EXPECT_EQ(sim.server.statements().size(), 1);
    }
    EXPECT_EQ(widget<QLineEdit>("secfilter").text(), QStringLiteral("APP%"));
    EXPECT_EQ(memo("securitysql").toPlainText().split('\n'),
              (QStringList{"select 'USER', username from dba_users where ", "username like 'APP%'", "union",
                           "select 'ROLE', role from dba_roles where ", "role like 'APP%'", "union",
                           "select 'PROFILE', profile from dba_profiles where ", "profile like 'APP%'", "union",
                           "select 'TSQ', tablespace_name from dba_ts_quotas where ", "tablespace_name like 'APP%'",
                           "order by 1,2"}));
    EXPECT_EQ(sink().errors, QStringList());
    // A quote in the filter finds the name that holds it.
    model().addUser({"O'BRIEN", 130, "OPEN", "2026-01-05 09:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    load("o'b%");
    EXPECT_EQ(listed(), (QStringList{"USER", "USER/O'BRIEN", "ROLE", "PROFILE", "T/S QUOTAS"}));
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(SecurityBrowserTest, EachKindShowsItsRecordAndItsRowsInOrder)
{
    widget<QTabWidget>("secpage2").setCurrentIndex(2);
    open("USER", "JSMITH");
    EXPECT_EQ(detailTab(), 0);
    EXPECT_EQ((QStringList{edit("username"), edit("userid"), edit("userstat"), edit("usercreated"), edit("userlockd"),
                           edit("userexpd"), edit("userprof"), edit("userdeft"), edit("usertempt")}),
              (QStringList{"JSMITH", "115", "OPEN", "2022-10-17 08:40:12", "", "2027-01-16 08:02:47", "SECURE_PROFILE",
                           "USERS", "TEMP"}));
    EXPECT_EQ(memo("usersql").toPlainText(), "select username,user_id,account_status,created,lock_date, \n"
                                             "expiry_date,profile,default_tablespace,temporary_tablespace  \n"
                                             "from dba_users  \nwhere  \nusername = 'JSMITH'");
    EXPECT_EQ(memo("userrolesql").toPlainText(),
              "select 'ROLE' typ,grantee,granted_role priv,admin_option ad,\n       '--' tabnm, '--' colnm,'--' owner\n"
              "from   dba_role_privs\nwhere  grantee = 'JSMITH'\nunion \n"
              "select  'SYSTEM' typ,grantee,privilege priv,admin_option ad,\n       '--' tabnm, '--' colnm,'--' owner\n"
              "from    dba_sys_privs\nwhere  grantee = 'JSMITH'\nunion\n"
              "select  'TABLE' typ, grantee,privilege priv,grantable ad,\ntable_name tabnm, '--' colnm, owner owner\n"
              "from    dba_tab_privs\nwhere  grantee = 'JSMITH'\nunion \n"
              "select  'COLUMN' typ, grantee, privilege priv, grantable ad, \n"
              "        table_name tabnm, column_name colnm, owner owner \n"
              "from    dba_col_privs \nwhere  grantee = 'JSMITH'\norder by 1");
    // The grid: every direct grant once, by kind, with "--" where a kind has no value.
    QList<QStringList> shown = test::rowsOf(grid("userrolegrid"));
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [](const auto &a, const auto &b) { return a[0] < b[0]; }));
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (QList<QStringList>{{"COLUMN", "JSMITH", "UPDATE", "NO", "EMPLOYEES", "SALARY", "HR"},
                                         {"ROLE", "JSMITH", "APP_ADMIN", "NO", "--", "--", "--"},
                                         {"ROLE", "JSMITH", "CONNECT", "NO", "--", "--", "--"},
                                         {"SYSTEM", "JSMITH", "ALTER SESSION", "YES", "--", "--", "--"},
                                         {"SYSTEM", "JSMITH", "CREATE SESSION", "NO", "--", "--", "--"},
                                         {"TABLE", "JSMITH", "SELECT", "NO", "EMPLOYEES", "--", "HR"}}));
    // No grants: one empty row below the headers, none of the earlier user's left.
    model().addUser({"NOGRANTS", 131, "OPEN", "2026-02-01 10:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    open("USER", "NOGRANTS");
    EXPECT_EQ(edit("username"), QStringLiteral("NOGRANTS"));
    EXPECT_EQ(test::rowsOf(grid("userrolegrid")), (QList<QStringList>{QStringList(7, QString())}));

    open("PROFILE", "SECURE_PROFILE");
    EXPECT_EQ(detailTab(), 2);
    EXPECT_EQ(edit("profilename"), QStringLiteral("SECURE_PROFILE"));
    QList<QStringList> limits;
    for (const auto &l : model().profileLimits())
        if (l.profile == "SECURE_PROFILE")
            limits << QStringList{l.type, l.resource, l.limit};
    std::sort(limits.begin(), limits.end());
    EXPECT_EQ(test::rowsOf(grid("profilegrid")), limits);
    EXPECT_EQ(limits.first().first(), QStringLiteral("KERNEL"));
    EXPECT_EQ(memo("profilememo").toPlainText(), "select resource_type,resource_name,limit from dba_profiles \nwhere  "
                                                 "\nprofile = 'SECURE_PROFILE'\norder by 1,2");

    open("T/S QUOTAS", "APP_DATA");
    EXPECT_EQ(detailTab(), 3);
    EXPECT_EQ(edit("tsquname"), QStringLiteral("APP_DATA"));
    QList<QStringList> holders;
    const auto n = [](qint64 v) { return QString::number(v); };
    for (const auto &q : model().quotas())
        if (q.tablespace == "APP_DATA")
            holders << QStringList{q.user, n(q.bytes), n(q.maxBytes), n(q.blocks), n(q.maxBlocks), "NO"};
    std::sort(holders.begin(), holders.end());
    EXPECT_EQ(test::rowsOf(grid("tsqugrid")), holders);
    EXPECT_TRUE(std::any_of(holders.begin(), holders.end(), [](const auto &r) { return r[2] == "-1"; }));
    EXPECT_EQ(memo("tsqumemo").toPlainText(), "select username,bytes,max_bytes,blocks,max_blocks,dropped \n"
                                              "from dba_ts_quotas   \nwhere tablespace_name = 'APP_DATA'\norder by 1");
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(SecurityBrowserTest, AGrantTreeExpandsEveryRoleWhereverItStandsOnceAndEndsACircle)
{
    // A chain three deep and a diamond: D_LOW under D_MID and under D_SIDE.
    model().addUser({"DIAMOND", 135, "OPEN", "2026-02-01 10:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    for (const char *role : {"D_TOP", "D_MID", "D_SIDE", "D_LOW"})
        model().addRole(role);
    model().grantRole("DIAMOND", "D_TOP");
    model().grantRole("D_TOP", "D_MID", "YES");
    model().grantRole("D_TOP", "D_SIDE");
    model().grantRole("D_MID", "D_LOW");
    model().grantRole("D_SIDE", "D_LOW");
    model().grantSystem("D_LOW", "CREATE SESSION");
    model().grantTable("D_LOW", "SALES", "ORDERS", "SELECT");
    model().grantColumn("D_SIDE", "HR", "EMPLOYEES", "SALARY", "UPDATE");
    model().grantSystem("DIAMOND", "CREATE VIEW", "YES");
    buildTreeFor("USER", "DIAMOND");
    EXPECT_EQ(sink().errors, QStringList());
    QTreeWidget &t = tree("userroletree");
    // D_LOW with all it holds wherever it stands; the grantee column is not shown.
    const QString low =
        "D_LOW(R): Grantable(NO){CREATE SESSION(S): Grantable(NO),SELECT(T): Table(ORDERS), Grantable(NO)}";
    EXPECT_EQ(rootShapes(t, true), (QStringList{"ROLE{D_TOP(R): Grantable(NO){D_MID(R): Grantable(YES){" + low +
                                                    "},D_SIDE(R): Grantable(NO){" + low +
                                                    ",UPDATE(C): Table(EMPLOYEES), Column(SALARY), Grantable(NO)}}}",
                                                "SYSTEM{CREATE VIEW(S): Grantable(YES)}", "TABLE", "COLUMN"}));
    // Under a role its grants stand by kind: column, role, system, table.
    EXPECT_EQ(shape(test::nodeAt(t, {"ROLE", "D_TOP(R): Grantable(NO)", "D_SIDE(R): Grantable(NO)"}), false),
              "D_SIDE(R): Grantable(NO){UPDATE(C): Table(EMPLOYEES), Column(SALARY), Grantable(NO)," + low + "}");
    // One statement for the user and one for each role it reaches.
    QStringList grantees = granteesQueried(sim.server.statements());
    EXPECT_EQ(grantees.size(), sim.server.statements().size());
    std::sort(grantees.begin(), grantees.end());
    EXPECT_EQ(grantees, (QStringList{"DIAMOND", "D_LOW", "D_MID", "D_SIDE", "D_TOP"}));
    // New nodes are collapsed; Expand All opens every level, Collapse All closes them.
    const auto expanded = [&] {
        QSet<bool> out;
        for (QTreeWidgetItemIterator it(&t, QTreeWidgetItemIterator::HasChildren); *it; ++it)
            out << (*it)->isExpanded();
        return out;
    };
    EXPECT_EQ(expanded(), QSet<bool>{false});
    click("btexpbtn");
    EXPECT_EQ(expanded(), QSet<bool>{true});
    click("btcolbtn");
    EXPECT_EQ(expanded(), QSet<bool>{false});
    // A circle of grants ends; roles are expanded by their names, not their nodes' text.
    model().addRole("CYC_A");
    model().addRole("CYC_B");
    model().grantRole("CYC_A", "CYC_B");
    model().grantRole("CYC_B", "CYC_A", "YES");
    model().grantSystem("CYC_A", "CREATE VIEW");
    model().grantSystem("CYC_B", "CREATE TABLE");
    model().addUser({"CYCLER", 133, "OPEN", "2026-02-01 10:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    model().grantRole("CYCLER", "CYC_A");

    open("ROLE", "CYC_A");
    EXPECT_EQ(detailTab(), 1);
    EXPECT_EQ(edit("rolename"), QStringLiteral("CYC_A"));
    // The inner CYC_A is shown and not expanded again.
    EXPECT_EQ(rootShapes(tree("roletree"), false),
              (QStringList{"ROLE{CYC_B(R): Grantable(NO){CYC_A(R): Grantable(YES),CREATE TABLE(S): Grantable(NO)}}",
                           "SYSTEM{CREATE VIEW(S): Grantable(NO)}", "TABLE", "COLUMN"}));
    click("roleexpbtn");
    EXPECT_TRUE(tree("roletree").topLevelItem(0)->child(0)->isExpanded());
    click("rolecolbtn");
    EXPECT_FALSE(tree("roletree").topLevelItem(0)->isExpanded());

    buildTreeFor("USER", "CYCLER");
    EXPECT_EQ(rootShapes(tree("userroletree"), false),
              (QStringList{"ROLE{CYC_A(R): Grantable(NO){CYC_B(R): Grantable(NO){CYC_A(R): Grantable(YES),CREATE "
                           "TABLE(S): Grantable(NO)},CREATE VIEW(S): Grantable(NO)}}",
                           "SYSTEM", "TABLE", "COLUMN"}));
    EXPECT_EQ(granteesQueried(sim.server.statements()), (QStringList{"CYCLER", "CYC_A", "CYC_B"}));
    EXPECT_EQ(sink().errors, QStringList());
    // A column and a table whose names hold "(R)", and roles whose names hold "(" and a quote.
    model().addUser({"ODDNAMES", 134, "OPEN", "2026-02-01 10:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    model().grantColumn("ODDNAMES", "HR", "EMPLOYEES", "NOTE(R)", "UPDATE");
    model().grantTable("ODDNAMES", "HR", "AUDIT(R)LOG", "SELECT");
    model().addRole("R&D(EU)");
    model().addRole("QA'TEAM");
    model().grantRole("ODDNAMES", "R&D(EU)");
    model().grantRole("R&D(EU)", "QA'TEAM");
    model().grantSystem("QA'TEAM", "CREATE SESSION");

    buildTreeFor("USER", "ODDNAMES");
    EXPECT_EQ(sink().errors, QStringList());
    EXPECT_EQ(
        rootShapes(tree("userroletree"), false),
        (QStringList{"ROLE{R&D(EU)(R): Grantable(NO){QA'TEAM(R): Grantable(NO){CREATE SESSION(S): Grantable(NO)}}}",
                     "SYSTEM", "TABLE{SELECT(T): Table(AUDIT(R)LOG), Grantable(NO)}",
                     "COLUMN{UPDATE(C): Table(EMPLOYEES), Column(NOTE(R)), Grantable(NO)}"}));
    EXPECT_EQ(granteesQueried(sim.server.statements()), (QStringList{"ODDNAMES", "R&D(EU)", "QA'TEAM"}));
    EXPECT_TRUE(sim.server.statements().last().contains("where  grantee = 'QA''TEAM'"));
    // The role with the quote on the Role tab: its name arrives doubled.
    open("ROLE", "QA'TEAM");
    EXPECT_EQ(rootShapes(tree("roletree"), false),
              (QStringList{"ROLE", "SYSTEM{CREATE SESSION(S): Grantable(NO)}", "TABLE", "COLUMN"}));
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(SecurityBrowserTest, DoubleClicksActOnTheSelectedNameOnly)
{
    load();
    sim.server.clearStatements();
    // Nothing selected: neither a double-click nor Build Tree does anything.
    QTreeWidget &list = tree("securitytree");
    const QPoint blank(5, list.viewport()->height() - 5);
    ASSERT_FALSE(list.itemAt(blank));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, blank);
    click("userrolehier");
    click("btbtn");
    EXPECT_TRUE(sim.server.statements().isEmpty());
    EXPECT_EQ(tree("userroletree").topLevelItemCount(), 0);
    // A root node: nothing either.
    test::doubleClickNode(list, {"ROLE"});
    EXPECT_TRUE(sim.server.statements().isEmpty());
    EXPECT_EQ(detailTab(), 0);
    // With a user selected, a double-click in the role tree shows that user again.
    open("ROLE", "REPORTING");
    ASSERT_EQ(detailTab(), 1);
    list.setCurrentItem(node("USER", "HR"));
    QTreeWidget &roles = tree("roletree");
    test::doubleClickNode(roles, {"ROLE"});
    EXPECT_EQ(detailTab(), 0);
    EXPECT_EQ(edit("username"), QStringLiteral("HR"));
    // With the role selected again, a double-click in its own tree builds it anew.
    list.setCurrentItem(node("ROLE", "REPORTING"));
    const QStringList before = rootShapes(roles, true);
    sim.server.clearStatements();
    test::doubleClickNode(roles, {"ROLE", roles.topLevelItem(0)->child(0)->text(0)});
    EXPECT_EQ(detailTab(), 1);
    EXPECT_EQ(granteesQueried(sim.server.statements()).value(0), QStringLiteral("REPORTING"));
    EXPECT_EQ(rootShapes(roles, true), before);
    EXPECT_EQ(sink().errors, QStringList());

    // By keyboard: Tab from the filter into the list, the arrow keys to a name, Return.
    QLineEdit &filter = widget<QLineEdit>("secfilter");
    QTest::mouseClick(&filter, Qt::LeftButton);
    ASSERT_TRUE(test::tabTo(list));
    test::keyToNode(list, {"USER", "APP_USER"});
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(detailTab(), 0);
    EXPECT_EQ(edit("username"), QStringLiteral("APP_USER"));
    // Return in a grant tree shows the name chosen in the list again: the role's tree
    // built anew on the Role tab...
    test::keyToNode(list, {"ROLE", "REPORTING"});
    widget<QTabWidget>("secpage2").setCurrentIndex(1);
    sim.server.clearStatements();
    ASSERT_TRUE(test::tabTo(roles));
    test::keyToNode(roles, {"SYSTEM"});
    QTest::keyClick(&roles, Qt::Key_Return);
    EXPECT_EQ(detailTab(), 1);
    EXPECT_EQ(granteesQueried(sim.server.statements()).value(0), QStringLiteral("REPORTING"));
    // ...and a user's details from the tree "Build Tree" (pressed with Space) built.
    QTreeWidget &userRoles = tree("userroletree");
    test::doubleClickNode(list, {"USER", "HR"});
    click("userrolehier");
    ASSERT_TRUE(test::tabTo(widget<QPushButton>("btbtn")));
    QTest::keyClick(&widget<QPushButton>("btbtn"), Qt::Key_Space);
    ASSERT_GT(userRoles.topLevelItemCount(), 0);
    QTest::mouseClick(&filter, Qt::LeftButton);
    ASSERT_TRUE(test::tabTo(list));
    test::keyToNode(list, {"USER", "APP_USER"});
    ASSERT_TRUE(test::tabTo(userRoles));
    test::keyToNode(userRoles, {"ROLE"});
    QTest::keyClick(&userRoles, Qt::Key_Return);
    EXPECT_EQ(edit("username"), QStringLiteral("APP_USER"));
    EXPECT_EQ(sink().errors, QStringList());
    // The privileges radios switch between the grid and the tree with its buttons.
    click("userrolesum");
    EXPECT_FALSE(widget<GridView>("userrolegrid").isHidden());
    EXPECT_TRUE(tree("userroletree").isHidden());
    EXPECT_TRUE(widget<QPushButton>("btbtn").isHidden());
}

TEST_F(SecurityBrowserTest, AGrantTreeStopsAtItsNodeLimit)
{
    // Ten layers of two roles, each granted both of the next: 2^10 paths to the last.
    for (int layer = 0; layer < 10; ++layer)
        for (int k = 0; k < 2; ++k) {
            const QString role = QString("L%1_%2").arg(layer).arg(k);
            model().addRole(role);
            if (layer < 9)
                for (int n = 0; n < 2; ++n)
                    model().grantRole(role, QString("L%1_%2").arg(layer + 1).arg(n));
        }
    QTreeWidget t;
    QPlainTextEdit m;
    Query q(sim.cnn);
    try {
        fillGrantTree(t, q, m, "L0_0", 500);
        ADD_FAILURE() << "no error at the limit";
    } catch (const Error &e) {
        EXPECT_TRUE(e.message().contains("500 nodes")) << e.message().toStdString();
    }
    EXPECT_EQ(test::shownTree({}, t).lines.size(), 500);
    // Within the limit the whole tree: 2 + 4 + ... + 2^9 role nodes below the roots.
    fillGrantTree(t, q, m, "L0_0", 5000);
    EXPECT_EQ(test::shownTree({}, t).lines.size(), 4 + 1022);
}

} // namespace
