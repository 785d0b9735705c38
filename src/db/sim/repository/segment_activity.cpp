#include "segment_activity.h"

#include <cmath>

namespace tavimond::sim {
namespace {

// How much of a day's segment work falls in an hour: the office day, and the nightly
// loads between one and four.
double segmentHourFactor(int hour)
{
    static const double kHours[24] = {0.2,  0.55, 0.6,  0.5,  0.15, 0.15, 0.3,  0.55, 0.85, 1.0,  1.0,  0.95,
                                      0.8,  0.9,  1.0,  0.95, 0.85, 0.7,  0.5,  0.4,  0.35, 0.3,  0.25, 0.2};
    return kHours[hour % 24];
}

qint64 count(double v)
{
    return qint64(std::llround(std::max(0.0, v)));
}

bool isDictionaryOwner(const QString &owner)
{
    return owner == QLatin1String("SYS") || owner == QLatin1String("SYSTEM") || owner == QLatin1String("OUTLN");
}

// Bytes of the extents a segment of this size is given next.
qint64 extentBytes(qint64 blocks)
{
    return (blocks >= 8192 ? 1024 : (blocks >= 1024 ? 128 : 8)) * qint64(StorageLayout::kBlockSize);
}

} // namespace

SegmentActivity::SegmentActivity(Model &model)
    : repository_(model.state<Repository>()), layout_(model.state<StorageLayout>())
{
    for (const StorageLayout::Segment &s : layout_.segments())
        segments_.insert(s.dataObjectId, &s);

    // Partitions come oldest first among the objects of one name and type: the newest
    // takes the work.
    QHash<QString, int> siblings, seen;
    auto familyOf = [](const StorageLayout::DbObject &o) {
        return o.owner + QLatin1Char('\x1f') + o.name + QLatin1Char('\x1f') + o.type;
    };
    for (const StorageLayout::DbObject &o : layout_.objects())
        if (!o.subobject.isEmpty())
            ++siblings[familyOf(o)];

    for (const StorageLayout::DbObject &o : layout_.objects()) {
        const StorageLayout::Segment *segment = segmentOf(o);
        if (!segment)
            continue;
        int age = 0;
        if (!o.subobject.isEmpty()) {
            const QString family = familyOf(o);
            age = siblings.value(family) - 1 - seen[family]++;
        }
        Dice dice(model.seed() ^ 0x5e6a0c71ULL ^ quint64(o.objectId) * 0x9E3779B97F4A7C15ULL);
        Profile p;
        p.table = o.type.startsWith(QLatin1String("TABLE"));
        const double heat = std::min(1.0, segment->cachedShare * (1.0 + age) * dice.between(0.7, 1.2));
        p.busy = std::clamp(0.08 + 0.9 * heat, 0.0, 1.0) / std::pow(1.0 + age, 1.5);
        // Some segments see no work worth recording: those nothing reads from the cache,
        // the stored outlines, and a few picked at random.
        const bool quiet = segment->cachedShare <= 0.0 || o.owner == QLatin1String("OUTLN") || dice.chance(0.06);
        p.presence = quiet ? 0.0 : std::min(0.97, 0.25 + 0.9 * p.busy);
        p.writeShare = isDictionaryOwner(o.owner) ? dice.between(0.0005, 0.002)
                                                  : (p.table ? dice.between(0.004, 0.03) : dice.between(0.002, 0.015));
        p.fullScans = p.table && segment->blocks() > 2000;
        p.nightlyLoad = p.table && !isDictionaryOwner(o.owner) && segment->blocks() > 500 && dice.chance(0.4);
        p.growthPerDay = quiet || age > 0 ? dice.between(0.0, 0.0004) : dice.between(0.002, 0.012);
        p.fill = dice.between(0.7, 0.93);
        profiles_.insert(o.objectId, p);
    }
}

const StorageLayout::Segment *SegmentActivity::segmentOf(const StorageLayout::DbObject &object) const
{
    return object.dataObjectId == 0 ? nullptr : segments_.value(object.dataObjectId);
}

const SegmentActivity::Profile *SegmentActivity::profileOf(const StorageLayout::DbObject &object) const
{
    const auto it = profiles_.constFind(object.objectId);
    return it == profiles_.constEnd() ? nullptr : &it.value();
}

std::optional<SegmentActivity::Deltas> SegmentActivity::deltasOf(const StorageLayout::DbObject &object,
                                                                 const Repository::Snapshot &snap) const
{
    const Profile *p = profileOf(object);
    const StorageLayout::Segment *segment = segmentOf(object);
    if (!p || !segment || p->presence <= 0)
        return std::nullopt;
    // The hour the interval covered (it ends a few seconds after the hour).
    const int hour = snap.end.addSecs(-60).time().hour();
    const double curve = segmentHourFactor(hour);
    Dice dice = repository_.dice(0x5e957a7, object.objectId, snap.index, snap.instance);
    if (!dice.chance(p->presence * (0.5 + 0.5 * curve)))
        return std::nullopt;

    const double hours = std::max(1.0, double(snap.seconds())) / 3600.0;
    const double blocks = double(segment->blocks());
    const double share = (snap.instance == 1 ? 1.1 : 0.9) / repository_.instances();
    Deltas d;
    const double logical = std::max(1.0, blocks * p->busy * 30.0 * hours * curve * share * dice.between(0.6, 1.5));
    d.logicalReads = count(logical);
    d.physicalReads = count(logical * (1.0 - segment->cachedShare) * 0.08 * dice.between(0.5, 1.5));
    if (p->fullScans && dice.chance(0.05 + 0.2 * p->busy))
        d.physicalReadsDirect = count(blocks * dice.between(0.3, 1.0));
    d.physicalWrites = count(logical * p->writeShare * dice.between(0.5, 1.5));
    if (p->nightlyLoad && hour >= 1 && hour <= 3 && dice.chance(0.7))
        d.physicalWritesDirect = count(blocks * dice.between(0.01, 0.05));
    if (p->busy > 0.3)
        d.bufferBusyWaits = count(logical * 2e-5 * dice.between(0.0, 2.0));
    if (p->table && p->writeShare > 0.015 && dice.chance(0.15))
        d.rowLockWaits = 1 + dice.below(25);
    return d;
}

void SegmentActivity::rowsOf(const Repository::Snapshot &snap, std::vector<Row> &out) const
{
    for (const StorageLayout::DbObject &o : layout_.objects())
        if (const auto d = deltasOf(o, snap))
            out.push_back({&o, *d});
}

SegmentActivity::Space SegmentActivity::spaceAt(const StorageLayout::DbObject &object, const QDateTime &t) const
{
    const Profile *p = profileOf(object);
    const StorageLayout::Segment *segment = segmentOf(object);
    if (!p || !segment)
        return {};
    const qint64 block = StorageLayout::kBlockSize;
    const qint64 allocatedThen = segment->bytes();
    const qint64 usedThen = std::max<qint64>(block, qint64(double(allocatedThen) * p->fill) / block * block);
    const double days = double(Model::start().msecsTo(t)) / 86400000.0;
    const double trend = double(usedThen) * (1.0 + p->growthPerDay * days);
    double used = trend;
    // What was measured moves about the trend a little; what lies ahead is the trend.
    constexpr double kWobble = 0.004;
    if (t <= repository_.model().now()) {
        Dice wobble(repository_.model().seed() ^ quint64(object.objectId) * 0xD6E8FEB86659FD93ULL ^
                    quint64(std::floor(days * 2.0) + 1e6));
        used *= 1.0 + wobble.between(-kWobble, kWobble);
    }
    Space s;
    s.used = std::max<qint64>(block, qint64(used) / block * block);
    // Whole extents, following the trend (so never given back) with room for the
    // wobble: as many more as the growth needs, or as many fewer as it had not yet
    // needed; never less than the space used.
    const qint64 extent = extentBytes(segment->blocks());
    const qint64 needed = qint64(trend * (1.0 + kWobble));
    const qint64 neededThen = qint64(double(usedThen) * (1.0 + kWobble));
    if (needed >= neededThen)
        s.allocated = allocatedThen + (needed - neededThen + extent - 1) / extent * extent;
    else
        s.allocated = allocatedThen - (neededThen - needed) / extent * extent;
    s.allocated = std::max(s.allocated, s.used);
    return s;
}

} // namespace tavimond::sim
