// The segment tree of a large warehouse dictionary (500,000 tables, indexes, partitions
// and subpartitions): the whole "Retrieve" (rows read into the hidden grid, the tree
// built, shown and painted), and the tree alone from the grid, built by keys beside the
// literal search of each new node by its position in the tree.
#include "bench_support.h"

#include "core/result_grid.h"
#include "db/connection.h"
#include "db/sim/server.h"
#include "history/segment_stats_screen.h"
#include "history/segment_tree.h"
#include "ui/grid_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

using bench::BenchSettings;
using bench::quietSink;

// The list's rows, ordered as the statement orders them (kind, owner, name, partition,
// subpartition): twenty schemas, each with dimension tables and their keys, and fact
// tables of monthly partitions, every fourth one subpartitioned by region, with two
// local indexes each; cut at `count` rows.
sim::Result warehouseRows(int count)
{
    auto table = std::make_shared<sim::Table>(
        QStringList{QStringLiteral("L"), QStringLiteral("O"), QStringLiteral("N"), QStringLiteral("P"),
                    QStringLiteral("S"), QStringLiteral("K")});
    table->cells.reserve(qsizetype(count) * 6);
    const QString blank = QStringLiteral(" ");
    auto add = [&](const char *code, const QString &owner, const QString &name, const QString &partition,
                   const QString &sub, const QString &kind) {
        if (table->rowCount() < count)
            table->cells << QString::fromLatin1(code) << owner << name << partition << sub << kind;
    };
    constexpr int kSchemas = 20, kDimensions = 150, kFacts = 40, kMonths = 120;
    const QStringList regions{QStringLiteral("AMER"), QStringLiteral("APAC"), QStringLiteral("EMEA"),
                              QStringLiteral("OTHER")};
    for (const QString &kind : {QStringLiteral("INDEX"), QStringLiteral("TABLE")}) {
        const bool index = kind == QLatin1String("INDEX");
        for (int s = 1; s <= kSchemas; ++s) {
            const QString owner = QStringLiteral("DW%1").arg(s, 2, 10, QLatin1Char('0'));
            QStringList names;
            for (int d = 0; d < kDimensions; ++d)
                names << QStringLiteral("DIM_%1%2").arg(d, 4, 10, QLatin1Char('0')).arg(index ? "_PK" : "");
            const QStringList factSuffixes = index ? QStringList{QStringLiteral("_BIX"), QStringLiteral("_DATE_IX")}
                                                   : QStringList{QString()};
            for (int f = 0; f < kFacts; ++f)
                for (const QString &suffix : factSuffixes)
                    names << QStringLiteral("FACT_%1").arg(f, 4, 10, QLatin1Char('0')) + suffix;
            names.sort();
            for (const QString &name : std::as_const(names)) {
                add(index ? "4" : "1", owner, name, blank, blank, kind);
                if (!name.startsWith(QLatin1String("FACT_")))
                    continue;
                const bool composite = name.mid(5, 4).toInt() % 4 == 0;
                for (int m = 0; m < kMonths; ++m) {
                    const QString partition = QStringLiteral("P%1_%2")
                                                  .arg(2017 + m / 12)
                                                  .arg(m % 12 + 1, 2, 10, QLatin1Char('0'));
                    add(index ? "5" : "2", owner, name, partition, blank, kind);
                    if (composite)
                        for (const QString &region : regions)
                            add(index ? "6" : "3", owner, name, partition, partition + QLatin1Char('_') + region,
                                kind);
                }
            }
        }
    }
    return table;
}

// The screen logged on to an instance whose dictionary lists `rows` rows, shown.
struct SegmentScreen {
    explicit SegmentScreen(int rows) : answer(warehouseRows(rows))
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        server.add({QStringLiteral("a warehouse's dictionary"),
                    [](const sim::Statement &s) { return s.has(QStringLiteral("dba_ind_subpartitions dtp")); },
                    [this](const sim::Statement &, sim::Context &) { return answer; }});
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<SegmentStatsScreen>(ScreenContext{cnn, settings});
        screen->resize(1142, 698);
        screen->show();
        QApplication::processEvents();
    }
    void retrieve()
    {
        screen->findChild<QAbstractButton *>(QStringLiteral("Button83"))->click();
        QApplication::processEvents(); // shown and painted
    }
    ResultGrid &grid() { return *screen->findChild<GridView *>(QStringLiteral("seggrid"))->grid(); }
    QTreeWidget &tree() { return *screen->findChild<QTreeWidget *>(QStringLiteral("segtree")); }

    sim::Result answer;
    BenchSettings settings;
    Connection cnn;
    std::unique_ptr<SegmentStatsScreen> screen;
};

int countNodes(const QTreeWidgetItem *node)
{
    int n = 1;
    for (int c = 0; c < node->childCount(); ++c)
        n += countNodes(node->child(c));
    return n;
}

// The literal build: each new index, index partition, table or table partition node is
// found again as the node at absolute position r (indexes) or r + 1 (tables) of the
// tree counted top-down from "INDEX", walking the nodes one by one from the top.
void literalSegmentTree(QTreeWidget &tree, const ResultGrid &rows)
{
    tree.clear();
    auto *index = new QTreeWidgetItem(QStringList{QStringLiteral("INDEX")});
    auto *table = new QTreeWidgetItem(QStringList{QStringLiteral("TABLE")});
    const QTreeWidgetItem *tops[] = {index, table};
    auto nodeAt = [&](int position) -> QTreeWidgetItem * {
        // Top-down: a node, then its children, then its next sibling.
        std::vector<std::pair<const QTreeWidgetItem *, int>> path; // node, index among its siblings
        int top = 0;
        const QTreeWidgetItem *node = tops[0];
        for (int p = 0; p < position && node; ++p) {
            if (node->childCount() > 0) {
                path.emplace_back(node, 0);
                node = node->child(0);
                continue;
            }
            node = nullptr;
            while (!path.empty() && !node) {
                auto &[parent, i] = path.back();
                if (++i < parent->childCount())
                    node = parent->child(i);
                else
                    path.pop_back();
            }
            if (!node && ++top < 2)
                node = tops[top];
        }
        return const_cast<QTreeWidgetItem *>(node);
    };
    QTreeWidgetItem *currentIndex = nullptr, *currentIndexPartition = nullptr;
    QTreeWidgetItem *currentTable = nullptr, *currentTablePartition = nullptr;
    auto append = [](QTreeWidgetItem *parent, const QString &text) {
        parent->addChild(new QTreeWidgetItem(QStringList{text}));
    };
    for (int r = 1; r < rows.rowCount(); ++r) {
        const QString &code = rows.cell(0, r);
        const QString object = rows.cell(1, r) + QLatin1Char('.') + rows.cell(2, r);
        if (code == QLatin1String("4")) {
            append(index, object);
            currentIndex = nodeAt(r);
        } else if (code == QLatin1String("5")) {
            append(currentIndex, rows.cell(3, r));
            currentIndexPartition = nodeAt(r);
        } else if (code == QLatin1String("6")) {
            append(currentIndexPartition, rows.cell(4, r));
        } else if (code == QLatin1String("1")) {
            append(table, object);
            currentTable = nodeAt(r + 1);
        } else if (code == QLatin1String("2")) {
            append(currentTable, rows.cell(3, r));
            currentTablePartition = nodeAt(r + 1);
        } else if (code == QLatin1String("3")) {
            append(currentTablePartition, rows.cell(4, r));
        }
    }
    tree.addTopLevelItems({index, table});
}

// What the user waits for: the click, the rows read into the grid, the tree built,
// shown and painted.
void Retrieve(benchmark::State &state)
{
    SegmentScreen s(int(state.range(0)));
    for (auto _ : state)
        s.retrieve();
    state.counters["rows"] = s.grid().rowCount() - 1;
    state.counters["nodes"] = countNodes(s.tree().topLevelItem(0)) + countNodes(s.tree().topLevelItem(1));
    if (!quietSink().errors.isEmpty())
        state.SkipWithError(quietSink().errors.first().toUtf8().constData());
}
BENCHMARK(Retrieve)->Arg(500000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The tree alone from the loaded grid, by keys or by position.
template <void (*Build)(QTreeWidget &, const ResultGrid &)>
void Tree(benchmark::State &state)
{
    SegmentScreen s(int(state.range(0)));
    s.retrieve();
    for (auto _ : state) {
        Build(s.tree(), s.grid());
        QApplication::processEvents();
    }
    state.counters["rows"] = s.grid().rowCount() - 1;
}
void TreeByKeys(benchmark::State &state)
{
    Tree<fillSegmentTree>(state);
}
void TreeByPosition(benchmark::State &state)
{
    Tree<literalSegmentTree>(state);
}
BENCHMARK(TreeByKeys)->Arg(10000)->Arg(40000)->Arg(500000)->Unit(benchmark::kMillisecond)->Iterations(3);
// Each node is sought from the top: at 500,000 rows that is some 10^11 steps, hours.
BENCHMARK(TreeByPosition)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
