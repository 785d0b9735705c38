#include "report_script.h"

#include "script_memo.h"

#include "core/grid_routines.h"
#include "db/query.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>

namespace tavimond {

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void buildScript(QPlainTextEdit &memo, const QAbstractButton *maintainDynamicScript, const QStringList &lines)
{
    if (maintainDynamicScript && maintainDynamicScript->isChecked())
        return;
    memo.setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList freshScriptLines(const QAbstractButton *maintainDynamicScript, const std::function<QStringList()> &build)
{
    if (maintainDynamicScript && maintainDynamicScript->isChecked())
        return {};
    return build();
}

void openScript(const QPlainTextEdit &memo, Query &query)
{
    query.setSql(memoLines(memo));
    WaitCursor wait;
    OpenQuery(query);
}

void runScriptIntoGrid(const QPlainTextEdit &memo, Query &query, ResultGrid &grid, bool clearFirst,
                       FailedLoad onFailure)
{
    query.setSql(memoLines(memo));
    WaitCursor wait;
    OpenQuery(query);
    DumpQueryIntoGrid(query, grid, clearFirst, onFailure);
}

} // namespace tavimond
