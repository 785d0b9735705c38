// gv$sqltext_with_newlines (alone, or joined with gv$session to a session's current
// statement) and dbms_xplan.display_cursor: statement texts and plans of the catalogue.
#include "../../error.h"
#include "../select_eval.h"
#include "../server.h"
#include "session_model.h"
#include "sql_catalogue.h"

namespace tavimond::sim {
namespace {

// The stored pieces of every statement in the shared pools: INST_ID, ADDRESS,
// HASH_VALUE, SQL_ID, COMMAND_TYPE, PIECE, SQL_TEXT, CON_ID.
Table textRows(bool withInstance, int onlyInstance)
{
    QStringList columns{QStringLiteral("ADDRESS"),      QStringLiteral("HASH_VALUE"), QStringLiteral("SQL_ID"),
                        QStringLiteral("COMMAND_TYPE"), QStringLiteral("PIECE"),      QStringLiteral("SQL_TEXT"),
                        QStringLiteral("CON_ID")};
    if (withInstance)
        columns.prepend(QStringLiteral("INST_ID"));
    Table t(columns);
    for (int inst = 1; inst <= 2; ++inst) {
        if (onlyInstance && inst != onlyInstance)
            continue;
        for (const CatalogueStatement &s : sqlCatalogue()) {
            if (!s.cachedOnInstance(inst))
                continue;
            const QStringList pieces = sqlTextPieces(s.text);
            for (int p = 0; p < pieces.size(); ++p) {
                QStringList row{s.address,
                                QString::number(s.hashValue),
                                s.sqlId,
                                QString::number(s.commandType),
                                QString::number(p),
                                pieces.at(p),
                                QStringLiteral("0")};
                if (withInstance)
                    row.prepend(QString::number(inst));
                t.addRow(row);
            }
        }
    }
    return t;
}

// The number compared with a column in the join's condition, read as Oracle would:
// a word there is an unknown column, nothing there a missing expression.
qint64 numberAfter(const Statement &s, const QString &phrase)
{
    const auto token = s.tokenAfter(phrase);
    if (token && token->kind == Token::Number)
        return s.integerAfter(phrase).value_or(0);
    if (token && token->kind == Token::Word)
        throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(token->value.toUpper()));
    throw DbError(QStringLiteral("ORA-00936: missing expression"));
}

// The pieces of the statement a session runs now, when it is the statement named.
Result sessionStatementText(const Statement &s, Context &ctx)
{
    const qint64 sid = numberAfter(s, QStringLiteral("s.sid ="));
    const qint64 instance = numberAfter(s, QStringLiteral("s.inst_id ="));
    const auto sqlId = s.stringAfter(QStringLiteral("s.sql_id ="));
    if (!sqlId)
        throw DbError(QStringLiteral("ORA-00936: missing expression"));
    auto t = std::make_shared<Table>(QStringList{QStringLiteral("SQL_TEXT")});
    for (const SessionRow &session : ctx.model.state<SessionModel>().sessions(&ctx.session)) {
        if (session.instance != instance || session.sid != sid || session.sqlId != *sqlId)
            continue;
        const CatalogueStatement *statement = findStatement(session.sqlId);
        if (statement && statement->cachedOnInstance(session.instance))
            for (const QString &piece : sqlTextPieces(statement->text))
                t->addRow({piece});
    }
    return t;
}

// The plan of child 0 of a cursor in the shared pool of the instance connected to.
Result displayCursor(const Statement &s, Context &ctx)
{
    const QString sqlId = s.stringAfter(QStringLiteral("display_cursor (")).value_or(QString());
    const CatalogueStatement *statement = findStatement(sqlId);
    const QStringList lines = statement && statement->cachedOnInstance(ctx.session.instance)
                                  ? displayCursorLines(*statement)
                                  : cursorNotFoundLines(sqlId);
    auto t = std::make_shared<Table>(QStringList{QStringLiteral("PLAN_TABLE_OUTPUT")});
    for (const QString &line : lines)
        t->addRow({line});
    return t;
}

} // namespace

void registerSqlTextFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("session's statement text"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("gv$sqltext_with_newlines")) && s.has(QStringLiteral("gv$session"));
                   },
                   sessionStatementText});
    for (const bool global : {true, false}) {
        const QString view =
            global ? QStringLiteral("gv$sqltext_with_newlines") : QStringLiteral("v$sqltext_with_newlines");
        out.push_back({view, [view](const Statement &s) { return simpleSelectView(s) == view; },
                       [view, global](const Statement &s, Context &ctx) {
                           return *evaluateSimpleSelect(
                               s, view, [&] { return textRows(global, global ? 0 : ctx.session.instance); });
                       }});
    }
    out.push_back({QStringLiteral("dbms_xplan.display_cursor"),
                   [](const Statement &s) { return s.has(QStringLiteral("dbms_xplan.display_cursor")); },
                   displayCursor});
}

} // namespace tavimond::sim
