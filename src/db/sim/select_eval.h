#pragma once

#include "statement.h"
#include "table.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace tavimond::sim {

// Answers a simple query over one view from the view's rows, the way the database would:
//   select <expressions> from <view> [alias] [where <condition>]
//   [group by <expressions>] [order by <positions|aliases|expressions> [asc|desc]]
// Expressions: columns, literals, NULL, ||, + - * /, parentheses, upper, lower, nvl,
// round, trunc, to_char, substr, decode, and the aggregates sum, count, min, max, avg;
// interval literals of days to seconds, and a date plus or minus an interval or days.
// Conditions: comparisons, [not] like, [not] in, [not] between, is [not] null, and, or,
// not, rownum. This lets a user's edit of a monitoring script get a true answer.
// Returns nothing when the statement is not of that form or names another view; a
// column the view does not have raises ORA-00904; what it cannot compute (a date in
// text, an interval times a number) raises ORA-00942, as a statement it does not know.
std::optional<Result> evaluateSimpleSelect(const Statement &statement, const QString &view, const Table &rows);

// What sysdate and user read. Without them they name columns of the view, which no
// view but dual's answer needs.
struct SessionValues {
    QDateTime sysdate;
    QString user;
};

// With InlineViews::Read, a query of that form over an inline view of one is simple too:
// from (select ... from <view>) [alias]. Without it, it is left to the families: only
// dual's answer reads inline views.
enum class InlineViews { Skip, Read };

// The same, for views whose rows are costly to build: rows() is called only when the
// statement is a simple query over the view.
std::optional<Result> evaluateSimpleSelect(const Statement &statement, const QString &view,
                                           const std::function<Table()> &rows, const SessionValues *session = nullptr,
                                           InlineViews inlineViews = InlineViews::Skip);

// The view a simple query reads ("from <view>"), lower-cased; empty when there is none.
QString simpleSelectView(const Statement &statement, InlineViews inlineViews = InlineViews::Skip);

// Oracle's LIKE: '%' any run of characters, '_' one character, case-sensitive; with
// LikeText::Upper, upper(text) LIKE pattern. Matched without regular expressions, in
// time proportional to the text times the pattern at worst, however long the pattern.
enum class LikeText { AsIs, Upper };
bool likeMatch(QStringView text, QStringView pattern, LikeText how = LikeText::AsIs);

// A number as the database writes it: no exponent for ordinary values, no trailing zeros.
QString oracleNumber(double value);

} // namespace tavimond::sim
