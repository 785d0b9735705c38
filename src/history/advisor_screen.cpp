#include "advisor_screen.h"

#include "ui_history_advisor_screen.h"

namespace tavimond {

AdvisorScreen::AdvisorScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("advpage"), context, parent), ui_(std::make_unique<Ui::AdvisorScreenForm>())
{
    ui_->setupUi(this);
}

AdvisorScreen::~AdvisorScreen() = default;

} // namespace tavimond
