#include "current_row.h"

#include "handler.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace tavimond {
namespace {

bool sameRow(const QModelIndex &a, const QModelIndex &b)
{
    return a.row() == b.row() && a.parent() == b.parent();
}

// Chooses rows for one view. Tab into a view without a current row and Qt makes its
// first row current: the user only passed by and has chosen nothing, so that row is
// marked (current) but neither selected nor chosen. A key that chooses a row and
// leaves the current row on the mark chooses the mark, as a move to another row
// chooses that one.
class RowChoice : public QObject {
public:
    RowChoice(QAbstractItemView *view, std::function<void()> handler, std::function<bool()> reloading)
        : QObject(view), view_(view), viewport_(view->viewport()), handler_(std::move(handler)),
          reloading_(std::move(reloading))
    {
        view->installEventFilter(this);
        viewport_->installEventFilter(this);
    }

    void clicked() { run(); }

    void currentChanged(const QModelIndex &current, const QModelIndex &previous)
    {
        if (arriving_ && !previous.isValid()) {
            arriving_ = false;
            unchosen_ = current.isValid();
            return;
        }
        if (!current.isValid()) {
            unchosen_ = false;
            return;
        }
        if (reloading() || sameRow(current, previous))
            return;
        // Ctrl and an arrow move the current row without selecting it; the row the
        // handler shows is the one that looks chosen all the same. A press of the
        // mouse selects what it will once the row is current.
        if (!pressing_ && !view_->selectionModel()->isRowSelected(current.row(), current.parent()))
            selectOnly(current);
        run();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Kept from the start: events reach the filter while the view is destroyed.
        if (watched == viewport_) {
            if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
                pressing_ = true;
            else if (event->type() == QEvent::MouseButtonRelease)
                pressing_ = false;
            return false;
        }
        if (event->type() == QEvent::KeyPress)
            pressing_ = false; // a release the view never saw (an error box took it)
        if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent *>(event)->reason() != Qt::MouseFocusReason &&
            !view_->currentIndex().isValid()) {
            arriving_ = true;
            // Over once the view has taken the focus in, whether or not it marked a row.
            QMetaObject::invokeMethod(this, [this] { arriving_ = false; }, Qt::QueuedConnection);
        }
        if (event->type() == QEvent::KeyPress && unchosen_ && view_->currentIndex().isValid())
            return keyOnMark(static_cast<QKeyEvent *>(event));
        return false;
    }

private:
    bool keyOnMark(QKeyEvent *key)
    {
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Return acts on the current row: on the mark, it chooses it.
            choose();
            return false;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Space:
        case Qt::Key_Select: {
            // The view acts first: a move to another row chooses that row; a key that
            // leaves the current row where it is (Space, Up or Home on the first row)
            // chooses the mark.
            const QPersistentModelIndex before = view_->currentIndex();
            static_cast<QObject *>(view_)->event(key);
            if (unchosen_ && sameRow(view_->currentIndex(), before))
                choose();
            return true;
        }
        default:
            return false;
        }
    }

    void choose()
    {
        selectOnly(view_->currentIndex());
        run();
    }

    void selectOnly(const QModelIndex &row)
    {
        view_->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    void run()
    {
        unchosen_ = false;
        runGuarded(handler_);
    }

    bool reloading() const { return reloading_ && reloading_(); }

    QAbstractItemView *view_;
    QObject *viewport_;
    std::function<void()> handler_;
    std::function<bool()> reloading_;
    bool arriving_ = false;
    bool unchosen_ = false;
    bool pressing_ = false;
};

} // namespace

void onCurrentRowChange(QAbstractItemView *view, QObject *context, const std::function<void()> &handler,
                        const std::function<bool()> &reloading)
{
    auto *choice = new RowChoice(view, handler, reloading);
    // A click on the current row moves nothing, yet the row may hold another record
    // since it was chosen: the click runs the handler all the same.
    QObject::connect(view, &QAbstractItemView::clicked, context, [choice] { choice->clicked(); });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, context,
                     [choice](const QModelIndex &current, const QModelIndex &previous) {
                         choice->currentChanged(current, previous);
                     });
}

} // namespace tavimond
