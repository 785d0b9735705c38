#include "db/db_support.h"
#include "db/sim/select_eval.h"

#include <gtest/gtest.h>

using namespace tavimond;
using namespace tavimond::sim;
using test::errorOf;

namespace {

Table latches()
{
    Table t({"INST_ID", "NAME", "CHILD#", "SLEEPS", "GETS"});
    t.addRow({"1", "cache buffers chains", "17", "150", "1000"});
    t.addRow({"2", "cache buffers chains", "4", "90", "500"});
    t.addRow({"1", "shared pool", "1", "300", QString()});
    t.addRow({"2", "cache buffers chains", "9", "1200", "7"});
    return t;
}

std::optional<Result> run(const char *sql)
{
    return evaluateSimpleSelect(Statement(QString::fromUtf8(sql)), "gv$latch_children", latches());
}

} // namespace

TEST(SimpleSelect, AnswersTheMonitoringScriptsAndTheirEditsAndLeavesOtherShapesToTheFamilies)
{
    auto r = run("select inst_id||':'||child#,SLEEPS\nfrom gv$latch_children\nwhere name = 'cache buffers chains'\n"
                 "and sleeps > 100\norder by 2 desc\n");
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)->columns, (QStringList{"INST_ID||':'||CHILD#", "SLEEPS"}));
    EXPECT_EQ(test::rowsOf(*r), (QStringList{"2:9|1200", "1:17|150"}));

    // The user's edit of a value, of blanks and case.
    r = run("SELECT Inst_Id || ':' || Child# , sleeps FROM GV$LATCH_CHILDREN WHERE name='cache buffers chains' AND "
            "sleeps>50 ORDER BY 2");
    ASSERT_TRUE(r);
    EXPECT_EQ(test::rowsOf(*r), (QStringList{"2:4|90", "1:17|150", "2:9|1200"}));

    r = run("select l.name, sum(l.sleeps) total, count(*), max(gets) from gv$latch_children l group by l.name order by "
            "total desc");
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)->columns.at(1), "TOTAL");
    EXPECT_EQ(test::rowsOf(*r), (QStringList{"cache buffers chains|1440|3|1000", "shared pool|300|1|"}));

    r = run("select name, gets / 4, nvl(gets, -1) from gv$latch_children where gets is null or child# in (4, 9) "
            "and name like 'cache%' order by 1, 3");
    ASSERT_TRUE(r);
    EXPECT_EQ(test::rowsOf(*r),
              (QStringList{"cache buffers chains|1.75|7", "cache buffers chains|125|500", "shared pool||-1"}));

    r = run("select * from gv$latch_children where rownum <= 2");
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)->columns.size(), 5);
    EXPECT_EQ((*r)->rowCount(), 2);

    EXPECT_FALSE(run("select * from gv$latch"));
    EXPECT_FALSE(run("select a.name from gv$latch_children a, gv$latch b where a.name = b.name"));
    EXPECT_FALSE(run("select name from gv$latch_children union select name from gv$latch"));
    EXPECT_FALSE(run("select name from (select name from gv$latch_children)"));
    EXPECT_EQ(errorOf([&] { run("select inst_id, sleepz from gv$latch_children"); }),
              "ORA-00904: \"SLEEPZ\": invalid identifier");
    EXPECT_EQ(oracleNumber(2.5), "2.5");
    EXPECT_EQ(oracleNumber(1e12), "1000000000000");
    EXPECT_EQ(oracleNumber(-0.0), "0");
}
