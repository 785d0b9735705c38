#include "detail_edits.h"

#include "core/result_grid.h"
#include "db/query.h"

#include <QAbstractScrollArea>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tavimond {

void makeDetailControl(QWidget *control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setReadOnly(true);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setReadOnly(true);
    QPalette p = control->palette();
    p.setColor(QPalette::Base, QColor(0xA6, 0xCA, 0xF0)); // sky blue
    control->setPalette(p);
}

QLineEdit *DetailEditSet::add(QGridLayout *grid, int row, int pair, const DetailEdit &e, QWidget *parent, int span)
{
    auto *label = new QLabel(QString::fromUtf8(e.label), parent);
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(e.edit));
    makeDetailControl(edit);
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
        if (tab != QLatin1String(e.tab))
            continue;
        add(grid, firstRow + k / pairsPerRow, k % pairsPerRow, e, parent);
        ++k;
    }
    for (int pair = 0; pair < pairsPerRow; ++pair)
        grid->setColumnStretch(pair * 2 + 1, 1);
    return firstRow + (k + pairsPerRow - 1) / pairsPerRow;
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
    }
}

void DetailEditSet::clear(DetailEdits table) const
{
    for (const DetailEdit &e : table)
        setText(e.edit, QString());
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
