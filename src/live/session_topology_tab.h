#pragma once

#include "real_time_part.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace tavimond {

class Chart;
class ChartView;
class GridView;
class Query;
class ResultGrid;

// "Session Topology": block 1 of the default tick samples every session of every
// instance, keeps the previous sample, and shows per active session the growth of
// seven time figures since then, as a grid and as one stacked bar per session. A row
// chosen (clicked, or made current with the keys) chooses its session for the
// other tabs.
class SessionTopologyTab : public QWidget {
    Q_OBJECT
public:
    explicit SessionTopologyTab(const PartContext &context);
    ~SessionTopologyTab() override;

    // Header rows of the tab's grids, written at start-up.
    QList<GridHeaders> gridHeaders() const;

    // Block 1 runs while "Enable Session Acquisition" is ticked.
    bool sampling() const;
    // The sample of block 1.
    void Button177Click();

    // Handlers.
    void sessres_cpu_cbClick();
    QString sessres_graphGetLegendText(int index) const;
    void sessres_graphMouseMove(const QPoint &pos);
    void sessres_gridClick();
    void sessres_gridDblClick();
    void sessres_grid_delDblClick();
    void RadioButton30Click();
    void RadioButton31Click();

Q_SIGNALS:
    // A session row was chosen.
    void sessionChosen(const ChosenSession &session);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildResourcePanel();
    QWidget *buildDescriptivePanel();
    void computeDifferences();
    void rebuildChart();
    QStringList legendNames() const;
    void copySession(const GridView &view);
    void placeChartOverlays();

    PartContext context_;
    std::unique_ptr<Query> sessres_query;
    QCheckBox *session_check;
    QRadioButton *RadioButton30 = nullptr;
    QRadioButton *RadioButton31 = nullptr;
    QGroupBox *sessres_panel = nullptr;
    QGroupBox *sessdesc_panel = nullptr;
    ResultGrid *sessres_grid;
    ResultGrid *sessres_grid_arc;
    ResultGrid *sessres_grid_del;
    GridView *gridView_ = nullptr;
    GridView *deltaView_ = nullptr;
    Chart *sessres_graph;
    ChartView *chartView_ = nullptr;
    QCheckBox *exc_backsess = nullptr;
    QList<QLabel *> chartNotes_;
    QComboBox *sessres_combo = nullptr;
    QList<QCheckBox *> seriesBoxes_;
    QLabel *instsidcap = nullptr;
    QList<QLabel *> captions_; // cpucap .. parsecap, by series
    QPlainTextEdit *sessres_memo = nullptr;
    // Hidden and never loaded; its headers come from the main window.
    ResultGrid *longopsgrid_;
    bool reloading_ = false; // while the sample reloads the grids
};

} // namespace tavimond
