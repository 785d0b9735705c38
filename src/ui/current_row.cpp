#include "current_row.h"

#include "handler.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace tavimond {

void onCurrentRowChange(QAbstractItemView *view, QObject *context, const std::function<void()> &handler,
                        const std::function<bool()> &reloading)
{
    // A click on the current row moves nothing, yet the row may hold another record
    // since it was chosen: the click runs the handler all the same.
    QObject::connect(view, &QAbstractItemView::clicked, context, [handler] { runGuarded(handler); });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, context,
                     [handler, reloading](const QModelIndex &current, const QModelIndex &previous) {
                         if (!current.isValid() || (reloading && reloading()))
                             return;
                         if (current.row() == previous.row() && current.parent() == previous.parent())
                             return;
                         runGuarded(handler);
                     });
}

} // namespace tavimond
