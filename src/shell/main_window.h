#pragma once

#include "db/connection.h"

#include <QMainWindow>
#include <QStringList>

class QStackedWidget;
class QTimer;

namespace tavimond {

class AboutScreen;
class AdvisorScreen;
class BufferCacheScreen;
class DatafileStatsScreen;
class LatchScreen;
class ObjectBrowserScreen;
class RealTimeScreen;
class Screen;
class SecurityBrowserScreen;
class SegmentStatsScreen;
class SettingsScreen;
class SgaScreen;
class SqlAshScreen;
class SqlHistoryScreen;
class SqlTopologyScreen;
class StorageBrowserScreen;
class SystemTopologyScreen;
class WaitEventsScreen;

// The main window: the one connection, the three sampling timers and the seventeen
// screens, one of which lies in front.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The one-time start-up, run after the window is first shown; later calls do nothing.
    void FormShow();

    Connection &cnn() { return cnn_; }
    // The screens in their stacking order, bottom first.
    QList<Screen *> screens() const;
    Screen *frontScreen() const;
    // The screens made visible so far, in stacking order. The set only grows.
    QStringList visibleScreens() const;

public Q_SLOTS:
    void hISTORY1Click();
    void RealTimePerformance1Click();
    void Load1Click();
    void S1Click();
    void WaitEvents1Click();
    void Latching1Click();
    void BufferCache1Click();
    void BufferHitRatio1Click();
    void Advir1Click();
    void Object2Click();
    void Security1Click();
    void Storage2Click();
    void Statistics1Click();
    void DatafileStatistics1Click();
    void Options1Click();
    // Asks the desktop to open the manual, Tavimond_Help.pdf, from the current folder or
    // else from the program's folder; says where it looked when it is in neither.
    void HelpManual1Click();
    void About2Click();

    // What the timers sample comes with the live screens.
    void Default_timerTimer();
    void latch_timerTimer();
    void CBCLatch_TimerTimer();

private:
    void createMenu();
    // Makes the screen visible and brings it to the front.
    void bringToFront(Screen *screen);

    Connection cnn_;
    QTimer *Default_timer;
    QTimer *latch_timer;
    QTimer *CBCLatch_Timer;

    QStackedWidget *stack_;
    SettingsScreen *Page_Conf_Set;
    AboutScreen *about_page;
    DatafileStatsScreen *df_page;
    SegmentStatsScreen *obj_segstat_page;
    BufferCacheScreen *bufcache_page;
    LatchScreen *latch_page;
    SqlHistoryScreen *Page_SQL_Hist;
    ObjectBrowserScreen *obj_brws_page;
    SecurityBrowserScreen *secpage;
    StorageBrowserScreen *storagepage;
    SgaScreen *sgapage;
    SqlTopologyScreen *Page_SQL_Topology;
    SystemTopologyScreen *systoppage;
    RealTimeScreen *page_sql_rt;
    AdvisorScreen *advpage;
    SqlAshScreen *Page_SQL_Hist_ASH;
    WaitEventsScreen *inst_waits_page;

    QList<Screen *> visible_;
    bool shown_ = false;
};

} // namespace tavimond
