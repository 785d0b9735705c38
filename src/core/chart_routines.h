#pragma once

#include <QString>
#include <functional>

namespace tavimond {

class Chart;
class ResultGrid;

// Adds one point per grid row (value from valueColumn, label from column 1) to the
// series titled with the row's key (column 3), creating bar series ("Total",
// "Average") or a line series titled key + "::Thresh" ("Literal") on the right axis.
// "Average" divides by column 4, keeping the last non-zero divisor of the key; a zero
// divisor on a known series calls onAlert. Conversion errors pass to the caller and
// the points added so far stay.
void ChartFromGrid(const ResultGrid &grid, Chart &chart, int valueColumn, const QString &unused,
                   const QString &chartMode, const std::function<void()> &onAlert = {});

// Bottom-axis labels: an angle of 0 becomes 90, any other angle becomes 0.
void ToggleBottomAxisLabels(Chart &chart);

} // namespace tavimond
