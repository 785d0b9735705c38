#include "sql_history_screen.h"

#include "ui_history_sql_history_screen.h"

#include "sql_history_scripts.h"

#include "core/chart.h"
#include "core/chart_routines.h"
#include "core/conversions.h"
#include "core/float_arithmetic.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "db/query.h"
#include "ui/chart_plot_buttons.h"
#include "ui/chart_view.h"
#include "ui/flow_layout.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/memo.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tavimond {
namespace {

const QStringList &profileHeaders()
{
    static const QStringList h{QStringLiteral("Snap ID"),  QStringLiteral("Begin"),        QStringLiteral("End"),
                               QStringLiteral("SQLID::PLANID"), QStringLiteral("Executions"), QStringLiteral("Elapsed Secs"),
                               QStringLiteral("Rows"),     QStringLiteral("Reads"),        QStringLiteral("I/O Wait"),
                               QStringLiteral("CPU"),      QStringLiteral("Sorts"),        QStringLiteral("App Wait"),
                               QStringLiteral("Cluster Wait"), QStringLiteral("Conc Wait")};
    return h;
}

// Where a chart stands on the Run Statistics tab.
enum ChartPlace { TopLeft, TopRight, BottomLeft, BottomRight };
// The chart set a chart belongs to (the executions chart to none: always shown).
enum Profile { Always = -1, General, InputOutput, Comms };

struct ChartSpec {
    const char *name;
    const char *title;
    int column; // of SQL_Prof_Grid
    bool average;
    Profile profile;
    ChartPlace place;
    const char *decrease, *increase, *toggle; // the plot buttons
    bool plotAreaHints;
};

// In the order a retrieval draws them.
const ChartSpec kCharts[SqlHistoryScreen::kChartCount] = {
    {"sqlprof_execs_graph", "Executions", 4, false, Always, BottomLeft, "Button11", "Button12", "Button44", true},
    {"sqlprof_ela_graph", "Elapsed Time(Secs)", 5, false, General, TopLeft, "Button105", "Button106", "Button58", false},
    {"sqlprof_row_graph", "Rows Processed", 6, false, General, BottomRight, "Button107", "Button108", "Button51", false},
    {"sqlprof_io_graph", "Disk Reads", 7, false, InputOutput, TopLeft, "Button109", "Button110", "Button57", false},
    {"sqlprof_iow_graph", "I/O Wait (Secs)", 8, false, InputOutput, TopRight, "Button34", "Button35", "Button48", false},
    {"sqlprof_cpu_graph", "CPU Used(Secs)", 9, false, General, TopRight, "Button36", "Button37", "Button47", false},
    {"sqlprof_sorts_graph", "Sorts", 10, false, InputOutput, BottomRight, "Button27", "Button28", "Button50", false},
    {"sqlprof_appw_graph", "Application Time(Secs)", 11, false, Comms, TopLeft, "Button132", "Button133", "Button134",
     true},
    {"sqlprof_clustw_graph", "Cluster Time(Secs)", 12, false, Comms, BottomRight, "Button138", "Button139", "Button140",
     true},
    {"sqlprof_concw_graph", "Concurrent Time(Secs)", 13, false, Comms, TopRight, "Button135", "Button136", "Button137",
     true},
    {"sqlprof_ela_graph_avg", "Average Elapsed Time(Secs)/Per Execution", 5, true, General, TopLeft, "Button18",
     "Button20", "Button43", true},
    {"sqlprof_row_graph_avg", "Average Rows Processed/Per Execution", 6, true, General, BottomRight, "Button21",
     "Button22", "Button56", false},
    {"sqlprof_io_graph_avg", "Average Disk Reads/Per Execution", 7, true, InputOutput, TopLeft, "Button25", "Button26",
     "Button63", false},
    {"sqlprof_iow_graph_avg", "Average I/O Wait (Secs)/Per Execution", 8, true, InputOutput, TopRight, "Button32",
     "Button33", "Button46", true},
    {"sqlprof_cpu_graph_avg", "Average CPU Used(Secs)/Per Execution", 9, true, General, TopRight, "Button29", "Button31",
     "Button49", false},
    {"sqlprof_sorts_graph_avg", "Average Sorts/Per Execution", 10, true, InputOutput, BottomRight, "Button38",
     "Button39", "Button45", true},
    {"sqlprof_appw_graph_avg", "Average Applciation Time(Secs)/Per Execution", 11, true, Comms, TopLeft, "Button82",
     "Button124", "Button125", true},
    {"sqlprof_clustw_graph_avg", "Average Cluster Time(Secs)/Per Execution", 12, true, Comms, BottomRight, "Button129",
     "Button130", "Button131", true},
    {"sqlprof_concw_graph_avg", "Average Concurrent Time(Secs)/Per Execution", 13, true, Comms, TopRight, "Button126",
     "Button127", "Button128", true},
};
// The chart whose series list the keys (every chart holds the same keys in the same order).
constexpr int kElapsedChart = 1;

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QRadioButton *radio(const char *name, const QString &caption, QWidget *parent)
{
    auto *r = new QRadioButton(caption, parent);
    r->setObjectName(QLatin1String(name));
    return r;
}

Chart *namedChart(const QString &name, const QString &title, QObject *owner)
{
    auto *c = new Chart(owner);
    c->setObjectName(name);
    c->setTitle(title);
    return c;
}

ResultGrid *namedGrid(const char *name, int columns, QObject *owner)
{
    auto *g = new ResultGrid(columns, owner);
    g->setObjectName(QLatin1String(name));
    return g;
}

// Groups the changes of several charts, so that each view hears of them once.
class ChartsBatch {
public:
    template <size_t N>
    explicit ChartsBatch(const std::array<Chart *, N> &charts)
    {
        for (Chart *c : charts)
            batches_.push_back(std::make_unique<Chart::Batch>(*c));
    }

private:
    std::vector<std::unique_ptr<Chart::Batch>> batches_;
};

} // namespace

SqlHistoryScreen::SqlHistoryScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("Page_SQL_Hist"), context, parent), ui_(std::make_unique<Ui::SqlHistoryScreenForm>()),
      SQL_Prof_Query(std::make_unique<Query>(cnn(), Query::kLongTimeoutSeconds)),
      sql_ash_grid(namedGrid("sql_ash_grid", 8, this)), sql_ash_grid_summ(namedGrid("sql_ash_grid_summ", 4, this)),
      sqlstat_wait_cnt(namedChart(QStringLiteral("sqlstat_wait_cnt"), QStringLiteral("Wait Event Count"), this)),
      sqlstat_wait_time(namedChart(QStringLiteral("sqlstat_wait_time"), QStringLiteral("Wait Event Time"), this)),
      sql_ash_query(std::make_unique<Query>(cnn())),
      awrsqltext_query(std::make_unique<Query>(cnn(), Query::kLongTimeoutSeconds)),
      awrsqlexec_query(std::make_unique<Query>(cnn(), Query::kLongTimeoutSeconds))
{
    ui_->setupUi(this);
    for (Chart *pie : {sqlstat_wait_cnt, sqlstat_wait_time})
        pie->addSeries(SeriesKind::Pie, QString());
    buildRetrieveTab();
    buildRunStatisticsTab();
    buildScriptTab();
    buildRawDataTab();
    buildTextTab();

    // The key combos run their handler on every change the user makes to their text:
    // picked, typed or completed as the user types; never when the screen fills or
    // clears them.
    for (QComboBox *combo : {sqlid_combo, sqltext_combo})
        onUserTextChange(combo, this, [this] { sqlid_comboChange(); });
    setCurrentWidget(ui_->TabSheet2);
}

SqlHistoryScreen::~SqlHistoryScreen() = default;

void SqlHistoryScreen::buildRetrieveTab()
{
    QWidget *tab = ui_->TabSheet2;
    auto *page = new QGridLayout(tab);

    auto *file = new QHBoxLayout;
    file->addWidget(new QLabel(QStringLiteral("SQL ID List Filename"), tab));
    SQLIdList = new QLineEdit(QStringLiteral("Default_SQL_List.txt"), tab);
    SQLIdList->setObjectName(QStringLiteral("SQLIdList"));
    SQLIdList->setMinimumWidth(420);
    file->addWidget(SQLIdList);
    QPushButton *Button100 = button("Button100", QStringLiteral("..."), tab);
    Button100->setFixedWidth(32);
    file->addWidget(Button100);
    file->addStretch();
    page->addLayout(file, 0, 0, 1, 2);

    listrb = radio("listrb", QStringLiteral("Bulk Retrieval"), tab);
    page->addWidget(listrb, 1, 0, Qt::AlignLeft);
    sqlid_grid = new GridView(new ResultGrid(6, this), QStringLiteral("sqlid_grid"), tab);
    page->addWidget(sqlid_grid, 2, 0, 3, 1);

    literalrb = radio("literalrb", QStringLiteral("Single Retrieval"), tab);
    literalrb->setChecked(true);
    page->addWidget(literalrb, 1, 1, Qt::AlignLeft);
    adhoc_sqlid = new QLineEdit(QStringLiteral("<SQL ID>"), tab);
    adhoc_sqlid->setObjectName(QStringLiteral("adhoc_sqlid"));
    page->addWidget(adhoc_sqlid, 2, 1);

    // The buttons from top to bottom, then the window, in one group without caption.
    auto *group = new QGroupBox(tab);
    group->setObjectName(QStringLiteral("GroupBox2"));
    auto *controls = new QGridLayout(group);
    QPushButton *Button102 = button("Button102", QStringLiteral("Load Baseline Metadata"), group);
    Button101 = button("Button101", QStringLiteral("Retrieve Single SQL Stat"), group);
    ret_bulk_button = button("ret_bulk_button", QStringLiteral("Retrieve Bulk SQL Stat"), group);
    ret_bulk_button->setEnabled(false);
    QPushButton *Button104 = button("Button104", QStringLiteral("Clear All"), group);
    int row = 0;
    for (QPushButton *b : {Button102, Button101, ret_bulk_button, Button104})
        controls->addWidget(b, row++, 0, 1, 4);
    window_ = addSnapshotWindow(controls, row, 0,
                                {QStringLiteral("sqldays"), QStringLiteral("dayret"), QStringLiteral("sqlfromto"),
                                 QStringLiteral("sqlfromdate"), QStringLiteral("sqltodate")});
    page->addWidget(group, 3, 1);
    page->setRowStretch(4, 1);
    page->setColumnStretch(0, 1);

    connect(Button100, &QPushButton::clicked, this, guarded([this] { Button100Click(); }));
    connect(listrb, &QRadioButton::clicked, this, guarded([this] { listrbClick(); }));
    connect(literalrb, &QRadioButton::clicked, this, guarded([this] { literalrbClick(); }));
    connect(Button102, &QPushButton::clicked, this, guarded([this] { Button102Click(); }));
    connect(Button101, &QPushButton::clicked, this, guarded([this] { Button101Click(); }));
    connect(ret_bulk_button, &QPushButton::clicked, this, guarded([this] { ret_bulk_buttonClick(); }));
    connect(Button104, &QPushButton::clicked, this, guarded([this] { Button104Click(); }));
}

void SqlHistoryScreen::buildRunStatisticsTab()
{
    QWidget *tab = ui_->TabSheet3;
    auto *page = new QVBoxLayout(tab);

    // The bar wraps where the window is too narrow for it.
    auto *bar = new FlowLayout;
    sqlid_combo = new QComboBox(tab);
    sqlid_combo->setObjectName(QStringLiteral("sqlid_combo"));
    sqlid_combo->setEditable(true);
    sqlid_combo->setInsertPolicy(QComboBox::NoInsert);
    sqlid_combo->setMinimumWidth(260);
    bar->addWidget(sqlid_combo);

    auto panel = [&](const char *name) {
        auto *p = new QFrame(tab);
        p->setObjectName(QLatin1String(name));
        p->setFrameShape(QFrame::StyledPanel);
        auto *row = new QHBoxLayout(p);
        row->setContentsMargins(6, 2, 6, 2);
        bar->addWidget(p);
        return p;
    };
    Panel1 = panel("Panel1");
    histsql_totals_btn = radio("histsql_totals_btn", QStringLiteral("Totals"), Panel1);
    histsql_avg_btn = radio("histsql_avg_btn", QStringLiteral("Averages"), Panel1);
    histsql_totals_btn->setChecked(true);
    Panel2 = panel("Panel2");
    histsql_general_btn = radio("histsql_general_btn", QStringLiteral("General Profile"), Panel2);
    histsql_io_btn = radio("histsql_io_btn", QStringLiteral("I/O Profile"), Panel2);
    hist_comms_btn = radio("hist_comms_btn", QStringLiteral("Comms Profile"), Panel2);
    histsql_general_btn->setChecked(true);
    for (QRadioButton *r :
         {histsql_totals_btn, histsql_avg_btn, histsql_general_btn, histsql_io_btn, hist_comms_btn}) {
        r->parentWidget()->layout()->addWidget(r);
        connect(r, &QRadioButton::clicked, this, guarded([this] { histsql_totals_btnClick(); }));
    }

    // Execution statistics (the charts) or wait statistics (the box over them).
    auto *view = new QWidget(tab);
    auto *views = new QHBoxLayout(view);
    views->setContentsMargins(6, 0, 6, 0);
    auto *RadioButton8 = radio("RadioButton8", QStringLiteral("Execution Statistics"), view);
    auto *RadioButton21 = radio("RadioButton21", QStringLiteral("Wait Event Statistics"), view);
    RadioButton8->setChecked(true);
    views->addWidget(RadioButton8);
    views->addWidget(RadioButton21);
    bar->addWidget(view);
    connect(RadioButton8, &QRadioButton::clicked, this, guarded([this] { RadioButton8Click(); }));
    connect(RadioButton21, &QRadioButton::clicked, this, guarded([this] { RadioButton21Click(); }));

    // The alert: a yellow rounded shape with its text over it.
    alert_shp = new QFrame(tab);
    alert_shp->setObjectName(QStringLiteral("alert_shp"));
    alert_shp->setStyleSheet(
        QStringLiteral("QFrame#alert_shp { background: #ffff00; border: 1px solid #808000; border-radius: 8px; }"));
    auto *alertRow = new QHBoxLayout(alert_shp);
    alertRow->setContentsMargins(8, 2, 8, 2);
    alert_txt = new QLabel(QStringLiteral("Alert! Some queries span over multiple snapshots(Execution count assumed to "
                                          "be the same from prior snapshot)"),
                           alert_shp);
    alert_txt->setObjectName(QStringLiteral("alert_txt"));
    alert_txt->setWordWrap(true);
    alert_txt->setAttribute(Qt::WA_TranslucentBackground);
    alertRow->addWidget(alert_txt);
    bar->addWidget(alert_shp);
    showAlert(false);
    page->addLayout(bar);

    // Two by two: the executions chart bottom left, six charts stacked in each other place.
    auto *charts = new QWidget(tab);
    auto *area = new QGridLayout(charts);
    area->setContentsMargins(0, 0, 0, 0);
    for (size_t p = 0; p < places_.size(); ++p) {
        places_[p] = new QStackedLayout;
        area->addLayout(places_[p], int(p) / 2, int(p) % 2);
    }
    for (int i = 0; i < kChartCount; ++i) {
        const ChartSpec &spec = kCharts[i];
        const QString name = QLatin1String(spec.name);
        charts_[size_t(i)] = namedChart(name, QLatin1String(spec.title), this);
        charts_[size_t(i)]->setLegendStyle(LegendStyle::Series);
        auto *chartView = new ChartView(charts_[size_t(i)], name, charts);
        chartViews_[size_t(i)] = chartView;
        new ChartPlotButtons(charts_[size_t(i)],
                             {QLatin1String(spec.decrease), QLatin1String(spec.increase), QLatin1String(spec.toggle)},
                             chartView, spec.plotAreaHints);
        places_[size_t(spec.place)]->addWidget(chartView);
    }
    // The wait statistics' box lies over the whole chart area.
    auto *stack = new QStackedLayout;
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(charts);
    stack->addWidget(buildWaitsBox(tab));
    // The layout put the charts in front, its first widget; shown, the box covers them.
    sqlstat_waits->raise();
    sqlstat_waits->hide();
    page->addLayout(stack, 1);
    keepCoveredOutOfReach(*tab);
    histsql_totals_btnClick();
}

void SqlHistoryScreen::buildScriptTab()
{
    QWidget *tab = ui_->TabSheet5;
    sql_prof_text = addScriptMemo(tab, QStringLiteral("sql_prof_text"), QStringLiteral("General Statistics(SQL Stat)"),
                                  sqlStatisticsStarterLines(), MemoAccess::Editable);
    auto *boxes = new QHBoxLayout;
    sqlstat_droll = new QCheckBox(QStringLiteral("Daily Rollup"), tab);
    sqlstat_droll->setObjectName(QStringLiteral("sqlstat_droll"));
    sqlstat_mds = new QCheckBox(QStringLiteral("Maintain Dynamic Script"), tab);
    sqlstat_mds->setObjectName(QStringLiteral("sqlstat_mds"));
    boxes->addWidget(sqlstat_droll);
    boxes->addWidget(sqlstat_mds);
    boxes->addStretch();
    static_cast<QGridLayout *>(tab->layout())->addLayout(boxes, 2, 0);

    // Until the first retrieval, the wait statement for a placeholder over the last day,
    // in the columns the detail grid takes.
    sql_ash_text = addScriptMemo(
        tab, QStringLiteral("sql_ash_text"), QStringLiteral("Wait Event Statistics(Active Serssion History)"),
        sqlWaitEventLines(QStringLiteral("xxxxxxxxxxxxx"), {},
                          {QStringLiteral("        where begin_interval_time >= sysdate - 1")}),
        MemoAccess::Editable);
    auto *parameters = new QHBoxLayout;
    const char *const names[] = {"P1text_chk", "P1_chk", "P2text_chk", "P2_chk", "P3text_chk", "P3_chk"};
    const char *const captions[] = {"P1text", "P1", "P2text", "P2", "P3text", "P3"};
    for (size_t i = 0; i < parameterBoxes_.size(); ++i) {
        parameterBoxes_[i] = new QCheckBox(QLatin1String(captions[i]), tab);
        parameterBoxes_[i]->setObjectName(QLatin1String(names[i]));
        parameters->addWidget(parameterBoxes_[i]);
    }
    sql_mds_check = new QCheckBox(QStringLiteral("Maintain Dynamic Script"), tab);
    sql_mds_check->setObjectName(QStringLiteral("sql_mds_check"));
    parameters->addWidget(sql_mds_check);
    parameters->addStretch();
    static_cast<QGridLayout *>(tab->layout())->addLayout(parameters, 2, 1);
}

QWidget *SqlHistoryScreen::buildWaitsBox(QWidget *parent)
{
    sqlstat_waits = new QGroupBox(QStringLiteral(" Wait Event Statistics"), parent);
    sqlstat_waits->setObjectName(QStringLiteral("sqlstat_waits"));
    sqlstat_waits->setAutoFillBackground(true);
    auto *box = new QGridLayout(sqlstat_waits);
    auto *bar = new QHBoxLayout;
    auto *RadioButton4 = radio("RadioButton4", QStringLiteral("Detail"), sqlstat_waits);
    auto *RadioButton6 = radio("RadioButton6", QStringLiteral("Summary"), sqlstat_waits);
    RadioButton4->setChecked(true);
    QPushButton *Button42 = button("Button42", QStringLiteral("Retrieve Wait Statistics"), sqlstat_waits);
    for (QWidget *w : std::initializer_list<QWidget *>{RadioButton4, RadioButton6, Button42})
        bar->addWidget(w);
    bar->addStretch();
    box->addLayout(bar, 0, 0, 1, 2);

    // The two grids in one place, the detail on top.
    auto *grids = new QStackedLayout;
    grids->setStackingMode(QStackedLayout::StackAll);
    ashSummaryView_ = new GridView(sql_ash_grid_summ, QStringLiteral("sql_ash_grid_summ"), sqlstat_waits);
    ashDetailView_ = new GridView(sql_ash_grid, QStringLiteral("sql_ash_grid"), sqlstat_waits);
    grids->addWidget(ashSummaryView_);
    grids->addWidget(ashDetailView_);
    ashSummaryView_->hide();
    box->addLayout(grids, 1, 0, 1, 2);
    box->addWidget(new ChartView(sqlstat_wait_cnt, QStringLiteral("sqlstat_wait_cnt"), sqlstat_waits), 2, 0);
    box->addWidget(new ChartView(sqlstat_wait_time, QStringLiteral("sqlstat_wait_time"), sqlstat_waits), 2, 1);
    box->setRowStretch(1, 1);
    box->setRowStretch(2, 1);

    connect(RadioButton4, &QRadioButton::clicked, this, guarded([this] { RadioButton4Click(); }));
    connect(RadioButton6, &QRadioButton::clicked, this, guarded([this] { RadioButton6Click(); }));
    connect(Button42, &QPushButton::clicked, this, guarded([this] { Button42Click(); }));
    return sqlstat_waits;
}

void SqlHistoryScreen::buildTextTab()
{
    QWidget *tab = ui_->TabSheet68;
    auto *page = new QGridLayout(tab);
    sqltext_combo = new QComboBox(tab);
    sqltext_combo->setObjectName(QStringLiteral("sqltext_combo"));
    sqltext_combo->setEditable(true);
    sqltext_combo->setInsertPolicy(QComboBox::NoInsert);
    sqltext_combo->setMinimumWidth(260);
    QPushButton *Button180 = button("Button180", QStringLiteral("Load"), tab);
    auto *bar = new QHBoxLayout;
    bar->addWidget(sqltext_combo);
    bar->addWidget(Button180);
    bar->addStretch();
    page->addLayout(bar, 0, 0, 1, 2);
    auto memo = [&](const char *name, const QString &label, int column) {
        page->addWidget(new QLabel(label, tab), 1, column);
        auto *m = new QPlainTextEdit(tab);
        m->setObjectName(QLatin1String(name));
        m->setReadOnly(true);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        page->addWidget(m, 2, column);
        return m;
    };
    awrsqltext_memo = memo("awrsqltext_memo", QStringLiteral("SQL Text"), 0);
    awrsqlexec_memo = memo("awrsqlexec_memo", QStringLiteral("Execution Plan"), 1);
    // A plan lines its columns up: a fixed font, small enough for its width.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(8);
    awrsqlexec_memo->setFont(fixed);
    awrsqlexec_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    page->setColumnStretch(0, 2);
    page->setColumnStretch(1, 3);
    page->setRowStretch(2, 1);
    connect(Button180, &QPushButton::clicked, this, guarded([this] { Button180Click(); }));
}

void SqlHistoryScreen::buildRawDataTab()
{
    QWidget *tab = ui_->TabSheet4;
    auto *page = new QVBoxLayout(tab);
    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Performance Statistics"), tab));
    bar->addStretch();
    QPushButton *Button1 = button("Button1", QStringLiteral("Export(CSV)"), tab);
    bar->addWidget(Button1);
    page->addLayout(bar);
    SQL_Prof_Grid = new GridView(new ResultGrid(14, this), QStringLiteral("SQL_Prof_Grid"), tab);
    page->addWidget(SQL_Prof_Grid, 1);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
}

QList<GridHeaders> SqlHistoryScreen::gridHeaders() const
{
    return {{QStringLiteral("SQL_Prof_Grid"), profileHeaders(), {74, 156, 151, 153, 71, 70, 64}},
            {QStringLiteral("sqlid_grid"),
             {QStringLiteral("SQL ID"), QStringLiteral("Plan ID"), QStringLiteral("Executions"),
              QStringLiteral("Elapsed"), QStringLiteral("Rows"), QStringLiteral("I/O")},
             {180, 170, 99, 91, 64, 64}},
            {QStringLiteral("sql_ash_grid_summ"),
             {QStringLiteral("SQL ID:SQL_PLAN"), QStringLiteral("Event"), QStringLiteral("Count"), QStringLiteral("Time")},
             {233, 197, 273, 64}},
            {QStringLiteral("sql_ash_grid"),
             {QStringLiteral("Session ID"), QStringLiteral("Serial #"), QStringLiteral("SQL ID:SQL_PLAN"),
              QStringLiteral("Start"), QStringLiteral("Stop"), QStringLiteral("Event"), QStringLiteral("Event Count"),
              QStringLiteral("Event Time")},
             {147, 107, 185, 93, 100, 110, 143, 179}}};
}

void SqlHistoryScreen::Button101Click()
{
    const QStringList lines = freshScriptLines(sqlstat_mds, [this] {
        return sqlStatisticsLines(
            adhoc_sqlid->text(), {false, sqlstat_droll->isChecked()},
            snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and ")));
    });
    clearAll(false);
    buildScript(*sql_prof_text, sqlstat_mds, lines);
    ResultGrid &grid = *SQL_Prof_Grid->grid();
    runScriptIntoGrid(*sql_prof_text, *SQL_Prof_Query, grid, true);
    GridTailTrim(grid);
    showRetrieval();
}

void SqlHistoryScreen::ret_bulk_buttonClick()
{
    const QStringList window = freshScriptLines(sqlstat_mds, [this] {
        return snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and "));
    });
    clearAll(true);
    ResultGrid &list = *sqlid_grid->grid();
    ResultGrid &grid = *SQL_Prof_Grid->grid();
    // A daily rollup reads the named columns of the single retrieval's select, so a
    // rolled-up list runs that select for each statement of the list.
    const SqlStatisticsForm form{!sqlstat_droll->isChecked(), sqlstat_droll->isChecked()};
    WaitCursor wait;
    const int rows = list.rowCount();
    try {
        for (int r = 1; r < rows; ++r) {
            buildScript(*sql_prof_text, sqlstat_mds, sqlStatisticsLines(list.cell(0, r), form, window));
            runScriptIntoGrid(*sql_prof_text, *SQL_Prof_Query, grid, false, FailedLoad::EmptyGrid);
        }
    } catch (...) {
        // A list cut short is not the list's result: the rows of the statements before
        // the failing one go too, and the grid is as the retrieval began (a fetch that
        // fails has emptied it already, and said so).
        grid.empty();
        throw;
    }
    dropEmptyTailRows(grid);
    showRetrieval();
}

void SqlHistoryScreen::showRetrieval()
{
    const ResultGrid &grid = *SQL_Prof_Grid->grid();
    {
        ChartsBatch batch(charts_);
        for (int i = 0; i < kChartCount; ++i)
            ChartFromGrid(grid, *charts_[size_t(i)], kCharts[i].column, QString(),
                          kCharts[i].average ? QStringLiteral("Average") : QStringLiteral("Total"),
                          [this] { showAlert(true); });
    }
    const Chart &keys = *charts_[kElapsedChart];
    QStringList titles;
    for (int i = 0; i < keys.seriesCount(); ++i)
        titles << keys.series(i).title();
    sqlid_combo->addItems(titles);
    sqltext_combo->addItems(titles);
    for (QComboBox *combo : {sqlid_combo, sqltext_combo})
        if (combo->count() > 0)
            combo->setCurrentIndex(0);
    {
        ChartsBatch batch(charts_);
        for (int i = 0; i < keys.seriesCount(); ++i)
            setSeriesActiveEverywhere(i, i == 0);
    }
    setCurrentWidget(ui_->TabSheet3);
}

void SqlHistoryScreen::Button104Click()
{
    clearAll(false);
}

void SqlHistoryScreen::clearAll(bool keepList)
{
    for (Chart *pie : {sqlstat_wait_cnt, sqlstat_wait_time})
        pie->clearPoints(pie->seriesCount() - 1);
    for (Chart *c : charts_)
        c->removeAllSeries();
    sql_ash_grid->empty();
    sql_ash_grid_summ->empty();
    if (!keepList)
        sqlid_grid->grid()->empty();
    showAlert(false);
    ResultGrid &grid = *SQL_Prof_Grid->grid();
    {
        ResultGrid::Batch batch(grid);
        grid.setRowCount(2);
        grid.clearRow(0);
        grid.clearRow(1);
        grid.setHeaders(profileHeaders());
    }
    for (QComboBox *combo : {sqlid_combo, sqltext_combo}) {
        combo->clear();
        combo->clearEditText();
    }
}

void SqlHistoryScreen::Button102Click()
{
    ResultGrid &list = *sqlid_grid->grid();
    ResultGrid::Batch batch(list);
    list.empty();
    // Each line cut at its first five commas; the sixth field takes the rest.
    TextLineReader reader(SQLIdList->text());
    QString line;
    while (reader.next(line)) {
        const int last = list.rowCount() - 1;
        for (int c = 0; c < 5; ++c) {
            const qsizetype comma = line.indexOf(QLatin1Char(','));
            list.setCell(c, last, comma < 0 ? QString() : line.left(comma));
            if (comma >= 0)
                line.remove(0, comma + 1);
        }
        list.setCell(5, last, line);
        list.setRowCount(last + 2);
    }
    dropEmptyTailRows(list);
}

void SqlHistoryScreen::Button100Click()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("OpenDialog2"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(settings().metafileFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SQLIdList->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
}

void SqlHistoryScreen::listrbClick()
{
    adhoc_sqlid->setEnabled(false);
    Button101->setEnabled(false);
    sqlid_grid->setEnabled(true);
    ret_bulk_button->setEnabled(true);
}

void SqlHistoryScreen::literalrbClick()
{
    adhoc_sqlid->setEnabled(true);
    Button101->setEnabled(true);
    sqlid_grid->setEnabled(false);
    ret_bulk_button->setEnabled(false);
}

void SqlHistoryScreen::histsql_totals_btnClick()
{
    const bool averages = !histsql_totals_btn->isChecked();
    const Profile profile = histsql_general_btn->isChecked() ? General
                            : histsql_io_btn->isChecked()    ? InputOutput
                            : hist_comms_btn->isChecked()    ? Comms
                                                             : Always;
    for (int i = 0; i < kChartCount; ++i) {
        const ChartSpec &spec = kCharts[i];
        if (spec.profile == profile && spec.average == averages)
            places_[size_t(spec.place)]->setCurrentWidget(chartViews_[size_t(i)]);
    }
}

void SqlHistoryScreen::sqlid_comboChange()
{
    const QString key = sqlid_combo->currentText();
    {
        ChartsBatch batch(charts_);
        const Chart &keys = *charts_[kElapsedChart];
        for (int i = 0; i < keys.seriesCount(); ++i)
            setSeriesActiveEverywhere(i, keys.series(i).title() == key);
    }
    fillWaitPies(key);
}

void SqlHistoryScreen::setSeriesActiveEverywhere(int i, bool active)
{
    for (Chart *c : charts_)
        if (i < c->seriesCount())
            c->setSeriesActive(i, active);
}

void SqlHistoryScreen::fillWaitPies(const QString &key)
{
    Chart::Batch countBatch(*sqlstat_wait_cnt);
    Chart::Batch timeBatch(*sqlstat_wait_time);
    const int countPie = sqlstat_wait_cnt->seriesCount() - 1;
    const int timePie = sqlstat_wait_time->seriesCount() - 1;
    sqlstat_wait_cnt->clearPoints(countPie);
    sqlstat_wait_time->clearPoints(timePie);
    const ResultGrid &summary = *sql_ash_grid_summ;
    QStringList legend;
    for (int r = 1; r < summary.rowCount(); ++r) {
        // A summary without rows keeps one empty row; it is no statement's.
        const QString &rowKey = summary.cell(0, r);
        if (rowKey.isEmpty() || rowKey != key)
            continue;
        sqlstat_wait_cnt->addPoint(countPie, strictToFloat(summary.cell(2, r)), summary.cell(1, r));
        sqlstat_wait_time->addPoint(timePie, strictToFloat(summary.cell(3, r)), summary.cell(1, r));
        // Samples without an event were on the CPU; the legend says so rather than
        // showing the slice's bare figure.
        legend << (summary.cell(1, r).isEmpty() ? QStringLiteral("ON CPU") : summary.cell(1, r));
    }
    sqlstat_wait_cnt->setLegendTexts(legend);
    sqlstat_wait_time->setLegendTexts(legend);
}

void SqlHistoryScreen::Button42Click()
{
    const QStringList lines = freshScriptLines(sql_mds_check, [this] {
        const WaitEventParameters parameters{parameterBoxes_[0]->isChecked(), parameterBoxes_[1]->isChecked(),
                                             parameterBoxes_[2]->isChecked(), parameterBoxes_[3]->isChecked(),
                                             parameterBoxes_[4]->isChecked(), parameterBoxes_[5]->isChecked()};
        // After a bulk retrieval the statement is the one whose key the charts show.
        const QString sqlId =
            listrb->isChecked() ? sqlid_combo->currentText().section(QStringLiteral("::"), 0, 0) : adhoc_sqlid->text();
        return sqlWaitEventLines(
            sqlId, parameters,
            snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and ")));
    });
    sqlstat_waits->hide();
    for (Chart *pie : {sqlstat_wait_cnt, sqlstat_wait_time})
        pie->clearPoints(pie->seriesCount() - 1);
    buildScript(*sql_ash_text, sql_mds_check, lines);
    runScriptIntoGrid(*sql_ash_text, *sql_ash_query, *sql_ash_grid, true);
    GridTailTrim(*sql_ash_grid);
    sqlstat_waits->show();
    summarizeWaits();
    fillWaitPies(sqlid_combo->currentText());
    sqlstat_waits->show();
}

void SqlHistoryScreen::summarizeWaits()
{
    const ResultGrid &detail = *sql_ash_grid;
    ResultGrid &summary = *sql_ash_grid_summ;
    ResultGrid::Batch batch(summary);
    summary.setRowCount(1);
    QHash<std::pair<QString, QString>, int> rowOf; // (key, event): summary row
    for (int r = 1; r < detail.rowCount(); ++r) {
        // A query without rows leaves one empty row; every real row has its session.
        if (detail.cell(0, r).isEmpty())
            continue;
        const std::pair<QString, QString> pair{detail.cell(2, r), detail.cell(5, r)};
        const auto found = rowOf.constFind(pair);
        if (found == rowOf.constEnd()) {
            const int row = summary.rowCount();
            summary.setRowCount(row + 1);
            summary.setRow(row, {pair.first, pair.second, detail.cell(6, r), detail.cell(7, r)});
            rowOf.insert(pair, row);
            continue;
        }
        const int row = found.value();
        summary.setCell(2, row, formatFloat(strictToFloat(summary.cell(2, row)) + strictToFloat(detail.cell(6, r))));
        summary.setCell(3, row, formatFloat(strictToFloat(summary.cell(3, row)) + strictToFloat(detail.cell(7, r))));
    }
}

void SqlHistoryScreen::RadioButton21Click()
{
    sqlstat_waits->show();
    sqlstat_waits->raise();
    Panel1->hide();
    Panel2->hide();
}

void SqlHistoryScreen::RadioButton8Click()
{
    sqlstat_waits->hide();
    Panel1->show();
    Panel2->show();
}

void SqlHistoryScreen::RadioButton6Click()
{
    ashSummaryView_->show();
    ashDetailView_->hide();
}

void SqlHistoryScreen::RadioButton4Click()
{
    ashSummaryView_->hide();
    ashDetailView_->show();
}

void SqlHistoryScreen::Button180Click()
{
    // sql_id "::" plan hash value: the sql_id before the first ':', the plan from the
    // second character after it.
    const QString key = sqltext_combo->currentText();
    const qsizetype colon = key.indexOf(QLatin1Char(':'));
    const QString sqlId = colon < 0 ? QString() : key.left(colon);
    const QString plan = key.mid(colon + 2);

    awrsqltext_query->setSql({QStringLiteral("SELECT sql_text from dba_hist_sqltext where "),
                              QStringLiteral("sql_id = ") + sqlQuote(sqlId)});
    {
        WaitCursor wait;
        OpenQuery(*awrsqltext_query);
        QueryToMemo(*awrsqltext_query, *awrsqltext_memo);
        awrsqltext_query->close();
    }
    awrsqlexec_query->setSql({QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_AWR(") + sqlQuote(sqlId) +
                              QLatin1Char(',') + sqlQuote(plan) + QStringLiteral(",null,") +
                              sqlQuote(QStringLiteral("ALL +OUTLINE")) + QStringLiteral("))")});
    WaitCursor wait;
    OpenQuery(*awrsqlexec_query);
    QueryToMemo(*awrsqlexec_query, *awrsqlexec_memo);
    awrsqlexec_memo->moveCursor(QTextCursor::Start);
    awrsqlexec_query->close();
}

void SqlHistoryScreen::showAlert(bool shown)
{
    alert_shp->setVisible(shown);
    alert_txt->setVisible(shown);
}

void SqlHistoryScreen::Button1Click()
{
    ExportGridToCsv(*SQL_Prof_Grid->grid(), settings().csvFileName(), settings().csvDelimiter());
}

} // namespace tavimond
