#include "double_click.h"

#include "handler.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace tavimond {
namespace {

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

class EnterKeyFilter : public QObject {
public:
    EnterKeyFilter(QAbstractItemView *view, std::function<void()> handler)
        : QObject(view), view_(view), handler_(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !view_->currentIndex().isValid())
            return false;
        // As a double-click selects what it opens: Return on a row that Tab only
        // marked selects it too, and the handlers read the selected row.
        const QModelIndex current = view_->currentIndex();
        if (!view_->selectionModel()->isSelected(current))
            view_->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        runGuarded(handler_);
        return true;
    }

private:
    QAbstractItemView *view_;
    std::function<void()> handler_;
};

} // namespace

void onDoubleClick(QWidget *widget, std::function<void()> handler)
{
    QWidget *target = widget;
    if (auto *view = qobject_cast<QAbstractItemView *>(widget)) {
        target = view->viewport();
        onEnterKey(view, handler);
    }
    target->installEventFilter(new DoubleClickFilter(target, std::move(handler)));
}

void onItemDoubleClick(QAbstractItemView *view, QObject *context, std::function<void()> handler)
{
    onEnterKey(view, handler);
    QObject::connect(view, &QAbstractItemView::doubleClicked, context, [handler] { runGuarded(handler); });
}

void onEnterKey(QAbstractItemView *view, std::function<void()> handler)
{
    // Keys reach the view itself, not its viewport.
    view->installEventFilter(new EnterKeyFilter(view, std::move(handler)));
}

} // namespace tavimond
