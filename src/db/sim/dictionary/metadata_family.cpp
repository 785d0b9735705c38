// dbms_metadata.get_ddl from dual: an object's DDL as one CLOB.
#include "dictionary_model.h"

#include "../server.h"

namespace tavimond::sim {
namespace {

// "select dbms_metadata.get_ddl('<type>','<name>'[,'<schema>']) from dual": the
// arguments, or nothing for any other statement.
std::optional<QStringList> ddlArguments(const Statement &s)
{
    TokenCursor c(s.tokens());
    for (const char *word : {"select", "dbms_metadata", ".", "get_ddl", "("})
        if (!c.accept(word))
            return std::nullopt;
    QStringList args;
    do {
        const Token *arg = c.take(Token::String);
        if (!arg)
            return std::nullopt;
        args << arg->value;
    } while (c.accept(","));
    for (const char *word : {")", "from", "dual"})
        if (!c.accept(word))
            return std::nullopt;
    if (!c.atEnd() || args.size() < 2 || args.size() > 3)
        return std::nullopt;
    return args;
}

} // namespace

void registerMetadataFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("get_ddl"), [](const Statement &s) { return ddlArguments(s).has_value(); },
                   [](const Statement &s, Context &ctx) {
                       const QStringList args = *ddlArguments(s);
                       // Without a schema the package looks in the caller's own.
                       const QString schema = args.size() > 2 ? args.at(2) : ctx.session.user.toUpper();
                       const QString text = ctx.model.state<DictionaryModel>().ddl(args.at(0), args.at(1), schema);
                       QStringList quoted;
                       for (const QString &a : args)
                           quoted << sim::quoted(a);
                       auto table =
                           std::make_shared<Table>(QStringList{QStringLiteral("DBMS_METADATA.GET_DDL(") +
                                                               quoted.join(QLatin1Char(',')) + QLatin1Char(')')});
                       table->addRow({text});
                       return table;
                   }});
}

} // namespace tavimond::sim
