#include "grant_tree.h"

#include "core/conversions.h"
#include "core/grid_routines.h"
#include "db/error.h"
#include "db/query.h"

#include <QHash>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <vector>

namespace tavimond {
namespace {

const QString kRole = QStringLiteral("ROLE");
const QString kSystem = QStringLiteral("SYSTEM");
const QString kTable = QStringLiteral("TABLE");
const QString kColumn = QStringLiteral("COLUMN");

// A granted role's node keeps the role's name, so that the walk expands it by the name
// it was made from, whatever its text holds.
class RoleNode : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;
    RoleNode(QTreeWidgetItem *parent, const QString &text, QString role)
        : QTreeWidgetItem(parent, QStringList{text}, kType), role_(std::move(role))
    {}
    const QString &role() const { return role_; }

private:
    QString role_;
};

struct GrantRow {
    QString typ;
    QString priv;
    QString ad;
    QString tabnm;
    QString colnm;
};

// Reads the record the query stands on; the other kinds' columns are not read.
GrantRow readGrant(const Query &query)
{
    GrantRow g;
    g.typ = query.field(QStringLiteral("typ"));
    if (g.typ != kRole && g.typ != kSystem && g.typ != kTable && g.typ != kColumn)
        return g;
    g.priv = query.field(QStringLiteral("priv"));
    if (g.typ == kTable || g.typ == kColumn)
        g.tabnm = query.field(QStringLiteral("tabnm"));
    if (g.typ == kColumn)
        g.colnm = query.field(QStringLiteral("colnm"));
    g.ad = query.field(QStringLiteral("ad"));
    return g;
}

class GrantTreeBuilder {
public:
    GrantTreeBuilder(Query &query, QPlainTextEdit &memo, int nodeLimit)
        : query_(query), memo_(memo), nodeLimit_(nodeLimit)
    {}

    // Adds the node of one grant under parent; a grant of an unknown kind has none.
    void addNode(QTreeWidgetItem *parent, const GrantRow &g)
    {
        QString text;
        if (g.typ == kRole)
            text = g.priv + QStringLiteral("(R): Grantable(") + g.ad + QLatin1Char(')');
        else if (g.typ == kSystem)
            text = g.priv + QStringLiteral("(S): Grantable(") + g.ad + QLatin1Char(')');
        else if (g.typ == kTable)
            text = g.priv + QStringLiteral("(T): Table(") + g.tabnm + QStringLiteral("), Grantable(") + g.ad +
                   QLatin1Char(')');
        else if (g.typ == kColumn)
            text = g.priv + QStringLiteral("(C): Table(") + g.tabnm + QStringLiteral("), Column(") + g.colnm +
                   QStringLiteral("), Grantable(") + g.ad + QLatin1Char(')');
        else
            return;
        if (nodes_ >= nodeLimit_)
            throw Error(QStringLiteral("The grant tree was stopped at %1 nodes: its roles are granted along too many "
                                       "paths to show them all.")
                            .arg(nodeLimit_));
        ++nodes_;
        if (g.typ == kRole)
            new RoleNode(parent, text, g.priv);
        else
            new QTreeWidgetItem(parent, QStringList{text});
    }

    // The grantee's grants, each added as a node under parentOf(kind) as it is read. A
    // grantee's grants are read from the database once per fill.
    template <class ParentOf>
    void addGrants(const QString &grantee, ParentOf parentOf)
    {
        const auto known = cache_.constFind(grantee);
        if (known != cache_.constEnd()) {
            for (const GrantRow &g : *known)
                addNode(parentOf(g.typ), g);
            return;
        }
        std::vector<GrantRow> rows;
        BuildGrantsQuery(query_, memo_, grantee);
        memoGrantee_ = grantee;
        for (; !query_.eof(); query_.next()) {
            rows.push_back(readGrant(query_));
            addNode(parentOf(rows.back().typ), rows.back());
        }
        query_.close();
        cache_.insert(grantee, std::move(rows));
    }

    // After the walk the memo shows the query of the last role expanded, as if each
    // expansion had run its own.
    void showQueryOf(const QString &grantee)
    {
        if (grantee != memoGrantee_)
            memo_.setPlainText(grantsQueryLines(grantee).join(QLatin1Char('\n')));
    }

private:
    Query &query_;
    QPlainTextEdit &memo_;
    QHash<QString, std::vector<GrantRow>> cache_;
    QString memoGrantee_;
    int nodeLimit_;
    int nodes_ = 4; // the roots
};

// The grantee's grants under the four roots, and below each granted role that role's.
void fillGrants(const QList<QTreeWidgetItem *> &roots, Query &query, QPlainTextEdit &memo, const QString &grantee,
                int nodeLimit)
{
    GrantTreeBuilder builder(query, memo, nodeLimit);
    builder.addGrants(grantee, [&](const QString &kind) {
        return kind == kRole ? roots[0] : kind == kSystem ? roots[1] : kind == kTable ? roots[2] : roots[3];
    });

    // Depth first, a node before its children: a role node's grants become its children
    // and are walked next. The roles on the path from the grantee down to a node are
    // counted, so that a role is never expanded below itself.
    struct Step {
        QTreeWidgetItem *node;
        bool leaving;
    };
    std::vector<Step> stack;
    for (auto it = roots.crbegin(); it != roots.crend(); ++it)
        stack.push_back({*it, false});
    QHash<QString, int> onPath{{grantee, 1}};
    QString lastExpanded;
    while (!stack.empty()) {
        const Step step = stack.back();
        stack.pop_back();
        if (step.node->type() == RoleNode::kType) {
            const QString &role = static_cast<RoleNode *>(step.node)->role();
            if (step.leaving) {
                if (--onPath[role] == 0)
                    onPath.remove(role);
                continue;
            }
            if (onPath.contains(role))
                continue;
            builder.addGrants(role, [&](const QString &) { return step.node; });
            lastExpanded = role;
            ++onPath[role];
            stack.push_back({step.node, true});
        }
        for (int c = step.node->childCount() - 1; c >= 0; --c)
            stack.push_back({step.node->child(c), false});
    }
    if (!lastExpanded.isEmpty())
        builder.showQueryOf(lastExpanded);
}

} // namespace

QStringList grantsQueryLines(const QString &grantee)
{
    const QString where = QStringLiteral("where  grantee = ") + sqlQuote(grantee);
    return {
        QStringLiteral("select 'ROLE' typ,grantee,granted_role priv,admin_option ad,"),
        QStringLiteral("       '--' tabnm, '--' colnm,'--' owner"),
        QStringLiteral("from   dba_role_privs"),
        where,
        QStringLiteral("union "),
        QStringLiteral("select  'SYSTEM' typ,grantee,privilege priv,admin_option ad,"),
        QStringLiteral("       '--' tabnm, '--' colnm,'--' owner"),
        QStringLiteral("from    dba_sys_privs"),
        where,
        QStringLiteral("union"),
        QStringLiteral("select  'TABLE' typ, grantee,privilege priv,grantable ad,"),
        QStringLiteral("table_name tabnm, '--' colnm, owner owner"),
        QStringLiteral("from    dba_tab_privs"),
        where,
        QStringLiteral("union "),
        QStringLiteral("select  'COLUMN' typ, grantee, privilege priv, grantable ad, "),
        QStringLiteral("        table_name tabnm, column_name colnm, owner owner "),
        QStringLiteral("from    dba_col_privs "),
        where,
        QStringLiteral("order by 1"),
    };
}

void BuildGrantsQuery(Query &query, QPlainTextEdit &memo, const QString &grantee)
{
    const QStringList lines = grantsQueryLines(grantee);
    memo.setPlainText(lines.join(QLatin1Char('\n')));
    query.setSql(lines);
    OpenQuery(query);
}

void fillGrantTree(QTreeWidget &tree, Query &query, QPlainTextEdit &memo, const QString &grantee, int nodeLimit)
{
    tree.clear();
    // The nodes are built apart from the tree and handed to it at the end. A database
    // error takes the whole fill back: the grants read before the connection failed
    // would pass for all the grantee holds. Past the node limit the nodes so far are
    // shown, as its message says.
    const QList<QTreeWidgetItem *> roots{new QTreeWidgetItem(QStringList{kRole}),
                                         new QTreeWidgetItem(QStringList{kSystem}),
                                         new QTreeWidgetItem(QStringList{kTable}),
                                         new QTreeWidgetItem(QStringList{kColumn})};
    try {
        fillGrants(roots, query, memo, grantee, nodeLimit);
    } catch (const DbError &) {
        qDeleteAll(roots);
        throw;
    } catch (...) {
        tree.addTopLevelItems(roots);
        throw;
    }
    tree.addTopLevelItems(roots);
}

} // namespace tavimond
