#pragma once

#include <QString>
#include <vector>

namespace tavimond {

// Formats a number by a pattern of the form "#,##0.#####": a ',' in the integer part
// groups thousands, the '0's before the '.' are the least integer digits, the '0's
// after it the least decimals and the '0's and '#'s after it the most. The decimal mark
// is always '.'. An empty or unknown pattern gives up to 15 significant digits.
QString formatNumber(double value, const QString &pattern);

// Evenly spaced round values that cover [lo, hi], at most about maxTicks of them.
struct Ticks {
    double min = 0;
    double max = 1;
    std::vector<double> values;
};
Ticks niceTicks(double lo, double hi, int maxTicks);

// Makes equal texts distinct without changing how they look (axis labels must be
// unique on the Qt side): the second "x" gets one zero-width space, the third two...
std::vector<QString> distinctTexts(const std::vector<QString> &texts);

} // namespace tavimond
