#pragma once

#include <QSet>
#include <QTableView>

namespace tavimond {

class GridModel;
class ResultGrid;

// A table view of a ResultGrid; its objectName is the grid's component name. After each
// change of the grid its columns widen, where they must, to show their header and their
// texts (of a sample of rows in a long grid) up to a limit: they never narrow, so widths
// set at start-up stay the least a column shows, and a column the user sized keeps the
// width the user gave it. Tab and Shift+Tab leave the grid, even from a cell being
// edited; the arrow keys move within it.
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

    // The widest a column grows by itself, in pixels.
    static constexpr int kFitLimit = 360;
    // Widens the columns to their texts now (a change of the grid does it on its own
    // once control returns to the event loop).
    void fitColumns();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void scheduleFit();

    QSet<int> userSized_;
    bool dragging_ = false;
    bool fitPending_ = false;
    ResultGrid *grid_;
    GridModel *model_;
};

} // namespace tavimond
