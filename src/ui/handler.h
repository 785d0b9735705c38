#pragma once

#include <QString>

#include <functional>
#include <utility>

class QComboBox;
class QObject;

namespace tavimond {

// Runs one handler. An exception ends it: its message goes to the application's
// error box and what the handler changed before stays. Nothing crosses the event loop.
void runGuarded(const std::function<void()> &handler);

// Wraps a handler for connect(): the wrapper takes the signal's arguments that the
// handler takes (none, or the leading ones) and runs it guarded.
template <typename F>
auto guarded(F f)
{
    return [f = std::move(f)](auto &&...args) -> decltype(f(args...), void()) { runGuarded([&] { f(args...); }); };
}

// Runs a handler, guarded, on every change the user makes to an editable combo box's
// text: an item picked, a character typed, and the rest of an item filled in by the
// inline completion as the user types (once the typed prefix has run it, as soon as
// control returns to the event loop). Changes made from code (filling, clearing,
// selecting an item) do not run it.
void onUserTextChange(QComboBox *combo, QObject *context, const std::function<void()> &handler);

// Runs one timer tick. An exception ends it: its message goes to the timer's own error
// box, which does not block (see TickErrorBox), so the next tick runs on time.
void runGuardedTick(const QString &timer, const std::function<void()> &tick);

// Wraps a timer's tick for connect(), as guarded() wraps a handler.
template <typename F>
auto guardedTick(const QString &timer, F f)
{
    return [timer, f = std::move(f)] { runGuardedTick(timer, [&] { f(); }); };
}

// The error box and message box as modal Qt dialogs; ticks' errors in TickErrorBoxes.
void installMessageBoxes();

} // namespace tavimond
