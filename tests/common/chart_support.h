#pragma once

#include "ui/chart_view.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <QImage>

namespace tavimond::test {

// Whether a chart view shows nothing under its title: no axis, grid line, baseline or
// label, only the chart's background.
inline bool blank(ChartView &view)
{
    // As the event loop does: Qt lays the axes out and deletes the removed ones' items.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (view.axis(Qt::AlignLeft) || view.axis(Qt::AlignRight) || view.axis(Qt::AlignBottom))
        return false;
    const QImage image = view.viewport()->grab().toImage();
    const QRect inside =
        view.viewportTransform().mapRect(view.chart()->mapRectToScene(view.chart()->plotArea())).toAlignedRect();
    const QColor background = image.pixelColor(inside.topLeft());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (image.pixelColor(x, y) != background)
                return false;
    return true;
}

} // namespace tavimond::test
