#include "common/chart_support.h"
#include "core/chart.h"
#include "ui/chart_scale.h"
#include "ui/chart_view.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <QGraphicsTextItem>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QWheelEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

using namespace tavimond;

namespace {

const Rgb kRed = 0xE00000;
const Rgb kGreen = 0x00B000;
const Rgb kBlue = 0x0000E0;

QString time(int minute)
{
    return QStringLiteral("08:%1:00").arg(minute, 2, 10, QLatin1Char('0'));
}

// A shown chart view of a given size.
std::unique_ptr<ChartView> shownView(Chart &chart, const QString &name = "chart")
{
    auto view = std::make_unique<ChartView>(&chart, name);
    view->resize(800, 500);
    view->show();
    view->sync();
    return view;
}

// Whether the view shows this colour within `reach` pixels of `at` (a one-pixel line
// passes within one pixel of its points).
bool shows(ChartView &view, QPointF at, const QColor &color, int reach = 1)
{
    const QImage image = view.viewport()->grab().toImage();
    for (int dx = -reach; dx <= reach; ++dx)
        for (int dy = -reach; dy <= reach; ++dy)
            if (image.pixelColor(at.toPoint() + QPoint(dx, dy)) == color)
                return true;
    return false;
}

const auto rgb = [](Rgb c) { return QColor::fromRgb(QRgb(0xFF000000u | c)); };

// An axis' label texts as the user reads them (equal labels are made distinct with
// zero-width spaces).
QStringList readLabels(ChartView &view, Qt::Alignment side = Qt::AlignBottom)
{
    QStringList out;
    for (QString label : view.axis(side)->categoriesLabels())
        out << label.remove(QChar(0x200B));
    return out;
}

// Where on screen the bottom axis puts the k-th label shown as `text`.
double labelX(ChartView &view, const QString &text, int k = 0)
{
    QCategoryAxis *axis = view.axis(Qt::AlignBottom);
    const QRectF plot = view.chart()->plotArea();
    for (const QString &label : axis->categoriesLabels()) {
        if (QString(label).remove(QChar(0x200B)) != text || k-- > 0)
            continue;
        const double f = (axis->endValue(label) - axis->min()) / (axis->max() - axis->min());
        return view.viewportTransform().map(view.chart()->mapToScene(QPointF(plot.left() + f * plot.width(), 0))).x();
    }
    ADD_FAILURE() << "no label " << text.toStdString();
    return -1;
}

} // namespace

TEST(ChartView, ModelChangesReachTheViewOncePerTurnOfTheEventLoop)
{
    Chart chart;
    auto view = shownView(chart);
    const int before = view->syncCount();

    const int a = chart.addSeries(SeriesKind::Line, "1:db file sequential read");
    const int b = chart.addSeries(SeriesKind::Line, "1:log file sync");
    for (int t = 0; t < 30; ++t) {
        chart.addPoint(a, t, time(t));
        chart.addPoint(b, 30 - t, time(t));
    }
    EXPECT_EQ(view->syncCount(), before);
    EXPECT_TRUE(view->plot().lines().empty());

    QCoreApplication::processEvents();
    EXPECT_EQ(view->syncCount(), before + 1); // 63 changes, one redraw
    ASSERT_EQ(view->plot().lines().size(), 2u);
    EXPECT_EQ(view->plot().lines()[0].path.size(), 30);

    // Rising series: each point stands right of and above the one before.
    const QPointF p0 = *view->pointPosition(a, 0);
    const QPointF p29 = *view->pointPosition(a, 29);
    EXPECT_LT(p0.x(), p29.x());
    EXPECT_GT(p0.y(), p29.y());
    EXPECT_TRUE(shows(*view, p29, view->plot().lines()[0].color));
    // The point under the mouse, asked from the last series to the first.
    const QPointF cross = *view->pointPosition(b, 15);
    EXPECT_EQ(view->hitAt(cross.toPoint()), (ChartHit{b, 15}));
    EXPECT_EQ(view->pointAt(b, p29.toPoint()), -1);
    EXPECT_FALSE(view->hitAt(QPoint(2, 2)).has_value());
}

TEST(ChartView, AResizeBeforeAChangeIsTakenInLaysOutTheChangedModelAndAChartThatGoesAwayLeavesAnEmptyView)
{
    auto chart = std::make_unique<Chart>();
    const int bars = chart->addSeries(SeriesKind::Bar, QString());
    chart->addPoint(bars, 1, QString());
    auto view = shownView(*chart);
    ASSERT_EQ(view->plot().bars().size(), 1u);
    {
        Chart::Batch batch(*chart);
        chart->clearPoints(bars);
        for (int i = 0; i < 25; ++i)
            chart->addPoint(bars, i, QString(), kBlue);
    }
    view->resize(700, 400); // before the event loop turns
    ASSERT_EQ(view->plot().bars().size(), 25u);
    EXPECT_EQ(view->plot().bars()[24].color, rgb(kBlue));
    const int syncs = view->syncCount();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->syncCount(), syncs); // taken in once

    chart.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->model(), nullptr);
    EXPECT_TRUE(view->plot().bars().empty());
    EXPECT_EQ(view->pointAt(0, QPoint(100, 100)), -1);
}

TEST(ChartView, HiddenSeriesKeepTheirPointsAndComeBackWhole)
{
    Chart chart;
    const int a = chart.addSeries(SeriesKind::Line, "A");
    const int b = chart.addSeries(SeriesKind::Line, "B");
    chart.setSeriesColor(a, kBlue);
    chart.setSeriesColor(b, kRed);
    for (int t = 0; t < 40; ++t) {
        chart.addPoint(a, 10, time(t));
        chart.addPoint(b, t % 7 * 100, time(t));
    }
    auto view = shownView(chart);
    const QPointF peak = *view->pointPosition(b, 6);
    EXPECT_TRUE(shows(*view, peak, rgb(kRed)));

    chart.setSeriesActive(b, false);
    view->sync();
    ASSERT_EQ(view->plot().lines().size(), 1u);
    EXPECT_EQ(view->plot().lines()[0].series, a);
    EXPECT_FALSE(view->pointPosition(b, 6).has_value());
    EXPECT_EQ(view->pointAt(b, peak.toPoint()), -1);
    EXPECT_FALSE(shows(*view, peak, rgb(kRed)));
    // With B gone the left axis fits A alone.
    EXPECT_LT(view->axis(Qt::AlignLeft)->max(), 600);

    // Points that arrive while hidden are there when it comes back.
    chart.addPoint(a, 10, time(40));
    chart.addPoint(b, 999, time(40));
    chart.setSeriesActive(b, true);
    view->sync();
    ASSERT_EQ(view->plot().lines().size(), 2u);
    EXPECT_EQ(view->plot().lines()[1].path.size(), 41);
    EXPECT_TRUE(shows(*view, *view->pointPosition(b, 40), rgb(kRed)));
    // Its earlier points stand where they stood before, but for the axis' new range.
    EXPECT_LT(view->pointPosition(b, 0)->x(), view->pointPosition(b, 1)->x());
    EXPECT_GT(view->pointPosition(b, 6)->y(), view->pointPosition(b, 40)->y());
}

TEST(ChartView, BarsStandUnderTheirOwnLabelsAndRepeatedLabelsAreKept)
{
    Chart chart;
    const int a = chart.addSeries(SeriesKind::Bar, "6gvch1xu9ca3g::1234", AxisSide::Right);
    const int b = chart.addSeries(SeriesKind::Bar, "0w26sk6t6gq98::555", AxisSide::Right);
    chart.setSeriesColor(a, kBlue);
    chart.setSeriesColor(b, kGreen);
    for (int t = 1; t <= 3; ++t)
        chart.addPoint(a, 100 * t, time(t));
    // B's first snapshot is A's second one.
    chart.addPoint(b, 250, time(2));
    chart.addPoint(b, 350, time(3));
    auto view = shownView(chart);

    EXPECT_EQ(readLabels(*view), (QStringList{time(1), time(2), time(3)}));
    const QPointF bFirst = *view->pointPosition(b, 0);
    const QPointF aSecond = *view->pointPosition(a, 1);
    // Side by side within the place of 08:02, B right of A, both beside the label.
    const double x2 = labelX(*view, time(2));
    EXPECT_LT(std::abs(bFirst.x() - x2), std::abs(x2 - labelX(*view, time(1))) / 2);
    EXPECT_LT(aSecond.x(), x2);
    EXPECT_GT(bFirst.x(), x2);
    EXPECT_TRUE(shows(*view, bFirst + QPointF(0, 5), rgb(kGreen), 0));
    EXPECT_TRUE(shows(*view, aSecond + QPointF(0, 5), rgb(kBlue), 0));
    EXPECT_EQ(view->pointAt(b, (bFirst + QPointF(0, 5)).toPoint()), 0);
    EXPECT_EQ(view->pointAt(a, (bFirst + QPointF(0, 5)).toPoint()), -1);

    // A label repeated within a series keeps both bars, each under a label of its own.
    chart.addPoint(a, 50, time(3));
    view->sync();
    EXPECT_EQ(readLabels(*view), (QStringList{time(1), time(2), time(3), time(3)}));
    const QPointF repeated = *view->pointPosition(a, 3);
    EXPECT_LT(std::abs(repeated.x() - labelX(*view, time(3), 1)), std::abs(repeated.x() - labelX(*view, time(3), 0)));
    EXPECT_TRUE(shows(*view, repeated + QPointF(0, 3), rgb(kBlue), 0));
}

// Eight series of bars about 1, 2, 3 and 20 pixels across, as the repository charts draw
// them at a week of snapshots and at a few: every bar shows its series' colour, the
// colour of its legend swatch, over most of the pixels it covers; a bar wide enough for
// an edge has a darker one, so that the white series stands out from the white chart.
TEST(ChartView, BarsOfEveryWidthShowTheirSeriesColour)
{
    const std::vector<Rgb> colours = {0xFFFFFF, 0x00FF00, 0xFF0000, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x808000};
    for (const double across : {1.0, 2.0, 3.0, 20.0}) {
        SCOPED_TRACE(across);
        Chart chart;
        const int places = int(std::lround(70 / across));
        for (size_t k = 0; k < colours.size(); ++k) {
            const int s = chart.addSeries(SeriesKind::Bar, QStringLiteral("file %1").arg(k + 1), AxisSide::Right);
            chart.setSeriesColor(s, colours[k]);
            for (int p = 0; p < places; ++p)
                chart.addPoint(s, 60 + (p * 7 + int(k) * 5) % 40, time(p));
        }
        auto view = shownView(chart);
        // The view made as wide as bars of that width need.
        const auto meanWidth = [&] {
            double sum = 0;
            for (const ChartPlot::Bar &b : view->plot().bars())
                sum += b.rect.width();
            return sum / double(view->plot().bars().size());
        };
        const double plotWidth = view->chart()->plotArea().width();
        view->resize(view->width() + int(std::lround(plotWidth * (across / meanWidth() - 1))), 500);
        QCoreApplication::processEvents();
        ASSERT_NEAR(meanWidth(), across, across * 0.15);

        const QImage image = view->viewport()->grab().toImage();
        int bars = 0, inColour = 0;
        for (const ChartPlot::Bar &b : view->plot().bars()) {
            const QColor fill = rgb(colours[size_t(b.series)]);
            ASSERT_EQ(b.color, fill);
            const QRectF at = view->viewportTransform().mapRect(view->chart()->mapRectToScene(b.rect));
            // The pixels whose centres the bar covers.
            const int left = int(std::ceil(at.left() - 0.5)), right = int(std::ceil(at.right() - 0.5));
            const int top = int(std::ceil(at.top() - 0.5)), bottom = int(std::ceil(at.bottom() - 0.5));
            int same = 0;
            for (int x = left; x < right; ++x)
                for (int y = top; y < bottom; ++y)
                    same += image.pixelColor(x, y) == fill;
            ++bars;
            inColour += 2 * same > (right - left) * (bottom - top);
            if (across < 10)
                continue;
            // Its edges left and right, halfway up.
            for (const int x : {left, right - 1}) {
                const QColor edge = image.pixelColor(x, (top + bottom) / 2);
                EXPECT_LT(edge.lightnessF(), fill.lightnessF());
                if (fill == Qt::white) {
                    EXPECT_GE(test::contrast(fill, edge), 3);
                }
            }
        }
        EXPECT_EQ(bars, 8 * places);
        EXPECT_EQ(inColour, bars);
        // The legend's swatches carry the same colours.
        ASSERT_EQ(view->legend().size(), colours.size());
        const QRect legendStrip(0, int(view->chart()->plotArea().bottom()) + 30, view->width(),
                                view->height() - int(view->chart()->plotArea().bottom()) - 30);
        for (size_t k = 0; k < colours.size(); ++k) {
            EXPECT_EQ(view->legend()[k].color, rgb(colours[k]));
            bool shown = false;
            for (int x = legendStrip.left(); x < legendStrip.right() && !shown; ++x)
                for (int y = legendStrip.top(); y < legendStrip.bottom() && !shown; ++y)
                    shown = image.pixelColor(x, y) == rgb(colours[k]);
            EXPECT_TRUE(shown) << k;
        }
    }
}

TEST(ChartView, DatedLabelsAreOrderedByTimeAndRemovedSeriesLeaveTheAxis)
{
    Chart chart;
    const int a = chart.addSeries(SeriesKind::Bar, "+DATA/orcl/users01.dbf");
    const int b = chart.addSeries(SeriesKind::Bar, "+DATA/orcl/system01.dbf");
    // The rows come without an order: B has a snapshot before A's first.
    chart.addPoint(a, 5, "01-MAY-2013 09:00");
    chart.addPoint(a, 6, "01-MAY-2013 10:00");
    chart.addPoint(b, 7, "01-MAY-2013 08:00");
    chart.addPoint(b, 8, "30-APR-2013 23:00");
    auto view = shownView(chart);
    EXPECT_EQ(readLabels(*view),
              (QStringList{"30-APR-2013 23:00", "01-MAY-2013 08:00", "01-MAY-2013 09:00", "01-MAY-2013 10:00"}));
    EXPECT_LT(view->pointPosition(b, 1)->x(), view->pointPosition(b, 0)->x());

    chart.removeSeries(b);
    view->sync();
    EXPECT_EQ(readLabels(*view), (QStringList{"01-MAY-2013 09:00", "01-MAY-2013 10:00"}));

    // Clear All, then a new report: nothing of the old one is left, not even a frame.
    chart.removeAllSeries();
    view->sync();
    EXPECT_TRUE(view->plot().bars().empty());
    EXPECT_TRUE(view->legend().empty());
    EXPECT_TRUE(test::blank(*view));
}

TEST(ChartView, AxisNumbersFollowTheChartsFormatAndSmallValuesAllReadDifferently)
{
    // clang-format off
    const std::tuple<double, const char *, const char *> formats[] = {
        {1234567.891234, "#,##0.#####", "1,234,567.89123"}, {2500000, "#,##0.#####", "2,500,000"},
        {0.5, "#,##0.#####", "0.5"}, {-1234.5, "#,##0.#####", "-1,234.5"}, {-0.000001, "#,##0.#####", "0"},
        {999.999999, "#,##0.#####", "1,000"}, {3.1, "0.00", "3.10"}, {0.25, "#.##", ".25"},
        {1e20, "#,##0", "100,000,000,000,000,000,000"}, {0.1, "", "0.1"}};
    // clang-format on
    for (const auto &[value, format, text] : formats)
        EXPECT_EQ(formatNumber(value, QLatin1String(format)), QLatin1String(text)) << value << " " << format;

    Chart chart;
    const int s = chart.addSeries(SeriesKind::Bar, "orcl1", AxisSide::Right);
    chart.setRightAxisFormat("#,##0.#####");
    chart.addPoint(s, 2400000, "01-MAY-2013 08:00");
    chart.addPoint(s, 0.00012, "01-MAY-2013 09:00");
    auto view = shownView(chart);
    const QStringList right = readLabels(*view, Qt::AlignRight);
    ASSERT_GE(right.size(), 2);
    EXPECT_EQ(right.first(), "0");
    EXPECT_TRUE(right.contains("1,000,000")) << right.join(QLatin1Char(' ')).toStdString();
    EXPECT_GE(view->axis(Qt::AlignRight)->max(), 2400000);

    // Small values get bottom labels that all read differently.
    Chart small;
    small.addPoint(small.addSeries(SeriesKind::StackedHBar, "CPU Time "), 0.0014, "1::62");
    small.addPoint(0, 0.0028, "2::34");
    auto smallView = shownView(small);
    const QStringList labels = readLabels(*smallView);
    ASSERT_GT(labels.size(), 2);
    EXPECT_EQ(labels.first(), "0");
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size()) << labels.join(u' ').toStdString();
    EXPECT_TRUE(labels.contains("0.0005") || labels.contains("0.0002")) << labels.join(u' ').toStdString();
}

// The sessions chart: before its first sample its axis titles are not piled up in the
// chart's corner; with sessions in it both stand by their axes, and the bars of a session
// stack place by place, the first session on top.
TEST(ChartView, StackedHorizontalBarsStackPlaceByPlaceUnderAxisTitlesThatStandByTheirAxes)
{
    Chart chart;
    for (const char *t : {"CPU Time ", "I/O Wait", "Parse Time"})
        chart.setSeriesMarksVisible(chart.addSeries(SeriesKind::StackedHBar, t), false);
    auto view = shownView(chart, "sessres_graph");
    view->resize(800, 700); // room for every label of a page of twenty
    view->setAxisTitle(Qt::AlignBottom, "Seconds");
    view->setAxisTitle(Qt::AlignLeft, "Instance ID::SID");
    view->setPlacesPerPage(20);
    const auto titles = [&] {
        QCoreApplication::processEvents();
        view->sync();
        QMap<QString, QPointF> out;
        for (QGraphicsItem *item : view->scene()->items())
            if (auto *t = dynamic_cast<QGraphicsTextItem *>(item); t && t->isVisible())
                if (t->toPlainText() == QLatin1String("Seconds") ||
                    t->toPlainText() == QLatin1String("Instance ID::SID"))
                    out.insert(t->toPlainText(), t->scenePos());
        return out;
    };
    for (const QPointF &at : titles())
        EXPECT_NE(at, QPointF(0, 0));

    for (int s = 0; s < 3; ++s) {
        chart.addPoint(s, 2, "1::123");
        chart.addPoint(s, 1, "2::45");
    }
    const auto shown = titles();
    ASSERT_EQ(shown.size(), 2);
    const QRectF plot = view->chart()->plotArea();
    EXPECT_GT(shown.value("Seconds").y(), plot.bottom());
    EXPECT_LT(shown.value("Instance ID::SID").x(), plot.left());

    EXPECT_EQ(readLabels(*view, Qt::AlignLeft), (QStringList{"1::123", "2::45"}));
    EXPECT_TRUE(view->axis(Qt::AlignLeft)->isReverse());
    const auto &bars = view->plot().bars();
    ASSERT_EQ(bars.size(), 6u);
    // Series k of a session starts where series k-1 ends, in the same row.
    EXPECT_DOUBLE_EQ(bars[2].rect.left(), bars[0].rect.right());
    EXPECT_DOUBLE_EQ(bars[2].rect.top(), bars[0].rect.top());
    EXPECT_LT(bars[0].rect.top(), bars[1].rect.top()); // the first session on top
    EXPECT_NEAR(bars[4].rect.right() - bars[0].rect.left(), 3 * (bars[1].rect.width() + bars[3].rect.width()), 1.0);
    const QPointF ioOfSecond = *view->pointPosition(1, 1);
    EXPECT_EQ(view->hitAt(ioOfSecond.toPoint()), (ChartHit{1, 1}));

    // Hiding a series closes its gap.
    chart.setSeriesActive(1, false);
    view->sync();
    EXPECT_EQ(view->plot().bars().size(), 4u);
    EXPECT_EQ(view->pointAt(1, ioOfSecond.toPoint()), -1);

    // Paged by twenty, a short page keeps a full page's spacing and does not scroll.
    EXPECT_NEAR(view->plot().bars().front().rect.height(), view->plot().plotRect().height() / 20 * 0.7, 0.01);
    view->scrollPlaces(5);
    EXPECT_DOUBLE_EQ(view->firstPlace(), 0);
}

TEST(ChartView, APagedPlaceAxisShowsAPageAtATimeAndScrolls)
{
    Chart chart;
    const int s = chart.addSeries(SeriesKind::StackedHBar, "CPU Time ");
    QStringList sessions;
    for (int sid = 100; sid < 125; ++sid) {
        sessions << QStringLiteral("1::%1").arg(sid);
        chart.addPoint(s, 1 + (sid % 4), sessions.last());
    }
    auto view = shownView(chart);
    view->resize(800, 700);
    view->setPlacesPerPage(20);
    QCoreApplication::processEvents();

    // The first page: twenty places, the first on top; the rest lie outside the plot.
    QCategoryAxis *left = view->axis(Qt::AlignLeft);
    EXPECT_EQ(readLabels(*view, Qt::AlignLeft), sessions.mid(0, 20));
    EXPECT_DOUBLE_EQ(left->max() - left->min(), 20);
    const auto last = view->pointPosition(s, 19);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(view->hitAt(last->toPoint()), (ChartHit{s, 19}));
    EXPECT_FALSE(view->pointPosition(s, 20).has_value());

    // Scrolling stops at the last place; the wheel and the right mouse button scroll too.
    view->scrollPlaces(10);
    EXPECT_DOUBLE_EQ(view->firstPlace(), 5);
    EXPECT_EQ(readLabels(*view, Qt::AlignLeft), sessions.mid(5, 20));
    EXPECT_TRUE(view->pointPosition(0, 24).has_value());
    EXPECT_FALSE(view->pointPosition(0, 4).has_value());
    const QPoint centre = view->viewport()->rect().center();
    QWheelEvent up(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &up);
    EXPECT_DOUBLE_EQ(view->firstPlace(), 4);
    const double slot = view->pointPosition(0, 5)->y() - view->pointPosition(0, 4)->y();
    ASSERT_GT(slot, 0);
    const QPoint down = centre + QPoint(0, int(std::lround(2 * slot)));
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, centre);
    QTest::mouseMove(view->viewport(), down);
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, down);
    EXPECT_NEAR(view->firstPlace(), 2, 0.05); // dragged down: the places follow the mouse
}

TEST(ChartView, PiesAndLegends)
{
    Chart chart;
    const int pie = chart.addSeries(SeriesKind::Pie, "PieSeries2");
    chart.setSeriesMarksVisible(pie, false);
    chart.addPoint(pie, 1, "db file sequential read");
    chart.addPoint(pie, 1, "log file sync");
    chart.addPoint(pie, 2, "CPU", kGreen);
    auto view = shownView(chart);
    EXPECT_EQ(view->axis(Qt::AlignBottom), nullptr);
    const auto &slices = view->plot().slices();
    ASSERT_EQ(slices.size(), 3u);
    EXPECT_DOUBLE_EQ(slices[2].span, 180);
    EXPECT_EQ(slices[2].color, rgb(kGreen));
    EXPECT_NE(slices[0].color, slices[1].color);
    const QPointF third = *view->pointPosition(pie, 2);
    EXPECT_EQ(view->pointAt(pie, third.toPoint()), 2);
    EXPECT_TRUE(shows(*view, third, rgb(kGreen), 0));
    // One active series: the legend lists its points.
    ASSERT_EQ(view->legend().size(), 3u);
    EXPECT_EQ(view->legend()[1].text, "log file sync");
    EXPECT_EQ(view->legend()[2].color, rgb(kGreen));

    // Several active series: the legend lists the series; a hidden one drops out.
    Chart bars;
    const int s = bars.addSeries(SeriesKind::Bar, "Series1");
    for (int i = 0; i < 3; ++i)
        bars.addPoint(s, 10 + i, QString());
    const int t = bars.addSeries(SeriesKind::Line, "Series2");
    const int u = bars.addSeries(SeriesKind::Line, "Series3");
    bars.setSeriesActive(t, false);
    auto barView = shownView(bars);
    ASSERT_EQ(barView->legend().size(), 2u);
    EXPECT_EQ(barView->legend()[1].text, "Series3");
    // A legend that lists values keeps to the points of the first active series; one that
    // lists series names a single active series rather than its points.
    bars.setLegendStyle(LegendStyle::Values);
    barView->sync();
    ASSERT_EQ(barView->legend().size(), 3u);
    bars.setSeriesActive(s, false);
    bars.setLegendStyle(LegendStyle::Series);
    barView->sync();
    ASSERT_EQ(barView->legend().size(), 1u);
    EXPECT_EQ(barView->legend()[0].text, bars.series(u).title());
    bars.setLegendVisible(false);
    barView->sync();
    EXPECT_TRUE(barView->legend().empty());
}

TEST(ChartView, ALegendOfManyKeysLeavesThePlotTwoThirdsOfTheChartAndCountsTheKeysItHasNoRoomFor)
{
    Chart chart;
    const QString longKey = "1:parallel query message buffer allocation latch of the shared pool, child 117";
    for (int k = 0; k < 60; ++k) {
        const int s = chart.addSeries(SeriesKind::Line, k == 0 ? longKey : QStringLiteral("2:latch %1").arg(k));
        for (int t = 0; t < 10; ++t)
            chart.addPoint(s, k * 10 + t, time(t));
    }
    auto view = shownView(chart);
    view->resize(1118, 462); // the latch overview's chart in a window of the default size
    QCoreApplication::processEvents();

    const QRectF plot = view->chart()->plotArea();
    EXPECT_GE(plot.width() * plot.height(), 2.0 / 3 * view->width() * view->height());
    const auto &legend = view->legend();
    ASSERT_GE(legend.size(), 6u);
    const int shown = int(legend.size()) - 1;
    EXPECT_EQ(legend.back().text, QStringLiteral("+ %1 more").arg(60 - shown));
    EXPECT_FALSE(legend.back().color.isValid());
    // The keys shown are the first ones, in their lines' colours; the long one keeps both
    // its ends.
    for (int k = 1; k < shown; ++k)
        EXPECT_EQ(legend[size_t(k)].text, chart.series(k).title());
    EXPECT_EQ(legend[0].color, view->plot().lines()[0].color);
    const QString &cut = legend[0].text;
    EXPECT_LT(cut.size(), longKey.size());
    EXPECT_TRUE(cut.startsWith("1:paral")) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith("child 117")) << cut.toStdString();
    EXPECT_TRUE(cut.contains(QChar(0x2026)));

    // Twenty-four lines, twenty-four colours.
    QSet<QRgb> colours;
    for (const ChartPlot::Line &line : view->plot().lines())
        if (line.series < 24)
            colours << line.color.rgb();
    EXPECT_EQ(colours.size(), 24);
}

// Long live lines are reduced per pixel column and keep their extremes as points arrive:
// after a day of ticks taken in one by one (the runs widening as the places grow past the
// plot's width), the view draws exactly what a new view of the same chart draws from
// every point, every peak a vertex, the later line on top where two cross.
TEST(ChartView, ADayOfTicksTakenInOneByOneDrawsWhatTheWholeDayDraws)
{
    Chart chart;
    const int low = chart.addSeries(SeriesKind::Line, "1:latch free");
    const int high = chart.addSeries(SeriesKind::Line, "2:latch free");
    chart.setSeriesColor(low, kRed);
    chart.setSeriesColor(high, kBlue);
    auto live = shownView(chart);
    const auto value = [](int series, int t) { return double((t * 7919 + series * 31) % 97) + (t == 2001 ? 500 : 0); };
    for (int t = 0; t < 2880; ++t) {
        {
            Chart::Batch batch(chart);
            // A point without a value (NULL) leaves a gap in the line.
            chart.addPoint(low, t == 1200 ? std::numeric_limits<double>::quiet_NaN() : value(low, t),
                           QStringLiteral("t%1").arg(t));
            if (t % 1000 != 999) // a sample without this key now and then
                chart.addPoint(high, value(high, t), QStringLiteral("t%1").arg(t));
        }
        if (t % 7 == 0 || t > 2870) {
            live->sync();
            (void)live->plot().lines(); // as a paint would, the extremes kept up to date
        }
    }
    live->sync();
    auto fresh = shownView(chart, "fresh");
    ASSERT_EQ(live->plot().lines().size(), 3u); // the low line in two pieces
    EXPECT_EQ(live->plot().lines()[1].series, low);
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(live->plot().lines()[k].path, fresh->plot().lines()[k].path) << k;
    EXPECT_LT(live->plot().lines()[0].path.last().x(), live->pointPosition(low, 1201)->x());
    EXPECT_GE(live->plot().lines()[1].path.first().x(), live->pointPosition(low, 1199)->x());
    const double width = live->plot().plotRect().width();
    EXPECT_LE(live->plot().lines()[0].path.size(), 2 * width + 2);
    // The one spike of 500 is a vertex, and shows.
    double top = live->plot().plotRect().bottom();
    for (const ChartPlot::Line &l : live->plot().lines())
        for (const QPointF &p : l.path)
            top = l.series == low ? std::min(top, p.y()) : top;
    const QPointF spike = *live->pointPosition(low, 2001);
    EXPECT_NEAR(top, spike.y(), 0.01);
    EXPECT_TRUE(shows(*live, spike, rgb(kRed)));
    EXPECT_EQ(live->pointAt(low, spike.toPoint()), 2001);
    EXPECT_EQ(live->viewport()->grab().toImage(), fresh->viewport()->grab().toImage());
    // The thinned bottom labels still name real places, in order; the first stands where it
    // does not stick out past the axis' start, within the first step.
    QList<int> places;
    for (const QString &label : readLabels(*live))
        places << label.mid(1).toInt();
    ASSERT_GT(places.size(), 2);
    EXPECT_LT(places.size(), 100);
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
    EXPECT_LT(places[0], places[1] - places[0]);
}

// A day of hourly snapshots under a report chart: level, the begin times stand whole and
// apart, several of them; turned upright in a small chart they stay readable, giving up
// the year and date before the hour; in a tall one they stand whole.
TEST(ChartView, SnapshotTimesUnderTheBarsStandWholeOrShortenedToTheirHour)
{
    Chart chart;
    const int s = chart.addSeries(SeriesKind::Bar, "6cqvuzf14dc3n::2024327284");
    chart.setSeriesMarksVisible(s, false);
    QStringList times;
    for (int h = 0; h < 24; ++h) {
        times
            << QStringLiteral("%1/NOV/2026 %2:00:00").arg(h < 9 ? 29 : 30).arg((h + 15) % 24, 2, 10, QLatin1Char('0'));
        chart.addPoint(s, 10 + h, times.last());
    }
    auto view = shownView(chart);
    const auto shown = [&] {
        QCoreApplication::processEvents();
        view->sync();
        return readLabels(*view);
    };

    view->resize(700, 290);
    QStringList level = shown();
    EXPECT_GE(level.size(), 3);
    QCategoryAxis *axis = view->axis(Qt::AlignBottom);
    const QFontMetricsF fm(axis->labelsFont());
    const double pixelsPerPlace = view->chart()->plotArea().width() / (axis->max() - axis->min());
    QStringList labels = axis->categoriesLabels();
    for (int k = 0; k < labels.size(); ++k) {
        EXPECT_TRUE(times.contains(level[k])) << level[k].toStdString();
        if (k > 0) { // each clear of the one before
            EXPECT_GT((axis->endValue(labels[k]) - axis->endValue(labels[k - 1])) * pixelsPerPlace,
                      fm.horizontalAdvance(level[k]))
                << k;
        }
    }

    chart.setBottomLabelAngle(90);
    const QStringList small = shown();
    ASSERT_GE(small.size(), 6);
    for (const QString &label : small)
        EXPECT_TRUE(QRegularExpression("^(\\d\\d/NOV )?\\d\\d:00$").match(label).hasMatch()) << label.toStdString();
    // Whatever Qt does with them, nothing cut them further.
    EXPECT_FALSE(axis->truncateLabels());

    view->resize(550, 700);
    const QStringList tall = shown();
    ASSERT_GE(tall.size(), 12);
    for (const QString &label : tall)
        EXPECT_TRUE(times.contains(label)) << label.toStdString();
}

// A paint (or the mouse) may come between a change of the model and the view's taking
// it in: it shows what the view laid out, never points it has not placed.
TEST(ChartView, APaintBeforeAChangeIsTakenInShowsWhatWasLaidOut)
{
    for (const int ticks : {40, 3000}) { // fewer points than pixels, and many more
        const auto fill = [](Chart &chart, int from, int to) {
            Chart::Batch batch(chart);
            for (int t = from; t < to; ++t)
                for (int s = 0; s < 2; ++s)
                    chart.addPoint(s, double((t * 37 + s * 11) % 50), QStringLiteral("t%1").arg(t));
        };
        Chart chart, same;
        for (Chart *c : {&chart, &same}) {
            c->addSeries(SeriesKind::Line, "1:log file sync");
            c->addSeries(SeriesKind::Line, "2:log file sync");
            fill(*c, 0, ticks);
        }
        auto view = shownView(chart);
        auto laidOut = shownView(same, "laid out");
        fill(chart, ticks, ticks + 60); // sixty places more, not yet taken in
        EXPECT_EQ(view->viewport()->grab().toImage(), laidOut->viewport()->grab().toImage()) << ticks;
        EXPECT_FALSE(view->pointPosition(0, ticks + 59).has_value()) << ticks;
        EXPECT_EQ(view->pointPosition(0, ticks - 1), laidOut->pointPosition(0, ticks - 1)) << ticks;
        EXPECT_EQ(view->plot().lines().size(), 2u);
        QCoreApplication::processEvents(); // taken in: the new points are drawn
        EXPECT_TRUE(view->pointPosition(0, ticks + 59).has_value()) << ticks;
    }
}

// Live lines painted at every tick: only their new ends are drawn, and what shows is
// what a whole drawing of the same lines shows, through gaps, keys missing from a
// sample, a spike that rescales the values, lines hidden and shown, and more points
// than pixels.
TEST(ChartView, LiveLinesPaintedTickByTickShowWhatAWholeDrawingShows)
{
    Chart chart;
    constexpr int kLines = 30;
    for (int s = 0; s < kLines; ++s)
        chart.addSeries(SeriesKind::Line, QStringLiteral("1:event %1").arg(s));
    const auto grown = [&](const QString &name) {
        auto view = std::make_unique<ChartView>(&chart, name);
        view->setRoomToGrow(true);
        view->resize(260, 200);
        view->show();
        view->sync();
        return view;
    };
    auto live = grown("live");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    int compared = 0;
    for (int t = 0; t < 760; ++t) {
        {
            Chart::Batch batch(chart);
            for (int s = 0; s < kLines; ++s) {
                if ((t + s) % 53 == 0 || (s == kLines - 1 && t >= 690 && t < 705) ||
                    (s == kLines - 2 && t >= 664 && t < 688))
                    continue; // not in this sample
                double v = double((t * 7919 + s * 104729) % (10 + 7 * s)) + s * 3 + (s == kLines - 2 ? 400 : 0);
                if (t == 300 + s)
                    v = nan; // NULL
                if (t == 500 && s == 4)
                    v = 1000; // a spike past the axis
                chart.addPoint(s, v, QStringLiteral("t%1").arg(t));
            }
            if (t == 620)
                chart.setSeriesActive(7, false);
            if (t == 640)
                chart.setSeriesActive(7, true);
        }
        QCoreApplication::processEvents();
        const QImage shown = live->viewport()->grab().toImage();
        if (t % 97 == 5 || (t >= 705 && t < 715) || t == 759) {
            auto whole = grown("whole");
            ASSERT_EQ(shown, whole->viewport()->grab().toImage()) << t;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 19);
    // Room to grow: most ticks drew only the new ends.
    EXPECT_LT(live->plot().fullRasters(), 760 / 4);
    EXPECT_GT(live->plot().placeCount(), live->plot().plotRect().width() * 4);
}

// A page of twenty sessions, and one of eight, in a chart made shorter and shorter: the
// labels Qt draws on the left are the ones asked for, each whole, and every session keeps
// its name while a place is half again as high as a line of text.
TEST(ChartView, SessionsOnTheLeftAreNamedWholeAtEveryHeight)
{
    for (const int sessions : {20, 8}) {
        Chart chart;
        for (const char *t : {"CPU Time ", "I/O Wait", "Parse Time"})
            chart.setSeriesMarksVisible(chart.addSeries(SeriesKind::StackedHBar, t), false);
        auto view = shownView(chart, "sessres_graph");
        view->setAxisTitle(Qt::AlignLeft, "Instance ID::SID");
        view->setPlacesPerPage(20);
        QStringList all;
        for (int p = 0; p < sessions; ++p) {
            all << QStringLiteral("%1::%2").arg(1 + p % 2).arg(100 + p);
            for (int s = 0; s < 3; ++s)
                chart.addPoint(s, 20 - p, all.back());
        }
        const double line = QFontMetricsF(view->font()).height();
        for (int height = 700; height >= 380; height -= 10) {
            view->resize(622, height);
            QCoreApplication::processEvents();
            const QRectF plot = view->chart()->plotArea();
            SCOPED_TRACE(QStringLiteral("%1 sessions, a plot %2 high").arg(sessions).arg(plot.height()).toStdString());
            QStringList drawn;
            for (QGraphicsItem *item : view->scene()->items())
                if (auto *t = dynamic_cast<QGraphicsTextItem *>(item);
                    t && t->isVisible() && t->toPlainText().contains("::") && t->scenePos().x() < plot.left() &&
                    t->scenePos().y() < plot.bottom() && t->toPlainText() != "Instance ID::SID")
                    drawn << t->toPlainText().remove(QChar(0x200B));
            drawn.sort();
            QStringList asked = readLabels(*view, Qt::AlignLeft);
            asked.sort();
            EXPECT_EQ(drawn, asked);
            if (plot.height() / 20 >= 1.5 * line) {
                EXPECT_EQ(asked.size(), sessions);
            }
        }
    }
}
