// The simulated sessions of both instances: who is there, how they come and go, and
// how their statistics grow.
#include "db/db_support.h"
#include "db/sim/live/session_model.h"
#include "db/sim/live/sql_sessions.h"

#include <QHash>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>

using namespace tavimond;
using sim::SessionRow;

namespace {

size_t statIndex(const char *name)
{
    const auto &names = sim::SessionModel::statisticNames();
    for (size_t k = 0; k < names.size(); ++k)
        if (names[k].name == QLatin1String(name))
            return k;
    ADD_FAILURE() << "no statistic " << name;
    return 0;
}

QString identity(const SessionRow &s)
{
    return QStringLiteral("%1/%2/%3").arg(s.instance).arg(s.sid).arg(s.serial);
}

class SimulatedSessions : public ::testing::Test {
protected:
    const sim::SessionModel &model() { return db.model().state<sim::SessionModel>(); }
    std::vector<SessionRow> sessions() { return model().sessions(nullptr); }
    double cpu(const SessionRow &s) { return model().statistic(s, statIndex("CPU used by this session")).value_or(-1); }

    test::SimDb db{5};
};

} // namespace

TEST_F(SimulatedSessions, OnlyActiveUserSessionsRunStatementsAndTheViewsShowTheirInstances)
{
    for (int tick = 0; tick < 20; ++tick, db.model().advance(30)) {
        for (const SessionRow &s : sessions()) {
            EXPECT_TRUE(s.type != QLatin1String("BACKGROUND") || (s.username.isEmpty() && s.status == "ACTIVE"))
                << identity(s).toStdString();
            EXPECT_EQ(!s.sqlId.isEmpty(), s.status == QLatin1String("ACTIVE") && s.type == QLatin1String("USER"))
                << identity(s).toStdString();
        }
    }
    // gv$ views hold both instances and the caller's own session, v$ views the caller's instance.
    EXPECT_EQ(db.column("select count(*) from gv$session where program = 'tavimond'"), QStringList{"1"});
    EXPECT_EQ(db.column("select count(*) from gv$session where type = 'BACKGROUND'"),
              db.column("select count(*) * 2 from v$session where type = 'BACKGROUND'"));
    EXPECT_EQ(db.column("select count(*) from gv$statname"), db.column("select count(*) * 2 from v$statname"));
    // Background processes and user sessions wait on their own kinds of events.
    const QStringList lgwr = db.column("select event from gv$session_event where inst_id = 1 and sid = 11");
    EXPECT_TRUE(lgwr.contains("rdbms ipc message"));
    EXPECT_FALSE(lgwr.contains("SQL*Net message from client"));
    EXPECT_EQ(db.column("select count(*) from gv$session_event where inst_id = 2 and sid = 11"),
              db.column("select count(*) from gv$session_event where inst_id = 1 and sid = 11"));
    EXPECT_EQ(db.column("select count(*) from v$session_event where sid = 9999"), QStringList{"0"});
}

TEST_F(SimulatedSessions, FiguresGrowOnlyWhileActive)
{
    QHash<QString, double> before;
    QHash<QString, QString> statusBefore;
    QSet<QString> grew, wasActive;
    for (int second = 0; second < 400; ++second, db.model().advance(1)) {
        for (const SessionRow &s : sessions()) {
            const QString id = identity(s);
            const double now = cpu(s);
            ASSERT_GE(now, 0) << id.toStdString();
            if (before.contains(id)) {
                EXPECT_GE(now, before.value(id)) << id.toStdString();
                const bool idle = statusBefore.value(id) == QLatin1String("INACTIVE") && s.status == "INACTIVE";
                EXPECT_TRUE(!idle || now == before.value(id)) << id.toStdString() << " at " << second;
                if (now > before.value(id))
                    grew << id;
            }
            if (s.status == QLatin1String("ACTIVE") && s.type == QLatin1String("USER"))
                wasActive << id;
            before[id] = now;
            statusBefore[id] = s.status;
        }
    }
    ASSERT_FALSE(wasActive.isEmpty());
    for (const QString &id : wasActive)
        EXPECT_TRUE(grew.contains(id)) << id.toStdString();
}

TEST_F(SimulatedSessions, TheSessionsRunningTheCataloguesStatementsAreAmongThemAndTheirStatementsInTheSharedPool)
{
    // One population of sessions: those the statement text and lock views show are here.
    const std::vector<SessionRow> all = sessions();
    for (const sim::SqlSession &q : db.model().state<sim::SqlSessions>().now()) {
        const auto it = std::find_if(all.begin(), all.end(), [&](const SessionRow &s) {
            return s.instance == q.instance && s.sid == q.sid && s.serial == q.serial;
        });
        ASSERT_NE(it, all.end()) << q.sid;
        EXPECT_EQ(it->sqlId, q.sqlId);
        EXPECT_EQ(it->status, q.status);
    }
    int running = 0;
    for (const SessionRow &s : all) {
        if (s.sqlId.isEmpty()) {
            EXPECT_EQ(sim::SessionModel::sqlAddress(s), "00");
            continue;
        }
        ++running;
        EXPECT_EQ(db.column(QStringLiteral("select sql_id from gv$sqlarea where inst_id = %1 and address = '%2'")
                                .arg(s.instance)
                                .arg(sim::SessionModel::sqlAddress(s))),
                  QStringList{s.sqlId});
    }
    EXPECT_GT(running, 0);

    // One session's statistics; `joinInstance` adds the join of gv$statname on inst_id.
    const auto statistics = [&](const QString &instance, const QString &sid, bool joinInstance) {
        return db.column("SELECT statdesc.name, nvl(sql.value/1000000,0) \n"
                         "FROM gV$SESSION sess, gv$sesstat sql, gv$statname statdesc \nwhere \nsess.inst_id = " +
                         instance + " and \nsess.sid = " + sid +
                         " and \nsess.inst_id = sql.inst_id and \nsess.sid = sql.sid and \n" +
                         (joinInstance ? "sql.inst_id = statdesc.inst_id and \n" : "") +
                         "sql.statistic# = statdesc.statistic# ");
    };
    const QStringList names = statistics("'1'", "'101'", true);
    EXPECT_EQ(names.count("session logical reads"), 1);
    // Without the join on inst_id every statistic comes once per instance.
    EXPECT_EQ(statistics("'1'", "'101'", false).count("session logical reads"), 2);
    // Unquoted numbers read the same.
    EXPECT_EQ(statistics("1", "101", true), names);
    EXPECT_EQ(test::errorOf([&] { statistics("'1'", "'1x'", true); }), "ORA-01722: invalid number");
}

TEST_F(SimulatedSessions, AnActiveSessionsWaitsGrowBetweenTicksThatComeALittleEarlyOrLate)
{
    // The default timer at its shortest interval, a second, ticking a few milliseconds
    // early or late as timers do: a session that worked all along waited on something.
    QHash<QString, QList<QStringList>> before;
    QHash<QString, QString> statusBefore;
    int compared = 0;
    for (int tick = 0; tick < 30; ++tick) {
        for (const SessionRow &s : sessions()) {
            if (s.type != QLatin1String("USER"))
                continue;
            const QString id = identity(s);
            const QList<QStringList> waits =
                db.rows(QStringLiteral("select event, total_waits, time_waited from gv$session_event "
                                       "where inst_id = %1 and sid = %2")
                            .arg(s.instance)
                            .arg(s.sid));
            if (statusBefore.value(id) == QLatin1String("ACTIVE") && s.status == QLatin1String("ACTIVE")) {
                ++compared;
                EXPECT_NE(waits, before.value(id)) << id.toStdString() << " at tick " << tick;
            }
            before[id] = waits;
            statusBefore[id] = s.status;
        }
        db.model().advanceMilliseconds(tick % 2 ? 1010 : 990);
    }
    EXPECT_GT(compared, 50);
}
