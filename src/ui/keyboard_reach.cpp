#include "keyboard_reach.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

namespace tavimond {
namespace {

class CoverWatch : public QObject {
public:
    explicit CoverWatch(QWidget &place) : QObject(&place), place_(place)
    {
        place.installEventFilter(this);
        for (QObject *child : place.children())
            child->installEventFilter(this);
        update();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &place_) {
            if (event->type() == QEvent::ChildAdded)
                static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
            return false;
        }
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::EnabledChange:
            update();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void update()
    {
        // Not the changes it makes itself; nor before the place shows, when its children
        // still lie where they were made, not yet where its layout puts them.
        if (updating_ || !place_.isVisible())
            return;
        updating_ = true;
        QList<QWidget *> shown; // back to front
        for (QObject *o : place_.children())
            if (auto *w = qobject_cast<QWidget *>(o); w && !w->isWindow() && !w->isHidden())
                shown << w;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            QWidget *w = shown.at(i);
            const QRect own = w->geometry();
            bool covered = false;
            for (qsizetype j = i + 1; j < shown.size() && !covered; ++j)
                covered = own.isValid() && shown.at(j)->geometry().contains(own);
            // A control the screen itself disabled stays so.
            if (covered && !w->testAttribute(Qt::WA_ForceDisabled)) {
                w->setEnabled(false);
                disabled_ << w;
            } else if (!covered && disabled_.removeAll(w) > 0) {
                w->setEnabled(true);
            }
        }
        disabled_.removeAll(nullptr);
        updating_ = false;
    }

    QWidget &place_;
    // Those disabled here, and only those, are enabled here again.
    QList<QPointer<QWidget>> disabled_;
    bool updating_ = false;
};

class CtrlTabLeaves : public QObject {
public:
    explicit CtrlTabLeaves(QPlainTextEdit &memo) : QObject(&memo), memo_(memo) { memo.installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || !(key->modifiers() & Qt::ControlModifier))
            return false;
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        // The memo hands Tab on while it lets Tab change the focus: a plain Tab, sent
        // to it so, goes the way Tab goes from any other control.
        memo_.setTabChangesFocus(true);
        QKeyEvent plain(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        QCoreApplication::sendEvent(&memo_, &plain);
        memo_.setTabChangesFocus(false);
        return true;
    }

private:
    QPlainTextEdit &memo_;
};

} // namespace

void keepCoveredOutOfReach(QWidget &place)
{
    new CoverWatch(place);
}

void leaveOnCtrlTab(QPlainTextEdit &memo)
{
    new CtrlTabLeaves(memo);
}

} // namespace tavimond
