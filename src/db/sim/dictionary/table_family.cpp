// The table views of the dictionary: dba_tables and dba_part_tables, columns,
// histograms, modifications, partitions and subpartitions, constraints and their
// columns; their joins, and the constraint list with its columns gathered per
// constraint by a hierarchical query.
#include "dictionary_model.h"
#include "dictionary_recognisers.h"

#include "../../error.h"

#include <algorithm>

namespace tavimond::sim {
namespace {

// "[upper(]column[)] = 'literal'" at token i: the literal, and whether upper() applies.
struct Filter {
    QString literal;
    bool upper = false;
    bool matches(const QString &value) const
    {
        return !literal.isEmpty() && (upper ? value.toUpper() : value) == literal;
    }
};

std::optional<Filter> filterAt(TokenCursor &c, const char *column)
{
    Filter f;
    if (c.is("upper") && c.is("(", 1) && c.is(column, 2) && c.is(")", 3)) {
        f.upper = true;
        c.reset(c.pos() + 4);
    } else if (!c.accept(column)) {
        return std::nullopt;
    }
    const Token *literal = c.accept("=") ? c.take(Token::String) : nullptr;
    if (!literal)
        return std::nullopt;
    f.literal = literal->value;
    return f;
}

// The owner and table conditions after "<phrase> where".
std::optional<std::pair<Filter, Filter>> ownerAndTable(const Statement &s, const QString &phrase)
{
    const int at = s.after(phrase + QStringLiteral(" where"));
    if (at < 0)
        return std::nullopt;
    TokenCursor c(s.tokens(), size_t(at));
    const auto owner = filterAt(c, "owner");
    if (!owner || !c.accept("and"))
        return std::nullopt;
    const auto table = filterAt(c, "table_name");
    if (!table)
        return std::nullopt;
    return std::make_pair(*owner, *table);
}

bool isConstraintList(const Statement &s)
{
    return s.hasAll({"from dba_constraints where", "dba_cons_columns where", "sys_connect_by_path",
                     "start with seq = 1", "connect by prior seq + 1 = seq",
                     "cb . constraint_name = cc . constraint_name"});
}

// A table's constraints that have columns, in constraint-name order, each with its
// columns in alphabetical order joined by ",".
Result constraintList(const Statement &s, const DictionaryModel &dictionary)
{
    const auto cb = ownerAndTable(s, QStringLiteral("from dba_constraints"));
    const auto cc = ownerAndTable(s, QStringLiteral("dba_cons_columns"));
    if (!cb || !cc)
        throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
    struct Row {
        QString name, type, status, search, deferrable, deferred;
    };
    std::vector<Row> constraints;
    QHash<QString, QStringList> columns;
    for (const auto &t : dictionary.tables()) {
        for (const auto &c : t.constraints) {
            if (cb->first.matches(t.owner) && cb->second.matches(t.name))
                constraints.push_back({c.name, c.type, c.status, c.searchCondition, c.deferrable, c.deferred});
            if (cc->first.matches(t.owner) && cc->second.matches(t.name))
                columns[c.name] += c.columns;
        }
    }
    std::stable_sort(constraints.begin(), constraints.end(), [](const Row &a, const Row &b) {
        const int c = QString::compare(a.name, b.name, Qt::CaseSensitive);
        return c != 0 ? c < 0 : QString::compare(a.type, b.type, Qt::CaseSensitive) < 0;
    });
    auto out = std::make_shared<Table>(QStringList{QStringLiteral("CONSTRAINT_NAME"), QStringLiteral("CONSTRAINT_TYPE"),
                                                   QStringLiteral("STATUS"), QStringLiteral("SEARCH_CONDITION"),
                                                   QStringLiteral("DEFERRABLE"), QStringLiteral("DEFERRED"),
                                                   QStringLiteral("COL_LIST")});
    for (const Row &r : constraints) {
        QStringList names = columns.value(r.name);
        if (names.isEmpty())
            continue;
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseSensitive) < 0; });
        out->addRow({r.name, r.type, r.status, r.search, r.deferrable, r.deferred, names.join(QLatin1Char(','))});
    }
    return out;
}

} // namespace

void registerTableFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("constraint list"), isConstraintList, [](const Statement &s, Context &ctx) {
                       return constraintList(s, ctx.model.state<DictionaryModel>());
                   }});
    out.push_back(dictionaryJoinRecogniser(
        QStringLiteral("table joins"),
        {QStringLiteral("dba_tables"), QStringLiteral("dba_tab_partitions"), QStringLiteral("dba_tab_subpartitions")}));
    for (const char *view :
         {"dba_tables", "dba_part_tables", "dba_tab_columns", "dba_tab_histograms", "dba_tab_modifications",
          "dba_tab_partitions", "dba_tab_subpartitions", "dba_constraints", "dba_cons_columns"})
        out.push_back(dictionaryViewRecogniser(QString::fromLatin1(view)));
}

} // namespace tavimond::sim
