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
// of the statement, or per day and plan. The sql_id goes in as a literal, its quotes
// doubled.
QStringList sqlStatisticsLines(const QString &sqlId, SqlStatisticsForm form, const QStringList &windowLines);

// What the script memo holds before the first retrieval: the statement for 'xxx' over
// the last day, keeping only the repository's rows with executions, times to the minute.
QStringList sqlStatisticsStarterLines();

// The wait-event parameters a user can add to the event, each after a ':'.
struct WaitEventParameters {
    bool p1text = false, p1 = false, p2text = false, p2 = false, p3text = false, p3 = false;
};

// The active session history of one statement over the window: one row per session,
// plan and event (refined by the chosen parameters) with the first and last sample
// time, the samples and the seconds waited. The sql_id goes in as a literal, its
// quotes doubled.
QStringList sqlWaitEventLines(const QString &sqlId, WaitEventParameters parameters, const QStringList &windowLines);

} // namespace tavimond
