#pragma once

#include "real_time_part.h"

#include "ui/snapshot_window.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QPlainTextEdit;
class QRadioButton;

namespace tavimond {

class Chart;
class ChartView;
class DisplayHideLists;
class GridView;
class Query;
class ResultGrid;

// The "History" tab of the wait events screen: for a window of repository snapshots,
// the cumulative wait count and time waited of every event of every instance as each
// snapshot kept them, one line per "instance:event" key in each of two charts, and the
// rows in a grid. Its display and hide lists are its own.
class WaitHistoryTab : public QWidget {
    Q_OBJECT
public:
    explicit WaitHistoryTab(const PartContext &context);
    ~WaitHistoryTab() override;

    QList<GridHeaders> gridHeaders() const;

    void Button10Click();     // "Acquire"
    void Button24Click();     // "Clear"
    void RadioButton1Click(); // "Graph"
    void RadioButton2Click(); // "Grid"

private:
    QStringList scriptLines() const;

    std::unique_ptr<Query> waitQueryhist;
    ResultGrid *wthistgrid;
    Chart *WaitHistGraph;
    Chart *WaitHistGraphtime;
    ChartView *countView_;
    ChartView *timeView_;
    QWidget *charts_;
    GridView *gridView_;
    DisplayHideLists *lists_;
    QRadioButton *RadioButton1;
    QRadioButton *RadioButton2;
    QCheckBox *wait_mds;
    SnapshotWindowControls window_;
    QPlainTextEdit *wtsqlhisttxt;
};

} // namespace tavimond
