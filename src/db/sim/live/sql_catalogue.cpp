#include "sql_catalogue.h"

#include <QCryptographicHash>

#include <algorithm>

namespace tavimond::sim {
namespace {

struct Spec {
    const char *text;
    int commandType;
    const char *table;
    int cachedOn;
    std::vector<PlanStep> plan;
};

// An order-entry application on both instances and a sales report that runs on
// instance 2 only.
const Spec kStatements[] = {
    {"SELECT o.order_id, o.order_date, o.status, o.total_amount, c.name\n"
     "  FROM sales.orders o\n"
     "  JOIN sales.customers c ON c.customer_id = o.customer_id\n"
     " WHERE o.customer_id = :b1\n"
     "   AND o.order_date >= TRUNC(SYSDATE) - 30\n"
     " ORDER BY o.order_date DESC",
     3,
     "",
     0,
     {{0, "SELECT STATEMENT", "", 0, 0, 9, 100, 0},
      {1, "SORT ORDER BY", "", 12, 1104, 9, 12, 1},
      {2, "NESTED LOOPS", "", 12, 1104, 8, 0, 1},
      {3, "TABLE ACCESS BY INDEX ROWID", "CUSTOMERS", 1, 38, 2, 0, 1},
      {4, "INDEX UNIQUE SCAN", "CUSTOMERS_PK", 1, 0, 1, 0, 1, "\"C\".\"CUSTOMER_ID\"=:B1"},
      {3, "TABLE ACCESS BY INDEX ROWID BATCHED", "ORDERS", 12, 648, 6, 0, 1, nullptr,
       "\"O\".\"ORDER_DATE\">=TRUNC(SYSDATE@!)-30"},
      {4, "INDEX RANGE SCAN", "ORDERS_CUST_IX", 14, 0, 2, 0, 1, "\"O\".\"CUSTOMER_ID\"=:B1"}}},
    {"UPDATE sales.order_lines\n"
     "   SET quantity = :b3, discount_pct = :b4\n"
     " WHERE order_id = :b1 AND line_no = :b2",
     6,
     "SALES.ORDER_LINES",
     0,
     {{0, "UPDATE STATEMENT", "", 0, 0, 3, 100, 0},
      {1, "UPDATE", "ORDER_LINES", 0, 0, -1, 0, 0},
      {2, "INDEX UNIQUE SCAN", "ORDER_LINES_PK", 1, 19, 2, 0, 1, "\"ORDER_ID\"=:B1 AND \"LINE_NO\"=:B2"}}},
    {"INSERT INTO sales.shipments (shipment_id, order_id, country, carrier, shipped_on) "
     "VALUES (:b1, :b2, :b3, :b4, SYSDATE)",
     2,
     "SALES.SHIPMENTS",
     0,
     {{0, "INSERT STATEMENT", "", 0, 0, 1, 100, 0}, {1, "LOAD TABLE CONVENTIONAL", "SHIPMENTS", 0, 0, -1, 0, 0}}},
    {"select p.category, sum(l.quantity * l.unit_price) total_amount, count(distinct o.order_id) orders "
     "from sales.order_lines l, sales.orders o, sales.products p "
     "where l.order_id = o.order_id and p.product_id = l.product_id "
     "and o.order_date between :b1 and :b2 group by p.category order by 2 desc",
     3,
     "",
     2,
     {{0, "SELECT STATEMENT", "", 0, 0, 48213, 100, 0},
      {1, "SORT ORDER BY", "", 24, 1128, 48213, 3, 2},
      {2, "HASH GROUP BY", "", 24, 1128, 48213, 3, 2},
      {3, "VIEW", "VM_NWVW_1", 2150000, 96000000, 47980, 2, 2},
      {4, "HASH GROUP BY", "", 2150000, 112000000, 47980, 2, 2},
      {5, "HASH JOIN", "", 2150000, 112000000, 46720, 1, 2, "\"P\".\"PRODUCT_ID\"=\"L\".\"PRODUCT_ID\""},
      {6, "TABLE ACCESS FULL", "PRODUCTS", 5200, 93600, 31, 0, 1},
      {6, "HASH JOIN", "", 2150000, 75000000, 46680, 1, 2, "\"L\".\"ORDER_ID\"=\"O\".\"ORDER_ID\""},
      {7, "FILTER", "", 0, 0, -1, 0, 0, nullptr, ":B2>=:B1"},
      {8, "TABLE ACCESS FULL", "ORDERS", 410000, 6150000, 9120, 1, 1, nullptr,
       "(\"O\".\"ORDER_DATE\">=:B1 AND \"O\".\"ORDER_DATE\"<=:B2)"},
      {7, "TABLE ACCESS FULL", "ORDER_LINES", 24000000, 461000000, 37420, 1, 2}}},
    // PRODUCTS is small and kept in the KEEP pool: a full scan is its cheapest read.
    {"SELECT product_id, name, list_price\n"
     "  FROM sales.products\n"
     " WHERE category = :b1\n"
     "   AND list_price IS NOT NULL",
     3,
     "",
     0,
     {{0, "SELECT STATEMENT", "", 0, 0, 31, 100, 0},
      {1, "TABLE ACCESS FULL", "PRODUCTS", 1300, 54600, 31, 1, 1, nullptr,
       "(\"CATEGORY\"=:B1 AND \"LIST_PRICE\" IS NOT NULL)"}}},
    {"DELETE FROM sales.order_lines WHERE order_id = :b1 AND line_no = :b2",
     7,
     "SALES.ORDER_LINES",
     0,
     {{0, "DELETE STATEMENT", "", 0, 0, 2, 100, 0},
      {1, "DELETE", "ORDER_LINES", 0, 0, -1, 0, 0},
      {2, "INDEX UNIQUE SCAN", "ORDER_LINES_PK", 1, 19, 1, 0, 1, "\"ORDER_ID\"=:B1 AND \"LINE_NO\"=:B2"}}},
};

// The last eight bytes of the MD5 of the text and a terminating zero, read as two
// little-endian words: the high one and the low one (the hash value).
quint64 textDigest(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    const QByteArray md5 = QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
    auto word = [&](int at) {
        quint32 w = 0;
        for (int k = 3; k >= 0; --k)
            w = (w << 8) | quint8(md5.at(at + k));
        return w;
    };
    return (quint64(word(8)) << 32) | word(12);
}

QString hexAddress(quint64 value)
{
    return QStringLiteral("%1").arg(value, 16, 16, QLatin1Char('0')).toUpper();
}

qint64 planHashOf(const std::vector<PlanStep> &plan)
{
    QByteArray shape;
    for (const PlanStep &s : plan)
        shape += QByteArray::number(s.depth) + s.operation + '/' + s.name + ';';
    const QByteArray md5 = QCryptographicHash::hash(shape, QCryptographicHash::Md5);
    quint32 h = 0;
    for (int k = 0; k < 4; ++k)
        h = (h << 8) | quint8(md5.at(k));
    return qint64(h);
}

// Rows and bytes as the plan shows them: at most five characters, with K, M or G.
QString planCount(qint64 n)
{
    if (n <= 0)
        return {};
    if (n <= 99999)
        return QString::number(n);
    static const char suffixes[] = {'K', 'M', 'G', 'T'};
    for (const char suffix : suffixes) {
        n = (n + 500) / 1000;
        if (n <= 9999)
            return QString::number(n) + QLatin1Char(suffix);
    }
    return QString::number(n) + QLatin1Char('P');
}

QString planTime(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString planCost(const PlanStep &s)
{
    if (s.cost < 0)
        return {};
    return QStringLiteral("%1 %2").arg(s.cost, 5).arg(QStringLiteral("(%1)").arg(s.cpuPercent), 5);
}

std::vector<CatalogueStatement> buildCatalogue()
{
    std::vector<CatalogueStatement> out;
    for (const Spec &spec : kStatements) {
        CatalogueStatement s;
        s.text = QString::fromUtf8(spec.text);
        s.sqlId = sqlIdOf(s.text);
        s.hashValue = hashValueOf(s.text);
        s.address = hexAddress(0x70000000ULL + (quint64(s.hashValue) & 0xFFFFFF) * 0x40);
        s.commandType = spec.commandType;
        s.table = QString::fromLatin1(spec.table);
        s.cachedOn = spec.cachedOn;
        s.plan = spec.plan;
        s.planHashValue = planHashOf(s.plan);
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace

QString sqlIdOf(const QString &text)
{
    static const char alphabet[] = "0123456789abcdfghjkmnpqrstuvwxyz";
    quint64 n = textDigest(text);
    QString id(13, QLatin1Char('0'));
    for (int k = 12; k >= 0; --k, n >>= 5)
        id[k] = QLatin1Char(alphabet[n & 31]);
    return id;
}

qint64 hashValueOf(const QString &text)
{
    return qint64(textDigest(text) & 0xFFFFFFFFu);
}

const std::vector<CatalogueStatement> &sqlCatalogue()
{
    static const std::vector<CatalogueStatement> catalogue = buildCatalogue();
    return catalogue;
}

const CatalogueStatement *findStatement(const QString &sqlId)
{
    const auto &all = sqlCatalogue();
    const auto it = std::find_if(all.begin(), all.end(), [&](const CatalogueStatement &s) { return s.sqlId == sqlId; });
    return it == all.end() ? nullptr : &*it;
}

QStringList sqlTextPieces(const QString &text)
{
    constexpr int kPiece = 64;
    QStringList pieces;
    for (qsizetype at = 0; at < text.size(); at += kPiece)
        pieces << text.mid(at, kPiece);
    return pieces;
}

QStringList planTableLines(const std::vector<PlanStep> &plan)
{
    int wOperation = 9, wName = 4, wRows = 5, wBytes = 5, wCost = 11;
    for (const PlanStep &s : plan) {
        wOperation = std::max(wOperation, s.depth + int(qstrlen(s.operation)));
        wName = std::max(wName, int(qstrlen(s.name)));
        wRows = std::max(wRows, int(planCount(s.rows).size()));
        wBytes = std::max(wBytes, int(planCount(s.bytes).size()));
        wCost = std::max(wCost, int(planCost(s).size()));
    }
    auto row = [&](const QString &id, const QString &operation, const QString &name, const QString &rows,
                   const QString &bytes, const QString &cost, const QString &time) {
        return QStringLiteral("|%1| %2 | %3 | %4 | %5 | %6| %7 |")
            .arg(id, operation.leftJustified(wOperation), name.leftJustified(wName), rows, bytes, cost,
                 time.leftJustified(8));
    };
    const QString header =
        row(QStringLiteral(" Id  "), QStringLiteral("Operation"), QStringLiteral("Name"),
            QStringLiteral("Rows").leftJustified(wRows), QStringLiteral("Bytes").leftJustified(wBytes),
            QStringLiteral("Cost (%CPU)").leftJustified(wCost), QStringLiteral("Time"));
    const QString rule(header.size(), QLatin1Char('-'));
    QStringList lines{rule, header, rule};
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlanStep &s = plan[i];
        const bool marked = s.access || s.filter;
        const QString id = (marked ? QStringLiteral("*") : QStringLiteral(" ")) + QString::number(i).rightJustified(3) +
                           QLatin1Char(' ');
        const bool timed = s.depth > 0 && s.cost >= 0;
        lines << row(id, QString(s.depth, QLatin1Char(' ')) + QLatin1String(s.operation), QLatin1String(s.name),
                     planCount(s.rows).rightJustified(wRows), planCount(s.bytes).rightJustified(wBytes),
                     planCost(s).rightJustified(wCost), timed ? planTime(s.seconds) : QString());
    }
    lines << rule;
    return lines;
}

QStringList planPredicateLines(const std::vector<PlanStep> &plan)
{
    QStringList predicates;
    for (size_t i = 0; i < plan.size(); ++i) {
        const PlanStep &s = plan[i];
        QString lead = QStringLiteral("%1 - ").arg(i, 4);
        for (const auto &[kind, text] : {std::pair{"access", s.access}, std::pair{"filter", s.filter}}) {
            if (!text)
                continue;
            predicates << lead + QLatin1String(kind) + QLatin1Char('(') + QLatin1String(text) + QLatin1Char(')');
            lead = QString(lead.size(), QLatin1Char(' '));
        }
    }
    if (predicates.isEmpty())
        return {};
    const QString title = QStringLiteral("Predicate Information (identified by operation id):");
    return QStringList{QString(), title, QString(title.size(), QLatin1Char('-')), QString()} + predicates;
}

QStringList displayCursorLines(const CatalogueStatement &statement)
{
    QStringList lines;
    const QString head = QStringLiteral("SQL_ID  %1, child number 0").arg(statement.sqlId);
    lines << head << QString(head.size(), QLatin1Char('-'));
    lines << statement.text.split(QLatin1Char('\n'));
    lines << QString() << QStringLiteral("Plan hash value: %1").arg(statement.planHashValue) << QString();
    lines << planTableLines(statement.plan) << planPredicateLines(statement.plan);
    lines << QString();
    return lines;
}

QStringList cursorNotFoundLines(const QString &sqlId)
{
    return {QStringLiteral("SQL_ID: %1, child number: 0 cannot be found").arg(sqlId)};
}

} // namespace tavimond::sim
