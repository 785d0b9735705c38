#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class AdvisorScreenForm;
}

namespace tavimond {

// The advisor findings screen (advpage).
class AdvisorScreen : public Screen {
    Q_OBJECT
public:
    explicit AdvisorScreen(ScreenContext context, QWidget *parent = nullptr);
    ~AdvisorScreen() override;

private:
    std::unique_ptr<Ui::AdvisorScreenForm> ui_;
};

} // namespace tavimond
