#include "double_click.h"

#include "handler.h"

#include <QAbstractItemView>
#include <QEvent>

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

} // namespace

void onDoubleClick(QWidget *widget, std::function<void()> handler)
{
    QWidget *target = widget;
    if (auto *view = qobject_cast<QAbstractItemView *>(widget))
        target = view->viewport();
    target->installEventFilter(new DoubleClickFilter(target, std::move(handler)));
}

} // namespace tavimond
