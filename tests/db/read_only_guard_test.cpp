// The guard that lets only queries reach the database.
#include "db/db_support.h"
#include "db/read_only_guard.h"
#include "common/test_data.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace tavimond;
using test::errorOf;

namespace {

QString refusalOf(const QString &sql)
{
    return errorOf([&] { ensureReadOnly(sql); });
}

} // namespace

// Every distinct statement the test suite sent to the simulated instance, collected with
// TAVIMOND_SIM_LOG (see the README): the screens' own statements, edited scripts and
// the instance's tests. The guard must refuse none of them.
TEST(ReadOnlyGuard, AcceptsEveryStatementTheSuiteSends)
{
    QFile file(test::testDataFolder() + "/sent_statements.jsonl");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    int count = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const QJsonArray one = QJsonDocument::fromJson("[" + line + "]").array();
        ASSERT_EQ(one.size(), 1) << line.toStdString();
        const QString sql = one.at(0).toString();
        EXPECT_EQ(refusalOf(sql), "(no error)") << sql.toStdString();
        ++count;
    }
    EXPECT_GT(count, 500);
}

TEST(ReadOnlyGuard, AcceptsTheQueriesADbaWrites)
{
    for (const char *sql : {
             "select sysdate from dual",
             "SELECT * FROM V$SESSION WHERE STATUS = 'ACTIVE'",
             "-- sessions\n/* by instance */ (select inst_id, count(*) from gv$session group by inst_id)",
             "select /*+ full(s) parallel(4) */ s.sid from v$session s",
             "select sid, rank() over (partition by inst_id order by last_call_et desc) r from gv$session",
             "select owner from dba_tables union select owner from dba_views minus select 'SYS' from dual",
             "select * from dba_users where username in (select grantee from dba_role_privs)",
             "with a as (select 1 x from dual), b (y) as (select x from a) select * from a, b",
             "with t(n) as (select 1 from dual union all select n + 1 from t where n < 5)\n"
             "  search depth first by n set ord cycle n set c to 'Y' default 'N'\nselect * from t",
             "with a as (select 1 x from dual) (select x from a) union all (select 2 from dual)",
             "select * from (with a as (select 1 x from dual) select x from a)",
             "select 'delete from t; drop table u' as note, q'[it's; for update]' q, "
             "nq'{;}' n, N'o''brien;' m from dual",
             "select \"FOR\", \"select;\" from t -- ; delete from t\nwhere 1 = 1",
             "select 1 from dual;",
             "select 1 from dual ; -- done\n/* really */  ",
             "select count(*) from dba_tab_columns where column_name in ('UPDATE', 'DELETE')",
             "select timestamp '2024-01-01 00:00:00' at time zone 'UTC' from dual",
             "select * from dba_scheduler_jobs where repeat_interval like 'FREQ=%' order by owner",
             "select x from t pivot (sum(v) for k in ('A' as a, 'B' as b))",
             // A sequence's number read back, and nextval only as a literal, a quoted name or part of a name.
             "select last_number, s.currval from user_sequences, (select emp_seq.currval from dual) s",
             "select 'emp_seq.nextval' a, \"NEXTVAL\", t.\"NextVal\", t.nextval_count, nextval#, "
             "x.next_val from t -- s.nextval\n/* s.nextval */",
         })
        EXPECT_EQ(refusalOf(sql), "(no error)") << sql;
}

TEST(ReadOnlyGuard, RefusesWritesLocksPlsqlAndSecondStatementsNamingWhat)
{
    const struct {
        const char *sql;
        const char *message;
    } cases[] = {
        {"  \n -- nothing\n", "The statement was not sent: it is empty."},
        {"delete from t", "The statement was not sent: it begins with DELETE, and only queries (SELECT or WITH) are run."},
        {"/* select */ update t set x = 1", "it begins with UPDATE"},
        {"((begin null; end;))", "it begins with BEGIN"},
        {"with x as (select 1 from dual) delete from t where a in (select * from x)",
         "The statement was not sent: its WITH clause leads to DELETE, not to SELECT."},
        {"with x as (select 1 from dual)\ninsert into t select * from x", "leads to INSERT"},
        {"With x As (Select 1 From dual) Update t Set a = 1", "leads to UPDATE"},
        {"with x as (select 1 from dual) merge into t using x on (1 = 1) when matched then update set a = 1",
         "leads to MERGE"},
        {"select * from (with x as (select 1 from dual) delete from t)", "leads to DELETE"},
        {"with x as (select 1 from dual) (delete from t)", "it holds DELETE inside parentheses"},
        {"select * from t for update", "The statement was not sent: FOR UPDATE would lock the rows it reads."},
        {"select * from t where a = 1 for /* c */\n update of a nowait", "FOR UPDATE"},
        {"select * from t where a = 1for update", "FOR UPDATE"},
        {"select * from t for\u200Bupdate", "FOR UPDATE"},
        {"select 1 from dual; delete from t", "The statement was not sent: it holds a second statement after \";\"."},
        {"select 1 from dual;;", "second statement"},
        {"select 'a;' from dual; select 2 from dual", "second statement"},
        {"with function f return number is begin delete from t; return 1; end;\nselect f from dual",
         "The statement was not sent: its WITH clause declares a PL/SQL function, which the database would run."},
        {"WITH PROCEDURE p IS BEGIN NULL; END; SELECT 1 FROM dual", "declares a PL/SQL procedure"},
        {"select 'x from dual; delete from t", "it has a text literal that is never closed"},
        {"select q'[x from dual]; delete from t --]' from dual; delete from t", "second statement"},
        {"select q'<x' from dual; delete from t", "never closed"},
        {"select q' x ' from dual", "delimiter is a blank or a quote"},
        {"select \"x from dual; delete from t", "quoted name that is never closed"},
        {"select 1 from dual /* ; delete from t", "comment that is never closed"},
        // A CR alone may or may not end a "--" comment for the database: either way is checked.
        {"select 1 from dual --\r; delete from t", "second statement"},
        {"select 1 from dual --\r'\n; delete from t --'", "second statement"},
        {"select emp_seq.nextval from dual",
         "The statement was not sent: NEXTVAL would advance a sequence, and no rollback gives its numbers back."},
        {"SELECT Emp_Seq . NextVal FROM dual", "NEXTVAL would advance a sequence"},
        {"select emp_seq /* next */ .\n -- number\n nextval from dual", "NEXTVAL would advance a sequence"},
        {"select \"EMP_SEQ\".NEXTVAL, 1 from dual", "NEXTVAL would advance a sequence"},
        {"select * from t where id = hr.emp_seq.nextval", "NEXTVAL would advance a sequence"},
        {"select emp_seq.nextval@remote_db from dual", "NEXTVAL would advance a sequence"},
        {"select \"hr\".\"emp seq\".nextval from dual", "NEXTVAL would advance a sequence"},
        {"select emp_seq.\"NEXTVAL\" from dual", "NEXTVAL would advance a sequence"},
    };
    for (const auto &c : cases)
        EXPECT_TRUE(refusalOf(c.sql).contains(c.message)) << c.sql << "\n -> " << refusalOf(c.sql).toStdString();
}
