#pragma once

#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QWidget;

namespace tavimond {

// Adds a labelled memo to a screen's "Script" tab, holding one of the screen's scripts;
// its objectName is the memo's component name. The tab shows its memos two to a row.
// Read-only memos are sky blue.
QPlainTextEdit *addScriptMemo(QWidget *scriptTab, const QString &name, const QString &label, const QStringList &lines,
                              bool readOnly);

// A memo's text as the lines a query takes.
QStringList memoLines(const QPlainTextEdit &memo);

} // namespace tavimond
