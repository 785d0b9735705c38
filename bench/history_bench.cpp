// The SQL topology report over a large repository (20,000 statements): the retrieve of a
// day into the grid, shown and painted, and a sort by each kind of column; beside the
// literal bubble sort of the same rows.
#include "literal.h"

#include "core/messages.h"
#include "bench_support.h"
#include "db/connection.h"
#include "db/sim/repository/repository.h"
#include "db/sim/server.h"
#include "history/sql_topology_screen.h"
#include "ui/grid_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

using bench::BenchSettings;


// The screen logged on to a repository of `statements` statements, a day and a half into
// the clock, shown.
struct TopologyScreen {
    explicit TopologyScreen(int statements)
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        server.model().state<sim::RepositoryShape>().statements = statements;
        server.model().advance(36 * 3600);
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<SqlTopologyScreen>(ScreenContext{cnn, settings});
        for (const GridHeaders &g : screen->gridHeaders())
            grid().setHeaders(g.headers);
        screen->resize(1142, 698);
        screen->show();
        QApplication::processEvents();
    }
    ResultGrid &grid() { return *screen->findChild<GridView *>(QStringLiteral("SQL_top_Grid"))->grid(); }
    void click(const char *name)
    {
        screen->findChild<QAbstractButton *>(QLatin1String(name))->click();
        QApplication::processEvents(); // shown and painted
    }
    BenchSettings settings;
    Connection cnn;
    std::unique_ptr<SqlTopologyScreen> screen;
};

void Retrieve(benchmark::State &state)
{
    TopologyScreen t(int(state.range(0)));
    for (auto _ : state)
        t.click("Button13");
    state.counters["rows"] = t.grid().rowCount() - 1;
    if (!bench::quietSink().errors.isEmpty())
        state.SkipWithError(bench::quietSink().errors.first().toUtf8().constData());
}
BENCHMARK(Retrieve)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A click on the radio over a column, the grid first put back in key order (not timed).
void SortByRadio(benchmark::State &state)
{
    static const char *const kRadios[] = {"RadioButton9", "RadioButton10", "RadioButton11", "RadioButton14",
                                          "RadioButton17"};
    TopologyScreen t(int(state.range(0)));
    t.click("Button13");
    const char *radio = kRadios[state.range(1)];
    for (auto _ : state) {
        state.PauseTiming();
        // From an order that is not the column's: the key order, or the elapsed order for the key.
        t.click(state.range(1) == 0 ? "RadioButton11" : "RadioButton9");
        state.ResumeTiming();
        t.click(radio);
    }
    state.SetLabel(radio);
    state.counters["rows"] = t.grid().rowCount() - 1;
}
BENCHMARK(SortByRadio)
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->Args({20000, 2})
    ->Args({20000, 3})
    ->Args({20000, 4})
    ->Args({5000, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The literal bubble sort of the same rows by elapsed time; at 5,000 rows, as at 20,000 it
// runs for minutes.
void SortLiteral(benchmark::State &state)
{
    TopologyScreen t(int(state.range(0)));
    t.click("Button13");
    ResultGrid &g = t.grid();
    const QList<QStringList> rows = [&] {
        QList<QStringList> out;
        for (int r = 1; r < g.rowCount(); ++r)
            out << g.row(r);
        return out;
    }();
    ResultGrid copy(g.colCount());
    for (auto _ : state) {
        state.PauseTiming();
        copy.setRowCount(int(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < copy.colCount(); ++c)
                copy.setCell(c, r + 1, rows[r][c]);
        state.ResumeTiming();
        literal::literalBubbleSort(copy, 2, 1);
    }
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(SortLiteral)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
