#pragma once

#include "repository.h"

#include <QSet>
#include <QString>
#include <vector>

namespace tavimond::sim {

// The instance-wide figures the repository recorded at each snapshot of each instance:
// the time model (dba_hist_sys_time_model, microseconds), the host's figures
// (dba_hist_osstat, hundredths of a second), the PGA (dba_hist_pgastat, bytes), the
// system statistics (dba_hist_sysstat) and the global cache's messages
// (dba_hist_dlm_misc).
//
// What the views rely on:
// - counters are cumulative since the instance's startup: they fall at a restart, and
//   the first snapshot after it holds what was done since the startup;
// - gauges (sessions, PGA, CPU counts, load) hold their value at the snapshot's end;
// - the host of instance 1 reports NUM_VCPUS; the other hosts report NUM_CPU_CORES
//   and no NUM_VCPUS, as Linux hosts do;
// - the database time and CPU of an interval cover what the SQL statistics of that
//   snapshot recorded; the host's busy time covers the database's CPU;
// - the surviving instance reads the redo of an instance that went down (instance
//   recovery) in the interval of the restart;
// - a nightly backup on instance 1 (RMAN CPU, backup reads and writes), from 02:00 to 04:00.
class SystemStatistics {
public:
    enum class View { TimeModel, OsStat, PgaStat, SysStat, DlmMisc };

    struct Statistic {
        View view;
        QString name;
        bool cumulative; // a counter; otherwise a gauge
    };

    // One snapshot of one instance and the values it recorded, by statistic (NaN: not
    // recorded).
    struct Capture {
        Repository::Snapshot snapshot;
        std::vector<double> values;
    };

    explicit SystemStatistics(Model &model);

    static const std::vector<Statistic> &statistics();
    // The statistic's index in statistics() and in a capture's values; -1 when unknown.
    static int indexOf(View view, const QString &name);
    // The view a dba_hist_ table name stands for; false when it is none of them.
    static bool viewOf(const QString &table, View &view);

    // Every snapshot of the repository with its values, ordered as Repository::snapshots().
    std::vector<Capture> captures() const;

    // For fault tests: the snapshot job failed to record this statistic at this snapshot
    // of this instance.
    void omit(const QString &name, qint64 snapId, int instance);

private:
    struct Host {
        int threads; // NUM_CPUS
        int cores;   // NUM_VCPUS or NUM_CPU_CORES
        bool reportsVcpus;
    };
    Host hostOf(int instance) const;
    // What one interval added to the counters, and the gauges at its end.
    void interval(const Repository::Snapshot &s, std::vector<double> &added, std::vector<double> &gauges) const;

    Model &model_;
    const Repository &repository_;
    QSet<QString> omitted_; // "name|snap_id|instance"
};

} // namespace tavimond::sim
