#pragma once

#include "sql_workload.h"

#include <QStringList>

namespace tavimond::sim {

// A plan the repository captured for a statement (dba_hist_sql_plan), as the plan
// display function prints it with the format 'ALL +OUTLINE': the statement's sql_id and
// text, the plan hash value, the operation table, the query blocks and object aliases,
// the outline data, the predicates and the column projections. The shared pool's
// statements keep the plans the live views show; the application's others get the plan
// their kind of statement takes, and the statement that changed its plan a full scan as
// its second. Nothing for a plan the statement never had.
QStringList displayAwrLines(const SqlWorkload::Sql &sql, qint64 planHashValue);

} // namespace tavimond::sim
