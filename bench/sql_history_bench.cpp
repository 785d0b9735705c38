// The historical SQL statistics screen over a list of 100 statements and 30 days of
// hourly snapshots (about 72,000 rows): the bulk retrieval as the user waits for it
// (statements answered, rows loaded, nineteen charts drawn and the shown ones painted),
// the drawing of the nineteen charts beside the literal series-list scan on the same
// grid, and the choice of another statement on all nineteen charts.
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
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <benchmark/benchmark.h>

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

void paintShown(SqlHistoryScreen &screen)
{
    static QImage image(1142, 698, QImage::Format_ARGB32_Premultiplied);
    QCoreApplication::processEvents(); // the views take in their models' changes
    for (ChartView *view : screen.findChildren<ChartView *>())
        if (view->isVisible()) {
            QPainter painter(&image);
            view->render(&painter);
        }
}

// The screen shown with the list loaded, the statements' answers kept so that the
// simulated instance answers at once and the draw is what is measured.
struct HistoryBench {
    HistoryBench()
    {
        sim::Server &server = sim::Server::instance();
        server.reset(1, sim::ClockMode::Manual);
        auto &shape = server.model().state<sim::RepositoryShape>();
        shape.days = kDays;
        shape.statements = kStatements;
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        QFile list(dir.filePath(QStringLiteral("list.txt")));
        if (!list.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the list");
        for (const auto &s : server.model().state<sim::SqlWorkload>().statements())
            list.write((s.sqlId + QStringLiteral(",,,,,\r\n")).toUtf8());
        list.close();

        screen = std::make_unique<SqlHistoryScreen>(ScreenContext{cnn, settings});
        screen->resize(1142, 698);
        screen->show();
        screen->findChild<QLineEdit *>(QStringLiteral("SQLIdList"))->setText(list.fileName());
        screen->findChild<QLineEdit *>(QStringLiteral("dayret"))->setText(QString::number(kDays));
        screen->Button102Click();
        screen->findChild<QRadioButton *>(QStringLiteral("listrb"))->setChecked(true);
        screen->listrbClick();

        // Keep each statement's answer.
        server.clearStatements();
        screen->ret_bulk_buttonClick();
        auto answers = std::make_shared<QHash<QString, sim::Result>>();
        const QStringList sent = server.statements();
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
        grid = screen->findChild<GridView *>(QStringLiteral("SQL_Prof_Grid"))->grid();
    }

    // The screen's charts, in the order a retrieval draws them.
    std::vector<Chart *> charts() const
    {
        std::vector<Chart *> out;
        for (ChartView *view : screen->findChildren<ChartView *>())
            out.push_back(view->model());
        return out;
    }

    bench::BenchSettings settings;
    Connection cnn;
    QTemporaryDir dir;
    std::unique_ptr<SqlHistoryScreen> screen;
    ResultGrid *grid = nullptr;
};

// Made on first use, gone before the application.
std::unique_ptr<HistoryBench> theBench;

HistoryBench &bench()
{
    if (!theBench)
        theBench = std::make_unique<HistoryBench>();
    return *theBench;
}

// "Retrieve Bulk SQL Stat": 100 statements answered and appended, the nineteen charts
// drawn, both combos filled, the first statement shown and painted.
void BulkRetrievalShown(benchmark::State &state)
{
    HistoryBench &b = bench();
    for (auto _ : state) {
        b.screen->ret_bulk_buttonClick();
        paintShown(*b.screen);
    }
    state.counters["rows"] = b.grid->rowCount() - 1;
    state.counters["keys"] = b.screen->findChild<QComboBox *>(QStringLiteral("sqlid_combo"))->count();
}
BENCHMARK(BulkRetrievalShown)->Unit(benchmark::kMillisecond)->Iterations(3);

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
        b.screen->ret_bulk_buttonClick();
        paintShown(*b.screen);
        for (Chart *chart : b.charts())
            chart->removeAllSeries();
        paintShown(*b.screen);
        state.ResumeTiming();
        for (int i = 0; i < SqlHistoryScreen::kChartCount; ++i)
            draw(*b.grid, *b.charts()[size_t(i)], kCharts[i].first, kCharts[i].second);
        showFirst(b.charts());
        paintShown(*b.screen);
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
    b.screen->ret_bulk_buttonClick();
    paintShown(*b.screen);
    auto *combo = b.screen->findChild<QComboBox *>(QStringLiteral("sqlid_combo"));
    bool down = true;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, down ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(combo, &press);
        down = !down;
        paintShown(*b.screen);
    }
}
BENCHMARK(SwitchStatement)->Unit(benchmark::kMillisecond)->Iterations(20);


} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv, [] { theBench.reset(); });
}
