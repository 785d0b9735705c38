#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <memory>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;

namespace Ui {
class SegmentStatsScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class Query;

// The segment statistics and growth screen (obj_segstat_page): the tables and indexes
// whose owner and name match two patterns, with their partitions and subpartitions, as a
// tree; a double-clicked node's I/O and wait figures per snapshot (or per day) of the
// workload repository in a grid and seven bar charts, and its space used and allocated
// over 360 days back and ahead.
class SegmentStatsScreen : public Screen {
    Q_OBJECT
public:
    explicit SegmentStatsScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SegmentStatsScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    void Button83Click(); // "Retrieve"
    void segtreeDblClick();
    void exp_segstatClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildCharts();
    void buildScriptTab();
    void plotGrowth();
    void placeGrowthNotes();

    std::unique_ptr<Ui::SegmentStatsScreenForm> ui_;
    SnapshotWindowControls window_;
    QCheckBox *segstat_droll = nullptr;
    QCheckBox *segstat_mds = nullptr;
    QPlainTextEdit *segstat_text = nullptr;
    QPlainTextEdit *segquery_memo = nullptr;
    QPlainTextEdit *seggrowth_memo = nullptr;
    QList<Chart *> barCharts_; // in the order of their value columns, 4 to 10
    Chart *objgrowth_graph = nullptr;
    ChartView *growthView_ = nullptr;
    QList<QLabel *> growthNotes_;
    std::unique_ptr<Query> segstat_query;
    std::unique_ptr<Query> seggrowth_query;
};

} // namespace tavimond
