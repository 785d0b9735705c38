#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <QList>
#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedLayout;

namespace Ui {
class SqlHistoryScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class GridView;
class Query;
class ResultGrid;

// The historical SQL statistics screen (Page_SQL_Hist): what the workload repository
// recorded, snapshot by snapshot, about one statement or about each statement of a
// list, in a grid and nineteen bar charts of totals and per-execution averages, one
// series per statement and plan (SqlExecKey).
class SqlHistoryScreen : public Screen {
    Q_OBJECT
public:
    static constexpr int kChartCount = 19;

    explicit SqlHistoryScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SqlHistoryScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // Retrieve tab.
    void Button101Click();       // "Retrieve Single SQL Stat"
    void ret_bulk_buttonClick(); // "Retrieve Bulk SQL Stat"
    void Button104Click();       // "Clear All"
    void Button102Click();       // "Load Baseline Metadata"
    void Button100Click();       // "...": chooses the list file
    void listrbClick();          // "Bulk Retrieval"
    void literalrbClick();       // "Single Retrieval"

    // Run Statistics and Raw Data tabs.
    void histsql_totals_btnClick(); // any of the five chart-set radios
    void sqlid_comboChange();       // the user chose or typed a key (either key combo)
    void Button1Click();            // "Export(CSV)"

    // The wait events of a statement, on the Run Statistics tab.
    void Button42Click();      // "Retrieve Wait Statistics"
    void RadioButton21Click(); // "Wait Event Statistics"
    void RadioButton8Click();  // "Execution Statistics"
    void RadioButton6Click();  // "Summary"
    void RadioButton4Click();  // "Detail"

    // SQL Text/Exec Plan tab.
    void Button180Click(); // "Load"

private:
    void buildRetrieveTab();
    void buildRunStatisticsTab();
    void buildScriptTab();
    void buildRawDataTab();
    QWidget *buildWaitsBox(QWidget *parent);
    void buildTextTab();

    // Clear All; a bulk retrieval keeps the loaded list.
    void clearAll(bool keepList);
    // After the rows are in the grid: the charts, the combos, the first key shown.
    void showRetrieval();
    // Series i active or not on every chart that has a series i (after a drawing that
    // failed part-way, later charts have fewer series).
    void setSeriesActiveEverywhere(int i, bool active);
    // The wait-event pies from the summary rows of this key.
    void fillWaitPies(const QString &key);
    // The summary of the detail rows: one row per plan and event, counts and times summed.
    void summarizeWaits();
    void showAlert(bool shown);

    std::unique_ptr<Ui::SqlHistoryScreenForm> ui_;

    // Retrieve tab.
    QLineEdit *SQLIdList;
    QRadioButton *listrb;
    QRadioButton *literalrb;
    GridView *sqlid_grid;
    QLineEdit *adhoc_sqlid;
    QPushButton *Button101;
    QPushButton *ret_bulk_button;
    SnapshotWindowControls window_;

    // Script tab.
    QPlainTextEdit *sql_prof_text;
    QCheckBox *sqlstat_droll;
    QCheckBox *sqlstat_mds;
    std::unique_ptr<Query> SQL_Prof_Query;

    // Raw Data tab.
    GridView *SQL_Prof_Grid;

    // Run Statistics tab.
    QComboBox *sqlid_combo;
    QRadioButton *histsql_totals_btn;
    QRadioButton *histsql_avg_btn;
    QRadioButton *histsql_general_btn;
    QRadioButton *histsql_io_btn;
    QRadioButton *hist_comms_btn;
    QFrame *Panel1;
    QFrame *Panel2;
    QFrame *alert_shp;
    QLabel *alert_txt;
    std::array<Chart *, kChartCount> charts_{};
    std::array<ChartView *, kChartCount> chartViews_{};
    std::array<QStackedLayout *, 4> places_{}; // by ChartPlace

    // The wait events of a statement: their grids and pies, the box that holds them over
    // the charts, and their script.
    ResultGrid *sql_ash_grid;
    ResultGrid *sql_ash_grid_summ;
    Chart *sqlstat_wait_cnt;
    Chart *sqlstat_wait_time;
    QGroupBox *sqlstat_waits;
    GridView *ashDetailView_;
    GridView *ashSummaryView_;
    QPlainTextEdit *sql_ash_text;
    std::array<QCheckBox *, 6> parameterBoxes_{}; // P1text, P1, P2text, P2, P3text, P3
    QCheckBox *sql_mds_check;
    std::unique_ptr<Query> sql_ash_query;

    // SQL Text/Exec Plan tab.
    QComboBox *sqltext_combo;
    QPlainTextEdit *awrsqltext_memo;
    QPlainTextEdit *awrsqlexec_memo;
    std::unique_ptr<Query> awrsqltext_query;
    std::unique_ptr<Query> awrsqlexec_query;
};

} // namespace tavimond
