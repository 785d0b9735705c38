#include "sga_screen.h"

#include "ui_live_sga_screen.h"

namespace tavimond {

SgaScreen::SgaScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("sgapage"), context, parent), ui_(std::make_unique<Ui::SgaScreenForm>())
{
    ui_->setupUi(this);
}

SgaScreen::~SgaScreen() = default;

QList<GridHeaders> SgaScreen::gridHeaders() const
{
    // -1 keeps a column's default width.
    return {
        {QStringLiteral("BCacheGrid"), {}, {280, 100}},
        {QStringLiteral("LCacheGrid"), {}, {320, -1, 100, -1, 100}},
        {QStringLiteral("DDictGrid"), {}, {280}},
    };
}

} // namespace tavimond
