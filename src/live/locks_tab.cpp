#include "locks_tab.h"

#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/script_memo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>

namespace tavimond {
namespace {

ResultGrid *namedGrid(int columns, const char *name, QObject *owner)
{
    auto *g = new ResultGrid(columns, owner);
    g->setObjectName(QLatin1String(name));
    return g;
}

// Held and requested locks of the instance, with what each lock's identifiers mean.
const QStringList kLockScript{
    QStringLiteral("select l.sid,"),
    QStringLiteral("       lt.name,"),
    QStringLiteral("       decode(l.lmode, 0, 'None', 1, 'Null', 2, 'Row-S (SS)', 3, 'Row-X (SX)',"),
    QStringLiteral("              4, 'Share', 5, 'S/Row-X (SSX)', 6, 'Exclusive', to_char(l.lmode)) mode_held,"),
    QStringLiteral("       decode(l.request, 0, 'None', 1, 'Null', 2, 'Row-S (SS)', 3, 'Row-X (SX)',"),
    QStringLiteral("              4, 'Share', 5, 'S/Row-X (SSX)', 6, 'Exclusive', to_char(l.request)) mode_requested,"),
    QStringLiteral("       lt.id1_tag||':'||to_char(l.id1) id1,"),
    QStringLiteral("       lt.id2_tag||':'||to_char(l.id2) id2,"),
    QStringLiteral("       l.ctime last_convert,"),
    QStringLiteral(
        "       decode(l.block, 0, 'Not Blocking', 1, 'Blocking', 2, 'Global', to_char(l.block)) blocking_others"),
    QStringLiteral("from v$lock l , v$lock_type lt"),
    QStringLiteral("where l.type = lt.type"),
    QStringLiteral("order by lt.name,sid"),
};

} // namespace

LocksTab::LocksTab(const PartContext &context)
    : QWidget(context.tab), context_(context), sqltextquery(std::make_unique<Query>(context.screen.cnn)),
      lockgrid(namedGrid(8, "lockgrid", this)), blockinggrid(namedGrid(4, "blockinggrid", this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    auto *acquire = new QPushButton(QStringLiteral("Acquire"), this);
    acquire->setObjectName(QStringLiteral("Button99"));
    bar->addWidget(acquire);
    bar->addStretch();
    layout->addLayout(bar);
    layout->addWidget(new QLabel(QStringLiteral("Locks"), this));
    layout->addWidget(new GridView(lockgrid, QStringLiteral("lockgrid"), this), 3);
    layout->addWidget(new QLabel(QStringLiteral("Blocking Locks"), this));
    layout->addWidget(new GridView(blockinggrid, QStringLiteral("blockinggrid"), this), 1);

    locksql = addScriptMemo(context.scriptTab, QStringLiteral("locksql"), QStringLiteral("Locks"), kLockScript,
                            MemoAccess::Editable);
    blocksql = addScriptMemo(
        context.scriptTab, QStringLiteral("blocksql"), QStringLiteral("Blocking Locks"),
        {QStringLiteral("select inst_id, sid, blocking_instance, blocking_session from gv$session"),
         QStringLiteral("where blocking_instance is not null and blocking_session is not null order by 1, 2")},
        MemoAccess::Editable);

    connect(acquire, &QPushButton::clicked, this, guarded([this] { Button99Click(); }));
}

LocksTab::~LocksTab() = default;

QList<GridHeaders> LocksTab::gridHeaders() const
{
    return {{QStringLiteral("lockgrid"),
             {QStringLiteral("SID"), QStringLiteral("Lock Type"), QStringLiteral("Lock Mode"),
              QStringLiteral("Mode Requested"), QStringLiteral("ID1"), QStringLiteral("ID2"),
              QStringLiteral("Last Convert"), QStringLiteral("Blocking")},
             {}},
            {QStringLiteral("blockinggrid"),
             {QStringLiteral("Blocked Instance ID"), QStringLiteral("Blocked Session ID"),
              QStringLiteral("Blocking Instance ID"), QStringLiteral("Blocking Session ID")},
             {}}};
}

void LocksTab::load(const QPlainTextEdit &script, ResultGrid &grid)
{
    sqltextquery->setSql(memoLines(script));
    OpenQuery(*sqltextquery);
    LoadQueryIntoGrid(*sqltextquery, grid, QString(), nullptr, nullptr, true, QStringLiteral("Dump"),
                      QStringLiteral("Single"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), 100);
    sqltextquery->close();
}

void LocksTab::Button99Click()
{
    load(*locksql, *lockgrid);
    load(*blocksql, *blockinggrid);
    GridTailTrim(*lockgrid);
    GridTailTrim(*blockinggrid);
}

} // namespace tavimond
