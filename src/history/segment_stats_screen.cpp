#include "segment_stats_screen.h"

#include "ui_history_segment_stats_screen.h"

namespace tavimond {

SegmentStatsScreen::SegmentStatsScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("obj_segstat_page"), context, parent), ui_(std::make_unique<Ui::SegmentStatsScreenForm>())
{
    ui_->setupUi(this);
}

SegmentStatsScreen::~SegmentStatsScreen() = default;

} // namespace tavimond
