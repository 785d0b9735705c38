// dba_role_privs, dba_sys_privs, dba_tab_privs and dba_col_privs: the grants of the
// security model. A query for one grantee reads only that grantee's grants.
#include "security_model.h"
#include "security_views.h"

#include <optional>

namespace tavimond::sim {
namespace {

// The grantee of a query whose only condition is "grantee = '<name>'"; otherwise nothing,
// and every grant is read.
std::optional<QString> onlyGrantee(const Statement &s)
{
    const std::vector<Token> &t = s.tokens();
    const int i = s.after(QStringLiteral("where"));
    if (i < 0 || size_t(i) + 3 > t.size() || t[size_t(i)].text != QLatin1String("grantee") ||
        t[size_t(i) + 1].text != QLatin1String("=") || t[size_t(i) + 2].kind != Token::String)
        return std::nullopt;
    if (size_t(i) + 3 < t.size() && t[size_t(i) + 3].text != QLatin1String("order"))
        return std::nullopt;
    return t[size_t(i) + 2].value;
}

// Calls add(i) for every grant of the list that the query can see.
template <class Grants, class Add>
void forGrants(const Statement &s, const std::vector<int> &(SecurityModel::*of)(const QString &) const,
               const SecurityModel &m, const Grants &all, Add add)
{
    if (const auto grantee = onlyGrantee(s)) {
        for (const int i : (m.*of)(*grantee))
            add(all[size_t(i)]);
    } else {
        for (const auto &g : all)
            add(g);
    }
}

} // namespace

void addPrivilegeViews(std::vector<SecurityView> &out)
{
    out.push_back({QStringLiteral("dba_role_privs"), [](const Statement &s, Context &ctx) {
                       const SecurityModel &m = ctx.model.state<SecurityModel>();
                       Table t({QStringLiteral("GRANTEE"), QStringLiteral("GRANTED_ROLE"),
                                QStringLiteral("ADMIN_OPTION"), QStringLiteral("DELEGATE_OPTION"),
                                QStringLiteral("DEFAULT_ROLE"), QStringLiteral("COMMON")});
                       forGrants(s, &SecurityModel::roleGrantsOf, m, m.roleGrants(),
                                 [&](const SecurityModel::RoleGrant &g) {
                                     t.addRow({g.grantee, g.role, g.admin, QStringLiteral("NO"), QStringLiteral("YES"),
                                               QStringLiteral("NO")});
                                 });
                       return t;
                   }});
    out.push_back({QStringLiteral("dba_sys_privs"), [](const Statement &s, Context &ctx) {
                       const SecurityModel &m = ctx.model.state<SecurityModel>();
                       Table t({QStringLiteral("GRANTEE"), QStringLiteral("PRIVILEGE"), QStringLiteral("ADMIN_OPTION"),
                                QStringLiteral("COMMON")});
                       forGrants(s, &SecurityModel::systemGrantsOf, m, m.systemGrants(),
                                 [&](const SecurityModel::SystemGrant &g) {
                                     t.addRow({g.grantee, g.privilege, g.admin, QStringLiteral("NO")});
                                 });
                       return t;
                   }});
    out.push_back({QStringLiteral("dba_tab_privs"), [](const Statement &s, Context &ctx) {
                       const SecurityModel &m = ctx.model.state<SecurityModel>();
                       Table t({QStringLiteral("GRANTEE"), QStringLiteral("OWNER"), QStringLiteral("TABLE_NAME"),
                                QStringLiteral("GRANTOR"), QStringLiteral("PRIVILEGE"), QStringLiteral("GRANTABLE"),
                                QStringLiteral("HIERARCHY"), QStringLiteral("COMMON"), QStringLiteral("TYPE")});
                       forGrants(s, &SecurityModel::tableGrantsOf, m, m.tableGrants(),
                                 [&](const SecurityModel::TableGrant &g) {
                                     t.addRow({g.grantee, g.owner, g.table, g.grantor, g.privilege, g.grantable,
                                               QStringLiteral("NO"), QStringLiteral("NO"), g.type});
                                 });
                       return t;
                   }});
    out.push_back({QStringLiteral("dba_col_privs"), [](const Statement &s, Context &ctx) {
                       const SecurityModel &m = ctx.model.state<SecurityModel>();
                       Table t({QStringLiteral("GRANTEE"), QStringLiteral("OWNER"), QStringLiteral("TABLE_NAME"),
                                QStringLiteral("COLUMN_NAME"), QStringLiteral("GRANTOR"), QStringLiteral("PRIVILEGE"),
                                QStringLiteral("GRANTABLE"), QStringLiteral("COMMON")});
                       forGrants(s, &SecurityModel::columnGrantsOf, m, m.columnGrants(),
                                 [&](const SecurityModel::ColumnGrant &g) {
                                     t.addRow({g.grantee, g.owner, g.table, g.column, g.grantor, g.privilege,
                                               g.grantable, QStringLiteral("NO")});
                                 });
                       return t;
                   }});
}

} // namespace tavimond::sim
