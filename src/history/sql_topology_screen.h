#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <memory>

class QCheckBox;
class QPlainTextEdit;
class QRadioButton;

namespace Ui {
class SqlTopologyScreenForm;
}

namespace tavimond {

class GridView;
class Query;
class ResultGrid;

// The SQL topology screen (Page_SQL_Topology): every statement of the workload
// repository that ran in a window of snapshots, one row per sql_id and plan, with its
// figures summed over the window, sortable by any column.
class SqlTopologyScreen : public Screen {
    Q_OBJECT
public:
    explicit SqlTopologyScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SqlTopologyScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    void Button13Click(); // "Retrieve SQL Statistics"
    void Button19Click(); // "Clear All"
    void exportcsvClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeSortRadios();

    std::unique_ptr<Ui::SqlTopologyScreenForm> ui_;
    SnapshotWindowControls window_;
    QCheckBox *mtn_dyn_sql;
    GridView *SQL_top_Grid;
    QWidget *sortStrip_;
    QList<QRadioButton *> sortRadios_; // by grid column
    QPlainTextEdit *sql_top_text;
    std::unique_ptr<Query> sqltop_query;
};

} // namespace tavimond
