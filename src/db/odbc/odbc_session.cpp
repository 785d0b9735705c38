#include "odbc_session.h"

#include "../connection_string.h"
#include "../error.h"
#include "../timestamp_text.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace tavimond::odbc {
namespace {

// The length of a text for an ODBC call whose length parameter is a Length. A text longer
// than that can carry is refused: cut to fit, the driver would act on what was left.
template <class Length>
Length callLength(const std::u16string &text, const QString &what)
{
    constexpr Length most = std::numeric_limits<Length>::max();
    if (text.size() > size_t(most))
        throw DbError(QStringLiteral("%1 is %2 characters long; the ODBC driver takes at most %3.")
                          .arg(what)
                          .arg(text.size())
                          .arg(most));
    return Length(text.size());
}

// The driver's diagnostic records; call names the ODBC function that failed, for the
// message when the driver gives none.
QString diagnostics(SQLSMALLINT type, SQLHANDLE handle, const char *call, QString *firstState = nullptr)
{
    QStringList lines;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLWCHAR msg[SQL_MAX_MESSAGE_LENGTH] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT len = 0;
        const SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state, &native, msg, SQL_MAX_MESSAGE_LENGTH, &len);
        if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(rc))
            break;
        const int n = std::min<int>(len, SQL_MAX_MESSAGE_LENGTH - 1);
        lines << QString::fromUtf16(reinterpret_cast<const char16_t *>(msg), n);
        if (firstState && i == 1)
            *firstState = QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5);
    }
    if (lines.isEmpty())
        return QStringLiteral("The ODBC driver answered %1 with a failure and gave no message.")
            .arg(QLatin1String(call));
    return lines.join(QLatin1Char('\n'));
}

bool isLinkLost(const QString &state, const QString &message)
{
    return state == QLatin1String("08S01") || state == QLatin1String("08003") ||
           message.contains(QLatin1String("ORA-03113")) || message.contains(QLatin1String("ORA-03114")) ||
           message.contains(QLatin1String("ORA-03135"));
}

bool isNumericType(SQLSMALLINT t)
{
    switch (t) {
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_BIGINT:
    case SQL_TINYINT:
        return true;
    default:
        return false;
    }
}

bool isDateTimeType(SQLSMALLINT t)
{
    return t == SQL_TYPE_TIMESTAMP || t == SQL_TYPE_DATE || t == SQL_DATETIME || t == SQL_TIMESTAMP || t == SQL_DATE;
}

bool isCharacterType(SQLSMALLINT t)
{
    switch (t) {
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
        return true;
    default:
        return false;
    }
}

struct Environment {
    SQLHENV env = SQL_NULL_HENV;
    Environment()
    {
        // Month names in English and '.' as the decimal mark for every statement, without
        // sending anything but queries: the client library reads this when the driver loads.
        if (qEnvironmentVariableIsEmpty("NLS_LANG"))
            qputenv("NLS_LANG", "AMERICAN_AMERICA.AL32UTF8");
        if (SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
            SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    }
    ~Environment()
    {
        if (env != SQL_NULL_HENV)
            SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
};

SQLHENV environment()
{
    static Environment e;
    if (e.env == SQL_NULL_HENV)
        throw DbError(QStringLiteral("The ODBC driver manager could not be initialised."));
    return e.env;
}

std::u16string wide(const QString &s)
{
    return std::u16string(reinterpret_cast<const char16_t *>(s.utf16()), size_t(s.size()));
}

// Cancels a running statement once its time-out has passed: drivers may ignore
// SQL_ATTR_QUERY_TIMEOUT, but SQLCancel from another thread is honoured.
class Watchdog {
public:
    Watchdog(SQLHSTMT stmt, int seconds) : stmt_(stmt)
    {
        if (seconds > 0)
            thread_ = std::thread([this, seconds] { run(seconds); });
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }
    bool fired() const { return fired_; }

private:
    void run(int seconds)
    {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
            fired_ = true;
            SQLCancel(stmt_);
        }
    }
    SQLHSTMT stmt_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

class OdbcSession;

class OdbcCursor : public Cursor {
public:
    // Text: character data, read wide. Number: read as text with "." for the decimal mark.
    // DateTime: read as a timestamp and written in one form. DriverText: every other type
    // (intervals, zoned timestamps, binary data, a driver's own types), read as the text
    // the driver makes of it.
    enum class Kind { Text, Number, DateTime, DriverText };

    OdbcCursor(OdbcSession &session, SQLHSTMT stmt, QStringList names, std::vector<Kind> kinds)
        : session_(session), stmt_(stmt), names_(std::move(names)), kinds_(std::move(kinds)), values_(names_.size())
    {}
    ~OdbcCursor() override;
    const QStringList &columnNames() const override { return names_; }
    bool fetch() override;
    QString value(int i) const override { return values_.at(i); }

private:
    template <class Unit>
    std::basic_string<Unit> readPieces(SQLUSMALLINT col, SQLSMALLINT cType);
    QString readDateTime(SQLUSMALLINT col);
    [[noreturn]] void fail(const char *call);

    OdbcSession &session_;
    SQLHSTMT stmt_;
    QStringList names_;
    std::vector<Kind> kinds_;
    QStringList values_;
};

class OdbcSession : public Session {
public:
    explicit OdbcSession(const ConnectionString &cs)
    {
        const std::u16string in = wide(driverConnectString(cs));
        const auto inLen = callLength<SQLSMALLINT>(
            in, QStringLiteral("The connection string (the db.ini section with the user name, password and service "
                               "added)"));
        SQLHENV env = environment();
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc_)))
            throw DbError(diagnostics(SQL_HANDLE_ENV, env, "SQLAllocHandle"));
        // The system only reads; ask the driver to hold the session to that too. Drivers may
        // answer that they cannot (SQLite's stays read-write): the rollbacks below hold anyway.
        SQLSetConnectAttr(dbc_, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
        // The text goes to the database as the guard read it: no escape clauses rewritten.
        SQLSetConnectAttr(dbc_, SQL_ATTR_NOSCAN, reinterpret_cast<SQLPOINTER>(SQL_NOSCAN_ON), 0);
        SQLWCHAR out[2048];
        SQLSMALLINT outLen = 0;
        const SQLRETURN rc =
            SQLDriverConnectW(dbc_, nullptr, reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(in.c_str())), inLen,
                              out, SQLSMALLINT(std::size(out)), &outLen, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            const QString message = diagnostics(SQL_HANDLE_DBC, dbc_, "SQLDriverConnect");
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
            dbc_ = SQL_NULL_HDBC;
            throw DbError(message);
        }
        // Whatever slips past the guard, or a function with side effects that a query calls,
        // stays in an open transaction that is rolled back when the statements close.
        transactions_ = SQL_SUCCEEDED(
            SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
        SQLUSMALLINT behaviour = SQL_CB_CLOSE;
        if (SQL_SUCCEEDED(SQLGetInfo(dbc_, SQL_CURSOR_ROLLBACK_BEHAVIOR, &behaviour, sizeof behaviour, nullptr)))
            rollbackKeepsCursors_ = behaviour == SQL_CB_PRESERVE;
    }
    ~OdbcSession() override
    {
        if (dbc_ != SQL_NULL_HDBC) {
            // An open transaction would make the driver refuse to disconnect.
            if (transactions_)
                SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
            SQLDisconnect(dbc_);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        }
    }

    std::unique_ptr<Cursor> execute(const QString &sql, int timeoutSeconds) override
    {
        const std::u16string text = wide(sql);
        const auto textLen = callLength<SQLINTEGER>(text, QStringLiteral("The statement"));
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt)))
            throw failure(SQL_HANDLE_DBC, dbc_, "SQLAllocHandle");
        if (timeoutSeconds > 0)
            SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0);
        SQLRETURN rc;
        bool timedOut;
        {
            Watchdog watchdog(stmt, timeoutSeconds);
            rc = SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(text.c_str())), textLen);
            timedOut = watchdog.fired();
        }
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            DbError e = failure(SQL_HANDLE_STMT, stmt, "SQLExecDirect");
            discard(stmt);
            if (timedOut)
                throw DbError(QStringLiteral("The statement was cancelled after its time-out of %1 seconds.\n%2")
                                  .arg(timeoutSeconds)
                                  .arg(e.message()));
            throw e;
        }
        SQLSMALLINT cols = 0;
        SQLNumResultCols(stmt, &cols);
        if (cols <= 0) {
            // Every query has a column: this statement did something else.
            discard(stmt);
            throw DbError(transactions_ ? QStringLiteral("The statement gave no rows to read, so it was not a query; "
                                                         "what it changed has been rolled back.")
                                        : QStringLiteral("The statement gave no rows to read, so it was not a query; "
                                                         "the driver cannot roll back what it changed."));
        }
        QStringList names;
        std::vector<OdbcCursor::Kind> kinds;
        for (SQLUSMALLINT c = 1; c <= cols; ++c) {
            SQLSMALLINT type = 0;
            names << describeColumn(stmt, c, type);
            kinds.push_back(kindOf(stmt, c, type));
        }
        ++open_;
        return std::make_unique<OdbcCursor>(*this, stmt, names, kinds);
    }

    bool alive() const override { return alive_; }

    DbError failure(SQLSMALLINT type, SQLHANDLE handle, const char *call)
    {
        QString state;
        const QString message = diagnostics(type, handle, call, &state);
        if (isLinkLost(state, message))
            alive_ = false;
        return DbError(message);
    }

    // A cursor's statement is done with.
    void closed(SQLHSTMT stmt)
    {
        --open_;
        discard(stmt);
    }

private:
    // A column's whole name, and its type. A name that fills the buffer is asked for again
    // with more room: some drivers cut it to fit and give the cut length.
    static QString describeColumn(SQLHSTMT stmt, SQLUSMALLINT col, SQLSMALLINT &type)
    {
        constexpr size_t most = size_t(std::numeric_limits<SQLSMALLINT>::max());
        std::vector<SQLWCHAR> name(512);
        for (;;) {
            SQLSMALLINT len = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            SQLDescribeColW(stmt, col, name.data(), SQLSMALLINT(name.size()), &len, &type, &size, &digits, &nullable);
            if (size_t(std::max<SQLSMALLINT>(len, 0)) + 1 < name.size() || name.size() == most)
                return QString::fromUtf16(reinterpret_cast<const char16_t *>(name.data()),
                                          std::clamp<qsizetype>(len, 0, qsizetype(name.size()) - 1));
            name.assign(std::min(std::max(name.size() * 2, size_t(len) + 1), most), 0);
        }
    }

    static OdbcCursor::Kind kindOf(SQLHSTMT stmt, SQLUSMALLINT col, SQLSMALLINT type)
    {
        if (isNumericType(type))
            return OdbcCursor::Kind::Number;
        if (isCharacterType(type))
            return OdbcCursor::Kind::Text;
        if (!isDateTimeType(type))
            return OdbcCursor::Kind::DriverText;
        // A timestamp's zone has no place in the timestamp structure: a driver that calls
        // such a column a timestamp still names its type in full.
        SQLWCHAR name[128] = {};
        SQLSMALLINT len = 0;
        SQLColAttributeW(stmt, col, SQL_DESC_TYPE_NAME, name, SQLSMALLINT(sizeof name), &len, nullptr);
        const QString typeName = QString::fromUtf16(reinterpret_cast<const char16_t *>(name),
                                                    std::min<int>(len / 2, int(std::size(name)) - 1));
        const bool zoned = typeName.contains(QLatin1String("TIME ZONE"), Qt::CaseInsensitive) &&
                           !typeName.contains(QLatin1String("LOCAL"), Qt::CaseInsensitive);
        return zoned ? OdbcCursor::Kind::DriverText : OdbcCursor::Kind::DateTime;
    }

    // Frees a statement and, once no other statement is open (or the driver keeps open
    // cursors across a rollback), rolls back whatever the session's statements changed.
    void discard(SQLHSTMT stmt)
    {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        if (transactions_ && (open_ == 0 || rollbackKeepsCursors_))
            SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    }

    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool alive_ = true;
    bool transactions_ = false;
    bool rollbackKeepsCursors_ = false;
    int open_ = 0;
};

OdbcCursor::~OdbcCursor()
{
    SQLCloseCursor(stmt_);
    session_.closed(stmt_);
}

bool OdbcCursor::fetch()
{
    const SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA)
        return false;
    if (!SQL_SUCCEEDED(rc))
        fail("SQLFetch");
    for (int i = 0; i < values_.size(); ++i) {
        const auto col = SQLUSMALLINT(i + 1);
        switch (kinds_[size_t(i)]) {
        case Kind::Number:
            values_[i] = normaliseNumber(QString::fromStdU16String(readPieces<char16_t>(col, SQL_C_WCHAR)));
            break;
        case Kind::DateTime:
            values_[i] = readDateTime(col);
            break;
        case Kind::Text:
            values_[i] = QString::fromStdU16String(readPieces<char16_t>(col, SQL_C_WCHAR));
            break;
        case Kind::DriverText: {
            // Narrow text is the conversion every driver makes of every type.
            const std::string bytes = readPieces<char>(col, SQL_C_CHAR);
            values_[i] = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
            break;
        }
        }
    }
    return true;
}

QString OdbcCursor::readDateTime(SQLUSMALLINT col)
{
    // One text form for dates and times whatever the driver's own: 'YYYY-MM-DD HH:MM:SS',
    // with the fraction of a second where there is one.
    SQL_TIMESTAMP_STRUCT ts{};
    SQLLEN ind = 0;
    const SQLRETURN rc = SQLGetData(stmt_, col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind);
    if (!SQL_SUCCEEDED(rc))
        fail("SQLGetData");
    if (ind == SQL_NULL_DATA)
        return {};
    return timestampText(ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second, ts.fraction);
}

template <class Unit>
std::basic_string<Unit> OdbcCursor::readPieces(SQLUSMALLINT col, SQLSMALLINT cType)
{
    // Long texts (SQL text, source, DDL) arrive in pieces; read until the driver has no more.
    // NULL reads as empty text.
    std::basic_string<Unit> out;
    Unit buf[4096];
    const SQLLEN capacity = SQLLEN(std::size(buf)) - 1; // the driver ends each piece with a zero
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(stmt_, col, cType, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA)
            return out;
        if (!SQL_SUCCEEDED(rc))
            fail("SQLGetData");
        if (ind == SQL_NULL_DATA)
            return {};
        if (rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind / SQLLEN(sizeof(Unit)) > capacity)) {
            out.append(buf, size_t(capacity));
            continue;
        }
        out.append(buf, size_t(ind / SQLLEN(sizeof(Unit))));
        return out;
    }
}

void OdbcCursor::fail(const char *call)
{
    throw session_.failure(SQL_HANDLE_STMT, stmt_, call);
}

} // namespace

QString driverConnectString(const ConnectionString &cs)
{
    QString out;
    for (const auto &[key, value] : cs.prefixAttributes()) {
        if (key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            continue; // an OLE DB notion, meaningless to ODBC
        QString v = odbcValue(value);
        if (key.compare(QLatin1String("Driver"), Qt::CaseInsensitive) == 0 && !v.startsWith(QLatin1Char('{')))
            v = QLatin1Char('{') + v + QLatin1Char('}');
        out += key + QLatin1Char('=') + v + QLatin1Char(';');
    }
    if (cs.logon) {
        out += QStringLiteral("UID=") + odbcValue(cs.logon->user) + QLatin1Char(';');
        out += QStringLiteral("PWD=") + odbcValue(cs.logon->password) + QLatin1Char(';');
        out += QStringLiteral("DBQ=") + odbcValue(cs.logon->dataSource) + QLatin1Char(';');
    }
    return out;
}

std::unique_ptr<Session> connect(const ConnectionString &cs)
{
    return std::make_unique<OdbcSession>(cs);
}

QString normaliseNumber(const QString &text)
{
    if (text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('.'))) {
        QString t = text;
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        return t;
    }
    return text;
}

} // namespace tavimond::odbc
