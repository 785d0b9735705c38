// The tables and indexes of the simulated dictionary: what each table holds (its
// columns, keys, checks and partitioning) and the statistics gathered on it, sized from
// the segments of the storage layout.
#include "dictionary_model.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace tavimond::sim {
namespace {

// Columns: entries separated by ";", fields by "|": name, type, then flags: NN (not
// null), INV (invisible), D:<default text>, H:<histogram>, V:<values a frequency
// histogram of a character column names>.
// Constraints: entries separated by ";": P|name|columns, U|name|columns,
// R|name|columns|owner.key, C|name|condition, each optionally followed by |DISABLED,
// |DEFERRABLE or |DEFERRED.
// Partitioning: "RANGE(col)", "LIST(col)", "HASH(col)" or "RANGE(col)/LIST(col)"; high
// values per partition separated by "|", "@yyyy-mm-dd" standing for a date bound.
struct TableSpec {
    const char *owner;
    const char *name;
    const char *columns;
    int avgRowLen;
    int analysedDaysAgo; // -1: statistics never gathered
    const char *options; // ANALYZE (statistics of the old ANALYZE command), COMPRESS, ROWMOVEMENT, CACHE
    const char *constraints;
    const char *partitioning;
    const char *highValues;
    const char *subHighValues;
};

const TableSpec kTables[] = {
    {"LEGACY", "CODE_LOOKUP",
     "CODE|VARCHAR2(10)|NN;DESCRIPTION|VARCHAR2(80);CATEGORY|CHAR(3)|H:FREQUENCY|V:ACC,INV,ORD,PAY;"
     "ACTIVE|CHAR(1)|D:'Y'",
     42, 912, "ANALYZE", "P|CODE_LOOKUP_PK|CODE;C|CODE_LOOKUP_ACTIVE_CK|ACTIVE IN ('Y','N')", nullptr, nullptr,
     nullptr},
    {"SYS", "OBJ$",
     "OBJ#|NUMBER|NN;DATAOBJ#|NUMBER;OWNER#|NUMBER|NN;NAME|VARCHAR2(128)|NN;NAMESPACE|NUMBER|NN;"
     "SUBNAME|VARCHAR2(128);TYPE#|NUMBER|NN|H:FREQUENCY;CTIME|DATE|NN;MTIME|DATE|NN;STIME|DATE|NN;"
     "STATUS|NUMBER|NN;FLAGS|NUMBER",
     98, 3, "", "", nullptr, nullptr, nullptr},
    {"SYS", "DEPENDENCY$",
     "D_OBJ#|NUMBER|NN;D_TIMESTAMP|DATE|NN;ORDER#|NUMBER|NN;P_OBJ#|NUMBER|NN;P_TIMESTAMP|DATE|NN;"
     "D_OWNER#|NUMBER;PROPERTY|NUMBER|NN",
     35, 3, "", "", nullptr, nullptr, nullptr},
    {"SYSTEM", "HELP", "TOPIC|VARCHAR2(50)|NN;SEQ|NUMBER|NN;INFO|VARCHAR2(80)", 60, 410, "", "", nullptr, nullptr,
     nullptr},
    {"OUTLN", "OL$",
     "OL_NAME|VARCHAR2(128);SQL_TEXT|LONG;TEXTLEN|NUMBER;SIGNATURE|RAW(16);HASH_VALUE|NUMBER;"
     "CATEGORY|VARCHAR2(128);VERSION|VARCHAR2(64);CREATOR|VARCHAR2(128);TIMESTAMP|DATE;FLAGS|NUMBER;"
     "HINTCOUNT|NUMBER",
     0, 800, "", "", nullptr, nullptr, nullptr},
    {"SALES", "ORDERS",
     "ORDER_ID|NUMBER(12)|NN;ORDER_DATE|DATE|NN|D:SYSDATE |H:HYBRID;CUSTOMER_ID|NUMBER(10)|NN|H:HEIGHT BALANCED;"
     "STATUS|VARCHAR2(10)|NN|D:'OPEN'|H:FREQUENCY|V:CANCELLED,CLOSED,OPEN,SHIPPED;"
     "CHANNEL|VARCHAR2(8)|H:FREQUENCY|V:PHONE,STORE,WEB;TOTAL_AMOUNT|NUMBER(12,2);CURRENCY|CHAR(3)|D:'EUR';"
     "CREATED_BY|VARCHAR2(30)|D:USER ",
     64, 1, "ROWMOVEMENT",
     "P|ORDERS_PK|ORDER_ID;R|ORDERS_CUSTOMER_FK|CUSTOMER_ID|SALES.CUSTOMERS_PK;"
     "C|ORDERS_STATUS_CK|STATUS IN ('OPEN','SHIPPED','CLOSED','CANCELLED')",
     "RANGE(ORDER_DATE)", "@2026-07-01|@2026-08-01|@2026-09-01|@2026-10-01|@2026-11-01|@2026-12-01", nullptr},
    {"SALES", "ORDER_LINES",
     "ORDER_ID|NUMBER(12)|NN;LINE_NO|NUMBER(4)|NN;PRODUCT_ID|NUMBER(10)|NN|H:HEIGHT BALANCED;"
     "QUANTITY|NUMBER(8)|NN|D:1;UNIT_PRICE|NUMBER(10,2)|NN;DISCOUNT_PCT|NUMBER(5,2)|D:0",
     31, 2, "",
     "P|ORDER_LINES_PK|ORDER_ID,LINE_NO;R|ORDER_LINES_ORDER_FK|ORDER_ID|SALES.ORDERS_PK;"
     "R|ORDER_LINES_PRODUCT_FK|PRODUCT_ID|SALES.PRODUCTS_PK;C|ORDER_LINES_QTY_CK|QUANTITY > 0",
     nullptr, nullptr, nullptr},
    {"SALES", "CUSTOMERS",
     "CUSTOMER_ID|NUMBER(10)|NN;NAME|VARCHAR2(100)|NN;EMAIL|VARCHAR2(120);"
     "COUNTRY|CHAR(2)|NN|H:FREQUENCY|V:DE,FR,GB,NL,US;SEGMENT|VARCHAR2(12)|D:'RETAIL';CREATED|DATE|NN|D:SYSDATE ",
     118, 4, "CACHE", "P|CUSTOMERS_PK|CUSTOMER_ID;C|CUSTOMERS_EMAIL_CK|EMAIL LIKE '%@%'|DISABLED", nullptr, nullptr,
     nullptr},
    {"SALES", "PRODUCTS",
     "PRODUCT_ID|NUMBER(10)|NN;SKU|VARCHAR2(20)|NN;NAME|VARCHAR2(80)|NN;"
     "CATEGORY|VARCHAR2(20)|H:FREQUENCY|V:BOOKS,GARDEN,HOME,TOYS;LIST_PRICE|NUMBER(10,2)",
     74, 6, "CACHE", "P|PRODUCTS_PK|PRODUCT_ID;U|PRODUCTS_SKU_UK|SKU|DISABLED", nullptr, nullptr, nullptr},
    {"HR", "EMPLOYEES",
     "EMPLOYEE_ID|NUMBER(6)|NN;FIRST_NAME|VARCHAR2(20);LAST_NAME|VARCHAR2(25)|NN;EMAIL|VARCHAR2(25)|NN;"
     "HIRE_DATE|DATE|NN|D:SYSDATE ;JOB_ID|VARCHAR2(10)|NN|H:FREQUENCY|V:AD_PRES,IT_PROG,SA_MAN,SA_REP,ST_CLERK;"
     "SALARY|NUMBER(8,2);DEPARTMENT_ID|NUMBER(4)|H:FREQUENCY;BADGE_NO|NUMBER(6)|INV",
     69, 1, "", "P|EMP_PK|EMPLOYEE_ID;R|EMP_DEPT_FK|DEPARTMENT_ID|HR.DEPT_PK;C|EMP_SALARY_MIN|SALARY > 0", nullptr,
     nullptr, nullptr},
    {"HR", "DEPARTMENTS",
     "DEPARTMENT_ID|NUMBER(4)|NN;DEPARTMENT_NAME|VARCHAR2(30)|NN;MANAGER_ID|NUMBER(6);LOCATION_ID|NUMBER(4)", 21, 9, "",
     "P|DEPT_PK|DEPARTMENT_ID;R|DEPT_MGR_FK|MANAGER_ID|HR.EMP_PK|DEFERRED", nullptr, nullptr, nullptr},
    {"HR", "JOB_HISTORY",
     "EMPLOYEE_ID|NUMBER(6)|NN;START_DATE|DATE|NN;END_DATE|DATE|NN;JOB_ID|VARCHAR2(10)|NN;DEPARTMENT_ID|NUMBER(4)", 33,
     9, "", "R|JHIST_EMP_FK|EMPLOYEE_ID|HR.EMP_PK;C|JHIST_DATE_INTERVAL|end_date > start_date|DEFERRABLE", nullptr,
     nullptr, nullptr},
    {"BILLING", "INVOICES",
     "INVOICE_ID|NUMBER(12)|NN;CUSTOMER_ID|NUMBER(10)|NN;ORDER_ID|NUMBER(12);ISSUED|DATE|NN|D:TRUNC(SYSDATE) ;"
     "DUE|DATE|NN;AMOUNT|NUMBER(12,2)|NN;STATUS|VARCHAR2(8)|NN|D:'ISSUED'|H:FREQUENCY|V:ISSUED,OVERDUE,PAID,VOID",
     52, 2, "", "P|INVOICES_PK|INVOICE_ID;C|INVOICES_DUE_CK|DUE >= ISSUED", nullptr, nullptr, nullptr},
    {"BILLING", "INVOICE_DOCS",
     "INVOICE_ID|NUMBER(12)|NN;DOC_TYPE|VARCHAR2(10)|NN;FILE_NAME|VARCHAR2(200);PDF|BLOB;"
     "CREATED|TIMESTAMP(6)|D:SYSTIMESTAMP ",
     140, 5, "", "R|INVOICE_DOCS_INVOICE_FK|INVOICE_ID|BILLING.INVOICES_PK", nullptr, nullptr, nullptr},
    {"BILLING", "PAYMENTS",
     "PAYMENT_ID|NUMBER(12)|NN;INVOICE_ID|NUMBER(12)|NN;PAID_ON|DATE|NN;AMOUNT|NUMBER(12,2)|NN;"
     "METHOD|VARCHAR2(10)|H:FREQUENCY|V:CARD,CASH,SEPA,WIRE",
     38, 3, "", "P|PAYMENTS_PK|PAYMENT_ID;R|PAYMENTS_INVOICE_FK|INVOICE_ID|BILLING.INVOICES_PK", nullptr, nullptr,
     nullptr},
    {"INVENTORY", "WAREHOUSES", "WAREHOUSE_ID|NUMBER(4)|NN;NAME|VARCHAR2(40)|NN;CITY|VARCHAR2(40)", 36, 30, "", "",
     nullptr, nullptr, nullptr},
    {"INVENTORY", "STOCK_LEVELS",
     "WAREHOUSE_ID|NUMBER(4)|NN;PRODUCT_ID|NUMBER(10)|NN;ON_HAND|NUMBER(10)|NN|D:0;RESERVED|NUMBER(10)|NN|D:0;"
     "UPDATED|DATE",
     27, 1, "", "P|STOCK_LEVELS_PK|WAREHOUSE_ID,PRODUCT_ID", nullptr, nullptr, nullptr},
    {"INVENTORY", "STOCK_MOVES",
     "MOVE_ID|NUMBER(14)|NN;MOVED_AT|DATE|NN;WAREHOUSE_ID|NUMBER(4)|NN;PRODUCT_ID|NUMBER(10)|NN;"
     "QUANTITY|NUMBER(10)|NN;REASON|VARCHAR2(12)|H:FREQUENCY|V:ADJUST,RECEIPT,RETURN,SALE",
     41, 2, "", "P|STOCK_MOVES_PK|MOVE_ID", "RANGE(MOVED_AT)", "@2026-04-01|@2026-07-01|@2026-10-01|@2027-01-01",
     nullptr},
    {"SALES", "SHIPMENTS",
     "SHIPMENT_ID|NUMBER(12)|NN;ORDER_ID|NUMBER(12)|NN;COUNTRY|CHAR(2)|NN;"
     "CARRIER|VARCHAR2(10)|H:FREQUENCY|V:DHL,FEDEX,UPS;SHIPPED_ON|DATE",
     46, 1, "ROWMOVEMENT", "P|SHIPMENTS_PK|SHIPMENT_ID;R|SHIPMENTS_ORDER_FK|ORDER_ID|SALES.ORDERS_PK", "LIST(COUNTRY)",
     "'DE', 'FR', 'GB', 'NL'|'US', 'CA', 'BR'|'JP', 'CN', 'IN'|DEFAULT", nullptr},
    {"BILLING", "LEDGER_ENTRIES",
     "ENTRY_ID|NUMBER(14)|NN;ACCOUNT_NO|VARCHAR2(12)|NN;POSTED|DATE|NN;DEBIT|NUMBER(14,2)|D:0;"
     "CREDIT|NUMBER(14,2)|D:0",
     44, 7, "COMPRESS", "P|LEDGER_ENTRIES_PK|ENTRY_ID", "HASH(ENTRY_ID)", nullptr, nullptr},
    {"BILLING", "CALL_RECORDS",
     "CALL_ID|NUMBER(14)|NN;CALL_START|DATE|NN;REGION|VARCHAR2(4)|NN;DURATION_S|NUMBER(8);COST|NUMBER(10,4)", 35, 1, "",
     "", "RANGE(CALL_START)/LIST(REGION)", "@2026-07-01|@2026-10-01|@2027-01-01", "'EU'|'US'|DEFAULT"},
    {"HR", "LeaveRequests",
     "RequestId|NUMBER(10)|NN;EMPLOYEE_ID|NUMBER(6)|NN;FromDate|DATE|NN;ToDate|DATE|NN;"
     "Status|VARCHAR2(10)|D:'PENDING'|H:FREQUENCY|V:APPROVED,PENDING,REJECTED",
     40, 3, "",
     "P|SYS_C0014021|RequestId;R|LeaveRequests_EMP_FK|EMPLOYEE_ID|HR.EMP_PK;"
     "C|LeaveRequests_Dates_CK|\"ToDate\" >= \"FromDate\"",
     nullptr, nullptr, nullptr},
    {"LEGACY", "O'BRIEN_IMPORT", "LINE_NO|NUMBER;RAW_TEXT|VARCHAR2(4000);LOADED|DATE|D:SYSDATE ", 0, -1, "", "",
     nullptr, nullptr, nullptr},
    {"SALES", "SALES_HISTORY",
     "SALE_ID|NUMBER(14)|NN;SOLD_ON|DATE|NN;REGION|VARCHAR2(8)|NN|H:FREQUENCY|V:EAST,NORTH,SOUTH,WEST;"
     "PRODUCT_ID|NUMBER(10)|NN;QUANTITY|NUMBER(8);AMOUNT|NUMBER(12,2)",
     48, 2, "", "", "RANGE(SOLD_ON)/LIST(REGION)", "@2026-01-01|@2026-07-01|@2027-01-01", "'EAST'|'WEST'|DEFAULT"},
    {"BILLING", "O'NEILL_ACCOUNTS",
     "ACCOUNT_NO|VARCHAR2(12)|NN;HOLDER|VARCHAR2(80)|NN;OPENED|DATE|NN;BALANCE|NUMBER(14,2)|D:0", 61, 12, "",
     "C|O'NEILL_ACCOUNTS_BALANCE_CK|BALANCE >= 0", nullptr, nullptr, nullptr},
    {"INVENTORY", "STOCK_AUDIT",
     "AUDIT_ID|NUMBER(14)|NN;AUDITED_AT|DATE|NN|D:SYSDATE ;WAREHOUSE_ID|NUMBER(4)|NN;PRODUCT_ID|NUMBER(10)|NN;"
     "COUNTED|NUMBER(10);BOOKED|NUMBER(10)",
     39, 4, "", "R|STOCK_AUDIT_LEVEL_FK|WAREHOUSE_ID,PRODUCT_ID|INVENTORY.STOCK_LEVELS_PK", nullptr, nullptr, nullptr},
    // What SALES.LOG_ORDER_CHANGE writes: a row per change of the orders, the statement
    // trigger's without an order.
    {"SALES", "ORDER_AUDIT",
     "ORDER_ID|NUMBER(12);ACTION|VARCHAR2(10)|NN;CHANGED_BY|VARCHAR2(30)|NN|D:USER ;CHANGED_AT|DATE|NN|D:SYSDATE ", 29,
     1, "", "", nullptr, nullptr, nullptr},
    // The materialized view's own table, filled by the nightly refresh: a day's sales of each product.
    {"SALES", "MV_DAILY_SALES", "SALE_DAY|DATE;PRODUCT_ID|NUMBER(10)|NN;QUANTITY|NUMBER;AMOUNT|NUMBER", 24, 1, "", "",
     nullptr, nullptr, nullptr},
};

// Key: comma-separated column names, " DESC" after a descending one, or "=" and the
// expression of a function-based index. Kind: UNIQUE, NONUNIQUE, BITMAP, FUNCTION, LOB.
struct IndexSpec {
    const char *owner;
    const char *name;
    const char *tableOwner;
    const char *tableName;
    const char *key;
    const char *kind;
    bool local;
    int compressPrefix; // leading key columns compressed; 0: none
};

const IndexSpec kIndexes[] = {
    {"LEGACY", "CODE_LOOKUP_PK", "LEGACY", "CODE_LOOKUP", "CODE", "UNIQUE", false, 0},
    {"SYS", "I_OBJ1", "SYS", "OBJ$", "OBJ#", "UNIQUE", false, 0},
    {"SYS", "I_OBJ2", "SYS", "OBJ$", "OWNER#,NAME,NAMESPACE,TYPE#,SUBNAME", "UNIQUE", false, 2},
    {"SALES", "ORDERS_PK", "SALES", "ORDERS", "ORDER_ID", "UNIQUE", false, 0},
    {"SALES", "ORDERS_DATE_IX", "SALES", "ORDERS", "ORDER_DATE", "NONUNIQUE", true, 0},
    // The index of the orders' foreign key, by which the application finds a customer's orders.
    {"SALES", "ORDERS_CUST_IX", "SALES", "ORDERS", "CUSTOMER_ID", "NONUNIQUE", false, 0},
    {"SALES", "ORDER_LINES_PK", "SALES", "ORDER_LINES", "ORDER_ID,LINE_NO", "UNIQUE", false, 1},
    {"SALES", "ORDER_LINES_PROD_IX", "SALES", "ORDER_LINES", "PRODUCT_ID", "NONUNIQUE", false, 0},
    {"SALES", "CUSTOMERS_PK", "SALES", "CUSTOMERS", "CUSTOMER_ID", "UNIQUE", false, 0},
    {"SALES", "PRODUCTS_PK", "SALES", "PRODUCTS", "PRODUCT_ID", "UNIQUE", false, 0},
    {"HR", "EMP_PK", "HR", "EMPLOYEES", "EMPLOYEE_ID", "UNIQUE", false, 0},
    {"HR", "DEPT_PK", "HR", "DEPARTMENTS", "DEPARTMENT_ID", "UNIQUE", false, 0},
    {"BILLING", "INVOICES_PK", "BILLING", "INVOICES", "INVOICE_ID", "UNIQUE", false, 0},
    {"BILLING", "SYS_IL0000074633C00004$$", "BILLING", "INVOICE_DOCS", "", "LOB", false, 0},
    {"BILLING", "PAYMENTS_PK", "BILLING", "PAYMENTS", "PAYMENT_ID", "UNIQUE", false, 0},
    {"INVENTORY", "STOCK_LEVELS_PK", "INVENTORY", "STOCK_LEVELS", "WAREHOUSE_ID,PRODUCT_ID", "UNIQUE", false, 0},
    {"INVENTORY", "STOCK_MOVES_PK", "INVENTORY", "STOCK_MOVES", "MOVE_ID DESC", "UNIQUE", false, 0},
    {"SALES", "SHIPMENTS_PK", "SALES", "SHIPMENTS", "SHIPMENT_ID", "UNIQUE", false, 0},
    {"SALES", "SHIPMENTS_CARRIER_BIX", "SALES", "SHIPMENTS", "CARRIER", "BITMAP", true, 0},
    {"BILLING", "LEDGER_ENTRIES_PK", "BILLING", "LEDGER_ENTRIES", "ENTRY_ID", "UNIQUE", false, 0},
    {"BILLING", "CALL_RECORDS_IX", "BILLING", "CALL_RECORDS", "CALL_START,REGION", "NONUNIQUE", true, 0},
    {"HR", "SYS_C0014021", "HR", "LeaveRequests", "RequestId", "UNIQUE", false, 0},
    {"HR", "EMP_NAME_UPPER_IX", "HR", "EMPLOYEES", "=UPPER(\"LAST_NAME\")", "FUNCTION", false, 0},
    {"SALES", "SALES_HISTORY_IX", "SALES", "SALES_HISTORY", "SOLD_ON,REGION", "NONUNIQUE", true, 0},
    // An index named as the table it serves.
    {"INVENTORY", "STOCK_AUDIT", "INVENTORY", "STOCK_AUDIT", "AUDITED_AT", "NONUNIQUE", false, 0},
};

QString key(const QString &owner, const QString &name)
{
    return owner + QLatin1Char('.') + name;
}

QString n(qint64 v)
{
    return QString::number(v);
}

// "TO_DATE(' 2026-07-01 00:00:00', ...)": the text Oracle keeps as a date bound.
QString highValueText(const QString &spec)
{
    if (!spec.startsWith(QLatin1Char('@')))
        return spec;
    return QStringLiteral("TO_DATE(' %1 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')")
        .arg(spec.mid(1));
}

// Statistics gathered a number of days before the clock's start, in the nightly window.
QString analysedAt(const QDateTime &start, int daysAgo, quint32 salt)
{
    const QDateTime t =
        QDateTime(start.date().addDays(-daysAgo), QTime(22, 0, 0), Qt::UTC).addSecs(qint64(salt % 3000));
    return dictionaryDate(t);
}

DictionaryModel::Column parseColumn(const QString &text, int internalId, int &visibleId)
{
    DictionaryModel::Column c;
    const QStringList f = text.split(QLatin1Char('|'));
    c.name = f.value(0);
    c.internalId = internalId;
    const QString type = f.value(1);
    static const QRegularExpression rx(QStringLiteral("^([A-Z0-9_]+)(?:\\((\\d+)(?:,(\\d+))?\\))?$"));
    const QRegularExpressionMatch m = rx.match(type);
    const QString base = m.captured(1);
    c.dataType = base;
    c.nullable = QStringLiteral("Y");
    c.histogram = QStringLiteral("NONE");
    if (base == QLatin1String("NUMBER")) {
        c.dataLength = QStringLiteral("22");
        if (m.hasCaptured(2)) {
            c.dataPrecision = m.captured(2);
            c.dataScale = m.hasCaptured(3) ? m.captured(3) : QStringLiteral("0");
        }
    } else if (base == QLatin1String("DATE")) {
        c.dataLength = QStringLiteral("7");
        c.date = true;
    } else if (base == QLatin1String("TIMESTAMP")) {
        c.dataType = type;
        c.dataLength = QStringLiteral("11");
        c.dataScale = m.captured(2);
        c.date = true;
    } else if (base == QLatin1String("BLOB") || base == QLatin1String("CLOB")) {
        c.dataLength = QStringLiteral("4000");
    } else if (base == QLatin1String("LONG")) {
        c.dataLength = QStringLiteral("0");
    } else {
        c.dataLength = m.captured(2);
        c.character = base != QLatin1String("RAW");
    }
    bool invisible = false;
    for (qsizetype i = 2; i < f.size(); ++i) {
        const QString &flag = f.at(i);
        if (flag == QLatin1String("NN"))
            c.nullable = QStringLiteral("N");
        else if (flag == QLatin1String("INV"))
            invisible = true;
        else if (flag.startsWith(QLatin1String("D:")))
            c.dataDefault = flag.mid(2);
        else if (flag.startsWith(QLatin1String("H:")))
            c.histogram = flag.mid(2);
        else if (flag.startsWith(QLatin1String("V:")))
            c.frequentValues = flag.mid(2).split(QLatin1Char(','));
    }
    // Invisible columns have no column_id, and the database lists them all the same.
    c.columnId = invisible ? QString() : n(++visibleId);
    return c;
}

DictionaryModel::Constraint parseConstraint(const QString &text, const QString &owner)
{
    DictionaryModel::Constraint c;
    const QStringList f = text.split(QLatin1Char('|'));
    c.type = f.value(0);
    c.name = f.value(1);
    c.status = QStringLiteral("ENABLED");
    c.deferrable = QStringLiteral("NOT DEFERRABLE");
    c.deferred = QStringLiteral("IMMEDIATE");
    c.validated = QStringLiteral("VALIDATED");
    c.generated =
        c.name.startsWith(QLatin1String("SYS_C")) ? QStringLiteral("GENERATED NAME") : QStringLiteral("USER NAME");
    qsizetype flagsFrom = 3;
    if (c.type == QLatin1String("C")) {
        c.searchCondition = f.value(2);
    } else {
        c.columns = f.value(2).split(QLatin1Char(','));
        if (c.type == QLatin1String("R")) {
            const QStringList target = f.value(3).split(QLatin1Char('.'));
            c.rOwner = target.value(0);
            c.rConstraintName = target.value(1);
            c.deleteRule = QStringLiteral("NO ACTION");
            flagsFrom = 4;
        } else {
            c.indexName = c.name;
        }
    }
    for (qsizetype i = flagsFrom; i < f.size(); ++i) {
        if (f.at(i) == QLatin1String("DISABLED")) {
            c.status = QStringLiteral("DISABLED");
            c.validated = QStringLiteral("NOT VALIDATED");
        } else if (f.at(i) == QLatin1String("DEFERRABLE")) {
            c.deferrable = QStringLiteral("DEFERRABLE");
        } else if (f.at(i) == QLatin1String("DEFERRED")) {
            c.deferrable = QStringLiteral("DEFERRABLE");
            c.deferred = QStringLiteral("DEFERRED");
        }
    }
    Q_UNUSED(owner);
    return c;
}

// The storage attributes of an unpartitioned table or index: a system tablespace is
// managed by free lists, the application tablespaces automatically.
DictionaryModel::SegmentAttributes segmentAttributes(const StorageLayout::Segment *own, const QString &iniTrans,
                                                     bool table)
{
    DictionaryModel::SegmentAttributes a;
    a.tablespace = own ? own->tablespace : QString();
    a.logging = QStringLiteral("YES");
    a.pctFree = QStringLiteral("10");
    a.iniTrans = iniTrans;
    a.maxTrans = QStringLiteral("255");
    a.initialExtent = QStringLiteral("65536");
    a.nextExtent = QStringLiteral("1048576");
    a.minExtents = QStringLiteral("1");
    a.maxExtents = QStringLiteral("2147483645");
    if (own && own->tablespace == QLatin1String("SYSTEM")) {
        if (table)
            a.pctUsed = QStringLiteral("40");
        a.pctIncrease = QStringLiteral("0");
        a.freelists = QStringLiteral("1");
        a.freelistGroups = QStringLiteral("1");
    }
    return a;
}

// A partition or a subpartition, stored in its segment; a partition whose
// subpartitions hold its rows has none.
DictionaryModel::Partition piece(const QString &name, const QString &parent, int position, const QString &highValue,
                                 const QString &compression, const QString &iniTrans,
                                 const StorageLayout::Segment *segment)
{
    DictionaryModel::Partition p;
    p.name = name;
    p.parent = parent;
    p.position = position;
    p.highValue = highValue;
    p.compression = compression;
    p.iniTrans = iniTrans;
    p.maxTrans = QStringLiteral("255");
    p.pctFree = QStringLiteral("10");
    p.logging = QStringLiteral("YES");
    p.tablespace = segment ? segment->tablespace : QString();
    p.bufferPool = segment ? segment->bufferPool : QStringLiteral("DEFAULT");
    return p;
}

// Blocks below the high-water mark of a segment of `blocks` blocks.
qint64 usedBlocks(qint64 blocks)
{
    return std::max<qint64>(1, blocks - std::max<qint64>(3, blocks / 16));
}

} // namespace

QString dictionaryDate(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime DictionaryModel::clockStart() const
{
    return Model::start();
}

const DictionaryModel::Column *DictionaryModel::TableDef::column(const QString &name) const
{
    for (const Column &c : columns)
        if (c.name == name)
            return &c;
    return nullptr;
}

void DictionaryModel::buildTables(Model &model)
{
    const QDateTime start = clockStart();
    // Segments by owner.name and partition.
    QHash<QString, const StorageLayout::Segment *> segmentOf;
    for (const StorageLayout::Segment &s : layout_.segments())
        segmentOf.insert(key(s.owner, s.name) + QLatin1Char('/') + s.partition, &s);

    int nextSystemConstraint = 11093;
    for (const TableSpec &spec : kTables) {
        TableDef t;
        t.owner = QString::fromUtf8(spec.owner);
        t.name = QString::fromUtf8(spec.name);
        const quint32 salt = qHash(key(t.owner, t.name), 0);
        QRandomGenerator rng = model.random(0xd1c7000 + salt);
        const QString options = QString::fromLatin1(spec.options);
        const bool analyse = options.contains(QLatin1String("ANALYZE"));
        const bool analysed = spec.analysedDaysAgo >= 0;

        int visible = 0;
        const QStringList columnSpecs = QString::fromUtf8(spec.columns).split(QLatin1Char(';'));
        for (qsizetype i = 0; i < columnSpecs.size(); ++i)
            t.columns.push_back(parseColumn(columnSpecs.at(i), int(i) + 1, visible));

        // Where the table lies: a system tablespace is managed by free lists, the
        // application tablespaces automatically.
        const StorageLayout::Segment *own = segmentOf.value(key(t.owner, t.name) + QLatin1Char('/'));
        const bool partitioned = spec.partitioning != nullptr;
        t.status = QStringLiteral("VALID");
        t.partitioned = partitioned ? QStringLiteral("YES") : QStringLiteral("NO");
        t.degree = QStringLiteral("         1");
        t.cache = options.contains(QLatin1String("CACHE")) ? QStringLiteral("    Y") : QStringLiteral("    N");
        t.rowMovement =
            options.contains(QLatin1String("ROWMOVEMENT")) ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED");
        t.skipCorrupt = QStringLiteral("DISABLED");
        t.monitoring = QStringLiteral("YES");
        t.temporary = QStringLiteral("N");
        t.readOnly = QStringLiteral("NO");
        t.compression =
            options.contains(QLatin1String("COMPRESS")) ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED");
        t.compressFor = options.contains(QLatin1String("COMPRESS")) ? QStringLiteral("BASIC") : QString();
        t.bufferPool = own ? own->bufferPool : QStringLiteral("DEFAULT");
        if (!partitioned) {
            // A partitioned table keeps its storage attributes per partition.
            t.storage = segmentAttributes(own, QStringLiteral("1"), true);
        } else {
            t.storage.maxTrans = QStringLiteral("255");
            t.bufferPool = QStringLiteral("DEFAULT");
            const QString p = QString::fromLatin1(spec.partitioning);
            const QStringList levels = p.split(QLatin1Char('/'));
            auto typeOf = [](const QString &level) { return level.left(level.indexOf(QLatin1Char('('))); };
            auto keyOf = [](const QString &level) { return level.mid(level.indexOf(QLatin1Char('(')) + 1).chopped(1); };
            t.partitioningType = typeOf(levels.at(0));
            t.partitionKey = keyOf(levels.at(0));
            if (levels.size() > 1) {
                t.subpartitioningType = typeOf(levels.at(1));
                t.subpartitionKey = keyOf(levels.at(1));
            } else {
                t.subpartitioningType = QStringLiteral("NONE");
            }
        }

        // Statistics of one stored piece: rows fill its used blocks.
        const int rowLen = spec.avgRowLen > 0 ? spec.avgRowLen : 120;
        const qint64 rowsPerBlock = std::max(1, int(8192 * 0.85 / rowLen));
        auto pieceStats = [&](qint64 segmentBlocks, int daysAgo) {
            TableStats s;
            s.globalStats = analyse ? QStringLiteral("NO") : (analysed ? QStringLiteral("YES") : QStringLiteral("NO"));
            s.userStats = QStringLiteral("NO");
            if (!analysed)
                return s;
            const qint64 used = usedBlocks(segmentBlocks);
            const double fill = 0.78 + 0.2 * rng.generateDouble();
            const qint64 rows = spec.avgRowLen > 0 ? qint64(double(used * rowsPerBlock) * fill) : 0;
            s.numRows = n(rows);
            s.blocks = n(rows > 0 ? used : 0);
            s.emptyBlocks = analyse ? n(segmentBlocks - used - 1) : QStringLiteral("0");
            s.avgSpace = analyse ? n(700 + rng.bounded(1400)) : QStringLiteral("0");
            s.chainCnt = analyse ? n(rng.bounded(4)) : QStringLiteral("0");
            s.avgRowLen = n(spec.avgRowLen);
            s.sampleSize = n(rows > 2000000 ? rows / 10 : rows);
            s.lastAnalyzed = analysedAt(start, daysAgo, salt + quint32(segmentBlocks));
            return s;
        };
        auto sumStats = [&](const std::vector<Partition> &parts, int daysAgo) {
            TableStats s;
            s.globalStats = analysed ? QStringLiteral("YES") : QStringLiteral("NO");
            s.userStats = QStringLiteral("NO");
            if (!analysed)
                return s;
            qint64 rows = 0, blocks = 0;
            for (const Partition &p : parts) {
                rows += p.stats.numRows.toLongLong();
                blocks += p.stats.blocks.toLongLong();
            }
            s.numRows = n(rows);
            s.blocks = n(blocks);
            s.emptyBlocks = QStringLiteral("0");
            s.avgSpace = QStringLiteral("0");
            s.chainCnt = QStringLiteral("0");
            s.avgRowLen = n(spec.avgRowLen);
            s.sampleSize = s.numRows;
            s.lastAnalyzed = analysedAt(start, daysAgo, salt);
            return s;
        };

        if (partitioned) {
            // The partitions in their order of creation, and their subpartitions.
            const QStringList highs =
                spec.highValues ? QString::fromUtf8(spec.highValues).split(QLatin1Char('|')) : QStringList();
            const QStringList subHighs =
                spec.subHighValues ? QString::fromUtf8(spec.subHighValues).split(QLatin1Char('|')) : QStringList();
            std::vector<const StorageLayout::DbObject *> parts, subs;
            for (const StorageLayout::DbObject &o : layout_.objects()) {
                if (o.owner != t.owner || o.name != t.name)
                    continue;
                if (o.type == QLatin1String("TABLE PARTITION"))
                    parts.push_back(&o);
                else if (o.type == QLatin1String("TABLE SUBPARTITION"))
                    subs.push_back(&o);
            }
            for (size_t i = 0; i < parts.size(); ++i) {
                const QString where = key(t.owner, t.name) + QLatin1Char('/');
                Partition p =
                    piece(parts[i]->subobject, QString(), int(i) + 1, highValueText(highs.value(qsizetype(i))),
                          t.compression, QStringLiteral("1"), segmentOf.value(where + parts[i]->subobject));
                // Closed partitions were analysed when they were last written.
                const int daysAgo = spec.analysedDaysAgo + int(parts.size() - 1 - i) * 30;
                int k = 0;
                for (const StorageLayout::DbObject *o : subs) {
                    if (o->partitionOfSub != p.name)
                        continue;
                    ++k;
                    const StorageLayout::Segment *seg = segmentOf.value(where + o->subobject);
                    Partition sp = piece(o->subobject, p.name, k, highValueText(subHighs.value(k - 1)), t.compression,
                                         p.iniTrans, seg);
                    sp.stats = pieceStats(seg ? seg->blocks() : 8, daysAgo);
                    p.subpartitions.push_back(std::move(sp));
                }
                if (p.subpartitions.empty()) {
                    const StorageLayout::Segment *seg = segmentOf.value(where + p.name);
                    p.stats = pieceStats(seg ? seg->blocks() : 8, daysAgo);
                } else {
                    p.tablespace = p.subpartitions.front().tablespace;
                    p.stats = sumStats(p.subpartitions, daysAgo);
                }
                t.partitions.push_back(std::move(p));
            }
            t.stats = sumStats(t.partitions, spec.analysedDaysAgo);
        } else {
            t.stats = pieceStats(own ? own->blocks() : 8, spec.analysedDaysAgo);
        }
        for (Column &c : t.columns) {
            const qint64 rows = t.stats.numRows.toLongLong();
            if (!analysed) {
                c.histogram = QStringLiteral("NONE");
                continue;
            }
            if (!c.frequentValues.isEmpty())
                c.numDistinct = n(c.frequentValues.size());
            else if (c.nullable == QLatin1String("N") && &c == &t.columns.front())
                c.numDistinct = n(rows);
            else
                c.numDistinct = n(std::max<qint64>(1, rows / (2 + rng.bounded(40))));
        }

        // DML since the statistics were gathered: the newest pieces take it; the
        // database lists the pieces before the table's own row.
        {
            auto modification = [&](const QString &partition, const QString &subpartition, qint64 rows, int daysAgo) {
                Modification m;
                m.partition = partition;
                m.subpartition = subpartition;
                m.inserts = n(qint64(double(rows) * (0.01 + 0.08 * rng.generateDouble())) + (analysed ? 0 : 5200));
                m.updates = n(qint64(double(rows) * 0.03 * rng.generateDouble()));
                m.deletes = n(qint64(double(rows) * 0.004 * rng.generateDouble()));
                m.timestamp = dictionaryDate(start.addSecs(-qint64(daysAgo) * 86400 / 3 - 600 - rng.bounded(3000)));
                m.truncated = QStringLiteral("NO");
                m.dropSegments = QStringLiteral("0");
                return m;
            };
            const qint64 rows = t.stats.numRows.toLongLong();
            const int days = std::max(spec.analysedDaysAgo, 1);
            if (spec.analysedDaysAgo < 200) {
                std::vector<Modification> pieces;
                const size_t newest = t.partitions.size() >= 2 ? t.partitions.size() - 2 : 0;
                for (size_t i = newest; i < t.partitions.size(); ++i) {
                    const Partition &p = t.partitions[i];
                    for (const Partition &sp : p.subpartitions)
                        pieces.push_back(modification(p.name, sp.name, sp.stats.numRows.toLongLong(), days));
                    pieces.push_back(modification(p.name, QString(), p.stats.numRows.toLongLong(), days));
                }
                for (Modification &m : pieces)
                    t.modifications.push_back(std::move(m));
                t.modifications.push_back(modification(QString(), QString(), rows, days));
            }
        }

        // Keys and checks as declared, then the NOT NULL checks the database names itself.
        const QString declared = QString::fromUtf8(spec.constraints);
        if (!declared.isEmpty())
            for (const QString &c : declared.split(QLatin1Char(';')))
                t.constraints.push_back(parseConstraint(c, t.owner));
        // A check's columns are the table's columns its condition names.
        for (Constraint &c : t.constraints) {
            if (c.type != QLatin1String("C") || !c.columns.isEmpty())
                continue;
            for (const Column &col : t.columns) {
                const bool quoted = col.name != col.name.toUpper();
                const QRegularExpression word(
                    quoted ? QStringLiteral("\"%1\"").arg(QRegularExpression::escape(col.name))
                           : QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(col.name)),
                    quoted ? QRegularExpression::NoPatternOption : QRegularExpression::CaseInsensitiveOption);
                if (word.match(c.searchCondition).hasMatch())
                    c.columns << col.name;
            }
        }
        for (const Column &c : t.columns) {
            if (c.nullable != QLatin1String("N"))
                continue;
            Constraint nn;
            nn.name = QStringLiteral("SYS_C00%1").arg(nextSystemConstraint++);
            nn.type = QStringLiteral("C");
            nn.searchCondition = QLatin1Char('"') + c.name + QStringLiteral("\" IS NOT NULL");
            nn.status = QStringLiteral("ENABLED");
            nn.deferrable = QStringLiteral("NOT DEFERRABLE");
            nn.deferred = QStringLiteral("IMMEDIATE");
            nn.validated = QStringLiteral("VALIDATED");
            nn.generated = QStringLiteral("GENERATED NAME");
            nn.columns = {c.name};
            t.constraints.push_back(std::move(nn));
        }
        tableAt_.insert(key(t.owner, t.name), tables_.size());
        tables_.push_back(std::move(t));
    }
}

void DictionaryModel::buildIndexes(Model &model)
{
    QHash<QString, const StorageLayout::Segment *> segmentOf;
    for (const StorageLayout::Segment &s : layout_.segments())
        segmentOf.insert(key(s.owner, s.name) + QLatin1Char('/') + s.partition, &s);

    for (const IndexSpec &spec : kIndexes) {
        IndexDef x;
        x.owner = QString::fromUtf8(spec.owner);
        x.name = QString::fromUtf8(spec.name);
        x.tableOwner = QString::fromUtf8(spec.tableOwner);
        x.tableName = QString::fromUtf8(spec.tableName);
        x.tableType = QStringLiteral("TABLE");
        const TableDef *t = table(x.tableOwner, x.tableName);
        const QString kind = QString::fromLatin1(spec.kind);
        QRandomGenerator rng = model.random(0x1dc0000 + qHash(key(x.owner, x.name), 0));

        x.indexType = kind == QLatin1String("BITMAP")     ? QStringLiteral("BITMAP")
                      : kind == QLatin1String("FUNCTION") ? QStringLiteral("FUNCTION-BASED NORMAL")
                      : kind == QLatin1String("LOB")      ? QStringLiteral("LOB")
                                                          : QStringLiteral("NORMAL");
        x.uniqueness = kind == QLatin1String("UNIQUE") || kind == QLatin1String("LOB") ? QStringLiteral("UNIQUE")
                                                                                       : QStringLiteral("NONUNIQUE");
        x.compression = spec.compressPrefix > 0 ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED");
        x.prefixLength = spec.compressPrefix > 0 ? n(spec.compressPrefix) : QString();
        x.degree = QStringLiteral("1");
        x.temporary = QStringLiteral("N");
        x.generated = x.name.startsWith(QLatin1String("SYS_")) ? QStringLiteral("Y") : QStringLiteral("N");
        x.secondary = QStringLiteral("N");
        x.joinIndex = QStringLiteral("NO");
        x.iotRedundantPkeyElim = QStringLiteral("NO");
        x.dropped = QStringLiteral("NO");
        x.visibility = QStringLiteral("VISIBLE");
        x.funcidxStatus = kind == QLatin1String("FUNCTION") ? QStringLiteral("ENABLED") : QString();
        x.partitioned = spec.local ? QStringLiteral("YES") : QStringLiteral("NO");

        // Key columns: a function-based key is a hidden virtual column of the table.
        const QString keyText = QString::fromUtf8(spec.key);
        if (keyText.startsWith(QLatin1Char('='))) {
            x.expression = keyText.mid(1);
            const int internal = t ? int(t->columns.size()) + 1 : 1;
            x.columns.push_back({QStringLiteral("SYS_NC%1$").arg(internal, 5, 10, QLatin1Char('0')),
                                 QStringLiteral("1"), QStringLiteral("25"), QStringLiteral("25"),
                                 QStringLiteral("ASC")});
        } else if (!keyText.isEmpty()) {
            int position = 0;
            for (const QString &k : keyText.split(QLatin1Char(','))) {
                const bool desc = k.endsWith(QLatin1String(" DESC"));
                const QString name = desc ? k.chopped(5) : k;
                const Column *c = t ? t->column(name) : nullptr;
                const QString length = c ? c->dataLength : QStringLiteral("22");
                // A descending key is stored as a hidden function-based column.
                x.columns.push_back(
                    {desc ? QStringLiteral("SYS_NC%1$").arg(c ? c->internalId + 10 : 10, 5, 10, QLatin1Char('0'))
                          : name,
                     n(++position), length, c && c->character ? length : QStringLiteral("0"),
                     desc ? QStringLiteral("DESC") : QStringLiteral("ASC")});
                if (desc) {
                    x.expression = QLatin1Char('"') + name + QLatin1Char('"');
                    x.indexType = QStringLiteral("FUNCTION-BASED NORMAL");
                    x.funcidxStatus = QStringLiteral("ENABLED");
                }
            }
        }

        const StorageLayout::Segment *own = segmentOf.value(key(x.owner, x.name) + QLatin1Char('/'));
        x.bufferPool = own ? own->bufferPool : QStringLiteral("DEFAULT");
        if (!spec.local) {
            x.storage = segmentAttributes(own, QStringLiteral("2"), false);
            x.status = QStringLiteral("VALID");
        } else {
            x.storage.maxTrans = QStringLiteral("255");
            x.status = QStringLiteral("N/A");
            x.locality = QStringLiteral("LOCAL");
            x.bufferPool = QStringLiteral("DEFAULT");
            if (t) {
                x.partitioningType = t->partitioningType;
                x.subpartitioningType = t->subpartitioningType;
            }
        }

        // Statistics: leaf blocks fill the segment, keys follow the table's rows.
        const QString lastAnalyzed = t ? t->stats.lastAnalyzed : QString();
        auto pieceStats = [&](qint64 segmentBlocks, qint64 tableRows, qint64 tableBlocks, const QString &analysedAt) {
            IndexStats s;
            s.globalStats = analysedAt.isEmpty() ? QStringLiteral("NO") : QStringLiteral("YES");
            s.userStats = QStringLiteral("NO");
            if (analysedAt.isEmpty() || kind == QLatin1String("LOB"))
                return s;
            const qint64 leaves = std::max<qint64>(1, usedBlocks(segmentBlocks) - 1);
            const qint64 keys = x.uniqueness == QLatin1String("UNIQUE")
                                    ? tableRows
                                    : (kind == QLatin1String("BITMAP") ? 3 : std::max<qint64>(1, tableRows / 7));
            s.blevel = n(leaves > 4000 ? 2 : (leaves > 1 ? 1 : 0));
            s.leafBlocks = n(leaves);
            s.distinctKeys = n(keys);
            s.avgLeafBlocksPerKey = n(std::max<qint64>(1, leaves / std::max<qint64>(1, keys)));
            const qint64 cf = kind == QLatin1String("BITMAP")
                                  ? leaves * 2
                                  : tableBlocks + qint64(double(std::max<qint64>(0, tableRows - tableBlocks)) *
                                                         (0.05 + 0.6 * rng.generateDouble()));
            s.clusteringFactor = n(cf);
            s.avgDataBlocksPerKey = n(std::max<qint64>(1, cf / std::max<qint64>(1, keys)));
            s.numRows = n(kind == QLatin1String("BITMAP") ? leaves * 2 : tableRows);
            s.sampleSize = s.numRows;
            s.lastAnalyzed = analysedAt;
            return s;
        };

        if (spec.local && t) {
            qint64 sumLeaves = 0, sumRows = 0, sumKeys = 0, sumCf = 0;
            for (const Partition &tp : t->partitions) {
                const QString where = key(x.owner, x.name) + QLatin1Char('/');
                Partition p = piece(tp.name, QString(), tp.position, tp.highValue, x.compression, QStringLiteral("2"),
                                    segmentOf.value(where + tp.name));
                for (const Partition &ts : tp.subpartitions) {
                    const StorageLayout::Segment *seg = segmentOf.value(where + ts.name);
                    Partition sp = piece(ts.name, p.name, ts.position, ts.highValue, x.compression, p.iniTrans, seg);
                    sp.indexStats = pieceStats(seg ? seg->blocks() : 8, ts.stats.numRows.toLongLong(),
                                               ts.stats.blocks.toLongLong(), ts.stats.lastAnalyzed);
                    p.subpartitions.push_back(std::move(sp));
                }
                if (p.subpartitions.empty()) {
                    const StorageLayout::Segment *seg = segmentOf.value(where + p.name);
                    p.indexStats = pieceStats(seg ? seg->blocks() : 8, tp.stats.numRows.toLongLong(),
                                              tp.stats.blocks.toLongLong(), tp.stats.lastAnalyzed);
                } else {
                    p.tablespace = p.subpartitions.front().tablespace;
                    p.bufferPool = QStringLiteral("DEFAULT");
                    IndexStats s;
                    s.globalStats = QStringLiteral("YES");
                    s.userStats = QStringLiteral("NO");
                    qint64 leaves = 0, rows = 0, keys = 0, cf = 0;
                    for (const Partition &sp : p.subpartitions) {
                        leaves += sp.indexStats.leafBlocks.toLongLong();
                        rows += sp.indexStats.numRows.toLongLong();
                        keys += sp.indexStats.distinctKeys.toLongLong();
                        cf += sp.indexStats.clusteringFactor.toLongLong();
                    }
                    s.blevel = n(leaves > 4000 ? 2 : 1);
                    s.leafBlocks = n(leaves);
                    s.distinctKeys = n(keys);
                    s.avgLeafBlocksPerKey = n(std::max<qint64>(1, leaves / std::max<qint64>(1, keys)));
                    s.avgDataBlocksPerKey = n(std::max<qint64>(1, cf / std::max<qint64>(1, keys)));
                    s.clusteringFactor = n(cf);
                    s.numRows = n(rows);
                    s.sampleSize = s.numRows;
                    s.lastAnalyzed = tp.stats.lastAnalyzed;
                    p.indexStats = s;
                }
                sumLeaves += p.indexStats.leafBlocks.toLongLong();
                sumRows += p.indexStats.numRows.toLongLong();
                sumKeys += p.indexStats.distinctKeys.toLongLong();
                sumCf += p.indexStats.clusteringFactor.toLongLong();
                x.partitions.push_back(std::move(p));
            }
            IndexStats s;
            s.globalStats = QStringLiteral("YES");
            s.userStats = QStringLiteral("NO");
            s.blevel = n(sumLeaves > 4000 ? 2 : 1);
            s.leafBlocks = n(sumLeaves);
            s.distinctKeys = n(sumKeys);
            s.avgLeafBlocksPerKey = n(std::max<qint64>(1, sumLeaves / std::max<qint64>(1, sumKeys)));
            s.avgDataBlocksPerKey = n(std::max<qint64>(1, sumCf / std::max<qint64>(1, sumKeys)));
            s.clusteringFactor = n(sumCf);
            s.numRows = n(sumRows);
            s.sampleSize = s.numRows;
            s.lastAnalyzed = lastAnalyzed;
            x.stats = s;
        } else {
            x.stats = pieceStats(own ? own->blocks() : 8, t ? t->stats.numRows.toLongLong() : 0,
                                 t ? t->stats.blocks.toLongLong() : 0, lastAnalyzed);
        }
        indexAt_.insert(key(x.owner, x.name), indexes_.size());
        indexes_.push_back(std::move(x));
    }
}

const DictionaryModel::TableDef *DictionaryModel::table(const QString &owner, const QString &name) const
{
    const auto it = tableAt_.constFind(key(owner, name));
    return it == tableAt_.constEnd() ? nullptr : &tables_[it.value()];
}

const DictionaryModel::IndexDef *DictionaryModel::index(const QString &owner, const QString &name) const
{
    const auto it = indexAt_.constFind(key(owner, name));
    return it == indexAt_.constEnd() ? nullptr : &indexes_[it.value()];
}

} // namespace tavimond::sim
