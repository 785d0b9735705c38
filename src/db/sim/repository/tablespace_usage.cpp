#include "tablespace_usage.h"

#include "../dictionary/tablespace_catalogue.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavimond::sim {
namespace {

// How fast a tablespace's used space grows: the share of today's use added per day.
double dailyGrowth(const QString &tablespace)
{
    static const QHash<QString, double> rates{
        {QStringLiteral("APP_DATA"), 0.011}, {QStringLiteral("APP_INDEX"), 0.008}, {QStringLiteral("APP_LOB"), 0.019},
        {QStringLiteral("SYSAUX"), 0.003},   {QStringLiteral("SYSTEM"), 0.0004},   {QStringLiteral("USERS"), 0.002},
    };
    return rates.value(tablespace, 0.001);
}

} // namespace

TablespaceUsage::TablespaceUsage(Model &model)
    : repository_(model.state<Repository>()), catalogue_(model.state<TablespaceCatalogue>())
{}

TablespaceUsage::Usage TablespaceUsage::at(const QString &tablespace, const Repository::Snapshot &snapshot) const
{
    const TablespaceCatalogue::Tablespace *ts = catalogue_.tablespace(tablespace);
    const qint64 allocatedNow = catalogue_.allocatedBlocks(tablespace);
    const qint64 usedNow = catalogue_.usedBlocks(tablespace);
    const qint64 maxSize = catalogue_.maxBlocks(tablespace);
    Dice dice = repository_.dice(0x75a6e, ts ? ts->number : 0, snapshot.index, 1);
    const double hour = snapshot.end.time().hour() + snapshot.end.time().minute() / 60.0;

    if (!ts || ts->contents != QLatin1String("PERMANENT")) {
        // Undo and sort space follow the day: busiest in the afternoon, least at night.
        const double load = 0.5 - 0.5 * std::cos((hour - 3.0) / 24.0 * 2 * std::numbers::pi);
        const double share = std::clamp(0.25 + 0.75 * load + dice.between(-0.08, 0.08), 0.05, 1.0);
        return {allocatedNow, maxSize, qint64(double(usedNow) * share)};
    }

    // Steady growth during working hours, eight to six: days of work counted up to t.
    const auto worked = [](const QDateTime &t) {
        const double hourOfDay = t.time().hour() + t.time().minute() / 60.0;
        return double(t.date().toJulianDay()) + std::clamp((hourOfDay - 8.0) / 10.0, 0.0, 1.0);
    };
    const double workDaysBefore = worked(Model::start()) - worked(snapshot.end);
    const double used =
        double(usedNow) * (1.0 - dailyGrowth(tablespace) * workDaysBefore + dice.between(-0.0008, 0.0008));
    const qint64 usedBlocks = std::max<qint64>(1, qint64(used));

    // Files that extend grew by whole increments as the used space reached them.
    qint64 increment = 0;
    for (const TablespaceCatalogue::File &f : catalogue_.files())
        if (f.tablespace == tablespace && f.autoextensible)
            increment = std::max(increment, f.incrementBy);
    qint64 size = allocatedNow;
    if (increment > 0)
        size -= (usedNow - usedBlocks) / increment * increment;
    return {std::max(size, usedBlocks), maxSize, usedBlocks};
}

} // namespace tavimond::sim
