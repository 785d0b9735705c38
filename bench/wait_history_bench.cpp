// The wait event history of 800 keys over 336 snapshots (two weeks of hourly snapshots
// of 2 x 400 events; some events begin part-way, so about 250,000 rows): Acquire pressed, the rows fetched from the
// simulated repository, the lines built and both charts drawn, beside the literal load
// that finds each key's series by comparing every title.
#include "bench_support.h"
#include "literal.h"

#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/connection.h"
#include "db/sim/live/wait_event_catalogue.h"
#include "db/sim/repository/repository.h"
#include "db/sim/repository/system_event_model.h"
#include "db/sim/server.h"
#include "live/wait_events_screen.h"
#include "ui/chart_view.h"
#include "ui/grid_view.h"
#include "ui/script_memo.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

using namespace tavimond;

namespace {

constexpr int kEventsPerInstance = 400;
constexpr int kDays = 14; // hourly snapshots: 336

using bench::BenchSettings;

// The repository of the benchmark: two weeks, 400 events on each instance.
void shapeRepository()
{
    sim::Server::instance().reset(1, sim::ClockMode::Manual);
    auto &model = sim::Server::instance().model();
    model.state<sim::RepositoryShape>().days = kDays;
    model.state<sim::RepositoryShape>().intervalMinutes = 60;
    model.state<sim::SystemEventShape>().extraEvents = kEventsPerInstance - int(sim::waitEventCatalogue().size());
    // Two hours on, the events that first wait after the clock's start have waited too.
    model.advance(2 * 3600);
}

void paint(QWidget &w)
{
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    w.render(&painter);
}

struct Session {
    Session()
    {
        cnn.setConnectionString(
            {QStringLiteral("Provider=Simulated;"),
             tavimond::Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
    }
    BenchSettings settings;
    Connection cnn;
};

void WaitHistoryAcquire(benchmark::State &state)
{
    shapeRepository();
    Session logon;
    WaitEventsScreen screen(ScreenContext{logon.cnn, logon.settings});
    screen.resize(1142, 698);
    screen.setCurrentWidget(screen.findChild<QWidget *>(QStringLiteral("wthist")));
    screen.show();
    screen.findChild<QLineEdit *>(QStringLiteral("wait_days"))->setText(QString::number(kDays + 1));
    auto *acquire = screen.findChild<QPushButton *>(QStringLiteral("Button10"));
    auto *count = screen.findChild<ChartView *>(QStringLiteral("WaitHistGraph"));
    auto *time = screen.findChild<ChartView *>(QStringLiteral("WaitHistGraphtime"));
    QApplication::processEvents();
    for (auto _ : state) {
        acquire->click();
        count->sync();
        time->sync();
        paint(screen);
    }
    if (!bench::quietSink().errors.isEmpty())
        state.SkipWithError(bench::quietSink().errors.first().toStdString().c_str());
    state.counters["keys"] = count->model()->seriesCount();
    state.counters["rows"] = screen.findChild<GridView *>(QStringLiteral("wthistgrid"))->grid()->rowCount() - 1;
}
BENCHMARK(WaitHistoryAcquire)->Unit(benchmark::kMillisecond)->Iterations(3);

void WaitHistoryAcquireLiteral(benchmark::State &state)
{
    shapeRepository();
    Session logon;
    WaitEventsScreen screen(ScreenContext{logon.cnn, logon.settings});
    screen.findChild<QLineEdit *>(QStringLiteral("wait_days"))->setText(QString::number(kDays + 1));
    // The same statement, as Acquire builds it.
    screen.findChild<QPushButton *>(QStringLiteral("Button10"))->click();
    const QStringList sql = memoLines(*screen.findChild<QPlainTextEdit *>(QStringLiteral("wtsqlhisttxt")));
    QWidget window;
    window.resize(1142, 698);
    Chart count, time;
    ChartView countView(&count, QStringLiteral("WaitHistGraph"), &window);
    ChartView timeView(&time, QStringLiteral("WaitHistGraphtime"), &window);
    countView.setGeometry(0, 0, 571, 520);
    timeView.setGeometry(571, 0, 571, 520);
    window.show();
    ResultGrid grid(4);
    Query query(logon.cnn);
    for (auto _ : state) {
        count.removeAllSeries();
        time.removeAllSeries();
        grid.empty();
        query.setSql(sql);
        OpenQuery(query);
        {
            Chart::Batch a(count), b(time);
            literal::literalWaitHistory(query, grid, count, time);
        }
        countView.sync();
        timeView.sync();
        paint(window);
    }
    state.counters["keys"] = count.seriesCount();
    state.counters["rows"] = grid.rowCount() - 1;
}
BENCHMARK(WaitHistoryAcquireLiteral)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
