#pragma once

#include <QObject>
#include <QHash>
#include <QString>
#include <QStringList>
#include "text_hash.h"

#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace tavimond {

class KeyColours;

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

// A point as the screens read it back.
struct ChartPoint {
    double value = 0;
    QString label;
    std::optional<Rgb> color; // a colour of this point alone (bars, pie slices)
};

// The places of a chart's category axis. A place is a label and its occurrence within
// one series: the first point labelled "08:00" of any series stands at the place
// ("08:00", 0), the second point of the same series with that label at ("08:00", 1),
// so a label repeated within a series keeps both points. Each label is kept once for
// the whole chart: the points of one tick of a hundred series share it.
class ChartPlaces {
public:
    int count() const { return int(text_.size()); }
    const QString &label(int place) const { return labels_[text_[size_t(place)]]; }
    int occurrence(int place) const { return int(occurrence_[size_t(place)]); }
    // The label's number (the same for every occurrence of a label).
    int labelId(int place) const { return int(text_[size_t(place)]); }
    int labelCount() const { return int(labels_.size()); }
    // Grows each time the places are emptied (every series removed).
    quint64 epoch() const { return epoch_; }

private:
    friend class Chart;
    friend class ChartSeries;
    quint32 labelIdOf(const QString &label);
    // The place of occurrence `occurrence` of the label, made when it is new.
    quint32 placeOf(quint32 labelId, quint32 occurrence);
    void clear();

    std::vector<QString> labels_;
    std::unordered_map<QString, quint32, TextHash> ids_;
    std::vector<quint32> text_;                  // place -> label id
    std::vector<quint32> occurrence_;            // place -> occurrence
    std::vector<std::vector<quint32>> placesOf_; // label id -> places by occurrence
    quint32 lastId_ = 0;
    QString lastLabel_;
    bool hasLast_ = false;
    quint64 epoch_ = 0;
};

// One series of a chart. Series are found by title, never by position, except where a
// screen owns a fixed set of series.
//
// A point is kept as its value and the number of its place, in blocks that never move.
// A value takes 4 bytes while the block's values are all exact as floats (whole counts
// below 2^24, as most Deltas are) or all whole numbers of 32 bits (microseconds waited
// in a tick), 8 otherwise. A block whose places run on by one (every series fed at
// every tick) keeps only its first place; otherwise 4 bytes more a point. Labels live
// once in the chart's places, and the rare colours of single points beside the points.
class ChartSeries {
public:
    ChartSeries();
    ~ChartSeries();
    ChartSeries(const ChartSeries &) = delete;
    ChartSeries &operator=(const ChartSeries &) = delete;

    quint64 id() const { return id_; }
    SeriesKind kind() const { return kind_; }
    const QString &title() const { return title_; }
    AxisSide axis() const { return axis_; }
    bool active() const { return active_; }
    bool marksVisible() const { return marks_; }
    std::optional<Rgb> color() const { return color_; }
    // Grows by one each time points are cleared or taken back, so a view knows to
    // place them again.
    quint64 generation() const { return generation_; }

    // A copy of the points, labels and colours filled in: for reading a few points of a
    // long series, pointCount() and point(p) cost less.
    std::vector<ChartPoint> points() const;

    size_t pointCount() const { return count_; }
    ChartPoint point(size_t p) const;
    double value(size_t p) const { return block(p).value(p % kBlock); }
    // The point's place on the chart's category axis (see ChartPlaces).
    int place(size_t p) const { return int(block(p).place(p % kBlock)); }
    std::optional<Rgb> pointColor(size_t p) const;
    // Places of the points rise with the points (as in every live series): the point
    // at a place is found by a binary search.
    bool placesAscending() const { return ascending_; }
    // The smallest and largest finite value, if there is one.
    std::optional<std::pair<double, double>> valueRange() const;

private:
    friend class Chart;
    static constexpr size_t kBlock = 256;
    struct Block {
        // How the values are held: floats, 32-bit whole numbers (kNoInt for NaN), doubles.
        enum Form : quint8 { Float, Int32, Double };
        static constexpr qint32 kNoInt = std::numeric_limits<qint32>::min();
        std::unique_ptr<char[]> bytes; // the values, then the places unless they run on
        quint32 capacity = 0;
        quint32 firstPlace = 0;
        Form form = Float;
        bool placesRun = true; // point o stands at firstPlace + o
        double value(size_t o) const
        {
            switch (form) {
            case Float:
                return double(reinterpret_cast<const float *>(bytes.get())[o]);
            case Int32: {
                const qint32 v = reinterpret_cast<const qint32 *>(bytes.get())[o];
                return v == kNoInt ? std::numeric_limits<double>::quiet_NaN() : double(v);
            }
            case Double:
                break;
            }
            return reinterpret_cast<const double *>(bytes.get())[o];
        }
        quint32 place(size_t o) const { return placesRun ? firstPlace + quint32(o) : placeArray()[o]; }
        static size_t valueSize(Form f) { return f == Double ? sizeof(double) : sizeof(float); }
        quint32 *placeArray() const { return reinterpret_cast<quint32 *>(bytes.get() + capacity * valueSize(form)); }
        // Whether a value is held exactly in this form.
        static bool holds(Form f, double v);
        // Moves the first `keep` points into room for `capacity`, in `form`, with an array
        // of places unless `placesRun`.
        void allocate(size_t capacity, size_t keep, Form form, bool placesRun);
        void set(size_t o, double v);
    };
    const Block &block(size_t p) const { return blocks_[p / kBlock]; }
    void append(double value, quint32 place);
    void truncate(size_t count);
    // How many points of the series the label already has.
    quint32 occurrences(const ChartPlaces &places, quint32 labelId) const;
    void countLabels(const ChartPlaces &places);

    quint64 id_ = 0;
    SeriesKind kind_ = SeriesKind::Line;
    QString title_;
    AxisSide axis_ = AxisSide::Left;
    bool active_ = true;
    bool marks_ = false; // value marks are shown only where a screen asks for them
    std::optional<Rgb> color_;
    quint64 generation_ = 0;

    const ChartPlaces *places_ = nullptr;
    std::vector<Block> blocks_;
    size_t count_ = 0;
    bool any_ = false;
    double lo_ = 0;
    double hi_ = 0;
    bool ascending_ = true;
    quint32 lastPlace_ = 0; // the last point's, read at every new point
    // Label id -> points of the series with it, kept once the places stop rising.
    std::unique_ptr<QHash<quint32, quint32>> labelCounts_;
    std::unique_ptr<QHash<quint32, Rgb>> colors_; // point -> its own colour
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
    const ChartPlaces &places() const { return places_; }

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

    // What the series and their points are now, to go back to with rollback() when
    // what was added after it must not stay (a sample cut short). Only additions are
    // taken back: series added after it and points appended to the series there were.
    class Checkpoint {
    private:
        friend class Chart;
        struct Series {
            quint64 id;
            size_t count;
            bool any;
            double lo, hi;
            bool ascending;
            quint32 lastPlace;
        };
        std::vector<Series> series_;
        quint64 nextId_ = 0;
    };
    Checkpoint checkpoint() const;
    void rollback(const Checkpoint &to);

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
    // The book that colours this chart's keys alike with the other charts of its
    // screen; without one, series without a colour of their own take the palette's
    // colours by position.
    KeyColours *keyColours() const { return keyColours_.get(); }
    void setKeyColours(std::shared_ptr<KeyColours> book);

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
    std::unordered_map<QString, std::vector<int>, TextHash> byTitle_;
    ChartPlaces places_;
    quint64 nextId_ = 1;
    QString title_;
    QString hint_;
    QString rightAxisFormat_;
    int bottomLabelAngle_ = 0;
    int rightMargin_ = 0;
    bool legendVisible_ = true;
    LegendStyle legendStyle_ = LegendStyle::Automatic;
    QStringList legendTexts_;
    std::shared_ptr<KeyColours> keyColours_;
    int batchDepth_ = 0;
    bool dirty_ = false;
};

} // namespace tavimond
