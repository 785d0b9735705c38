#include "storage_layout.h"

#include <QHash>
#include <QStringList>
#include <algorithm>

namespace tavimond::sim {
namespace {

struct FileSpec {
    int fileId;
    const char *tablespace;
    qint64 firstFreeBlock;
};

struct TablespaceSpec {
    int number;
    const char *name;
    const char *contents;
    bool bigfile;
};

// In the order they were created; UNDOTBS2 is instance 2's undo, APP_LOB one bigfile.
const TablespaceSpec kTablespaces[] = {
    {0, "SYSTEM", "PERMANENT", false},   {1, "SYSAUX", "PERMANENT", false},  {2, "UNDOTBS1", "UNDO", false},
    {3, "TEMP", "TEMPORARY", false},     {4, "USERS", "PERMANENT", false},   {5, "UNDOTBS2", "UNDO", false},
    {6, "APP_DATA", "PERMANENT", false}, {7, "APP_INDEX", "PERMANENT", false}, {8, "APP_LOB", "PERMANENT", true},
};

// File 1's blocks below 2128 hold the bootstrap and dictionary segments that the model
// does not list; file 12 was added to SYSTEM when it filled up.
const FileSpec kFiles[] = {
    {1, "SYSTEM", 2128},  {2, "SYSAUX", 128},    {3, "UNDOTBS1", 128},   {4, "USERS", 128},
    {5, "APP_DATA", 128}, {6, "APP_INDEX", 128}, {7, "APP_DATA", 128},   {8, "APP_INDEX", 128},
    {9, "APP_LOB", 128},  {10, "APP_DATA", 128}, {11, "APP_INDEX", 128}, {12, "SYSTEM", 128},
    {13, "UNDOTBS2", 128},
};

// TEMP's two temporary files.
const int kTempFileIds[] = {1, 2};

struct SegmentSpec {
    const char *owner;
    const char *name;
    const char *objectType;  // of the stored object (of each partition's parent when partitioned)
    const char *segmentType; // null: the object type (of the partitions: "<type> PARTITION")
    const char *tablespace;
    qint64 blocks; // wanted size, rounded up to whole extents; of the largest partition
    double cached; // share of its blocks in the cache; of the newest partition
    const char *pool;
    const char *partitions; // comma-separated partition names, oldest first; null when not partitioned
    bool moved;             // truncated or moved since creation: a new data object id
    // Composite partitioning: comma-separated suffixes; each partition P has the
    // subpartitions P_<suffix>, which hold the segments. Null when not subpartitioned.
    const char *subpartitions;
};

// In allocation order. LEGACY comes first, so that its extents take file 1 from block
// 2128 and file 12 from block 128 in turn.
const SegmentSpec kSegments[] = {
    {"LEGACY", "CODE_LOOKUP", "TABLE", nullptr, "SYSTEM", 32, 1.0, "DEFAULT", nullptr, false, nullptr},
    {"LEGACY", "CODE_LOOKUP_PK", "INDEX", nullptr, "SYSTEM", 8, 1.0, "DEFAULT", nullptr, false, nullptr},
    {"SYS", "OBJ$", "TABLE", nullptr, "SYSTEM", 1200, 0.6, "DEFAULT", nullptr, false, nullptr},
    {"SYS", "I_OBJ1", "INDEX", nullptr, "SYSTEM", 300, 0.9, "DEFAULT", nullptr, false, nullptr},
    {"SYS", "I_OBJ2", "INDEX", nullptr, "SYSTEM", 500, 0.7, "DEFAULT", nullptr, false, nullptr},
    {"SYS", "DEPENDENCY$", "TABLE", nullptr, "SYSTEM", 800, 0.3, "DEFAULT", nullptr, false, nullptr},
    {"SYSTEM", "HELP", "TABLE", nullptr, "SYSTEM", 64, 0.5, "DEFAULT", nullptr, false, nullptr},
    {"OUTLN", "OL$", "TABLE", nullptr, "SYSTEM", 8, 0.0, "DEFAULT", nullptr, false, nullptr},
    {"SALES", "ORDERS", "TABLE", nullptr, "APP_DATA", 3000, 0.12, "DEFAULT",
     "P2026_06,P2026_07,P2026_08,P2026_09,P2026_10,P2026_11", false, nullptr},
    {"SALES", "ORDERS_PK", "INDEX", nullptr, "APP_INDEX", 2600, 0.25, "DEFAULT", nullptr, false, nullptr},
    {"SALES", "ORDERS_DATE_IX", "INDEX", nullptr, "APP_INDEX", 600, 0.3, "DEFAULT",
     "P2026_06,P2026_07,P2026_08,P2026_09,P2026_10,P2026_11", false, nullptr},
    {"SALES", "ORDER_LINES", "TABLE", nullptr, "APP_DATA", 24000, 0.06, "DEFAULT", nullptr, true, nullptr},
    {"SALES", "ORDER_LINES_PK", "INDEX", nullptr, "APP_INDEX", 6000, 0.12, "DEFAULT", nullptr, true, nullptr},
    {"SALES", "ORDER_LINES_PROD_IX", "INDEX", nullptr, "APP_INDEX", 4500, 0.05, "DEFAULT", nullptr, true, nullptr},
    {"SALES", "CUSTOMERS", "TABLE", nullptr, "APP_DATA", 1800, 0.55, "KEEP", nullptr, false, nullptr},
    {"SALES", "CUSTOMERS_PK", "INDEX", nullptr, "APP_INDEX", 260, 0.9, "KEEP", nullptr, false, nullptr},
    {"SALES", "PRODUCTS", "TABLE", nullptr, "APP_DATA", 140, 1.0, "KEEP", nullptr, false, nullptr},
    {"SALES", "PRODUCTS_PK", "INDEX", nullptr, "APP_INDEX", 40, 1.0, "KEEP", nullptr, false, nullptr},
    {"HR", "EMPLOYEES", "TABLE", nullptr, "USERS", 96, 0.7, "DEFAULT", nullptr, false, nullptr},
    {"HR", "EMP_PK", "INDEX", nullptr, "USERS", 16, 1.0, "DEFAULT", nullptr, false, nullptr},
    {"HR", "DEPARTMENTS", "TABLE", nullptr, "USERS", 8, 1.0, "DEFAULT", nullptr, false, nullptr},
    {"HR", "DEPT_PK", "INDEX", nullptr, "USERS", 8, 0.5, "DEFAULT", nullptr, false, nullptr},
    {"HR", "JOB_HISTORY", "TABLE", nullptr, "USERS", 64, 0.0, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "INVOICES", "TABLE", nullptr, "APP_DATA", 7000, 0.09, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "INVOICES_PK", "INDEX", nullptr, "APP_INDEX", 1500, 0.2, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "INVOICE_DOCS", "TABLE", nullptr, "APP_DATA", 400, 0.2, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "SYS_LOB0000074633C00004$$", "LOB", "LOBSEGMENT", "APP_LOB", 9000, 0.02, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "SYS_IL0000074633C00004$$", "INDEX", "LOBINDEX", "APP_LOB", 24, 0.8, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "PAYMENTS", "TABLE", nullptr, "APP_DATA", 3000, 0.04, "RECYCLE", nullptr, false, nullptr},
    {"BILLING", "PAYMENTS_PK", "INDEX", nullptr, "APP_INDEX", 700, 0.06, "RECYCLE", nullptr, false, nullptr},
    {"INVENTORY", "WAREHOUSES", "TABLE", nullptr, "USERS", 8, 1.0, "DEFAULT", nullptr, false, nullptr},
    {"INVENTORY", "STOCK_LEVELS", "TABLE", nullptr, "APP_DATA", 900, 0.4, "DEFAULT", nullptr, false, nullptr},
    {"INVENTORY", "STOCK_LEVELS_PK", "INDEX", nullptr, "APP_INDEX", 200, 0.6, "DEFAULT", nullptr, false, nullptr},
    {"INVENTORY", "STOCK_MOVES", "TABLE", nullptr, "APP_DATA", 2500, 0.1, "DEFAULT", "Q2026_1,Q2026_2,Q2026_3,Q2026_4",
     false, nullptr},
    {"INVENTORY", "STOCK_MOVES_PK", "INDEX", nullptr, "APP_INDEX", 1600, 0.08, "DEFAULT", nullptr, false, nullptr},
    // Added later: the other ways of partitioning, and names that need quoting.
    {"SALES", "SHIPMENTS", "TABLE", nullptr, "APP_DATA", 900, 0.15, "DEFAULT", "P_EUROPE,P_AMERICAS,P_ASIA,P_OTHER",
     false, nullptr},
    {"SALES", "SHIPMENTS_PK", "INDEX", nullptr, "APP_INDEX", 220, 0.3, "DEFAULT", nullptr, false, nullptr},
    {"SALES", "SHIPMENTS_CARRIER_BIX", "INDEX", nullptr, "APP_INDEX", 16, 0.2, "DEFAULT",
     "P_EUROPE,P_AMERICAS,P_ASIA,P_OTHER", false, nullptr},
    {"BILLING", "LEDGER_ENTRIES", "TABLE", nullptr, "APP_DATA", 1400, 0.05, "DEFAULT",
     "LEDGER_P1,LEDGER_P2,LEDGER_P3,LEDGER_P4", false, nullptr},
    {"BILLING", "LEDGER_ENTRIES_PK", "INDEX", nullptr, "APP_INDEX", 500, 0.1, "DEFAULT", nullptr, false, nullptr},
    {"BILLING", "CALL_RECORDS", "TABLE", nullptr, "APP_DATA", 300, 0.04, "DEFAULT", "P2026_Q2,P2026_Q3,P2026_Q4", false,
     "EU,US,REST"},
    {"BILLING", "CALL_RECORDS_IX", "INDEX", nullptr, "APP_INDEX", 64, 0.05, "DEFAULT", "P2026_Q2,P2026_Q3,P2026_Q4", false,
     "EU,US,REST"},
    {"HR", "LeaveRequests", "TABLE", nullptr, "USERS", 16, 0.3, "DEFAULT", nullptr, false, nullptr},
    {"HR", "SYS_C0014021", "INDEX", nullptr, "USERS", 8, 0.5, "DEFAULT", nullptr, false, nullptr},
    {"HR", "EMP_NAME_UPPER_IX", "INDEX", nullptr, "USERS", 16, 0.4, "DEFAULT", nullptr, false, nullptr},
    {"LEGACY", "O'BRIEN_IMPORT", "TABLE", nullptr, "USERS", 40, 0.0, "DEFAULT", nullptr, false, nullptr},
    // For the segment screens: a composite-partitioned table with its local index, a quote in
    // a name, and a table and an index that share one name.
    {"SALES", "SALES_HISTORY", "TABLE", nullptr, "APP_DATA", 640, 0.1, "DEFAULT", "H2025_2,H2026_1,H2026_2", false,
     "EAST,WEST,OTHER"},
    {"SALES", "SALES_HISTORY_IX", "INDEX", nullptr, "APP_INDEX", 128, 0.2, "DEFAULT", "H2025_2,H2026_1,H2026_2", false,
     "EAST,WEST,OTHER"},
    {"BILLING", "O'NEILL_ACCOUNTS", "TABLE", nullptr, "USERS", 48, 0.3, "DEFAULT", nullptr, false, nullptr},
    {"INVENTORY", "STOCK_AUDIT", "TABLE", nullptr, "APP_DATA", 700, 0.15, "DEFAULT", nullptr, false, nullptr},
    {"INVENTORY", "STOCK_AUDIT", "INDEX", nullptr, "APP_INDEX", 160, 0.35, "DEFAULT", nullptr, false, nullptr},
    // Added last, so that the segments above keep their places: the index of the orders'
    // foreign key, and the table of the orders' changes.
    {"SALES", "ORDERS_CUST_IX", "INDEX", nullptr, "APP_INDEX", 900, 0.3, "DEFAULT", nullptr, false, nullptr},
    {"SALES", "ORDER_AUDIT", "TABLE", nullptr, "APP_DATA", 320, 0.02, "DEFAULT", nullptr, false, nullptr},
    // The table that holds the materialized view's rows, of its name, as Oracle creates it.
    {"SALES", "MV_DAILY_SALES", "TABLE", nullptr, "APP_DATA", 180, 0.2, "DEFAULT", nullptr, false, nullptr},
};

// Objects without a segment of their own, of every kind the dictionary lists.
const char *const kPlainObjects[][3] = {
    {"SALES", "ORDER_SUMMARY_V", "VIEW"},
    {"HR", "EMP_DETAILS_V", "VIEW"},
    {"BILLING", "INVOICE_PKG", "PACKAGE"},
    {"BILLING", "INVOICE_PKG", "PACKAGE BODY"},
    {"BILLING", "OPEN_INVOICES_V", "VIEW"},
    {"INVENTORY", "STOCK_POSITION_V", "VIEW"},
    {"SALES", "MV_DAILY_SALES", "MATERIALIZED VIEW"},
    {"SALES", "ORDERS_SEQ", "SEQUENCE"},
    {"HR", "EMPLOYEES_SEQ", "SEQUENCE"},
    {"HR", "DEPARTMENTS_SEQ", "SEQUENCE"},
    {"BILLING", "INVOICE_SEQ", "SEQUENCE"},
    {"SALES", "ORDER_TOTAL", "FUNCTION"},
    {"BILLING", "TAX_AMOUNT", "FUNCTION"},
    {"HR", "ADD_JOB_HISTORY", "PROCEDURE"},
    {"SALES", "LOG_ORDER_CHANGE", "PROCEDURE"},
    {"INVENTORY", "STOCK_API", "PACKAGE"},
    {"INVENTORY", "STOCK_API", "PACKAGE BODY"},
    {"HR", "UPDATE_JOB_HISTORY", "TRIGGER"},
    {"SALES", "ORDERS_BIU", "TRIGGER"},
    {"SALES", "LOG_ORDER_CHANGE", "TRIGGER"},
    {"SALES", "ADDRESS_T", "TYPE"},
    {"PUBLIC", "DUAL", "SYNONYM"},
    {"PUBLIC", "EMPLOYEES", "SYNONYM"},
    {"SALES", "EMP", "SYNONYM"},
    {"BILLING", "CUSTOMERS", "SYNONYM"},
    {"INVENTORY", "REMOTE_STOCK", "SYNONYM"},
    {"SYS", "DATA_PUMP_DIR", "DIRECTORY"},
    {"SYS", "BILLING_EXPORT_DIR", "DIRECTORY"},
    {"SYS", "OPATCH_LOG_DIR", "DIRECTORY"},
    {"SYS", "PURGE_LOG_PROG", "PROGRAM"},
    {"SYS", "GATHER_STATS_PROG", "PROGRAM"},
    {"BILLING", "INVOICE_MAIL_PROG", "PROGRAM"},
    {"BILLING", "INVOICE_RUN_PROG", "PROGRAM"},
    {"SYS", "PURGE_LOG", "JOB"},
    {"SALES", "NIGHTLY_ORDER_ROLLUP", "JOB"},
    {"BILLING", "MONTHLY_INVOICE_RUN", "JOB"},
    {"INVENTORY", "STOCK_EVENT_JOB", "JOB"},
    {"SYS", "DEFAULT_JOB_CLASS", "JOB CLASS"},
    {"SYS", "DAILY_PURGE_SCHEDULE", "SCHEDULE"},
    // Added last, so that the objects above keep their ids.
    {"INVENTORY", "STOCK_MOVES_SEQ", "SEQUENCE"},
};

bool isDictionaryOwner(const QString &owner)
{
    return owner == QLatin1String("SYS") || owner == QLatin1String("SYSTEM") || owner == QLatin1String("OUTLN");
}

// Extent sizes of a locally managed tablespace with system allocation.
qint64 extentBlocks(int extentId)
{
    return extentId < 16 ? 8 : (extentId < 79 ? 128 : 1024);
}

} // namespace

qint64 StorageLayout::Segment::blocks() const
{
    qint64 n = 0;
    for (const Extent &e : extents)
        n += e.blocks;
    return n;
}

StorageLayout::StorageLayout(Model &)
{
    for (const TablespaceSpec &t : kTablespaces)
        tablespaces_.push_back({t.number, QString::fromLatin1(t.name), QString::fromLatin1(t.contents), t.bigfile});
    for (const int id : kTempFileIds)
        tempFiles_.push_back({id, QStringLiteral("TEMP")});
    // Each tablespace's files, and where each file's free space starts.
    std::map<QString, std::vector<int>> tablespaceFiles;
    QHash<int, qint64> nextBlock;
    for (const FileSpec &f : kFiles) {
        files_.push_back({f.fileId, QString::fromLatin1(f.tablespace)});
        tablespaceFiles[files_.back().tablespace].push_back(f.fileId);
        nextBlock.insert(f.fileId, f.firstFreeBlock);
    }
    std::map<QString, size_t> nextFileOf;
    auto allocate = [&](Segment &s, qint64 wanted) {
        const std::vector<int> &onFiles = tablespaceFiles.at(s.tablespace);
        size_t &turn = nextFileOf[s.tablespace];
        for (int id = 0; s.blocks() < wanted || s.extents.empty(); ++id) {
            const int file = onFiles[turn++ % onFiles.size()];
            qint64 &at = nextBlock[file];
            s.extents.push_back({id, file, at, extentBlocks(id)});
            at += extentBlocks(id);
        }
    };

    qint64 nextDictionaryId = 18;
    qint64 nextId = 74500;
    auto newObject = [&](const QString &owner, const QString &name, const QString &subobject, const QString &type,
                         bool segment, bool moved) -> DbObject & {
        qint64 &counter = isDictionaryOwner(owner) ? nextDictionaryId : nextId;
        const qint64 id = counter;
        counter += isDictionaryOwner(owner) ? 7 : 1;
        objects_.push_back({owner, name, subobject, type, id, segment ? (moved ? id + 12000 : id) : 0, QString()});
        return objects_.back();
    };

    auto addSegment = [&](const SegmentSpec &spec, const DbObject &o, const QString &type, qint64 wanted,
                          double cached) {
        Segment s;
        s.owner = o.owner;
        s.name = o.name;
        s.partition = o.subobject;
        s.type = spec.segmentType ? QString::fromLatin1(spec.segmentType) : type;
        s.tablespace = QString::fromLatin1(spec.tablespace);
        s.bufferPool = QString::fromLatin1(spec.pool);
        s.dataObjectId = o.dataObjectId;
        allocate(s, std::max<qint64>(8, wanted));
        s.cachedShare = cached;
        segments_.push_back(std::move(s));
    };
    for (const SegmentSpec &spec : kSegments) {
        const QString owner = QString::fromLatin1(spec.owner);
        const QString name = QString::fromLatin1(spec.name);
        const QString objectType = QString::fromLatin1(spec.objectType);
        const QStringList parts =
            spec.partitions ? QString::fromLatin1(spec.partitions).split(QLatin1Char(',')) : QStringList{QString()};
        const QStringList subs =
            spec.subpartitions ? QString::fromLatin1(spec.subpartitions).split(QLatin1Char(',')) : QStringList();
        if (spec.partitions)
            newObject(owner, name, QString(), objectType, false, false);
        for (qsizetype p = 0; p < parts.size(); ++p) {
            const bool partition = !parts.at(p).isEmpty();
            const QString type = partition ? objectType + QStringLiteral(" PARTITION") : objectType;
            // Older partitions are smaller and colder than the newest.
            const double age = partition ? double(parts.size() - 1 - p) : 0;
            const qint64 wanted = qint64(double(spec.blocks) * (1.0 - 0.1 * age));
            const double cached = spec.cached / (1.0 + age);
            if (subs.isEmpty()) {
                const DbObject &o = newObject(owner, name, parts.at(p), type, true, spec.moved);
                addSegment(spec, o, type, wanted, cached);
                continue;
            }
            newObject(owner, name, parts.at(p), type, false, false);
            const QString subType = objectType + QStringLiteral(" SUBPARTITION");
            for (qsizetype k = 0; k < subs.size(); ++k) {
                DbObject &o = newObject(owner, name, parts.at(p) + QLatin1Char('_') + subs.at(k), subType, true,
                                        spec.moved);
                o.partitionOfSub = parts.at(p);
                // The last list value (the default) gathers the fewest rows.
                addSegment(spec, o, subType, k + 1 == subs.size() ? wanted / 4 : wanted, cached);
            }
        }
    }
    for (const auto &o : kPlainObjects)
        newObject(QString::fromLatin1(o[0]), QString::fromLatin1(o[1]), QString(), QString::fromLatin1(o[2]), false,
                  false);

    for (size_t i = 0; i < objects_.size(); ++i)
        if (objects_[i].dataObjectId != 0)
            byDataObjectId_.emplace(objects_[i].dataObjectId, i);
}

std::vector<const StorageLayout::DbObject *> StorageLayout::objectsWithDataObjectId(qint64 id) const
{
    std::vector<const DbObject *> out;
    const auto [first, last] = byDataObjectId_.equal_range(id);
    for (auto it = first; it != last; ++it)
        out.push_back(&objects_[it->second]);
    return out;
}

} // namespace tavimond::sim
