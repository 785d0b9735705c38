#pragma once

#include <QTableView>

namespace tavimond {

class GridModel;
class ResultGrid;

// A table view of a ResultGrid; its objectName is the grid's component name.
class GridView : public QTableView {
    Q_OBJECT
public:
    GridView(ResultGrid *grid, const QString &name, QWidget *parent = nullptr);

    ResultGrid *grid() const { return grid_; }
    GridModel *gridModel() const { return model_; }
    // Widths in pixels of the first columns; the others keep theirs.
    void setColumnWidths(const QList<int> &widths);

private:
    ResultGrid *grid_;
    GridModel *model_;
};

} // namespace tavimond
