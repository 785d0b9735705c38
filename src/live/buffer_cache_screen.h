#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class BufferCacheScreenForm;
}

namespace tavimond {

// The buffer cache content screen (bufcache_page).
class BufferCacheScreen : public Screen {
    Q_OBJECT
public:
    explicit BufferCacheScreen(ScreenContext context, QWidget *parent = nullptr);
    ~BufferCacheScreen() override;

private:
    std::unique_ptr<Ui::BufferCacheScreenForm> ui_;
};

} // namespace tavimond
