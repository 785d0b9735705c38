#include "awr_plans.h"

#include "../live/sql_catalogue.h"

#include <QRegularExpression>
#include <set>
#include <string>

namespace tavimond::sim {
namespace {

// Plan steps name their texts by pointer: the texts of made plans live here.
const char *kept(const QString &text)
{
    static std::set<std::string> texts;
    return texts.insert(text.toStdString()).first->c_str();
}
const char *keptOrNone(const QString &text)
{
    return text.isEmpty() ? nullptr : kept(text);
}

// What a plan needs to know of its statement's text.
struct Shape {
    QString command; // SELECT, UPDATE, DELETE, INSERT
    QString table;   // upper case, without its owner
    QString alias;   // as the statement names the table, upper case
    QString key;     // the first column its WHERE compares
    QString date;    // the column it compares with a date computed from SYSDATE
    QString filter;  // the column a subquery's WHERE compares
    QStringList columns; // the select list's columns, upper case
};

QString typeOf(const QString &column)
{
    const QString c = column.toLower();
    static const char *const kNumbers[] = {"_id", "_no", "amount", "price", "quantity", "limit", "total", "salary",
                                           "on_hand", "lines", "cnt"};
    for (const char *n : kNumbers)
        if (c.endsWith(QLatin1String(n)))
            return QStringLiteral("[NUMBER,22]");
    if (c.endsWith(QLatin1String("date")) || c.endsWith(QLatin1String("_at")))
        return QStringLiteral("[DATE,7]");
    return QStringLiteral("[VARCHAR2,30]");
}

Shape shapeOf(const QString &text)
{
    Shape s;
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    plain = plain.simplified();
    s.command = plain.section(QLatin1Char(' '), 0, 0).toUpper();
    static const QRegularExpression table(QStringLiteral("\\b(?:FROM|INTO|UPDATE)\\s+\\w+\\.(\\w+)(?:\\s+(\\w+))?"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (const auto m = table.match(plain); m.hasMatch()) {
        s.table = m.captured(1).toUpper();
        const QString next = m.captured(2).toUpper();
        static const QStringList kWords{"WHERE", "JOIN", "GROUP", "ORDER", "SET", "VALUES", "SELECT"};
        s.alias = next.isEmpty() || kWords.contains(next) ? s.table : next;
    }
    static const QRegularExpression key(QStringLiteral("\\bWHERE\\s+(?:\\w+\\.)?(\\w+)"),
                                        QRegularExpression::CaseInsensitiveOption);
    s.key = key.match(plain).captured(1).toUpper();
    static const QRegularExpression date(QStringLiteral("\\b(\\w+)\\s*[<>]=?\\s*(?:TRUNC|ADD_MONTHS)\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    s.date = date.match(plain).captured(1).toUpper();
    static const QRegularExpression filter(QStringLiteral("\\(SELECT\\s.*\\sWHERE\\s+(\\w+)\\s*="),
                                           QRegularExpression::CaseInsensitiveOption);
    s.filter = filter.match(plain).captured(1).toUpper();
    if (s.command == QLatin1String("SELECT")) {
        const QString list = plain.mid(7, plain.indexOf(QLatin1String(" FROM "), 0, Qt::CaseInsensitive) - 7);
        int depth = 0;
        QString item;
        for (const QChar c : list + QLatin1Char(',')) {
            depth += c == QLatin1Char('(') ? 1 : c == QLatin1Char(')') ? -1 : 0;
            if (c != QLatin1Char(',') || depth > 0) {
                item += c;
                continue;
            }
            // The alias of an expression, else the column itself.
            QString name = item.trimmed().section(QLatin1Char(' '), -1).section(QLatin1Char('.'), -1);
            if (!name.contains(QLatin1Char('(')) && !name.isEmpty())
                s.columns << name.toUpper();
            item.clear();
        }
    }
    return s;
}

// One step of a plan as it is made, before it is printed.
struct Step {
    int depth;
    QString operation, name;
    qint64 rows, bytes, cost;
    int cpu, seconds;
    QString access, filter;
    QString alias; // the object the step reads, as the query names it
};

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// The plan of a statement of the application: the one its kind of statement takes, or,
// as a second plan, a full scan.
std::vector<Step> madePlan(const Shape &s, const QString &upper, bool fullScan)
{
    const QString t = s.table, pk = s.table + QStringLiteral("_PK"), k = quotedName(s.key);
    const QString bound = k + QStringLiteral("=:B1");
    if (fullScan) {
        std::vector<Step> plan{{0, s.command + QStringLiteral(" STATEMENT"), {}, 0, 0, 412, 100, 0, {}, {}, {}}};
        if (s.command != QLatin1String("SELECT"))
            plan.push_back({1, s.command, t, 0, 0, 0, 0, 0, {}, {}, {}});
        plan.push_back({int(plan.size()), QStringLiteral("TABLE ACCESS FULL"), t, 1, 62, 412, 2, 1, {}, bound, s.alias});
        return plan;
    }
    if (s.command == QLatin1String("DELETE") && upper.contains(QLatin1String("ADD_MONTHS")))
        return {{0, QStringLiteral("DELETE STATEMENT"), {}, 0, 0, 8210, 100, 0, {}, {}, {}},
                {1, QStringLiteral("DELETE"), t, 0, 0, 0, 0, 0, {}, {}, {}},
                {2, QStringLiteral("TABLE ACCESS FULL"), t, 812000, 97440000, 8210, 3, 1, {},
                 quotedName(s.date) + QStringLiteral("<ADD_MONTHS(TRUNC(SYSDATE@!,'fmmm'),-:B1)"), s.alias}};
    if (s.command == QLatin1String("UPDATE") || s.command == QLatin1String("DELETE"))
        return {{0, s.command + QStringLiteral(" STATEMENT"), {}, 0, 0, 2, 100, 0, {}, {}, {}},
                {1, s.command, t, 0, 0, 0, 0, 0, {}, {}, {}},
                {2, QStringLiteral("INDEX UNIQUE SCAN"), pk, 1, 26, 1, 0, 1, bound, {}, s.alias}};
    if (s.command == QLatin1String("INSERT"))
        return {{0, QStringLiteral("INSERT STATEMENT"), {}, 0, 0, 1, 100, 0, {}, {}, {}},
                {1, QStringLiteral("LOAD TABLE CONVENTIONAL"), t, 0, 0, 0, 0, 0, {}, {}, {}}};
    if (upper.startsWith(QLatin1String("SELECT COUNT(*)")))
        return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 64, 100, 0, {}, {}, {}},
                {1, QStringLiteral("SORT AGGREGATE"), {}, 1, 6, 0, 0, 0, {}, {}, {}},
                {2, QStringLiteral("INDEX FAST FULL SCAN"), pk, 48210, 289260, 64, 4, 1, {},
                 k + QStringLiteral(">:B1"), s.alias}};
    if (upper.contains(QLatin1String("INDEX(T)")))
        return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 6, 100, 0, {}, {}, {}},
                {1, QStringLiteral("FILTER"), {}, 0, 0, 0, 0, 0, {}, QStringLiteral(":B1<=:B2"), {}},
                {2, QStringLiteral("TABLE ACCESS BY INDEX ROWID BATCHED"), t, 25, 1350, 6, 0, 1, {}, {}, s.alias},
                {3, QStringLiteral("INDEX RANGE SCAN"), pk, 25, 0, 2, 0, 1,
                 QStringLiteral("\"T\".%1>=:B1 AND \"T\".%1<=:B2").arg(k), {}, s.alias}};
    if (upper.contains(QLatin1String(" IN (SELECT")))
        return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 830, 100, 0, {}, {}, {}},
                {1, QStringLiteral("HASH JOIN RIGHT SEMI"), {}, 2400, 153600, 830, 2, 1,
                 QStringLiteral("%1=%1").arg(k), {}, {}},
                {2, QStringLiteral("TABLE ACCESS FULL"), t, 2400, 28800, 412, 2, 1, {},
                 quotedName(s.filter) + QStringLiteral("=:B1"), s.alias + QStringLiteral("@SEL$2")},
                {2, QStringLiteral("TABLE ACCESS FULL"), t, 96400, 5205600, 413, 2, 1, {}, {}, s.alias}};
    if (upper.contains(QLatin1String("ROLLUP(")))
        return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 1420, 100, 0, {}, {}, {}},
                {1, QStringLiteral("SORT GROUP BY ROLLUP"), {}, 40, 1400, 1420, 9, 1, {}, {}, {}},
                {2, QStringLiteral("TABLE ACCESS FULL"), t, 96400, 3374000, 1290, 2, 1, {}, {}, s.alias}};
    if (upper.contains(QLatin1String(" JOIN ")))
        return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 21840, 100, 0, {}, {}, {}},
                {1, QStringLiteral("SORT ORDER BY"), {}, 9000, 405000, 21840, 4, 1, {}, {}, {}},
                {2, QStringLiteral("HASH GROUP BY"), {}, 9000, 405000, 21840, 4, 1, {}, {}, {}},
                {3, QStringLiteral("HASH JOIN"), {}, 1840000, 82800000, 20950, 2, 1,
                 QStringLiteral("\"P\".\"PRODUCT_ID\"=\"L\".\"PRODUCT_ID\""), {}, {}},
                {4, QStringLiteral("TABLE ACCESS FULL"), QStringLiteral("PRODUCTS"), 12000, 216000, 31, 1, 1, {},
                 QStringLiteral("INTERNAL_FUNCTION(\"P\".\"PRODUCT_ID\")"), QStringLiteral("P")},
                {4, QStringLiteral("TABLE ACCESS FULL"), QStringLiteral("ORDER_LINES"), 1840000, 49680000, 20870, 2,
                 1, {}, QStringLiteral("INTERNAL_FUNCTION(\"L\".\"PRODUCT_ID\")"), QStringLiteral("L")}};
    if (upper.contains(QLatin1String("GROUP BY")))
        return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 1388, 100, 0, {}, {}, {}},
                {1, QStringLiteral("SORT ORDER BY"), {}, 40, 1600, 1388, 8, 1, {}, {}, {}},
                {2, QStringLiteral("HASH GROUP BY"), {}, 40, 1600, 1388, 8, 1, {}, {}, {}},
                {3, QStringLiteral("TABLE ACCESS FULL"), t, 24100, 964000, 1290, 2, 1, {},
                 quotedName(s.date) + QStringLiteral(">=TRUNC(SYSDATE@!)-:B1"), s.alias}};
    return {{0, QStringLiteral("SELECT STATEMENT"), {}, 0, 0, 2, 100, 0, {}, {}, {}},
            {1, QStringLiteral("TABLE ACCESS BY INDEX ROWID"), t, 1, 54, 2, 0, 1, {}, {}, s.alias},
            {2, QStringLiteral("INDEX UNIQUE SCAN"), pk, 1, 0, 1, 0, 1, bound, {}, s.alias}};
}

// A shared pool statement's plan as the live views show it; each object's alias is the
// table it belongs to (an index's, the table above it).
std::vector<Step> cataloguePlan(const CatalogueStatement &c)
{
    std::vector<Step> plan;
    for (const PlanStep &p : c.plan) {
        Step s{p.depth, QLatin1String(p.operation), QLatin1String(p.name), p.rows, p.bytes, p.cost, p.cpuPercent,
               p.seconds, QLatin1String(p.access), QLatin1String(p.filter), {}};
        if (!s.name.isEmpty())
            s.alias = s.operation.startsWith(QLatin1String("INDEX")) && !plan.empty() ? plan.back().alias : s.name;
        plan.push_back(s);
    }
    return plan;
}

QString blockOf(const QString &command)
{
    if (command == QLatin1String("UPDATE"))
        return QStringLiteral("UPD$1");
    if (command == QLatin1String("DELETE"))
        return QStringLiteral("DEL$1");
    if (command == QLatin1String("INSERT"))
        return QStringLiteral("INS$1");
    return QStringLiteral("SEL$1");
}

QStringList section(const QString &title)
{
    return {QString(), title, QString(title.size(), QLatin1Char('-')), QString()};
}

} // namespace

QStringList displayAwrLines(const SqlWorkload::Sql &sql, qint64 planHashValue)
{
    const auto plan = std::find(sql.plans.begin(), sql.plans.end(), planHashValue);
    if (plan == sql.plans.end())
        return {};
    const Shape shape = shapeOf(sql.text);
    const CatalogueStatement *catalogue = findStatement(sql.sqlId);
    const std::vector<Step> steps = catalogue && catalogue->planHashValue == planHashValue
                                        ? cataloguePlan(*catalogue)
                                        : madePlan(shape, sql.text.toUpper(), plan != sql.plans.begin());

    const QString head = QStringLiteral("SQL_ID ") + sql.sqlId;
    QStringList lines{head, QString(head.size(), QLatin1Char('-'))};
    lines << sql.text.split(QLatin1Char('\n'));
    lines << QString() << QStringLiteral("Plan hash value: %1").arg(planHashValue) << QString();
    std::vector<PlanStep> printed;
    for (const Step &s : steps)
        printed.push_back({s.depth, kept(s.operation), kept(s.name), s.rows, s.bytes, s.cost, s.cpu, s.seconds,
                           keptOrNone(s.access), keptOrNone(s.filter)});
    lines << planTableLines(printed);

    // Query blocks and aliases; the outline that fixes the plan.
    const QString block = blockOf(shape.command);
    lines << section(QStringLiteral("Query Block Name / Object Alias (identified by operation id):"));
    QStringList outline{QStringLiteral("IGNORE_OPTIM_EMBEDDED_HINTS"),
                        QStringLiteral("OPTIMIZER_FEATURES_ENABLE('19.1.0')"), QStringLiteral("DB_VERSION('19.1.0')"),
                        QStringLiteral("ALL_ROWS"), QStringLiteral("OUTLINE_LEAF(@\"%1\")").arg(block)};
    QStringList leading;
    for (size_t i = 1; i < steps.size(); ++i) {
        const Step &s = steps[i];
        QString alias = s.alias.section(QLatin1Char('@'), 0, 0);
        const QString own = s.alias.contains(QLatin1Char('@')) ? s.alias.section(QLatin1Char('@'), 1) : block;
        if (alias.isEmpty()) {
            if (i == 1)
                lines << QStringLiteral("%1 - %2").arg(i, 4).arg(block);
            continue;
        }
        lines << QStringLiteral("%1 - %2 / %3@%2").arg(i, 4).arg(own, alias);
        const QString object = QStringLiteral("@\"%1\" \"%2\"@\"%1\"").arg(own, alias);
        if (s.operation == QLatin1String("TABLE ACCESS FULL"))
            outline << QStringLiteral("FULL(%1)").arg(object);
        else if (s.operation == QLatin1String("INDEX FAST FULL SCAN"))
            outline << QStringLiteral("INDEX_FFS(%1 \"%2\")").arg(object, s.name);
        else if (s.operation.startsWith(QLatin1String("INDEX")))
            outline << QStringLiteral("INDEX_RS_ASC(%1 \"%2\")").arg(object, s.name);
        if (s.operation.startsWith(QLatin1String("TABLE ACCESS")) && !leading.contains(quotedName(alias)))
            leading << quotedName(alias) + QStringLiteral("@\"%1\"").arg(own);
    }
    if (leading.size() > 1)
        outline << QStringLiteral("LEADING(@\"%1\" %2)").arg(block, leading.join(QLatin1Char(' ')));
    for (const Step &s : steps)
        if (s.operation.startsWith(QLatin1String("HASH JOIN")) && leading.size() > 1)
            outline << QStringLiteral("USE_HASH(@\"%1\" %2)").arg(block, leading.last());
    lines << section(QStringLiteral("Outline Data")) << QStringLiteral("  /*+")
          << QStringLiteral("      BEGIN_OUTLINE_DATA");
    for (const QString &hint : outline)
        lines << QStringLiteral("      ") + hint;
    lines << QStringLiteral("      END_OUTLINE_DATA") << QStringLiteral("  */");
    lines << planPredicateLines(printed);

    // What each step hands to the one above it.
    lines << section(QStringLiteral("Column Projection Information (identified by operation id):"));
    QStringList columns;
    for (const QString &c : shape.columns.mid(0, 6))
        columns << quotedName(c) + typeOf(c);
    for (size_t i = 1; i < steps.size(); ++i) {
        const Step &s = steps[i];
        QString projection;
        if (s.operation.startsWith(QLatin1String("INDEX")) && s.operation != QLatin1String("INDEX FAST FULL SCAN"))
            projection = quotedName(s.alias.section(QLatin1Char('@'), 0, 0)) + QStringLiteral(".ROWID[ROWID,10]");
        else if (s.operation == QLatin1String("SORT AGGREGATE"))
            projection = QStringLiteral("(#keys=0) COUNT(*)[22]");
        else if (columns.isEmpty() || shape.command != QLatin1String("SELECT"))
            projection = quotedName(shape.key.isEmpty() ? shape.table : shape.key) + typeOf(shape.key);
        else
            projection = columns.join(QStringLiteral(", "));
        lines << QStringLiteral("%1 - %2").arg(i, 4).arg(projection);
    }
    lines << QString();
    return lines;
}

} // namespace tavimond::sim
