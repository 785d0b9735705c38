// The statements' texts the repository stored (dba_hist_sqltext) and their plans as the
// plan display function prints them (dbms_xplan.display_awr).
#include "awr_plans.h"
#include "repository.h"
#include "sql_workload.h"

#include "../server.h"

#include "../../error.h"

namespace tavimond::sim {
namespace {

Table sqlTextRows(Context &ctx)
{
    Table t({QStringLiteral("DBID"), QStringLiteral("SQL_ID"), QStringLiteral("SQL_TEXT"),
             QStringLiteral("COMMAND_TYPE"), QStringLiteral("CON_DBID")});
    for (const SqlWorkload::Sql &s : ctx.model.state<SqlWorkload>().statements()) {
        const QString verb = s.text.section(QLatin1Char(' '), 0, 0).toUpper();
        const int command = verb == QLatin1String("INSERT")   ? 2
                            : verb == QLatin1String("UPDATE") ? 6
                            : verb == QLatin1String("DELETE") ? 7
                                                              : 3;
        t.addRow({QString::number(Repository::kDbid), s.sqlId, s.text, QString::number(command),
                  QString::number(Repository::kDbid)});
    }
    return t;
}

// One argument of the function: a text, a number or null (nullopt).
std::optional<QString> argument(const Token &t)
{
    if (t.kind == Token::String || t.kind == Token::Number)
        return t.value;
    if (t.text == QLatin1String("null"))
        return std::nullopt;
    throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(t.value.toUpper()));
}

// A number argument: the empty text is null; other text must read as a whole number.
std::optional<qint64> numberArgument(const std::optional<QString> &text)
{
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 v = text->trimmed().toLongLong(&ok);
    if (!ok)
        throw DbError(QStringLiteral("ORA-01722: invalid number"));
    return v;
}

Result displayAwr(const Statement &s, Context &ctx)
{
    if (s.sql().count(QLatin1Char('\'')) % 2 != 0)
        throw DbError(QStringLiteral("ORA-01756: quoted string not properly terminated"));
    const std::vector<Token> &t = s.tokens();
    const int at = s.after(QStringLiteral("table ( dbms_xplan . display_awr ("));
    std::vector<std::optional<QString>> args;
    size_t i = size_t(at);
    while (i < t.size() && t[i].text != QLatin1String(")")) {
        args.push_back(argument(t[i]));
        ++i;
        if (i < t.size() && t[i].text == QLatin1String(","))
            ++i;
    }
    if (i + 1 >= t.size() || t[i + 1].text != QLatin1String(")") || args.empty() || args.size() > 4)
        cannotRead(QStringLiteral("the plan display function's arguments"));
    args.resize(4);
    const std::optional<qint64> plan = numberArgument(args[1]);
    const std::optional<qint64> dbid = numberArgument(args[2]);

    auto table = std::make_shared<Table>(QStringList{QStringLiteral("PLAN_TABLE_OUTPUT")});
    const SqlWorkload::Sql *sql = args[0] ? ctx.model.state<SqlWorkload>().find(*args[0]) : nullptr;
    if (!sql || (dbid && *dbid != Repository::kDbid))
        return table;
    // No plan hash value: every plan the repository holds for the statement.
    for (const qint64 p : sql->plans)
        if (!plan || *plan == p)
            for (const QString &line : displayAwrLines(*sql, p))
                table->addRow({line});
    return table;
}

} // namespace

void registerSqlTextPlanFamily(std::vector<Recogniser> &out)
{
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_hist_sqltext"), sqlTextRows));
    out.push_back({QStringLiteral("dbms_xplan.display_awr"),
                   [](const Statement &s) { return s.has(QStringLiteral("table ( dbms_xplan . display_awr (")); },
                   displayAwr});
}

} // namespace tavimond::sim
