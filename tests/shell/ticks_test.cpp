// The timers' ticks: which blocks of the default tick run, in which order, and what a
// failure stops, block 2 following the session a topology row chose; the two latch
// timers each gated by its own box and sampling its own grid.
#include "shell_support.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace tavimond;

namespace {

class Ticks : public test::LoggedOnWindow {
protected:
    void tick()
    {
        server.model().advance(30);
        fire("Default_timer");
    }
};

} // namespace

TEST_F(Ticks, AFailingBlockEndsTheTickTheNextStartsOverAndClearAllStopsTheBlock)
{
    tick(); // every box unticked: nothing is sent
    EXPECT_TRUE(server.statements().isEmpty());
    EXPECT_TRUE(sink().errors.isEmpty());
    // Block 2 fails with no session chosen, then with a SID that is no number: nothing
    // is sent for it, block 3 never runs.
    check("sesevt_check", true);
    check("sr_check", true);
    tick();
    widget<QLineEdit>("Instidwt").setText(QStringLiteral("1"));
    widget<QLineEdit>("sidid").setText(QStringLiteral("101'"));
    tick();
    EXPECT_EQ(sink().errors, (QStringList{"Inst ID must be a whole number; '' is not.",
                                          "SID must be a whole number; '101'' is not."}));
    EXPECT_TRUE(server.statements().isEmpty());

    widget<QLineEdit>("sidid").setText(QStringLiteral("101"));
    tick();
    EXPECT_EQ(server.statements().size(), 5);
    // Clear All unticks block 2: block 3 alone, the count and the time.
    widget<QPushButton>("Button14").click();
    EXPECT_FALSE(widget<QCheckBox>("sesevt_check").isChecked());
    server.clearStatements();
    tick();
    ASSERT_EQ(server.statements().size(), 2);
    for (const QString &s : server.statements())
        EXPECT_TRUE(s.contains(QStringLiteral("gv$system_event")));
    EXPECT_EQ(sink().errors.size(), 2);
    EXPECT_EQ(grid("timedstatgrid").rowCount(), 2);
    EXPECT_GT(grid("SRGrid").rowCount(), 2);
}

TEST_F(Ticks, BlockOneSamplesBothInstancesAndBlockTwoTheChosenSessionBeforeBlockThree)
{
    check("session_check", true);
    tick();
    ASSERT_EQ(server.statements().size(), 1); // one query for both instances
    EXPECT_TRUE(server.statements().at(0).startsWith(QStringLiteral("SELECT\nsess.inst_id,")));
    const ResultGrid &sessions = grid("sessres_grid");
    EXPECT_GT(sessions.rowCount(), 40);
    int row = 1;
    while (row < sessions.rowCount() && sessions.cell(1, row) != QLatin1String("101"))
        ++row;
    ASSERT_LT(row, sessions.rowCount());
    chooseRow(row);

    check("sesevt_check", true);
    check("sr_check", true);
    server.clearStatements();
    tick();
    tick();
    // Each tick block 1, then block 2 for session 101 (its statements' texts are the
    // session statistics' test's), then block 3.
    const QStringList sent = server.statements();
    ASSERT_EQ(sent.size(), 12); // 1 + 3 + 2 a tick
    const char *order[] = {"sess.inst_id,", "TIME_WAITED from gV$SESSION_EVENT where sid = 101and inst_id = 1",
                           "Total_waits from gV$SESSION_EVENT where sid = 101and inst_id = 1", "statdesc.name",
                           "gv$system_event"};
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE(sent.at(6 * t + k).contains(QLatin1String(order[k]))) << sent.at(6 * t + k);
    EXPECT_TRUE(sink().errors.isEmpty());
    EXPECT_GT(grid("sessres_grid_del").rowCount(), 2);
    EXPECT_GT(grid("sesevtgrid_time").rowCount(), 5);
    EXPECT_FALSE(grid("sesevtgrid_time").cell(2, 1).isEmpty());
    EXPECT_GT(grid("timedstatgrid").rowCount(), 1000);
}

TEST_F(Ticks, EachLatchTimerSamplesWhileItsBoxIsTickedAndAFailureEndsOnlyItsOwnTick)
{
    fire("latch_timer");
    fire("CBCLatch_Timer");
    EXPECT_TRUE(server.statements().isEmpty());

    check("Latch_Check", true);
    fire("latch_timer");
    fire("CBCLatch_Timer");
    ASSERT_EQ(server.statements().size(), 1);
    EXPECT_TRUE(server.statements().at(0).contains(QStringLiteral("from gv$latch order by")));
    EXPECT_GT(grid("Latchgrid").rowCount(), 200);
    EXPECT_EQ(grid("cbc_latchgrid").rowCount(), 2);

    check("Latch_Check", false);
    check("CBC_latch_check", true);
    fire("latch_timer");
    fire("CBCLatch_Timer");
    ASSERT_EQ(server.statements().size(), 2);
    EXPECT_TRUE(server.statements().at(1).contains(QStringLiteral("from gv$latch_children")));
    EXPECT_GT(grid("cbc_latchgrid").rowCount(), 10);
    EXPECT_TRUE(sink().errors.isEmpty());

    // Both due together: one after the other.
    check("Latch_Check", true);
    server.clearStatements();
    fire("latch_timer", Qt::QueuedConnection);
    fire("CBCLatch_Timer", Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(server.statements().size(), 2);
    EXPECT_TRUE(server.statements().at(0).contains(QStringLiteral("from gv$latch order by")));
    EXPECT_TRUE(server.statements().at(1).contains(QStringLiteral("from gv$latch_children")));

    // A failure ends only its own tick.
    widget<QPlainTextEdit>("latchquerytext")
        .setPlainText(QStringLiteral("select inst_id||':'||name, slept from gv$latch"));
    const int rows = grid("Latchgrid").rowCount();
    server.model().advance(120);
    fire("latch_timer");
    fire("CBCLatch_Timer");
    ASSERT_EQ(sink().errors.size(), 1);
    EXPECT_TRUE(sink().errors.at(0).startsWith(QStringLiteral("ORA-00904"))) << sink().errors.at(0);
    EXPECT_EQ(grid("Latchgrid").rowCount(), rows);
    EXPECT_EQ(server.statements().size(), 4); // the CBC tick ran after the failed one
    EXPECT_FALSE(grid("cbc_latchgrid").cell(2, 1).isEmpty());
    fire("latch_timer"); // the next tick tries again
    EXPECT_EQ(sink().errors.size(), 2);
}

// Left running, the demo's ticks send statements for as long as it runs: the simulated
// instance must not keep them, as it does for the tests that read them back.
TEST_F(Ticks, LeftTickingTheDemoKeepsNoneOfTheStatementsItSends)
{
    server.keepStatements(false); // where the program leaves it: only the tests turn it on
    const auto keepAgain = qScopeGuard([&] { server.keepStatements(true); });
    // What was sent, counted in the log file, which stays as it was.
    QTemporaryDir dir;
    const QString log = dir.filePath("sim.log");
    const QByteArray outer = qgetenv("TAVIMOND_SIM_LOG");
    qputenv("TAVIMOND_SIM_LOG", log.toLocal8Bit());
    const auto restoreLog = qScopeGuard([&] {
        if (outer.isEmpty())
            qunsetenv("TAVIMOND_SIM_LOG");
        else
            qputenv("TAVIMOND_SIM_LOG", outer);
    });
    const qsizetype unknownBefore = server.unanswered().size();

    check("session_check", true);
    tick();
    chooseRow(1);
    for (const char *box : {"sesevt_check", "sr_check", "Latch_Check", "CBC_latch_check"})
        check(box, true);
    for (int i = 0; i < 30; ++i) {
        tick();
        fire("latch_timer");
        fire("CBCLatch_Timer");
    }
    widget<QPlainTextEdit>("latchquerytext").setPlainText(QStringLiteral("select name from no_such_view"));
    fire("latch_timer");
    EXPECT_EQ(sink().errors, QStringList{"ORA-00942: table or view does not exist"});

    QFile sent(log);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    EXPECT_EQ(sent.readAll().count('\n'), 1 + 30 * 8 + 1);
    EXPECT_EQ(server.statements(), QStringList());
    // Not compared with an empty list: Qt hands memcmp the null data of a default one.
    EXPECT_TRUE(server.timeouts().isEmpty()) << server.timeouts().size() << " time-outs kept";
    EXPECT_EQ(server.unanswered().size(), unknownBefore);
}
