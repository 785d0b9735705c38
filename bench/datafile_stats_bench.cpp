// The datafile statistics of 20 files over a week of 15-minute snapshots (13,440 rows):
// Retrieve pressed, the rows loaded, averaged and drawn on the six charts, the visible two
// painted. Once with the rows the simulated database works out for each retrieve, once
// with the rows ready (what the program itself takes).
#include "bench_support.h"
#include "core/result_grid.h"
#include "db/connection.h"
#include "db/sim/repository/filestat_model.h"
#include "db/sim/repository/repository.h"
#include "db/sim/server.h"
#include "history/datafile_stats_screen.h"
#include "ui/chart_view.h"
#include "ui/grid_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {


const char *const kCharts[] = {"reads_graph",     "writes_graph",      "readtime_graph",
                               "writetime_graph", "readtimeavg_graph", "writetimeavg_graph"};

// The screen on a repository of a week of 15-minute snapshots of 20 datafiles, shown.
struct Screen {
    Screen()
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        auto &model = server.model();
        model.state<sim::RepositoryShape>().days = 7;
        model.state<sim::RepositoryShape>().intervalMinutes = 15;
        model.state<sim::FileStatShape>().extraFiles = 7;
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<DatafileStatsScreen>(ScreenContext{cnn, settings});
        for (const GridHeaders &g : screen->gridHeaders())
            grid().setHeaders(g.headers);
        screen->findChild<QLineEdit *>(QStringLiteral("dfdayret"))->setText(QStringLiteral("8"));
        screen->resize(1142, 698);
        screen->show();
        QApplication::processEvents();
    }
    ResultGrid &grid() { return *screen->findChild<GridView *>(QStringLiteral("df_grid"))->grid(); }
    void retrieve()
    {
        screen->findChild<QAbstractButton *>(QStringLiteral("Button116"))->click();
        for (const char *name : kCharts)
            screen->findChild<ChartView *>(QLatin1String(name))->sync();
        QImage image(screen->size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        screen->render(&painter);
    }
    void report(benchmark::State &state)
    {
        state.counters["rows"] = grid().rowCount() - 1;
        state.counters["files"] = screen->findChild<ChartView *>(QStringLiteral("reads_graph"))->model()->seriesCount();
        if (!bench::quietSink().errors.isEmpty())
            state.SkipWithError(bench::quietSink().errors.first().toUtf8().constData());
    }
    bench::BenchSettings settings;
    Connection cnn;
    std::unique_ptr<DatafileStatsScreen> screen;
};

void DatafileStatsRetrieve(benchmark::State &state)
{
    Screen s;
    for (auto _ : state)
        s.retrieve();
    s.report(state);
}
BENCHMARK(DatafileStatsRetrieve)->Unit(benchmark::kMillisecond)->Iterations(3);

// A pattern as long as the edit takes (32,767 characters) that matches every file: the
// simulated database compares it with each file's name of every snapshot.
void DatafileStatsRetrieveLongPattern(benchmark::State &state)
{
    Screen s;
    s.screen->findChild<QLineEdit *>(QStringLiteral("dfname"))->setText(QString(32767, QLatin1Char('%')));
    for (auto _ : state)
        s.retrieve();
    s.report(state);
}
BENCHMARK(DatafileStatsRetrieveLongPattern)->Unit(benchmark::kMillisecond)->Iterations(3);

// The rows of the first retrieve served again as they are: the program's own time.
void DatafileStatsRetrieveProgramOnly(benchmark::State &state)
{
    Screen s;
    s.retrieve();
    auto rows = std::make_shared<sim::Table>(QStringList{
        QStringLiteral("SNAP_ID"), QStringLiteral("BEGINTIME"), QStringLiteral("ENDTIME"), QStringLiteral("FILENAME"),
        QStringLiteral("R"), QStringLiteral("RT"), QStringLiteral("W"), QStringLiteral("WT")});
    for (int r = 1; r < s.grid().rowCount(); ++r)
        rows->addRow(s.grid().row(r).mid(0, 8));
    sim::Server::instance().add({QStringLiteral("ready rows"),
                                 [](const sim::Statement &st) { return st.has(QStringLiteral("iodetail")); },
                                 [rows](const sim::Statement &, sim::Context &) { return sim::Result(rows); }});
    for (auto _ : state)
        s.retrieve();
    s.report(state);
}
BENCHMARK(DatafileStatsRetrieveProgramOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
