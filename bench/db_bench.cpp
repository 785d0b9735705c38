// Fetching a large result through Query from the simulated instance, beside a plain
// loop over the same cells in memory.
#include "db/connection.h"
#include "db/query.h"
#include "db/sim/server.h"

#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

constexpr int kColumns = 10;

sim::Result bigTable(qsizetype rows)
{
    QStringList names;
    for (int c = 0; c < kColumns; ++c)
        names << QStringLiteral("COL%1").arg(c);
    auto t = std::make_shared<sim::Table>(names);
    t->cells.reserve(rows * kColumns);
    for (qsizetype r = 0; r < rows; ++r)
        for (int c = 0; c < kColumns; ++c)
            t->cells.append(QString::number(r * kColumns + c));
    return t;
}

const sim::Result &table(qsizetype rows)
{
    static sim::Result t;
    if (!t || t->rowCount() != rows)
        t = bigTable(rows);
    return t;
}

void FetchThroughQuery(benchmark::State &state)
{
    const qsizetype rows = state.range(0);
    sim::Result data = table(rows);
    sim::Server &server = sim::Server::instance();
    server.reset(1, sim::ClockMode::Manual);
    server.add({QStringLiteral("bench"),
                [](const sim::Statement &s) { return s.has(QStringLiteral("from bench_rows")); },
                [data](const sim::Statement &, sim::Context &) { return data; }});
    Connection cnn;
    cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                             Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
    Query q(cnn);
    q.setSql({QStringLiteral("select * from bench_rows")});
    for (auto _ : state) {
        qsizetype chars = 0;
        q.open();
        for (; !q.eof(); q.next())
            for (int c = 0; c < kColumns; ++c)
                chars += q.field(c).size();
        q.close();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void PlainLoopInMemory(benchmark::State &state)
{
    const qsizetype rows = state.range(0);
    const sim::Table &data = *table(rows);
    for (auto _ : state) {
        qsizetype chars = 0;
        for (qsizetype r = 0; r < rows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                QString v = data.cell(r, c);
                chars += v.size();
            }
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(FetchThroughQuery)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoopInMemory)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
