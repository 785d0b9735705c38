// dba_hist_tbspc_space_usage: one tablespace's sizes per snapshot over a window (the
// storage browser's growth statistics), and the view for simple queries.
#include "repository.h"
#include "tablespace_usage.h"

#include "../dictionary/tablespace_catalogue.h"
#include "../oracle_dates.h"
#include "../select_eval.h"
#include "../server.h"

#include "../../error.h"

#include <map>

namespace tavimond::sim {
namespace {

const char kSelectList[] = "select s.snap_id,s.start_time,s.end_time,x.tablespace_maxsize*x.block_size/1024/1024,"
                           "x.tablespace_size*x.block_size/1024/1024,x.tablespace_usedsize*x.block_size/1024/1024 "
                           "from";
const char kTimeMask[] = "DD/MON/YYYY HH24:MI:SS";

QString megabytes(qint64 blocks, qint64 blockSize)
{
    return oracleNumber(double(blocks) * double(blockSize) / 1024 / 1024);
}

// The tablespace's usage joined to v$tablespace by number and to dba_tablespaces by
// name, for the snapshots of the window, one row per snap_id: the latest of its
// instances' times cut to the minute, compared as text as max() does.
Result tablespaceGrowth(const Statement &s, Context &ctx)
{
    if (!s.has(QString::fromLatin1(kSelectList)))
        cannotRead(QStringLiteral("the select list"));
    const auto name = s.stringAfter(QStringLiteral("vt.name ="));
    const int afterName = s.after(QStringLiteral("vt.name ="));
    if (!name || s.after(QStringLiteral("and vt.name = dbat.tablespace_name"), afterName + 1) != afterName + 9)
        throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
    if (!s.has(QStringLiteral("dhtsu.tablespace_id = vt.ts#")) || !s.has(QStringLiteral("group by snap_id")) ||
        !s.has(QStringLiteral("order by snap_id")))
        cannotRead(QStringLiteral("the joins"));
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);

    auto out = std::make_shared<Table>(QStringList{QStringLiteral("SNAP_ID"), QStringLiteral("START_TIME"),
                                                   QStringLiteral("END_TIME"),
                                                   QStringLiteral("X.TABLESPACE_MAXSIZE*X.BLOCK_SIZE/1024/1024"),
                                                   QStringLiteral("X.TABLESPACE_SIZE*X.BLOCK_SIZE/1024/1024"),
                                                   QStringLiteral("X.TABLESPACE_USEDSIZE*X.BLOCK_SIZE/1024/1024")});
    const TablespaceCatalogue::Tablespace *ts = ctx.model.state<TablespaceCatalogue>().tablespace(*name);
    if (!ts)
        return out;

    struct Times {
        QString start, end;
        const Repository::Snapshot *first;
    };
    const std::vector<Repository::Snapshot> snapshots = ctx.model.state<Repository>().snapshots();
    std::map<qint64, Times> bySnapId;
    const QString mask = QString::fromLatin1(kTimeMask);
    const auto toMinute = [](const QDateTime &t) {
        return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()), t.timeSpec());
    };
    for (const Repository::Snapshot &snap : snapshots) {
        if (window && !window->contains(snap))
            continue;
        const QString start = toChar(toMinute(snap.begin), mask);
        const QString end = toChar(toMinute(snap.end), mask);
        auto [it, fresh] = bySnapId.try_emplace(snap.snapId, Times{start, end, &snap});
        if (!fresh) {
            it->second.start = std::max(it->second.start, start);
            it->second.end = std::max(it->second.end, end);
        }
    }
    const TablespaceUsage &usage = ctx.model.state<TablespaceUsage>();
    for (const auto &[snapId, times] : bySnapId) {
        const TablespaceUsage::Usage u = usage.at(ts->name, *times.first);
        out->addRow({QString::number(snapId), times.start, times.end, megabytes(u.maxSize, ts->blockSize),
                     megabytes(u.size, ts->blockSize), megabytes(u.used, ts->blockSize)});
    }
    return out;
}

// One row per snapshot id and tablespace, as the database keeps them.
Table usageRows(Context &ctx)
{
    Table t({QStringLiteral("DBID"), QStringLiteral("SNAP_ID"), QStringLiteral("TABLESPACE_ID"),
             QStringLiteral("TABLESPACE_SIZE"), QStringLiteral("TABLESPACE_MAXSIZE"),
             QStringLiteral("TABLESPACE_USEDSIZE"), QStringLiteral("RTIME")});
    const TablespaceUsage &usage = ctx.model.state<TablespaceUsage>();
    const auto &tablespaces = ctx.model.state<TablespaceCatalogue>().tablespaces();
    qint64 previous = -1;
    for (const Repository::Snapshot &snap : ctx.model.state<Repository>().snapshots()) {
        if (snap.snapId == previous)
            continue;
        previous = snap.snapId;
        for (const TablespaceCatalogue::Tablespace &ts : tablespaces) {
            const TablespaceUsage::Usage u = usage.at(ts.name, snap);
            t.addRow({QString::number(Repository::kDbid), QString::number(snap.snapId), QString::number(ts.number),
                      QString::number(u.size), QString::number(u.maxSize), QString::number(u.used),
                      toChar(snap.end, QStringLiteral("MM/DD/YYYY HH24:MI:SS"))});
        }
    }
    return t;
}

} // namespace

void registerTablespaceUsageFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("one tablespace's usage per snapshot"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("from dba_hist_tbspc_space_usage dhtsu")) &&
                              s.has(QStringLiteral("from dba_hist_snapshot")) &&
                              s.has(QStringLiteral("where s.snap_id = x.snap_id"));
                   },
                   tablespaceGrowth});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_tbspc_space_usage"), usageRows));
}

} // namespace tavimond::sim
