// The wait event history under the simulated instance's faults: the error box with the
// database's message, no line, row or key of a fetch cut short, and the history whole
// again once the fault clears.
#include "common/fault_matrix.h"
#include "common/screen_support.h"

#include "live/wait_events_screen.h"

#include <QLineEdit>

using namespace tavimond;
using namespace tavimond::test;

TEST(WaitHistoryFaults, AcquireShowsTheDatabasesErrorKeepsNothingCutShortAndWorksAgain)
{
    ScreenHarness<WaitEventsScreen> h;
    h.screen.setCurrentWidget(&h.widget<QWidget>("wthist"));
    runFaultCase(h.sim, h.screen,
                 typeAndPress(
                     h, "Wait event history: Acquire", "wait_days", {"1", "2"}, "Button10",
                     [&h] {
                         return Screenful{gridOf(h.screen, "wthistgrid"), chartOf(h.screen, "WaitHistGraph"),
                                          chartOf(h.screen, "WaitHistGraphtime"), itemsOf(h.screen, "eventdisplay"),
                                          itemsOf(h.screen, "eventhide")};
                     },
                     "dba_hist_system_event"));
}
