// The simulated instance's latches, child latches and the buffers under one child.
#include "common/sim_fixture.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/query.h"
#include "db/sim/server.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

const QStringList kLatchSql{QStringLiteral("select inst_id||':'||name, SLEEPS  from gv$latch order by sleeps desc")};
const QStringList kChildrenSql{QStringLiteral("select inst_id||':'||child#,SLEEPS"),
                               QStringLiteral("from gv$latch_children"),
                               QStringLiteral("where name = 'cache buffers chains'"),
                               QStringLiteral("and sleeps > 100"),
                               QStringLiteral("order by 2 desc"),
                               QString()};

QStringList touchSql(const QString &child)
{
    return {QStringLiteral("select e.owner ||'.'|| e.segment_name  segment_name, e.extent_id  extent#, x.dbablk - "
                           "e.block_id + 1  block#, x.tch, l.child# from v$latch_children  l, sys.x$bh x, "
                           "sys.dba_extents e where l.child# = ") +
            child +
            QStringLiteral(" and x.hladdr  = l.addr and e.file_id = x.file# and x.dbablk between e.block_id and "
                           "e.block_id + e.blocks -1 order by x.tch desc")};
}

class LatchFamily : public ::testing::Test {
protected:
    LatchFamily()
    {
        server.reset(5, sim::ClockMode::Manual);
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("system"), QStringLiteral("manager"), QStringLiteral("TAVIDB")}});
    }
    // Every record of a statement: field 0 -> field 1.
    QHash<QString, qint64> pairs(const QStringList &sql)
    {
        Query q(cnn);
        q.setSql(sql);
        q.open();
        QHash<QString, qint64> out;
        qint64 previous = std::numeric_limits<qint64>::max();
        for (; !q.eof(); q.next()) {
            const qint64 v = q.field(1).toLongLong();
            EXPECT_LE(v, previous) << "not in descending order at " << q.field(0);
            previous = v;
            out.insert(q.field(0), v);
        }
        return out;
    }
    QList<QStringList> rows(const QStringList &sql) { return test::allRows(cnn, sql); }

    sim::Server &server = sim::Server::instance();
    Connection cnn;
};

} // namespace

TEST_F(LatchFamily, LatchesOfBothInstancesSleepMoreOverTimeAndInstanceTwoStartsAgain)
{
    const QHash<QString, qint64> first = pairs(kLatchSql);
    EXPECT_GT(first.size(), 200); // every latch of both instances
    int sleeping = 0;
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        sleeping += it.value() > 0 ? 1 : 0;
    EXPECT_LT(sleeping, first.size() / 3); // most latches never sleep
    EXPECT_GT(first.value(QStringLiteral("1:cache buffers chains")), 0);
    EXPECT_EQ(first.value(QStringLiteral("2:library cache load lock"), -1), 0); // sleeps only from 600 s on

    server.model().advance(1200);
    const QHash<QString, qint64> later = pairs(kLatchSql);
    EXPECT_EQ(QSet<QString>(later.keyBegin(), later.keyEnd()), QSet<QString>(first.keyBegin(), first.keyEnd()));
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        EXPECT_GE(later.value(it.key()), it.value()) << it.key();
    EXPECT_GT(later.value(QStringLiteral("1:shared pool")), first.value(QStringLiteral("1:shared pool")));
    EXPECT_GT(later.value(QStringLiteral("2:library cache load lock")), 0);

    server.model().advance(2400); // 3600: instance 2 restarts
    const QHash<QString, qint64> restarted = pairs(kLatchSql);
    EXPECT_LT(restarted.value(QStringLiteral("2:shared pool")), later.value(QStringLiteral("2:shared pool")));
    EXPECT_GE(restarted.value(QStringLiteral("1:shared pool")), later.value(QStringLiteral("1:shared pool")));

    // v$latch answers for the session's instance alone.
    const QList<QStringList> own =
        rows({QStringLiteral("select name, sleeps from v$latch where name = 'shared pool'")});
    ASSERT_EQ(own.size(), 1);
    EXPECT_EQ(own.at(0).at(1).toLongLong(), restarted.value(QStringLiteral("1:shared pool")));
}

TEST_F(LatchFamily, ChainChildrenCrossAHundredSleepsAtDifferentTimes)
{
    const QList<QStringList> counts =
        rows({QStringLiteral("select inst_id, count(*) from gv$latch_children"),
              QStringLiteral("where name = 'cache buffers chains' group by inst_id"), QStringLiteral("order by 1")});
    EXPECT_EQ(counts, (QList<QStringList>{{QStringLiteral("1"), QStringLiteral("4096")},
                                          {QStringLiteral("2"), QStringLiteral("4096")}}));

    QHash<QString, qint64> seen = pairs(kChildrenSql);
    EXPECT_GT(seen.size(), 50);
    QList<int> entering; // children that crossed during each of ten 2-minute steps
    for (int step = 0; step < 10; ++step) {
        server.model().advance(120);
        const QHash<QString, qint64> now = pairs(kChildrenSql);
        int fresh = 0;
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            EXPECT_GT(it.value(), 100) << it.key();
            if (!seen.contains(it.key()))
                ++fresh;
            else
                EXPECT_GE(it.value(), seen.value(it.key())) << it.key();
        }
        EXPECT_GE(now.size(), seen.size()); // none falls back while both instances run
        entering << fresh;
        seen = now;
    }
    QStringList perStep;
    for (int n : entering)
        perStep << QString::number(n);
    EXPECT_GT(std::count_if(entering.cbegin(), entering.cend(), [](int n) { return n > 0; }), 5)
        << perStep.join(QLatin1Char(' '));
}

TEST_F(LatchFamily, TheBuffersUnderAChildWithTheirSegmentsMostTouchedFirst)
{
    server.model().advance(3000);
    const QList<QStringList> buffers = rows(touchSql(QStringLiteral("517")));
    ASSERT_GT(buffers.size(), 12); // dozens of buffers under one child
    QSet<QString> blocks;
    for (const QStringList &b : buffers) {
        ASSERT_EQ(b.size(), 5);
        EXPECT_TRUE(b.at(0).contains(QLatin1Char('.'))) << b.join(QLatin1Char('|'));
        EXPECT_GE(b.at(1).toInt(), 0);
        EXPECT_GE(b.at(2).toInt(), 1);
        EXPECT_LE(b.at(2).toInt(), 1024);
        EXPECT_GE(b.at(3).toInt(), 1);
        EXPECT_EQ(b.at(4), QStringLiteral("517"));
        blocks.insert(b.at(0) + QLatin1Char('/') + b.at(1) + QLatin1Char('/') + b.at(2));
    }
    EXPECT_EQ(blocks.size(), buffers.size()); // each block once
    for (qsizetype i = 1; i < buffers.size(); ++i)
        EXPECT_GE(buffers.at(i - 1).at(3).toInt(), buffers.at(i).at(3).toInt());
    // Another child has other blocks; a child that does not exist has none.
    const QList<QStringList> other = rows(touchSql(QStringLiteral("518")));
    ASSERT_FALSE(other.isEmpty());
    for (const QStringList &b : other)
        EXPECT_FALSE(blocks.contains(b.at(0) + QLatin1Char('/') + b.at(1) + QLatin1Char('/') + b.at(2)));
    EXPECT_TRUE(rows(touchSql(QStringLiteral("999999"))).isEmpty());
    EXPECT_TRUE(rows(touchSql(QStringLiteral("99999999999999999999999"))).isEmpty());
    // Nothing after "=", or a key pasted whole, is not a statement the database takes.
    for (const char *bad : {"", "1:517"}) {
        Query q(cnn);
        q.setSql(touchSql(QLatin1String(bad)));
        try {
            q.open();
            ADD_FAILURE() << bad;
        } catch (const DbError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("ORA-"))) << e.message();
        }
    }
}
