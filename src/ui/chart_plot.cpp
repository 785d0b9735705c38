#include "chart_plot.h"

#include "chart_scale.h"

#include <QFontMetricsF>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numbers>
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
    static const QRgb palette[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f,
                                   0xbcbd22, 0x17becf, 0x393b79, 0xad494a, 0x637939, 0xe7ba52, 0x843c39, 0x5254a3};
    constexpr int n = int(sizeof palette / sizeof palette[0]);
    return QColor::fromRgb(palette[((i % n) + n) % n]);
}

QColor fromRgb(Rgb rgb)
{
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

QString markText(double value)
{
    return formatNumber(value, kPlainFormat);
}

} // namespace

QColor seriesColor(const Chart &chart, int series)
{
    const auto c = chart.series(series).color();
    return c ? fromRgb(*c) : paletteColor(series);
}

QColor pointColor(const Chart &chart, int series, int point)
{
    const ChartSeries &s = chart.series(series);
    if (const auto c = s.points().at(size_t(point)).color)
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
        const auto &points = chart.series(i).points();
        const auto &places = series_[size_t(i)].place;
        for (size_t p = 0; p < points.size(); ++p) {
            const double v = points[p].value;
            if (!std::isfinite(v))
                continue;
            const size_t slot = size_t(slot_[size_t(places[p])]);
            double &base = v >= 0 ? posBase[slot] : negBase[slot];
            f(i, int(p), base, base + v);
            base += v;
        }
    }
}

void ChartPlot::refresh(const Chart &chart)
{
    const int n = chart.seriesCount();
    bool rebuild = int(series_.size()) > n;
    for (int i = 0; !rebuild && i < int(series_.size()); ++i) {
        const ChartSeries &s = chart.series(i);
        const SeriesPlaces &c = series_[size_t(i)];
        rebuild = c.id != s.id() || c.generation != s.generation() || s.points().size() < c.done;
    }
    if (rebuild) {
        // Places of removed or cleared points must not linger on the axis.
        categories_.clear();
        labelWidths_.clear();
        series_.clear();
        ++rebuilds_;
    }
    for (int i = int(series_.size()); i < n; ++i)
        series_.push_back({chart.series(i).id(), chart.series(i).generation(), 0, {}, {}});
    for (int i = 0; i < n; ++i) {
        const auto &points = chart.series(i).points();
        SeriesPlaces &c = series_[size_t(i)];
        for (; c.done < points.size(); ++c.done)
            c.place.push_back(categories_.place(points[c.done].label, c.seen));
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

    std::vector<char> used(size_t(categories_.count()), 0);
    for (int i = 0; i < n; ++i) {
        if (orientation_ != Orientation::Pies && drawn(chart, i))
            for (const int p : series_[size_t(i)].place)
                used[size_t(p)] = 1;
    }
    order_ = categories_.ordered(used);
    slot_.assign(size_t(categories_.count()), -1);
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
        double lo = std::numeric_limits<double>::infinity();
        double hi = -lo;
        for (const ChartPoint &pt : s.points()) {
            if (std::isfinite(pt.value)) {
                lo = std::min(lo, pt.value);
                hi = std::max(hi, pt.value);
            }
        }
        if (lo <= hi) {
            range.take(lo);
            range.take(hi);
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
    return window_.places > 0 ? window_.places : std::max<double>(double(order_.size()), 1);
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

double ChartPlot::labelWidth(int place, const QFont &font) const
{
    if (font != labelFont_) {
        labelFont_ = font;
        labelWidths_.clear();
    }
    if (labelWidths_.size() < size_t(categories_.count()))
        labelWidths_.resize(size_t(categories_.count()), -1);
    double &w = labelWidths_[size_t(place)];
    if (w < 0)
        w = QFontMetricsF(font).horizontalAdvance(categories_.label(place));
    return w;
}

AxisScale ChartPlot::placeAxis(const QSizeF &plot, const QFont &font, bool vertical, int angle) const
{
    const QFontMetricsF labels(font);
    AxisScale a;
    a.shown = true;
    a.reversed = vertical;
    a.min = window_.first - 0.5;
    a.max = window_.first + slotsShown() - 0.5;
    // Only the places inside the window get labels.
    const int from = std::max(0, int(std::ceil(a.min)));
    const int to = std::min(int(order_.size()), int(std::floor(a.max)) + 1);
    const int n = to - from;
    if (n <= 0)
        return a;
    // Thin the labels out so that they neither overlap nor get cut short: Qt gives each
    // label the axis' length over the number of labels plus one, less some padding.
    double extent = labels.height() + 4;
    if (!vertical) {
        if (angle % 180 == 0) {
            double widest = 0;
            for (int k = from; k < to; ++k)
                widest = std::max(widest, labelWidth(order_[size_t(k)], font));
            extent = widest + 24;
        } else {
            extent = labels.height() / std::max(std::fabs(std::sin(angle * std::numbers::pi / 180)), 0.3) + 6;
        }
    }
    const double length = std::max(vertical ? plot.height() : plot.width(), 1.0);
    // A window shows its places at the page's spacing, so they fill only part of the axis.
    const double share = window_.places > 0 ? std::min(1.0, n / slotsShown()) : 1.0;
    const int fit = std::max(1, int(length * share / extent) - 1);
    const int step = std::max(1, int(std::ceil(double(n) / fit)));
    // Qt hides a level label that reaches past either end of the axis: long labels
    // (dates) begin a few places in, and none is put where it would stick out.
    const bool level = !vertical && angle % 180 == 0;
    const double slot = length / slotsShown();
    auto fits = [&](int k) {
        const double centre = (k - a.min) * slot, half = labelWidth(order_[size_t(k)], font) / 2;
        return !level || (centre >= half && centre + half <= length);
    };
    int first = from;
    while (first < to - 1 && !fits(first) && (first - from) * slot < length / 2)
        ++first;
    std::vector<QString> texts;
    std::vector<double> at;
    for (int k = first; k < to; k += step) {
        if (k != first && !fits(k))
            continue;
        texts.push_back(categories_.label(order_[size_t(k)]));
        at.push_back(k);
    }
    texts = distinctTexts(texts);
    for (size_t k = 0; k < texts.size(); ++k)
        a.labels.emplace_back(texts[k], at[k]);
    return a;
}

ChartScales ChartPlot::scales(const Chart &chart, const QSizeF &plot, const QFont &font) const
{
    const QFontMetricsF labels(font);
    ChartScales s;
    const double valueSpacing = labels.height() * 2.5;
    switch (orientation_) {
    case Orientation::Vertical:
        s.bottom = placeAxis(plot, font, false, chart.bottomLabelAngle());
        if (left_.any)
            s.left = valueAxis(left_, plot.height(), valueSpacing, QString());
        if (right_.any)
            s.right = valueAxis(right_, plot.height(), valueSpacing, chart.rightAxisFormat());
        if (!left_.any && !right_.any)
            s.left.shown = true; // an empty frame, 0 to 1 without labels
        break;
    case Orientation::Horizontal: {
        s.left = placeAxis(plot, font, true, 0);
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
    placePixel_.assign(slot_.size(), 0);
    for (size_t p = 0; p < slot_.size(); ++p)
        placePixel_[p] = start + (slot_[p] - window_.first + 0.5) * step;
    bars_.clear();
    lines_.clear();
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
        const auto &points = s.points();
        const auto &places = series_[size_t(i)].place;
        if (s.kind() == SeriesKind::Bar) {
            const double base = valueToPixel(0, axis, true);
            for (size_t p = 0; p < points.size(); ++p) {
                const double v = points[p].value;
                if (!std::isfinite(v))
                    continue;
                const double left = slotCentre(places[p]) - groupWidth / 2 + barRank_[size_t(i)] * barWidth;
                const double top = valueToPixel(v, axis, true);
                const QRectF rect(left, std::min(base, top), barWidth, std::fabs(base - top));
                bars_.push_back({i, int(p), rect, pointColor(chart, i, int(p))});
                if (s.marksVisible())
                    marks_.push_back({QPointF(rect.center().x(), v >= 0 ? rect.top() - 2 : rect.bottom() + 2),
                                      markText(v), v >= 0 ? Mark::Above : Mark::Below});
            }
            continue;
        }
        const PixelMap y = pixelMap(axis, true);
        Line line{i, seriesColor(chart, i), {}};
        // A point without a value (NULL) ends one piece of the line; the next begins after it.
        const auto breakLine = [&] {
            if (!line.path.isEmpty())
                lines_.push_back(std::exchange(line, Line{i, line.color, {}}));
        };
        if (double(points.size()) <= plot_.width()) {
            line.path.reserve(qsizetype(points.size()));
            for (size_t p = 0; p < points.size(); ++p) {
                if (!std::isfinite(points[p].value)) {
                    breakLine();
                    continue;
                }
                const QPointF at(slotCentre(places[p]), y(points[p].value));
                line.path << at;
                if (s.marksVisible())
                    marks_.push_back({QPointF(at.x(), at.y() - 3), markText(points[p].value), Mark::Above});
            }
        } else {
            // Each run of points within one pixel column becomes its lowest and highest
            // point, in the order they came.
            line.path.reserve(qsizetype(2 * plot_.width() + 2));
            int column = INT_MIN;
            QPointF high;
            QPointF low;
            size_t highAt = 0;
            size_t lowAt = 0;
            const auto flush = [&] {
                if (column == INT_MIN)
                    return;
                if (highAt == lowAt) {
                    line.path << high;
                } else {
                    line.path << (highAt < lowAt ? high : low) << (highAt < lowAt ? low : high);
                }
            };
            for (size_t p = 0; p < points.size(); ++p) {
                if (!std::isfinite(points[p].value)) {
                    flush();
                    column = INT_MIN;
                    breakLine();
                    continue;
                }
                const QPointF at(slotCentre(places[p]), y(points[p].value));
                const int c = int(std::floor(at.x()));
                if (c != column) {
                    flush();
                    column = c;
                    high = low = at;
                    highAt = lowAt = p;
                } else if (at.y() < high.y()) {
                    high = at;
                    highAt = p;
                } else if (at.y() > low.y()) {
                    low = at;
                    lowAt = p;
                }
            }
            flush();
        }
        lines_.push_back(std::move(line));
    }
}

void ChartPlot::layoutHorizontal(const Chart &chart)
{
    const double band = plot_.height() / slotsShown() * kBarShare;
    const PixelMap x = pixelMap(scales_.bottom, false);
    forEachStackedBar(chart, [&](int series, int point, double from, double to) {
        const double x0 = x(from);
        const double x1 = x(to);
        const double centre = slotCentre(series_[size_t(series)].place[size_t(point)]);
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
    if (!drawn(chart, series) || point < 0 || size_t(point) >= chart.series(series).points().size())
        return std::nullopt;
    const ChartSeries &s = chart.series(series);
    if (s.kind() == SeriesKind::Line) {
        const double v = s.points()[size_t(point)].value;
        if (!std::isfinite(v))
            return std::nullopt;
        const AxisScale &axis = s.axis() == AxisSide::Left ? scales_.left : scales_.right;
        return QPointF(slotCentre(series_[size_t(series)].place[size_t(point)]), valueToPixel(v, axis, true));
    }
    for (const Bar &b : bars_) {
        if (b.series != series || b.point != point)
            continue;
        const QPointF c = b.rect.center();
        if (orientation_ == Orientation::Horizontal) // not when scrolled out of the window
            return c.y() < plot_.top() || c.y() > plot_.bottom() ? std::nullopt : std::optional<QPointF>(c);
        if (c.x() < plot_.left() || c.x() > plot_.right())
            return std::nullopt;
        return QPointF(c.x(), s.points()[size_t(point)].value >= 0 ? b.rect.top() : b.rect.bottom());
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
        for (int p = 0; p < int(s.points().size()); ++p) {
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
