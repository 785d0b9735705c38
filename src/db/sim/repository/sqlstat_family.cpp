// dba_hist_sqlstat summed per statement and plan over a window of snapshots (the SQL
// topology report), and the repository's plain views for simple queries.
#include "repository.h"
#include "sql_workload.h"

#include "../select_eval.h"
#include "../server.h"
#include "../../timestamp_text.h"

#include "../../error.h"

#include <QHash>
#include <algorithm>

namespace tavimond::sim {
namespace {

using Figure = SqlstatFigure;
constexpr const auto &kFigures = kSqlstatFigures;

const Figure *figure(const QString &column)
{
    for (const Figure &f : kFigures)
        if (column == QLatin1String(f.column))
            return &f;
    return nullptr;
}

// One expression of the select list: the key, or the sum of a figure divided by a number.
struct Output {
    QString name;
    const Figure *sum = nullptr; // null: the key
    qint64 divisor = 1;
};

// The outer select list, from its first "select" to its first "from" at the same depth.
std::vector<Output> readSelectList(const Statement &s)
{
    const std::vector<Token> &t = s.tokens();
    std::vector<Output> out;
    size_t i = 1;
    while (i < t.size()) {
        const size_t start = i;
        int depth = 0;
        while (i < t.size() &&
               !(depth == 0 && (t[i].text == QLatin1String(",") || t[i].text == QLatin1String("from")))) {
            depth += t[i].text == QLatin1String("(") ? 1 : t[i].text == QLatin1String(")") ? -1 : 0;
            ++i;
        }
        QStringList words;
        for (size_t k = start; k < i; ++k)
            words << t[k].text;
        const QString e = words.join(QLatin1Char(' '));
        Output o;
        o.name = words.join(QString()).toUpper();
        if (e == QLatin1String("x . sql_id || '::' || x . plan_hash_value")) {
            out.push_back(o);
        } else if (words.size() >= 6 && words.at(0) == QLatin1String("sum") && words.at(1) == QLatin1String("(") &&
                   words.at(2) == QLatin1String("x") && words.at(3) == QLatin1String(".") &&
                   words.at(5) == QLatin1String(")")) {
            o.sum = figure(words.at(4));
            if (!o.sum)
                throw DbError(QStringLiteral("ORA-00904: \"X\".\"%1\": invalid identifier").arg(words.at(4).toUpper()));
            if (words.size() == 8 && words.at(6) == QLatin1String("/") && t[start + 7].kind == Token::Number)
                o.divisor = std::max<qint64>(1, words.at(7).toLongLong());
            else if (words.size() != 6)
                cannotRead(QStringLiteral("the select list"));
            out.push_back(o);
        } else {
            cannotRead(QStringLiteral("the select list"));
        }
        if (i >= t.size() || t[i].text == QLatin1String("from"))
            break;
        ++i;
    }
    return out;
}

QString sumText(qint64 sum, qint64 divisor)
{
    if (divisor == 1000000)
        return microsAsSeconds(sum);
    return divisor == 1 ? QString::number(sum) : oracleNumber(double(sum) / double(divisor));
}

Result sqlTopology(const Statement &s, Context &ctx)
{
    const Repository &repository = ctx.model.state<Repository>();
    const SqlWorkload &workload = ctx.model.state<SqlWorkload>();
    const std::vector<Output> outputs = readSelectList(s);
    if (!s.has(QStringLiteral("group by x.sql_id||'::'||x.plan_hash_value")))
        cannotRead(QStringLiteral("the grouping"));
    const bool having = s.has(QStringLiteral("having"));
    if (having && !s.has(QStringLiteral("having sum(x.elapsed_time_delta) > 0")))
        cannotRead(QStringLiteral("the having clause"));
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);

    // The window's snapshot ids, whichever instance took them; then every instance's
    // rows of those ids.
    const std::vector<Repository::Snapshot> snapshots = repository.snapshots();
    QSet<qint64> ids;
    for (const Repository::Snapshot &snap : snapshots)
        if (!window || window->contains(snap))
            ids.insert(snap.snapId);
    // Sums per statement and plan, kept by position; their keys made once at the end.
    const std::vector<SqlWorkload::Sql> &statements = workload.statements();
    constexpr size_t kWidth = std::size(kFigures);
    std::vector<qint64> acc(statements.size() * 2 * kWidth);
    std::vector<bool> seen(statements.size() * 2);
    std::vector<SqlWorkload::Row> rows;
    for (const Repository::Snapshot &snap : snapshots) {
        if (!ids.contains(snap.snapId))
            continue;
        rows.clear();
        workload.rowsOf(snap, rows);
        for (const SqlWorkload::Row &r : rows) {
            const size_t slot = size_t(r.sql - statements.data()) * 2 + (r.planHashValue == r.sql->plans[0] ? 0 : 1);
            seen[slot] = true;
            qint64 *a = &acc[slot * kWidth];
            for (size_t f = 0; f < kWidth; ++f)
                a[f] += r.*kFigures[f].field;
        }
    }
    std::vector<std::pair<QString, size_t>> keys; // ordered by key, as the statement asks
    for (size_t slot = 0; slot < seen.size(); ++slot)
        if (seen[slot]) {
            const SqlWorkload::Sql &sql = statements[slot / 2];
            keys.emplace_back(sql.sqlId + QStringLiteral("::") + QString::number(sql.plans[slot % 2]), slot);
        }
    std::sort(keys.begin(), keys.end());
    QStringList names;
    for (const Output &o : outputs)
        names << o.name;
    auto table = std::make_shared<Table>(names);
    const size_t elapsed = size_t(figure(QStringLiteral("elapsed_time_delta")) - kFigures);
    for (const auto &[key, slot] : keys) {
        const qint64 *a = &acc[slot * kWidth];
        if (having && a[elapsed] <= 0)
            continue;
        QStringList row;
        for (const Output &o : outputs)
            row << (o.sum ? sumText(a[size_t(o.sum - kFigures)], o.divisor) : key);
        table->addRow(row);
    }
    return table;
}

Table snapshotRows(Context &ctx)
{
    Table t({QStringLiteral("SNAP_ID"), QStringLiteral("DBID"), QStringLiteral("INSTANCE_NUMBER"),
             QStringLiteral("STARTUP_TIME"), QStringLiteral("BEGIN_INTERVAL_TIME"), QStringLiteral("END_INTERVAL_TIME"),
             QStringLiteral("SNAP_LEVEL"), QStringLiteral("ERROR_COUNT")});
    for (const Repository::Snapshot &s : ctx.model.state<Repository>().snapshots())
        t.addRow({QString::number(s.snapId), QString::number(Repository::kDbid), QString::number(s.instance),
                  timestampText(s.startup), timestampText(s.begin), timestampText(s.end), QStringLiteral("1"),
                  QStringLiteral("0")});
    return t;
}

Table sqlstatRows(Context &ctx)
{
    QStringList columns{QStringLiteral("SNAP_ID"), QStringLiteral("DBID"), QStringLiteral("INSTANCE_NUMBER"),
                        QStringLiteral("SQL_ID"), QStringLiteral("PLAN_HASH_VALUE")};
    for (const Figure &f : kFigures)
        columns << QString::fromLatin1(f.column).toUpper();
    Table t(columns);
    std::vector<SqlWorkload::Row> rows;
    for (const Repository::Snapshot &s : ctx.model.state<Repository>().snapshots()) {
        rows.clear();
        ctx.model.state<SqlWorkload>().rowsOf(s, rows);
        for (const SqlWorkload::Row &r : rows) {
            QStringList cells{QString::number(s.snapId), QString::number(Repository::kDbid),
                              QString::number(s.instance), r.sql->sqlId, QString::number(r.planHashValue)};
            for (const Figure &f : kFigures)
                cells << QString::number(r.*f.field);
            t.addRow(cells);
        }
    }
    return t;
}

} // namespace

void registerSqlstatFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dba_hist_sqlstat per statement and plan"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("from dba_hist_sqlstat ) x")) &&
                              s.has(QStringLiteral("from dba_hist_snapshot")) &&
                              s.has(QStringLiteral("where s.snap_id = x.snap_id")) &&
                              s.has(QStringLiteral("x.sql_id||'::'||x.plan_hash_value"));
                   },
                   sqlTopology});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_snapshot"), snapshotRows));
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_sqlstat"), sqlstatRows));
}

} // namespace tavimond::sim
