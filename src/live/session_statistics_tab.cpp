#include "session_statistics_tab.h"

#include "live_widgets.h"

#include "core/chart.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/chart_view.h"
#include "ui/grid_view.h"
#include "ui/handler.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavimond {
namespace {

const QStringList kWaitHeaders{QStringLiteral("Wait Event"), QStringLiteral("Accumulated"), QStringLiteral("Delta"),
                               QStringLiteral("Min"), QStringLiteral("Max")};
const QStringList kStatisticHeaders{QStringLiteral("Metric"), QStringLiteral("Accumulated"), QStringLiteral("Delta"),
                                    QStringLiteral("Min"), QStringLiteral("Max")};

// The bar colours, written blue-green-red as the palette names them: black, maroon,
// green, olive, navy, purple, teal, gray, silver, red, lime, yellow, blue, fuchsia,
// aqua, white.
constexpr quint32 kBarPaletteBgr[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                                        0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
constexpr quint32 kRedBgr = 0x0000FF;

constexpr Rgb fromBgr(quint32 bgr)
{
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

// Bars 0 to 14 take the palette's colours and every later bar is red, so the
// palette's last entry, white, is never taken.
Rgb barColour(size_t bar)
{
    return fromBgr(bar < 15 ? kBarPaletteBgr[bar] : kRedBgr);
}

// The cumulative chart's one bar series gets its colours bar by bar, and its legend
// the bars' own keys.
void colourBars(Chart &chart, const QStringList &keys)
{
    Chart::Batch batch(chart);
    const std::vector<ChartPoint> bars = chart.series(0).points();
    chart.clearPoints(0);
    for (size_t i = 0; i < bars.size(); ++i)
        chart.addPoint(0, bars[i].value, bars[i].label, barColour(i));
    chart.setLegendTexts(keys);
}

void clearBars(Chart &chart, QStringList &keys)
{
    Chart::Batch batch(chart);
    chart.clearPoints(0);
    chart.setLegendTexts({});
    keys.clear();
}

QRadioButton *namedRadio(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QRadioButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

SessionStatisticsTab::SessionStatisticsTab(const PartContext &context)
    : QWidget(context.tab), context_(context), clock_([] { return QDateTime::currentDateTime(); }),
      sesevtquery(std::make_unique<Query>(context.screen.cnn, Query::kLongTimeoutSeconds)),
      timedstat_query(std::make_unique<Query>(context.screen.cnn)),
      sesevt_check(new QCheckBox(QStringLiteral("Enable Wait Event Acquisition"), this)),
      Instidwt(namedEdit("Instidwt", this)), sidid(namedEdit("sidid", this)), serialnum(namedEdit("serialnum", this)),
      sesevtgrid_time(namedGrid(5, "sesevtgrid_time", this)), sesevtgrid_cnt(namedGrid(5, "sesevtgrid_cnt", this)),
      timedstatgrid(namedGrid(5, "timedstatgrid", this)),
      sesevt_delta_time(namedChart("sesevt_delta_time", QStringLiteral("Wait Events(Centisecs)"), this)),
      sesevt_cum_time(namedChart("sesevt_cum_time", QStringLiteral("Wait Events(Centisecs)"), this)),
      sesevt_delta_cnt(namedChart("sesevt_delta_cnt", QStringLiteral("Wait Events(Count)"), this)),
      sesevt_cum_cnt(namedChart("sesevt_cum_cnt", QStringLiteral("Wait Events(Count)"), this))
{
    sesevt_check->setObjectName(QStringLiteral("sesevt_check"));
    // Each cumulative chart has one bar series: a bar per record of the latest sample.
    for (Chart *c : {sesevt_cum_time, sesevt_cum_cnt}) {
        c->addSeries(SeriesKind::Bar, QString());
        c->setSeriesMarksVisible(0, true);
        c->setSeriesColor(0, fromBgr(kRedBgr));
        c->setLegendStyle(LegendStyle::Values);
    }
    // The delta charts' legends list the events, even while only one is drawn.
    sesevt_delta_time->setLegendStyle(LegendStyle::Series);
    sesevt_delta_cnt->setLegendStyle(LegendStyle::Series);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    bar->addWidget(sesevt_check);
    bar->addSpacing(16);
    for (auto [caption, edit] :
         {std::pair{QStringLiteral("Inst ID"), Instidwt}, std::pair{QStringLiteral("SID"), sidid},
          std::pair{QStringLiteral("Serial#"), serialnum}}) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(edit);
        edit->setMaximumWidth(80);
        bar->addWidget(label);
        bar->addWidget(edit);
    }
    bar->addSpacing(16);
    RadioButton41 = namedRadio("RadioButton41", QStringLiteral("Wait Events View"), this);
    RadioButton41->setChecked(true);
    RadioButton42 = namedRadio("RadioButton42", QStringLiteral("Timed Statistics View"), this);
    QPushButton *button14 = namedButton("Button14", QStringLiteral("Clear All"), this);
    bar->addWidget(RadioButton41);
    bar->addWidget(RadioButton42);
    bar->addWidget(button14);
    bar->addStretch();
    layout->addLayout(bar);

    // The two panels share one place.
    auto *panels = new QGridLayout;
    panels->addWidget(buildWaitEventPanel(), 0, 0);
    timedstatpanel = new QGroupBox(QStringLiteral(" Timed Statistics "), this);
    timedstatpanel->setObjectName(QStringLiteral("timedstatpanel"));
    auto *statistics = new QVBoxLayout(timedstatpanel);
    statistics->addWidget(new GridView(timedstatgrid, QStringLiteral("timedstatgrid"), timedstatpanel));
    panels->addWidget(timedstatpanel, 0, 0);
    timedstatpanel->hide();
    layout->addLayout(panels, 1);

    connect(button14, &QPushButton::clicked, this, guarded([this] { Button14Click(); }));
    connect(RadioButton41, &QRadioButton::clicked, this, guarded([this] { RadioButton41Click(); }));
    connect(RadioButton42, &QRadioButton::clicked, this, guarded([this] { RadioButton42Click(); }));
    connect(sesevt_graphrbut, &QRadioButton::clicked, this, guarded([this] { sesevt_graphrbutClick(); }));
    connect(sesevt_gridrbut, &QRadioButton::clicked, this, guarded([this] { sesevt_gridrbutClick(); }));
}

SessionStatisticsTab::~SessionStatisticsTab() = default;

QWidget *SessionStatisticsTab::buildWaitEventPanel()
{
    waitevtpanel = new QGroupBox(QStringLiteral(" Wait Events "), this);
    waitevtpanel->setObjectName(QStringLiteral("waitevtpanel"));
    auto *column = new QVBoxLayout(waitevtpanel);
    auto *switches = new QHBoxLayout;
    sesevt_graphrbut = namedRadio("sesevt_graphrbut", QStringLiteral("Graph"), waitevtpanel);
    sesevt_graphrbut->setChecked(true);
    sesevt_gridrbut = namedRadio("sesevt_gridrbut", QStringLiteral("Grid"), waitevtpanel);
    switches->addWidget(sesevt_graphrbut);
    switches->addWidget(sesevt_gridrbut);
    switches->addStretch();
    column->addLayout(switches);

    const auto chartView = [this](Chart *chart, bool cumulative) {
        auto *view = new ChartView(chart, chart->objectName(), waitevtpanel);
        // The delta charts' back wall is transparent, the cumulative charts' white.
        view->chart()->setPlotAreaBackgroundBrush(Qt::white);
        view->chart()->setPlotAreaBackgroundVisible(cumulative);
        view->setRoomToGrow(!cumulative); // the delta lines gain a place a tick
        return view;
    };
    chartViews_ = {chartView(sesevt_delta_time, false), chartView(sesevt_delta_cnt, false),
                   chartView(sesevt_cum_time, true), chartView(sesevt_cum_cnt, true)};
    waitGridViews_ = {new GridView(sesevtgrid_time, QStringLiteral("sesevtgrid_time"), waitevtpanel),
                      new GridView(sesevtgrid_cnt, QStringLiteral("sesevtgrid_cnt"), waitevtpanel)};
    auto *halves = new QHBoxLayout;
    halves->addWidget(buildHalf(QStringLiteral("Wait Times"), chartViews_[0], chartViews_[2], waitGridViews_[0]));
    halves->addWidget(buildHalf(QStringLiteral("Wait Counts"), chartViews_[1], chartViews_[3], waitGridViews_[1]));
    column->addLayout(halves, 1);
    return waitevtpanel;
}

QWidget *SessionStatisticsTab::buildHalf(const QString &caption, ChartView *delta, ChartView *cumulative,
                                         GridView *grid)
{
    auto *half = new QWidget(waitevtpanel);
    auto *cells = new QGridLayout(half);
    cells->setContentsMargins(0, 0, 0, 0);
    cells->addWidget(new QLabel(caption, half), 0, 0, Qt::AlignHCenter);
    // The delta chart over the cumulative chart; the grid, when shown, covers both.
    cells->addWidget(delta, 1, 0);
    cells->addWidget(cumulative, 2, 0);
    cells->addWidget(grid, 1, 0, 2, 1);
    cells->setRowStretch(1, 1);
    cells->setRowStretch(2, 1);
    grid->hide();
    return half;
}

QList<GridHeaders> SessionStatisticsTab::gridHeaders() const
{
    return {{QStringLiteral("sesevtgrid_time"), kWaitHeaders, {}},
            {QStringLiteral("sesevtgrid_cnt"), kWaitHeaders, {}},
            {QStringLiteral("timedstatgrid"), kStatisticHeaders, {}}};
}

bool SessionStatisticsTab::sampling() const
{
    return sesevt_check->isChecked();
}

QString SessionStatisticsTab::pointLabel() const
{
    return clock_().time().toString(QStringLiteral("HH:mm:ss"));
}

void SessionStatisticsTab::loadWaits(ResultGrid &grid, Chart &delta, Chart &cumulative, QStringList &barKeys)
{
    LoadQueryIntoGrid(*sesevtquery, grid, QString(), &delta, &cumulative, false, QStringLiteral("Tally"),
                      QStringLiteral("All"), true, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), pointLabel(),
                      100, &barKeys);
    colourBars(cumulative, barKeys);
}

void SessionStatisticsTab::sample()
{
    // The session's numbers go into the statements: check them before anything is sent.
    const QString instance = wholeNumberField(Instidwt->text(), QStringLiteral("Inst ID"));
    const QString sid = wholeNumberField(sidid->text(), QStringLiteral("SID"));
    const auto waitStatement = [&](const char *column) {
        return QStringList{
            QStringLiteral("select event,%1 from gV$SESSION_EVENT where sid = ").arg(QLatin1String(column)) + sid +
            QStringLiteral("and inst_id = ") + instance};
    };

    // The time waited per event. The bars show only the latest sample: both charts
    // lose theirs before anything is loaded.
    sesevtquery->setSql(waitStatement("TIME_WAITED"));
    OpenQuery(*sesevtquery);
    clearBars(*sesevt_cum_time, timeBarKeys_);
    clearBars(*sesevt_cum_cnt, countBarKeys_);
    loadWaits(*sesevtgrid_time, *sesevt_delta_time, *sesevt_cum_time, timeBarKeys_);

    // The number of waits per event.
    sesevtquery->setSql(waitStatement("Total_waits"));
    OpenQuery(*sesevtquery);
    loadWaits(*sesevtgrid_cnt, *sesevt_delta_cnt, *sesevt_cum_cnt, countBarKeys_);

    // Every statistic of the session, its value divided by 1,000,000 whatever its unit
    // (a count, bytes or centiseconds alike). gv$statname holds a row per statistic
    // per instance, so it is joined on the instance too: otherwise each statistic
    // would come once per open instance and every Delta would read 0.
    timedstat_query->setSql(
        {QStringLiteral("SELECT statdesc.name, nvl(sql.value/1000000,0) "),
         QStringLiteral("FROM gV$SESSION sess, gv$sesstat sql, gv$statname statdesc "), QStringLiteral("where "),
         QStringLiteral("sess.inst_id = ") + sqlQuote(instance) + QStringLiteral(" and "),
         QStringLiteral("sess.sid = ") + sqlQuote(sid) + QStringLiteral(" and "),
         QStringLiteral("sess.inst_id = sql.inst_id and "), QStringLiteral("sess.sid = sql.sid and "),
         QStringLiteral("sql.inst_id = statdesc.inst_id and "),
         QStringLiteral("sql.statistic# = statdesc.statistic# ")});
    OpenQuery(*timedstat_query);
    LoadQueryIntoGrid(*timedstat_query, *timedstatgrid, QString(), nullptr, nullptr, false, QStringLiteral("Tally"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      pointLabel(), 100);
    // The spare row stays last, so a new statistic never takes another's row.
    SortGridNumericDesc(*timedstatgrid, 2, 1);
}

void SessionStatisticsTab::setSession(const ChosenSession &session)
{
    Instidwt->setText(session.instance);
    sidid->setText(session.sid);
    serialnum->setText(session.serial);
}

void SessionStatisticsTab::Button14Click()
{
    sesevt_check->setChecked(false);
    clearBars(*sesevt_cum_time, timeBarKeys_);
    clearBars(*sesevt_cum_cnt, countBarKeys_);
    sesevt_delta_time->removeAllSeries();
    sesevt_delta_cnt->removeAllSeries();
    for (ResultGrid *g : {sesevtgrid_time, sesevtgrid_cnt, timedstatgrid})
        g->empty();
    Instidwt->clear();
    sidid->clear();
    serialnum->clear();
}

QString SessionStatisticsTab::sesevt_cum_timeGetLegendText(int index) const
{
    return timeBarKeys_.value(index);
}

QString SessionStatisticsTab::sesevt_cum_cntGetLegendText(int index) const
{
    return countBarKeys_.value(index);
}

void SessionStatisticsTab::sesevt_graphrbutClick()
{
    for (GridView *g : std::as_const(waitGridViews_))
        g->hide();
    for (ChartView *c : std::as_const(chartViews_)) {
        c->show();
        c->raise();
    }
}

void SessionStatisticsTab::sesevt_gridrbutClick()
{
    for (ChartView *c : std::as_const(chartViews_))
        c->hide();
    for (GridView *g : std::as_const(waitGridViews_)) {
        g->show();
        g->raise();
    }
}

void SessionStatisticsTab::RadioButton41Click()
{
    waitevtpanel->show();
    timedstatpanel->hide();
}

void SessionStatisticsTab::RadioButton42Click()
{
    waitevtpanel->hide();
    timedstatpanel->show();
}

} // namespace tavimond
