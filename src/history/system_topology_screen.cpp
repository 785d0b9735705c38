#include "system_topology_screen.h"

#include "ui_history_system_topology_screen.h"

namespace tavimond {

SystemTopologyScreen::SystemTopologyScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("systoppage"), context, parent), ui_(std::make_unique<Ui::SystemTopologyScreenForm>())
{
    ui_->setupUi(this);
}

SystemTopologyScreen::~SystemTopologyScreen() = default;

QList<ChartHint> SystemTopologyScreen::chartHints() const
{
    const QString crlf = QStringLiteral("\r\n");
    return {
        {QStringLiteral("traf1_graph"),
         QStringLiteral("Total number of bytes sent to the client from the foreground processes")},
        {QStringLiteral("traf2_graph"),
         QStringLiteral("Total number of bytes received from the client over Oracle Net Services")},
        {QStringLiteral("traf3_graph"),
         QStringLiteral("Total traffic sent and received using RAC global cache resources")},
        {QStringLiteral("iopsw_graph"),
         QStringList({"Number of write requests for application activity",
                     "(mainly buffer cache and direct load operation) which",
                     "wrote one or more database blocks per request."}).join(crlf)},
        {QStringLiteral("iopswt_graph"),
         QStringList({"Number of write requests which wrote one or more database",
                     "blocks from all instance activity including application",
                     "activity, backup and recovery, and other utilities. The",
                     "difference between this stat and \"physical write total multi",
                     "block requests\" gives the number of single block write requests."}).join(crlf)},
        {QStringLiteral("iopsws_graph"),
         QStringList({"Total number of Oracle instance write requests which wrote",
                     "two or more blocks per request to the disk for all instance",
                     "activity including application activity, recovery and backup",
                     ", and other utilities."}).join(crlf)},
        {QStringLiteral("iopswr_graph"),
         QStringList({"Total number of Oracle instance write requests which wrote a",
                     "a single database blocks per request for all instance ",
                     "activity including application, backup and recovery, and ",
                     "other utilities."}).join(crlf)},
        {QStringLiteral("iopswb_graph"),
         QStringList({"Total size in bytes of all disk writes from the database",
                     "application activity (and not other kinds of instance activity)."}).join(crlf)},
        {QStringLiteral("iopswbt_graph"),
         QStringList({"Total size in bytes of all disk writes for the database",
                     "instance including application activity, backup and recovery,",
                     "and other utilities. The difference between this value and",
                     "\"physical write bytes\" gives the total write size in bytes",
                     " by non-application workload."}).join(crlf)},
        {QStringLiteral("iopsrt_graph"),
         QStringList({"Number of read requests which read one or more database",
                     "blocks for all instance activity including application,",
                     "backup and recovery, and other utilities. The difference",
                     "between this value and \"physical read total multi block",
                     "requests\" gives the total number of single block read requests."}).join(crlf)},
        {QStringLiteral("iopsr_graph"),
         QStringList({"Number of read requests for application activity ",
                     "(mainly buffer cache and direct load operation) ",
                     "which read one or more database blocks per request.",
                     "This is a subset of \"physical read total IO requests\" statistic."}).join(crlf)},
        {QStringLiteral("iopsrs_graph"),
         QStringList({"Total number of Oracle instance read requests which read in ",
                     "two or more database blocks per request for all instance ",
                     "activity including application, backup and recovery, and ",
                     "other utilities."}).join(crlf)},
        {QStringLiteral("iopsrr_graph"),
         QStringList({"Total number of Oracle instance read requests which read in ",
                     "a single database blocks per request for all instance ",
                     "activity including application, backup and recovery, and ",
                     "other utilities."}).join(crlf)},
        {QStringLiteral("iopsrbt_graph"),
         QStringList({"Total size in bytes of disk reads by all database instance",
                     "activity including application reads, backup and recovery,",
                     "and other utilities. The difference between this value and",
                     "\"physical read bytes\" gives the total read size in bytes by",
                     "non-application workload."}).join(crlf)},
        {QStringLiteral("iopsrb_graph"),
         QStringList({"Total size in bytes of all disk reads by application activity ",
                     "(and not other instance activity) only."}).join(crlf)}
    };
}

} // namespace tavimond
