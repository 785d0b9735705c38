#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <memory>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace Ui {
class DatafileStatsScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class DisplayHideLists;
class GridView;
class Query;

// The datafile statistics screen (df_page): per snapshot and datafile, the blocks read
// and written and the time they took in a window, with the average time per block, as
// six bar charts (one series per file) of which a radio shows two, and the files'
// display and hide lists.
class DatafileStatsScreen : public Screen {
    Q_OBJECT
public:
    explicit DatafileStatsScreen(ScreenContext context, QWidget *parent = nullptr);
    ~DatafileStatsScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    void Button116Click(); // "Retrieve"
    void Button123Click(); // "Clear All"
    void df_opsClick();
    void df_times_totalClick();
    void df_times_avgClick();

private:
    // One of the six charts: its model, its view and the grid column it plots.
    struct FileChart {
        Chart *chart;
        ChartView *view;
        int column;
    };

    QStringList scriptLines() const;
    void clearResults();
    // Shows the two charts of `pair` (0 operations, 1 total times, 2 average times).
    void showPair(int pair);

    std::unique_ptr<Ui::DatafileStatsScreenForm> ui_;
    SnapshotWindowControls window_;
    QLineEdit *dfname;
    QRadioButton *df_ops;
    QRadioButton *df_times_total;
    QRadioButton *df_times_avg;
    QList<FileChart> charts_; // in the order they are drawn
    DisplayHideLists *lists_;
    GridView *df_grid;
    QPlainTextEdit *df_text;
    QCheckBox *df_mds;
    QCheckBox *df_rollup;
    std::unique_ptr<Query> df_query;
};

} // namespace tavimond
