#pragma once

#include "../model.h"

#include <QString>
#include <map>
#include <vector>

namespace tavimond::sim {

// The schemas of the simulated database as storage sees them, and the blocks of them
// that sit in the buffer cache.
//
// Objects (dba_objects), the segments that store them (dba_segments) and the segments'
// extents (dba_extents) are laid out once per seed, in tablespaces of one or more
// datafiles, extents allocated the way locally managed tablespaces do it (8 blocks for
// the first sixteen, then 128, then 1024) and spread over a tablespace's files in turn.
// The cache (v$bh, x$bh) is a fixed set of buffers drawn from those extents: the
// current copy of each cached block, consistent-read copies of some of them (so one
// block can have several buffers), and free buffers that still name the object they
// last held. The cache is that of instance 1; the model does not change with the clock.
//
// What the views' joins rely on: a buffer's objd is the data_object_id of the object
// whose segment holds the block; partitioned tables and indexes have no segment and no
// data_object_id of their own, their partitions do; a LOB's object type is LOB while its
// segment type is LOBSEGMENT. The LEGACY schema's table lies in the SYSTEM tablespace,
// whose files 1 and 12 it shares so that, block for block, "1" || block 2128 and
// "12" || block 128 give the same text.
class BufferCacheModel {
public:
    static constexpr int kBlockSize = 8192;

    struct Datafile {
        int fileId;
        QString tablespace;
    };

    struct DbObject {
        QString owner;
        QString name;
        QString subobject; // the partition's name; empty for a whole object
        QString type;      // TABLE, INDEX, TABLE PARTITION, INDEX PARTITION, LOB, VIEW ...
        qint64 objectId;
        qint64 dataObjectId; // 0 when the object has no segment of its own
    };

    struct Extent {
        int extentId;
        int fileId;
        qint64 blockId; // first block
        qint64 blocks;
    };

    struct Segment {
        QString owner;
        QString name;
        QString partition; // empty for an unpartitioned segment
        QString type;      // TABLE, INDEX, TABLE PARTITION, INDEX PARTITION, LOBSEGMENT, LOBINDEX
        QString tablespace;
        QString bufferPool; // DEFAULT, KEEP or RECYCLE
        qint64 dataObjectId;
        std::vector<Extent> extents;

        qint64 blocks() const;
        qint64 bytes() const { return blocks() * kBlockSize; }
        int headerFile() const { return extents.front().fileId; }
        qint64 headerBlock() const { return extents.front().blockId; }
    };

    struct Buffer {
        int fileId;
        qint64 blockId;
        qint64 objd;    // data object id of the block's segment
        QString status; // xcur (current), cr (consistent-read copy) or free
        bool dirty;
        int touches; // touch count
    };

    explicit BufferCacheModel(Model &model);

    const std::vector<Datafile> &files() const { return files_; }
    const std::vector<DbObject> &objects() const { return objects_; }
    const std::vector<Segment> &segments() const { return segments_; }
    const std::vector<Buffer> &buffers() const { return buffers_; }

    // Objects by data_object_id (several objects may share one, as tables of a cluster do).
    std::vector<const DbObject *> objectsWithDataObjectId(qint64 id) const;

private:
    std::vector<Datafile> files_;
    std::vector<DbObject> objects_;
    std::vector<Segment> segments_;
    std::vector<Buffer> buffers_;
    std::multimap<qint64, size_t> byDataObjectId_;
};

} // namespace tavimond::sim
