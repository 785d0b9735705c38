#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class DatafileStatsScreenForm;
}

namespace tavimond {

// The datafile statistics screen (df_page).
class DatafileStatsScreen : public Screen {
    Q_OBJECT
public:
    explicit DatafileStatsScreen(ScreenContext context, QWidget *parent = nullptr);
    ~DatafileStatsScreen() override;

private:
    std::unique_ptr<Ui::DatafileStatsScreenForm> ui_;
};

} // namespace tavimond
