#pragma once

#include "../table.h"

#include <QDateTime>

namespace tavimond::sim::code {

// The views of the dictionary that hold stored code, views, sequences, triggers,
// synonyms, directories and scheduler objects: the objects of those kinds that the
// storage layout lists, with Oracle's column names.
Table views();
Table sequences();
// Every stored line, each ending in its line feed, as the database keeps them.
Table source();
Table triggers();
Table synonyms();
Table directories();
// Scheduler dates as the data-access layer reads a TIMESTAMP WITH TIME ZONE; with
// `nlsDates` the last start and next run date as to_char() writes them without a
// format (the session's timestamp-with-time-zone format).
Table schedulerJobs(const QDateTime &clockStart, bool nlsDates);
Table schedulerPrograms();

// dbms_metadata.get_ddl of those kinds; empty when there is no such object.
QString ddl(const QString &type, const QString &name, const QString &schema, const QDateTime &clockStart);

} // namespace tavimond::sim::code
