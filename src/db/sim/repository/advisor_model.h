#pragma once

#include "repository.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

// The work of the database's advisors (dba_advisor_tasks, _findings, _recommendations
// and _actions): ADDM analyses every snapshot of each instance a minute or so after it
// is taken, and the segment advisor runs every night at 22:00.
//
// What the views rely on:
// - a finding belongs to its task and owner; a recommendation to a finding (task_id,
//   finding_id); an action to its task and recommendation (task_id, rec_id);
// - within a task recommendations are ranked 1..n, the one without an estimated benefit
//   (NULL: the slow I/O subsystem's) first, then by benefit;
// - some recommendations have two actions; symptoms and information findings of ADDM
//   have no recommendation at all;
// - a few analyses were interrupted or failed; the analysis of the latest snapshot may
//   still be running (no execution_end).
class AdvisorHistory {
public:
    static constexpr qint64 kFirstTaskId = 88000;

    struct Finding {
        int findingId = 0;
        QString type; // PROBLEM, SYMPTOM, INFORMATION
        qint64 impact = 0;
        QString impactType;
        QString message;
    };
    struct Recommendation {
        int recId = 0;
        int findingId = 0;
        int rank = 0;
        QString type;
        std::optional<qint64> benefit;
        QString benefitType;
    };
    struct Action {
        int actionId = 0;
        int recId = 0;
        QString command;
        QString message;
    };
    struct Task {
        qint64 taskId = 0;
        QString owner;
        QString name;
        QString advisor;
        QString status; // COMPLETED, INTERRUPTED, ERROR, EXECUTING
        QDateTime created;
        QDateTime executionStart;
        QDateTime executionEnd; // null while executing
        // Filled by details().
        std::vector<Finding> findings;
        std::vector<Recommendation> recommendations;
        std::vector<Action> actions;
    };

    explicit AdvisorHistory(Model &model);

    // The tasks created by the model's current time, by task id, without their details.
    std::vector<Task> tasks() const;
    // Fills a task's findings, recommendations and actions.
    void details(Task &task) const;

private:
    struct Origin {
        bool segmentAdvisor = false;
        int index = 0;
        int instance = 0;
    };
    Origin originOf(qint64 taskId) const;
    void addmDetails(Task &task, const Repository::Snapshot &snapshot) const;
    void segmentAdvisorDetails(Task &task, int index) const;

    Model &model_;
};

} // namespace tavimond::sim
