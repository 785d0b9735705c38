// dba_users: every account of the security model.
#include "security_model.h"
#include "security_views.h"

namespace tavimond::sim {

void addUserViews(std::vector<SecurityView> &out)
{
    out.push_back({QStringLiteral("dba_users"), [](const Statement &, Context &ctx) {
                       Table t({QStringLiteral("USERNAME"), QStringLiteral("USER_ID"), QStringLiteral("PASSWORD"),
                                QStringLiteral("ACCOUNT_STATUS"), QStringLiteral("LOCK_DATE"),
                                QStringLiteral("EXPIRY_DATE"), QStringLiteral("DEFAULT_TABLESPACE"),
                                QStringLiteral("TEMPORARY_TABLESPACE"), QStringLiteral("CREATED"),
                                QStringLiteral("PROFILE"), QStringLiteral("AUTHENTICATION_TYPE"),
                                QStringLiteral("ORACLE_MAINTAINED")});
                       for (const SecurityModel::User &u : ctx.model.state<SecurityModel>().users())
                           t.addRow({u.name, QString::number(u.id), QString(), u.status, u.lockDate, u.expiryDate,
                                     u.defaultTablespace, u.temporaryTablespace, u.created, u.profile,
                                     QStringLiteral("PASSWORD"),
                                     u.oracleMaintained ? QStringLiteral("Y") : QStringLiteral("N")});
                       return t;
                   }});
}

} // namespace tavimond::sim
