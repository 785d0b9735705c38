#include "core/chart.h"
#include "ui/chart_scale.h"
#include "ui/chart_view.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <QDir>
#include <QGraphicsTextItem>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
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
std::unique_ptr<ChartView> shownView(Chart &chart, const QString &name = QStringLiteral("chart"))
{
    auto view = std::make_unique<ChartView>(&chart, name);
    view->resize(800, 500);
    view->show();
    view->sync();
    return view;
}

QColor pixel(ChartView &view, QPointF at)
{
    const QImage image = view.viewport()->grab().toImage();
    return image.pixelColor(at.toPoint());
}

// Whether a one-pixel line of this colour passes within a pixel of `at`.
bool lineNear(ChartView &view, QPointF at, const QColor &color)
{
    const QImage image = view.viewport()->grab().toImage();
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (image.pixelColor(at.toPoint() + QPoint(dx, dy)) == color)
                return true;
    return false;
}

QColor rgb(Rgb c)
{
    return QColor::fromRgb(QRgb(0xFF000000u | c));
}

// The axis label texts as the user reads them (equal labels are made distinct with
// zero-width spaces).
QStringList readLabels(QCategoryAxis *axis)
{
    QStringList out;
    for (QString label : axis->categoriesLabels())
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
    auto view = shownView(chart, QStringLiteral("EVTChart"));
    EXPECT_EQ(view->objectName(), QStringLiteral("EVTChart"));
    const int before = view->syncCount();

    const int a = chart.addSeries(SeriesKind::Line, QStringLiteral("1:db file sequential read"));
    const int b = chart.addSeries(SeriesKind::Line, QStringLiteral("1:log file sync"));
    for (int t = 0; t < 30; ++t) {
        chart.addPoint(a, t, time(t));
        chart.addPoint(b, 30 - t, time(t));
    }
    chart.setTitle(QStringLiteral("Wait Event Count"));
    chart.setHint(QStringLiteral("Elapsed time between two AWR snapshots"));
    EXPECT_EQ(view->syncCount(), before);
    EXPECT_TRUE(view->plot().lines().empty());

    QCoreApplication::processEvents();
    EXPECT_EQ(view->syncCount(), before + 1); // 63 changes, one redraw
    ASSERT_EQ(view->plot().lines().size(), 2u);
    EXPECT_EQ(view->plot().lines()[0].path.size(), 30);
    EXPECT_EQ(view->chart()->title(), QStringLiteral("Wait Event Count"));
    EXPECT_EQ(view->toolTip(), QStringLiteral("Elapsed time between two AWR snapshots"));
    view->setShowHint(false);
    EXPECT_TRUE(view->toolTip().isEmpty());

    // Rising series: each point stands right of and above the one before.
    const QPointF p0 = *view->pointPosition(a, 0);
    const QPointF p29 = *view->pointPosition(a, 29);
    EXPECT_LT(p0.x(), p29.x());
    EXPECT_GT(p0.y(), p29.y());
    EXPECT_TRUE(lineNear(*view, p29, view->plot().lines()[0].color));

    // The point under the mouse, asked from the last series to the first.
    EXPECT_EQ(view->pointAt(a, p29.toPoint()), 29);
    EXPECT_EQ(view->pointAt(b, p29.toPoint()), -1);
    const QPointF cross = *view->pointPosition(b, 15);
    EXPECT_EQ(view->hitAt(cross.toPoint()), (ChartHit{b, 15}));
    EXPECT_FALSE(view->hitAt(QPoint(2, 2)).has_value());

    // Screens hear of the mouse to fill their hover captions.
    QSignalSpy moved(view.get(), &ChartView::mouseMoved);
    QTest::mouseMove(view->viewport(), cross.toPoint());
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toPoint(), cross.toPoint());
}

TEST(ChartView, AResizeBeforeAChangeIsTakenInLaysOutTheChangedModel)
{
    Chart chart;
    const int bars = chart.addSeries(SeriesKind::Bar, QString());
    chart.addPoint(bars, 1, QString());
    auto view = shownView(chart);
    ASSERT_EQ(view->plot().bars().size(), 1u);
    {
        Chart::Batch batch(chart);
        chart.clearPoints(bars);
        for (int i = 0; i < 25; ++i)
            chart.addPoint(bars, i, QString(), kBlue);
    }
    view->resize(700, 400); // before the event loop turns
    ASSERT_EQ(view->plot().bars().size(), 25u);
    EXPECT_EQ(view->plot().bars()[24].color, rgb(kBlue));
    const int syncs = view->syncCount();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->syncCount(), syncs); // taken in once
}

TEST(ChartView, HiddenSeriesKeepTheirPointsAndComeBackWhole)
{
    Chart chart;
    const int a = chart.addSeries(SeriesKind::Line, QStringLiteral("A"));
    const int b = chart.addSeries(SeriesKind::Line, QStringLiteral("B"));
    chart.setSeriesColor(a, kBlue);
    chart.setSeriesColor(b, kRed);
    for (int t = 0; t < 40; ++t) {
        chart.addPoint(a, 10, time(t));
        chart.addPoint(b, t % 7 * 100, time(t));
    }
    auto view = shownView(chart);
    std::vector<QPointF> before;
    for (int p = 0; p < 40; ++p)
        before.push_back(*view->pointPosition(b, p));
    const QPointF peak = before[6];
    EXPECT_TRUE(lineNear(*view, peak, rgb(kRed)));

    chart.setSeriesActive(b, false);
    view->sync();
    ASSERT_EQ(view->plot().lines().size(), 1u);
    EXPECT_EQ(view->plot().lines()[0].series, a);
    EXPECT_FALSE(view->pointPosition(b, 6).has_value());
    EXPECT_EQ(view->pointAt(b, peak.toPoint()), -1);
    EXPECT_FALSE(lineNear(*view, peak, rgb(kRed)));
    EXPECT_EQ(chart.series(b).points().size(), 40u);
    // With B gone the left axis fits A alone.
    EXPECT_LT(view->axis(Qt::AlignLeft)->max(), 600);

    // Points that arrive while hidden are there when it comes back.
    chart.addPoint(a, 10, time(40));
    chart.addPoint(b, 999, time(40));
    chart.setSeriesActive(b, true);
    view->sync();
    ASSERT_EQ(view->plot().lines().size(), 2u);
    EXPECT_EQ(view->plot().lines()[1].path.size(), 41);
    EXPECT_TRUE(lineNear(*view, *view->pointPosition(b, 40), rgb(kRed)));
    // Its earlier points stand where they stood before, but for the axis' new range.
    EXPECT_LT(view->pointPosition(b, 0)->x(), view->pointPosition(b, 1)->x());
    EXPECT_GT(view->pointPosition(b, 6)->y(), view->pointPosition(b, 40)->y());
}

TEST(ChartView, BarsStandUnderTheirOwnLabelsAndRepeatedLabelsAreKept)
{
    Chart chart;
    const int a = chart.addSeries(SeriesKind::Bar, QStringLiteral("6gvch1xu9ca3g::1234"), AxisSide::Right);
    const int b = chart.addSeries(SeriesKind::Bar, QStringLiteral("0w26sk6t6gq98::555"), AxisSide::Right);
    chart.setSeriesColor(a, kBlue);
    chart.setSeriesColor(b, kGreen);
    for (int t = 1; t <= 3; ++t)
        chart.addPoint(a, 100 * t, time(t));
    // B's first snapshot is A's second one.
    chart.addPoint(b, 250, time(2));
    chart.addPoint(b, 350, time(3));
    auto view = shownView(chart);

    EXPECT_EQ(readLabels(view->axis(Qt::AlignBottom)), (QStringList{time(1), time(2), time(3)}));
    const QPointF bFirst = *view->pointPosition(b, 0);
    const QPointF aSecond = *view->pointPosition(a, 1);
    // Side by side within the place of 08:02, B right of A, both beside the label.
    const double x2 = labelX(*view, time(2));
    EXPECT_LT(std::abs(bFirst.x() - x2), std::abs(x2 - labelX(*view, time(1))) / 2);
    EXPECT_LT(aSecond.x(), x2);
    EXPECT_GT(bFirst.x(), x2);
    EXPECT_EQ(pixel(*view, bFirst + QPointF(0, 5)), rgb(kGreen));
    EXPECT_EQ(pixel(*view, aSecond + QPointF(0, 5)), rgb(kBlue));
    EXPECT_EQ(view->pointAt(b, (bFirst + QPointF(0, 5)).toPoint()), 0);
    EXPECT_EQ(view->pointAt(a, (bFirst + QPointF(0, 5)).toPoint()), -1);

    // A label repeated within a series keeps both bars, each under a label of its own.
    chart.addPoint(a, 50, time(3));
    view->sync();
    EXPECT_EQ(readLabels(view->axis(Qt::AlignBottom)), (QStringList{time(1), time(2), time(3), time(3)}));
    const QPointF repeated = *view->pointPosition(a, 3);
    EXPECT_LT(std::abs(repeated.x() - labelX(*view, time(3), 1)), std::abs(repeated.x() - labelX(*view, time(3), 0)));
    EXPECT_EQ(pixel(*view, repeated + QPointF(0, 3)), rgb(kBlue));

    // Lines too: a key that starts later lines up in time with the others.
    Chart lines;
    const int early = lines.addSeries(SeriesKind::Line, QStringLiteral("1:latch free"));
    for (int t = 0; t < 5; ++t)
        lines.addPoint(early, t, time(t));
    const int late = lines.addSeries(SeriesKind::Line, QStringLiteral("2:latch free"));
    for (int t = 3; t < 5; ++t)
        lines.addPoint(late, 10 + t, time(t));
    auto lineView = shownView(lines);
    EXPECT_DOUBLE_EQ(lineView->pointPosition(late, 0)->x(), lineView->pointPosition(early, 3)->x());
    EXPECT_DOUBLE_EQ(lineView->pointPosition(late, 1)->x(), lineView->pointPosition(early, 4)->x());
}

TEST(ChartView, DatedLabelsAreOrderedByTimeAndRemovedSeriesLeaveTheAxis)
{
    Chart chart;
    const int a = chart.addSeries(SeriesKind::Bar, QStringLiteral("+DATA/orcl/users01.dbf"));
    const int b = chart.addSeries(SeriesKind::Bar, QStringLiteral("+DATA/orcl/system01.dbf"));
    // The rows come without an order: B has a snapshot before A's first.
    chart.addPoint(a, 5, QStringLiteral("01-MAY-2013 09:00"));
    chart.addPoint(a, 6, QStringLiteral("01-MAY-2013 10:00"));
    chart.addPoint(b, 7, QStringLiteral("01-MAY-2013 08:00"));
    chart.addPoint(b, 8, QStringLiteral("30-APR-2013 23:00"));
    auto view = shownView(chart);
    EXPECT_EQ(readLabels(view->axis(Qt::AlignBottom)),
              (QStringList{QStringLiteral("30-APR-2013 23:00"), QStringLiteral("01-MAY-2013 08:00"),
                           QStringLiteral("01-MAY-2013 09:00"), QStringLiteral("01-MAY-2013 10:00")}));
    EXPECT_LT(view->pointPosition(b, 1)->x(), view->pointPosition(b, 0)->x());

    const int rebuilds = view->plot().rebuilds();
    chart.removeSeries(b);
    view->sync();
    EXPECT_EQ(view->plot().rebuilds(), rebuilds + 1);
    EXPECT_EQ(view->plot().seriesCount(), 1);
    EXPECT_EQ(readLabels(view->axis(Qt::AlignBottom)),
              (QStringList{QStringLiteral("01-MAY-2013 09:00"), QStringLiteral("01-MAY-2013 10:00")}));

    // Clear All, then a new report: nothing of the old one is left.
    chart.removeAllSeries();
    view->sync();
    EXPECT_TRUE(view->plot().bars().empty());
    EXPECT_TRUE(readLabels(view->axis(Qt::AlignBottom)).isEmpty());
    EXPECT_TRUE(view->legend().empty());
}

TEST(ChartView, LongLinesAreReducedPerPixelColumnAndKeepTheirPeaks)
{
    Chart chart;
    const int s = chart.addSeries(SeriesKind::Line, QStringLiteral("1:cache buffers chains"));
    {
        Chart::Batch batch(chart);
        for (int t = 0; t < 10000; ++t)
            chart.addPoint(s, t == 6543 ? 5000 : (t % 3), QString::number(t));
    }
    auto view = shownView(chart);
    const auto &lines = view->plot().lines();
    ASSERT_EQ(lines.size(), 1u);
    const double width = view->plot().plotRect().width();
    EXPECT_LE(lines[0].path.size(), 2 * width + 2);
    EXPECT_GT(lines[0].path.size(), width);
    // The one high point among 10,000 is still a vertex of the drawn line.
    double top = lines[0].path.first().y();
    for (const QPointF &p : lines[0].path)
        top = std::min(top, p.y());
    const QRectF plot = view->plot().plotRect();
    const double peakY = plot.bottom() - (5000 - view->axis(Qt::AlignLeft)->min()) /
                                             (view->axis(Qt::AlignLeft)->max() - view->axis(Qt::AlignLeft)->min()) *
                                             plot.height();
    EXPECT_NEAR(top, peakY, 0.01);
    const QPointF peak = *view->pointPosition(s, 6543);
    EXPECT_EQ(view->pointAt(s, peak.toPoint()), 6543);
    EXPECT_GE(view->axis(Qt::AlignLeft)->max(), 5000);
    // The thinned bottom labels still name real places, in order.
    const QStringList labels = readLabels(view->axis(Qt::AlignBottom));
    EXPECT_GT(labels.size(), 2);
    EXPECT_LT(labels.size(), 100);
    // The first stands where it does not stick out past the axis' start, within the first step.
    EXPECT_LT(labels[0].toInt(), labels[1].toInt() - labels[0].toInt());
}

TEST(ChartView, RightAxisNumbersFollowTheChartsFormat)
{
    EXPECT_EQ(formatNumber(1234567.891234, QStringLiteral("#,##0.#####")), QStringLiteral("1,234,567.89123"));
    EXPECT_EQ(formatNumber(2500000, QStringLiteral("#,##0.#####")), QStringLiteral("2,500,000"));
    EXPECT_EQ(formatNumber(0.5, QStringLiteral("#,##0.#####")), QStringLiteral("0.5"));
    EXPECT_EQ(formatNumber(-1234.5, QStringLiteral("#,##0.#####")), QStringLiteral("-1,234.5"));
    EXPECT_EQ(formatNumber(-0.000001, QStringLiteral("#,##0.#####")), QStringLiteral("0"));
    EXPECT_EQ(formatNumber(999.999999, QStringLiteral("#,##0.#####")), QStringLiteral("1,000"));
    EXPECT_EQ(formatNumber(3.1, QStringLiteral("0.00")), QStringLiteral("3.10"));
    EXPECT_EQ(formatNumber(0.25, QStringLiteral("#.##")), QStringLiteral(".25"));
    EXPECT_EQ(formatNumber(1e20, QStringLiteral("#,##0")), QStringLiteral("100,000,000,000,000,000,000"));
    EXPECT_EQ(formatNumber(0.1, QString()), QStringLiteral("0.1"));

    Chart chart;
    const int s = chart.addSeries(SeriesKind::Bar, QStringLiteral("orcl1"), AxisSide::Right);
    chart.setRightAxisFormat(QStringLiteral("#,##0.#####"));
    chart.addPoint(s, 2400000, QStringLiteral("01-MAY-2013 08:00"));
    chart.addPoint(s, 0.00012, QStringLiteral("01-MAY-2013 09:00"));
    auto view = shownView(chart);
    EXPECT_EQ(view->axis(Qt::AlignLeft), nullptr);
    const QStringList right = readLabels(view->axis(Qt::AlignRight));
    ASSERT_GE(right.size(), 2);
    EXPECT_EQ(right.first(), QStringLiteral("0"));
    EXPECT_TRUE(right.contains(QStringLiteral("1,000,000"))) << right.join(QLatin1Char(' ')).toStdString();
    EXPECT_GE(view->axis(Qt::AlignRight)->max(), 2400000);
}

TEST(ChartView, StackedHorizontalBarsStackPlaceByPlaceFirstAtTheTop)
{
    Chart chart;
    const QStringList titles{QStringLiteral("CPU Time "), QStringLiteral("I/O Wait"), QStringLiteral("Parse Time")};
    for (const QString &t : titles) {
        const int s = chart.addSeries(SeriesKind::StackedHBar, t);
        chart.setSeriesMarksVisible(s, false);
        chart.addPoint(s, 2, QStringLiteral("1::123"));
        chart.addPoint(s, 1, QStringLiteral("2::45"));
    }
    auto view = shownView(chart);
    EXPECT_EQ(view->plot().orientation(), ChartPlot::Orientation::Horizontal);
    EXPECT_EQ(readLabels(view->axis(Qt::AlignLeft)), (QStringList{QStringLiteral("1::123"), QStringLiteral("2::45")}));
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
}

TEST(ChartView, APagedPlaceAxisShowsAPageAtATimeScrollsAndZooms)
{
    Chart chart;
    for (int k = 0; k < 3; ++k) {
        const int s = chart.addSeries(SeriesKind::StackedHBar, QStringLiteral("S%1").arg(k));
        for (int sid = 0; sid < 25; ++sid)
            chart.addPoint(s, 1 + (sid % 4), QStringLiteral("1::%1").arg(100 + sid));
    }
    auto view = shownView(chart);
    view->resize(800, 700);
    view->setAxisTitle(Qt::AlignLeft, QStringLiteral("Instance ID::SID"));
    view->setAxisTitle(Qt::AlignBottom, QStringLiteral("Seconds"));
    view->setPlacesPerPage(20);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->axis(Qt::AlignLeft)->titleText(), QStringLiteral("Instance ID::SID"));
    EXPECT_EQ(view->axis(Qt::AlignBottom)->titleText(), QStringLiteral("Seconds"));

    const auto labelsFrom = [](int first, int count) {
        QStringList out;
        for (int sid = first; sid < first + count; ++sid)
            out << QStringLiteral("1::%1").arg(100 + sid);
        return out;
    };
    // The first page: twenty places, the first on top; the rest lie outside the plot.
    QCategoryAxis *left = view->axis(Qt::AlignLeft);
    EXPECT_EQ(readLabels(left), labelsFrom(0, 20));
    EXPECT_DOUBLE_EQ(left->min(), -0.5);
    EXPECT_DOUBLE_EQ(left->max(), 19.5);
    const auto last = view->pointPosition(2, 19);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(view->hitAt(last->toPoint()), (ChartHit{2, 19}));
    EXPECT_FALSE(view->pointPosition(2, 20).has_value());
    const double pageBar = view->plot().bars().front().rect.height();
    EXPECT_NEAR(pageBar, view->plot().plotRect().height() / 20 * 0.7, 0.01);

    // Scrolling stops at the last place; the wheel and the right mouse button scroll too.
    view->scrollPlaces(10);
    EXPECT_DOUBLE_EQ(view->firstPlace(), 5);
    EXPECT_EQ(readLabels(view->axis(Qt::AlignLeft)), labelsFrom(5, 20));
    EXPECT_TRUE(view->pointPosition(0, 24).has_value());
    EXPECT_FALSE(view->pointPosition(0, 4).has_value());
    const QPoint centre = view->viewport()->rect().center();
    QWheelEvent up(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &up);
    EXPECT_DOUBLE_EQ(view->firstPlace(), 4);
    const double slot = view->pointPosition(0, 5)->y() - view->pointPosition(0, 4)->y();
    ASSERT_GT(slot, 0);
    QTest::mousePress(view->viewport(), Qt::RightButton, {}, centre);
    QTest::mouseMove(view->viewport(), centre + QPoint(0, int(std::lround(2 * slot))));
    QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, centre + QPoint(0, int(std::lround(2 * slot))));
    EXPECT_NEAR(view->firstPlace(), 2, 0.05); // dragged down: the places follow the mouse

    // A rectangle dragged to the lower right zooms in on both axes; back to the upper
    // left undoes it.
    view->scrollPlaces(-2);
    const double bottomMax = view->axis(Qt::AlignBottom)->max();
    const QPointF top = *view->pointPosition(0, 2);
    const QPointF below = *view->pointPosition(0, 5);
    const QPoint from(int(top.x()) - 40, int(top.y()));
    const QPoint to(int(top.x()) + 40, int(below.y()));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view->viewport(), to);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    EXPECT_NEAR(view->firstPlace(), 2.5, 0.1);
    EXPECT_LT(view->axis(Qt::AlignLeft)->max() - view->axis(Qt::AlignLeft)->min(), 4);
    EXPECT_LT(view->axis(Qt::AlignBottom)->max(), bottomMax);
    EXPECT_GT(view->plot().bars().front().rect.height(), 4 * pageBar);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, to);
    QTest::mouseMove(view->viewport(), from);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from);
    EXPECT_DOUBLE_EQ(view->axis(Qt::AlignLeft)->max() - view->axis(Qt::AlignLeft)->min(), 20);
    EXPECT_DOUBLE_EQ(view->axis(Qt::AlignBottom)->max(), bottomMax);

    // A short last page keeps the page's spacing.
    Chart few;
    const int s = few.addSeries(SeriesKind::StackedHBar, QStringLiteral("S"));
    for (int sid = 0; sid < 3; ++sid)
        few.addPoint(s, 1, QStringLiteral("2::%1").arg(sid));
    auto fewView = shownView(few);
    fewView->resize(800, 700);
    fewView->setPlacesPerPage(20);
    QCoreApplication::processEvents();
    EXPECT_NEAR(fewView->plot().bars().front().rect.height(), fewView->plot().plotRect().height() / 20 * 0.7, 0.01);
    fewView->scrollPlaces(5);
    EXPECT_DOUBLE_EQ(fewView->firstPlace(), 0);
}

TEST(ChartView, SmallValuesGetAxisLabelsThatAllReadDifferently)
{
    Chart chart;
    const int s = chart.addSeries(SeriesKind::StackedHBar, QStringLiteral("CPU Time "));
    chart.addPoint(s, 0.0014, QStringLiteral("1::62"));
    chart.addPoint(s, 0.0028, QStringLiteral("2::34"));
    auto view = shownView(chart);
    const QStringList labels = readLabels(view->axis(Qt::AlignBottom));
    ASSERT_GT(labels.size(), 2);
    EXPECT_EQ(labels.first(), QStringLiteral("0"));
    EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size()) << labels.join(u' ').toStdString();
    EXPECT_TRUE(labels.contains(QStringLiteral("0.0005")) || labels.contains(QStringLiteral("0.0002")))
        << labels.join(u' ').toStdString();
}

TEST(ChartView, PiesColoursAndLegends)
{
    Chart chart;
    const int pie = chart.addSeries(SeriesKind::Pie, QStringLiteral("PieSeries2"));
    chart.setSeriesMarksVisible(pie, false);
    chart.addPoint(pie, 1, QStringLiteral("db file sequential read"));
    chart.addPoint(pie, 1, QStringLiteral("log file sync"));
    chart.addPoint(pie, 2, QStringLiteral("CPU"), kGreen);
    auto view = shownView(chart);
    EXPECT_EQ(view->plot().orientation(), ChartPlot::Orientation::Pies);
    EXPECT_EQ(view->axis(Qt::AlignBottom), nullptr);
    const auto &slices = view->plot().slices();
    ASSERT_EQ(slices.size(), 3u);
    EXPECT_DOUBLE_EQ(slices[2].span, 180);
    EXPECT_EQ(slices[2].color, rgb(kGreen));
    EXPECT_NE(slices[0].color, slices[1].color);
    const QPointF third = *view->pointPosition(pie, 2);
    EXPECT_EQ(view->pointAt(pie, third.toPoint()), 2);
    EXPECT_EQ(pixel(*view, third), rgb(kGreen));
    // One active series: the legend lists its points.
    ASSERT_EQ(view->legend().size(), 3u);
    EXPECT_EQ(view->legend()[1].text, QStringLiteral("log file sync"));
    EXPECT_EQ(view->legend()[2].color, rgb(kGreen));

    // Coloured bars, one colour each, with legend texts the system supplies.
    Chart bars;
    const int s = bars.addSeries(SeriesKind::Bar, QStringLiteral("Series1"));
    bars.setSeriesColor(s, 0xFF0000);
    const Rgb colours[] = {0x000000, 0x800000, 0x008000};
    for (int i = 0; i < 3; ++i)
        bars.addPoint(s, 10 + i, QString(), colours[i]);
    bars.setLegendTexts({QStringLiteral("SQL*Net message from client"), QStringLiteral("db file scattered read")});
    auto barView = shownView(bars);
    ASSERT_EQ(barView->plot().bars().size(), 3u); // three unlabelled bars, three places
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pixel(*barView, *barView->pointPosition(s, i) + QPointF(0, 4)), rgb(colours[i])) << i;
    ASSERT_EQ(barView->legend().size(), 3u);
    EXPECT_EQ(barView->legend()[1].text, QStringLiteral("db file scattered read"));
    EXPECT_TRUE(barView->legend()[2].text.isEmpty());

    // Several active series: the legend lists the series; a hidden one drops out.
    const int t = bars.addSeries(SeriesKind::Line, QStringLiteral("Series2"));
    const int u = bars.addSeries(SeriesKind::Line, QStringLiteral("Series3"));
    bars.setLegendTexts({});
    bars.setSeriesActive(t, false);
    barView->sync();
    ASSERT_EQ(barView->legend().size(), 2u);
    EXPECT_EQ(barView->legend()[1].text, bars.series(u).title());
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

TEST(ChartView, AChartThatGoesAwayLeavesAnEmptyView)
{
    auto chart = std::make_unique<Chart>();
    const int s = chart->addSeries(SeriesKind::Bar, QStringLiteral("A"));
    chart->addPoint(s, 1, QStringLiteral("x"));
    auto view = shownView(*chart);
    EXPECT_EQ(view->plot().bars().size(), 1u);
    chart.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(view->model(), nullptr);
    EXPECT_TRUE(view->plot().bars().empty());
    EXPECT_EQ(view->pointAt(0, QPoint(100, 100)), -1);
}

// Set TAVIMOND_SHOTS to a folder to get a picture of a chart with bar and line series.
TEST(ChartView, ScreenshotOfBarsAndLines)
{
    Chart chart;
    chart.setTitle(QStringLiteral("Read Operations(Count)"));
    chart.setRightAxisFormat(QStringLiteral("#,##0.#####"));
    const QStringList files{QStringLiteral("+DATA/orcl/users01.dbf"), QStringLiteral("+DATA/orcl/system01.dbf"),
                            QStringLiteral("+DATA/orcl/sysaux01.dbf")};
    for (int f = 0; f < files.size(); ++f) {
        const int s = chart.addSeries(SeriesKind::Bar, files[f], AxisSide::Right);
        chart.setSeriesMarksVisible(s, false);
        for (int h = f; h < 8; ++h) // a file that appears later starts later
            chart.addPoint(s, 1500 * (f + 1) + 700 * ((h * 7 + f) % 5),
                           QStringLiteral("01-MAY-2013 %1:00").arg(h + 8, 2, 10, QLatin1Char('0')));
    }
    const int avg = chart.addSeries(SeriesKind::Line, QStringLiteral("average"), AxisSide::Right);
    const int limit = chart.addSeries(SeriesKind::Line, QStringLiteral("users01::Thresh"), AxisSide::Right);
    chart.setSeriesMarksVisible(avg, true);
    chart.setSeriesMarksVisible(limit, false);
    for (int h = 0; h < 8; ++h) {
        const QString label = QStringLiteral("01-MAY-2013 %1:00").arg(h + 8, 2, 10, QLatin1Char('0'));
        chart.addPoint(avg, 2500 + 400 * h, label);
        chart.addPoint(limit, 5200.5, label);
    }
    chart.setBottomLabelAngle(90);
    auto view = shownView(chart, QStringLiteral("reads_graph"));
    view->resize(900, 600);
    QCoreApplication::processEvents();
    ASSERT_EQ(view->plot().bars().size(), 8u + 7u + 6u);
    ASSERT_EQ(view->plot().lines().size(), 2u);
    EXPECT_EQ(view->axis(Qt::AlignBottom)->labelsAngle(), -90);
    EXPECT_EQ(view->legend().size(), 5u);
    const QByteArray dir = qgetenv("TAVIMOND_SHOTS");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(view->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("chart_view.png"))));
    }
}

// Long live lines keep their extremes as points arrive: after a day of ticks taken in
// one by one (the runs widening as the places grow past the plot's width), the view
// draws exactly what a new view of the same chart draws from every point, every
// peak a vertex, the later line on top where two cross.
TEST(ChartView, ADayOfTicksTakenInOneByOneDrawsWhatTheWholeDayDraws)
{
    Chart chart;
    const int low = chart.addSeries(SeriesKind::Line, QStringLiteral("1:latch free"));
    const int high = chart.addSeries(SeriesKind::Line, QStringLiteral("2:latch free"));
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
    auto fresh = shownView(chart, QStringLiteral("fresh"));
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
    EXPECT_TRUE(lineNear(*live, spike, rgb(kRed)));
    EXPECT_EQ(live->viewport()->grab().toImage(), fresh->viewport()->grab().toImage());
}

// A day of hourly snapshots under a report chart: level, the begin times stand whole and
// apart, several of them; turned upright in a small chart they stay readable, giving up
// the year and date before the hour; in a tall one they stand whole.
TEST(ChartView, SnapshotTimesUnderTheBarsStandWholeOrShortenedToTheirHour)
{
    Chart chart;
    const int s = chart.addSeries(SeriesKind::Bar, QStringLiteral("6cqvuzf14dc3n::2024327284"));
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
        QStringList out;
        for (QString label : view->axis(Qt::AlignBottom)->categoriesLabels())
            out << label.remove(QChar(0x200B));
        return out;
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
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^(\\d\\d/NOV )?\\d\\d:00$")).match(label).hasMatch())
            << label.toStdString();
    // Whatever Qt does with them, nothing cut them further.
    EXPECT_FALSE(axis->truncateLabels());

    view->resize(550, 700);
    const QStringList tall = shown();
    ASSERT_GE(tall.size(), 12);
    for (const QString &label : tall)
        EXPECT_TRUE(times.contains(label)) << label.toStdString();
}

// The session chart before its first sample: its axis titles are not piled up in the
// chart's corner; with sessions in it both stand by their axes.
TEST(ChartView, AxisTitlesStandByTheirAxesOrNotAtAll)
{
    Chart chart;
    const int cpu = chart.addSeries(SeriesKind::StackedHBar, QStringLiteral("CPU Time"));
    auto view = shownView(chart, QStringLiteral("sessres_graph"));
    view->setAxisTitle(Qt::AlignBottom, QStringLiteral("Seconds"));
    view->setAxisTitle(Qt::AlignLeft, QStringLiteral("Instance ID::SID"));
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

    chart.addPoint(cpu, 0.0004, QStringLiteral("1::114"));
    chart.addPoint(cpu, 0.0002, QStringLiteral("2::122"));
    const auto shown = titles();
    ASSERT_EQ(shown.size(), 2);
    const QRectF plot = view->chart()->plotArea();
    EXPECT_GT(shown.value(QStringLiteral("Seconds")).y(), plot.bottom());
    EXPECT_LT(shown.value(QStringLiteral("Instance ID::SID")).x(), plot.left());
}
