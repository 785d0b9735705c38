#pragma once

#include "real_time_part.h"

#include <QWidget>

class QCheckBox;

namespace tavimond {

class ResultGrid;

// "Session Topology": block 1 of the default tick, and the row click that chooses a
// session for the other tabs.
class SessionTopologyTab : public QWidget {
    Q_OBJECT
public:
    explicit SessionTopologyTab(const PartContext &context);

    // Block 1 runs while "Enable Session Acquisition" is ticked.
    bool sampling() const;
    // The sample of block 1.
    void Button177Click();

Q_SIGNALS:
    // A session row was clicked.
    void sessionChosen(const ChosenSession &session);

private:
    PartContext context_;
    QCheckBox *session_check;
    // Hidden and never loaded; its headers come from the main window.
    ResultGrid *longopsgrid_;
};

} // namespace tavimond
