#pragma once

#include "real_time_part.h"

#include <QWidget>
#include <memory>

class QPlainTextEdit;

namespace tavimond {

class Query;
class ResultGrid;

// "Locks": the instance's locks and blocked sessions.
class LocksTab : public QWidget {
    Q_OBJECT
public:
    explicit LocksTab(const PartContext &context);
    ~LocksTab() override;

    QList<GridHeaders> gridHeaders() const;

    // Acquire: the lock script into the locks grid, the blocking script into the other.
    void Button99Click();

private:
    void load(const QPlainTextEdit &script, ResultGrid &grid);

    PartContext context_;
    std::unique_ptr<Query> sqltextquery;
    ResultGrid *lockgrid;
    ResultGrid *blockinggrid;
    QPlainTextEdit *locksql = nullptr;
    QPlainTextEdit *blocksql = nullptr;
};

} // namespace tavimond
