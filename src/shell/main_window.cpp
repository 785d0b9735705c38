#include "main_window.h"

#include "about_screen.h"
#include "desktop.h"
#include "settings_screen.h"
#include "start_up_tables.h"

#include "browsers/object_browser_screen.h"
#include "browsers/security_browser_screen.h"
#include "browsers/storage_browser_screen.h"
#include "db/error.h"
#include "history/advisor_screen.h"
#include "history/datafile_stats_screen.h"
#include "history/segment_stats_screen.h"
#include "history/sql_ash_screen.h"
#include "history/sql_history_screen.h"
#include "history/sql_topology_screen.h"
#include "history/system_topology_screen.h"
#include "live/buffer_cache_screen.h"
#include "live/latch_screen.h"
#include "live/real_time_screen.h"
#include "live/session_statistics_tab.h"
#include "live/session_topology_tab.h"
#include "live/sga_screen.h"
#include "live/wait_events_screen.h"
#include "ui/handler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>

namespace tavimond {
namespace {

struct MenuEntry {
    const char *menu;
    const char *item;
    const char *component;
    void (TForm1::*handler)();
};

// The main menu in display order. The ampersand marks each caption's Alt key, unique
// among the menus of the bar and among the items of a menu; it is not shown.
const MenuEntry kMainMenu[] = {
    {"&SQL", "&Historical Performance(SQLStat)", "hISTORY1", &TForm1::hISTORY1Click},
    {"&SQL", "&Real Time Performance", "RealTimePerformance1", &TForm1::RealTimePerformance1Click},
    {"&SQL", "SQL &Topology", "Load1", &TForm1::Load1Click},
    {"&SQL", "&System Topology", "S1", &TForm1::S1Click},
    {"&Instance", "&Wait Events", "WaitEvents1", &TForm1::WaitEvents1Click},
    {"&Instance", "&Latching", "Latching1", &TForm1::Latching1Click},
    {"&Instance", "&Buffer Cache Content", "BufferCache1", &TForm1::BufferCache1Click},
    {"&Instance", "&SGA Hit Ratios", "BufferHitRatio1", &TForm1::BufferHitRatio1Click},
    {"&Instance", "&Advisors", "Advir1", &TForm1::Advir1Click},
    {"&Browsers", "&Object", "Object2", &TForm1::Object2Click},
    {"&Browsers", "&Security", "Security1", &TForm1::Security1Click},
    {"&Browsers", "S&torage", "Storage2", &TForm1::Storage2Click},
    {"&Object", "&Statistics", "Statistics1", &TForm1::Statistics1Click},
    {"S&torage", "&Datafile Statistics", "DatafileStatistics1", &TForm1::DatafileStatistics1Click},
    {"&Configuration", "&Settings", "Options1", &TForm1::Options1Click},
    {"&Help", "&Help Manual", "HelpManual1", &TForm1::HelpManual1Click},
    {"&Help", "&About", "About2", &TForm1::About2Click},
};

QTimer *makeTimer(QObject *owner, const char *name, int interval)
{
    auto *timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(name));
    // Deltas are per tick: a coarse timer's few percent of slack would show in them.
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(interval);
    return timer;
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), Default_timer(makeTimer(this, "Default_timer", 30000)),
      latch_timer(makeTimer(this, "latch_timer", 120000)), CBCLatch_Timer(makeTimer(this, "CBCLatch_Timer", 120000)),
      stack_(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(kWindowCaption));

    // The settings screen comes first: every screen reads the settings through it.
    Page_Conf_Set = new SettingsScreen(cnn_, IntervalTimers{Default_timer, latch_timer, CBCLatch_Timer}, stack_);
    const ScreenContext context{cnn_, *Page_Conf_Set};
    about_page = new AboutScreen(context, stack_);
    df_page = new DatafileStatsScreen(context, stack_);
    obj_segstat_page = new SegmentStatsScreen(context, stack_);
    bufcache_page = new BufferCacheScreen(context, stack_);
    latch_page = new LatchScreen(context, stack_);
    Page_SQL_Hist = new SqlHistoryScreen(context, stack_);
    obj_brws_page = new ObjectBrowserScreen(context, stack_);
    secpage = new SecurityBrowserScreen(context, stack_);
    storagepage = new StorageBrowserScreen(context, stack_);
    sgapage = new SgaScreen(context, stack_);
    Page_SQL_Topology = new SqlTopologyScreen(context, stack_);
    systoppage = new SystemTopologyScreen(context, stack_);
    page_sql_rt = new RealTimeScreen(context, stack_);
    advpage = new AdvisorScreen(context, stack_);
    Page_SQL_Hist_ASH = new SqlAshScreen(context, stack_);
    inst_waits_page = new WaitEventsScreen(context, stack_);

    // Stacking order, bottom first; four screens start hidden.
    const QList<Screen *> order{about_page,        df_page,       obj_segstat_page, bufcache_page, latch_page,
                                Page_SQL_Hist,     obj_brws_page, secpage,          storagepage,   sgapage,
                                Page_SQL_Topology, systoppage,    page_sql_rt,      advpage,       Page_SQL_Hist_ASH,
                                inst_waits_page,   Page_Conf_Set};
    for (Screen *s : order) {
        stack_->addWidget(s);
        if (s != Page_SQL_Hist && s != page_sql_rt && s != advpage && s != Page_Conf_Set)
            bringToFront(s);
    }
    setCentralWidget(stack_);
    createMenu();
    connect(Page_Conf_Set, &SettingsScreen::captionChanged, this, &QWidget::setWindowTitle);

    // A failed tick must not stop its timer: its error box does not block.
    connect(Default_timer, &QTimer::timeout, this,
            guardedTick(QStringLiteral("Default_timer"), [this] { Default_timerTimer(); }));
    connect(latch_timer, &QTimer::timeout, this,
            guardedTick(QStringLiteral("latch_timer"), [this] { latch_timerTimer(); }));
    connect(CBCLatch_Timer, &QTimer::timeout, this,
            guardedTick(QStringLiteral("CBCLatch_Timer"), [this] { CBCLatch_TimerTimer(); }));
    Default_timer->start();
    latch_timer->start();
    CBCLatch_Timer->start();

    // A client area of 1142 by 698, centred.
    resize(1142, 698 + menuBar()->sizeHint().height());
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() = default;

void TForm1::createMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *menu = nullptr;
    for (const MenuEntry &e : kMainMenu) {
        if (!menu || menu->title() != QLatin1String(e.menu))
            menu = bar->addMenu(QLatin1String(e.menu));
        QAction *action = menu->addAction(QLatin1String(e.item));
        action->setObjectName(QLatin1String(e.component));
        connect(action, &QAction::triggered, this, guarded([this, handler = e.handler] { (this->*handler)(); }));
    }
}

void TForm1::FormShow()
{
    if (shown_)
        return;
    shown_ = true;
    // 1. The object browser's table details lie in front of the other kinds' pages.
    if (auto *tabpage = findChild<QWidget *>(QStringLiteral("tabpage")))
        tabpage->raise();
    // 2. The tips page starts loading.
    Page_Conf_Set->startTipsPage();
    // 3 and 4. Header rows, column widths and chart hints.
    QList<GridHeaders> grids{longOpsHeaders()};
    QList<ChartHint> hints;
    for (Screen *s : screens()) {
        grids += s->gridHeaders();
        hints += s->chartHints();
    }
    writeStartUpTables(this, grids, hints);
    // 5. The settings screen is the first the user sees.
    bringToFront(Page_Conf_Set);
    Page_Conf_Set->focusServiceName();
    // 6. The configuration files. No query runs and the connection stays closed.
    Page_Conf_Set->readConfiguration();
}

QList<Screen *> TForm1::screens() const
{
    QList<Screen *> out;
    for (int i = 0; i < stack_->count(); ++i)
        out << static_cast<Screen *>(stack_->widget(i));
    return out;
}

Screen *TForm1::frontScreen() const
{
    return static_cast<Screen *>(stack_->currentWidget());
}

QStringList TForm1::visibleScreens() const
{
    QStringList names;
    for (Screen *s : screens())
        if (visible_.contains(s))
            names << s->objectName();
    return names;
}

void TForm1::bringToFront(Screen *screen)
{
    if (!visible_.contains(screen))
        visible_ << screen;
    stack_->setCurrentWidget(screen);
}

void TForm1::hISTORY1Click()
{
    bringToFront(Page_SQL_Hist);
}

void TForm1::RealTimePerformance1Click()
{
    bringToFront(page_sql_rt);
}

void TForm1::Load1Click()
{
    bringToFront(Page_SQL_Topology);
}

void TForm1::S1Click()
{
    bringToFront(systoppage);
}

void TForm1::WaitEvents1Click()
{
    bringToFront(inst_waits_page);
}

void TForm1::Latching1Click()
{
    bringToFront(latch_page);
}

void TForm1::BufferCache1Click()
{
    bringToFront(bufcache_page);
}

void TForm1::BufferHitRatio1Click()
{
    bringToFront(sgapage);
}

void TForm1::Advir1Click()
{
    bringToFront(advpage);
}

void TForm1::Object2Click()
{
    bringToFront(obj_brws_page);
}

void TForm1::Security1Click()
{
    bringToFront(secpage);
}

void TForm1::Storage2Click()
{
    bringToFront(storagepage);
}

void TForm1::Statistics1Click()
{
    bringToFront(obj_segstat_page);
}

void TForm1::DatafileStatistics1Click()
{
    bringToFront(df_page);
}

void TForm1::Options1Click()
{
    bringToFront(Page_Conf_Set);
}

void TForm1::HelpManual1Click()
{
    // The current folder at the moment of the click comes first; then the program's own
    // folder, where the build writes the manual, so that it opens from anywhere.
    const QString name = QStringLiteral("Tavimond_Help.pdf");
    QStringList looked;
    for (const QString &folder : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
        const QString path = QDir(folder).absoluteFilePath(name);
        if (QFileInfo(path).isFile()) {
            openOnDesktop(QUrl::fromLocalFile(path));
            return;
        }
        looked << QDir::toNativeSeparators(path);
    }
    looked.removeDuplicates();
    throw Error(QStringLiteral("Cannot locate \"%1\" file\nLooked in the current folder and beside the program:\n%2")
                    .arg(name, looked.join(QLatin1Char('\n'))));
}

void TForm1::About2Click()
{
    bringToFront(about_page);
}

void TForm1::Default_timerTimer()
{
    // Each box is read when its block is reached; an error ends the tick where it stands.
    if (page_sql_rt->sessionTopology()->sampling())
        page_sql_rt->sessionTopology()->Button177Click();
    if (page_sql_rt->sessionStatistics()->sampling())
        page_sql_rt->sessionStatistics()->sample();
    if (inst_waits_page->sampling())
        inst_waits_page->sampleWaitEvents();
}

void TForm1::latch_timerTimer()
{
    if (latch_page->latchSampling())
        latch_page->sampleLatches();
}

void TForm1::CBCLatch_TimerTimer()
{
    if (latch_page->childSampling())
        latch_page->sampleChildLatches();
}

} // namespace tavimond
