// dba_objects: the object browser's list of every object, and any simple query over it.
#include "dictionary_model.h"
#include "dictionary_recognisers.h"

#include "../select_eval.h"

namespace tavimond::sim {
namespace {

// The object list statement: "select object_type,owner,object_name from dba_objects
// where upper(owner) like '..' and upper(object_name) like '..' order by 1,2,3". Its
// two patterns, or nothing for any other statement.
std::optional<std::pair<QString, QString>> objectListPatterns(const Statement &s)
{
    static const QStringList shape = [] {
        QStringList words;
        for (const Token &t : Statement::tokenize(
                 QStringLiteral("select object_type,owner,object_name from dba_objects where upper(owner) like '' "
                                "and upper(object_name) like '' order by 1,2,3")))
            words << (t.kind == Token::String ? QString() : t.text);
        return words;
    }();
    const std::vector<Token> &tokens = s.tokens();
    if (qsizetype(tokens.size()) != shape.size())
        return std::nullopt;
    QStringList patterns;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const QString &want = shape.at(qsizetype(i));
        if (want.isEmpty()) {
            if (tokens[i].kind != Token::String)
                return std::nullopt;
            patterns << tokens[i].value;
        } else if (tokens[i].kind == Token::String || tokens[i].text != want) {
            return std::nullopt;
        }
    }
    return std::make_pair(patterns.at(0), patterns.at(1));
}

Result objectList(const DictionaryModel &dictionary, const QString &ownerPattern, const QString &namePattern)
{
    auto t = std::make_shared<Table>(
        QStringList{QStringLiteral("OBJECT_TYPE"), QStringLiteral("OWNER"), QStringLiteral("OBJECT_NAME")});
    // '' is NULL: LIKE NULL is never true.
    if (ownerPattern.isEmpty() || namePattern.isEmpty())
        return t;
    const bool anyName = namePattern == QLatin1String("%");
    const std::vector<DictionaryModel::ObjectRow> &rows = dictionary.objects();
    t->cells.reserve(qsizetype(rows.size()) * 3);
    // Rows come grouped by owner within a type: match each owner once.
    const QString *lastOwner = nullptr;
    bool ownerMatches = false;
    for (const DictionaryModel::ObjectRow &o : rows) {
        if (!lastOwner || *lastOwner != o.owner) {
            lastOwner = &o.owner;
            ownerMatches = likeMatch(o.owner, ownerPattern, LikeText::Upper);
        }
        if (!ownerMatches || (!anyName && !likeMatch(o.name, namePattern, LikeText::Upper)))
            continue;
        t->cells.append(o.type);
        t->cells.append(o.owner);
        t->cells.append(o.name);
    }
    return t;
}

} // namespace

void registerObjectFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("object list"), [](const Statement &s) { return objectListPatterns(s).has_value(); },
                   [](const Statement &s, Context &ctx) {
                       const auto patterns = objectListPatterns(s);
                       return objectList(ctx.model.state<DictionaryModel>(), patterns->first, patterns->second);
                   }});
    out.push_back(dictionaryViewRecogniser(QStringLiteral("dba_objects")));
}

} // namespace tavimond::sim
