#include "sql_workload.h"

#include "../live/sql_catalogue.h"

#include <QHash>
#include <cmath>

namespace tavimond::sim {
namespace {

// An order-entry application's statements beyond the shared pool's, built from these
// pieces: kind and text.
struct Template {
    SqlWorkload::Kind kind;
    // %1: the table, %2: its columns, %3: its key, %4: a date column, %5: an amount
    // column, %6: a column the application filters and groups by, %7: a bind per column.
    const char *text;
};

const Template kTemplates[] = {
    {SqlWorkload::Kind::Query, "SELECT %2 FROM %1 WHERE %3 = :b1"},
    {SqlWorkload::Kind::Query, "SELECT /*+ index(t) */ %2 FROM %1 t WHERE t.%3 BETWEEN :b1 AND :b2 ORDER BY t.%3"},
    {SqlWorkload::Kind::Change, "UPDATE %1 SET %5 = :b2 WHERE %3 = :b1"},
    {SqlWorkload::Kind::Change, "INSERT INTO %1 (%2) VALUES (%7)"},
    {SqlWorkload::Kind::Query, "SELECT COUNT(*) FROM %1 WHERE %3 > :b1"},
    {SqlWorkload::Kind::Report,
     "SELECT %6, SUM(%5) total, COUNT(*) cnt\n  FROM %1\n WHERE %4 >= TRUNC(SYSDATE) - :b1\n GROUP BY %6\n"
     " ORDER BY 2 DESC"},
    {SqlWorkload::Kind::Change, "DELETE FROM %1 WHERE %3 = :b1"},
    {SqlWorkload::Kind::Batch,
     "DELETE /* nightly purge */ FROM %1\n WHERE %4 < ADD_MONTHS(TRUNC(SYSDATE, 'MM'), -:b1)"},
    {SqlWorkload::Kind::Query, "SELECT %2 FROM %1 WHERE %3 IN (SELECT %3 FROM %1 WHERE %6 = :b1)"},
    {SqlWorkload::Kind::Occasional, "SELECT /* month end */ %6, SUM(%5) FROM %1 GROUP BY ROLLUP(%6)"},
};

// Tables of the dictionary, each with columns it holds; the key leads the table's
// primary key, which is named after the table with "_PK".
struct TableSpec {
    const char *name;
    const char *columns;
    const char *key;
    const char *date;
    const char *amount;
    const char *filter;
};

const TableSpec kTables[] = {
    {"sales.orders", "order_id, customer_id, status, order_date, total_amount", "order_id", "order_date",
     "total_amount", "status"},
    {"billing.invoices", "invoice_id, customer_id, order_id, issued, due, amount", "invoice_id", "issued", "amount",
     "status"},
    {"billing.payments", "payment_id, invoice_id, paid_on, amount, method", "payment_id", "paid_on", "amount",
     "method"},
    {"inventory.stock_levels", "warehouse_id, product_id, on_hand, reserved", "warehouse_id", "updated", "on_hand",
     "product_id"},
    {"inventory.stock_moves", "move_id, moved_at, warehouse_id, product_id, quantity", "move_id", "moved_at",
     "quantity", "reason"},
    {"billing.ledger_entries", "entry_id, account_no, posted, debit, credit", "entry_id", "posted", "debit",
     "account_no"},
};

QString statementText(const Template &t, const TableSpec &table)
{
    QStringList binds;
    for (qsizetype k = 1; k <= QString::fromLatin1(table.columns).count(QLatin1Char(',')) + 1; ++k)
        binds << QStringLiteral(":b%1").arg(k);
    return QString::fromLatin1(t.text)
        .replace(QLatin1String("%1"), QLatin1String(table.name))
        .replace(QLatin1String("%2"), QLatin1String(table.columns))
        .replace(QLatin1String("%3"), QLatin1String(table.key))
        .replace(QLatin1String("%4"), QLatin1String(table.date))
        .replace(QLatin1String("%5"), QLatin1String(table.amount))
        .replace(QLatin1String("%6"), QLatin1String(table.filter))
        .replace(QLatin1String("%7"), binds.join(QStringLiteral(", ")));
}

qint64 planHashOf(const QString &sqlId, int n)
{
    quint32 h = 2166136261u ^ quint32(n * 7919);
    for (QChar c : sqlId)
        h = (h ^ c.unicode()) * 16777619u;
    return qint64(h % 4000000000u) + 100000000;
}

// How busy an hour of the day is, 1 at the busiest.
double hourFactor(int hour)
{
    static const double kHours[24] = {0.15, 0.12, 0.1, 0.1, 0.12, 0.2,  0.35, 0.6,  0.9, 1.0,  1.0,  0.95,
                                      0.85, 0.95, 1.0, 1.0, 0.9,  0.75, 0.55, 0.45, 0.4, 0.35, 0.25, 0.2};
    return kHours[hour % 24];
}

// A report a tool generated for a long list of products: over 64 KB of text.
QString longReportText()
{
    QString text = QStringLiteral(
        "SELECT /* product list report */ p.category, l.product_id, SUM(l.quantity * l.unit_price) total, "
        "COUNT(*) lines\n"
        "  FROM sales.order_lines l\n"
        "  JOIN sales.products p ON p.product_id = l.product_id\n"
        " WHERE l.product_id IN (");
    for (int k = 0; k < 9000; ++k) {
        if (k % 12 == 0)
            text += QStringLiteral("\n        ");
        text += QString::number(100001 + k * 7);
        text += k + 1 < 9000 ? QStringLiteral(", ") : QStringLiteral(")");
    }
    text += QStringLiteral("\n GROUP BY p.category, l.product_id\n ORDER BY 3 DESC");
    return text;
}

qint64 whole(double v)
{
    return qint64(std::llround(std::max(0.0, v)));
}

} // namespace

SqlWorkload::SqlWorkload(Model &model) : repository_(model.state<Repository>())
{
    const int wanted = std::max(1, model.state<RepositoryShape>().statements);
    const int days = model.state<RepositoryShape>().days;
    Dice dice(model.seed() ^ 0x5157ULL);
    for (const CatalogueStatement &c : sqlCatalogue()) {
        if (int(statements_.size()) >= wanted)
            break;
        Sql s;
        s.sqlId = c.sqlId;
        s.text = c.text;
        s.plans = {c.planHashValue};
        s.kind =
            c.commandType == 3 ? (c.table.isEmpty() && c.plan.size() > 6 ? Kind::Report : Kind::Query) : Kind::Change;
        s.instance = c.cachedOn;
        statements_.push_back(std::move(s));
    }
    for (int n = 0; int(statements_.size()) < wanted; ++n) {
        const Template &t = kTemplates[n % std::size(kTemplates)];
        const TableSpec &table = kTables[(n / std::size(kTemplates) + n) % std::size(kTables)];
        Sql s;
        s.kind = t.kind;
        s.text = statementText(t, table);
        // Statements that differ only in a literal are different statements to the database.
        if (n >= int(std::size(kTemplates) * std::size(kTables)))
            s.text += QStringLiteral(" /* %1 */").arg(n);
        s.sqlId = sqlIdOf(s.text);
        s.plans = {planHashOf(s.sqlId, 0)};
        if (s.kind == Kind::Change &&
            (s.text.startsWith(QLatin1String("INSERT")) && !s.text.contains(QLatin1String("SELECT"))))
            s.plans = {0}; // a plain insert has no plan
        statements_.push_back(std::move(s));
    }
    if (statements_.size() > size_t(kLongTextIndex)) {
        Sql &s = statements_[size_t(kLongTextIndex)];
        s.kind = Kind::Report;
        s.text = longReportText();
        s.sqlId = sqlIdOf(s.text);
        s.plans = {planHashOf(s.sqlId, 0)};
    }
    for (size_t i = 0; i < statements_.size(); ++i) {
        Sql &s = statements_[i];
        s.days = ~0u;
        switch (s.kind) {
        case Kind::Query:
            s.executionsPerHour = dice.between(800, 40000);
            s.elapsedPerExecution = dice.between(150, 4000);
            s.cpuShare = dice.between(0.6, 0.92);
            s.ioShare = dice.between(0.02, 0.3);
            s.rowsPerExecution = dice.between(1, 25);
            s.readsPerExecution = dice.between(0, 3);
            s.sortsPerExecution = dice.chance(0.4) ? 1 : 0;
            s.getsPerExecution = dice.between(4, 60);
            break;
        case Kind::Change:
            s.executionsPerHour = dice.between(300, 15000);
            s.elapsedPerExecution = dice.between(300, 3500);
            s.cpuShare = dice.between(0.35, 0.7);
            s.ioShare = dice.between(0.05, 0.35);
            s.concurrencyShare = dice.between(0.01, 0.12);
            s.applicationShare = dice.between(0, 0.05);
            s.rowsPerExecution = dice.between(1, 3);
            s.readsPerExecution = dice.between(0.1, 2);
            s.getsPerExecution = dice.between(3, 15);
            break;
        case Kind::Report:
            s.executionsPerHour = dice.between(2, 30);
            s.elapsedPerExecution = dice.between(8e5, 2.5e7);
            s.cpuShare = dice.between(0.3, 0.6);
            s.ioShare = dice.between(0.3, 0.6);
            s.rowsPerExecution = dice.between(10, 500);
            s.readsPerExecution = dice.between(2e4, 4e5);
            s.sortsPerExecution = dice.between(1, 4);
            s.getsPerExecution = dice.between(5e4, 9e5);
            break;
        case Kind::Batch:
            s.executionsPerHour = 1;
            s.elapsedPerExecution = dice.between(1.2, 2.6) * 3600e6; // runs past a snapshot
            s.cpuShare = dice.between(0.25, 0.45);
            s.ioShare = dice.between(0.4, 0.65);
            s.rowsPerExecution = dice.between(2e5, 2e6);
            s.readsPerExecution = dice.between(1e6, 5e6);
            s.sortsPerExecution = 2;
            s.getsPerExecution = dice.between(3e6, 9e6);
            s.days = 0;
            for (int d = 0; d < 32; ++d)
                if (d % 3 != 1) // two nights of three
                    s.days |= 1u << d;
            break;
        case Kind::Occasional:
            s.executionsPerHour = dice.between(1, 6);
            s.elapsedPerExecution = dice.between(2e6, 3e7);
            s.cpuShare = dice.between(0.4, 0.7);
            s.ioShare = dice.between(0.2, 0.5);
            s.rowsPerExecution = dice.between(5, 50);
            s.readsPerExecution = dice.between(1e4, 2e5);
            s.sortsPerExecution = 1;
            s.getsPerExecution = dice.between(2e4, 3e5);
            s.days =
                (1u << (days > 3 ? days - 3 : 0)) | (1u << (days > 10 ? days - 10 : 0)); // two days of the repository
            break;
        }
        // Both instances serve the application: some wait for blocks held by the other.
        s.clusterShare = s.instance == 0 ? dice.between(0.005, 0.08) : 0.0;
        if (s.instance == 0 && s.kind != Kind::Batch && dice.chance(0.15))
            s.instance = 1 + dice.below(2);
    }
    if (statements_.size() > size_t(kTwoPlansIndex)) {
        Sql &s = statements_[size_t(kTwoPlansIndex)];
        s.plans = {s.plans.at(0) == 0 ? planHashOf(s.sqlId, 0) : s.plans.at(0), planHashOf(s.sqlId, 1)};
        s.planChange = int(std::lround(days * 0.6 * 86400.0 / repository_.intervalSeconds()));
        s.instance = 0;
        s.days = ~0u;
    }
}

const SqlWorkload::Sql *SqlWorkload::find(const QString &sqlId) const
{
    for (const Sql &s : statements_)
        if (s.sqlId == sqlId)
            return &s;
    return nullptr;
}

void SqlWorkload::rowsOf(const Repository::Snapshot &snap, std::vector<Row> &out) const
{
    Row r;
    for (size_t i = 0; i < statements_.size(); ++i)
        if (rowOf(snap, i, r))
            out.push_back(r);
}

bool SqlWorkload::rowOf(const Repository::Snapshot &snap, size_t i, Row &r) const
{
    if (i >= statements_.size())
        return false;
    const double hours = double(snap.begin.msecsTo(snap.end)) / 3600000.0;
    // The hour and day the interval covered (it ends a few seconds after the hour).
    const QDateTime covered = snap.end.addSecs(-60);
    const int hour = covered.time().hour();
    const int day = int(repository_.boundary(-1).daysTo(covered));
    const Sql &s = statements_[i];
    if (s.instance != 0 && s.instance != snap.instance)
        return false;
    Dice dice = repository_.dice(0x5157a7, qint64(i), snap.index, snap.instance);
    r = Row();
    r.sql = &s;
    r.planHashValue = s.planAt(snap.index);
    const bool runsToday = s.days == ~0u || (day >= 0 && day < 32 && (s.days >> day) & 1u);
    double executions = 0;
    double elapsed = 0;
    if (s.kind == Kind::Batch) {
        // Starts at one in the morning and runs for hours: the first hour counts the
        // execution, the later ones only its time.
        const double run = s.elapsedPerExecution / 3600e6;
        const int k = hour - 1;
        if (runsToday && k >= 0 && k < run) {
            executions = k == 0 ? 1 : 0;
            elapsed = std::min(1.0, run - k) * 3600e6;
        } else if (!dice.chance(0.08)) {
            return false;
        }
    } else if (runsToday) {
        const double expected = s.executionsPerHour * hours * hourFactor(hour) *
                                (s.instance == 0 ? (snap.instance == 1 ? 0.55 : 0.45) : 1.0);
        executions = std::floor(expected * dice.between(0.75, 1.25));
        if (executions < 1 && !dice.chance(expected))
            executions = 0;
        else
            executions = std::max(1.0, executions);
        elapsed = executions * s.elapsedPerExecution * dice.between(0.7, 1.4);
    } else if (!dice.chance(0.2)) {
        return false; // not run and not captured
    }
    const double perExecution = std::max(executions, elapsed > 0 ? 1.0 : 0.0);
    r.executions = whole(executions);
    r.elapsed = whole(elapsed);
    r.cpu = std::min(r.elapsed, whole(elapsed * s.cpuShare * dice.between(0.85, 1.1)));
    r.ioWait = whole(elapsed * s.ioShare * dice.between(0.7, 1.3));
    r.clusterWait = whole(elapsed * s.clusterShare * dice.between(0.5, 1.5));
    r.applicationWait = whole(elapsed * s.applicationShare * dice.between(0.5, 1.5));
    r.concurrencyWait = whole(elapsed * s.concurrencyShare * dice.between(0.5, 1.5));
    const double share = s.kind == Kind::Batch ? elapsed / std::max(1.0, s.elapsedPerExecution) : perExecution;
    r.rowsProcessed = whole(share * s.rowsPerExecution * dice.between(0.8, 1.2));
    r.diskReads = whole(share * s.readsPerExecution * dice.between(0.5, 1.5));
    r.bufferGets = whole(share * s.getsPerExecution * dice.between(0.8, 1.2));
    r.sorts = whole(share * s.sortsPerExecution);
    return true;
}

} // namespace tavimond::sim
