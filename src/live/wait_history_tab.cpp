#include "wait_history_tab.h"

#include "live_widgets.h"

#include "core/chart.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/error.h"
#include "db/query.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/report_script.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tavimond {
namespace {

// The script with the snapshot times in `timeMask` and the window's lines after
// dba_hist_snapshot (`snapshotLine` holds its "where" or not).
QStringList historyLines(const QString &timeMask, const QString &snapshotLine, const QStringList &window)
{
    QStringList lines{
        QStringLiteral("select s.start_time,"),
        QStringLiteral("instance_number||':'||event_name,  "),
        QStringLiteral("sum(nvl(total_waits,0)), "),
        QStringLiteral("sum(nvl(TIME_WAITED_MICRO,0)) "),
        QStringLiteral("from  "),
        QStringLiteral("(select snap_id,  "),
        QStringLiteral("        instance_number,  "),
        QStringLiteral("        event_name, "),
        QStringLiteral("        total_waits, "),
        QStringLiteral("        time_waited_micro "),
        QStringLiteral("        from dba_hist_system_event) x, "),
        QStringLiteral("(select snap_id, "),
        QStringLiteral("        max(to_char((trunc(begin_interval_time, 'mi')),'%1')) as start_time,").arg(timeMask),
        QStringLiteral("        max(to_char((trunc(end_interval_time, 'mi')),'%1')) as end_time").arg(timeMask),
        snapshotLine,
    };
    lines << window;
    lines << QStringLiteral("        group by snap_id  ") << QStringLiteral("        ) s ")
          << QStringLiteral("where s.snap_id = x.snap_id ") << QStringLiteral("group by s.snap_id,s.start_time, ")
          << QStringLiteral("instance_number||':'||event_name  ") << QStringLiteral("order by s.snap_id ");
    return lines;
}

QRadioButton *namedRadio(const char *name, const QString &caption, QWidget *parent)
{
    auto *r = new QRadioButton(caption, parent);
    r->setObjectName(QLatin1String(name));
    return r;
}

} // namespace

WaitHistoryTab::WaitHistoryTab(const PartContext &context)
    : QWidget(context.tab), waitQueryhist(std::make_unique<Query>(context.screen.cnn)),
      wthistgrid(namedGrid(4, "wthistgrid", this)),
      WaitHistGraph(namedChart("WaitHistGraph", QStringLiteral("Wait Event Count"), this)),
      WaitHistGraphtime(namedChart("WaitHistGraphtime", QStringLiteral("Wait Event Time"), this))
{
    WaitHistGraph->setLegendStyle(LegendStyle::Series);
    WaitHistGraphtime->setLegendStyle(LegendStyle::Series);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    QPushButton *acquire = namedButton("Button10", QStringLiteral("Acquire"), this);
    QPushButton *clear = namedButton("Button24", QStringLiteral("Clear"), this);
    bar->addWidget(acquire);
    bar->addWidget(clear);
    // Each pair of radios in a box of its own, so that they choose apart.
    auto *view = new QWidget(this);
    auto *viewLayout = new QVBoxLayout(view);
    viewLayout->setContentsMargins(8, 0, 8, 0);
    RadioButton1 = namedRadio("RadioButton1", QStringLiteral("Graph"), view);
    RadioButton1->setChecked(true);
    RadioButton2 = namedRadio("RadioButton2", QStringLiteral("Grid"), view);
    viewLayout->addWidget(RadioButton1);
    viewLayout->addWidget(RadioButton2);
    bar->addWidget(view);
    auto *windowBox = new QWidget(this);
    auto *windowLayout = new QGridLayout(windowBox);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    window_ = addSnapshotWindow(windowLayout, 0, 0,
                                {QStringLiteral("RadioButton7"), QStringLiteral("wait_days"),
                                 QStringLiteral("wait_rad2"), QStringLiteral("wait_from"), QStringLiteral("wait_to")});
    bar->addWidget(windowBox);
    wait_mds = new QCheckBox(QStringLiteral("Maintain Dynamic Script"), this);
    wait_mds->setObjectName(QStringLiteral("wait_mds"));
    bar->addSpacing(8);
    bar->addWidget(wait_mds);
    bar->addStretch();
    layout->addLayout(bar);

    // The two charts side by side; the grid, hidden at first, covers both.
    charts_ = new QWidget(this);
    auto *side = new QHBoxLayout(charts_);
    side->setContentsMargins(0, 0, 0, 0);
    countView_ = new ChartView(WaitHistGraph, QStringLiteral("WaitHistGraph"), charts_);
    timeView_ = new ChartView(WaitHistGraphtime, QStringLiteral("WaitHistGraphtime"), charts_);
    side->addWidget(countView_);
    side->addWidget(timeView_);
    gridView_ = new GridView(wthistgrid, QStringLiteral("wthistgrid"), this);
    auto *stack = new QStackedLayout;
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(charts_);
    stack->addWidget(gridView_);
    layout->addLayout(stack, 3);
    gridView_->hide();

    lists_ =
        new DisplayHideLists({QStringLiteral("eventdisplay"), QStringLiteral("eventhide"), QStringLiteral("Button6"),
                              QStringLiteral("Button7"), QStringLiteral("Button8"), QStringLiteral("Button9")},
                             this);
    lists_->setCharts({WaitHistGraph, WaitHistGraphtime});
    lists_->setMaximumHeight(150);
    layout->addWidget(lists_, 1);

    // Before the first Acquire the memo holds the script of the last day with shorter
    // times; it runs as it is when "Maintain Dynamic Script" is ticked first.
    wtsqlhisttxt = addScriptMemo(
        context.scriptTab, QStringLiteral("wtsqlhisttxt"), QStringLiteral("Wait Events History"),
        historyLines(QStringLiteral("DD-MON-YYYY HH24:MI"), QStringLiteral("       from dba_hist_snapshot "),
                     {QStringLiteral("        where begin_interval_time >= sysdate -1")}),
        MemoAccess::Editable);

    connect(acquire, &QPushButton::clicked, this, guarded([this] { Button10Click(); }));
    connect(clear, &QPushButton::clicked, this, guarded([this] { Button24Click(); }));
    connect(RadioButton1, &QRadioButton::clicked, this, guarded([this] { RadioButton1Click(); }));
    connect(RadioButton2, &QRadioButton::clicked, this, guarded([this] { RadioButton2Click(); }));
}

WaitHistoryTab::~WaitHistoryTab() = default;

QList<GridHeaders> WaitHistoryTab::gridHeaders() const
{
    return {{QStringLiteral("wthistgrid"),
             {QStringLiteral("Time"), QStringLiteral("Inst::Event"), QStringLiteral("Count"), QStringLiteral("Time")},
             {}}};
}

QStringList WaitHistoryTab::scriptLines() const
{
    return historyLines(QStringLiteral("DD/MON/YYYY HH24:MI:SS"),
                        QStringLiteral("       from dba_hist_snapshot where "),
                        snapshotWindowLines(window_, QString(), QStringLiteral(" and ")));
}

void WaitHistoryTab::Button10Click()
{
    const QStringList lines = freshScriptLines(wait_mds, [this] { return scriptLines(); });
    Button24Click();
    buildScript(*wtsqlhisttxt, wait_mds, lines);
    openScript(*wtsqlhisttxt, *waitQueryhist);
    if (waitQueryhist->fieldCount() < 4) {
        const int columns = waitQueryhist->fieldCount();
        waitQueryhist->close();
        throw Error(QStringLiteral("The wait event history needs four columns: the snapshot time, the key, the count "
                                   "and the time waited; the script gives %1.")
                        .arg(columns));
    }
    ResultGrid &grid = *wthistgrid;
    Chart::Batch countBatch(*WaitHistGraph);
    Chart::Batch timeBatch(*WaitHistGraphtime);
    {
        WaitCursor wait;
        DumpQueryIntoGrid(*waitQueryhist, grid, false);
    }
    // A line per key in each chart, in the order the keys first come; the same position
    // in both charts, found by the key's index.
    QStringList keys;
    for (int r = 1; r < grid.rowCount() - 1; ++r) {
        const QString &key = grid.cell(1, r);
        if (!WaitHistGraph->seriesTitled(key).empty())
            continue;
        WaitHistGraph->addSeries(SeriesKind::Line, key);
        WaitHistGraphtime->addSeries(SeriesKind::Line, key);
        keys << key;
    }
    lists_->addKeys(keys);
    GridTailTrim(grid);
    // The figures as each snapshot kept them, at that snapshot's time; no differences.
    for (int r = 1; r < grid.rowCount(); ++r) {
        const QString &label = grid.cell(0, r);
        for (const int i : WaitHistGraph->seriesTitled(grid.cell(1, r))) {
            WaitHistGraph->addPoint(i, strictToFloat(grid.cell(2, r)), label);
            WaitHistGraphtime->addPoint(i, strictToFloat(grid.cell(3, r)), label);
        }
    }
}

void WaitHistoryTab::Button24Click()
{
    WaitHistGraph->removeAllSeries();
    WaitHistGraphtime->removeAllSeries();
    lists_->clear();
    wthistgrid->empty();
}

void WaitHistoryTab::RadioButton1Click()
{
    gridView_->hide();
    charts_->show();
}

void WaitHistoryTab::RadioButton2Click()
{
    charts_->hide();
    gridView_->show();
}

} // namespace tavimond
