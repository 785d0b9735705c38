#pragma once

#include "repository.h"

#include "../dictionary/storage_layout.h"

#include <QDateTime>
#include <QHash>
#include <optional>
#include <vector>

namespace tavimond::sim {

// What the repository keeps of the segments of the storage layout: the statistics
// deltas of each snapshot of each instance (dba_hist_seg_stat), and each segment's
// space over time, from which the space package draws its growth trend.
//
// What the views rely on:
// - a row exists only for a segment that was active in the interval, so quiet segments
//   have gaps and some have no row at all; objects without a segment of their own (a
//   partitioned table or index, the partitions of a composite-partitioned one) never do;
// - the newest partition of a range-partitioned object takes the work, older ones little;
// - every figure is a whole number of 0 or more; direct reads come from full scans of
//   large tables, direct writes from the nightly loads, row lock waits from tables only;
// - a segment's space grows (allocation by whole extents, always at least the space
//   used) from before the repository's first snapshot on.
class SegmentActivity {
public:
    struct Deltas {
        qint64 physicalReads = 0;
        qint64 physicalReadsDirect = 0;
        qint64 physicalWrites = 0;
        qint64 physicalWritesDirect = 0;
        qint64 logicalReads = 0;
        qint64 bufferBusyWaits = 0;
        qint64 rowLockWaits = 0;
    };

    // One row of dba_hist_seg_stat.
    struct Row {
        const StorageLayout::DbObject *object = nullptr;
        Deltas deltas;
    };

    struct Space {
        qint64 used = 0;      // bytes
        qint64 allocated = 0; // bytes
    };

    explicit SegmentActivity(Model &model);

    const StorageLayout &layout() const { return layout_; }
    const Repository &repository() const { return repository_; }

    // The rows one snapshot of one instance recorded, in the layout's object order.
    void rowsOf(const Repository::Snapshot &snapshot, std::vector<Row> &out) const;
    // One object's row of one snapshot; nothing when it was quiet or has no segment.
    std::optional<Deltas> deltasOf(const StorageLayout::DbObject &object, const Repository::Snapshot &snapshot) const;

    // The segment an object stores its rows in; null for objects without one.
    const StorageLayout::Segment *segmentOf(const StorageLayout::DbObject &object) const;
    // A segment's space at a time, before or after the model's start.
    Space spaceAt(const StorageLayout::DbObject &object, const QDateTime &t) const;

private:
    struct Profile {
        double busy = 0;       // 0 .. 1: how much of the work reaches it
        double presence = 0;   // chance of a row in a snapshot
        double writeShare = 0; // physical writes per logical read
        bool table = false;
        bool fullScans = false;  // large enough to be scanned directly
        bool nightlyLoad = false; // loaded with direct-path inserts at night
        double growthPerDay = 0;  // share of its used space
        double fill = 0;          // used / allocated at the model's start
    };

    const Profile *profileOf(const StorageLayout::DbObject &object) const;

    const Repository &repository_;
    const StorageLayout &layout_;
    QHash<qint64, const StorageLayout::Segment *> segments_; // by data_object_id
    QHash<qint64, Profile> profiles_;                         // by object_id
};

} // namespace tavimond::sim
