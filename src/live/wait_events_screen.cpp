#include "wait_events_screen.h"

#include "ui_live_wait_events_screen.h"

#include "live_tally.h"
#include "live_widgets.h"
#include "wait_history_tab.h"

#include "core/chart.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "core/settings.h"
#include "db/query.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>

namespace tavimond {
namespace {

const QStringList kTallyHeaders{QStringLiteral("Wait Event"), QStringLiteral("Accumulated"),
                                QStringLiteral("Delta"),      QStringLiteral("Min"),
                                QStringLiteral("Max"),        QStringLiteral("Threshhold")};

} // namespace

WaitEventsScreen::WaitEventsScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("inst_waits_page"), context, parent), ui_(std::make_unique<Ui::WaitEventsScreenForm>()),
      clock_([] { return QDateTime::currentDateTime(); }), WaitQuery(std::make_unique<Query>(context.cnn)),
      waitquerytime(std::make_unique<Query>(context.cnn)), SRGrid(namedGrid(6, "SRGrid", this)),
      srgridtime(namedGrid(6, "srgridtime", this)), THGrid(namedGrid(4, "THGrid", this)),
      EVTChart(namedChart("EVTChart", QStringLiteral("Wait Event Count"), this)),
      EVTcharttime(namedChart("EVTcharttime", QStringLiteral("Wait Event Time"), this))
{
    ui_->setupUi(this);
    EVTChart->setLegendStyle(LegendStyle::Series);
    EVTcharttime->setLegendStyle(LegendStyle::Series);
    buildRealTimeTab();
    waits_sql =
        addScriptMemo(ui_->wtscripttab, QStringLiteral("waits_sql"), QStringLiteral("Wait Events Real Time(Count)"),
                      {QStringLiteral("select INST_ID||':'||EVENT, TOTAL_WAITS from gv$system_event"),
                       QStringLiteral("order by 1,2")},
                      MemoAccess::Editable);
    waits_sql_time = addScriptMemo(
        ui_->wtscripttab, QStringLiteral("waits_sql_time"), QStringLiteral("Wait Events Real Time(Time)"),
        {QStringLiteral("select INST_ID||':'||EVENT,time_waited from gv$system_event"), QStringLiteral("order by 1,2")},
        MemoAccess::Editable);
    auto *historyLayout = new QVBoxLayout(ui_->wthist);
    history_ = new WaitHistoryTab(PartContext{context, ui_->wthist, ui_->wtscripttab});
    historyLayout->addWidget(history_);
}

WaitEventsScreen::~WaitEventsScreen() = default;

void WaitEventsScreen::buildRealTimeTab()
{
    QWidget *tab = ui_->wtrealtime;
    auto *layout = new QVBoxLayout(tab);

    auto *bar = new QHBoxLayout;
    sr_check = new QCheckBox(QStringLiteral("Enable"), tab);
    sr_check->setObjectName(QStringLiteral("sr_check"));
    rbut_wait_graph = new QRadioButton(QStringLiteral("Graph"), tab);
    rbut_wait_graph->setObjectName(QStringLiteral("rbut_wait_graph"));
    rbut_wait_graph->setChecked(true);
    rbut_wait_grid = new QRadioButton(QStringLiteral("Grid"), tab);
    rbut_wait_grid->setObjectName(QStringLiteral("rbut_wait_grid"));
    QPushButton *clearAll = namedButton("ClearAll", QStringLiteral("Clear All"), tab);
    QPushButton *save = namedButton("Button4", QStringLiteral("Save"), tab);
    QPushButton *load = namedButton("Button5", QStringLiteral("Load"), tab);
    for (QWidget *w : std::initializer_list<QWidget *>{sr_check, rbut_wait_graph, rbut_wait_grid, clearAll, save, load})
        bar->addWidget(w);
    bar->addStretch();
    layout->addLayout(bar);

    // Count on the left, time on the right; each half shows its chart or its grid.
    auto *halves = new QGridLayout;
    halves->addWidget(new QLabel(QStringLiteral("Count"), tab), 0, 0);
    halves->addWidget(new QLabel(QStringLiteral("Time"), tab), 0, 1);
    countChartView_ = new ChartView(EVTChart, QStringLiteral("EVTChart"), tab);
    timeChartView_ = new ChartView(EVTcharttime, QStringLiteral("EVTcharttime"), tab);
    for (ChartView *view : {countChartView_, timeChartView_})
        view->setRoomToGrow(true); // a place a tick
    countGridView_ = new GridView(SRGrid, QStringLiteral("SRGrid"), tab);
    timeGridView_ = new GridView(srgridtime, QStringLiteral("srgridtime"), tab);
    auto *left = new QStackedLayout;
    left->setStackingMode(QStackedLayout::StackAll);
    left->addWidget(countChartView_);
    left->addWidget(countGridView_);
    auto *right = new QStackedLayout;
    right->setStackingMode(QStackedLayout::StackAll);
    right->addWidget(timeChartView_);
    right->addWidget(timeGridView_);
    halves->addLayout(left, 1, 0);
    halves->addLayout(right, 1, 1);
    layout->addLayout(halves, 3);
    countGridView_->hide();
    timeGridView_->hide();

    auto *bottom = new QHBoxLayout;
    auto *breaches = new QVBoxLayout;
    breaches->addWidget(new QLabel(QStringLiteral("Threshold Breach"), tab));
    breaches->addWidget(new GridView(THGrid, QStringLiteral("THGrid"), tab));
    bottom->addLayout(breaches, 3);
    lists_ = new DisplayHideLists({QStringLiteral("disp_wait_box"), QStringLiteral("hide_wait_box"),
                                   QStringLiteral("Button52"), QStringLiteral("Button53"), QStringLiteral("Button54"),
                                   QStringLiteral("Button55")},
                                  tab);
    lists_->setCharts({EVTChart, EVTcharttime});
    bottom->addWidget(lists_, 2);
    layout->addLayout(bottom, 1);

    connect(rbut_wait_graph, &QRadioButton::clicked, this, guarded([this] { rbut_wait_graphClick(); }));
    connect(rbut_wait_grid, &QRadioButton::clicked, this, guarded([this] { rbut_wait_gridClick(); }));
    connect(clearAll, &QPushButton::clicked, this, guarded([this] { ClearAllClick(); }));
    connect(save, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));
    connect(load, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
}

QList<GridHeaders> WaitEventsScreen::gridHeaders() const
{
    const QList<GridHeaders> realTime{
        {QStringLiteral("SRGrid"), kTallyHeaders, {}},
        {QStringLiteral("srgridtime"), kTallyHeaders, {}},
        {QStringLiteral("THGrid"),
         {QStringLiteral("Time"), QStringLiteral("Wait Event"), QStringLiteral("Threshhold"), QStringLiteral("Delta")},
         {}}};
    return realTime + history_->gridHeaders();
}

bool WaitEventsScreen::sampling() const
{
    return sr_check->isChecked();
}

void WaitEventsScreen::sampleWaitEvents()
{
    LoadTallySample(*WaitQuery, memoLines(*waits_sql), *SRGrid, EVTChart, clock_());
    LoadTallySample(*waitquerytime, memoLines(*waits_sql_time), *srgridtime, EVTcharttime, clock_());
    ScanThresholdBreaches(*SRGrid, *THGrid, clock_());
    lists_->addKeys(tallyKeys(*SRGrid));
}

void WaitEventsScreen::rbut_wait_graphClick()
{
    countGridView_->hide();
    timeGridView_->hide();
    countChartView_->show();
    timeChartView_->show();
}

void WaitEventsScreen::rbut_wait_gridClick()
{
    countChartView_->hide();
    timeChartView_->hide();
    countGridView_->show();
    timeGridView_->show();
}

void WaitEventsScreen::ClearAllClick()
{
    SRGrid->empty();
    srgridtime->empty();
    THGrid->empty();
    EVTChart->removeAllSeries();
    EVTcharttime->removeAllSeries();
    lists_->clear();
}

QString WaitEventsScreen::thresholdPath() const
{
    return thresholdFilePath(settings().metafileFolder(), settings().serviceName(), QStringLiteral("_wait_thresh.txt"));
}

void WaitEventsScreen::Button4Click()
{
    SaveThresholdFile(*SRGrid, thresholdPath());
}

void WaitEventsScreen::Button5Click()
{
    LoadThresholdFile(*SRGrid, thresholdPath());
}

} // namespace tavimond
