// The data core's hot routines, each beside the plain literal algorithm on the same data.
#include "core/chart.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/messages.h"
#include "core/result_grid.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/sim/server.h"
#include "literal.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

class QuietSink : public MessageSink {
public:
    void error(const QString &) override {}
    void info(const QString &) override {}
} quiet;

// Answers "select * from bench_<name>" with tables the benchmark sets.
struct Bench {
    Bench()
    {
        setMessageSink(&quiet);
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        server.add({QStringLiteral("bench"),
                    [](const sim::Statement &s) { return s.has(QStringLiteral("from bench")); },
                    [this](const sim::Statement &, sim::Context &) { return next(); }});
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        query.setSql({QStringLiteral("select * from bench")});
    }
    sim::Result next()
    {
        sim::Result r = tables.at(cursor);
        cursor = (cursor + 1) % tables.size();
        return r;
    }
    Query &open()
    {
        query.open();
        return query;
    }
    std::vector<sim::Result> tables;
    size_t cursor = 0;
    Connection cnn;
    Query query{cnn};
};

sim::Result wideTable(qsizetype rows, int cols)
{
    QStringList names;
    for (int c = 0; c < cols; ++c)
        names << QStringLiteral("C%1").arg(c);
    auto t = std::make_shared<sim::Table>(names);
    t->cells.reserve(rows * cols);
    for (qsizetype r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            t->cells.append(QString::number(r * cols + c));
    return t;
}

// Sample s of a tally: key i's counter grows by (i % 97) per sample.
sim::Result tallySample(int keys, int s)
{
    auto t = std::make_shared<sim::Table>(QStringList{QStringLiteral("KEY"), QStringLiteral("VALUE")});
    t->cells.reserve(qsizetype(keys) * 2);
    for (int i = 0; i < keys; ++i) {
        t->cells.append(QStringLiteral("%1:event number %2").arg(1 + i % 2).arg(i));
        t->cells.append(QString::number(qint64(i) * 1000 + qint64(s) * (i % 97)));
    }
    return t;
}

void loadDump(Query &q, ResultGrid &g)
{
    LoadQueryIntoGrid(q, g, {}, nullptr, nullptr, true, QStringLiteral("Dump"), QStringLiteral("None"), false,
                      QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
}

void loadTally(Query &q, ResultGrid &g, Chart &c)
{
    LoadQueryIntoGrid(q, g, {}, &c, nullptr, false, QStringLiteral("Tally"), QStringLiteral("All"), false,
                      QStringLiteral("--null--"), QStringLiteral("LeftAxis"), QStringLiteral("08:00:00"), 100);
}

void fillRandom(ResultGrid &g, int rows)
{
    g.setColCount(6);
    g.setRowCount(rows + 1);
    QRandomGenerator rng(3);
    for (int r = 1; r <= rows; ++r) {
        g.setCell(0, r, QStringLiteral("1:key %1").arg(r));
        g.setCell(2, r, QString::number(qint64(rng.bounded(2000000)) - 1000000));
    }
}

// --- Dump: one million rows of ten columns.
using literal::literalBubbleSort;
using literal::literalTally;

void DumpLoad(benchmark::State &state)
{
    Bench b;
    b.tables = {wideTable(state.range(0), 10)};
    for (auto _ : state) {
        ResultGrid g(10);
        loadDump(b.open(), g);
        benchmark::DoNotOptimize(g.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DumpLoad)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The floor: the same rows copied into a list of rows by hand, the list made big
// enough beforehand.
void DumpPlainCopy(benchmark::State &state)
{
    Bench b;
    b.tables = {wideTable(state.range(0), 10)};
    for (auto _ : state) {
        std::vector<QStringList> rows;
        rows.reserve(size_t(state.range(0)));
        Query &q = b.open();
        for (; !q.eof(); q.next()) {
            QStringList r;
            for (int c = 0; c < 10; ++c)
                r << q.field(c);
            rows.push_back(std::move(r));
        }
        benchmark::DoNotOptimize(rows.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DumpPlainCopy)->Arg(1000000)->Unit(benchmark::kMillisecond);

// --- Tally: ten thousand keys, a series per key; time per sample over a hundred samples.
void TallySample(benchmark::State &state)
{
    const int keys = int(state.range(0));
    Bench b;
    for (int s = 0; s < 100; ++s)
        b.tables.push_back(tallySample(keys, s));
    ResultGrid g(6);
    Chart c;
    for (auto _ : state) {
        if (b.cursor == 0) { // a fresh run of a hundred samples
            state.PauseTiming();
            g.empty();
            c.removeAllSeries();
            state.ResumeTiming();
        }
        loadTally(b.open(), g, c);
        if (state.range(1))
            SortGridNumericDesc(g, 2, 1);
    }
    state.SetItemsProcessed(state.iterations() * keys);
}
// Second argument: 1 when the tick's sort by Delta is included.
BENCHMARK(TallySample)->Args({10000, 0})->Args({10000, 1})->Iterations(100)->Unit(benchmark::kMillisecond);

// A plain Dump of the same ten thousand rows, for the ratio.
void TallyRowsAsDump(benchmark::State &state)
{
    Bench b;
    for (int s = 0; s < 10; ++s)
        b.tables.push_back(tallySample(int(state.range(0)), s));
    ResultGrid g(6);
    for (auto _ : state)
        loadDump(b.open(), g);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(TallyRowsAsDump)->Arg(10000)->Unit(benchmark::kMillisecond);

void TallySampleLiteral(benchmark::State &state)
{
    const int keys = int(state.range(0));
    Bench b;
    for (int s = 0; s < 100; ++s)
        b.tables.push_back(tallySample(keys, s));
    ResultGrid g(6);
    Chart c;
    literalTally(b.open(), g, c); // the first sample builds the rows
    for (auto _ : state)
        literalTally(b.open(), g, c);
    state.SetItemsProcessed(state.iterations() * keys);
}
BENCHMARK(TallySampleLiteral)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

// --- Numeric sort: ours, and the literal bubble sort (argument 1).
void SortNumeric(benchmark::State &state)
{
    ResultGrid g;
    for (auto _ : state) {
        state.PauseTiming();
        fillRandom(g, int(state.range(0)));
        state.ResumeTiming();
        if (state.range(1))
            literalBubbleSort(g, 2, 1);
        else
            SortGridNumericDesc(g, 2, 1);
    }
}
BENCHMARK(SortNumeric)->Args({10000, 0})->Args({1000000, 0})->Unit(benchmark::kMillisecond);
BENCHMARK(SortNumeric)->Args({10000, 1})->Iterations(1)->Unit(benchmark::kMillisecond);

// --- Export of a million rows: ours, and (argument 1) the literal export, a line
// built cell by cell and written at once, unquoted.
void literalExport(const ResultGrid &g, const QString &name)
{
    QFile f(name);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int r = 0; r < g.rowCount(); ++r) {
        QString line = g.cell(0, r);
        for (int c = 1; c < g.colCount(); ++c)
            line = line + QStringLiteral(",") + g.cell(c, r);
        f.write((line + QStringLiteral("\r\n")).toUtf8());
    }
}

void Export(benchmark::State &state)
{
    Bench b;
    b.tables = {wideTable(state.range(0), 10)};
    ResultGrid g(10);
    loadDump(b.open(), g);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("out.csv"));
    for (auto _ : state) {
        if (state.range(1))
            literalExport(g, name);
        else
            ExportGridToCsv(g, name, QStringLiteral(","));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Export)->Args({1000000, 0})->Args({1000000, 1})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
