#pragma once

#include "ui/screen.h"

#include <QDateTime>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace Ui {
class LatchScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class DisplayHideLists;
class GridView;
class Query;
class ResultGrid;

// The latch screen (latch_page). Two timers of its own sample, each while its box is
// ticked: the sleeps of every latch of every instance, tallied by key with one line
// per latch, threshold breaches and the lists of keys shown and hidden ("Latch
// Overview"), and the sleeps of the cache buffers chains children past 100 sleeps
// ("CBC"), where the buffers under one child can be looked into.
class LatchScreen : public Screen {
    Q_OBJECT
public:
    explicit LatchScreen(ScreenContext context, QWidget *parent = nullptr);
    ~LatchScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // The latch timer's tick runs while "Enable Latch Acquisition" is ticked.
    bool latchSampling() const;
    void sampleLatches();
    // The CBC timer's tick runs while "Enable Auto CBC Latch Acquisition" is ticked.
    bool childSampling() const;
    void sampleChildLatches();

    // Handlers of the "Latch Overview" tab; the list moves are the lists' own.
    void RadioButton3Click(); // Graph
    void RadioButton5Click(); // Grid
    void Button17Click();     // Clear All
    void Button15Click();     // Save
    void Button16Click();     // Load
    // "TCH Analysis" on the "CBC" tab.
    void Button30Click();

    // The clock of breach times and point labels; tests may set their own.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

private:
    void buildOverviewTab();
    void buildChildTab();
    QString thresholdPath() const;

    std::unique_ptr<Ui::LatchScreenForm> ui_;
    std::function<QDateTime()> clock_;
    std::unique_ptr<Query> latchquery;
    std::unique_ptr<Query> cbc_latch_query;
    std::unique_ptr<Query> latchTCH_Query;
    ResultGrid *Latchgrid;
    ResultGrid *latchTHgrid;
    ResultGrid *cbc_latchgrid;
    ResultGrid *tch_grid;
    Chart *latchchart;
    QCheckBox *Latch_Check = nullptr;
    QCheckBox *CBC_latch_check = nullptr;
    QRadioButton *RadioButton3 = nullptr;
    QRadioButton *RadioButton5 = nullptr;
    ChartView *latchChartView_ = nullptr;
    GridView *latchGridView_ = nullptr;
    GridView *childGridView_ = nullptr;
    DisplayHideLists *lists_ = nullptr;
    QWidget *tch_panel = nullptr;
    QLabel *TCH_num = nullptr;
    QPlainTextEdit *latchquerytext = nullptr;
    QPlainTextEdit *cbc_latchquery = nullptr;
};

} // namespace tavimond
