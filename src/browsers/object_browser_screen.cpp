#include "object_browser_screen.h"

#include "ui_browsers_object_browser_screen.h"

namespace tavimond {

ObjectBrowserScreen::ObjectBrowserScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("obj_brws_page"), context, parent), ui_(std::make_unique<Ui::ObjectBrowserScreenForm>())
{
    ui_->setupUi(this);
}

ObjectBrowserScreen::~ObjectBrowserScreen() = default;

} // namespace tavimond
