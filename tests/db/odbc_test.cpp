// The ODBC driver against a real ODBC driver: SQLite's, registered for the tests
// alone through ODBCSYSINI.
#include "db/db_support.h"
#include "common/test_data.h"
#include "db/driver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>

using namespace tavimond;
using test::errorOf;

namespace {

class OdbcSqlite : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("ODBCSYSINI")) << "run through ctest";
    }
    // An empty file is an empty SQLite database; the driver opens it read-only.
    QString database(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        return path;
    }
    ConnectionString sqlite(const QString &file, std::optional<Logon> logon = std::nullopt)
    {
        return {"Driver={Tavimond SQLite Test};Database=" + file + QLatin1Char(';'), logon};
    }
    // Runs statements on a connection of the test's own, with the driver's autocommit, as
    // another program would; returns the first field of every row of the last one.
    QStringList beside(const QString &file, const QStringList &statements)
    {
        SQLHENV env = SQL_NULL_HENV;
        SQLHDBC dbc = SQL_NULL_HDBC;
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
        QByteArray cs = sqlite(file).prefix.toUtf8();
        EXPECT_TRUE(SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR *>(cs.data()), SQL_NTS,
                                                   nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)));
        QStringList rows;
        for (const QString &sql : statements) {
            SQLHSTMT st = SQL_NULL_HSTMT;
            SQLAllocHandle(SQL_HANDLE_STMT, dbc, &st);
            QByteArray text = sql.toUtf8();
            EXPECT_TRUE(SQL_SUCCEEDED(SQLExecDirect(st, reinterpret_cast<SQLCHAR *>(text.data()), SQL_NTS))) << sql;
            rows.clear();
            char buf[256];
            SQLLEN ind = 0;
            while (SQL_SUCCEEDED(SQLFetch(st)) && SQL_SUCCEEDED(SQLGetData(st, 1, SQL_C_CHAR, buf, sizeof buf, &ind)))
                rows << QString::fromUtf8(buf);
            SQLFreeHandle(SQL_HANDLE_STMT, st);
        }
        SQLDisconnect(dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        return rows;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(OdbcSqlite, ReadsRowsFieldsNullsAndLongTexts)
{
    Connection cnn;
    cnn.setConnectionString(sqlite(database("a.db"), Logon{"scott", "ti;ger}", "ORCL"}));
    Query q(cnn);
    q.setSql({"with s(sid, username, wait_s) as",
              "  (values (17, 'SCOTT', 1.25), (23, null, 2.5), (31, 'J\u00fcrgen', 0))",
              "select sid, username as UserName, wait_s, sid as SID from s order by sid"});
    q.open();
    ASSERT_EQ(q.fieldCount(), 4);
    EXPECT_EQ(q.fieldName(1), "UserName");
    QStringList rows;
    for (; !q.eof(); q.next())
        rows << QStringList{q.field(0), q.field("USERNAME"), q.field("wait_s"), q.field("sid")}.join(QLatin1Char('|'));
    EXPECT_EQ(rows, (QStringList{"17|SCOTT|1.25|17", "23||2.5|23", "31|J\u00fcrgen|0|31"}));
    EXPECT_EQ(q.field(0), QString());
    q.close();

    // A text of a megabyte arrives whole.
    q.setSql({"select hex(zeroblob(500000)) || 'end' as big"});
    q.open();
    const QString big = q.field("BIG");
    EXPECT_EQ(big.size(), 1000003);
    EXPECT_TRUE(big.endsWith("0end"));
    EXPECT_EQ(big.count(QLatin1Char('0')), 1000000);
}

TEST_F(OdbcSqlite, DriverErrorsCarryTheDriversMessageAndTheTimeOutCancelsALongStatement)
{
    Connection cnn;
    cnn.setConnectionString(sqlite(database("b.db")));
    Query q(cnn);
    q.setSql({"select * from no_such_table"});
    EXPECT_TRUE(errorOf([&] { q.open(); }).contains("no such table: no_such_table"));
    q.setSql({"select from where"});
    EXPECT_THROW(q.open(), DbError);

    // The command time-out cancels a long statement; the connection is still usable afterwards.
    Query slow(cnn, 1);
    slow.setSql(
        {"with recursive n(i) as (select 1 union all select i + 1 from n)", "select count(*) from n where i < 0"});
    EXPECT_TRUE(errorOf([&] { slow.open(); }).contains("time-out of 1 seconds"));
    slow.setSql({"select 42"});
    slow.open();
    EXPECT_EQ(slow.field(0), "42");

    Connection other;
    other.setConnectionString({"Driver={No Such Driver};Database=x.db;", std::nullopt});
    Query r(other);
    r.setSql({"select 1"});
    EXPECT_TRUE(errorOf([&] { r.open(); }).contains("No Such Driver"));
    EXPECT_FALSE(other.connected());
}

TEST_F(OdbcSqlite, ClosedConnectionReconnectsWithTheCurrentStringOnTheNextOpen)
{
    const QString first = database("first.db");
    const QString second = database("second.db");
    Connection cnn;
    cnn.setConnectionString(sqlite(first));
    Query q(cnn);
    q.setSql({"select file from pragma_database_list where name = 'main'"});
    q.open();
    EXPECT_TRUE(q.field(0).endsWith("first.db"));
    EXPECT_TRUE(cnn.connected());

    cnn.close();
    EXPECT_FALSE(cnn.connected());
    EXPECT_FALSE(q.isOpen());
    q.open();
    EXPECT_TRUE(q.field(0).endsWith("first.db"));

    cnn.setConnectionString(sqlite(second));
    EXPECT_FALSE(q.isOpen());
    q.open();
    EXPECT_TRUE(q.field(0).endsWith("second.db"));
}

TEST_F(OdbcSqlite, AStringTooLongForTheDriverIsRefusedAndALongColumnNameArrivesWhole)
{
    // A user name so long that the string's length, cut to 16 bits, would end the string
    // inside the database's name: "<dir>/target" instead of "<dir>/target.db".
    const QString file = database("target.db");
    const QString prefix = sqlite(file).prefix;
    const qsizetype length = 65536 + prefix.size() - 4; // cut to 16 bits: the prefix less ".db;"
    const QString user(length - prefix.size() - QStringLiteral("UID=;PWD=tiger;DBQ=ORCL;").size(), QLatin1Char('u'));
    Connection cnn;
    cnn.setConnectionString(sqlite(file, Logon{user, "tiger", "ORCL"}));
    Query q(cnn);
    q.setSql({"select 1"});
    EXPECT_EQ(errorOf([&] { q.open(); }),
              QStringLiteral("The connection string (the db.ini section with the user name, password and service "
                             "added) is %1 characters long; the ODBC driver takes at most 32767.")
                  .arg(length));
    EXPECT_FALSE(cnn.connected());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"target.db"});

    // A column's name, however long, comes whole.
    cnn.setConnectionString(sqlite(file, Logon{"scott", "tiger", "ORCL"}));
    const QString name = QString(600, QLatin1Char('n')) + "_end";
    q.setSql({"select 1 as \"" + name + "\""});
    q.open();
    EXPECT_EQ(q.fieldName(0), name);
    EXPECT_EQ(q.fieldIndex(name), 0);
}

TEST_F(OdbcSqlite, DatesAndTimestampsReadInOneFormWhateverTheDriverStoredAndOtherTypesAsTheDriversText)
{
    const QString data = tavimond::test::testDataFolder();
    // A copy: the driver may touch the file it opens.
    const QString file = dir.filePath("times.db");
    ASSERT_TRUE(QFile::copy(data + "/repository_times.db", file));
    beside(file, {"create table ty (z timestamp with time zone, l timestamp, t time, b blob, i interval)",
                  "insert into ty values ('2024-01-02 03:04:05 +02:00', '2024-01-02 03:04:05.5', '10:11:12', "
                  "x'C0FFEE', '+01 02:03:04.500000')"});
    Connection cnn;
    cnn.setConnectionString(sqlite(file));
    Query q(cnn);
    q.setSql({"select snap_id, begin_interval_time, startup_time, day from snap order by snap_id"});
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next())
        rows << QStringList{q.field(0), q.field(1), q.field(2), q.field(3)}.join(QLatin1Char('|'));
    EXPECT_EQ(rows, (QStringList{"41230|2013-05-01 08:00:03.123|2013-04-28 22:14:05|2013-05-01 00:00:00",
                                 "41231|2013-05-01 09:00:00|2013-04-28 22:14:05|2013-05-01 00:00:00", "41232|||"}));
    EXPECT_EQ(qgetenv("NLS_LANG"), QByteArray("AMERICAN_AMERICA.AL32UTF8"));

    // Types the system does not read itself come as the driver makes them: a timestamp
    // with a zone, which the driver calls a timestamp, keeps its zone.
    q.setSql({"select z, l, t, b, i from ty"});
    q.open();
    EXPECT_EQ((QStringList{q.field(0), q.field(1), q.field(2), q.field(3), q.field(4)}),
              (QStringList{"2024-01-02 03:04:05 +02:00", "2024-01-02 03:04:05.5", "10:11:12", "X'C0FFEE'",
                           "+01 02:03:04.500000"}));
}

TEST_F(OdbcSqlite, AStatementThatSlipsPastTheGuardLeavesTheDataAsItWas)
{
    const QString file = database("rows.db");
    beside(file, {"create table t (a int)", "insert into t values (1), (2), (3)"});
    Connection cnn;
    cnn.setConnectionString(sqlite(file));
    Query q(cnn);
    q.setSql({"with x as (select 1) delete from t where a > 0"});
    // Through the guard: refused, nothing sent.
    EXPECT_EQ(errorOf([&] { q.open(); }), "The statement was not sent: its WITH clause leads to DELETE, not to SELECT.");

    // Below the guard, as a statement it misread would arrive: the driver runs it, and
    // the user learns what happened.
    {
        const auto session = openSession(sqlite(file));
        // A query of the session stays open meanwhile.
        const auto reader = session->execute("select a from t order by a", 0);
        ASSERT_TRUE(reader->fetch());
        EXPECT_EQ(reader->value(0), "1");
        EXPECT_EQ(errorOf([&] { session->execute("with x as (select 1) delete from t where a > 0", 0); }),
                  "The statement gave no rows to read, so it was not a query; what it changed has been rolled back.");
        const auto sum = session->execute("select count(*) || '|' || sum(a) from t", 0);
        ASSERT_TRUE(sum->fetch());
        EXPECT_EQ(sum->value(0), "3|6");
        ASSERT_TRUE(reader->fetch());
        EXPECT_EQ(reader->value(0), "2");
    }
    EXPECT_EQ(beside(file, {"select count(*) || '|' || sum(a) from t"}), QStringList{"3|6"});
}
