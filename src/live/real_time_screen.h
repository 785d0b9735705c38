#pragma once

#include "ui/screen.h"

#include <memory>

namespace Ui {
class RealTimeScreenForm;
}

namespace tavimond {

class LocksTab;
class SessionStatisticsTab;
class SessionTopologyTab;
class SqlTextTab;

// The real-time performance screen (page_sql_rt): session topology, one session's
// statistics, a live statement's text and plan, and locks.
class RealTimeScreen : public Screen {
    Q_OBJECT
public:
    explicit RealTimeScreen(ScreenContext context, QWidget *parent = nullptr);
    ~RealTimeScreen() override;

    QList<GridHeaders> gridHeaders() const override;

    SessionTopologyTab *sessionTopology() const { return topology_; }
    SessionStatisticsTab *sessionStatistics() const { return statistics_; }
    SqlTextTab *sqlText() const { return sqlText_; }
    LocksTab *locks() const { return locks_; }

private:
    std::unique_ptr<Ui::RealTimeScreenForm> ui_;
    SessionTopologyTab *topology_;
    SessionStatisticsTab *statistics_;
    SqlTextTab *sqlText_;
    LocksTab *locks_;
};

} // namespace tavimond
