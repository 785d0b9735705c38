#include "datafile_stats_screen.h"

#include "ui_history_datafile_stats_screen.h"

namespace tavimond {

DatafileStatsScreen::DatafileStatsScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("df_page"), context, parent), ui_(std::make_unique<Ui::DatafileStatsScreenForm>())
{
    ui_->setupUi(this);
}

DatafileStatsScreen::~DatafileStatsScreen() = default;

} // namespace tavimond
