#include "chart_routines.h"

#include "chart.h"
#include "conversions.h"
#include "result_grid.h"

#include "text_hash.h"

#include <unordered_map>
#include <vector>

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
    std::unordered_map<QString, double, TextHash> divisor;
    // The rows of a key come together: its series and divisor are looked up once a run.
    QString runKey;
    std::vector<int> matching;
    double *runDivisor = nullptr;
    for (int r = 1; r < grid.rowCount(); ++r) {
        const double value = strictToFloat(grid.cell(valueColumn, r));
        const QString &label = grid.cell(1, r);
        const QString &key = grid.cell(3, r);
        if (r == 1 || key != runKey) {
            runKey = key;
            // Adding points leaves the title index alone; a series is added only after the loop.
            matching = chart.seriesTitled(literal ? key + QStringLiteral("::Thresh") : key);
            runDivisor = nullptr;
        }
        for (const int s : matching) {
            double point = value;
            if (average) {
                const double d = strictToFloat(grid.cell(4, r));
                if (!runDivisor)
                    runDivisor = &divisor.try_emplace(key, 1.0).first->second;
                if (d != 0)
                    *runDivisor = d;
                else if (onAlert)
                    onAlert();
                point = value / *runDivisor;
            }
            chart.addPoint(s, point, label);
        }
        if (matching.empty()) {
            double point = value;
            if (average) {
                const double d = strictToFloat(grid.cell(4, r));
                runDivisor = &divisor.insert_or_assign(key, d != 0 ? d : 1.0).first->second;
                point = value / *runDivisor;
            }
            const int s = chart.addSeries(literal ? SeriesKind::Line : SeriesKind::Bar,
                                          literal ? key + QStringLiteral("::Thresh") : key, AxisSide::Right);
            chart.setSeriesMarksVisible(s, false);
            chart.addPoint(s, point, label);
            matching = {s}; // the key's later rows find it
        }
    }
}

void ToggleBottomAxisLabels(Chart &chart)
{
    chart.setBottomLabelAngle(chart.bottomLabelAngle() == 0 ? 90 : 0);
}

} // namespace tavimond
