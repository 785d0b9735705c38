#include "script_memo.h"

#include "detail_controls.h"
#include "keyboard_reach.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

namespace tavimond {

QPlainTextEdit *addScriptMemo(QWidget *scriptTab, const QString &name, const QString &label, const QStringList &lines,
                              MemoAccess access)
{
    // The Script tab shows its memos two to a row.
    auto *grid = qobject_cast<QGridLayout *>(scriptTab->layout());
    if (!grid)
        grid = new QGridLayout(scriptTab);
    const int index = scriptTab->findChildren<QPlainTextEdit *>(QString(), Qt::FindDirectChildrenOnly).size();
    auto *caption = new QLabel(label, scriptTab);
    auto *memo = new QPlainTextEdit(scriptTab);
    memo->setObjectName(name);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    memo->setReadOnly(access != MemoAccess::Editable);
    if (access == MemoAccess::Editable)
        leaveOnCtrlTab(*memo);
    if (access == MemoAccess::ReadOnlySkyBlue)
        paintSkyBlue(*memo);
    const int row = (index / 2) * 2, column = index % 2;
    grid->addWidget(caption, row, column);
    grid->addWidget(memo, row + 1, column);
    return memo;
}

} // namespace tavimond

namespace tavimond {

QStringList memoLines(const QPlainTextEdit &memo)
{
    return memo.toPlainText().split(QLatin1Char('\n'));
}

} // namespace tavimond
