#pragma once

#include "statement.h"

namespace tavimond::sim {

// Refuses a statement the way the database does, with "ORA-00918: column ambiguously
// defined", where a query block selects * (or alias.*) from an inline view two of
// whose columns have one name. A view's columns are named by their aliases, else by
// their expressions (see columnHeading); a union's are its first branch's. A select
// list of its own may repeat a name: only the view's are checked.
void refuseAmbiguousColumns(const Statement &statement);

} // namespace tavimond::sim
