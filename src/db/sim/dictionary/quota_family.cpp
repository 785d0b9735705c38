// dba_ts_quotas: the users' quotas on tablespaces, -1 for an unlimited one.
#include "security_model.h"
#include "security_views.h"

namespace tavimond::sim {

void addQuotaViews(std::vector<SecurityView> &out)
{
    out.push_back({QStringLiteral("dba_ts_quotas"), [](const Statement &, Context &ctx) {
                       Table t({QStringLiteral("TABLESPACE_NAME"), QStringLiteral("USERNAME"), QStringLiteral("BYTES"),
                                QStringLiteral("MAX_BYTES"), QStringLiteral("BLOCKS"), QStringLiteral("MAX_BLOCKS"),
                                QStringLiteral("DROPPED")});
                       for (const SecurityModel::Quota &q : ctx.model.state<SecurityModel>().quotas())
                           t.addRow({q.tablespace, q.user, QString::number(q.bytes), QString::number(q.maxBytes),
                                     QString::number(q.blocks), QString::number(q.maxBlocks),
                                     q.dropped ? QStringLiteral("YES") : QStringLiteral("NO")});
                       return t;
                   }});
}

} // namespace tavimond::sim
