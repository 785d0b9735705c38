#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SqlHistoryScreenForm;
}

namespace tavimond {

// The historical SQL statistics screen (Page_SQL_Hist).
class SqlHistoryScreen : public Screen {
    Q_OBJECT
public:
    explicit SqlHistoryScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SqlHistoryScreen() override;

private:
    std::unique_ptr<Ui::SqlHistoryScreenForm> ui_;
};

} // namespace tavimond
