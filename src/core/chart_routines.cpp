#include "chart_routines.h"

#include "chart.h"
#include "conversions.h"
#include "result_grid.h"

#include <QHash>

namespace tavimond {

void ChartFromGrid(const ResultGrid &grid, Chart &chart, int valueColumn, const QString &, const QString &chartMode,
                   const std::function<void()> &onAlert)
{
    if (grid.rowCount() < 2 || grid.cell(0, 1).isEmpty())
        return;
    const bool total = chartMode == QLatin1String("Total");
    const bool average = chartMode == QLatin1String("Average");
    const bool literal = chartMode == QLatin1String("Literal");
    if (!total && !average && !literal)
        return;

    Chart::Batch batch(chart);
    chart.setRightAxisFormat(QStringLiteral("#,##0.#####"));
    // Per key: a zero execution count borrows the key's own previous count, never another key's.
    QHash<QString, double> divisor;
    for (int r = 1; r < grid.rowCount(); ++r) {
        const double value = strictToFloat(grid.cell(valueColumn, r));
        const QString &label = grid.cell(1, r);
        const QString &key = grid.cell(3, r);
        const QString title = literal ? key + QStringLiteral("::Thresh") : key;
        // Adding points leaves the title index alone; a series is added only after the loop.
        const std::vector<int> &matching = chart.seriesTitled(title);
        for (const int s : matching) {
            double point = value;
            if (average) {
                const double d = strictToFloat(grid.cell(4, r));
                if (d != 0)
                    divisor[key] = d;
                else if (onAlert)
                    onAlert();
                point = value / divisor.value(key, 1.0);
            }
            chart.addPoint(s, point, label);
        }
        if (matching.empty()) {
            double point = value;
            if (average) {
                const double d = strictToFloat(grid.cell(4, r));
                divisor[key] = d != 0 ? d : 1.0;
                point = value / divisor[key];
            }
            const int s = chart.addSeries(literal ? SeriesKind::Line : SeriesKind::Bar, title, AxisSide::Right);
            chart.setSeriesMarksVisible(s, false);
            chart.addPoint(s, point, label);
        }
    }
}

void ToggleBottomAxisLabels(Chart &chart)
{
    chart.setBottomLabelAngle(chart.bottomLabelAngle() == 0 ? 90 : 0);
}

} // namespace tavimond
