#pragma once

#include "../model.h"

#include <QString>
#include <map>
#include <vector>

namespace tavimond::sim {

// Where the simulated database keeps its objects: datafiles in tablespaces, the objects
// of every schema (dba_objects), the segments that store them (dba_segments) and the
// segments' extents (dba_extents). Laid out once, extents allocated the way locally
// managed tablespaces do it (8 blocks for the first sixteen, then 128, then 1024) and
// spread over a tablespace's files in turn.
//
// What joins rely on: partitioned tables and indexes have no segment and no
// data_object_id of their own, their partitions do; the partitions of a composite-
// partitioned object have none either, its subpartitions do (their segment's
// partition_name is the subpartition's name); a LOB's object type is LOB while its
// segment type is LOBSEGMENT. The LEGACY schema's table lies in the SYSTEM tablespace,
// whose files 1 and 12 it shares so that, block for block, "1" || block 2128 and
// "12" || block 128 give the same text.
class StorageLayout {
public:
    static constexpr int kBlockSize = 8192;

    struct Datafile {
        int fileId;
        QString tablespace;
    };

    // A tablespace: its number (ts#), its name, PERMANENT, UNDO or TEMPORARY, and
    // whether it is one bigfile.
    struct Tablespace {
        int number;
        QString name;
        QString contents;
        bool bigfile;
    };

    struct DbObject {
        QString owner;
        QString name;
        QString subobject; // the partition's or subpartition's name; empty for a whole object
        QString type;      // TABLE, INDEX, TABLE PARTITION, TABLE SUBPARTITION, LOB, VIEW ...
        qint64 objectId;
        qint64 dataObjectId;     // 0 when the object has no segment of its own
        QString partitionOfSub;  // a subpartition's partition; empty otherwise
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
        QString partition; // empty for an unpartitioned segment; a subpartition's own name
        QString type;      // TABLE, INDEX, TABLE PARTITION, TABLE SUBPARTITION, LOBSEGMENT, LOBINDEX ...
        QString tablespace;
        QString bufferPool; // DEFAULT, KEEP or RECYCLE
        qint64 dataObjectId;
        std::vector<Extent> extents;
        double cachedShare; // how much of it the buffer cache holds

        qint64 blocks() const;
        qint64 bytes() const { return blocks() * kBlockSize; }
        int headerFile() const { return extents.front().fileId; }
        qint64 headerBlock() const { return extents.front().blockId; }
    };

    explicit StorageLayout(Model &model);

    const std::vector<Tablespace> &tablespaces() const { return tablespaces_; }
    const std::vector<Datafile> &files() const { return files_; }
    // The temporary files (dba_temp_files), numbered apart from the datafiles.
    const std::vector<Datafile> &tempFiles() const { return tempFiles_; }
    const std::vector<DbObject> &objects() const { return objects_; }
    const std::vector<Segment> &segments() const { return segments_; }

    // Objects by data_object_id (several objects may share one, as tables of a cluster do).
    std::vector<const DbObject *> objectsWithDataObjectId(qint64 id) const;

private:
    std::vector<Tablespace> tablespaces_;
    std::vector<Datafile> files_;
    std::vector<Datafile> tempFiles_;
    std::vector<DbObject> objects_;
    std::vector<Segment> segments_;
    std::multimap<qint64, size_t> byDataObjectId_;
};

} // namespace tavimond::sim
