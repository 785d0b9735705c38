// dba_profiles: each profile's kernel and password limits.
#include "security_model.h"
#include "security_views.h"

namespace tavimond::sim {

void addProfileViews(std::vector<SecurityView> &out)
{
    out.push_back({QStringLiteral("dba_profiles"), [](const Statement &, Context &ctx) {
                       Table t({QStringLiteral("PROFILE"), QStringLiteral("RESOURCE_NAME"),
                                QStringLiteral("RESOURCE_TYPE"), QStringLiteral("LIMIT"), QStringLiteral("COMMON")});
                       for (const SecurityModel::ProfileLimit &l : ctx.model.state<SecurityModel>().profileLimits())
                           t.addRow({l.profile, l.resource, l.type, l.limit, QStringLiteral("NO")});
                       return t;
                   }});
}

} // namespace tavimond::sim
