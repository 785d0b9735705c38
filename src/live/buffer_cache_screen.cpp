#include "buffer_cache_screen.h"

#include "ui_live_buffer_cache_screen.h"

namespace tavimond {

BufferCacheScreen::BufferCacheScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("bufcache_page"), context, parent), ui_(std::make_unique<Ui::BufferCacheScreenForm>())
{
    ui_->setupUi(this);
}

BufferCacheScreen::~BufferCacheScreen() = default;

} // namespace tavimond
