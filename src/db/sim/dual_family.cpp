// Statements on dual: the server's clock and the logged-on user.
#include "server.h"

namespace tavimond::sim {

void registerDualFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("sysdate from dual"),
                   [](const Statement &s) { return s.has(QStringLiteral("select sysdate from dual")); },
                   [](const Statement &, Context &ctx) {
                       auto t = std::make_shared<Table>(QStringList{QStringLiteral("SYSDATE")});
                       t->addRow({ctx.model.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
                       return t;
                   }});
    out.push_back({QStringLiteral("user from dual"),
                   [](const Statement &s) { return s.has(QStringLiteral("select user from dual")); },
                   [](const Statement &, Context &ctx) {
                       auto t = std::make_shared<Table>(QStringList{QStringLiteral("USER")});
                       t->addRow({ctx.session.user.toUpper()});
                       return t;
                   }});
}

} // namespace tavimond::sim
