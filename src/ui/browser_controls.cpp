#include "browser_controls.h"

#include "handler.h"

#include <QAbstractItemView>
#include <QEvent>
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

class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QObject *parent, std::function<void()> handler) : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            runGuarded(handler_);
        return false;
    }

private:
    std::function<void()> handler_;
};

} // namespace

void setSkyBlueReadOnly(QWidget *control)
{
    QPalette p = control->palette();
    p.setColor(QPalette::Base, QColor(0xA6, 0xCA, 0xF0));
    control->setPalette(p);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setReadOnly(true);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(control))
        memo->setReadOnly(true);
    else if (auto *view = qobject_cast<QAbstractItemView *>(control))
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void forceUpperCase(QLineEdit *edit)
{
    edit->setValidator(new UpperCaseValidator(edit));
}

QTreeWidgetItem *selectedNode(const QTreeWidget &tree)
{
    const QList<QTreeWidgetItem *> selected = tree.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

int nodeLevel(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *p = node->parent(); p; p = p->parent())
        ++level;
    return level;
}

void onDoubleClick(QWidget *widget, std::function<void()> handler)
{
    QWidget *target = widget;
    if (auto *view = qobject_cast<QAbstractItemView *>(widget))
        target = view->viewport();
    target->installEventFilter(new DoubleClickFilter(target, std::move(handler)));
}

} // namespace tavimond
