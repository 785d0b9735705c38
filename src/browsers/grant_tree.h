#pragma once

#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QTreeWidget;

namespace tavimond {

class Query;

// The grants query of one grantee: its role, system, table and column grants as rows of
// typ, grantee, priv, ad, tabnm, colnm and owner, ordered by kind. The grantee goes in
// quoted, its quotes doubled.
QStringList grantsQueryLines(const QString &grantee);

// Writes the grants query of a grantee into the memo, copies it into the query and
// opens it, leaving the query on its first record for the caller to read and close.
void BuildGrantsQuery(Query &query, QPlainTextEdit &memo, const QString &grantee);

// The most nodes one grant tree may hold: a role granted along very many paths is
// repeated under each of them, and past this the tree would exhaust the memory.
inline constexpr int kGrantTreeNodeLimit = 1000000;

// Fills a grant tree for a grantee: the roots "ROLE", "SYSTEM", "TABLE" and "COLUMN"
// with a node per grant, and under every granted role that role's grants, to any depth.
// A role is not expanded again below itself (nor below the grantee it was filled for),
// so that a circle of grants ends; a role reached along several paths is expanded under
// each, from one query. The memo ends with the grants query of the last role expanded.
// Past nodeLimit nodes the fill stops with an error and the tree keeps the nodes so far.
// A database error leaves the tree empty: grants read before it would pass for all.
void fillGrantTree(QTreeWidget &tree, Query &query, QPlainTextEdit &memo, const QString &grantee,
                   int nodeLimit = kGrantTreeNodeLimit);

} // namespace tavimond
