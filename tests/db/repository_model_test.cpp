// The workload repository of the simulated instance: the snapshots every dba_hist_ view
// shares, the window a report's statement sets, and the statements' figures.
#include "db/db_support.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/sql_workload.h"
#include "db/sim/statement.h"

#include <gtest/gtest.h>
#include <set>

using namespace tavimond;
using namespace tavimond::sim;

namespace {

class RepositoryModel : public ::testing::Test {
protected:
    Model &model() { return db.model(); }
    const Repository &repository() { return model().state<Repository>(); }
    test::SimDb db{5};
};

} // namespace

TEST_F(RepositoryModel, SnapshotsOfTwoInstancesWithAMissedSnapshotAndRestarts)
{
    const auto snaps = repository().snapshots();
    // 14 days of hourly snapshots, the last still being taken at 08:00:00; instance 1
    // missed one.
    std::map<int, std::vector<Repository::Snapshot>> byInstance;
    for (const auto &s : snaps)
        byInstance[s.instance].push_back(s);
    ASSERT_EQ(byInstance[2].size(), 14u * 24u - 1);
    ASSERT_EQ(byInstance[1].size(), 14u * 24u - 2);
    for (auto &[instance, list] : byInstance) {
        for (size_t i = 0; i < list.size(); ++i) {
            const auto &s = list[i];
            EXPECT_LT(s.begin, s.end);
            EXPECT_LE(s.end, model().now());
            EXPECT_LE(s.startup, s.begin);
            // Taken a few seconds after the hour; intervals follow one another.
            EXPECT_EQ(s.end.time().minute(), 0);
            EXPECT_LT(s.end.time().second(), 6);
            EXPECT_TRUE(i == 0 || s.startup != list[i - 1].startup || s.begin == list[i - 1].end) << i;
        }
    }
    // The missed snapshot: no row for instance 1, and its next interval covers both hours.
    const qint64 missed = Repository::kFirstSnapId + Repository::kMissedSnapshot;
    EXPECT_FALSE(repository().snapshot(missed, 1));
    ASSERT_TRUE(repository().snapshot(missed, 2));
    EXPECT_NEAR(double(repository().snapshot(missed + 1, 1)->seconds()), 7200, 10);
    // Instance 2 restarted once in the repository: the snapshot after it begins at the
    // startup time.
    std::set<QDateTime> startups;
    for (const auto &s : byInstance[2])
        startups.insert(s.startup);
    ASSERT_EQ(startups.size(), 2u);
    const QDateTime restart = *startups.rbegin();
    const auto after =
        std::find_if(byInstance[2].begin(), byInstance[2].end(), [&](const auto &s) { return s.startup == restart; });
    EXPECT_EQ(after->begin, restart);
    EXPECT_LT(after->seconds(), 3600);
}

TEST_F(RepositoryModel, TheWindowIsReadAsTheDatabaseWouldOrRefusedWithItsError)
{
    auto window = [&](const QString &condition) {
        return readSnapshotWindow(
            Statement("select snap_id from dba_hist_snapshot where " + condition + " group by snap_id"), model());
    };
    const auto half = window("begin_interval_time >= sysdate - .5");
    ASSERT_TRUE(half && half->beginFrom);
    EXPECT_EQ(*half->beginFrom, model().now().addSecs(-12 * 3600));
    int inHalfDay = 0;
    for (const auto &s : repository().snapshots())
        inHalfDay += half->contains(s);
    EXPECT_EQ(inHalfDay, 2 * 11); // the one that began 12 hours ago began a few seconds later
    const auto fromTo = window("begin_interval_time >= to_date('29/nov/2026 08:00:00','DD/MON/YYYY HH24:MI:SS') "
                               "and end_interval_time <=   to_date('29-NOVEMBER-2026 10:30','DD/MON/YYYY HH24:MI:SS')");
    ASSERT_TRUE(fromTo);
    EXPECT_EQ(*fromTo->beginFrom, QDateTime(QDate(2026, 11, 29), QTime(8, 0), Qt::UTC));
    EXPECT_EQ(*fromTo->endTo, QDateTime(QDate(2026, 11, 29), QTime(10, 30), Qt::UTC));
    EXPECT_FALSE(window("snap_id > 1"));
    // A negative count is a window starting tomorrow: no snapshot is in it.
    const auto ahead = window("begin_interval_time >= sysdate - -1");
    ASSERT_TRUE(ahead);
    EXPECT_EQ(*ahead->beginFrom, model().now().addDays(1));

    const std::pair<const char *, const char *> refused[] = {
        {"begin_interval_time >= sysdate - ", "ORA-00936: missing expression"},
        {"begin_interval_time >= sysdate - abc", "ORA-00904: \"ABC\": invalid identifier"},
        {"begin_interval_time >= sysdate - 1 2", "ORA-00933: SQL command not properly ended"},
        {"begin_interval_time >= to_date('x/MAY/2013 08:00:00','DD/MON/YYYY HH24:MI:SS')",
         "ORA-01858: a non-numeric character was found where a numeric was expected"},
        {"begin_interval_time >= to_date('1/MAYO/2013','DD/MON/YYYY HH24:MI:SS')", "ORA-01843: not a valid month"},
        {"begin_interval_time >= to_date('29/FEB/2013','DD/MON/YYYY HH24:MI:SS')",
         "ORA-01847: day of month must be between 1 and last day of month"},
        {"begin_interval_time >= to_date('1/MAY/2013 24:00:00','DD/MON/YYYY HH24:MI:SS')",
         "ORA-01850: hour must be between 0 and 23"},
        {"begin_interval_time >= to_date('1/MAY/2013 08:00:00 PM','DD/MON/YYYY HH24:MI:SS')",
         "ORA-01830: date format picture ends before converting entire input string"},
    };
    for (const auto &[condition, error] : refused)
        EXPECT_EQ(test::errorOf([&] { window(QString::fromLatin1(condition)); }), QString::fromLatin1(error))
            << condition;
}

// Statements whose figures the reports divide or split: executions without time and the
// reverse, and one that changes its plan.
TEST_F(RepositoryModel, StatementsRunAsAWorkloadDoes)
{
    const auto &workload = model().state<SqlWorkload>();
    const SqlWorkload::Sql &twoPlans = workload.statements().at(SqlWorkload::kTwoPlansIndex);
    int zeroExecutionsWithTime = 0, idle = 0, plan[2] = {0, 0};
    std::vector<SqlWorkload::Row> rows;
    for (const auto &s : repository().snapshots()) {
        rows.clear();
        workload.rowsOf(s, rows);
        for (const auto &r : rows) {
            zeroExecutionsWithTime += r.executions == 0 && r.elapsed > 0;
            idle += r.executions == 0 && r.elapsed == 0 && r.cpu == 0;
            EXPECT_LE(r.cpu, r.elapsed);
            if (r.sql == &twoPlans) {
                const bool second = r.planHashValue == twoPlans.plans[1];
                ++plan[second];
                EXPECT_EQ(second, s.index >= twoPlans.planChange);
            }
        }
    }
    EXPECT_GT(zeroExecutionsWithTime, 5);
    EXPECT_GT(idle, 5);
    EXPECT_GT(plan[0], 24);
    EXPECT_GT(plan[1], 24);
}
