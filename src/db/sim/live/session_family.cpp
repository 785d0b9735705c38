// gv$session, gv$sesstat, gv$statname, gv$sqlarea and gv$session_event (and their v$
// forms): the sessions of both instances, their statistics and waits, the session
// statement that joins the first four, and the statistics of one session.
#include "../select_eval.h"
#include "../server.h"
#include "session_model.h"
#include "sql_catalogue.h"

#include <QHash>
#include <QSet>
#include "../../error.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tavimond::sim {
namespace {

using Range = std::pair<size_t, size_t>;

bool isToken(const Token &t, const char *text)
{
    return t.kind != Token::String && t.text == QLatin1String(text);
}

// The first token equal to `word` outside parentheses in [from, to), or `to`.
size_t findTop(const std::vector<Token> &t, size_t from, size_t to, const char *word)
{
    int depth = 0;
    for (size_t i = from; i < to; ++i) {
        if (isToken(t[i], "("))
            ++depth;
        else if (isToken(t[i], ")"))
            --depth;
        else if (depth == 0 && isToken(t[i], word))
            return i;
    }
    return to;
}

// [from, to) cut at every `separator` outside parentheses.
std::vector<Range> splitTop(const std::vector<Token> &t, size_t from, size_t to, const char *separator)
{
    std::vector<Range> out;
    size_t start = from;
    for (size_t at = findTop(t, from, to, separator); at < to; at = findTop(t, start, to, separator)) {
        out.emplace_back(start, at);
        start = at + 1;
    }
    out.emplace_back(start, to);
    return out;
}

QString text(const std::vector<Token> &t, Range r)
{
    QStringList parts;
    for (size_t i = r.first; i < r.second; ++i)
        parts << (t[i].kind == Token::String ? t[i].text.toLower() : t[i].text);
    return parts.join(QLatin1Char(' '));
}

// Where the from and where clauses of a select begin; nothing when it has not both.
std::optional<std::pair<size_t, size_t>> fromAndWhere(const std::vector<Token> &t)
{
    const size_t n = t.size();
    if (n == 0 || !isToken(t[0], "select"))
        return std::nullopt;
    const size_t from = findTop(t, 1, n, "from");
    const size_t where = findTop(t, from, n, "where");
    if (from == n || where == n)
        return std::nullopt;
    return std::pair{from, where};
}

// Aliases of the views of a from clause, [from, to): view -> alias (the view's own
// name when it has none); nothing when an item is not a view with at most one alias.
std::optional<QHash<QString, QString>> aliasesOf(const std::vector<Token> &t, size_t from, size_t to)
{
    QHash<QString, QString> alias;
    for (const Range &r : splitTop(t, from, to, ",")) {
        if (r.second - r.first < 1 || r.second - r.first > 2)
            return std::nullopt;
        alias.insert(t[r.first].text, t[r.second - 1].text);
    }
    return alias;
}

// A column of a view as the conditions name it: "<alias> . <column>".
QString qualified(const QString &alias, const char *column)
{
    return alias + QStringLiteral(" . ") + QLatin1String(column);
}

// The equality joins of a where clause, either way round; an outer join's mark is
// not told apart.
class Joins {
public:
    // Takes a condition's text; false when it is not one side equal to another.
    bool add(QString condition)
    {
        condition.remove(QStringLiteral(" ( + )"));
        const QStringList sides = condition.split(QStringLiteral(" = "));
        if (sides.size() != 2)
            return false;
        pairs_.insert(key(sides[0], sides[1]));
        return true;
    }
    bool has(const QString &a, const QString &b) const { return pairs_.contains(key(a, b)); }

private:
    static QString key(const QString &a, const QString &b)
    {
        return a < b ? a + QLatin1Char('=') + b : b + QLatin1Char('=') + a;
    }
    QSet<QString> pairs_;
};

// One sum of the select list: sum(case when <statname>.name = '<name>' then
// nvl(<sesstat>.value/<divisor>,0) end) as "<alias>".
struct StatisticSum {
    QString name;
    double divisor = 1;
    QString heading;
};

// The session statement: one row per session of every instance with the sums of a
// few statistics, gv$statname joined on statistic# and, when the statement says so,
// on inst_id; gv$sqlarea outer-joined on the statement's address.
struct SessionResourceStatement {
    std::vector<StatisticSum> sums;
    QSet<QString> named; // statn.name in (...)
    bool excludesOwnSession = false;
    bool statnameByInstance = false;
    bool sqlareaByInstance = false;

    static std::optional<SessionResourceStatement> parse(const Statement &statement);
    Result answer(const SessionModel &model, const SessionInfo &who) const;
};

std::optional<SessionResourceStatement> SessionResourceStatement::parse(const Statement &statement)
{
    const std::vector<Token> &t = statement.tokens();
    const auto clauses = fromAndWhere(t);
    if (!clauses)
        return std::nullopt;
    const auto [from, where] = *clauses;
    const size_t group = findTop(t, where, t.size(), "group");
    if (group == t.size())
        return std::nullopt;

    // Aliases of the four views.
    const auto aliases = aliasesOf(t, from + 1, where);
    if (!aliases)
        return std::nullopt;
    const QHash<QString, QString> &alias = *aliases;
    const QString sess = alias.value(QStringLiteral("gv$session"));
    const QString sql = alias.value(QStringLiteral("gv$sesstat"));
    const QString statn = alias.value(QStringLiteral("gv$statname"));
    const QString vsa = alias.value(QStringLiteral("gv$sqlarea"));
    if (alias.size() != 4 || sess.isEmpty() || sql.isEmpty() || statn.isEmpty() || vsa.isEmpty())
        return std::nullopt;

    SessionResourceStatement s;
    const QStringList plain{qualified(sess, "inst_id"),
                            qualified(sess, "sid"),
                            qualified(sess, "serial#"),
                            qualified(sess, "sql_id") + QStringLiteral(" || '::' || ") +
                                qualified(vsa, "plan_hash_value"),
                            qualified(sess, "status"),
                            qualified(sess, "username"),
                            qualified(sess, "type"),
                            qualified(sess, "program")};
    const std::vector<Range> items = splitTop(t, 1, from, ",");
    if (items.size() <= size_t(plain.size()))
        return std::nullopt;
    for (size_t k = 0; k < items.size(); ++k) {
        const Range r = items[k];
        if (k < size_t(plain.size())) {
            if (text(t, r) != plain.at(qsizetype(k)))
                return std::nullopt;
            continue;
        }
        if (r.second - r.first < 4 || !isToken(t[r.first], "sum") || !isToken(t[r.first + 2], "case"))
            return std::nullopt;
        StatisticSum sum;
        for (size_t i = r.first; i + 2 < r.second; ++i) {
            if (isToken(t[i], "name") && isToken(t[i + 1], "=") && t[i + 2].kind == Token::String)
                sum.name = t[i + 2].value;
            if (isToken(t[i], "/") && t[i + 1].kind == Token::Number)
                sum.divisor = t[i + 1].value.toDouble();
        }
        const Token &last = t[r.second - 1];
        sum.heading = last.kind == Token::QuotedName ? last.value
                      : last.kind == Token::Word     ? last.value.toUpper()
                                                     : text(t, r).toUpper();
        if (sum.name.isEmpty() || sum.divisor == 0)
            return std::nullopt;
        s.sums.push_back(sum);
    }

    // The conditions: joins, the statistic names and the own session's exclusion.
    Joins joins;
    for (const Range &r : splitTop(t, where + 1, group, "and")) {
        const QString c = text(t, r);
        if (c == qualified(sess, "audsid") + QStringLiteral(" <> userenv ( 'sessionid' )")) {
            s.excludesOwnSession = true;
            continue;
        }
        if (c.startsWith(qualified(statn, "name") + QStringLiteral(" in ("))) {
            for (size_t i = r.first; i < r.second; ++i)
                if (t[i].kind == Token::String)
                    s.named.insert(t[i].value);
            continue;
        }
        if (!joins.add(c))
            return std::nullopt;
    }
    const auto joined = [&](const QString &a, const QString &b) { return joins.has(a, b); };
    if (!joined(qualified(sess, "inst_id"), qualified(sql, "inst_id")) ||
        !joined(qualified(sess, "sid"), qualified(sql, "sid")) ||
        !joined(qualified(sql, "statistic#"), qualified(statn, "statistic#")) ||
        !joined(qualified(sess, "sql_address"), qualified(vsa, "address")))
        return std::nullopt;
    s.statnameByInstance = joined(qualified(statn, "inst_id"), qualified(sql, "inst_id")) ||
                           joined(qualified(statn, "inst_id"), qualified(sess, "inst_id"));
    s.sqlareaByInstance = joined(qualified(sess, "inst_id"), qualified(vsa, "inst_id"));
    return s;
}

Result SessionResourceStatement::answer(const SessionModel &model, const SessionInfo &who) const
{
    QStringList headings{QStringLiteral("INST_ID"), QStringLiteral("SID"),
                         QStringLiteral("SERIAL#"), QStringLiteral("SESS.SQL_ID||'::'||VSA.PLAN_HASH_VALUE"),
                         QStringLiteral("STATUS"),  QStringLiteral("USERNAME"),
                         QStringLiteral("TYPE"),    QStringLiteral("PROGRAM")};
    for (const StatisticSum &sum : sums)
        headings << sum.heading;
    auto out = std::make_shared<Table>(headings);
    const std::vector<StatisticName> &names = SessionModel::statisticNames();

    for (const SessionRow &s : model.sessions(&who)) {
        if (excludesOwnSession && s.audsid == who.audsid)
            continue;
        // The outer join: every shared-pool row at the session's statement address,
        // or one row of NULLs. Rows with equal plans fall into one group.
        std::map<QString, int> plans;
        const QString address = SessionModel::sqlAddress(s);
        for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
            if (sqlareaByInstance && inst != s.instance)
                continue;
            for (const CatalogueStatement &c : sqlCatalogue())
                if (c.cachedOnInstance(inst) && c.address == address)
                    ++plans[QString::number(c.planHashValue)];
        }
        if (plans.empty())
            plans[QString()] = 1;
        // Each of the session's statistics meets one gv$statname row per instance
        // unless the join names the instance.
        const int statnameRows = statnameByInstance ? 1 : LiveModel::kInstances;
        std::vector<std::optional<double>> totals(sums.size());
        bool joinedAny = false;
        for (size_t k = 0; k < names.size(); ++k) {
            const auto value = model.statistic(s, k);
            if (!value || !named.contains(names[k].name))
                continue;
            joinedAny = true;
            for (size_t j = 0; j < sums.size(); ++j)
                if (sums[j].name == names[k].name)
                    totals[j] = totals[j].value_or(0) + statnameRows * (*value / sums[j].divisor);
        }
        if (!joinedAny)
            continue;
        for (const auto &[plan, rows] : plans) {
            QStringList row{QString::number(s.instance),
                            QString::number(s.sid),
                            QString::number(s.serial),
                            s.sqlId + QStringLiteral("::") + plan,
                            s.status,
                            s.username,
                            s.type,
                            s.program};
            for (const auto &total : totals)
                row << (total ? oracleNumber(*total * rows) : QString());
            out->addRow(row);
        }
    }
    return out;
}

// The statistics of one session, named: select <statname>.name,
// nvl(<sesstat>.value/<divisor>,0) from the session, sesstat and statname views, the
// session chosen by instance and sid, gv$statname joined on statistic# and, when the
// statement says so, on inst_id.
struct SessionStatisticsStatement {
    Token instance;
    Token sid;
    QString divisor;
    bool statnameByInstance = false;

    static std::optional<SessionStatisticsStatement> parse(const Statement &statement);
    Result answer(const SessionModel &model, const SessionInfo &who) const;
};

std::optional<SessionStatisticsStatement> SessionStatisticsStatement::parse(const Statement &statement)
{
    const std::vector<Token> &t = statement.tokens();
    const auto clauses = fromAndWhere(t);
    if (!clauses)
        return std::nullopt;
    const auto [from, where] = *clauses;
    const auto aliases = aliasesOf(t, from + 1, where);
    if (!aliases)
        return std::nullopt;
    const QString sess = aliases->value(QStringLiteral("gv$session"));
    const QString sql = aliases->value(QStringLiteral("gv$sesstat"));
    const QString statn = aliases->value(QStringLiteral("gv$statname"));
    if (aliases->size() != 3 || sess.isEmpty() || sql.isEmpty() || statn.isEmpty())
        return std::nullopt;

    const std::vector<Range> items = splitTop(t, 1, from, ",");
    if (items.size() != 2 || text(t, items[0]) != statn + QStringLiteral(" . name"))
        return std::nullopt;
    const Range value = items[1];
    if (value.second - value.first != 10 || t[value.first + 6].kind != Token::Number ||
        text(t, value) != QStringLiteral("nvl ( %1 . value / %2 , 0 )").arg(sql, t[value.first + 6].text))
        return std::nullopt;

    SessionStatisticsStatement s;
    s.divisor = t[value.first + 6].text;
    Joins joins;
    bool hasInstance = false, hasSid = false;
    for (const Range &r : splitTop(t, where + 1, t.size(), "and")) {
        const bool literal = r.second - r.first == 5 && isToken(t[r.first + 3], "=") &&
                             (t[r.first + 4].kind == Token::String || t[r.first + 4].kind == Token::Number);
        if (literal && text(t, {r.first, r.first + 3}) == qualified(sess, "inst_id")) {
            s.instance = t[r.first + 4];
            hasInstance = true;
            continue;
        }
        if (literal && text(t, {r.first, r.first + 3}) == qualified(sess, "sid")) {
            s.sid = t[r.first + 4];
            hasSid = true;
            continue;
        }
        if (!joins.add(text(t, r)))
            return std::nullopt;
    }
    const auto joined = [&](const QString &a, const QString &b) { return joins.has(a, b); };
    if (!hasInstance || !hasSid || !joined(qualified(sess, "inst_id"), qualified(sql, "inst_id")) ||
        !joined(qualified(sess, "sid"), qualified(sql, "sid")) ||
        !joined(qualified(sql, "statistic#"), qualified(statn, "statistic#")))
        return std::nullopt;
    s.statnameByInstance = joined(qualified(statn, "inst_id"), qualified(sql, "inst_id")) ||
                           joined(qualified(statn, "inst_id"), qualified(sess, "inst_id"));
    return s;
}

// A number compared with a column of numbers; a quoted one is converted as the
// database does, and text that is no number fails the statement.
qint64 numberOf(const Token &token)
{
    bool ok = false;
    const double d = token.value.trimmed().toDouble(&ok);
    if (!ok)
        throw DbError(QStringLiteral("ORA-01722: invalid number"));
    return d == std::trunc(d) ? qint64(d) : -1;
}

Result SessionStatisticsStatement::answer(const SessionModel &model, const SessionInfo &who) const
{
    auto out = std::make_shared<Table>(
        QStringList{QStringLiteral("NAME"), QStringLiteral("NVL(SQL.VALUE/%1,0)").arg(divisor)});
    const qint64 inst = numberOf(instance);
    const qint64 session = numberOf(sid);
    const double by = divisor.toDouble();
    const std::vector<StatisticName> &names = SessionModel::statisticNames();
    for (const SessionRow &s : model.sessions(&who)) {
        if (s.instance != inst || s.sid != session)
            continue;
        // Unless the join names the instance, each statistic meets one gv$statname row
        // per instance.
        const int statnameRows = statnameByInstance ? 1 : LiveModel::kInstances;
        for (size_t k = 0; k < names.size(); ++k) {
            const auto value = model.statistic(s, k);
            if (!value)
                continue;
            for (int i = 0; i < statnameRows; ++i)
                out->addRow({names[k].name, oracleNumber(*value / by)});
        }
    }
    return out;
}

// A single view of the family, answered from its rows.
template <typename Rows>
Recogniser view(const QString &name, Rows rows)
{
    return {name, [name](const Statement &s) { return simpleSelectView(s) == name; },
            [name, rows](const Statement &s, Context &ctx) {
                const SessionModel &model = ctx.model.state<SessionModel>();
                return *evaluateSimpleSelect(s, name, [&] { return rows(model, ctx.session); });
            }};
}

} // namespace

void registerSessionFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("session resource"),
                   [](const Statement &s) {
                       return s.hasAll({"gv$session", "gv$sesstat", "gv$statname", "gv$sqlarea"}) &&
                              SessionResourceStatement::parse(s).has_value();
                   },
                   [](const Statement &s, Context &ctx) {
                       return SessionResourceStatement::parse(s)->answer(ctx.model.state<SessionModel>(), ctx.session);
                   }});
    out.push_back({QStringLiteral("session statistics"),
                   [](const Statement &s) {
                       return s.hasAll({"gv$session", "gv$sesstat", "gv$statname"}) &&
                              SessionStatisticsStatement::parse(s).has_value();
                   },
                   [](const Statement &s, Context &ctx) {
                       return SessionStatisticsStatement::parse(s)->answer(ctx.model.state<SessionModel>(),
                                                                           ctx.session);
                   }});
    for (const bool global : {true, false}) {
        const QString prefix = global ? QStringLiteral("gv$") : QStringLiteral("v$");
        out.push_back(view(prefix + QStringLiteral("session"), [global](const SessionModel &m, const SessionInfo &who) {
            return m.sessionView(global, who.instance, who);
        }));
        out.push_back(view(prefix + QStringLiteral("sesstat"), [global](const SessionModel &m, const SessionInfo &who) {
            return m.sesstatView(global, who.instance, who);
        }));
        out.push_back(
            view(prefix + QStringLiteral("statname"), [global](const SessionModel &m, const SessionInfo &who) {
                return m.statnameView(global, who.instance);
            }));
        out.push_back(view(prefix + QStringLiteral("sqlarea"), [global](const SessionModel &m, const SessionInfo &who) {
            return m.sqlareaView(global, who.instance);
        }));
        out.push_back(
            view(prefix + QStringLiteral("session_event"), [global](const SessionModel &m, const SessionInfo &who) {
                return m.sessionEventView(global, who.instance, who);
            }));
    }
}

} // namespace tavimond::sim
