#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class LatchScreenForm;
}

namespace tavimond {

// The latch monitoring screen (latch_page).
class LatchScreen : public Screen {
    Q_OBJECT
public:
    explicit LatchScreen(ScreenContext context, QWidget *parent = nullptr);
    ~LatchScreen() override;

private:
    std::unique_ptr<Ui::LatchScreenForm> ui_;
};

} // namespace tavimond
