// The simulated instance's statement texts, plans, locks and blocked sessions.
#include "common/sim_fixture.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/query.h"
#include "db/sim/server.h"
#include "db/sim/live/sql_catalogue.h"

#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class LiveSqlSim : public ::testing::Test {
protected:
    LiveSqlSim() { sim::Server::instance().reset(5, sim::ClockMode::Manual); }

    // Every row of a statement sent on a connection to the service, cells joined by " | ".
    static QStringList rows(const QString &sql, const QString &service = QStringLiteral("TAVIDB"))
    {
        Connection cnn;
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("system"), QStringLiteral("manager"), service}});
        QStringList out;
        for (const QStringList &cells : test::allRows(cnn, sql.split(QLatin1Char('\n'))))
            out << cells.join(QStringLiteral(" | "));
        return out;
    }

    static QStringList plan(const QString &sqlId, const QString &service)
    {
        return rows(QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('%1'))").arg(sqlId), service);
    }
};

} // namespace

TEST_F(LiveSqlSim, TextViewHoldsEveryCachedStatementInPiecesOfAtMost64Characters)
{
    Connection cnn;
    cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                             Logon{QStringLiteral("system"), QStringLiteral("manager"), QStringLiteral("TAVIDB")}});
    Query q(cnn);
    q.setSql({QStringLiteral("select inst_id, sql_id, piece, sql_text from gv$sqltext_with_newlines"),
              QStringLiteral("order by inst_id, sql_id, piece")});
    q.open();
    QMap<QString, QString> joined; // "inst:sql_id" -> text
    QMap<QString, int> pieces;
    bool lineBreakInAPiece = false;
    for (; !q.eof(); q.next()) {
        const QString key = q.field(0) + QLatin1Char(':') + q.field(1);
        EXPECT_EQ(q.field(2).toInt(), pieces[key]) << "pieces come in order from 0";
        ++pieces[key];
        EXPECT_LE(q.field(3).size(), 64);
        lineBreakInAPiece = lineBreakInAPiece || q.field(3).contains(QLatin1Char('\n'));
        joined[key] += q.field(3);
    }
    EXPECT_TRUE(lineBreakInAPiece);
    int cached = 0;
    for (const sim::CatalogueStatement &s : sim::sqlCatalogue()) {
        for (int inst = 1; inst <= 2; ++inst) {
            const QString key = QStringLiteral("%1:%2").arg(inst).arg(s.sqlId);
            EXPECT_EQ(joined.contains(key), s.cachedOnInstance(inst)) << qPrintable(key);
            if (joined.contains(key)) {
                EXPECT_EQ(joined.value(key), s.text);
                EXPECT_EQ(pieces.value(key), (s.text.size() + 63) / 64);
                ++cached;
            }
        }
    }
    EXPECT_EQ(cached, joined.size());
    EXPECT_TRUE(std::any_of(sim::sqlCatalogue().begin(), sim::sqlCatalogue().end(),
                            [](const sim::CatalogueStatement &s) { return s.cachedOn == 2; }));
}

TEST_F(LiveSqlSim, DisplayCursorGivesThePlanLayoutOrTheNotFoundRow)
{
    for (const sim::CatalogueStatement &s : sim::sqlCatalogue()) {
        const QStringList lines = plan(s.sqlId, QStringLiteral("TAVIDB2"));
        ASSERT_GE(lines.size(), 10) << qPrintable(s.sqlId);
        EXPECT_EQ(lines.at(0), QStringLiteral("SQL_ID  %1, child number 0").arg(s.sqlId));
        EXPECT_TRUE(lines.contains(QStringLiteral("Plan hash value: %1").arg(s.planHashValue)));
        // The operation table: a header and one row per step between rules of one width.
        const qsizetype firstRule = lines.indexOf(QRegularExpression(QStringLiteral("^-+$")), 2);
        ASSERT_GT(firstRule, 0);
        const QString rule = lines.at(firstRule);
        EXPECT_TRUE(lines.at(firstRule + 1).startsWith(QStringLiteral("| Id  | Operation ")));
        EXPECT_TRUE(lines.at(firstRule + 1).endsWith(QStringLiteral("| Cost (%CPU)| Time     |")));
        EXPECT_EQ(lines.at(firstRule + 2), rule);
        const qsizetype steps = qsizetype(s.plan.size());
        EXPECT_EQ(lines.at(firstRule + 3 + steps), rule);
        QStringList predicateIds;
        for (qsizetype i = 0; i < steps; ++i) {
            const QString row = lines.at(firstRule + 3 + i);
            EXPECT_EQ(row.size(), rule.size()) << qPrintable(row);
            EXPECT_TRUE(row.contains(QLatin1String(s.plan[size_t(i)].operation)));
            if (row.startsWith(QStringLiteral("|*")))
                predicateIds << QString::number(i);
        }
        // Each marked step has its predicates below the table, and no other step has.
        QStringList listed;
        for (const QString &line : lines)
            if (line.contains(QStringLiteral(" - access(")) || line.contains(QStringLiteral(" - filter(")))
                listed << line.section(QLatin1Char('-'), 0, 0).trimmed();
        EXPECT_EQ(listed, predicateIds);
        EXPECT_EQ(lines.contains(QStringLiteral("Predicate Information (identified by operation id):")),
                  !predicateIds.isEmpty());

        // Instance 1 has no cursor of the report that runs on instance 2.
        const QStringList onInstance1 = plan(s.sqlId, QStringLiteral("TAVIDB"));
        if (s.cachedOnInstance(1))
            EXPECT_EQ(onInstance1, lines);
        else
            EXPECT_EQ(onInstance1,
                      QStringList{QStringLiteral("SQL_ID: %1, child number: 0 cannot be found").arg(s.sqlId)});
    }
    EXPECT_EQ(plan(QStringLiteral("it''s"), QStringLiteral("TAVIDB")),
              QStringList{QStringLiteral("SQL_ID: it's, child number: 0 cannot be found")});
}

TEST_F(LiveSqlSim, SessionTextJoinReadsItsNumbersAsOracleWould)
{
    const QString join = QStringLiteral("SELECT T.SQL_TEXT FROM GV$SQLTEXT_WITH_NEWLINES T, GV$SESSION S\n"
                                        "WHERE S.SID = %1\nand s.inst_id = 1\nand S.INST_ID = T.INST_ID\n"
                                        "and s.sql_id = 'x'\nAND S.SQL_ADDRESS = T.ADDRESS\nORDER BY T.PIECE");
    EXPECT_TRUE(rows(join.arg(58)).isEmpty());
    try {
        rows(join.arg(QStringLiteral("abc")));
        ADD_FAILURE() << "a word where the number goes";
    } catch (const DbError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("ORA-00904: \"ABC\": invalid identifier"));
    }
    EXPECT_THROW(rows(join.arg(QString())), DbError);
}

TEST_F(LiveSqlSim, EditedLockAndBlockingScriptsGetTrueAnswers)
{
    // The lock join with a condition of the user's own: only the lock that blocks.
    EXPECT_EQ(rows(QStringLiteral("select l.sid, lt.name, lt.id1_tag||':'||to_char(l.id1) id1,\n"
                                  "decode(l.block, 0, 'Not Blocking', 1, 'Blocking', to_char(l.block)) b\n"
                                  "from v$lock_type lt, v$lock l where lt.type = l.type and l.block = 1")),
              QStringList{QStringLiteral("58 | Transaction | usn<<16 | slot:458773 | Blocking")});
    EXPECT_EQ(rows(QStringLiteral("select count(*) from v$lock where request > 0")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(rows(QStringLiteral("select name from v$lock_type where type = 'TM'")),
              QStringList{QStringLiteral("DML")});
    // Locks are those of the instance connected to; the blocked pair lives on instance 1.
    EXPECT_EQ(rows(QStringLiteral("select count(*) from v$lock where request > 0"), QStringLiteral("TAVIDB2")),
              QStringList{QStringLiteral("0")});
    EXPECT_EQ(rows(QStringLiteral("select sid, event from gv$session where blocking_session = 58")),
              QStringList{QStringLiteral("203 | enq: TX - row lock contention")});
    // The holder commits after ten minutes; the pair comes back every quarter hour.
    sim::Server::instance().model().advance(600);
    EXPECT_TRUE(rows(QStringLiteral("select sid from gv$session where blocking_session is not null")).isEmpty());
    EXPECT_TRUE(rows(QStringLiteral("select sid from v$lock where block = 1 or request > 0")).isEmpty());
    sim::Server::instance().model().advance(300);
    EXPECT_EQ(rows(QStringLiteral("select sid from gv$session where blocking_session is not null")),
              QStringList{QStringLiteral("203")});
}
