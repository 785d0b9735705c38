#pragma once

#include "repository.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace tavimond::sim {

class SqlWorkload;

// The active session history the repository keeps (dba_hist_active_sess_history): one
// in-memory sample in ten, so each row stands for about ten seconds that a session of
// a statement spent in the database, on CPU or waiting. A statement's samples follow
// its figures in dba_hist_sqlstat: as many as its elapsed time in the snapshot gives,
// spread over its sessions, its plan of that snapshot, and its waits in the shares of
// its CPU, I/O, cluster, application and concurrency time.
//
// What the views rely on:
// - a sample on CPU has no event and no parameter texts (NULL), and its parameters 0;
// - time_waited is 0 for most samples: only a sample taken as its wait ended has it;
// - sample times lie inside their snapshot's interval, to the millisecond;
// - session ids repeat across instances; a session keeps its serial# within an instance.
class ActiveSessionHistory {
public:
    struct Sample {
        QDateTime time;
        int sessionId = 0;
        int serial = 0;
        qint64 planHashValue = 0;
        QString event; // empty: on CPU
        QString p1text, p2text, p3text;
        qint64 p1 = 0, p2 = 0, p3 = 0;
        qint64 timeWaited = 0; // microseconds
    };

    explicit ActiveSessionHistory(Model &model);

    // The samples of the workload's statement `index` taken during one snapshot of one
    // instance, in time order.
    void samplesOf(const Repository::Snapshot &snapshot, size_t index, std::vector<Sample> &out) const;

private:
    const Repository &repository_;
    const SqlWorkload &workload_;
    std::vector<int> dataFiles_; // the application's datafiles
};

} // namespace tavimond::sim
