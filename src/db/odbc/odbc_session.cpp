#include "odbc_session.h"

#include "../connection_string.h"
#include "../error.h"
#include "../timestamp_text.h"

#include <sql.h>
#include <sqlext.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tavimond::odbc {
namespace {

QString diagnostics(SQLSMALLINT type, SQLHANDLE handle, QString *firstState = nullptr)
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
        return QStringLiteral("The ODBC driver reported an error without a message.");
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
    enum class Kind { Text, Number, DateTime };

    OdbcCursor(OdbcSession &session, SQLHSTMT stmt, QStringList names, std::vector<Kind> kinds)
        : session_(session), stmt_(stmt), names_(std::move(names)), kinds_(std::move(kinds)), values_(names_.size())
    {}
    ~OdbcCursor() override
    {
        SQLCloseCursor(stmt_);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    }
    const QStringList &columnNames() const override { return names_; }
    bool fetch() override;
    QString value(int i) const override { return values_.at(i); }

private:
    QString readColumn(SQLUSMALLINT col);
    QString readDateTime(SQLUSMALLINT col);
    [[noreturn]] void fail();

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
        SQLHENV env = environment();
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc_)))
            throw DbError(diagnostics(SQL_HANDLE_ENV, env));
        // The system only reads; ask the driver to hold the session to that too.
        SQLSetConnectAttr(dbc_, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
        const std::u16string in = wide(driverConnectString(cs));
        SQLWCHAR out[2048];
        SQLSMALLINT outLen = 0;
        const SQLRETURN rc =
            SQLDriverConnectW(dbc_, nullptr, reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(in.c_str())),
                              SQLSMALLINT(in.size()), out, SQLSMALLINT(std::size(out)), &outLen, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            const QString message = diagnostics(SQL_HANDLE_DBC, dbc_);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
            dbc_ = SQL_NULL_HDBC;
            throw DbError(message);
        }
    }
    ~OdbcSession() override
    {
        if (dbc_ != SQL_NULL_HDBC) {
            SQLDisconnect(dbc_);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        }
    }

    std::unique_ptr<Cursor> execute(const QString &sql, int timeoutSeconds) override
    {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt)))
            throw failure(SQL_HANDLE_DBC, dbc_);
        if (timeoutSeconds > 0)
            SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0);
        const std::u16string text = wide(sql);
        SQLRETURN rc;
        bool timedOut;
        {
            Watchdog watchdog(stmt, timeoutSeconds);
            rc = SQLExecDirectW(stmt, reinterpret_cast<SQLWCHAR *>(const_cast<char16_t *>(text.c_str())),
                                SQLINTEGER(text.size()));
            timedOut = watchdog.fired();
        }
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            DbError e = failure(SQL_HANDLE_STMT, stmt);
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            if (timedOut)
                throw DbError(QStringLiteral("The statement was cancelled after its time-out of %1 seconds.\n%2")
                                  .arg(timeoutSeconds)
                                  .arg(e.message()));
            throw e;
        }
        SQLSMALLINT cols = 0;
        SQLNumResultCols(stmt, &cols);
        QStringList names;
        std::vector<OdbcCursor::Kind> kinds;
        for (SQLUSMALLINT c = 1; c <= cols; ++c) {
            SQLWCHAR name[512] = {};
            SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            SQLDescribeColW(stmt, c, name, SQLSMALLINT(std::size(name)), &nameLen, &type, &size, &digits, &nullable);
            names << QString::fromUtf16(reinterpret_cast<const char16_t *>(name),
                                        std::min<int>(nameLen, int(std::size(name)) - 1));
            kinds.push_back(isNumericType(type)    ? OdbcCursor::Kind::Number
                            : isDateTimeType(type) ? OdbcCursor::Kind::DateTime
                                                   : OdbcCursor::Kind::Text);
        }
        return std::make_unique<OdbcCursor>(*this, stmt, names, kinds);
    }

    bool alive() const override { return alive_; }

    DbError failure(SQLSMALLINT type, SQLHANDLE handle)
    {
        QString state;
        const QString message = diagnostics(type, handle, &state);
        if (isLinkLost(state, message))
            alive_ = false;
        return DbError(message);
    }

private:
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool alive_ = true;
};

bool OdbcCursor::fetch()
{
    const SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA)
        return false;
    if (!SQL_SUCCEEDED(rc))
        fail();
    for (int i = 0; i < values_.size(); ++i) {
        const auto col = SQLUSMALLINT(i + 1);
        switch (kinds_[size_t(i)]) {
        case Kind::Number:
            values_[i] = normaliseNumber(readColumn(col));
            break;
        case Kind::DateTime:
            values_[i] = readDateTime(col);
            break;
        case Kind::Text:
            values_[i] = readColumn(col);
            break;
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
        fail();
    if (ind == SQL_NULL_DATA)
        return {};
    return timestampText(ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second, ts.fraction);
}

QString OdbcCursor::readColumn(SQLUSMALLINT col)
{
    // Long texts (SQL text, source, DDL) arrive in pieces; read until the driver has no more.
    QString out;
    char16_t buf[4096];
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(stmt_, col, SQL_C_WCHAR, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA)
            return out;
        if (!SQL_SUCCEEDED(rc))
            fail();
        if (ind == SQL_NULL_DATA)
            return {};
        const qsizetype capacity = qsizetype(sizeof buf / sizeof buf[0]) - 1;
        if (rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind / SQLLEN(sizeof(char16_t)) > capacity)) {
            out.append(QStringView(buf, capacity));
            continue;
        }
        out.append(QStringView(buf, qsizetype(ind / SQLLEN(sizeof(char16_t)))));
        return out;
    }
}

void OdbcCursor::fail()
{
    throw session_.failure(SQL_HANDLE_STMT, stmt_);
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
