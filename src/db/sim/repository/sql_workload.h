#pragma once

#include "repository.h"

#include <QString>
#include <vector>

namespace tavimond::sim {

// The statements the repository recorded (dba_hist_sqlstat), and their figures at each
// snapshot. The live shared pool's statements come first, with their sql_ids and plans,
// then an application's others up to the shape's number.
//
// What the views rely on:
// - one statement (kTwoPlansIndex) changed its plan part-way through the repository:
//   rows of its first plan before the change, of its second after;
// - nightly batch statements run on some days only; a run that lasts past a snapshot
//   gives that snapshot a row of 0 executions and positive elapsed time;
// - statements captured while idle give rows whose every figure is 0;
// - some statements run on one instance only;
// - one report (kLongTextIndex) is a generated text longer than 64 KB.
class SqlWorkload {
public:
    static constexpr int kTwoPlansIndex = 6;
    static constexpr int kLongTextIndex = 11;

    enum class Kind { Query, Change, Report, Batch, Occasional };

    struct Sql {
        QString sqlId;
        QString text;
        std::vector<qint64> plans; // plan hash values; the second takes over at planChange
        int planChange = -1;       // snapshot index from which plans[1] runs
        Kind kind = Kind::Query;
        int instance = 0; // the one instance it runs on; 0: both
        quint32 days = 0; // days of the repository it runs on, a bit each (bit d: day d); ~0u: all
        double executionsPerHour = 0;
        double elapsedPerExecution = 0; // microseconds
        double cpuShare = 0, ioShare = 0, clusterShare = 0, applicationShare = 0, concurrencyShare = 0;
        double rowsPerExecution = 0, readsPerExecution = 0, sortsPerExecution = 0, getsPerExecution = 0;

        qint64 planAt(int index) const { return plans.size() > 1 && index >= planChange ? plans[1] : plans[0]; }
    };

    // One row of dba_hist_sqlstat.
    struct Row {
        const Sql *sql = nullptr;
        qint64 planHashValue = 0;
        qint64 executions = 0;
        qint64 elapsed = 0; // microseconds
        qint64 cpu = 0;
        qint64 ioWait = 0;
        qint64 clusterWait = 0;
        qint64 applicationWait = 0;
        qint64 concurrencyWait = 0;
        qint64 rowsProcessed = 0;
        qint64 diskReads = 0;
        qint64 bufferGets = 0;
        qint64 sorts = 0;
    };

    explicit SqlWorkload(Model &model);

    const std::vector<Sql> &statements() const { return statements_; }
    const Sql *find(const QString &sqlId) const;

    // The rows one snapshot of one instance recorded, in statement order.
    void rowsOf(const Repository::Snapshot &snapshot, std::vector<Row> &out) const;
    // The row of statements()[index] at one snapshot of one instance; false when that
    // snapshot recorded none for it.
    bool rowOf(const Repository::Snapshot &snapshot, size_t index, Row &out) const;

private:
    const Repository &repository_;
    std::vector<Sql> statements_;
};

// A figure of a dba_hist_sqlstat row: the view's column that holds it and the row's field.
struct SqlstatFigure {
    const char *column;
    qint64 SqlWorkload::Row::*field;
};

// The figures, in the view's column order.
inline constexpr SqlstatFigure kSqlstatFigures[] = {
    {"executions_delta", &SqlWorkload::Row::executions},
    {"elapsed_time_delta", &SqlWorkload::Row::elapsed},
    {"cpu_time_delta", &SqlWorkload::Row::cpu},
    {"iowait_delta", &SqlWorkload::Row::ioWait},
    {"clwait_delta", &SqlWorkload::Row::clusterWait},
    {"apwait_delta", &SqlWorkload::Row::applicationWait},
    {"ccwait_delta", &SqlWorkload::Row::concurrencyWait},
    {"rows_processed_delta", &SqlWorkload::Row::rowsProcessed},
    {"disk_reads_delta", &SqlWorkload::Row::diskReads},
    {"buffer_gets_delta", &SqlWorkload::Row::bufferGets},
    {"sorts_delta", &SqlWorkload::Row::sorts},
};

} // namespace tavimond::sim
