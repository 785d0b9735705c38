#pragma once

#include <QFile>
#include <QSaveFile>
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

// Writes a file whole or not at all: the bytes go to a temporary file in the same folder,
// which takes the file's place only once all of them are written. Until then, and on any
// failure, the file keeps its previous content (or stays absent) and the temporary file
// is removed. Failures throw Error naming the file and the system's reason.
class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString &path);
    void write(const QByteArray &bytes);
    // Puts the written file in place; without it, nothing changes.
    void commit();

private:
    [[noreturn]] void fail();

    QString path_;
    bool existed_;
    QSaveFile file_;
};

} // namespace tavimond
