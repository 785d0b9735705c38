// The dba_ views of the simulated dictionary as rows, with Oracle's column names.
#include "code_catalogue.h"
#include "dictionary_model.h"

#include "../select_eval.h"

#include <QDate>
#include <cmath>

namespace tavimond::sim {
namespace {

using Row = QStringList;

QString n(qint64 v)
{
    return QString::number(v);
}

// An endpoint of a character column as the database stores it: the leading characters
// read as one large number.
QString characterEndpoint(const QString &value)
{
    double v = 0;
    for (int i = 0; i < 15; ++i)
        v = v * 256 + (i < value.size() ? value.at(i).unicode() : 0);
    return QString::number(v, 'g', 15).toUpper();
}

const QString &objectCreated(qint64 objectId, QString &buffer)
{
    // Dictionary objects were created with the database, application objects later on.
    static const QDateTime created(QDate(2021, 6, 12), QTime(9, 14, 0), Qt::UTC);
    buffer = dictionaryDate(objectId < 74500 ? created.addSecs(objectId)
                                             : created.addSecs(3600 * (objectId % 40000)).addDays(400));
    return buffer;
}

void tablesView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",        "TABLE_NAME",    "TABLESPACE_NAME", "STATUS",      "PCT_FREE",    "PCT_USED",
                 "INI_TRANS",    "MAX_TRANS",     "INITIAL_EXTENT",  "NEXT_EXTENT", "MIN_EXTENTS", "MAX_EXTENTS",
                 "PCT_INCREASE", "FREELISTS",     "FREELIST_GROUPS", "LOGGING",     "NUM_ROWS",    "BLOCKS",
                 "EMPTY_BLOCKS", "AVG_SPACE",     "CHAIN_CNT",       "AVG_ROW_LEN", "DEGREE",      "CACHE",
                 "SAMPLE_SIZE",  "LAST_ANALYZED", "PARTITIONED",     "TEMPORARY",   "BUFFER_POOL", "ROW_MOVEMENT",
                 "GLOBAL_STATS", "USER_STATS",    "SKIP_CORRUPT",    "MONITORING",  "COMPRESSION", "COMPRESS_FOR",
                 "READ_ONLY"};
    for (const auto &x : m.tables()) {
        const auto &s = x.stats;
        t.addRow({x.owner,
                  x.name,
                  x.storage.tablespace,
                  x.status,
                  x.storage.pctFree,
                  x.storage.pctUsed,
                  x.storage.iniTrans,
                  x.storage.maxTrans,
                  x.storage.initialExtent,
                  x.storage.nextExtent,
                  x.storage.minExtents,
                  x.storage.maxExtents,
                  x.storage.pctIncrease,
                  x.storage.freelists,
                  x.storage.freelistGroups,
                  x.storage.logging,
                  s.numRows,
                  s.blocks,
                  s.emptyBlocks,
                  s.avgSpace,
                  s.chainCnt,
                  s.avgRowLen,
                  x.degree,
                  x.cache,
                  s.sampleSize,
                  s.lastAnalyzed,
                  x.partitioned,
                  x.temporary,
                  x.bufferPool,
                  x.rowMovement,
                  s.globalStats,
                  s.userStats,
                  x.skipCorrupt,
                  x.monitoring,
                  x.compression,
                  x.compressFor,
                  x.readOnly});
    }
}

void partTablesView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",
                 "TABLE_NAME",
                 "PARTITIONING_TYPE",
                 "SUBPARTITIONING_TYPE",
                 "PARTITION_COUNT",
                 "DEF_SUBPARTITION_COUNT",
                 "PARTITIONING_KEY_COUNT",
                 "SUBPARTITIONING_KEY_COUNT",
                 "STATUS",
                 "DEF_TABLESPACE_NAME",
                 "DEF_PCT_FREE",
                 "DEF_INI_TRANS",
                 "DEF_MAX_TRANS",
                 "DEF_LOGGING",
                 "DEF_COMPRESSION",
                 "DEF_BUFFER_POOL"};
    for (const auto &x : m.tables()) {
        if (x.partitions.empty())
            continue;
        const auto &p = x.partitions.front();
        t.addRow({x.owner, x.name, x.partitioningType, x.subpartitioningType, n(qint64(x.partitions.size())),
                  n(qint64(p.subpartitions.size())), QStringLiteral("1"),
                  x.subpartitionKey.isEmpty() ? QStringLiteral("0") : QStringLiteral("1"), QStringLiteral("VALID"),
                  p.tablespace, QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("255"),
                  QStringLiteral("NONE"),
                  x.compression == QLatin1String("ENABLED") ? x.compression : QStringLiteral("NONE"),
                  QStringLiteral("DEFAULT")});
    }
}

void tabColumnsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",          "TABLE_NAME",   "COLUMN_NAME",   "DATA_TYPE",   "DATA_LENGTH",
                 "DATA_PRECISION", "DATA_SCALE",   "NULLABLE",      "COLUMN_ID",   "DEFAULT_LENGTH",
                 "DATA_DEFAULT",   "NUM_DISTINCT", "NUM_NULLS",     "NUM_BUCKETS", "LAST_ANALYZED",
                 "SAMPLE_SIZE",    "CHAR_LENGTH",  "HIDDEN_COLUMN", "HISTOGRAM"};
    for (const auto &x : m.tables()) {
        for (const auto &c : x.columns) {
            const bool analysed = !x.stats.lastAnalyzed.isEmpty();
            const qint64 buckets = c.histogram == QLatin1String("NONE") ? 1
                                   : c.frequentValues.isEmpty()         ? 254
                                                                        : c.frequentValues.size();
            t.addRow({x.owner, x.name, c.name, c.dataType, c.dataLength, c.dataPrecision, c.dataScale, c.nullable,
                      c.columnId, c.dataDefault.isEmpty() ? QString() : n(c.dataDefault.size()), c.dataDefault,
                      c.numDistinct, analysed ? QStringLiteral("0") : QString(), analysed ? n(buckets) : QString(),
                      analysed ? x.stats.lastAnalyzed : QString(), analysed ? x.stats.sampleSize : QString(),
                      c.character ? c.dataLength : QStringLiteral("0"),
                      c.columnId.isEmpty() ? QStringLiteral("YES") : QStringLiteral("NO"), c.histogram});
        }
    }
}

// Endpoints of one analysed column: the lowest and highest value without a histogram,
// one per value of a frequency histogram, bucket bounds of the others.
void histogram(const DictionaryModel::TableDef &x, const DictionaryModel::Column &c, Table &t)
{
    const qint64 rows = std::max<qint64>(1, x.stats.numRows.toLongLong());
    const qint64 distinct = std::max<qint64>(1, c.numDistinct.toLongLong());
    auto add = [&](qint64 endpoint, const QString &value, const QString &actual) {
        t.addRow({x.owner, x.name, c.name, n(endpoint), value, actual});
    };
    // A value k of n along the column's range.
    const QDate lastDay = QDate(2026, 11, 30);
    auto valueAt = [&](qint64 k, qint64 of) -> std::pair<QString, QString> {
        if (c.date) {
            const QDate d = lastDay.addDays(-(of - k) * 180 / std::max<qint64>(1, of));
            return {n(d.toJulianDay()), QString()};
        }
        if (c.character) {
            // The database keeps the text of a character endpoint only where the
            // number cannot tell two values apart.
            const QString v = QStringLiteral("%1%2").arg(QChar(u'A' + int(k % 26))).arg(k, 4, 10, QLatin1Char('0'));
            return {characterEndpoint(v), QString()};
        }
        return {n(1 + (distinct - 1) * k / std::max<qint64>(1, of)), QString()};
    };
    // Frequencies: value i takes a share 1/(i+2) of the rows, the last the rest.
    auto frequencies = [&](const QStringList &values, bool character) {
        double total = 0;
        for (qsizetype i = 0; i < values.size(); ++i)
            total += 1.0 / double(i + 2);
        double cumulative = 0;
        for (qsizetype i = 0; i < values.size(); ++i) {
            cumulative += 1.0 / double(i + 2);
            const qint64 endpoint = i + 1 == values.size() ? rows : qint64(double(rows) * cumulative / total);
            const QString &v = values.at(i);
            if (character)
                add(endpoint, characterEndpoint(v), v);
            else
                add(endpoint, v, QString());
        }
    };
    if (!c.frequentValues.isEmpty()) {
        frequencies(c.frequentValues, c.character);
        return;
    }
    if (c.histogram == QLatin1String("FREQUENCY")) {
        QStringList values;
        for (qint64 v = 10; v <= 110; v += 10)
            values << n(v);
        frequencies(values, false);
        return;
    }
    const qint64 buckets = c.histogram == QLatin1String("NONE") ? 1 : 8;
    for (qint64 b = 0; b <= buckets; ++b) {
        const auto [value, actual] = valueAt(b, buckets);
        add(c.histogram == QLatin1String("HYBRID") ? b * rows / buckets : b, value, actual);
    }
}

void tabHistogramsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER", "TABLE_NAME", "COLUMN_NAME", "ENDPOINT_NUMBER", "ENDPOINT_VALUE", "ENDPOINT_ACTUAL_VALUE"};
    for (const auto &x : m.tables()) {
        if (x.stats.lastAnalyzed.isEmpty())
            continue;
        for (const auto &c : x.columns)
            if (c.dataType != QLatin1String("BLOB") && c.dataType != QLatin1String("LONG"))
                histogram(x, c, t);
    }
}

void tabModificationsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"TABLE_OWNER", "TABLE_NAME", "PARTITION_NAME", "SUBPARTITION_NAME", "INSERTS",
                 "UPDATES",     "DELETES",    "TIMESTAMP",      "TRUNCATED",         "DROP_SEGMENTS"};
    for (const auto &x : m.tables())
        for (const auto &d : x.modifications)
            t.addRow({x.owner, x.name, d.partition, d.subpartition, d.inserts, d.updates, d.deletes, d.timestamp,
                      d.truncated, d.dropSegments});
}

const QStringList kPartitionStatColumns = {"NUM_ROWS",    "BLOCKS",       "EMPTY_BLOCKS", "AVG_SPACE",
                                           "CHAIN_CNT",   "AVG_ROW_LEN",  "SAMPLE_SIZE",  "LAST_ANALYZED",
                                           "BUFFER_POOL", "GLOBAL_STATS", "USER_STATS"};

Row partitionStats(const DictionaryModel::Partition &p)
{
    const auto &s = p.stats;
    return {s.numRows,    s.blocks,       s.emptyBlocks, s.avgSpace,    s.chainCnt, s.avgRowLen,
            s.sampleSize, s.lastAnalyzed, p.bufferPool,  s.globalStats, s.userStats};
}

void tabPartitionsView(const DictionaryModel &m, Table &t)
{
    t.columns = QStringList{"TABLE_OWNER",       "TABLE_NAME",         "COMPOSITE",
                            "PARTITION_NAME",    "SUBPARTITION_COUNT", "HIGH_VALUE",
                            "HIGH_VALUE_LENGTH", "PARTITION_POSITION", "TABLESPACE_NAME",
                            "PCT_FREE",          "INI_TRANS",          "MAX_TRANS",
                            "LOGGING",           "COMPRESSION"} +
                kPartitionStatColumns;
    for (const auto &x : m.tables())
        for (const auto &p : x.partitions)
            t.addRow(Row{x.owner, x.name, p.subpartitions.empty() ? QStringLiteral("NO") : QStringLiteral("YES"),
                         p.name, n(qint64(p.subpartitions.size())), p.highValue, n(p.highValue.size()), n(p.position),
                         p.tablespace, p.pctFree, p.iniTrans, p.maxTrans, p.logging, p.compression} +
                     partitionStats(p));
}

void tabSubpartitionsView(const DictionaryModel &m, Table &t)
{
    t.columns = QStringList{"TABLE_OWNER",
                            "TABLE_NAME",
                            "PARTITION_NAME",
                            "SUBPARTITION_NAME",
                            "HIGH_VALUE",
                            "HIGH_VALUE_LENGTH",
                            "SUBPARTITION_POSITION",
                            "TABLESPACE_NAME",
                            "PCT_FREE",
                            "INI_TRANS",
                            "MAX_TRANS",
                            "LOGGING",
                            "COMPRESSION"} +
                kPartitionStatColumns;
    for (const auto &x : m.tables())
        for (const auto &p : x.partitions)
            for (const auto &s : p.subpartitions)
                t.addRow(Row{x.owner, x.name, p.name, s.name, s.highValue, n(s.highValue.size()), n(s.position),
                             s.tablespace, s.pctFree, s.iniTrans, s.maxTrans, s.logging, s.compression} +
                         partitionStats(s));
}

const QStringList kIndexStatColumns = {"BLEVEL",
                                       "LEAF_BLOCKS",
                                       "DISTINCT_KEYS",
                                       "AVG_LEAF_BLOCKS_PER_KEY",
                                       "AVG_DATA_BLOCKS_PER_KEY",
                                       "CLUSTERING_FACTOR",
                                       "NUM_ROWS",
                                       "SAMPLE_SIZE",
                                       "LAST_ANALYZED",
                                       "GLOBAL_STATS",
                                       "USER_STATS"};

Row indexStats(const DictionaryModel::IndexStats &s)
{
    return {s.blevel,           s.leafBlocks, s.distinctKeys, s.avgLeafBlocksPerKey, s.avgDataBlocksPerKey,
            s.clusteringFactor, s.numRows,    s.sampleSize,   s.lastAnalyzed,        s.globalStats,
            s.userStats};
}

void indexesView(const DictionaryModel &m, Table &t)
{
    t.columns = QStringList{"OWNER",
                            "INDEX_NAME",
                            "INDEX_TYPE",
                            "TABLE_OWNER",
                            "TABLE_NAME",
                            "TABLE_TYPE",
                            "UNIQUENESS",
                            "COMPRESSION",
                            "PREFIX_LENGTH",
                            "TABLESPACE_NAME",
                            "INI_TRANS",
                            "MAX_TRANS",
                            "INITIAL_EXTENT",
                            "NEXT_EXTENT",
                            "MIN_EXTENTS",
                            "MAX_EXTENTS",
                            "PCT_INCREASE",
                            "PCT_THRESHOLD",
                            "FREELISTS",
                            "FREELIST_GROUPS",
                            "PCT_FREE",
                            "LOGGING",
                            "STATUS",
                            "DEGREE",
                            "PARTITIONED",
                            "TEMPORARY",
                            "GENERATED",
                            "SECONDARY",
                            "BUFFER_POOL",
                            "DURATION",
                            "PCT_DIRECT_ACCESS",
                            "ITYP_OWNER",
                            "ITYP_NAME",
                            "PARAMETERS",
                            "DOMIDX_STATUS",
                            "DOMIDX_OPSTATUS",
                            "FUNCIDX_STATUS",
                            "JOIN_INDEX",
                            "IOT_REDUNDANT_PKEY_ELIM",
                            "DROPPED",
                            "VISIBILITY"} +
                kIndexStatColumns;
    for (const auto &x : m.indexes())
        t.addRow(Row{x.owner,
                     x.name,
                     x.indexType,
                     x.tableOwner,
                     x.tableName,
                     x.tableType,
                     x.uniqueness,
                     x.compression,
                     x.prefixLength,
                     x.storage.tablespace,
                     x.storage.iniTrans,
                     x.storage.maxTrans,
                     x.storage.initialExtent,
                     x.storage.nextExtent,
                     x.storage.minExtents,
                     x.storage.maxExtents,
                     x.storage.pctIncrease,
                     x.pctThreshold,
                     x.storage.freelists,
                     x.storage.freelistGroups,
                     x.storage.pctFree,
                     x.storage.logging,
                     x.status,
                     x.degree,
                     x.partitioned,
                     x.temporary,
                     x.generated,
                     x.secondary,
                     x.bufferPool,
                     x.duration,
                     x.pctDirectAccess,
                     x.itypOwner,
                     x.itypName,
                     x.parameters,
                     x.domidxStatus,
                     x.domidxOpstatus,
                     x.funcidxStatus,
                     x.joinIndex,
                     x.iotRedundantPkeyElim,
                     x.dropped,
                     x.visibility} +
                 indexStats(x.stats));
}

void partIndexesView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",
                 "INDEX_NAME",
                 "TABLE_NAME",
                 "PARTITIONING_TYPE",
                 "SUBPARTITIONING_TYPE",
                 "PARTITION_COUNT",
                 "DEF_SUBPARTITION_COUNT",
                 "PARTITIONING_KEY_COUNT",
                 "SUBPARTITIONING_KEY_COUNT",
                 "LOCALITY",
                 "ALIGNMENT",
                 "DEF_TABLESPACE_NAME"};
    for (const auto &x : m.indexes()) {
        if (x.partitions.empty())
            continue;
        const auto &p = x.partitions.front();
        t.addRow({x.owner, x.name, x.tableName, x.partitioningType, x.subpartitioningType,
                  n(qint64(x.partitions.size())), n(qint64(p.subpartitions.size())), QStringLiteral("1"),
                  p.subpartitions.empty() ? QStringLiteral("0") : QStringLiteral("1"), x.locality,
                  QStringLiteral("PREFIXED"), p.tablespace});
    }
}

void indColumnsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"INDEX_OWNER",     "INDEX_NAME",    "TABLE_OWNER", "TABLE_NAME", "COLUMN_NAME",
                 "COLUMN_POSITION", "COLUMN_LENGTH", "CHAR_LENGTH", "DESCEND"};
    for (const auto &x : m.indexes())
        for (const auto &c : x.columns)
            t.addRow(
                {x.owner, x.name, x.tableOwner, x.tableName, c.name, c.position, c.length, c.charLength, c.descend});
}

const QStringList kIndexPartitionColumns = {"HIGH_VALUE",  "HIGH_VALUE_LENGTH", "STATUS",    "TABLESPACE_NAME",
                                            "PCT_FREE",    "INI_TRANS",         "MAX_TRANS", "LOGGING",
                                            "COMPRESSION", "BUFFER_POOL"};

Row indexPartition(const DictionaryModel::Partition &p)
{
    return Row{p.highValue,
               n(p.highValue.size()),
               p.subpartitions.empty() ? QStringLiteral("USABLE") : QStringLiteral("N/A"),
               p.tablespace,
               p.pctFree,
               p.iniTrans,
               p.maxTrans,
               p.logging,
               p.compression,
               p.bufferPool} +
           indexStats(p.indexStats);
}

void indPartitionsView(const DictionaryModel &m, Table &t)
{
    t.columns = QStringList{"INDEX_OWNER",    "INDEX_NAME",         "COMPOSITE",
                            "PARTITION_NAME", "SUBPARTITION_COUNT", "PARTITION_POSITION"} +
                kIndexPartitionColumns + kIndexStatColumns;
    for (const auto &x : m.indexes())
        for (const auto &p : x.partitions)
            t.addRow(Row{x.owner, x.name, p.subpartitions.empty() ? QStringLiteral("NO") : QStringLiteral("YES"),
                         p.name, n(qint64(p.subpartitions.size())), n(p.position)} +
                     indexPartition(p));
}

void indSubpartitionsView(const DictionaryModel &m, Table &t)
{
    t.columns =
        QStringList{"INDEX_OWNER", "INDEX_NAME", "PARTITION_NAME", "SUBPARTITION_NAME", "SUBPARTITION_POSITION"} +
        kIndexPartitionColumns + kIndexStatColumns;
    for (const auto &x : m.indexes())
        for (const auto &p : x.partitions)
            for (const auto &s : p.subpartitions) {
                Row r = indexPartition(s);
                r[2] = QStringLiteral("USABLE");
                t.addRow(Row{x.owner, x.name, p.name, s.name, n(s.position)} + r);
            }
}

void constraintsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",    "CONSTRAINT_NAME",   "CONSTRAINT_TYPE", "TABLE_NAME",  "SEARCH_CONDITION",
                 "R_OWNER",  "R_CONSTRAINT_NAME", "DELETE_RULE",     "STATUS",      "DEFERRABLE",
                 "DEFERRED", "VALIDATED",         "GENERATED",       "INDEX_OWNER", "INDEX_NAME"};
    for (const auto &x : m.tables())
        for (const auto &c : x.constraints)
            t.addRow({x.owner, c.name, c.type, x.name, c.searchCondition, c.rOwner, c.rConstraintName, c.deleteRule,
                      c.status, c.deferrable, c.deferred, c.validated, c.generated,
                      c.indexName.isEmpty() ? QString() : x.owner, c.indexName});
}

void consColumnsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER", "CONSTRAINT_NAME", "TABLE_NAME", "COLUMN_NAME", "POSITION"};
    for (const auto &x : m.tables())
        for (const auto &c : x.constraints)
            for (qsizetype i = 0; i < c.columns.size(); ++i)
                t.addRow(
                    {x.owner, c.name, x.name, c.columns.at(i), c.type == QLatin1String("C") ? QString() : n(i + 1)});
}

void segmentsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",          "SEGMENT_NAME",    "PARTITION_NAME", "SEGMENT_TYPE", "TABLESPACE_NAME",
                 "HEADER_FILE",    "HEADER_BLOCK",    "BYTES",          "BLOCKS",       "EXTENTS",
                 "INITIAL_EXTENT", "NEXT_EXTENT",     "MIN_EXTENTS",    "MAX_EXTENTS",  "PCT_INCREASE",
                 "FREELISTS",      "FREELIST_GROUPS", "RELATIVE_FNO",   "BUFFER_POOL"};
    for (const auto &s : m.layout().segments()) {
        const bool manual = s.tablespace == QLatin1String("SYSTEM");
        t.addRow({s.owner, s.name, s.partition, s.type, s.tablespace, n(s.headerFile()), n(s.headerBlock()),
                  n(s.bytes()), n(s.blocks()), n(qint64(s.extents.size())), QStringLiteral("65536"),
                  QStringLiteral("1048576"), QStringLiteral("1"), QStringLiteral("2147483645"),
                  manual ? QStringLiteral("0") : QString(), manual ? QStringLiteral("1") : QString(),
                  manual ? QStringLiteral("1") : QString(), n(s.headerFile()), s.bufferPool});
    }
}

void objectsView(const DictionaryModel &m, Table &t)
{
    t.columns = {"OWNER",   "OBJECT_NAME",   "SUBOBJECT_NAME", "OBJECT_ID", "DATA_OBJECT_ID", "OBJECT_TYPE",
                 "CREATED", "LAST_DDL_TIME", "STATUS",         "TEMPORARY", "GENERATED",      "SECONDARY"};
    t.cells.reserve(qsizetype(m.objects().size()) * t.columns.size());
    QString created;
    for (const auto &o : m.objects()) {
        objectCreated(o.objectId, created);
        const bool generated = o.name.startsWith(QLatin1String("SYS_"));
        t.addRow({o.owner, o.name, o.subobject, n(o.objectId), o.dataObjectId ? n(o.dataObjectId) : QString(), o.type,
                  created, created, QStringLiteral("VALID"), QStringLiteral("N"),
                  generated ? QStringLiteral("Y") : QStringLiteral("N"), QStringLiteral("N")});
    }
}

} // namespace

std::optional<Table> DictionaryModel::view(const QString &requested) const
{
    QString name = requested.toLower();
    if (name.startsWith(QLatin1String("sys.")))
        name = name.mid(4);
    const auto cached = views_.constFind(name);
    if (cached != views_.constEnd())
        return cached.value();
    using Builder = void (*)(const DictionaryModel &, Table &);
    static const QHash<QString, Builder> builders{
        {QStringLiteral("dba_tables"), &tablesView},
        {QStringLiteral("dba_part_tables"), &partTablesView},
        {QStringLiteral("dba_tab_columns"), &tabColumnsView},
        {QStringLiteral("dba_tab_histograms"), &tabHistogramsView},
        {QStringLiteral("dba_tab_modifications"), &tabModificationsView},
        {QStringLiteral("dba_tab_partitions"), &tabPartitionsView},
        {QStringLiteral("dba_tab_subpartitions"), &tabSubpartitionsView},
        {QStringLiteral("dba_indexes"), &indexesView},
        {QStringLiteral("dba_part_indexes"), &partIndexesView},
        {QStringLiteral("dba_ind_columns"), &indColumnsView},
        {QStringLiteral("dba_ind_partitions"), &indPartitionsView},
        {QStringLiteral("dba_ind_subpartitions"), &indSubpartitionsView},
        {QStringLiteral("dba_constraints"), &constraintsView},
        {QStringLiteral("dba_cons_columns"), &consColumnsView},
        {QStringLiteral("dba_segments"), &segmentsView},
        {QStringLiteral("dba_objects"), &objectsView},
        {QStringLiteral("dba_views"), [](const DictionaryModel &, Table &t) { t = code::views(); }},
        {QStringLiteral("dba_sequences"), [](const DictionaryModel &, Table &t) { t = code::sequences(); }},
        {QStringLiteral("dba_source"), [](const DictionaryModel &, Table &t) { t = code::source(); }},
        {QStringLiteral("dba_triggers"), [](const DictionaryModel &, Table &t) { t = code::triggers(); }},
        {QStringLiteral("dba_synonyms"), [](const DictionaryModel &, Table &t) { t = code::synonyms(); }},
        {QStringLiteral("dba_directories"), [](const DictionaryModel &, Table &t) { t = code::directories(); }},
        {QStringLiteral("dba_scheduler_jobs"),
         [](const DictionaryModel &m, Table &t) { t = code::schedulerJobs(m.clockStart(), false); }},
        {QStringLiteral("dba_scheduler_programs"),
         [](const DictionaryModel &, Table &t) { t = code::schedulerPrograms(); }},
    };
    const auto builder = builders.constFind(name);
    if (builder == builders.constEnd())
        return std::nullopt;
    Table t;
    builder.value()(*this, t);
    views_.insert(name, t);
    return t;
}

} // namespace tavimond::sim
