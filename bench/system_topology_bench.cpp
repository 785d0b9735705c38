// The system topology report over a week of hourly snapshots of four instances (672
// rows, 37 charts): the retrieve as the user waits for it (statement built, answered,
// loaded, drawn into the charts and the first group painted), the database's share of
// it alone, and the switch to another instance.
#include "bench_support.h"
#include "core/result_grid.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/sim/repository/repository.h"
#include "db/sim/server.h"
#include "history/system_topology_screen.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <benchmark/benchmark.h>
#include <memory>

using namespace tavimond;

namespace {

using bench::BenchSettings;

struct Week {
    Week()
    {
        sim::Server &server = sim::Server::instance();
        server.reset();
        auto &shape = server.model().state<sim::RepositoryShape>();
        shape.instances = 4;
        // Two weeks of retention, a week shown.
        server.model().advance(120);
        cnn.setConnectionString({QStringLiteral("Provider=Simulated;"),
                                 Logon{QStringLiteral("bench"), QStringLiteral("x"), QStringLiteral("TAVIDB")}});
        screen = std::make_unique<SystemTopologyScreen>(ScreenContext{cnn, settings});
        // The seven days before the clock's start: 7 x 24 snapshots of each instance.
        screen->findChild<QRadioButton *>(QStringLiteral("systrangerb"))->setChecked(true);
        screen->findChild<QLineEdit *>(QStringLiteral("systfrom"))->setText(QStringLiteral("23/NOV/2026 08:00:00"));
        screen->findChild<QLineEdit *>(QStringLiteral("systto"))->setText(QStringLiteral("30/NOV/2026 08:01:00"));
        screen->resize(1142, 698);
        screen->show();
        QApplication::processEvents();
    }
    void paint()
    {
        QApplication::processEvents(); // the charts take in their new series
        static QImage image(1142, 698, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        screen->render(&painter);
    }
    int rows() const { return screen->findChild<ResultGrid *>()->rowCount() - 1; }

    BenchSettings settings;
    Connection cnn;
    std::unique_ptr<SystemTopologyScreen> screen;
};

// Made on first use, gone before the application is.
std::unique_ptr<Week> theWeek;

Week &week()
{
    if (!theWeek)
        theWeek = std::make_unique<Week>();
    return *theWeek;
}

void SystemTopologyRetrieve(benchmark::State &state)
{
    Week &w = week();
    for (auto _ : state) {
        w.screen->Button2Click();
        w.paint();
    }
    state.counters["rows"] = w.rows();
}
BENCHMARK(SystemTopologyRetrieve)->Unit(benchmark::kMillisecond)->Iterations(5);

// The database's share: the same statement answered and every row fetched.
void SystemTopologyDatabase(benchmark::State &state)
{
    Week &w = week();
    w.screen->Button2Click();
    const QStringList sql =
        w.screen->findChild<QPlainTextEdit *>(QStringLiteral("systopmemo"))->toPlainText().split(QLatin1Char('\n'));
    Query q(w.cnn);
    int rows = 0;
    for (auto _ : state) {
        q.setSql(sql);
        q.open();
        for (rows = 0; !q.eof(); q.next())
            ++rows;
        q.close();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(SystemTopologyDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

// Choosing another instance: 37 charts switch their series and the group repaints.
void SystemTopologyChooseInstance(benchmark::State &state)
{
    Week &w = week();
    w.screen->Button2Click();
    w.paint();
    auto *combo = w.screen->findChild<QComboBox *>(QStringLiteral("instid_combo"));
    int next = 0;
    for (auto _ : state) {
        next = (next + 1) % combo->count();
        combo->setCurrentIndex(next);
        w.screen->instid_comboChange();
        w.paint();
    }
}
BENCHMARK(SystemTopologyChooseInstance)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv, [] { theWeek.reset(); });
}
