// The tables and indexes of the dictionary with their partitions and subpartitions, as
// one union of dba_tables, dba_tab_partitions, dba_tab_subpartitions, dba_indexes,
// dba_ind_partitions and dba_ind_subpartitions filtered by owner and name patterns
// (the segment tree's list).
#include "storage_layout.h"

#include "../select_eval.h"
#include "../server.h"
#include "../repository/repository.h"

#include <algorithm>
#include <array>

namespace tavimond::sim {
namespace {

// One branch of the union: its level code, the view and the columns its patterns test,
// and the object type of the dictionary entries it lists.
struct Branch {
    const char *code;
    const char *view;
    const char *ownerColumn;
    const char *nameColumn;
    const char *objectType;
    const char *kind;
};

const Branch kBranches[] = {
    {"1", "dba_tables dt", "dt.owner", "dt.table_name", "TABLE", "TABLE"},
    {"2", "dba_tab_partitions dtp", "dtp.table_owner", "dtp.table_name", "TABLE PARTITION", "TABLE"},
    {"3", "dba_tab_subpartitions dtp", "dtp.table_owner", "dtp.table_name", "TABLE SUBPARTITION", "TABLE"},
    {"4", "dba_indexes dt", "dt.owner", "dt.index_name", "INDEX", "INDEX"},
    {"5", "dba_ind_partitions dtp", "dtp.index_owner", "dtp.index_name", "INDEX PARTITION", "INDEX"},
    {"6", "dba_ind_subpartitions dtp", "dtp.index_owner", "dtp.index_name", "INDEX SUBPARTITION", "INDEX"},
};

// The two patterns of a branch: "from <view> where upper(<owner>) like '<p>' and
// upper(<name>) like '<q>'".
std::pair<QString, QString> readPatterns(const Statement &s, const Branch &b)
{
    const std::vector<Token> &t = s.tokens();
    const int owner = s.after(QStringLiteral("from %1 where upper(%2) like").arg(QLatin1String(b.view),
                                                                                  QLatin1String(b.ownerColumn)));
    if (owner < 0 || owner >= int(t.size()) || t[size_t(owner)].kind != Token::String)
        cannotRead(QStringLiteral("the patterns of ") + QLatin1String(b.view));
    const int name = s.after(QStringLiteral("and upper(%1) like").arg(QLatin1String(b.nameColumn)), owner + 1);
    if (name != owner + 9 || name >= int(t.size()) || t[size_t(name)].kind != Token::String)
        cannotRead(QStringLiteral("the patterns of ") + QLatin1String(b.view));
    return {t[size_t(owner)].value, t[size_t(name)].value};
}

// LIKE on the upper-cased name; '' is NULL, which is like nothing.
bool like(const QString &text, const QString &pattern)
{
    return !pattern.isEmpty() && likeMatch(text.toUpper(), pattern);
}

Result segmentList(const Statement &s, Context &ctx)
{
    if (!s.has(QStringLiteral("order by 6,2,3,4,5")))
        cannotRead(QStringLiteral("the ordering"));
    const StorageLayout &layout = ctx.model.state<StorageLayout>();
    using Row = std::array<QString, 6>;
    std::vector<Row> rows;
    const QString blank = QStringLiteral(" ");
    for (const Branch &b : kBranches) {
        const auto [ownerPattern, namePattern] = readPatterns(s, b);
        for (const StorageLayout::DbObject &o : layout.objects()) {
            if (o.type != QLatin1String(b.objectType) || !like(o.owner, ownerPattern) || !like(o.name, namePattern))
                continue;
            Row r{QString::fromLatin1(b.code), o.owner, o.name, blank, blank, QString::fromLatin1(b.kind)};
            if (o.type.endsWith(QLatin1String(" SUBPARTITION"))) {
                r[3] = o.partitionOfSub;
                r[4] = o.subobject;
            } else if (o.type.endsWith(QLatin1String(" PARTITION"))) {
                r[3] = o.subobject;
            }
            rows.push_back(std::move(r));
        }
    }
    // Kind, owner, name, partition, subpartition, compared as their bytes are.
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        for (const int c : {5, 1, 2, 3, 4})
            if (const int d = QString::compare(a[size_t(c)], b[size_t(c)], Qt::CaseSensitive))
                return d < 0;
        return false;
    });
    auto table = std::make_shared<Table>(QStringList{QStringLiteral("'1'"), QStringLiteral("OWNER"),
                                                     QStringLiteral("TABLE_NAME"), QStringLiteral("PARTITION_NAME"),
                                                     QStringLiteral("SUBPARTITION_NAME"), QStringLiteral("'TABLE'")});
    table->cells.reserve(qsizetype(rows.size()) * 6);
    for (const Row &r : rows)
        for (const QString &cell : r)
            table->cells.append(cell);
    return table;
}

} // namespace

void registerSegmentListFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("tables, indexes, partitions and subpartitions by pattern"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("union all")) && s.has(QStringLiteral("dba_tab_subpartitions dtp")) &&
                              s.has(QStringLiteral("dba_ind_subpartitions dtp"));
                   },
                   segmentList});
}

} // namespace tavimond::sim
