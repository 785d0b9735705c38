#include "current_row.h"

#include "handler.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QItemSelectionModel>

namespace tavimond {
namespace {

// Tab into a view without a current row and Qt makes its first row current: the user
// only passed by, and has chosen no row. That first current row runs nothing.
class FocusArrival : public QObject {
public:
    explicit FocusArrival(QAbstractItemView *view) : QObject(view), view_(view) { view->installEventFilter(this); }
    bool arriving() const { return arriving_; }
    void done() { arriving_ = false; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason &&
            !view_->currentIndex().isValid()) {
            arriving_ = true;
            // Over once the view has taken the focus in, whether or not it chose a row.
            QMetaObject::invokeMethod(this, [this] { arriving_ = false; }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QAbstractItemView *view_;
    bool arriving_ = false;
};

} // namespace

void onCurrentRowChange(QAbstractItemView *view, QObject *context, const std::function<void()> &handler,
                        const std::function<bool()> &reloading)
{
    // A click on the current row moves nothing, yet the row may hold another record
    // since it was chosen: the click runs the handler all the same.
    QObject::connect(view, &QAbstractItemView::clicked, context, [handler] { runGuarded(handler); });
    auto *arrival = new FocusArrival(view);
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, context,
                     [handler, reloading, arrival](const QModelIndex &current, const QModelIndex &previous) {
                         if (arrival->arriving() && !previous.isValid()) {
                             arrival->done();
                             return;
                         }
                         if (!current.isValid() || (reloading && reloading()))
                             return;
                         if (current.row() == previous.row() && current.parent() == previous.parent())
                             return;
                         runGuarded(handler);
                     });
}

} // namespace tavimond
