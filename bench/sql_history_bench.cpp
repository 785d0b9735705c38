// The historical SQL statistics screen over a list of statements that run every hour,
// 30 days of hourly snapshots: 100 statements give 72,000 rows. The bulk retrieval as
// the user waits for it (statements answered, rows loaded, nineteen charts drawn and the
// shown ones painted): through the simulated instance, the simulated instance's share
// alone, and the program's own time at 25, 50, 100 and 200 statements, which grows with
// the list and no faster. Beside it the drawing of the nineteen charts beside the literal
// series-list scan on the same grid, and the choice of another statement on all nineteen
// charts. The goal: the program's own time under 1 s at 100 statements, and at 200 at
// most 2.3 times that.
#include "bench_support.h"
#include "literal.h"

#include "core/chart_routines.h"
#include "core/messages.h"
#include "db/connection.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/sql_workload.h"
#include "db/sim/server.h"
#include "history/sql_history_screen.h"
#include "ui/chart_view.h"
#include "ui/grid_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace tavimond;

namespace {

constexpr int kStatements = 100;
constexpr int kDays = 30;

// The column and mode of each chart, in the order a retrieval draws them.
const std::pair<int, bool> kCharts[SqlHistoryScreen::kChartCount] = {
    {4, false}, {5, false}, {6, false}, {7, false}, {8, false}, {9, false}, {10, false}, {11, false}, {12, false},
    {13, false}, {5, true}, {6, true},  {7, true},  {8, true},  {9, true},  {10, true},  {11, true},  {12, true},
    {13, true}};

// As a retrieval leaves the charts: the first statement's series shown, the others hidden.
void showFirst(const std::vector<Chart *> &charts)
{
    for (Chart *chart : charts) {
        Chart::Batch batch(*chart);
        for (int i = 0; i < chart->seriesCount(); ++i)
            chart->setSeriesActive(i, i == 0);
    }
}

// The first `count` statements of the simulated workload that the repository recorded,
// with time spent, at every snapshot of the last `days` days: those a baseline list of
// the busiest statements names. The workload is made large enough to hold them.
QStringList hourlyStatements(sim::Server &server, int count, int days)
{
    auto &shape = server.model().state<sim::RepositoryShape>();
    shape.days = days;
    shape.statements = 4 * count;
    const auto &repository = server.model().state<sim::Repository>();
    const auto &workload = server.model().state<sim::SqlWorkload>();
    const QDateTime from = server.model().now().addDays(-days);
    std::map<qint64, std::vector<sim::Repository::Snapshot>> snaps; // by snap_id, in the window
    for (const auto &snap : repository.snapshots())
        if (snap.begin >= from)
            snaps[snap.snapId].push_back(snap);
    QStringList ids;
    sim::SqlWorkload::Row row;
    for (size_t i = 0; i < workload.statements().size() && ids.size() < count; ++i) {
        bool every = true;
        for (auto it = snaps.begin(); every && it != snaps.end(); ++it) {
            bool timed = false;
            for (const auto &snap : it->second)
                timed = timed || (workload.rowOf(snap, i, row) && row.elapsed > 0);
            every = timed;
        }
        if (every)
            ids << workload.statements()[i].sqlId;
    }
    if (ids.size() < count)
        throw std::runtime_error("the workload has too few hourly statements");
    return ids;
}

// The screen shown with the list of `statements` loaded. With `keepAnswers` each
// statement's answer is recorded once, so that the simulated instance answers at once
// and what is measured is the program's own time.
struct HistoryBench {
    HistoryBench(int statements, bool keepAnswers) : statements(statements), keepAnswers(keepAnswers)
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        server.keepStatements(true); // what the retrieval sends is answered again below
        const QStringList ids = hourlyStatements(server, statements, kDays);
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        QFile list(dir.filePath(QStringLiteral("list.txt")));
        if (!list.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the list");
        for (const QString &id : ids)
            list.write((id + QStringLiteral(",,,,,\r\n")).toUtf8());
        list.close();

        screen = std::make_unique<SqlHistoryScreen>(ScreenContext{cnn, settings});
        screen->resize(1142, 698);
        screen->show();
        screen->findChild<QLineEdit *>(QStringLiteral("SQLIdList"))->setText(list.fileName());
        screen->findChild<QLineEdit *>(QStringLiteral("dayret"))->setText(QString::number(kDays));
        screen->Button102Click();
        screen->findChild<QRadioButton *>(QStringLiteral("listrb"))->setChecked(true);
        screen->listrbClick();
        grid = screen->findChild<GridView *>(QStringLiteral("SQL_Prof_Grid"))->grid();

        server.clearStatements();
        screen->ret_bulk_buttonClick();
        sent = server.statements();
        if (!keepAnswers)
            return;
        auto answers = std::make_shared<QHash<QString, sim::Result>>();
        for (const QString &sql : sent) {
            Query q(cnn);
            q.setSql({sql});
            q.open();
            auto table = std::make_shared<sim::Table>();
            for (int i = 0; i < q.fieldCount(); ++i)
                table->columns << q.fieldName(i);
            for (; !q.eof(); q.next())
                for (int i = 0; i < q.fieldCount(); ++i)
                    table->cells << q.field(i);
            answers->insert(sql, table);
        }
        server.add({QStringLiteral("kept answers"),
                    [answers](const sim::Statement &s) { return answers->contains(s.sql()); },
                    [answers](const sim::Statement &s, sim::Context &) { return answers->value(s.sql()); }});
    }

    // The screen's charts, in the order a retrieval draws them.
    std::vector<Chart *> charts() const
    {
        std::vector<Chart *> out;
        for (ChartView *view : screen->findChildren<ChartView *>())
            out.push_back(view->model());
        return out;
    }

    void paintShown()
    {
        QCoreApplication::processEvents(); // the views take in their models' changes
        for (ChartView *view : screen->findChildren<ChartView *>())
            if (view->isVisible()) {
                QPainter painter(&image);
                view->render(&painter);
            }
    }

    // "Retrieve Bulk SQL Stat" clicked and the shown charts painted.
    void retrieve()
    {
        screen->ret_bulk_buttonClick();
        paintShown();
    }

    void count(benchmark::State &state) const
    {
        state.counters["statements"] = statements;
        state.counters["rows"] = grid->rowCount() - 1;
        state.counters["keys"] = screen->findChild<QComboBox *>(QStringLiteral("sqlid_combo"))->count();
    }

    int statements;
    bool keepAnswers;
    bench::BenchSettings settings;
    Connection cnn;
    QTemporaryDir dir;
    std::unique_ptr<SqlHistoryScreen> screen;
    ResultGrid *grid = nullptr;
    QStringList sent; // the statements of one retrieval
    QImage image{1142, 698, QImage::Format_ARGB32_Premultiplied};
};

// One screen at a time, made on first use, gone before the application.
std::unique_ptr<HistoryBench> theBench;

HistoryBench &bench(int statements = kStatements, bool keepAnswers = true)
{
    if (!theBench || theBench->statements != statements || theBench->keepAnswers != keepAnswers) {
        theBench.reset();
        theBench = std::make_unique<HistoryBench>(statements, keepAnswers);
    }
    return *theBench;
}

// "Retrieve Bulk SQL Stat" as the user waits for it, the simulated instance answering:
// 100 statements answered and appended, the nineteen charts drawn, both combos filled,
// the first statement shown and painted.
void BulkRetrievalWithSimulatedInstance(benchmark::State &state)
{
    HistoryBench &b = bench(int(state.range(0)), false);
    for (auto _ : state)
        b.retrieve();
    b.count(state);
}
BENCHMARK(BulkRetrievalWithSimulatedInstance)->Arg(kStatements)->Unit(benchmark::kMillisecond)->Iterations(3);

// The simulated instance's share of it: the same statements answered and every row
// fetched, without the screen.
void SimulatedInstanceShare(benchmark::State &state)
{
    HistoryBench &b = bench(int(state.range(0)), false);
    qint64 rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const QString &sql : b.sent) {
            Query q(b.cnn);
            q.setSql({sql});
            q.open();
            for (; !q.eof(); q.next())
                ++rows;
        }
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(SimulatedInstanceShare)->Arg(kStatements)->Unit(benchmark::kMillisecond)->Iterations(3);

// The program's own time: the statements' answers at hand. Twice the list should take
// at most 2.3 times as long.
void BulkRetrievalShown(benchmark::State &state)
{
    HistoryBench &b = bench(int(state.range(0)));
    for (auto _ : state)
        b.retrieve();
    b.count(state);
    state.counters["ms_per_statement"] =
        benchmark::Counter(double(state.iterations()) * b.statements,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BulkRetrievalShown)->Arg(25)->Arg(50)->Arg(kStatements)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

// One chart drawn from the grid: its column, and whether it shows averages.
using DrawChart = void (*)(const ResultGrid &, Chart &, int column, bool average);

void indexed(const ResultGrid &grid, Chart &chart, int column, bool average)
{
    ChartFromGrid(grid, chart, column, QString(), average ? QStringLiteral("Average") : QStringLiteral("Total"));
}

// The nineteen charts drawn into empty charts, no view.
void drawModels(benchmark::State &state, DrawChart draw)
{
    HistoryBench &b = bench();
    for (auto _ : state) {
        std::vector<std::unique_ptr<Chart>> charts;
        for (int i = 0; i < SqlHistoryScreen::kChartCount; ++i) {
            charts.push_back(std::make_unique<Chart>());
            draw(*b.grid, *charts.back(), kCharts[i].first, kCharts[i].second);
        }
    }
    state.counters["rows"] = b.grid->rowCount() - 1;
}

// The screen's nineteen charts drawn from the loaded grid, taken in by their views and
// the shown ones painted.
void drawShown(benchmark::State &state, DrawChart draw)
{
    HistoryBench &b = bench();
    for (auto _ : state) {
        state.PauseTiming();
        b.retrieve();
        for (Chart *chart : b.charts())
            chart->removeAllSeries();
        b.paintShown();
        state.ResumeTiming();
        for (int i = 0; i < SqlHistoryScreen::kChartCount; ++i)
            draw(*b.grid, *b.charts()[size_t(i)], kCharts[i].first, kCharts[i].second);
        showFirst(b.charts());
        b.paintShown();
    }
    state.counters["rows"] = b.grid->rowCount() - 1;
}

// ChartFromGrid: each row's series found through the title index ...
void ChartsFromGrid(benchmark::State &state)
{
    drawModels(state, indexed);
}
BENCHMARK(ChartsFromGrid)->Unit(benchmark::kMillisecond)->Iterations(5);

// ... and literally, every row's key compared with every series' title.
void ChartsFromGridLiteral(benchmark::State &state)
{
    drawModels(state, literal::literalChartFromGrid);
}
BENCHMARK(ChartsFromGridLiteral)->Unit(benchmark::kMillisecond)->Iterations(5);

void DrawNineteenCharts(benchmark::State &state)
{
    drawShown(state, indexed);
}
BENCHMARK(DrawNineteenCharts)->Unit(benchmark::kMillisecond)->Iterations(3);

void DrawNineteenChartsLiteral(benchmark::State &state)
{
    drawShown(state, literal::literalChartFromGrid);
}
BENCHMARK(DrawNineteenChartsLiteral)->Unit(benchmark::kMillisecond)->Iterations(1);

// The user steps to the next statement in the combo: its series on all nineteen charts,
// the shown ones painted.
void SwitchStatement(benchmark::State &state)
{
    HistoryBench &b = bench();
    b.retrieve();
    auto *combo = b.screen->findChild<QComboBox *>(QStringLiteral("sqlid_combo"));
    bool down = true;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, down ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(combo, &press);
        down = !down;
        b.paintShown();
    }
}
BENCHMARK(SwitchStatement)->Unit(benchmark::kMillisecond)->Iterations(20);


} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv, [] { theBench.reset(); });
}
