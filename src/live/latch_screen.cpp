#include "latch_screen.h"

#include "ui_live_latch_screen.h"

namespace tavimond {

LatchScreen::LatchScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("latch_page"), context, parent), ui_(std::make_unique<Ui::LatchScreenForm>())
{
    ui_->setupUi(this);
}

LatchScreen::~LatchScreen() = default;

} // namespace tavimond
