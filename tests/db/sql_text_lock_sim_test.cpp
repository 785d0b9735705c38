// The simulated instance's statement texts, plans, locks and blocked sessions.
#include "db/db_support.h"
#include "db/sim/live/sql_catalogue.h"

#include <QMap>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class LiveSqlSim : public ::testing::Test {
protected:
    // Every row of a statement sent on a connection to the service, cells joined by " | ".
    QStringList rows(const QString &sql, const QString &service = "TAVIDB")
    {
        QStringList out;
        for (const QStringList &cells : db.rows(sql, service))
            out << cells.join(" | ");
        return out;
    }
    QStringList plan(const QString &sqlId, const QString &service)
    {
        return rows(QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('%1'))").arg(sqlId), service);
    }

    test::SimDb db{5};
};

} // namespace

TEST_F(LiveSqlSim, TextViewHoldsEveryCachedStatementInPiecesOfAtMost64CharactersAndItsJoinReadsNumbers)
{
    QMap<QString, QString> joined; // "inst:sql_id" -> text
    QMap<QString, int> pieces;
    bool lineBreakInAPiece = false;
    for (const QStringList &r : db.rows("select inst_id, sql_id, piece, sql_text from gv$sqltext_with_newlines\n"
                                        "order by inst_id, sql_id, piece")) {
        const QString key = r.at(0) + QLatin1Char(':') + r.at(1);
        EXPECT_EQ(r.at(2).toInt(), pieces[key]) << "pieces come in order from 0";
        ++pieces[key];
        EXPECT_LE(r.at(3).size(), 64);
        lineBreakInAPiece = lineBreakInAPiece || r.at(3).contains(QLatin1Char('\n'));
        joined[key] += r.at(3);
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

    const QString join = QStringLiteral("SELECT T.SQL_TEXT FROM GV$SQLTEXT_WITH_NEWLINES T, GV$SESSION S\n"
                                        "WHERE S.SID = %1\nand s.inst_id = 1\nand S.INST_ID = T.INST_ID\n"
                                        "and s.sql_id = 'x'\nAND S.SQL_ADDRESS = T.ADDRESS\nORDER BY T.PIECE");
    EXPECT_TRUE(rows(join.arg(58)).isEmpty());
    EXPECT_EQ(db.error(join.arg("abc")), "ORA-00904: \"ABC\": invalid identifier");
    EXPECT_NE(db.error(join.arg(QString())), "(no error)");
}

// The plan's layout is the server's; what the screens rely on is whose plan it is and
// where there is none.
TEST_F(LiveSqlSim, DisplayCursorGivesTheStatementsPlanOrTheNotFoundRow)
{
    for (const sim::CatalogueStatement &s : sim::sqlCatalogue()) {
        const QStringList lines = plan(s.sqlId, "TAVIDB2");
        ASSERT_GE(lines.size(), 10) << qPrintable(s.sqlId);
        EXPECT_EQ(lines.at(0), QStringLiteral("SQL_ID  %1, child number 0").arg(s.sqlId));
        EXPECT_TRUE(lines.contains(QStringLiteral("Plan hash value: %1").arg(s.planHashValue)));
        for (const auto &step : s.plan)
            EXPECT_TRUE(lines.join('\n').contains(QLatin1String(step.operation))) << step.operation;
        // Instance 1 has no cursor of the report that runs on instance 2.
        EXPECT_EQ(plan(s.sqlId, "TAVIDB"),
                  s.cachedOnInstance(1)
                      ? lines
                      : QStringList{QStringLiteral("SQL_ID: %1, child number: 0 cannot be found").arg(s.sqlId)});
    }
    EXPECT_EQ(plan("it''s", "TAVIDB"), QStringList{"SQL_ID: it's, child number: 0 cannot be found"});
}

TEST_F(LiveSqlSim, EditedLockAndBlockingScriptsGetTrueAnswersAndThePairComesBackEveryQuarterHour)
{
    // The lock join with a condition of the user's own: only the lock that blocks.
    EXPECT_EQ(rows("select l.sid, lt.name, lt.id1_tag||':'||to_char(l.id1) id1,\n"
                   "decode(l.block, 0, 'Not Blocking', 1, 'Blocking', to_char(l.block)) b\n"
                   "from v$lock_type lt, v$lock l where lt.type = l.type and l.block = 1"),
              QStringList{"58 | Transaction | usn<<16 | slot:458773 | Blocking"});
    // Locks are those of the instance connected to; the blocked pair lives on instance 1.
    EXPECT_EQ(rows("select count(*) from v$lock where request > 0"), QStringList{"1"});
    EXPECT_EQ(rows("select count(*) from v$lock where request > 0", "TAVIDB2"), QStringList{"0"});
    const QString blocked = "select sid, event from gv$session where blocking_session is not null";
    EXPECT_EQ(rows(blocked), QStringList{"203 | enq: TX - row lock contention"});
    // The holder commits after ten minutes; the pair comes back every quarter hour.
    db.model().advance(600);
    EXPECT_TRUE(rows(blocked).isEmpty());
    EXPECT_TRUE(rows("select sid from v$lock where block = 1 or request > 0").isEmpty());
    db.model().advance(300);
    EXPECT_EQ(rows(blocked), QStringList{"203 | enq: TX - row lock contention"});
}
