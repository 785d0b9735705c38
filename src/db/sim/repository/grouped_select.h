#pragma once

#include "../statement.h"
#include "../table.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace tavimond::sim {

// A value as the database computes with it: NULL, a number, a text or a point in time
// (milliseconds since the epoch, UTC).
struct SqlValue {
    enum class Kind : quint8 { Null, Number, Text, Time };
    Kind kind = Kind::Null;
    double number = 0;
    QString text;

    static SqlValue of(double n) { return {Kind::Number, n, {}}; }
    static SqlValue of(QString t) { return t.isEmpty() ? SqlValue{} : SqlValue{Kind::Text, 0, std::move(t)}; }
    static SqlValue time(qint64 msecs) { return {Kind::Time, double(msecs), {}}; }
    bool isNull() const { return kind == Kind::Null; }
};

// The rows of an inline view that a family built from its model: named columns (upper
// case; a column of a joined table by its qualified name too, "D.NAME") and the values.
struct ViewRows {
    QStringList columns;
    std::vector<std::vector<SqlValue>> rows;
};

// Answers a scalar subquery, given its tokens joined by single blanks
// ("select to_number ( value ) from v$parameter where name = 'db_block_size'").
using ScalarSubquery = std::function<SqlValue(const QString &)>;

// The outer part of a statement over an inline view, read as the database would:
//   select <items> from ( <view> ) ... [group by <expressions>] [order by <expressions> [asc|desc]]
// Expressions: columns, numbers, texts, NULL, + - * / ||, parentheses, CASE WHEN ... THEN
// ... [ELSE ...] END, round, trunc, nvl, abs, to_char (numbers, and times with the
// 'DD/MON/YYYY HH24:MI:SS' masks), to_number, scalar subqueries, and the aggregates
// sum, max, min, avg, count. Conditions: comparisons, [not] in, is [not] null, and, or,
// not. Division by zero raises the database's ORA-01476; a column the view lacks, ORA-00904.
class GroupedSelect {
public:
    // The select list lies in tokens [begin, end); the grouping and ordering in the
    // ranges given (empty ranges: none). Throws DbError, or cannotRead for a form it
    // does not know.
    struct Ranges {
        size_t selectBegin = 0, selectEnd = 0;
        size_t groupBegin = 0, groupEnd = 0;
        size_t orderBegin = 0, orderEnd = 0;
    };
    GroupedSelect(const std::vector<Token> &tokens, const Ranges &ranges, const QStringList &columns,
                  ScalarSubquery subquery);
    ~GroupedSelect();
    GroupedSelect(const GroupedSelect &) = delete;
    GroupedSelect &operator=(const GroupedSelect &) = delete;

    // The items' headings: their aliases, or their text in upper case.
    const QStringList &headings() const { return headings_; }

    // Groups the rows, evaluates the items per group and orders the result.
    Result run(const ViewRows &view) const;

    struct Node;

private:
    std::vector<std::unique_ptr<Node>> items_;
    std::vector<std::unique_ptr<Node>> groupBy_;
    std::vector<std::unique_ptr<Node>> orderBy_;
    std::vector<bool> descending_;
    QStringList headings_;
};

// The ")" that closes the "(" at tokens[open], before `end`; raises ORA-00907 when none does.
size_t closingParenthesis(const std::vector<Token> &tokens, size_t open, size_t end);

// A value as a field's text: numbers as the database writes them, times as
// timestampText, NULL as the empty text.
QString fieldText(const SqlValue &v);

} // namespace tavimond::sim
