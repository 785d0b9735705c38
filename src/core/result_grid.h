#pragma once

#include <QObject>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace tavimond {

// A table of texts: row 0 holds the column headers, rows 1 onward one record each.
// Cells are addressed (column, row). Changes made inside a Batch reach the views once.
class ResultGrid : public QObject {
    Q_OBJECT
public:
    explicit ResultGrid(int colCount = 1, QObject *parent = nullptr);

    int rowCount() const { return rows_; }
    int colCount() const { return cols_; }

    // Out of range reads as empty text and writes are ignored.
    const QString &cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);

    // Growing adds empty rows; shrinking drops the last rows. At least one row stays.
    void setRowCount(int n);
    void setColCount(int n);

    QStringList row(int r) const;
    void setRow(int r, const QStringList &cells);
    void clearRow(int r);
    // The emptied state: the header row and one empty row.
    void empty();

    QStringList headers() const { return row(0); }
    void setHeaders(const QStringList &headers) { setRow(0, headers); }

    // Rows from 1 onward whose first cell equals key, in ascending order. Backed by
    // a hash index that follows every change of the grid.
    const std::vector<int> &rowsWithKey(const QString &key) const;

    // The grid's content, to go back to with restore() when a load is cut short. Taking
    // it costs nothing: the cells are shared until the grid changes.
    struct State {
        int rows = 0;
        int cols = 0;
        QList<QString> cells;
    };
    State state() const { return {rows_, cols_, cells_}; }
    void restore(const State &state);

    // Reorders rows first .. first+order.size()-1: new row first+i is old row first+order[i].
    void permuteRows(int first, const std::vector<int> &order);

    // Groups changes so that views hear of them once, when the outermost batch ends.
    class Batch {
    public:
        explicit Batch(ResultGrid &grid);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        ResultGrid &grid_;
    };

Q_SIGNALS:
    // The grid changed (once per batch).
    void changed();

private:
    void touched();
    void indexRow(int r);
    void unindexRow(int r);

    int rows_ = 2;
    int cols_ = 1;
    QList<QString> cells_;
    int batchDepth_ = 0;
    bool dirty_ = false;
    mutable bool indexValid_ = false;
    mutable QHash<QString, std::vector<int>> keyIndex_;
};

} // namespace tavimond
