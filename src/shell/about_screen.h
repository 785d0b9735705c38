#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class AboutScreenForm;
}

namespace tavimond {

// The About screen (about_page): the version, a support contact and the owner.
class AboutScreen : public Screen {
    Q_OBJECT
public:
    explicit AboutScreen(ScreenContext context, QWidget *parent = nullptr);
    ~AboutScreen() override;

private:
    std::unique_ptr<Ui::AboutScreenForm> ui_;
};

} // namespace tavimond
