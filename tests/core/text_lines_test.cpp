#include "core/text_lines.h"
#include "db/error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

QStringList linesOf(const QString &path)
{
    TextLineReader reader(path);
    QStringList out;
    QString line;
    while (reader.next(line))
        out << line;
    return out;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

} // namespace

TEST(TextLineReader, ReadsLfCrLfAndLoneCrLinesAlike)
{
    QTemporaryDir dir;
    EXPECT_EQ(linesOf(writeFile(dir, QStringLiteral("unix.txt"), "a\n\nb c \nlast")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b c "), QStringLiteral("last")}));
    EXPECT_EQ(linesOf(writeFile(dir, QStringLiteral("dos.txt"), "a\r\n\r\nb\r\n")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    // A CR alone ends a line too (files of old Macs, and of some editors).
    EXPECT_EQ(linesOf(writeFile(dir, QStringLiteral("cr.txt"), "a\r\r\nb\rc\n")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(linesOf(writeFile(dir, QStringLiteral("empty.txt"), "")), QStringList());
    EXPECT_EQ(linesOf(writeFile(dir, QStringLiteral("utf8.txt"), "J\xc3\xbcrgen\n")),
              QStringList{QStringLiteral("J\u00fcrgen")});
}

TEST(TextLineReader, AFileThatCannotBeReadThrows)
{
    QTemporaryDir dir;
    EXPECT_THROW(linesOf(dir.filePath(QStringLiteral("missing.txt"))), Error);
    // A folder is no text file.
    EXPECT_THROW(linesOf(dir.path()), Error);
}
