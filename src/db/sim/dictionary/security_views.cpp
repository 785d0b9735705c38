// The security views answer simple queries over one view, and unions of such queries
// over any of them (the security browser's list and grants statements).
#include "security_views.h"

#include "../select_eval.h"
#include "../union_eval.h"

#include <QHash>

namespace tavimond::sim {

void registerSecurityFamilies(std::vector<Recogniser> &out)
{
    std::vector<SecurityView> views;
    addUserViews(views);
    addRoleViews(views);
    addProfileViews(views);
    addQuotaViews(views);
    addPrivilegeViews(views);

    auto byName = std::make_shared<QHash<QString, SecurityView>>();
    for (const SecurityView &v : views) {
        byName->insert(v.name, v);
        out.push_back({v.name, [name = v.name](const Statement &s) { return simpleSelectView(s) == name; },
                       [v](const Statement &s, Context &ctx) {
                           return *evaluateSimpleSelect(s, v.name, [&] { return v.rows(s, ctx); });
                       }});
    }
    out.push_back({QStringLiteral("union of security views"),
                   [byName](const Statement &s) {
                       if (!s.has(QStringLiteral("union")))
                           return false;
                       const auto read = unionBranchViews(s);
                       return read && std::all_of(read->begin(), read->end(),
                                                  [&](const QString &v) { return byName->contains(v); });
                   },
                   [byName](const Statement &s, Context &ctx) {
                       return *evaluateUnion(s, [&](const QString &view, const Statement &branch) -> std::optional<Table> {
                           const auto it = byName->constFind(view);
                           if (it == byName->constEnd())
                               return std::nullopt;
                           return it->rows(branch, ctx);
                       });
                   }});
}

} // namespace tavimond::sim
