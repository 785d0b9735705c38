// The buffer cache content query: cached blocks per segment, from v$bh joined to
// dba_objects and dba_segments.
#include "buffer_cache_model.h"
#include "../select_eval.h"
#include "../server.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>
#include <tuple>

namespace tavimond::sim {
namespace {

// The number after "having ... >"; the statement's threshold of cached blocks.
std::optional<qint64> havingThreshold(const Statement &s)
{
    const int having = s.after(QStringLiteral("having"));
    if (having < 0)
        return std::nullopt;
    const int at = s.after(QStringLiteral(">"), having);
    if (at < 0 || at >= int(s.tokens().size()) || s.tokens()[size_t(at)].kind != Token::Number)
        return std::nullopt;
    bool ok = false;
    const qint64 v = s.tokens()[size_t(at)].value.toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

// The text that "count(distinct file# || ... || block#)" counts for one buffer: the two
// numbers joined by the statement's separator, or by nothing when it has none.
QString blockText(const QString &separator, const BufferCacheModel::Buffer &b)
{
    return QString::number(b.fileId) + separator + QString::number(b.blockId);
}

Result answer(const Statement &s, const BufferCacheModel &cache)
{
    const qint64 threshold = havingThreshold(s).value_or(0);
    const QString separator = s.stringAfter(QStringLiteral("file# ||")).value_or(QString());

    // t1: distinct cached blocks per object, buffers in use only, the dictionary's own left out.
    using ObjectKey = std::tuple<QString, QString, QString, QString>; // owner, name, subobject, type
    std::map<ObjectKey, QSet<QString>> t1;
    for (const BufferCacheModel::Buffer &b : cache.buffers()) {
        if (b.status == QLatin1String("free"))
            continue;
        for (const BufferCacheModel::DbObject *o : cache.objectsWithDataObjectId(b.objd)) {
            if (o->owner == QLatin1String("SYS") || o->owner == QLatin1String("SYSTEM"))
                continue;
            t1[{o->owner, o->name, o->subobject, o->type}].insert(blockText(separator, b));
        }
    }

    // Joined to the segments on owner, name, type and partition; grouped by owner, name,
    // type and buffer pool.
    struct Sums {
        qint64 cached = 0, blocks = 0, bytes = 0;
    };
    using GroupKey = std::tuple<QString, QString, QString, QString>; // owner, name, type, pool
    std::map<GroupKey, Sums> groups;
    for (const auto &[key, blocks] : t1) {
        const auto &[owner, name, subobject, type] = key;
        for (const BufferCacheModel::Segment &seg : cache.segments()) {
            if (seg.owner != owner || seg.name != name || seg.type != type || seg.partition != subobject)
                continue;
            Sums &g = groups[{owner, name, type, seg.bufferPool}];
            g.cached += blocks.size();
            g.blocks += seg.blocks();
            g.bytes += seg.bytes();
        }
    }

    std::vector<std::pair<GroupKey, Sums>> rows;
    for (const auto &[key, sums] : groups)
        if (sums.cached > threshold)
            rows.emplace_back(key, sums);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto &a, const auto &b) { return a.second.cached > b.second.cached; });

    auto t = std::make_shared<Table>(QStringList{
        QStringLiteral("OWNER"), QStringLiteral("OBJECT_NAME"), QStringLiteral("OBJECT_TYPE"),
        QStringLiteral("SUM(NUM_BLOCKS)"), QStringLiteral("(SUM(NUM_BLOCKS)/GREATEST(SUM(BLOCKS),.001))*100"),
        QStringLiteral("BUFFER_POOL"), QStringLiteral("SUM(BYTES)/SUM(BLOCKS)")});
    for (const auto &[key, sums] : rows) {
        const auto &[owner, name, type, pool] = key;
        const QString shown = type == QLatin1String("TABLE PARTITION")   ? QStringLiteral("TAB PART")
                              : type == QLatin1String("INDEX PARTITION") ? QStringLiteral("IDX PART")
                                                                         : type;
        t->addRow({owner, name, shown, QString::number(sums.cached),
                   oracleNumber(double(sums.cached) / std::max(double(sums.blocks), 0.001) * 100), pool,
                   oracleNumber(double(sums.bytes) / double(sums.blocks))});
    }
    return t;
}

} // namespace

void registerBufferCacheFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("buffer cache content"),
                   [](const Statement &s) {
                       return s.hasAll(
                                  {"v$bh", "dba_objects", "dba_segments", "num_blocks", "count ( distinct file#"}) &&
                              havingThreshold(s).has_value();
                   },
                   [](const Statement &s, Context &ctx) { return answer(s, ctx.model.state<BufferCacheModel>()); }});
}

} // namespace tavimond::sim
