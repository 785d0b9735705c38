#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace tavimond {

// Reads a point label as a date and time: "01-MAY-2013 08:00", "1/MAY/2013 08:00:00"
// (month names in any case) or "2013-05-01 08:00:00". The result only orders labels.
std::optional<qint64> labelTime(const QString &label);

// The places of a chart's category axis. A place is a label and its occurrence within
// one series: the first point labelled "08:00" of any series stands at the place
// ("08:00", 0), the second point of the same series with that label at ("08:00", 1),
// so a label repeated within a series keeps both points.
class ChartCategories {
public:
    void clear();

    // The place of a series' next point labelled `label`; `seen` holds that series'
    // counts per label and is updated.
    int place(const QString &label, std::vector<quint32> &seen);

    int count() const { return int(places_.size()); }
    const QString &label(int place) const;

    // The used places in axis order: by time when every one of them reads as a time
    // (live labels are times of day and may pass midnight, so they are not sorted),
    // otherwise in order of first appearance.
    std::vector<int> ordered(const std::vector<char> &used) const;

private:
    struct Label {
        QString text;
        std::optional<qint64> time;
        std::vector<int> places; // by occurrence
    };
    struct Place {
        int label;
        int occurrence;
    };

    QHash<QString, int> labelIds_;
    std::vector<Label> labels_;
    std::vector<Place> places_;
};

} // namespace tavimond
