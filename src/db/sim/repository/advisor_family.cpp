// The advisors' findings joined to their recommendations and actions for the tasks that
// completed in a window (the advisor report), and the four advisor views for simple queries.
#include "advisor_model.h"

#include "../select_eval.h"
#include "../server.h"
#include "../../timestamp_text.h"

#include <algorithm>

namespace tavimond::sim {
namespace {

// A DATE column: whole seconds.
QString dateText(const QDateTime &t)
{
    return t.isValid() ? timestampText(t.addMSecs(-t.time().msec())) : QString();
}

QString number(const std::optional<qint64> &n)
{
    return n ? QString::number(*n) : QString();
}

Result advisorReport(const Statement &s, Context &ctx)
{
    if (!s.has(QStringLiteral(
            "select a.execution_end, b.type, b.impact, d.rank, d.type, b.message, c.command, c.message, "
            "d.benefit,d.benefit_type from dba_advisor_tasks a, dba_advisor_findings b, dba_advisor_actions c, "
            "dba_advisor_recommendations d where a.owner=b.owner and a.task_id=b.task_id and b.task_id=d.task_id "
            "and b.finding_id=d.finding_id and a.task_id=c.task_id and d.rec_id=c.rec_id")))
        cannotRead(QStringLiteral("the advisor join"));
    if (!s.has(QStringLiteral("order by d.rank asc, d.benefit desc")))
        cannotRead(QStringLiteral("the ordering"));
    const std::optional<QString> status = s.stringAfter(QStringLiteral("and a.status ="));
    if (!status)
        cannotRead(QStringLiteral("the status condition"));
    const std::optional<SnapshotWindow> window =
        readSnapshotWindow(s, ctx.model, QStringLiteral("a.execution_end"), QStringLiteral("a.execution_end"));

    struct Row {
        int rank;
        std::optional<qint64> benefit;
        QStringList cells;
    };
    std::vector<Row> rows;
    const AdvisorHistory &history = ctx.model.state<AdvisorHistory>();
    for (AdvisorHistory::Task &task : history.tasks()) {
        if (task.status != *status)
            continue;
        if (window) {
            const QDateTime &end = task.executionEnd;
            if (window->beginFrom && !(end.isValid() && end >= *window->beginFrom))
                continue;
            if (window->endTo && !(end.isValid() && end <= *window->endTo))
                continue;
        }
        history.details(task);
        for (const AdvisorHistory::Finding &f : task.findings)
            for (const AdvisorHistory::Recommendation &r : task.recommendations) {
                if (r.findingId != f.findingId)
                    continue;
                for (const AdvisorHistory::Action &a : task.actions)
                    if (a.recId == r.recId)
                        rows.push_back(
                            {r.rank,
                             r.benefit,
                             {dateText(task.executionEnd), f.type, QString::number(f.impact), QString::number(r.rank),
                              r.type, f.message, a.command, a.message, number(r.benefit), r.benefitType}});
            }
    }
    // Rank ascending, then benefit descending; under "desc" Oracle puts NULLs first.
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (a.benefit.has_value() != b.benefit.has_value())
            return !a.benefit.has_value();
        return a.benefit.value_or(0) > b.benefit.value_or(0);
    });
    auto table = std::make_shared<Table>(QStringList{
        QStringLiteral("EXECUTION_END"), QStringLiteral("TYPE"), QStringLiteral("IMPACT"), QStringLiteral("RANK"),
        QStringLiteral("TYPE"), QStringLiteral("MESSAGE"), QStringLiteral("COMMAND"), QStringLiteral("MESSAGE"),
        QStringLiteral("BENEFIT"), QStringLiteral("BENEFIT_TYPE")});
    for (const Row &r : rows)
        table->addRow(r.cells);
    return table;
}

// Every task with its details, for the plain views.
std::vector<AdvisorHistory::Task> allTasks(Context &ctx)
{
    const AdvisorHistory &history = ctx.model.state<AdvisorHistory>();
    std::vector<AdvisorHistory::Task> tasks = history.tasks();
    for (AdvisorHistory::Task &t : tasks)
        history.details(t);
    return tasks;
}

Table taskRows(Context &ctx)
{
    Table t({QStringLiteral("OWNER"), QStringLiteral("TASK_ID"), QStringLiteral("TASK_NAME"),
             QStringLiteral("ADVISOR_NAME"), QStringLiteral("CREATED"), QStringLiteral("STATUS"),
             QStringLiteral("EXECUTION_START"), QStringLiteral("EXECUTION_END")});
    for (const AdvisorHistory::Task &task : ctx.model.state<AdvisorHistory>().tasks())
        t.addRow({task.owner, QString::number(task.taskId), task.name, task.advisor, dateText(task.created),
                  task.status, dateText(task.executionStart), dateText(task.executionEnd)});
    return t;
}

Table findingRows(Context &ctx)
{
    Table t({QStringLiteral("OWNER"), QStringLiteral("TASK_ID"), QStringLiteral("TASK_NAME"),
             QStringLiteral("FINDING_ID"), QStringLiteral("TYPE"), QStringLiteral("IMPACT_TYPE"),
             QStringLiteral("IMPACT"), QStringLiteral("MESSAGE")});
    for (const AdvisorHistory::Task &task : allTasks(ctx))
        for (const AdvisorHistory::Finding &f : task.findings)
            t.addRow({task.owner, QString::number(task.taskId), task.name, QString::number(f.findingId), f.type,
                      f.impactType, QString::number(f.impact), f.message});
    return t;
}

Table recommendationRows(Context &ctx)
{
    Table t({QStringLiteral("OWNER"), QStringLiteral("TASK_ID"), QStringLiteral("TASK_NAME"), QStringLiteral("REC_ID"),
             QStringLiteral("FINDING_ID"), QStringLiteral("TYPE"), QStringLiteral("RANK"),
             QStringLiteral("BENEFIT_TYPE"), QStringLiteral("BENEFIT")});
    for (const AdvisorHistory::Task &task : allTasks(ctx))
        for (const AdvisorHistory::Recommendation &r : task.recommendations)
            t.addRow({task.owner, QString::number(task.taskId), task.name, QString::number(r.recId),
                      QString::number(r.findingId), r.type, QString::number(r.rank), r.benefitType, number(r.benefit)});
    return t;
}

Table actionRows(Context &ctx)
{
    Table t({QStringLiteral("OWNER"), QStringLiteral("TASK_ID"), QStringLiteral("TASK_NAME"), QStringLiteral("REC_ID"),
             QStringLiteral("ACTION_ID"), QStringLiteral("COMMAND"), QStringLiteral("MESSAGE")});
    for (const AdvisorHistory::Task &task : allTasks(ctx))
        for (const AdvisorHistory::Action &a : task.actions)
            t.addRow({task.owner, QString::number(task.taskId), task.name, QString::number(a.recId),
                      QString::number(a.actionId), a.command, a.message});
    return t;
}

} // namespace

void registerAdvisorFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("advisor findings, recommendations and actions"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("dba_advisor_tasks a")) &&
                              s.has(QStringLiteral("dba_advisor_findings b")) &&
                              s.has(QStringLiteral("dba_advisor_recommendations d"));
                   },
                   advisorReport});
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_advisor_tasks"), taskRows));
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_advisor_findings"), findingRows));
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_advisor_recommendations"), recommendationRows));
    out.push_back(simpleViewRecogniser(QStringLiteral("dba_advisor_actions"), actionRows));
}

} // namespace tavimond::sim
