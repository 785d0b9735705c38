#pragma once

#include <functional>
#include <utility>

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

// The error box and message box as modal Qt dialogs.
void installMessageBoxes();

} // namespace tavimond
