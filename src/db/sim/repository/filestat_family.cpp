// dba_hist_filestatxs: each datafile's reads and writes per snapshot as differences from
// the snapshot before in a window (the datafile statistics report), and the view itself
// for simple queries.
#include "filestat_model.h"

#include "../oracle_dates.h"
#include "../select_eval.h"
#include "../server.h"

#include "../../error.h"

#include <QHash>
#include <algorithm>
#include <map>

namespace tavimond::sim {
namespace {

// The counters the report takes differences of, with their aliases.
struct Counter {
    const char *column;
    const char *alias;
    qint64 FileStatHistory::Figures::*field;
};

const Counter kCounters[] = {
    {"PHYBLKRD", "Phy_Reads", &FileStatHistory::Figures::phyblkrd},
    {"READTIM", "Phy_Read_Time", &FileStatHistory::Figures::readtim},
    {"PHYBLKWRT", "Phy_Writes", &FileStatHistory::Figures::phyblkwrt},
    {"WRITETIM", "Phy_Write_Time", &FileStatHistory::Figures::writetim},
};

// X minus its previous value in the file's window, 0 without one, X itself when the
// counter started again.
QString differenceExpression(const Counter &c)
{
    const QString x = QLatin1String(c.column);
    const QString lag = QStringLiteral("lag(%1) over (partition by dba_hist_filestatxs.dbid, "
                                       "dba_hist_filestatxs.instance_number, tsname, filename order by "
                                       "dba_hist_filestatxs.snap_id)")
                            .arg(x);
    return QStringLiteral("nvl(decode(greatest(%1, nvl(%2,0)), %1, %1 - %2,%1), 0) %3")
        .arg(x, lag, QLatin1String(c.alias));
}

qint64 difference(qint64 x, const std::optional<qint64> &previous)
{
    if (!previous)
        return 0;
    return x >= *previous ? x - *previous : x;
}

Result fileStatistics(const Statement &s, Context &ctx)
{
    const std::optional<QString> beginMask =
        s.stringAfter(QStringLiteral("(select nm.snap_id, to_char(begin_interval_time,"));
    const std::optional<QString> endMask = s.stringAfter(QStringLiteral("begintime, to_char(end_interval_time,"));
    if (!s.has(QStringLiteral("select snap_id,begintime,endtime,filename,sum(Phy_Reads),sum(Phy_Read_Time),"
                              "sum(Phy_Writes),sum(Phy_write_time) from")) ||
        !beginMask || !endMask)
        cannotRead(QStringLiteral("the select list"));
    for (const Counter &c : kCounters)
        if (!s.has(differenceExpression(c)))
            cannotRead(QStringLiteral("the differences of %1").arg(QLatin1String(c.column)));
    if (!s.hasAll({"from dba_hist_filestatxs, dba_hist_snapshot nm where dba_hist_filestatxs.snap_id = nm.snap_id",
                   "and dba_hist_filestatxs.dbid = nm.dbid",
                   "and dba_hist_filestatxs.instance_number = nm.instance_number"}))
        cannotRead(QStringLiteral("the join of each file's row to its own snapshot"));
    if (!s.has(QStringLiteral("order by nm.begin_interval_time) iodetail group by snap_id,begintime,endtime,filename")))
        cannotRead(QStringLiteral("the grouping"));
    const std::optional<QString> pattern = s.stringAfter(QStringLiteral("and filename like"));
    if (!pattern)
        cannotRead(QStringLiteral("the file name condition"));
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);
    const bool ordered = s.has(QStringLiteral("iodetail group by snap_id,begintime,endtime,filename order by "
                                              "snap_id, filename"));

    const Repository &repository = ctx.model.state<Repository>();
    const FileStatHistory &history = ctx.model.state<FileStatHistory>();
    std::vector<Repository::Snapshot> snapshots;
    for (const Repository::Snapshot &snap : repository.snapshots())
        if (!window || window->contains(snap))
            snapshots.push_back(snap);

    // Groups by snap_id, begin and end text and file; each instance's rows of a file
    // differ from the instance's previous row of the file in the window.
    struct Group {
        qint64 snapId;
        QString begin, end, file;
        qint64 sums[std::size(kCounters)] = {};
    };
    std::vector<Group> groups;
    QHash<QString, size_t> groupOf;
    std::vector<QString> beginTexts, endTexts;
    for (const Repository::Snapshot &snap : snapshots) {
        beginTexts.push_back(toChar(snap.begin, *beginMask));
        endTexts.push_back(toChar(snap.end, *endMask));
    }
    for (const FileStatHistory::File &file : history.files()) {
        if (!likeMatch(file.name, *pattern))
            continue;
        for (int instance = 1; instance <= repository.instances(); ++instance) {
            std::optional<FileStatHistory::Figures> previous;
            for (size_t k = 0; k < snapshots.size(); ++k) {
                const Repository::Snapshot &snap = snapshots[k];
                if (snap.instance != instance)
                    continue;
                const auto figures = history.at(snap, file);
                if (!figures)
                    continue;
                const QString key =
                    QStringLiteral("%1|%2|%3|%4").arg(snap.snapId).arg(beginTexts[k], endTexts[k], file.name);
                auto at = groupOf.find(key);
                if (at == groupOf.end()) {
                    at = groupOf.insert(key, groups.size());
                    groups.push_back({snap.snapId, beginTexts[k], endTexts[k], file.name});
                }
                Group &g = groups[at.value()];
                for (size_t c = 0; c < std::size(kCounters); ++c)
                    g.sums[c] +=
                        difference((*figures).*kCounters[c].field,
                                   previous ? std::optional<qint64>((*previous).*kCounters[c].field) : std::nullopt);
                previous = figures;
            }
        }
    }
    if (ordered) {
        std::stable_sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) {
            return a.snapId != b.snapId ? a.snapId < b.snapId : a.file < b.file;
        });
    } else {
        // A hash grouping returns its groups in no useful order.
        std::stable_sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) {
            return qHash(a.file, size_t(a.snapId)) < qHash(b.file, size_t(b.snapId));
        });
    }
    auto table = std::make_shared<Table>(
        QStringList{QStringLiteral("SNAP_ID"), QStringLiteral("BEGINTIME"), QStringLiteral("ENDTIME"),
                    QStringLiteral("FILENAME"), QStringLiteral("SUM(PHY_READS)"), QStringLiteral("SUM(PHY_READ_TIME)"),
                    QStringLiteral("SUM(PHY_WRITES)"), QStringLiteral("SUM(PHY_WRITE_TIME)")});
    table->cells.reserve(qsizetype(groups.size() * 8));
    for (const Group &g : groups) {
        table->cells << QString::number(g.snapId) << g.begin << g.end << g.file;
        for (const qint64 sum : g.sums)
            table->cells << QString::number(sum);
    }
    return table;
}

Table fileStatRows(Context &ctx)
{
    Table t({QStringLiteral("SNAP_ID"), QStringLiteral("DBID"), QStringLiteral("INSTANCE_NUMBER"),
             QStringLiteral("FILE#"), QStringLiteral("FILENAME"), QStringLiteral("TSNAME"),
             QStringLiteral("BLOCK_SIZE"), QStringLiteral("PHYBLKRD"), QStringLiteral("READTIM"),
             QStringLiteral("PHYBLKWRT"), QStringLiteral("WRITETIM")});
    const FileStatHistory &history = ctx.model.state<FileStatHistory>();
    for (const Repository::Snapshot &snap : ctx.model.state<Repository>().snapshots())
        for (const FileStatHistory::File &file : history.files())
            if (const auto f = history.at(snap, file))
                t.addRow({QString::number(snap.snapId), QString::number(Repository::kDbid),
                          QString::number(snap.instance), QString::number(file.fileId), file.name, file.tablespace,
                          QStringLiteral("8192"), QString::number(f->phyblkrd), QString::number(f->readtim),
                          QString::number(f->phyblkwrt), QString::number(f->writetim)});
    return t;
}

} // namespace

void registerFileStatFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dba_hist_filestatxs differences per snapshot and file"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("dba_hist_filestatxs")) &&
                              s.has(QStringLiteral("dba_hist_snapshot nm")) && s.has(QStringLiteral("iodetail"));
                   },
                   fileStatistics});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_filestatxs"), fileStatRows));
}

} // namespace tavimond::sim
