#pragma once

#include <QFile>
#include <QString>

namespace tavimond {

// Reads a text file line by line. A line ends at CR LF, LF or a CR alone, so that files
// written on Windows or on old Macs read the same; the last line needs no line end.
// Bytes are read as UTF-8, or as UTF-16 or UTF-32 when the file says so (a byte-order
// mark, or the zero bytes of UTF-16).
class TextLineReader {
public:
    // Reads the file; throws Error with the system's reason when it cannot.
    explicit TextLineReader(const QString &path);

    // The next line, or false at the end of the file.
    bool next(QString &line);

private:
    QFile file_;
    QString text_;
    qsizetype at_ = 0;
};

} // namespace tavimond
