#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace Ui {
class SystemTopologyScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class GridView;
class Query;

// The system topology screen (systoppage): the instance-wide figures of every snapshot
// of a window, one row per snapshot and instance, drawn in thirty-seven bar charts in
// seven groups, one series per instance, of which the combo's instance is shown.
class SystemTopologyScreen : public Screen {
    Q_OBJECT
public:
    static constexpr int kCharts = 37;

    explicit SystemTopologyScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SystemTopologyScreen() override;

    QList<GridHeaders> gridHeaders() const override;
    QList<ChartHint> chartHints() const override;

    void Button2Click();  // "Retrieve System Statistics"
    void Button66Click(); // "Clear All"
    void Button67Click(); // "Export(CSV)"
    void instid_comboChange();
    void RadioButton32Click();
    void RadioButton33Click();
    void RadioButton40Click();
    void RadioButton36Click();
    void RadioButton37Click();
    void RadioButton38Click();
    void RadioButton39Click();
    void graph_hintsClick();

private:
    void buildRetrieveTab();
    void buildStatisticsTab();
    void showGroup(int group);

    std::unique_ptr<Ui::SystemTopologyScreenForm> ui_;
    SnapshotWindowControls window_;
    QLabel *systopmess = nullptr;
    QComboBox *instid_combo = nullptr;
    QCheckBox *graph_hints = nullptr;
    std::array<QGroupBox *, 7> groups_{};
    std::array<Chart *, kCharts> charts_{};
    std::array<ChartView *, kCharts> views_{};
    GridView *systopgrid = nullptr;
    QPlainTextEdit *systopmemo = nullptr;
    QPlainTextEdit *systop_template = nullptr;
    std::unique_ptr<Query> systop_Query;
};

} // namespace tavimond
