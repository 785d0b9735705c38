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

// Makes an edit, memo or tree a read-only detail control on the sky-blue background.
void showAsDetail(QWidget &control);

// Makes an edit turn whatever is typed or pasted into it into upper case.
void forceUpperCase(QLineEdit &edit);

// The node selected in a tree, or null when none is.
QTreeWidgetItem *selectedNode(const QTreeWidget &tree);

// 0 for a top node, 1 for its children, and so on.
int nodeLevel(const QTreeWidgetItem &node);

} // namespace tavimond
