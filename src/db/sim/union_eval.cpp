#include "union_eval.h"

#include "select_eval.h"

#include "../error.h"

#include <algorithm>
#include <vector>

namespace tavimond::sim {
namespace {

struct OrderKey {
    int position = -1;    // output column
    QString heading;      // or a heading of the first branch
    bool descending = false;
};

struct UnionParts {
    std::vector<Statement> branches;
    std::vector<bool> distinct; // before branch i (i >= 1): "union" rather than "union all"
    std::vector<OrderKey> orderBy;
};

bool isWord(const Token &t, const char *word)
{
    return t.kind == Token::Word && t.text == QLatin1String(word);
}

// The tokens written back as text that reads as the same tokens.
QString textOf(const std::vector<Token> &tokens, size_t from, size_t to)
{
    QStringList parts;
    for (size_t i = from; i < to; ++i) {
        const Token &t = tokens[i];
        parts << (t.kind == Token::String || t.kind == Token::QuotedName || t.kind == Token::Symbol ? t.text
                                                                                                     : t.value);
    }
    return parts.join(QLatin1Char(' '));
}

std::optional<std::vector<OrderKey>> parseOrderBy(const std::vector<Token> &t, size_t from)
{
    std::vector<OrderKey> keys;
    size_t i = from;
    while (true) {
        if (i >= t.size())
            return std::nullopt;
        OrderKey key;
        if (t[i].kind == Token::Number)
            key.position = t[i].value.toInt() - 1;
        else if (t[i].kind == Token::Word)
            key.heading = t[i].value.toUpper();
        else if (t[i].kind == Token::QuotedName)
            key.heading = t[i].value;
        else
            return std::nullopt;
        ++i;
        if (i < t.size() && (isWord(t[i], "asc") || isWord(t[i], "desc"))) {
            key.descending = isWord(t[i], "desc");
            ++i;
        }
        keys.push_back(key);
        if (i == t.size())
            return keys;
        if (t[i].text != QLatin1String(","))
            return std::nullopt;
        ++i;
    }
}

std::optional<UnionParts> split(const Statement &statement)
{
    const std::vector<Token> &t = statement.tokens();
    UnionParts parts;
    size_t start = 0;
    size_t end = t.size();
    int depth = 0;
    bool sawUnion = false;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind == Token::Symbol && t[i].text == QLatin1String("("))
            ++depth;
        else if (t[i].kind == Token::Symbol && t[i].text == QLatin1String(")"))
            --depth;
        if (depth != 0)
            continue;
        if (isWord(t[i], "union")) {
            parts.branches.emplace_back(textOf(t, start, i));
            const bool all = i + 1 < t.size() && isWord(t[i + 1], "all");
            parts.distinct.push_back(!all);
            start = i + (all ? 2 : 1);
            sawUnion = true;
        } else if (sawUnion && isWord(t[i], "order") && i + 1 < t.size() && isWord(t[i + 1], "by")) {
            auto keys = parseOrderBy(t, i + 2);
            if (!keys)
                return std::nullopt;
            parts.orderBy = std::move(*keys);
            end = i;
            break;
        }
    }
    if (!sawUnion)
        return std::nullopt;
    parts.branches.emplace_back(textOf(t, start, end));
    return parts;
}

bool isNumber(const QString &s, double &out)
{
    bool ok = false;
    out = s.trimmed().toDouble(&ok);
    return ok && !s.trimmed().isEmpty();
}

// NULL (empty) sorts after every value, as in an ascending Oracle sort.
int compareCells(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() == b.isEmpty() ? 0 : (a.isEmpty() ? 1 : -1);
    double x = 0, y = 0;
    if (isNumber(a, x) && isNumber(b, y))
        return x < y ? -1 : (x > y ? 1 : 0);
    return QString::compare(a, b, Qt::CaseSensitive);
}

} // namespace

std::optional<QStringList> unionBranchViews(const Statement &statement)
{
    const auto parts = split(statement);
    if (!parts)
        return std::nullopt;
    QStringList views;
    for (const Statement &branch : parts->branches) {
        const QString view = simpleSelectView(branch);
        if (view.isEmpty())
            return std::nullopt;
        views << view;
    }
    return views;
}

std::optional<Result> evaluateUnion(const Statement &statement, const BranchRows &rows)
{
    const auto parts = split(statement);
    if (!parts)
        return std::nullopt;

    QStringList columns;
    std::vector<QStringList> out;
    for (size_t b = 0; b < parts->branches.size(); ++b) {
        const Statement &branch = parts->branches[b];
        const QString view = simpleSelectView(branch);
        if (view.isEmpty())
            return std::nullopt;
        std::optional<Table> table = rows(view, branch);
        if (!table)
            return std::nullopt;
        const std::optional<Result> r = evaluateSimpleSelect(branch, view, *table);
        if (!r)
            return std::nullopt;
        const Table &part = **r;
        if (b == 0)
            columns = part.columns;
        else if (part.columns.size() != columns.size())
            throw DbError(QStringLiteral("ORA-01789: query block has incorrect number of result columns"));
        for (qsizetype i = 0; i < part.rowCount(); ++i)
            out.push_back(part.cells.mid(i * columns.size(), columns.size()));
        if (b > 0 && parts->distinct[b - 1]) {
            std::sort(out.begin(), out.end(), [](const QStringList &x, const QStringList &y) {
                for (qsizetype c = 0; c < x.size(); ++c)
                    if (const int d = compareCells(x.at(c), y.at(c)))
                        return d < 0;
                return false;
            });
            out.erase(std::unique(out.begin(), out.end()), out.end());
        }
    }

    std::vector<std::pair<int, bool>> keys; // column, descending
    for (const OrderKey &k : parts->orderBy) {
        const int column = k.position >= 0 ? k.position : int(columns.indexOf(k.heading));
        if (column < 0 || column >= columns.size())
            throw DbError(k.position >= 0 ? QStringLiteral("ORA-01785: ORDER BY item must be the number of a SELECT-list expression")
                                          : QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(k.heading));
        keys.emplace_back(column, k.descending);
    }
    if (!keys.empty())
        std::stable_sort(out.begin(), out.end(), [&](const QStringList &x, const QStringList &y) {
            for (const auto &[column, descending] : keys)
                if (const int d = compareCells(x.at(column), y.at(column)))
                    return descending ? d > 0 : d < 0;
            return false;
        });

    auto result = std::make_shared<Table>(columns);
    result->cells.reserve(qsizetype(out.size()) * columns.size());
    for (const QStringList &row : out)
        result->cells.append(row);
    return Result(result);
}

} // namespace tavimond::sim
