#pragma once

#include "core/grid_routines.h"

#include <QStringList>
#include <functional>

class QAbstractButton;
class QPlainTextEdit;

namespace tavimond {

class Query;
class ResultGrid;

// The wait cursor, up while the database works on a report (they can take long on a
// real repository); back to normal however the work ends.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// A report's script: the freshly built lines go into its memo, unless the user keeps his
// own text there (the screen's "Maintain Dynamic Script" box ticked; null when the
// screen has none).
void buildScript(QPlainTextEdit &memo, const QAbstractButton *maintainDynamicScript, const QStringList &lines);

// The lines build() gives, or none when the user keeps his own script (the box ticked):
// typed fields are read, and refused, only when they go into the statement. Called
// before a handler changes anything, so that a refused field leaves the screen as it was.
QStringList freshScriptLines(const QAbstractButton *maintainDynamicScript, const std::function<QStringList()> &build);

// Copies the memo's lines into the query and opens it, under the wait cursor.
void openScript(const QPlainTextEdit &memo, Query &query);

// Runs the memo's script into the grid: opened as above, every record appended
// ("Dump"), the grid emptied first when asked; a failure part-way leaves the grid as
// onFailure says.
void runScriptIntoGrid(const QPlainTextEdit &memo, Query &query, ResultGrid &grid, bool clearFirst,
                       FailedLoad onFailure = FailedLoad::KeepRows);

} // namespace tavimond
