// One tick of the instance wait-event sampling with a long history, one tick of the
// child-latch sampling into a grid of 10,000 children, and one tick of a session's waits
// and statistics against the simulated instance, each beside the literal merge, bubble
// sort and list scan on the same data.
#include "literal.h"

#include "core/messages.h"
#include "bench_support.h"
#include "db/connection.h"
#include "db/sim/server.h"
#include "live/latch_screen.h"
#include "live/real_time_screen.h"
#include "live/session_statistics_tab.h"
#include "live/wait_events_screen.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"

#include <QApplication>
#include <malloc.h>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPlainTextEdit>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

constexpr int kKeysPerInstance = 2000; // 2 x 2,000 keys in each of the two grids and charts

using bench::BenchSettings;

// The wait counters of 2 x 2,000 events at tick t. Each event waits at its own rate,
// give or take a jitter that changes from tick to tick, so the Deltas, and with them
// the order of the sorted grid, change at every tick.
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
        const qint64 rate = 1 + (qint64(k) * 7919) % 613;
        const qint64 jitter = (qint64(k) * 7919 + qint64(t) * 104729) % 389;
        table->cells.append(keys.at(k));
        table->cells.append(QString::number(qint64(k) * 100000 + qint64(t) * rate + jitter));
    }
    return table;
}

// A screen the bench feeds: the simulated instance answers the statements on `table`
// with `next`, the sample made for the coming tick.
struct FedScreen {
    explicit FedScreen(const QString &table)
    {
        const QString phrase = QStringLiteral("from ") + table;
        // A fresh server: no earlier screen's feed answers for this one.
        sim::Server::instance().reset(1, sim::ClockMode::Manual);
        sim::Server::instance().add({table, [phrase](const sim::Statement &s) { return s.has(phrase); },
                                     [this](const sim::Statement &, sim::Context &) { return next; }});
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
    }
    // Times `tick` alone, a new sample made before each.
    template <typename Tick>
    void time(benchmark::State &state, sim::Result (*sampleAt)(int), Tick tick)
    {
        for (auto _ : state) {
            state.PauseTiming();
            next = sampleAt(this->tick++);
            state.ResumeTiming();
            tick();
        }
    }
    BenchSettings settings;
    Connection cnn;
    sim::Result next;
    int tick = 0;
};

// Counts the paints of the widgets it watches.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The wait events screen shown in a window of the main window's size, on its Real
// Time tab with both charts, after `history` ticks.
struct ShownWaits : FedScreen {
    explicit ShownWaits(int history) : FedScreen(QStringLiteral("bench_waits"))
    {
        screen = std::make_unique<WaitEventsScreen>(ScreenContext{cnn, settings});
        for (const char *memo : {"waits_sql", "waits_sql_time"})
            screen->findChild<QPlainTextEdit *>(QLatin1String(memo))
                ->setPlainText(QStringLiteral("select * from bench_waits"));
        // A tick every 30 seconds, as the default interval has it.
        screen->setClock([this] { return QDateTime(QDate(2026, 11, 30), QTime(8, 0)).addSecs(30 * qint64(tick)); });
        screen->resize(1142, 698);
        screen->show();
        for (const char *name : {"EVTChart", "EVTcharttime"})
            screen->findChild<ChartView *>(QLatin1String(name))->viewport()->installEventFilter(&painted);
        for (tick = 0; tick < history; ++tick) {
            next = sample(tick);
            screen->sampleWaitEvents();
        }
        settle();
    }
    // What follows a tick until the user sees it: the event loop takes the charts'
    // changes in and paints the window.
    static void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
    void fullTick()
    {
        QElapsedTimer t;
        t.start();
        screen->sampleWaitEvents();
        sampleNs += t.nsecsElapsed();
        t.restart();
        for (const char *name : {"EVTChart", "EVTcharttime"})
            screen->findChild<ChartView *>(QLatin1String(name))->sync();
        syncNs += t.nsecsElapsed();
        t.restart();
        settle();
        settleNs += t.nsecsElapsed();
        ticks += 1;
    }
    // Of the ticks: the samples alone, the charts' taking in (what settle() would do
    // first), and the rest, painting.
    qint64 sampleNs = 0;
    qint64 syncNs = 0;
    qint64 settleNs = 0;
    int ticks = 0;
    PaintCounter painted;
    std::unique_ptr<WaitEventsScreen> screen;
};

// One full tick of block 3, with a history of range(0) ticks of 2 x 4,000 keys: both
// samples merged and sorted, the breach scan, the new keys, and both charts taken in
// and painted. Also the peak resident memory the history took, and per kept point.
void WaitEventTick(benchmark::State &state)
{
    const int history = int(state.range(0));
    malloc_trim(0); // what earlier benchmarks freed goes back, so that it does not count here
    bench::resetPeak();
    const double before = bench::statusMegabytes("VmRSS:") * 1048576;
    auto b = std::make_unique<ShownWaits>(history);
    const double points = 2.0 * 2 * kKeysPerInstance * (history - 1);
    const int paintsBefore = b->painted.paints;
    b->time(state, sample, [&] { b->fullTick(); });
    const double peak = bench::statusMegabytes("VmHWM:") * 1048576;
    state.counters["paints_per_tick"] = double(b->painted.paints - paintsBefore) / double(state.iterations());
    state.counters["sample_ms"] = double(b->sampleNs) / 1e6 / double(b->ticks);
    state.counters["take_in_ms"] = double(b->syncNs) / 1e6 / double(b->ticks);
    state.counters["paint_ms"] = double(b->settleNs) / 1e6 / double(b->ticks);
    state.counters["peak_RSS_MB"] = peak / 1048576;
    state.counters["bytes_per_point"] = (peak - before) / points;
    state.SetItemsProcessed(state.iterations() * 2 * 2 * kKeysPerInstance);
}
BENCHMARK(WaitEventTick)->Arg(100)->Arg(720)->Arg(2880)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same tick done literally on the same data: both merges of every record with every
// row, both bubble sorts, the new-key scan of every row against every list item, and
// both charts laid out again from every point of every series and painted.
void WaitEventTickLiteral(benchmark::State &state)
{
    const int history = int(state.range(0));
    auto b = std::make_unique<ShownWaits>(history);
    const ResultGrid &source = *b->screen->findChild<ResultGrid *>(QStringLiteral("SRGrid"));
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
    const Chart *shown[] = {b->screen->findChild<Chart *>(QStringLiteral("EVTChart")),
                            b->screen->findChild<Chart *>(QStringLiteral("EVTcharttime"))};
    const QSize plot = b->screen->findChild<ChartView *>(QStringLiteral("EVTChart"))->viewport()->size();
    QImage image(plot, QImage::Format_ARGB32_Premultiplied);
    Query q(b->cnn);
    q.setSql({QStringLiteral("select * from bench_waits")});
    b->time(state, sample, [&] {
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
        for (const Chart *c : shown)
            literal::literalPaintLines(*c, image);
    });
    state.SetItemsProcessed(state.iterations() * 2 * 2 * kKeysPerInstance);
}
BENCHMARK(WaitEventTickLiteral)->Arg(100)->Arg(720)->Arg(2880)->Unit(benchmark::kMillisecond)->Iterations(2);

constexpr int kChildren = 10000;

// The sleeps of 10,000 cache buffers chains children at tick t, all past 100: each
// child sleeps 1 to 999 times a tick, in an order that changes from tick to tick.
sim::Result childSample(int t)
{
    static QStringList keys;
    if (keys.isEmpty())
        for (int k = 0; k < kChildren; ++k)
            keys << QStringLiteral("%1:%2").arg(1 + k % 2).arg(1 + k / 2);
    auto table = std::make_shared<sim::Table>(QStringList{QStringLiteral("KEY"), QStringLiteral("SLEEPS")});
    table->cells.reserve(kChildren * 2);
    for (int k = 0; k < kChildren; ++k) {
        const qint64 jitter = (qint64(k) * 7919 + qint64(t) * 104729) % 499;
        table->cells.append(keys.at(k));
        table->cells.append(QString::number(101 + k + qint64(t) * 500 + jitter));
    }
    return table;
}

struct ChildBench : FedScreen {
    ChildBench() : FedScreen(QStringLiteral("bench_children"))
    {
        screen = std::make_unique<LatchScreen>(ScreenContext{cnn, settings});
        screen->findChild<QPlainTextEdit *>(QStringLiteral("cbc_latchquery"))
            ->setPlainText(QStringLiteral("select * from bench_children"));
        for (tick = 0; tick < 3; ++tick) {
            next = childSample(tick);
            screen->sampleChildLatches();
        }
    }
    std::unique_ptr<LatchScreen> screen;
};

ChildBench &children()
{
    static ChildBench b;
    return b;
}

void ChildLatchTick(benchmark::State &state)
{
    ChildBench &b = children();
    b.time(state, childSample, [&] { b.screen->sampleChildLatches(); });
    state.counters["rows"] = b.screen->findChild<ResultGrid *>(QStringLiteral("cbc_latchgrid"))->rowCount();
    state.SetItemsProcessed(state.iterations() * kChildren);
}
BENCHMARK(ChildLatchTick)->Unit(benchmark::kMillisecond)->Iterations(20);

// The same tick done literally: the merge of every record with every row, then the
// bubble sort.
void ChildLatchTickLiteral(benchmark::State &state)
{
    ChildBench &b = children();
    const ResultGrid &source = *b.screen->findChild<ResultGrid *>(QStringLiteral("cbc_latchgrid"));
    ResultGrid grid(6);
    grid.setRowCount(source.rowCount());
    for (int r = 0; r < source.rowCount(); ++r)
        grid.setRow(r, source.row(r));
    Chart none;
    Query q(b.cnn);
    q.setSql({QStringLiteral("select * from bench_children")});
    b.time(state, childSample, [&] {
        q.open();
        literal::literalTally(q, grid, none);
        literal::literalBubbleSort(grid, 2, 1);
    });
    state.counters["rows"] = grid.rowCount();
    state.SetItemsProcessed(state.iterations() * kChildren);
}
BENCHMARK(ChildLatchTickLiteral)->Unit(benchmark::kMillisecond)->Iterations(1);

// Block 2 following one busy session of the simulated instance, with an hour of
// samples behind it: its waits and its statistics, well over a thousand.
struct SessionBench {
    SessionBench()
    {
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<RealTimeScreen>(ScreenContext{cnn, settings});
        tab = screen->sessionStatistics();
        tab->setSession({QStringLiteral("1"), QStringLiteral("101"), QString(), QString(), QString()});
        for (int t = 0; t < 120; ++t)
            tick();
    }
    void tick()
    {
        sim::Server::instance().model().advance(30);
        tab->sample();
    }
    BenchSettings settings;
    Connection cnn;
    std::unique_ptr<RealTimeScreen> screen;
    SessionStatisticsTab *tab = nullptr;
};

SessionBench &session()
{
    static SessionBench b;
    return b;
}

void SessionStatisticsTick(benchmark::State &state)
{
    SessionBench &b = session();
    for (auto _ : state) {
        state.PauseTiming();
        sim::Server::instance().model().advance(30);
        state.ResumeTiming();
        b.tab->sample();
    }
    state.counters["statistics"] = b.screen->findChild<ResultGrid *>(QStringLiteral("timedstatgrid"))->rowCount();
}
BENCHMARK(SessionStatisticsTick)->Unit(benchmark::kMillisecond)->Iterations(20);

// The statistics of the same tick done literally: the merge of every record with every
// row, then the bubble sort.
void SessionStatisticsTickLiteral(benchmark::State &state)
{
    SessionBench &b = session();
    const ResultGrid &source = *b.screen->findChild<ResultGrid *>(QStringLiteral("timedstatgrid"));
    ResultGrid grid(5);
    grid.setRowCount(source.rowCount());
    for (int r = 0; r < source.rowCount(); ++r)
        grid.setRow(r, source.row(r));
    Chart none;
    Query q(b.cnn);
    q.setSql({QStringLiteral("SELECT statdesc.name, nvl(sql.value/1000000,0) "),
              QStringLiteral("FROM gV$SESSION sess, gv$sesstat sql, gv$statname statdesc "), QStringLiteral("where "),
              QStringLiteral("sess.inst_id = '1' and "), QStringLiteral("sess.sid = '101' and "),
              QStringLiteral("sess.inst_id = sql.inst_id and "), QStringLiteral("sess.sid = sql.sid and "),
              QStringLiteral("sql.inst_id = statdesc.inst_id and "),
              QStringLiteral("sql.statistic# = statdesc.statistic# ")});
    for (auto _ : state) {
        state.PauseTiming();
        sim::Server::instance().model().advance(30);
        state.ResumeTiming();
        q.open();
        literal::literalTally(q, grid, none);
        literal::literalBubbleSort(grid, 2, 1);
    }
    state.counters["statistics"] = grid.rowCount();
}
BENCHMARK(SessionStatisticsTickLiteral)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    sim::Server::instance().reset(1, sim::ClockMode::Manual);
    return bench::runBenchmarks(argc, argv);
}
