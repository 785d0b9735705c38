// Every page of every screen walked by keyboard alone: Tab goes round every control
// the user can reach there and comes back to where it started, Shift+Tab the same way
// back, and it never lands on a control the user cannot see.
#include "layout_check.h"
#include "shell_support.h"

#include "ui/screen.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>

#include <functional>

using namespace tavimond;

namespace {

class KeyboardWalk : public test::LoggedOnWindow {
protected:
    // Why the user cannot see `w` where it has the focus, or nothing.
    QString unseen(QWidget *w)
    {
        if (!w->isVisible())
            return QStringLiteral("hidden");
        const QPoint centre = w->mapTo(&window, w->rect().center());
        if (w->width() <= 0 || w->height() <= 0 || !window.rect().contains(centre))
            return QStringLiteral("outside the window");
        QWidget *seen = window.childAt(centre);
        if (seen != w && !w->isAncestorOf(seen))
            return QStringLiteral("covered by ") + (seen ? test::pathOf(seen, &window) : QStringLiteral("nothing"));
        return {};
    }
    // One round of the focus from the control that has it: every control it lands on
    // in order, until it is back at the first. A text editor keeps Tab as its own
    // character: Ctrl+Tab leaves it.
    QList<QWidget *> round(bool forward, const QString &where, QStringList &faults)
    {
        const auto fault = [&](QWidget *w, const QString &what) {
            faults << where + QStringLiteral(": ") + test::pathOf(w, &window) + QLatin1Char(' ') + what;
        };
        const QString key = forward ? QStringLiteral("Tab") : QStringLiteral("Shift+Tab");
        const QList<int> pages = pagesShown();
        QList<QWidget *> visited;
        QWidget *start = QApplication::focusWidget();
        // A text browser goes from link to link before it lets Tab leave.
        int stayed = 0;
        for (int presses = 0; presses < 2000; ++presses) {
            QWidget *from = QApplication::focusWidget();
            auto *memo = qobject_cast<QPlainTextEdit *>(from);
            const Qt::KeyboardModifiers ctrl = memo && !memo->isReadOnly() ? Qt::ControlModifier : Qt::NoModifier;
            QTest::keyClick(from, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                            ctrl | (forward ? Qt::NoModifier : Qt::ShiftModifier));
            QWidget *to = QApplication::focusWidget();
            if (pagesShown() != pages) {
                fault(from, key + QStringLiteral(" turned the page"));
                return visited;
            }
            if (!to || (to == start && visited.isEmpty()))
                return visited; // nothing else to go to
            if (to == from && ++stayed > 100) {
                fault(from, QStringLiteral("keeps ") + key);
                return visited;
            }
            if (to == from)
                continue;
            stayed = 0;
            if (const QString why = unseen(to); !why.isEmpty())
                fault(to, QStringLiteral("focused, ") + why);
            if (to == start || visited.contains(to))
                return visited;
            visited << to;
        }
        faults << where + QStringLiteral(": the focus never came back");
        return visited;
    }
    // The page each tab widget and stack of the window shows.
    QList<int> pagesShown() const
    {
        QList<int> shown;
        for (const QTabWidget *tabs : window.findChildren<QTabWidget *>())
            shown << tabs->currentIndex();
        for (const QStackedWidget *stack : window.findChildren<QStackedWidget *>())
            shown << stack->currentIndex();
        return shown;
    }
};

} // namespace

TEST_F(KeyboardWalk, TabAndShiftTabGoRoundWhatEveryPageShowsAndNothingElse)
{
    QStringList faults;
    int reached = 0;
    auto *stack = qobject_cast<QStackedWidget *>(window.centralWidget());
    ASSERT_TRUE(stack);
    window.activateWindow();
    for (Screen *s : window.screens()) {
        stack->setCurrentWidget(s);
        test::walkPages(*s, s->objectName(), [&](const QString &where) {
            const auto walk = [&](const QString &view) {
                s->setFocus(Qt::TabFocusReason);
                const QList<QWidget *> ahead = round(true, view, faults);
                const QList<QWidget *> back = round(false, view, faults);
                // Backwards, the same controls.
                EXPECT_EQ(QSet<QWidget *>(ahead.begin(), ahead.end()), QSet<QWidget *>(back.begin(), back.end()))
                    << view.toStdString();
                reached += int(ahead.size());
            };
            // Each view a radio button switches to, and the views within it, then the page
            // as it was.
            std::function<void(const QString &, QList<QRadioButton *>)> views = [&](const QString &view,
                                                                                    QList<QRadioButton *> seen) {
                walk(view);
                QList<QRadioButton *> radios, chosen;
                for (QRadioButton *r : s->findChildren<QRadioButton *>())
                    if (r->isVisible() && r->isEnabled() && !seen.contains(r))
                        (r->isChecked() ? chosen : radios) << r;
                seen << radios << chosen;
                // A click on the circle: the middle may lie beyond a short caption.
                const auto choose = [](QRadioButton *r) {
                    QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(8, r->height() / 2));
                };
                for (QRadioButton *r : std::as_const(radios)) {
                    choose(r);
                    EXPECT_TRUE(r->isChecked()) << test::pathOf(r, &window).toStdString();
                    views(view + QLatin1Char('_') + test::named(r->text()), seen);
                }
                for (QRadioButton *r : std::as_const(chosen))
                    choose(r);
            };
            views(where, {});
        });
    }
    EXPECT_GT(reached, 1000);
    EXPECT_EQ(faults.join(QLatin1Char('\n')), QString());
}
