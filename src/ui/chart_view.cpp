#include "chart_view.h"

#include "screen.h"
#include "core/chart.h"

#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QStyleOptionGraphicsItem>
#include <cmath>
#include <optional>

namespace tavimond {
namespace {

// Qt Charts' own margin around the chart's content, kept as the margins' zero.
constexpr int kBaseMargin = 20;
constexpr int kLegendSwatch = 10;
constexpr int kLegendGap = 4;        // between a swatch and its text
constexpr int kLegendColumnGap = 12; // between a text and the next column
constexpr int kLegendMinChars = 30;  // a column shows at least about this many characters
// The plot's share of the chart that the legend leaves it where it can: the legend has
// its first row, and takes each further one only while the plot keeps that share of the
// chart's area, or of the chart's height where those rows name every key: a chart whose
// axes take much of its width never leaves its plot that share of its area, and would
// name no more keys than one row holds.
constexpr double kPlotShare = 2.0 / 3;
// How far below the plot Qt begins the text of a bottom label turned upright (its
// padding and the text's own margin), with a pixel to spare.
constexpr double kTurnedLabelPadding = 10;

// A bar keeps an edge on two opposite sides only where this many pixels lie across
// them: one for each edge and four of fill between, so that the fill is what the bar
// shows.
constexpr int kEdgedSpan = 6;

// A bar or a legend swatch on whole pixels: its fill, and one pixel inside each side
// that has the room an edge dark enough to stand out from the white chart whatever the
// fill, so that a white series shows too. A thinner bar is all fill, the colour of its
// legend swatch.
void paintBox(QPainter &painter, const QRect &pixels, const QColor &fill)
{
    painter.fillRect(pixels, fill);
    const QColor edge = fill.darker(200);
    if (pixels.width() >= kEdgedSpan) {
        painter.fillRect(QRect(pixels.left(), pixels.top(), 1, pixels.height()), edge);
        painter.fillRect(QRect(pixels.right(), pixels.top(), 1, pixels.height()), edge);
    }
    if (pixels.height() >= kEdgedSpan) {
        painter.fillRect(QRect(pixels.left(), pixels.top(), pixels.width(), 1), edge);
        painter.fillRect(QRect(pixels.left(), pixels.bottom(), pixels.width(), 1), edge);
    }
}

double legendRowHeight(const QFont &font)
{
    return QFontMetricsF(font).height() + 1;
}

QFont markFont(const QFont &base)
{
    QFont f = base;
    f.setPointSizeF(std::max(6.0, base.pointSizeF() - 1));
    return f;
}

// A text shortened in the middle to fit `room`, keeping twice as much of its end as of
// its beginning: keys tell themselves apart at the end (the file of a path, the latter
// words of an event) more often than at the beginning.
QString elideMiddle(const QString &text, const QFontMetricsF &fm, double room)
{
    if (fm.horizontalAdvance(text) <= room)
        return text;
    const double ellipsis = fm.horizontalAdvance(QChar(0x2026));
    const QString head = fm.elidedText(text, Qt::ElideRight, (room - ellipsis) / 3 + ellipsis);
    const QString tail = fm.elidedText(text, Qt::ElideLeft, room - fm.horizontalAdvance(head) + ellipsis);
    return head + tail.mid(1);
}

} // namespace

// Draws every series of the plot, clipped to the plot area.
class ChartView::SeriesItem : public QGraphicsItem {
public:
    SeriesItem(ChartPlot &plot, const QFont &font, QGraphicsItem *parent)
        : QGraphicsItem(parent), plot_(plot), font_(markFont(font))
    {
        setZValue(4); // above the grid and axes, below nothing else
    }

    void changed()
    {
        prepareGeometryChange();
        update();
    }

    // Marks may stand outside the plot (above the highest bar, beside a pie).
    QRectF boundingRect() const override { return parentItem()->boundingRect(); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->save();
        painter->setClipRect(plot_.plotRect());
        for (const ChartPlot::Bar &b : plot_.bars()) {
            // On whole pixels: one shorter than half a pixel is not drawn.
            const QRect pixels(QPoint(int(std::lround(b.rect.left())), int(std::lround(b.rect.top()))),
                               QPoint(int(std::lround(b.rect.right())) - 1, int(std::lround(b.rect.bottom())) - 1));
            if (!pixels.isEmpty())
                paintBox(*painter, pixels, b.color);
        }
        painter->setBrush(Qt::NoBrush);
        plot_.paintLines(*painter, painter->device() ? painter->device()->devicePixelRatio() : 1.0);
        painter->setPen(QPen(Qt::white, 1));
        for (const ChartPlot::Slice &s : plot_.slices()) {
            painter->setBrush(s.color);
            const QRectF box(s.centre - QPointF(s.radius, s.radius), QSizeF(2 * s.radius, 2 * s.radius));
            painter->drawPie(box, int(std::lround((90 - s.start) * 16)), -int(std::lround(s.span * 16)));
        }
        painter->setClipping(false);
        if (!plot_.marks().empty()) {
            painter->setFont(font_);
            painter->setPen(QColor(40, 40, 40));
            const QFontMetricsF fm(font_);
            for (const ChartPlot::Mark &m : plot_.marks())
                painter->drawText(ChartPlot::markBox(m, fm), Qt::AlignCenter, m.text);
        }
        painter->restore();
    }

private:
    ChartPlot &plot_;
    QFont font_;
};

// The legend under the plot: a colour swatch and a text per entry, in columns of one
// width. Texts too long for a column lose part of their middle. Entries that do not fit
// in the rows the legend may take give way to a last one that counts them.
class ChartView::LegendItem : public QGraphicsItem {
public:
    LegendItem(const QFont &font, QGraphicsItem *parent) : QGraphicsItem(parent), font_(font) { setZValue(5); }

    // Lays the entries out at most `width` wide and `maxHeight` high (one row at least),
    // or `wholeHeight` high where that names every entry; returns the height taken.
    double arrange(const std::vector<LegendEntry> &entries, double width, double maxHeight, double wholeHeight)
    {
        prepareGeometryChange();
        boxes_.clear();
        const QFontMetricsF fm(font_);
        const double rowHeight = legendRowHeight(font_);
        const double extra = kLegendSwatch + kLegendGap + kLegendColumnGap;
        const int n = int(entries.size());
        // A few keys that all fit side by side keep their own widths in one row: columns
        // as wide as the widest would push some of them out of sight.
        if (const auto row = oneRow(entries, fm, width)) {
            shown_ = entries;
            double x = (width - row->second) / 2;
            for (const double w : row->first) {
                boxes_.emplace_back(x, 0, w, rowHeight);
                x += w;
            }
            size_ = QSizeF(width, rowHeight);
            update();
            return rowHeight;
        }
        double widest = 0;
        for (const LegendEntry &e : entries)
            widest = std::max(widest, extra + textWidth(fm, e.text));
        // As few columns as let every entry in, as wide as the widest entry at most and
        // as narrow as a readable key at least.
        const double narrowest = std::min(widest, extra + fm.averageCharWidth() * kLegendMinChars);
        int maxRows = std::max(1, int(maxHeight / rowHeight + 1e-9));
        const int mostColumns = std::max(1, int(width / std::max(narrowest, 1.0)));
        if (const int whole = (n + mostColumns - 1) / mostColumns;
            whole > maxRows && whole * rowHeight <= wholeHeight + 1e-9)
            maxRows = whole;
        int columns = std::clamp(int(width / std::max(widest, 1.0)), 1, mostColumns);
        while (columns < mostColumns && columns * maxRows < n)
            ++columns;
        const double columnWidth = std::min(widest, width / columns);
        shown_.assign(entries.begin(), entries.begin() + std::min(n, columns * maxRows));
        if (n > columns * maxRows)
            shown_.back() = {QStringLiteral("+ %1 more").arg(n - int(shown_.size()) + 1), QColor()};
        const int count = int(shown_.size());
        const int rows = count == 0 ? 0 : (count + columns - 1) / columns;
        const int used = rows == 0 ? 0 : (count + rows - 1) / rows;
        const double left = (width - used * columnWidth) / 2;
        // Down each column, then on to the next.
        for (int k = 0; k < count; ++k) {
            QString &text = shown_[size_t(k)].text;
            text = elideMiddle(text, fm, columnWidth - extra);
            boxes_.emplace_back(left + (k / rows) * columnWidth, (k % rows) * rowHeight, columnWidth, rowHeight);
        }
        size_ = QSizeF(width, rows * rowHeight);
        update();
        return size_.height();
    }

    // The entries as shown.
    const std::vector<LegendEntry> &shown() const { return shown_; }

    QRectF boundingRect() const override { return QRectF(QPointF(0, 0), size_); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->setFont(font_);
        for (size_t k = 0; k < boxes_.size(); ++k) {
            const QRectF &box = boxes_[k];
            const LegendEntry &e = shown_[k];
            const QRect swatch(int(std::lround(box.left())), int(std::lround(box.center().y() - kLegendSwatch / 2.0)),
                               kLegendSwatch, kLegendSwatch);
            if (e.color.isValid()) // the count of the entries left out has none
                paintBox(*painter, swatch, e.color);
            painter->setPen(e.color.isValid() ? QColor(40, 40, 40) : QColor(100, 100, 100));
            painter->drawText(QRectF(swatch.left() + kLegendSwatch + kLegendGap, box.top(),
                                     box.width() - kLegendSwatch - kLegendGap, box.height()),
                              Qt::AlignLeft | Qt::AlignVCenter, e.text);
        }
    }

private:
    // Each entry's width and their sum, when every entry fits whole in one row.
    std::optional<std::pair<std::vector<double>, double>> oneRow(const std::vector<LegendEntry> &entries,
                                                                 const QFontMetricsF &fm, double width)
    {
        const double extra = kLegendSwatch + kLegendGap + kLegendColumnGap;
        std::vector<double> widths;
        double total = 0;
        for (const LegendEntry &e : entries) {
            widths.push_back(extra + textWidth(fm, e.text));
            total += widths.back();
            if (total - kLegendColumnGap > width)
                return std::nullopt;
        }
        if (entries.empty())
            return std::nullopt;
        return std::make_pair(std::move(widths), total - kLegendColumnGap);
    }

    // Measured once a text: a live chart lays out thousands of keys at every tick, and
    // shaping each again would take most of the tick.
    double textWidth(const QFontMetricsF &fm, const QString &text)
    {
        if (const auto it = widths_.constFind(text); it != widths_.constEnd())
            return it.value();
        if (widths_.size() > kWidthCacheLimit)
            widths_.clear();
        const double w = fm.horizontalAdvance(text);
        widths_.insert(text, w);
        return w;
    }
    static constexpr qsizetype kWidthCacheLimit = 100000;

    QFont font_;
    QHash<QString, double> widths_;
    std::vector<LegendEntry> shown_;
    std::vector<QRectF> boxes_; // where each shown entry stands
    QSizeF size_;
};

ChartView::ChartView(Chart *chart, const QString &name, QWidget *parent) : QChartView(parent), model_(chart)
{
    setObjectName(name);
    scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
    viewport()->setMouseTracking(true);
    QChart *c = this->chart();
    c->legend()->hide();
    labelFont_ = font();
    series_ = new SeriesItem(plot_, labelFont_, c);
    legendItem_ = new LegendItem(labelFont_, c);
    connect(c, &QChart::plotAreaChanged, this, [this] {
        if (!laying_)
            relayout();
    });
    if (chart) {
        connect(chart, &Chart::changed, this, &ChartView::schedule);
        // At once: nothing may be drawn from a chart that is gone.
        connect(chart, &QObject::destroyed, this, &ChartView::sync);
    }
    sync();
}

ChartView::~ChartView() = default;

void ChartView::schedule()
{
    if (pending_)
        return;
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (pending_)
                sync();
        },
        Qt::QueuedConnection);
}

void ChartView::shareScreenColours()
{
    if (!model_ || model_->keyColours())
        return;
    for (const QObject *o : {static_cast<const QObject *>(this), static_cast<const QObject *>(model_.data())})
        for (; o; o = o->parent())
            if (const auto *screen = qobject_cast<const Screen *>(o)) {
                model_->setKeyColours(screen->keyColours());
                return;
            }
}

const std::vector<LegendEntry> &ChartView::legend() const
{
    return legendItem_->shown();
}

void ChartView::sync()
{
    shareScreenColours(); // before the change it makes would be taken in again
    pending_ = false;
    ++syncs_;
    const Chart &shown = model_ ? *model_ : empty_;
    plot_.refresh(shown);
    legend_ = shown.legendVisible() ? ChartPlot::legendEntries(shown) : std::vector<LegendEntry>{};
    applySettings();
    relayout();
}

void ChartView::setShowHint(bool show)
{
    showHint_ = show;
    applySettings();
}

int ChartView::rightMarginPixels() const
{
    return chart()->margins().right();
}

void ChartView::applySettings()
{
    const Chart &shown = model_ ? *model_ : empty_;
    QChart *c = chart();
    c->setTitle(shown.title());
    const QString tip = showHint_ ? shown.hint() : QString();
    setToolTip(tip);
    c->setToolTip(tip);
    placeLegend();
}

double ChartView::legendRoom(bool whole) const
{
    const double row = legendRowHeight(labelFont_);
    const QRectF plot = chart()->plotArea();
    if (plot.width() <= 0)
        return row;
    // The plot would take the legend's height besides its own.
    const double shared = plot.height() + std::ceil(legendHeight_);
    // A pie is named by its legend alone, and is as large as the plot's shorter side: its
    // legend takes the rows it needs while the pie keeps two thirds of the height it has
    // beside a legend of one row.
    if (plot_.orientation() == ChartPlot::Orientation::Pies)
        return row + (1 - kPlotShare) * (shared - row);
    // The plot keeps what makes up its share of the chart's height, or of its area.
    const double kept = kPlotShare * height() * (whole ? 1.0 : width() / plot.width());
    return std::max(row, shared - kept);
}

bool ChartView::placeLegend()
{
    const Chart &shown = model_ ? *model_ : empty_;
    QChart *c = chart();
    // One margin unit is a hundredth of the width, so that each click shows.
    const double step = std::max(1.0, width() / 100.0);
    const int right = std::max(0, int(std::lround(kBaseMargin + shown.rightMargin() * step)));
    const double legendWidth = std::max(50.0, width() - 2.0 * kBaseMargin);
    legendHeight_ = legendItem_->arrange(legend_, legendWidth, legendRoom(false), legendRoom(true));
    legendItem_->setPos(kBaseMargin, height() - kBaseMargin / 2.0 - legendHeight_);
    const QMargins margins(kBaseMargin, kBaseMargin, right, kBaseMargin + int(std::ceil(legendHeight_)));
    if (c->margins() == margins)
        return false;
    c->setMargins(margins);
    return true;
}

QCategoryAxis *ChartView::axis(Qt::Alignment side) const
{
    if (side == Qt::AlignLeft)
        return left_;
    if (side == Qt::AlignRight)
        return right_;
    if (side == Qt::AlignBottom)
        return bottom_;
    return nullptr;
}

bool ChartView::applyAxis(QCategoryAxis *&axis, const AxisScale &scale, Qt::Alignment side)
{
    if (!scale.shown) {
        if (!axis)
            return false;
        chart()->removeAxis(axis);
        delete axis;
        axis = nullptr;
        return true;
    }
    bool changed = false;
    if (!axis) {
        axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setLabelsFont(labelFont_);
        axis->setTitleText(axisTitles_.value(int(side)));
        chart()->addAxis(axis, side);
        changed = true;
    }
    if (axis->isReverse() != scale.reversed) {
        axis->setReverse(scale.reversed);
        changed = true;
    }
    const QStringList current = axis->categoriesLabels();
    bool same = current.size() == qsizetype(scale.labels.size());
    for (qsizetype k = 0; same && k < current.size(); ++k)
        same =
            current[k] == scale.labels[size_t(k)].first && axis->endValue(current[k]) == scale.labels[size_t(k)].second;
    if (!same) {
        for (const QString &label : current)
            axis->remove(label);
        for (const auto &[text, value] : scale.labels)
            axis->append(text, value);
        changed = true;
    }
    if (axis->min() != scale.min || axis->max() != scale.max) {
        axis->setRange(scale.min, scale.max);
        changed = true;
    }
    // Qt lays out no axis without labels and would leave its title in the chart's corner,
    // over the title of the other axis.
    if (axis->isTitleVisible() != !scale.labels.empty()) {
        axis->setTitleVisible(!scale.labels.empty());
        changed = true;
    }
    return changed;
}

bool ChartView::applyScales(const ChartScales &scales)
{
    bool changed = applyAxis(bottom_, scales.bottom, Qt::AlignBottom);
    changed = applyAxis(left_, scales.left, Qt::AlignLeft) || changed;
    changed = applyAxis(right_, scales.right, Qt::AlignRight) || changed;
    // The labels are thinned and shortened to fit: Qt need not cut them, and on the left
    // it would cut every session of a page of twenty that each have their own height.
    for (QCategoryAxis *places : {bottom_, left_})
        if (places)
            places->setTruncateLabels(false);
    if (bottom_) {
        const Chart &shown = model_ ? *model_ : empty_;
        const int angle = -shown.bottomLabelAngle(); // Qt turns clockwise
        if (bottom_->labelsAngle() != angle) {
            bottom_->setLabelsAngle(angle);
            changed = true;
        }
    }
    return changed;
}

void ChartView::relayout()
{
    if (laying_)
        return;
    // A resize between a model change and its sync would lay the changed model out on
    // places computed for the old one: take the change in first.
    if (pending_) {
        sync();
        return;
    }
    laying_ = true;
    layOut();
    // The legend's room follows from the plot's size, which the legend changes.
    if (placeLegend())
        layOut();
    laying_ = false;
}

void ChartView::layOut()
{
    const Chart &shown = model_ ? *model_ : empty_;
    QChart *c = chart();
    // Label thinning and tick counts depend on the plot's size, which depends on the
    // labels: two rounds settle it.
    QGraphicsLayout *layout = c->layout();
    layout->activate(); // margins and title may have changed
    ChartScales scales;
    // Turned bottom labels: Qt gives them their length under the plot while it keeps
    // enough of the height for the plot, and otherwise squeezes them, to be cut or to
    // run out of the chart. Shorter labels are tried until they have their length.
    int shortened = 0;
    for (int round = 0; round < 3 + shortened; ++round) {
        scales = plot_.scales(shown, c->plotArea().size(), labelFont_, shortened);
        // A chart with nothing to draw (emptied, or every series hidden) shows no frame:
        // no axis, grid line or baseline of what it drew before.
        if (plot_.placeCount() == 0)
            scales = ChartScales{};
        const bool changed = applyScales(scales);
        if (changed)
            layout->activate();
        if (shown.bottomLabelAngle() % 180 != 0 && bottom_ && !scales.bottom.labels.empty()) {
            const QFontMetricsF fm(labelFont_);
            double longest = 0;
            for (const auto &label : scales.bottom.labels)
                longest = std::max(longest, fm.horizontalAdvance(label.first));
            const double room = c->size().height() - c->margins().bottom() - c->plotArea().bottom();
            if (room < longest + kTurnedLabelPadding) {
                ++shortened;
                continue;
            }
        }
        if (!changed)
            break;
    }
    plot_.layout(shown, scales, c->plotArea(), markFont(labelFont_));
    series_->changed();
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    applySettings();
    relayout();
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (dragButton_ == Qt::RightButton) {
        const bool across = plot_.orientation() == ChartPlot::Orientation::Horizontal;
        const double moved = across ? pos.y() - dragFrom_.y() : pos.x() - dragFrom_.x();
        PlotWindow w = plot_.window();
        w.first = dragFirst_ - moved / slotPixels(); // the places follow the mouse
        setWindow(w);
    } else if (dragButton_ == Qt::LeftButton) {
        rubberBand_->setGeometry(QRect(dragFrom_, pos).normalized());
    }
    Q_EMIT mouseMoved(pos);
    QChartView::mouseMoveEvent(event);
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    const Qt::MouseButton b = event->button();
    if (perPage_ <= 0 || dragButton_ != Qt::NoButton || (b != Qt::LeftButton && b != Qt::RightButton)) {
        QChartView::mousePressEvent(event);
        return;
    }
    dragButton_ = b;
    dragFrom_ = event->position().toPoint();
    dragFirst_ = plot_.window().first;
    if (b == Qt::LeftButton) {
        if (!rubberBand_)
            rubberBand_ = new QRubberBand(QRubberBand::Rectangle, viewport());
        rubberBand_->setGeometry(QRect(dragFrom_, QSize()));
        rubberBand_->show();
    }
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (dragButton_ == Qt::NoButton || event->button() != dragButton_) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    const QPoint to = event->position().toPoint();
    if (dragButton_ == Qt::LeftButton) {
        rubberBand_->hide();
        // Towards the lower right zooms in; towards the upper left undoes the zoom.
        constexpr int kSlack = 3;
        if (to.x() > dragFrom_.x() + kSlack && to.y() > dragFrom_.y() + kSlack)
            zoomTo(QRect(dragFrom_, to));
        else if (to.x() < dragFrom_.x() - kSlack || to.y() < dragFrom_.y() - kSlack)
            undoZoom();
    }
    dragButton_ = Qt::NoButton;
    event->accept();
}

void ChartView::wheelEvent(QWheelEvent *event)
{
    if (perPage_ <= 0) {
        QChartView::wheelEvent(event);
        return;
    }
    // A notch of the wheel moves one place; turning it towards the user goes down.
    scrollPlaces(-event->angleDelta().y() / 120.0);
    event->accept();
}

void ChartView::setAxisTitle(Qt::Alignment side, const QString &title)
{
    axisTitles_.insert(int(side), title);
    if (QCategoryAxis *a = axis(side))
        a->setTitleText(title);
    relayout();
}

void ChartView::setRoomToGrow(bool grows)
{
    PlotWindow w = plot_.window();
    w.grows = grows;
    setWindow(w);
}

void ChartView::setPlacesPerPage(int places)
{
    perPage_ = std::max(0, places);
    setWindow({double(perPage_), 0, std::nullopt, plot_.window().grows});
}

void ChartView::setWindow(const PlotWindow &window)
{
    plot_.setWindow(window);
    relayout();
}

double ChartView::slotPixels() const
{
    const QRectF plot = plot_.plotRect();
    const bool across = plot_.orientation() == ChartPlot::Orientation::Horizontal;
    const double shown = plot_.window().places > 0 ? plot_.window().places : std::max(plot_.placeCount(), 1);
    return std::max(1.0, (across ? plot.height() : plot.width()) / shown);
}

void ChartView::scrollPlaces(double places)
{
    PlotWindow w = plot_.window();
    w.first += places;
    setWindow(w);
}

void ChartView::zoomTo(const QRect &area)
{
    const QRectF plot = plot_.plotRect();
    const QRectF chosen = QRectF(toChart(area.topLeft()), toChart(area.bottomRight())).normalized().intersected(plot);
    if (chosen.isEmpty() || perPage_ <= 0)
        return;
    PlotWindow w = plot_.window();
    const double slot = slotPixels();
    if (plot_.orientation() == ChartPlot::Orientation::Horizontal) {
        w.first += (chosen.top() - plot.top()) / slot;
        w.places = chosen.height() / slot;
        const QCategoryAxis *values = axis(Qt::AlignBottom);
        if (values && plot.width() > 0) {
            const auto at = [&](double x) {
                return values->min() + (x - plot.left()) / plot.width() * (values->max() - values->min());
            };
            w.values = std::make_pair(at(chosen.left()), at(chosen.right()));
        }
    } else {
        w.first += (chosen.left() - plot.left()) / slot;
        w.places = chosen.width() / slot;
    }
    setWindow(w);
}

void ChartView::undoZoom()
{
    if (perPage_ <= 0)
        return;
    setWindow({double(perPage_), std::round(plot_.window().first), std::nullopt, plot_.window().grows});
}

QPointF ChartView::toChart(const QPoint &viewPos) const
{
    return chart()->mapFromScene(mapToScene(viewPos));
}

int ChartView::pointAt(int series, const QPoint &pos) const
{
    if (!model_)
        return -1;
    return plot_.pointAt(*model_, series, toChart(pos));
}

std::optional<ChartHit> ChartView::hitAt(const QPoint &pos) const
{
    if (!model_)
        return std::nullopt;
    for (int s = model_->seriesCount() - 1; s >= 0; --s)
        if (const int p = pointAt(s, pos); p >= 0)
            return ChartHit{s, p};
    return std::nullopt;
}

std::optional<QPointF> ChartView::pointPosition(int series, int point) const
{
    if (!model_)
        return std::nullopt;
    const auto at = plot_.pointPosition(*model_, series, point);
    if (!at)
        return std::nullopt;
    return viewportTransform().map(chart()->mapToScene(*at));
}

} // namespace tavimond
