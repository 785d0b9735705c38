#include "session_topology_tab.h"

#include "live_widgets.h"
#include "core/float_arithmetic.h"

#include "core/chart.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/chart_view.h"
#include "ui/current_row.h"
#include "ui/double_click.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStackedLayout>
#include <QTime>
#include <QVBoxLayout>

#include <cmath>

namespace tavimond {
namespace {

constexpr int kMetrics = 7;
constexpr int kFirstMetric = 8; // grid column of metric 0
constexpr int kColumns = 15;

// The seven metrics: series title, colour, check box, legend text, sort item and
// the caption label with its prefix.
struct Metric {
    const char *title;
    Rgb color;
    const char *box;
    const char *boxCaption;
    const char *legend;
    const char *sortItem;
    const char *caption;
    const char *prefix;
};

const Metric kMetric[kMetrics] = {
    {"CPU Time ", 0x00FF00, "sessres_cpu_cb", "CPU Time", "CPU Time ", "CPU Time", "cpucap", "CPU: "},
    {"I/O Wait", 0xFF0000, "sessres_io_cb", "I/O Wait Time", "I/O Wait", "User I/O Wait Time", "iocap", "I/O: "},
    {"Application Wait", 0x0000FF, "sessres_app_cb", "Application Wait Time", "Application Wait", "App Wait Time",
     "appcap", "App: "},
    {"Concurrency Wait", 0xFFFF00, "sessres_conc_cb", "Concurrency Wait Time", "Concurrency Wait", "Conc I/O Wait Time",
     "conccap", "Conc: "},
    {"Cluster Wait", 0xFFFFFF, "sessres_clust_cb", "Cluster Wait Time", "Cluster Wait", "Clust I/O Wait Time",
     "clustcap", "Clus: "},
    {"Redo Sync Wait", 0x00FFFF, "sessres_pl_cb", "Redo Sync Time", "Redo Sync Time", "Redo Sync Time", "redocap",
     "Redo: "},
    {"Parse Time", 0xFF00FF, "sessres_java_cb", "Parse Time", "Parse Time", "Parse Time", "parsecap", "Parse:"},
};

const QStringList &headers()
{
    static const QStringList h{QStringLiteral("Inst ID"),
                               QStringLiteral("SID"),
                               QStringLiteral("Serial #"),
                               QStringLiteral("SQL ID::Exec Plan"),
                               QStringLiteral("Status"),
                               QStringLiteral("Username"),
                               QStringLiteral("Type"),
                               QStringLiteral("Program"),
                               QStringLiteral("CPU Time(s)"),
                               QStringLiteral("I/O Wait Time(s)"),
                               QStringLiteral("App Wait Time(s)"),
                               QStringLiteral("Conc Wait Time(s)"),
                               QStringLiteral("Clust Wait Time(s)"),
                               QStringLiteral("Redo Sync Time(s)"),
                               QStringLiteral("Parse Time(s)")};
    return h;
}

QStringList sessionStatement()
{
    static const char *const statistics[kMetrics][2] = {
        {"CPU used by this session", "cpu"}, {"user I/O wait time", "I/O"}, {"application wait time", "App"},
        {"concurrency wait time", "Conc"},   {"cluster wait time", "Clus"}, {"redo synch time", "RedoSync"},
        {"parse time elapsed", "Parse"}};
    QStringList lines{QStringLiteral("SELECT"),
                      QStringLiteral("sess.inst_id,"),
                      QStringLiteral("sess.sid,"),
                      QStringLiteral("sess.serial#, "),
                      QStringLiteral("sess.sql_id||'::'||vsa.plan_hash_value,"),
                      QStringLiteral("sess.STATUS,"),
                      QStringLiteral("sess.username,"),
                      QStringLiteral("sess.type,"),
                      QStringLiteral("sess.program,")};
    // The seven statistics are counted in centiseconds: a hundredth gives the seconds
    // that the headers, bars and captions show.
    for (int k = 0; k < kMetrics; ++k)
        lines << QStringLiteral("sum(case when statn.name = '%1' then nvl(sql.value/100,0) end) as \"%2\"%3")
                     .arg(QLatin1String(statistics[k][0]), QLatin1String(statistics[k][1]),
                          k + 1 < kMetrics ? QStringLiteral(",") : QString());
    lines << QStringLiteral("FROM gV$SESSION sess, gv$sesstat sql, gv$sqlarea vsa, gv$statname statn")
          << QStringLiteral("where") << QStringLiteral("Sess.AUDSID <> userenv('SESSIONID') and")
          << QStringLiteral("sess.inst_id = sql.inst_id and") << QStringLiteral("sess.sid = sql.sid and")
          << QStringLiteral("sql.statistic# = statn.statistic# and")
          // gv$statname has a row per statistic per instance: without this line every
          // figure would be counted once for each open instance.
          << QStringLiteral("statn.inst_id = sql.inst_id and") << QStringLiteral("statn.name in ")
          << QStringLiteral("(") << QStringLiteral("'CPU used by this session',")
          << QStringLiteral("'cluster wait time',") << QStringLiteral("'concurrency wait time',")
          << QStringLiteral("'application wait time',") << QStringLiteral("'user I/O wait time',")
          << QStringLiteral("'redo synch time',") << QStringLiteral("'parse time elapsed') and")
          << QStringLiteral("sess.sql_address=vsa.address(+) and") << QStringLiteral("sess.inst_id = vsa.inst_id(+)")
          << QStringLiteral("group by") << QStringLiteral("sess.inst_id,") << QStringLiteral("sess.sid,")
          << QStringLiteral("sess.serial#, ") << QStringLiteral("sess.sql_id||'::'||vsa.plan_hash_value,")
          << QStringLiteral("sess.STATUS,") << QStringLiteral("sess.username,") << QStringLiteral("sess.type,")
          << QStringLiteral("sess.program") << QStringLiteral("having sess.status = max(sess.status)")
          << QStringLiteral("order by sess.inst_id,") << QStringLiteral("sess.sid,") << QStringLiteral("sess.serial#");
    return lines;
}

// now - before, both read as floating-point numbers. The result is rounded to the
// decimals the two texts carry, so that no binary noise shows (0.5 - 0.25 gives 0.25,
// 0.123789 - 0.123456 gives 0.000333).
double difference(const QString &now, const QString &before)
{
    const double d = strictToFloat(now) - strictToFloat(before);
    const TallyNumber a = readTallyNumber(now), b = readTallyNumber(before);
    const int decimals = std::max(a.decimals, b.decimals);
    if (a.exponent || b.exponent || decimals > 15)
        return d;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(d * scale) / scale;
    return std::isfinite(rounded) ? rounded : d;
}

} // namespace

SessionTopologyTab::SessionTopologyTab(const PartContext &context)
    : QWidget(context.tab), context_(context), sessres_query(std::make_unique<Query>(context.screen.cnn)),
      session_check(new QCheckBox(QStringLiteral("Enable Session Acquisition"), this)),
      sessres_grid(namedGrid(kColumns, "sessres_grid", this)),
      sessres_grid_arc(namedGrid(kColumns, "sessres_grid_arc", this)),
      sessres_grid_del(namedGrid(kColumns, "sessres_grid_del", this)), sessres_graph(new Chart(this)),
      longopsgrid_(new ResultGrid(5, this))
{
    session_check->setObjectName(QStringLiteral("session_check"));
    sessres_graph->setObjectName(QStringLiteral("sessres_graph"));
    sessres_graph->setTitle(QStringLiteral("Session Resource Usage"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    RadioButton30 = new QRadioButton(QStringLiteral("Resource Usage View"), this);
    RadioButton30->setObjectName(QStringLiteral("RadioButton30"));
    RadioButton30->setChecked(true);
    RadioButton31 = new QRadioButton(QStringLiteral("Descriptive View"), this);
    RadioButton31->setObjectName(QStringLiteral("RadioButton31"));
    // The sample runs only from the tick; its button is never shown.
    auto *button177 = new QPushButton(QStringLiteral("retreive"), this);
    button177->setObjectName(QStringLiteral("Button177"));
    button177->hide();
    bar->addWidget(session_check);
    bar->addSpacing(24);
    bar->addWidget(RadioButton30);
    bar->addWidget(RadioButton31);
    bar->addWidget(button177);
    bar->addStretch();
    layout->addLayout(bar);

    // The two panels share one place; at start both are shown, the resource panel on top.
    auto *panels = new QStackedLayout;
    panels->setStackingMode(QStackedLayout::StackAll);
    panels->addWidget(buildDescriptivePanel());
    panels->addWidget(buildResourcePanel());
    panels->setCurrentWidget(sessres_panel);
    layout->addLayout(panels, 1);
    keepCoveredOutOfReach(*this);

    auto *longops = new QCheckBox(QStringLiteral("Long Operations"), this);
    longops->setObjectName(QStringLiteral("longops_check"));
    longops->hide();
    longopsgrid_->setObjectName(QStringLiteral("longopsgrid"));
    auto *longopsView = new GridView(longopsgrid_, QStringLiteral("longopsgrid"), this);
    longopsView->hide();
    layout->addWidget(longops);
    layout->addWidget(longopsView);

    sessres_memo =
        addScriptMemo(context.scriptTab, QStringLiteral("sessres_memo"), QStringLiteral("Session Resource (Real Time)"),
                      sessionStatement(), MemoAccess::ReadOnlySkyBlue);

    connect(button177, &QPushButton::clicked, this, guarded([this] { Button177Click(); }));
    connect(RadioButton30, &QRadioButton::clicked, this, guarded([this] { RadioButton30Click(); }));
    connect(RadioButton31, &QRadioButton::clicked, this, guarded([this] { RadioButton31Click(); }));
    for (QCheckBox *box : std::as_const(seriesBoxes_))
        connect(box, &QCheckBox::clicked, this, guarded([this] { sessres_cpu_cbClick(); }));
    connect(chartView_, &ChartView::mouseMoved, this,
            guarded([this](const QPoint &pos) { sessres_graphMouseMove(pos); }));
    // A row chosen by the mouse or the keys chooses its session; the sample, which
    // reloads the grid under the current row, chooses none.
    onCurrentRowChange(gridView_, this, [this] { sessres_gridClick(); }, [this] { return reloading_; });
    onItemDoubleClick(gridView_, this, [this] { sessres_gridDblClick(); });
    onItemDoubleClick(deltaView_, this, [this] { sessres_grid_delDblClick(); });
}

SessionTopologyTab::~SessionTopologyTab() = default;

QWidget *SessionTopologyTab::buildResourcePanel()
{
    sessres_panel = new QGroupBox(QStringLiteral(" Resource Usage "), this);
    sessres_panel->setObjectName(QStringLiteral("sessres_panel"));
    sessres_panel->setAutoFillBackground(true); // it covers the descriptive panel beneath
    auto *row = new QHBoxLayout(sessres_panel);

    chartView_ = new ChartView(sessres_graph, QStringLiteral("sessres_graph"), sessres_panel);
    chartView_->setAxisTitle(Qt::AlignBottom, QStringLiteral("Seconds"));
    chartView_->setAxisTitle(Qt::AlignLeft, QStringLiteral("Instance ID::SID"));
    chartView_->setPlacesPerPage(20);
    // On the chart: the background switch and how to zoom and scroll.
    exc_backsess = new QCheckBox(QStringLiteral("Exclude Background Processes"), chartView_);
    exc_backsess->setObjectName(QStringLiteral("exc_backsess"));
    exc_backsess->setChecked(true);
    for (const QString &note :
         {QStringLiteral("Zoom In/Out : Left Mouse"), QStringLiteral("Scroll Up/Down: Right Mouse")}) {
        auto *label = new QLabel(note, chartView_);
        label->setStyleSheet(QStringLiteral("color: blue"));
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        chartNotes_ << label;
    }
    chartView_->installEventFilter(this);
    row->addWidget(chartView_, 1);

    auto *side = new QVBoxLayout;
    auto *criteria = new QGroupBox(QStringLiteral(" Metric Criteria "), sessres_panel);
    criteria->setObjectName(QStringLiteral("GroupBox8"));
    auto *criteriaLayout = new QVBoxLayout(criteria);
    criteriaLayout->addWidget(new QLabel(QStringLiteral("Sort Order"), criteria));
    sessres_combo = new QComboBox(criteria);
    sessres_combo->setObjectName(QStringLiteral("sessres_combo"));
    for (const Metric &m : kMetric)
        sessres_combo->addItem(QLatin1String(m.sortItem));
    sessres_combo->setCurrentIndex(0);
    criteriaLayout->addWidget(sessres_combo);
    for (const Metric &m : kMetric) {
        auto *box = new QCheckBox(QLatin1String(m.boxCaption), criteria);
        box->setObjectName(QLatin1String(m.box));
        box->setChecked(true);
        criteriaLayout->addWidget(box);
        seriesBoxes_ << box;
    }
    side->addWidget(criteria);

    auto *values = new QGroupBox(QStringLiteral(" Metric Values "), sessres_panel);
    values->setObjectName(QStringLiteral("GroupBox9"));
    auto *valuesLayout = new QVBoxLayout(values);
    instsidcap = new QLabel(QStringLiteral("Inst-SID:"), values);
    instsidcap->setObjectName(QStringLiteral("instsidcap"));
    QFont bold = instsidcap->font();
    bold.setBold(true);
    instsidcap->setFont(bold);
    valuesLayout->addWidget(instsidcap);
    for (const Metric &m : kMetric) {
        auto *caption = new QLabel(QString::fromLatin1(m.prefix).trimmed(), values);
        caption->setObjectName(QLatin1String(m.caption));
        valuesLayout->addWidget(caption);
        captions_ << caption;
    }
    side->addWidget(values);
    side->addStretch();
    row->addLayout(side);
    return sessres_panel;
}

QWidget *SessionTopologyTab::buildDescriptivePanel()
{
    sessdesc_panel = new QGroupBox(QStringLiteral(" Descriptive View"), this);
    sessdesc_panel->setObjectName(QStringLiteral("sessdesc_panel"));
    sessdesc_panel->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(sessdesc_panel);
    column->addWidget(new QLabel(QStringLiteral("Accumulated Values"), sessdesc_panel));
    gridView_ = new GridView(sessres_grid, QStringLiteral("sessres_grid"), sessdesc_panel);
    column->addWidget(gridView_, 1);
    column->addWidget(new QLabel(QStringLiteral("Delta Values"), sessdesc_panel));
    deltaView_ = new GridView(sessres_grid_del, QStringLiteral("sessres_grid_del"), sessdesc_panel);
    column->addWidget(deltaView_, 1);
    // The previous sample is kept, never shown.
    auto *archive = new GridView(sessres_grid_arc, QStringLiteral("sessres_grid_arc"), sessdesc_panel);
    archive->hide();
    return sessdesc_panel;
}

bool SessionTopologyTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == chartView_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeChartOverlays();
    return QWidget::eventFilter(watched, event);
}

void SessionTopologyTab::placeChartOverlays()
{
    int y = 4;
    for (QLabel *note : std::as_const(chartNotes_)) {
        note->adjustSize();
        note->move(8, y);
        y += note->height();
    }
    exc_backsess->adjustSize();
    exc_backsess->move(chartView_->width() - exc_backsess->width() - 8, 4);
}

QList<GridHeaders> SessionTopologyTab::gridHeaders() const
{
    return {{QStringLiteral("sessres_grid"), headers(), {}},
            {QStringLiteral("sessres_grid_arc"), headers(), {}},
            {QStringLiteral("sessres_grid_del"), headers(), {}}};
}

bool SessionTopologyTab::sampling() const
{
    return session_check->isChecked();
}

void SessionTopologyTab::Button177Click()
{
    const QScopedValueRollback reloading(reloading_, true);
    // 1. Keep the previous sample.
    {
        ResultGrid::Batch batch(*sessres_grid_arc);
        sessres_grid_arc->setRowCount(sessres_grid->rowCount());
        for (int r = 0; r < sessres_grid->rowCount(); ++r)
            sessres_grid_arc->setRow(r, sessres_grid->row(r));
    }
    // 2 and 3. The sessions of every instance.
    sessres_query->setSql(memoLines(*sessres_memo));
    OpenQuery(*sessres_query);
    const QString label = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    LoadQueryIntoGrid(*sessres_query, *sessres_grid, QString(), nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("Single"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), label,
                      100);
    sessres_query->close();
    // 4. A statistic a session lacks reads as 0.
    {
        ResultGrid::Batch batch(*sessres_grid);
        for (int r = 1; r < sessres_grid->rowCount(); ++r) {
            if (sessres_grid->cell(1, r).isEmpty())
                continue;
            for (int c = kFirstMetric; c < kColumns; ++c) {
                const QString &v = sessres_grid->cell(c, r);
                if (v.isEmpty() || v == QLatin1String(" "))
                    sessres_grid->setCell(c, r, QStringLiteral("0"));
            }
        }
    }
    // 5 to 7. What each active session did since the previous sample, largest first.
    computeDifferences();
    SortGridNumericDesc(*sessres_grid_del, kFirstMetric + sessres_combo->currentIndex(), 1);
    // 8 to 10. The chart.
    rebuildChart();
    sessres_cpu_cbClick();
}

void SessionTopologyTab::computeDifferences()
{
    ResultGrid &del = *sessres_grid_del;
    ResultGrid::Batch batch(del);
    del.setRowCount(2);
    del.clearRow(1);
    // The previous sample's rows of each session. A session is its instance, sid and
    // serial#: a sid taken over by a new session must not be diffed against the old
    // session's figures, so a new session gets its first row at its second sample.
    QMultiHash<QString, int> archived;
    const auto identity = [](const ResultGrid &g, int r) {
        return g.cell(0, r) + QChar(0x1f) + g.cell(1, r) + QChar(0x1f) + g.cell(2, r);
    };
    for (int a = 1; a < sessres_grid_arc->rowCount(); ++a)
        archived.insert(identity(*sessres_grid_arc, a), a);
    for (int r = 1; r < sessres_grid->rowCount(); ++r) {
        if (sessres_grid->cell(4, r) != QLatin1String("ACTIVE"))
            continue;
        QList<int> matches = archived.values(identity(*sessres_grid, r));
        std::sort(matches.begin(), matches.end()); // in the archive's order
        for (const int a : std::as_const(matches)) {
            const int last = del.rowCount() - 1;
            for (int c = 0; c < kFirstMetric; ++c)
                del.setCell(c, last, sessres_grid->cell(c, r));
            for (int c = kFirstMetric; c < kColumns; ++c) {
                const double d = difference(sessres_grid->cell(c, r), sessres_grid_arc->cell(c, a));
                del.setCell(c, last, d < 0 ? QStringLiteral("0") : formatFloat(d));
            }
            del.setRowCount(last + 2);
        }
    }
}

void SessionTopologyTab::rebuildChart()
{
    Chart &chart = *sessres_graph;
    Chart::Batch batch(chart);
    chart.removeAllSeries();
    for (const Metric &m : kMetric) {
        const int s = chart.addSeries(SeriesKind::StackedHBar, QLatin1String(m.title));
        chart.setSeriesMarksVisible(s, false);
        chart.setSeriesColor(s, m.color);
    }
    const ResultGrid &del = *sessres_grid_del;
    for (int r = 1; r < del.rowCount(); ++r) {
        if (del.cell(0, r).isEmpty())
            continue;
        const QString &type = del.cell(6, r);
        const bool plotted =
            type == QLatin1String("USER") || (type == QLatin1String("BACKGROUND") && !exc_backsess->isChecked());
        if (!plotted)
            continue;
        const QString label = del.cell(0, r) + QStringLiteral("::") + del.cell(1, r);
        for (int k = 0; k < kMetrics; ++k)
            chart.addPoint(k, strictToFloat(del.cell(kFirstMetric + k, r)), label, kMetric[k].color);
    }
}

void SessionTopologyTab::sessres_cpu_cbClick()
{
    Chart &chart = *sessres_graph;
    if (chart.seriesCount() == 0)
        return;
    Chart::Batch batch(chart);
    for (int k = 0; k < kMetrics && k < chart.seriesCount(); ++k)
        chart.setSeriesActive(k, seriesBoxes_.at(k)->isChecked());
    for (int k = 0; k < kMetrics && k < chart.seriesCount(); ++k)
        chart.setSeriesColor(k, kMetric[k].color);
    chart.setLegendTexts(legendNames());
}

QStringList SessionTopologyTab::legendNames() const
{
    QStringList names;
    for (int k = 0; k < kMetrics && k < sessres_graph->seriesCount(); ++k)
        if (sessres_graph->series(k).active())
            names << QLatin1String(kMetric[k].legend);
    return names;
}

QString SessionTopologyTab::sessres_graphGetLegendText(int index) const
{
    // The names of the active series in series order; items beyond them are empty.
    return legendNames().value(index);
}

void SessionTopologyTab::sessres_graphMouseMove(const QPoint &pos)
{
    const Chart &chart = *sessres_graph;
    for (int s = chart.seriesCount() - 1; s >= 0; --s) {
        const int p = chartView_->pointAt(s, pos);
        if (p < 0)
            continue;
        const auto point = [&](int k) -> std::optional<ChartPoint> {
            if (k >= chart.seriesCount() || size_t(p) >= chart.series(k).pointCount())
                return std::nullopt;
            return chart.series(k).point(size_t(p));
        };
        if (const auto first = point(0))
            instsidcap->setText(QStringLiteral("Inst-SID: ") + first->label);
        for (int k = 0; k < kMetrics && k < chart.seriesCount(); ++k)
            if (const auto pt = point(k))
                captions_.at(k)->setText(QLatin1String(kMetric[k].prefix) + formatFloat(pt->value));
    }
}

void SessionTopologyTab::copySession(const GridView &view)
{
    const ResultGrid &grid = *view.grid();
    // The grid's selected row; the first row while none is.
    const QModelIndex current = view.currentIndex();
    const int r = current.isValid() ? current.row() + 1 : 1;
    ChosenSession s;
    s.instance = grid.cell(0, r);
    s.sid = grid.cell(1, r);
    s.serial = grid.cell(2, r);
    // SqlExecKey: the sql_id before the first ':', the plan hash value from the second
    // character after it.
    const QString key = grid.cell(3, r);
    const qsizetype colon = key.indexOf(QLatin1Char(':'));
    s.sqlId = colon < 0 ? key : key.left(colon);
    s.planHash = colon < 0 ? QString() : key.mid(colon + 2);
    Q_EMIT sessionChosen(s);
}

void SessionTopologyTab::sessres_gridClick()
{
    copySession(*gridView_);
}

void SessionTopologyTab::sessres_gridDblClick()
{
    copySession(*gridView_);
}

void SessionTopologyTab::sessres_grid_delDblClick()
{
    copySession(*deltaView_);
}

void SessionTopologyTab::RadioButton30Click()
{
    sessdesc_panel->hide();
    sessres_panel->show();
}

void SessionTopologyTab::RadioButton31Click()
{
    sessdesc_panel->show();
    sessres_panel->hide();
}

} // namespace tavimond
