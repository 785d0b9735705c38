// The simulated sessions of both instances: who is there, how they come and go, and
// how their statistics grow.
#include "db/connection.h"
#include "db/error.h"
#include "db/query.h"
#include "db/sim/server.h"
#include "db/sim/live/session_model.h"
#include "db/sim/live/sql_sessions.h"

#include <QHash>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

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
    void SetUp() override { server.reset(5, sim::ClockMode::Manual); }
    const sim::SessionModel &model() { return server.model().state<sim::SessionModel>(); }
    std::vector<SessionRow> sessions() { return model().sessions(nullptr); }
    QStringList column(const char *sql)
    {
        Connection cnn;
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("system"), QStringLiteral("manager"), QStringLiteral("TAVIDB")}});
        Query q(cnn);
        q.setSql({QString::fromUtf8(sql)});
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.field(0);
        return out;
    }
    sim::Server &server = sim::Server::instance();
};

} // namespace

TEST_F(SimulatedSessions, BothInstancesHaveUserAndBackgroundActiveAndInactiveSessions)
{
    QSet<QString> seen;
    std::vector<SessionRow> sampled;
    for (int tick = 0; tick < 10; ++tick, server.model().advance(30))
        for (SessionRow &s : sessions())
            sampled.push_back(std::move(s));
    for (const SessionRow &s : sampled) {
        seen << QStringLiteral("%1 %2 %3").arg(s.instance).arg(s.type, s.status);
        if (s.type == QLatin1String("BACKGROUND")) {
            EXPECT_TRUE(s.username.isEmpty());
            EXPECT_EQ(s.status, QStringLiteral("ACTIVE"));
        }
        // Only an active session runs a statement.
        EXPECT_EQ(!s.sqlId.isEmpty(), s.status == QLatin1String("ACTIVE") && s.type == QLatin1String("USER"))
            << identity(s).toStdString();
    }
    for (const char *expected : {"1 BACKGROUND ACTIVE", "2 BACKGROUND ACTIVE", "1 USER ACTIVE", "1 USER INACTIVE",
                                 "2 USER ACTIVE", "2 USER INACTIVE"})
        EXPECT_TRUE(seen.contains(QLatin1String(expected))) << expected;

    // Through the views: gv$session holds both instances and the caller's own session,
    // v$session only the caller's instance.
    EXPECT_EQ(column("select count(*) from gv$session where program = 'tavimond'"), QStringList{"1"});
    EXPECT_EQ(column("select count(*) from v$session where type = 'BACKGROUND'"), QStringList{"16"});
    EXPECT_EQ(column("select count(*) from gv$session where type = 'BACKGROUND'"), QStringList{"32"});
    EXPECT_EQ(column("select count(*) from gv$statname"), column("select count(*) * 2 from v$statname"));
    EXPECT_EQ(column("select name from v$statname where statistic# = 12"),
              QStringList{QStringLiteral("CPU used by this session")});
}

TEST_F(SimulatedSessions, FiguresGrowOnlyWhileActive)
{
    const size_t cpu = statIndex("CPU used by this session");
    QHash<QString, double> before;
    QHash<QString, QString> statusBefore;
    QSet<QString> grew, wasActive;
    for (int second = 0; second < 400; ++second) {
        for (const SessionRow &s : sessions()) {
            const QString id = identity(s);
            const double now = model().statistic(s, cpu).value_or(-1);
            ASSERT_GE(now, 0) << id.toStdString();
            if (before.contains(id)) {
                EXPECT_GE(now, before.value(id)) << id.toStdString();
                if (statusBefore.value(id) == QLatin1String("INACTIVE") && s.status == QLatin1String("INACTIVE")) {
                    EXPECT_EQ(now, before.value(id)) << id.toStdString() << " at " << second;
                }
                if (now > before.value(id))
                    grew << id;
            }
            if (s.status == QLatin1String("ACTIVE") && s.type == QLatin1String("USER"))
                wasActive << id;
            before[id] = now;
            statusBefore[id] = s.status;
        }
        server.model().advance(1);
    }
    ASSERT_FALSE(wasActive.isEmpty());
    for (const QString &id : wasActive)
        EXPECT_TRUE(grew.contains(id)) << id.toStdString();
}

TEST_F(SimulatedSessions, SessionsLogOffAndOnAndASidIsReusedUnderANewSerial)
{
    QHash<QString, int> serialOf; // "inst/sid" -> serial# at the previous sample
    bool reused = false, cameBack = false;
    QSet<QString> gone;
    for (int tick = 0; tick < 100; ++tick) {
        QHash<QString, int> now;
        for (const SessionRow &s : sessions())
            if (s.type == QLatin1String("USER"))
                now.insert(QStringLiteral("%1/%2").arg(s.instance).arg(s.sid), s.serial);
        for (auto it = now.begin(); it != now.end(); ++it) {
            if (serialOf.contains(it.key()) && serialOf.value(it.key()) != it.value())
                reused = true;
            if (gone.contains(it.key()))
                cameBack = true;
        }
        for (auto it = serialOf.begin(); it != serialOf.end(); ++it)
            if (!now.contains(it.key()))
                gone << it.key();
        serialOf = now;
        server.model().advance(30);
    }
    EXPECT_TRUE(reused);
    EXPECT_TRUE(cameBack);
    EXPECT_FALSE(gone.isEmpty());
}

TEST_F(SimulatedSessions, Instance2RestartsItsSessionsAnHourIn)
{
    const size_t cpu = statIndex("CPU used by this session");
    server.model().advance(3590);
    QHash<QString, std::pair<int, double>> before; // "inst/program" of background -> serial, cpu
    for (const SessionRow &s : sessions())
        if (s.type == QLatin1String("BACKGROUND"))
            before.insert(QString::number(s.instance) + s.program, {s.serial, *model().statistic(s, cpu)});
    server.model().advance(20);
    int compared = 0;
    for (const SessionRow &s : sessions()) {
        if (s.type != QLatin1String("BACKGROUND"))
            continue;
        const auto was = before.value(QString::number(s.instance) + s.program);
        const double now = *model().statistic(s, cpu);
        if (s.instance == 1) {
            EXPECT_EQ(s.serial, was.first);
            EXPECT_GE(now, was.second);
        } else {
            EXPECT_NE(s.serial, was.first);
            EXPECT_LT(now, was.second); // counted from zero again
            EXPECT_LE(s.age, 10);
        }
        ++compared;
    }
    EXPECT_EQ(compared, 32);
}

TEST_F(SimulatedSessions, BackgroundProcessesKeepNoParseOrApplicationFigures)
{
    const size_t parse = statIndex("parse time elapsed");
    const size_t app = statIndex("application wait time");
    const size_t io = statIndex("user I/O wait time");
    for (const SessionRow &s : sessions()) {
        const bool background = s.type == QLatin1String("BACKGROUND");
        EXPECT_EQ(model().statistic(s, parse).has_value(), !background);
        EXPECT_EQ(model().statistic(s, app).has_value(), !background);
        EXPECT_TRUE(model().statistic(s, io).has_value());
    }
    // gv$sesstat leaves the statistics out that a session does not keep.
    const int perUser = int(sim::SessionModel::statisticNames().size());
    const QStringList pmon = column("select count(*) from v$sesstat where sid = 1");
    ASSERT_EQ(pmon.size(), 1);
    EXPECT_LT(pmon[0].toInt(), perUser);
}

TEST_F(SimulatedSessions, TheSessionsRunningTheCataloguesStatementsAreAmongThemAndTheirStatementsInTheSharedPool)
{
    // One population of sessions: those the statement text and lock views show are here.
    const std::vector<SessionRow> all = sessions();
    for (const sim::SqlSession &q : server.model().state<sim::SqlSessions>().now()) {
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
            EXPECT_EQ(sim::SessionModel::sqlAddress(s), QStringLiteral("00"));
            continue;
        }
        ++running;
        const QStringList ids =
            column(QStringLiteral("select sql_id from gv$sqlarea where inst_id = %1 and address = '%2'")
                       .arg(s.instance)
                       .arg(sim::SessionModel::sqlAddress(s))
                       .toUtf8()
                       .constData());
        EXPECT_EQ(ids, QStringList{s.sqlId});
    }
    EXPECT_GT(running, 0);
}

namespace {

// The statement that asks for one session's statistics; `joinInstance` adds the join of
// gv$statname on inst_id.
QString statisticsOf(const QString &instance, const QString &sid, bool joinInstance)
{
    QStringList lines{QStringLiteral("SELECT statdesc.name, nvl(sql.value/1000000,0) "),
                      QStringLiteral("FROM gV$SESSION sess, gv$sesstat sql, gv$statname statdesc "),
                      QStringLiteral("where "),
                      QStringLiteral("sess.inst_id = ") + instance + QStringLiteral(" and "),
                      QStringLiteral("sess.sid = ") + sid + QStringLiteral(" and "),
                      QStringLiteral("sess.inst_id = sql.inst_id and "),
                      QStringLiteral("sess.sid = sql.sid and ")};
    if (joinInstance)
        lines << QStringLiteral("sql.inst_id = statdesc.inst_id and ");
    lines << QStringLiteral("sql.statistic# = statdesc.statistic# ");
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TEST_F(SimulatedSessions, ASessionsEventsGrowAndEventsFirstSeenLaterStandInTheMiddleOfTheList)
{
    // The log writer of instance 1 and a user session of instance 1 that runs the
    // catalogue's statements.
    const QStringList sids{QStringLiteral("11"), QStringLiteral("101")};
    const auto events = [&](const QString &sid) {
        return column(QStringLiteral("select event from gV$SESSION_EVENT where sid = %1and inst_id = 1")
                          .arg(sid)
                          .toUtf8()
                          .constData());
    };
    const auto waits = [&](const QString &sid) {
        return column(QStringLiteral("select total_waits from gV$SESSION_EVENT where sid = %1and inst_id = 1")
                          .arg(sid)
                          .toUtf8()
                          .constData());
    };
    QHash<QString, QStringList> first, firstWaits;
    for (const QString &sid : sids) {
        first[sid] = events(sid);
        firstWaits[sid] = waits(sid);
        ASSERT_GT(first[sid].size(), 3) << sid.toStdString();
    }
    server.model().advance(400);
    for (const QString &sid : sids) {
        const QStringList later = events(sid);
        const QStringList laterWaits = waits(sid);
        // Every event stays, in its order; the new ones come between others.
        QStringList kept = later;
        QStringList added;
        for (const QString &e : later)
            if (!first[sid].contains(e))
                added << e;
        for (const QString &e : added)
            kept.removeAll(e);
        EXPECT_EQ(kept, first[sid]) << sid.toStdString();
        ASSERT_FALSE(added.isEmpty()) << sid.toStdString();
        EXPECT_LT(later.indexOf(added.first()), later.size() - 1) << sid.toStdString();
        // Waits never fall, and some grow.
        bool grew = false;
        for (int i = 0; i < first[sid].size(); ++i) {
            const double before = firstWaits[sid].at(i).toDouble();
            const double now = laterWaits.at(later.indexOf(first[sid].at(i))).toDouble();
            EXPECT_GE(now, before) << sid.toStdString() << " " << first[sid].at(i).toStdString();
            grew = grew || now > before;
        }
        EXPECT_TRUE(grew) << sid.toStdString();
    }
    // Background processes and user sessions wait on their own kinds of events.
    const QStringList lgwr = column("select event from gv$session_event where inst_id = 1 and sid = 11");
    EXPECT_TRUE(lgwr.contains(QStringLiteral("rdbms ipc message")));
    EXPECT_FALSE(lgwr.contains(QStringLiteral("SQL*Net message from client")));
    EXPECT_EQ(column("select count(*) from gv$session_event where inst_id = 2 and sid = 11"),
              column("select count(*) from gv$session_event where inst_id = 1 and sid = 11"));
    EXPECT_EQ(column("select count(*) from v$session_event where sid = 9999"), QStringList{"0"});
}

TEST_F(SimulatedSessions, OneSessionsStatisticsAreWellOverAThousandAndSomeShrink)
{
    const QString joined = statisticsOf(QStringLiteral("'1'"), QStringLiteral("'101'"), true);
    const QStringList names = column(joined.toUtf8().constData());
    EXPECT_GT(names.size(), 1100);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size());
    // Without the join on inst_id every statistic comes once per instance.
    const QStringList doubled =
        column(statisticsOf(QStringLiteral("'1'"), QStringLiteral("'101'"), false).toUtf8().constData());
    EXPECT_EQ(doubled.size(), 2 * names.size());
    EXPECT_EQ(doubled.count(QStringLiteral("session logical reads")), 2);
    // Unquoted numbers read the same; a session that is not there has none.
    EXPECT_EQ(column(statisticsOf(QStringLiteral("1"), QStringLiteral("101"), true).toUtf8().constData()), names);
    EXPECT_TRUE(
        column(statisticsOf(QStringLiteral("'1'"), QStringLiteral("'9999'"), true).toUtf8().constData()).isEmpty());
    try {
        column(statisticsOf(QStringLiteral("'1'"), QStringLiteral("'1x'"), true).toUtf8().constData());
        ADD_FAILURE() << "a SID that is no number must fail";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("ORA-01722: invalid number"));
    }

    // Values over a million; the memory a session holds goes down as well as up.
    const size_t pga = statIndex("session pga memory");
    bool fell = false, rose = false;
    std::optional<double> before;
    for (int tick = 0; tick < 40; ++tick, server.model().advance(30)) {
        for (const SessionRow &s : sessions()) {
            if (s.instance != 1 || s.sid != 11)
                continue;
            const double now = *model().statistic(s, pga);
            if (before) {
                fell = fell || now < *before;
                rose = rose || now > *before;
            }
            before = now;
        }
    }
    EXPECT_TRUE(fell);
    EXPECT_TRUE(rose);
}
