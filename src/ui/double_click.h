#pragma once

#include <functional>

class QWidget;

namespace tavimond {

// Runs the handler, guarded, whenever the widget (an item view: its viewport) is
// double-clicked. The event goes on to the widget, so it still selects a word or
// opens a node.
void onDoubleClick(QWidget *widget, std::function<void()> handler);

} // namespace tavimond
