#include "security_model.h"

#include "storage_layout.h"

#include <QStringList>
#include <map>

namespace tavimond::sim {
namespace {

const std::vector<int> kNone;

struct UserSpec {
    const char *name;
    int id;
    const char *status;
    const char *created;
    const char *lockDate;
    const char *expiryDate;
    const char *profile;
    const char *defaultTablespace;
    bool oracleMaintained;
};

// The schema owners of the storage layout, the monitoring account, and the people and
// programs that work in the application's schemas.
const UserSpec kUsers[] = {
    {"SYS", 0, "OPEN", "2019-03-14 09:02:11", nullptr, "2027-03-12 10:15:40", "DEFAULT", "SYSTEM", true},
    {"SYSTEM", 9, "OPEN", "2019-03-14 09:02:12", nullptr, "2027-03-12 10:16:02", "DEFAULT", "SYSTEM", true},
    {"OUTLN", 13, "EXPIRED & LOCKED", "2019-03-14 09:02:47", "2019-03-14 09:43:18", "2019-03-14 09:43:18", "DEFAULT",
     "SYSTEM", true},
    {"DBSNMP", 55, "OPEN", "2019-03-14 09:39:05", nullptr, "2027-01-05 16:44:29", "DEFAULT", "SYSAUX", true},
    {"LEGACY", 104, "LOCKED", "2019-06-02 14:11:37", "2025-02-03 18:30:00", "2025-08-02 14:11:37", "DEFAULT", "SYSTEM",
     false},
    {"SALES", 106, "OPEN", "2020-01-20 10:05:51", nullptr, nullptr, "APP_PROFILE", "APP_DATA", false},
    {"HR", 107, "OPEN", "2020-01-20 10:06:14", nullptr, "2027-04-18 08:51:09", "DEFAULT", "USERS", false},
    {"BILLING", 108, "OPEN", "2020-02-11 15:22:40", nullptr, nullptr, "APP_PROFILE", "APP_DATA", false},
    {"INVENTORY", 109, "OPEN", "2021-09-07 11:48:03", nullptr, nullptr, "APP_PROFILE", "APP_DATA", false},
    {"APP_USER", 111, "OPEN", "2020-02-12 09:30:27", nullptr, nullptr, "APP_PROFILE", "USERS", false},
    {"REPORT_USER", 112, "OPEN", "2020-05-04 13:02:55", nullptr, "2027-02-19 07:12:33", "DEFAULT", "USERS", false},
    {"JSMITH", 115, "OPEN", "2022-10-17 08:40:12", nullptr, "2027-01-16 08:02:47", "SECURE_PROFILE", "USERS", false},
    {"MPATEL", 116, "EXPIRED(GRACE)", "2023-03-01 12:15:00", nullptr, "2026-12-03 09:20:41", "SECURE_PROFILE",
     "USERS", false},
    {"ETL_BATCH", 118, "OPEN", "2023-05-22 22:01:19", nullptr, nullptr, "APP_PROFILE", "APP_DATA", false},
    {"OLD_AUDIT", 119, "EXPIRED & LOCKED", "2019-11-08 16:27:44", "2024-06-30 17:00:02", "2024-05-06 16:27:44",
     "DEFAULT", "USERS", false},
    {"TCONTRACT", 121, "LOCKED(TIMED)", "2026-09-14 10:00:00", "2026-11-30 07:41:26", "2026-11-13 10:00:00",
     "SECURE_PROFILE", "USERS", false},
};

const char *const kOracleRoles[] = {
    "CONNECT",           "RESOURCE",          "DBA",
    "SELECT_CATALOG_ROLE", "EXECUTE_CATALOG_ROLE", "EXP_FULL_DATABASE",
    "IMP_FULL_DATABASE", "DATAPUMP_EXP_FULL_DATABASE", "DATAPUMP_IMP_FULL_DATABASE",
    "AUDIT_ADMIN",       "AUDIT_VIEWER",
};

const char *const kApplicationRoles[] = {
    "SALES_READ", "BILLING_READ", "HR_READ",   "APP_READ",      "APP_WRITE",
    "REPORTING",  "APP_ADMIN",    "HR_CLERK",  "INVENTORY_LOAD",
};

// grantee, granted role, admin option. APP_ADMIN reaches APP_READ through APP_WRITE and
// through REPORTING; the export and import roles share the catalogue roles the same way.
const char *const kRoleGrants[][3] = {
    {"SYS", "DBA", "YES"},
    {"SYS", "CONNECT", "YES"},
    {"SYS", "RESOURCE", "YES"},
    {"SYS", "SELECT_CATALOG_ROLE", "YES"},
    {"SYS", "EXECUTE_CATALOG_ROLE", "YES"},
    {"SYS", "AUDIT_ADMIN", "YES"},
    {"SYS", "AUDIT_VIEWER", "YES"},
    {"SYSTEM", "DBA", "YES"},
    {"SYSTEM", "APP_ADMIN", "YES"},
    {"DBA", "SELECT_CATALOG_ROLE", "NO"},
    {"DBA", "EXECUTE_CATALOG_ROLE", "NO"},
    {"DBA", "EXP_FULL_DATABASE", "NO"},
    {"DBA", "IMP_FULL_DATABASE", "NO"},
    {"DBA", "DATAPUMP_EXP_FULL_DATABASE", "NO"},
    {"DBA", "DATAPUMP_IMP_FULL_DATABASE", "NO"},
    {"EXP_FULL_DATABASE", "SELECT_CATALOG_ROLE", "NO"},
    {"EXP_FULL_DATABASE", "EXECUTE_CATALOG_ROLE", "NO"},
    {"IMP_FULL_DATABASE", "SELECT_CATALOG_ROLE", "NO"},
    {"IMP_FULL_DATABASE", "EXECUTE_CATALOG_ROLE", "NO"},
    {"DATAPUMP_EXP_FULL_DATABASE", "EXP_FULL_DATABASE", "NO"},
    {"DATAPUMP_IMP_FULL_DATABASE", "EXP_FULL_DATABASE", "NO"},
    {"DATAPUMP_IMP_FULL_DATABASE", "IMP_FULL_DATABASE", "NO"},
    {"DBSNMP", "SELECT_CATALOG_ROLE", "NO"},
    {"LEGACY", "CONNECT", "NO"},
    {"LEGACY", "RESOURCE", "NO"},
    {"SALES", "CONNECT", "NO"},
    {"SALES", "RESOURCE", "NO"},
    {"HR", "CONNECT", "NO"},
    {"HR", "RESOURCE", "NO"},
    {"BILLING", "CONNECT", "NO"},
    {"BILLING", "RESOURCE", "NO"},
    {"INVENTORY", "CONNECT", "NO"},
    {"INVENTORY", "RESOURCE", "NO"},
    {"APP_READ", "SALES_READ", "NO"},
    {"APP_READ", "BILLING_READ", "NO"},
    {"APP_WRITE", "APP_READ", "NO"},
    {"REPORTING", "APP_READ", "NO"},
    {"REPORTING", "HR_READ", "NO"},
    {"APP_ADMIN", "APP_WRITE", "YES"},
    {"APP_ADMIN", "REPORTING", "NO"},
    {"HR_CLERK", "HR_READ", "NO"},
    {"APP_USER", "CONNECT", "NO"},
    {"APP_USER", "APP_WRITE", "NO"},
    {"REPORT_USER", "CONNECT", "NO"},
    {"REPORT_USER", "REPORTING", "NO"},
    {"JSMITH", "CONNECT", "NO"},
    {"JSMITH", "APP_ADMIN", "NO"},
    {"MPATEL", "CONNECT", "NO"},
    {"MPATEL", "HR_CLERK", "NO"},
    {"ETL_BATCH", "CONNECT", "NO"},
    {"ETL_BATCH", "APP_WRITE", "NO"},
    {"ETL_BATCH", "INVENTORY_LOAD", "NO"},
    {"OLD_AUDIT", "CONNECT", "NO"},
    {"OLD_AUDIT", "AUDIT_VIEWER", "NO"},
    {"TCONTRACT", "CONNECT", "NO"},
    {"TCONTRACT", "APP_READ", "NO"},
};

// grantee, privilege, admin option.
const char *const kSystemGrants[][3] = {
    {"SYS", "ALTER SYSTEM", "YES"},
    {"SYS", "ALTER DATABASE", "YES"},
    {"SYS", "CREATE ANY TABLE", "YES"},
    {"SYS", "SELECT ANY DICTIONARY", "YES"},
    {"SYS", "UNLIMITED TABLESPACE", "YES"},
    {"SYSTEM", "UNLIMITED TABLESPACE", "YES"},
    {"SYSTEM", "CREATE MATERIALIZED VIEW", "NO"},
    {"SYSTEM", "GLOBAL QUERY REWRITE", "NO"},
    {"OUTLN", "UNLIMITED TABLESPACE", "NO"},
    {"OUTLN", "EXECUTE ANY PROCEDURE", "NO"},
    {"DBSNMP", "CREATE PROCEDURE", "NO"},
    {"DBSNMP", "SELECT ANY DICTIONARY", "NO"},
    {"DBSNMP", "ADVISOR", "NO"},
    {"CONNECT", "CREATE SESSION", "NO"},
    {"CONNECT", "SET CONTAINER", "NO"},
    {"RESOURCE", "CREATE TABLE", "NO"},
    {"RESOURCE", "CREATE CLUSTER", "NO"},
    {"RESOURCE", "CREATE SEQUENCE", "NO"},
    {"RESOURCE", "CREATE PROCEDURE", "NO"},
    {"RESOURCE", "CREATE TRIGGER", "NO"},
    {"RESOURCE", "CREATE TYPE", "NO"},
    {"RESOURCE", "CREATE OPERATOR", "NO"},
    {"RESOURCE", "CREATE INDEXTYPE", "NO"},
    {"DBA", "ADMINISTER DATABASE TRIGGER", "YES"},
    {"DBA", "ALTER ANY INDEX", "YES"},
    {"DBA", "ALTER ANY PROCEDURE", "YES"},
    {"DBA", "ALTER ANY TABLE", "YES"},
    {"DBA", "ALTER DATABASE", "YES"},
    {"DBA", "ALTER PROFILE", "YES"},
    {"DBA", "ALTER SESSION", "YES"},
    {"DBA", "ALTER SYSTEM", "YES"},
    {"DBA", "ALTER TABLESPACE", "YES"},
    {"DBA", "ALTER USER", "YES"},
    {"DBA", "ANALYZE ANY", "YES"},
    {"DBA", "AUDIT ANY", "YES"},
    {"DBA", "BACKUP ANY TABLE", "YES"},
    {"DBA", "CREATE ANY INDEX", "YES"},
    {"DBA", "CREATE ANY PROCEDURE", "YES"},
    {"DBA", "CREATE ANY TABLE", "YES"},
    {"DBA", "CREATE ANY VIEW", "YES"},
    {"DBA", "CREATE PROFILE", "YES"},
    {"DBA", "CREATE ROLE", "YES"},
    {"DBA", "CREATE SESSION", "YES"},
    {"DBA", "CREATE TABLESPACE", "YES"},
    {"DBA", "CREATE USER", "YES"},
    {"DBA", "DELETE ANY TABLE", "YES"},
    {"DBA", "DROP ANY TABLE", "YES"},
    {"DBA", "DROP USER", "YES"},
    {"DBA", "EXECUTE ANY PROCEDURE", "YES"},
    {"DBA", "GRANT ANY PRIVILEGE", "YES"},
    {"DBA", "GRANT ANY ROLE", "YES"},
    {"DBA", "INSERT ANY TABLE", "YES"},
    {"DBA", "LOCK ANY TABLE", "YES"},
    {"DBA", "SELECT ANY SEQUENCE", "YES"},
    {"DBA", "SELECT ANY TABLE", "YES"},
    {"DBA", "UPDATE ANY TABLE", "YES"},
    {"EXP_FULL_DATABASE", "BACKUP ANY TABLE", "NO"},
    {"EXP_FULL_DATABASE", "EXECUTE ANY PROCEDURE", "NO"},
    {"EXP_FULL_DATABASE", "READ ANY FILE GROUP", "NO"},
    {"EXP_FULL_DATABASE", "RESUMABLE", "NO"},
    {"EXP_FULL_DATABASE", "SELECT ANY SEQUENCE", "NO"},
    {"EXP_FULL_DATABASE", "SELECT ANY TABLE", "NO"},
    {"IMP_FULL_DATABASE", "ALTER ANY TABLE", "NO"},
    {"IMP_FULL_DATABASE", "CREATE ANY INDEX", "NO"},
    {"IMP_FULL_DATABASE", "CREATE ANY PROCEDURE", "NO"},
    {"IMP_FULL_DATABASE", "CREATE ANY SEQUENCE", "NO"},
    {"IMP_FULL_DATABASE", "CREATE ANY TABLE", "NO"},
    {"IMP_FULL_DATABASE", "CREATE ANY VIEW", "NO"},
    {"IMP_FULL_DATABASE", "CREATE PROFILE", "NO"},
    {"IMP_FULL_DATABASE", "CREATE ROLE", "NO"},
    {"IMP_FULL_DATABASE", "CREATE USER", "NO"},
    {"IMP_FULL_DATABASE", "INSERT ANY TABLE", "NO"},
    {"AUDIT_ADMIN", "AUDIT SYSTEM", "NO"},
    {"AUDIT_ADMIN", "AUDIT ANY", "NO"},
    {"SALES", "CREATE VIEW", "NO"},
    {"SALES", "CREATE SYNONYM", "NO"},
    {"SALES", "CREATE MATERIALIZED VIEW", "NO"},
    {"HR", "CREATE VIEW", "NO"},
    {"HR", "CREATE SYNONYM", "NO"},
    {"BILLING", "CREATE VIEW", "NO"},
    {"BILLING", "CREATE JOB", "NO"},
    {"INVENTORY", "CREATE VIEW", "NO"},
    {"APP_READ", "CREATE SESSION", "NO"},
    {"REPORTING", "CREATE MATERIALIZED VIEW", "NO"},
    {"APP_ADMIN", "ALTER SESSION", "NO"},
    {"APP_ADMIN", "CREATE SYNONYM", "NO"},
    {"INVENTORY_LOAD", "CREATE JOB", "NO"},
    {"JSMITH", "CREATE SESSION", "NO"},
    {"JSMITH", "ALTER SESSION", "YES"},
    {"ETL_BATCH", "CREATE JOB", "NO"},
};

// grantee, owner, object, privilege, grantable, type; the owner granted each.
const char *const kTableGrants[][6] = {
    {"SALES_READ", "SALES", "ORDERS", "SELECT", "NO", "TABLE"},
    {"SALES_READ", "SALES", "ORDER_LINES", "SELECT", "NO", "TABLE"},
    {"SALES_READ", "SALES", "CUSTOMERS", "SELECT", "NO", "TABLE"},
    {"SALES_READ", "SALES", "PRODUCTS", "SELECT", "NO", "TABLE"},
    {"SALES_READ", "SALES", "ORDER_SUMMARY_V", "SELECT", "NO", "VIEW"},
    {"BILLING_READ", "BILLING", "INVOICES", "SELECT", "NO", "TABLE"},
    {"BILLING_READ", "BILLING", "PAYMENTS", "SELECT", "NO", "TABLE"},
    {"BILLING_READ", "BILLING", "INVOICE_DOCS", "SELECT", "NO", "TABLE"},
    {"BILLING_READ", "BILLING", "INVOICE_PKG", "EXECUTE", "NO", "PACKAGE"},
    {"HR_READ", "HR", "EMPLOYEES", "SELECT", "NO", "TABLE"},
    {"HR_READ", "HR", "DEPARTMENTS", "SELECT", "NO", "TABLE"},
    {"HR_READ", "HR", "JOB_HISTORY", "SELECT", "NO", "TABLE"},
    {"HR_READ", "HR", "EMP_DETAILS_V", "SELECT", "NO", "VIEW"},
    {"APP_WRITE", "SALES", "ORDERS", "INSERT", "NO", "TABLE"},
    {"APP_WRITE", "SALES", "ORDERS", "UPDATE", "NO", "TABLE"},
    {"APP_WRITE", "SALES", "ORDERS", "DELETE", "NO", "TABLE"},
    {"APP_WRITE", "SALES", "ORDER_LINES", "INSERT", "NO", "TABLE"},
    {"APP_WRITE", "SALES", "ORDER_LINES", "UPDATE", "NO", "TABLE"},
    {"APP_WRITE", "SALES", "ORDER_LINES", "DELETE", "NO", "TABLE"},
    {"APP_WRITE", "BILLING", "INVOICES", "INSERT", "NO", "TABLE"},
    {"APP_WRITE", "BILLING", "PAYMENTS", "INSERT", "NO", "TABLE"},
    {"APP_WRITE", "BILLING", "INVOICE_PKG", "EXECUTE", "NO", "PACKAGE"},
    {"HR_CLERK", "HR", "JOB_HISTORY", "INSERT", "NO", "TABLE"},
    {"INVENTORY_LOAD", "INVENTORY", "WAREHOUSES", "SELECT", "NO", "TABLE"},
    {"INVENTORY_LOAD", "INVENTORY", "STOCK_LEVELS", "SELECT", "NO", "TABLE"},
    {"INVENTORY_LOAD", "INVENTORY", "STOCK_LEVELS", "INSERT", "NO", "TABLE"},
    {"INVENTORY_LOAD", "INVENTORY", "STOCK_LEVELS", "UPDATE", "NO", "TABLE"},
    {"INVENTORY_LOAD", "INVENTORY", "STOCK_MOVES", "SELECT", "NO", "TABLE"},
    {"INVENTORY_LOAD", "INVENTORY", "STOCK_MOVES", "INSERT", "NO", "TABLE"},
    {"AUDIT_VIEWER", "SYS", "DBA_AUDIT_TRAIL", "SELECT", "NO", "VIEW"},
    {"AUDIT_VIEWER", "SYS", "DBA_AUDIT_SESSION", "SELECT", "NO", "VIEW"},
    {"BILLING", "SALES", "CUSTOMERS", "SELECT", "NO", "TABLE"},
    {"INVENTORY", "SALES", "PRODUCTS", "SELECT", "YES", "TABLE"},
    {"REPORT_USER", "SALES", "ORDER_SUMMARY_V", "SELECT", "NO", "VIEW"},
    {"JSMITH", "HR", "EMPLOYEES", "SELECT", "NO", "TABLE"},
    {"DBSNMP", "SYS", "DBMS_SERVER_ALERT", "EXECUTE", "NO", "PACKAGE"},
};

// grantee, owner, table, column, privilege, grantable.
const char *const kColumnGrants[][6] = {
    {"APP_WRITE", "BILLING", "INVOICES", "STATUS", "UPDATE", "NO"},
    {"APP_WRITE", "BILLING", "PAYMENTS", "STATUS", "UPDATE", "NO"},
    {"HR_CLERK", "HR", "EMPLOYEES", "PHONE_NUMBER", "UPDATE", "NO"},
    {"HR_CLERK", "HR", "EMPLOYEES", "EMAIL", "UPDATE", "NO"},
    {"BILLING", "SALES", "CUSTOMERS", "CUSTOMER_ID", "REFERENCES", "NO"},
    {"JSMITH", "HR", "EMPLOYEES", "SALARY", "UPDATE", "NO"},
};

// The dictionary views the catalogue role may read, and the packages the execute role may run.
const char *const kDictionaryViews[] = {
    "ALL_OBJECTS",     "DBA_AUDIT_TRAIL",  "DBA_COL_PRIVS",   "DBA_CONSTRAINTS", "DBA_DATA_FILES",
    "DBA_EXTENTS",     "DBA_FREE_SPACE",   "DBA_HIST_SNAPSHOT", "DBA_HIST_SQLSTAT", "DBA_INDEXES",
    "DBA_IND_COLUMNS", "DBA_JOBS",         "DBA_OBJECTS",     "DBA_PROFILES",    "DBA_ROLES",
    "DBA_ROLE_PRIVS",  "DBA_SEGMENTS",     "DBA_SEQUENCES",   "DBA_SOURCE",      "DBA_SYNONYMS",
    "DBA_SYS_PRIVS",   "DBA_TABLES",       "DBA_TABLESPACES", "DBA_TAB_COLUMNS", "DBA_TAB_PRIVS",
    "DBA_TEMP_FILES",  "DBA_TRIGGERS",     "DBA_TS_QUOTAS",   "DBA_USERS",       "DBA_VIEWS",
};
const char *const kDynamicViews[] = {
    "BH",          "DATABASE",    "DATAFILE",     "INSTANCE",      "LATCH",         "LATCH_CHILDREN",
    "LIBRARYCACHE", "LOCK",       "PARAMETER",    "PROCESS",       "ROWCACHE",      "SESSION",
    "SESSION_WAIT", "SESSTAT",    "SESS_IO",      "SGA",           "SGASTAT",       "SQL",
    "SQLAREA",     "SQLTEXT",     "SQL_PLAN",     "STATNAME",      "SYSSTAT",       "SYSTEM_EVENT",
    "TEMPSTAT",    "TRANSACTION", "UNDOSTAT",     "WAITSTAT",
};
const char *const kCataloguePackages[] = {
    "DBMS_AQ",      "DBMS_DDL",       "DBMS_FGA",         "DBMS_JOB",      "DBMS_LOB",     "DBMS_LOGMNR",
    "DBMS_METADATA", "DBMS_MONITOR",  "DBMS_RLS",         "DBMS_SCHEDULER", "DBMS_SESSION", "DBMS_SPACE",
    "DBMS_SQL",     "DBMS_STATS",     "DBMS_TTS",         "DBMS_WORKLOAD_REPOSITORY", "DBMS_XPLAN",
};

struct LimitSpec {
    const char *resource;
    const char *type;
    const char *defaultLimit;
    const char *appLimit;    // APP_PROFILE; null: DEFAULT
    const char *secureLimit; // SECURE_PROFILE; null: DEFAULT
};

const LimitSpec kLimits[] = {
    {"COMPOSITE_LIMIT", "KERNEL", "UNLIMITED", nullptr, nullptr},
    {"SESSIONS_PER_USER", "KERNEL", "UNLIMITED", "200", "2"},
    {"CPU_PER_SESSION", "KERNEL", "UNLIMITED", nullptr, nullptr},
    {"CPU_PER_CALL", "KERNEL", "UNLIMITED", "360000", nullptr},
    {"LOGICAL_READS_PER_SESSION", "KERNEL", "UNLIMITED", nullptr, nullptr},
    {"LOGICAL_READS_PER_CALL", "KERNEL", "UNLIMITED", nullptr, "1000000"},
    {"IDLE_TIME", "KERNEL", "UNLIMITED", nullptr, "30"},
    {"CONNECT_TIME", "KERNEL", "UNLIMITED", nullptr, "600"},
    {"PRIVATE_SGA", "KERNEL", "UNLIMITED", nullptr, nullptr},
    {"FAILED_LOGIN_ATTEMPTS", "PASSWORD", "10", "UNLIMITED", "3"},
    {"PASSWORD_LIFE_TIME", "PASSWORD", "180", "UNLIMITED", "60"},
    {"PASSWORD_REUSE_TIME", "PASSWORD", "UNLIMITED", nullptr, "365"},
    {"PASSWORD_REUSE_MAX", "PASSWORD", "UNLIMITED", nullptr, "10"},
    {"PASSWORD_VERIFY_FUNCTION", "PASSWORD", "NULL", nullptr, "ORA12C_VERIFY_FUNCTION"},
    {"PASSWORD_LOCK_TIME", "PASSWORD", "1", nullptr, ".0104"},
    {"PASSWORD_GRACE_TIME", "PASSWORD", "7", nullptr, "5"},
    {"INACTIVE_ACCOUNT_TIME", "PASSWORD", "UNLIMITED", nullptr, "90"},
};

struct QuotaSpec {
    const char *user;
    const char *tablespace;
    qint64 maxBytes; // -1: unlimited
};

const QuotaSpec kQuotas[] = {
    {"LEGACY", "SYSTEM", 10485760},      {"SALES", "APP_DATA", -1},        {"SALES", "APP_INDEX", -1},
    {"HR", "USERS", 104857600},          {"BILLING", "APP_DATA", -1},      {"BILLING", "APP_INDEX", -1},
    {"BILLING", "APP_LOB", 2147483648LL}, {"INVENTORY", "USERS", 52428800}, {"INVENTORY", "APP_DATA", -1},
    {"INVENTORY", "APP_INDEX", -1},      {"APP_USER", "USERS", 20971520},  {"REPORT_USER", "USERS", 10485760},
    {"ETL_BATCH", "APP_DATA", 524288000},
};

QString text(const char *s)
{
    return s ? QString::fromLatin1(s) : QString();
}

const std::vector<int> &lookup(const QHash<QString, std::vector<int>> &index, const QString &grantee)
{
    const auto it = index.constFind(grantee);
    return it == index.constEnd() ? kNone : it.value();
}

} // namespace

SecurityModel::SecurityModel(Model &model)
{
    for (const UserSpec &u : kUsers)
        users_.push_back({text(u.name), u.id, text(u.status), text(u.created), text(u.lockDate), text(u.expiryDate),
                          text(u.profile), text(u.defaultTablespace), QStringLiteral("TEMP"), u.oracleMaintained});
    for (const char *r : kOracleRoles)
        roles_.push_back({text(r), true});
    for (const char *r : kApplicationRoles)
        roles_.push_back({text(r), false});

    for (const char *profile : {"DEFAULT", "APP_PROFILE", "SECURE_PROFILE"})
        for (const LimitSpec &l : kLimits) {
            const char *limit = qstrcmp(profile, "DEFAULT") == 0       ? l.defaultLimit
                                : qstrcmp(profile, "APP_PROFILE") == 0 ? l.appLimit
                                                                       : l.secureLimit;
            limits_.push_back({text(profile), text(l.resource), text(l.type), limit ? text(limit) : QStringLiteral("DEFAULT")});
        }

    // Used space is what the owner's segments take in the tablespace.
    std::map<std::pair<QString, QString>, qint64> used;
    for (const StorageLayout::Segment &s : model.state<StorageLayout>().segments())
        used[{s.owner, s.tablespace}] += s.blocks();
    for (const QuotaSpec &q : kQuotas) {
        const qint64 blocks = used[{text(q.user), text(q.tablespace)}];
        quotas_.push_back({text(q.tablespace), text(q.user), blocks * StorageLayout::kBlockSize, q.maxBytes, blocks,
                           q.maxBytes < 0 ? -1 : q.maxBytes / StorageLayout::kBlockSize, false});
    }

    for (const auto &g : kRoleGrants)
        grantRole(text(g[0]), text(g[1]), text(g[2]));
    for (const auto &g : kSystemGrants)
        grantSystem(text(g[0]), text(g[1]), text(g[2]));
    for (const auto &g : kTableGrants)
        grantTable(text(g[0]), text(g[1]), text(g[2]), text(g[3]), text(g[4]), text(g[5]));
    for (const char *v : kDictionaryViews)
        grantTable(QStringLiteral("SELECT_CATALOG_ROLE"), QStringLiteral("SYS"), text(v), QStringLiteral("SELECT"),
                   QStringLiteral("NO"), QStringLiteral("VIEW"));
    for (const char *v : kDynamicViews)
        for (const char *prefix : {"V_$", "GV_$"})
            grantTable(QStringLiteral("SELECT_CATALOG_ROLE"), QStringLiteral("SYS"), text(prefix) + text(v),
                       QStringLiteral("SELECT"), QStringLiteral("NO"), QStringLiteral("VIEW"));
    for (const char *p : kCataloguePackages)
        grantTable(QStringLiteral("EXECUTE_CATALOG_ROLE"), QStringLiteral("SYS"), text(p), QStringLiteral("EXECUTE"),
                   QStringLiteral("NO"), QStringLiteral("PACKAGE"));
    for (const auto &g : kColumnGrants)
        grantColumn(text(g[0]), text(g[1]), text(g[2]), text(g[3]), text(g[4]), text(g[5]));
}

const std::vector<int> &SecurityModel::roleGrantsOf(const QString &grantee) const
{
    return lookup(roleGrantsOf_, grantee);
}

const std::vector<int> &SecurityModel::systemGrantsOf(const QString &grantee) const
{
    return lookup(systemGrantsOf_, grantee);
}

const std::vector<int> &SecurityModel::tableGrantsOf(const QString &grantee) const
{
    return lookup(tableGrantsOf_, grantee);
}

const std::vector<int> &SecurityModel::columnGrantsOf(const QString &grantee) const
{
    return lookup(columnGrantsOf_, grantee);
}

void SecurityModel::grantRole(const QString &grantee, const QString &role, const QString &admin)
{
    roleGrantsOf_[grantee].push_back(int(roleGrants_.size()));
    roleGrants_.push_back({grantee, role, admin});
}

void SecurityModel::grantSystem(const QString &grantee, const QString &privilege, const QString &admin)
{
    systemGrantsOf_[grantee].push_back(int(systemGrants_.size()));
    systemGrants_.push_back({grantee, privilege, admin});
}

void SecurityModel::grantTable(const QString &grantee, const QString &owner, const QString &table,
                               const QString &privilege, const QString &grantable, const QString &type)
{
    tableGrantsOf_[grantee].push_back(int(tableGrants_.size()));
    tableGrants_.push_back({grantee, owner, table, owner, privilege, grantable, type});
}

void SecurityModel::grantColumn(const QString &grantee, const QString &owner, const QString &table,
                                const QString &column, const QString &privilege, const QString &grantable)
{
    columnGrantsOf_[grantee].push_back(int(columnGrants_.size()));
    columnGrants_.push_back({grantee, owner, table, column, owner, privilege, grantable});
}

} // namespace tavimond::sim
