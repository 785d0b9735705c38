#include "segment_tree.h"

#include "core/result_grid.h"

#include <QHash>
#include <QTreeWidget>

namespace tavimond {
namespace {

// One top node and the nodes below it by key: owner, then name, then partition. Rows
// mostly come in their order, so the object and partition of the previous row are
// tried first.
class KindBranch {
public:
    explicit KindBranch(const QString &kind) : top_(new QTreeWidgetItem(QStringList{kind})) {}

    QTreeWidgetItem *top() const { return top_; }

    QTreeWidgetItem *object(const QString &owner, const QString &name) { return entry(owner, name).node; }

    QTreeWidgetItem *partition(const QString &owner, const QString &name, const QString &partition)
    {
        Entry &object = entry(owner, name);
        if (lastPartition_ && &object == last_ && partition == lastPartitionName_)
            return lastPartition_;
        QTreeWidgetItem *&node = object.partitions[partition];
        if (!node)
            node = append(object.node, partition);
        lastPartition_ = node;
        lastPartitionName_ = partition;
        return node;
    }

    static QTreeWidgetItem *append(QTreeWidgetItem *parent, const QString &text)
    {
        auto *node = new QTreeWidgetItem(QStringList{text});
        parent->addChild(node);
        return node;
    }

private:
    struct Entry {
        QTreeWidgetItem *node = nullptr;
        QHash<QString, QTreeWidgetItem *> partitions;
    };

    Entry &entry(const QString &owner, const QString &name)
    {
        if (last_ && name == lastName_ && owner == lastOwner_)
            return *last_;
        // Owner and name apart, so that a dot inside either cannot make two keys one.
        Entry &e = objects_[owner][name];
        if (!e.node)
            e.node = append(top_, owner + QLatin1Char('.') + name);
        // An insertion may move the entries: the one remembered is always the latest.
        last_ = &e;
        lastOwner_ = owner;
        lastName_ = name;
        lastPartition_ = nullptr;
        return e;
    }

    QTreeWidgetItem *top_;
    QHash<QString, QHash<QString, Entry>> objects_;
    Entry *last_ = nullptr;
    QString lastOwner_, lastName_;
    QTreeWidgetItem *lastPartition_ = nullptr;
    QString lastPartitionName_;
};

} // namespace

void fillSegmentTree(QTreeWidget &tree, const ResultGrid &rows)
{
    tree.clear();
    KindBranch index(QStringLiteral("INDEX"));
    KindBranch table(QStringLiteral("TABLE"));
    // Built apart from the widget and handed to it whole: one change for the view to take
    // in instead of one per node.
    for (int r = 1; r < rows.rowCount(); ++r) {
        const QString &code = rows.cell(0, r);
        if (code.size() != 1)
            continue;
        const char c = code.at(0).toLatin1();
        if (c < '1' || c > '6')
            continue;
        KindBranch &kind = c <= '3' ? table : index;
        const QString &owner = rows.cell(1, r);
        const QString &name = rows.cell(2, r);
        switch ((c - '1') % 3) {
        case 0:
            kind.object(owner, name);
            break;
        case 1:
            kind.partition(owner, name, rows.cell(3, r));
            break;
        case 2:
            KindBranch::append(kind.partition(owner, name, rows.cell(3, r)), rows.cell(4, r));
            break;
        }
    }
    tree.addTopLevelItems({index.top(), table.top()});
}

std::optional<SegmentNode> segmentOfNode(const QTreeWidgetItem *node)
{
    if (!node)
        return std::nullopt;
    std::vector<const QTreeWidgetItem *> path; // from the top node down to this one
    for (const QTreeWidgetItem *n = node; n; n = n->parent())
        path.insert(path.begin(), n);
    if (path.size() < 2 || path.size() > 4)
        return std::nullopt;
    SegmentNode s;
    s.level = int(path.size()) - 1;
    s.kind = path[0]->text(0);
    if (s.level == 2)
        s.kind += QStringLiteral(" PARTITION");
    else if (s.level == 3)
        s.kind += QStringLiteral(" SUBPARTITION");
    const QString object = path[1]->text(0);
    const qsizetype dot = object.indexOf(QLatin1Char('.'));
    s.owner = dot < 0 ? QString() : object.left(dot);
    s.name = object.mid(dot + 1);
    if (s.level > 1)
        s.partition = node->text(0);
    return s;
}

} // namespace tavimond
