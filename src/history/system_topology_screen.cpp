#include "system_topology_screen.h"

#include "ui_history_system_topology_screen.h"

namespace tavimond {
namespace {

// A hint of several lines has them joined by CR LF.
QString hint(std::initializer_list<const char *> lines)
{
    QStringList out;
    for (const char *line : lines)
        out << QString::fromUtf8(line);
    return out.join(QStringLiteral("\r\n"));
}

} // namespace

SystemTopologyScreen::SystemTopologyScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("systoppage"), context, parent), ui_(std::make_unique<Ui::SystemTopologyScreenForm>())
{
    ui_->setupUi(this);
}

SystemTopologyScreen::~SystemTopologyScreen() = default;

QList<ChartHint> SystemTopologyScreen::chartHints() const
{
    // clang-format off
    return {
        {QStringLiteral("traf1_graph"), hint({
             "Total number of bytes sent to the client from the foreground processes",
         })},
        {QStringLiteral("traf2_graph"), hint({
             "Total number of bytes received from the client over Oracle Net Services",
         })},
        {QStringLiteral("traf3_graph"), hint({
             "Total traffic sent and received using RAC global cache resources",
         })},
        {QStringLiteral("iopsw_graph"), hint({
             "Number of write requests for application activity",
             "(mainly buffer cache and direct load operation) which",
             "wrote one or more database blocks per request.",
         })},
        {QStringLiteral("iopswt_graph"), hint({
             "Number of write requests which wrote one or more database",
             "blocks from all instance activity including application",
             "activity, backup and recovery, and other utilities. The",
             "difference between this stat and \"physical write total multi",
             "block requests\" gives the number of single block write requests.",
         })},
        {QStringLiteral("iopsws_graph"), hint({
             "Total number of Oracle instance write requests which wrote",
             "two or more blocks per request to the disk for all instance",
             "activity including application activity, recovery and backup",
             ", and other utilities.",
         })},
        {QStringLiteral("iopswr_graph"), hint({
             "Total number of Oracle instance write requests which wrote a",
             "a single database blocks per request for all instance ",
             "activity including application, backup and recovery, and ",
             "other utilities.",
         })},
        {QStringLiteral("iopswb_graph"), hint({
             "Total size in bytes of all disk writes from the database",
             "application activity (and not other kinds of instance activity).",
         })},
        {QStringLiteral("iopswbt_graph"), hint({
             "Total size in bytes of all disk writes for the database",
             "instance including application activity, backup and recovery,",
             "and other utilities. The difference between this value and",
             "\"physical write bytes\" gives the total write size in bytes",
             " by non-application workload.",
         })},
        {QStringLiteral("iopsrt_graph"), hint({
             "Number of read requests which read one or more database",
             "blocks for all instance activity including application,",
             "backup and recovery, and other utilities. The difference",
             "between this value and \"physical read total multi block",
             "requests\" gives the total number of single block read requests.",
         })},
        {QStringLiteral("iopsr_graph"), hint({
             "Number of read requests for application activity ",
             "(mainly buffer cache and direct load operation) ",
             "which read one or more database blocks per request.",
             "This is a subset of \"physical read total IO requests\" statistic.",
         })},
        {QStringLiteral("iopsrs_graph"), hint({
             "Total number of Oracle instance read requests which read in ",
             "two or more database blocks per request for all instance ",
             "activity including application, backup and recovery, and ",
             "other utilities.",
         })},
        {QStringLiteral("iopsrr_graph"), hint({
             "Total number of Oracle instance read requests which read in ",
             "a single database blocks per request for all instance ",
             "activity including application, backup and recovery, and ",
             "other utilities.",
         })},
        {QStringLiteral("iopsrbt_graph"), hint({
             "Total size in bytes of disk reads by all database instance",
             "activity including application reads, backup and recovery,",
             "and other utilities. The difference between this value and",
             "\"physical read bytes\" gives the total read size in bytes by",
             "non-application workload.",
         })},
        {QStringLiteral("iopsrb_graph"), hint({
             "Total size in bytes of all disk reads by application activity ",
             "(and not other instance activity) only.",
         })},
    };
    // clang-format on
}

} // namespace tavimond
