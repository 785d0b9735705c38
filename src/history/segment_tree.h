#pragma once

#include <QString>
#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

namespace tavimond {

class ResultGrid;

// Fills the segment tree from the rows of the segment list (column 0 the level code,
// 1 the owner, 2 the table or index name, 3 the partition, 4 the subpartition): the top
// nodes "INDEX" and "TABLE", under them one node "owner.name" per object, under that one
// node per partition and under that one per subpartition, children in row order.
//
// Nodes are found by their keys (kind, owner and name; and partition), never by where
// they stand in the tree, so every row lands under its own parents whatever the rows'
// order; a parent whose own row has not come yet is made when its first child comes, and
// its row later finds it. The tree is emptied first; its nodes are created collapsed.
void fillSegmentTree(QTreeWidget &tree, const ResultGrid &rows);

// What a node of the tree stands for: kind ("TABLE", "INDEX PARTITION", "TABLE
// SUBPARTITION" ...), owner, name and, below an object, the partition's or
// subpartition's name.
struct SegmentNode {
    int level = 1; // 1 an object, 2 a partition, 3 a subpartition
    QString kind;
    QString owner;
    QString name;
    QString partition;
};

// The segment a node of the tree stands for; nothing for no node or a top node.
std::optional<SegmentNode> segmentOfNode(const QTreeWidgetItem *node);

} // namespace tavimond
