#include "db/db_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavimond;
using test::errorOf;
using test::simLogon;

namespace {

QStringList sql(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'));
}

class SimulatedInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.reset(7, sim::ClockMode::Manual);
        // A family the tests teach the server: three rows with a NULL, a duplicate column
        // name and mixed-case names.
        server.add({"test rows", [](const sim::Statement &s) { return s.has("from test_rows"); },
                    [](const sim::Statement &, sim::Context &) {
                        auto t = std::make_shared<sim::Table>(QStringList{"INST_ID", "Event", "VALUE", "value"});
                        for (int i = 1; i <= 3; ++i)
                            t->addRow({QString::number(i), i == 2 ? QString() : QStringLiteral("event %1").arg(i),
                                       QString::number(i * 10), "second"});
                        return t;
                    }});
        cnn.setConnectionString(simLogon());
    }
    sim::Server &server = sim::Server::instance();
    Connection cnn;
};

} // namespace

TEST_F(SimulatedInstance, QueryReadsFieldsByNumberAndByNameWithNullAsEmptyText)
{
    Query q(cnn);
    q.setSql(sql("select inst_id, event, value, value\nfrom test_rows"));
    EXPECT_FALSE(cnn.connected()); // nothing connects before the first open
    q.open();
    EXPECT_TRUE(cnn.connected());
    ASSERT_EQ(q.fieldCount(), 4);
    EXPECT_EQ(q.fieldName(1), "Event");

    QStringList seen;
    while (!q.eof()) {
        // By name without regard to case; a duplicate name gives the first column.
        seen << q.field(0) + QLatin1Char('|') + q.field("EVENT") + QLatin1Char('|') + q.field("Value");
        q.next();
    }
    EXPECT_EQ(seen, (QStringList{"1|event 1|10", "2||20", "3|event 3|30"}));
    // Past the last record every field reads as empty text.
    EXPECT_EQ(q.field(0), QString());
    EXPECT_EQ(q.field("event"), QString());
    EXPECT_EQ(errorOf([&] { (void)q.field("NO_SUCH"); }), "Field 'NO_SUCH' not found");
    // The server received the lines joined by a line break.
    EXPECT_EQ(server.statements(), QStringList{"select inst_id, event, value, value\nfrom test_rows"});
}

TEST_F(SimulatedInstance, OnlyQueriesAreSentAndUnknownSqlAndBadLogonsFailTheWayOracleDoes)
{
    Query q(cnn);
    for (const char *text : {"delete from test_rows", "  \n", "alter system kill session '1,2'",
                             "/* select */ update test_rows set x = 1", "selection from x"}) {
        q.setSql(sql(text));
        EXPECT_THROW(q.open(), DbError) << text;
    }
    // Right after start-up the string holds only the prefix: no user, so no logon.
    q.setSql(sql("select * from test_rows"));
    cnn.setConnectionString({"Provider=Simulated;", std::nullopt});
    EXPECT_THROW(q.open(), DbError);
    cnn.setConnectionString(simLogon("  "));
    EXPECT_EQ(errorOf([&] { q.open(); }), "ORA-01017: invalid username/password; logon denied");
    cnn.setConnectionString(simLogon());
    server.setLogonDenied(true);
    EXPECT_THROW(q.open(), DbError);
    server.setLogonDenied(false);
    EXPECT_TRUE(server.statements().isEmpty());
    EXPECT_EQ(server.logonCount(), 0);

    q.setSql(sql("select nothing from no_such_view"));
    EXPECT_EQ(errorOf([&] { q.open(); }), "ORA-00942: table or view does not exist");
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(server.statements().size(), 1); // received and recorded all the same
    for (const char *text :
         {"-- rows\n( SELECT * from test_rows)", "with x as (select 1 from dual)\nselect * from test_rows",
          "/*+ note */Select * from test_rows"}) {
        q.setSql(sql(text));
        EXPECT_NO_THROW(q.open()) << text;
    }
}

TEST_F(SimulatedInstance, AStarOverAViewTwoOfWhoseColumnsShareANameIsRefusedAsOracleRefusesIt)
{
    Query q(cnn);
    const auto error = [&](const char *text) {
        q.setSql(sql(text));
        return errorOf([&] { q.open(); });
    };
    // A literal is named by its text, a column by its own name, an expression by its
    // text without blanks; a union's columns are its first branch's.
    for (const char *text : {
             "select * from (select ' ', ' ' from test_rows)",
             "select * from\n(select '1', ' ', ' ' from test_rows\nunion all\nselect '4', event, ' ' from "
             "test_rows)\norder by 1",
             "select v.* from (select inst_id, value inst_id from test_rows) v",
             "select * from (select a.inst_id, b.inst_id from test_rows a, test_rows b)",
             "select * from (select inst_id + 1, inst_id+1 from test_rows)",
             "select count(*) from (select * from (select event, \"EVENT\" from test_rows))",
             "select * from ((select value as x, event x from test_rows))",
             // A unit word after a number is its alias; an expression's blanks do not count.
             "select * from (select 1 day, 2 day from test_rows)",
             "select * from (select interval '1' day x, interval '2' day x from test_rows)",
             "select * from (select sysdate - interval '1' hour, sysdate-interval'1'hour from test_rows)",
         })
        EXPECT_EQ(error(text), "ORA-00918: column ambiguously defined") << text;
    // Named apart, repeated in a later branch only, repeated in the select list of the
    // statement itself, or not read with "*": answered.
    for (const char *text : {
             "select * from (select ' ' as partition_name, ' ' as subpartition_name from test_rows)",
             "select * from (select '1', event, ' ' from test_rows union all select '4', ' ', ' ' from test_rows)",
             "select ' ', ' ', inst_id, inst_id from test_rows",
             "select count(*) from (select ' ', ' ' from test_rows)",
             // An interval literal's unit belongs to the literal: the columns are named
             // INTERVAL'1'DAY and INTERVAL'2'DAY, SYSDATE-INTERVAL'1'HOUR and so on.
             "select * from (select interval '1' day, interval '2' day from test_rows)",
             "select * from (select sysdate - interval '1' hour, sysdate - interval '2' hour from test_rows)",
             "select * from (select interval '1' day to second, interval '2' day to second from test_rows)",
             "select * from (select interval '1' day(3), interval '2' day(3) from test_rows)",
         })
        EXPECT_EQ(error(text), "(no error)") << text;
    // As a user types them in a Script tab: answered (their rows are checked below).
    for (const char *text :
         {"select * from (select interval '1' day, interval '2' day from dual)",
          "select * from (select sysdate - interval '1' hour, sysdate - interval '2' hour from dual)"})
        EXPECT_EQ(error(text), "(no error)") << text;
}

TEST_F(SimulatedInstance, QueriesOverDualAnswerOneRowNamedByTheirTextFromTheSimulatedClock)
{
    server.model().advance(2 * 3600 + 5 * 60 + 7);
    const QDateTime now = server.model().now();
    const auto date = [](const QDateTime &t) { return t.toString("yyyy-MM-dd HH:mm:ss"); };
    Query q(cnn);
    // Each column as NAME=value; dual has one row.
    const auto answer = [&](const char *text) {
        q.setSql(sql(text));
        QStringList cells;
        const QString error = errorOf([&] { q.open(); });
        if (error != "(no error)")
            return QStringList{error};
        for (int i = 0; i < q.fieldCount(); ++i)
            cells << q.fieldName(i) + '=' + q.field(i);
        q.next();
        EXPECT_TRUE(q.eof()) << text;
        return cells;
    };
    EXPECT_EQ(answer("select * from (select interval '1' day, interval '2' day from dual)"),
              (QStringList{"INTERVAL'1'DAY=+01 00:00:00.000000", "INTERVAL'2'DAY=+02 00:00:00.000000"}));
    EXPECT_EQ(answer("select * from (select sysdate - interval '1' hour, sysdate - interval '2' hour from dual)"),
              (QStringList{"SYSDATE-INTERVAL'1'HOUR=" + date(now.addSecs(-3600)),
                           "SYSDATE-INTERVAL'2'HOUR=" + date(now.addSecs(-7200))}));
    // A literal's text is named as the rest, upper-cased and without blanks.
    EXPECT_EQ(answer("select 1+1, 'x', 'Hello World' from dual"),
              (QStringList{"1+1=2", "'X'=x", "'HELLOWORLD'=Hello World"}));
    EXPECT_EQ(answer("Select Dummy, User, SYSDATE + 1/24 from Dual"),
              (QStringList{"DUMMY=X", "USER=SYSTEM", "SYSDATE+1/24=" + date(now.addSecs(3600))}));
    // An inline view's columns by their names, its date columns still dates.
    EXPECT_EQ(answer("select v.x + interval '30' second, y from (select sysdate - interval '90' minute x,\n"
                     "interval '-1 02:03:04.5' day to second y from dual) v where x < sysdate"),
              (QStringList{"V.X+INTERVAL'30'SECOND=" + date(now.addSecs(-90 * 60 + 30)), "Y=-01 02:03:04.500000"}));
    EXPECT_EQ(answer("select sysdate - (sysdate - interval '36' hour), nvl(null, sysdate - 2) from dual"),
              (QStringList{"SYSDATE-(SYSDATE-INTERVAL'36'HOUR)=1.5", "NVL(NULL,SYSDATE-2)=" + date(now.addDays(-2))}));
    q.setSql(sql("select x from (select 1 x from dual) where x = 0"));
    q.open();
    EXPECT_TRUE(q.eof());

    // Refused as Oracle refuses them.
    for (const auto &[text, refusal] : std::vector<std::pair<const char *, const char *>>{
             {"select * from (select 1 x, 2 x from dual)", "ORA-00918: column ambiguously defined"},
             {"select * from (select 'a b', 'AB' from dual)", "ORA-00918: column ambiguously defined"},
             {"select x from (select 1 x, 2 x from dual)", "ORA-00918: column ambiguously defined"},
             {"select nothing from dual", "ORA-00904: \"NOTHING\": invalid identifier"},
             {"select interval '100' day from dual", "ORA-01873: the leading precision of the interval is too small"},
             {"select interval '1 24:00:00' day to second from dual", "ORA-01850: hour must be between 0 and 23"},
             {"select interval '1:30' day to second from dual", "ORA-01867: the interval is invalid"},
             {"select sysdate + sysdate from dual", "ORA-00975: date + date not allowed"},
             // What the instance cannot compute, it does not know.
             {"select interval '1' year from dual", "ORA-00942: table or view does not exist"},
             {"select sysdate || 'x' from dual", "ORA-00942: table or view does not exist"},
         })
        EXPECT_EQ(answer(text), QStringList{refusal}) << text;
}

TEST_F(SimulatedInstance, SlowStatementsAndTheCommandTimeOut)
{
    Query q(cnn, 2);
    q.setSql(sql("select * from test_rows"));
    // Slower than its time-out it fails as on every screen under that fault; within it, it answers.
    server.setSlowStatement("from test_rows", 5000);
    EXPECT_THROW(q.open(), DbError);
    server.setSlowStatement("from test_rows", 20);
    EXPECT_NO_THROW(q.open());
    Query patient(cnn, 0); // no limit
    patient.setSql(sql("select * from test_rows"));
    EXPECT_NO_THROW(patient.open());
    EXPECT_EQ(server.timeouts(), (QList<int>{2, 2, 0})); // each statement's own time-out, the failed one too
}

TEST_F(SimulatedInstance, StatementsAreAppendedToTheLogFileAsJsonStrings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sim.log");
    const QByteArray outer = qgetenv("TAVIMOND_SIM_LOG"); // a whole run's log goes on after this test
    qputenv("TAVIMOND_SIM_LOG", path.toLocal8Bit());
    Query q(cnn);
    q.setSql({"select * from test_rows", "where name = \"Q\"\t-- \\ done"});
    q.open();
    q.setSql({"select user from dual"});
    q.open();
    EXPECT_EQ(q.field(0), "SYSTEM");
    if (outer.isEmpty())
        qunsetenv("TAVIMOND_SIM_LOG");
    else
        qputenv("TAVIMOND_SIM_LOG", outer);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("\"select * from test_rows\\nwhere name = \\\"Q\\\"\\t-- \\\\ done\"\n"
                             "\"select user from dual\"\n"));
}

TEST_F(SimulatedInstance, TheClockMovesOnlyWhenAdvancedAndCountersFollowItToTheMillisecond)
{
    Query q(cnn);
    q.setSql({"SELECT SYSDATE\n  FROM DUAL"});
    q.open();
    EXPECT_EQ(q.field(0), "2026-11-30 08:00:00");
    server.model().advance(90);
    q.open();
    EXPECT_EQ(q.field("sysdate"), "2026-11-30 08:01:30");
    // The same seed gives the same random draws.
    auto a = server.model().random(3);
    sim::Model other(7, sim::ClockMode::Manual);
    auto b = other.random(3);
    EXPECT_EQ(a.generate(), b.generate());

    // A one-second timer ticks a few milliseconds early or late. Counted in whole seconds,
    // the samples would fall 0, 2, 2 and 4 seconds in, and every counter would show a
    // Delta of twice its rate, then none, then twice again.
    q.setSql(sql("select INST_ID||':'||EVENT, TOTAL_WAITS from gv$system_event\norder by 1,2"));
    const auto sample = [&] {
        QHash<QString, qint64> waits;
        for (q.open(); !q.eof(); q.next())
            waits.insert(q.field(0), q.field(1).toLongLong());
        return waits;
    };
    const qint64 start = server.model().elapsedMilliseconds();
    std::vector<QHash<QString, qint64>> samples;
    for (const qint64 at : {998, 2003, 2997, 4002}) {
        server.model().advanceMilliseconds(start + at - server.model().elapsedMilliseconds());
        samples.push_back(sample());
    }
    EXPECT_EQ(server.model().elapsedSeconds(), 94);
    // The busiest event: about a second's worth at every tick, never none nor two.
    QString busiest;
    for (auto it = samples[1].cbegin(); it != samples[1].cend(); ++it)
        if (busiest.isEmpty() ||
            it.value() - samples[0].value(it.key()) > samples[1].value(busiest) - samples[0].value(busiest))
            busiest = it.key();
    const qint64 first = samples[1].value(busiest) - samples[0].value(busiest);
    ASSERT_GT(first, 100);
    for (size_t t = 1; t < samples.size(); ++t) {
        const qint64 delta = samples[t].value(busiest) - samples[t - 1].value(busiest);
        EXPECT_GT(delta, first * 2 / 3) << busiest.toStdString() << " tick " << t;
        EXPECT_LT(delta, first * 3 / 2) << busiest.toStdString() << " tick " << t;
    }
}
