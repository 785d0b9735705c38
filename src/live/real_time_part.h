#pragma once

// The tabs of the real-time performance screen are parts of their own. The screen
// composes them and carries a chosen session from the topology to the other tabs.

#include "ui/screen.h"

#include "ui/script_memo.h"

class QWidget;

namespace tavimond {

// The session a row of the session topology names: its SessionIdentity and the two
// parts of its SqlExecKey.
struct ChosenSession {
    QString instance;
    QString sid;
    QString serial;
    QString sqlId;
    QString planHash;
};

// What every part gets: the connection and settings, its tab page (with a vertical
// layout), and the screen's "Script" tab, into which it puts its own script memos.
struct PartContext {
    ScreenContext screen;
    QWidget *tab;
    QWidget *scriptTab;
};

} // namespace tavimond
