// v$lock and v$lock_type, alone or joined on the lock type, and gv$session asked for
// blocked sessions: the locks of the instance connected to and the sessions of any
// instance that wait for another.
#include "live_model.h"
#include "../select_eval.h"
#include "../server.h"
#include "sql_sessions.h"
#include "../dictionary/storage_layout.h"

#include <optional>

namespace tavimond::sim {
namespace {

struct LockType {
    const char *type;
    const char *name;
    const char *id1Tag;
    const char *id2Tag;
    const char *isUser;
    const char *description;
};

const LockType kLockTypes[] = {
    {"AE", "Edition Lock", "edition obj#", "0", "NO", "Prevent Dropping an edition in use"},
    {"CF", "Controlfile Transaction", "0", "operation", "NO", "Synchronizes accesses to the controlfile"},
    {"JQ", "Job Queue", "0", "job #", "NO", "Lock to prevent multiple instances from running a single job"},
    {"KD", "Scheduler Master DBRM", "0", "0", "NO", "Determine DBRM master"},
    {"KT", "Scheduler Plan", "plan #", "0", "NO", "Synchronizes accesses to the current Resource Manager plan"},
    {"MR", "Media Recovery", "file #", "type", "NO", "Lock used for media recovery"},
    {"RT", "Redo Thread", "thread id", "lock type", "NO", "Thread locks held to indicate mounted or open status"},
    {"TM", "DML", "object #", "table/partition", "YES", "Synchronizes accesses to an object"},
    {"TO", "Temp Object", "object #", "1", "NO", "Synchronizes DDL and DML operations on a temp object"},
    {"TS", "Temporary Segment", "tablespace #", "dba", "NO", "Serializes accesses to temp segments"},
    {"TX", "Transaction", "usn<<16 | slot", "sequence", "YES",
     "Lock held by a transaction to allow other transactions to wait for it"},
    {"UL", "User-defined", "0", "0", "YES", "Lock used by user applications"},
    {"XR", "Quiesce / Force Logging", "opcode", "0", "NO", "Lock held during database quiesce"},
};

// Locks the instance's background processes hold from its start.
struct InstanceLock {
    int sid;
    const char *type;
    qint64 id1; // -1: the instance's thread number
    qint64 id2;
    int lmode;
    int block;
};

const InstanceLock kInstanceLocks[] = {
    {2, "XR", 4, 0, 1, 0}, {3, "RT", -1, 6, 6, 2},   {5, "MR", 1, 0, 4, 2},    {5, "MR", 2, 0, 4, 2},
    {5, "MR", 3, 0, 4, 2}, {5, "MR", 4, 0, 4, 2},    {5, "MR", 5, 0, 4, 2},    {5, "MR", 201, 0, 4, 2},
    {7, "KD", 0, 0, 6, 0}, {7, "KT", 4468, 0, 4, 0}, {9, "TO", 5003, 1, 3, 0},
};

// A table's object_id as dba_objects shows it; the table is named owner.name.
qint64 objectNumber(Model &model, const QString &table)
{
    const QString owner = table.section(QLatin1Char('.'), 0, 0), name = table.section(QLatin1Char('.'), 1);
    for (const StorageLayout::DbObject &o : model.state<StorageLayout>().objects())
        if (o.owner == owner && o.name == name && o.subobject.isEmpty() && o.type == QLatin1String("TABLE"))
            return o.objectId;
    return 0;
}

QString hex(quint64 value)
{
    return QStringLiteral("%1").arg(value, 16, 16, QLatin1Char('0')).toUpper();
}

Table lockTypeRows()
{
    Table t({QStringLiteral("TYPE"), QStringLiteral("NAME"), QStringLiteral("ID1_TAG"), QStringLiteral("ID2_TAG"),
             QStringLiteral("IS_USER"), QStringLiteral("IS_RECYCLE"), QStringLiteral("DESCRIPTION"),
             QStringLiteral("CON_ID")});
    for (const LockType &l : kLockTypes)
        t.addRow({QLatin1String(l.type), QLatin1String(l.name), QLatin1String(l.id1Tag), QLatin1String(l.id2Tag),
                  QLatin1String(l.isUser), QStringLiteral("NO"), QLatin1String(l.description), QStringLiteral("0")});
    return t;
}

// v$lock of one instance: ADDR, KADDR, SID, TYPE, ID1, ID2, LMODE, REQUEST, CTIME,
// BLOCK, CON_ID.
Table lockRows(Model &model, int instance)
{
    Table t({QStringLiteral("ADDR"), QStringLiteral("KADDR"), QStringLiteral("SID"), QStringLiteral("TYPE"),
             QStringLiteral("ID1"), QStringLiteral("ID2"), QStringLiteral("LMODE"), QStringLiteral("REQUEST"),
             QStringLiteral("CTIME"), QStringLiteral("BLOCK"), QStringLiteral("CON_ID")});
    quint64 addr = 0x00000000B3A1F000ULL + quint64(instance) * 0x100000;
    auto add = [&](int sid, const QString &type, qint64 id1, qint64 id2, int lmode, int request, qint64 ctime,
                   int block) {
        t.addRow({hex(addr), hex(addr + 0x18), QString::number(sid), type, QString::number(id1), QString::number(id2),
                  QString::number(lmode), QString::number(request), QString::number(ctime), QString::number(block),
                  QStringLiteral("0")});
        addr += 0x88;
    };
    const qint64 up = model.state<LiveModel>().instanceAge(instance);
    for (const InstanceLock &l : kInstanceLocks)
        add(l.sid, QLatin1String(l.type), l.id1 < 0 ? instance : l.id1, l.id2, l.lmode, 0, up, l.block);
    for (const SqlSession &s : model.state<SqlSessions>().now()) {
        if (s.instance != instance)
            continue;
        add(s.sid, QStringLiteral("AE"), 134, 0, 4, 0, s.logonSeconds, 0);
        if (!s.transactionTable.isEmpty())
            add(s.sid, QStringLiteral("TM"), objectNumber(model, s.transactionTable), 0, 3, 0, s.transactionSeconds, 0);
        if (s.transactionUsnSlot)
            add(s.sid, QStringLiteral("TX"), s.transactionUsnSlot, s.transactionSequence, 6, 0, s.transactionSeconds,
                s.blocksOthers ? 1 : 0);
        if (s.requestedUsnSlot)
            add(s.sid, QStringLiteral("TX"), s.requestedUsnSlot, s.requestedSequence, 0, 6, s.sqlSeconds, 0);
    }
    return t;
}

// v$lock rows with their type's columns beside them: what "v$lock l, v$lock_type lt
// where l.type = lt.type" reads.
Table lockWithTypeRows(Model &model, int instance)
{
    const Table locks = lockRows(model, instance);
    const Table types = lockTypeRows();
    QStringList columns = locks.columns;
    for (int c = 1; c + 1 < types.columns.size(); ++c) // every column but TYPE and CON_ID
        columns << types.columns.at(c);
    Table t(columns);
    for (qsizetype r = 0; r < locks.rowCount(); ++r) {
        for (qsizetype k = 0; k < types.rowCount(); ++k) {
            if (types.cell(k, 0) != locks.cell(r, 3))
                continue;
            QStringList row;
            for (qsizetype c = 0; c < locks.columns.size(); ++c)
                row << locks.cell(r, c);
            for (qsizetype c = 1; c + 1 < types.columns.size(); ++c)
                row << types.cell(k, c);
            t.addRow(row);
        }
    }
    return t;
}

const QString kJoinedView = QStringLiteral("v$lock_with_type");

// A query over "v$lock [alias], v$lock_type [alias]", either way round, rewritten to
// read the joined rows as one view; the join condition then holds on every row.
std::optional<Statement> overLocksWithTypes(const Statement &s)
{
    const std::vector<Token> &t = s.tokens();
    const auto isWord = [&](size_t i, const char *text) {
        return i < t.size() && t[i].kind == Token::Word && t[i].text == QLatin1String(text);
    };
    const auto isAlias = [&](size_t i) {
        static const QStringList clauses{QStringLiteral("where"),  QStringLiteral("order"),   QStringLiteral("group"),
                                         QStringLiteral("having"), QStringLiteral("connect"), QStringLiteral("start")};
        return i < t.size() && t[i].kind == Token::Word && !clauses.contains(t[i].text);
    };
    for (size_t from = 0; from < t.size(); ++from) {
        if (!isWord(from, "from"))
            continue;
        size_t i = from + 1;
        QStringList views;
        for (int n = 0; n < 2; ++n) {
            if (n == 1) {
                if (i >= t.size() || t[i].text != QLatin1String(","))
                    break;
                ++i;
            }
            if (i >= t.size() || t[i].kind != Token::Word)
                break;
            views << t[i++].text;
            if (isAlias(i))
                ++i;
        }
        views.sort();
        if (views != QStringList{QStringLiteral("v$lock"), QStringLiteral("v$lock_type")} ||
            (i < t.size() && t[i].text == QLatin1String(",")))
            return std::nullopt;
        QStringList text;
        for (size_t k = 0; k < t.size(); ++k) {
            if (k == from + 1)
                text << kJoinedView;
            if (k <= from || k >= i)
                text << t[k].text;
        }
        return Statement(text.join(QLatin1Char(' ')));
    }
    return std::nullopt;
}

// gv$session as the blocked-session query reads it: the user sessions of both instances.
Table sessionRows(Model &model)
{
    Table t({QStringLiteral("INST_ID"), QStringLiteral("SID"), QStringLiteral("SERIAL#"), QStringLiteral("USERNAME"),
             QStringLiteral("STATUS"), QStringLiteral("TYPE"), QStringLiteral("PROGRAM"), QStringLiteral("SQL_ID"),
             QStringLiteral("PREV_SQL_ID"), QStringLiteral("EVENT"), QStringLiteral("WAIT_CLASS"),
             QStringLiteral("SECONDS_IN_WAIT"), QStringLiteral("BLOCKING_SESSION_STATUS"),
             QStringLiteral("BLOCKING_INSTANCE"), QStringLiteral("BLOCKING_SESSION")});
    for (const SqlSession &s : model.state<SqlSessions>().now()) {
        const bool blocked = s.blockingSession != 0;
        t.addRow({QString::number(s.instance), QString::number(s.sid), QString::number(s.serial), s.username, s.status,
                  QStringLiteral("USER"), s.program, s.sqlId, s.prevSqlId, s.event, s.waitClass,
                  QString::number(s.sqlSeconds), blocked ? QStringLiteral("VALID") : QStringLiteral("NO HOLDER"),
                  blocked ? QString::number(s.blockingInstance) : QString(),
                  blocked ? QString::number(s.blockingSession) : QString()});
    }
    return t;
}

} // namespace

void registerLockFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("v$lock with v$lock_type"),
                   [](const Statement &s) { return overLocksWithTypes(s).has_value(); },
                   [](const Statement &s, Context &ctx) {
                       return *evaluateSimpleSelect(*overLocksWithTypes(s), kJoinedView,
                                                    [&] { return lockWithTypeRows(ctx.model, ctx.session.instance); });
                   }});
    out.push_back({QStringLiteral("v$lock"),
                   [](const Statement &s) { return simpleSelectView(s) == QLatin1String("v$lock"); },
                   [](const Statement &s, Context &ctx) {
                       return *evaluateSimpleSelect(s, QStringLiteral("v$lock"),
                                                    [&] { return lockRows(ctx.model, ctx.session.instance); });
                   }});
    out.push_back({QStringLiteral("v$lock_type"),
                   [](const Statement &s) { return simpleSelectView(s) == QLatin1String("v$lock_type"); },
                   [](const Statement &s, Context &) {
                       return *evaluateSimpleSelect(s, QStringLiteral("v$lock_type"), lockTypeRows());
                   }});
    // Only the blocked-session questions: the session list itself is another family's.
    out.push_back({QStringLiteral("gv$session blocking"),
                   [](const Statement &s) {
                       return simpleSelectView(s) == QLatin1String("gv$session") &&
                              (s.has(QStringLiteral("blocking_session")) || s.has(QStringLiteral("blocking_instance")));
                   },
                   [](const Statement &s, Context &ctx) {
                       return *evaluateSimpleSelect(s, QStringLiteral("gv$session"),
                                                    [&] { return sessionRows(ctx.model); });
                   }});
}

} // namespace tavimond::sim
