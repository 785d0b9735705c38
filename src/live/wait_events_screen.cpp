#include "wait_events_screen.h"

#include "ui_live_wait_events_screen.h"

namespace tavimond {

WaitEventsScreen::WaitEventsScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("inst_waits_page"), context, parent), ui_(std::make_unique<Ui::WaitEventsScreenForm>())
{
    ui_->setupUi(this);
}

WaitEventsScreen::~WaitEventsScreen() = default;

} // namespace tavimond
