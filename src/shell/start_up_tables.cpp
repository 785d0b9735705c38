#include "start_up_tables.h"

#include "core/chart.h"
#include "core/result_grid.h"
#include "ui/grid_view.h"

#include <QHash>

namespace tavimond {
namespace {

void writeGrid(QWidget *root, const GridHeaders &table)
{
    auto *view = root->findChild<GridView *>(table.grid);
    ResultGrid *grid = root->findChild<ResultGrid *>(table.grid);
    if (!grid && view)
        grid = view->grid();
    if (grid && !table.headers.isEmpty())
        grid->setHeaders(table.headers);
    if (view)
        for (int c = 0; c < table.widths.size(); ++c)
            if (table.widths.at(c) >= 0)
                view->setColumnWidth(c, table.widths.at(c));
}

void writeHints(QWidget *root, const QList<ChartHint> &hints)
{
    for (const ChartHint &h : hints)
        if (auto *chart = root->findChild<Chart *>(h.chart))
            chart->setHint(h.hint);
}

} // namespace

const QStringList &headerOrder()
{
    static const QStringList order{
        QStringLiteral("tsdfgrid"),          QStringLiteral("adv_grid"),         QStringLiteral("seggrid"),
        QStringLiteral("seggrowthgrid"),     QStringLiteral("timedstatgrid"),    QStringLiteral("sessres_grid"),
        QStringLiteral("sessres_grid_arc"),  QStringLiteral("sessres_grid_del"), QStringLiteral("systopgrid"),
        QStringLiteral("tsqugrid"),          QStringLiteral("tssizegrid"),       QStringLiteral("profilegrid"),
        QStringLiteral("userrolegrid"),      QStringLiteral("BCacheGrid"),       QStringLiteral("LCacheGrid"),
        QStringLiteral("DDictGrid"),         QStringLiteral("idxpartitiongrid"), QStringLiteral("idxcolsgrid"),
        QStringLiteral("objcongrid"),        QStringLiteral("objindexgrid"),     QStringLiteral("partitiongrid"),
        QStringLiteral("objextstatsgrid"),   QStringLiteral("objtabcolsgrid"),   QStringLiteral("df_grid"),
        QStringLiteral("segstat_grid"),      QStringLiteral("bc_grid"),          QStringLiteral("wthistgrid"),
        QStringLiteral("sql_ash_grid_summ"), QStringLiteral("sql_ash_grid"),     QStringLiteral("SQL_top_Grid"),
        QStringLiteral("cbc_latchgrid"),     QStringLiteral("Latchgrid"),        QStringLiteral("latchTHgrid"),
        QStringLiteral("tch_grid"),          QStringLiteral("longopsgrid"),      QStringLiteral("SQL_Prof_Grid"),
        QStringLiteral("sqlid_grid"),        QStringLiteral("sesevtgrid_time"),  QStringLiteral("sesevtgrid_cnt"),
        QStringLiteral("lockgrid"),          QStringLiteral("blockinggrid"),     QStringLiteral("SRGrid"),
        QStringLiteral("srgridtime"),        QStringLiteral("THGrid"),
    };
    return order;
}

GridHeaders longOpsHeaders()
{
    return {QStringLiteral("longopsgrid"),
            {QStringLiteral("Inst ID"), QStringLiteral("Start"), QStringLiteral("SID"), QStringLiteral("Message"),
             QStringLiteral("Secs Left")},
            {}};
}

void writeStartUpTables(QWidget *root, const QList<GridHeaders> &grids, const QList<ChartHint> &hints)
{
    QHash<QString, const GridHeaders *> byName;
    for (const GridHeaders &g : grids)
        byName.insert(g.grid, &g);
    const QStringList &order = headerOrder();
    for (int i = 0; i < order.size(); ++i) {
        if (i == kChartHintsAfter)
            writeHints(root, hints);
        if (const GridHeaders *g = byName.take(order.at(i)))
            writeGrid(root, *g);
    }
    for (const GridHeaders &g : grids)
        if (byName.contains(g.grid))
            writeGrid(root, g);
}

} // namespace tavimond
