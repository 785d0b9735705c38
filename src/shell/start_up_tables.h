#pragma once

#include "ui/screen.h"

#include <QStringList>

namespace tavimond {

// The grids whose header rows start-up writes, in the order it writes them.
const QStringList &headerOrder();
// The chart hints are written after this many grids of headerOrder().
inline constexpr int kChartHintsAfter = 8;

// The header row of longopsgrid, the one grid that no screen's table holds.
GridHeaders longOpsHeaders();

// Writes the header rows and column widths of the grids below root, then the chart
// hints, in the start-up order; a table entry whose grid or chart does not exist is
// passed over. Entries that the order does not name come last, in the order given.
void writeStartUpTables(QWidget *root, const QList<GridHeaders> &grids, const QList<ChartHint> &hints);

} // namespace tavimond
