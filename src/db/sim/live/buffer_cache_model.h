#pragma once

#include "../dictionary/storage_layout.h"

#include <vector>

namespace tavimond::sim {

// The buffer cache of instance 1 (v$bh, x$bh): a fixed set of buffers drawn from the
// extents of the storage layout: the current copy of each cached block, consistent-read
// copies of some of them (so one block can have several buffers), and free buffers that
// still name the object they last held. It does not change with the clock.
class BufferCacheModel {
public:
    static constexpr int kBlockSize = StorageLayout::kBlockSize;
    using Datafile = StorageLayout::Datafile;
    using DbObject = StorageLayout::DbObject;
    using Extent = StorageLayout::Extent;
    using Segment = StorageLayout::Segment;

    struct Buffer {
        int fileId;
        qint64 blockId;
        qint64 objd;    // data object id of the block's segment
        QString status; // xcur (current), cr (consistent-read copy) or free
        bool dirty;
        int touches; // touch count
    };

    explicit BufferCacheModel(Model &model);

    const std::vector<Datafile> &files() const { return layout_.files(); }
    const std::vector<DbObject> &objects() const { return layout_.objects(); }
    const std::vector<Segment> &segments() const { return layout_.segments(); }
    const std::vector<Buffer> &buffers() const { return buffers_; }
    std::vector<const DbObject *> objectsWithDataObjectId(qint64 id) const { return layout_.objectsWithDataObjectId(id); }

private:
    const StorageLayout &layout_;
    std::vector<Buffer> buffers_;
};

} // namespace tavimond::sim
