#include "detail_edits.h"

#include "core/result_grid.h"
#include "db/query.h"
#include "ui/detail_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tavimond {

QLineEdit *DetailEditSet::add(QGridLayout *grid, int row, int pair, const DetailEdit &e, QWidget *parent, int span)
{
    auto *label = new QLabel(QString::fromUtf8(e.label), parent);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(e.edit));
    showAsDetail(*edit);
    label->setBuddy(edit);
    grid->addWidget(label, row, pair * 2);
    grid->addWidget(edit, row, pair * 2 + 1, 1, span * 2 - 1);
    edits_.insert(edit->objectName(), edit);
    return edit;
}

int DetailEditSet::layOut(QGridLayout *grid, int firstRow, DetailEdits table, const QString &tab, int pairsPerRow,
                          QWidget *parent)
{
    int k = 0;
    for (const DetailEdit &e : table) {
        if (!e.tab || tab != QLatin1String(e.tab))
            continue;
        add(grid, firstRow + k / pairsPerRow, k % pairsPerRow, e, parent);
        ++k;
    }
    for (int pair = 0; pair < pairsPerRow; ++pair)
        grid->setColumnStretch(pair * 2 + 1, 1);
    return firstRow + (k + pairsPerRow - 1) / pairsPerRow;
}

void DetailEditSet::addMemo(QPlainTextEdit *memo)
{
    memos_.insert(memo->objectName(), memo);
}

QLineEdit *DetailEditSet::edit(const QString &name) const
{
    return edits_.value(name);
}

QString DetailEditSet::text(const char *name) const
{
    const QLineEdit *e = edit(QLatin1String(name));
    return e ? e->text() : QString();
}

void DetailEditSet::setText(const char *name, const QString &text) const
{
    if (QLineEdit *e = edit(QLatin1String(name))) {
        e->setText(text);
        e->setCursorPosition(0); // a long value shows its start
    } else if (QPlainTextEdit *memo = memos_.value(QLatin1String(name))) {
        // Added as a line, the whole text set at once.
        const QString before = memo->toPlainText();
        memo->setPlainText(before.isEmpty() ? text : before + QLatin1Char('\n') + text);
    }
}

void DetailEditSet::clear(DetailEdits table) const
{
    for (const DetailEdit &e : table) {
        if (QPlainTextEdit *memo = memos_.value(QLatin1String(e.edit)))
            memo->clear();
        else
            setText(e.edit, QString());
    }
}

void DetailEditSet::copyByName(const Query &query, DetailEdits table) const
{
    for (const DetailEdit &e : table)
        if (e.field)
            setText(e.edit, query.field(QLatin1String(e.field)));
}

void DetailEditSet::copyByPosition(const Query &query, DetailEdits table) const
{
    for (const DetailEdit &e : table)
        if (e.column >= 0)
            setText(e.edit, query.field(e.column));
}

void DetailEditSet::copyGridRow(const ResultGrid &grid, int row, DetailEdits table) const
{
    for (const DetailEdit &e : table)
        if (e.column >= 0)
            setText(e.edit, grid.cell(e.column, row));
}

} // namespace tavimond
