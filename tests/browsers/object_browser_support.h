#pragma once

#include "browsers/object_browser_screen.h"
#include "common/screen_support.h"

#include "db/sim/dictionary/dictionary_model.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
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

    void tickOnly(std::initializer_list<const char *> boxes)
    {
        for (const char *name : {"tabcbox", "indcbox", "viewcbox", "funcbox", "seqcbox", "trigcbox", "syncbox",
                                 "dircbox", "jobcbox", "packcbox", "proccbox", "progcbox"})
            box(name).setChecked(std::find_if(boxes.begin(), boxes.end(), [&](const char *b) {
                                     return std::string_view(b) == name;
                                 }) != boxes.end());
    }
    void load() { s.click("Button141"); }
    // A click on a radio button's circle (its middle may lie beyond a short caption).
    void radio(const char *name)
    {
        auto &r = s.widget<QAbstractButton>(name);
        QTest::mouseClick(&r, Qt::LeftButton, {}, QPoint(8, r.height() / 2));
    }

    QStringList topTexts()
    {
        QStringList out;
        for (int i = 0; i < tree().topLevelItemCount(); ++i)
            out << tree().topLevelItem(i)->text(0);
        return out;
    }
    QStringList childTexts(const QTreeWidgetItem *parent)
    {
        QStringList out;
        for (int i = 0; i < parent->childCount(); ++i)
            out << parent->child(i)->text(0);
        return out;
    }
    QTreeWidgetItem *top(const QString &kind)
    {
        for (int i = 0; i < tree().topLevelItemCount(); ++i)
            if (tree().topLevelItem(i)->text(0) == kind)
                return tree().topLevelItem(i);
        return nullptr;
    }
    QTreeWidgetItem *node(const QString &kind, const QString &text)
    {
        QTreeWidgetItem *t = top(kind);
        for (int i = 0; t && i < t->childCount(); ++i)
            if (t->child(i)->text(0) == text)
                return t->child(i);
        return nullptr;
    }
    // A double-click with the mouse on a node of a tree, scrolled into view first.
    static void doubleClick(QTreeWidget &tree, QTreeWidgetItem *item)
    {
        ASSERT_NE(item, nullptr);
        if (item->parent())
            item->parent()->setExpanded(true);
        tree.scrollToItem(item);
        const QPoint at = tree.visualItemRect(item).center();
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
    }
    static void click(QTreeWidget &tree, QTreeWidgetItem *item)
    {
        ASSERT_NE(item, nullptr);
        if (item->parent())
            item->parent()->setExpanded(true);
        tree.scrollToItem(item);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(item).center());
    }
    // Loads the kind's objects, owner and name filters as given, and double-clicks one.
    void show(const char *kind, const QString &owner, const QString &name)
    {
        edit("schema_name_text").setText(owner);
        edit("obj_name_text").setText(QStringLiteral("%"));
        load();
        doubleClick(tree(), node(QLatin1String(kind), owner + QLatin1Char('.') + name));
    }
    // A picture of the screen into the folder TAVIMOND_SHOTS names, when it names one.
    void shoot(const char *name)
    {
        const QByteArray dir = qgetenv("TAVIMOND_SHOTS");
        if (dir.isEmpty())
            return;
        QCoreApplication::processEvents();
        EXPECT_TRUE(s.screen.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QLatin1String(name))));
    }
    QWidget *frontPage() { return s.widget<QStackedWidget>("objdetails").currentWidget(); }

    ScreenHarness<ObjectBrowserScreen> s;
};

} // namespace tavimond::test
