// The stored code, views, sequences, triggers, synonyms, directories and scheduler
// objects of the simulated dictionary.
#include "code_catalogue.h"
#include "dictionary_model.h"

#include "../../timestamp_text.h"
#include "../statement.h"

#include <QLocale>
#include <QStringList>

namespace tavimond::sim::code {
namespace {

QString n(qint64 v)
{
    return QString::number(v);
}

QString q(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// ---- Stored code ----

struct SourceSpec {
    const char *owner;
    const char *name;
    const char *type;
    const char *text; // lines separated by line feeds
};

const SourceSpec kSource[] = {
    {"SALES", "ORDER_TOTAL", "FUNCTION",
     "FUNCTION order_total(p_order_id IN NUMBER) RETURN NUMBER\n"
     "IS\n"
     "  v_total NUMBER;\n"
     "BEGIN\n"
     "  SELECT SUM(quantity * unit_price * (1 - NVL(discount_pct, 0) / 100))\n"
     "    INTO v_total\n"
     "    FROM order_lines\n"
     "   WHERE order_id = p_order_id;\n"
     "  RETURN NVL(v_total, 0);\n"
     "END order_total;"},
    {"BILLING", "TAX_AMOUNT", "FUNCTION",
     "FUNCTION tax_amount(p_amount IN NUMBER, p_country IN VARCHAR2) RETURN NUMBER\n"
     "  DETERMINISTIC\n"
     "IS\n"
     "BEGIN\n"
     "  RETURN ROUND(p_amount * CASE p_country\n"
     "                            WHEN 'DE' THEN 0.19\n"
     "                            WHEN 'FR' THEN 0.20\n"
     "                            WHEN 'GB' THEN 0.20\n"
     "                            WHEN 'NL' THEN 0.21\n"
     "                            ELSE 0\n"
     "                          END, 2);\n"
     "END tax_amount;"},
    {"HR", "ADD_JOB_HISTORY", "PROCEDURE",
     "PROCEDURE add_job_history(p_employee_id   IN job_history.employee_id%TYPE,\n"
     "                          p_start_date    IN job_history.start_date%TYPE,\n"
     "                          p_end_date      IN job_history.end_date%TYPE,\n"
     "                          p_job_id        IN job_history.job_id%TYPE,\n"
     "                          p_department_id IN job_history.department_id%TYPE)\n"
     "IS\n"
     "BEGIN\n"
     "  -- One row per job an employee leaves.\n"
     "  INSERT INTO job_history (employee_id, start_date, end_date, job_id, department_id)\n"
     "  VALUES (p_employee_id, p_start_date, p_end_date, p_job_id, p_department_id);\n"
     "END add_job_history;"},
    {"SALES", "LOG_ORDER_CHANGE", "PROCEDURE",
     "PROCEDURE log_order_change(p_order_id IN NUMBER, p_action IN VARCHAR2)\n"
     "IS\n"
     "  PRAGMA AUTONOMOUS_TRANSACTION;\n"
     "BEGIN\n"
     "  INSERT INTO order_audit (order_id, action, changed_by, changed_at)\n"
     "  VALUES (p_order_id, p_action, USER, SYSDATE);\n"
     "  COMMIT;\n"
     "END log_order_change;"},
    {"BILLING", "INVOICE_PKG", "PACKAGE",
     "PACKAGE invoice_pkg AS\n"
     "  -- Invoices the shipped orders of a month and mails the invoices.\n"
     "  PROCEDURE run_month(p_year IN PLS_INTEGER, p_month IN PLS_INTEGER);\n"
     "  PROCEDURE mail_invoices(p_batch_size IN PLS_INTEGER DEFAULT 500);\n"
     "  FUNCTION open_amount(p_customer_id IN NUMBER) RETURN NUMBER;\n"
     "END invoice_pkg;"},
    {"BILLING", "INVOICE_PKG", "PACKAGE BODY",
     "PACKAGE BODY invoice_pkg AS\n"
     "  PROCEDURE run_month(p_year IN PLS_INTEGER, p_month IN PLS_INTEGER) IS\n"
     "    v_from DATE := TO_DATE(p_year || '-' || p_month || '-01', 'YYYY-MM-DD');\n"
     "  BEGIN\n"
     "    INSERT INTO invoices (invoice_id, customer_id, order_id, issued, due, amount, status)\n"
     "    SELECT invoice_seq.NEXTVAL, o.customer_id, o.order_id, TRUNC(SYSDATE), TRUNC(SYSDATE) + 30,\n"
     "           sales.order_total(o.order_id), 'ISSUED'\n"
     "      FROM sales.orders o\n"
     "     WHERE o.order_date >= v_from\n"
     "       AND o.order_date < ADD_MONTHS(v_from, 1)\n"
     "       AND o.status = 'SHIPPED';\n"
     "    COMMIT;\n"
     "  END run_month;\n"
     "\n"
     "  PROCEDURE mail_invoices(p_batch_size IN PLS_INTEGER DEFAULT 500) IS\n"
     "  BEGIN\n"
     "    FOR i IN (SELECT invoice_id FROM invoices\n"
     "               WHERE status = 'ISSUED' AND ROWNUM <= p_batch_size) LOOP\n"
     "      NULL; -- handed to the mail gateway\n"
     "    END LOOP;\n"
     "  END mail_invoices;\n"
     "\n"
     "  FUNCTION open_amount(p_customer_id IN NUMBER) RETURN NUMBER IS\n"
     "    v_amount NUMBER;\n"
     "  BEGIN\n"
     "    SELECT NVL(SUM(amount), 0) INTO v_amount\n"
     "      FROM invoices\n"
     "     WHERE customer_id = p_customer_id AND status IN ('ISSUED', 'OVERDUE');\n"
     "    RETURN v_amount;\n"
     "  END open_amount;\n"
     "END invoice_pkg;"},
    {"INVENTORY", "STOCK_API", "PACKAGE",
     "PACKAGE stock_api AS\n"
     "  -- Moves of stock between warehouses, receipts, and reordering.\n"
     "  PROCEDURE receive(p_warehouse_id IN NUMBER, p_product_id IN NUMBER, p_quantity IN NUMBER);\n"
     "  PROCEDURE move(p_from IN NUMBER, p_to IN NUMBER, p_product_id IN NUMBER, p_quantity IN NUMBER);\n"
     "  PROCEDURE reorder;\n"
     "END stock_api;"},
    {"SALES", "LOG_ORDER_CHANGE", "TRIGGER",
     "TRIGGER log_order_change\n"
     "AFTER INSERT OR UPDATE OR DELETE ON orders\n"
     "BEGIN\n"
     "  sales.log_order_change(NULL, 'STATEMENT');\n"
     "END;"},
    {"HR", "UPDATE_JOB_HISTORY", "TRIGGER",
     "TRIGGER update_job_history\n"
     "  AFTER UPDATE OF job_id, department_id ON employees\n"
     "  FOR EACH ROW\n"
     "BEGIN\n"
     "  add_job_history(:old.employee_id, :old.hire_date, SYSDATE, :old.job_id, :old.department_id);\n"
     "END;"},
    {"SALES", "ORDERS_BIU", "TRIGGER",
     "TRIGGER orders_biu\n"
     "  BEFORE INSERT OR UPDATE ON orders\n"
     "  FOR EACH ROW\n"
     "  WHEN (new.status IS NULL OR new.created_by IS NULL)\n"
     "BEGIN\n"
     "  :new.status := NVL(:new.status, 'OPEN');\n"
     "  :new.created_by := NVL(:new.created_by, USER);\n"
     "END;"},
    {"SALES", "ADDRESS_T", "TYPE",
     "TYPE address_t AS OBJECT (\n"
     "  street   VARCHAR2(80),\n"
     "  city     VARCHAR2(40),\n"
     "  postcode VARCHAR2(10),\n"
     "  country  CHAR(2)\n"
     ");"},
};

// The stock package's move between warehouses: the stock leaves one and enters the other.
const char *const kMoveBetweenWarehouses =
    "  PROCEDURE move(p_from IN NUMBER, p_to IN NUMBER, p_product_id IN NUMBER, p_quantity IN NUMBER) IS\n"
    "  BEGIN\n"
    "    UPDATE stock_levels SET on_hand = on_hand - p_quantity, updated = SYSDATE\n"
    "     WHERE warehouse_id = p_from AND product_id = p_product_id;\n"
    "    UPDATE stock_levels SET on_hand = on_hand + p_quantity, updated = SYSDATE\n"
    "     WHERE warehouse_id = p_to AND product_id = p_product_id;\n"
    "    INSERT INTO stock_moves (move_id, moved_at, warehouse_id, product_id, quantity, reason)\n"
    "    VALUES (stock_moves_seq.NEXTVAL, SYSDATE, p_from, p_product_id, -p_quantity, 'MOVE');\n"
    "    INSERT INTO stock_moves (move_id, moved_at, warehouse_id, product_id, quantity, reason)\n"
    "    VALUES (stock_moves_seq.NEXTVAL, SYSDATE, p_to, p_product_id, p_quantity, 'MOVE');\n"
    "  END move;\n";

// The stock package's body: a procedure per kind of move, long as such bodies are.
QString stockApiBody()
{
    static const char *const kMoves[] = {"receive", "move",         "adjust",   "count", "reserve", "release",
                                         "scrap",   "return_goods", "transfer", "pick",  "pack",    "ship"};
    QStringList lines{QStringLiteral("PACKAGE BODY stock_api AS")};
    for (int k = 0; k < 36; ++k) {
        const QString name =
            QLatin1String(kMoves[k % 12]) + (k < 12 ? QString() : QStringLiteral("_%1").arg(k / 12 + 1));
        if (name == QLatin1String("move")) {
            lines << QString::fromLatin1(kMoveBetweenWarehouses).split(QLatin1Char('\n'));
            continue;
        }
        lines << QStringLiteral(
                     "  PROCEDURE %1(p_warehouse_id IN NUMBER, p_product_id IN NUMBER, p_quantity IN NUMBER) IS")
                     .arg(name)
              << QStringLiteral("    v_on_hand stock_levels.on_hand%TYPE;") << QStringLiteral("  BEGIN")
              << QStringLiteral("    SELECT on_hand INTO v_on_hand") << QStringLiteral("      FROM stock_levels")
              << QStringLiteral("     WHERE warehouse_id = p_warehouse_id AND product_id = p_product_id")
              << QStringLiteral("       FOR UPDATE;")
              << QStringLiteral("    UPDATE stock_levels SET on_hand = v_on_hand + p_quantity, updated = SYSDATE")
              << QStringLiteral("     WHERE warehouse_id = p_warehouse_id AND product_id = p_product_id;")
              << QStringLiteral(
                     "    INSERT INTO stock_moves (move_id, moved_at, warehouse_id, product_id, quantity, reason)")
              << QStringLiteral(
                     "    VALUES (stock_moves_seq.NEXTVAL, SYSDATE, p_warehouse_id, p_product_id, p_quantity,")
              << QStringLiteral("            '%1');").arg(name.left(12).toUpper())
              << QStringLiteral("  END %1;").arg(name) << QString();
    }
    lines << QStringLiteral("  PROCEDURE reorder IS") << QStringLiteral("  BEGIN")
          << QStringLiteral(
                 "    FOR s IN (SELECT warehouse_id, product_id FROM stock_levels WHERE on_hand < reserved) LOOP")
          << QStringLiteral("      NULL; -- a purchase request per product") << QStringLiteral("    END LOOP;")
          << QStringLiteral("  END reorder;") << QStringLiteral("END stock_api;");
    return lines.join(QLatin1Char('\n'));
}

struct SourceObject {
    QString owner, name, type;
    QStringList lines;
};

const std::vector<SourceObject> &sourceObjects()
{
    static const std::vector<SourceObject> all = [] {
        std::vector<SourceObject> out;
        for (const SourceSpec &s : kSource)
            out.push_back({QLatin1String(s.owner), QLatin1String(s.name), QLatin1String(s.type),
                           QString::fromUtf8(s.text).split(QLatin1Char('\n'))});
        out.push_back({QStringLiteral("INVENTORY"), QStringLiteral("STOCK_API"), QStringLiteral("PACKAGE BODY"),
                       stockApiBody().split(QLatin1Char('\n'))});
        return out;
    }();
    return all;
}

// ---- Views ----

struct ViewSpec {
    const char *owner;
    const char *name;
    const char *columns;
    const char *text;
    bool readOnly;
};

const ViewSpec kViews[] = {
    {"SALES", "ORDER_SUMMARY_V", "ORDER_ID,ORDER_DATE,CUSTOMER,STATUS,TOTAL_AMOUNT",
     "select o.order_id, o.order_date, c.name customer, o.status, o.total_amount\n"
     "  from orders o join customers c on c.customer_id = o.customer_id",
     false},
    {"HR", "EMP_DETAILS_V", "EMPLOYEE_ID,JOB_ID,DEPARTMENT_ID,FIRST_NAME,LAST_NAME,SALARY,DEPARTMENT_NAME",
     "SELECT e.employee_id, e.job_id, e.department_id, e.first_name, e.last_name, e.salary,\n"
     "       d.department_name\n"
     "  FROM employees e, departments d\n"
     " WHERE e.department_id = d.department_id\n"
     "WITH READ ONLY",
     true},
    {"BILLING", "OPEN_INVOICES_V", "INVOICE_ID,CUSTOMER_ID,AMOUNT,DUE",
     "select invoice_id, customer_id, amount, due from invoices where status in ('ISSUED', 'OVERDUE')", false},
    {"INVENTORY", "STOCK_POSITION_V", "WAREHOUSE_ID,PRODUCT_ID,AVAILABLE",
     "select warehouse_id, product_id, on_hand - reserved available from stock_levels", false},
};

// ---- Sequences ----

struct SequenceSpec {
    const char *owner;
    const char *name;
    const char *min;
    const char *max;
    int increment;
    bool cycle;
    bool order;
    int cache;
    const char *last;
};

const SequenceSpec kSequences[] = {
    // Created with the defaults: the largest maximum there is, 28 digits.
    {"SALES", "ORDERS_SEQ", "1", "9999999999999999999999999999", 1, false, false, 20, "1482041"},
    {"HR", "EMPLOYEES_SEQ", "1", "999999", 1, false, false, 0, "8121"},
    {"HR", "DEPARTMENTS_SEQ", "1", "9990", 10, false, false, 0, "280"},
    {"BILLING", "INVOICE_SEQ", "100000", "99999999", 1, true, true, 100, "4370901"},
    {"INVENTORY", "STOCK_MOVES_SEQ", "1", "9999999999999999999999999999", 1, false, false, 1000, "58823001"},
};

// ---- Triggers ----

struct TriggerSpec {
    const char *owner;
    const char *name;
    const char *type;
    const char *event;
    const char *tableOwner;
    const char *table;
    const char *when;
    const char *description;
    bool enabled;
    const char *timing; // which of before statement, before row, after row, after statement: "BS", "BR", "AR", "AS"
};

const TriggerSpec kTriggers[] = {
    {"HR", "UPDATE_JOB_HISTORY", "AFTER EACH ROW", "UPDATE", "HR", "EMPLOYEES", "",
     "update_job_history\n  AFTER UPDATE OF job_id, department_id ON employees\n  FOR EACH ROW\n", true, "AR"},
    {"SALES", "ORDERS_BIU", "BEFORE EACH ROW", "INSERT OR UPDATE", "SALES", "ORDERS",
     "new.status IS NULL OR new.created_by IS NULL",
     "orders_biu\n  BEFORE INSERT OR UPDATE ON orders\n  FOR EACH ROW\n", true, "BR"},
    {"SALES", "LOG_ORDER_CHANGE", "AFTER STATEMENT", "INSERT OR UPDATE OR DELETE", "SALES", "ORDERS", "",
     "log_order_change\nAFTER INSERT OR UPDATE OR DELETE ON orders\n", false, "AS"},
};

// ---- Synonyms and directories ----

const char *const kSynonyms[][5] = {
    {"PUBLIC", "DUAL", "SYS", "DUAL", ""},
    {"PUBLIC", "EMPLOYEES", "HR", "EMPLOYEES", ""},
    {"SALES", "EMP", "HR", "EMPLOYEES", ""},
    {"BILLING", "CUSTOMERS", "SALES", "CUSTOMERS", ""},
    {"INVENTORY", "REMOTE_STOCK", "INVENTORY", "STOCK_LEVELS", "WAREHOUSE_LINK.EXAMPLE.COM"},
};

const char *const kDirectories[][3] = {
    {"SYS", "DATA_PUMP_DIR", "/u01/app/oracle/admin/TAVIDB/dpdump/"},
    {"SYS", "BILLING_EXPORT_DIR", "/exports/billing"},
    {"SYS", "OPATCH_LOG_DIR", "/u01/app/oracle/product/19.0.0/dbhome_1/rdbms/log"},
};

// ---- Scheduler ----

struct ProgramSpec {
    const char *owner;
    const char *name;
    const char *type;
    const char *action;
    int arguments;
    bool enabled;
    const char *comments;
};

const ProgramSpec kPrograms[] = {
    {"SYS", "PURGE_LOG_PROG", "PLSQL_BLOCK", "dbms_scheduler.auto_purge;", 0, true, "purge log program"},
    {"SYS", "GATHER_STATS_PROG", "STORED_PROCEDURE", "dbms_stats.gather_database_stats_job_proc", 0, true,
     "Oracle defined automatic optimizer statistics collection program"},
    {"BILLING", "INVOICE_MAIL_PROG", "STORED_PROCEDURE", "BILLING.INVOICE_PKG.MAIL_INVOICES", 1, true,
     "Mails the issued invoices"},
    {"BILLING", "INVOICE_RUN_PROG", "STORED_PROCEDURE", "BILLING.INVOICE_PKG.RUN_MONTH", 2, true,
     "Invoices the shipped orders of a month"},
};

const QString kNlsEnv = QStringLiteral(
    "NLS_LANGUAGE='AMERICAN' NLS_TERRITORY='AMERICA' NLS_CURRENCY='$' NLS_ISO_CURRENCY='AMERICA' "
    "NLS_NUMERIC_CHARACTERS='.,' NLS_CALENDAR='GREGORIAN' NLS_DATE_FORMAT='DD-MON-RR' NLS_DATE_LANGUAGE='AMERICAN' "
    "NLS_SORT='BINARY' NLS_TIME_FORMAT='HH.MI.SSXFF AM' NLS_TIMESTAMP_FORMAT='DD-MON-RR HH.MI.SSXFF AM' "
    "NLS_TIME_TZ_FORMAT='HH.MI.SSXFF AM TZR' NLS_TIMESTAMP_TZ_FORMAT='DD-MON-RR HH.MI.SSXFF AM TZR' "
    "NLS_DUAL_CURRENCY='$' NLS_COMP='BINARY' NLS_LENGTH_SEMANTICS='BYTE' NLS_NCHAR_CONV_EXCP='FALSE'");

struct JobSpec {
    const char *owner;
    const char *name;
    const char *programOwner; // a job that runs a program names it; the others their own action
    const char *program;
    const char *jobType;
    const char *action;
    int arguments;
    const char *scheduleOwner;
    const char *schedule;
    const char *scheduleType;
    const char *repeat;
    const char *queue; // event-based: owner.queue.agent, the condition and the rule
    const char *condition;
    const char *rule;
    int startDaysAgo;
    int startHour;
    int runs;
    int failures;
    int lastRunMs;   // duration of the last run
    int nextRunDays; // -1: no next run (waits for an event)
    const char *maxRunDuration;
    const char *credential;
    const char *comments;
    bool system;
};

const JobSpec kJobs[] = {
    {"SYS",
     "PURGE_LOG",
     "SYS",
     "PURGE_LOG_PROG",
     "",
     "",
     0,
     "SYS",
     "DAILY_PURGE_SCHEDULE",
     "NAMED",
     "",
     "",
     "",
     "",
     1820,
     3,
     1820,
     0,
     2317,
     1,
     "",
     "",
     "purge log job",
     true},
    {"SALES",
     "NIGHTLY_ORDER_ROLLUP",
     "",
     "",
     "PLSQL_BLOCK",
     "begin dbms_mview.refresh('SALES.MV_DAILY_SALES'); end;",
     0,
     "",
     "",
     "CALENDAR",
     "FREQ=DAILY;BYHOUR=2;BYMINUTE=0;BYSECOND=0",
     "",
     "",
     "",
     319,
     2,
     319,
     2,
     277118,
     1,
     "+000000000 01:00:00.000000",
     "",
     "Daily sales figures for the reports",
     false},
    {"BILLING",
     "MONTHLY_INVOICE_RUN",
     "BILLING",
     "INVOICE_RUN_PROG",
     "",
     "",
     2,
     "",
     "",
     "CALENDAR",
     "FREQ=MONTHLY;BYMONTHDAY=1;BYHOUR=4",
     "",
     "",
     "",
     667,
     4,
     22,
     0,
     1023504,
     1,
     "+000000000 06:00:00.000000",
     "BILLING.INVOICE_MAIL_CRED",
     "Invoices the orders of the month before",
     false},
    {"INVENTORY",
     "STOCK_EVENT_JOB",
     "",
     "",
     "STORED_PROCEDURE",
     "INVENTORY.STOCK_API.REORDER",
     0,
     "",
     "",
     "EVENT",
     "",
     "INVENTORY.STOCK_EVENTS_Q.STOCK_AGENT",
     "tab.user_data.on_hand < tab.user_data.reorder_level",
     "INVENTORY.SCHED$_EVRULE_1_1",
     273,
     9,
     87,
     1,
     1840,
     -1,
     "",
     "",
     "Reorders stock that fell below its level",
     false},
};

QDateTime jobStart(const JobSpec &j, const QDateTime &clockStart)
{
    return QDateTime(clockStart.date().addDays(-j.startDaysAgo), QTime(j.startHour, 0), Qt::UTC);
}

// The last start: this night's (or this month's) run, a little after the hour.
QDateTime lastStart(const JobSpec &j, const QDateTime &clockStart)
{
    QDate day = clockStart.date();
    if (QLatin1String(j.repeat).contains(QLatin1String("MONTHLY")))
        day = QDate(day.year(), day.month(), 1);
    else if (QLatin1String(j.scheduleType) == QLatin1String("EVENT"))
        day = day.addDays(-2);
    return QDateTime(day, QTime(j.startHour, 0), Qt::UTC).addMSecs(412083 / 1000 + 7 * j.runs);
}

QDateTime nextRun(const JobSpec &j, const QDateTime &clockStart)
{
    const QDateTime last = lastStart(j, clockStart);
    const QDateTime hour(last.date(), QTime(j.startHour, 0), Qt::UTC);
    return QLatin1String(j.repeat).contains(QLatin1String("MONTHLY")) ? hour.addMonths(1) : hour.addDays(j.nextRunDays);
}

// A TIMESTAMP WITH TIME ZONE as to_char writes it without a format.
QString nlsTimestampTz(const QDateTime &t)
{
    const int hour = t.time().hour() % 12 == 0 ? 12 : t.time().hour() % 12;
    return QStringLiteral("%1-%2-%3 %4.%5.%6.%7 %8 +00:00")
        .arg(t.date().day(), 2, 10, QLatin1Char('0'))
        .arg(QLocale::c().monthName(t.date().month(), QLocale::ShortFormat).toUpper())
        .arg(t.date().year() % 100, 2, 10, QLatin1Char('0'))
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(t.time().minute(), 2, 10, QLatin1Char('0'))
        .arg(t.time().second(), 2, 10, QLatin1Char('0'))
        .arg(qint64(t.time().msec()) * 1000, 6, 10, QLatin1Char('0'))
        .arg(t.time().hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

// An INTERVAL DAY TO SECOND as the driver gives it as text.
QString interval(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("+%1 %2:%3:%4.%5")
        .arg(s / 86400, 9, 10, QLatin1Char('0'))
        .arg((s / 3600) % 24, 2, 10, QLatin1Char('0'))
        .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'))
        .arg((ms % 1000) * 1000, 6, 10, QLatin1Char('0'));
}

QString flag(bool b)
{
    return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString yesNo(bool b)
{
    return b ? QStringLiteral("YES") : QStringLiteral("NO");
}

} // namespace

Table views()
{
    Table t(QStringList{"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT", "TEXT_VC", "TYPE_TEXT_LENGTH", "TYPE_TEXT",
                        "OID_TEXT_LENGTH", "OID_TEXT", "VIEW_TYPE_OWNER", "VIEW_TYPE", "SUPERVIEW_NAME",
                        "EDITIONING_VIEW", "READ_ONLY", "CONTAINER_DATA", "BEQUEATH", "ORIGIN_CON_ID",
                        "DEFAULT_COLLATION"});
    for (const ViewSpec &v : kViews) {
        const QString text = QString::fromUtf8(v.text);
        t.addRow({QLatin1String(v.owner), QLatin1String(v.name), n(text.size()), text, text.left(4000), QString(),
                  QString(), QString(), QString(), QString(), QString(), QString(), QStringLiteral("N"),
                  v.readOnly ? QStringLiteral("Y") : QStringLiteral("N"), QStringLiteral("N"),
                  QStringLiteral("DEFINER"), QStringLiteral("0"), QStringLiteral("USING_NLS_COMP")});
    }
    return t;
}

Table sequences()
{
    Table t(QStringList{"SEQUENCE_OWNER", "SEQUENCE_NAME", "MIN_VALUE", "MAX_VALUE", "INCREMENT_BY", "CYCLE_FLAG",
                        "ORDER_FLAG", "CACHE_SIZE", "LAST_NUMBER", "SCALE_FLAG", "EXTEND_FLAG", "SESSION_FLAG",
                        "KEEP_VALUE"});
    for (const SequenceSpec &s : kSequences)
        t.addRow({QLatin1String(s.owner), QLatin1String(s.name), QLatin1String(s.min), QLatin1String(s.max),
                  n(s.increment), s.cycle ? QStringLiteral("Y") : QStringLiteral("N"),
                  s.order ? QStringLiteral("Y") : QStringLiteral("N"), n(s.cache), QLatin1String(s.last),
                  QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("N")});
    return t;
}

Table source()
{
    Table t(QStringList{"OWNER", "NAME", "TYPE", "LINE", "TEXT", "ORIGIN_CON_ID"});
    for (const SourceObject &o : sourceObjects())
        for (qsizetype i = 0; i < o.lines.size(); ++i)
            t.addRow({o.owner, o.name, o.type, n(i + 1), o.lines.at(i) + QLatin1Char('\n'), QStringLiteral("0")});
    return t;
}

Table triggers()
{
    Table t(QStringList{
        "OWNER",           "TRIGGER_NAME",   "TRIGGER_TYPE",      "TRIGGERING_EVENT", "TABLE_OWNER", "BASE_OBJECT_TYPE",
        "TABLE_NAME",      "COLUMN_NAME",    "REFERENCING_NAMES", "WHEN_CLAUSE",      "STATUS",      "DESCRIPTION",
        "ACTION_TYPE",     "TRIGGER_BODY",   "CROSSEDITION",      "BEFORE_STATEMENT", "BEFORE_ROW",  "AFTER_ROW",
        "AFTER_STATEMENT", "INSTEAD_OF_ROW", "FIRE_ONCE",         "APPLY_SERVER_ONLY"});
    for (const TriggerSpec &g : kTriggers) {
        QString body;
        for (const SourceObject &o : sourceObjects())
            if (o.owner == QLatin1String(g.owner) && o.name == QLatin1String(g.name) &&
                o.type == QLatin1String("TRIGGER"))
                body = o.lines.mid(o.lines.indexOf(QStringLiteral("BEGIN"))).join(QLatin1Char('\n'));
        const QString timing = QLatin1String(g.timing);
        t.addRow({QLatin1String(g.owner),
                  QLatin1String(g.name),
                  QLatin1String(g.type),
                  QLatin1String(g.event),
                  QLatin1String(g.tableOwner),
                  QStringLiteral("TABLE"),
                  QLatin1String(g.table),
                  QString(),
                  QStringLiteral("REFERENCING NEW AS NEW OLD AS OLD"),
                  QLatin1String(g.when),
                  g.enabled ? QStringLiteral("ENABLED") : QStringLiteral("DISABLED"),
                  QString::fromUtf8(g.description),
                  QStringLiteral("PL/SQL     "),
                  body,
                  QStringLiteral("NO"),
                  yesNo(timing == QLatin1String("BS")),
                  yesNo(timing == QLatin1String("BR")),
                  yesNo(timing == QLatin1String("AR")),
                  yesNo(timing == QLatin1String("AS")),
                  QStringLiteral("NO"),
                  QStringLiteral("YES"),
                  QStringLiteral("NO")});
    }
    return t;
}

Table synonyms()
{
    Table t(QStringList{"OWNER", "SYNONYM_NAME", "TABLE_OWNER", "TABLE_NAME", "DB_LINK", "ORIGIN_CON_ID"});
    for (const auto &s : kSynonyms)
        t.addRow({QLatin1String(s[0]), QLatin1String(s[1]), QLatin1String(s[2]), QLatin1String(s[3]),
                  QLatin1String(s[4]), QStringLiteral("0")});
    return t;
}

Table directories()
{
    Table t(QStringList{"OWNER", "DIRECTORY_NAME", "DIRECTORY_PATH", "ORIGIN_CON_ID"});
    for (const auto &d : kDirectories)
        t.addRow({QLatin1String(d[0]), QLatin1String(d[1]), QLatin1String(d[2]), QStringLiteral("0")});
    return t;
}

Table schedulerJobs(const QDateTime &clockStart, bool nlsDates)
{
    Table t(QStringList{"OWNER",
                        "JOB_NAME",
                        "JOB_SUBNAME",
                        "JOB_STYLE",
                        "JOB_CREATOR",
                        "CLIENT_ID",
                        "GLOBAL_UID",
                        "PROGRAM_OWNER",
                        "PROGRAM_NAME",
                        "JOB_TYPE",
                        "JOB_ACTION",
                        "NUMBER_OF_ARGUMENTS",
                        "SCHEDULE_OWNER",
                        "SCHEDULE_NAME",
                        "SCHEDULE_TYPE",
                        "START_DATE",
                        "REPEAT_INTERVAL",
                        "EVENT_QUEUE_OWNER",
                        "EVENT_QUEUE_NAME",
                        "EVENT_QUEUE_AGENT",
                        "EVENT_CONDITION",
                        "EVENT_RULE",
                        "FILE_WATCHER_OWNER",
                        "FILE_WATCHER_NAME",
                        "END_DATE",
                        "JOB_CLASS",
                        "ENABLED",
                        "AUTO_DROP",
                        "RESTARTABLE",
                        "STATE",
                        "JOB_PRIORITY",
                        "RUN_COUNT",
                        "MAX_RUNS",
                        "FAILURE_COUNT",
                        "MAX_FAILURES",
                        "RETRY_COUNT",
                        "LAST_START_DATE",
                        "LAST_RUN_DURATION",
                        "NEXT_RUN_DATE",
                        "SCHEDULE_LIMIT",
                        "MAX_RUN_DURATION",
                        "LOGGING_LEVEL",
                        "STOP_ON_WINDOW_CLOSE",
                        "INSTANCE_STICKINESS",
                        "RAISE_EVENTS",
                        "SYSTEM",
                        "JOB_WEIGHT",
                        "NLS_ENV",
                        "SOURCE",
                        "NUMBER_OF_DESTINATIONS",
                        "DESTINATION_OWNER",
                        "DESTINATION",
                        "CREDENTIAL_OWNER",
                        "CREDENTIAL_NAME",
                        "INSTANCE_ID",
                        "DEFERRED_DROP",
                        "ALLOW_RUNS_IN_RESTRICTED_MODE",
                        "COMMENTS",
                        "FLAGS",
                        "RESTART_ON_RECOVERY",
                        "RESTART_ON_FAILURE"});
    for (const JobSpec &j : kJobs) {
        const QStringList queue = QString::fromLatin1(j.queue).split(QLatin1Char('.'));
        const QStringList credential = QString::fromLatin1(j.credential).split(QLatin1Char('.'));
        const QDateTime last = lastStart(j, clockStart);
        const bool waits = j.nextRunDays < 0;
        const auto when = [&](const QDateTime &d) { return nlsDates ? nlsTimestampTz(d) : timestampText(d); };
        t.addRow({QLatin1String(j.owner),
                  QLatin1String(j.name),
                  QString(),
                  QStringLiteral("REGULAR"),
                  QLatin1String(j.owner),
                  QString(),
                  QString(),
                  QLatin1String(j.programOwner),
                  QLatin1String(j.program),
                  QLatin1String(j.jobType),
                  QLatin1String(j.action),
                  n(j.arguments),
                  QLatin1String(j.scheduleOwner),
                  QLatin1String(j.schedule),
                  QLatin1String(j.scheduleType),
                  j.system ? QString() : timestampText(jobStart(j, clockStart)),
                  QLatin1String(j.repeat),
                  queue.size() == 3 ? queue.at(0) : QString(),
                  queue.size() == 3 ? queue.at(1) : QString(),
                  queue.size() == 3 ? queue.at(2) : QString(),
                  QLatin1String(j.condition),
                  QLatin1String(j.rule),
                  QString(),
                  QString(),
                  QString(),
                  QStringLiteral("DEFAULT_JOB_CLASS"),
                  flag(true),
                  flag(false),
                  flag(false),
                  QStringLiteral("SCHEDULED"),
                  QStringLiteral("3"),
                  n(j.runs),
                  QString(),
                  n(j.failures),
                  QString(),
                  QStringLiteral("0"),
                  when(last),
                  interval(j.lastRunMs),
                  waits ? QString() : when(nextRun(j, clockStart)),
                  QString(),
                  QLatin1String(j.maxRunDuration),
                  j.system ? QStringLiteral("OFF") : QStringLiteral("RUNS"),
                  flag(false),
                  flag(true),
                  QString(),
                  flag(j.system),
                  QStringLiteral("1"),
                  kNlsEnv,
                  QString(),
                  QStringLiteral("1"),
                  QString(),
                  QString(),
                  credential.size() == 2 ? credential.at(0) : QString(),
                  credential.size() == 2 ? credential.at(1) : QString(),
                  QString(),
                  flag(false),
                  flag(false),
                  QLatin1String(j.comments),
                  j.system ? QStringLiteral("9007199254872624") : QStringLiteral("0"),
                  flag(false),
                  flag(false)});
    }
    return t;
}

Table schedulerPrograms()
{
    Table t(QStringList{"OWNER", "PROGRAM_NAME", "PROGRAM_TYPE", "PROGRAM_ACTION", "NUMBER_OF_ARGUMENTS", "ENABLED",
                        "DETACHED", "SCHEDULE_LIMIT", "PRIORITY", "WEIGHT", "MAX_RUNS", "MAX_FAILURES",
                        "MAX_RUN_DURATION", "HAS_CONSTRAINTS", "NLS_ENV", "COMMENTS"});
    for (const ProgramSpec &p : kPrograms)
        t.addRow({QLatin1String(p.owner), QLatin1String(p.name), QLatin1String(p.type), QLatin1String(p.action),
                  n(p.arguments), flag(p.enabled), flag(false), QString(), QStringLiteral("3"), QStringLiteral("1"),
                  QString(), QString(), QString(), flag(false), kNlsEnv, QLatin1String(p.comments)});
    return t;
}

QString ddl(const QString &type, const QString &name, const QString &schema, const QDateTime &clockStart)
{
    const auto is = [&](const char *owner, const char *object) {
        return schema == QLatin1String(owner) && name == QLatin1String(object);
    };
    if (type == QLatin1String("VIEW")) {
        for (const ViewSpec &v : kViews) {
            if (!is(v.owner, v.name))
                continue;
            QStringList columns;
            for (const QString &c : QString::fromLatin1(v.columns).split(QLatin1Char(',')))
                columns << q(c);
            return QStringLiteral("\n  CREATE OR REPLACE FORCE EDITIONABLE VIEW %1.%2 (%3) AS \n  %4")
                .arg(q(schema), q(name), columns.join(QStringLiteral(", ")), QString::fromUtf8(v.text));
        }
    } else if (type == QLatin1String("SEQUENCE")) {
        for (const SequenceSpec &s : kSequences)
            if (is(s.owner, s.name))
                return QStringLiteral("\n   CREATE SEQUENCE  %1.%2  MINVALUE %3 MAXVALUE %4 INCREMENT BY %5 START WITH "
                                      "%6 %7 %8  %9  NOKEEP  NOSCALE  GLOBAL ")
                    .arg(q(schema), q(name), QLatin1String(s.min), QLatin1String(s.max), n(s.increment),
                         QLatin1String(s.last),
                         s.cache > 0 ? QStringLiteral("CACHE %1").arg(s.cache) : QStringLiteral("NOCACHE"),
                         s.order ? QStringLiteral("ORDER") : QStringLiteral("NOORDER"),
                         s.cycle ? QStringLiteral("CYCLE") : QStringLiteral("NOCYCLE"));
    } else if (type == QLatin1String("SYNONYM")) {
        for (const auto &s : kSynonyms) {
            if (!is(s[0], s[1]))
                continue;
            const QString target = q(QLatin1String(s[2])) + QLatin1Char('.') + q(QLatin1String(s[3])) +
                                   (qstrlen(s[4]) ? QLatin1Char('@') + q(QLatin1String(s[4])) : QString());
            return schema == QLatin1String("PUBLIC")
                       ? QStringLiteral("\n  CREATE OR REPLACE PUBLIC SYNONYM %1 FOR %2").arg(q(name), target)
                       : QStringLiteral("\n  CREATE OR REPLACE EDITIONABLE SYNONYM %1.%2 FOR %3")
                             .arg(q(schema), q(name), target);
        }
    } else if (type == QLatin1String("DIRECTORY")) {
        // A directory belongs to no schema: the name alone finds it.
        for (const auto &d : kDirectories)
            if (name == QLatin1String(d[1]))
                return QStringLiteral("\n   CREATE OR REPLACE DIRECTORY %1 AS %2")
                    .arg(q(name), quoted(QLatin1String(d[2])));
    } else if (type == QLatin1String("PROCOBJ")) {
        // Every value is a literal whose inner quotes are doubled, so that the DDL runs.
        for (const JobSpec &j : kJobs) {
            if (!is(j.owner, j.name))
                continue;
            const QString what =
                qstrlen(j.program)
                    ? QStringLiteral("program_name=>%1")
                          .arg(
                              quoted(q(QLatin1String(j.programOwner)) + QLatin1Char('.') + q(QLatin1String(j.program))))
                    : QStringLiteral("job_type=>%1, job_action=>\n%2\n, number_of_arguments=>%3")
                          .arg(quoted(QLatin1String(j.jobType)), quoted(QLatin1String(j.action)), n(j.arguments));
            const QString when =
                QLatin1String(j.scheduleType) == QLatin1String("NAMED")
                    ? QStringLiteral("schedule_name=>%1")
                          .arg(quoted(q(QLatin1String(j.scheduleOwner)) + QLatin1Char('.') +
                                      q(QLatin1String(j.schedule))))
                : QLatin1String(j.scheduleType) == QLatin1String("EVENT")
                    ? QStringLiteral("queue_spec=>%1, event_condition=>%2")
                          .arg(quoted(QString::fromLatin1(j.queue).section(QLatin1Char('.'), 0, 1)),
                               quoted(QLatin1String(j.condition)))
                    : QStringLiteral("start_date=>TO_TIMESTAMP_TZ(%1,'DD-MON-RRRR HH.MI.SSXFF AM TZR',"
                                     "'NLS_DATE_LANGUAGE=english'), repeat_interval=> \n%2")
                          .arg(quoted(nlsTimestampTz(jobStart(j, clockStart))), quoted(QLatin1String(j.repeat)));
            return QStringLiteral(
                       "\n\nBEGIN \ndbms_scheduler.create_job(%1,\n%2,\n%3\n, end_date=>NULL,\n"
                       "job_class=>'\"DEFAULT_JOB_CLASS\"', enabled=>FALSE, auto_drop=>FALSE,comments=>\n%4\n);\n"
                       "dbms_scheduler.enable(%1);\nCOMMIT; \nEND; \n")
                .arg(quoted(q(name)), what, when, quoted(QLatin1String(j.comments)));
        }
    } else if (type == QLatin1String("TRIGGER") || type == QLatin1String("FUNCTION") ||
               type == QLatin1String("PROCEDURE") || type == QLatin1String("PACKAGE") ||
               type == QLatin1String("TYPE")) {
        // Stored code: its source after CREATE OR REPLACE, a package's body after its spec.
        QStringList parts;
        for (const SourceObject &o : sourceObjects()) {
            if (o.owner != schema || o.name != name ||
                (o.type != type && !(type == QLatin1String("PACKAGE") && o.type == QLatin1String("PACKAGE BODY"))))
                continue;
            QStringList lines = o.lines;
            const qsizetype space = o.type.size();
            lines[0] = QStringLiteral("  CREATE OR REPLACE EDITIONABLE %1 %2.%3%4")
                           .arg(o.type, q(schema), q(name), lines[0].mid(space + 1 + name.size()));
            parts << QStringLiteral("\n") + lines.join(QLatin1Char('\n'));
            if (o.type == QLatin1String("TRIGGER")) {
                bool enabled = true;
                for (const TriggerSpec &g : kTriggers)
                    if (is(g.owner, g.name))
                        enabled = g.enabled;
                parts.last() +=
                    QStringLiteral("\n/\nALTER TRIGGER %1.%2 %3")
                        .arg(q(schema), q(name), enabled ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE"));
            }
        }
        if (!parts.isEmpty())
            return parts.join(QStringLiteral("\n/"));
    }
    return QString();
}

} // namespace tavimond::sim::code

namespace tavimond::sim {

std::optional<QString> DictionaryModel::codeDdl(const QString &type, const QString &name, const QString &schema) const
{
    const QString text = code::ddl(type, name, schema, clockStart());
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

} // namespace tavimond::sim
