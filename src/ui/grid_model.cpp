#include "grid_model.h"

#include "core/result_grid.h"

namespace tavimond {

GridModel::GridModel(ResultGrid *grid, QObject *parent) : QAbstractTableModel(parent), grid_(grid)
{
    rows_ = grid_->rowCount() - 1;
    cols_ = grid_->colCount();
    connect(grid_, &ResultGrid::changed, this, &GridModel::sync);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!grid_ || !index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return grid_->cell(index.column(), index.row() + 1);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || !grid_)
        return {};
    if (orientation == Qt::Horizontal)
        return grid_->cell(section, 0);
    return section + 1;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable_)
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!editable_ || !grid_ || !index.isValid() || role != Qt::EditRole)
        return false;
    grid_->setCell(index.column(), index.row() + 1, value.toString());
    return true;
}

void GridModel::sync()
{
    // The grid has already changed; tell the views in as few signals as the change needs.
    const int rows = grid_->rowCount() - 1;
    const int cols = grid_->colCount();
    if (cols > cols_) {
        beginInsertColumns({}, cols_, cols - 1);
        cols_ = cols;
        endInsertColumns();
    } else if (cols < cols_) {
        beginRemoveColumns({}, cols, cols_ - 1);
        cols_ = cols;
        endRemoveColumns();
    }
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (cols_ > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    if (rows_ > 0 && cols_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::DisplayRole, Qt::EditRole});
}

} // namespace tavimond
