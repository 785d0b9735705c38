#include "real_time_screen.h"

#include "ui_live_real_time_screen.h"

#include "core/result_grid.h"
#include "ui/grid_view.h"

namespace tavimond {

RealTimeScreen::RealTimeScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("page_sql_rt"), context, parent), ui_(std::make_unique<Ui::RealTimeScreenForm>()),
      longopsgrid_(new ResultGrid(5, this))
{
    ui_->setupUi(this);
    longopsgrid_->setObjectName(QStringLiteral("longopsgrid"));
    auto *view = new GridView(longopsgrid_, QStringLiteral("longopsgrid"), ui_->sesstopologytab);
    view->hide();
    ui_->sesstopologylayout->addWidget(view);
}

RealTimeScreen::~RealTimeScreen() = default;

} // namespace tavimond
