#pragma once

#include <QHash>
#include <QString>
#include <span>

class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tavimond {

class Query;
class ResultGrid;

// One labelled read-only edit of a browser's detail page and where its text comes
// from: a column of a query by name, or a field or grid column by position. A memo
// added to the set may stand in a table too: a copy adds the text to it as a line.
struct DetailEdit {
    const char *edit; // component name
    const char *label;
    const char *tab;   // caption of the page's tab it sits on; nullptr: laid out elsewhere
    const char *field; // column name, or nullptr when filled by position
    int column;        // field or grid column (from 0), or -1 when filled by name
};
using DetailEdits = std::span<const DetailEdit>;

// The edits of a browser screen, made from tables of DetailEdit; the same tables copy
// records into them, so that each mapping lives in one place.
class DetailEditSet {
public:
    // Adds the edits of `table` that sit on tab `tab` to `grid` from row `firstRow` on,
    // `pairsPerRow` label-and-edit pairs a row. Returns the row after the last one used.
    int layOut(QGridLayout *grid, int firstRow, DetailEdits table, const QString &tab, int pairsPerRow,
               QWidget *parent);
    // Makes one edit with its label at (row, column pair) of the grid, spanning `span` pairs.
    QLineEdit *add(QGridLayout *grid, int row, int pair, const DetailEdit &e, QWidget *parent, int span = 1);

    // A memo that tables may name.
    void addMemo(QPlainTextEdit *memo);

    QLineEdit *edit(const QString &name) const;
    QString text(const char *name) const;
    void setText(const char *name, const QString &text) const;

    void clear(DetailEdits table) const;
    // From the query's current record (every field reads empty when it has none). By
    // name, a column the query lacks raises "Field '<name>' not found" and leaves the
    // edits before it filled.
    void copyByName(const Query &query, DetailEdits table) const;
    void copyByPosition(const Query &query, DetailEdits table) const;
    void copyGridRow(const ResultGrid &grid, int row, DetailEdits table) const;

private:
    QHash<QString, QLineEdit *> edits_;
    QHash<QString, QPlainTextEdit *> memos_;
};

} // namespace tavimond
