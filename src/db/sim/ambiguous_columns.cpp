#include "ambiguous_columns.h"

#include "../error.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace tavimond::sim {
namespace {

using Tokens = std::vector<Token>;

struct Span {
    size_t from;
    size_t to; // one past the last token
};

bool isSymbol(const Token &t, const char *text)
{
    return t.kind == Token::Symbol && t.text == QLatin1String(text);
}

bool isWord(const Token &t, std::initializer_list<const char *> words)
{
    return t.kind == Token::Word &&
           std::any_of(words.begin(), words.end(), [&t](const char *w) { return t.text == QLatin1String(w); });
}

// Where the "(" at `open` closes; `end` when it does not.
size_t closing(const Tokens &t, size_t open, size_t end)
{
    int depth = 0;
    for (size_t i = open; i < end; ++i)
        if (isSymbol(t[i], "("))
            ++depth;
        else if (isSymbol(t[i], ")") && --depth == 0)
            return i;
    return end;
}

// The first token of the span outside parentheses that `stop` takes, or the ")" that
// closes the span's own enclosing parenthesis; the span's end when there is neither.
template <class Stop>
size_t findTopLevel(const Tokens &t, Span s, Stop stop)
{
    for (size_t i = s.from; i < s.to; ++i) {
        if (isSymbol(t[i], "("))
            i = closing(t, i, s.to);
        else if (isSymbol(t[i], ")") || stop(t[i]))
            return i;
    }
    return s.to;
}

// The span cut at its top-level commas.
std::vector<Span> commaItems(const Tokens &t, Span s)
{
    std::vector<Span> out;
    for (;;) {
        const size_t comma = findTopLevel(t, s, [](const Token &k) { return isSymbol(k, ","); });
        out.push_back({s.from, comma});
        if (comma >= s.to || !isSymbol(t[comma], ","))
            return out;
        s.from = comma + 1;
    }
}

struct Block {
    Span list; // the select list
    Span from; // the from clause
};

// The query block whose "select" stands at `select`; nothing without a from clause.
std::optional<Block> blockAt(const Tokens &t, size_t select)
{
    const size_t from = findTopLevel(t, {select + 1, t.size()}, [](const Token &k) { return isWord(k, {"from"}); });
    if (from >= t.size() || !isWord(t[from], {"from"}))
        return std::nullopt;
    size_t list = select + 1;
    if (list < from && isWord(t[list], {"distinct", "unique", "all"}))
        ++list;
    const size_t end = findTopLevel(t, {from + 1, t.size()}, [](const Token &k) {
        return isWord(k, {"where", "group", "having", "order", "union", "minus", "intersect", "connect", "start",
                          "model", "fetch", "offset", "for", "window"});
    });
    return Block{{list, from}, {from + 1, end}};
}

// A name as the database keeps it: a word upper-cased, a quoted name as it stands.
QString nameOf(const Token &t)
{
    return t.kind == Token::Word ? t.value.toUpper() : t.value;
}

// A parenthesised query of a from clause and its alias (empty without one).
struct View {
    Span query; // inside the parentheses
    QString alias;
};

// The from clause's items: an inline view, or nothing for a table, a join or a function's rows.
std::vector<std::optional<View>> fromItems(const Tokens &t, Span from)
{
    std::vector<std::optional<View>> out;
    for (const Span item : commaItems(t, from)) {
        std::optional<View> view;
        if (item.from + 1 < item.to && isSymbol(t[item.from], "(") &&
            (isWord(t[item.from + 1], {"select", "with"}) || isSymbol(t[item.from + 1], "("))) {
            const size_t close = closing(t, item.from, item.to);
            if (close + 1 == item.to)
                view = View{{item.from + 1, close}, QString()};
            else if (close + 2 == item.to &&
                     (t[close + 1].kind == Token::Word || t[close + 1].kind == Token::QuotedName))
                view = View{{item.from + 1, close}, nameOf(t[close + 1])};
        }
        out.push_back(std::move(view));
    }
    return out;
}

// "*" gives an empty qualifier, "alias.*" the alias; any other item nothing.
std::optional<QString> starOf(const Tokens &t, Span item)
{
    if (item.to - item.from == 1 && isSymbol(t[item.from], "*"))
        return QString();
    if (item.to - item.from == 3 && isSymbol(t[item.from + 1], ".") && isSymbol(t[item.from + 2], "*"))
        return nameOf(t[item.from]);
    return std::nullopt;
}

// Words that never name a column unquoted: the reserved words an item can end or go on
// with ("prior x", "... day to second"), and "end", which closes a case.
bool reserved(const Token &t)
{
    return isWord(t, {"and",   "between", "else",   "end",   "in",      "is",   "like", "not", "null", "or",
                      "prior", "rowid",   "rownum", "level", "sysdate", "then", "to",   "uid", "user", "when"});
}

// Reserved words that are values, so that an alias may follow them.
bool isValueWord(const Token &t)
{
    return isWord(t, {"null", "rowid", "rownum", "level", "sysdate", "uid", "user"});
}

// Whether the item's last token is its alias ("expr alias" or "expr as alias"). The
// unit of an interval literal (interval '1' day) is the literal's own.
bool endsInAlias(const Tokens &t, Span item)
{
    if (item.to - item.from < 2)
        return false;
    const Token &last = t[item.to - 1], &before = t[item.to - 2];
    if (last.kind != Token::QuotedName && (last.kind != Token::Word || reserved(last)))
        return false;
    if (before.kind == Token::Word)
        return isWord(before, {"as"}) || !reserved(before) || isValueWord(before);
    if (before.kind == Token::String)
        return item.to - item.from < 3 || !isWord(t[item.to - 3], {"interval"});
    return before.kind == Token::Number || before.kind == Token::QuotedName || isSymbol(before, ")");
}

// A select-list item's name: its alias, else the name the database gives the expression.
QString itemName(const Tokens &t, Span item)
{
    return endsInAlias(t, item) ? nameOf(t[item.to - 1]) : columnHeading(t, item.from, item.to);
}

// The names of a query's columns; a compound query's are its first branch's. Nothing
// where they are a table's own, which this cannot know.
std::optional<QStringList> columnNames(const Tokens &t, Span query)
{
    if (query.from >= query.to)
        return std::nullopt;
    if (isSymbol(t[query.from], "("))
        return columnNames(t, {query.from + 1, closing(t, query.from, query.to)});
    if (!isWord(t[query.from], {"select"}))
        return std::nullopt;
    const std::optional<Block> block = blockAt(t, query.from);
    if (!block)
        return std::nullopt;
    QStringList names;
    for (const Span item : commaItems(t, block->list)) {
        const std::optional<QString> star = starOf(t, item);
        if (!star) {
            names << itemName(t, item);
            continue;
        }
        bool read = false;
        for (const std::optional<View> &view : fromItems(t, block->from)) {
            if (!view && star->isEmpty())
                return std::nullopt;
            if (!view || (!star->isEmpty() && view->alias != *star))
                continue;
            const std::optional<QStringList> inner = columnNames(t, view->query);
            if (!inner)
                return std::nullopt;
            names << *inner;
            read = true;
        }
        if (!read)
            return std::nullopt;
    }
    return names;
}

bool repeats(const QStringList &names)
{
    return QSet<QString>(names.begin(), names.end()).size() != names.size();
}

} // namespace

void refuseAmbiguousColumns(const Statement &statement)
{
    const Tokens &t = statement.tokens();
    // Most statements select no "*" at all.
    if (std::none_of(t.begin(), t.end(), [](const Token &k) { return isSymbol(k, "*"); }))
        return;
    for (size_t i = 0; i < t.size(); ++i) {
        if (!isWord(t[i], {"select"}))
            continue;
        const std::optional<Block> block = blockAt(t, i);
        if (!block)
            continue;
        for (const Span item : commaItems(t, block->list)) {
            const std::optional<QString> star = starOf(t, item);
            if (!star)
                continue;
            for (const std::optional<View> &view : fromItems(t, block->from))
                if (view && (star->isEmpty() || view->alias == *star))
                    if (const auto names = columnNames(t, view->query); names && repeats(*names))
                        throw DbError(QStringLiteral("ORA-00918: column ambiguously defined"));
        }
    }
}

} // namespace tavimond::sim
