// The default timer's tick: which blocks run, in which order, and what a failure stops.
#include "shell/main_window.h"

#include "common/recording_sink.h"
#include "core/result_grid.h"
#include "db/sim/server.h"
#include "shell_support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class DefaultTick : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.reset(3, sim::ClockMode::Manual);
        test::writeSimulatedConfig(folder);
        test::startUp(window);
        window.findChild<QLineEdit *>(QStringLiteral("UserN"))->setText(QStringLiteral("system"));
        sink().clear();
    }
    static test::RecordingSink &sink() { return test::RecordingSink::current(); }
    void check(const char *name, bool on) { window.findChild<QCheckBox *>(QLatin1String(name))->setChecked(on); }
    void tick()
    {
        server.model().advance(30);
        // The timer's own connection, as a tick runs it.
        QMetaObject::invokeMethod(window.findChild<QTimer *>(QStringLiteral("Default_timer")), "timeout");
    }

    sim::Server &server = sim::Server::instance();
    test::TempCurrentFolder folder;
    TForm1 window;
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
