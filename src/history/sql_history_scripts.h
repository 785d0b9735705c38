#pragma once

#include <QString>
#include <QStringList>

namespace tavimond {

// How the statistics statement of one statement (sql_id) is built.
struct SqlStatisticsForm {
    // The select list of a list retrieval: no aliases and no nvl on the first figures.
    bool listSelect = false;
    // One row per day and plan instead of one per snapshot and plan.
    bool dailyRollup = false;
};

// The statistics statement: one row per snapshot of the window (windowLines) and plan
// of the statement, or per day and plan. The sql_id goes in as typed.
QStringList sqlStatisticsLines(const QString &sqlId, SqlStatisticsForm form, const QStringList &windowLines);

// What the script memo holds before the first retrieval: the statement for 'xxx' over
// the last day, keeping only the repository's rows with executions, times to the minute.
QStringList sqlStatisticsStarterLines();

} // namespace tavimond
