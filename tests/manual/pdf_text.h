#pragma once

// The text a PDF holds, read from the file as a viewer's search and copy read it: enough
// of the format for what Qt's PDF writer makes, nothing more.

#include <QByteArray>
#include <QStringList>

namespace tavimond::test {

// The text of each page, in the pages' order: the characters of the glyphs its text
// operators show, through their font's ToUnicode map, in the order they are drawn, hidden
// by a clip or not. Empty when the file is not a PDF of that kind.
QStringList pdfPageTexts(const QByteArray &pdf);

} // namespace tavimond::test
