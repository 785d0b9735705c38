#include "grouped_select.h"

#include "repository.h"

#include "../oracle_dates.h"
#include "../select_eval.h"
#include "../../error.h"
#include "../../timestamp_text.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace tavimond::sim {

using Row = std::vector<SqlValue>;
using Group = std::vector<const Row *>;

struct GroupedSelect::Node {
    enum Kind { Column, Literal, Neg, Arith, Concat, Case, Func, Aggregate, Compare, In, IsNull, And, Or, Not };
    Kind kind = Literal;
    int column = -1;
    SqlValue literal;
    QString name; // function, aggregate or operator
    bool negated = false;
    bool distinct = false;
    bool star = false; // count(*)
    bool hasElse = false;
    std::vector<std::unique_ptr<Node>> args; // CASE: condition, result, ..., [else]
    QString text;                            // the source, tokens joined by blanks
};

namespace {

using Node = GroupedSelect::Node;
using NodePtr = std::unique_ptr<Node>;

const QString &word(const Token &t)
{
    return t.text;
}

double toNumber(const SqlValue &v)
{
    switch (v.kind) {
    case SqlValue::Kind::Number:
        return v.number;
    case SqlValue::Kind::Text: {
        bool ok = false;
        const double d = v.text.trimmed().toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("ORA-01722: invalid number"));
        return d;
    }
    case SqlValue::Kind::Time:
        throw DbError(QStringLiteral("ORA-00932: inconsistent datatypes: expected NUMBER got DATE"));
    case SqlValue::Kind::Null:
        break;
    }
    return 0;
}

// Rounds as the database's decimal numbers do: binary noise below the fifteenth
// digit does not turn 1843.125 into 1843.12.
double roundTo(double x, int places, bool truncate)
{
    const double scale = std::pow(10.0, places);
    const double scaled = QString::number(x * scale, 'g', 15).toDouble();
    return (truncate ? std::trunc(scaled) : std::round(scaled)) / scale;
}

// -1, 0, 1; nullopt when either side is NULL.
std::optional<int> compare(const SqlValue &a, const SqlValue &b)
{
    if (a.isNull() || b.isNull())
        return std::nullopt;
    if (a.kind == SqlValue::Kind::Text && b.kind == SqlValue::Kind::Text) {
        const int c = QString::compare(a.text, b.text, Qt::CaseSensitive);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if ((a.kind == SqlValue::Kind::Time) != (b.kind == SqlValue::Kind::Time))
        throw DbError(QStringLiteral("ORA-00932: inconsistent datatypes: expected DATE got NUMBER"));
    const double x = a.kind == SqlValue::Kind::Time ? a.number : toNumber(a);
    const double y = b.kind == SqlValue::Kind::Time ? b.number : toNumber(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool isKeyword(const QString &w)
{
    static const QStringList kWords{
        QStringLiteral("from"), QStringLiteral("where"),  QStringLiteral("group"), QStringLiteral("order"),
        QStringLiteral("by"),   QStringLiteral("having"), QStringLiteral("and"),   QStringLiteral("or"),
        QStringLiteral("not"),  QStringLiteral("in"),     QStringLiteral("is"),    QStringLiteral("as"),
        QStringLiteral("when"), QStringLiteral("then"),   QStringLiteral("else"),  QStringLiteral("end"),
        QStringLiteral("asc"),  QStringLiteral("desc"),   QStringLiteral("union"), QStringLiteral("select")};
    return kWords.contains(w);
}

class Reader : public TokenCursor {
public:
    Reader(const std::vector<Token> &t, size_t begin, size_t end, const QStringList &columns,
           const ScalarSubquery &subquery)
        : TokenCursor(t, begin, end), columns_(columns), subquery_(subquery)
    {}

    void expect(const char *text)
    {
        if (!accept(text))
            cannotRead(QStringLiteral("the select list near \"%1\"").arg(QLatin1String(text)));
    }
    void skip() { ++i_; }

    QString textOf(size_t from, size_t to) const
    {
        QStringList parts;
        for (size_t k = from; k < to; ++k)
            parts << (t_[k].kind == Token::Word || t_[k].kind == Token::Symbol ? t_[k].text
                      : t_[k].kind == Token::String                            ? t_[k].text
                                                                               : t_[k].value);
        return parts.join(QLatin1Char(' '));
    }

    NodePtr expression()
    {
        const size_t from = i_;
        NodePtr left = term();
        while (is("+") || is("-") || is("||")) {
            auto n = std::make_unique<Node>();
            n->kind = is("||") ? Node::Concat : Node::Arith;
            n->name = word(*peek());
            ++i_;
            n->args.push_back(std::move(left));
            n->args.push_back(term());
            left = std::move(n);
            left->text = textOf(from, i_);
        }
        return left;
    }

    NodePtr condition()
    {
        const size_t from = i_;
        NodePtr left = conjunction();
        while (accept("or"))
            left = joined(Node::Or, std::move(left), conjunction(), from);
        return left;
    }

private:
    NodePtr joined(Node::Kind kind, NodePtr a, NodePtr b, size_t from)
    {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->args.push_back(std::move(a));
        n->args.push_back(std::move(b));
        n->text = textOf(from, i_);
        return n;
    }

    NodePtr term()
    {
        const size_t from = i_;
        NodePtr left = unary();
        while (is("*") || is("/")) {
            auto n = std::make_unique<Node>();
            n->kind = Node::Arith;
            n->name = word(*peek());
            ++i_;
            n->args.push_back(std::move(left));
            n->args.push_back(unary());
            left = std::move(n);
            left->text = textOf(from, i_);
        }
        return left;
    }

    NodePtr unary()
    {
        const size_t from = i_;
        if (accept("-")) {
            auto n = std::make_unique<Node>();
            n->kind = Node::Neg;
            n->args.push_back(unary());
            n->text = textOf(from, i_);
            return n;
        }
        accept("+");
        NodePtr p = primary();
        if (p->text.isEmpty())
            p->text = textOf(from, i_);
        return p;
    }

    NodePtr literal(SqlValue v)
    {
        auto n = std::make_unique<Node>();
        n->kind = Node::Literal;
        n->literal = std::move(v);
        return n;
    }

    size_t closing(size_t open) const { return closingParenthesis(t_, open, end_); }

    NodePtr primary()
    {
        const Token *k = peek();
        if (!k)
            throw DbError(QStringLiteral("ORA-00936: missing expression"));
        if (k->kind == Token::Number) {
            ++i_;
            return literal(SqlValue::of(k->value.toDouble()));
        }
        if (k->kind == Token::String) {
            ++i_;
            return literal(SqlValue::of(k->value));
        }
        if (k->kind == Token::QuotedName) {
            ++i_;
            return column(k->value);
        }
        if (accept("(")) {
            if (is("select")) {
                const size_t close = closing(i_ - 1);
                const QString text = textOf(i_, close);
                i_ = close + 1;
                return literal(subquery_(text));
            }
            NodePtr e = expression();
            expect(")");
            return e;
        }
        if (k->kind != Token::Word || isKeyword(word(*k)))
            throw DbError(QStringLiteral("ORA-00936: missing expression"));
        ++i_;
        const QString name = word(*k);
        if (name == QLatin1String("null"))
            return literal({});
        if (name == QLatin1String("case"))
            return caseOf();
        if (accept("("))
            return call(name);
        if (accept(".")) {
            const Token *c = peek();
            if (!c || c->kind != Token::Word)
                throw DbError(QStringLiteral("ORA-00936: missing expression"));
            ++i_;
            return column(k->value.toUpper() + QLatin1Char('.') + c->value.toUpper());
        }
        return column(k->value.toUpper());
    }

    NodePtr column(const QString &name)
    {
        int index = int(columns_.indexOf(name));
        if (index < 0 && !name.contains(QLatin1Char('.'))) {
            // A joined table's column by its bare name.
            const QString suffix = QLatin1Char('.') + name;
            for (int c = 0; c < columns_.size(); ++c)
                if (columns_.at(c).endsWith(suffix))
                    index = c;
        }
        if (index < 0) {
            QString shown = name;
            shown.replace(QLatin1Char('.'), QLatin1String("\".\""));
            throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(shown));
        }
        auto n = std::make_unique<Node>();
        n->kind = Node::Column;
        n->column = index;
        return n;
    }

    NodePtr caseOf()
    {
        auto n = std::make_unique<Node>();
        n->kind = Node::Case;
        if (!is("when"))
            cannotRead(QStringLiteral("a CASE expression"));
        while (accept("when")) {
            n->args.push_back(condition());
            expect("then");
            n->args.push_back(expression());
        }
        if (accept("else")) {
            n->hasElse = true;
            n->args.push_back(expression());
        }
        expect("end");
        return n;
    }

    NodePtr call(const QString &name)
    {
        static const QStringList kAggregates{QStringLiteral("sum"), QStringLiteral("max"), QStringLiteral("min"),
                                             QStringLiteral("avg"), QStringLiteral("count")};
        static const QStringList kFunctions{QStringLiteral("round"),   QStringLiteral("trunc"),
                                            QStringLiteral("nvl"),     QStringLiteral("abs"),
                                            QStringLiteral("to_char"), QStringLiteral("to_number")};
        auto n = std::make_unique<Node>();
        n->name = name;
        if (kAggregates.contains(name)) {
            n->kind = Node::Aggregate;
            n->distinct = accept("distinct");
            if (name == QLatin1String("count") && accept("*")) {
                n->star = true;
                expect(")");
                return n;
            }
        } else if (kFunctions.contains(name)) {
            n->kind = Node::Func;
        } else {
            throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(name.toUpper()));
        }
        if (!is(")")) {
            n->args.push_back(expression());
            while (accept(","))
                n->args.push_back(expression());
        }
        expect(")");
        const size_t want =
            n->kind == Node::Aggregate || name == QLatin1String("abs") || name == QLatin1String("to_number") ? 1
            : name == QLatin1String("nvl")                                                                   ? 2
                                                                                                             : 0;
        if ((want && n->args.size() != want) || n->args.empty() || n->args.size() > 2)
            throw DbError(QStringLiteral("ORA-00909: invalid number of arguments"));
        return n;
    }

    NodePtr conjunction()
    {
        const size_t from = i_;
        NodePtr left = negation();
        while (accept("and"))
            left = joined(Node::And, std::move(left), negation(), from);
        return left;
    }

    NodePtr negation()
    {
        const size_t from = i_;
        if (accept("not")) {
            auto n = std::make_unique<Node>();
            n->kind = Node::Not;
            n->args.push_back(negation());
            n->text = textOf(from, i_);
            return n;
        }
        if (is("(") && parenthesisedCondition()) {
            ++i_;
            NodePtr c = condition();
            expect(")");
            return c;
        }
        return predicate();
    }

    // Whether the parenthesis at the reader holds a condition rather than a term.
    bool parenthesisedCondition() const
    {
        const size_t close = closing(i_);
        int depth = 0;
        for (size_t k = i_ + 1; k < close; ++k) {
            const QString &w = word(t_[k]);
            if (t_[k].kind == Token::String)
                continue;
            depth += w == QLatin1String("(") ? 1 : w == QLatin1String(")") ? -1 : 0;
            if (depth == 0 && (w == QLatin1String("=") || w == QLatin1String("<>") || w == QLatin1String("!=") ||
                               w == QLatin1String("<") || w == QLatin1String(">") || w == QLatin1String("<=") ||
                               w == QLatin1String(">=") || w == QLatin1String("in") || w == QLatin1String("is") ||
                               w == QLatin1String("and") || w == QLatin1String("or") || w == QLatin1String("not")))
                return true;
        }
        return false;
    }

    NodePtr predicate()
    {
        const size_t from = i_;
        NodePtr left = expression();
        auto n = std::make_unique<Node>();
        n->negated = accept("not");
        if (accept("in")) {
            n->kind = Node::In;
            n->args.push_back(std::move(left));
            expect("(");
            n->args.push_back(expression());
            while (accept(","))
                n->args.push_back(expression());
            expect(")");
        } else if (!n->negated && accept("is")) {
            n->kind = Node::IsNull;
            n->negated = accept("not");
            expect("null");
            n->args.push_back(std::move(left));
        } else {
            const Token *op = peek();
            static const QStringList kOperators{QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("!="),
                                                QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<"),
                                                QStringLiteral(">")};
            if (n->negated || !op || op->kind != Token::Symbol || !kOperators.contains(word(*op)))
                cannotRead(QStringLiteral("a condition"));
            ++i_;
            n->kind = Node::Compare;
            n->name = word(*op);
            n->args.push_back(std::move(left));
            n->args.push_back(expression());
        }
        n->text = textOf(from, i_);
        return n;
    }

    const QStringList &columns_;
    const ScalarSubquery &subquery_;
};

bool hasAggregate(const Node &n)
{
    return n.kind == Node::Aggregate ||
           std::any_of(n.args.begin(), n.args.end(), [](const NodePtr &a) { return hasAggregate(*a); });
}

// Outside aggregates, a grouped select may name only what it groups by.
void checkGrouped(const Node &n, const QStringList &grouped)
{
    if (n.kind == Node::Aggregate || n.kind == Node::Literal || grouped.contains(n.text))
        return;
    if (n.kind == Node::Column)
        throw DbError(QStringLiteral("ORA-00979: not a GROUP BY expression"));
    for (const NodePtr &a : n.args)
        checkGrouped(*a, grouped);
}

class Evaluator {
public:
    SqlValue eval(const Node &n, const Row &row, const Group *group) const
    {
        switch (n.kind) {
        case Node::Column:
            return row[size_t(n.column)];
        case Node::Literal:
            return n.literal;
        case Node::Neg: {
            const SqlValue v = eval(*n.args[0], row, group);
            return v.isNull() ? SqlValue{} : SqlValue::of(-toNumber(v));
        }
        case Node::Arith: {
            const SqlValue a = eval(*n.args[0], row, group);
            const SqlValue b = eval(*n.args[1], row, group);
            if (a.isNull() || b.isNull())
                return {};
            const double x = toNumber(a), y = toNumber(b);
            switch (n.name.at(0).unicode()) {
            case '+':
                return SqlValue::of(x + y);
            case '-':
                return SqlValue::of(x - y);
            case '*':
                return SqlValue::of(x * y);
            default:
                if (y == 0)
                    throw DbError(QStringLiteral("ORA-01476: divisor is equal to zero"));
                return SqlValue::of(x / y);
            }
        }
        case Node::Concat:
            return SqlValue::of(fieldText(eval(*n.args[0], row, group)) + fieldText(eval(*n.args[1], row, group)));
        case Node::Case: {
            const size_t pairs = (n.args.size() - (n.hasElse ? 1 : 0)) / 2;
            for (size_t k = 0; k < pairs; ++k)
                if (truth(*n.args[2 * k], row, group) == 1)
                    return eval(*n.args[2 * k + 1], row, group);
            return n.hasElse ? eval(*n.args.back(), row, group) : SqlValue{};
        }
        case Node::Func:
            return function(n, row, group);
        case Node::Aggregate:
            return aggregate(n, row, group);
        default:
            return SqlValue::of(truth(n, row, group) == 1 ? 1.0 : 0.0);
        }
    }

    // 1 true, 0 false, -1 unknown.
    int truth(const Node &n, const Row &row, const Group *group) const
    {
        switch (n.kind) {
        case Node::And: {
            const int a = truth(*n.args[0], row, group);
            if (a == 0)
                return 0;
            const int b = truth(*n.args[1], row, group);
            return b == 0 ? 0 : (a == 1 && b == 1 ? 1 : -1);
        }
        case Node::Or: {
            const int a = truth(*n.args[0], row, group);
            if (a == 1)
                return 1;
            const int b = truth(*n.args[1], row, group);
            return b == 1 ? 1 : (a == 0 && b == 0 ? 0 : -1);
        }
        case Node::Not: {
            const int a = truth(*n.args[0], row, group);
            return a < 0 ? -1 : 1 - a;
        }
        case Node::IsNull:
            return eval(*n.args[0], row, group).isNull() != n.negated ? 1 : 0;
        case Node::Compare: {
            const Node &l = *n.args[0], &r = *n.args[1];
            std::optional<int> c;
            // A column against a text, the commonest test, without copying either.
            if (l.kind == Node::Column && r.kind == Node::Literal && r.literal.kind == SqlValue::Kind::Text &&
                row[size_t(l.column)].kind == SqlValue::Kind::Text) {
                const int k = QString::compare(row[size_t(l.column)].text, r.literal.text, Qt::CaseSensitive);
                c = k < 0 ? -1 : (k > 0 ? 1 : 0);
            } else {
                c = compare(eval(l, row, group), eval(r, row, group));
            }
            if (!c)
                return -1;
            const QString &op = n.name;
            const bool yes = op == QLatin1String("=")                                   ? *c == 0
                             : (op == QLatin1String("<>") || op == QLatin1String("!=")) ? *c != 0
                             : op == QLatin1String("<")                                 ? *c < 0
                             : op == QLatin1String(">")                                 ? *c > 0
                             : op == QLatin1String("<=")                                ? *c <= 0
                                                                                        : *c >= 0;
            return yes ? 1 : 0;
        }
        case Node::In: {
            const SqlValue a = eval(*n.args[0], row, group);
            if (a.isNull())
                return -1;
            bool unknown = false;
            for (size_t k = 1; k < n.args.size(); ++k) {
                const std::optional<int> c = compare(a, eval(*n.args[k], row, group));
                if (c && *c == 0)
                    return n.negated ? 0 : 1;
                unknown = unknown || !c;
            }
            return unknown ? -1 : (n.negated ? 1 : 0);
        }
        default: {
            const SqlValue v = eval(n, row, group);
            return v.isNull() ? -1 : (toNumber(v) != 0 ? 1 : 0);
        }
        }
    }

private:
    SqlValue function(const Node &n, const Row &row, const Group *group) const
    {
        const SqlValue a = eval(*n.args[0], row, group);
        const QString &f = n.name;
        if (f == QLatin1String("nvl"))
            return a.isNull() ? eval(*n.args[1], row, group) : a;
        const SqlValue b = n.args.size() > 1 ? eval(*n.args[1], row, group) : SqlValue{};
        if (f == QLatin1String("to_char")) {
            if (a.kind == SqlValue::Kind::Time && n.args.size() > 1) {
                // The rows of one snapshot share their times: each is written once.
                const QString mask = fieldText(b);
                const QString key = QString::number(qint64(a.number)) + QLatin1Char('|') + mask;
                auto it = written_.constFind(key);
                if (it == written_.constEnd())
                    it = written_.insert(key, toChar(QDateTime::fromMSecsSinceEpoch(qint64(a.number), Qt::UTC), mask));
                return SqlValue::of(*it);
            }
            return SqlValue::of(fieldText(a));
        }
        if (a.isNull() || (n.args.size() > 1 && b.isNull()))
            return {};
        if (f == QLatin1String("to_number"))
            return SqlValue::of(toNumber(a));
        if (f == QLatin1String("abs"))
            return SqlValue::of(std::fabs(toNumber(a)));
        const int places = n.args.size() > 1 ? int(toNumber(b)) : 0;
        return SqlValue::of(roundTo(toNumber(a), places, f == QLatin1String("trunc")));
    }

    SqlValue aggregate(const Node &n, const Row &row, const Group *group) const
    {
        const Group one{&row};
        const Group &rows = group ? *group : one;
        if (n.star)
            return SqlValue::of(double(rows.size()));
        const bool isMax = n.name == QLatin1String("max"), isMin = n.name == QLatin1String("min");
        SqlValue best;
        double sum = 0;
        qint64 count = 0;
        QSet<QString> seen;
        for (const Row *r : rows) {
            SqlValue v = eval(*n.args[0], *r, nullptr);
            if (v.isNull())
                continue;
            if (n.distinct) {
                const QString key = fieldText(v);
                if (seen.contains(key))
                    continue;
                seen.insert(key);
            }
            ++count;
            if (isMax || isMin) {
                const std::optional<int> c = compare(v, best.isNull() ? v : best);
                if (best.isNull() || (isMax && *c > 0) || (isMin && *c < 0))
                    best = std::move(v);
            } else if (n.name != QLatin1String("count")) {
                sum += toNumber(v);
            }
        }
        if (n.name == QLatin1String("count"))
            return SqlValue::of(double(count));
        if (count == 0)
            return {};
        if (isMax || isMin)
            return best;
        return SqlValue::of(n.name == QLatin1String("avg") ? sum / double(count) : sum);
    }

    mutable QHash<QString, QString> written_; // to_char of a time, by time and mask
};

// Reads "expr [asc|desc], ..." or "expr [[as] alias], ..." from a range.
template <typename Each>
void readList(Reader &reader, Each each)
{
    if (reader.atEnd())
        return;
    do {
        const size_t from = reader.pos();
        NodePtr e = reader.expression();
        each(std::move(e), from);
    } while (reader.accept(","));
    if (!reader.atEnd())
        throw DbError(QStringLiteral("ORA-00923: FROM keyword not found where expected"));
}

} // namespace

size_t closingParenthesis(const std::vector<Token> &tokens, size_t open, size_t end)
{
    int depth = 0;
    for (size_t k = open; k < end; ++k) {
        if (tokens[k].kind == Token::String)
            continue;
        depth += tokens[k].text == QLatin1String("(") ? 1 : tokens[k].text == QLatin1String(")") ? -1 : 0;
        if (depth == 0)
            return k;
    }
    throw DbError(QStringLiteral("ORA-00907: missing right parenthesis"));
}

QString fieldText(const SqlValue &v)
{
    switch (v.kind) {
    case SqlValue::Kind::Null:
        return {};
    case SqlValue::Kind::Number:
        return oracleNumber(v.number);
    case SqlValue::Kind::Text:
        return v.text;
    case SqlValue::Kind::Time:
        return timestampText(QDateTime::fromMSecsSinceEpoch(qint64(v.number), Qt::UTC));
    }
    return {};
}

GroupedSelect::GroupedSelect(const std::vector<Token> &tokens, const Ranges &ranges, const QStringList &columns,
                             ScalarSubquery subquery)
{
    Reader items(tokens, ranges.selectBegin, ranges.selectEnd, columns, subquery);
    do {
        const size_t from = items.pos();
        items_.push_back(items.expression());
        QString heading = items.textOf(from, items.pos()).remove(QLatin1Char(' ')).toUpper();
        items.accept("as");
        if (const Token *alias = items.peek();
            alias && (alias->kind == Token::QuotedName || (alias->kind == Token::Word && !isKeyword(alias->text)))) {
            heading = alias->kind == Token::QuotedName ? alias->value : alias->value.toUpper();
            items.skip();
        }
        headings_ << heading;
    } while (items.accept(","));
    if (!items.atEnd())
        throw DbError(QStringLiteral("ORA-00923: FROM keyword not found where expected"));

    Reader group(tokens, ranges.groupBegin, ranges.groupEnd, columns, subquery);
    QStringList grouped;
    readList(group, [&](NodePtr e, size_t) {
        grouped << e->text;
        groupBy_.push_back(std::move(e));
    });

    const bool aggregated = !groupBy_.empty() || std::any_of(items_.begin(), items_.end(),
                                                             [](const NodePtr &n) { return hasAggregate(*n); });
    if (aggregated)
        for (const NodePtr &item : items_)
            checkGrouped(*item, grouped);

    Reader order(tokens, ranges.orderBegin, ranges.orderEnd, columns, subquery);
    if (!order.atEnd()) {
        do {
            orderBy_.push_back(order.expression());
            descending_.push_back(order.accept("desc"));
            if (!descending_.back())
                order.accept("asc");
        } while (order.accept(","));
        if (!order.atEnd())
            throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
        if (aggregated)
            for (const NodePtr &o : orderBy_)
                checkGrouped(*o, grouped);
    }
}

GroupedSelect::~GroupedSelect() = default;

Result GroupedSelect::run(const ViewRows &view) const
{
    const Evaluator ev;
    const bool aggregated = !groupBy_.empty() || std::any_of(items_.begin(), items_.end(),
                                                             [](const NodePtr &n) { return hasAggregate(*n); });
    // Groups in the order their first rows came.
    std::vector<Group> groups;
    if (aggregated) {
        QHash<QString, size_t> index;
        for (const Row &row : view.rows) {
            QString key;
            for (const NodePtr &g : groupBy_)
                key += fieldText(ev.eval(*g, row, nullptr)) + QChar(0x1f);
            auto it = index.find(key);
            if (it == index.end()) {
                it = index.insert(key, groups.size());
                groups.emplace_back();
            }
            groups[it.value()].push_back(&row);
        }
        if (groups.empty() && groupBy_.empty())
            groups.emplace_back(); // an aggregate over no rows still gives a row
    } else {
        for (const Row &row : view.rows)
            groups.push_back({&row});
    }

    struct Out {
        std::vector<SqlValue> cells;
        std::vector<SqlValue> keys;
    };
    std::vector<Out> out;
    out.reserve(groups.size());
    const Row noRow(size_t(view.columns.size()));
    for (const Group &g : groups) {
        const Row &first = g.empty() ? noRow : *g.front();
        const Group *grp = aggregated ? &g : nullptr;
        Out o;
        for (const NodePtr &item : items_)
            o.cells.push_back(ev.eval(*item, first, grp));
        for (const NodePtr &k : orderBy_)
            o.keys.push_back(ev.eval(*k, first, grp));
        out.push_back(std::move(o));
    }
    if (!orderBy_.empty())
        std::stable_sort(out.begin(), out.end(), [&](const Out &a, const Out &b) {
            for (size_t k = 0; k < orderBy_.size(); ++k) {
                const SqlValue &x = a.keys[k], &y = b.keys[k];
                const bool desc = descending_[k];
                if (x.isNull() != y.isNull())
                    return desc ? x.isNull() : y.isNull(); // NULLs are the largest
                const std::optional<int> c = compare(x, y);
                if (c && *c != 0)
                    return desc ? *c > 0 : *c < 0;
            }
            return false;
        });

    auto table = std::make_shared<Table>(headings_);
    table->cells.reserve(qsizetype(out.size()) * headings_.size());
    for (const Out &o : out)
        for (const SqlValue &v : o.cells)
            table->cells.append(fieldText(v));
    return table;
}

} // namespace tavimond::sim
