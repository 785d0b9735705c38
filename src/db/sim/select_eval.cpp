#include "select_eval.h"

#include "server.h"

#include "../error.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace tavimond::sim {
namespace {

struct NotSimple {};

[[noreturn]] void fail(const char *message)
{
    throw DbError(QString::fromLatin1(message));
}

// What the instance cannot compute fails as a statement it does not know.
[[noreturn]] void unknownToTheInstance()
{
    fail("ORA-00942: table or view does not exist");
}

// A date as the program reads it.
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
constexpr qint64 kMicrosPerSecond = 1000000;

// An INTERVAL DAY TO SECOND as the database writes it, with its default precisions: a
// sign, two digits of days, the time and six of the fraction ("+01 00:00:00.000000").
QString daySecondText(qint64 micros)
{
    const qint64 a = micros < 0 ? -micros : micros, s = a / kMicrosPerSecond;
    const auto pad = [](qint64 v, int width) { return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0')); };
    return QString(micros < 0 ? u'-' : u'+') + pad(s / 86400, 2) + u' ' + pad(s / 3600 % 24, 2) + u':' +
           pad(s / 60 % 60, 2) + u':' + pad(s % 60, 2) + u'.' + pad(a % kMicrosPerSecond, 6);
}

struct Value {
    // Dates and intervals are kept as the text the program reads; the type says how they
    // are computed with.
    enum Type { Plain, Date, DaySecond };
    bool null = true;
    QString text;
    Type type = Plain;
    static Value of(QString t) { return {t.isEmpty(), std::move(t), Plain}; } // '' is NULL, as in Oracle
    static Value number(double d) { return {false, oracleNumber(d), Plain}; }
    static Value date(const QDateTime &t) { return {false, t.toString(kDateFormat), Date}; }
    static Value daySecond(qint64 micros) { return {false, daySecondText(micros), DaySecond}; }
    std::optional<double> num() const
    {
        if (null || type != Plain)
            return std::nullopt;
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        return ok ? std::optional<double>(d) : std::nullopt;
    }
    QDateTime dateTime() const
    {
        const QDateTime t = QDateTime::fromString(text, kDateFormat);
        return QDateTime(t.date(), t.time(), Qt::UTC);
    }
    // An interval's length, read back from its text.
    qint64 micros() const
    {
        const qsizetype blank = text.indexOf(u' ');
        const QStringList time = text.mid(blank + 1).split(u':');
        const QStringList seconds = time.value(2).split(u'.');
        const qint64 s = ((text.mid(1, blank - 1).toLongLong() * 24 + time.value(0).toLongLong()) * 60 +
                          time.value(1).toLongLong()) *
                             60 +
                         seconds.value(0).toLongLong();
        const qint64 m = s * kMicrosPerSecond + seconds.value(1).toLongLong();
        return text.startsWith(u'-') ? -m : m;
    }
};

// The fields of an interval of days to seconds, in their order.
const QStringList kIntervalUnits{QStringLiteral("day"), QStringLiteral("hour"), QStringLiteral("minute"),
                                 QStringLiteral("second")};
enum IntervalUnit { Day, Hour, Minute, Second };

// interval '<text>' <first> [to <last>] (units "day" or "day to second"), read as the
// database reads it: the first field up to 99 (the default leading precision), the
// others within their ranges, a blank after the days, colons between the rest, and a
// fraction of the seconds last.
Value intervalLiteral(const QString &text, const QString &units)
{
    const QStringList range = units.split(QStringLiteral(" to "));
    const auto first = kIntervalUnits.indexOf(range.first()), last = kIntervalUnits.indexOf(range.last());
    static const qint64 kMicros[] = {86400 * kMicrosPerSecond, 3600 * kMicrosPerSecond, 60 * kMicrosPerSecond,
                                     kMicrosPerSecond};
    static const int kMost[] = {0, 23, 59, 59};
    static const char *const kRange[] = {nullptr, "ORA-01850: hour must be between 0 and 23",
                                         "ORA-01851: minutes must be between 0 and 59",
                                         "ORA-01852: seconds must be between 0 and 59"};
    const char *const invalid = "ORA-01867: the interval is invalid";
    qsizetype i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        ++i;
    auto digits = [&] {
        const qsizetype start = i;
        while (i < text.size() && text.at(i).isDigit())
            ++i;
        return text.mid(start, i - start);
    };
    qint64 micros = 0;
    for (auto unit = first; unit <= last; ++unit) {
        if (unit > first && (i >= text.size() || text.at(i++) != (unit == Hour ? u' ' : u':')))
            fail(invalid);
        const QString field = digits();
        if (field.isEmpty() || (unit > first && field.size() > 2))
            fail(invalid);
        const qint64 v = field.toLongLong();
        if (unit == first && (field.size() > 9 || v > 99))
            fail("ORA-01873: the leading precision of the interval is too small");
        if (unit > first && v > kMost[unit])
            fail(kRange[unit]);
        micros += v * kMicros[unit];
    }
    if (last == Second && i < text.size() && text.at(i) == u'.') {
        ++i;
        const QString fraction = digits();
        if (fraction.isEmpty())
            fail(invalid);
        micros += std::llround(QStringView(QStringLiteral("0.") + fraction).toDouble() * double(kMicrosPerSecond));
    }
    if (i != text.size())
        fail(invalid);
    return Value::daySecond(negative ? -micros : micros);
}

// + or - with a date or an interval: a date moved by an interval or by days, or the days
// from one date to another. Anything else with them is not computed here.
Value dateArithmetic(const QString &op, const Value &a, const Value &b)
{
    const bool plus = op == QLatin1String("+");
    if (!plus && op != QLatin1String("-"))
        unknownToTheInstance();
    if (a.null || b.null)
        return {};
    if (a.type == Value::Date && b.type == Value::Date) {
        if (plus)
            fail("ORA-00975: date + date not allowed");
        return Value::number(double(b.dateTime().secsTo(a.dateTime())) / 86400.0);
    }
    const Value *date = a.type == Value::Date ? &a : (plus && b.type == Value::Date ? &b : nullptr);
    if (!date)
        unknownToTheInstance();
    const Value &by = date == &a ? b : a;
    const qint64 sign = plus ? 1 : -1;
    if (by.type == Value::DaySecond)
        return Value::date(date->dateTime().addMSecs(sign * by.micros() / 1000));
    if (const auto days = by.num())
        return Value::date(date->dateTime().addSecs(sign * std::llround(*days * 86400)));
    unknownToTheInstance();
}

struct Node {
    enum Kind {
        Column,
        Literal,
        Null,
        RowNum,
        Pseudo,   // sysdate or user
        Interval, // name: its units ("day", "day to second"); literal: its text
        Neg,
        Binary,
        Func,
        Aggregate,
        Star,
        And,
        Or,
        Not,
        Compare,
        Like,
        In,
        Between,
        IsNull
    };
    Kind kind;
    QString name; // column (upper case), function, operator
    Value literal;
    bool negated = false;
    bool distinct = false;
    std::vector<std::unique_ptr<Node>> args;
};
using NodePtr = std::unique_ptr<Node>;

NodePtr make(Node::Kind k, QString name = {})
{
    auto n = std::make_unique<Node>();
    n->kind = k;
    n->name = std::move(name);
    return n;
}

bool hasAggregate(const Node &n)
{
    if (n.kind == Node::Aggregate)
        return true;
    return std::any_of(n.args.begin(), n.args.end(), [](const NodePtr &a) { return hasAggregate(*a); });
}

const QStringList kStopWords{
    QStringLiteral("from"),    QStringLiteral("where"),     QStringLiteral("group"),   QStringLiteral("order"),
    QStringLiteral("having"),  QStringLiteral("and"),       QStringLiteral("or"),      QStringLiteral("not"),
    QStringLiteral("like"),    QStringLiteral("in"),        QStringLiteral("between"), QStringLiteral("is"),
    QStringLiteral("asc"),     QStringLiteral("desc"),      QStringLiteral("as"),      QStringLiteral("union"),
    QStringLiteral("minus"),   QStringLiteral("intersect"), QStringLiteral("join"),    QStringLiteral("on"),
    QStringLiteral("connect"), QStringLiteral("start"),     QStringLiteral("nulls"),   QStringLiteral("for")};

class Parser : public TokenCursor {
public:
    Parser(const std::vector<Token> &t) : TokenCursor(t) {}

    void expect(const char *text)
    {
        if (!accept(text))
            throw NotSimple{};
    }

    NodePtr expr() { return additive(); }

    NodePtr additive()
    {
        NodePtr left = multiplicative();
        while (is("+") || is("-") || is("||")) {
            auto n = make(Node::Binary, peek()->text);
            ++i_;
            n->args.push_back(std::move(left));
            n->args.push_back(multiplicative());
            left = std::move(n);
        }
        return left;
    }

    NodePtr multiplicative()
    {
        NodePtr left = unary();
        while (is("*") || is("/")) {
            auto n = make(Node::Binary, peek()->text);
            ++i_;
            n->args.push_back(std::move(left));
            n->args.push_back(unary());
            left = std::move(n);
        }
        return left;
    }

    NodePtr unary()
    {
        if (accept("-")) {
            auto n = make(Node::Neg);
            n->args.push_back(unary());
            return n;
        }
        accept("+");
        return primary();
    }

    NodePtr primary()
    {
        const Token *k = peek();
        if (!k)
            throw NotSimple{};
        if (k->kind == Token::Number) {
            ++i_;
            auto n = make(Node::Literal);
            n->literal = Value{false, k->value};
            return n;
        }
        if (k->kind == Token::String) {
            ++i_;
            auto n = make(Node::Literal);
            n->literal = Value::of(k->value);
            return n;
        }
        if (accept("(")) {
            NodePtr e = expr();
            expect(")");
            return e;
        }
        if (k->kind == Token::QuotedName) {
            ++i_;
            return make(Node::Column, k->value);
        }
        if (k->kind != Token::Word || kStopWords.contains(k->text) || k->text == QLatin1String("select") ||
            k->text == QLatin1String("case"))
            throw NotSimple{};
        ++i_;
        if (k->text == QLatin1String("null"))
            return make(Node::Null);
        if (k->text == QLatin1String("rownum"))
            return make(Node::RowNum);
        if ((k->text == QLatin1String("sysdate") || k->text == QLatin1String("user")) && !is("(") && !is("."))
            return make(Node::Pseudo, k->text.toUpper());
        if (k->text == QLatin1String("interval") && peek() && peek()->kind == Token::String)
            return interval();
        if (accept("(")) {
            static const QStringList aggregates{QStringLiteral("sum"), QStringLiteral("count"), QStringLiteral("min"),
                                                QStringLiteral("max"), QStringLiteral("avg")};
            auto n = make(aggregates.contains(k->text) ? Node::Aggregate : Node::Func, k->text);
            if (n->kind == Node::Aggregate)
                n->distinct = accept("distinct");
            if (accept("*")) {
                n->args.push_back(make(Node::Star));
            } else if (!is(")")) {
                n->args.push_back(expr());
                while (accept(","))
                    n->args.push_back(expr());
            }
            expect(")");
            return n;
        }
        if (accept(".")) { // qualified name: the qualifier is the view or its alias
            const Token *c = peek();
            if (!c || (c->kind != Token::Word && c->kind != Token::QuotedName))
                throw NotSimple{};
            ++i_;
            return make(Node::Column, c->kind == Token::Word ? c->value.toUpper() : c->value);
        }
        return make(Node::Column, k->value.toUpper());
    }

    // interval '<text>' <unit> [to <unit>], days to seconds with default precisions.
    NodePtr interval()
    {
        auto n = make(Node::Interval);
        n->literal = Value{false, peek()->value, Value::Plain};
        ++i_;
        const Token *first = take(Token::Word);
        if (!first || !kIntervalUnits.contains(first->text))
            throw NotSimple{};
        n->name = first->text;
        if (accept("to")) {
            const Token *last = take(Token::Word);
            if (!last || kIntervalUnits.indexOf(last->text) <= kIntervalUnits.indexOf(first->text))
                throw NotSimple{};
            n->name += QLatin1String(" to ") + last->text;
        }
        if (is("("))
            throw NotSimple{}; // a precision of its own
        return n;
    }

    NodePtr condition()
    {
        NodePtr left = conjunction();
        while (accept("or")) {
            auto n = make(Node::Or);
            n->args.push_back(std::move(left));
            n->args.push_back(conjunction());
            left = std::move(n);
        }
        return left;
    }

    NodePtr conjunction()
    {
        NodePtr left = negation();
        while (accept("and")) {
            auto n = make(Node::And);
            n->args.push_back(std::move(left));
            n->args.push_back(negation());
            left = std::move(n);
        }
        return left;
    }

    NodePtr negation()
    {
        if (accept("not")) {
            auto n = make(Node::Not);
            n->args.push_back(negation());
            return n;
        }
        if (is("(")) {
            const size_t p = i_;
            try {
                ++i_;
                NodePtr c = condition();
                expect(")");
                if (!is("=") && !is("<") && !is(">") && !is("<=") && !is(">=") && !is("<>") && !is("!=") && !is("||") &&
                    !is("+") && !is("-") && !is("*") && !is("/"))
                    return c;
            } catch (const NotSimple &) {
            }
            i_ = p;
        }
        return predicate();
    }

    NodePtr predicate()
    {
        NodePtr left = expr();
        bool negated = accept("not");
        if (accept("like")) {
            auto n = make(Node::Like);
            n->negated = negated;
            n->args.push_back(std::move(left));
            n->args.push_back(expr());
            return n;
        }
        if (accept("in")) {
            auto n = make(Node::In);
            n->negated = negated;
            n->args.push_back(std::move(left));
            expect("(");
            n->args.push_back(expr());
            while (accept(","))
                n->args.push_back(expr());
            expect(")");
            return n;
        }
        if (accept("between")) {
            auto n = make(Node::Between);
            n->negated = negated;
            n->args.push_back(std::move(left));
            n->args.push_back(additive());
            expect("and");
            n->args.push_back(additive());
            return n;
        }
        if (negated)
            throw NotSimple{};
        if (accept("is")) {
            auto n = make(Node::IsNull);
            n->negated = accept("not");
            expect("null");
            n->args.push_back(std::move(left));
            return n;
        }
        for (const char *op : {"=", "<>", "!=", "<=", ">=", "<", ">"}) {
            if (accept(op)) {
                auto n = make(Node::Compare, QString::fromLatin1(op));
                n->args.push_back(std::move(left));
                n->args.push_back(expr());
                return n;
            }
        }
        throw NotSimple{};
    }
};

struct SelectItem {
    NodePtr expr;
    QString heading;
    bool star = false;
};

struct OrderItem {
    int position = -1; // output column, or -1 for an expression
    NodePtr expr;
    bool descending = false;
    std::optional<bool> nullsFirst; // as written; otherwise NULLs sort as the largest values
};

struct Query {
    std::vector<SelectItem> items;
    QString view;                 // read directly, or in the end through the inline view
    std::unique_ptr<Query> inner; // the inline view
    QString alias;
    NodePtr where;
    std::vector<NodePtr> groupBy;
    NodePtr having;
    std::vector<OrderItem> orderBy;
};

int compareValues(const Value &a, const Value &b)
{
    if (a.type == Value::DaySecond && b.type == Value::DaySecond)
        return a.micros() < b.micros() ? -1 : (a.micros() > b.micros() ? 1 : 0);
    const auto x = a.num(), y = b.num();
    if (x && y)
        return *x < *y ? -1 : (*x > *y ? 1 : 0);
    return QString::compare(a.text, b.text, Qt::CaseSensitive);
}

} // namespace

bool likeMatch(QStringView text, QStringView pattern, LikeText how)
{
    // Each character matched in turn; on a mismatch after a '%', that '%' takes one
    // character more and the match resumes behind it.
    const bool upper = how == LikeText::Upper;
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'%') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && (pattern[p] == u'_' || pattern[p] == (upper ? text[t].toUpper() : text[t]))) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

namespace {

// A query's rows with the type of each column's values, as an inline view hands them on.
struct Rows {
    Table table;
    std::vector<Value::Type> types;
};

class Evaluator {
public:
    // A view's columns are found by their names upper-cased; an inline view's (with
    // `types`) by their names as they are, and one named twice is ambiguous.
    Evaluator(const Table &table, const std::vector<Value::Type> *types, const SessionValues *session)
        : table_(table), types_(types), session_(session)
    {
        for (int c = 0; c < table.columns.size(); ++c) {
            const QString name = types ? table.columns.at(c) : table.columns.at(c).toUpper();
            if (types && columns_.contains(name))
                ambiguous_.insert(name);
            columns_.insert(name, c);
        }
    }

    void check(const Node &n) const
    {
        if (n.kind == Node::Column || (n.kind == Node::Pseudo && !session_)) {
            if (!columns_.contains(n.name))
                throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(n.name));
            if (ambiguous_.contains(n.name))
                fail("ORA-00918: column ambiguously defined");
        }
        for (const auto &a : n.args)
            check(*a);
    }

    // Evaluates over one row, or over a group's rows for aggregates.
    Value eval(const Node &n, qsizetype row, const std::vector<qsizetype> *group, qint64 rownum) const
    {
        switch (n.kind) {
        case Node::Pseudo:
            if (session_)
                return n.name == QLatin1String("SYSDATE") ? Value::date(session_->sysdate) : Value::of(session_->user);
            [[fallthrough]];
        case Node::Column: {
            const int c = columns_.value(n.name);
            Value v = Value::of(table_.cell(row, c));
            if (types_ && !v.null)
                v.type = (*types_)[size_t(c)];
            return v;
        }
        case Node::Interval:
            return intervalLiteral(n.literal.text, n.name);
        case Node::Literal:
            return n.literal;
        case Node::Null:
        case Node::Star:
            return {};
        case Node::RowNum:
            return Value::number(double(rownum));
        case Node::Neg: {
            const Value a = eval(*n.args[0], row, group, rownum);
            if (a.type == Value::DaySecond)
                return Value::daySecond(-a.micros());
            if (a.type != Value::Plain)
                unknownToTheInstance();
            const auto v = a.num();
            return v ? Value::number(-*v) : Value{};
        }
        case Node::Binary: {
            const Value a = eval(*n.args[0], row, group, rownum);
            const Value b = eval(*n.args[1], row, group, rownum);
            if (a.type != Value::Plain || b.type != Value::Plain) {
                if (n.name == QLatin1String("||"))
                    unknownToTheInstance(); // a date in text follows the session's date format
                return dateArithmetic(n.name, a, b);
            }
            if (n.name == QLatin1String("||"))
                return Value::of(a.text + b.text);
            const auto x = a.num(), y = b.num();
            if (!x || !y)
                return {};
            if (n.name == QLatin1String("+"))
                return Value::number(*x + *y);
            if (n.name == QLatin1String("-"))
                return Value::number(*x - *y);
            if (n.name == QLatin1String("*"))
                return Value::number(*x * *y);
            if (*y == 0)
                throw DbError(QStringLiteral("ORA-01476: divisor is equal to zero"));
            return Value::number(*x / *y);
        }
        case Node::Func:
            return function(n, row, group, rownum);
        case Node::Aggregate:
            return aggregate(n, row, group);
        default:
            return truth(n, row, group, rownum) == 1 ? Value::number(1) : Value::number(0);
        }
    }

    // 1 true, 0 false, -1 unknown.
    int truth(const Node &n, qsizetype row, const std::vector<qsizetype> *group, qint64 rownum) const
    {
        switch (n.kind) {
        case Node::And: {
            const int a = truth(*n.args[0], row, group, rownum), b = truth(*n.args[1], row, group, rownum);
            return (a == 0 || b == 0) ? 0 : ((a == 1 && b == 1) ? 1 : -1);
        }
        case Node::Or: {
            const int a = truth(*n.args[0], row, group, rownum), b = truth(*n.args[1], row, group, rownum);
            return (a == 1 || b == 1) ? 1 : ((a == 0 && b == 0) ? 0 : -1);
        }
        case Node::Not: {
            const int a = truth(*n.args[0], row, group, rownum);
            return a < 0 ? -1 : 1 - a;
        }
        case Node::IsNull: {
            const bool isNull = eval(*n.args[0], row, group, rownum).null;
            return isNull != n.negated ? 1 : 0;
        }
        case Node::Compare: {
            const Value a = eval(*n.args[0], row, group, rownum), b = eval(*n.args[1], row, group, rownum);
            if (a.null || b.null)
                return -1;
            const int c = compareValues(a, b);
            const QString &op = n.name;
            bool r = op == QLatin1String("=")                                   ? c == 0
                     : (op == QLatin1String("<>") || op == QLatin1String("!=")) ? c != 0
                     : op == QLatin1String("<")                                 ? c < 0
                     : op == QLatin1String(">")                                 ? c > 0
                     : op == QLatin1String("<=")                                ? c <= 0
                                                                                : c >= 0;
            return r ? 1 : 0;
        }
        case Node::Like: {
            const Value a = eval(*n.args[0], row, group, rownum), p = eval(*n.args[1], row, group, rownum);
            if (a.null || p.null)
                return -1;
            return likeMatch(a.text, p.text) != n.negated ? 1 : 0;
        }
        case Node::In: {
            const Value a = eval(*n.args[0], row, group, rownum);
            if (a.null)
                return -1;
            bool found = false;
            for (size_t k = 1; k < n.args.size() && !found; ++k) {
                const Value b = eval(*n.args[k], row, group, rownum);
                found = !b.null && compareValues(a, b) == 0;
            }
            return found != n.negated ? 1 : 0;
        }
        case Node::Between: {
            const Value a = eval(*n.args[0], row, group, rownum);
            const Value lo = eval(*n.args[1], row, group, rownum), hi = eval(*n.args[2], row, group, rownum);
            if (a.null || lo.null || hi.null)
                return -1;
            const bool in = compareValues(a, lo) >= 0 && compareValues(a, hi) <= 0;
            return in != n.negated ? 1 : 0;
        }
        default: {
            const auto v = eval(n, row, group, rownum).num();
            return v ? (*v != 0 ? 1 : 0) : -1;
        }
        }
    }

private:
    Value function(const Node &n, qsizetype row, const std::vector<qsizetype> *group, qint64 rownum) const
    {
        std::vector<Value> a;
        for (const auto &arg : n.args)
            a.push_back(eval(*arg, row, group, rownum));
        const QString &f = n.name;
        auto arg = [&](size_t k) { return k < a.size() ? a[k] : Value{}; };
        // Dates and intervals pass through these whole; the others would read them as text.
        if (std::any_of(a.begin(), a.end(), [](const Value &v) { return v.type != Value::Plain; }) &&
            f != QLatin1String("nvl") && f != QLatin1String("decode") && f != QLatin1String("greatest") &&
            f != QLatin1String("least"))
            unknownToTheInstance();
        if (f == QLatin1String("upper"))
            return Value::of(arg(0).text.toUpper());
        if (f == QLatin1String("lower"))
            return Value::of(arg(0).text.toLower());
        if (f == QLatin1String("nvl"))
            return arg(0).null ? arg(1) : arg(0);
        if (f == QLatin1String("to_char") || f == QLatin1String("to_number"))
            return arg(0);
        if (f == QLatin1String("length"))
            return arg(0).null ? Value{} : Value::number(double(arg(0).text.size()));
        if (f == QLatin1String("abs")) {
            const auto v = arg(0).num();
            return v ? Value::number(std::fabs(*v)) : Value{};
        }
        if (f == QLatin1String("round") || f == QLatin1String("trunc")) {
            const auto v = arg(0).num();
            if (!v)
                return {};
            const double scale = std::pow(10.0, a.size() > 1 ? arg(1).num().value_or(0) : 0);
            const double x = *v * scale;
            return Value::number((f == QLatin1String("round") ? std::round(x) : std::trunc(x)) / scale);
        }
        if (f == QLatin1String("substr")) {
            const QString s = arg(0).text;
            qsizetype p = qsizetype(arg(1).num().value_or(1));
            if (p < 0)
                p = s.size() + p + 1;
            const qsizetype len = a.size() > 2 ? qsizetype(arg(2).num().value_or(0)) : s.size();
            return Value::of(s.mid(std::max<qsizetype>(p, 1) - 1, len));
        }
        if (f == QLatin1String("decode")) {
            for (size_t k = 1; k + 1 < a.size(); k += 2)
                if ((a[0].null && a[k].null) || (!a[0].null && !a[k].null && compareValues(a[0], a[k]) == 0))
                    return a[k + 1];
            return a.size() % 2 == 0 ? a.back() : Value{};
        }
        if (f == QLatin1String("greatest") || f == QLatin1String("least")) {
            Value best = arg(0);
            for (const Value &v : a) {
                if (v.null)
                    return {};
                const int c = compareValues(v, best);
                if ((f == QLatin1String("greatest") && c > 0) || (f == QLatin1String("least") && c < 0))
                    best = v;
            }
            return best;
        }
        throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(f.toUpper()));
    }

    Value aggregate(const Node &n, qsizetype row, const std::vector<qsizetype> *group) const
    {
        const std::vector<qsizetype> one{row};
        const std::vector<qsizetype> &rows = group ? *group : one;
        const bool star = n.args.empty() || n.args[0]->kind == Node::Star;
        std::vector<Value> values;
        QSet<QString> seen;
        for (const qsizetype r : rows) {
            Value v = star ? Value::number(1) : eval(*n.args[0], r, nullptr, 0);
            if (v.null)
                continue;
            if (n.distinct) {
                if (seen.contains(v.text))
                    continue;
                seen.insert(v.text);
            }
            values.push_back(std::move(v));
        }
        if (n.name == QLatin1String("count"))
            return Value::number(double(values.size()));
        if (values.empty())
            return {};
        if (values.front().type != Value::Plain && n.name != QLatin1String("min") && n.name != QLatin1String("max"))
            unknownToTheInstance();
        if (n.name == QLatin1String("min") || n.name == QLatin1String("max")) {
            Value best = values.front();
            for (const Value &v : values) {
                const int c = compareValues(v, best);
                if ((n.name == QLatin1String("min") && c < 0) || (n.name == QLatin1String("max") && c > 0))
                    best = v;
            }
            return best;
        }
        double sum = 0;
        for (const Value &v : values)
            sum += v.num().value_or(0);
        return Value::number(n.name == QLatin1String("avg") ? sum / double(values.size()) : sum);
    }

    const Table &table_;
    const std::vector<Value::Type> *types_;
    const SessionValues *session_;
    QHash<QString, int> columns_;
    QSet<QString> ambiguous_;
};

// The query from the parser's place on; throws NotSimple where it is not a simple query.
Query query(Parser &p, const std::vector<Token> &tokens)
{
    Query q;
    p.expect("select");
    if (p.accept("distinct"))
        throw NotSimple{};
    do {
        SelectItem item;
        if (p.accept("*")) {
            item.star = true;
        } else {
            const size_t start = p.pos();
            item.expr = p.expr();
            item.heading = columnHeading(tokens, start, p.pos());
            p.accept("as");
            const Token *k = p.peek();
            if (k && (k->kind == Token::QuotedName || (k->kind == Token::Word && !kStopWords.contains(k->text)))) {
                item.heading = k->kind == Token::Word ? k->value.toUpper() : k->value;
                p.reset(p.pos() + 1);
            }
        }
        q.items.push_back(std::move(item));
    } while (p.accept(","));
    p.expect("from");
    if (p.accept("(")) {
        q.inner = std::make_unique<Query>(query(p, tokens));
        p.expect(")");
        q.view = q.inner->view;
    } else {
        const Token *v = p.take(Token::Word);
        if (!v)
            throw NotSimple{};
        q.view = v->text;
        if (p.accept(".")) {
            const Token *w = p.take(Token::Word);
            if (!w)
                throw NotSimple{};
            q.view += QLatin1Char('.') + w->text;
        }
    }
    const Token *a = p.peek();
    if (a && a->kind == Token::Word && !kStopWords.contains(a->text)) {
        q.alias = a->text;
        p.reset(p.pos() + 1);
    }
    if (p.accept("where"))
        q.where = p.condition();
    if (p.accept("group")) {
        p.expect("by");
        q.groupBy.push_back(p.expr());
        while (p.accept(","))
            q.groupBy.push_back(p.expr());
    }
    if (p.accept("having"))
        q.having = p.condition();
    if (p.accept("order")) {
        p.expect("by");
        do {
            OrderItem item;
            const Token *k = p.peek();
            if (k && k->kind == Token::Number &&
                (p.is(",", 1) || p.is("asc", 1) || p.is("desc", 1) || p.is("nulls", 1) || p.is(")", 1) || !p.peek(1))) {
                item.position = k->value.toInt() - 1;
                p.reset(p.pos() + 1);
            } else {
                item.expr = p.expr();
            }
            if (p.accept("desc"))
                item.descending = true;
            else
                p.accept("asc");
            if (p.accept("nulls")) {
                if (p.accept("first"))
                    item.nullsFirst = true;
                else {
                    p.expect("last");
                    item.nullsFirst = false;
                }
            }
            q.orderBy.push_back(std::move(item));
        } while (p.accept(","));
    }
    return q;
}

std::optional<Query> parse(const Statement &statement, InlineViews inlineViews)
{
    Parser p(statement.tokens());
    try {
        Query q = query(p, statement.tokens());
        if (p.atEnd() && (!q.inner || inlineViews == InlineViews::Read))
            return q;
    } catch (const NotSimple &) {
    }
    return std::nullopt;
}

} // namespace

QString oracleNumber(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("~");
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    QString s = QString::number(value, 'f', 10);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

namespace {

// The query's rows from the view's, or from its inline view's (`types` given).
Rows evaluate(Query &q, const Table &table, const std::vector<Value::Type> *types, const SessionValues *session)
{
    Evaluator ev(table, types, session);

    // Expand "*" and check every column before reading a row.
    std::vector<SelectItem> items;
    for (SelectItem &item : q.items) {
        if (item.star) {
            for (const QString &c : table.columns) {
                SelectItem col;
                col.expr = make(Node::Column, types ? c : c.toUpper());
                col.heading = col.expr->name;
                items.push_back(std::move(col));
            }
        } else {
            ev.check(*item.expr);
            items.push_back(std::move(item));
        }
    }
    if (q.where)
        ev.check(*q.where);
    for (const auto &g : q.groupBy)
        ev.check(*g);
    for (const auto &o : q.orderBy) {
        const bool heading =
            o.expr && o.expr->kind == Node::Column &&
            std::any_of(items.begin(), items.end(), [&](const SelectItem &i) { return i.heading == o.expr->name; });
        if (o.expr && !heading)
            ev.check(*o.expr);
    }

    // Rows that pass the condition; rownum counts the rows accepted so far.
    std::vector<qsizetype> passed;
    for (qsizetype r = 0; r < table.rowCount(); ++r)
        if (!q.where || ev.truth(*q.where, r, nullptr, qint64(passed.size()) + 1) == 1)
            passed.push_back(r);

    const bool grouped = !q.groupBy.empty() || std::any_of(items.begin(), items.end(),
                                                           [](const SelectItem &i) { return hasAggregate(*i.expr); });
    std::vector<std::vector<qsizetype>> groups;
    if (grouped) {
        QHash<QString, size_t> index;
        for (const qsizetype r : passed) {
            QString key;
            for (const auto &g : q.groupBy)
                key += ev.eval(*g, r, nullptr, 0).text + QChar(0x1f);
            auto it = index.find(key);
            if (it == index.end()) {
                it = index.insert(key, groups.size());
                groups.emplace_back();
            }
            groups[it.value()].push_back(r);
        }
        if (groups.empty() && q.groupBy.empty())
            groups.emplace_back(); // an aggregate over no rows still gives one row
        if (q.having) {
            std::vector<std::vector<qsizetype>> kept;
            for (auto &g : groups)
                if (ev.truth(*q.having, g.empty() ? 0 : g.front(), &g, 0) == 1)
                    kept.push_back(std::move(g));
            groups = std::move(kept);
        }
    } else {
        for (const qsizetype r : passed)
            groups.push_back({r});
    }

    struct OutRow {
        std::vector<Value> cells;
        std::vector<Value> keys;
    };
    std::vector<OutRow> out;
    out.reserve(groups.size());
    for (const auto &g : groups) {
        const qsizetype first = g.empty() ? -1 : g.front();
        const std::vector<qsizetype> *grp = grouped ? &g : nullptr;
        OutRow row;
        for (const SelectItem &item : items)
            row.cells.push_back(first < 0 && !hasAggregate(*item.expr)
                                    ? Value{}
                                    : ev.eval(*item.expr, std::max<qsizetype>(first, 0), grp, 0));
        for (const OrderItem &o : q.orderBy) {
            if (o.position >= 0)
                row.keys.push_back(size_t(o.position) < row.cells.size() ? row.cells[size_t(o.position)] : Value{});
            else if (o.expr->kind == Node::Column) {
                // An output heading (an alias) first, then the view's column.
                auto it = std::find_if(items.begin(), items.end(),
                                       [&](const SelectItem &i) { return i.heading == o.expr->name; });
                row.keys.push_back(it != items.end() ? row.cells[size_t(it - items.begin())]
                                                     : ev.eval(*o.expr, std::max<qsizetype>(first, 0), grp, 0));
            } else {
                row.keys.push_back(ev.eval(*o.expr, std::max<qsizetype>(first, 0), grp, 0));
            }
        }
        out.push_back(std::move(row));
    }
    if (!q.orderBy.empty()) {
        std::stable_sort(out.begin(), out.end(), [&](const OutRow &a, const OutRow &b) {
            for (size_t k = 0; k < q.orderBy.size(); ++k) {
                const Value &x = a.keys[k], &y = b.keys[k];
                const bool desc = q.orderBy[k].descending;
                if (x.null != y.null)
                    return q.orderBy[k].nullsFirst.value_or(desc) ? x.null : y.null;
                if (x.null)
                    continue;
                const int c = compareValues(x, y);
                if (c != 0)
                    return desc ? c > 0 : c < 0;
            }
            return false;
        });
    }

    QStringList headings;
    for (const SelectItem &item : items)
        headings << item.heading;
    Rows result{Table(headings), std::vector<Value::Type>(items.size(), Value::Plain)};
    result.table.cells.reserve(qsizetype(out.size()) * headings.size());
    for (const OutRow &r : out) {
        for (size_t c = 0; c < r.cells.size(); ++c) {
            const Value &v = r.cells[c];
            result.table.cells.append(v.null ? QString() : v.text);
            if (!v.null)
                result.types[c] = v.type;
        }
    }
    return result;
}

// The query over its view's rows, through its inline views.
Rows run(Query &q, const Table &view, const SessionValues *session)
{
    if (!q.inner)
        return evaluate(q, view, nullptr, session);
    const Rows rows = run(*q.inner, view, session);
    return evaluate(q, rows.table, &rows.types, session);
}

} // namespace

QString simpleSelectView(const Statement &statement, InlineViews inlineViews)
{
    const auto q = parse(statement, inlineViews);
    return q ? q->view : QString();
}

std::optional<Result> evaluateSimpleSelect(const Statement &statement, const QString &view, const Table &rows)
{
    return evaluateSimpleSelect(statement, view, [&rows] { return rows; });
}

std::optional<Result> evaluateSimpleSelect(const Statement &statement, const QString &view,
                                           const std::function<Table()> &rows, const SessionValues *session,
                                           InlineViews inlineViews)
{
    std::optional<Query> q = parse(statement, inlineViews);
    if (!q || q->view != view.toLower())
        return std::nullopt;
    return std::make_shared<const Table>(run(*q, rows(), session).table);
}

Recogniser simpleViewRecogniser(const QString &view, std::function<Table(Context &)> rows)
{
    const QString name = view.toLower();
    return {name, [name](const Statement &s) { return simpleSelectView(s) == name; },
            [name, rows = std::move(rows)](const Statement &s, Context &ctx) {
                return *evaluateSimpleSelect(s, name, [&] { return rows(ctx); });
            }};
}

} // namespace tavimond::sim
