#include "common/sim_fixture.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "ui/grid_view.h"
#include "ui/grid_model.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavimond;

TEST(GridModel, ShowsRowZeroAsTheHeaderAndHearsOfALoadOnce)
{
    test::SimFixture sim;
    QList<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows << QStringList{QString::number(i), QStringLiteral("v%1").arg(i)};
    sim.setRows("big", {"N", "V"}, rows);

    ResultGrid grid(2);
    grid.setHeaders({"Number", "Value"});
    GridView view(&grid, "big_grid");
    GridModel *model = view.gridModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Value");

    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    LoadQueryIntoGrid(sim.open("big"), grid, {}, nullptr, nullptr, true, "Dump", "None", false, "--null--", "LeftAxis",
                      {}, 100);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model->rowCount(), 5001); // the records and the spare row
    EXPECT_EQ(model->index(4999, 1).data().toString(), "v4999");

    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    GridTailTrim(grid);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model->rowCount(), 5000);
    grid.empty();
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, 0).data().toString(), QString());
}

TEST(GridModel, ColumnsWidenToTheirTextsButNeverNarrowAndKeepWhatTheUserGave)
{
    ResultGrid grid(3);
    grid.setHeaders({"Begin", "Blocked Instance ID", "Note"});
    GridView view(&grid, "fit_grid");
    view.resize(900, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setColumnWidths({60, 60, 60});
    const QString stamp = "2026-11-30 09:31:48.932";
    const QFontMetrics fm = view.fontMetrics();
    const QFontMetrics headerFm = view.horizontalHeader()->fontMetrics();
    const auto load = [&](const QList<QStringList> &rows) {
        {
            ResultGrid::Batch batch(grid);
            grid.setRowCount(int(rows.size()) + 1);
            for (int r = 0; r < rows.size(); ++r)
                grid.setRow(r + 1, rows.at(r));
        }
        QCoreApplication::processEvents();
    };

    // A timestamp and a long header show whole; a long text stops at the limit.
    load({{stamp, "1", QString(500, QLatin1Char('x'))}});
    EXPECT_GT(view.columnWidth(0), fm.horizontalAdvance(stamp));
    EXPECT_GT(view.columnWidth(1), headerFm.horizontalAdvance("Blocked Instance ID"));
    EXPECT_EQ(view.columnWidth(2), GridView::kFitLimit);
    // Shorter texts later leave the widths as they are.
    const int begin = view.columnWidth(0);
    load({{"a", "b", "c"}});
    EXPECT_EQ(view.columnWidth(0), begin);

    // The user drags the first column's edge narrower: the next load keeps that width.
    QWidget *header = view.horizontalHeader()->viewport();
    const int y = header->height() / 2;
    QTest::mousePress(header, Qt::LeftButton, {}, QPoint(begin - 1, y));
    QTest::mouseMove(header, QPoint(begin - 61, y));
    QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(begin - 61, y));
    const int chosen = view.columnWidth(0);
    ASSERT_LT(chosen, begin);
    load({{stamp + stamp, "2", "3"}});
    EXPECT_EQ(view.columnWidth(0), chosen);
}
