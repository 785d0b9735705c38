// dba_hist_system_event per snapshot and "instance:event" key over a window of snapshots
// (the wait event history), and the view itself for simple queries.
#include "system_event_model.h"

#include "../oracle_dates.h"
#include "../select_eval.h"
#include "../server.h"

#include <QHash>
#include <map>

namespace tavimond::sim {
namespace {

QDateTime truncToMinute(const QDateTime &t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute()), t.timeSpec());
}

Result eventHistory(const Statement &s, Context &ctx)
{
    if (!s.has(QStringLiteral("select s.start_time, instance_number||':'||event_name, sum(nvl(total_waits,0)), "
                              "sum(nvl(TIME_WAITED_MICRO,0)) from")))
        cannotRead(QStringLiteral("the select list"));
    if (!s.has(QStringLiteral("(select snap_id, instance_number, event_name, total_waits, time_waited_micro from "
                              "dba_hist_system_event) x")))
        cannotRead(QStringLiteral("the events"));
    const std::optional<QString> mask =
        s.stringAfter(QStringLiteral("max(to_char((trunc(begin_interval_time, 'mi')),"));
    if (!mask)
        cannotRead(QStringLiteral("the start time"));
    if (!s.hasAll({"group by snap_id ) s where s.snap_id = x.snap_id",
                   "group by s.snap_id,s.start_time, instance_number||':'||event_name order by s.snap_id"}))
        cannotRead(QStringLiteral("the grouping"));
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);

    const Repository &repository = ctx.model.state<Repository>();
    const SystemEventHistory &history = ctx.model.state<SystemEventHistory>();
    const std::vector<Repository::Snapshot> snapshots = repository.snapshots();
    // The window's snapshot ids with their start times (the latest text of the
    // instances' rows that pass the window).
    std::map<qint64, QString> startTimes;
    for (const Repository::Snapshot &snap : snapshots) {
        if (window && !window->contains(snap))
            continue;
        const QString text = toChar(truncToMinute(snap.begin), *mask);
        QString &kept = startTimes[snap.snapId];
        if (kept.isNull() || text > kept)
            kept = text;
    }

    auto table = std::make_shared<Table>(
        QStringList{QStringLiteral("START_TIME"), QStringLiteral("INSTANCE_NUMBER||':'||EVENT_NAME"),
                    QStringLiteral("SUM(NVL(TOTAL_WAITS,0))"), QStringLiteral("SUM(NVL(TIME_WAITED_MICRO,0))")});
    const std::vector<SystemEventHistory::Event> &events = history.events();
    std::vector<QStringList> keys(size_t(repository.instances()));
    for (int i = 0; i < repository.instances(); ++i)
        for (const SystemEventHistory::Event &e : events)
            keys[size_t(i)] << QString::number(i + 1) + QLatin1Char(':') + e.name;
    table->cells.reserve(qsizetype(startTimes.size() * events.size() * size_t(repository.instances()) * 4));
    // Every instance's rows of each snap_id, whether or not its own snapshot row passed.
    for (const Repository::Snapshot &snap : snapshots) {
        const auto at = startTimes.find(snap.snapId);
        if (at == startTimes.end())
            continue;
        for (size_t e = 0; e < events.size(); ++e) {
            const auto figures = history.at(snap, events[e]);
            if (!figures)
                continue;
            table->cells << at->second << keys[size_t(snap.instance - 1)].at(qsizetype(e))
                         << QString::number(figures->waits) << QString::number(figures->micro);
        }
    }
    return table;
}

Table systemEventRows(Context &ctx)
{
    Table t({QStringLiteral("SNAP_ID"), QStringLiteral("DBID"), QStringLiteral("INSTANCE_NUMBER"),
             QStringLiteral("EVENT_ID"), QStringLiteral("EVENT_NAME"), QStringLiteral("WAIT_CLASS"),
             QStringLiteral("TOTAL_WAITS"), QStringLiteral("TIME_WAITED_MICRO")});
    const SystemEventHistory &history = ctx.model.state<SystemEventHistory>();
    for (const Repository::Snapshot &snap : ctx.model.state<Repository>().snapshots())
        for (const SystemEventHistory::Event &e : history.events())
            if (const auto f = history.at(snap, e))
                t.addRow({QString::number(snap.snapId), QString::number(Repository::kDbid),
                          QString::number(snap.instance), QString::number(e.eventId), e.name, e.waitClass,
                          QString::number(f->waits), QString::number(f->micro)});
    return t;
}

} // namespace

void registerSystemEventFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dba_hist_system_event per snapshot and key"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("from dba_hist_system_event ) x")) &&
                              s.has(QStringLiteral("from dba_hist_snapshot")) &&
                              s.has(QStringLiteral("instance_number||':'||event_name"));
                   },
                   eventHistory});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_system_event"), systemEventRows));
}

} // namespace tavimond::sim
