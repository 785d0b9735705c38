// Every report over the workload repository under the simulated instance's faults: the
// error box with the database's message, nothing of a cut-short fetch on the screen,
// and the same report whole again once the fault clears.
#include "common/fault_matrix.h"
#include "common/screen_support.h"
#include "common/temp_folder.h"

#include "db/sim/repository/sql_workload.h"
#include "history/advisor_screen.h"
#include "history/datafile_stats_screen.h"
#include "history/segment_stats_screen.h"
#include "history/sql_history_screen.h"
#include "history/sql_topology_screen.h"
#include "history/system_topology_screen.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

using namespace tavimond;
using namespace tavimond::test;

namespace {

const sim::SqlWorkload::Sql &statement(sim::Server &server, int index)
{
    return server.model().state<sim::SqlWorkload>().statements().at(size_t(index));
}

// The statistics screen: its grid, nineteen charts and two key combos.
template <class S>
Screenful sqlStatistics(ScreenHarness<S> &h)
{
    return Screenful{gridOf(h.screen, "SQL_Prof_Grid"), itemsOf(h.screen, "sqlid_combo"),
                     itemsOf(h.screen, "sqltext_combo")} +
           chartsOf(h.screen);
}

} // namespace

TEST(RepositoryFaults, EveryReportShowsTheDatabasesErrorKeepsNothingCutShortAndWorksAgain)
{
    TempCurrentFolder folder; // the SQL id list of the bulk retrieval

    tryUnderFaults<SqlTopologyScreen>([](auto &h) {
        return loading(typeAndPress(
                           h, "SQL topology: Retrieve SQL Statistics", "dayret2", {"1", "2"}, "Button13",
                           [&h] { return Screenful{gridOf(h.screen, "SQL_top_Grid")}; }, "from dba_hist_sqlstat"),
                       "SQL_top_Grid");
    });

    tryUnderFaults<SystemTopologyScreen>([](auto &h) {
        return typeAndPress(
            h, "System topology: Retrieve System Statistics", "systdays", {"1", "2"}, "Button2",
            [&h] {
                return Screenful{gridOf(h.screen, "systopgrid"), itemsOf(h.screen, "instid_combo")} +
                       chartsOf(h.screen);
            },
            "dba_hist_osstat");
    });

    tryUnderFaults<AdvisorScreen>([](auto &h) {
        return loading(typeAndPress(
                           h, "Advisors: Review Advisor Results", "advdays", {"1", "7"}, "Button182",
                           [&h] { return Screenful{gridOf(h.screen, "adv_grid")}; }, "dba_advisor_findings"),
                       "adv_grid");
    });

    tryUnderFaults<DatafileStatsScreen>([](auto &h) {
        return loading(typeAndPress(
                           h, "Datafile statistics: Retrieve", "dfname", {"%USERS%", "%"}, "Button116",
                           [&h] {
                               return Screenful{gridOf(h.screen, "df_grid"), itemsOf(h.screen, "filedispbox"),
                                                itemsOf(h.screen, "filehidebox")} +
                                      chartsOf(h.screen);
                           },
                           "dba_hist_filestatxs"),
                       "df_grid");
    });

    tryUnderFaults<SqlHistoryScreen>([](auto &h) {
        return FaultCase{"SQL history: Retrieve Single SQL Stat",
                         {},
                         [&h](int input) {
                             type(h, "adhoc_sqlid",
                                  statement(h.sim.server, input ? sim::SqlWorkload::kTwoPlansIndex : 0).sqlId);
                             h.click("Button101");
                         },
                         [&h] { return sqlStatistics(h); },
                         "from dba_hist_sqlstat where"};
    });

    tryUnderFaults<SqlHistoryScreen>([&folder](auto &h) {
        // Three statements; the second one's fetch is cut short.
        QByteArray list;
        for (int i : {0, 1, sim::SqlWorkload::kTwoPlansIndex})
            list += (statement(h.sim.server, i).sqlId + QStringLiteral(",1,2,3,4,5\n")).toUtf8();
        folder.write(QStringLiteral("faults_list.txt"), list);
        return FaultCase{"SQL history: Retrieve Bulk SQL Stat",
                         [&h] {
                             type(h, "SQLIdList", QStringLiteral("faults_list.txt"));
                             h.click("listrb");
                             h.click("Button102");
                         },
                         [&h](int) { h.click("ret_bulk_button"); },
                         [&h] { return sqlStatistics(h); },
                         QStringLiteral("sql_id = '%1'").arg(statement(h.sim.server, 1).sqlId),
                         3,
                         false,
                         "SQL_Prof_Grid"};
    });

    tryUnderFaults<SqlHistoryScreen>([](auto &h) {
        return FaultCase{"SQL history: Retrieve Wait Statistics",
                         [&h] {
                             type(h, "dayret", "14");
                             type(h, "adhoc_sqlid", statement(h.sim.server, sim::SqlWorkload::kTwoPlansIndex).sqlId);
                             h.click("Button101");
                             h.click("RadioButton21");
                         },
                         [&h](int) { h.click("Button42"); },
                         [&h] {
                             return Screenful{gridOf(h.screen, "sql_ash_grid"), gridOf(h.screen, "sql_ash_grid_summ"),
                                              chartOf(h.screen, "sqlstat_wait_cnt"),
                                              chartOf(h.screen, "sqlstat_wait_time")};
                         },
                         "dba_hist_active_sess_history"};
    });

    tryUnderFaults<SqlHistoryScreen>([](auto &h) {
        return FaultCase{"SQL history: Load text and plan",
                         {},
                         [&h](int input) {
                             const auto &s = statement(h.sim.server, input ? sim::SqlWorkload::kTwoPlansIndex : 0);
                             h.template widget<QComboBox>("sqltext_combo")
                                 .setEditText(s.sqlId + QStringLiteral("::") + QString::number(s.plans.front()));
                             h.click("Button180");
                         },
                         [&h] {
                             return Screenful{memoOf(h.screen, "awrsqltext_memo"), memoOf(h.screen, "awrsqlexec_memo")};
                         },
                         "DISPLAY_AWR",
                         3,
                         // When only the plan fails, the text shown is the new statement's
                         // and the plan memo keeps the plan it showed.
                         true};
    });

    tryUnderFaults<SegmentStatsScreen>([](auto &h) {
        return typeAndPress(
            h, "Segment statistics: Retrieve (segment tree)", "segowner", {"HR", "%"}, "Button83",
            [&h] {
                return Screenful{gridOf(h.screen, "seggrid"), treeOf(h.screen, "segtree")};
            },
            "dba_tab_subpartitions");
    });

    for (const char *phrase : {"dba_hist_seg_stat", "OBJECT_GROWTH_TREND"})
        tryUnderFaults<SegmentStatsScreen>([phrase](auto &h) {
            return FaultCase{QStringLiteral("Segment statistics: double-click (%1)").arg(QLatin1String(phrase)),
                             [&h] { h.click("Button83"); },
                             [&h](int input) {
                                 doubleClickNode(h.template widget<QTreeWidget>("segtree"),
                                                 input ? QStringList{"TABLE", "SALES.ORDER_LINES"}
                                                       : QStringList{"INDEX", "SALES.ORDERS_PK"});
                             },
                             [&h] {
                                 return Screenful{gridOf(h.screen, "segstat_grid"), gridOf(h.screen, "seggrowthgrid")} +
                                        chartsOf(h.screen);
                             },
                             QLatin1String(phrase)};
        });
}
