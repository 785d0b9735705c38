#pragma once

#include "storage_layout.h"

#include "../model.h"
#include "../table.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tavimond::sim {

// The data dictionary of the simulated instance: what the dba_ views show of the
// schemas laid out by the storage layout. Tables with their columns, statistics,
// histograms, modifications, partitions and constraints; indexes with their columns
// and partitions; and the objects of every kind the layout lists. Every value is text,
// as the system reads it (NULL is the empty text). Built once from the layout; only
// the number of objects changes, through setObjectCount.
//
// Families of views read it through the structures below, or through view(), which
// gives a whole dba_ view as rows for the simple-query evaluator.
class DictionaryModel {
public:
    // Statistics of a table, a partition or a subpartition (empty: never gathered).
    struct TableStats {
        QString numRows, blocks, emptyBlocks, avgSpace, chainCnt, avgRowLen, sampleSize, lastAnalyzed;
        QString globalStats, userStats;
    };
    // Statistics of an index or an index partition.
    struct IndexStats {
        QString blevel, leafBlocks, distinctKeys, avgLeafBlocksPerKey, avgDataBlocksPerKey, clusteringFactor;
        QString numRows, sampleSize, lastAnalyzed, globalStats, userStats;
    };

    // Where and how a table or an index stores its rows (its partitions keep their own).
    struct SegmentAttributes {
        QString tablespace, pctFree, pctUsed, iniTrans, maxTrans, initialExtent, nextExtent, minExtents, maxExtents,
            pctIncrease, freelists, freelistGroups, logging;
    };

    struct Column {
        QString name;
        QString columnId; // empty for an invisible column
        int internalId = 0;
        QString dataType, dataLength, dataPrecision, dataScale, nullable, dataDefault, histogram;
        QString numDistinct;
        QStringList frequentValues; // the values a character column's histogram names
        bool character = false;
        bool date = false;
    };

    // A partition, or a subpartition (then `parent` names its partition).
    struct Partition {
        QString name;
        QString parent;
        QString highValue;
        int position = 0;
        QString tablespace, compression, bufferPool, iniTrans, maxTrans, pctFree, logging;
        TableStats stats;
        IndexStats indexStats;
        std::vector<Partition> subpartitions;
    };

    struct Modification {
        QString partition, subpartition;
        QString inserts, updates, deletes, timestamp, truncated, dropSegments;
    };

    struct Constraint {
        QString name, type; // P, U, R, C
        QString searchCondition, rOwner, rConstraintName, deleteRule;
        QString status, deferrable, deferred, validated, generated, indexName;
        QStringList columns; // in the constraint's own order
    };

    struct TableDef {
        QString owner, name;
        SegmentAttributes storage;
        QString status, degree, cache, partitioned, bufferPool, rowMovement, skipCorrupt, monitoring, compression,
            compressFor, temporary, readOnly;
        QString partitioningType, subpartitioningType, partitionKey, subpartitionKey;
        TableStats stats;
        std::vector<Column> columns;
        std::vector<Partition> partitions;
        std::vector<Modification> modifications;
        std::vector<Constraint> constraints;
        const Column *column(const QString &name) const;
    };

    struct IndexColumn {
        QString name, position, length, charLength, descend;
    };

    struct IndexDef {
        QString owner, name, tableOwner, tableName, tableType;
        SegmentAttributes storage;
        QString indexType, uniqueness, compression, prefixLength, pctThreshold, status, degree, partitioned, temporary,
            generated, secondary, bufferPool, duration, pctDirectAccess, itypOwner, itypName, parameters, domidxStatus,
            domidxOpstatus, funcidxStatus, joinIndex, iotRedundantPkeyElim, dropped, visibility;
        QString locality, partitioningType, subpartitioningType;
        QString expression; // the key expression of a function-based index
        IndexStats stats;
        std::vector<IndexColumn> columns;
        std::vector<Partition> partitions;
    };

    // One row of dba_objects.
    struct ObjectRow {
        QString owner, name, subobject, type;
        qint64 objectId = 0;
        qint64 dataObjectId = 0;
    };

    explicit DictionaryModel(Model &model);

    const StorageLayout &layout() const { return layout_; }
    const std::vector<TableDef> &tables() const { return tables_; }
    const std::vector<IndexDef> &indexes() const { return indexes_; }
    const TableDef *table(const QString &owner, const QString &name) const;
    const IndexDef *index(const QString &owner, const QString &name) const;

    // Every object, ordered by type, owner and name (the order of "order by 1,2,3" over
    // object_type, owner, object_name).
    const std::vector<ObjectRow> &objects() const { return objects_; }
    // The size knob: fills the dictionary with generated application objects (tables,
    // indexes, code, synonyms ...) until it lists `count` objects; fewer than the
    // laid-out objects leaves just those.
    void setObjectCount(qint64 count);

    // A whole dba_ view (lower-case name, "sys." allowed) as rows with Oracle's column
    // names; nothing for a view the dictionary does not hold.
    std::optional<Table> view(const QString &name) const;

    // dbms_metadata.get_ddl: the object's DDL, or the ORA- error for an object of a
    // type and name it does not hold.
    QString ddl(const QString &type, const QString &name, const QString &schema) const;
    // The DDL of the kinds other than tables and indexes; nothing when it holds no such object.
    std::optional<QString> codeDdl(const QString &type, const QString &name, const QString &schema) const;

    // The simulated start of the clock, from which every date here is counted back.
    QDateTime clockStart() const;

private:
    void buildTables(Model &model);
    void buildIndexes(Model &model);
    void buildObjects();

    const StorageLayout &layout_;
    std::vector<TableDef> tables_;
    std::vector<IndexDef> indexes_;
    std::vector<ObjectRow> laidOut_;
    std::vector<ObjectRow> objects_;
    QHash<QString, size_t> tableAt_;
    QHash<QString, size_t> indexAt_;
    mutable QHash<QString, Table> views_;
};

// Oracle's text of a date as the data-access layer reads a DATE column.
QString dictionaryDate(const QDateTime &t);

} // namespace tavimond::sim
