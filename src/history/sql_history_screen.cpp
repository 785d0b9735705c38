#include "sql_history_screen.h"

#include "ui_history_sql_history_screen.h"

namespace tavimond {

SqlHistoryScreen::SqlHistoryScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("Page_SQL_Hist"), context, parent), ui_(std::make_unique<Ui::SqlHistoryScreenForm>())
{
    ui_->setupUi(this);
}

SqlHistoryScreen::~SqlHistoryScreen() = default;

} // namespace tavimond
