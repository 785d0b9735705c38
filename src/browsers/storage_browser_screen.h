#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class StorageBrowserScreenForm;
}

namespace tavimond {

// The storage browser (storagepage).
class StorageBrowserScreen : public Screen {
    Q_OBJECT
public:
    explicit StorageBrowserScreen(ScreenContext context, QWidget *parent = nullptr);
    ~StorageBrowserScreen() override;

private:
    std::unique_ptr<Ui::StorageBrowserScreenForm> ui_;
};

} // namespace tavimond
