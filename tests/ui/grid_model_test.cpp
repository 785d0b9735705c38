#include "common/sim_fixture.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "ui/grid_view.h"
#include "ui/grid_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tavimond;

TEST(GridModel, ShowsRowZeroAsTheHeaderAndHearsOfALoadOnce)
{
    test::SimFixture sim;
    QList<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows << QStringList{QString::number(i), QStringLiteral("v%1").arg(i)};
    sim.setRows(QStringLiteral("big"), {QStringLiteral("N"), QStringLiteral("V")}, rows);

    ResultGrid grid(2);
    grid.setHeaders({QStringLiteral("Number"), QStringLiteral("Value")});
    GridView view(&grid, QStringLiteral("big_grid"));
    GridModel *model = view.gridModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Value"));

    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    LoadQueryIntoGrid(sim.open(QStringLiteral("big")), grid, {}, nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("None"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"), {}, 100);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model->rowCount(), 5001); // the records and the spare row
    EXPECT_EQ(model->index(4999, 1).data().toString(), QStringLiteral("v4999"));

    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    GridTailTrim(grid);
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model->rowCount(), 5000);
    grid.empty();
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, 0).data().toString(), QString());

    view.setColumnWidths({280, 100});
    EXPECT_EQ(view.columnWidth(0), 280);
    EXPECT_EQ(view.columnWidth(1), 100);
    EXPECT_EQ(view.objectName(), QStringLiteral("big_grid"));
}

TEST(GridModel, AViewMadeByAFormOwnsItsGridAndTakesItsColumnCount)
{
    QWidget parent;
    auto *view = new GridView(&parent);
    view->setObjectName(QStringLiteral("form_grid"));
    view->setProperty("colCount", 4);
    ASSERT_NE(view->grid(), nullptr);
    EXPECT_EQ(view->grid()->parent(), view);
    EXPECT_EQ(view->grid()->colCount(), 4);
    EXPECT_EQ(view->gridModel()->columnCount(), 4);
    view->grid()->setHeaders({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    EXPECT_EQ(view->gridModel()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("D"));
}
