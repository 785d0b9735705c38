#pragma once

#include <QFile>
#include <QString>

namespace tavimond {

// Reads a text file line by line. A line ends at LF, and one CR before the LF is
// dropped, so that files written on Windows read the same; the last line needs no LF.
// Bytes are read as UTF-8.
class TextLineReader {
public:
    // Opens the file; throws Error with the system's reason when it cannot.
    explicit TextLineReader(const QString &path);

    // The next line, or false at the end of the file. Throws Error when reading fails.
    bool next(QString &line);

private:
    QFile file_;
};

} // namespace tavimond
