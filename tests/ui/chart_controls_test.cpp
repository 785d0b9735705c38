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

TEST(ChartPlotButtons, ChangeTheDrawnMarginAndTurnTheDrawnLabels)
{
    Chart chart;
    chart.addPoint(chart.addSeries(SeriesKind::Bar, "orcl1", AxisSide::Right), 3, "01-MAY-2013 08:00");
    ChartView view(&chart, "sqlprof_execs_graph");
    view.resize(800, 500);
    view.show();
    ChartPlotButtons buttons(&chart, {"Button11", "Button12", "Button44"}, &view);
    view.sync();
    const int margin0 = view.rightMarginPixels();
    const double width0 = view.chart()->plotArea().width();
    click(view, "Button11");
    view.sync();
    // One step is a hundredth of the view's width: visible.
    EXPECT_EQ(view.rightMarginPixels(), margin0 + 8);
    EXPECT_NEAR(view.chart()->plotArea().width(), width0 - 8, 0.5);
    click(view, "Button12");
    click(view, "Button12");
    view.sync();
    EXPECT_EQ(view.rightMarginPixels(), margin0 - 8);
    // The model's margin has no bound; the drawn one stops at nothing.
    for (int i = 0; i < 10; ++i)
        click(view, "Button12");
    view.sync();
    EXPECT_EQ(view.rightMarginPixels(), 0);

    // Any angle but 0 turns to 0, and 0 to upright labels that read bottom to top.
    chart.setBottomLabelAngle(45);
    click(view, "Button44");
    EXPECT_EQ(chart.bottomLabelAngle(), 0);
    click(view, "Button44");
    view.sync();
    EXPECT_EQ(view.axis(Qt::AlignBottom)->labelsAngle(), -90);
    click(view, "Button44");
    view.sync();
    EXPECT_EQ(view.axis(Qt::AlignBottom)->labelsAngle(), 0);

    // Only what a chart carries: "=||" alone.
    ChartPlotButtons toggleOnly(&chart, {QString(), QString(), "Button145"});
    EXPECT_EQ(toggleOnly.findChildren<QPushButton *>().size(), 1);
}

TEST(DisplayHideLists, ButtonsMoveKeysAndSwitchTheirSeriesInEveryChart)
{
    const QStringList all{"1:db file sequential read", "1:log file sync", "2:log file sync", QString()};
    Chart count;
    Chart time;
    for (Chart *c : {&count, &time})
        for (int k = 0; k < 3; ++k)
            c->addPoint(c->addSeries(SeriesKind::Line, all[k]), 1, "08:00:00");
    // A key may title more than one series of a chart: all of them switch.
    count.addSeries(SeriesKind::Line, all[1]);
    DisplayHideLists lists({"disp_wait_box", "hide_wait_box", "Button52", "Button53", "Button54", "Button55"});
    lists.setCharts({&count, &time});
    lists.addKeys(all);

    lists.show();
    const auto pick = [](QListWidget *list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };

    // ">" hides the clicked key's series in both charts, points kept; then nothing is
    // selected, and ">" again moves nothing.
    pick(lists.displayList(), 1);
    click(lists, "Button53");
    EXPECT_TRUE(lists.displayList()->selectedItems().isEmpty());
    EXPECT_TRUE(lists.hideList()->selectedItems().isEmpty());
    click(lists, "Button53");
    // A hidden key stays hidden.
    lists.addKeys({all[1]});
    EXPECT_EQ(lists.displayed(), (QStringList{all[0], all[2], all[3]}));
    EXPECT_EQ(lists.hidden(), QStringList{all[1]});
    EXPECT_EQ(activeFlags(count), (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(activeFlags(time), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(count.series(1).points().size(), 1u);

    // "<" without a selection in the hide list does nothing; with one, the key goes to the end.
    lists.hideList()->clearSelection();
    click(lists, "Button52");
    EXPECT_EQ(lists.hidden(), QStringList{all[1]});
    pick(lists.hideList(), 0);
    click(lists, "Button52");
    EXPECT_EQ(lists.displayed(), (QStringList{all[0], all[2], all[3], all[1]}));
    EXPECT_EQ(activeFlags(count), (std::vector<bool>(4, true)));

    // The empty key moves like any other and switches no series.
    lists.displayList()->setCurrentRow(2);
    click(lists, "Button53");
    EXPECT_EQ(lists.hidden(), QStringList{QString()});
    EXPECT_EQ(activeFlags(time), (std::vector<bool>(3, true)));

    // ">>" hides every key in order and every series; "<<" brings them all back.
    click(lists, "Button55");
    EXPECT_TRUE(lists.displayed().isEmpty());
    EXPECT_EQ(lists.hidden(), (QStringList{QString(), all[0], all[2], all[1]}));
    EXPECT_EQ(activeFlags(count), (std::vector<bool>(4, false)));
    click(lists, "Button54");
    EXPECT_EQ(lists.displayed(), (QStringList{QString(), all[0], all[2], all[1]}));
    EXPECT_TRUE(lists.hidden().isEmpty());
    EXPECT_EQ(activeFlags(time), (std::vector<bool>(3, true)));
}
