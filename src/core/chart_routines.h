#pragma once

namespace tavimond {

class Chart;

// Bottom-axis labels: an angle of 0 becomes 90, any other angle becomes 0.
void ToggleBottomAxisLabels(Chart &chart);

} // namespace tavimond
