#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class SgaScreenForm;
}

namespace tavimond {

class Query;

// The SGA hit ratios screen (sgapage): the dictionary, library and buffer cache
// statistics from three editable scripts, and an overall hit ratio of each.
class SgaScreen : public Screen {
    Q_OBJECT
public:
    explicit SgaScreen(ScreenContext context, QWidget *parent = nullptr);
    ~SgaScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    // Retrieve: runs the three scripts and computes the ratios.
    void sgahitbutClick();

private:
    std::unique_ptr<Ui::SgaScreenForm> ui_;
    std::unique_ptr<Query> DDictRatioQuery;
    std::unique_ptr<Query> LCacheRatioQuery;
    std::unique_ptr<Query> BCacheRatioQuery;
};

} // namespace tavimond
