#include "about_screen.h"

#include "ui_shell_about_screen.h"

namespace tavimond {

AboutScreen::AboutScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("about_page"), context, parent), ui_(std::make_unique<Ui::AboutScreenForm>())
{
    ui_->setupUi(this);
}

AboutScreen::~AboutScreen() = default;

} // namespace tavimond
