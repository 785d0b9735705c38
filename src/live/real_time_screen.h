#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class RealTimeScreenForm;
}

namespace tavimond {

class ResultGrid;

// The real-time performance screen (page_sql_rt).
class RealTimeScreen : public Screen {
    Q_OBJECT
public:
    explicit RealTimeScreen(ScreenContext context, QWidget *parent = nullptr);
    ~RealTimeScreen() override;

private:
    std::unique_ptr<Ui::RealTimeScreenForm> ui_;
    // Hidden and never loaded; its headers come from the main window.
    ResultGrid *longopsgrid_;
};

} // namespace tavimond
