#pragma once

#include "ui/chart_view.h"

#include <QCategoryAxis>
#include <QCoreApplication>
#include <QImage>
#include <cmath>

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

// How far two colours stand apart to the eye: the ratio of their relative luminances
// (each plus 0.05), the lighter over the darker; a drawing must reach 3 to be seen.
inline double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace tavimond::test
