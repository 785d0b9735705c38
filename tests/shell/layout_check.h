#pragma once
// Looks at what a window shows for controls that overlap, are cut below their own
// minimum or caption, or lie outside what their parent shows.

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace tavimond::test {

// Widgets whose children are their own business (scroll bars, viewports, editors).
inline bool composite(const QWidget *w)
{
    return (qobject_cast<const QAbstractScrollArea *>(w) && !qobject_cast<const QScrollArea *>(w)) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QTabBar *>(w);
}

inline bool internal(const QWidget *w)
{
    return w->objectName().startsWith(QLatin1String("qt_"));
}

inline QString pathOf(const QWidget *w, const QWidget *top)
{
    QStringList names;
    for (const QWidget *p = w; p && p != top; p = p->parentWidget())
        if (!p->objectName().isEmpty() && !internal(p))
            names.prepend(p->objectName());
    const QString own = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : QString();
    QString text;
    if (auto *label = qobject_cast<const QLabel *>(w))
        text = label->text();
    else if (auto *button = qobject_cast<const QAbstractButton *>(w))
        text = button->text();
    else if (auto *box = qobject_cast<const QGroupBox *>(w))
        text = box->title();
    return names.join(QLatin1Char('/')) + (own.isEmpty() ? QString() : QLatin1Char('/') + own) +
           (text.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(text.left(40)));
}

// The width the text of an editable line edit needs to be read whole.
inline int textRoom(const QLineEdit &edit)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.rect();
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    const QMargins m = edit.textMargins();
    // The editor keeps a couple of pixels of its own on each side.
    return edit.fontMetrics().horizontalAdvance(edit.text()) + m.left() + m.right() + 4 +
           (edit.width() - contents.width());
}

class LayoutCheck {
public:
    explicit LayoutCheck(QWidget &window) : window_(window) {}

    // Faults of what the window shows now; with TAVIMOND_SHOTS naming a folder, a
    // picture of it there too.
    void look(const QString &where)
    {
        visit(&window_, window_.rect());
        if (shots_.isEmpty())
            return;
        const QString name = QStringLiteral("fit%1x%2_%3.png").arg(window_.width()).arg(window_.height()).arg(where);
        EXPECT_TRUE(window_.grab().save(QDir(shots_).filePath(name)));
    }
    const QStringList &faults() const { return faults_; }

private:
    void fault(const QWidget *w, const QString &what)
    {
        const QString line = pathOf(w, &window_) + QStringLiteral(": ") + what;
        if (!seen_.contains(line)) {
            seen_.insert(line);
            faults_ << line;
        }
    }

    static QString size(QSize s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); }

    void checkSize(const QWidget *w)
    {
        if (auto *label = qobject_cast<const QLabel *>(w)) {
            if (label->text().isEmpty())
                return;
            if (label->wordWrap() ? w->height() < label->heightForWidth(w->width())
                                  : w->width() < label->sizeHint().width() || w->height() < label->sizeHint().height())
                fault(w, QStringLiteral("caption cut: %1 of %2").arg(size(w->size()), size(label->sizeHint())));
            return;
        }
        if (auto *edit = qobject_cast<const QLineEdit *>(w)) {
            if (!edit->isReadOnly() && !edit->text().isEmpty() && edit->echoMode() == QLineEdit::Normal &&
                w->width() < textRoom(*edit))
                fault(w, QStringLiteral("text \"%1\" cut: %2 wide of %3")
                             .arg(edit->text())
                             .arg(w->width())
                             .arg(textRoom(*edit)));
        }
        if (auto *button = qobject_cast<const QPushButton *>(w)) {
            // The style's least width of a button is looks; the caption is what must show.
            const int room = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) +
                             2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
            if (w->width() < room || w->height() < button->minimumSizeHint().height())
                fault(w, QStringLiteral("caption cut: %1 of %2 wide").arg(size(w->size())).arg(room));
            return;
        }
        // A scroll area's least size is a preference: it scrolls.
        if (qobject_cast<const QAbstractScrollArea *>(w))
            return;
        const QSize least = w->minimumSizeHint();
        if ((least.width() > 0 && w->width() < least.width()) || (least.height() > 0 && w->height() < least.height()))
            fault(w, QStringLiteral("squeezed: %1 of %2 at least").arg(size(w->size()), size(least)));
    }

    // `shown`: the part of the window the parent of `w` shows, in window coordinates.
    void visit(QWidget *w, QRect shown)
    {
        const QRect own(w->mapTo(&window_, QPoint(0, 0)), w->size());
        if (w != &window_ && !internal(w)) {
            checkSize(w);
            if (!shown.contains(own))
                fault(w, QStringLiteral("outside what its parent shows"));
        }
        if (composite(w))
            return;
        // Contents of a scroll area may lie beyond its viewport: the bars bring them in.
        auto *area = qobject_cast<QScrollArea *>(w->parentWidget());
        const bool scrolls = area && area->viewport() == w;
        const QRect inner = scrolls ? QRect(QPoint(-100000, -100000), QSize(200000, 200000)) : own & shown;
        QList<QWidget *> children;
        for (QObject *o : w->children()) {
            auto *child = qobject_cast<QWidget *>(o);
            if (child && !child->isWindow() && child->isVisible())
                children << child;
        }
        for (int i = 0; i < children.size(); ++i)
            for (int j = i + 1; j < children.size(); ++j)
                // Controls that share one place, the one in front covering the other, do so whole.
                if (!internal(children[i]) && !internal(children[j]) &&
                    children[i]->geometry().intersects(children[j]->geometry()) &&
                    children[i]->geometry() != children[j]->geometry())
                    fault(children[i], QStringLiteral("overlaps ") + pathOf(children[j], &window_));
        for (QWidget *child : children)
            visit(child, inner);
    }

    QWidget &window_;
    const QString shots_ = qEnvironmentVariable("TAVIMOND_SHOTS");
    QStringList faults_;
    QSet<QString> seen_;
};

inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

// Shows every page of `pages` (a tab widget or a stack of pages) and of the page
// containers within each, looking at the window at each.
inline void walk(QWidget &pages, LayoutCheck &check, const QString &where)
{
    auto *tabs = qobject_cast<QTabWidget *>(&pages);
    auto *stack = qobject_cast<QStackedWidget *>(&pages);
    const int count = tabs ? tabs->count() : stack->count();
    const int was = tabs ? tabs->currentIndex() : stack->currentIndex();
    for (int i = 0; i < count; ++i) {
        tabs ? tabs->setCurrentIndex(i) : stack->setCurrentIndex(i);
        settle();
        const QString here = where + QLatin1Char('_') + QString::number(i);
        check.look(here);
        QWidget *page = tabs ? tabs->widget(i) : stack->widget(i);
        if (qobject_cast<QTabWidget *>(page) || qobject_cast<QStackedWidget *>(page)) {
            walk(*page, check, here);
            continue;
        }
        for (QWidget *inner : page->findChildren<QWidget *>()) {
            if (!inner->isVisible() || internal(inner) ||
                !(qobject_cast<QTabWidget *>(inner) || qobject_cast<QStackedWidget *>(inner)))
                continue;
            // Only the containers nearest to this page; deeper ones are walked by those.
            QWidget *holder = inner->parentWidget();
            while (holder != page && !qobject_cast<QTabWidget *>(holder) &&
                   !(qobject_cast<QStackedWidget *>(holder) && !internal(holder)))
                holder = holder->parentWidget();
            if (holder == page)
                walk(*inner, check, here);
        }
    }
    tabs ? tabs->setCurrentIndex(was) : stack->setCurrentIndex(was);
}

} // namespace tavimond::test
