#include "result_grid.h"

#include <algorithm>

namespace tavimond {
namespace {
const QString kEmpty;
const std::vector<int> kNoRows;
} // namespace

ResultGrid::ResultGrid(int colCount, QObject *parent) : QObject(parent), cols_(std::max(colCount, 1))
{
    cells_.resize(qsizetype(rows_) * cols_);
}

const QString &ResultGrid::cell(int col, int row) const
{
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return kEmpty;
    return cells_.at(qsizetype(row) * cols_ + col);
}

void ResultGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return;
    const qsizetype at = qsizetype(row) * cols_ + col;
    QString &c = cells_[at];
    if (c == text)
        return;
    const bool indexed = col == 0 && indexValid_ && row > 0;
    if (indexed)
        unindexRow(row);
    if (journal_ && !journal_->whole && row < journal_->rows)
        journal_->overwritten.emplace_back(at, std::move(c));
    c = text;
    if (indexed)
        indexRow(row);
    touched();
}

void ResultGrid::setRowCount(int n)
{
    n = std::max(n, 1);
    if (n == rows_)
        return;
    if (n < rows_) {
        if (journal_ && n < journal_->rows)
            keepWhole();
        indexValid_ = false;
        keyIndex_.clear();
        cells_.resize(qsizetype(n) * cols_);
        rows_ = n;
    } else {
        const int old = rows_;
        cells_.resize(qsizetype(n) * cols_);
        rows_ = n;
        if (indexValid_)
            for (int r = std::max(old, 1); r < n; ++r)
                indexRow(r);
    }
    touched();
}

void ResultGrid::setColCount(int n)
{
    n = std::max(n, 1);
    if (n == cols_)
        return;
    keepWhole();
    QList<QString> cells(qsizetype(rows_) * n);
    const int keep = std::min(n, cols_);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < keep; ++c)
            cells[qsizetype(r) * n + c] = std::move(cells_[qsizetype(r) * cols_ + c]);
    cells_ = std::move(cells);
    cols_ = n;
    touched();
}

QStringList ResultGrid::row(int r) const
{
    QStringList out;
    if (r < 0 || r >= rows_)
        return out;
    out.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        out << cells_.at(qsizetype(r) * cols_ + c);
    return out;
}

void ResultGrid::setRow(int r, const QStringList &cells)
{
    if (r < 0 || r >= rows_)
        return;
    Batch batch(*this);
    for (int c = 0; c < cols_; ++c)
        setCell(c, r, c < cells.size() ? cells.at(c) : QString());
}

void ResultGrid::clearRow(int r)
{
    setRow(r, {});
}

void ResultGrid::empty()
{
    Batch batch(*this);
    setRowCount(2);
    clearRow(1);
}

void ResultGrid::indexRow(int r)
{
    auto &rows = keyIndex_[cells_.at(qsizetype(r) * cols_)];
    rows.insert(std::upper_bound(rows.begin(), rows.end(), r), r);
}

void ResultGrid::unindexRow(int r)
{
    auto it = keyIndex_.find(cells_.at(qsizetype(r) * cols_));
    if (it == keyIndex_.end())
        return;
    auto &rows = it.value();
    rows.erase(std::remove(rows.begin(), rows.end(), r), rows.end());
    if (rows.empty())
        keyIndex_.erase(it);
}

const std::vector<int> &ResultGrid::rowsWithKey(const QString &key) const
{
    if (!indexValid_) {
        keyIndex_.clear();
        keyIndex_.reserve(rows_);
        for (int r = 1; r < rows_; ++r)
            keyIndex_[cells_.at(qsizetype(r) * cols_)].push_back(r);
        indexValid_ = true;
    }
    const auto it = keyIndex_.constFind(key);
    return it == keyIndex_.constEnd() ? kNoRows : it.value();
}

void ResultGrid::permuteRows(int first, const std::vector<int> &order)
{
    const int n = int(order.size());
    if (n == 0 || first < 0 || first + n > rows_)
        return;
    keepWhole();
    QList<QString> moved(qsizetype(n) * cols_);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < cols_; ++c)
            moved[qsizetype(i) * cols_ + c] = std::move(cells_[qsizetype(first + order[size_t(i)]) * cols_ + c]);
    std::move(moved.begin(), moved.end(), cells_.begin() + qsizetype(first) * cols_);
    indexValid_ = false;
    keyIndex_.clear();
    touched();
}

void ResultGrid::keepWhole()
{
    if (!journal_ || journal_->whole)
        return;
    journal_->whole = true;
    journal_->wholeRows = rows_;
    journal_->wholeCols = cols_;
    journal_->wholeCells = cells_; // shared: a later change copies only what it keeps
}

ResultGrid::Undo::Undo(ResultGrid &grid) : grid_(grid)
{
    grid_.journal_ = std::make_unique<Journal>();
    grid_.journal_->rows = grid_.rows_;
    grid_.journal_->cols = grid_.cols_;
}

ResultGrid::Undo::~Undo()
{
    grid_.journal_.reset();
}

void ResultGrid::Undo::rollback()
{
    const std::unique_ptr<Journal> j = std::move(grid_.journal_);
    if (!j)
        return;
    ResultGrid &g = grid_;
    if (j->whole) {
        g.rows_ = j->wholeRows;
        g.cols_ = j->wholeCols;
        g.cells_ = std::move(j->wholeCells);
    }
    // Texts overwritten before the whole content was kept (or all of them) go back in
    // reverse order, then the rows appended since go.
    for (auto it = j->overwritten.rbegin(); it != j->overwritten.rend(); ++it)
        g.cells_[it->first] = std::move(it->second);
    g.rows_ = j->rows;
    g.cells_.resize(qsizetype(j->rows) * j->cols);
    g.indexValid_ = false;
    g.keyIndex_.clear();
    g.touched();
}

void ResultGrid::touched()
{
    if (batchDepth_ > 0)
        dirty_ = true;
    else
        Q_EMIT changed();
}

ResultGrid::Batch::Batch(ResultGrid &grid) : grid_(grid)
{
    ++grid_.batchDepth_;
}

ResultGrid::Batch::~Batch()
{
    if (--grid_.batchDepth_ == 0 && grid_.dirty_) {
        grid_.dirty_ = false;
        Q_EMIT grid_.changed();
    }
}

} // namespace tavimond
