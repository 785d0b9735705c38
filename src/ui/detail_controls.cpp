#include "detail_controls.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QValidator>

namespace tavimond {
namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace

void showAsDetail(QWidget &control)
{
    if (auto *edit = qobject_cast<QLineEdit *>(&control))
        edit->setReadOnly(true);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(&control))
        memo->setReadOnly(true);
    else if (auto *tree = qobject_cast<QTreeWidget *>(&control))
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette p = control.palette();
    p.setColor(QPalette::Base, clSkyBlue());
    control.setPalette(p);
}

void forceUpperCase(QLineEdit &edit)
{
    edit.setValidator(new UpperCaseValidator(&edit));
}

QTreeWidgetItem *selectedNode(const QTreeWidget &tree)
{
    QTreeWidgetItem *current = tree.currentItem();
    if (current && current->isSelected())
        return current;
    const QList<QTreeWidgetItem *> selected = tree.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int nodeLevel(const QTreeWidgetItem &node)
{
    int level = 0;
    for (const QTreeWidgetItem *p = node.parent(); p; p = p->parent())
        ++level;
    return level;
}

} // namespace tavimond
