#include "security_browser_screen.h"

#include "ui_browsers_security_browser_screen.h"

namespace tavimond {

SecurityBrowserScreen::SecurityBrowserScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("secpage"), context, parent), ui_(std::make_unique<Ui::SecurityBrowserScreenForm>())
{
    ui_->setupUi(this);
}

SecurityBrowserScreen::~SecurityBrowserScreen() = default;

} // namespace tavimond
