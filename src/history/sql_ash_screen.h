#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SqlAshScreenForm;
}

namespace tavimond {

// The SQL active-session-history screen (no menu item leads to it) (Page_SQL_Hist_ASH).
class SqlAshScreen : public Screen {
    Q_OBJECT
public:
    explicit SqlAshScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SqlAshScreen() override;

private:
    std::unique_ptr<Ui::SqlAshScreenForm> ui_;
};

} // namespace tavimond
