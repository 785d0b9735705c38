#include "grid_view.h"

#include "grid_model.h"

#include "core/result_grid.h"

#include <QEvent>
#include <QHeaderView>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace tavimond {

GridView::GridView(ResultGrid *grid, const QString &name, QWidget *parent)
    : QTableView(parent), grid_(grid), model_(new GridModel(grid, this))
{
    setObjectName(name);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(90);
    // After the model has heard of the change (it connected first).
    connect(grid_, &ResultGrid::changed, this, &GridView::scheduleFit);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (dragging_)
            userSized_.insert(column);
    });
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

namespace tavimond {

void GridView::scheduleFit()
{
    // A load tells the grid once, but cell-by-cell writers tell it per cell: one fit for all.
    if (fitPending_)
        return;
    fitPending_ = true;
    QTimer::singleShot(0, this, [this, grid = QPointer<ResultGrid>(grid_)] {
        fitPending_ = false;
        if (grid) // a grid the view does not own may be gone by then
            fitColumns();
    });
}

void GridView::fitColumns()
{
    fitPending_ = false;
    const int rows = grid_->rowCount();
    // Every row of a short grid; of a long one, rows spread evenly over it.
    constexpr int kSample = 200;
    const int step = std::max(1, (rows - 1) / kSample);
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics headers = horizontalHeader()->fontMetrics();
    // Room for a cell's margins, and for the header's frame as well.
    constexpr int kCellPadding = 12, kHeaderPadding = 18;
    for (int c = 0; c < grid_->colCount(); ++c) {
        if (userSized_.contains(c) || isColumnHidden(c))
            continue;
        const int now = columnWidth(c);
        int wanted = headers.horizontalAdvance(grid_->cell(c, 0)) + kHeaderPadding;
        for (int r = 1; r < rows && wanted < kFitLimit; r += step)
            wanted = std::max(wanted, cells.horizontalAdvance(grid_->cell(c, r)) + kCellPadding);
        wanted = std::min(wanted, kFitLimit);
        if (wanted > now)
            setColumnWidth(c, wanted);
    }
}

void GridView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The editor's Tab would open the next cell's editor: the edit is kept, and the
    // focus goes on past the grid.
    if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            dragging_ = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            dragging_ = false;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace tavimond
