// The "SQL Text" and "Locks" tabs of the real-time screen, against the simulated instance.
#include "common/screen_support.h"
#include "db/sim/live/sql_catalogue.h"
#include "db/sim/live/sql_sessions.h"
#include "live/real_time_screen.h"
#include "live/sql_text_tab.h"

#include <QLineEdit>

using namespace tavimond;

namespace {

class LiveSqlTabsTest : public ::testing::Test, protected test::ScreenHarness<RealTimeScreen> {
protected:
    QLineEdit &edit(const char *name) { return widget<QLineEdit>(name); }
    QString text(const char *name) { return memo(name).toPlainText(); }
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
    // The first row of a session and a lock type, or -1.
    int rowOf(const char *name, const QString &sid, const QString &type)
    {
        const ResultGrid &g = grid(name);
        for (int r = 1; r < g.rowCount(); ++r)
            if (g.cell(0, r) == sid && g.cell(1, r) == type)
                return r;
        return -1;
    }
    void acquireLocks()
    {
        sink().clear();
        click("Button99");
    }
};

const QString kPlanStatement = QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('xxx')); ");

} // namespace

TEST_F(LiveSqlTabsTest, LoadNeedsAnSqlIdAndWholeNumbersBeforeAnythingIsSentAndAnUnknownSqlIdHasNoPlan)
{
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
    edit("Instidst").setText(QStringLiteral("-1"));
    click("Button23");
    EXPECT_EQ(sink().errors, (QStringList{"SID must be a whole number; '101 or 1=1' is not.",
                                          "Inst ID must be a whole number; '-1' is not."}));

    EXPECT_TRUE(sent().isEmpty());
    EXPECT_EQ(text("sqltextmemo"), QStringLiteral("earlier text"));
    EXPECT_EQ(text("sqlexecplanmemo"), kPlanStatement);
    EXPECT_EQ(sink().infos.size(), 1);

    // A SQL ID no session runs: no text, and the plan says it cannot be found.
    sink().clear();
    edit("Instidst").setText(QStringLiteral("1"));
    edit("sesssqlid").setText(QStringLiteral("x' or 'a'='a"));
    click("Button23");
    EXPECT_EQ(sink().errors, QStringList());
    EXPECT_EQ(sent().size(), 2);
    EXPECT_EQ(text("sqltextmemo"), QString());
    EXPECT_EQ(text("sessplan_memo"), QStringLiteral("SQL_ID: x' or 'a'='a, child number: 0 cannot be found"));
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

    const QString planStatement = QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('%1'))").arg(s.sqlId);
    EXPECT_EQ(sent(), (QStringList{QStringLiteral("SELECT T.SQL_TEXT FROM GV$SQLTEXT_WITH_NEWLINES T, GV$SESSION S \n"
                                                  "WHERE S.SID = %1\nand s.inst_id = 1\nand S.INST_ID = T.INST_ID \n"
                                                  "and s.sql_id = '%2'\nAND S.SQL_ADDRESS = T.ADDRESS \nORDER BY "
                                                  "T.PIECE")
                                       .arg(s.sid)
                                       .arg(s.sqlId),
                                   planStatement}));
    EXPECT_EQ(text("sqlexecplanmemo"), planStatement);

    // One line per stored piece, in piece order: taking out the breaks between pieces
    // gives the statement back.
    const QStringList pieces = sim::sqlTextPieces(statement.text);
    ASSERT_GE(pieces.size(), 3);
    EXPECT_EQ(text("sqltextmemo"), pieces.join(QLatin1Char('\n')));
    EXPECT_EQ(text("sessplan_memo").split(QLatin1Char('\n')), sim::displayCursorLines(statement));
    EXPECT_TRUE(text("sessplan_memo").contains(QStringLiteral("Plan hash value: %1").arg(statement.planHashValue)));
}

TEST_F(LiveSqlTabsTest, AcquireLoadsTheLocksThenTheBlockedPairWhichAloneAFailingStatementOfItsOwnLeaves)
{
    EXPECT_EQ(text("blocksql"),
              QStringLiteral("select inst_id, sid, blocking_instance, blocking_session from gv$session\n"
                             "where blocking_instance is not null and blocking_session is not null order by 1, 2"));
    acquireLocks();
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    ResultGrid &locks = grid("lockgrid");
    ASSERT_GT(locks.rowCount(), 20);
    EXPECT_FALSE(locks.cell(0, locks.rowCount() - 1).isEmpty()) << "trimmed: no spare row";

    // Ordered by lock type name, then session; the types of user and instance locks.
    QStringList types;
    for (int r = 1; r < locks.rowCount(); ++r) {
        if (r > 1) {
            const int byName = QString::compare(locks.cell(1, r - 1), locks.cell(1, r));
            EXPECT_TRUE(byName < 0 || (byName == 0 && locks.cell(0, r - 1).toInt() <= locks.cell(0, r).toInt())) << r;
        }
        types << locks.cell(1, r);
    }
    for (const char *t : {"DML", "Transaction", "Edition Lock", "Media Recovery", "Redo Thread"})
        EXPECT_TRUE(types.contains(QLatin1String(t))) << t;

    // The holder of the row lock blocks; the waiter requests it.
    const int held = rowOf("lockgrid", "58", "Transaction");
    ASSERT_GT(held, 0);
    EXPECT_EQ(locks.row(held).mid(2), (QStringList{"Exclusive", "None", "usn<<16 | slot:458773", "sequence:31000",
                                                   locks.cell(6, held), "Blocking"}));
    const int wanted = rowOf("lockgrid", "203", "Transaction");
    ASSERT_GT(wanted, 0);
    EXPECT_EQ(locks.row(wanted).mid(2, 3), (QStringList{"None", "Exclusive", "usn<<16 | slot:458773"}));
    EXPECT_EQ(locks.cell(7, wanted), QStringLiteral("Not Blocking"));
    EXPECT_EQ(locks.cell(2, rowOf("lockgrid", "203", "DML")), QStringLiteral("Row-X (SX)"));
    EXPECT_EQ(locks.cell(7, rowOf("lockgrid", "3", "Redo Thread")), QStringLiteral("Global"));
    EXPECT_EQ(test::rowsOf(grid("blockinggrid")), (QList<QStringList>{{"1", "203", "1", "58"}}));

    // Pressing it again replaces the rows.
    const int rows = locks.rowCount();
    acquireLocks();
    EXPECT_EQ(locks.rowCount(), rows);
    EXPECT_EQ(grid("blockinggrid").rowCount(), 2);

    // Once the holder has committed, with a blocking statement that fails: the locks are
    // reloaded but not trimmed, and the blocked pair stays.
    sim.server.model().advance(sim::SqlSessions::kBlockedSeconds);
    const QString blockSql = text("blocksql");
    memo("blocksql").setPlainText(QStringLiteral("select inst_id, sid from gv$sesion"));
    acquireLocks();
    EXPECT_EQ(sink().errors, QStringList{QStringLiteral("ORA-00942: table or view does not exist")});
    EXPECT_EQ(locks.row(locks.rowCount() - 1), QStringList(8, QString())) << "the spare row is still there";
    EXPECT_LT(rowOf("lockgrid", "58", "Transaction"), 0) << "reloaded";
    EXPECT_EQ(test::rowsOf(grid("blockinggrid")), (QList<QStringList>{{"1", "203", "1", "58"}}));

    // With its own statement: no blocked session, the header and one empty row.
    memo("blocksql").setPlainText(blockSql);
    acquireLocks();
    ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n'));
    EXPECT_EQ(test::rowsOf(grid("blockinggrid")), QList<QStringList>{QStringList(4, QString())});
    EXPECT_EQ(grid("blockinggrid").cell(0, 0), QStringLiteral("Blocked Instance ID"));
    EXPECT_LT(rowOf("lockgrid", "58", "Transaction"), 0);
}
