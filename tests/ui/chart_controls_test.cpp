#include "core/chart.h"
#include "ui/chart_plot_buttons.h"
#include "ui/chart_view.h"
#include "ui/display_hide_lists.h"

#include <QCategoryAxis>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

void click(QWidget &parent, const QString &name)
{
    auto *b = parent.findChild<QPushButton *>(name);
    ASSERT_NE(b, nullptr) << name.toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
}

std::vector<bool> activeFlags(const Chart &chart)
{
    std::vector<bool> out;
    for (int s = 0; s < chart.seriesCount(); ++s)
        out.push_back(chart.series(s).active());
    return out;
}

} // namespace

TEST(ChartPlotButtons, ChangeTheMarginAndTurnTheLabels)
{
    Chart chart;
    const int s = chart.addSeries(SeriesKind::Bar, QStringLiteral("orcl1"), AxisSide::Right);
    chart.addPoint(s, 3, QStringLiteral("01-MAY-2013 08:00"));
    ChartView view(&chart, QStringLiteral("sqlprof_execs_graph"));
    view.resize(800, 500);
    view.show();
    ChartPlotButtons buttons(
        &chart, {QStringLiteral("Button11"), QStringLiteral("Button12"), QStringLiteral("Button44")}, &view);
    EXPECT_EQ(buttons.parentWidget(), &view);
    EXPECT_EQ(buttons.decreaseButton()->text(), QStringLiteral("<"));
    EXPECT_EQ(buttons.decreaseButton()->toolTip(), QStringLiteral("Decrease Plot Area"));
    EXPECT_EQ(buttons.increaseButton()->text(), QStringLiteral(">"));
    EXPECT_EQ(buttons.increaseButton()->toolTip(), QStringLiteral("Increase Plot Area"));
    EXPECT_EQ(buttons.toggleButton()->text(), QStringLiteral("=||"));
    EXPECT_EQ(buttons.toggleButton()->toolTip(), QStringLiteral("Axis Text Orientation"));

    view.sync();
    const int margin0 = view.rightMarginPixels();
    const double width0 = view.chart()->plotArea().width();
    click(view, QStringLiteral("Button11"));
    EXPECT_EQ(chart.rightMargin(), 1);
    view.sync();
    // One step is a hundredth of the view's width: visible.
    EXPECT_EQ(view.rightMarginPixels(), margin0 + 8);
    EXPECT_NEAR(view.chart()->plotArea().width(), width0 - 8, 0.5);
    click(view, QStringLiteral("Button12"));
    click(view, QStringLiteral("Button12"));
    EXPECT_EQ(chart.rightMargin(), -1);
    view.sync();
    EXPECT_EQ(view.rightMarginPixels(), margin0 - 8);
    // The model's margin has no bound; the drawn one stops at nothing.
    for (int i = 0; i < 10; ++i)
        click(view, QStringLiteral("Button12"));
    EXPECT_EQ(chart.rightMargin(), -11);
    view.sync();
    EXPECT_EQ(view.rightMarginPixels(), 0);

    chart.setBottomLabelAngle(45);
    click(view, QStringLiteral("Button44"));
    EXPECT_EQ(chart.bottomLabelAngle(), 0);
    click(view, QStringLiteral("Button44"));
    EXPECT_EQ(chart.bottomLabelAngle(), 90);
    view.sync();
    EXPECT_EQ(view.axis(Qt::AlignBottom)->labelsAngle(), -90); // reads bottom to top
    click(view, QStringLiteral("Button44"));
    view.sync();
    EXPECT_EQ(view.axis(Qt::AlignBottom)->labelsAngle(), 0);

    // Only what a chart carries: "=||" alone, and "<"/">" without hints.
    ChartPlotButtons toggleOnly(&chart, {QString(), QString(), QStringLiteral("Button145")});
    EXPECT_EQ(toggleOnly.decreaseButton(), nullptr);
    EXPECT_EQ(toggleOnly.findChildren<QPushButton *>().size(), 1);
    ChartPlotButtons noHints(
        &chart, {QStringLiteral("Button105"), QStringLiteral("Button106"), QStringLiteral("Button58")}, nullptr, false);
    EXPECT_TRUE(noHints.decreaseButton()->toolTip().isEmpty());
    EXPECT_EQ(noHints.toggleButton()->toolTip(), QStringLiteral("Axis Text Orientation"));
}

TEST(DisplayHideLists, ButtonsMoveKeysAndSwitchTheirSeriesInEveryChart)
{
    // The count and the time chart of the wait events carry the same keys.
    Chart count;
    Chart time;
    for (Chart *c : {&count, &time}) {
        for (const char *key : {"1:db file sequential read", "1:log file sync", "2:log file sync"}) {
            const int s = c->addSeries(SeriesKind::Line, QString::fromLatin1(key));
            c->addPoint(s, 1, QStringLiteral("08:00:00"));
            c->addPoint(s, 2, QStringLiteral("08:00:30"));
        }
    }
    // A key may title more than one series of a chart: all of them switch.
    const int twin = count.addSeries(SeriesKind::Line, QStringLiteral("1:log file sync"));
    DisplayHideLists lists({QStringLiteral("disp_wait_box"), QStringLiteral("hide_wait_box"),
                            QStringLiteral("Button52"), QStringLiteral("Button53"), QStringLiteral("Button54"),
                            QStringLiteral("Button55")});
    lists.setCharts({&count, &time});
    lists.addKeys({QStringLiteral("1:db file sequential read"), QStringLiteral("1:log file sync"),
                   QStringLiteral("2:log file sync"), QString()});
    lists.addKeys({QStringLiteral("1:log file sync"), QString()}); // known keys are not added again
    const QStringList all{QStringLiteral("1:db file sequential read"), QStringLiteral("1:log file sync"),
                          QStringLiteral("2:log file sync"), QString()};
    EXPECT_EQ(lists.displayed(), all);
    auto *display = lists.findChild<QListWidget *>(QStringLiteral("disp_wait_box"));
    auto *hide = lists.findChild<QListWidget *>(QStringLiteral("hide_wait_box"));
    ASSERT_NE(display, nullptr);
    ASSERT_NE(hide, nullptr);
    for (const auto &[name, caption] :
         {std::pair{"Button52", "<"}, {"Button53", ">"}, {"Button54", "<<"}, {"Button55", ">>"}})
        EXPECT_EQ(lists.findChild<QPushButton *>(QString::fromLatin1(name))->text(), QString::fromLatin1(caption));

    // ">" hides the selected key's series in both charts, points kept.
    display->setCurrentRow(1);
    click(lists, QStringLiteral("Button53"));
    EXPECT_EQ(lists.displayed(), (QStringList{all[0], all[2], all[3]}));
    EXPECT_EQ(lists.hidden(), QStringList{all[1]});
    EXPECT_EQ(activeFlags(count), (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(activeFlags(time), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(count.series(1).points().size(), 2u);
    EXPECT_FALSE(count.series(twin).active());
    // A key already in the hide list stays there.
    lists.addKeys({all[1]});
    EXPECT_EQ(lists.hidden(), QStringList{all[1]});

    // "<" without a selection in the hide list does nothing.
    hide->clearSelection();
    click(lists, QStringLiteral("Button52"));
    EXPECT_EQ(lists.hidden(), QStringList{all[1]});
    hide->setCurrentRow(0);
    click(lists, QStringLiteral("Button52"));
    EXPECT_EQ(lists.displayed(), (QStringList{all[0], all[2], all[3], all[1]})); // at the end
    EXPECT_TRUE(lists.hidden().isEmpty());
    EXPECT_EQ(activeFlags(count), (std::vector<bool>(4, true)));

    // The empty key moves like any other and switches no series.
    display->setCurrentRow(2);
    click(lists, QStringLiteral("Button53"));
    EXPECT_EQ(lists.hidden(), QStringList{QString()});
    EXPECT_EQ(activeFlags(time), (std::vector<bool>(3, true)));

    // ">>" hides every key in order and every series; "<<" brings them all back.
    click(lists, QStringLiteral("Button55"));
    EXPECT_TRUE(lists.displayed().isEmpty());
    EXPECT_EQ(lists.hidden(), (QStringList{QString(), all[0], all[2], all[1]}));
    EXPECT_EQ(activeFlags(count), (std::vector<bool>(4, false)));
    EXPECT_EQ(activeFlags(time), (std::vector<bool>(3, false)));
    click(lists, QStringLiteral("Button54"));
    EXPECT_EQ(lists.displayed(), (QStringList{QString(), all[0], all[2], all[1]}));
    EXPECT_TRUE(lists.hidden().isEmpty());
    EXPECT_EQ(activeFlags(count), (std::vector<bool>(4, true)));

    // A view of a chart follows the switch.
    ChartView view(&time, QStringLiteral("EVTcharttime"));
    view.resize(600, 400);
    view.show();
    display->setCurrentRow(1);
    click(lists, QStringLiteral("Button53"));
    view.sync();
    ASSERT_EQ(view.plot().lines().size(), 2u);
    EXPECT_EQ(view.plot().lines()[0].series, 1);

    lists.clear();
    EXPECT_TRUE(lists.displayed().isEmpty());
    EXPECT_TRUE(lists.hidden().isEmpty());
}
