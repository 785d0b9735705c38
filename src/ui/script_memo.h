#pragma once

#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QWidget;

namespace tavimond {

// How a script memo lets the user at its text.
enum class MemoAccess {
    Editable,       // the screen runs what the user leaves in it
    ReadOnly,       // shows the script last run
    ReadOnlySkyBlue // read-only, on the sky-blue background of fixed scripts
};

// Adds a labelled memo to a screen's "Script" tab, holding one of the screen's scripts;
// its objectName is the memo's component name. The tab shows its memos two to a row.
QPlainTextEdit *addScriptMemo(QWidget *scriptTab, const QString &name, const QString &label, const QStringList &lines,
                              MemoAccess access);

// A memo's text as the lines a query takes.
QStringList memoLines(const QPlainTextEdit &memo);

} // namespace tavimond
