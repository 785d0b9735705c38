#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include "core/result_grid.h"

namespace tavimond {

// Shows a ResultGrid: its row 0 as the header, rows 1 onward as the rows. It hears
// of a load once, whatever the number of cells the load wrote.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(ResultGrid *grid, QObject *parent = nullptr);

    ResultGrid *grid() const { return grid_; }
    // Lets the user edit cells (a few report grids allow it).
    void setEditable(bool editable) { editable_ = editable; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

private:
    void sync();

    QPointer<ResultGrid> grid_;
    int rows_ = 0;
    int cols_ = 0;
    bool editable_ = false;
};

} // namespace tavimond
