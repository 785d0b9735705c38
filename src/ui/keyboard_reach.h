#pragma once

class QPlainTextEdit;
class QWidget;

namespace tavimond {

// Keeps the children of `place` that a sibling in front of them covers whole out of
// reach: they are disabled, so that neither Tab, a mnemonic nor the mouse gets to what
// the user cannot see, and enabled again as soon as nothing covers them. Children added
// later are watched as well. Controls that share one place this way (a grid and the
// chart laid over it, a panel over the boxes it hides) need nothing else.
void keepCoveredOutOfReach(QWidget &place);

// An editable memo keeps Tab as a character, as a text editor does: Ctrl+Tab and
// Ctrl+Shift+Tab move the focus on and back from it instead.
void leaveOnCtrlTab(QPlainTextEdit &memo);

} // namespace tavimond
