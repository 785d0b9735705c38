#pragma once

#include "statement.h"
#include "table.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tavimond::sim {

// The rows of one view for one branch of a statement (the branch lets a view read its
// parameters, such as a grantee, and build only the rows that can pass); nothing when
// the view is unknown.
using BranchRows = std::function<std::optional<Table>(const QString &view, const Statement &branch)>;

// The views read by a union of simple selects, branch by branch:
//   <simple select> union [all] <simple select> ... [order by <positions|headings>]
// Nothing when the statement holds no top-level union or a branch is not a simple select.
std::optional<QStringList> unionBranchViews(const Statement &statement);

// Answers such a union the way the database does: each branch as evaluateSimpleSelect
// answers it, the columns named after the first branch, "union" dropping duplicate rows
// (sorted, as a sort-unique leaves them) and "union all" keeping them, then the final
// order by. Branches of different widths raise ORA-01789. Nothing when the statement is
// not such a union or rows() does not know a branch's view.
std::optional<Result> evaluateUnion(const Statement &statement, const BranchRows &rows);

} // namespace tavimond::sim
