#pragma once

#include <QObject>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
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

    // Takes back what a load did when it is cut short. While it lives, the grid keeps
    // what its changes overwrite: the texts of cells in the rows it had, and its whole
    // content only when rows are dropped, reordered or columns change (as when a load
    // empties the grid first). Rows appended are simply dropped again, so taking back an
    // append costs the rows it wrote, never the grid's size.
    class Undo {
    public:
        explicit Undo(ResultGrid &grid);
        ~Undo();
        Undo(const Undo &) = delete;
        Undo &operator=(const Undo &) = delete;
        // The grid as it was when this began; what is kept is let go.
        void rollback();

    private:
        ResultGrid &grid_;
    };

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
    // Before a change the journal cannot follow cell by cell: the whole content is kept.
    void keepWhole();
    void indexRow(int r);
    void unindexRow(int r);

    int rows_ = 2;
    int cols_ = 1;
    QList<QString> cells_;
    int batchDepth_ = 0;
    bool dirty_ = false;
    mutable bool indexValid_ = false;
    mutable QHash<QString, std::vector<int>> keyIndex_;

    // What an Undo takes back: the rows and columns there were, the texts overwritten in
    // those rows (cell index, old text) in order, and the whole content once kept.
    struct Journal {
        int rows = 0;
        int cols = 0;
        std::vector<std::pair<qsizetype, QString>> overwritten;
        bool whole = false;
        int wholeRows = 0;
        int wholeCols = 0;
        QList<QString> wholeCells;
    };
    std::unique_ptr<Journal> journal_;
};

} // namespace tavimond
