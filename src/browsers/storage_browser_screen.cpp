#include "storage_browser_screen.h"

#include "ui_browsers_storage_browser_screen.h"

namespace tavimond {

StorageBrowserScreen::StorageBrowserScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("storagepage"), context, parent), ui_(std::make_unique<Ui::StorageBrowserScreenForm>())
{
    ui_->setupUi(this);
}

StorageBrowserScreen::~StorageBrowserScreen() = default;

} // namespace tavimond
