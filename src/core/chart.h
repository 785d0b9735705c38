#pragma once

#include <QObject>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace tavimond {

enum class SeriesKind {
    Line,
    Bar,         // vertical bars, one per point, placed by the point's label
    StackedHBar, // horizontal bars; the chart's StackedHBar series stack point by point
    Pie,
};

enum class AxisSide { Left, Right };

// What the legend lists: the series while more than one is active and the points of
// the single active series otherwise (Automatic), always the active series, or always
// the points of the first active series.
enum class LegendStyle { Automatic, Series, Values };

// A colour as 0xRRGGBB.
using Rgb = quint32;

struct ChartPoint {
    double value = 0;
    QString label;
    std::optional<Rgb> color; // a colour of this point alone (bars, pie slices)
};

// One series of a chart. Series are found by title, never by position, except where a
// screen owns a fixed set of series.
class ChartSeries {
public:
    quint64 id() const { return id_; }
    SeriesKind kind() const { return kind_; }
    const QString &title() const { return title_; }
    AxisSide axis() const { return axis_; }
    bool active() const { return active_; }
    bool marksVisible() const { return marks_; }
    std::optional<Rgb> color() const { return color_; }
    const std::vector<ChartPoint> &points() const { return points_; }
    // Grows by one each time the points are cleared, so a view knows to redraw them whole.
    quint64 generation() const { return generation_; }

private:
    friend class Chart;
    quint64 id_ = 0;
    SeriesKind kind_ = SeriesKind::Line;
    QString title_;
    AxisSide axis_ = AxisSide::Left;
    bool active_ = true;
    bool marks_ = false; // value marks are shown only where a screen asks for them
    std::optional<Rgb> color_;
    std::vector<ChartPoint> points_;
    quint64 generation_ = 0;
};

// A chart as the screens build it: ordered series and the chart's own settings. The
// view in ui/ draws it; changes made inside a Batch reach the view once.
class Chart : public QObject {
    Q_OBJECT
public:
    explicit Chart(QObject *parent = nullptr);
    ~Chart() override;

    int seriesCount() const { return int(series_.size()); }
    const ChartSeries &series(int i) const { return *series_.at(size_t(i)); }
    // Indexes of the series with this title, in ascending order.
    const std::vector<int> &seriesTitled(const QString &title) const;

    // Adds a series at the end; returns its index.
    int addSeries(SeriesKind kind, const QString &title, AxisSide axis = AxisSide::Left);
    void removeSeries(int i);
    void removeAllSeries();
    void setSeriesTitle(int i, const QString &title);
    void setSeriesAxis(int i, AxisSide axis);
    void setSeriesActive(int i, bool active);
    void setSeriesMarksVisible(int i, bool visible);
    void setSeriesColor(int i, std::optional<Rgb> color);
    void addPoint(int i, double value, const QString &label, std::optional<Rgb> color = std::nullopt);
    void clearPoints(int i);

    // Chart settings.
    const QString &title() const { return title_; }
    void setTitle(const QString &t);
    const QString &hint() const { return hint_; }
    void setHint(const QString &h);
    const QString &rightAxisFormat() const { return rightAxisFormat_; }
    void setRightAxisFormat(const QString &f);
    int bottomLabelAngle() const { return bottomLabelAngle_; }
    void setBottomLabelAngle(int degrees);
    int rightMargin() const { return rightMargin_; }
    void setRightMargin(int m);
    bool legendVisible() const { return legendVisible_; }
    void setLegendVisible(bool v);
    LegendStyle legendStyle() const { return legendStyle_; }
    void setLegendStyle(LegendStyle style);
    // Legend entries the system supplies; empty means the series' titles.
    const QStringList &legendTexts() const { return legendTexts_; }
    void setLegendTexts(const QStringList &texts);

    class Batch {
    public:
        explicit Batch(Chart &chart);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        Chart &chart_;
    };

Q_SIGNALS:
    // The chart changed (once per batch).
    void changed();

private:
    void touched();
    void reindex();
    ChartSeries &at(int i) { return *series_.at(size_t(i)); }

    std::vector<std::unique_ptr<ChartSeries>> series_;
    QHash<QString, std::vector<int>> byTitle_;
    quint64 nextId_ = 1;
    QString title_;
    QString hint_;
    QString rightAxisFormat_;
    int bottomLabelAngle_ = 0;
    int rightMargin_ = 0;
    bool legendVisible_ = true;
    LegendStyle legendStyle_ = LegendStyle::Automatic;
    QStringList legendTexts_;
    int batchDepth_ = 0;
    bool dirty_ = false;
};

} // namespace tavimond
