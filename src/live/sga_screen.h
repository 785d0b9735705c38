#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SgaScreenForm;
}

namespace tavimond {

// The SGA hit ratios screen (sgapage).
class SgaScreen : public Screen {
    Q_OBJECT
public:
    explicit SgaScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SgaScreen() override;

    QList<GridHeaders> gridHeaders() const override;

private:
    std::unique_ptr<Ui::SgaScreenForm> ui_;
};

} // namespace tavimond
