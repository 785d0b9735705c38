// The two latch timers' ticks: each gated by its own box, each sampling its own grid.
#include "shell/main_window.h"

#include "common/recording_sink.h"
#include "core/result_grid.h"
#include "db/sim/server.h"
#include "shell_support.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class LatchTick : public test::LoggedOnWindow {};

} // namespace

TEST_F(LatchTick, EachTimerSamplesOnlyWhileItsBoxIsTicked)
{
    EXPECT_EQ(timer("latch_timer")->interval(), 120000);
    EXPECT_EQ(timer("CBCLatch_Timer")->interval(), 120000);
    fire("latch_timer");
    fire("CBCLatch_Timer");
    EXPECT_TRUE(server.statements().isEmpty());

    check("Latch_Check", true);
    fire("latch_timer");
    fire("CBCLatch_Timer");
    ASSERT_EQ(server.statements().size(), 1);
    EXPECT_TRUE(server.statements().at(0).contains(QStringLiteral("from gv$latch order by")));
    EXPECT_EQ(grid("Latchgrid").cell(0, 0), QStringLiteral("Latch Type")); // start-up wrote the headers
    EXPECT_GT(grid("Latchgrid").rowCount(), 200);
    EXPECT_EQ(grid("cbc_latchgrid").rowCount(), 2);

    check("Latch_Check", false);
    check("CBC_latch_check", true);
    fire("latch_timer");
    fire("CBCLatch_Timer");
    ASSERT_EQ(server.statements().size(), 2);
    EXPECT_TRUE(server.statements().at(1).contains(QStringLiteral("from gv$latch_children")));
    EXPECT_EQ(grid("cbc_latchgrid").cell(0, 0), QStringLiteral("Child#"));
    EXPECT_GT(grid("cbc_latchgrid").rowCount(), 10);
    EXPECT_TRUE(sink().errors.isEmpty());
}

TEST_F(LatchTick, BothDueTogetherRunOneAfterTheOtherAndAFailureEndsOnlyItsOwnTick)
{
    check("Latch_Check", true);
    check("CBC_latch_check", true);
    fire("latch_timer", Qt::QueuedConnection);
    fire("CBCLatch_Timer", Qt::QueuedConnection);
    QCoreApplication::processEvents();
    ASSERT_EQ(server.statements().size(), 2);
    EXPECT_GT(grid("Latchgrid").rowCount(), 200);
    EXPECT_GT(grid("cbc_latchgrid").rowCount(), 10);

    window.findChild<QPlainTextEdit *>(QStringLiteral("latchquerytext"))
        ->setPlainText(QStringLiteral("select inst_id||':'||name, slept from gv$latch"));
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
