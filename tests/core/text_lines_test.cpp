#include "core/text_lines.h"
#include "db/error.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavimond;

TEST(TextLineReader, ReadsLfCrLfAndLoneCrLinesAlikeAndThrowsOnWhatItCannotRead)
{
    QTemporaryDir dir;
    const auto linesOf = [&](const QByteArray &bytes) {
        const QString path = dir.filePath("lines.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        f.close();
        TextLineReader reader(path);
        QStringList out;
        QString line;
        while (reader.next(line))
            out << line;
        return out;
    };
    EXPECT_EQ(linesOf("a\n\nb c \nlast"), (QStringList{"a", QString(), "b c ", "last"}));
    EXPECT_EQ(linesOf("a\r\n\r\nb\r\n"), (QStringList{"a", QString(), "b"}));
    // A CR alone ends a line too (files of old Macs, and of some editors).
    EXPECT_EQ(linesOf("a\r\r\nb\rc\n"), (QStringList{"a", QString(), "b", "c"}));
    EXPECT_EQ(linesOf(""), QStringList());
    EXPECT_EQ(linesOf("J\xc3\xbcrgen\n"), QStringList{QStringLiteral("J\u00fcrgen")});

    QString line;
    EXPECT_THROW(TextLineReader(dir.filePath("missing.txt")).next(line), Error);
    // A folder is no text file.
    EXPECT_THROW(TextLineReader(dir.path()).next(line), Error);
}
