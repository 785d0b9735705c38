#pragma once

#include "real_time_part.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace tavimond {

// "Session Statistics": block 2 of the default tick, following one session.
class SessionStatisticsTab : public QWidget {
    Q_OBJECT
public:
    explicit SessionStatisticsTab(const PartContext &context);

    // Block 2 runs while "Enable Wait Event Acquisition" is ticked.
    bool sampling() const;
    // The sample of block 2.
    void sample();
    // Fills the session edits (a row chosen on the session topology).
    void setSession(const ChosenSession &session);

private:
    PartContext context_;
    QCheckBox *sesevt_check;
    QLineEdit *Instidwt;
    QLineEdit *sidid;
    QLineEdit *serialnum;
};

} // namespace tavimond
