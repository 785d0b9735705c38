#pragma once

#include "chart_categories.h"
#include "core/chart.h"

#include <QColor>
#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <optional>
#include <utility>
#include <vector>

namespace tavimond {

// The colour a series or point is drawn in: its own, else one of a fixed palette.
QColor seriesColor(const Chart &chart, int series);
QColor pointColor(const Chart &chart, int series, int point);

// One axis as the view shows it: its range and its labels at their values.
struct AxisScale {
    bool shown = false;
    bool reversed = false; // the first value at the top (vertical axes only)
    double min = 0;
    double max = 1;
    std::vector<std::pair<QString, double>> labels;
};

struct ChartScales {
    AxisScale bottom;
    AxisScale left;
    AxisScale right;
};

struct LegendEntry {
    QString text;
    QColor color;
};

// The part of a chart that is shown. `places` place slots at once from slot `first` on
// (fractional while the user scrolls); a last page with fewer places keeps the slots'
// size. 0 shows every place. `values` narrows the value axis of a horizontal chart to
// a range the user zoomed to.
struct PlotWindow {
    double places = 0;
    double first = 0;
    std::optional<std::pair<double, double>> values;
};

// What a ChartView draws of a Chart, computed without widgets.
//
// A chart with an active StackedHBar series is horizontal: its StackedHBar series
// stack place by place along a category axis on the left (the first place at the
// top) and its other series are not drawn. Otherwise a chart with an active Line or
// Bar series is vertical: places along the bottom, values on the left and right
// axes. Otherwise its active Pie series are drawn as pies. Inactive series are not
// drawn at all and take no room; their points stay in the model.
//
// Points stand at the place of their label (ChartCategories), so series whose points
// begin at different labels line up. A line with more points than the plot has pixel
// columns is drawn through the lowest and highest point of each column, so its peaks
// stay visible. A point without a value (not finite) leaves a gap: the line is drawn
// in pieces around it.
class ChartPlot {
public:
    enum class Orientation { Vertical, Horizontal, Pies };

    struct Bar {
        int series;
        int point;
        QRectF rect;
        QColor color;
    };
    struct Line {
        int series;
        QColor color;
        QPolygonF path;
    };
    struct Slice {
        int series;
        int point;
        QPointF centre;
        double radius;
        double start; // degrees clockwise from twelve o'clock
        double span;
        QColor color;
    };
    // A value or label written beside its point.
    struct Mark {
        enum Place { Above, Below, Centre, Before, After };
        QPointF at;
        QString text;
        Place place; // where the text stands from `at` (Before: ending left of it)
    };

    // Takes in the model's changes: points appended since the last refresh are placed
    // one by one; a removed series or cleared points place everything again.
    void refresh(const Chart &chart);

    // What part of the chart is shown; `first` is kept within the places there are.
    void setWindow(const PlotWindow &window);
    const PlotWindow &window() const { return window_; }

    // Axis ranges and labels for a plot of this size, labels written in `font`.
    ChartScales scales(const Chart &chart, const QSizeF &plot, const QFont &font) const;

    // Geometry of every drawn series in the plot rectangle, by the given scales; marks
    // are written in `markFont`.
    void layout(const Chart &chart, const ChartScales &scales, const QRectF &plot, const QFont &markFont);

    Orientation orientation() const { return orientation_; }
    int placeCount() const { return int(order_.size()); }
    // Series refreshed (the number of model series at the last refresh).
    int seriesCount() const { return int(series_.size()); }
    // Times everything was placed again from the start.
    int rebuilds() const { return rebuilds_; }

    const std::vector<Bar> &bars() const { return bars_; }
    const std::vector<Line> &lines() const { return lines_; }
    const std::vector<Slice> &slices() const { return slices_; }
    const std::vector<Mark> &marks() const { return marks_; }
    const QRectF &plotRect() const { return plot_; }

    // Where point `point` of `series` is drawn (a bar's top centre, a line's point, a
    // slice's middle), or nothing when it is not drawn.
    std::optional<QPointF> pointPosition(const Chart &chart, int series, int point) const;
    // The point of `series` drawn under `pos`, or -1.
    int pointAt(const Chart &chart, int series, const QPointF &pos) const;

    // With more than one active series the legend lists the series, with a single one
    // its points. Texts are the chart's legend texts by position when it has any (an
    // entry beyond them is empty), else titles or point labels.
    static std::vector<LegendEntry> legendEntries(const Chart &chart);

private:
    struct SeriesPlaces {
        quint64 id = 0;
        quint64 generation = 0;
        size_t done = 0;
        std::vector<int> place;
        std::vector<quint32> seen;
    };
    struct Range {
        bool any = false;
        double lo = 0;
        double hi = 0;
        void take(double v);
    };

    // Pixel = offset + factor * value along one axis of the plot.
    struct PixelMap {
        double offset = 0;
        double factor = 0;
        double operator()(double v) const { return offset + factor * v; }
    };

    bool drawn(const Chart &chart, int series) const;
    // Calls f(series, point, from, to) for every drawn stacked bar: each runs from the
    // sum of the values stacked before it in its place (positive and negative apart).
    template <typename F>
    void forEachStackedBar(const Chart &chart, F &&f) const;
    double slotCentre(int place) const { return placePixel_[size_t(place)]; }
    PixelMap pixelMap(const AxisScale &axis, bool vertical) const;
    double valueToPixel(double v, const AxisScale &axis, bool vertical) const { return pixelMap(axis, vertical)(v); }
    void layoutVertical(const Chart &chart);
    void layoutHorizontal(const Chart &chart);
    void layoutPies(const Chart &chart, const QFont &markFont);
    double labelWidth(int place, const QFont &font) const;
    AxisScale placeAxis(const QSizeF &plot, const QFont &font, bool vertical, int angle) const;
    static AxisScale valueAxis(const Range &range, double length, double spacing, const QString &format);
    void clampWindow();
    // Place slots along the place axis: the window's, or every place.
    double slotsShown() const;

    PlotWindow window_;
    ChartCategories categories_;
    // Label widths by place, measured once (live charts re-measure thousands per tick).
    mutable std::vector<double> labelWidths_;
    mutable QFont labelFont_;
    std::vector<SeriesPlaces> series_;
    int rebuilds_ = 0;

    Orientation orientation_ = Orientation::Vertical;
    std::vector<int> order_; // places in axis order
    std::vector<int> slot_;  // place -> index in order_, -1 when no drawn series uses it
    std::vector<int> barRank_;
    int barCount_ = 0;
    Range left_;
    Range right_;
    Range horizontal_;

    ChartScales scales_;
    QRectF plot_;
    std::vector<double> placePixel_; // the centre of each used place along its axis
    std::vector<Bar> bars_;
    std::vector<Line> lines_;
    std::vector<Slice> slices_;
    std::vector<Mark> marks_;
};

} // namespace tavimond
