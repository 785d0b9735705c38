#pragma once

#include "browsers/object_browser_screen.h"
#include "common/fault_matrix.h"
#include "common/screen_support.h"

#include "db/error.h"
#include "db/sim/dictionary/dictionary_model.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTreeWidget>

namespace tavimond::test {

// The object browser on a fresh simulated instance, driven as a user drives it.
class ObjectBrowserTest : public ::testing::Test {
protected:
    QTreeWidget &tree() { return s.widget<QTreeWidget>("objtree"); }
    QLineEdit &edit(const char *name) { return s.widget<QLineEdit>(name); }
    QString text(const char *name) { return edit(name).text(); }
    QCheckBox &box(const char *name) { return s.widget<QCheckBox>(name); }
    QString memoText(const char *name) { return s.memo(name).toPlainText(); }
    const sim::DictionaryModel &dictionary() { return s.sim.server.model().state<sim::DictionaryModel>(); }
    QWidget *frontPage() { return s.widget<QStackedWidget>("objdetails").currentWidget(); }
    const sim::StorageLayout::Segment *segment(const QString &name, const QString &partition)
    {
        for (const auto &seg : dictionary().layout().segments())
            if (seg.name == name && seg.partition == partition)
                return &seg;
        return nullptr;
    }

    // Ticks the kind boxes named, unticks the others.
    void tickOnly(const QStringList &boxes)
    {
        for (const QString &b : kindBoxes())
            box(b.toLatin1().constData()).setChecked(boxes.contains(b));
    }
    static QStringList kindBoxes()
    {
        return {"tabcbox", "indcbox", "viewcbox", "funcbox",  "seqcbox",  "trigcbox",
                "syncbox", "dircbox", "jobcbox",  "packcbox", "proccbox", "progcbox"};
    }
    void load() { s.click("Button141"); }
    // A click on a radio button's circle (its middle may lie beyond a short caption).
    void radio(const char *name)
    {
        auto &r = s.widget<QAbstractButton>(name);
        QTest::mouseClick(&r, Qt::LeftButton, {}, QPoint(8, r.height() / 2));
    }
    // Answers the statements holding `phrase` with these rows, or with this error.
    void answer(const QString &phrase, const QStringList &columns, const QList<QStringList> &rows)
    {
        auto t = std::make_shared<sim::Table>(columns);
        for (const QStringList &r : rows)
            t->addRow(r);
        s.sim.server.add({phrase, [phrase](const sim::Statement &st) { return st.has(phrase); },
                          [t](const sim::Statement &, sim::Context &) { return t; }});
    }
    void fail(const QString &phrase, const QString &message)
    {
        s.sim.server.add(
            {phrase, [phrase](const sim::Statement &st) { return st.has(phrase); },
             [message](const sim::Statement &, sim::Context &) -> sim::Result { throw DbError(message); }});
    }

    static QStringList texts(QTreeWidget &t, const QTreeWidgetItem *parent = nullptr) { return childTexts(t, parent); }
    QTreeWidgetItem *node(const QString &kind, const QString &name = {})
    {
        return nodeAt(tree(), name.isEmpty() ? QStringList{kind} : QStringList{kind, name});
    }
    // A click on a node of a tree, scrolled into view first; twice, a double-click.
    static void click(QTreeWidget &tree, QTreeWidgetItem *item, bool twice = false)
    {
        ASSERT_NE(item, nullptr);
        if (item->parent())
            item->parent()->setExpanded(true);
        tree.scrollToItem(item);
        const QPoint at = tree.visualItemRect(item).center();
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    }
    void open(const char *kind, const QString &name) { click(tree(), node(QLatin1String(kind), name), true); }
    // Loads the owner's objects and double-clicks one.
    void show(const char *kind, const QString &owner, const QString &name)
    {
        edit("schema_name_text").setText(owner);
        edit("obj_name_text").setText(QStringLiteral("%"));
        load();
        open(kind, owner + QLatin1Char('.') + name);
    }

    ScreenHarness<ObjectBrowserScreen> s;
};

} // namespace tavimond::test
