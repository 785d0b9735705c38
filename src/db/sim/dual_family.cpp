// Queries over dual: its one row, the server's clock and the logged-on user, as the
// program reads them ("select sysdate from dual") and as a user types them in a script.
#include "select_eval.h"
#include "server.h"

namespace tavimond::sim {

void registerDualFamily(std::vector<Recogniser> &out)
{
    const QString dual = QStringLiteral("dual");
    out.push_back({dual, [dual](const Statement &s) { return simpleSelectView(s, InlineViews::Read) == dual; },
                   [dual](const Statement &s, Context &ctx) {
                       const SessionValues session{ctx.model.now(), ctx.session.user.toUpper()};
                       const auto row = [] {
                           Table t(QStringList{QStringLiteral("DUMMY")});
                           t.addRow({QStringLiteral("X")});
                           return t;
                       };
                       return *evaluateSimpleSelect(s, dual, row, &session, InlineViews::Read);
                   }});
}

} // namespace tavimond::sim
