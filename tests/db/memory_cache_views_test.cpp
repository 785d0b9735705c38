// The simulated instance's memory cache views: v$rowcache, v$librarycache, v$sysstat,
// and its model of segments and cached buffers.
#include "db/db_support.h"
#include "db/sim/live/buffer_cache_model.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

const QString kDictionary = "SELECT \n   Parameter,SUM(getmisses), SUM(gets)\nFROM\n   v$rowcache\ngroup by parameter";
const QString kLibrary = "select namespace, gets, gethitratio*100 gethitratio, pins, "
                         "pinhitratio*100 pinhitratio, reloads, invalidations from v$librarycache";
const QString kBuffers =
    "SELECT name,value from v$sysstat where\nname in \n('db block gets',\n'consistent gets',\n'physical reads')";

class MemoryCacheViews : public ::testing::Test {
protected:
    // Column `column` of every record by its first, on instance 1 or 2.
    QHash<QString, double> byName(const QString &sql, int instance = 1, int column = 1)
    {
        QHash<QString, double> out;
        for (const QStringList &r : db.rows(sql, instance == 1 ? "TAVIDB" : "TAVIDB2"))
            out.insert(r.at(0), r.at(column).toDouble());
        return out;
    }

    test::SimDb db{3};
};

} // namespace

// The sums the SGA screen divides agree between the views; ratios stay percentages.
TEST_F(MemoryCacheViews, CacheFiguresAgreeBetweenTheirViews)
{
    for (const QStringList &r : db.rows(kDictionary))
        EXPECT_LE(r.at(1).toDouble(), r.at(2).toDouble()) << r.at(0).toStdString();
    // Two caches answer to dc_users: the grouped row sums both.
    double both = 0;
    for (const QString &gets : db.column("select gets from v$rowcache where parameter = 'dc_users'"))
        both += gets.toDouble();
    EXPECT_EQ(byName(kDictionary, 1, 2).value("dc_users"), both);
    for (const QStringList &r : db.rows(kLibrary)) {
        EXPECT_GE(r.at(2).toDouble(), 0);
        EXPECT_LE(r.at(2).toDouble(), 100);
        EXPECT_LE(r.at(4).toDouble(), 100);
    }

    const QHash<QString, double> stats = byName(kBuffers);
    ASSERT_EQ(stats.size(), 3);
    const double logical = stats.value("db block gets") + stats.value("consistent gets");
    EXPECT_GT(stats.value("physical reads"), 0);
    EXPECT_LT(stats.value("physical reads"), logical / 20);
    EXPECT_EQ(byName("select name, value from v$sysstat where name like '%reads' or name like '%gets'")
                  .value("session logical reads"),
              logical);
}

TEST_F(MemoryCacheViews, TheBufferCacheModelIsConsistent)
{
    const auto &cache = db.model().state<sim::BufferCacheModel>();
    QHash<int, QString> tablespaceOf;
    for (const auto &f : cache.files())
        tablespaceOf.insert(f.fileId, f.tablespace);

    // Extents lie in their tablespace's files and never overlap.
    QHash<int, QList<std::pair<qint64, qint64>>> used;
    QHash<QString, const sim::BufferCacheModel::Segment *> segmentOfBlock;
    for (const auto &s : cache.segments()) {
        ASSERT_FALSE(s.extents.empty());
        EXPECT_EQ(s.bytes(), s.blocks() * sim::BufferCacheModel::kBlockSize);
        for (const auto &e : s.extents) {
            EXPECT_EQ(tablespaceOf.value(e.fileId), s.tablespace) << s.name.toStdString();
            for (const auto &[from, to] : used.value(e.fileId))
                EXPECT_TRUE(e.blockId + e.blocks <= from || e.blockId >= to) << s.name.toStdString();
            used[e.fileId].append({e.blockId, e.blockId + e.blocks});
            for (qint64 b = e.blockId; b < e.blockId + e.blocks; ++b)
                segmentOfBlock.insert(QStringLiteral("%1.%2").arg(e.fileId).arg(b), &s);
        }
        // Each segment stores exactly one object, found by its data object id.
        const auto objects = cache.objectsWithDataObjectId(s.dataObjectId);
        ASSERT_EQ(objects.size(), 1u) << s.name.toStdString();
        EXPECT_EQ(objects.front()->subobject, s.partition);
    }
    // Every buffer holds a block of the segment its objd names.
    QHash<QString, int> statuses;
    for (const auto &b : cache.buffers()) {
        const auto *s = segmentOfBlock.value(QStringLiteral("%1.%2").arg(b.fileId).arg(b.blockId));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->dataObjectId, b.objd);
        ++statuses[b.status];
    }
    EXPECT_GT(statuses.value("xcur"), 3000);
    EXPECT_GT(statuses.value("cr"), 50);
    EXPECT_GT(int(cache.buffers().size()) - statuses.value("xcur") - statuses.value("cr"), 100); // free
    // Partitioned tables and views have no data object of their own.
    for (const auto &o : cache.objects()) {
        if ((o.name == QLatin1String("ORDERS") && o.subobject.isEmpty()) || o.type == QLatin1String("VIEW")) {
            EXPECT_EQ(o.dataObjectId, 0) << o.name.toStdString();
        }
    }
}
