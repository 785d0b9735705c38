#pragma once

#include "../statement.h"
#include "../table.h"

#include <functional>
#include <optional>

namespace tavimond::sim {

// Answers a select over several dictionary views joined in its where clause, in the
// form the object browser's detail statements take:
//   select <items> from <view> <alias>, ... where <conditions> [order by <positions>]
// Items: alias.column, trim(alias.column), alias.column / number ..., or a string
// literal, each with an optional [as] heading. Conditions, joined by "and":
//   [upper(]a.col[)] = 'literal'
//   [upper(]a.col[)] = [upper(]b.col[)]  with (+) after the outer-joined side's column
//   a.col(+) is null                     (a filter on the outer-joined view's rows)
// Views join in their order in the from list; a view joined by conditions that carry
// (+) on its side is outer-joined: its columns read empty where no row matches.
// Returns nothing when the statement is not of this form; an unknown view raises
// ORA-00942, an unknown column ORA-00904.
// The first view of a statement of that form ("sys." kept); empty for any other statement.
QString firstJoinedView(const Statement &statement);

using ViewSource = std::function<std::optional<Table>(const QString &view)>;
std::optional<Result> evaluateJoin(const Statement &statement, const ViewSource &views);

} // namespace tavimond::sim
