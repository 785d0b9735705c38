#pragma once

#include <functional>

class QAbstractItemView;
class QObject;
class QWidget;

namespace tavimond {

// Runs the handler, guarded, whenever the widget (an item view: its viewport) is
// double-clicked. The event goes on to the widget, so it still selects a word or
// opens a node. An item view runs it on Return or Enter as well (onEnterKey).
void onDoubleClick(QWidget *widget, std::function<void()> handler);

// Runs the handler, guarded, when an item of the view is double-clicked (a click
// beside the items runs nothing), and on Return or Enter (onEnterKey).
void onItemDoubleClick(QAbstractItemView *view, QObject *context, std::function<void()> handler);

// The keyboard's double-click: runs the handler, guarded, when Return or Enter is
// pressed in the view while it has a current item, selecting that item first if it is
// not. The key goes no further.
void onEnterKey(QAbstractItemView *view, std::function<void()> handler);

} // namespace tavimond
