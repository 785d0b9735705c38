#pragma once

#include "chart_categories.h"
#include "line_raster.h"
#include "core/chart.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <array>
#include <climits>
#include <limits>
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
    // With every place shown: the chart gains places as it is shown (live lines, a place
    // a tick), so the place axis keeps room for more, up to an eighth of it. A new place
    // then leaves the others where they were, and only the lines' new ends are drawn.
    bool grows = false;
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
// Points stand at the place of their label (ChartPlaces), so series whose points
// begin at different labels line up. A line with more points than the plot has pixel
// columns is drawn through the lowest and highest point of each column, so its peaks
// stay visible. A point without a value (not finite) leaves a gap: the line is drawn
// in pieces around it.
//
// A live tick adds a point to each of thousands of long lines: taking it in costs the
// new points, not the history. Places in use are counted as points arrive, value
// ranges come with the series, and each long line keeps the lowest and highest point
// of every run of places narrower than a pixel, up to date as points arrive. Lines are
// then rasterised column by column, each pixel written once, topmost line first.
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

    // Takes in the model's changes: points appended since the last refresh are counted
    // one by one; a removed series or cleared points count everything again.
    void refresh(const Chart &chart);

    // What part of the chart is shown; `first` is kept within the places there are.
    void setWindow(const PlotWindow &window);
    const PlotWindow &window() const { return window_; }

    // Axis ranges and labels for a plot of this size, labels written in `font`. Bottom
    // labels turned upright are `shortened` steps shorter: a time gives up its seconds,
    // its year, then its date; a label with fewer steps to give is left out.
    ChartScales scales(const Chart &chart, const QSizeF &plot, const QFont &font, int shortened = 0) const;

    // Geometry of every drawn series in the plot rectangle, by the given scales; marks
    // are written in `markFont`. The chart must outlive the use of lines() and
    // paintLines() until the next layout.
    void layout(const Chart &chart, const ChartScales &scales, const QRectF &plot, const QFont &markFont);

    // Draws the lines into the plot rectangle, the later series above the earlier.
    void paintLines(QPainter &painter, qreal devicePixelRatio);

    Orientation orientation() const { return orientation_; }
    int placeCount() const { return int(order_.size()); }
    // Series refreshed (the number of model series at the last refresh).
    int seriesCount() const { return int(series_.size()); }
    // Times everything was placed again from the start.
    int rebuilds() const { return rebuilds_; }
    // Times the lines were rasterised whole (not only their new ends).
    int fullRasters() const { return fullRasters_; }

    const std::vector<Bar> &bars() const { return bars_; }
    // The drawn lines' vertices, made when asked.
    const std::vector<Line> &lines() const;
    const std::vector<Slice> &slices() const { return slices_; }
    // The marks to write: a mark that would cover one placed before it is left out, the
    // marks of the highest points placed first.
    const std::vector<Mark> &marks() const { return marks_; }
    // Where a mark's text stands, written with `fm`.
    static QRectF markBox(const Mark &mark, const QFontMetricsF &fm);
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
    // The lowest and highest point of a run of slots: their values less the series'
    // first value (floats are exact enough for pixels then) and their slots within the
    // run. An empty run holds NaN.
    struct Run {
        float low = std::numeric_limits<float>::quiet_NaN();
        float high = std::numeric_limits<float>::quiet_NaN();
        quint16 lowAt = 0;
        quint16 highAt = 0;
    };
    struct SeriesState {
        quint64 id = 0;
        quint64 generation = 0;
        bool counted = false; // its points' places count as used
        size_t done = 0;      // points counted
        // The extremes of a long line: the lowest and highest point of each run of
        // 2^shift slots (see Run). shift -1: not kept.
        int shift = -1;
        size_t folded = 0;
        double base = 0;
        bool based = false;
        std::vector<Run> runs;
        std::vector<quint32> gaps; // slots of points without a value, rising
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

    void countPlaces(const Chart &chart, int series, SeriesState &state, bool use);
    // Whether a line's extremes can be kept per run of slots: its places rise with its
    // points and the slots follow the places.
    bool foldable(const Chart &chart, int series) const;
    // For a long foldable line: sets base to its first value, calls f(slot, value less
    // base, slot, value less base) for the extremes of every run of slots in the window,
    // in their order, and returns true; otherwise false.
    // From slot fromSlot on, when given, for a line drawn again from a column on.
    template <typename F>
    bool forEachRun(const Chart &chart, int series, double &base, F &&f, long fromSlot = LONG_MIN);
    // Calls f(x, value) for the vertices of a drawn line, in order (a line with fewer
    // points than pixels from slot fromSlot on).
    template <typename F>
    void forEachVertex(const Chart &chart, int series, F &&f, long fromSlot = LONG_MIN);
    // Runs of 2^runShift() slots are at most a pixel wide.
    int runShift() const;
    // Of the first n points of a line whose points stand left to right: the last before
    // `slot` (a line drawn from there comes in across places it has no point at), or 0.
    size_t pointBefore(const ChartSeries &s, size_t n, long slot) const;
    void fold(const Chart &chart, int series, SeriesState &state, int shift);
    void buildLines();
    bool drawn(const Chart &chart, int series) const;
    // The points of a series as the last refresh took them in: a paint, or the mouse,
    // between a change of the model and its refresh sees no point the view has not
    // placed. 0 for a series changed otherwise (cleared, taken back, removed).
    size_t laidOutPoints(const Chart &chart, int series) const;
    // Calls f(series, point, from, to) for every drawn stacked bar: each runs from the
    // sum of the values stacked before it in its place (positive and negative apart).
    template <typename F>
    void forEachStackedBar(const Chart &chart, F &&f) const;
    double slotCentre(int place) const
    {
        Q_ASSERT(size_t(place) < placePixel_.size()); // only places laid out are asked for
        return placePixel_[size_t(place)];
    }
    PixelMap pixelMap(const AxisScale &axis, bool vertical) const;
    double valueToPixel(double v, const AxisScale &axis, bool vertical) const { return pixelMap(axis, vertical)(v); }
    void layoutVertical(const Chart &chart);
    void layoutHorizontal(const Chart &chart);
    void layoutPies(const Chart &chart, const QFont &markFont);
    void dropCoveredMarks(const QFont &markFont);
    double labelWidth(const Chart &chart, int place, const QFont &font) const;
    // The widest label of the places in the window, written in `font`.
    double widestBottomLabel(const Chart &chart, const QFont &font) const;
    // The places inside the window: from, and one past the last.
    std::pair<int, int> placesInWindow() const;
    AxisScale placeAxis(const Chart &chart, const QSizeF &plot, const QFont &font, bool vertical, int angle,
                        int shortened) const;
    static AxisScale valueAxis(const Range &range, double length, double spacing, const QString &format);
    void clampWindow();
    // Place slots along the place axis: the window's, or every place.
    double slotsShown() const;

    PlotWindow window_;
    // Label widths by label, measured once (live charts re-measure thousands per tick).
    mutable std::vector<double> labelWidths_;
    mutable QFont labelFont_;
    std::vector<SeriesState> series_;
    std::vector<quint32> useCount_;                 // by place: points of drawn series standing there
    std::vector<std::optional<qint64>> labelTimes_; // by label: the label read as a time
    std::vector<char> timeRead_;
    int knownPlaces_ = 0;
    quint64 placesEpoch_ = 0;
    bool placeOrdered_ = true; // slots follow the places' numbers
    int rebuilds_ = 0;
    const Chart *chart_ = nullptr; // laid out last
    mutable bool linesBuilt_ = false;
    std::vector<int> lineSeries_; // drawn lines, in series order
    // What the raster was drawn from: the mapping of slots and values to pixels, and the
    // lines drawn, in drawing order, with the points each had.
    struct RasterLine {
        int series = 0;
        quint64 id = 0;
        quint64 generation = 0;
        QRgb colour = 0;
        bool right = false; // on the right axis
        size_t points = 0;
        bool foldable = false;
        bool dense = false; // more points than the plot has pixels
    };
    struct RasterState {
        const Chart *chart = nullptr;
        int w = 0;
        int h = 0;
        qreal dpr = 0;
        QRectF plot;
        double slotStart = 0;
        double slotStep = 0;
        std::array<double, 6> scales{};
        std::array<double, 3> window{};
        quint64 placesEpoch = 0;
        std::vector<RasterLine> lines;
    };
    RasterState rasterState(const Chart &chart, qreal dpr, int w, int h) const;
    // The first raster column that the change from `before` to `now` can touch (the
    // plot's width when none): -1 unless the mapping and the lines are the same and the
    // lines only longer.
    int firstChangedColumn(const Chart &chart, const RasterState &before, const RasterState &now) const;
    // Rasterises a drawn line, from slot fromSlot on.
    void rasterLine(const Chart &chart, int series, long fromSlot);
    LineRaster raster_;
    RasterState rasterState_;
    bool rasterFresh_ = false; // the raster shows rasterState_
    int fullRasters_ = 0;

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
    double slotStart_ = 0;           // the centre of slot s: slotStart_ + s * slotStep_
    double slotStep_ = 1;
    std::vector<Bar> bars_;
    mutable std::vector<Line> lines_;
    std::vector<Slice> slices_;
    std::vector<Mark> marks_;
};

} // namespace tavimond
