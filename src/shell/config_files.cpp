#include "config_files.h"

#include "core/text_lines.h"

namespace tavimond {
namespace {

QString valueAfterEquals(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.mid(eq + 1);
}

} // namespace

void readDbIni(const QString &path, DbIni &into)
{
    TextLineReader reader(path);
    QString section;
    QString line;
    while (reader.next(line)) {
        if (line.contains(QLatin1String("ZADERIRODU"))) {
            section = valueAfterEquals(line);
            into.section = section;
            into.sectionNamed = true;
        }
        if (line.contains(QLatin1String("METADATA")))
            into.metafileFolder = valueAfterEquals(line);
        if (line.contains(QLatin1Char('[') + section + QLatin1Char(']'))) {
            into.sectionFound = true;
            // A section without its "_END]" line ends with the file.
            while (reader.next(line) && !line.contains(QLatin1String("_END]")))
                into.connectionPrefix += line;
        }
    }
}

void readSidList(const QString &path, QStringList &into)
{
    TextLineReader reader(path);
    QString line;
    while (reader.next(line))
        into << line;
}

} // namespace tavimond
