// The buffer cache content screen against the simulated instance.
#include "live/buffer_cache_screen.h"
#include "common/screen_support.h"

#include "db/query.h"
#include "db/sim/server.h"

#include <QHash>

using namespace tavimond;

namespace {

class BufferCacheScreenTest : public ::testing::Test {
protected:
    test::ScreenHarness<BufferCacheScreen> s;
    const QStringList headers{"Owner",           "Obj Name",  "Obj Type", "#Blks in Buffer",
                              "%Blks in Buffer", "Pool Type", "Blk Size"};
};

} // namespace

TEST_F(BufferCacheScreenTest, ControlsCaptionsAndTheScriptShown)
{
    EXPECT_EQ(s.screen.objectName(), QStringLiteral("bufcache_page"));
    ASSERT_EQ(s.screen.count(), 2);
    EXPECT_EQ(s.screen.tabText(0), QStringLiteral("Buffer Cache Content"));
    EXPECT_EQ(s.screen.tabText(1), QStringLiteral("Script"));
    EXPECT_EQ(s.widget<QAbstractButton>("bcc_button").text(), QStringLiteral("Retrieve"));
    EXPECT_EQ(s.widget<QAbstractButton>("Button69").text(), QStringLiteral("Clear"));
    EXPECT_EQ(s.grid("bc_grid").headers(), headers);
    EXPECT_EQ(s.widget<QLabel>("bccScriptLabel").text(), QStringLiteral("Buffer Cache Content Retrieval  Script"));
    EXPECT_EQ(s.widget<QPlainTextEdit>("bcc_memo").toPlainText(),
              BufferCacheScreen::bufferCacheContentSql().join(QLatin1Char('\n')));

    // Every clause the query is made of, the block count with a separator between file and block.
    const QString sql = BufferCacheScreen::bufferCacheContentSql().join(QLatin1Char('\n'));
    for (const char *clause :
         {"count(distinct file# || '.' || block#) num_blocks", "from dba_objects o, v$bh bh",
          "where o.data_object_id = bh.objd and", "o.owner not in ('SYS','SYSTEM') and", "bh.status != 'free'",
          "dba_segments s", "nvl(s.partition_name,'-') = nvl(t1.subobject_name,'-')", "'TABLE PARTITION', 'TAB PART'",
          "'INDEX PARTITION', 'IDX PART'", "sum(num_blocks),", "(sum(num_blocks)/greatest(sum(blocks), .001))*100",
          "sum(bytes)/sum(blocks)", "having sum(num_blocks) > 10", "order by sum(num_blocks) desc"})
        EXPECT_TRUE(sql.contains(QLatin1String(clause))) << clause;
}

TEST_F(BufferCacheScreenTest, RetrieveListsTheCachedSegmentsAndClearEmptiesTheGrid)
{
    // An edit of the shown script changes nothing: the query runs its own SQL.
    s.widget<QPlainTextEdit>("bcc_memo").setPlainText(QStringLiteral("select 1 from dual"));
    s.click("bcc_button");
    ASSERT_EQ(s.sink().errors, QStringList());
    ASSERT_EQ(s.sim.server.statements().size(), 1);
    EXPECT_EQ(s.sim.server.statements().first(), BufferCacheScreen::bufferCacheContentSql().join(QLatin1Char('\n')));

    const ResultGrid &grid = s.grid("bc_grid");
    const QList<QStringList> rows = test::rowsOf(grid);
    ASSERT_GE(rows.size(), 12);
    EXPECT_EQ(rows.last(), QStringList(7, QString())); // not trimmed: the spare row stays
    EXPECT_EQ(grid.headers(), headers);
    QStringList types;
    double previous = 1e300;
    for (qsizetype i = 0; i + 1 < rows.size(); ++i) {
        const QStringList &row = rows.at(i);
        EXPECT_NE(row.at(0), QStringLiteral("SYS"));
        EXPECT_NE(row.at(0), QStringLiteral("SYSTEM"));
        const double cached = row.at(3).toDouble();
        EXPECT_GT(cached, 10);
        EXPECT_LE(cached, previous); // most cached first
        previous = cached;
        EXPECT_GT(row.at(4).toDouble(), 0);
        EXPECT_LE(row.at(4).toDouble(), 100);
        EXPECT_EQ(row.at(6), QStringLiteral("8192"));
        types << row.at(2);
    }
    EXPECT_TRUE(types.contains(QStringLiteral("TAB PART")));
    EXPECT_TRUE(types.contains(QStringLiteral("IDX PART")));

    s.click("bcc_button");
    EXPECT_EQ(test::rowsOf(grid), rows); // replaced, not appended

    s.click("Button69");
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.row(1), QStringList(7, QString()));
    EXPECT_EQ(grid.headers(), headers);
}

TEST_F(BufferCacheScreenTest, NoSegmentAboveTheThresholdLeavesTheHeaderAndOneEmptyRow)
{
    s.click("bcc_button");
    ASSERT_GT(s.grid("bc_grid").rowCount(), 2);
    s.sim.server.add({QStringLiteral("a cold cache"),
                      [](const sim::Statement &st) { return st.has(QStringLiteral("v$bh")); },
                      [](const sim::Statement &, sim::Context &) {
                          return std::make_shared<sim::Table>(QStringList{"OWNER", "OBJECT_NAME", "OBJECT_TYPE"});
                      }});
    s.click("bcc_button");
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(s.grid("bc_grid").rowCount(), 2);
    EXPECT_EQ(s.grid("bc_grid").row(1), QStringList(7, QString()));
}

TEST_F(BufferCacheScreenTest, TheSimulatedInstanceCountsAsTheQueryIsWritten)
{
    const auto run = [&](const QString &from, const QString &to) {
        QStringList sql = BufferCacheScreen::bufferCacheContentSql();
        if (!from.isEmpty())
            sql.replaceInStrings(from, to);
        Query q(s.sim.cnn);
        q.setSql(sql);
        q.open();
        QHash<QString, int> cached;
        for (; !q.eof(); q.next())
            cached.insert(q.field(0) + QLatin1Char('.') + q.field(1), q.field(3).toInt());
        return cached;
    };
    const QHash<QString, int> blocks = run({}, {});
    // LOB segments never match their object's type; small segments fall below the threshold.
    EXPECT_FALSE(blocks.contains(QStringLiteral("BILLING.SYS_LOB0000074633C00004$$")));
    EXPECT_FALSE(blocks.contains(QStringLiteral("HR.DEPARTMENTS")));
    // Without the separator, file 1 block 2128 and file 12 block 128 are one text.
    EXPECT_EQ(blocks.value(QStringLiteral("LEGACY.CODE_LOOKUP")), 32);
    EXPECT_EQ(run(QStringLiteral("file# || '.' || block#"), QStringLiteral("file# || block#"))
                  .value(QStringLiteral("LEGACY.CODE_LOOKUP")),
              16);
    const QHash<QString, int> big = run(QStringLiteral("> 10"), QStringLiteral("> 500"));
    EXPECT_FALSE(big.isEmpty());
    EXPECT_LT(big.size(), blocks.size());
    for (const int n : big)
        EXPECT_GT(n, 500);
}
