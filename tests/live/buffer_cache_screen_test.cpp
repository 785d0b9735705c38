// The buffer cache content screen against the simulated instance.
#include "live/buffer_cache_screen.h"
#include "common/screen_support.h"

#include "db/sim/server.h"

using namespace tavimond;

TEST(BufferCacheScreen, RetrieveListsTheCachedSegmentsMostFirstAndClearOrAColdCacheLeavesOneEmptyRow)
{
    test::ScreenHarness<BufferCacheScreen> s;
    // An edit of the shown script changes nothing: the query runs its own SQL.
    s.memo("bcc_memo").setPlainText(QStringLiteral("select 1 from dual"));
    s.click("bcc_button");
    ASSERT_EQ(s.sink().errors, QStringList());
    ASSERT_EQ(s.sim.server.statements().size(), 1);
    const QString sql = s.sim.server.statements().first();
    // Every clause the query is made of, the block count with a separator between file and block.
    for (const char *clause :
         {"count(distinct file# || '.' || block#) num_blocks", "from dba_objects o, v$bh bh",
          "where o.data_object_id = bh.objd and", "o.owner not in ('SYS','SYSTEM') and", "bh.status != 'free'",
          "dba_segments s", "nvl(s.partition_name,'-') = nvl(t1.subobject_name,'-')", "'TABLE PARTITION', 'TAB PART'",
          "'INDEX PARTITION', 'IDX PART'", "sum(num_blocks),", "(sum(num_blocks)/greatest(sum(blocks), .001))*100",
          "sum(bytes)/sum(blocks)", "having sum(num_blocks) > 10", "order by sum(num_blocks) desc"})
        EXPECT_TRUE(sql.contains(QLatin1String(clause))) << clause;

    const ResultGrid &grid = s.grid("bc_grid");
    const QList<QStringList> rows = test::rowsOf(grid);
    ASSERT_GE(rows.size(), 12);
    EXPECT_EQ(rows.last(), QStringList(7, QString())); // not trimmed: the spare row stays
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

    // Blocks are counted as file "." block: without the separator, file 1 block 2128 and
    // file 12 block 128 would be one text.
    const auto lookup = [](const QList<QStringList> &answer) {
        for (const QStringList &r : answer)
            if (r.at(0) == QLatin1String("LEGACY") && r.at(1) == QLatin1String("CODE_LOOKUP"))
                return r.at(3);
        return QString();
    };
    EXPECT_EQ(lookup(rows), QStringLiteral("32"));
    QStringList joined = BufferCacheScreen::bufferCacheContentSql();
    joined.replaceInStrings(QStringLiteral("file# || '.' || block#"), QStringLiteral("file# || block#"));
    EXPECT_EQ(lookup(test::allRows(s.sim.cnn, joined)), QStringLiteral("16"));

    s.click("Button69");
    EXPECT_EQ(test::rowsOf(grid), QList<QStringList>{QStringList(7, QString())});
    EXPECT_EQ(grid.cell(0, 0), QStringLiteral("Owner"));

    // No segment above the threshold: the header and one empty row, no error.
    s.click("bcc_button");
    s.sim.server.add({QStringLiteral("a cold cache"),
                      [](const sim::Statement &st) { return st.has(QStringLiteral("v$bh")); },
                      [](const sim::Statement &, sim::Context &) {
                          return std::make_shared<sim::Table>(QStringList{"OWNER", "OBJECT_NAME", "OBJECT_TYPE"});
                      }});
    s.click("bcc_button");
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(test::rowsOf(grid), QList<QStringList>{QStringList(7, QString())});
}
