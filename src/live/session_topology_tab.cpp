#include "session_topology_tab.h"

#include "core/result_grid.h"
#include "ui/grid_view.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace tavimond {

SessionTopologyTab::SessionTopologyTab(const PartContext &context)
    : QWidget(context.tab), context_(context),
      session_check(new QCheckBox(QStringLiteral("Enable Session Acquisition"), this)),
      longopsgrid_(new ResultGrid(5, this))
{
    session_check->setObjectName(QStringLiteral("session_check"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(session_check);

    auto *longops = new QCheckBox(QStringLiteral("Long Operations"), this);
    longops->setObjectName(QStringLiteral("longops_check"));
    longops->hide();
    longopsgrid_->setObjectName(QStringLiteral("longopsgrid"));
    auto *view = new GridView(longopsgrid_, QStringLiteral("longopsgrid"), this);
    view->hide();
    layout->addWidget(longops);
    layout->addWidget(view);
    layout->addStretch();
}

bool SessionTopologyTab::sampling() const
{
    return session_check->isChecked();
}

void SessionTopologyTab::Button177Click()
{
    // The session sample comes with the session topology.
}

} // namespace tavimond
