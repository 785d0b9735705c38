// The default timer's tick: which blocks run, in which order, and what a failure stops;
// block 2 following the session a topology row chose.
#include "shell/main_window.h"

#include "common/recording_sink.h"
#include "core/result_grid.h"
#include "db/sim/server.h"
#include "shell_support.h"
#include "ui/grid_view.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class DefaultTick : public test::LoggedOnWindow {
protected:
    void tick()
    {
        server.model().advance(30);
        fire("Default_timer");
    }
};

} // namespace

TEST_F(DefaultTick, WithEveryBoxUntickedNothingIsSent)
{
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_TRUE(server.statements().isEmpty());
    EXPECT_TRUE(sink().errors.isEmpty());
}

TEST_F(DefaultTick, AFailingBlockEndsTheTickAndTheNextTickStartsOver)
{
    check("sesevt_check", true); // no session chosen: block 2 fails
    check("sr_check", true);
    tick();
    tick();
    EXPECT_EQ(sink().errors.size(), 2);
    EXPECT_TRUE(sink().errors.at(0).startsWith(QStringLiteral("Inst ID must be a whole number")));
    EXPECT_TRUE(server.statements().isEmpty()); // block 3 never ran, nothing was sent for block 2

    check("sesevt_check", false);
    tick();
    EXPECT_EQ(sink().errors.size(), 2);
    EXPECT_EQ(server.statements().size(), 2); // block 3: the count and the time
    const ResultGrid *grid = window.findChild<ResultGrid *>(QStringLiteral("SRGrid"));
    EXPECT_GT(grid->rowCount(), 2);
    EXPECT_EQ(grid->cell(0, 0), QStringLiteral("Wait Event")); // start-up wrote the headers
}

TEST_F(DefaultTick, BlockOneSamplesTheSessionsOfBothInstances)
{
    check("session_check", true);
    tick();
    tick();
    ASSERT_EQ(server.statements().size(), 2); // one query per tick
    EXPECT_TRUE(server.statements().at(0).startsWith(QStringLiteral("SELECT\nsess.inst_id,")));
    const ResultGrid *sessions = window.findChild<ResultGrid *>(QStringLiteral("sessres_grid"));
    const ResultGrid *deltas = window.findChild<ResultGrid *>(QStringLiteral("sessres_grid_del"));
    EXPECT_EQ(sessions->cell(3, 0), QStringLiteral("SQL ID::Exec Plan")); // start-up wrote the headers
    EXPECT_EQ(window.findChild<ResultGrid *>(QStringLiteral("sessres_grid_arc"))->cell(0, 0),
              QStringLiteral("Inst ID"));
    EXPECT_GT(sessions->rowCount(), 40);
    EXPECT_GT(deltas->rowCount(), 2);
    EXPECT_TRUE(sink().errors.isEmpty());
}

TEST_F(DefaultTick, BlockTwoSamplesTheChosenSessionBetweenBlocksOneAndThree)
{
    check("session_check", true);
    tick();
    const ResultGrid &sessions = grid("sessres_grid");
    int row = 1;
    while (row < sessions.rowCount() && sessions.cell(1, row) != QLatin1String("101"))
        ++row;
    ASSERT_LT(row, sessions.rowCount());
    chooseRow(row);
    EXPECT_EQ(widget<QLineEdit>("Instidwt").text(), QStringLiteral("1"));
    EXPECT_EQ(widget<QLineEdit>("sidid").text(), QStringLiteral("101"));
    EXPECT_EQ(widget<QLineEdit>("serialnum").text(), sessions.cell(2, row));

    check("sesevt_check", true);
    check("sr_check", true);
    server.clearStatements();
    tick();
    tick();
    const QStringList sent = server.statements();
    ASSERT_EQ(sent.size(), 12); // 1 + 3 + 2 a tick
    for (int t = 0; t < 2; ++t) {
        EXPECT_TRUE(sent.at(6 * t).startsWith(QStringLiteral("SELECT\nsess.inst_id,")));
        EXPECT_EQ(sent.at(6 * t + 1),
                  QStringLiteral("select event,TIME_WAITED from gV$SESSION_EVENT where sid = 101and inst_id = 1"));
        EXPECT_EQ(sent.at(6 * t + 2),
                  QStringLiteral("select event,Total_waits from gV$SESSION_EVENT where sid = 101and inst_id = 1"));
        EXPECT_TRUE(sent.at(6 * t + 3).startsWith(QStringLiteral("SELECT statdesc.name, nvl(sql.value/1000000,0) ")));
        EXPECT_TRUE(sent.at(6 * t + 4).contains(QStringLiteral("gv$system_event")));
    }
    EXPECT_TRUE(sink().errors.isEmpty());
    // Start-up wrote the headers; the samples filled the grids.
    EXPECT_EQ(grid("sesevtgrid_time").cell(0, 0), QStringLiteral("Wait Event"));
    EXPECT_EQ(grid("sesevtgrid_cnt").cell(1, 0), QStringLiteral("Accumulated"));
    EXPECT_EQ(grid("timedstatgrid").cell(0, 0), QStringLiteral("Metric"));
    EXPECT_GT(grid("sesevtgrid_time").rowCount(), 5);
    EXPECT_FALSE(grid("sesevtgrid_time").cell(2, 1).isEmpty());
    EXPECT_GT(grid("timedstatgrid").rowCount(), 1000);
}

TEST_F(DefaultTick, ASidThatIsNoNumberEndsTheTickAndClearAllStopsTheBlock)
{
    widget<QLineEdit>("Instidwt").setText(QStringLiteral("1"));
    widget<QLineEdit>("sidid").setText(QStringLiteral("101'"));
    check("sesevt_check", true);
    check("sr_check", true);
    tick();
    ASSERT_EQ(sink().errors.size(), 1);
    EXPECT_EQ(sink().errors.at(0), QStringLiteral("SID must be a whole number; '101'' is not."));
    EXPECT_TRUE(server.statements().isEmpty()); // nor did block 3 run

    widget<QLineEdit>("sidid").setText(QStringLiteral("101"));
    tick();
    EXPECT_EQ(server.statements().size(), 5);

    widget<QPushButton>("Button14").click();
    EXPECT_FALSE(widget<QCheckBox>("sesevt_check").isChecked());
    server.clearStatements();
    tick();
    ASSERT_EQ(server.statements().size(), 2); // block 3 alone
    for (const QString &s : server.statements())
        EXPECT_TRUE(s.contains(QStringLiteral("gv$system_event")));
    EXPECT_EQ(sink().errors.size(), 1);
    EXPECT_EQ(grid("timedstatgrid").rowCount(), 2);
}
