// One tick of the instance wait-event sampling with a long history, beside the literal
// merge, bubble sort and list scan on the same data.
#include "literal.h"

#include "core/messages.h"
#include "core/settings.h"
#include "db/connection.h"
#include "db/sim/server.h"
#include "live/wait_events_screen.h"
#include "ui/display_hide_lists.h"

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

constexpr int kKeysPerInstance = 2000;
constexpr int kHistoryTicks = 1000;

class BenchSettings : public Settings {
public:
    QString metafileFolder() const override { return QStringLiteral("/tmp"); }
    QString serviceName() const override { return QStringLiteral("TAVIDB"); }
    QString csvFileName() const override { return QStringLiteral("csvexport.csv"); }
    QString csvDelimiter() const override { return QStringLiteral(","); }
};

// The wait counters of 2 x 2,000 events at tick t.
sim::Result sample(int t)
{
    static QStringList keys;
    if (keys.isEmpty())
        for (int inst = 1; inst <= 2; ++inst)
            for (int k = 0; k < kKeysPerInstance; ++k)
                keys << QStringLiteral("%1:wait event number %2").arg(inst).arg(k);
    auto table = std::make_shared<sim::Table>(QStringList{QStringLiteral("KEY"), QStringLiteral("VALUE")});
    table->cells.reserve(keys.size() * 2);
    for (int k = 0; k < keys.size(); ++k) {
        table->cells.append(keys.at(k));
        table->cells.append(QString::number(qint64(k) * 100000 + qint64(t) * (1 + (k * 7919) % 613)));
    }
    return table;
}

struct LiveBench {
    LiveBench()
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        server.add({QStringLiteral("bench waits"),
                    [](const sim::Statement &s) { return s.has(QStringLiteral("from bench_waits")); },
                    [this](const sim::Statement &, sim::Context &) { return next; }});
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<WaitEventsScreen>(ScreenContext{cnn, settings});
        for (const char *memo : {"waits_sql", "waits_sql_time"})
            screen->findChild<QPlainTextEdit *>(QLatin1String(memo))
                ->setPlainText(QStringLiteral("select * from bench_waits"));
        for (tick = 0; tick < kHistoryTicks; ++tick) {
            next = sample(tick);
            screen->sampleWaitEvents();
        }
    }
    BenchSettings settings;
    Connection cnn;
    std::unique_ptr<WaitEventsScreen> screen;
    sim::Result next;
    int tick = 0;
};

LiveBench &live()
{
    static LiveBench b;
    return b;
}

void WaitEventTick(benchmark::State &state)
{
    LiveBench &b = live();
    for (auto _ : state) {
        state.PauseTiming();
        b.next = sample(b.tick++);
        state.ResumeTiming();
        b.screen->sampleWaitEvents();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kKeysPerInstance);
}
BENCHMARK(WaitEventTick)->Unit(benchmark::kMillisecond)->Iterations(20);

// The same tick done literally: both merges, both bubble sorts, and the new-key scan of
// every row against every list item.
void WaitEventTickLiteral(benchmark::State &state)
{
    LiveBench &b = live();
    const ResultGrid &source = *b.screen->findChild<ResultGrid *>(QStringLiteral("SRGrid"));
    ResultGrid count(6), time(6);
    Chart countChart, timeChart;
    for (ResultGrid *g : {&count, &time}) {
        g->setRowCount(source.rowCount());
        for (int r = 0; r < source.rowCount(); ++r)
            g->setRow(r, source.row(r));
    }
    for (Chart *c : {&countChart, &timeChart})
        for (int r = 1; r < source.rowCount() - 1; ++r)
            c->addSeries(SeriesKind::Line, source.cell(0, r));
    QStringList display;
    for (int r = 1; r < source.rowCount(); ++r)
        display << source.cell(0, r);
    Connection &cnn = b.cnn;
    Query q(cnn);
    q.setSql({QStringLiteral("select * from bench_waits")});
    for (auto _ : state) {
        state.PauseTiming();
        b.next = sample(b.tick++);
        state.ResumeTiming();
        for (auto [grid, chart] : {std::pair{&count, &countChart}, std::pair{&time, &timeChart}}) {
            q.open();
            literal::literalTally(q, *grid, *chart);
            literal::literalBubbleSort(*grid, 2, 1);
        }
        int added = 0;
        for (int r = 1; r < count.rowCount(); ++r) {
            bool found = false;
            for (const QString &item : display)
                if (item == count.cell(0, r))
                    found = true;
            added += found ? 0 : 1;
        }
        benchmark::DoNotOptimize(added);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kKeysPerInstance);
}
BENCHMARK(WaitEventTickLiteral)->Unit(benchmark::kMillisecond)->Iterations(2);

class QuietSink : public MessageSink {
public:
    void error(const QString &) override {}
    void info(const QString &) override {}
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietSink quiet;
    setMessageSink(&quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
