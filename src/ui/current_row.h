#pragma once

#include <functional>

class QAbstractItemView;
class QObject;

namespace tavimond {

// Runs the handler, guarded, on a click on an item of the view and whenever the view's
// current row (in a tree: its current node) moves to another one, whatever moved it:
// the mouse, the arrow keys, Page Up or Down, Home, End. While `reloading` returns true
// the program is emptying or refilling the view, and what that does to the current row
// runs nothing; nor does a move to no row at all.
// Tab into a view that had no current row marks its first row and chooses nothing: the
// row is current but not selected. The first key on the mark chooses it (selects it and
// runs the handler) when it does not move to another row: Space, Return, an arrow, Home,
// End, Page Up or Page Down.
void onCurrentRowChange(QAbstractItemView *view, QObject *context, const std::function<void()> &handler,
                        const std::function<bool()> &reloading = {});

} // namespace tavimond
