// dba_hist_seg_stat summed per snapshot, or per day, for the segments a dba_objects
// block picks (the segment statistics report), and the plain view for simple queries.
#include "repository.h"
#include "segment_activity.h"

#include "../oracle_dates.h"
#include "../server.h"
#include "../../error.h"
#include "../../timestamp_text.h"

#include <array>
#include <map>

namespace tavimond::sim {
namespace {

using Sums = std::array<qint64, 7>;

Sums sumsOf(const SegmentActivity::Deltas &d)
{
    return {d.physicalReads, d.physicalReadsDirect, d.physicalWrites, d.physicalWritesDirect,
            d.logicalReads,  d.bufferBusyWaits,     d.rowLockWaits};
}

void add(Sums &to, const Sums &from)
{
    for (size_t i = 0; i < to.size(); ++i)
        to[i] += from[i];
}

// The conditions of the block "from dba_objects where ..." up to its closing
// parenthesis: column = 'text', column is [not] null, joined by and. A column without a
// condition takes any value.
struct ObjectFilter {
    struct Condition {
        QString column;
        enum { Equal, IsNull, IsNotNull } test = Equal;
        QString value;
    };
    std::vector<Condition> conditions;

    bool matches(const StorageLayout::DbObject &o) const
    {
        for (const Condition &c : conditions) {
            const QString &v = c.column == QLatin1String("owner")         ? o.owner
                               : c.column == QLatin1String("object_name") ? o.name
                               : c.column == QLatin1String("object_type") ? o.type
                                                                          : o.subobject;
            switch (c.test) {
            case Condition::Equal:
                // '' is NULL, which equals nothing.
                if (v.isEmpty() || c.value.isEmpty() || v != c.value)
                    return false;
                break;
            case Condition::IsNull:
                if (!v.isEmpty())
                    return false;
                break;
            case Condition::IsNotNull:
                if (v.isEmpty())
                    return false;
                break;
            }
        }
        return true;
    }
};

ObjectFilter readObjectFilter(const Statement &s)
{
    const std::vector<Token> &t = s.tokens();
    int i = s.after(QStringLiteral("from dba_objects where"));
    if (i < 0)
        cannotRead(QStringLiteral("the segment's conditions"));
    auto is = [&](int k, const char *text) { return k < int(t.size()) && t[size_t(k)].text == QLatin1String(text); };
    ObjectFilter f;
    for (;;) {
        if (i >= int(t.size()) || t[size_t(i)].kind != Token::Word)
            cannotRead(QStringLiteral("the segment's conditions"));
        ObjectFilter::Condition c;
        c.column = t[size_t(i)].text;
        if (c.column != QLatin1String("owner") && c.column != QLatin1String("object_name") &&
            c.column != QLatin1String("object_type") && c.column != QLatin1String("subobject_name"))
            cannotRead(QStringLiteral("the segment's conditions"));
        ++i;
        if (is(i, "=") && i + 1 < int(t.size()) && t[size_t(i + 1)].kind == Token::String) {
            c.value = t[size_t(i + 1)].value;
            i += 2;
        } else if (is(i, "is") && is(i + 1, "null")) {
            c.test = ObjectFilter::Condition::IsNull;
            i += 2;
        } else if (is(i, "is") && is(i + 1, "not") && is(i + 2, "null")) {
            c.test = ObjectFilter::Condition::IsNotNull;
            i += 3;
        } else {
            cannotRead(QStringLiteral("the segment's conditions"));
        }
        f.conditions.push_back(c);
        if (is(i, ")"))
            return f;
        if (!is(i, "and"))
            cannotRead(QStringLiteral("the segment's conditions"));
        ++i;
    }
}

QString objname(const StorageLayout::DbObject &o)
{
    return o.owner + QLatin1Char(':') + o.name + QLatin1Char(':') + o.subobject;
}

Result segmentStatistics(const Statement &s, Context &ctx)
{
    if (!s.has(QStringLiteral("o.owner||':'||o.object_name||':'||o.subobject_name as objname")) ||
        !s.has(QStringLiteral("where s.snap_id = x.snap_id and x.obj# = o.object_id")) ||
        !s.has(QStringLiteral("group by s.snap_id,s.start_time, s.end_time")))
        cannotRead(QStringLiteral("the statement's joins"));
    const bool daily = s.has(QStringLiteral("group by trunc(to_date(sx.start_time,"));
    const ObjectFilter filter = readObjectFilter(s);
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);
    const SegmentActivity &activity = ctx.model.state<SegmentActivity>();

    std::vector<const StorageLayout::DbObject *> objects;
    for (const StorageLayout::DbObject &o : activity.layout().objects())
        if (filter.matches(o))
            objects.push_back(&o);

    // The snapshot ids of the window, each with the latest of its instances' times cut
    // to the minute, compared as the texts they are.
    struct Times {
        QString start, end;
    };
    std::map<qint64, Times> inWindow;
    const std::vector<Repository::Snapshot> snapshots = activity.repository().snapshots();
    const QString mask = QStringLiteral("DD/MON/YYYY HH24:MI:SS");
    auto minute = [](const QDateTime &t) { return t.addSecs(-t.time().second()).addMSecs(-t.time().msec()); };
    for (const Repository::Snapshot &snap : snapshots) {
        if (window && !window->contains(snap))
            continue;
        Times &times = inWindow[snap.snapId];
        times.start = std::max(times.start, toChar(minute(snap.begin), mask));
        times.end = std::max(times.end, toChar(minute(snap.end), mask));
    }
    // Every instance's rows of those ids, summed per id and segment.
    std::map<std::pair<qint64, QString>, Sums> perSnapshot;
    for (const Repository::Snapshot &snap : snapshots) {
        if (!inWindow.count(snap.snapId))
            continue;
        for (const StorageLayout::DbObject *o : objects)
            if (const auto d = activity.deltasOf(*o, snap))
                add(perSnapshot[{snap.snapId, objname(*o)}], sumsOf(*d));
    }

    auto table = std::make_shared<Table>(QStringList{
        QStringLiteral("SNAP_ID"), QStringLiteral("START_TIME"), QStringLiteral("END_TIME"), QStringLiteral("OBJNAME"),
        QStringLiteral("PHYR"), QStringLiteral("PHYRD"), QStringLiteral("PHYW"), QStringLiteral("PHYWD"),
        QStringLiteral("LGR"), QStringLiteral("BBW"), QStringLiteral("RLW")});
    auto addRow = [&](const QStringList &lead, const Sums &sums) {
        QStringList row = lead;
        for (const qint64 v : sums)
            row << QString::number(v);
        table->addRow(row);
    };
    if (!daily) {
        for (const auto &[key, sums] : perSnapshot) {
            const Times &times = inWindow.at(key.first);
            addRow({QString::number(key.first), times.start, times.end, key.second}, sums);
        }
        return table;
    }
    // The day of each start time, read back with the statement's own mask.
    const std::optional<QString> dayMask = s.stringAfter(QStringLiteral("group by trunc(to_date(sx.start_time,"));
    if (!dayMask)
        cannotRead(QStringLiteral("the daily grouping"));
    std::map<std::pair<QDateTime, QString>, Sums> perDay;
    for (const auto &[key, sums] : perSnapshot) {
        const QDateTime day = QDateTime(toDate(inWindow.at(key.first).start, *dayMask).date(), QTime(0, 0), Qt::UTC);
        add(perDay[{day, key.second}], sums);
    }
    for (const auto &[key, sums] : perDay)
        addRow({QStringLiteral("---"), timestampText(key.first), QStringLiteral("---"), key.second}, sums);
    return table;
}

Table segStatRows(Context &ctx)
{
    Table t({QStringLiteral("SNAP_ID"), QStringLiteral("DBID"), QStringLiteral("INSTANCE_NUMBER"),
             QStringLiteral("OBJ#"), QStringLiteral("DATAOBJ#"), QStringLiteral("LOGICAL_READS_DELTA"),
             QStringLiteral("BUFFER_BUSY_WAITS_DELTA"), QStringLiteral("ROW_LOCK_WAITS_DELTA"),
             QStringLiteral("PHYSICAL_READS_DELTA"), QStringLiteral("PHYSICAL_WRITES_DELTA"),
             QStringLiteral("PHYSICAL_READS_DIRECT_DELTA"), QStringLiteral("PHYSICAL_WRITES_DIRECT_DELTA")});
    const SegmentActivity &activity = ctx.model.state<SegmentActivity>();
    std::vector<SegmentActivity::Row> rows;
    for (const Repository::Snapshot &s : activity.repository().snapshots()) {
        rows.clear();
        activity.rowsOf(s, rows);
        for (const SegmentActivity::Row &r : rows) {
            const SegmentActivity::Deltas &d = r.deltas;
            t.addRow({QString::number(s.snapId), QString::number(Repository::kDbid), QString::number(s.instance),
                      QString::number(r.object->objectId), QString::number(r.object->dataObjectId),
                      QString::number(d.logicalReads), QString::number(d.bufferBusyWaits),
                      QString::number(d.rowLockWaits), QString::number(d.physicalReads),
                      QString::number(d.physicalWrites), QString::number(d.physicalReadsDirect),
                      QString::number(d.physicalWritesDirect)});
        }
    }
    return t;
}

} // namespace

void registerSegstatFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dba_hist_seg_stat per snapshot of one segment"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("from dba_hist_seg_stat")) &&
                              s.has(QStringLiteral("from dba_hist_snapshot")) &&
                              s.has(QStringLiteral("from dba_objects"));
                   },
                   segmentStatistics});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_seg_stat"), segStatRows));
}

} // namespace tavimond::sim
