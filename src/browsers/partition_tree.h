#pragma once

#include "detail_edits.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace tavimond {

class ResultGrid;

// A grid of partition rows, column 1 the partition's name and column 2 a single blank
// on a partition's own row or the subpartition's name, as a tree: a row whose partition
// differs from the row before it (the first row compares with empty text) makes a top
// node named after the partition; any other row a child named after its subpartition.
// A child with no top node before it becomes a top node itself.
void buildPartitionTree(QTreeWidget &tree, const ResultGrid &grid);

// Copies into the edits every grid row that the node stands for: a top node the row of
// its partition (subpartition " "), a child the row of its subpartition. False when
// no row matches; the edits then keep what they show.
bool copyPartitionRows(const QTreeWidgetItem &node, const ResultGrid &grid, const DetailEditSet &edits,
                       DetailEdits table);

// Puts the grid's records (a spare row at the end stays last) in the order of their
// first `columns` columns, as "order by 1,2,3" would; equal rows keep their order.
void sortRowsByFirstColumns(ResultGrid &grid, int columns);

} // namespace tavimond
