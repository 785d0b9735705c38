// One whole tick of the default timer through the main window, its wait-event block
// with a long history, one tick of the child-latch sampling into a grid of 10,000
// children, and one tick of a session's waits and statistics against the simulated
// instance, each beside the literal merge, bubble sort and list scan on the same data.
#include "literal.h"

#include "core/messages.h"
#include "bench_support.h"
#include "db/connection.h"
#include "db/sim/server.h"
#include "live/latch_screen.h"
#include "live/real_time_screen.h"
#include "live/session_statistics_tab.h"
#include "live/session_topology_tab.h"
#include "live/wait_events_screen.h"
#include "shell/main_window.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHash>
#include <malloc.h>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cmath>
#include <tuple>

using namespace tavimond;

namespace {

constexpr int kKeysPerInstance = 2000; // 2 x 2,000 keys in each of the two grids and charts

using bench::BenchSettings;

// The waits of 2 x 2,000 events as gv$system_event gives them every 30 seconds: the
// cumulative count and the cumulative time waited in microseconds, both since the
// instance started a month ago, so that times stand far above 2^24. Each event keeps its
// own share of the sessions waiting (up to ten) for its own typical time (10 us to
// 100 ms a wait), a tenth of them never again; the whole load rises and falls
// over the day, each event's share wanders, and an event now and then waits in a
// burst. So counts and times differ per event and from tick to tick, most lines lie
// low and a few busy ones set the scale, as on a real instance.
class WaitFeed {
public:
    WaitFeed()
    {
        for (int inst = 1; inst <= 2; ++inst)
            for (int k = 0; k < kKeysPerInstance; ++k) {
                Event e;
                e.key = QStringLiteral("%1:wait event number %2").arg(inst).arg(k);
                // Sessions kept waiting on it (10^-7 to 10), at 10 us to 100 ms a wait.
                const double busy = std::pow(10.0, -7 + 8 * unit(inst, k, 1));
                e.wait = std::pow(10.0, 1 + 4 * unit(inst, k, 2)); // microseconds a wait
                e.rate = busy * 1e6 / e.wait;                     // waits a second
                e.idle = unit(inst, k, 3) < 0.1;
                const double uptime = 30 * 86400.0;
                e.count = qint64(e.rate * uptime);
                e.time = qint64(double(e.count) * e.wait);
                events_.push_back(e);
            }
    }
    // The samples at tick t, counts and times; ticks come in order (or start again at 0).
    std::pair<sim::Result, sim::Result> at(int t)
    {
        if (t < tick_) {
            *this = WaitFeed();
        }
        while (tick_ < t)
            advance(tick_++);
        auto counts = std::make_shared<sim::Table>(QStringList{QStringLiteral("KEY"), QStringLiteral("TOTAL_WAITS")});
        auto times = std::make_shared<sim::Table>(QStringList{QStringLiteral("KEY"), QStringLiteral("TIME_WAITED")});
        counts->cells.reserve(qsizetype(events_.size()) * 2);
        times->cells.reserve(qsizetype(events_.size()) * 2);
        for (const Event &e : events_) {
            counts->cells << e.key << QString::number(e.count);
            times->cells << e.key << QString::number(e.time);
        }
        return {counts, times};
    }

private:
    struct Event {
        QString key;
        double rate = 0;
        double wait = 0;
        bool idle = false;
        qint64 count = 0;
        qint64 time = 0;
    };
    // A number in [0, 1) fixed by its arguments.
    static double unit(quint64 a, quint64 b, quint64 c)
    {
        quint64 x = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull ^ c * 0x94D049BB133111EBull;
        x ^= x >> 31;
        x *= 0xD6E8FEB86659FD93ull;
        x ^= x >> 32;
        return double(x >> 11) / double(1ull << 53);
    }
    // Thirty seconds of waiting after tick t.
    void advance(int t)
    {
        const double day = 1 + 0.6 * std::sin(2 * 3.14159265358979 * t / 2880.0); // the day's load
        for (size_t i = 0; i < events_.size(); ++i) {
            Event &e = events_[i];
            if (e.idle)
                continue;
            const double share = 0.5 + unit(i, quint64(t) / 20, 4); // changes every ten minutes
            const double burst = unit(i, quint64(t), 5) < 0.01 ? 5 + 20 * unit(i, quint64(t), 6) : 1;
            const double expected = e.rate * 30 * day * share * burst;
            const qint64 waits = qint64(expected * (0.7 + 0.6 * unit(i, quint64(t), 7)) + unit(i, quint64(t), 8));
            e.count += waits;
            e.time += qint64(double(waits) * e.wait * (0.5 + unit(i, quint64(t), 9)));
        }
    }
    std::vector<Event> events_;
    int tick_ = 0;
};

// A screen the bench feeds: the simulated instance answers the statements on each
// table with next[table], the sample made for the coming tick.
struct FedScreen {
    explicit FedScreen(const QStringList &tables)
    {
        // A fresh server: no earlier screen's feed answers for this one.
        sim::Server::instance().reset(1, sim::ClockMode::Manual);
        for (const QString &table : tables) {
            const QString phrase = QStringLiteral("from ") + table;
            sim::Server::instance().add({table, [phrase](const sim::Statement &s) { return s.has(phrase); },
                                         [this, table](const sim::Statement &, sim::Context &) { return next.value(table); }});
        }
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
    }
    // Times `tick` alone, feed(t) making the samples before each.
    template <typename Feed, typename Tick>
    void time(benchmark::State &state, Feed feed, Tick tick)
    {
        for (auto _ : state) {
            state.PauseTiming();
            feed(this->tick++);
            state.ResumeTiming();
            tick();
        }
    }
    BenchSettings settings;
    Connection cnn;
    QHash<QString, sim::Result> next;
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

// The main window as a user starts it on the simulated instance (db.ini in the current
// folder, a user name typed), the wait events screen in front, and the three blocks of
// the default tick ticked: every session of both instances (block 1), the busy session
// 1::101 (block 2), and the instance's wait events that `feed` gives (block 3). The
// bench runs the ticks itself, 30 seconds of the instance and of the feed apart.
struct ShownWindow : FedScreen {
    explicit ShownWindow(WaitFeed &feed)
        : FedScreen({QStringLiteral("bench_wait_counts"), QStringLiteral("bench_wait_times")}), feed(feed)
    {
        for (const auto &[name, text] : {std::pair{"db.ini", "ZADERIRODU=SIM\nMETADATA=" + config.path().toUtf8() +
                                                                 "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n"},
                                         std::pair{"sidlist.txt", QByteArray("TAVIDB\n")}}) {
            QFile file(config.filePath(QLatin1String(name)));
            if (file.open(QIODevice::WriteOnly))
                file.write(text);
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(config.path());
        window.show();
        window.FormShow();
        QDir::setCurrent(previous);
        window.findChild<QLineEdit *>(QStringLiteral("UserN"))->setText(QStringLiteral("bench"));
        for (const char *name : {"Default_timer", "latch_timer", "CBCLatch_Timer"})
            window.findChild<QTimer *>(QLatin1String(name))->stop();
        window.WaitEvents1Click();

        waits = window.findChild<WaitEventsScreen *>(QStringLiteral("inst_waits_page"));
        live = window.findChild<RealTimeScreen *>(QStringLiteral("page_sql_rt"));
        waits->findChild<QPlainTextEdit *>(QStringLiteral("waits_sql"))
            ->setPlainText(QStringLiteral("select * from bench_wait_counts"));
        waits->findChild<QPlainTextEdit *>(QStringLiteral("waits_sql_time"))
            ->setPlainText(QStringLiteral("select * from bench_wait_times"));
        // A tick every 30 seconds, as the default interval has it.
        const auto clock = [this] { return QDateTime(QDate(2026, 11, 30), QTime(8, 0)).addSecs(30 * qint64(tick)); };
        waits->setClock(clock);
        live->sessionStatistics()->setClock(clock);
        live->sessionStatistics()->setSession(
            {QStringLiteral("1"), QStringLiteral("101"), QString(), QString(), QString()});
        for (const char *box : {"session_check", "sesevt_check", "sr_check"})
            window.findChild<QCheckBox *>(QLatin1String(box))->setChecked(true);
        liveViews = live->findChildren<ChartView *>() + waits->findChildren<ChartView *>();
        for (const char *name : {"EVTChart", "EVTcharttime"})
            waits->findChild<ChartView *>(QLatin1String(name))->viewport()->installEventFilter(&painted);
        settle();
    }
    // The ticks before the measured ones.
    void runHistory(int history)
    {
        for (tick = 0; tick < history; ++tick) {
            feedTick(tick);
            window.Default_timerTimer();
        }
        settle();
    }
    void feedTick(int t)
    {
        sim::Server::instance().model().advance(30);
        const auto [counts, times] = feed.at(t);
        next.insert(QStringLiteral("bench_wait_counts"), counts);
        next.insert(QStringLiteral("bench_wait_times"), times);
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
        window.Default_timerTimer();
        sampleNs += t.nsecsElapsed();
        t.restart();
        for (ChartView *view : liveViews)
            view->sync();
        syncNs += t.nsecsElapsed();
        t.restart();
        settle();
        settleNs += t.nsecsElapsed();
        ticks += 1;
    }
    // The points that the window's charts keep.
    double keptPoints() const
    {
        double points = 0;
        for (const Chart *chart : window.findChildren<Chart *>())
            for (int s = 0; s < chart->seriesCount(); ++s)
                points += double(chart->series(s).pointCount());
        return points;
    }
    // Of the ticks: the three blocks' samples, the live charts' taking in (what settle()
    // would do first), and the rest, painting.
    qint64 sampleNs = 0;
    qint64 syncNs = 0;
    qint64 settleNs = 0;
    int ticks = 0;
    PaintCounter painted;
    WaitFeed &feed;
    QTemporaryDir config; // its db.ini and the metafile folder
    TForm1 window;
    WaitEventsScreen *waits = nullptr;
    RealTimeScreen *live = nullptr;
    QList<ChartView *> liveViews;
};

// Made on first use, before any memory is measured; gone before the application.
std::unique_ptr<WaitFeed> theFeed;

WaitFeed &waitFeed()
{
    if (!theFeed)
        theFeed = std::make_unique<WaitFeed>();
    return *theFeed;
}

// One whole tick of the default timer through the main window's handler, with a
// history of range(0) ticks: block 1's sessions, block 2's session waits and
// statistics, block 3's 2 x 4,000 keys (both samples merged and sorted, the breach scan,
// the new keys), and the live charts taken in and painted. Also the peak resident
// memory the history took beyond the started window, and per point the charts keep.
// The goal: under 100 ms a tick, and at most 16 bytes a kept point, at 100, 720 and
// 2,880 ticks alike.
void WaitEventTick(benchmark::State &state)
{
    const int history = int(state.range(0));
    WaitFeed &feed = waitFeed();
    // Qt's own first-use costs (fonts, style, the charts' themes) are paid by a window
    // made, ticked and let go first, as a running program has paid them; what earlier
    // benchmarks freed goes back, so that it does not count here.
    {
        ShownWindow first(feed);
        first.runHistory(2);
    }
    malloc_trim(0);
    auto b = std::make_unique<ShownWindow>(feed);
    bench::resetPeak();
    const double before = bench::statusMegabytes("VmRSS:") * 1048576;
    b->runHistory(history);
    const int paintsBefore = b->painted.paints;
    b->time(state, [&](int t) { b->feedTick(t); }, [&] { b->fullTick(); });
    const double peak = bench::statusMegabytes("VmHWM:") * 1048576;
    state.counters["paints_per_tick"] = double(b->painted.paints - paintsBefore) / double(state.iterations());
    state.counters["sample_ms"] = double(b->sampleNs) / 1e6 / double(b->ticks);
    state.counters["take_in_ms"] = double(b->syncNs) / 1e6 / double(b->ticks);
    state.counters["paint_ms"] = double(b->settleNs) / 1e6 / double(b->ticks);
    state.counters["peak_RSS_MB"] = peak / 1048576;
    state.counters["bytes_per_point"] = (peak - before) / b->keptPoints();
    // Blocks 1 and 2 ran: the sessions and the statistics they hold.
    for (const auto &[counter, grid] : {std::pair{"sessions", "sessres_grid"}, std::pair{"statistics", "timedstatgrid"}})
        state.counters[counter] = b->window.findChild<ResultGrid *>(QLatin1String(grid))->rowCount();
    state.SetItemsProcessed(state.iterations() * 2 * 2 * kKeysPerInstance);
}
BENCHMARK(WaitEventTick)->Arg(100)->Arg(720)->Arg(2880)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same tick with block 3 done literally on the same data (blocks 1 and 2 as the
// program runs them): both merges of every record with every row, both bubble sorts,
// the new-key scan of every row against every list item, and both charts laid out again
// from every point of every series and painted.
void WaitEventTickLiteral(benchmark::State &state)
{
    auto b = std::make_unique<ShownWindow>(waitFeed());
    b->runHistory(int(state.range(0)));
    const ResultGrid &source = *b->waits->findChild<ResultGrid *>(QStringLiteral("SRGrid"));
    const ResultGrid &sourceTime = *b->waits->findChild<ResultGrid *>(QStringLiteral("srgridtime"));
    ResultGrid count(6), time(6);
    Chart countChart, timeChart;
    for (auto [g, from] : {std::pair{&count, &source}, std::pair{&time, &sourceTime}}) {
        g->setRowCount(from->rowCount());
        for (int r = 0; r < from->rowCount(); ++r)
            g->setRow(r, from->row(r));
    }
    for (Chart *c : {&countChart, &timeChart})
        for (int r = 1; r < source.rowCount() - 1; ++r)
            c->addSeries(SeriesKind::Line, source.cell(0, r));
    QStringList display;
    for (int r = 1; r < source.rowCount(); ++r)
        display << source.cell(0, r);
    const Chart *shown[] = {b->waits->findChild<Chart *>(QStringLiteral("EVTChart")),
                            b->waits->findChild<Chart *>(QStringLiteral("EVTcharttime"))};
    const QSize plot = b->waits->findChild<ChartView *>(QStringLiteral("EVTChart"))->viewport()->size();
    QImage image(plot, QImage::Format_ARGB32_Premultiplied);
    Query q(b->cnn);
    b->time(state, [&](int t) { b->feedTick(t); }, [&] {
        b->live->sessionTopology()->Button177Click();
        b->live->sessionStatistics()->sample();
        for (auto [grid, chart, table] : {std::tuple{&count, &countChart, "bench_wait_counts"},
                                          std::tuple{&time, &timeChart, "bench_wait_times"}}) {
            q.setSql({QStringLiteral("select * from ") + QLatin1String(table)});
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
    ChildBench() : FedScreen({QStringLiteral("bench_children")})
    {
        screen = std::make_unique<LatchScreen>(ScreenContext{cnn, settings});
        screen->findChild<QPlainTextEdit *>(QStringLiteral("cbc_latchquery"))
            ->setPlainText(QStringLiteral("select * from bench_children"));
        for (tick = 0; tick < 3; ++tick) {
            feed(tick);
            screen->sampleChildLatches();
        }
    }
    void feed(int t) { next.insert(QStringLiteral("bench_children"), childSample(t)); }
    std::unique_ptr<LatchScreen> screen;
};

// Made on first use, gone before the application.
std::unique_ptr<ChildBench> theChildren;

ChildBench &children()
{
    if (!theChildren)
        theChildren = std::make_unique<ChildBench>();
    return *theChildren;
}

void ChildLatchTick(benchmark::State &state)
{
    ChildBench &b = children();
    b.time(state, [&](int t) { b.feed(t); }, [&] { b.screen->sampleChildLatches(); });
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
    b.time(state, [&](int t) { b.feed(t); }, [&] {
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

std::unique_ptr<SessionBench> theSession;

SessionBench &session()
{
    if (!theSession)
        theSession = std::make_unique<SessionBench>();
    return *theSession;
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
    return bench::runBenchmarks(argc, argv, [] {
        theSession.reset();
        theChildren.reset();
        theFeed.reset();
    });
}
