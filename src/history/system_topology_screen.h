#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SystemTopologyScreenForm;
}

namespace tavimond {

// The system topology screen (systoppage).
class SystemTopologyScreen : public Screen {
    Q_OBJECT
public:
    explicit SystemTopologyScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SystemTopologyScreen() override;

    QList<ChartHint> chartHints() const override;

private:
    std::unique_ptr<Ui::SystemTopologyScreenForm> ui_;
};

} // namespace tavimond
