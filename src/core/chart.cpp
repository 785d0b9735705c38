#include "chart.h"

#include "key_colours.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavimond {
namespace {
const std::vector<int> kNone;
constexpr size_t kFirstCapacity = 16;
} // namespace

quint32 ChartPlaces::labelIdOf(const QString &label)
{
    // The points of one tick come one series after the other with the same label.
    if (hasLast_ && label == lastLabel_)
        return lastId_;
    auto it = ids_.find(label);
    if (it == ids_.end()) {
        it = ids_.emplace(label, quint32(labels_.size())).first;
        labels_.push_back(label);
        placesOf_.emplace_back();
    }
    lastId_ = it->second;
    lastLabel_ = label;
    hasLast_ = true;
    return lastId_;
}

quint32 ChartPlaces::placeOf(quint32 labelId, quint32 occurrence)
{
    std::vector<quint32> &places = placesOf_[labelId];
    while (places.size() <= occurrence) {
        places.push_back(quint32(text_.size()));
        text_.push_back(labelId);
        occurrence_.push_back(quint32(places.size() - 1));
    }
    return places[occurrence];
}

void ChartPlaces::clear()
{
    labels_.clear();
    ids_.clear();
    text_.clear();
    occurrence_.clear();
    placesOf_.clear();
    hasLast_ = false;
    lastLabel_.clear();
    ++epoch_;
}

bool ChartSeries::Block::holds(Form f, double v)
{
    switch (f) {
    case Float:
        return double(float(v)) == v || std::isnan(v);
    case Int32:
        return std::isnan(v) || (v > double(kNoInt) && v <= double(std::numeric_limits<qint32>::max()) &&
                                 double(qint32(v)) == v);
    case Double:
        break;
    }
    return true;
}

void ChartSeries::Block::set(size_t o, double v)
{
    switch (form) {
    case Float:
        reinterpret_cast<float *>(bytes.get())[o] = float(v);
        return;
    case Int32:
        reinterpret_cast<qint32 *>(bytes.get())[o] = std::isnan(v) ? kNoInt : qint32(v);
        return;
    case Double:
        reinterpret_cast<double *>(bytes.get())[o] = v;
        return;
    }
}

void ChartSeries::Block::allocate(size_t newCapacity, size_t keep, Form newForm, bool newPlacesRun)
{
    Block fresh;
    fresh.capacity = quint32(newCapacity);
    fresh.firstPlace = firstPlace;
    fresh.form = newForm;
    fresh.placesRun = newPlacesRun;
    fresh.bytes = std::make_unique<char[]>(newCapacity * (valueSize(newForm) + (newPlacesRun ? 0 : sizeof(quint32))));
    // A new block keeps nothing and has no bytes yet to copy from.
    if (newForm == form && keep > 0) {
        std::memcpy(fresh.bytes.get(), bytes.get(), keep * valueSize(form));
    } else {
        for (size_t o = 0; o < keep; ++o)
            fresh.set(o, value(o));
    }
    if (!newPlacesRun)
        for (size_t o = 0; o < keep; ++o)
            fresh.placeArray()[o] = place(o);
    *this = std::move(fresh);
}

ChartSeries::ChartSeries() = default;
ChartSeries::~ChartSeries() = default;

void ChartSeries::append(double value, quint32 place)
{
    const size_t b = count_ / kBlock;
    const size_t o = count_ % kBlock;
    if (b == blocks_.size()) {
        Block &block = blocks_.emplace_back();
        block.firstPlace = place;
        const Block::Form form = Block::holds(Block::Float, value) ? Block::Float
                                 : Block::holds(Block::Int32, value) ? Block::Int32
                                                                     : Block::Double;
        block.allocate(b == 0 ? kFirstCapacity : kBlock, 0, form, true);
    } else {
        Block &block = blocks_[b];
        Block::Form form = block.form;
        if (!Block::holds(form, value)) {
            // The narrowest form that holds the block's values and this one.
            form = Block::Double;
            if (block.form == Block::Float && Block::holds(Block::Int32, value)) {
                form = Block::Int32;
                for (size_t k = 0; k < o && form == Block::Int32; ++k)
                    if (!Block::holds(Block::Int32, block.value(k)))
                        form = Block::Double;
            }
        }
        const bool placesRun = block.placesRun && place == block.firstPlace + quint32(o);
        // A full block grows by half (a series of a hundred points keeps little room).
        if (o == block.capacity || form != block.form || placesRun != block.placesRun)
            block.allocate(o == block.capacity ? std::min(kBlock, size_t(block.capacity) * 3 / 2) : block.capacity, o,
                           form, placesRun);
    }
    const bool rising = count_ == 0 || place > lastPlace_;
    lastPlace_ = place;
    Block &block = blocks_[b];
    block.set(o, value);
    if (!block.placesRun)
        block.placeArray()[o] = place;
    ++count_;
    if (std::isfinite(value)) {
        lo_ = any_ ? std::min(lo_, value) : value;
        hi_ = any_ ? std::max(hi_, value) : value;
        any_ = true;
    }
    if (labelCounts_) {
        ++(*labelCounts_)[quint32(places_->labelId(int(place)))];
    } else if (!rising) {
        ascending_ = false;
        countLabels(*places_);
    }
}

void ChartSeries::countLabels(const ChartPlaces &places)
{
    labelCounts_ = std::make_unique<QHash<quint32, quint32>>();
    for (size_t p = 0; p < count_; ++p)
        ++(*labelCounts_)[quint32(places.labelId(place(p)))];
}

quint32 ChartSeries::occurrences(const ChartPlaces &places, quint32 labelId) const
{
    if (count_ == 0)
        return 0;
    if (labelCounts_)
        return labelCounts_->value(labelId, 0);
    // Rising places: the series took the label's places in order of occurrence, so it
    // holds the first k of them; find the last one it holds.
    const std::vector<quint32> &candidates = places.placesOf_[labelId];
    const quint32 last = lastPlace_;
    for (size_t k = candidates.size(); k-- > 0;) {
        const quint32 c = candidates[k];
        if (c > last)
            continue;
        size_t lo = 0, hi = count_;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (quint32(place(mid)) < c)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < count_ && quint32(place(lo)) == c)
            return quint32(k + 1);
    }
    return 0;
}

void ChartSeries::truncate(size_t count)
{
    if (count >= count_)
        return;
    count_ = count;
    blocks_.resize((count + kBlock - 1) / kBlock);
    if (colors_)
        for (auto it = colors_->begin(); it != colors_->end();)
            it = it.key() >= count ? colors_->erase(it) : std::next(it);
    ++generation_;
}

std::vector<ChartPoint> ChartSeries::points() const
{
    std::vector<ChartPoint> out;
    out.reserve(count_);
    for (size_t p = 0; p < count_; ++p)
        out.push_back(point(p));
    return out;
}

ChartPoint ChartSeries::point(size_t p) const
{
    return {value(p), places_->label(place(p)), pointColor(p)};
}

std::optional<Rgb> ChartSeries::pointColor(size_t p) const
{
    if (!colors_)
        return std::nullopt;
    const auto it = colors_->constFind(quint32(p));
    return it == colors_->constEnd() ? std::nullopt : std::optional<Rgb>(it.value());
}

std::optional<std::pair<double, double>> ChartSeries::valueRange() const
{
    if (!any_)
        return std::nullopt;
    return std::make_pair(lo_, hi_);
}

Chart::Chart(QObject *parent) : QObject(parent)
{}

Chart::~Chart() = default;

const std::vector<int> &Chart::seriesTitled(const QString &title) const
{
    const auto it = byTitle_.find(title);
    return it == byTitle_.end() ? kNone : it->second;
}

int Chart::addSeries(SeriesKind kind, const QString &title, AxisSide axis)
{
    auto s = std::make_unique<ChartSeries>();
    s->places_ = &places_;
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
    places_.clear(); // no point is left to stand at them
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
    const quint32 labelId = places_.labelIdOf(label);
    ChartSeries &s = at(i);
    s.append(value, places_.placeOf(labelId, s.occurrences(places_, labelId)));
    if (color) {
        if (!s.colors_)
            s.colors_ = std::make_unique<QHash<quint32, Rgb>>();
        s.colors_->insert(quint32(s.count_ - 1), *color);
    }
    touched();
}

void Chart::clearPoints(int i)
{
    if (i < 0 || i >= seriesCount())
        return;
    ChartSeries &s = at(i);
    s.blocks_.clear();
    s.count_ = 0;
    s.any_ = false;
    s.ascending_ = true;
    s.labelCounts_.reset();
    s.colors_.reset();
    ++s.generation_;
    touched();
}

Chart::Checkpoint Chart::checkpoint() const
{
    Checkpoint c;
    c.nextId_ = nextId_;
    c.series_.reserve(series_.size());
    for (const auto &s : series_)
        c.series_.push_back({s->id_, s->count_, s->any_, s->lo_, s->hi_, s->ascending_, s->lastPlace_});
    return c;
}

void Chart::rollback(const Checkpoint &to)
{
    bool changed = false;
    // Series made after the checkpoint go.
    const auto before = series_.size();
    std::erase_if(series_, [&](const std::unique_ptr<ChartSeries> &s) { return s->id_ >= to.nextId_; });
    changed = series_.size() != before;
    for (const auto &ptr : series_) {
        ChartSeries &s = *ptr;
        // Ids rise in the order of the series, in the checkpoint as in the chart.
        const auto it = std::lower_bound(to.series_.begin(), to.series_.end(), s.id_,
                                         [](const Checkpoint::Series &a, quint64 id) { return a.id < id; });
        if (it == to.series_.end() || it->id != s.id_ || s.count_ <= it->count)
            continue;
        s.truncate(it->count);
        s.any_ = it->any;
        s.lo_ = it->lo;
        s.hi_ = it->hi;
        s.ascending_ = it->ascending;
        s.lastPlace_ = it->lastPlace;
        if (s.ascending_)
            s.labelCounts_.reset();
        else
            s.countLabels(places_);
        changed = true;
    }
    if (changed) {
        reindex();
        touched();
    }
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

void Chart::setKeyColours(std::shared_ptr<KeyColours> book)
{
    if (keyColours_ == book)
        return;
    keyColours_ = std::move(book);
    if (keyColours_)
        keyColours_->share(*this);
    touched();
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
