#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace Ui {
class StorageBrowserScreenForm;
}

namespace tavimond {

class Chart;
class ChartView;
class GridView;
class Query;
class ResultGrid;

// The storage browser (storagepage): tablespaces and their data and temporary files
// as a tree, the details of the node double-clicked, and on "Growth\Size Statistics"
// a tablespace's maximum, allocated and used size over the repository's snapshots.
class StorageBrowserScreen : public Screen {
    Q_OBJECT
public:
    // Columns of tsdfgrid: 0 the tablespace, 1 to 18 its attributes, 19 the file
    // name, 20 to 31 the file's attributes.
    static constexpr int kListColumns = 32;

    explicit StorageBrowserScreen(ScreenContext context, QWidget *parent = nullptr);
    ~StorageBrowserScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // "Load/Filter": the tablespaces and files matching the two filters.
    void Button68Click();
    // Double-click on tsdftree (or on tssizeto): the selected node's details.
    void tsdftreeDblClick();
    void RadioButton28Click(); // "Dialog View"
    void RadioButton29Click(); // "Grid View" of the details

    // "Retrieve" on "Growth\Size Statistics": the selected tablespace's sizes.
    void gettssizesClick();
    void RadioButton34Click(); // "Grid View"
    void RadioButton35Click(); // "Graph View"

private:
    void buildDetails();
    void buildGrowth();
    QStringList listStatement() const;
    QStringList growthStatement(const QString &tablespace) const;
    void drawGrowth();

    std::unique_ptr<Ui::StorageBrowserScreenForm> ui_;
    std::unique_ptr<Query> tsdfquery;
    std::unique_ptr<Query> tssizequery;
    ResultGrid *tsdfgrid;
    ResultGrid *tssizegrid;
    Chart *tssizegraph;
    GridView *tsdfgridView_ = nullptr;
    GridView *tssizegridView_ = nullptr;
    ChartView *tssizegraphView_ = nullptr;
    QLabel *tsname = nullptr;
    QLabel *dffilename = nullptr;
    // The detail edit of each column of tsdfgrid; null for columns 0 and 19, which
    // go into the captions.
    std::array<QLineEdit *, kListColumns> detailEdits_{};
    QPlainTextEdit *tsdfmemo = nullptr;
    QPlainTextEdit *tssizememo = nullptr;
    SnapshotWindowControls window_; // tssizedays, tsdays, tssizefromto, tssizefrom, tssizeto
};

} // namespace tavimond
