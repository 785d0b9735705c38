#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SegmentStatsScreenForm;
}

namespace tavimond {

// The segment statistics and growth screen (obj_segstat_page).
class SegmentStatsScreen : public Screen {
    Q_OBJECT
public:
    explicit SegmentStatsScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SegmentStatsScreen() override;

private:
    std::unique_ptr<Ui::SegmentStatsScreenForm> ui_;
};

} // namespace tavimond
