#include "memo.h"

#include "core/grid_routines.h"

#include <QPlainTextEdit>

namespace tavimond {

void QueryToMemo(Query &query, QPlainTextEdit &memo)
{
    memo.setPlainText(QueryMemoText(query));
}

} // namespace tavimond
