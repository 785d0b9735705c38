#include "datafile_stats_screen.h"

#include "ui_history_datafile_stats_screen.h"

#include "core/chart.h"
#include "core/chart_routines.h"
#include "core/conversions.h"
#include "core/float_arithmetic.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/chart_plot_buttons.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavimond {
namespace {

const QStringList &headers()
{
    static const QStringList h{QStringLiteral("Snap ID"),       QStringLiteral("Begin Interval"),
                               QStringLiteral("End Interval"),  QStringLiteral("Filename"),
                               QStringLiteral("Read Count"),    QStringLiteral("Total Read Time"),
                               QStringLiteral("Write Count"),   QStringLiteral("Total Write Time"),
                               QStringLiteral("Avg Read time"), QStringLiteral("Avg Write Time")};
    return h;
}

// The six charts in the order they are drawn: the grid column each plots, which radio
// shows it (0 "Operations", 1 "Response Times(Totals)", 2 "Response Times(Average)"),
// whether it stands in the top row, and its buttons "<", ">" and "=||".
struct ChartSpec {
    const char *name;
    const char *title;
    int column;
    int pair;
    bool top;
    const char *buttons[3];
};

const ChartSpec kCharts[] = {
    {"reads_graph", "Read Operations(Count)", 4, 0, true, {"Button93", "Button94", "Button95"}},
    {"readtime_graph", "Read Operations Time(Totals)", 5, 1, true, {"Button96", "Button97", "Button98"}},
    {"writes_graph", "Write Operations(count)", 6, 0, false, {"Button103", "Button111", "Button112"}},
    {"writetime_graph", "Write Operations Time (Totals)", 7, 1, false, {"Button113", "Button114", "Button115"}},
    {"readtimeavg_graph", "Read Operations Time(Average)", 8, 2, true, {"Button117", "Button118", "Button119"}},
    {"writetimeavg_graph", "Write Operations Time (Average)", 9, 2, false, {"Button120", "Button121", "Button122"}},
};

// The difference of one counter of dba_hist_filestatxs from the file's row before, in
// four lines: 0 without one, the counter itself where it started again.
QStringList differenceLines(const QString &x, const QString &alias, bool lastColumn)
{
    const QString partition = QStringLiteral("over (partition by dba_hist_filestatxs.dbid, ");
    if (!lastColumn)
        return {QStringLiteral("nvl(decode(greatest(%1, nvl(lag(%1) ").arg(x) + partition,
                QStringLiteral("dba_hist_filestatxs.instance_number, tsname, filename order by "
                               "dba_hist_filestatxs.snap_id),0)), "),
                QStringLiteral("%1, %1 - lag(%1) over (partition by dba_hist_filestatxs.dbid, "
                               "dba_hist_filestatxs.instance_number, ")
                    .arg(x),
                QStringLiteral("tsname, filename order by dba_hist_filestatxs.snap_id),%1), 0) ").arg(x) + alias};
    return {QStringLiteral("nvl(decode(greatest(%1, nvl(lag(%1) ").arg(x) + partition,
            QStringLiteral("dba_hist_filestatxs.instance_number, tsname, filename order by "
                           "dba_hist_filestatxs.snap_id),0)),  "),
            QStringLiteral("%1, %1 - lag(%1) over (partition by dba_hist_filestatxs.dbid, "
                           "dba_hist_filestatxs.instance_number, tsname, ")
                .arg(x),
            QStringLiteral("filename order by dba_hist_filestatxs.snap_id),%1), 0) ").arg(x) + alias};
}

// A quotient as the grid shows it: up to 15 significant digits, never an exponent.
QString quotient(const QString &dividend, const QString &divisor)
{
    if (dividend == QLatin1String("0") || divisor == QLatin1String("0"))
        return QStringLiteral("0");
    const double d = strictToFloat(divisor);
    const double n = strictToFloat(dividend);
    return d == 0 ? QStringLiteral("0") : formatFloat(n / d);
}

} // namespace

DatafileStatsScreen::DatafileStatsScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("df_page"), context, parent), ui_(std::make_unique<Ui::DatafileStatsScreenForm>()),
      df_query(std::make_unique<Query>(cnn()))
{
    ui_->setupUi(this);

    // Retrieve: the buttons, the file pattern and the window.
    auto *retrieve = new QVBoxLayout(ui_->TabSheet23);
    auto *controls = new QGridLayout;
    auto *Button116 = new QPushButton(QStringLiteral("Retrieve"), ui_->TabSheet23);
    Button116->setObjectName(QStringLiteral("Button116"));
    auto *Button123 = new QPushButton(QStringLiteral("Clear All"), ui_->TabSheet23);
    Button123->setObjectName(QStringLiteral("Button123"));
    controls->addWidget(Button116, 0, 0);
    controls->addWidget(Button123, 1, 0);
    controls->addWidget(new QLabel(QStringLiteral("Datafile"), ui_->TabSheet23), 0, 1);
    dfname = new QLineEdit(QStringLiteral("%"), ui_->TabSheet23);
    dfname->setObjectName(QStringLiteral("dfname"));
    dfname->setToolTip(QStringLiteral("Wildcard Usage : %filename%"));
    dfname->setMinimumWidth(260);
    controls->addWidget(dfname, 0, 2, 1, 3);
    auto *windowBox = new QWidget(ui_->TabSheet23);
    auto *windowLayout = new QGridLayout(windowBox);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    window_ = addSnapshotWindow(windowLayout, 0, 0,
                                {QStringLiteral("RadioButton27"), QStringLiteral("dfdayret"),
                                 QStringLiteral("dffromto"), QStringLiteral("dfdatefrom"), QStringLiteral("dfdateto")});
    controls->addWidget(windowBox, 1, 1, 2, 4);
    controls->setColumnStretch(5, 1);
    retrieve->addLayout(controls);
    retrieve->addStretch();

    // Results: the radios over the six charts, two rows of three in one place each, and
    // the files' lists under them.
    QWidget *results = ui_->dfstattab;
    auto *resultsLayout = new QVBoxLayout(results);
    auto *radios = new QHBoxLayout;
    auto radio = [&](const char *name, const char *caption) {
        auto *r = new QRadioButton(QLatin1String(caption), results);
        r->setObjectName(QLatin1String(name));
        radios->addWidget(r);
        return r;
    };
    df_ops = radio("df_ops", "Operations");
    df_times_total = radio("df_times_total", "Response Times(Totals)");
    df_times_avg = radio("df_times_avg", "Response Times(Average)");
    df_ops->setChecked(true);
    radios->addStretch();
    resultsLayout->addLayout(radios);
    auto *chartArea = new QGridLayout;
    for (const ChartSpec &spec : kCharts) {
        auto *chart = new Chart(this);
        chart->setObjectName(QLatin1String(spec.name));
        chart->setTitle(QLatin1String(spec.title));
        chart->setLegendStyle(LegendStyle::Series);
        auto *view = new ChartView(chart, QLatin1String(spec.name), results);
        new ChartPlotButtons(
            chart, {QLatin1String(spec.buttons[0]), QLatin1String(spec.buttons[1]), QLatin1String(spec.buttons[2])},
            view);
        chartArea->addWidget(view, spec.top ? 0 : 1, 0);
        charts_ << FileChart{chart, view, spec.column};
    }
    chartArea->setRowStretch(0, 1);
    chartArea->setRowStretch(1, 1);
    resultsLayout->addLayout(chartArea, 1);
    lists_ =
        new DisplayHideLists({QStringLiteral("filedispbox"), QStringLiteral("filehidebox"), QStringLiteral("filesdisp"),
                              QStringLiteral("fileshide"), QStringLiteral("fileadisp"), QStringLiteral("fileahide")},
                             results);
    QList<Chart *> models;
    for (const FileChart &c : charts_)
        models << c.chart;
    lists_->setCharts(models);
    lists_->setMaximumHeight(130);
    resultsLayout->addWidget(lists_);
    showPair(0);

    // Raw Data.
    auto *raw = new QVBoxLayout(ui_->TabSheet27);
    df_grid = new GridView(new ResultGrid(int(headers().size()), this), QStringLiteral("df_grid"), ui_->TabSheet27);
    raw->addWidget(df_grid);

    // Script: the memo holds the default settings' script until the first run.
    df_text = addScriptMemo(ui_->TabSheet28, QStringLiteral("df_text"),
                            QStringLiteral("Datafile Statistics Retrieve Script"), scriptLines(), MemoAccess::Editable);
    auto *boxes = new QHBoxLayout;
    df_mds = new QCheckBox(QStringLiteral("Maintain Dynamic Script"), ui_->TabSheet28);
    df_mds->setObjectName(QStringLiteral("df_mds"));
    // Kept as the screen has always had it; a daily rollup changes nothing in the script.
    df_rollup = new QCheckBox(QStringLiteral("Daily Rollup"), ui_->TabSheet28);
    df_rollup->setObjectName(QStringLiteral("df_rollup"));
    boxes->addWidget(df_mds);
    boxes->addWidget(df_rollup);
    boxes->addStretch();
    static_cast<QGridLayout *>(ui_->TabSheet28->layout())->addLayout(boxes, 2, 0);

    connect(Button116, &QPushButton::clicked, this, guarded([this] { Button116Click(); }));
    connect(Button123, &QPushButton::clicked, this, guarded([this] { Button123Click(); }));
    connect(df_ops, &QRadioButton::clicked, this, guarded([this] { df_opsClick(); }));
    connect(df_times_total, &QRadioButton::clicked, this, guarded([this] { df_times_totalClick(); }));
    connect(df_times_avg, &QRadioButton::clicked, this, guarded([this] { df_times_avgClick(); }));
    setCurrentWidget(ui_->TabSheet23);
}

DatafileStatsScreen::~DatafileStatsScreen() = default;

QList<GridHeaders> DatafileStatsScreen::gridHeaders() const
{
    return {{QStringLiteral("df_grid"), headers(), {108, 124, 109, 278, 132, 121, 114, 110, 64, 64}}};
}

QStringList DatafileStatsScreen::scriptLines() const
{
    QStringList lines{
        QStringLiteral("select snap_id,begintime,endtime,filename,sum(Phy_Reads),sum(Phy_Read_Time),sum(Phy_Writes),"
                       "sum(Phy_write_time) from "),
        QStringLiteral("(select nm.snap_id, "),
        QStringLiteral("  to_char(begin_interval_time,'DD-MON-YYYY HH24:MI') begintime, "),
        QStringLiteral("  to_char(end_interval_time,'DD-MON-YYYY HH24:MI') endtime, filename, "),
    };
    lines << differenceLines(QStringLiteral("PHYBLKRD"), QStringLiteral("Phy_Reads, "), false)
          << differenceLines(QStringLiteral("READTIM"), QStringLiteral("Phy_Read_Time, "), false)
          << differenceLines(QStringLiteral("PHYBLKWRT"), QStringLiteral(" Phy_Writes, "), false)
          << differenceLines(QStringLiteral("WRITETIM"), QStringLiteral("Phy_Write_Time "), true);
    lines << QStringLiteral("from ") << QStringLiteral("dba_hist_filestatxs, ")
          << QStringLiteral("dba_hist_snapshot nm ") << QStringLiteral("where ")
          << QStringLiteral("dba_hist_filestatxs.snap_id = nm.snap_id  ")
          // Each file's row meets its own instance's snapshot row, not every instance's.
          << QStringLiteral("and dba_hist_filestatxs.dbid = nm.dbid ")
          << QStringLiteral("and dba_hist_filestatxs.instance_number = nm.instance_number ");
    lines << snapshotWindowLines(window_, QStringLiteral("and "), QStringLiteral("and "));
    lines << QStringLiteral("and filename like ") + sqlQuote(dfname->text()) << QStringLiteral("order by ")
          << QStringLiteral("nm.begin_interval_time) iodetail ")
          << QStringLiteral("group by snap_id,begintime,endtime,filename ")
          // Bars and the order in which files first come follow the snapshots.
          << QStringLiteral("order by snap_id, filename");
    return lines;
}

void DatafileStatsScreen::clearResults()
{
    df_grid->grid()->empty();
    for (const FileChart &c : charts_)
        c.chart->removeAllSeries();
    lists_->clear();
}

void DatafileStatsScreen::Button116Click()
{
    const QStringList lines = freshScriptLines(df_mds, [this] { return scriptLines(); });
    clearResults();
    buildScript(*df_text, df_mds, lines);
    ResultGrid &grid = *df_grid->grid();
    runScriptIntoGrid(*df_text, *df_query, grid, true);
    GridTailTrim(grid);
    // With no record there is nothing to average, draw or list.
    if (grid.rowCount() > 2 || !grid.cell(0, 1).isEmpty()) {
        {
            ResultGrid::Batch batch(grid);
            for (int r = 1; r < grid.rowCount(); ++r) {
                grid.setCell(8, r, quotient(grid.cell(5, r), grid.cell(4, r)));
                grid.setCell(9, r, quotient(grid.cell(7, r), grid.cell(6, r)));
            }
        }
        for (const FileChart &c : charts_)
            ChartFromGrid(grid, *c.chart, c.column, QString(), QStringLiteral("Total"));
        QStringList files;
        for (int r = 1; r < grid.rowCount(); ++r)
            files << grid.cell(3, r);
        lists_->addKeys(files);
    }
    setCurrentWidget(ui_->dfstattab);
}

void DatafileStatsScreen::Button123Click()
{
    clearResults();
    dfname->setText(QStringLiteral("%"));
}

void DatafileStatsScreen::showPair(int pair)
{
    for (int i = 0; i < charts_.size(); ++i)
        charts_.at(i).view->setVisible(kCharts[i].pair == pair);
}

void DatafileStatsScreen::df_opsClick()
{
    showPair(0);
}

void DatafileStatsScreen::df_times_totalClick()
{
    showPair(1);
}

void DatafileStatsScreen::df_times_avgClick()
{
    showPair(2);
}

} // namespace tavimond
