#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SecurityBrowserScreenForm;
}

namespace tavimond {

// The security browser (secpage).
class SecurityBrowserScreen : public Screen {
    Q_OBJECT
public:
    explicit SecurityBrowserScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SecurityBrowserScreen() override;

private:
    std::unique_ptr<Ui::SecurityBrowserScreenForm> ui_;
};

} // namespace tavimond
