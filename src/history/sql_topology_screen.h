#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SqlTopologyScreenForm;
}

namespace tavimond {

// The SQL topology screen (Page_SQL_Topology).
class SqlTopologyScreen : public Screen {
    Q_OBJECT
public:
    explicit SqlTopologyScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SqlTopologyScreen() override;

private:
    std::unique_ptr<Ui::SqlTopologyScreenForm> ui_;
};

} // namespace tavimond
