// The simulated instance's memory cache views: v$rowcache, v$librarycache, v$sysstat,
// and its model of segments and cached buffers.
#include "common/sim_fixture.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/sim/live/buffer_cache_model.h"
#include "db/sim/live/live_model.h"
#include "db/sim/server.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class MemoryCacheViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.reset(3, sim::ClockMode::Manual);
        for (int i = 0; i < 2; ++i)
            cnn[i].setConnectionString({QStringLiteral("Provider=Simulated;"),
                                        Logon{QStringLiteral("system"), QStringLiteral("manager"),
                                              i == 0 ? QStringLiteral("TAVIDB") : QStringLiteral("TAVIDB2")}});
    }

    // Every record of a statement, as texts; instance 1 or 2.
    QList<QStringList> rows(const QString &sql, int instance = 1)
    {
        return test::allRows(cnn[instance - 1], sql.split(QLatin1Char('\n')));
    }
    QHash<QString, double> byName(const QString &sql, int instance = 1, int column = 1)
    {
        QHash<QString, double> out;
        for (const QStringList &r : rows(sql, instance))
            out.insert(r.at(0), r.at(column).toDouble());
        return out;
    }

    sim::Server &server = sim::Server::instance();
    Connection cnn[2];
};

const QString kDictionary =
    QStringLiteral("SELECT \n   Parameter,SUM(getmisses), SUM(gets)\nFROM\n   v$rowcache\ngroup by parameter");
const QString kLibrary = QStringLiteral("select namespace, gets, gethitratio*100 gethitratio, pins, "
                                        "pinhitratio*100 pinhitratio, reloads, invalidations from v$librarycache");
const QString kBuffers = QStringLiteral(
    "SELECT name,value from v$sysstat where\nname in \n('db block gets',\n'consistent gets',\n'physical reads')");

} // namespace

TEST_F(MemoryCacheViews, DictionaryAndLibraryCachesGrowWithTheInstanceAndRestartWithIt)
{
    const QList<QStringList> dictionary = rows(kDictionary);
    int used = 0, unused = 0;
    for (const QStringList &r : dictionary) {
        EXPECT_LE(r.at(1).toDouble(), r.at(2).toDouble()) << r.at(0).toStdString();
        (r.at(2) == QLatin1String("0") ? unused : used) += 1;
    }
    EXPECT_GE(dictionary.size(), 30);
    EXPECT_GE(used, 12);
    EXPECT_GE(unused, 8);
    // Two caches answer to dc_users: the grouped row sums both.
    const double dcUsers = byName(kDictionary, 1, 2).value(QStringLiteral("dc_users"));
    const QList<QStringList> dcUsersRows =
        rows(QStringLiteral("select gets from v$rowcache where parameter = 'dc_users'"));
    EXPECT_EQ(dcUsersRows.size(), 2);
    double both = 0;
    for (const QStringList &r : dcUsersRows)
        both += r.at(0).toDouble();
    EXPECT_EQ(dcUsers, both);

    const QList<QStringList> library = rows(kLibrary);
    EXPECT_GE(library.size(), 12);
    for (const QStringList &r : library) {
        EXPECT_GE(r.at(2).toDouble(), 0);
        EXPECT_LE(r.at(2).toDouble(), 100);
        EXPECT_LE(r.at(4).toDouble(), 100);
    }

    // Instance 2 restarts an hour in: its counters begin again; instance 1's keep growing.
    const double before1 = byName(kDictionary, 1, 2).value(QStringLiteral("dc_objects"));
    const double before2 = byName(kDictionary, 2, 2).value(QStringLiteral("dc_objects"));
    const double library2 = byName(kLibrary, 2).value(QStringLiteral("SQL AREA"));
    server.model().advance(sim::LiveModel::kRestartOfInstance2 + 60);
    EXPECT_GT(byName(kDictionary, 1, 2).value(QStringLiteral("dc_objects")), before1);
    EXPECT_LT(byName(kDictionary, 2, 2).value(QStringLiteral("dc_objects")), before2 / 100);
    EXPECT_LT(byName(kLibrary, 2).value(QStringLiteral("SQL AREA")), library2 / 100);
}

TEST_F(MemoryCacheViews, BufferStatisticsAndLogicalReadsAgree)
{
    QHash<QString, double> stats = byName(kBuffers);
    ASSERT_EQ(stats.size(), 3);
    const double logical =
        stats.value(QStringLiteral("db block gets")) + stats.value(QStringLiteral("consistent gets"));
    EXPECT_GT(stats.value(QStringLiteral("physical reads")), 0);
    EXPECT_LT(stats.value(QStringLiteral("physical reads")), logical / 20);
    const QHash<QString, double> all =
        byName(QStringLiteral("select name, value from v$sysstat where name like '%reads' or name like '%gets'"));
    EXPECT_EQ(all.value(QStringLiteral("session logical reads")), logical);
    EXPECT_GE(rows(QStringLiteral("select * from v$sysstat")).size(), 20);

    server.model().advance(120);
    const QHash<QString, double> later = byName(kBuffers);
    for (auto it = stats.cbegin(); it != stats.cend(); ++it)
        EXPECT_GT(later.value(it.key()), it.value()) << it.key().toStdString();
}

TEST_F(MemoryCacheViews, TheBufferCacheModelIsConsistent)
{
    const auto &cache = server.model().state<sim::BufferCacheModel>();
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
    int current = 0, copies = 0, free = 0;
    for (const auto &b : cache.buffers()) {
        const auto *s = segmentOfBlock.value(QStringLiteral("%1.%2").arg(b.fileId).arg(b.blockId));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->dataObjectId, b.objd);
        (b.status == QLatin1String("xcur") ? current : b.status == QLatin1String("cr") ? copies : free) += 1;
    }
    EXPECT_GT(current, 3000);
    EXPECT_GT(copies, 50);
    EXPECT_GT(free, 100);
    // Partitioned tables and views have no data object of their own.
    for (const auto &o : cache.objects()) {
        if ((o.name == QLatin1String("ORDERS") && o.subobject.isEmpty()) || o.type == QLatin1String("VIEW")) {
            EXPECT_EQ(o.dataObjectId, 0) << o.name.toStdString();
        }
    }
}
