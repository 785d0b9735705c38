#pragma once

#include <QTableView>

namespace tavimond {

class GridModel;
class ResultGrid;

// A table view of a ResultGrid; its objectName is the grid's component name.
class GridView : public QTableView {
    Q_OBJECT
    Q_PROPERTY(int colCount READ colCount WRITE setColCount)
public:
    GridView(ResultGrid *grid, const QString &name, QWidget *parent = nullptr);
    // A view with a grid of its own, as a form creates it (the form sets the
    // objectName and the column count).
    explicit GridView(QWidget *parent = nullptr);

    ResultGrid *grid() const { return grid_; }
    GridModel *gridModel() const { return model_; }
    // Widths in pixels of the first columns; the others keep theirs.
    void setColumnWidths(const QList<int> &widths);

    int colCount() const;
    void setColCount(int n);

private:
    ResultGrid *grid_;
    GridModel *model_;
};

} // namespace tavimond
