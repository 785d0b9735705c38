#include "chart_categories.h"

#include <QRegularExpression>
#include <algorithm>

namespace tavimond {
namespace {

int monthNumber(const QString &name)
{
    static const QStringList months = {QStringLiteral("JAN"), QStringLiteral("FEB"), QStringLiteral("MAR"),
                                       QStringLiteral("APR"), QStringLiteral("MAY"), QStringLiteral("JUN"),
                                       QStringLiteral("JUL"), QStringLiteral("AUG"), QStringLiteral("SEP"),
                                       QStringLiteral("OCT"), QStringLiteral("NOV"), QStringLiteral("DEC")};
    return int(months.indexOf(name.toUpper())) + 1;
}

qint64 packTime(int y, int mo, int d, int h, int mi, int s)
{
    return ((((qint64(y) * 100 + mo) * 100 + d) * 100 + h) * 100 + mi) * 100 + s;
}

} // namespace

std::optional<qint64> labelTime(const QString &label)
{
    static const QRegularExpression named(
        QStringLiteral(R"(^\s*(\d{1,2})[-/ ]([A-Za-z]{3})[-/ ](\d{4})\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*$)"));
    static const QRegularExpression iso(
        QStringLiteral(R"(^\s*(\d{4})-(\d{2})-(\d{2})[ T](\d{1,2}):(\d{2})(?::(\d{2}))?\s*$)"));
    if (label.isEmpty() || !label.at(label.size() - 1).isDigit())
        return std::nullopt;
    if (const auto m = named.match(label); m.hasMatch()) {
        const int month = monthNumber(m.captured(2));
        if (month == 0)
            return std::nullopt;
        return packTime(m.captured(3).toInt(), month, m.captured(1).toInt(), m.captured(4).toInt(),
                        m.captured(5).toInt(), m.captured(6).toInt());
    }
    if (const auto m = iso.match(label); m.hasMatch())
        return packTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                        m.captured(5).toInt(), m.captured(6).toInt());
    return std::nullopt;
}

void ChartCategories::clear()
{
    labelIds_.clear();
    labels_.clear();
    places_.clear();
}

int ChartCategories::place(const QString &label, std::vector<quint32> &seen)
{
    auto it = labelIds_.find(label);
    if (it == labelIds_.end()) {
        it = labelIds_.insert(label, int(labels_.size()));
        labels_.push_back({label, labelTime(label), {}});
    }
    const int id = it.value();
    if (seen.size() <= size_t(id))
        seen.resize(size_t(id) + 1, 0);
    const quint32 occurrence = seen[size_t(id)]++;
    Label &l = labels_[size_t(id)];
    while (l.places.size() <= occurrence) {
        l.places.push_back(int(places_.size()));
        places_.push_back({id, int(l.places.size()) - 1});
    }
    return l.places[occurrence];
}

const QString &ChartCategories::label(int place) const
{
    return labels_[size_t(places_[size_t(place)].label)].text;
}

std::vector<int> ChartCategories::ordered(const std::vector<char> &used) const
{
    std::vector<int> out;
    bool allTimes = true;
    for (int p = 0; p < count(); ++p) {
        if (size_t(p) < used.size() && used[size_t(p)]) {
            out.push_back(p);
            allTimes = allTimes && labels_[size_t(places_[size_t(p)].label)].time.has_value();
        }
    }
    if (allTimes) {
        std::stable_sort(out.begin(), out.end(), [this](int a, int b) {
            const Place &pa = places_[size_t(a)];
            const Place &pb = places_[size_t(b)];
            const qint64 ta = *labels_[size_t(pa.label)].time;
            const qint64 tb = *labels_[size_t(pb.label)].time;
            return ta != tb ? ta < tb : pa.occurrence < pb.occurrence;
        });
    }
    return out;
}

} // namespace tavimond
