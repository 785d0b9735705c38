#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavimond {

// What start-up takes from db.ini.
struct DbIni {
    // The lines of the connection section, joined with nothing between them.
    QString connectionPrefix;
    // The value of the METADATA line read last, if there was one.
    std::optional<QString> metafileFolder;
    // The section named last (by the line holding "ZADERIRODU"), and whether a line
    // "[<section>]" was found after it.
    QString section;
    bool sectionNamed = false;
    bool sectionFound = false;
};

// Reads db.ini line by line. Lines are matched by case-sensitive substring, in this
// order: "ZADERIRODU" names the section, "METADATA" gives the metafile folder (each the
// text after the first "=", or the whole line without one), and "[<section>]" starts
// the connection section, whose lines up to the first one holding "_END]" are appended
// to the prefix. The key line must come before its section. Throws Error when the file
// cannot be opened or read; what was read until then stays in `into`.
void readDbIni(const QString &path, DbIni &into);

// Reads the service names, one a line (empty lines too), appending them to `into`.
// Throws Error when the file cannot be opened or read; the names read stay in `into`.
void readSidList(const QString &path, QStringList &into);

} // namespace tavimond
