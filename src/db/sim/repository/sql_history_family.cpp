// One statement's dba_hist_sqlstat figures snapshot by snapshot over a window (the
// historical SQL statistics report), plain or rolled up per day and plan.
#include "repository.h"
#include "sql_workload.h"

#include "../oracle_dates.h"
#include "../server.h"
#include "../../timestamp_text.h"

#include "../../error.h"

#include <QHash>
#include <algorithm>
#include <map>

namespace tavimond::sim {
namespace {

using Tokens = std::vector<Token>;

constexpr const auto &kFigures = kSqlstatFigures;
constexpr int kFigureCount = int(std::size(kFigures));

int figureIndex(const QString &column)
{
    for (int f = 0; f < kFigureCount; ++f)
        if (column == QLatin1String(kFigures[f].column))
            return f;
    return -1;
}

// An exact decimal: units / 10^scale.
struct Fixed {
    qint64 units = 0;
    int scale = 0;
};

qint64 power10(int n)
{
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

Fixed rounded(Fixed v, int decimals)
{
    if (decimals >= v.scale)
        return v;
    const qint64 step = power10(v.scale - decimals);
    const qint64 half = step / 2;
    const qint64 q = v.units >= 0 ? (v.units + half) / step : -((-v.units + half) / step);
    return {q, decimals};
}

Fixed plus(Fixed a, Fixed b)
{
    const int scale = std::max(a.scale, b.scale);
    return {a.units * power10(scale - a.scale) + b.units * power10(scale - b.scale), scale};
}

// As the database writes a number: no trailing zeros, "0." before a fraction.
QString fixedText(Fixed v)
{
    const bool negative = v.units < 0;
    const quint64 u = negative ? quint64(-v.units) : quint64(v.units);
    const quint64 p = quint64(power10(v.scale));
    QString out = QString::number(u / p);
    if (const quint64 rest = u % p) {
        QString fraction = QStringLiteral("%1").arg(rest, v.scale, 10, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        out += QLatin1Char('.') + fraction;
    }
    return negative && u != 0 ? QLatin1Char('-') + out : out;
}

// A column of the inner select: the snapshot's id or times, the key, or a figure's sum
// divided by a power of ten and rounded.
struct InnerColumn {
    enum Kind { SnapId, StartTime, EndTime, Key, Sum } kind = Sum;
    QString name;
    int figure = -1;
    int divisorDigits = 0;
    int decimals = -1; // -1: not rounded
};

// A column of the daily rollup over the inner select.
struct OuterColumn {
    enum Kind { Literal, Day, Value, Total } kind = Literal;
    QString name;
    QString text; // the literal, or the to_date mask of the day
    int inner = -1;
};

bool is(const Tokens &t, size_t i, const char *text)
{
    return i < t.size() && t[i].text == QLatin1String(text);
}

// Splits tokens [from, to) at the commas that stand outside parentheses.
std::vector<std::pair<size_t, size_t>> splitAtCommas(const Tokens &t, size_t from, size_t to)
{
    std::vector<std::pair<size_t, size_t>> parts;
    int depth = 0;
    size_t start = from;
    for (size_t i = from; i < to; ++i) {
        if (t[i].text == QLatin1String("("))
            ++depth;
        else if (t[i].text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && t[i].text == QLatin1String(",")) {
            parts.emplace_back(start, i);
            start = i + 1;
        }
    }
    parts.emplace_back(start, to);
    return parts;
}

// The end of the select list that starts after token `select`: its "from" at depth 0.
size_t selectListEnd(const Tokens &t, size_t select)
{
    int depth = 0;
    for (size_t i = select + 1; i < t.size(); ++i) {
        if (t[i].text == QLatin1String("("))
            ++depth;
        else if (t[i].text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && t[i].text == QLatin1String("from"))
            return i;
    }
    cannotRead(QStringLiteral("the select list"));
}

QString joined(const Tokens &t, size_t from, size_t to)
{
    QString out;
    for (size_t i = from; i < to; ++i)
        out += t[i].text;
    return out.toUpper();
}

// Drops "as <alias>" from the end of [from, to); returns the alias, upper-cased.
QString takeAlias(const Tokens &t, size_t from, size_t &to)
{
    if (to >= from + 3 && t[to - 2].text == QLatin1String("as") && t[to - 1].kind == Token::Word) {
        to -= 2;
        return t[to + 1].text.toUpper();
    }
    return {};
}

// nvl(e, 0), round(e, d), sum(x.<figure>) [/ 10^k]: what the report sums.
void readSum(const Tokens &t, size_t from, size_t to, InnerColumn &c)
{
    if (is(t, from, "nvl") && is(t, from + 1, "(") && to >= from + 6 && is(t, to - 1, ")") && is(t, to - 2, "0") &&
        is(t, to - 3, ",")) {
        readSum(t, from + 2, to - 3, c); // no figure of the repository is null
        return;
    }
    if (is(t, from, "round") && is(t, from + 1, "(") && to >= from + 6 && is(t, to - 1, ")") &&
        t[to - 2].kind == Token::Number && is(t, to - 3, ",")) {
        c.decimals = t[to - 2].value.toInt();
        readSum(t, from + 2, to - 3, c);
        return;
    }
    if (is(t, from, "sum") && is(t, from + 1, "(") && is(t, from + 2, "x") && is(t, from + 3, ".") &&
        is(t, from + 5, ")")) {
        c.figure = figureIndex(t[from + 4].text);
        if (c.figure < 0)
            throw DbError(QStringLiteral("ORA-00904: \"X\".\"%1\": invalid identifier").arg(t[from + 4].text.toUpper()));
        if (to == from + 6)
            return;
        if (to == from + 8 && is(t, from + 6, "/") && t[from + 7].kind == Token::Number) {
            const QString divisor = t[from + 7].value;
            if (divisor.startsWith(QLatin1Char('1')) && divisor.count(QLatin1Char('0')) == divisor.size() - 1) {
                c.divisorDigits = int(divisor.size()) - 1;
                return;
            }
        }
    }
    cannotRead(QStringLiteral("the select list"));
}

std::vector<InnerColumn> readInnerColumns(const Tokens &t, size_t select)
{
    std::vector<InnerColumn> out;
    for (auto [from, to] : splitAtCommas(t, select + 1, selectListEnd(t, select))) {
        InnerColumn c;
        const QString alias = takeAlias(t, from, to);
        const QString expression = joined(t, from, to);
        if (expression == QLatin1String("S.SNAP_ID"))
            c.kind = InnerColumn::SnapId;
        else if (expression == QLatin1String("S.START_TIME"))
            c.kind = InnerColumn::StartTime;
        else if (expression == QLatin1String("S.END_TIME"))
            c.kind = InnerColumn::EndTime;
        else if (expression == QLatin1String("X.SQL_ID||'::'||X.PLAN_HASH_VALUE"))
            c.kind = InnerColumn::Key;
        else
            readSum(t, from, to, c);
        // A plain column keeps its own name.
        c.name = !alias.isEmpty() ? alias : expression.startsWith(QLatin1String("S.")) ? expression.mid(2) : expression;
        out.push_back(c);
    }
    return out;
}

std::vector<OuterColumn> readRollupColumns(const Tokens &t, const std::vector<InnerColumn> &inner)
{
    auto innerNamed = [&](const Token &name) {
        for (size_t i = 0; i < inner.size(); ++i)
            if (inner[i].name == name.text.toUpper())
                return int(i);
        throw DbError(QStringLiteral("ORA-00904: \"SX\".\"%1\": invalid identifier").arg(name.text.toUpper()));
    };
    std::vector<OuterColumn> out;
    for (auto [from, to] : splitAtCommas(t, 1, selectListEnd(t, 0))) {
        OuterColumn c;
        c.name = takeAlias(t, from, to);
        if (c.name.isEmpty())
            c.name = joined(t, from, to);
        const size_t n = to - from;
        if (n == 1 && t[from].kind == Token::String) {
            c.kind = OuterColumn::Literal;
            c.text = t[from].value;
        } else if (n == 3 && is(t, from, "sx") && is(t, from + 1, ".")) {
            c.kind = OuterColumn::Value;
            c.inner = innerNamed(t[from + 2]);
        } else if (n == 6 && is(t, from, "sum") && is(t, from + 1, "(") && is(t, from + 2, "sx") &&
                   is(t, from + 3, ".") && is(t, from + 5, ")")) {
            c.kind = OuterColumn::Total;
            c.inner = innerNamed(t[from + 4]);
        } else if (n == 13 && is(t, from, "trunc") && is(t, from + 2, "to_date") && is(t, from + 4, "sx") &&
                   is(t, from + 6, "start_time") && t[from + 8].kind == Token::String &&
                   t[from + 11].kind == Token::String && t[from + 11].value.toUpper() == QLatin1String("DD")) {
            c.kind = OuterColumn::Day;
            c.text = t[from + 8].value;
            c.inner = innerNamed(t[from + 6]);
        } else {
            cannotRead(QStringLiteral("the daily rollup"));
        }
        out.push_back(c);
    }
    return out;
}

// The snapshot times as the statement writes them: to_char(trunc(<column>, 'mi'), mask).
QString timeMask(const Statement &s, const char *column)
{
    const auto mask = s.stringAfter(QStringLiteral("trunc ( %1 , 'mi' ) ) ,").arg(QLatin1String(column)));
    if (!mask)
        cannotRead(QStringLiteral("the snapshot times"));
    return *mask;
}

QDateTime toMinute(const QDateTime &t)
{
    return t.addMSecs(-qint64(t.time().second()) * 1000 - t.time().msec());
}

Result sqlHistory(const Statement &s, Context &ctx)
{
    // A quote typed into the sql_id leaves a literal open to the end of the statement.
    if (s.sql().count(QLatin1Char('\'')) % 2 != 0)
        throw DbError(QStringLiteral("ORA-01756: quoted string not properly terminated"));
    if (!s.has(QStringLiteral("from dba_hist_snapshot")) || !s.has(QStringLiteral("where s.snap_id = x.snap_id")))
        cannotRead(QStringLiteral("the statement"));
    const Tokens &t = s.tokens();
    const bool rollup = s.has(QStringLiteral(") sx"));
    const int innerAt = rollup ? s.after(QStringLiteral("from (")) : 0;
    if (innerAt < 0 || !is(t, size_t(innerAt), "select"))
        cannotRead(QStringLiteral("the statement"));
    const std::vector<InnerColumn> inner = readInnerColumns(t, size_t(innerAt));
    const std::vector<OuterColumn> outer = rollup ? readRollupColumns(t, inner) : std::vector<OuterColumn>();
    if (rollup && !s.has(QStringLiteral(") sx group by trunc ( to_date ( sx . start_time")))
        cannotRead(QStringLiteral("the daily rollup's grouping"));
    if (!s.has(QStringLiteral("group by s . snap_id , s . start_time , s . end_time , x . sql_id || '::' || x . plan_hash_value")))
        cannotRead(QStringLiteral("the grouping"));
    const bool having = s.has(QStringLiteral("having"));
    if (having && !s.has(QStringLiteral("having sum ( x . elapsed_time_delta ) > 0")))
        cannotRead(QStringLiteral("the having clause"));
    const auto sqlId = s.stringAfter(QStringLiteral("from dba_hist_sqlstat where sql_id ="));
    if (!sqlId)
        cannotRead(QStringLiteral("the statement's sql_id"));
    const bool executedOnly = s.has(QStringLiteral("and executions_delta > 0 ) x"));
    const QString startMask = timeMask(s, "begin_interval_time");
    const QString endMask = timeMask(s, "end_interval_time");
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);

    const Repository &repository = ctx.model.state<Repository>();
    const SqlWorkload &workload = ctx.model.state<SqlWorkload>();
    // The window's snapshots, with the latest of their instances' times as text.
    struct Times {
        QString start, end;
    };
    std::map<qint64, Times> snaps;
    const std::vector<Repository::Snapshot> all = repository.snapshots();
    for (const Repository::Snapshot &snap : all) {
        if (window && !window->contains(snap))
            continue;
        Times &times = snaps[snap.snapId];
        times.start = std::max(times.start, toChar(toMinute(snap.begin), startMask));
        times.end = std::max(times.end, toChar(toMinute(snap.end), endMask));
    }

    // Every instance's rows of those snapshots, summed per plan and snapshot, ordered
    // by key, then snap_id.
    std::map<std::pair<QString, qint64>, std::array<qint64, kFigureCount>> sums;
    if (const SqlWorkload::Sql *sql = workload.find(*sqlId)) {
        const size_t index = size_t(sql - workload.statements().data());
        SqlWorkload::Row row;
        for (const Repository::Snapshot &snap : all) {
            if (!snaps.count(snap.snapId) || !workload.rowOf(snap, index, row))
                continue;
            if (executedOnly && row.executions <= 0)
                continue;
            auto &acc = sums[{sql->sqlId + QStringLiteral("::") + QString::number(row.planHashValue), snap.snapId}];
            for (int f = 0; f < kFigureCount; ++f)
                acc[size_t(f)] += row.*kFigures[f].field;
        }
    }
    const int elapsed = figureIndex(QStringLiteral("elapsed_time_delta"));

    using Row = std::vector<std::pair<QString, Fixed>>; // text, or the number behind it
    std::vector<Row> rows;
    for (const auto &[id, acc] : sums) {
        if (having && acc[size_t(elapsed)] <= 0)
            continue;
        Row row;
        for (const InnerColumn &c : inner) {
            switch (c.kind) {
            case InnerColumn::SnapId:
                row.push_back({QString::number(id.second), {}});
                break;
            case InnerColumn::StartTime:
                row.push_back({snaps.at(id.second).start, {}});
                break;
            case InnerColumn::EndTime:
                row.push_back({snaps.at(id.second).end, {}});
                break;
            case InnerColumn::Key:
                row.push_back({id.first, {}});
                break;
            case InnerColumn::Sum: {
                Fixed v{acc[size_t(c.figure)], c.divisorDigits};
                if (c.decimals >= 0)
                    v = rounded(v, c.decimals);
                row.push_back({fixedText(v), v});
                break;
            }
            }
        }
        rows.push_back(std::move(row));
    }

    if (!rollup) {
        QStringList names;
        for (const InnerColumn &c : inner)
            names << c.name;
        auto table = std::make_shared<Table>(names);
        for (const Row &row : rows) {
            QStringList cells;
            for (const auto &cell : row)
                cells << cell.first;
            table->addRow(cells);
        }
        return table;
    }

    // The rollup: one row per day and key, ordered by day (the keys of a day in the
    // order the inner rows bring them).
    QStringList names;
    int dayColumn = -1;
    for (size_t i = 0; i < outer.size(); ++i) {
        names << outer[i].name;
        if (outer[i].kind == OuterColumn::Day && dayColumn < 0)
            dayColumn = int(i);
    }
    int keyColumn = -1;
    for (size_t i = 0; i < inner.size(); ++i)
        if (inner[i].kind == InnerColumn::Key)
            keyColumn = int(i);
    if (dayColumn < 0 || keyColumn < 0)
        cannotRead(QStringLiteral("the daily rollup"));
    struct Group {
        QDate day;
        Row first;
        std::vector<Fixed> totals;
    };
    std::vector<Group> groups;
    QHash<QString, size_t> groupOf;
    const QString &dayMask = outer[size_t(dayColumn)].text;
    const int dayInner = outer[size_t(dayColumn)].inner;
    for (const Row &row : rows) {
        const QDate day = toDate(row[size_t(dayInner)].first, dayMask).date();
        const QString id = day.toString(Qt::ISODate) + QLatin1Char('|') + row[size_t(keyColumn)].first;
        auto it = groupOf.find(id);
        if (it == groupOf.end()) {
            it = groupOf.insert(id, groups.size());
            groups.push_back({day, row, std::vector<Fixed>(inner.size())});
        }
        Group &g = groups[it.value()];
        for (size_t i = 0; i < inner.size(); ++i)
            g.totals[i] = plus(g.totals[i], row[i].second);
    }
    std::stable_sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) { return a.day < b.day; });
    auto table = std::make_shared<Table>(names);
    for (const Group &g : groups) {
        QStringList cells;
        for (const OuterColumn &c : outer) {
            switch (c.kind) {
            case OuterColumn::Literal:
                cells << c.text;
                break;
            case OuterColumn::Day:
                cells << timestampText(QDateTime(g.day, QTime(0, 0), Qt::UTC));
                break;
            case OuterColumn::Value:
                cells << g.first[size_t(c.inner)].first;
                break;
            case OuterColumn::Total:
                if (inner[size_t(c.inner)].kind != InnerColumn::Sum)
                    throw DbError(QStringLiteral("ORA-01722: invalid number"));
                cells << fixedText(g.totals[size_t(c.inner)]);
                break;
            }
        }
        table->addRow(cells);
    }
    return table;
}

} // namespace

void registerSqlHistoryFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dba_hist_sqlstat of one statement per snapshot"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("from dba_hist_sqlstat where sql_id ="));
                   },
                   sqlHistory});
}

} // namespace tavimond::sim
