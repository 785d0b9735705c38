#pragma once

#include "ui/screen.h"
#include "ui/snapshot_window.h"

#include <memory>

class QCheckBox;
class QPlainTextEdit;
class QWidget;

namespace Ui {
class AdvisorScreenForm;
}

namespace tavimond {

class GridView;
class Query;

// The advisor findings screen (advpage): the findings, recommendations and actions of
// the advisor tasks that completed in a window, by rank and benefit, and the ten fields
// of the row last clicked or moved to.
class AdvisorScreen : public Screen {
    Q_OBJECT
public:
    explicit AdvisorScreen(ScreenContext context, QWidget *parent = nullptr);
    ~AdvisorScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    void Button182Click(); // "Review Advisor Results"
    void adv_gridClick();

private:
    QStringList scriptLines() const;

    std::unique_ptr<Ui::AdvisorScreenForm> ui_;
    SnapshotWindowControls window_;
    GridView *adv_grid;
    QList<QWidget *> details_; // the detail field of each grid column
    QPlainTextEdit *adv_memo;
    QCheckBox *advmbs;
    std::unique_ptr<Query> adv_query;
    bool reviewing_ = false; // a review is changing the grid
};

} // namespace tavimond
