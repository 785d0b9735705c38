// dba_roles: the roles of the security model.
#include "security_model.h"
#include "security_views.h"

namespace tavimond::sim {

void addRoleViews(std::vector<SecurityView> &out)
{
    out.push_back({QStringLiteral("dba_roles"), [](const Statement &, Context &ctx) {
                       Table t({QStringLiteral("ROLE"), QStringLiteral("PASSWORD_REQUIRED"),
                                QStringLiteral("AUTHENTICATION_TYPE"), QStringLiteral("COMMON"),
                                QStringLiteral("ORACLE_MAINTAINED")});
                       for (const SecurityModel::Role &r : ctx.model.state<SecurityModel>().roles())
                           t.addRow({r.name, QStringLiteral("NO"), QStringLiteral("NONE"), QStringLiteral("NO"),
                                     r.oracleMaintained ? QStringLiteral("Y") : QStringLiteral("N")});
                       return t;
                   }});
}

} // namespace tavimond::sim
