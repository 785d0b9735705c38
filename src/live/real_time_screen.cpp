#include "real_time_screen.h"

#include "ui_live_real_time_screen.h"

#include "locks_tab.h"
#include "session_statistics_tab.h"
#include "session_topology_tab.h"
#include "sql_text_tab.h"

#include <QVBoxLayout>

namespace tavimond {
namespace {

template <typename Part>
Part *place(ScreenContext context, QWidget *tab, QWidget *scriptTab)
{
    auto *layout = new QVBoxLayout(tab);
    auto *part = new Part(PartContext{context, tab, scriptTab});
    layout->addWidget(part);
    return part;
}

} // namespace

RealTimeScreen::RealTimeScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("page_sql_rt"), context, parent), ui_(std::make_unique<Ui::RealTimeScreenForm>())
{
    ui_->setupUi(this);
    topology_ = place<SessionTopologyTab>(context, ui_->sesstopologytab, ui_->rtscripttab);
    statistics_ = place<SessionStatisticsTab>(context, ui_->sesstatstab, ui_->rtscripttab);
    sqlText_ = place<SqlTextTab>(context, ui_->sqltexttab, ui_->rtscripttab);
    locks_ = place<LocksTab>(context, ui_->lockstab, ui_->rtscripttab);
    // A session chosen on the topology is the one the other tabs follow next.
    connect(topology_, &SessionTopologyTab::sessionChosen, statistics_, &SessionStatisticsTab::setSession);
    connect(topology_, &SessionTopologyTab::sessionChosen, sqlText_, &SqlTextTab::setSession);
}

RealTimeScreen::~RealTimeScreen() = default;

QList<GridHeaders> RealTimeScreen::gridHeaders() const
{
    return topology_->gridHeaders() + statistics_->gridHeaders() + locks_->gridHeaders();
}

} // namespace tavimond
