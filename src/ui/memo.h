#pragma once

class QPlainTextEdit;

namespace tavimond {

class Query;

// Fills a memo with field 1 of every remaining record of an open query, a line each,
// setting the text once. It neither opens nor closes the query.
void QueryToMemo(Query &query, QPlainTextEdit &memo);

} // namespace tavimond
