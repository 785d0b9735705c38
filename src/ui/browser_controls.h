#pragma once

#include <functional>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tavimond {

// The browsers' detail controls (edits, memos, trees): read-only on sky blue.
void setSkyBlueReadOnly(QWidget *control);

// Makes an edit turn what is typed or pasted into upper case.
void forceUpperCase(QLineEdit *edit);

// The tree's selected node, or null when none is.
QTreeWidgetItem *selectedNode(const QTreeWidget &tree);
// 0 for a top-level node, 1 for its children, and so on.
int nodeLevel(const QTreeWidgetItem *node);

// Runs the handler, guarded, whenever the widget (a tree: its viewport) is
// double-clicked. The event goes on to the widget, so it still selects a word or
// opens a node.
void onDoubleClick(QWidget *widget, std::function<void()> handler);

} // namespace tavimond
