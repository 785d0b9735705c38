#pragma once

#include "chart_plot.h"

#include <QChartView>
#include <QHash>
#include <QPointer>
#include <optional>

class QCategoryAxis;
class QRubberBand;

namespace tavimond {

// A point as the screens address it: series index and point index in the model.
struct ChartHit {
    int series = -1;
    int point = -1;
    bool operator==(const ChartHit &) const = default;
};

// Shows a core Chart; its objectName is the chart's component name.
//
// The chart frame, title and axes are Qt Charts'; the series are drawn by one item
// of the view's own from ChartPlot's geometry, since Qt Charts' series take far too
// long for hundreds of live lines of a day's points each. Model changes are taken in
// once per turn of the event loop, however many points a batch or a loop added.
//
// Axis numbers follow "#,##0.###"-like patterns exactly (thousands separator, the
// pattern's decimals; the right axis takes the chart's rightAxisFormat): the value
// axes are category axes whose labels stand at round values, formatted here.
class ChartView : public QChartView {
    Q_OBJECT
public:
    ChartView(Chart *chart, const QString &name, QWidget *parent = nullptr);
    ~ChartView() override;

    Chart *model() const { return model_; }

    // Takes in the model's pending changes now (otherwise done when control returns
    // to the event loop).
    void sync();
    // Times the model's changes were taken in.
    int syncCount() const { return syncs_; }

    // The chart's hint is the view's tooltip while hints are shown (the default).
    void setShowHint(bool show);
    bool showHint() const { return showHint_; }

    // The point of `series` drawn under `pos` (viewport coordinates), or -1. Inactive
    // series have no points under the mouse.
    int pointAt(int series, const QPoint &pos) const;
    // The point under `pos`, asking the series from the last to the first.
    std::optional<ChartHit> hitAt(const QPoint &pos) const;
    // Where a point is drawn, in viewport coordinates; nothing when it is not drawn.
    std::optional<QPointF> pointPosition(int series, int point) const;

    // What is drawn, as the user sees it.
    const ChartPlot &plot() const { return plot_; }
    // Legend entries as shown, texts shortened as drawn; where not all fit, the last
    // shown counts the others ("+ 12 more", without a colour). Empty while the chart's
    // legend is hidden.
    const std::vector<LegendEntry> &legend() const;
    // The axis at this side (Qt::AlignLeft, AlignRight, AlignBottom), if shown.
    QCategoryAxis *axis(Qt::Alignment side) const;
    // Pixels of the chart's right margin as drawn.
    int rightMarginPixels() const;

    // The title of the axis at this side (Qt::AlignLeft, AlignRight, AlignBottom).
    void setAxisTitle(Qt::Alignment side, const QString &title);

    // For live lines, which gain a place at every tick: with every place shown, the place
    // axis keeps room for more (see PlotWindow::grows), so that a tick moves nothing
    // already drawn and only the lines' new ends are drawn.
    void setRoomToGrow(bool grows);

    // Pages the place axis: at most `places` places at a time (0: all of them), the
    // last page at the same spacing. The user then scrolls along the axis with the
    // wheel or by dragging with the right mouse button, zooms into a rectangle dragged
    // with the left button towards the lower right, and undoes the zoom by dragging
    // towards the upper left.
    void setPlacesPerPage(int places);
    int placesPerPage() const { return perPage_; }
    // The first place shown (fractional after scrolling or zooming).
    double firstPlace() const { return plot_.window().first; }
    // Scrolls by this many places (positive: towards the later ones).
    void scrollPlaces(double places);
    // Shows only what lies in this rectangle (viewport coordinates) of the plot.
    void zoomTo(const QRect &area);
    // Back to a page of the place axis and an automatic value axis.
    void undoZoom();

Q_SIGNALS:
    // The mouse moved over the chart (viewport coordinates).
    void mouseMoved(const QPoint &pos);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    class SeriesItem;
    class LegendItem;

    void schedule();
    void applySettings();
    bool applyScales(const ChartScales &scales);
    bool applyAxis(QCategoryAxis *&axis, const AxisScale &scale, Qt::Alignment side);
    void relayout();
    void layOut();
    // The height the legend may take; `whole`: where it names every key.
    double legendRoom(bool whole) const;
    // Lays the legend out and sets the chart's margins around it; true when they changed.
    bool placeLegend();
    // A chart shown on a screen colours its keys as the screen's other charts do.
    void shareScreenColours();
    QPointF toChart(const QPoint &viewPos) const;
    void setWindow(const PlotWindow &window);
    // Pixels per place slot along the place axis.
    double slotPixels() const;

    QPointer<Chart> model_;
    Chart empty_; // drawn when the model is gone
    ChartPlot plot_;
    std::vector<LegendEntry> legend_;
    SeriesItem *series_ = nullptr;
    LegendItem *legendItem_ = nullptr;
    double legendHeight_ = 0;
    QCategoryAxis *bottom_ = nullptr;
    QCategoryAxis *left_ = nullptr;
    QCategoryAxis *right_ = nullptr;
    QFont labelFont_;
    QHash<int, QString> axisTitles_; // by Qt::Alignment
    int perPage_ = 0;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint dragFrom_;
    double dragFirst_ = 0;
    QRubberBand *rubberBand_ = nullptr;
    bool pending_ = false;
    bool laying_ = false;
    bool showHint_ = true;
    int syncs_ = 0;
};

} // namespace tavimond
