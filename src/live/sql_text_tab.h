#pragma once

#include "real_time_part.h"

#include <QWidget>
#include <memory>

class QLineEdit;
class QPlainTextEdit;

namespace tavimond {

class Query;

// "SQL Text": a live session's statement text and plan.
class SqlTextTab : public QWidget {
    Q_OBJECT
public:
    explicit SqlTextTab(const PartContext &context);
    ~SqlTextTab() override;

    // Fills the session and statement edits (a row chosen on the session topology).
    void setSession(const ChosenSession &session);

    // Load: the text of the statement the session runs and the statement's plan.
    void Button23Click();

private:
    PartContext context_;
    std::unique_ptr<Query> sqltextquery;
    std::unique_ptr<Query> sqlexecplan_query;
    QLineEdit *Instidst;
    QLineEdit *sesid;
    QLineEdit *serialnumst;
    QLineEdit *sesssqlid;
    QLineEdit *sessexecplan;
    QPlainTextEdit *sqltextmemo;
    QPlainTextEdit *sessplan_memo;
    QPlainTextEdit *sqlexecplanmemo;
};

} // namespace tavimond
