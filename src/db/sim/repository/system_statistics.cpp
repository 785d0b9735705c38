#include "system_statistics.h"

#include "sql_workload.h"

#include "../dictionary/storage_layout.h"

#include <cmath>
#include <limits>

namespace tavimond::sim {
namespace {

using View = SystemStatistics::View;

// The statistics, in the order of statistics().
enum Stat : int {
    DbTime,
    DbCpu,
    BackgroundCpu,
    RmanCpu,
    BusyTime,
    UserTime,
    SysTime,
    NumCpus,
    NumVcpus,
    NumCpuCores,
    Load,
    PgaAllocated,
    LogonsCurrent,
    ExecuteCount,
    LogicalReads,
    PhysicalReads,
    PhysicalWrites,
    ReadIo,
    ReadTotalIo,
    ReadTotalMulti,
    ReadBytes,
    ReadTotalBytes,
    WriteIo,
    WriteTotalIo,
    WriteTotalMulti,
    WriteBytes,
    WriteTotalBytes,
    RedoWrites,
    RedoSize,
    RedoBlocksWritten,
    UndoBlockWrites,
    RecoveryReads,
    BytesSent,
    BytesReceived,
    GcCrReceived,
    GcCurrentReceived,
    GcCrServed,
    GcCurrentServed,
    GcsSent,
    GesSent,
    GcsReceived,
    GesReceived,
    kStatCount
};

// Busy and quiet hours of an order-entry application's day, 1 at the peak.
double dayCurve(int hour)
{
    static const double kCurve[24] = {0.22, 0.18, 0.16, 0.15, 0.17, 0.24, 0.4,  0.66, 0.88, 0.97, 1.0,  0.93,
                                      0.8,  0.9,  0.98, 0.95, 0.86, 0.7,  0.52, 0.44, 0.38, 0.33, 0.28, 0.25};
    return kCurve[((hour % 24) + 24) % 24];
}

double whole(double v)
{
    return std::round(std::max(0.0, v));
}

constexpr double kNotRecorded = std::numeric_limits<double>::quiet_NaN();

} // namespace

SystemStatistics::SystemStatistics(Model &model) : model_(model), repository_(model.state<Repository>())
{}

const std::vector<SystemStatistics::Statistic> &SystemStatistics::statistics()
{
    static const std::vector<Statistic> kStatistics = [] {
        auto s = [](View v, const char *name, bool cumulative) {
            return Statistic{v, QString::fromLatin1(name), cumulative};
        };
        std::vector<Statistic> out{
            s(View::TimeModel, "DB time", true),
            s(View::TimeModel, "DB CPU", true),
            s(View::TimeModel, "background cpu time", true),
            s(View::TimeModel, "RMAN cpu time (backup/restore)", true),
            s(View::OsStat, "BUSY_TIME", true),
            s(View::OsStat, "USER_TIME", true),
            s(View::OsStat, "SYS_TIME", true),
            s(View::OsStat, "NUM_CPUS", false),
            s(View::OsStat, "NUM_VCPUS", false),
            s(View::OsStat, "NUM_CPU_CORES", false),
            s(View::OsStat, "LOAD", false),
            s(View::PgaStat, "total PGA allocated", false),
            s(View::SysStat, "logons current", false),
            s(View::SysStat, "execute count", true),
            s(View::SysStat, "session logical reads", true),
            s(View::SysStat, "physical reads", true),
            s(View::SysStat, "physical writes", true),
            s(View::SysStat, "physical read IO requests", true),
            s(View::SysStat, "physical read total IO requests", true),
            s(View::SysStat, "physical read total multi block requests", true),
            s(View::SysStat, "physical read bytes", true),
            s(View::SysStat, "physical read total bytes", true),
            s(View::SysStat, "physical write IO requests", true),
            s(View::SysStat, "physical write total IO requests", true),
            s(View::SysStat, "physical write total multi block requests", true),
            s(View::SysStat, "physical write bytes", true),
            s(View::SysStat, "physical write total bytes", true),
            s(View::SysStat, "redo writes", true),
            s(View::SysStat, "redo size", true),
            s(View::SysStat, "redo blocks written", true),
            s(View::SysStat, "DBWR undo block writes", true),
            s(View::SysStat, "redo blocks read for recovery", true),
            s(View::SysStat, "bytes sent via SQL*Net to client", true),
            s(View::SysStat, "bytes received via SQL*Net from client", true),
            s(View::SysStat, "gc cr blocks received", true),
            s(View::SysStat, "gc current blocks received", true),
            s(View::SysStat, "gc cr blocks served", true),
            s(View::SysStat, "gc current blocks served", true),
            s(View::SysStat, "gcs messages sent", true),
            s(View::SysStat, "ges messages sent", true),
            s(View::DlmMisc, "gcs msgs received", true),
            s(View::DlmMisc, "ges msgs received", true),
        };
        Q_ASSERT(out.size() == size_t(kStatCount));
        return out;
    }();
    return kStatistics;
}

int SystemStatistics::indexOf(View view, const QString &name)
{
    const std::vector<Statistic> &all = statistics();
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i].view == view && all[i].name == name)
            return int(i);
    return -1;
}

bool SystemStatistics::viewOf(const QString &table, View &view)
{
    static const std::pair<const char *, View> kTables[] = {{"dba_hist_sys_time_model", View::TimeModel},
                                                            {"dba_hist_osstat", View::OsStat},
                                                            {"dba_hist_pgastat", View::PgaStat},
                                                            {"dba_hist_sysstat", View::SysStat},
                                                            {"dba_hist_dlm_misc", View::DlmMisc}};
    for (const auto &[name, v] : kTables)
        if (table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            view = v;
            return true;
        }
    return false;
}

void SystemStatistics::omit(const QString &name, qint64 snapId, int instance)
{
    omitted_.insert(QStringLiteral("%1|%2|%3").arg(name).arg(snapId).arg(instance));
}

SystemStatistics::Host SystemStatistics::hostOf(int instance) const
{
    // Instance 1 runs on a larger host of another platform than the others.
    if (instance == 1)
        return {32, 16, true};
    return instance % 2 == 0 ? Host{24, 12, false} : Host{32, 16, false};
}

void SystemStatistics::interval(const Repository::Snapshot &s, std::vector<double> &added,
                                std::vector<double> &gauges) const
{
    added.assign(size_t(kStatCount), 0.0);
    gauges.assign(size_t(kStatCount), 0.0);
    Dice dice = repository_.dice(0x5157a75, 0, s.index, s.instance);
    const double secs = std::max(1.0, double(s.begin.msecsTo(s.end)) / 1000.0);
    const QDateTime covered = s.end.addSecs(-60);
    const int hour = covered.time().hour();
    const bool weekend = covered.date().dayOfWeek() >= 6;
    static const double kInstanceFactor[] = {1.0, 0.82, 0.9, 0.74};
    const double load =
        dayCurve(hour) * (weekend ? 0.55 : 1.0) * kInstanceFactor[(s.instance - 1) % 4] * dice.between(0.85, 1.15);
    auto noise = [&] { return dice.between(0.9, 1.1); };
    auto set = [&](Stat st, double v) { added[size_t(st)] = whole(v); };

    // The database's time covers what its statements recorded.
    double sqlElapsed = 0, sqlCpu = 0;
    std::vector<SqlWorkload::Row> rows;
    model_.state<SqlWorkload>().rowsOf(s, rows);
    for (const SqlWorkload::Row &r : rows) {
        sqlElapsed += double(r.elapsed);
        sqlCpu += double(r.cpu);
    }
    const double dbTime = std::max((0.6 + 9.0 * load) * secs * 1e6, sqlElapsed * 1.08);
    const double dbCpu = std::min(dbTime, std::max(dbTime * dice.between(0.5, 0.68), sqlCpu * 1.04));
    const bool backup = s.instance == 1 && (hour == 2 || hour == 3);
    const double rmanCpu = backup ? secs * dice.between(0.6, 0.9) * 1e6 : 0.0;
    const double backgroundCpu = secs * (0.04 + 0.08 * load) * noise() * 1e6 + rmanCpu;
    set(DbTime, dbTime);
    set(DbCpu, dbCpu);
    set(BackgroundCpu, backgroundCpu);
    set(RmanCpu, rmanCpu);

    const Host host = hostOf(s.instance);
    const double busy = std::min(host.threads * secs * 100 * 0.97,
                                 ((dbCpu + backgroundCpu) / 1e6 * dice.between(1.15, 1.35) + secs * 0.3) * 100);
    set(BusyTime, busy);
    set(UserTime, busy * dice.between(0.78, 0.86));
    set(SysTime, busy * dice.between(0.08, 0.13));
    gauges[NumCpus] = host.threads;
    gauges[NumVcpus] = host.cores;
    gauges[NumCpuCores] = host.cores;
    gauges[Load] = std::round((dbTime / 1e6 / secs * dice.between(0.6, 0.8) + 0.2) * 100) / 100;

    const double sessions = whole(45 + 190 * load * noise());
    gauges[LogonsCurrent] = sessions;
    gauges[PgaAllocated] = whole((160 + sessions * dice.between(2.2, 4.8) + (backup ? 300 : 0)) * 1048576);

    set(ExecuteCount, 2300 * load * secs * noise());
    set(LogicalReads, 62000 * load * secs * noise());

    // Backups read and write a megabyte a request; the control file 16 KB.
    const double backupReads = backup ? secs * dice.between(180, 260) : 0.0;
    const double backupWrites = backupReads * dice.between(0.25, 0.35);
    const double readIo = whole(600 * load * secs * noise());
    const double blocksRead = whole(readIo * dice.between(1.3, 1.8));
    set(ReadIo, readIo);
    set(PhysicalReads, blocksRead);
    set(ReadTotalIo, readIo + 12 * secs + backupReads);
    set(ReadTotalMulti, readIo * dice.between(0.05, 0.1) + backupReads);
    set(ReadBytes, blocksRead * StorageLayout::kBlockSize);
    set(ReadTotalBytes, blocksRead * StorageLayout::kBlockSize + 12 * secs * 16384 + backupReads * 1048576);

    const double redoSize = whole(750000 * load * secs * noise());
    const double redoWrites = whole((28 * load + 1.5) * secs);
    const double redoBlocks = whole(redoSize / 512 * dice.between(1.02, 1.08) + redoWrites * 0.5);
    set(RedoSize, redoSize);
    set(RedoWrites, redoWrites);
    set(RedoBlocksWritten, redoBlocks);

    const double writeIo = whole(90 * load * secs * noise());
    const double blocksWritten = whole(writeIo * dice.between(1.2, 1.6));
    set(WriteIo, writeIo);
    set(PhysicalWrites, blocksWritten);
    set(WriteTotalIo, writeIo + redoWrites + 6 * secs + backupWrites);
    set(WriteTotalMulti, writeIo * 0.15 + redoWrites * dice.between(0.3, 0.5) + backupWrites);
    set(WriteBytes, blocksWritten * StorageLayout::kBlockSize);
    set(WriteTotalBytes,
        blocksWritten * StorageLayout::kBlockSize + redoBlocks * 512 + 6 * secs * 16384 + backupWrites * 1048576);
    set(UndoBlockWrites, blocksWritten * dice.between(0.08, 0.15));

    // The lowest surviving instance recovers an instance that went down in this interval.
    double recovery = 0;
    for (int other = 1; other <= repository_.instances(); ++other) {
        if (other == s.instance)
            continue;
        const int recoverer = other == 1 ? 2 : 1;
        for (const QDateTime &r : repository_.restarts(other))
            if (recoverer == s.instance && r > s.begin && r <= s.end)
                recovery += dice.between(30000, 90000);
    }
    set(RecoveryReads, recovery);

    set(BytesSent, 2.5e6 * load * secs * noise());
    set(BytesReceived, 1.8e6 * load * secs * noise());

    // The global cache only works between instances.
    const double cluster = repository_.instances() > 1 ? load * secs : 0.0;
    set(GcCrReceived, 210 * cluster * noise());
    set(GcCurrentReceived, 130 * cluster * noise());
    set(GcCrServed, 200 * cluster * noise());
    set(GcCurrentServed, 125 * cluster * noise());
    const double gcsSent = whole(1700 * cluster * noise());
    const double gesSent = whole(330 * cluster * noise());
    set(GcsSent, gcsSent);
    set(GesSent, gesSent);
    set(GcsReceived, gcsSent * dice.between(0.92, 1.08));
    set(GesReceived, gesSent * dice.between(0.92, 1.08));
}

std::vector<SystemStatistics::Capture> SystemStatistics::captures() const
{
    const std::vector<Statistic> &all = statistics();
    const std::vector<Repository::Snapshot> snapshots = repository_.snapshots();
    std::vector<Capture> out;
    out.reserve(snapshots.size());
    // Per instance: the counters since its startup.
    std::vector<std::vector<double>> running(static_cast<size_t>(repository_.instances()));
    std::vector<QDateTime> startup(static_cast<size_t>(repository_.instances()));
    std::vector<double> added, gauges;
    for (const Repository::Snapshot &s : snapshots) {
        interval(s, added, gauges);
        std::vector<double> &counters = running[size_t(s.instance - 1)];
        QDateTime &since = startup[size_t(s.instance - 1)];
        if (counters.empty() || since != s.startup) {
            // A new life of the instance: what it did from its startup to this
            // snapshot's beginning is counted at the same pace as this interval.
            const double before =
                std::max(0.0, double(s.startup.msecsTo(s.begin))) / std::max(1.0, double(s.begin.msecsTo(s.end)));
            counters.assign(all.size(), 0.0);
            for (size_t i = 0; i < all.size(); ++i)
                counters[i] = whole(added[i] * before * 0.9);
            since = s.startup;
        }
        Capture c{s, std::vector<double>(all.size())};
        const Host host = hostOf(s.instance);
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].cumulative) {
                counters[i] += added[i];
                c.values[i] = counters[i];
            } else {
                c.values[i] = gauges[i];
            }
        }
        c.values[host.reportsVcpus ? NumCpuCores : NumVcpus] = kNotRecorded;
        if (!omitted_.isEmpty())
            for (size_t i = 0; i < all.size(); ++i)
                if (omitted_.contains(QStringLiteral("%1|%2|%3").arg(all[i].name).arg(s.snapId).arg(s.instance)))
                    c.values[i] = kNotRecorded;
        out.push_back(std::move(c));
    }
    return out;
}

} // namespace tavimond::sim
