// The simulated instance's latches, child latches and the buffers under one child.
#include "db/db_support.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

QString touchSql(const QString &child)
{
    return "select e.owner ||'.'|| e.segment_name  segment_name, e.extent_id  extent#, x.dbablk - "
           "e.block_id + 1  block#, x.tch, l.child# from v$latch_children  l, sys.x$bh x, "
           "sys.dba_extents e where l.child# = " +
           child +
           " and x.hladdr  = l.addr and e.file_id = x.file# and x.dbablk between e.block_id and "
           "e.block_id + e.blocks -1 order by x.tch desc";
}

class LatchFamily : public ::testing::Test {
protected:
    // Every record of a statement: field 0 -> field 1, checked to come in descending order.
    QHash<QString, qint64> pairs(const QString &sql)
    {
        QHash<QString, qint64> out;
        qint64 previous = std::numeric_limits<qint64>::max();
        for (const QStringList &r : db.rows(sql)) {
            EXPECT_LE(r.at(1).toLongLong(), previous) << "not in descending order at " << r.at(0);
            previous = r.at(1).toLongLong();
            out.insert(r.at(0), previous);
        }
        return out;
    }

    test::SimDb db{5};
};

} // namespace

TEST_F(LatchFamily, LatchesOfBothInstancesSleepMoreOverTimeAndInstanceTwoStartsAgain)
{
    const QString latches = "select inst_id||':'||name, SLEEPS  from gv$latch order by sleeps desc";
    const QHash<QString, qint64> first = pairs(latches);
    EXPECT_GT(first.value("1:cache buffers chains"), 0);
    EXPECT_EQ(first.value("2:library cache load lock", -1), 0); // sleeps only from 600 s on
    db.model().advance(1200);
    const QHash<QString, qint64> later = pairs(latches);
    EXPECT_EQ(QSet<QString>(later.keyBegin(), later.keyEnd()), QSet<QString>(first.keyBegin(), first.keyEnd()));
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        EXPECT_GE(later.value(it.key()), it.value()) << it.key();
    EXPECT_GT(later.value("1:shared pool"), first.value("1:shared pool"));
    EXPECT_GT(later.value("2:library cache load lock"), 0);

    db.model().advance(2400); // 3600: instance 2 restarts
    const QHash<QString, qint64> restarted = pairs(latches);
    EXPECT_LT(restarted.value("2:shared pool"), later.value("2:shared pool"));
    EXPECT_GE(restarted.value("1:shared pool"), later.value("1:shared pool"));
    // v$latch answers for the session's instance alone.
    EXPECT_EQ(db.rows("select name, sleeps from v$latch where name = 'shared pool'"),
              (QList<QStringList>{{"shared pool", QString::number(restarted.value("1:shared pool"))}}));
}

TEST_F(LatchFamily, TheBuffersUnderAChildWithTheirSegmentsMostTouchedFirst)
{
    db.model().advance(3000);
    const QList<QStringList> buffers = db.rows(touchSql("517"));
    ASSERT_GT(buffers.size(), 12); // dozens of buffers under one child
    QSet<QString> blocks;
    for (qsizetype i = 0; i < buffers.size(); ++i) {
        const QStringList &b = buffers.at(i);
        ASSERT_EQ(b.size(), 5);
        EXPECT_TRUE(b.at(0).contains(QLatin1Char('.'))) << b.join(QLatin1Char('|'));
        EXPECT_EQ(b.at(4), "517");
        EXPECT_GE(buffers.at(std::max<qsizetype>(i - 1, 0)).at(3).toInt(), b.at(3).toInt()); // most touched first
        blocks.insert(b.mid(0, 3).join(QLatin1Char('/')));
    }
    EXPECT_EQ(blocks.size(), buffers.size()); // each block once
    // Another child has other blocks; a child that does not exist has none.
    const QList<QStringList> other = db.rows(touchSql("518"));
    ASSERT_FALSE(other.isEmpty());
    for (const QStringList &b : other)
        EXPECT_FALSE(blocks.contains(b.mid(0, 3).join(QLatin1Char('/'))));
    EXPECT_TRUE(db.rows(touchSql("999999")).isEmpty());
    EXPECT_TRUE(db.rows(touchSql("99999999999999999999999")).isEmpty());
    // Nothing after "=", or a key pasted whole, is not a statement the database takes.
    for (const char *bad : {"", "1:517"})
        EXPECT_TRUE(db.error(touchSql(QLatin1String(bad))).startsWith("ORA-")) << bad;
}
