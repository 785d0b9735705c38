#pragma once

#include "real_time_part.h"

#include <QDateTime>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

namespace tavimond {

class Chart;
class ChartView;
class GridView;
class Query;
class ResultGrid;

// "Session Statistics": block 2 of the default tick follows one session. Each sample
// tallies the session's time waited and number of waits per event (one delta line per
// event, and the latest figures as one coloured bar per event) and all its statistics,
// each value divided by 1,000,000 whatever its unit, sorted by Delta.
class SessionStatisticsTab : public QWidget {
    Q_OBJECT
public:
    explicit SessionStatisticsTab(const PartContext &context);
    ~SessionStatisticsTab() override;

    // Header rows of the tab's grids, written at start-up.
    QList<GridHeaders> gridHeaders() const;

    // Block 2 runs while "Enable Wait Event Acquisition" is ticked.
    bool sampling() const;
    // The sample of block 2.
    void sample();
    // Fills the session edits (a row chosen on the session topology).
    void setSession(const ChosenSession &session);

    // Handlers.
    void Button14Click(); // Clear All
    QString sesevt_cum_timeGetLegendText(int index) const;
    QString sesevt_cum_cntGetLegendText(int index) const;
    void sesevt_graphrbutClick();
    void sesevt_gridrbutClick();
    void RadioButton41Click();
    void RadioButton42Click();

    // The clock of the point labels; tests may set their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

private:
    QWidget *buildWaitEventPanel();
    QWidget *buildHalf(const QString &caption, ChartView *delta, ChartView *cumulative, GridView *grid);
    // Loads the open wait-event query: the tally, a line per event and a bar per record.
    void loadWaits(ResultGrid &grid, Chart &delta, Chart &cumulative, QStringList &barKeys);
    QString pointLabel() const;

    PartContext context_;
    std::function<QDateTime()> clock_;
    std::unique_ptr<Query> sesevtquery;
    std::unique_ptr<Query> timedstat_query;
    QCheckBox *sesevt_check;
    QLineEdit *Instidwt;
    QLineEdit *sidid;
    QLineEdit *serialnum;
    QRadioButton *RadioButton41 = nullptr;
    QRadioButton *RadioButton42 = nullptr;
    QGroupBox *waitevtpanel = nullptr;
    QGroupBox *timedstatpanel = nullptr;
    QRadioButton *sesevt_graphrbut = nullptr;
    QRadioButton *sesevt_gridrbut = nullptr;
    ResultGrid *sesevtgrid_time;
    ResultGrid *sesevtgrid_cnt;
    ResultGrid *timedstatgrid;
    Chart *sesevt_delta_time;
    Chart *sesevt_cum_time;
    Chart *sesevt_delta_cnt;
    Chart *sesevt_cum_cnt;
    QList<ChartView *> chartViews_;   // delta time, delta count, cumulative time, cumulative count
    QList<GridView *> waitGridViews_; // time, count
    // The key of each bar of the cumulative charts, in the order of the records.
    QStringList timeBarKeys_;
    QStringList countBarKeys_;
};

} // namespace tavimond
