// The "SQL Text" and "Locks" tabs of the real-time screen, against the simulated instance.
#include "common/recording_sink.h"
#include "common/sim_fixture.h"
#include "common/test_settings.h"
#include "core/result_grid.h"
#include "db/sim/live/sql_catalogue.h"
#include "db/sim/live/sql_sessions.h"
#include "live/real_time_screen.h"
#include "live/sql_text_tab.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

using namespace tavimond;

namespace {

class LiveSqlTabsTest : public ::testing::Test {
protected:
    LiveSqlTabsTest() : screen({sim.cnn, settings})
    {
        for (const GridHeaders &h : screen.gridHeaders())
            screen.findChild<ResultGrid *>(h.grid)->setHeaders(h.headers);
        sink().clear();
    }
    static test::RecordingSink &sink() { return test::RecordingSink::current(); }
    ResultGrid &grid(const char *name) { return *screen.findChild<ResultGrid *>(QLatin1String(name)); }
    QPlainTextEdit &memo(const char *name) { return *screen.findChild<QPlainTextEdit *>(QLatin1String(name)); }
    QLineEdit &edit(const char *name) { return *screen.findChild<QLineEdit *>(QLatin1String(name)); }
    void click(const char *name)
    {
        QTest::mouseClick(screen.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    const QStringList &sent() const { return sim.server.statements(); }

    // Moves the clock on until a session runs a statement the test wants, and chooses it.
    sim::SqlSession choose(int instance, const std::function<bool(const sim::CatalogueStatement &)> &wanted)
    {
        for (int step = 0; step < 200; ++step) {
            for (const sim::SqlSession &s : sim.server.model().state<sim::SqlSessions>().now()) {
                const sim::CatalogueStatement *st = sim::findStatement(s.sqlId);
                if (s.instance == instance && st && wanted(*st)) {
                    screen.sqlText()->setSession({QString::number(s.instance), QString::number(s.sid),
                                                  QString::number(s.serial), s.sqlId,
                                                  QString::number(st->planHashValue)});
                    return s;
                }
            }
            sim.server.model().advance(5);
        }
        ADD_FAILURE() << "no session runs such a statement";
        return {};
    }
    QStringList gridRow(const char *name, int r) { return grid(name).row(r); }
    int rowOf(const char *name, const QString &sid, const QString &type, int from = 1)
    {
        ResultGrid &g = grid(name);
        for (int r = from; r < g.rowCount(); ++r)
            if (g.cell(0, r) == sid && g.cell(1, r) == type)
                return r;
        return -1;
    }

    test::SimFixture sim;
    test::TestSettings settings;
    RealTimeScreen screen;
};

const QString kPlanStatement = QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('xxx')); ");

} // namespace

TEST_F(LiveSqlTabsTest, LoadNeedsAnSqlIdAndWholeNumbersBeforeAnythingIsSent)
{
    EXPECT_EQ(memo("sqlexecplanmemo").toPlainText(), kPlanStatement);
    EXPECT_TRUE(memo("sqlexecplanmemo").isReadOnly());
    memo("sqltextmemo").setPlainText(QStringLiteral("earlier text"));
    edit("sesid").setText(QStringLiteral("101"));
    edit("Instidst").setText(QStringLiteral("1"));
    click("Button23");
    EXPECT_EQ(sink().infos, QStringList{QStringLiteral(
                                "Please make sure SQL ID field is populated before loading SQL Text and Exec Plan")});
    EXPECT_TRUE(sink().errors.isEmpty());

    // A session or instance number that is not a whole number names its field.
    edit("sesssqlid").setText(QStringLiteral("b1c2qtprbwmd3"));
    edit("sesid").setText(QStringLiteral("101 or 1=1"));
    click("Button23");
    edit("sesid").setText(QStringLiteral("101"));
    edit("Instidst").setText(QString());
    click("Button23");
    ASSERT_EQ(sink().errors.size(), 2);
    EXPECT_TRUE(sink().errors.at(0).startsWith(QStringLiteral("SID must be a whole number"))) << sink().errors.at(0);
    EXPECT_TRUE(sink().errors.at(1).startsWith(QStringLiteral("Inst ID must be a whole number")))
        << sink().errors.at(1);

    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(memo("sqltextmemo").toPlainText(), QStringLiteral("earlier text"));
    EXPECT_EQ(memo("sqlexecplanmemo").toPlainText(), kPlanStatement);
    EXPECT_EQ(sink().infos.size(), 1);
}

TEST_F(LiveSqlTabsTest, PiecesJoinIntoTheStatementTextInPieceOrderAndThePlanFillsItsMemo)
{
    // A statement of several lines, longer than two pieces.
    const sim::SqlSession s = choose(1, [](const sim::CatalogueStatement &st) {
        return st.text.count(QLatin1Char('\n')) >= 3 && st.text.size() > 128;
    });
    const sim::CatalogueStatement &statement = *sim::findStatement(s.sqlId);
    edit("sesid").setText(QStringLiteral(" %1 ").arg(s.sid)); // blanks around a number are fine
    memo("sessplan_memo").setPlainText(QStringLiteral("old plan"));
    click("Button23");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));

    ASSERT_EQ(sent().size(), 2);
    EXPECT_EQ(sent().at(0), QStringLiteral("SELECT T.SQL_TEXT FROM GV$SQLTEXT_WITH_NEWLINES T, GV$SESSION S \n"
                                           "WHERE S.SID = %1\nand s.inst_id = 1\nand S.INST_ID = T.INST_ID \n"
                                           "and s.sql_id = '%2'\nAND S.SQL_ADDRESS = T.ADDRESS \nORDER BY T.PIECE")
                                .arg(s.sid)
                                .arg(s.sqlId));
    const QString planStatement = QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('%1'))").arg(s.sqlId);
    EXPECT_EQ(sent().at(1), planStatement);
    EXPECT_EQ(memo("sqlexecplanmemo").toPlainText(), planStatement);

    // One line per stored piece, in piece order: taking out the breaks between pieces
    // gives the statement back.
    const QStringList pieces = sim::sqlTextPieces(statement.text);
    ASSERT_GE(pieces.size(), 3);
    const QString text = memo("sqltextmemo").toPlainText();
    EXPECT_EQ(text, pieces.join(QLatin1Char('\n')));
    EXPECT_TRUE(text.startsWith(statement.text.left(64) + QLatin1Char('\n')));
    EXPECT_TRUE(text.endsWith(pieces.last()));

    const QStringList plan = memo("sessplan_memo").toPlainText().split(QLatin1Char('\n'));
    EXPECT_EQ(plan.first(), QStringLiteral("SQL_ID  %1, child number 0").arg(s.sqlId));
    EXPECT_TRUE(plan.contains(QStringLiteral("Plan hash value: %1").arg(statement.planHashValue)));
    EXPECT_TRUE(std::any_of(plan.begin(), plan.end(),
                            [](const QString &l) { return l.startsWith(QStringLiteral("| Id  | Operation")); }));
    EXPECT_TRUE(plan.contains(QStringLiteral("Predicate Information (identified by operation id):")));
    EXPECT_EQ(plan, sim::displayCursorLines(statement));
}

TEST_F(LiveSqlTabsTest, AQuoteInTheSqlIdIsDoubledInBothStatements)
{
    edit("sesid").setText(QStringLiteral("101"));
    edit("Instidst").setText(QStringLiteral("1"));
    edit("sesssqlid").setText(QStringLiteral("x' or 'a'='a"));
    click("Button23");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    ASSERT_EQ(sent().size(), 2);
    EXPECT_TRUE(sent().at(0).contains(QStringLiteral("\nand s.sql_id = 'x'' or ''a''=''a'\n")));
    EXPECT_EQ(sent().at(1), QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('x'' or ''a''=''a'))"));
    EXPECT_EQ(memo("sqltextmemo").toPlainText(), QString());
    EXPECT_EQ(memo("sessplan_memo").toPlainText(),
              QStringLiteral("SQL_ID: x' or 'a'='a, child number: 0 cannot be found"));
}

TEST_F(LiveSqlTabsTest, ASessionThatMovedOnGivesNoTextButThePlanStillShows)
{
    const sim::SqlSession s = choose(1, [](const sim::CatalogueStatement &) { return true; });
    // The statement ends; the session rests or runs another.
    for (int step = 0; step < 100; ++step) {
        sim.server.model().advance(5);
        const auto now = sim.server.model().state<sim::SqlSessions>().now();
        const auto it = std::find_if(now.begin(), now.end(),
                                     [&](const sim::SqlSession &n) { return n.instance == 1 && n.sid == s.sid; });
        ASSERT_NE(it, now.end());
        if (it->sqlId != s.sqlId)
            break;
    }
    click("Button23");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    EXPECT_EQ(memo("sqltextmemo").toPlainText(), QString());
    EXPECT_EQ(memo("sessplan_memo").toPlainText().section(QLatin1Char('\n'), 0, 0),
              QStringLiteral("SQL_ID  %1, child number 0").arg(s.sqlId));

    // A report on instance 2 shows its text, but its plan is looked up on instance 1.
    const sim::SqlSession report = choose(2, [](const sim::CatalogueStatement &st) { return st.cachedOn == 2; });
    click("Button23");
    EXPECT_EQ(memo("sqltextmemo").toPlainText(),
              sim::sqlTextPieces(sim::findStatement(report.sqlId)->text).join(QLatin1Char('\n')));
    EXPECT_EQ(memo("sessplan_memo").toPlainText(),
              QStringLiteral("SQL_ID: %1, child number: 0 cannot be found").arg(report.sqlId));
}

TEST_F(LiveSqlTabsTest, AFailingTextStatementKeepsTheOldTextAndSkipsThePlan)
{
    choose(1, [](const sim::CatalogueStatement &) { return true; });
    memo("sqltextmemo").setPlainText(QStringLiteral("earlier text"));
    sim.server.setSlowStatement(QStringLiteral("gv$sqltext_with_newlines"), 60000); // beyond the time-out
    click("Button23");
    ASSERT_EQ(sink().errors, QStringList{QStringLiteral("ORA-01013: user requested cancel of current operation")});
    EXPECT_EQ(sent().size(), 1);
    EXPECT_EQ(memo("sqltextmemo").toPlainText(), QStringLiteral("earlier text"));
    EXPECT_EQ(memo("sqlexecplanmemo").toPlainText(), kPlanStatement);
}

TEST_F(LiveSqlTabsTest, AcquireLoadsTheLocksAndTheBlockedPair)
{
    EXPECT_FALSE(memo("locksql").isReadOnly());
    EXPECT_FALSE(memo("blocksql").isReadOnly());
    EXPECT_EQ(memo("blocksql").toPlainText(),
              QStringLiteral("select inst_id, sid, blocking_instance, blocking_session from gv$session\n"
                             "where blocking_instance is not null and blocking_session is not null order by 1, 2"));
    click("Button99");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    ResultGrid &locks = grid("lockgrid");
    EXPECT_EQ(locks.headers(),
              (QStringList{QStringLiteral("SID"), QStringLiteral("Lock Type"), QStringLiteral("Lock Mode"),
                           QStringLiteral("Mode Requested"), QStringLiteral("ID1"), QStringLiteral("ID2"),
                           QStringLiteral("Last Convert"), QStringLiteral("Blocking")}));
    ASSERT_GT(locks.rowCount(), 20);
    EXPECT_FALSE(locks.cell(0, locks.rowCount() - 1).isEmpty()) << "trimmed: no spare row";

    // Ordered by lock type name, then session; the types of user and instance locks.
    QStringList types;
    for (int r = 1; r < locks.rowCount(); ++r) {
        if (r > 1) {
            const int byName = QString::compare(locks.cell(1, r - 1), locks.cell(1, r));
            EXPECT_TRUE(byName < 0 || (byName == 0 && locks.cell(0, r - 1).toInt() <= locks.cell(0, r).toInt())) << r;
        }
        if (!types.contains(locks.cell(1, r)))
            types << locks.cell(1, r);
    }
    for (const char *t : {"DML", "Transaction", "Edition Lock", "Media Recovery", "Redo Thread"})
        EXPECT_TRUE(types.contains(QLatin1String(t))) << t;

    // The holder of the row lock blocks; the waiter requests it.
    const int held = rowOf("lockgrid", QStringLiteral("58"), QStringLiteral("Transaction"));
    ASSERT_GT(held, 0);
    EXPECT_EQ(gridRow("lockgrid", held).mid(2, 4),
              (QStringList{QStringLiteral("Exclusive"), QStringLiteral("None"), QStringLiteral("usn<<16 | slot:458773"),
                           QStringLiteral("sequence:31000")}));
    EXPECT_EQ(locks.cell(7, held), QStringLiteral("Blocking"));
    const int wanted = rowOf("lockgrid", QStringLiteral("203"), QStringLiteral("Transaction"));
    ASSERT_GT(wanted, 0);
    EXPECT_EQ(gridRow("lockgrid", wanted).mid(2, 3), (QStringList{QStringLiteral("None"), QStringLiteral("Exclusive"),
                                                                  QStringLiteral("usn<<16 | slot:458773")}));
    EXPECT_EQ(locks.cell(7, wanted), QStringLiteral("Not Blocking"));
    const int dml = rowOf("lockgrid", QStringLiteral("203"), QStringLiteral("DML"));
    ASSERT_GT(dml, 0);
    EXPECT_EQ(locks.cell(2, dml), QStringLiteral("Row-X (SX)"));
    const int thread = rowOf("lockgrid", QStringLiteral("3"), QStringLiteral("Redo Thread"));
    ASSERT_GT(thread, 0);
    EXPECT_EQ(locks.cell(7, thread), QStringLiteral("Global"));

    ResultGrid &blocking = grid("blockinggrid");
    ASSERT_EQ(blocking.rowCount(), 2);
    EXPECT_EQ(blocking.row(1),
              (QStringList{QStringLiteral("1"), QStringLiteral("203"), QStringLiteral("1"), QStringLiteral("58")}));

    // Pressing it again replaces the rows.
    const int rows = locks.rowCount();
    click("Button99");
    EXPECT_EQ(locks.rowCount(), rows);
    EXPECT_EQ(blocking.rowCount(), 2);
}

TEST_F(LiveSqlTabsTest, NoBlockedSessionLeavesTheHeaderAndOneEmptyRow)
{
    sim.server.model().advance(sim::SqlSessions::kBlockedSeconds); // the holder has committed
    click("Button99");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    ResultGrid &blocking = grid("blockinggrid");
    ASSERT_EQ(blocking.rowCount(), 2);
    EXPECT_EQ(blocking.headers(),
              (QStringList{QStringLiteral("Blocked Instance ID"), QStringLiteral("Blocked Session ID"),
                           QStringLiteral("Blocking Instance ID"), QStringLiteral("Blocking Session ID")}));
    EXPECT_EQ(blocking.row(1), QStringList(4, QString()));
    EXPECT_LT(rowOf("lockgrid", QStringLiteral("58"), QStringLiteral("Transaction")), 0);
}

TEST_F(LiveSqlTabsTest, FailingLockStatementsEndAcquireWhereTheyFail)
{
    click("Button99");
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    const QStringList blockedPair = grid("blockinggrid").row(1);
    ASSERT_FALSE(blockedPair.first().isEmpty());

    // The blocking statement fails: the locks are reloaded but not trimmed.
    sim.server.model().advance(sim::SqlSessions::kBlockedSeconds);
    memo("blocksql").setPlainText(QStringLiteral("select inst_id, sid from gv$sesion"));
    click("Button99");
    EXPECT_EQ(sink().errors, QStringList{QStringLiteral("ORA-00942: table or view does not exist")});
    ResultGrid &locks = grid("lockgrid");
    EXPECT_EQ(locks.row(locks.rowCount() - 1), QStringList(8, QString())) << "the spare row is still there";
    EXPECT_LT(rowOf("lockgrid", QStringLiteral("58"), QStringLiteral("Transaction")), 0) << "reloaded";
    EXPECT_EQ(grid("blockinggrid").rowCount(), 2);
    EXPECT_EQ(grid("blockinggrid").row(1), blockedPair);

    // The lock statement fails: both grids keep what they had.
    const int rows = locks.rowCount();
    sink().clear();
    memo("locksql").setPlainText(QStringLiteral("select sid, lmode from v$lock where lmod = 6"));
    click("Button99");
    EXPECT_EQ(sink().errors, QStringList{QStringLiteral("ORA-00904: \"LMOD\": invalid identifier")});
    EXPECT_EQ(locks.rowCount(), rows);
    EXPECT_EQ(grid("blockinggrid").row(1), blockedPair);
}
