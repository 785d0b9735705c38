#pragma once

#include "../model.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

class Statement;

// A quick deterministic generator (splitmix64) for the figures of one thing at one
// snapshot: the same figures every time they are asked for, cheap enough to make
// afresh for every row of a large repository.
class Dice {
public:
    explicit Dice(quint64 seed) : state_(seed) {}
    quint64 next()
    {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) * 0x1.0p-53; } // [0, 1)
    double between(double low, double high) { return low + (high - low) * uniform(); }
    bool chance(double p) { return uniform() < p; }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 state_;
};

// How large the workload repository is. Tests and benchmarks set it before the
// repository is first used: server.model().state<RepositoryShape>().statements = 20000.
struct RepositoryShape {
    explicit RepositoryShape(Model &) {}
    int days = 14;            // of snapshots before the clock's start
    int intervalMinutes = 60; // between snapshots
    int statements = 40;      // distinct sql_ids in dba_hist_sqlstat
    int instances = 2;        // of the one database; the third and later never restart
};

// The workload repository of the simulated database: one database (one dbid) with two
// instances (more where the shape asks for them), which take a snapshot together at every interval, from `days` before the
// clock's start until the current simulated time. Every dba_hist_ view of the simulated
// instance reads its snapshots from here, so that their snap_ids and times agree.
//
// What the views rely on:
// - snap_ids are shared by the instances: one snap_id, one row per instance;
// - instance 1 missed one snapshot (kMissedSnapshot): it has no row of that snap_id, and
//   its next snapshot's interval covers both periods;
// - instance 2 restarted twice (six days in, and an hour after the clock's start, as the
//   live model has it): the first snapshot after a restart begins at the startup time,
//   and cumulative counters start again from zero there;
// - times are taken a few seconds after the interval's boundary, with milliseconds, as
//   the database's snapshot job does.
class Repository {
public:
    static constexpr qint64 kDbid = 1456781923;
    static constexpr qint64 kFirstSnapId = 41000;
    static constexpr int kMissedSnapshot = 80; // the index instance 1 has no row for

    struct Snapshot {
        qint64 snapId = 0;
        int index = 0; // 0 for the first snapshot of the repository
        int instance = 1;
        QDateTime begin;   // begin_interval_time
        QDateTime end;     // end_interval_time
        QDateTime startup; // startup_time of the instance that took it

        qint64 seconds() const { return begin.msecsTo(end) / 1000; }
    };

    explicit Repository(Model &model);

    static QString databaseName() { return QStringLiteral("TAVIDB"); }
    static QString instanceName(int instance) { return databaseName() + QString::number(instance); }

    const Model &model() const { return model_; }
    int instances() const { return int(firstStartup_.size()); }
    int intervalSeconds() const { return intervalSeconds_; }
    // The boundary snapshot `index` ends at (before the few seconds of taking it).
    QDateTime boundary(int index) const;

    // Every snapshot taken by the model's current time, ordered by snap_id, then instance.
    std::vector<Snapshot> snapshots() const;
    std::optional<Snapshot> snapshot(qint64 snapId, int instance) const;
    // The instance's startup time in force at t.
    QDateTime startupAt(int instance, const QDateTime &t) const;
    // The restarts of an instance (startup times) after the first snapshot.
    const std::vector<QDateTime> &restarts(int instance) const { return restarts_[instance - 1]; }

    // A generator for one thing (salt, thing) at one snapshot of one instance.
    Dice dice(quint64 salt, qint64 thing, int index, int instance) const;

private:
    std::optional<Snapshot> make(int index, int instance) const;
    QDateTime takenAt(int index, int instance) const;

    Model &model_;
    int intervalSeconds_;
    QDateTime first_; // begin of the first interval
    std::vector<QDateTime> firstStartup_;          // by instance - 1
    std::vector<std::vector<QDateTime>> restarts_; // by instance - 1
};

// The snapshot window a report's statement sets on dba_hist_snapshot:
//   begin_interval_time >= sysdate - N
//   begin_interval_time >= to_date('<from>', '<mask>') [and end_interval_time <= to_date('<to>', '<mask>')]
struct SnapshotWindow {
    std::optional<QDateTime> beginFrom; // begin_interval_time >= it
    std::optional<QDateTime> endTo;     // end_interval_time <= it

    bool contains(const Repository::Snapshot &s) const;
};

// Reads the window from the statement, where begin_interval_time (or the column given)
// is compared; nullopt when it is not. A text the database could not read throws its
// error: a number of days that is no number, a date that does not fit its mask.
std::optional<SnapshotWindow> readSnapshotWindow(const Statement &statement, const Model &model,
                                                 const QString &beginColumn = QStringLiteral("begin_interval_time"),
                                                 const QString &endColumn = QStringLiteral("end_interval_time"));

// Microseconds as the database shows them divided by 1000000: "12.345678", "0.5", "3".
QString microsAsSeconds(qint64 micros);

// The error the simulated instance raises for a statement of a known family that it
// cannot read (an edited script that left the shapes it knows).
[[noreturn]] void cannotRead(const QString &what);

} // namespace tavimond::sim
