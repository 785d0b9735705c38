// Every browser under the simulated instance's faults: the error box with the
// database's message, no tree, grid or memo left holding a fetch cut short, and the
// same action whole again once the fault clears.
#include "common/fault_matrix.h"
#include "common/screen_support.h"

#include "browsers/object_browser_screen.h"
#include "browsers/security_browser_screen.h"
#include "browsers/storage_browser_screen.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace tavimond;
using namespace tavimond::test;

namespace {

template <class S>
QTreeWidget &tree(ScreenHarness<S> &h, const char *name)
{
    return h.template widget<QTreeWidget>(name);
}

// The path of the i-th child of a top node (its last when it has fewer).
QStringList childPath(QTreeWidget &tree, const QString &top, int i)
{
    const QTreeWidgetItem *node = nodeAt(tree, {top});
    if (node->childCount() == 0)
        throw std::runtime_error("no child of " + top.toStdString());
    return {top, node->child(std::min(i, node->childCount() - 1))->text(0)};
}

// The object browser with only these kinds ticked, loaded with every object.
void loadKinds(ScreenHarness<ObjectBrowserScreen> &h, const QStringList &kinds)
{
    for (QCheckBox *box : h.screen.findChildren<QCheckBox *>())
        if (box->objectName().endsWith(QLatin1String("cbox")))
            box->setChecked(false);
    const QHash<QString, const char *> boxes{
        {"TABLE", "tabcbox"},    {"INDEX", "indcbox"},    {"VIEW", "viewcbox"},      {"FUNCTION", "funcbox"},
        {"SEQUENCE", "seqcbox"}, {"TRIGGER", "trigcbox"}, {"SYNONYM", "syncbox"},    {"DIRECTORY", "dircbox"},
        {"JOB", "jobcbox"},      {"PACKAGE", "packcbox"}, {"PROCEDURE", "proccbox"}, {"PROGRAM", "progcbox"}};
    for (const QString &k : kinds)
        h.widget<QCheckBox>(boxes.value(k)).setChecked(true);
    h.click("Button141");
}

// A double-click on an object of one kind: what its page shows.
FaultCase objectDetails(ScreenHarness<ObjectBrowserScreen> &h, const QString &kind, const char *page,
                        const QStringList &objects, const QString &phrase, int rows, const QStringList &extra = {})
{
    return {
        QStringLiteral("Object browser: double-click on %1 (%2)").arg(kind, phrase),
        [&h, kind] { loadKinds(h, {kind}); },
        [&h, kind, objects](int input) {
            QTreeWidget &t = tree(h, "objtree");
            doubleClickNode(t, objects.isEmpty() ? childPath(t, kind, input) : QStringList{kind, objects.at(input)});
        },
        [&h, page, extra] {
            Screenful s = fieldsOf(h.screen, QLatin1String(page));
            for (const QString &name : extra)
                s << (name.endsWith(QLatin1String("tree"))   ? treeOf(h.screen, name)
                      : name == QLatin1String("objconddown") ? itemsOf(h.screen, name)
                                                             : gridOf(h.screen, name));
            return s;
        },
        phrase,
        rows};
}

} // namespace

TEST(BrowserFaults, EveryBrowserShowsTheDatabasesErrorKeepsNothingCutShortAndWorksAgain)
{
    // Object browser: the tree, then each kind's details.
    tryUnderFaults<ObjectBrowserScreen>([](auto &h) {
        // Cut short past the clusters and directories, into the indexes.
        return typeAndPress(
            h, "Object browser: Load/Filter", "schema_name_text", {"HR", "%"}, "Button141",
            [&h] { return Screenful{treeOf(h.screen, "objtree", 1)}; }, "from dba_objects where", 60);
    });
    // Each kind's details under the faults of one of its statements: the phrase, the rows
    // fetched before the cut, the two objects (by default the kind's first two), the
    // widgets beside the page's fields and the grid the cut fetch loads.
    const QStringList tables{"SALES.ORDER_LINES", "SALES.SALES_HISTORY"},
        indexes{"SALES.ORDERS_PK", "SALES.SALES_HISTORY_IX"},
        tableGrids{"objtabcolsgrid", "objextstatsgrid", "partitiongrid", "objindexgrid",
                   "objcongrid",     "parttree",        "objconddown"},
        indexGrids{"idxcolsgrid", "idxpartitiongrid", "idxparttree"};
    const struct {
        const char *kind, *page, *phrase;
        int rows;
        QStringList objects = {}, extra = {};
        QString loaded = {};
    } details[] = {
        {"TABLE", "tabpage", "dba_tab_columns", 3, tables, tableGrids},
        {"TABLE", "tabpage", "dba_tab_subpartitions", 3, tables, tableGrids, "partitiongrid"},
        {"TABLE", "tabpage", "dba_constraints", 1, tables, tableGrids},
        {"TABLE", "tabpage", "get_ddl", 0, tables, tableGrids},
        {"INDEX", "idxpage", "dba_ind_columns", 1, indexes, indexGrids, "idxcolsgrid"},
        {"INDEX", "idxpage", "dba_ind_subpartitions", 1, indexes, indexGrids, "idxpartitiongrid"},
        {"PACKAGE", "packpage", "from dba_source", 3},
        {"FUNCTION", "funpage", "from dba_source", 3},
        {"PROCEDURE", "procpage", "from dba_source", 3},
        // A record a kind, and its DDL: a connection lost before its one record.
        {"SEQUENCE", "seqpage", "from dba_sequences", 0},
        {"VIEW", "viewpage", "from dba_views", 0},
        {"TRIGGER", "triggerpage", "from dba_triggers", 0},
        {"SYNONYM", "synpage", "from dba_synonyms", 0},
        {"SYNONYM", "synpage", "get_ddl", 0},
        {"DIRECTORY", "dirpage", "from dba_directories", 0},
        {"JOB", "jobpage", "from dba_scheduler_jobs", 0},
        {"PROGRAM", "progpage", "from dba_scheduler_programs", 0},
    };
    for (const auto &d : details)
        tryUnderFaults<ObjectBrowserScreen>([&d](auto &h) {
            return loading(
                objectDetails(h, QLatin1String(d.kind), d.page, d.objects, QLatin1String(d.phrase), d.rows, d.extra),
                d.loaded);
        });
    // Security browser: the list, each kind's details and the grant trees.
    tryUnderFaults<SecurityBrowserScreen>([](auto &h) {
        return typeAndPress(
            h, "Security browser: Load/Filter", "secfilter", {"S%", "%"}, "Button3",
            [&h] { return Screenful{treeOf(h.screen, "securitytree", 1)}; }, "from dba_users where");
    });
    // A double-click on a name of each root: its page's fields and what lists its rows.
    const struct {
        const char *root, *page, *rows;
        QStringList names;
        const char *phrase;
        int fetched;
    } names[] = {
        {"USER", "userpage", "userrolegrid", {"HR", "JSMITH"}, "from dba_users", 0},
        {"USER", "userpage", "userrolegrid", {"HR", "JSMITH"}, "dba_role_privs", 3},
        {"ROLE", "rolepage", "roletree", {"REPORTING", "APP_ADMIN"}, "grantee = 'APP_ADMIN'", 1},
        {"ROLE", "rolepage", "roletree", {"REPORTING", "APP_ADMIN"}, "grantee = 'APP_WRITE'", 1},
        {"PROFILE", "profilepage", "profilegrid", {"DEFAULT", "SECURE_PROFILE"}, "from dba_profiles", 3},
        {"T/S QUOTAS", "tsqupage", "tsqugrid", {"USERS", "APP_DATA"}, "from dba_ts_quotas", 1},
    };
    for (const auto &n : names)
        tryUnderFaults<SecurityBrowserScreen>([&n](auto &h) {
            return FaultCase{QStringLiteral("Security browser: double-click on %1 (%2)").arg(n.root, n.phrase),
                             [&h] { h.click("Button3"); },
                             [&h, &n](int input) {
                                 doubleClickNode(tree(h, "securitytree"), {n.root, n.names.at(input)});
                             },
                             [&h, &n] {
                                 return fieldsOf(h.screen, n.page)
                                        << (QLatin1String(n.rows).endsWith(QLatin1String("tree"))
                                                ? treeOf(h.screen, n.rows, 1)
                                                : gridOf(h.screen, n.rows));
                             },
                             n.phrase,
                             n.fetched};
        });
    tryUnderFaults<SecurityBrowserScreen>([](auto &h) {
        return FaultCase{"Security browser: Build Tree",
                         [&h] {
                             h.click("Button3");
                             h.click("userrolehier");
                         },
                         [&h](int input) {
                             tree(h, "securitytree")
                                 .setCurrentItem(nodeAt(tree(h, "securitytree"), {"USER", input ? "JSMITH" : "HR"}));
                             h.click("btbtn");
                         },
                         [&h] { return Screenful{treeOf(h.screen, "userroletree", 1)}; },
                         "grantee = 'APP_WRITE'",
                         1};
    });
    // Storage browser: the tablespaces and files, and a tablespace's growth.
    tryUnderFaults<StorageBrowserScreen>([](auto &h) {
        return loading(typeAndPress(
                           h, "Storage browser: Load/Filter", "tsfilter", {"SYS%", "%"}, "Button68",
                           [&h] {
                               return Screenful{treeOf(h.screen, "tsdftree"), gridOf(h.screen, "tsdfgrid"),
                                                labelOf(h.screen, "tsname")};
                           },
                           "dba_data_files df"),
                       "tsdfgrid");
    });
    tryUnderFaults<StorageBrowserScreen>([](auto &h) {
        return FaultCase{
            "Storage browser: Retrieve growth", [&h] { h.click("Button68"); },
            [&h](int input) {
                tree(h, "tsdftree").setCurrentItem(nodeAt(tree(h, "tsdftree"), {input ? "APP_DATA" : "USERS"}));
                h.click("gettssizes");
            },
            [&h] {
                return Screenful{labelOf(h.screen, "tsgraphcap"), gridOf(h.screen, "tssizegrid"),
                                 chartOf(h.screen, "tssizegraph")};
            },
            "DBA_HIST_TBSPC_SPACE_USAGE"};
    });
}
