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
#include <QRadioButton>
#include <QSet>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

using namespace tavimond;

namespace {

using SecurityModel = sim::SecurityModel;

// Nodes below a node: between braces, sorted when asked; nothing when there are none.
QString braced(QStringList children, bool sorted = true)
{
    if (sorted)
        std::sort(children.begin(), children.end());
    return children.isEmpty() ? QString() : QLatin1Char('{') + children.join(QLatin1Char(',')) + QLatin1Char('}');
}

// A grant tree as text: each node, then its children between braces, in the tree's order
// or, with sorted, by kind and text, so that it can be compared with one built another way.
QString shape(const QTreeWidgetItem *node, bool sorted)
{
    QStringList children;
    for (int c = 0; c < node->childCount(); ++c)
        children << shape(node->child(c), sorted);
    return node->text(0) + braced(children, sorted);
}

QStringList rootShapes(const QTreeWidget &tree, bool sorted)
{
    QStringList out;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        out << shape(tree.topLevelItem(i), sorted);
    return out;
}

// The grants of a grantee as a grant tree shows them, built from the model directly:
// a role's grants below it, except below itself.
struct ExpectedTree {
    const SecurityModel &m;

    QStringList nodes(const QString &grantee, const QString &kind, QSet<QString> path) const
    {
        QStringList out;
        if (kind == QLatin1String("ROLE"))
            for (int i : m.roleGrantsOf(grantee)) {
                const SecurityModel::RoleGrant &g = m.roleGrants()[size_t(i)];
                const QString text = g.role + "(R): Grantable(" + g.admin + ")";
                out << (path.contains(g.role) ? text : text + below(g.role, path));
            }
        if (kind == QLatin1String("SYSTEM"))
            for (int i : m.systemGrantsOf(grantee)) {
                const SecurityModel::SystemGrant &g = m.systemGrants()[size_t(i)];
                out << g.privilege + "(S): Grantable(" + g.admin + ")";
            }
        if (kind == QLatin1String("TABLE"))
            for (int i : m.tableGrantsOf(grantee)) {
                const SecurityModel::TableGrant &g = m.tableGrants()[size_t(i)];
                out << g.privilege + "(T): Table(" + g.table + "), Grantable(" + g.grantable + ")";
            }
        if (kind == QLatin1String("COLUMN"))
            for (int i : m.columnGrantsOf(grantee)) {
                const SecurityModel::ColumnGrant &g = m.columnGrants()[size_t(i)];
                out << g.privilege + "(C): Table(" + g.table + "), Column(" + g.column + "), Grantable(" + g.grantable +
                           ")";
            }
        return out;
    }
    QString below(const QString &role, QSet<QString> path) const
    {
        path.insert(role);
        QStringList all;
        for (const char *kind : {"COLUMN", "ROLE", "SYSTEM", "TABLE"})
            all << nodes(role, QLatin1String(kind), path);
        return braced(all);
    }
    QStringList roots(const QString &grantee) const
    {
        QStringList out;
        for (const char *kind : {"ROLE", "SYSTEM", "TABLE", "COLUMN"})
            out << QLatin1String(kind) + braced(nodes(grantee, QLatin1String(kind), {grantee}));
        return out;
    }
    // The roles reachable from a grantee.
    QSet<QString> reach(const QString &grantee) const
    {
        QSet<QString> seen;
        QStringList todo{grantee};
        while (!todo.isEmpty())
            for (int i : m.roleGrantsOf(todo.takeLast()))
                if (const QString &r = m.roleGrants()[size_t(i)].role; !seen.contains(r)) {
                    seen.insert(r);
                    todo << r;
                }
        return seen;
    }
};

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

    // The roots of securitytree and their names, as "ROOT: name name ...".
    QStringList listed()
    {
        QStringList out;
        QTreeWidget &t = tree("securitytree");
        for (int i = 0; i < t.topLevelItemCount(); ++i) {
            QStringList names;
            for (int c = 0; c < t.topLevelItem(i)->childCount(); ++c)
                names << t.topLevelItem(i)->child(c)->text(0);
            out << t.topLevelItem(i)->text(0) + ": " + names.join(' ');
        }
        return out;
    }
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
    // What each kind should list for a prefix, from the model.
    const auto expected = [&](const QString &prefix) {
        QStringList users, roles, profiles, tablespaces;
        for (const auto &u : model().users())
            users << u.name;
        for (const auto &r : model().roles())
            roles << r.name;
        for (const auto &l : model().profileLimits())
            profiles << l.profile;
        for (const auto &q : model().quotas())
            tablespaces << q.tablespace;
        QList<QStringList> out;
        for (QStringList names : {users, roles, profiles, tablespaces}) {
            names = names.filter(QRegularExpression('^' + QRegularExpression::escape(prefix)));
            names.removeDuplicates();
            std::sort(names.begin(), names.end());
            out << names;
        }
        return out;
    };
    const char *boxes[] = {"usercbox", "rolecbox", "profilecbox", "tsqcbox"};
    const QString roots[] = {"USER", "ROLE", "PROFILE", "T/S QUOTAS"};
    for (const QString &prefix : {QString(), QStringLiteral("APP")}) {
        const QList<QStringList> names = expected(prefix);
        ASSERT_FALSE(names[3].isEmpty());
        for (int combination = 0; combination < 16; ++combination) {
            QStringList want;
            for (int k = 0; k < 4; ++k) {
                tick(boxes[k], combination & (1 << k));
                if (combination & (1 << k))
                    want << roots[k] + ": " + names[k].join(' ');
            }
            sim.server.clearStatements();
            load(prefix.toLower() + "%");
            EXPECT_EQ(listed(), want) << "boxes " << combination << " prefix " << prefix.toStdString();
            // The statement runs whatever is ticked.
            EXPECT_EQ(sim.server.statements().size(), 1);
        }
    }
    EXPECT_EQ(widget<QLineEdit>("secfilter").text(), QStringLiteral("APP%"));
    EXPECT_EQ(memo("securitysql").toPlainText().split('\n'),
              (QStringList{"select 'USER', username from dba_users where ", "username like 'APP%'", "union",
                           "select 'ROLE', role from dba_roles where ", "role like 'APP%'", "union",
                           "select 'PROFILE', profile from dba_profiles where ", "profile like 'APP%'", "union",
                           "select 'TSQ', tablespace_name from dba_ts_quotas where ", "tablespace_name like 'APP%'",
                           "order by 1,2"}));
    EXPECT_EQ(sink().errors, QStringList());

    // A quote in the filter arrives doubled and finds the name that holds it.
    model().addUser({"O'BRIEN", 130, "OPEN", "2026-01-05 09:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    load("o'b%");
    EXPECT_TRUE(memo("securitysql").toPlainText().contains("username like 'O''B%'"));
    EXPECT_EQ(listed(), (QStringList{"USER: O'BRIEN", "ROLE: ", "PROFILE: ", "T/S QUOTAS: "}));
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(SecurityBrowserTest, UserShowsItsAttributesAndDirectGrants)
{
    const SecurityModel::User jsmith =
        *std::find_if(model().users().begin(), model().users().end(), [](const auto &u) { return u.name == "JSMITH"; });
    widget<QTabWidget>("secpage2").setCurrentIndex(2);
    open("USER", "JSMITH");
    EXPECT_EQ(detailTab(), 0);
    EXPECT_EQ((QStringList{edit("username"), edit("userid"), edit("userstat"), edit("usercreated"), edit("userlockd"),
                           edit("userexpd"), edit("userprof"), edit("userdeft"), edit("usertempt")}),
              (QStringList{jsmith.name, QString::number(jsmith.id), jsmith.status, jsmith.created, jsmith.lockDate,
                           jsmith.expiryDate, jsmith.profile, jsmith.defaultTablespace, jsmith.temporaryTablespace}));
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
    QList<QStringList> want;
    for (int i : model().columnGrantsOf("JSMITH")) {
        const auto &g = model().columnGrants()[size_t(i)];
        want << QStringList{"COLUMN", g.grantee, g.privilege, g.grantable, g.table, g.column, g.owner};
    }
    for (int i : model().roleGrantsOf("JSMITH")) {
        const auto &g = model().roleGrants()[size_t(i)];
        want << QStringList{"ROLE", g.grantee, g.role, g.admin, "--", "--", "--"};
    }
    for (int i : model().systemGrantsOf("JSMITH")) {
        const auto &g = model().systemGrants()[size_t(i)];
        want << QStringList{"SYSTEM", g.grantee, g.privilege, g.admin, "--", "--", "--"};
    }
    for (int i : model().tableGrantsOf("JSMITH")) {
        const auto &g = model().tableGrants()[size_t(i)];
        want << QStringList{"TABLE", g.grantee, g.privilege, g.grantable, g.table, "--", g.owner};
    }
    QList<QStringList> shown = test::rowsOf(grid("userrolegrid"));
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(), [](const auto &a, const auto &b) { return a[0] < b[0]; }));
    std::sort(shown.begin(), shown.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(shown, want);

    // No grants: one empty row below the headers, none of the earlier user's left.
    model().addUser({"NOGRANTS", 131, "OPEN", "2026-02-01 10:00:00", {}, {}, "DEFAULT", "USERS", "TEMP", false});
    open("USER", "NOGRANTS");
    EXPECT_EQ(edit("username"), QStringLiteral("NOGRANTS"));
    EXPECT_EQ(test::rowsOf(grid("userrolegrid")), (QList<QStringList>{QStringList(7, QString())}));
}

TEST_F(SecurityBrowserTest, ProfileAndQuotaListTheirRowsInOrder)
{
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
    EXPECT_TRUE(std::any_of(holders.begin(), holders.end(), [](const auto &r) { return r[1] != "0"; }));
    EXPECT_EQ(memo("tsqumemo").toPlainText(), "select username,bytes,max_bytes,blocks,max_blocks,dropped \n"
                                              "from dba_ts_quotas   \nwhere tablespace_name = 'APP_DATA'\norder by 1");
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(SecurityBrowserTest, UserGrantTreeExpandsEveryRoleOnceAQueryPerDistinctRole)
{
    buildTreeFor("USER", "JSMITH");
    EXPECT_EQ(sink().errors, QStringList());
    QTreeWidget &t = tree("userroletree");
    const ExpectedTree expected{model()};
    EXPECT_EQ(rootShapes(t, true), expected.roots("JSMITH"));

    // The chain four deep and the diamond: APP_READ under APP_WRITE and under REPORTING,
    // each time with all it holds.
    const QString appRead = expected.below("APP_READ", {"JSMITH", "APP_ADMIN"});
    EXPECT_TRUE(appRead.contains("SALES_READ(R): Grantable(NO){"));
    const QString whole = rootShapes(t, true).join(',');
    EXPECT_TRUE(whole.contains("APP_WRITE(R): Grantable(YES){"));
    EXPECT_EQ(whole.count("APP_READ(R): Grantable(NO)" + appRead), 2);
    EXPECT_TRUE(whole.contains("SELECT(T): Table(ORDERS), Grantable(NO)"));
    EXPECT_FALSE(whole.contains("JSMITH")); // the grantee column is not shown

    // Under an expanded role its grants stand by kind: column, role, system, table.
    const auto rank = [](const QString &text) { return QString("CRST").indexOf(text.at(text.indexOf('(') + 1)); };
    int checked = 0;
    for (QTreeWidgetItemIterator it(&t); *it; ++it)
        for (int c = 1; (*it)->parent() && c < (*it)->childCount(); ++c, ++checked)
            EXPECT_LE(rank((*it)->child(c - 1)->text(0)), rank((*it)->child(c)->text(0)))
                << (*it)->text(0).toStdString();
    EXPECT_GT(checked, 10);

    // One statement for the user and one for each role it reaches.
    const QStringList grantees = granteesQueried(sim.server.statements());
    EXPECT_EQ(grantees.size(), sim.server.statements().size());
    EXPECT_EQ(grantees.first(), QStringLiteral("JSMITH"));
    EXPECT_EQ(QSet<QString>(grantees.begin() + 1, grantees.end()), expected.reach("JSMITH"));
    EXPECT_EQ(grantees.size(), expected.reach("JSMITH").size() + 1);
    // The memo shows the query of the role expanded last, whether or not it was read again.
    const QString lastRole = [&] {
        QString last;
        for (QTreeWidgetItemIterator it(&t); *it; ++it)
            if ((*it)->text(0).contains("(R)") && (*it)->childCount() > 0)
                last = (*it)->text(0).left((*it)->text(0).indexOf('('));
        return last;
    }();
    EXPECT_TRUE(memo("userrolesql").toPlainText().contains("where  grantee = '" + lastRole + "'"))
        << lastRole.toStdString();

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

    // Build Tree on a root node asks for the grantee of that name: the four roots alone.
    tree("securitytree").setCurrentItem(node("USER", QString()));
    click("btbtn");
    EXPECT_EQ(rootShapes(t, false), (QStringList{"ROLE", "SYSTEM", "TABLE", "COLUMN"}));
    EXPECT_EQ(granteesQueried(sim.server.statements()).last(), QStringLiteral("USER"));
}

TEST_F(SecurityBrowserTest, RoleTreeOnTheRoleTabAndACircleOfGrantsEnds)
{
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
}

TEST_F(SecurityBrowserTest, RolesAreExpandedByTheirNamesNotByTheirNodesText)
{
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
