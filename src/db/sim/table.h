#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace tavimond::sim {

// The rows a recogniser answers with: column names and the cells row by row.
// NULL is the empty text, as the system reads it.
struct Table {
    QStringList columns;
    QList<QString> cells;

    Table() = default;
    explicit Table(QStringList names) : columns(std::move(names)) {}

    qsizetype rowCount() const { return columns.isEmpty() ? 0 : cells.size() / columns.size(); }
    // Adds a row; missing cells are NULL and extra ones are dropped.
    void addRow(const QStringList &values);
    const QString &cell(qsizetype row, qsizetype column) const { return cells.at(row * columns.size() + column); }
};

using Result = std::shared_ptr<const Table>;

} // namespace tavimond::sim
