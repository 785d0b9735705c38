#include "chart_plot.h"

#include "chart_scale.h"
#include "core/key_colours.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace tavimond {
namespace {

const QString kPlainFormat = QStringLiteral("#,##0.###");

// Share of a place's width that its bars fill.
constexpr double kBarShare = 0.7;
// How near (pixels) the pointer must come to a line's point to be on it.
constexpr double kLineHitRadius = 5;

QColor paletteColor(int i)
{
    return QColor::fromRgb(QRgb(0xFF000000u | paletteRgb(i)));
}

QColor fromRgb(Rgb rgb)
{
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

// floor() for the rasteriser's coordinates, without a library call per pixel.
inline int floorToInt(double v)
{
    const int i = int(v);
    return i - (v < double(i) ? 1 : 0);
}

// A label `steps` steps shorter, or nothing where it has fewer steps to give. A time
// gives up what the neighbouring labels tell anyway, least telling first: its seconds,
// its year, then its date. Nothing is cut off a label.
std::optional<QString> shortLabel(const QString &text, int steps)
{
    static const QRegularExpression seconds(QStringLiteral("^(.*\\d\\d?:\\d\\d):\\d\\d(\\.\\d+)?$"));
    static const QRegularExpression year(QStringLiteral("^(\\d\\d?[-/][A-Za-z]{3})[-/]\\d{4}( .*)$"));
    static const QRegularExpression date(QStringLiteral("^\\S+ (\\d\\d?:\\d\\d.*)$"));
    QString shown = text;
    for (const QRegularExpression *cut : {&seconds, &year, &date}) {
        if (steps == 0)
            break;
        if (const QRegularExpressionMatch m = cut->match(shown); m.hasMatch()) {
            shown = m.captured(1) + (cut == &year ? m.captured(2) : QString());
            --steps;
        }
    }
    return steps == 0 ? std::optional<QString>(shown) : std::nullopt;
}

QString markText(double value)
{
    return formatNumber(value, kPlainFormat);
}

} // namespace

QColor seriesColor(const Chart &chart, int series)
{
    if (const auto c = chart.series(series).color())
        return fromRgb(*c);
    // A key keeps its colour in every chart of its screen.
    if (KeyColours *book = chart.keyColours())
        return paletteColor(book->indexOf(chart, series));
    return paletteColor(series);
}

QColor pointColor(const Chart &chart, int series, int point)
{
    const ChartSeries &s = chart.series(series);
    if (const auto c = s.pointColor(size_t(point)))
        return fromRgb(*c);
    return s.kind() == SeriesKind::Pie ? paletteColor(point) : seriesColor(chart, series);
}

void ChartPlot::Range::take(double v)
{
    if (!std::isfinite(v))
        return;
    lo = any ? std::min(lo, v) : v;
    hi = any ? std::max(hi, v) : v;
    any = true;
}

template <typename F>
void ChartPlot::forEachStackedBar(const Chart &chart, F &&f) const
{
    std::vector<double> posBase(order_.size(), 0);
    std::vector<double> negBase(order_.size(), 0);
    for (int i = 0; i < chart.seriesCount(); ++i) {
        if (!drawn(chart, i))
            continue;
        const ChartSeries &s = chart.series(i);
        for (size_t p = 0; p < s.pointCount(); ++p) {
            const double v = s.value(p);
            if (!std::isfinite(v))
                continue;
            const size_t slot = size_t(slot_[size_t(s.place(p))]);
            double &base = v >= 0 ? posBase[slot] : negBase[slot];
            f(i, int(p), base, base + v);
            base += v;
        }
    }
}

void ChartPlot::countPlaces(const Chart &chart, int series, SeriesState &state, bool use)
{
    const ChartSeries &s = chart.series(series);
    if (state.counted && !use) {
        for (size_t p = 0; p < state.done; ++p)
            --useCount_[size_t(s.place(p))];
        state.counted = false;
        state.done = 0;
        state.shift = -1; // its extremes are made again when it is drawn again
    }
    if (use) {
        for (size_t p = state.done; p < s.pointCount(); ++p)
            ++useCount_[size_t(s.place(p))];
        state.done = s.pointCount();
        state.counted = true;
    }
}

void ChartPlot::refresh(const Chart &chart)
{
    const int n = chart.seriesCount();
    const ChartPlaces &places = chart.places();
    bool rebuild = int(series_.size()) > n || places.count() < knownPlaces_ || places.epoch() != placesEpoch_;
    for (int i = 0; !rebuild && i < int(series_.size()); ++i) {
        const ChartSeries &s = chart.series(i);
        const SeriesState &c = series_[size_t(i)];
        rebuild = c.id != s.id() || c.generation != s.generation() || s.pointCount() < c.done;
    }
    if (rebuild) {
        // Places of removed or cleared points must not linger on the axis.
        series_.clear();
        useCount_.clear();
        labelWidths_.clear();
        labelTimes_.clear();
        timeRead_.clear();
        order_.clear();
        ++rebuilds_;
        rasterFresh_ = false;
    }
    knownPlaces_ = places.count();
    placesEpoch_ = places.epoch();
    useCount_.resize(size_t(places.count()), 0);
    for (int i = int(series_.size()); i < n; ++i) {
        SeriesState st;
        st.id = chart.series(i).id();
        st.generation = chart.series(i).generation();
        series_.push_back(std::move(st));
    }

    bool stacked = false;
    bool cartesian = false;
    bool pies = false;
    for (int i = 0; i < n; ++i) {
        const ChartSeries &s = chart.series(i);
        if (!s.active())
            continue;
        stacked = stacked || s.kind() == SeriesKind::StackedHBar;
        cartesian = cartesian || s.kind() == SeriesKind::Line || s.kind() == SeriesKind::Bar;
        pies = pies || s.kind() == SeriesKind::Pie;
    }
    orientation_ = stacked ? Orientation::Horizontal : (cartesian || !pies ? Orientation::Vertical : Orientation::Pies);
    for (int i = 0; i < n; ++i)
        countPlaces(chart, i, series_[size_t(i)], orientation_ != Orientation::Pies && drawn(chart, i));

    // The used places in axis order: by time when every one of them reads as a time
    // (live labels are times of day and may pass midnight, so they do not), otherwise
    // in order of first appearance.
    labelTimes_.resize(size_t(places.labelCount()));
    timeRead_.resize(size_t(places.labelCount()), 0);
    std::vector<int> order;
    order.reserve(order_.size() + 16);
    bool allTimes = true;
    for (int p = 0; p < places.count(); ++p) {
        if (useCount_[size_t(p)] == 0)
            continue;
        order.push_back(p);
        if (allTimes) {
            const size_t id = size_t(places.labelId(p));
            if (!timeRead_[id]) {
                labelTimes_[id] = labelTime(places.label(p));
                timeRead_[id] = 1;
            }
            allTimes = labelTimes_[id].has_value();
        }
    }
    if (allTimes && !order.empty()) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const qint64 ta = *labelTimes_[size_t(places.labelId(a))];
            const qint64 tb = *labelTimes_[size_t(places.labelId(b))];
            return ta != tb ? ta < tb : places.occurrence(a) < places.occurrence(b);
        });
    }
    placeOrdered_ = std::is_sorted(order.begin(), order.end());
    // Extremes are kept per run of slots: places that moved to other slots void them.
    const bool slotsKept = order.size() >= order_.size() && std::equal(order_.begin(), order_.end(), order.begin());
    if (!slotsKept) {
        for (SeriesState &st : series_)
            st.shift = -1;
        rasterFresh_ = false; // points stand in other slots
    }
    order_ = std::move(order);
    slot_.assign(size_t(places.count()), -1);
    for (size_t k = 0; k < order_.size(); ++k)
        slot_[size_t(order_[k])] = int(k);

    left_ = {};
    right_ = {};
    horizontal_ = {};
    barRank_.assign(size_t(n), -1);
    barCount_ = 0;
    if (orientation_ == Orientation::Horizontal) {
        horizontal_.take(0);
        forEachStackedBar(chart, [this](int, int, double, double to) { horizontal_.take(to); });
    }
    for (int i = 0; orientation_ == Orientation::Vertical && i < n; ++i) {
        if (!drawn(chart, i))
            continue;
        const ChartSeries &s = chart.series(i);
        Range &range = s.axis() == AxisSide::Left ? left_ : right_;
        if (s.kind() == SeriesKind::Bar) {
            barRank_[size_t(i)] = barCount_++;
            range.take(0);
        }
        if (const auto r = s.valueRange()) {
            range.take(r->first);
            range.take(r->second);
        }
    }
    clampWindow();
}

void ChartPlot::setWindow(const PlotWindow &window)
{
    window_ = window;
    clampWindow();
}

void ChartPlot::clampWindow()
{
    if (window_.places <= 0) {
        window_.first = 0;
        return;
    }
    const double last = std::max(0.0, double(order_.size()) - window_.places);
    window_.first = std::clamp(std::isfinite(window_.first) ? window_.first : 0.0, 0.0, last);
}

double ChartPlot::slotsShown() const
{
    if (window_.places > 0)
        return window_.places;
    const size_t n = std::max<size_t>(order_.size(), 1);
    if (!window_.grows)
        return double(n);
    // Room for more places, in steps of an eighth to a sixteenth of them.
    const size_t step = size_t(1) << std::max(0, int(std::bit_width(n)) - 4);
    return double((n + step - 1) / step * step);
}

bool ChartPlot::drawn(const Chart &chart, int series) const
{
    if (series < 0 || series >= chart.seriesCount() || series >= int(series_.size()))
        return false;
    const ChartSeries &s = chart.series(series);
    if (!s.active())
        return false;
    switch (orientation_) {
    case Orientation::Horizontal:
        return s.kind() == SeriesKind::StackedHBar;
    case Orientation::Vertical:
        return s.kind() == SeriesKind::Line || s.kind() == SeriesKind::Bar;
    case Orientation::Pies:
        return s.kind() == SeriesKind::Pie;
    }
    return false;
}

size_t ChartPlot::laidOutPoints(const Chart &chart, int series) const
{
    if (series < 0 || series >= chart.seriesCount() || series >= int(series_.size()) ||
        chart.places().epoch() != placesEpoch_)
        return 0;
    const ChartSeries &s = chart.series(series);
    const SeriesState &st = series_[size_t(series)];
    if (st.id != s.id() || st.generation != s.generation())
        return 0;
    return std::min(st.done, s.pointCount());
}

AxisScale ChartPlot::valueAxis(const Range &range, double length, double spacing, const QString &format)
{
    AxisScale a;
    a.shown = true;
    const int maxTicks = std::clamp(int(length / std::max(spacing, 1.0)) + 1, 2, 11);
    const Ticks t = niceTicks(range.lo, range.hi, maxTicks);
    a.min = t.min;
    a.max = t.max;
    QString pattern = format.isEmpty() ? kPlainFormat : format;
    if (format.isEmpty()) {
        // Ticks finer than thousandths get the decimals they need, so that no two of
        // them read alike (0.0005 apart: 0, 0.0005, 0.001 rather than 0, 0.001, 0.001).
        int decimals = 3;
        const auto exact = [&](int d) {
            const double scale = std::pow(10.0, d);
            return std::all_of(t.values.begin(), t.values.end(), [&](double v) {
                return std::fabs(v * scale - std::round(v * scale)) < 1e-6 * std::max(1.0, std::fabs(v * scale));
            });
        };
        while (decimals < 15 && !exact(decimals))
            ++decimals;
        pattern = QStringLiteral("#,##0.") + QString(decimals, QLatin1Char('#'));
    }
    std::vector<QString> texts;
    for (const double v : t.values)
        texts.push_back(formatNumber(v, pattern));
    texts = distinctTexts(texts);
    for (size_t k = 0; k < texts.size(); ++k)
        a.labels.emplace_back(texts[k], t.values[k]);
    return a;
}

double ChartPlot::labelWidth(const Chart &chart, int place, const QFont &font) const
{
    if (font != labelFont_) {
        labelFont_ = font;
        labelWidths_.clear();
    }
    const ChartPlaces &places = chart.places();
    if (labelWidths_.size() < size_t(places.labelCount()))
        labelWidths_.resize(size_t(places.labelCount()), -1);
    double &w = labelWidths_[size_t(places.labelId(place))];
    if (w < 0)
        w = QFontMetricsF(font).horizontalAdvance(places.label(place));
    return w;
}

std::pair<int, int> ChartPlot::placesInWindow() const
{
    const double min = window_.first - 0.5, max = window_.first + slotsShown() - 0.5;
    return {std::max(0, int(std::ceil(min))), std::min(int(order_.size()), int(std::floor(max)) + 1)};
}

double ChartPlot::widestBottomLabel(const Chart &chart, const QFont &font) const
{
    double widest = 0;
    const auto [from, to] = placesInWindow();
    for (int k = from; k < to; ++k)
        widest = std::max(widest, labelWidth(chart, order_[size_t(k)], font));
    return widest;
}

AxisScale ChartPlot::placeAxis(const Chart &chart, const QSizeF &plot, const QFont &font, bool vertical, int angle,
                               int shortened) const
{
    const QFontMetricsF labels(font);
    AxisScale a;
    a.shown = true;
    a.reversed = vertical;
    a.min = window_.first - 0.5;
    a.max = window_.first + slotsShown() - 0.5;
    // Only the places inside the window get labels.
    const auto [from, to] = placesInWindow();
    const int n = to - from;
    if (n <= 0)
        return a;
    // Thin the labels out so that they do not overlap; Qt cuts none of them short.
    double extent = labels.height() + 4;
    if (!vertical) {
        if (angle % 180 == 0) {
            extent = widestBottomLabel(chart, font) + 24;
        } else {
            extent = labels.height() / std::max(std::fabs(std::sin(angle * std::numbers::pi / 180)), 0.3) + 6;
        }
    }
    const double length = std::max(vertical ? plot.height() : plot.width(), 1.0);
    const double slot = length / slotsShown();
    // The labels stand a step of places apart, so that each keeps its extent clear of the
    // next.
    const int step = std::max(1, int(std::ceil(extent / std::max(slot, 1e-9))));
    // Qt hides a level label that reaches past either end of the axis: long labels
    // (dates) begin a few places in, and none is put where it would stick out.
    const bool level = !vertical && angle % 180 == 0;
    auto fits = [&](int k) {
        const double centre = (k - a.min) * slot, half = labelWidth(chart, order_[size_t(k)], font) / 2;
        return !level || (centre >= half && centre + half <= length);
    };
    int first = from;
    while (first < to - 1 && !fits(first) && (first - from) * slot < length / 2)
        ++first;
    std::vector<QString> texts;
    std::vector<double> at;
    const bool turned = !vertical && angle % 180 != 0;
    for (int k = first; k < to; k += step) {
        if (k != first && !fits(k))
            continue;
        const QString &text = chart.places().label(order_[size_t(k)]);
        const std::optional<QString> shown = turned ? shortLabel(text, shortened) : text;
        if (!shown)
            continue;
        texts.push_back(*shown);
        at.push_back(k);
    }
    texts = distinctTexts(texts);
    for (size_t k = 0; k < texts.size(); ++k)
        a.labels.emplace_back(texts[k], at[k]);
    return a;
}

ChartScales ChartPlot::scales(const Chart &chart, const QSizeF &plot, const QFont &font, int shortened) const
{
    const QFontMetricsF labels(font);
    ChartScales s;
    const double valueSpacing = labels.height() * 2.5;
    switch (orientation_) {
    case Orientation::Vertical:
        s.bottom = placeAxis(chart, plot, font, false, chart.bottomLabelAngle(), shortened);
        if (left_.any)
            s.left = valueAxis(left_, plot.height(), valueSpacing, QString());
        if (right_.any)
            s.right = valueAxis(right_, plot.height(), valueSpacing, chart.rightAxisFormat());
        if (!left_.any && !right_.any)
            s.left.shown = true; // an empty frame, 0 to 1 without labels
        break;
    case Orientation::Horizontal: {
        s.left = placeAxis(chart, plot, font, true, 0, 0);
        Range shown = horizontal_;
        if (window_.values) {
            shown = {};
            shown.take(window_.values->first);
            shown.take(window_.values->second);
        }
        // Horizontal numbers need room for the widest of them.
        s.bottom = valueAxis(
            shown, plot.width(),
            labels.horizontalAdvance(formatNumber(std::max(std::fabs(shown.lo), std::fabs(shown.hi)), kPlainFormat)) +
                40,
            QString());
        if (window_.values && shown.hi > shown.lo) {
            // Zoomed: exactly the range chosen, with the round values inside it.
            s.bottom.min = shown.lo;
            s.bottom.max = shown.hi;
            std::erase_if(s.bottom.labels, [&](const auto &l) { return l.second < shown.lo || l.second > shown.hi; });
        }
        break;
    }
    case Orientation::Pies:
        break;
    }
    return s;
}

ChartPlot::PixelMap ChartPlot::pixelMap(const AxisScale &axis, bool vertical) const
{
    const double span = axis.max - axis.min;
    const double length = vertical ? plot_.height() : plot_.width();
    const double f = span > 0 ? length / span : 0;
    if (!vertical)
        return {plot_.left() - axis.min * f, f};
    return axis.reversed ? PixelMap{plot_.top() - axis.min * f, f} : PixelMap{plot_.bottom() + axis.min * f, -f};
}

void ChartPlot::layout(const Chart &chart, const ChartScales &scales, const QRectF &plot, const QFont &markFont)
{
    scales_ = scales;
    plot_ = plot;
    const bool across = orientation_ == Orientation::Horizontal;
    const double start = across ? plot_.top() : plot_.left();
    const double step = (across ? plot_.height() : plot_.width()) / slotsShown();
    slotStart_ = start + (0.5 - window_.first) * step;
    slotStep_ = step;
    placePixel_.assign(slot_.size(), 0);
    for (size_t p = 0; p < slot_.size(); ++p)
        placePixel_[p] = slotStart_ + slot_[p] * step;
    bars_.clear();
    lines_.clear();
    lineSeries_.clear();
    linesBuilt_ = false;
    chart_ = &chart;
    slices_.clear();
    marks_.clear();
    switch (orientation_) {
    case Orientation::Vertical:
        layoutVertical(chart);
        break;
    case Orientation::Horizontal:
        layoutHorizontal(chart);
        break;
    case Orientation::Pies:
        layoutPies(chart, markFont);
        break;
    }
    dropCoveredMarks(markFont);
}

QRectF ChartPlot::markBox(const Mark &mark, const QFontMetricsF &fm)
{
    const double w = fm.horizontalAdvance(mark.text);
    const double h = fm.height();
    QRectF box(mark.at.x() - w / 2, mark.at.y() - h / 2, w, h);
    if (mark.place == Mark::Above)
        box.moveBottom(mark.at.y());
    else if (mark.place == Mark::Below)
        box.moveTop(mark.at.y());
    else if (mark.place == Mark::Before)
        box.moveRight(mark.at.x());
    else if (mark.place == Mark::After)
        box.moveLeft(mark.at.x());
    return box;
}

void ChartPlot::dropCoveredMarks(const QFont &markFont)
{
    if (marks_.size() < 2)
        return;
    // Marks over the highest bars and points first (those under the lowest, for values
    // below zero); marks inside bars and beside slices in their own order before them.
    const auto rank = [](const Mark &m) {
        if (m.place == Mark::Above)
            return m.at.y();
        if (m.place == Mark::Below)
            return -m.at.y();
        return -std::numeric_limits<double>::infinity();
    };
    std::vector<size_t> order(marks_.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(marks_[a]) < rank(marks_[b]); });
    // The boxes kept, filed by the columns of pixels they cross, so that a box is tried
    // against its neighbours only.
    constexpr double kColumn = 64;
    const QFontMetricsF fm(markFont);
    std::unordered_map<int, std::vector<QRectF>> columns;
    std::vector<bool> kept(marks_.size(), false);
    for (const size_t k : order) {
        const QRectF box = markBox(marks_[k], fm).adjusted(-1, 0, 1, 0);
        const int from = int(std::floor(box.left() / kColumn)), to = int(std::floor(box.right() / kColumn));
        bool covers = false;
        for (int c = from; c <= to && !covers; ++c)
            if (const auto it = columns.find(c); it != columns.end())
                covers = std::any_of(it->second.begin(), it->second.end(),
                                     [&](const QRectF &other) { return other.intersects(box); });
        if (covers)
            continue;
        kept[k] = true;
        for (int c = from; c <= to; ++c)
            columns[c].push_back(box);
    }
    size_t out = 0;
    for (size_t k = 0; k < marks_.size(); ++k)
        if (kept[k])
            marks_[out++] = std::move(marks_[k]);
    marks_.resize(out);
}

void ChartPlot::layoutVertical(const Chart &chart)
{
    const double slotWidth = plot_.width() / slotsShown();
    const double groupWidth = slotWidth * kBarShare;
    const double barWidth = groupWidth / std::max(barCount_, 1);
    for (int i = 0; i < chart.seriesCount(); ++i) {
        if (!drawn(chart, i))
            continue;
        const ChartSeries &s = chart.series(i);
        const AxisScale &axis = s.axis() == AxisSide::Left ? scales_.left : scales_.right;
        if (s.kind() == SeriesKind::Bar) {
            const double base = valueToPixel(0, axis, true);
            for (size_t p = 0; p < s.pointCount(); ++p) {
                const double v = s.value(p);
                if (!std::isfinite(v))
                    continue;
                const double left = slotCentre(s.place(p)) - groupWidth / 2 + barRank_[size_t(i)] * barWidth;
                const double top = valueToPixel(v, axis, true);
                const QRectF rect(left, std::min(base, top), barWidth, std::fabs(base - top));
                bars_.push_back({i, int(p), rect, pointColor(chart, i, int(p))});
                if (s.marksVisible())
                    marks_.push_back({QPointF(rect.center().x(), v >= 0 ? rect.top() - 2 : rect.bottom() + 2),
                                      markText(v), v >= 0 ? Mark::Above : Mark::Below});
            }
            continue;
        }
        lineSeries_.push_back(i);
        if (s.marksVisible() && double(s.pointCount()) <= plot_.width()) {
            const PixelMap y = pixelMap(axis, true);
            for (size_t p = 0; p < s.pointCount(); ++p)
                if (std::isfinite(s.value(p)))
                    marks_.push_back(
                        {QPointF(slotCentre(s.place(p)), y(s.value(p)) - 3), markText(s.value(p)), Mark::Above});
        }
    }
}

bool ChartPlot::foldable(const Chart &chart, int series) const
{
    return placeOrdered_ && chart.series(series).placesAscending();
}

void ChartPlot::fold(const Chart &chart, int series, SeriesState &st, int shift)
{
    const ChartSeries &s = chart.series(series);
    if (st.shift != shift) {
        if (st.shift >= 0 && shift > st.shift) {
            // Runs twice as wide: each takes the extremes of the two it joins, the
            // earlier of equal points; slots of the later run move up by its width.
            for (int k = st.shift; k < shift; ++k) {
                const quint32 width = quint32(1) << k;
                const size_t n = (st.runs.size() + 1) / 2;
                for (size_t j = 0; j < n; ++j) {
                    Run joined = st.runs[2 * j];
                    if (2 * j + 1 < st.runs.size() && !std::isnan(st.runs[2 * j + 1].low)) {
                        const Run &b = st.runs[2 * j + 1];
                        if (std::isnan(joined.low) || b.low < joined.low) {
                            joined.low = b.low;
                            joined.lowAt = quint16(b.lowAt + width);
                        }
                        if (std::isnan(joined.high) || b.high > joined.high) {
                            joined.high = b.high;
                            joined.highAt = quint16(b.highAt + width);
                        }
                    }
                    st.runs[j] = joined;
                }
                st.runs.resize(n);
            }
        } else {
            st.runs.clear();
            st.gaps.clear();
            st.folded = 0;
        }
        st.shift = shift;
    }
    const size_t n = laidOutPoints(chart, series);
    const quint32 mask = (quint32(1) << shift) - 1;
    for (size_t p = st.folded; p < n; ++p) {
        const double v = s.value(p);
        const int slot = slot_[size_t(s.place(p))];
        if (slot < 0)
            continue;
        if (!std::isfinite(v)) {
            st.gaps.push_back(quint32(slot)); // the line breaks there
            continue;
        }
        if (!st.based) {
            st.base = v;
            st.based = true;
        }
        const float f = float(v - st.base);
        const size_t k = size_t(slot) >> shift;
        const quint16 off = quint16(quint32(slot) & mask);
        if (k >= st.runs.size())
            st.runs.resize(k + 1);
        Run &run = st.runs[k];
        if (std::isnan(run.low)) {
            run = {f, f, off, off};
            continue;
        }
        if (f < run.low) {
            run.low = f;
            run.lowAt = off;
        }
        if (f > run.high) {
            run.high = f;
            run.highAt = off;
        }
    }
    st.folded = n;
}

size_t ChartPlot::pointBefore(const ChartSeries &s, size_t n, long slot) const
{
    size_t lo = 0, hi = n;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (slot_[size_t(s.place(mid))] < slot)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo > 0 ? lo - 1 : 0;
}

template <typename F>
bool ChartPlot::forEachRun(const Chart &chart, int series, double &base, F &&f, long fromSlot)
{
    if (double(laidOutPoints(chart, series)) <= plot_.width() || !foldable(chart, series))
        return false;
    // The extremes of runs of slots at most a pixel wide, kept as points arrive.
    const int shift = runShift();
    SeriesState &st = series_[size_t(series)];
    constexpr float kGap = std::numeric_limits<float>::quiet_NaN();
    if (shift == 0) {
        // Runs of one slot would be the points again: the points are read instead.
        if (st.shift >= 0) {
            st.shift = -1;
            st.runs = {};
            st.gaps = {};
            st.folded = 0;
        }
        const ChartSeries &s = chart.series(series);
        const size_t n = laidOutPoints(chart, series);
        if (!st.based)
            for (size_t p = 0; p < n && !st.based; ++p)
                if (std::isfinite(s.value(p))) {
                    st.base = s.value(p);
                    st.based = true;
                }
        base = st.base;
        // The points in the window, and one on either side.
        const long from = std::max(long(std::floor(window_.first)) - 1, fromSlot);
        const long to = long(std::ceil(window_.first + slotsShown())) + 2;
        for (size_t p = pointBefore(s, n, from); p < n; ++p) {
            const int slot = slot_[size_t(s.place(p))];
            if (slot >= to)
                break;
            if (slot < 0)
                continue;
            const double v = s.value(p);
            const float f32 = std::isfinite(v) ? float(v - st.base) : kGap;
            f(quint32(slot), f32, quint32(slot), f32);
        }
        return true;
    }
    fold(chart, series, st, shift);
    base = st.base;
    // The runs in the window, and one on either side for the line to come in and go out.
    size_t from = size_t(std::max({0L, long(std::floor(window_.first)) - 1, fromSlot}) >> shift);
    const size_t to = std::min(st.runs.size(), size_t((long(std::ceil(window_.first + slotsShown())) >> shift) + 2));
    const Run *runs = st.runs.data();
    // From the run with points before: the line comes in across runs without any.
    for (size_t k = std::min(from, st.runs.size()); k > 0;)
        if (!std::isnan(runs[--k].low)) {
            from = k;
            break;
        }
    auto gap = std::lower_bound(st.gaps.begin(), st.gaps.end(), quint32(from << shift));
    for (size_t k = from; k < to; ++k) {
        const Run &run = runs[k];
        if (std::isnan(run.low))
            continue;
        const quint32 first = quint32(k) << shift;
        const quint32 lowAt = first + run.lowAt;
        const quint32 highAt = first + run.highAt;
        // A point without a value before this run's first: the line breaks (within a
        // pixel of where it does).
        if (gap != st.gaps.end() && *gap < std::min(lowAt, highAt)) {
            f(*gap, kGap, *gap, kGap);
            while (gap != st.gaps.end() && *gap < std::min(lowAt, highAt))
                ++gap;
        }
        // In the order they came; a run of one point gives it twice.
        if (lowAt <= highAt)
            f(lowAt, run.low, highAt, run.high);
        else
            f(highAt, run.high, lowAt, run.low);
    }
    return true;
}

template <typename F>
void ChartPlot::forEachVertex(const Chart &chart, int series, F &&f, long fromSlot)
{
    const ChartSeries &s = chart.series(series);
    const size_t n = laidOutPoints(chart, series);
    constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
    if (double(n) <= plot_.width()) {
        for (size_t p = fromSlot > 0 ? pointBefore(s, n, fromSlot) : 0; p < n; ++p)
            f(slotCentre(s.place(p)), std::isfinite(s.value(p)) ? s.value(p) : kGap);
        return;
    }
    // Each pixel column's points become its lowest and highest point, in the order
    // they came.
    struct Vertex {
        double x = 0;
        double value = 0;
    };
    Vertex low, high;
    int column = INT_MIN;
    const auto flush = [&] {
        if (column == INT_MIN)
            return;
        if (low.x == high.x) {
            f(low.x, low.value);
        } else {
            const Vertex &a = low.x < high.x ? low : high;
            const Vertex &b = low.x < high.x ? high : low;
            f(a.x, a.value);
            f(b.x, b.value);
        }
    };
    const auto take = [&](const Vertex &lo, const Vertex &hi) {
        const int c = floorToInt(std::min(lo.x, hi.x));
        if (c != column) {
            flush();
            column = c;
            low = lo;
            high = hi;
            return;
        }
        if (lo.value < low.value)
            low = lo;
        if (hi.value > high.value)
            high = hi;
    };
    const auto breakLine = [&] {
        flush();
        column = INT_MIN;
        f(0.0, kGap);
    };
    double base = 0;
    if (forEachRun(chart, series, base, [&](quint32 slotA, float va, quint32 slotB, float vb) {
            if (std::isnan(va)) {
                breakLine();
                return;
            }
            const Vertex a{slotStart_ + slotA * slotStep_, base + double(va)};
            const Vertex b{slotStart_ + slotB * slotStep_, base + double(vb)};
            take(va <= vb ? a : b, va <= vb ? b : a);
        })) {
    } else {
        for (size_t p = 0; p < n; ++p) {
            if (!std::isfinite(s.value(p))) {
                breakLine();
                continue;
            }
            const Vertex v{slotCentre(s.place(p)), s.value(p)};
            take(v, v);
        }
    }
    flush();
}

const std::vector<ChartPlot::Line> &ChartPlot::lines() const
{
    if (!linesBuilt_)
        const_cast<ChartPlot *>(this)->buildLines(); // a cache of what layout() decided
    return lines_;
}

void ChartPlot::buildLines()
{
    linesBuilt_ = true;
    lines_.clear();
    if (!chart_)
        return;
    const Chart &chart = *chart_;
    for (const int i : lineSeries_) {
        if (!drawn(chart, i))
            continue;
        const ChartSeries &s = chart.series(i);
        const PixelMap y = pixelMap(s.axis() == AxisSide::Left ? scales_.left : scales_.right, true);
        // A point without a value ends one piece of the line; the next begins after it.
        Line line{i, seriesColor(chart, i), {}};
        forEachVertex(chart, i, [&](double x, double v) {
            if (!std::isnan(v))
                line.path << QPointF(x, y(v));
            else if (!line.path.isEmpty())
                lines_.push_back(std::exchange(line, Line{i, line.color, {}}));
        });
        if (!line.path.isEmpty())
            lines_.push_back(std::move(line));
    }
}

ChartPlot::RasterState ChartPlot::rasterState(const Chart &chart, qreal dpr, int w, int h) const
{
    RasterState st;
    st.chart = &chart;
    st.w = w;
    st.h = h;
    st.dpr = dpr;
    st.plot = plot_;
    st.slotStart = slotStart_;
    st.slotStep = slotStep_;
    st.scales = {scales_.left.min, scales_.left.max, double(scales_.left.reversed),
                 scales_.right.min, scales_.right.max, double(scales_.right.reversed)};
    st.window = {window_.places, window_.first, double(window_.grows)};
    st.placesEpoch = placesEpoch_;
    for (auto it = lineSeries_.rbegin(); it != lineSeries_.rend(); ++it) {
        const int i = *it;
        if (!drawn(chart, i))
            continue;
        const ChartSeries &s = chart.series(i);
        const size_t n = laidOutPoints(chart, i);
        st.lines.push_back({i, s.id(), s.generation(), seriesColor(chart, i).rgba(), s.axis() == AxisSide::Right, n,
                            foldable(chart, i), double(n) > plot_.width()});
    }
    return st;
}

int ChartPlot::firstChangedColumn(const Chart &chart, const RasterState &before, const RasterState &now) const
{
    if (before.chart != now.chart || before.w != now.w || before.h != now.h || before.dpr != now.dpr ||
        before.plot != now.plot || before.slotStart != now.slotStart || before.slotStep != now.slotStep ||
        before.scales != now.scales || before.window != now.window || before.placesEpoch != now.placesEpoch ||
        before.lines.size() != now.lines.size())
        return -1;
    const int shift = runShift();
    const double x0 = (slotStart_ - plot_.left()) * now.dpr;
    const double xStep = slotStep_ * now.dpr;
    long changed = LONG_MAX; // the first slot whose drawing may have changed
    for (size_t k = 0; k < now.lines.size(); ++k) {
        const RasterLine &a = before.lines[k];
        const RasterLine &b = now.lines[k];
        if (a.series != b.series || a.id != b.id || a.generation != b.generation || a.colour != b.colour ||
            a.right != b.right || !a.foldable || !b.foldable || a.dense != b.dense || b.points < a.points)
            return -1;
        if (b.points == a.points)
            continue;
        if (a.points == 0)
            return -1;
        const ChartSeries &s = chart.series(b.series);
        long slot = slot_[size_t(s.place(a.points - 1))];
        if (b.dense && shift > 0) {
            // The last run may take new extremes, and the line comes into it from the run
            // before with points.
            const SeriesState &st = series_[size_t(b.series)];
            long k0 = slot >> shift;
            if (st.shift == shift)
                while (k0 > 0 && (size_t(k0 - 1) >= st.runs.size() || std::isnan(st.runs[size_t(k0 - 1)].low)))
                    --k0;
            slot = std::max(0L, k0 - 1) << shift;
        }
        changed = std::min(changed, slot);
    }
    if (changed == LONG_MAX)
        return now.w; // nothing new
    return std::max(0, int(std::floor(x0 + double(changed) * xStep)) - 1);
}

int ChartPlot::runShift() const
{
    int shift = 0;
    while (shift < 16 && double(1 << (shift + 1)) * slotStep_ <= 1.0)
        ++shift;
    return shift;
}

void ChartPlot::rasterLine(const Chart &chart, int i, long fromSlot)
{
    const ChartSeries &s = chart.series(i);
    const double left = plot_.left();
    const double top = plot_.top();
    const double dpr = rasterState_.dpr;
    const PixelMap y = pixelMap(s.axis() == AxisSide::Left ? scales_.left : scales_.right, true);
    const double x0 = (slotStart_ - left) * dpr;
    const double xStep = slotStep_ * dpr;
    // Lines above it have written every pixel of the rows it spans, up to the column it
    // ends in (thousands of lines share few rows, idle ones the bottom row): it would
    // add nothing.
    if (const auto range = s.valueRange()) {
        const size_t n = laidOutPoints(chart, i);
        int lastColumn = rasterState_.w - 1;
        if (n > 0 && foldable(chart, i)) {
            const long last = slot_[size_t(s.place(n - 1))];
            const int shift = double(n) > plot_.width() ? runShift() : 0;
            lastColumn = raster::floorToInt(x0 + double((last >> shift) << shift) * xStep);
        }
        if (raster_.covered((y(range->first) - top) * dpr, (y(range->second) - top) * dpr, lastColumn))
            return;
    }
    raster_.setColour(seriesColor(chart, i).rgba()); // opaque: premultiplied alike
    // Runs: pixels straight from slots and values less the line's first value. A run of
    // slots narrower than a pixel is drawn in the column where it begins.
    const quint32 runStart = ~((quint32(1) << runShift()) - 1);
    double base = 0;
    const double yFactor = y.factor * dpr;
    double y0 = 0;
    bool based = false;
    // Inline: it runs for every run of every line.
    const bool runs = forEachRun(
        chart, i, base,
        [&](quint32 slotA, float va, quint32, float vb) __attribute__((always_inline)) {
            if (std::isnan(va)) {
                raster_.end(); // a gap in the line
                return;
            }
            if (!based) {
                y0 = (y(base) - top) * dpr;
                based = true;
            }
            const double x = x0 + double(slotA & runStart) * xStep;
            raster_.run(x, y0 + yFactor * va, x, y0 + yFactor * vb);
        },
        fromSlot);
    bool first = true;
    if (!runs)
        forEachVertex(
            chart, i,
            [&](double x, double v) {
                if (std::isnan(v)) {
                    raster_.end(); // a gap in the line
                    first = true;
                } else if (first) {
                    raster_.moveTo((x - left) * dpr, (y(v) - top) * dpr);
                    first = false;
                } else {
                    raster_.lineTo((x - left) * dpr, (y(v) - top) * dpr);
                }
            },
            fromSlot);
    raster_.end();
}

void ChartPlot::paintLines(QPainter &painter, qreal devicePixelRatio)
{
    if (!chart_ || lineSeries_.empty() || plot_.isEmpty())
        return;
    const Chart &chart = *chart_;
    const int w = int(std::ceil(plot_.width() * devicePixelRatio));
    const int h = int(std::ceil(plot_.height() * devicePixelRatio));
    if (w <= 0 || h <= 0)
        return;
    RasterState now = rasterState(chart, devicePixelRatio, w, h);
    // The columns up to that of the last run: those the lines that reach the last place
    // all reach (not the room a plot keeps to grow).
    const double x0 = (slotStart_ - plot_.left()) * devicePixelRatio;
    const double xStep = slotStep_ * devicePixelRatio;
    const long lastRun = order_.empty() ? 0 : long(order_.size() - 1) >> runShift() << runShift();
    const int used = order_.empty() ? 0 : std::clamp(raster::floorToInt(x0 + double(lastRun) * xStep) + 1, 0, w);
    // A tick that only lengthens the lines draws again the columns from their old ends
    // on, each line from a point left of them; anything else draws everything.
    const int from = rasterFresh_ ? firstChangedColumn(chart, rasterState_, now) : -1;
    rasterState_ = std::move(now);
    rasterFresh_ = true;
    if (from < 0) {
        ++fullRasters_;
        raster_.start(w, h, devicePixelRatio, used);
        for (const RasterLine &line : rasterState_.lines)
            rasterLine(chart, line.series, LONG_MIN);
    } else if (from < w) {
        raster_.redo(from, used);
        // Slots left of the first column drawn again by two runs: nothing the line does
        // before them reaches that column.
        const long fromSlot =
            std::max(0L, long(std::floor((double(from) - x0) / xStep)) - 2 * (1L << runShift()) - 1);
        for (const RasterLine &line : rasterState_.lines)
            rasterLine(chart, line.series, fromSlot);
    }
    painter.drawImage(plot_.topLeft(), raster_.image());
}

void ChartPlot::layoutHorizontal(const Chart &chart)
{
    const double band = plot_.height() / slotsShown() * kBarShare;
    const PixelMap x = pixelMap(scales_.bottom, false);
    forEachStackedBar(chart, [&](int series, int point, double from, double to) {
        const double x0 = x(from);
        const double x1 = x(to);
        const double centre = slotCentre(chart.series(series).place(size_t(point)));
        const QRectF rect(std::min(x0, x1), centre - band / 2, std::fabs(x1 - x0), band);
        bars_.push_back({series, point, rect, pointColor(chart, series, point)});
        if (chart.series(series).marksVisible())
            marks_.push_back({rect.center(), markText(to - from), Mark::Centre});
    });
}

void ChartPlot::layoutPies(const Chart &chart, const QFont &markFont)
{
    const QPointF centre = plot_.center();
    const QFontMetricsF fm(markFont);
    double widest = 0;
    for (int i = 0; i < chart.seriesCount(); ++i)
        if (drawn(chart, i) && chart.series(i).marksVisible())
            for (const ChartPoint &p : chart.series(i).points())
                widest = std::max(widest, fm.horizontalAdvance(p.label));
    // Leave room beside the pie for its labels, down to a pie of a fifth of the plot.
    const double shortest = std::min(plot_.width(), plot_.height());
    const double radius = std::clamp(std::min(shortest * 0.38, (plot_.width() / 2 - widest - 8) / 1.15), shortest * 0.2,
                                     std::max(shortest * 0.2, shortest * 0.38));
    for (int i = 0; i < chart.seriesCount(); ++i) {
        if (!drawn(chart, i))
            continue;
        const ChartSeries &s = chart.series(i);
        const auto &points = s.points();
        double total = 0;
        for (const ChartPoint &p : points)
            total += std::isfinite(p.value) && p.value > 0 ? p.value : 0;
        if (total <= 0)
            continue;
        double angle = 0;
        for (size_t p = 0; p < points.size(); ++p) {
            const double v = points[p].value;
            if (!std::isfinite(v) || v <= 0)
                continue;
            const double span = v / total * 360;
            slices_.push_back({i, int(p), centre, radius, angle, span, pointColor(chart, i, int(p))});
            if (s.marksVisible()) {
                const double mid = (angle + span / 2) * std::numbers::pi / 180;
                const QPointF at = centre + QPointF(std::sin(mid), -std::cos(mid)) * radius * 1.15;
                marks_.push_back({at, points[p].label.isEmpty() ? markText(v) : points[p].label,
                                  std::sin(mid) >= 0 ? Mark::After : Mark::Before});
            }
            angle += span;
        }
    }
}

std::optional<QPointF> ChartPlot::pointPosition(const Chart &chart, int series, int point) const
{
    if (!drawn(chart, series) || point < 0 || size_t(point) >= chart.series(series).pointCount())
        return std::nullopt;
    const ChartSeries &s = chart.series(series);
    if (s.kind() == SeriesKind::Line) {
        if (size_t(point) >= laidOutPoints(chart, series))
            return std::nullopt;
        const double v = s.value(size_t(point));
        if (!std::isfinite(v))
            return std::nullopt;
        const AxisScale &axis = s.axis() == AxisSide::Left ? scales_.left : scales_.right;
        return QPointF(slotCentre(s.place(size_t(point))), valueToPixel(v, axis, true));
    }
    for (const Bar &b : bars_) {
        if (b.series != series || b.point != point)
            continue;
        const QPointF c = b.rect.center();
        if (orientation_ == Orientation::Horizontal) // not when scrolled out of the window
            return c.y() < plot_.top() || c.y() > plot_.bottom() ? std::nullopt : std::optional<QPointF>(c);
        if (c.x() < plot_.left() || c.x() > plot_.right())
            return std::nullopt;
        return QPointF(c.x(), s.value(size_t(point)) >= 0 ? b.rect.top() : b.rect.bottom());
    }
    for (const Slice &sl : slices_) {
        if (sl.series == series && sl.point == point) {
            const double mid = (sl.start + sl.span / 2) * std::numbers::pi / 180;
            return sl.centre + QPointF(std::sin(mid), -std::cos(mid)) * sl.radius * 0.6;
        }
    }
    return std::nullopt;
}

int ChartPlot::pointAt(const Chart &chart, int series, const QPointF &pos) const
{
    if (!drawn(chart, series))
        return -1;
    const ChartSeries &s = chart.series(series);
    if (s.kind() == SeriesKind::Line) {
        int best = -1;
        double bestDistance = kLineHitRadius * kLineHitRadius;
        int from = 0;
        int to = int(laidOutPoints(chart, series));
        if (foldable(chart, series)) {
            // The points stand left to right: only those near the pointer are asked.
            const auto firstRightOf = [&](double x) {
                size_t lo = 0, hi = size_t(to);
                while (lo < hi) {
                    const size_t mid = (lo + hi) / 2;
                    if (slotCentre(s.place(mid)) < x)
                        lo = mid + 1;
                    else
                        hi = mid;
                }
                return int(lo);
            };
            from = firstRightOf(pos.x() - kLineHitRadius);
            to = firstRightOf(pos.x() + kLineHitRadius + 1e-9);
        }
        for (int p = from; p < to; ++p) {
            const auto at = pointPosition(chart, series, p);
            if (!at || std::fabs(at->x() - pos.x()) > kLineHitRadius)
                continue;
            const QPointF d = *at - pos;
            const double distance = QPointF::dotProduct(d, d);
            if (distance <= bestDistance) {
                best = p;
                bestDistance = distance;
            }
        }
        return best;
    }
    for (const Bar &b : bars_)
        if (b.series == series && b.rect.adjusted(-0.5, -0.5, 0.5, 0.5).intersected(plot_).contains(pos))
            return b.point;
    for (const Slice &sl : slices_) {
        if (sl.series != series)
            continue;
        const QPointF d = pos - sl.centre;
        if (QPointF::dotProduct(d, d) > sl.radius * sl.radius)
            continue;
        double angle = std::atan2(d.x(), -d.y()) * 180 / std::numbers::pi;
        if (angle < 0)
            angle += 360;
        if (angle >= sl.start && angle < sl.start + sl.span)
            return sl.point;
    }
    return -1;
}

std::vector<LegendEntry> ChartPlot::legendEntries(const Chart &chart)
{
    std::vector<int> active;
    for (int i = 0; i < chart.seriesCount(); ++i)
        if (chart.series(i).active())
            active.push_back(i);
    const QStringList &texts = chart.legendTexts();
    std::vector<LegendEntry> out;
    const LegendStyle style = chart.legendStyle();
    const bool listSeries = style == LegendStyle::Series || (style == LegendStyle::Automatic && active.size() > 1);
    if (listSeries) {
        for (size_t k = 0; k < active.size(); ++k)
            out.push_back({texts.isEmpty() ? chart.series(active[k]).title() : texts.value(qsizetype(k)),
                           seriesColor(chart, active[k])});
    } else if (!active.empty()) {
        const int s = active.front();
        const auto &points = chart.series(s).points();
        for (size_t p = 0; p < points.size(); ++p) {
            QString text = texts.isEmpty() ? points[p].label : texts.value(qsizetype(p));
            if (texts.isEmpty() && text.isEmpty())
                text = markText(points[p].value);
            out.push_back({text, pointColor(chart, s, int(p))});
        }
    }
    return out;
}

} // namespace tavimond
