#include "sql_topology_screen.h"

#include "ui_history_sql_topology_screen.h"

namespace tavimond {

SqlTopologyScreen::SqlTopologyScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("Page_SQL_Topology"), context, parent), ui_(std::make_unique<Ui::SqlTopologyScreenForm>())
{
    ui_->setupUi(this);
}

SqlTopologyScreen::~SqlTopologyScreen() = default;

} // namespace tavimond
