#pragma once
// Walks every page of a screen's tabs and stacks, and looks at what the window shows
// there for controls that overlap, are cut below their own minimum or caption, or lie
// outside what their parent shows.

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <functional>

namespace tavimond::test {

inline bool internal(const QWidget *w)
{
    return w->objectName().startsWith(QLatin1String("qt_"));
}

// Widgets whose children are their own business (scroll bars, viewports, editors).
inline bool composite(const QWidget *w)
{
    return (qobject_cast<const QAbstractScrollArea *>(w) && !qobject_cast<const QScrollArea *>(w)) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QTabBar *>(w);
}

// A caption as a part of a name: "I/O Profile" gives "i_o_profile".
inline QString named(const QString &caption)
{
    QString out = caption.toLower();
    out.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("_"));
    return out.remove(QRegularExpression(QStringLiteral("^_|_$")));
}

// The names down to a widget (its class when it has none), and its caption.
inline QString pathOf(const QWidget *w, const QWidget *top)
{
    QStringList names;
    for (const QWidget *p = w; p && p != top; p = p->parentWidget())
        if (!p->objectName().isEmpty() && !internal(p))
            names.prepend(p->objectName());
    if (w->objectName().isEmpty())
        names << QString::fromLatin1(w->metaObject()->className());
    const QString text = w->property(qobject_cast<const QGroupBox *>(w) ? "title" : "text").toString();
    return names.join(QLatin1Char('/')) + (text.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(text.left(40)));
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

// What is cut of a control as it stands, or nothing.
inline QString cut(const QWidget *w)
{
    const auto size = [](QSize s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); };
    if (auto *label = qobject_cast<const QLabel *>(w)) {
        const QSize hint = label->sizeHint();
        const bool whole =
            label->text().isEmpty() || (label->wordWrap() ? w->height() >= label->heightForWidth(w->width())
                                                          : w->width() >= hint.width() && w->height() >= hint.height());
        return whole ? QString() : QStringLiteral("caption cut: %1 of %2").arg(size(w->size()), size(hint));
    }
    if (auto *edit = qobject_cast<const QLineEdit *>(w); edit && !edit->isReadOnly() && !edit->text().isEmpty() &&
                                                         edit->echoMode() == QLineEdit::Normal &&
                                                         w->width() < textRoom(*edit))
        return QStringLiteral("text \"%1\" cut: %2 wide of %3").arg(edit->text()).arg(w->width()).arg(textRoom(*edit));
    if (auto *button = qobject_cast<const QPushButton *>(w)) {
        // The style's least width of a button is looks; the caption is what must show.
        const int room = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&'))) +
                         2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2;
        const bool whole = w->width() >= room && w->height() >= button->minimumSizeHint().height();
        return whole ? QString() : QStringLiteral("caption cut: %1 of %2 wide").arg(size(w->size())).arg(room);
    }
    // A scroll area's least size is a preference: it scrolls.
    const QSize least = qobject_cast<const QAbstractScrollArea *>(w) ? QSize() : w->minimumSizeHint();
    if ((least.width() > 0 && w->width() < least.width()) || (least.height() > 0 && w->height() < least.height()))
        return QStringLiteral("squeezed: %1 of %2 at least").arg(size(w->size()), size(least));
    return {};
}

// The faults of `w` and what it holds, added to `faults` once each; `shown`: the part of
// the window the parent of `w` shows, in window coordinates.
inline void lookForFaults(QWidget &window, QWidget *w, QRect shown, QStringList &faults)
{
    const auto fault = [&](const QWidget *at, const QString &what) {
        const QString line = pathOf(at, &window) + QStringLiteral(": ") + what;
        if (!faults.contains(line))
            faults << line;
    };
    const QRect own(w->mapTo(&window, QPoint(0, 0)), w->size());
    if (w != &window && !internal(w)) {
        if (const QString c = cut(w); !c.isEmpty())
            fault(w, c);
        if (!shown.contains(own))
            fault(w, QStringLiteral("outside what its parent shows"));
    }
    if (composite(w))
        return;
    // Contents of a scroll area may lie beyond its viewport: the bars bring them in.
    auto *area = qobject_cast<QScrollArea *>(w->parentWidget());
    const QRect inner = area && area->viewport() == w ? QRect(-100000, -100000, 200000, 200000) : own & shown;
    QList<QWidget *> children;
    for (QObject *o : w->children())
        if (auto *child = qobject_cast<QWidget *>(o); child && !child->isWindow() && child->isVisible())
            children << child;
    for (int i = 0; i < children.size(); ++i)
        for (int j = i + 1; j < children.size(); ++j)
            // Controls that share one place, the one in front covering the other, do so whole.
            if (!internal(children[i]) && !internal(children[j]) &&
                children[i]->geometry().intersects(children[j]->geometry()) &&
                children[i]->geometry() != children[j]->geometry())
                fault(children[i], QStringLiteral("overlaps ") + pathOf(children[j], &window));
    for (QWidget *child : children)
        lookForFaults(window, child, inner, faults);
}

inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

// Shows every page of `pages` (a tab widget or a stack of pages) and of the tab widgets
// and stacks within each, calling `look` at each with its name: `where`, then the tabs'
// captions (a stack's pages by name) down to it. The pages shown before are shown again.
inline void walkPages(QWidget &pages, const QString &where, const std::function<void(const QString &)> &look)
{
    auto *tabs = qobject_cast<QTabWidget *>(&pages);
    auto *stack = qobject_cast<QStackedWidget *>(&pages);
    const int was = tabs ? tabs->currentIndex() : stack->currentIndex();
    for (int i = 0; i < (tabs ? tabs->count() : stack->count()); ++i) {
        tabs ? tabs->setCurrentIndex(i) : stack->setCurrentIndex(i);
        settle();
        const QString caption = tabs ? tabs->tabText(i) : stack->widget(i)->objectName();
        const QString here = where + QLatin1Char('_') + (caption.isEmpty() ? QString::number(i) : named(caption));
        QWidget *page = tabs ? tabs->widget(i) : stack->widget(i);
        const auto holdsPages = [](QWidget *w) {
            return qobject_cast<QTabWidget *>(w) || (qobject_cast<QStackedWidget *>(w) && !internal(w));
        };
        if (holdsPages(page)) {
            walkPages(*page, here, look);
            continue;
        }
        look(here);
        for (QWidget *inner : page->findChildren<QWidget *>()) {
            if (!inner->isVisible() || !holdsPages(inner))
                continue;
            // Only the containers nearest to this page; deeper ones are walked by those.
            QWidget *holder = inner->parentWidget();
            while (holder != page && !holdsPages(holder))
                holder = holder->parentWidget();
            if (holder == page)
                walkPages(*inner, here, look);
        }
    }
    tabs ? tabs->setCurrentIndex(was) : stack->setCurrentIndex(was);
}

} // namespace tavimond::test
