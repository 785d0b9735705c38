#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class WaitEventsScreenForm;
}

namespace tavimond {

// The wait events screen (inst_waits_page).
class WaitEventsScreen : public Screen {
    Q_OBJECT
public:
    explicit WaitEventsScreen(ScreenContext context, QWidget *parent = nullptr);
    ~WaitEventsScreen() override;

private:
    std::unique_ptr<Ui::WaitEventsScreenForm> ui_;
};

} // namespace tavimond
