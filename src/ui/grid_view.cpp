#include "grid_view.h"

#include "grid_model.h"

#include "core/result_grid.h"

#include <QHeaderView>

namespace tavimond {

GridView::GridView(ResultGrid *grid, const QString &name, QWidget *parent)
    : QTableView(parent), grid_(grid), model_(new GridModel(grid, this))
{
    setObjectName(name);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(90);
}

GridView::GridView(QWidget *parent) : GridView(new ResultGrid(1), QString(), parent)
{
    grid_->setParent(this);
}

int GridView::colCount() const
{
    return grid_->colCount();
}

void GridView::setColCount(int n)
{
    grid_->setColCount(n);
}

void GridView::setColumnWidths(const QList<int> &widths)
{
    for (int c = 0; c < widths.size(); ++c)
        setColumnWidth(c, widths.at(c));
}

} // namespace tavimond
