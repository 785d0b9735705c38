#pragma once

#include "real_time_part.h"

#include <QWidget>

class QLineEdit;

namespace tavimond {

// "SQL Text": a live session's statement text and plan.
class SqlTextTab : public QWidget {
    Q_OBJECT
public:
    explicit SqlTextTab(const PartContext &context);
    // Fills the session and statement edits (a row chosen on the session topology).
    void setSession(const ChosenSession &session);

private:
    PartContext context_;
    QLineEdit *Instidst;
    QLineEdit *sesid;
    QLineEdit *serialnumst;
    QLineEdit *sesssqlid;
    QLineEdit *sessexecplan;
};

} // namespace tavimond
