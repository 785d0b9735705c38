// "Load/Filter" of the object browser over a dictionary of 1,000,000 objects: the
// statement, the simulated fetch of every row and the tree of the ticked kinds, shown
// and painted; and the memory it takes. Beside it the fetch alone, to show the share of
// the tree.
#include "bench_support.h"

#include "browsers/object_browser_screen.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/sim/dictionary/dictionary_model.h"
#include "db/sim/server.h"

#include <QFile>
#include <QPushButton>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <malloc.h>

using namespace tavimond;

using tavimond::bench::resetPeak;
using tavimond::bench::statusMegabytes;

namespace {

constexpr qint64 kObjects = 1000000;

struct Instance {
    Instance()
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        server.model().state<sim::DictionaryModel>().setObjectCount(kObjects);
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("system"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
    }
    Connection cnn;
    bench::BenchSettings settings;
};

Instance &instance()
{
    static Instance i;
    return i;
}

int children(const QTreeWidget &tree)
{
    int n = 0;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        n += tree.topLevelItem(i)->childCount();
    return n;
}

// The button pressed on the shown screen and the tree painted, the "Table" node opened.
// The first press finds an empty tree; a press again also clears the one before.
void loadFilter(benchmark::State &state, bool again)
{
    Instance &in = instance();
    ObjectBrowserScreen screen(ScreenContext{in.cnn, in.settings});
    screen.resize(1140, 700);
    screen.show();
    QCoreApplication::processEvents();
    auto *button = screen.findChild<QPushButton *>(QStringLiteral("Button141"));
    auto *tree = screen.findChild<QTreeWidget *>(QStringLiteral("objtree"));
    auto press = [&] {
        button->click();
        tree->topLevelItem(0)->setExpanded(true);
        screen.repaint();
        QCoreApplication::processEvents();
    };
    if (again)
        press();
    // What earlier repetitions freed goes back first: the memory before the press is the
    // dictionary's, the shown screen's (and, pressed again, its first tree's).
    malloc_trim(0);
    const double before = statusMegabytes("VmRSS:");
    resetPeak();
    for (auto _ : state)
        press();
    if (!bench::quietSink().errors.isEmpty())
        state.SkipWithError(bench::quietSink().errors.join(QLatin1Char('\n')).toUtf8().constData());
    state.counters["objects"] = double(kObjects);
    state.counters["nodes"] = children(*tree);
    state.counters["rss_before_MB"] = before;
    state.counters["peak_MB"] = statusMegabytes("VmHWM:");
    state.counters["taken_MB"] = statusMegabytes("VmHWM:") - before;
}

void LoadFilterFirst(benchmark::State &state)
{
    loadFilter(state, false);
}
BENCHMARK(LoadFilterFirst)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

void LoadFilterAgain(benchmark::State &state)
{
    loadFilter(state, true);
}
BENCHMARK(LoadFilterAgain)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

// The same statement fetched row by row without a tree.
void FetchOnly(benchmark::State &state)
{
    Instance &in = instance();
    Query q(in.cnn);
    q.setSql({QStringLiteral("select object_type,owner,object_name from dba_objects where "),
              QStringLiteral("upper(owner) like '%'"), QStringLiteral(" and upper(object_name) like '%'"),
              QStringLiteral("order by 1,2,3")});
    qint64 rows = 0;
    for (auto _ : state) {
        q.open();
        for (; !q.eof(); q.next()) {
            benchmark::DoNotOptimize(q.field(0));
            ++rows;
        }
        q.close();
    }
    state.counters["rows"] = double(rows) / double(state.iterations());
}
BENCHMARK(FetchOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
