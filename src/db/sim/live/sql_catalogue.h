#pragma once

// The statements the simulated instances have in their shared pools: each with its
// sql_id, cursor address, text and plan. Views that show a statement's text or plan
// read them from here, and sessions name them by sql_id.

#include <QString>
#include <QStringList>
#include <vector>

namespace tavimond::sim {

// One line of a plan's operation table. Rows and bytes of 0 are shown blank.
struct PlanStep {
    int depth;
    const char *operation;
    const char *name;
    qint64 rows;
    qint64 bytes;
    qint64 cost;
    int cpuPercent;
    int seconds; // estimated time; blank when 0 at depth 0
    const char *access = nullptr;
    const char *filter = nullptr;
};

struct CatalogueStatement {
    QString sqlId;
    qint64 hashValue = 0;
    QString address; // the parent cursor's address, 16 hex digits
    qint64 planHashValue = 0;
    QString text;
    int commandType = 3; // 2 insert, 3 select, 6 update, 7 delete
    QString table;       // the table a DML statement changes (owner.name); empty for queries
    int cachedOn = 0;    // the instance whose shared pool holds it; 0: both
    std::vector<PlanStep> plan;

    bool cachedOnInstance(int instance) const { return cachedOn == 0 || cachedOn == instance; }
};

const std::vector<CatalogueStatement> &sqlCatalogue();
// The statement with this sql_id, or nullptr.
const CatalogueStatement *findStatement(const QString &sqlId);

// A statement's text as the text views store it: pieces of at most 64 characters,
// line breaks kept.
QStringList sqlTextPieces(const QString &text);

// A plan's operation table between its rules, an asterisk on the steps with predicates.
QStringList planTableLines(const std::vector<PlanStep> &plan);
// The predicates of a plan's steps under their heading, after an empty line; nothing
// when no step has any.
QStringList planPredicateLines(const std::vector<PlanStep> &plan);

// The rows of dbms_xplan.display_cursor for child 0 of a cursor: the SQL_ID header and
// text, the plan hash value, the operation table and the predicates. An empty line is
// a NULL row.
QStringList displayCursorLines(const CatalogueStatement &statement);
// The one row it gives for a cursor that is not in the shared pool.
QStringList cursorNotFoundLines(const QString &sqlId);

// The sql_id and hash value the database derives from a statement's text.
QString sqlIdOf(const QString &text);
qint64 hashValueOf(const QString &text);

} // namespace tavimond::sim
