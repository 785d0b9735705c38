// Live charts: N line series of a day of 30-second ticks (2,880 points each), drawn
// offscreen at 900x600 by ChartView, beside Qt Charts' own line series fed every
// point and fed the same per-pixel-column reduction.
#include "bench_support.h"
#include "core/chart.h"
#include "ui/chart_view.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QTime>
#include <QValueAxis>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

using namespace tavimond;

namespace {

constexpr int kPoints = 2880;
constexpr int kWidth = 900;
constexpr int kHeight = 600;

// A wait-event-like Delta: a daily wave, noise and a rare spike.
double delta(int series, int tick)
{
    const double wave = 50 + 40 * std::sin(tick * 0.004 + series);
    const unsigned noise = (unsigned(tick) * 2654435761u + unsigned(series) * 40503u) >> 27;
    return wave + noise + (tick % 997 == series % 997 ? 400 : 0);
}

const QStringList &tickLabels()
{
    static const QStringList labels = [] {
        QStringList l;
        for (int t = 0; t < kPoints + 1000; ++t)
            l << QTime(0, 0).addSecs(30 * t).toString(QStringLiteral("HH:mm:ss"));
        return l;
    }();
    return labels;
}

void fill(Chart &chart, int series, int points = kPoints)
{
    Chart::Batch batch(chart);
    for (int s = 0; s < series; ++s) {
        const int i = chart.addSeries(SeriesKind::Line, QStringLiteral("%1:latch %2").arg(s % 2 + 1).arg(s));
        chart.setSeriesMarksVisible(i, false);
    }
    for (int t = 0; t < points; ++t)
        for (int s = 0; s < series; ++s)
            chart.addPoint(s, delta(s, t), tickLabels()[t]);
}

void paint(QWidget &view)
{
    static QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    view.render(&painter);
}

// A shown view of a full chart, everything taken in, with room to grow as the live
// screens' charts have.
struct Drawn {
    Chart chart;
    std::unique_ptr<ChartView> view;
    explicit Drawn(int series, int points = kPoints)
    {
        fill(chart, series, points);
        view = std::make_unique<ChartView>(&chart, QStringLiteral("latchchart"));
        view->setRoomToGrow(true);
        view->resize(kWidth, kHeight);
        view->show();
        view->sync();
    }
};

// Repaint of a view whose model did not change (an expose, a tooltip).
void ChartViewRepaint(benchmark::State &state)
{
    Drawn d(int(state.range(0)));
    for (auto _ : state)
        paint(*d.view);
}

// One live tick: a point for every series, taken in and painted.
void ChartViewTick(benchmark::State &state)
{
    Drawn d(int(state.range(0)), state.range(1) ? int(state.range(1)) : kPoints);
    int tick = d.chart.series(0).pointCount();
    for (auto _ : state) {
        {
            Chart::Batch batch(d.chart);
            for (int s = 0; s < d.chart.seriesCount(); ++s)
                d.chart.addPoint(s, delta(s, tick), tickLabels()[tick % tickLabels().size()]);
        }
        ++tick;
        d.view->sync();
        paint(*d.view);
    }
}

// The whole chart placed from nothing and painted (a new view, or after Clear All).
void ChartViewFirstDraw(benchmark::State &state)
{
    Chart chart;
    fill(chart, int(state.range(0)));
    for (auto _ : state) {
        ChartView view(&chart, QStringLiteral("latchchart"));
        view.setRoomToGrow(true);
        view.resize(kWidth, kHeight);
        view.show();
        view.sync();
        paint(view);
    }
}

std::unique_ptr<QChartView> qtChartsView(int series, bool reduced)
{
    auto view = std::make_unique<QChartView>();
    view->resize(kWidth, kHeight);
    QChart *chart = view->chart();
    chart->legend()->hide();
    auto *x = new QValueAxis;
    auto *y = new QValueAxis;
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const int columns = kWidth - 100; // about the plot's width
    for (int s = 0; s < series; ++s) {
        QList<QPointF> points;
        if (!reduced) {
            for (int t = 0; t < kPoints; ++t)
                points.append(QPointF(t, delta(s, t)));
        } else {
            for (int c = 0; c < columns; ++c) {
                const int from = c * kPoints / columns;
                const int to = (c + 1) * kPoints / columns;
                int lo = from;
                int hi = from;
                for (int t = from; t < to; ++t) {
                    lo = delta(s, t) < delta(s, lo) ? t : lo;
                    hi = delta(s, t) > delta(s, hi) ? t : hi;
                }
                points.append(QPointF(std::min(lo, hi), delta(s, std::min(lo, hi))));
                points.append(QPointF(std::max(lo, hi), delta(s, std::max(lo, hi))));
            }
        }
        auto *line = new QLineSeries;
        line->replace(points);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    x->setRange(0, kPoints);
    y->setRange(0, 600);
    view->show();
    return view;
}

void QtChartsEveryPoint(benchmark::State &state)
{
    auto view = qtChartsView(int(state.range(0)), false);
    for (auto _ : state)
        paint(*view);
}

void QtChartsReduced(benchmark::State &state)
{
    auto view = qtChartsView(int(state.range(0)), true);
    for (auto _ : state)
        paint(*view);
}

} // namespace

BENCHMARK(ChartViewRepaint)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);
// Two sizes of long lines, and the 4,000 lines of a wait-event chart after 100, 720 and
// 2,880 ticks: the cost of a tick must not grow with the history.
BENCHMARK(ChartViewTick)
    ->Args({50, 0})
    ->Args({500, 0})
    ->Args({4000, 100})
    ->Args({4000, 720})
    ->Args({4000, 2880})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ChartViewFirstDraw)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(QtChartsEveryPoint)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(QtChartsReduced)->Arg(50)->Arg(500)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
