#include "join_query.h"

#include "../select_eval.h"

#include "../../error.h"

#include <QHash>
#include <algorithm>

namespace tavimond::sim {
namespace {

struct NotJoin {};

struct Ref {
    QString alias;  // lower case
    QString column; // upper case
    bool outer = false;
    bool upper = false;
    int view = -1;
    int index = -1;
};

struct Item {
    enum Kind { Column, Trim, Divide, Literal } kind = Column;
    Ref ref;
    QList<double> divisors;
    QString literal;
    QString heading;
};

struct Condition {
    enum Kind { Literal, Join, IsNull } kind = Literal;
    Ref left, right;
    QString literal;
};

struct From {
    QString view;
    QString alias;
    Table rows;
};

class Reader : public TokenCursor {
public:
    explicit Reader(const std::vector<Token> &t) : TokenCursor(t) {}
    void expect(const char *text)
    {
        if (!accept(text))
            throw NotJoin{};
    }
    const Token &next(Token::Kind kind)
    {
        const Token *k = take(kind);
        if (!k)
            throw NotJoin{};
        return *k;
    }

    // alias.column, optionally followed by (+).
    Ref ref()
    {
        Ref r;
        r.alias = next(Token::Word).text;
        expect(".");
        r.column = next(Token::Word).value.toUpper();
        if (is("(") && is("+", 1) && is(")", 2)) {
            i_ += 3;
            r.outer = true;
        }
        return r;
    }

    // A ref, or upper( ref ); (+) may stand inside or after the parentheses.
    Ref operand()
    {
        if (accept("upper")) {
            expect("(");
            Ref r = ref();
            expect(")");
            if (is("(") && is("+", 1) && is(")", 2)) {
                i_ += 3;
                r.outer = true;
            }
            r.upper = true;
            return r;
        }
        return ref();
    }
};

bool stop(const Reader &r)
{
    return r.is(",") || r.is("from") || r.atEnd();
}

QString cellOf(const std::vector<qsizetype> &row, const std::vector<From> &from, const Ref &ref)
{
    const qsizetype r = row[size_t(ref.view)];
    if (r < 0)
        return QString();
    const QString &v = from[size_t(ref.view)].rows.cell(r, ref.index);
    return ref.upper ? v.toUpper() : v;
}

QString valueOf(const From &f, qsizetype r, const Ref &ref)
{
    const QString &v = f.rows.cell(r, ref.index);
    return ref.upper ? v.toUpper() : v;
}

int compareCells(const QString &a, const QString &b)
{
    if (a.isEmpty() != b.isEmpty())
        return a.isEmpty() ? 1 : -1; // NULLs last
    bool okA = false, okB = false;
    const double x = a.toDouble(&okA), y = b.toDouble(&okB);
    if (okA && okB)
        return x < y ? -1 : (x > y ? 1 : 0);
    return QString::compare(a, b, Qt::CaseSensitive);
}

struct Parsed {
    std::vector<Item> items;
    std::vector<From> from;
    std::vector<Condition> conditions;
    std::vector<int> order;
};

std::optional<Parsed> parse(const Statement &statement)
{
    Reader r(statement.tokens());
    Parsed p;
    auto &items = p.items;
    auto &from = p.from;
    auto &conditions = p.conditions;
    auto &order = p.order;
    try {
        r.expect("select");
        do {
            Item item;
            if (const Token *k = r.peek(); k && k->kind == Token::String) {
                item.kind = Item::Literal;
                item.literal = k->value;
                item.heading = k->text;
                r.next(Token::String);
            } else if (r.accept("trim")) {
                r.expect("(");
                item.kind = Item::Trim;
                item.ref = r.ref();
                r.expect(")");
                item.heading = QStringLiteral("TRIM(%1.%2)").arg(item.ref.alias.toUpper(), item.ref.column);
            } else {
                item.ref = r.ref();
                item.heading = item.ref.column;
                QString text = item.ref.alias.toUpper() + QLatin1Char('.') + item.ref.column;
                while (r.accept("/")) {
                    const Token &d = r.next(Token::Number);
                    item.kind = Item::Divide;
                    item.divisors << d.value.toDouble();
                    text += QLatin1Char('/') + d.value;
                }
                if (item.kind == Item::Divide)
                    item.heading = text;
            }
            if (r.accept("as")) {
                item.heading = r.next(Token::Word).value.toUpper();
            } else if (!stop(r)) {
                item.heading = r.next(Token::Word).value.toUpper();
            }
            items.push_back(std::move(item));
        } while (r.accept(","));
        r.expect("from");
        do {
            From f;
            f.view = r.next(Token::Word).text;
            if (r.accept("."))
                f.view += QLatin1Char('.') + r.next(Token::Word).text;
            f.alias = r.next(Token::Word).text;
            from.push_back(std::move(f));
        } while (r.accept(","));
        if (from.size() < 2)
            return std::nullopt;
        if (r.accept("where")) {
            do {
                Condition c;
                c.left = r.operand();
                if (r.accept("is")) {
                    r.expect("null");
                    c.kind = Condition::IsNull;
                } else {
                    r.expect("=");
                    if (const Token *k = r.peek(); k && k->kind == Token::String) {
                        c.kind = Condition::Literal;
                        c.literal = k->value;
                        r.next(Token::String);
                    } else {
                        c.kind = Condition::Join;
                        c.right = r.operand();
                    }
                }
                conditions.push_back(std::move(c));
            } while (r.accept("and"));
        }
        if (r.accept("order")) {
            r.expect("by");
            do
                order.push_back(r.next(Token::Number).value.toInt() - 1);
            while (r.accept(","));
        }
        if (!r.atEnd())
            return std::nullopt;
    } catch (const NotJoin &) {
        return std::nullopt;
    }
    return p;
}

} // namespace

QString firstJoinedView(const Statement &statement)
{
    const std::optional<Parsed> p = parse(statement);
    return p ? p->from.front().view : QString();
}

std::optional<Result> evaluateJoin(const Statement &statement, const ViewSource &views)
{
    std::optional<Parsed> parsed = parse(statement);
    if (!parsed)
        return std::nullopt;
    auto &items = parsed->items;
    auto &from = parsed->from;
    auto &conditions = parsed->conditions;
    auto &order = parsed->order;

    // Views and columns.
    QHash<QString, int> aliasAt;
    for (size_t v = 0; v < from.size(); ++v) {
        std::optional<Table> rows = views(from[v].view);
        if (!rows)
            throw DbError(QStringLiteral("ORA-00942: table or view does not exist"));
        from[v].rows = std::move(*rows);
        aliasAt.insert(from[v].alias, int(v));
    }
    auto bind = [&](Ref &ref) {
        const auto a = aliasAt.constFind(ref.alias);
        if (a == aliasAt.constEnd())
            throw DbError(
                QStringLiteral("ORA-00904: \"%1\".\"%2\": invalid identifier").arg(ref.alias.toUpper(), ref.column));
        ref.view = a.value();
        ref.index = int(from[size_t(ref.view)].rows.columns.indexOf(ref.column));
        if (ref.index < 0)
            throw DbError(
                QStringLiteral("ORA-00904: \"%1\".\"%2\": invalid identifier").arg(ref.alias.toUpper(), ref.column));
    };
    for (Item &i : items)
        if (i.kind != Item::Literal)
            bind(i.ref);
    for (Condition &c : conditions) {
        bind(c.left);
        if (c.kind == Condition::Join)
            bind(c.right);
    }

    // Each view's own rows: its literal conditions and the (+) null filters.
    std::vector<std::vector<qsizetype>> candidates(from.size());
    std::vector<bool> outer(from.size(), false);
    for (const Condition &c : conditions)
        if (c.kind == Condition::Join)
            for (const Ref *side : {&c.left, &c.right})
                if (side->outer)
                    outer[size_t(side->view)] = true;
    for (size_t v = 0; v < from.size(); ++v) {
        const From &f = from[v];
        for (qsizetype row = 0; row < f.rows.rowCount(); ++row) {
            bool keep = true;
            for (const Condition &c : conditions) {
                if (c.left.view != int(v))
                    continue;
                if (c.kind == Condition::Literal)
                    keep = keep && !c.literal.isEmpty() && valueOf(f, row, c.left) == c.literal;
                else if (c.kind == Condition::IsNull && c.left.outer)
                    keep = keep && f.rows.cell(row, c.left.index).isEmpty();
            }
            if (keep)
                candidates[v].push_back(row);
        }
    }

    // Views join in their order; a row of the joined views is one row index per view.
    std::vector<std::vector<qsizetype>> rows;
    for (const qsizetype row : candidates[0]) {
        std::vector<qsizetype> joined(from.size(), -1);
        joined[0] = row;
        rows.push_back(std::move(joined));
    }
    for (size_t v = 1; v < from.size(); ++v) {
        std::vector<const Condition *> links;
        for (const Condition &c : conditions)
            if (c.kind == Condition::Join &&
                ((c.left.view == int(v) && c.right.view < int(v)) || (c.right.view == int(v) && c.left.view < int(v))))
                links.push_back(&c);
        std::vector<std::vector<qsizetype>> next;
        for (const auto &joined : rows) {
            bool matched = false;
            for (const qsizetype candidate : candidates[v]) {
                bool all = true;
                for (const Condition *c : links) {
                    const Ref &mine = c->left.view == int(v) ? c->left : c->right;
                    const Ref &theirs = c->left.view == int(v) ? c->right : c->left;
                    const QString a = valueOf(from[v], candidate, mine);
                    const QString b = cellOf(joined, from, theirs);
                    all = all && !a.isEmpty() && a == b;
                }
                if (all) {
                    auto extended = joined;
                    extended[v] = candidate;
                    next.push_back(std::move(extended));
                    matched = true;
                }
            }
            if (!matched && outer[v])
                next.push_back(joined);
        }
        rows = std::move(next);
    }
    // Null tests without (+) apply to the joined rows.
    for (const Condition &c : conditions) {
        if (c.kind != Condition::IsNull || c.left.outer)
            continue;
        std::erase_if(rows,
                      [&](const std::vector<qsizetype> &joined) { return !cellOf(joined, from, c.left).isEmpty(); });
    }

    std::vector<QStringList> out;
    out.reserve(rows.size());
    for (const auto &joined : rows) {
        QStringList cells;
        for (const Item &i : items) {
            switch (i.kind) {
            case Item::Literal:
                cells << i.literal;
                break;
            case Item::Column:
                cells << cellOf(joined, from, i.ref);
                break;
            case Item::Trim:
                cells << cellOf(joined, from, i.ref).trimmed();
                break;
            case Item::Divide: {
                const QString v = cellOf(joined, from, i.ref);
                if (v.isEmpty()) {
                    cells << QString();
                    break;
                }
                double x = v.toDouble();
                for (const double d : i.divisors) {
                    if (d == 0)
                        throw DbError(QStringLiteral("ORA-01476: divisor is equal to zero"));
                    x /= d;
                }
                cells << oracleNumber(x);
                break;
            }
            }
        }
        out.push_back(std::move(cells));
    }
    if (!order.empty()) {
        std::stable_sort(out.begin(), out.end(), [&](const QStringList &a, const QStringList &b) {
            for (const int k : order) {
                const int c = compareCells(a.value(k), b.value(k));
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
    }
    QStringList headings;
    for (const Item &i : items)
        headings << i.heading;
    auto result = std::make_shared<Table>(headings);
    for (const QStringList &cells : out)
        result->addRow(cells);
    return Result(result);
}

} // namespace tavimond::sim
