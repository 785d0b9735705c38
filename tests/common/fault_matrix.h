#pragma once

// A screen's action tried under each fault of the simulated instance: logon denied, an
// unknown service, the connection lost part-way through a fetch, and a statement slower
// than its time-out. What must hold under every fault:
// - one error box, with the database's message;
// - every widget the action fills shows either what it showed before, nothing (as the
//   screen started), or the whole new result: never rows, nodes, points or lines of a
//   fetch cut short; and no widget shows the old result beside another showing the new
//   or beside another emptied;
// - every list, tree and grid paints what it holds: none is left with its updates off,
//   showing what it held before;
// - once the fault clears, the same action gives the whole result again.
// Nothing crashes on the way.

#include "common/screen_support.h" // the harness, the sink and the simulated instance
#include "core/chart.h"
#include "ui/chart_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

namespace tavimond::test {

// What one widget shows, as lines of text.
struct Shown {
    QString widget;
    QStringList lines;
    bool operator==(const Shown &o) const { return widget == o.widget && lines == o.lines; }
};
using Screenful = QList<Shown>;

inline void PrintTo(const Shown &s, std::ostream *os)
{
    *os << s.widget.toStdString() << ": " << s.lines.size() << " lines";
}

// The paths of a tree's nodes from a level down: fixed roots (kind nodes) left out.
inline Shown shownTree(const QString &name, const QTreeWidget &tree, int fromLevel = 0)
{
    Shown s{name, {}};
    std::function<void(const QTreeWidgetItem *, const QString &, int)> add = [&](auto *node, auto &path, int level) {
        const QString here = path.isEmpty() ? node->text(0) : path + QLatin1Char('/') + node->text(0);
        if (level >= fromLevel)
            s.lines << here;
        for (int c = 0; c < node->childCount(); ++c)
            add(node->child(c), here, level + 1);
    };
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        add(tree.topLevelItem(i), QString(), 0);
    return s;
}

// Every point of every series: what a chart draws (series the form made stay, empty).
inline Shown shownChart(const QString &name, const Chart &chart)
{
    Shown s{name, {}};
    for (int i = 0; i < chart.seriesCount(); ++i) {
        const ChartSeries &series = chart.series(i);
        for (const ChartPoint &point : series.points())
            s.lines << series.title() + QLatin1Char('|') + point.label + QLatin1Char('|') +
                           QString::number(point.value, 'g', 15);
    }
    return s;
}

// The items of a combo box or a list widget, in order.
template <class List>
Shown shownItems(const QString &name, const List &list)
{
    Shown s{name, {}};
    for (int i = 0; i < list.count(); ++i)
        s.lines << list.model()->index(i, 0).data().toString();
    return s;
}

// Finds widgets of a screen by component name.
template <class W>
W &component(const QObject &screen, const QString &name)
{
    W *w = screen.findChild<W *>(name);
    if (!w)
        throw std::runtime_error("no component " + name.toStdString());
    return *w;
}

inline Shown gridOf(const QObject &screen, const QString &name)
{
    Shown s{name, {}};
    const ResultGrid &grid = *component<GridView>(screen, name).grid();
    for (int r = 1; r < grid.rowCount(); ++r)
        s.lines << grid.row(r).join(QLatin1Char('\t'));
    return s;
}
inline Shown chartOf(const QObject &screen, const QString &name)
{
    return shownChart(name, *component<ChartView>(screen, name).model());
}
inline Shown treeOf(const QObject &screen, const QString &name, int fromLevel = 0)
{
    return shownTree(name, component<QTreeWidget>(screen, name), fromLevel);
}
inline Shown memoOf(const QObject &screen, const QString &name)
{
    return {name, {component<QPlainTextEdit>(screen, name).toPlainText()}};
}
inline Shown editOf(const QObject &screen, const QString &name)
{
    return {name, {component<QLineEdit>(screen, name).text()}};
}
inline Shown labelOf(const QObject &screen, const QString &name)
{
    return {name, {component<QLabel>(screen, name).text()}};
}
inline Shown itemsOf(const QObject &screen, const QString &name)
{
    if (auto *combo = screen.findChild<QComboBox *>(name))
        return shownItems(name, *combo);
    return shownItems(name, component<QListWidget>(screen, name));
}

// Every edit and memo of a page (a detail page of a browser), each on its own: a page
// may show its new name over fields that a failure left empty.
inline Screenful fieldsOf(const QObject &screen, const QString &page)
{
    Screenful out;
    const auto &p = component<QWidget>(screen, page);
    for (const QLineEdit *edit : p.findChildren<QLineEdit *>())
        if (!qobject_cast<QComboBox *>(edit->parent()))
            out << Shown{edit->objectName(), {edit->text()}};
    for (const QPlainTextEdit *memo : p.findChildren<QPlainTextEdit *>())
        out << Shown{memo->objectName(), {memo->toPlainText()}};
    return out;
}

// Every chart of a screen, in the order the screen holds them.
inline Screenful chartsOf(const QObject &screen)
{
    Screenful out;
    for (const ChartView *view : screen.findChildren<ChartView *>())
        out << shownChart(view->objectName(), *view->model());
    return out;
}

// The node of a tree at a path of texts from a top node down.
inline QTreeWidgetItem *nodeAt(QTreeWidget &tree, const QStringList &path)
{
    QTreeWidgetItem *n = tree.invisibleRootItem();
    for (const QString &text : path) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < n->childCount() && !next; ++i)
            if (n->child(i)->text(0) == text)
                next = n->child(i);
        if (!next)
            throw std::runtime_error("no node " + path.join(QLatin1Char('/')).toStdString());
        n = next;
    }
    return n;
}

// The texts of a tree's top nodes, or of a node's children.
inline QStringList childTexts(const QTreeWidget &tree, const QTreeWidgetItem *node = nullptr)
{
    QStringList out;
    for (int i = 0; i < (node ? node->childCount() : tree.topLevelItemCount()); ++i)
        out << (node ? node->child(i) : tree.topLevelItem(i))->text(0);
    return out;
}

// What a user does: opens the node's parents, clicks it, then double-clicks it.
inline void doubleClickNode(QTreeWidget &tree, const QStringList &path)
{
    QTreeWidgetItem *item = nodeAt(tree, path);
    for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    tree.scrollToItem(item);
    const QPoint at = tree.visualItemRect(item).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
}

// What a user does by keyboard: Tab from the control that has the focus until `target`
// has it. False when Tab goes round without getting there.
inline bool tabTo(QWidget &target)
{
    for (int presses = 0; presses < 500 && QApplication::focusWidget() != &target; ++presses)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget() == &target;
}

// The keys that choose a node of the focused tree: Home, then Down to each text of the
// path and, unless it is open, Right to open it for the next.
inline void keyToNode(QTreeWidget &tree, const QStringList &path)
{
    QTest::keyClick(&tree, Qt::Key_Home);
    for (qsizetype level = 0; level < path.size(); ++level) {
        if (level > 0) {
            if (tree.currentItem() && !tree.currentItem()->isExpanded())
                QTest::keyClick(&tree, Qt::Key_Right);
            QTest::keyClick(&tree, Qt::Key_Down);
        }
        for (int presses = 0; presses < 1000 && tree.currentItem() && tree.currentItem()->text(0) != path.at(level);
             ++presses)
            QTest::keyClick(&tree, Qt::Key_Down);
    }
}

// One action of one screen.
struct FaultCase {
    QString title;                    // screen and action, for the report of a failure
    std::function<void()> prepare;    // once, before anything: loads a tree, selects a node
    std::function<void(int)> act;     // the user's action, on input 0 or input 1
    std::function<Screenful()> shown; // what the action fills
    // A phrase of the statement that runs slow and whose fetch is cut short; logon and
    // service faults strike the action's first statement.
    QString phrase;
    // Rows fetched before the connection is lost: fewer than the statement returns.
    int rows = 3;
    // The screen's own rule keeps the old content of one widget beside another's new one.
    bool oldBesideNew = false;
    // The grid the cut-short fetch loads, when the error must say truly what it shows:
    // its previous rows, or nothing.
    QString loadedGrid = {};
};

// The case, its cut-short fetch loading the grid named.
inline FaultCase loading(FaultCase c, const QString &grid)
{
    c.loadedGrid = grid;
    return c;
}

// Arms a cut-short fetch for the next statement holding the phrase.
inline std::shared_ptr<QString> loseConnectionInFetchOf(sim::Server &server, const QString &phrase, int rows)
{
    auto hit = std::make_shared<QString>(); // the statement cut short: empty until one is
    server.add({QStringLiteral("cut short"),
                [&server, phrase, rows, hit](const sim::Statement &s) {
                    if (hit->isEmpty() && s.has(phrase)) {
                        *hit = s.sql();
                        server.loseConnectionAfterRows(rows);
                    }
                    return false; // answered by its own family
                },
                {}});
    return hit;
}

inline QString describe(const Screenful &s)
{
    QStringList out;
    for (const Shown &w : s)
        out << QStringLiteral("%1: %2 (%3 lines)").arg(w.widget, w.lines.mid(0, 6).join(" / ")).arg(w.lines.size());
    return out.join(QLatin1Char('\n'));
}

// What the user sees of every shown list, tree and grid of a screen is what it holds: no
// shown widget has its updates switched off, and each view's viewport on the screen (as
// the window last painted it) matches a fresh paint of it.
inline void expectPaintedAsHeld(QWidget &screen)
{
    for (const QWidget *w : screen.findChildren<QWidget *>()) {
        if (w->isVisible()) {
            EXPECT_TRUE(w->updatesEnabled()) << w->objectName().toStdString() << " does not paint";
        }
    }
    QWidget *window = screen.window();
    for (QAbstractItemView *view : screen.findChildren<QAbstractItemView *>()) {
        QWidget *port = view->viewport();
        if (!port->isVisible() || port->window() != window || port->width() <= 0 || port->height() <= 0)
            continue;
        const QPoint at = port->mapTo(window, QPoint(0, 0));
        QImage fresh, shown;
        // Pending paints (and a view's own settling, such as columns widening) first.
        for (int wait = 0; wait < 50 && (shown.isNull() || shown != fresh); ++wait) {
            QTest::qWait(wait == 0 ? 0 : 10);
            fresh = port->grab().toImage().convertToFormat(QImage::Format_RGB32);
            shown = window->screen()
                        ->grabWindow(window->winId(), at.x(), at.y(), port->width(), port->height())
                        .toImage()
                        .convertToFormat(QImage::Format_RGB32);
        }
        EXPECT_TRUE(shown == fresh) << view->objectName().toStdString()
                                    << " shows on the screen what it no longer holds";
    }
}

// The error of a fetch cut short says what the grid it loaded shows.
inline void expectTheErrorTellsWhatTheGridShows(const QString &error, const QString &grid, const Screenful &now,
                                                const Screenful &before)
{
    const auto find = [&grid](const Screenful &s) {
        for (const Shown &w : s)
            if (w.widget == grid)
                return w;
        throw std::runtime_error("no grid " + grid.toStdString() + " among the widgets shown");
    };
    const Shown shown = find(now);
    const bool blank = std::all_of(shown.lines.begin(), shown.lines.end(),
                                   [](const QString &line) { return line.count(QLatin1Char('\t')) == line.size(); });
    if (error.endsWith(QLatin1String("and the grid is left empty."))) {
        EXPECT_TRUE(blank) << describe({shown}).toStdString();
    } else {
        EXPECT_TRUE(error.endsWith(QLatin1String("and the grid keeps its previous rows."))) << error.toStdString();
        EXPECT_FALSE(blank) << error.toStdString();
        EXPECT_EQ(shown, find(before)) << describe({shown}).toStdString();
    }
}

inline void runFaultCase(SimFixture &sim, QWidget &screen, const FaultCase &c)
{
    SCOPED_TRACE(c.title.toStdString());
    RecordingSink &sink = RecordingSink::current();
    const Screenful initial = c.shown();
    if (c.prepare)
        c.prepare();
    const auto good = [&](int input) {
        sink.clear();
        c.act(input);
        EXPECT_TRUE(sink.errors.isEmpty()) << sink.errors.join(QLatin1Char('\n')).toStdString();
        return c.shown();
    };
    const Screenful wanted = good(1);
    ASSERT_NE(wanted, initial) << "the action shows nothing";
    const Screenful before = good(0);
    ASSERT_EQ(before.size(), wanted.size());

    const ConnectionString service = sim.cnn.connectionString();
    const Logon logon = service.logon.value_or(Logon{});
    std::shared_ptr<QString> cut;
    // Each fault, how the database's message begins, and how the fault is brought about.
    const std::tuple<const char *, const char *, std::function<void()>> faults[] = {
        {"logon denied", "ORA-01017",
         [&] {
             sim.server.setLogonDenied(true);
             sim.cnn.close();
         }},
        {"unknown service", "ORA-12154",
         [&] {
             sim.cnn.setConnectionString({service.prefix, Logon{logon.user, logon.password, "NOSUCHDB"}});
         }},
        {"connection lost mid-fetch", "ORA-03113",
         [&] { cut = loseConnectionInFetchOf(sim.server, c.phrase, c.rows); }},
        {"time-out", "ORA-01013", [&] { sim.server.setSlowStatement(c.phrase, 4000 * 1000); }},
    };
    for (const auto &[name, code, bringAbout] : faults) {
        SCOPED_TRACE(name);
        cut.reset();
        bringAbout();
        sink.clear();
        c.act(1);
        ASSERT_EQ(sink.errors.size(), 1) << sink.errors.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(sink.errors.at(0).startsWith(QLatin1String(code))) << sink.errors.at(0).toStdString();
        const Screenful now = c.shown();
        bool oldShown = false, newShown = false, emptied = false;
        for (qsizetype i = 0; i < now.size(); ++i) {
            const Shown &w = now.at(i);
            EXPECT_TRUE(w == before.at(i) || w == initial.at(i) || w == wanted.at(i))
                << w.widget.toStdString() << " shows neither what it showed, nor nothing, nor the whole result:\n"
                << describe({w}).toStdString();
            if (w == before.at(i) && w != wanted.at(i) && w != initial.at(i))
                oldShown = true;
            if (w == wanted.at(i) && w != before.at(i) && w != initial.at(i))
                newShown = true;
            if (w == initial.at(i) && w != before.at(i) && w != wanted.at(i))
                emptied = true;
        }
        if (!c.oldBesideNew) {
            EXPECT_FALSE(oldShown && newShown) << "the old result beside the new:\n" << describe(now).toStdString();
            EXPECT_FALSE(oldShown && emptied) << "the old result beside widgets emptied:\n"
                                              << describe(now).toStdString();
        }
        expectPaintedAsHeld(screen);
        if (cut && !c.loadedGrid.isEmpty())
            expectTheErrorTellsWhatTheGridShows(sink.errors.at(0), c.loadedGrid, now, before);

        sim.server.clearFaults();
        sim.cnn.setConnectionString(service);
        if (cut) {
            ASSERT_FALSE(cut->isEmpty()) << "no statement held " << c.phrase.toStdString();
            // The fetch was cut short with rows still to come.
            EXPECT_GT(allRows(sim.cnn, cut->split(QLatin1Char('\n'))).size(), c.rows);
        }
        // Back to work: the same action gives the whole result.
        EXPECT_EQ(good(1), wanted);
        EXPECT_EQ(good(0), before);
    }
}

// Builds a screen on a fresh instance, describes one of its actions, and tries it.
template <class S>
void tryUnderFaults(const std::function<FaultCase(ScreenHarness<S> &)> &describe)
{
    ScreenHarness<S> h;
    runFaultCase(h.sim, h.screen, describe(h));
}

// The user types a text into an edit of the screen.
template <class S>
void type(ScreenHarness<S> &h, const char *edit, const QString &text)
{
    h.template widget<QLineEdit>(edit).setText(text);
}

// An action that types one of two texts into an edit (input 0 the first) and presses a
// button.
template <class S>
FaultCase typeAndPress(ScreenHarness<S> &h, const QString &title, const char *edit, const QStringList &texts,
                       const char *button, const std::function<Screenful()> &shown, const QString &phrase, int rows = 3)
{
    const auto act = [&h, edit, texts, button](int input) {
        type(h, edit, texts.at(input));
        h.click(button);
    };
    return {title, {}, act, shown, phrase, rows};
}

} // namespace tavimond::test
