#pragma once

#include <QColor>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace tavimond {

// The background of the browsers' read-only detail controls.
inline QColor clSkyBlue()
{
    return QColor(0xA6, 0xCA, 0xF0);
}

// The selection on the sky-blue background: dark and saturated under white text, so
// that a selected item stands out of a control that is all pale blue.
inline QColor detailHighlight()
{
    return QColor(0x00, 0x00, 0x80);
}

// Puts a control on the sky-blue background with the detail selection colours, whether
// or not its window is active.
void paintSkyBlue(QWidget &control);

// Makes an edit, memo, tree or list a read-only detail control on the sky-blue
// background. An edit too narrow for its text shows the whole text as its tool tip.
void showAsDetail(QWidget &control);

// Makes an edit turn whatever is typed or pasted into it into upper case.
void forceUpperCase(QLineEdit &edit);

// The node selected in a tree, or null when none is.
QTreeWidgetItem *selectedNode(const QTreeWidget &tree);

// 0 for a top node, 1 for its children, and so on.
int nodeLevel(const QTreeWidgetItem &node);

} // namespace tavimond
