#include "chart_routines.h"

#include "chart.h"

namespace tavimond {

void ToggleBottomAxisLabels(Chart &chart)
{
    chart.setBottomLabelAngle(chart.bottomLabelAngle() == 0 ? 90 : 0);
}

} // namespace tavimond
