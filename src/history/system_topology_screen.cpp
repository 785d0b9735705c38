#include "system_topology_screen.h"

#include "ui_history_system_topology_screen.h"

#include "core/chart.h"
#include "core/chart_routines.h"
#include "core/grid_routines.h"
#include "core/messages.h"
#include "core/result_grid.h"
#include "core/settings.h"
#include "db/query.h"
#include "ui/chart_plot_buttons.h"
#include "ui/chart_view.h"
#include "ui/flow_layout.h"
#include "ui/grid_model.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <vector>

namespace tavimond {
namespace {

// The statement's select list: the figures of one snapshot of one instance, from the
// rows of the inline view below.
//
// "CPU Cores" and "Total Core Time" read NUM_VCPUS where the host reports it and
// NUM_CPU_CORES where it does not (Linux hosts report no NUM_VCPUS).
const char *const kSelectList = R"sql(select snap_id,
       TO_CHAR(begin_interval_time,'DD/MON/YYYY HH24:MI'),
       TO_CHAR(end_interval_time,'DD/MON/YYYY HH24:MI'),
       d.name||instance_number,
       ROUND(MAX(ela),2) "Elapse Time (s)",
       ROUND(MAX(case when stat_name='logons current' then (value) else 0 end),3) "Sess# Start",
       ROUND(MAX(case when stat_name='total PGA allocated' then (value)/1024/1024 else 0 end),3) "pga (mb)",
       ROUND(MAX(case when stat_name='total PGA allocated' then (value)/1024/1024 else 0 end)/MAX(case when stat_name='logons current' then (value) else 0 end),3) "pga (mb/sess)",
       ROUND(NVL(SUM(case when stat_name='NUM_VCPUS' then (value) end),SUM(case when stat_name='NUM_CPU_CORES' then (value) else 0 end)),2) "CPU Cores",
       ROUND(MAX(case when stat_name='NUM_CPUS' then (value) else 0 end),2) "CPU Threads",
       ROUND(MAX(case when stat_name='DB time' then (diff_val) else 0 end),2) "Active Sessions/Sec",
       ROUND(NVL(MAX(case when stat_name='NUM_VCPUS' then (value)*ela end),MAX(case when stat_name='NUM_CPU_CORES' then (value)*ela else 0 end)),2) "Total Core Time",
       ROUND(SUM(case when stat_name='BUSY_TIME' then (diff_val) else 0 end)/MAX(ela),2) "Host Core Util",
       ROUND(SUM(case when stat_name='USER_TIME' then (diff_val) else 0 end)/MAX(ela),2) "Host User Util",
       ROUND(SUM(case when stat_name='SYS_TIME' then (diff_val) else 0 end)/MAX(ela),2) "Host SYS Util",
       ROUND(SUM(case when stat_name='LOAD' then (value) else 0 end),2) "LOAD(# Active Process)",
       ROUND(SUM(case when stat_name in ('DB CPU','background cpu time') then (diff_val) else 0 end),2) "DB+BG Time (s)",
       ROUND(SUM(case when stat_name in ('DB CPU','background cpu time') then (diff_val) else 0 end)/MAX(ela),2) "DB Cores Util",
       ROUND(MAX(case when stat_name='background cpu time' then (diff_val) else 0 end)/MAX(ela),2) "BG Time Core",
       ROUND(MAX(case when stat_name='RMAN cpu time (backup/restore)' then (diff_val) else 0 end)/MAX(ela),2) "RMAN Core",
       ROUND(MAX(case when stat_name='physical read IO requests' then (diff_val)/ela else 0 end),3) "IOPs r",
       ROUND(MAX(case when stat_name='physical read total IO requests' then (diff_val)/ela else 0 end),3) "IOPs r total",
       ROUND(MAX(case when stat_name='physical read total multi block requests' then (diff_val)/ela else 0 end),3) "IOPs r Sequential",
       ROUND(SUM(case when stat_name='physical read total IO requests' then (diff_val)/ela
                      when stat_name='physical read total multi block requests' then -1*(diff_val)/ela else 0 end),3) "IOPs r Random(single)",
       ROUND(MAX(case when stat_name='redo blocks read for recovery' then (diff_val)/ela else 0 end),3) "redo recovery blocks/s",
       ROUND(MAX(case when stat_name='physical write IO requests' then (diff_val)/ela else 0 end),3) "IOPs w",
       ROUND(MAX(case when stat_name='physical write total IO requests' then (diff_val)/ela else 0 end),3) "IOPs w total",
       ROUND(MAX(case when stat_name='physical write total multi block requests' then (diff_val)/ela else 0 end),3) "IOPs w Sequential",
       ROUND(SUM(case when stat_name='physical write total IO requests' then (diff_val)/ela
                      when stat_name='physical write total multi block requests' then -1*(diff_val)/ela else 0 end),3) "IOPs w Random(single)",
       ROUND(MAX(case when stat_name='DBWR undo block writes' then (diff_val)/ela else 0 end),3) "Undo Blocks/s",
       ROUND(SUM(case when stat_name='redo blocks written' then (diff_val)/ela else 0 end),5) "redo blocks written/s",
       ROUND(SUM(case when stat_name='redo writes' then (diff_val)/ela else 0 end),5) "redo write/s",
       ROUND(SUM(case when stat_name='redo blocks written' then (diff_val) else 0 end)
            /SUM(case when stat_name='redo writes' then (diff_val) else 1 end),5) "Redo Blocks/w",
       ROUND(MAX(case when stat_name='physical read bytes' then (diff_val)/ela else 0 end),3) "IO r (bytes)/s",
       ROUND(MAX(case when stat_name='physical read total bytes' then (diff_val)/ela else 0 end),3) "IO_Tot r (bytes)/s",
       ROUND(MAX(case when stat_name='physical write bytes' then (diff_val)/ela else 0 end),3) "IO w (bytes)/s",
       ROUND(MAX(case when stat_name='physical write total bytes' then (diff_val)/ela else 0 end),3) "IO_Tot w (bytes)/s",
       ROUND(MAX(case when stat_name='redo size' then (diff_val)/ela else 0 end),3) "Redo (bytes)/s",
       ROUND(MAX(case when stat_name='bytes sent via SQL*Net to client' then (diff_val)/ela else 0 end),3) "SQL*Net Sent (bytes)/s",
       ROUND(MAX(case when stat_name='bytes received via SQL*Net from client' then (diff_val)/ela else 0 end),3) "SQL*Net received (bytes)/s",
       ROUND(((SUM(CASE WHEN stat_name IN ('gc cr blocks received','gc current blocks received',
                                           'gc cr blocks served','gc current blocks served') THEN diff_val ELSE 0 END)
               * (SELECT TO_NUMBER (VALUE) FROM v$parameter WHERE name = 'db_block_size'))
            + (SUM(CASE WHEN stat_name IN ('gcs messages sent','ges messages sent',
                                           'gcs msgs received','ges msgs received') THEN diff_val ELSE 0 END) * 200))
            / 1024 / MAX (ela),3) "Estd Interconnect traffic (KB)")sql";

// A branch of the inline view: one statistics table beside the snapshots, each
// statistic's difference from the snapshot before taken per instance and startup (the
// value itself right after a startup), divided into seconds where it is a time.
struct BranchSpec {
    const char *table;
    const char *alias;
    const char *name; // the column that names the statistic
    const char *key;  // the statistic's key in the partition
    const char *divisor;
    const char *names; // the statistics selected
};

const BranchSpec kBranches[] = {
    {"dba_hist_sys_time_model", "sy", "stat_name", "stat_id", "/1000000",
     "'DB CPU','DB time','background cpu time','RMAN cpu time (backup/restore)'"},
    {"dba_hist_osstat", "os", "stat_name", "stat_id", "/100",
     "'BUSY_TIME','USER_TIME','SYS_TIME','NUM_CPUS','NUM_VCPUS','NUM_CPU_CORES','LOAD'"},
    {"dba_hist_pgastat", "ps", "name", "name", "", "'total PGA allocated'"},
    {"dba_hist_sysstat", "ss", "stat_name", "stat_id", "",
     R"sql('logons current','execute count','physical reads','physical writes',
                        'physical read total bytes','physical read bytes','physical write total bytes','physical write bytes',
                        'redo writes','redo size','redo blocks written',
                        'physical read IO requests','physical read total IO requests',
                        'physical read total multi block requests','physical read total IO multi block requests',
                        'physical write IO requests','physical write total IO requests',
                        'physical write total multi block requests','physical write total IO multi block requests',
                        'DBWR undo block writes','redo blocks read for recovery',
                        'bytes sent via SQL*Net to client','bytes received via SQL*Net from client',
                        'Estd Interconnect traffic','session logical reads',
                        'gc cr blocks received','gc current blocks received','gc cr blocks served','gc current blocks served',
                        'gcs messages sent','ges messages sent')sql"},
    {"dba_hist_dlm_misc", "dm", "name", "name", "", "'gcs msgs received','ges msgs received'"},
};

const char *const kBranch = R"sql(select s.instance_number, s.snap_id,
       s.begin_interval_time begin_interval_time, s.end_interval_time end_interval_time,
       round((CAST (s.end_interval_time AS DATE) - CAST (s.begin_interval_time AS DATE)) * 24 * 3600) ela,
       %2.%3 stat_name,
       (case when s.begin_interval_time = s.startup_time then %2.value
             else %2.value - LAG (%2.value, 1) OVER (PARTITION BY %2.%4, s.dbid, s.instance_number, s.startup_time ORDER BY s.snap_id)
        end)%5 diff_val,
       %2.value value
  from dba_hist_snapshot s, %1 %2
 where s.dbid = %2.dbid(+) and s.instance_number = %2.instance_number(+) and s.snap_id = %2.snap_id(+)
   and %2.%3 in (%6))sql";

// The statement without its window, grouping and ordering.
QStringList templateLines()
{
    QStringList lines = QString::fromUtf8(kSelectList).split(QLatin1Char('\n'));
    lines << QStringLiteral("  from (");
    for (const BranchSpec &b : kBranches) {
        if (&b != kBranches)
            lines << QStringLiteral("union all");
        lines << QString::fromUtf8(kBranch)
                     .arg(QLatin1String(b.table), QLatin1String(b.alias), QLatin1String(b.name), QLatin1String(b.key),
                          QLatin1String(b.divisor), QLatin1String(b.names))
                     .split(QLatin1Char('\n'));
    }
    lines << QStringLiteral("order by instance_number,snap_id desc,stat_name") << QStringLiteral("  ), v$database d");
    return lines;
}

QStringList closingLines()
{
    return {QStringLiteral(
                " GROUP BY snap_id,TO_CHAR(begin_interval_time, 'DD/MON/YYYY HH24:MI'),TO_CHAR(end_interval_time, "
                "'DD/MON/YYYY HH24:MI'),d.name||instance_number "),
            QStringLiteral("order by d.name||instance_number , snap_id")};
}

const QStringList &headers()
{
    static const QStringList h{
        QStringLiteral("Snap ID"),
        QStringLiteral("Begin Snap Time"),
        QStringLiteral("End Snap Time"),
        QStringLiteral("Inst ID"),
        QStringLiteral("Elapse Time (s)"),
        QStringLiteral("Session Count"),
        QStringLiteral("pga (mb)"),
        QStringLiteral("pga (mb/sess)"),
        QStringLiteral("CPU Cores"),
        QStringLiteral("CPU Threads"),
        QStringLiteral("Active Sessions/Sec"),
        QStringLiteral("Total Core Time"),
        QStringLiteral("Host Core Util"),
        QStringLiteral("Host User Util"),
        QStringLiteral("Host SYS Util"),
        QStringLiteral("LOAD(# Active Process)"),
        QStringLiteral("DB+BG Time (s)"),
        QStringLiteral("DB Cores Util"),
        QStringLiteral("BG Time Core"),
        QStringLiteral("RMAN Core"),
        QStringLiteral("IOPs r"),
        QStringLiteral("IOPs r total"),
        QStringLiteral("IOPs r Sequential"),
        QStringLiteral("IOPs r Random(single)"),
        QStringLiteral("redo recovery blocks/s"),
        QStringLiteral("IOPs w"),
        QStringLiteral("IOPs w total"),
        QStringLiteral("IOPs w Sequential"),
        QStringLiteral("IOPs w Random(single)"),
        QStringLiteral("Undo Blocks/s"),
        QStringLiteral("redo blocks written/s"),
        QStringLiteral("redo write/s"),
        QStringLiteral("Redo Blocks/w"),
        QStringLiteral("IO r (bytes)/s"),
        QStringLiteral("IO_Tot r (bytes)/s"),
        QStringLiteral("IO w (bytes)/s"),
        QStringLiteral("IO_Tot w (bytes)/s"),
        QStringLiteral("Redo (bytes)/s"),
        QStringLiteral("SQL*Net Sent (bytes)/s"),
        QStringLiteral("SQL*Net received (bytes)/s"),
        QStringLiteral("Estd Interconnect traffic (KB)"),
    };
    return h;
}

// A chart, the grid column it is drawn from and its "=||" button, in the order the
// charts are drawn.
struct ChartSpec {
    int column;
    const char *chart;
    const char *title;
    const char *button;
};

const ChartSpec kChartSpecs[SystemTopologyScreen::kCharts] = {
    {4, "syselaps_graph", "Elapsed Time(Secs)", "Button145"},
    {6, "pga_graph", "Program Global Area (MB)", "Button143"},
    {7, "pgasess_graph", "Program Global Area (Avg MB/session)", "Button144"},
    {5, "sesscnt_graph", "Session Count", "Button148"},
    {10, "actsess_graph", "Database Time(Seconds)", "Button146"},
    {15, "actproc_graph", "Actice Process Count", "Button147"},
    {8, "cpucores_graph", "CPU Cores", "Button149"},
    {9, "cputhreads_graph", "CPU Threads", "Button150"},
    {11, "coretime_graph", "Total Core Time (Seconds)", "Button151"},
    {12, "hostcore_graph", "Core Usage(Total)", "Button154"},
    {13, "hostuser_graph", "Core Usage(User)", "Button153"},
    {14, "hostsys_graph", "Core Usage(System)", "Button152"},
    {16, "dbbgtime_graph", "Database & Background CPU Time(Seconds)", "Button155"},
    {17, "dbcores_graph", "Database Core Usage(Cores)", "Button156"},
    {18, "bgcore_graph", "Background Usage(Cores)", "Button160"},
    {19, "rmancore_graph", "RMAN Usage(Cores)", "Button159"},
    {20, "iopsr_graph", "Physical Read Requests", "Button157"},
    {21, "iopsrt_graph", "Total Physical Read Requests", "Button158"},
    {22, "iopsrs_graph", "Total Physical Read Multi Block Requests", "Button161"},
    {23, "iopsrr_graph", "Total Physical Read Single Block Requests", "Button164"},
    {33, "iopsrb_graph", "Physical Read Bytes", "Button163"},
    {34, "iopsrbt_graph", "Total Physical Read Bytes", "Button162"},
    {25, "iopsw_graph", "Physical Write Requests", "Button165"},
    {26, "iopswt_graph", "Total Physical Write Requests", "Button166"},
    {27, "iopsws_graph", "Total Physical Write Multi Block Requests", "Button167"},
    {28, "iopswr_graph", "Total Physical Write Single Block Requests", "Button170"},
    {35, "iopswb_graph", "Physical Write Bytes", "Button169"},
    {36, "iopswbt_graph", "Total Physical Write Bytes", "Button168"},
    {24, "ru1_graph", "REDO Blocks Read For Recovery Per Second", "Button172"},
    {29, "ru2_graph", "DBWR Undo Block Writes Per Second", "Button173"},
    {30, "ru3_graph", "REDO Blocks Written Per Second", "Button174"},
    {31, "ru4_graph", "REDO Writes Per Second", "Button171"},
    {32, "ru5_graph", "REDO Blocks Per Write", "Button176"},
    {37, "ru6_graph", "REDO Size Per Second(Bytes)", "Button175"},
    {38, "traf1_graph", "SQL*Net Sent (bytes)/s", "Button179"},
    {39, "traf2_graph", "SQL*Net received (bytes)/s", "Button178"},
    {40, "traf3_graph", "Estd Interconnect traffic (KB)", "Button181"},
};

// A group of charts, its radio button and where its charts stand: row by row, left
// then right, or one to a row.
struct GroupSpec {
    const char *radio;
    const char *caption;
    const char *box;
    const char *title;
    int columns;
    std::vector<const char *> charts;
};

const std::vector<GroupSpec> &groupSpecs()
{
    // clang-format off
    static const std::vector<GroupSpec> g{
        {"RadioButton32", "Sesion", "sess_graphs", " Session ", 2,
         {"syselaps_graph", "actsess_graph", "actproc_graph", "sesscnt_graph", "pga_graph", "pgasess_graph"}},
        {"RadioButton33", "CPU(System)", "cpu_graphs", " CPU(System) ", 2,
         {"cpucores_graph", "hostcore_graph", "cputhreads_graph", "hostuser_graph", "coretime_graph", "hostsys_graph"}},
        {"RadioButton40", "CPU(Database)", "cpu2_graphs", " CPU(Database) ", 2,
         {"dbbgtime_graph", "bgcore_graph", "dbcores_graph", "rmancore_graph"}},
        {"RadioButton36", "I/O(Read)", "ior_graphs", " I/O(Read) ", 2,
         {"iopsrt_graph", "iopsr_graph", "iopsrs_graph", "iopsrr_graph", "iopsrbt_graph", "iopsrb_graph"}},
        {"RadioButton37", "I/O(Write)", "iow_graphs", " I/O(Write) ", 2,
         {"iopswt_graph", "iopsw_graph", "iopsws_graph", "iopswr_graph", "iopswbt_graph", "iopswb_graph"}},
        {"RadioButton38", "Redo/Undo", "redoundo_graphs", " Redo/Undo ", 2,
         {"ru2_graph", "ru4_graph", "ru1_graph", "ru5_graph", "ru6_graph", "ru3_graph"}},
        {"RadioButton39", "Traffic", "traf_graphs", " Traffic ", 1, {"traf1_graph", "traf2_graph", "traf3_graph"}},
    };
    // clang-format on
    return g;
}

// The charts whose hints "Show Grap Hints" turns on and off.
bool hasHint(const QString &chart)
{
    return chart == QLatin1String("syselaps_graph") || chart == QLatin1String("actsess_graph") ||
           chart.startsWith(QLatin1String("iops")) || chart.startsWith(QLatin1String("traf"));
}

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
    : Screen(QStringLiteral("systoppage"), context, parent), ui_(std::make_unique<Ui::SystemTopologyScreenForm>()),
      systop_Query(std::make_unique<Query>(cnn()))
{
    ui_->setupUi(this);
    buildRetrieveTab();
    buildStatisticsTab();

    auto *raw = new QVBoxLayout(ui_->TabSheet66);
    systopgrid =
        new GridView(new ResultGrid(int(headers().size()), this), QStringLiteral("systopgrid"), ui_->TabSheet66);
    systopgrid->gridModel()->setEditable(true);
    systopgrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    systopgrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    raw->addWidget(systopgrid);

    // The Script tab shows the statement last run; before the first run, the one the
    // default window would run.
    QStringList first = templateLines();
    first << snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and "))
          << closingLines();
    systopmemo = addScriptMemo(ui_->TabSheet62, QStringLiteral("systopmemo"),
                               QStringLiteral("System Statistics Retrieval"), first, MemoAccess::ReadOnlySkyBlue);
    systop_template = new QPlainTextEdit(templateLines().join(QLatin1Char('\n')), ui_->TabSheet62);
    systop_template->setObjectName(QStringLiteral("systop_template"));
    systop_template->setEnabled(false);
    systop_template->hide();

    setCurrentWidget(ui_->TabSheet61);
}

SystemTopologyScreen::~SystemTopologyScreen() = default;

void SystemTopologyScreen::buildRetrieveTab()
{
    QWidget *tab = ui_->TabSheet61;
    auto *page = new QVBoxLayout(tab);
    auto *row = new QHBoxLayout;

    auto *criteria = new QGroupBox(QStringLiteral(" Selection Criteria "), tab);
    auto *controls = new QGridLayout(criteria);
    window_ = addSnapshotWindow(controls, 0, 0,
                                {QStringLiteral("systdaysrb"), QStringLiteral("systdays"),
                                 QStringLiteral("systrangerb"), QStringLiteral("systfrom"), QStringLiteral("systto"),
                                 QStringLiteral("1/MAY/2013 08:00:00"), QStringLiteral("2/MAY/2013 08:15:59")});
    row->addWidget(criteria);

    auto *actions = new QGroupBox(QStringLiteral(" Actions "), tab);
    auto *buttons = new QHBoxLayout(actions);
    auto button = [&](const char *name, const char *caption) {
        auto *b = new QPushButton(QString::fromLatin1(caption), actions);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    QPushButton *Button2 = button("Button2", "Retrieve System Statistics");
    QPushButton *Button66 = button("Button66", "Clear All");
    QPushButton *Button67 = button("Button67", "Export(CSV)");
    row->addWidget(actions);
    row->addStretch();
    page->addLayout(row);

    systopmess = new QLabel(QStringLiteral("Retrieving Data, Please wait..."), tab);
    systopmess->setObjectName(QStringLiteral("systopmess"));
    QFont bold = systopmess->font();
    bold.setBold(true);
    systopmess->setFont(bold);
    QPalette blue = systopmess->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    systopmess->setPalette(blue);
    systopmess->hide();
    page->addWidget(systopmess);
    page->addStretch();

    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button66, &QPushButton::clicked, this, guarded([this] { Button66Click(); }));
    connect(Button67, &QPushButton::clicked, this, guarded([this] { Button67Click(); }));
}

void SystemTopologyScreen::buildStatisticsTab()
{
    QWidget *tab = ui_->TabSheet65;
    auto *page = new QVBoxLayout(tab);
    // The bar wraps where the window is too narrow for it.
    auto *bar = new FlowLayout;
    // The label and its combo stay on one line.
    auto *instance = new QWidget(tab);
    auto *instanceRow = new QHBoxLayout(instance);
    instanceRow->setContentsMargins(0, 0, 6, 0);
    instanceRow->addWidget(new QLabel(QStringLiteral("Instance ID"), instance));
    instid_combo = new QComboBox(instance);
    instid_combo->setObjectName(QStringLiteral("instid_combo"));
    instid_combo->setEditable(true);
    instid_combo->setInsertPolicy(QComboBox::NoInsert); // typing chooses, it adds no instance
    instid_combo->setMinimumWidth(120);
    instanceRow->addWidget(instid_combo);
    bar->addWidget(instance);

    QHash<QString, int> byName;
    for (int i = 0; i < kCharts; ++i) {
        auto *chart = new Chart(this);
        chart->setObjectName(QLatin1String(kChartSpecs[i].chart));
        chart->setTitle(QString::fromLatin1(kChartSpecs[i].title));
        chart->setLegendStyle(LegendStyle::Series);
        chart->setRightAxisFormat(QStringLiteral("#,##0.#####"));
        charts_[size_t(i)] = chart;
        byName.insert(chart->objectName(), i);
    }
    // Hints of the layout's own; start-up writes the others.
    charts_[size_t(byName.value(QStringLiteral("syselaps_graph")))]->setHint(
        QStringLiteral("Elapsed time between two AWR snapshots"));
    charts_[size_t(byName.value(QStringLiteral("actsess_graph")))]->setHint(
        QStringLiteral("Sum of process CPU consumption and non-idle wait time"));

    auto *radios = new QButtonGroup(this);
    auto *area = new QGridLayout;
    const std::vector<GroupSpec> &specs = groupSpecs();
    for (size_t g = 0; g < specs.size(); ++g) {
        const GroupSpec &spec = specs[g];
        auto *radio = new QRadioButton(QString::fromLatin1(spec.caption), tab);
        radio->setObjectName(QLatin1String(spec.radio));
        radios->addButton(radio);
        bar->addWidget(radio);
        auto *box = new QGroupBox(QString::fromLatin1(spec.title), tab);
        box->setObjectName(QLatin1String(spec.box));
        auto *grid = new QGridLayout(box);
        for (size_t k = 0; k < spec.charts.size(); ++k) {
            const int i = byName.value(QLatin1String(spec.charts[k]));
            auto *view = new ChartView(charts_[size_t(i)], QLatin1String(spec.charts[k]), box);
            new ChartPlotButtons(charts_[size_t(i)], {QString(), QString(), QLatin1String(kChartSpecs[i].button)},
                                 view);
            views_[size_t(i)] = view;
            grid->addWidget(view, int(k) / spec.columns, int(k) % spec.columns);
        }
        area->addWidget(box, 0, 0);
        groups_[g] = box;
        connect(radio, &QRadioButton::clicked, this, guarded([this, g] {
                    switch (g) {
                    case 0:
                        RadioButton32Click();
                        break;
                    case 1:
                        RadioButton33Click();
                        break;
                    case 2:
                        RadioButton40Click();
                        break;
                    case 3:
                        RadioButton36Click();
                        break;
                    case 4:
                        RadioButton37Click();
                        break;
                    case 5:
                        RadioButton38Click();
                        break;
                    default:
                        RadioButton39Click();
                        break;
                    }
                }));
    }
    radios->buttons().first()->setChecked(true);
    showGroup(0);

    graph_hints = new QCheckBox(QStringLiteral("Show Grap Hints"), tab);
    graph_hints->setObjectName(QStringLiteral("graph_hints"));
    graph_hints->setChecked(true);
    bar->addWidget(graph_hints);
    page->addLayout(bar);
    page->addLayout(area, 1);

    // Every change the user makes to the text (picked, typed or completed as the user
    // types) changes the instance shown; the combo's own changes from code do not.
    onUserTextChange(instid_combo, this, [this] { instid_comboChange(); });
    connect(graph_hints, &QCheckBox::clicked, this, guarded([this] { graph_hintsClick(); }));
}

QList<GridHeaders> SystemTopologyScreen::gridHeaders() const
{
    QList<int> widths{169, 84, 88, 85, 79, 85, 88, 98, 92, 100, 105};
    while (widths.size() < headers().size())
        widths << 64;
    return {{QStringLiteral("systopgrid"), headers(), widths}};
}

void SystemTopologyScreen::Button2Click()
{
    QStringList lines = memoLines(*systop_template);
    lines << snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and "))
          << closingLines();
    systopmess->show();
    ui_->TabSheet61->repaint();
    Button66Click();
    buildScript(*systopmemo, nullptr, lines);
    openScript(*systopmemo, *systop_Query);

    ResultGrid &grid = *systopgrid->grid();
    if (systop_Query->eof()) {
        systop_Query->close();
        messages().info(QStringLiteral("No records found for system stats"));
    } else {
        WaitCursor wait;
        DumpQueryIntoGrid(*systop_Query, grid, true);
    }
    GridTailTrim(grid);
    for (int i = 0; i < kCharts; ++i)
        ChartFromGrid(grid, *charts_[size_t(i)], kChartSpecs[i].column, QString(), QStringLiteral("Total"));

    // The first instance in the statement's order is shown, the others hidden.
    const Chart &elapsed = *charts_[0];
    {
        const QSignalBlocker quiet(instid_combo);
        for (int s = 0; s < elapsed.seriesCount(); ++s)
            instid_combo->addItem(elapsed.series(s).title());
        if (instid_combo->count() > 0)
            instid_combo->setCurrentIndex(0);
    }
    for (Chart *c : charts_) {
        Chart::Batch batch(*c);
        for (int s = 0; s < c->seriesCount(); ++s)
            c->setSeriesActive(s, s == 0);
    }
    systopmess->hide();
    setCurrentWidget(ui_->TabSheet65);
}

void SystemTopologyScreen::Button66Click()
{
    ResultGrid &grid = *systopgrid->grid();
    {
        ResultGrid::Batch batch(grid);
        grid.empty();
        grid.setHeaders(headers());
    }
    {
        const QSignalBlocker quiet(instid_combo);
        instid_combo->clear();
        instid_combo->clearEditText();
    }
    for (Chart *c : charts_)
        c->removeAllSeries();
}

void SystemTopologyScreen::Button67Click()
{
    ExportGridToCsv(*systopgrid->grid(), settings().csvFileName(), settings().csvDelimiter());
}

void SystemTopologyScreen::instid_comboChange()
{
    // The charts' series stand in one order, the order of the keys in the grid; a
    // chart drawn only partly (a value that did not convert) has fewer and is skipped
    // where it has none of that index.
    const Chart &elapsed = *charts_[0];
    const QString text = instid_combo->currentText();
    for (Chart *c : charts_) {
        Chart::Batch batch(*c);
        for (int s = 0; s < elapsed.seriesCount() && s < c->seriesCount(); ++s)
            c->setSeriesActive(s, elapsed.series(s).title() == text);
    }
}

void SystemTopologyScreen::showGroup(int group)
{
    for (size_t g = 0; g < groups_.size(); ++g)
        groups_[g]->setVisible(int(g) == group);
}

void SystemTopologyScreen::RadioButton32Click()
{
    showGroup(0);
}

void SystemTopologyScreen::RadioButton33Click()
{
    showGroup(1);
}

void SystemTopologyScreen::RadioButton40Click()
{
    showGroup(2);
}

void SystemTopologyScreen::RadioButton36Click()
{
    showGroup(3);
}

void SystemTopologyScreen::RadioButton37Click()
{
    showGroup(4);
}

void SystemTopologyScreen::RadioButton38Click()
{
    showGroup(5);
}

void SystemTopologyScreen::RadioButton39Click()
{
    showGroup(6);
}

void SystemTopologyScreen::graph_hintsClick()
{
    for (int i = 0; i < kCharts; ++i)
        if (hasHint(QLatin1String(kChartSpecs[i].chart)))
            views_[size_t(i)]->setShowHint(graph_hints->isChecked());
}

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
