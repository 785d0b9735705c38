#pragma once

class QUrl;

namespace tavimond {

// Hands a file or a link to the desktop's own program for it. When the desktop opens
// nothing (no program for the file's type, no browser), the user is told which file or
// link it was: raises Error.
void openOnDesktop(const QUrl &url);

} // namespace tavimond
