#pragma once

#include "ui/screen.h"

#include <QDateTime>
#include <functional>
#include <memory>

class QCheckBox;
class QPlainTextEdit;
class QRadioButton;

namespace Ui {
class WaitEventsScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class DisplayHideLists;
class GridView;
class Query;
class ResultGrid;
class WaitHistoryTab;

// The wait events screen (inst_waits_page). Its "Real Time" tab samples the wait events
// of every instance at each default tick while "Enable" is ticked: the count and the
// time waited of every event, tallied by key with one line per key, threshold breaches,
// and the lists of keys shown and hidden. Its "History" tab shows the same figures as
// the workload repository kept them.
class WaitEventsScreen : public Screen {
    Q_OBJECT
public:
    explicit WaitEventsScreen(ScreenContext context, QWidget *parent = nullptr);
    ~WaitEventsScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // Block 3 of the default tick runs while "Enable" is ticked.
    bool sampling() const;
    // Block 3 of the default tick.
    void sampleWaitEvents();

    // Handlers of the "Real Time" tab.
    void rbut_wait_graphClick();
    void rbut_wait_gridClick();
    void ClearAllClick();
    void Button4Click(); // Save
    void Button5Click(); // Load

    // The clock of breach times and point labels; tests may set their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

private:
    void buildRealTimeTab();
    QString thresholdPath() const;

    std::unique_ptr<Ui::WaitEventsScreenForm> ui_;
    std::function<QDateTime()> clock_;
    std::unique_ptr<Query> WaitQuery;
    std::unique_ptr<Query> waitquerytime;
    ResultGrid *SRGrid;
    ResultGrid *srgridtime;
    ResultGrid *THGrid;
    Chart *EVTChart;
    Chart *EVTcharttime;
    QCheckBox *sr_check = nullptr;
    QRadioButton *rbut_wait_graph = nullptr;
    QRadioButton *rbut_wait_grid = nullptr;
    ChartView *countChartView_ = nullptr;
    ChartView *timeChartView_ = nullptr;
    GridView *countGridView_ = nullptr;
    GridView *timeGridView_ = nullptr;
    DisplayHideLists *lists_ = nullptr;
    QPlainTextEdit *waits_sql = nullptr;
    QPlainTextEdit *waits_sql_time = nullptr;
    WaitHistoryTab *history_ = nullptr;
};

} // namespace tavimond
