// Every live screen at work together, through an instance restart, as a user leaves
// them running: no tick and no button ends in an error box.
#include "shell_support.h"

using namespace tavimond;

using LiveTogether = test::LoggedOnWindow;

TEST_F(LiveTogether, AnHourAndAQuarterOfSamplingAcrossARestartRunsWithoutAnError)
{
    for (const char *box : {"session_check", "sr_check", "Latch_Check", "CBC_latch_check"})
        check(box, true);
    fire("Default_timer");
    chooseRow(1);
    check("sesevt_check", true);
    for (int t = 30; t <= 4500; t += 30) {
        server.model().advance(30);
        fire("Default_timer");
        if (t % 120 == 0) {
            fire("latch_timer");
            fire("CBCLatch_Timer");
        }
        if (t % 900 == 0)
            for (const char *button : {"sgahitbut", "bcc_button", "Button23", "Button99", "Button30"})
                press(button);
        ASSERT_TRUE(sink().errors.isEmpty()) << "at " << t << " s: " << sink().errors.join(QLatin1Char('\n'));
    }
    // Everything filled, the restart of instance 2 included.
    EXPECT_GT(grid("SRGrid").rowCount(), 60);
    EXPECT_GT(grid("Latchgrid").rowCount(), 100);
    EXPECT_GT(grid("cbc_latchgrid").rowCount(), 2);
    EXPECT_GT(grid("timedstatgrid").rowCount(), 1000);
    bool negative = false;
    for (int r = 1; r < grid("SRGrid").rowCount(); ++r)
        negative = negative || grid("SRGrid").cell(3, r).startsWith(QLatin1Char('-'));
    EXPECT_TRUE(negative) << "instance 2's restart shows as a negative Min";
}
