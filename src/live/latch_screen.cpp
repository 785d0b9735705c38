#include "latch_screen.h"

#include "ui_live_latch_screen.h"

#include "live_tally.h"
#include "live_widgets.h"

#include "core/chart.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "core/settings.h"
#include "db/error.h"
#include "db/query.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace tavimond {
namespace {

// The child number a key of the CBC grid ends in: the digits after its last ":"
// ("2:517" gives "517"). Anything else would put broken SQL after "l.child# =".
QString childNumberOf(const QString &key)
{
    if (key.isEmpty())
        throw Error(QStringLiteral("No child latch to analyse: the selected row of the CBC grid is empty."));
    const QString number = key.mid(key.lastIndexOf(QLatin1Char(':')) + 1).trimmed();
    const bool digits = !number.isEmpty() && std::all_of(number.cbegin(), number.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!digits)
        throw Error(QStringLiteral("No child latch to analyse: the key '%1' does not end in a child number.").arg(key));
    return number;
}

QHBoxLayout *barOf(QBoxLayout *parent, std::initializer_list<QWidget *> widgets)
{
    auto *bar = new QHBoxLayout;
    for (QWidget *w : widgets)
        bar->addWidget(w);
    bar->addStretch();
    parent->addLayout(bar);
    return bar;
}

} // namespace

LatchScreen::LatchScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("latch_page"), context, parent), ui_(std::make_unique<Ui::LatchScreenForm>()),
      clock_([] { return QDateTime::currentDateTime(); }), latchquery(std::make_unique<Query>(context.cnn)),
      cbc_latch_query(std::make_unique<Query>(context.cnn)),
      // It joins every buffer header with the extents: minutes on a large database.
      latchTCH_Query(std::make_unique<Query>(context.cnn, Query::kLongTimeoutSeconds)),
      Latchgrid(namedGrid(6, "Latchgrid", this)), latchTHgrid(namedGrid(4, "latchTHgrid", this)),
      cbc_latchgrid(namedGrid(6, "cbc_latchgrid", this)), tch_grid(namedGrid(5, "tch_grid", this)),
      latchchart(namedChart("latchchart", QStringLiteral("Latch History"), this))
{
    ui_->setupUi(this);
    latchchart->setLegendStyle(LegendStyle::Series);
    buildOverviewTab();
    buildChildTab();
    latchquerytext =
        addScriptMemo(ui_->latchscripttab, QStringLiteral("latchquerytext"), QStringLiteral("Latching"),
                      {QStringLiteral("select inst_id||':'||name, SLEEPS  from gv$latch order by sleeps desc")},
                      MemoAccess::Editable);
    cbc_latchquery =
        addScriptMemo(ui_->latchscripttab, QStringLiteral("cbc_latchquery"), QStringLiteral("Cache Buffer Chains"),
                      {QStringLiteral("select inst_id||':'||child#,SLEEPS"), QStringLiteral("from gv$latch_children"),
                       QStringLiteral("where name = 'cache buffers chains'"), QStringLiteral("and sleeps > 100"),
                       QStringLiteral("order by 2 desc"), QString()},
                      MemoAccess::Editable);
}

LatchScreen::~LatchScreen() = default;

void LatchScreen::buildOverviewTab()
{
    QWidget *tab = ui_->latchoverviewtab;
    auto *layout = new QVBoxLayout(tab);

    Latch_Check = new QCheckBox(QStringLiteral("Enable Latch Acquisition"), tab);
    Latch_Check->setObjectName(QStringLiteral("Latch_Check"));
    RadioButton3 = new QRadioButton(QStringLiteral("Graph"), tab);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    RadioButton3->setChecked(true);
    RadioButton5 = new QRadioButton(QStringLiteral("Grid"), tab);
    RadioButton5->setObjectName(QStringLiteral("RadioButton5"));
    QPushButton *clearAll = namedButton("Button17", QStringLiteral("Clear All"), tab);
    QPushButton *save = namedButton("Button15", QStringLiteral("Save"), tab);
    QPushButton *load = namedButton("Button16", QStringLiteral("Load"), tab);
    barOf(layout, {Latch_Check, RadioButton3, RadioButton5, clearAll, save, load});

    // The chart and the grid fill one rectangle; the one in front covers the other.
    auto *overlay = new QGridLayout;
    latchGridView_ = new GridView(Latchgrid, QStringLiteral("Latchgrid"), tab);
    latchChartView_ = new ChartView(latchchart, QStringLiteral("latchchart"), tab);
    latchChartView_->setRoomToGrow(true); // a place a tick
    overlay->addWidget(latchGridView_, 0, 0);
    overlay->addWidget(latchChartView_, 0, 0);
    layout->addLayout(overlay, 3);
    latchChartView_->raise();
    keepCoveredOutOfReach(*tab);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new GridView(latchTHgrid, QStringLiteral("latchTHgrid"), tab), 3);
    lists_ = new DisplayHideLists({QStringLiteral("disp_latch_box"), QStringLiteral("hide_latch_box"),
                                   QStringLiteral("Button59"), QStringLiteral("Button60"), QStringLiteral("Button61"),
                                   QStringLiteral("Button62")},
                                  tab);
    lists_->setCharts({latchchart});
    bottom->addWidget(lists_, 2);
    layout->addLayout(bottom, 1);

    connect(RadioButton3, &QRadioButton::clicked, this, guarded([this] { RadioButton3Click(); }));
    connect(RadioButton5, &QRadioButton::clicked, this, guarded([this] { RadioButton5Click(); }));
    connect(clearAll, &QPushButton::clicked, this, guarded([this] { Button17Click(); }));
    connect(save, &QPushButton::clicked, this, guarded([this] { Button15Click(); }));
    connect(load, &QPushButton::clicked, this, guarded([this] { Button16Click(); }));
}

void LatchScreen::buildChildTab()
{
    QWidget *tab = ui_->cbctab;
    auto *layout = new QVBoxLayout(tab);

    CBC_latch_check = new QCheckBox(QStringLiteral("Enable Auto CBC Latch Acquisition"), tab);
    CBC_latch_check->setObjectName(QStringLiteral("CBC_latch_check"));
    QPushButton *analyse = namedButton("Button30", QStringLiteral("TCH Analysis"), tab);
    barOf(layout, {CBC_latch_check, analyse});

    auto *halves = new QHBoxLayout;
    childGridView_ = new GridView(cbc_latchgrid, QStringLiteral("cbc_latchgrid"), tab);
    halves->addWidget(childGridView_, 1);
    tch_panel = new QFrame(tab);
    tch_panel->setObjectName(QStringLiteral("tch_panel"));
    auto *panel = new QVBoxLayout(tch_panel);
    panel->setContentsMargins(0, 0, 0, 0);
    TCH_num = new QLabel(QStringLiteral("Latch Touch Count"), tch_panel);
    TCH_num->setObjectName(QStringLiteral("TCH_num"));
    panel->addWidget(TCH_num);
    panel->addWidget(new GridView(tch_grid, QStringLiteral("tch_grid"), tch_panel));
    halves->addWidget(tch_panel, 1);
    layout->addLayout(halves);

    connect(analyse, &QPushButton::clicked, this, guarded([this] { Button30Click(); }));
}

QList<GridHeaders> LatchScreen::gridHeaders() const
{
    const auto tally = [](const char *key, const char *raw) {
        return QStringList{QLatin1String(key),    QLatin1String(raw),    QStringLiteral("Delta"),
                           QStringLiteral("Min"), QStringLiteral("Max"), QStringLiteral("Threshhold")};
    };
    return {
        {QStringLiteral("cbc_latchgrid"), tally("Child#", "Total"), {}},
        {QStringLiteral("Latchgrid"), tally("Latch Type", "Accumulated"), {}},
        {QStringLiteral("latchTHgrid"),
         {QStringLiteral("Time"), QStringLiteral("Latch Event"), QStringLiteral("Threshhold"), QStringLiteral("Delta")},
         {}},
        {QStringLiteral("tch_grid"),
         {QStringLiteral("Object"), QStringLiteral("Extent#"), QStringLiteral("Block#"), QStringLiteral("TCH"),
          QStringLiteral("Child#")},
         {}}};
}

bool LatchScreen::latchSampling() const
{
    return Latch_Check->isChecked();
}

void LatchScreen::sampleLatches()
{
    LoadTallySample(*latchquery, memoLines(*latchquerytext), *Latchgrid, latchchart, clock_());
    lists_->addKeys(tallyKeys(*Latchgrid));
    ScanThresholdBreaches(*Latchgrid, *latchTHgrid, clock_());
}

bool LatchScreen::childSampling() const
{
    return CBC_latch_check->isChecked();
}

void LatchScreen::sampleChildLatches()
{
    LoadTallySample(*cbc_latch_query, memoLines(*cbc_latchquery), *cbc_latchgrid, nullptr, clock_());
}

void LatchScreen::RadioButton3Click()
{
    latchChartView_->raise();
}

void LatchScreen::RadioButton5Click()
{
    latchGridView_->raise();
}

void LatchScreen::Button17Click()
{
    // The breaches stay: they are the record of what happened.
    Latchgrid->empty();
    latchchart->removeAllSeries();
    lists_->clear();
}

QString LatchScreen::thresholdPath() const
{
    return thresholdFilePath(settings().metafileFolder(), settings().serviceName(),
                             QStringLiteral("_latch_thresh.txt"));
}

void LatchScreen::Button15Click()
{
    SaveThresholdFile(*Latchgrid, thresholdPath());
}

void LatchScreen::Button16Click()
{
    LoadThresholdFile(*Latchgrid, thresholdPath());
}

void LatchScreen::Button30Click()
{
    const QModelIndex chosen = childGridView_->currentIndex();
    const QString key = cbc_latchgrid->cell(0, chosen.isValid() ? chosen.row() + 1 : 1);
    TCH_num->setText(QStringLiteral("Latch Touch Count:") + key);
    // The key is the instance, ":" and the child; the statement takes the child alone.
    const QString child = childNumberOf(key);
    latchTCH_Query->setSql(
        {QStringLiteral("select e.owner ||'.'|| e.segment_name  segment_name, e.extent_id  extent#, x.dbablk - "
                        "e.block_id + 1  block#, x.tch, l.child# from v$latch_children  l, sys.x$bh x, "
                        "sys.dba_extents e where l.child# = ") +
         child + QStringLiteral(" and ") + QStringLiteral("x.hladdr  = l.addr and ") +
         QStringLiteral("e.file_id = x.file# and ") +
         QStringLiteral("x.dbablk between e.block_id and e.block_id + e.blocks -1 ") +
         QStringLiteral("order by x.tch desc")});
    OpenQuery(*latchTCH_Query);
    LoadQueryIntoGrid(*latchTCH_Query, *tch_grid, QString(), nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      clock_().time().toString(QStringLiteral("HH:mm:ss")), 100);
    tch_panel->setVisible(true);
}

} // namespace tavimond
