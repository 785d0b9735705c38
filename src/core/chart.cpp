#include "chart.h"

#include <algorithm>

namespace tavimond {
namespace {
const std::vector<int> kNone;
}

Chart::Chart(QObject *parent) : QObject(parent)
{}

Chart::~Chart() = default;

const std::vector<int> &Chart::seriesTitled(const QString &title) const
{
    const auto it = byTitle_.constFind(title);
    return it == byTitle_.constEnd() ? kNone : it.value();
}

int Chart::addSeries(SeriesKind kind, const QString &title, AxisSide axis)
{
    auto s = std::make_unique<ChartSeries>();
    s->id_ = nextId_++;
    s->kind_ = kind;
    s->title_ = title;
    s->axis_ = axis;
    series_.push_back(std::move(s));
    const int i = int(series_.size()) - 1;
    byTitle_[title].push_back(i);
    touched();
    return i;
}

void Chart::removeSeries(int i)
{
    if (i < 0 || i >= seriesCount())
        return;
    series_.erase(series_.begin() + i);
    reindex();
    touched();
}

void Chart::removeAllSeries()
{
    if (series_.empty())
        return;
    series_.clear();
    byTitle_.clear();
    touched();
}

void Chart::setSeriesTitle(int i, const QString &title)
{
    if (i < 0 || i >= seriesCount() || at(i).title_ == title)
        return;
    at(i).title_ = title;
    reindex();
    touched();
}

void Chart::setSeriesAxis(int i, AxisSide axis)
{
    if (i < 0 || i >= seriesCount() || at(i).axis_ == axis)
        return;
    at(i).axis_ = axis;
    touched();
}

void Chart::setSeriesActive(int i, bool active)
{
    if (i < 0 || i >= seriesCount() || at(i).active_ == active)
        return;
    at(i).active_ = active;
    touched();
}

void Chart::setSeriesMarksVisible(int i, bool visible)
{
    if (i < 0 || i >= seriesCount() || at(i).marks_ == visible)
        return;
    at(i).marks_ = visible;
    touched();
}

void Chart::setSeriesColor(int i, std::optional<Rgb> color)
{
    if (i < 0 || i >= seriesCount() || at(i).color_ == color)
        return;
    at(i).color_ = color;
    touched();
}

void Chart::addPoint(int i, double value, const QString &label, std::optional<Rgb> color)
{
    if (i < 0 || i >= seriesCount())
        return;
    at(i).points_.push_back({value, label, color});
    touched();
}

void Chart::clearPoints(int i)
{
    if (i < 0 || i >= seriesCount())
        return;
    at(i).points_.clear();
    ++at(i).generation_;
    touched();
}

void Chart::setTitle(const QString &t)
{
    if (title_ != t) {
        title_ = t;
        touched();
    }
}

void Chart::setHint(const QString &h)
{
    if (hint_ != h) {
        hint_ = h;
        touched();
    }
}

void Chart::setRightAxisFormat(const QString &f)
{
    if (rightAxisFormat_ != f) {
        rightAxisFormat_ = f;
        touched();
    }
}

void Chart::setBottomLabelAngle(int degrees)
{
    if (bottomLabelAngle_ != degrees) {
        bottomLabelAngle_ = degrees;
        touched();
    }
}

void Chart::setRightMargin(int m)
{
    if (rightMargin_ != m) {
        rightMargin_ = m;
        touched();
    }
}

void Chart::setLegendVisible(bool v)
{
    if (legendVisible_ != v) {
        legendVisible_ = v;
        touched();
    }
}

void Chart::setLegendStyle(LegendStyle style)
{
    if (legendStyle_ != style) {
        legendStyle_ = style;
        touched();
    }
}

void Chart::setLegendTexts(const QStringList &texts)
{
    if (legendTexts_ != texts) {
        legendTexts_ = texts;
        touched();
    }
}

void Chart::reindex()
{
    byTitle_.clear();
    for (int i = 0; i < seriesCount(); ++i)
        byTitle_[series_[size_t(i)]->title_].push_back(i);
}

void Chart::touched()
{
    if (batchDepth_ > 0)
        dirty_ = true;
    else
        Q_EMIT changed();
}

Chart::Batch::Batch(Chart &chart) : chart_(chart)
{
    ++chart_.batchDepth_;
}

Chart::Batch::~Batch()
{
    if (--chart_.batchDepth_ == 0 && chart_.dirty_) {
        chart_.dirty_ = false;
        Q_EMIT chart_.changed();
    }
}

} // namespace tavimond
