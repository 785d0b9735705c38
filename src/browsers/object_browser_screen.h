#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class ObjectBrowserScreenForm;
}

namespace tavimond {

// The object browser (obj_brws_page).
class ObjectBrowserScreen : public Screen {
    Q_OBJECT
public:
    explicit ObjectBrowserScreen(ScreenContext context, QWidget *parent = nullptr);
    ~ObjectBrowserScreen() override;

private:
    std::unique_ptr<Ui::ObjectBrowserScreenForm> ui_;
};

} // namespace tavimond
