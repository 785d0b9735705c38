// Every screen and every tab of the main window, at the smallest window a user is
// expected to work in, at the default size and on a large screen: no two controls
// overlap, none is cut below its own minimum or caption, none lies outside what its
// parent shows unless a scroll area can bring it in.
#include "layout_check.h"
#include "shell_support.h"

#include "core/chart.h"
#include "ui/chart_plot.h"
#include "ui/chart_view.h"
#include "ui/screen.h"

#include <QAction>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocument>

#include <QLayout>
#include <QMenuBar>

using namespace tavimond;

namespace {

class LoggedOnWindowAtStart : public test::LoggedOnWindow {};

class LayoutFit : public test::LoggedOnWindow, public ::testing::WithParamInterface<QSize> {
protected:
    // The window held at the size, as a small screen holds it.
    void holdAtSize()
    {
        window.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        window.setMinimumSize(0, 0);
        window.resize(GetParam());
        test::settle();
        ASSERT_EQ(window.size(), GetParam());
    }
};

} // namespace

TEST_P(LayoutFit, EveryScreenAndTabFitsTheWindow)
{
    const QSize size = GetParam();
    // A screen whose controls cannot shrink to the window would make the window larger
    // than the user's screen; held at the size, as a small screen holds it, the
    // controls it squeezes are what the user sees.
    const QSize client = size - QSize(0, window.menuBar()->sizeHint().height());
    for (Screen *s : window.screens()) {
        EXPECT_LE(s->minimumSizeHint().width(), client.width()) << s->objectName().toStdString();
        EXPECT_LE(s->minimumSizeHint().height(), client.height()) << s->objectName().toStdString();
    }
    ASSERT_NO_FATAL_FAILURE(holdAtSize());

    QStringList faults;
    auto *stack = qobject_cast<QStackedWidget *>(window.centralWidget());
    ASSERT_TRUE(stack);
    for (Screen *s : window.screens()) {
        stack->setCurrentWidget(s);
        test::walkPages(*s, s->objectName(),
                        [&](const QString &) { test::lookForFaults(window, &window, window.rect(), faults); });
    }
    EXPECT_EQ(faults, QStringList());
}

// The system topology's charts of a page with their snapshot times turned upright, each
// by its "=||": every time drawn is whole (the begin time, or the same without its year
// or without its day), and stands inside the chart, clear of the legend below.
TEST_P(LayoutFit, UprightTimesUnderTheSystemChartsStandWhole)
{
    ASSERT_NO_FATAL_FAILURE(holdAtSize());
    widget<QAction>("S1").trigger();
    press("Button2");
    test::settle();
    const QList<ChartView *> views = widget<QGroupBox>("sess_graphs").findChildren<ChartView *>();
    ASSERT_EQ(views.size(), 6);
    for (ChartView *view : views)
        for (QPushButton *b : view->findChildren<QPushButton *>())
            if (b->text() == QLatin1String("=||"))
                QTest::mouseClick(b, Qt::LeftButton);
    test::settle();
    for (ChartView *view : views) {
        SCOPED_TRACE(view->objectName().toStdString());
        QStringList whole;
        for (int s = 0; s < view->model()->seriesCount(); ++s)
            for (const ChartPoint &p : view->model()->series(s).points())
                whole << p.label << QString(p.label).remove(QRegularExpression("/\\d{4}")) << p.label.section(' ', 1);
        QChart &chart = *view->chart();
        const QRectF inside = QRectF(QPointF(0, 0), chart.size()).adjusted(0, 0, 0, -chart.margins().bottom());
        int drawn = 0;
        for (QGraphicsItem *item : view->scene()->items()) {
            auto *label = dynamic_cast<QGraphicsTextItem *>(item);
            const QRectF at = label ? label->sceneBoundingRect() : QRectF();
            if (!label || !label->isVisible() || label->rotation() == 0 || at.center().y() < chart.plotArea().bottom())
                continue;
            const QString text = label->toPlainText().remove(QChar(0x200B));
            if (text.isEmpty())
                continue;
            EXPECT_TRUE(whole.contains(text)) << text.toStdString();
            const double margin = label->document()->documentMargin();
            EXPECT_TRUE(inside.contains(chart.mapRectFromScene(at.adjusted(margin, margin, -margin, -margin))))
                << text.toStdString();
            ++drawn;
        }
        EXPECT_GE(drawn, 4);
    }
}

// The session topology's seven figures, sampled twice: at every size its legend names
// each of them whole, so that each colour of the bars has its name.
TEST_P(LayoutFit, TheSessionChartsLegendNamesEveryFigure)
{
    ASSERT_NO_FATAL_FAILURE(holdAtSize());
    widget<QAction>("RealTimePerformance1").trigger();
    check("session_check", true);
    for (int t = 0; t < 2; ++t) {
        server.model().advance(30);
        fire("Default_timer");
    }
    test::settle();
    ChartView &view = widget<ChartView>("sessres_graph");
    QStringList given, named;
    for (const LegendEntry &e : ChartPlot::legendEntries(*view.model()))
        given << e.text;
    for (const LegendEntry &e : view.legend())
        named << e.text;
    ASSERT_EQ(given.size(), 7);
    EXPECT_EQ(named, given);
}

// The session topology's chart sampled twice, in the window made as small as it allows,
// then wider up to a thousand pixels and taller: its legend names all seven figures, in
// a second row where one does not hold them, and the plot keeps two thirds of the
// chart's height.
TEST_F(LoggedOnWindowAtStart, TheSessionChartsLegendNamesEveryFigureDownToTheSmallestWindow)
{
    widget<QAction>("RealTimePerformance1").trigger();
    check("session_check", true);
    for (int t = 0; t < 2; ++t) {
        server.model().advance(30);
        fire("Default_timer");
    }
    window.resize(1, 1);
    test::settle();
    const QSize least = window.size();
    ASSERT_LT(least.width(), 1000);
    ChartView &view = widget<ChartView>("sessres_graph");
    ASSERT_FALSE(view.plot().bars().empty());
    QStringList given;
    for (const LegendEntry &e : ChartPlot::legendEntries(*view.model()))
        given << e.text;
    ASSERT_EQ(given.size(), 7);
    for (const int taller : {0, 100, 300})
        for (int width = least.width(); width <= 1000; width += 23) {
            window.resize(width, least.height() + taller);
            test::settle();
            SCOPED_TRACE(QStringLiteral("%1x%2").arg(window.width()).arg(window.height()).toStdString());
            QStringList named;
            for (const LegendEntry &e : view.legend())
                named << e.text;
            EXPECT_EQ(named, given);
            EXPECT_GE(view.chart()->plotArea().height(), 2.0 / 3 * view.height());
        }
}

// The latch chart as the window shows it at its size at start, after a quarter of an
// hour of ticks with the latches of both instances: its legend names the first latches
// and leaves the plot two thirds of the chart.
TEST_F(LoggedOnWindowAtStart, TheLatchLegendLeavesThePlotTwoThirdsOfTheChart)
{
    ASSERT_EQ(window.centralWidget()->size(), QSize(1142, 698));
    check("Latch_Check", true);
    widget<QAction>("Latching1").trigger();
    for (int t = 0; t < 8; ++t) {
        server.model().advance(120);
        fire("latch_timer");
    }
    test::settle();
    ChartView &view = widget<ChartView>("latchchart");
    ASSERT_GT(view.model()->seriesCount(), 200);
    ASSERT_FALSE(view.legend().empty());
    EXPECT_EQ(view.legend().front().text, view.model()->series(0).title());
    const QRectF plot = view.chart()->plotArea();
    EXPECT_GE(plot.width() * plot.height(), 2.0 / 3 * view.width() * view.height());
    EXPECT_GE(plot.height(), 2.0 / 3 * view.height());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutFit, ::testing::Values(QSize(1024, 700), QSize(1142, 717), QSize(1600, 1000)), [](const auto &info) {
        return QStringLiteral("w%1h%2").arg(info.param.width()).arg(info.param.height()).toStdString();
    });
