#include "active_session_history.h"

#include "sql_workload.h"

#include "../dictionary/storage_layout.h"

#include <algorithm>
#include <cmath>

namespace tavimond::sim {
namespace {

// A wait event and the names of its three parameters (empty: none).
struct WaitEvent {
    const char *name;
    const char *p1text, *p2text, *p3text;
    double minMicros, maxMicros; // how long one wait lasts
};

const WaitEvent kSequentialRead{"db file sequential read", "file#", "block#", "blocks", 300, 15000};
const WaitEvent kScatteredRead{"db file scattered read", "file#", "block#", "blocks", 2000, 40000};
const WaitEvent kDirectRead{"direct path read", "file number", "first dba", "block cnt", 1000, 30000};
const WaitEvent kDirectWriteTemp{"direct path write temp", "file number", "first dba", "block cnt", 1000, 25000};
const WaitEvent kGcCr{"gc cr block 2-way", "file#", "block#", "class#", 300, 3000};
const WaitEvent kGcCurrent{"gc current block 2-way", "file#", "block#", "class#", 300, 3000};
const WaitEvent kRowLock{"enq: TX - row lock contention", "name|mode", "usn<<16 | slot", "sequence", 5e4, 3e6};
const WaitEvent kBufferBusy{"buffer busy waits", "file#", "block#", "class#", 500, 20000};
const WaitEvent kChainsLatch{"latch: cache buffers chains", "address", "number", "tries", 100, 5000};
const WaitEvent kLogFileSync{"log file sync", "buffer#", "sync scn", "", 500, 20000};

// How many sessions run a statement of a kind at once.
int sessionsOf(SqlWorkload::Kind kind)
{
    switch (kind) {
    case SqlWorkload::Kind::Query:
        return 14;
    case SqlWorkload::Kind::Change:
        return 9;
    case SqlWorkload::Kind::Report:
        return 3;
    case SqlWorkload::Kind::Batch:
        return 1;
    case SqlWorkload::Kind::Occasional:
        return 2;
    }
    return 1;
}

quint64 mix(quint64 a, quint64 b)
{
    Dice d(a * 0x9E3779B97F4A7C15ULL ^ b);
    return d.next();
}

} // namespace

ActiveSessionHistory::ActiveSessionHistory(Model &model)
    : repository_(model.state<Repository>()), workload_(model.state<SqlWorkload>())
{
    for (const StorageLayout::Datafile &f : model.state<StorageLayout>().files())
        if (f.tablespace.startsWith(QLatin1String("APP_")))
            dataFiles_.push_back(f.fileId);
    if (dataFiles_.empty())
        dataFiles_.push_back(4);
}

void ActiveSessionHistory::samplesOf(const Repository::Snapshot &snap, size_t index, std::vector<Sample> &out) const
{
    SqlWorkload::Row row;
    if (!workload_.rowOf(snap, index, row) || row.elapsed <= 0)
        return;
    const SqlWorkload::Sql &sql = *row.sql;
    Dice dice = repository_.dice(0xa54, qint64(index), snap.index, snap.instance);
    // One sample for each ten seconds of the statement's time, the rest by chance.
    const double expected = double(row.elapsed) / 10e6;
    const int count = int(expected) + (dice.chance(expected - std::floor(expected)) ? 1 : 0);
    if (count == 0)
        return;

    // The shares of the statement's time, CPU first; what is left is its own kind's wait.
    const double elapsed = double(row.elapsed);
    const double shares[] = {double(row.cpu) / elapsed, double(row.ioWait) / elapsed,
                             double(row.clusterWait) / elapsed, double(row.applicationWait) / elapsed,
                             double(row.concurrencyWait) / elapsed};
    const qint64 seconds = std::max<qint64>(1, snap.seconds());
    const int sessions = sessionsOf(sql.kind);
    const quint64 who = mix(quint64(index) + 1, quint64(snap.instance));
    for (int k = 0; k < count; ++k) {
        Sample s;
        const qint64 at = qint64((double(k) + dice.uniform()) * double(seconds) / count * 1000.0);
        s.time = snap.begin.addMSecs(std::min(at, seconds * 1000 - 1));
        const int n = dice.below(sessions);
        s.sessionId = 20 + int(mix(who, quint64(n)) % 980);
        s.serial = 1 + int(mix(who ^ 0x5e, quint64(n)) % 64999);
        s.planHashValue = row.planHashValue;

        double u = dice.uniform();
        int share = 0;
        while (share < int(std::size(shares)) && u >= shares[share])
            u -= shares[size_t(share++)];
        const bool scans = sql.kind == SqlWorkload::Kind::Report || sql.kind == SqlWorkload::Kind::Occasional;
        const WaitEvent *event = nullptr;
        switch (share) {
        case 0:
            break; // on CPU
        case 1:
            event = sql.kind == SqlWorkload::Kind::Batch ? (dice.chance(0.7) ? &kDirectRead : &kDirectWriteTemp)
                    : scans ? (dice.chance(0.6) ? &kScatteredRead : &kDirectRead)
                            : &kSequentialRead;
            break;
        case 2:
            event = dice.chance(0.6) ? &kGcCr : &kGcCurrent;
            break;
        case 3:
            event = &kRowLock;
            break;
        case 4:
            event = dice.chance(0.7) ? &kBufferBusy : &kChainsLatch;
            break;
        default:
            event = sql.kind == SqlWorkload::Kind::Change ? &kLogFileSync : &kSequentialRead;
            break;
        }
        if (event) {
            s.event = QLatin1String(event->name);
            s.p1text = QLatin1String(event->p1text);
            s.p2text = QLatin1String(event->p2text);
            s.p3text = QLatin1String(event->p3text);
            const int file = dataFiles_[size_t(dice.below(int(dataFiles_.size())))];
            const qint64 block = 128 + dice.below(60000);
            if (event == &kRowLock) {
                s.p1 = 1415053318; // TX, exclusive
                s.p2 = (qint64(2 + dice.below(8)) << 16) | dice.below(40);
                s.p3 = 1000 + dice.below(90000);
            } else if (event == &kChainsLatch) {
                s.p1 = 0x7000000A0000000LL + qint64(dice.below(1 << 20)) * 0x100;
                s.p2 = 228;
                s.p3 = dice.below(3);
            } else if (event == &kLogFileSync) {
                s.p1 = 1000 + dice.below(9000);
                s.p2 = 84000000 + qint64(snap.index) * 3000 + dice.below(3000);
            } else if (event == &kDirectWriteTemp) {
                s.p1 = 201;
                s.p2 = 128 + dice.below(20000);
                s.p3 = 31;
            } else {
                s.p1 = file;
                s.p2 = block;
                s.p3 = event == &kSequentialRead ? 1
                       : event == &kGcCr || event == &kGcCurrent || event == &kBufferBusy
                           ? 1
                           : qint64(8) << dice.below(5);
            }
            // Most samples catch a wait under way; one that ended at the sample has its time.
            if (dice.chance(0.3))
                s.timeWaited = qint64(dice.between(event->minMicros, event->maxMicros));
        }
        out.push_back(std::move(s));
    }
}

} // namespace tavimond::sim
