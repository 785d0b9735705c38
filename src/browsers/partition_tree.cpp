#include "partition_tree.h"

#include "core/result_grid.h"

#include <QTreeWidget>
#include <algorithm>
#include <numeric>

namespace tavimond {

void buildPartitionTree(QTreeWidget &tree, const ResultGrid &grid)
{
    tree.clear();
    QString previous;
    QTreeWidgetItem *top = nullptr;
    for (int r = 1; r < grid.rowCount(); ++r) {
        const QString &partition = grid.cell(1, r);
        if (partition != previous) {
            top = new QTreeWidgetItem(QStringList{partition});
            tree.addTopLevelItem(top);
        } else if (!top) {
            // Nothing to hang it under (an empty grid's one row): it stands at the top.
            tree.addTopLevelItem(new QTreeWidgetItem(QStringList{grid.cell(2, r)}));
        } else {
            top->addChild(new QTreeWidgetItem(QStringList{grid.cell(2, r)}));
        }
        previous = partition;
    }
}

bool copyPartitionRows(const QTreeWidgetItem &node, const ResultGrid &grid, const DetailEditSet &edits,
                       DetailEdits table)
{
    const QTreeWidgetItem *parent = node.parent();
    const QString partition = parent ? parent->text(0) : node.text(0);
    const QString subpartition = parent ? node.text(0) : QStringLiteral(" ");
    bool matched = false;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (grid.cell(1, r) == partition && grid.cell(2, r) == subpartition) {
            edits.copyGridRow(grid, r, table);
            matched = true;
        }
    }
    return matched;
}

void sortRowsByFirstColumns(ResultGrid &grid, int columns)
{
    // The rows of records; a spare row at the end stays there.
    int end = grid.rowCount();
    if (end > 1 && grid.row(end - 1).join(QString()).isEmpty())
        --end;
    if (end - 1 < 2)
        return;
    std::vector<int> order(size_t(end - 1));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int c = 0; c < columns; ++c) {
            const int cmp = QString::compare(grid.cell(c, a + 1), grid.cell(c, b + 1), Qt::CaseSensitive);
            if (cmp != 0)
                return cmp < 0;
        }
        return false;
    });
    if (!std::is_sorted(order.begin(), order.end()))
        grid.permuteRows(1, order);
}

} // namespace tavimond
