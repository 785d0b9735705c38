#include "sql_ash_screen.h"

#include "ui_history_sql_ash_screen.h"

namespace tavimond {

SqlAshScreen::SqlAshScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("Page_SQL_Hist_ASH"), context, parent), ui_(std::make_unique<Ui::SqlAshScreenForm>())
{
    ui_->setupUi(this);
}

SqlAshScreen::~SqlAshScreen() = default;

} // namespace tavimond
