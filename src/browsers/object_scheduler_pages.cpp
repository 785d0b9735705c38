// The object browser's pages of scheduler jobs and programs.
#include "object_browser_screen.h"
#include "object_page_parts.h"

#include "core/conversions.h"
#include "db/query.h"

#include <QGridLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavimond {
namespace {

using pages::newTab;

// The job's columns by name, in the order of the job statement.
const DetailEdit kJob[] = {
    {"jobown", "Owner", "Job", "OWNER", -1},
    {"jobname", "Name", "Job", "JOB_NAME", -1},
    {"jobsubname", "Subname", "Job", "JOB_SUBNAME", -1},
    {"jobstyle", "Style", "Job", "JOB_STYLE", -1},
    {"jobcreate", "Creator", "Job", "JOB_CREATOR", -1},
    {"jobclientid", "Client ID", "Job", "CLIENT_ID", -1},
    {"jobglobalid", "Global UID", "Job", "GLOBAL_UID", -1},
    {"jobprogown", "Program Owner", "Job", "PROGRAM_OWNER", -1},
    {"jobprogname", "Program Name", "Job", "PROGRAM_NAME", -1},
    {"jobtype", "Job Type", "Job", "JOB_TYPE", -1},
    {"jobaction", "Job Action", "Job", "JOB_ACTION", -1},
    {"jobnumargs", "# of Arguments", "Job", "NUMBER_OF_ARGUMENTS", -1},
    {"jobschedown", "Schedule Owner", "Job", "SCHEDULE_OWNER", -1},
    {"jobschedname", "Schedule Name", "Job", "SCHEDULE_NAME", -1},
    {"jobschedtype", "Schedule Type", "Job", "SCHEDULE_TYPE", -1},
    {"jobstartdate", "Start Date", "Job", "START_DATE", -1},
    {"jobrepeatint", "Repeat Interval", "Job", "REPEAT_INTERVAL", -1},
    {"jobevtqown", "Event Q Owner", "Job", "EVENT_QUEUE_OWNER", -1},
    {"jobevtqname", "Event Q Name", "Job", "EVENT_QUEUE_NAME", -1},
    {"jobevtqagent", "Event Q Agent", "Job", "EVENT_QUEUE_AGENT", -1},
    {"jobevtcond", "Event Condition", "Job", "EVENT_CONDITION", -1},
    {"jobevtrule", "Event Rule", "Job", "EVENT_RULE", -1},
    {"jobfwown", "File Watch Owner", "Job", "FILE_WATCHER_OWNER", -1},
    {"jobfwname", "File Watch Name", "Job", "FILE_WATCHER_NAME", -1},
    {"jobenddate", "End Date", "Job", "END_DATE", -1},
    {"jobclass", "Job Class", "Job", "JOB_CLASS", -1},
    {"jobenabled", "Enabled", "Job", "ENABLED", -1},
    {"jobautodrop", "Auto Drop", "Job", "AUTO_DROP", -1},
    {"jobrestart", "Restartable", "Job", "RESTARTABLE", -1},
    {"jobstate", "State", "Job", "STATE", -1},
    {"jobpriority", "Job Priority", "Job", "JOB_PRIORITY", -1},
    {"jobruncnt", "Run Count", "Job", "RUN_COUNT", -1},
    {"jobmaxruns", "Max Runs", "Job", "MAX_RUNS", -1},
    {"jobfailcnt", "Failure Count", "Job", "FAILURE_COUNT", -1},
    {"jobmaxfails", "Max Failures", "Job", "MAX_FAILURES", -1},
    {"jobretrycnt", "Retry Count", "Job", "RETRY_COUNT", -1},
    {"joblastsdate", "Last Start Date", "Job", "LAST_START_DATE", -1},
    {"joblrundate", "Last Run Duration", "Job", "LAST_RUN_DURATION", -1},
    {"jobnextrund", "Next Run Date", "Job", "NEXT_RUN_DATE", -1},
    {"jobschedlimit", "Schedule Limit", "Job", "SCHEDULE_LIMIT", -1},
    {"jobmaxrund", "Max Run Duration", "Job", "MAX_RUN_DURATION", -1},
    {"jobloglevel", "Logging Level", "Job", "LOGGING_LEVEL", -1},
    {"jobstopclose", "Stop on Win Close", "Job", "STOP_ON_WINDOW_CLOSE", -1},
    {"jobinststick", "Instance Stickiness", "Job", "INSTANCE_STICKINESS", -1},
    {"jobraiseevt", "Raise Events", "Job", "RAISE_EVENTS", -1},
    {"jobsystem", "System", "Job", "SYSTEM", -1},
    {"jobweight", "Job Weight", "Job", "JOB_WEIGHT", -1},
    {"jobnlsenv", "NLS ENV", "Job", "NLS_ENV", -1},
    {"jobsource", "Source", "Job", "SOURCE", -1},
    {"jobnumdest", "# of Destination", "Job", "NUMBER_OF_DESTINATIONS", -1},
    {"jobdestown", "Dest Owner", "Job", "DESTINATION_OWNER", -1},
    {"jobdest", "Destination", "Job", "DESTINATION", -1},
    {"jobcredown", "Credential Owner", "Job", "CREDENTIAL_OWNER", -1},
    {"jobcredname", "Credential Name", "Job", "CREDENTIAL_NAME", -1},
    {"jobinstid", "Instance ID", "Job", "INSTANCE_ID", -1},
    {"jobdefdrop", "Defer Drop", "Job", "DEFERRED_DROP", -1},
    {"joballowrestr", "Allow Rest Mode", "Job", "ALLOW_RUNS_IN_RESTRICTED_MODE", -1},
    {"jobcomments", "Comments", "Job", "COMMENTS", -1},
    {"jobflags", "Flags", "Job", "FLAGS", -1},
};

const DetailEdit kProgram[] = {
    {"progown", "Owner", "Program", "owner", -1},
    {"progname", "Name", "Program", "program_name", -1},
    {"progtype", "Type", "Program", "program_type", -1},
    {"progaction", "Action", "Program", "program_action", -1},
    {"progargs", "# of Arguments", "Program", "number_of_arguments", -1},
    {"progenabled", "Enabled", "Program", "enabled", -1},
    {"progdetach", "Detached", "Program", "detached", -1},
    {"progschedule", "Schedule Limit", "Program", "schedule_limit", -1},
    {"progpri", "Priority", "Program", "priority", -1},
    {"progweight", "Weight", "Program", "weight", -1},
    {"progmaxruns", "Max Runs", "Program", "max_runs", -1},
    {"progmaxfails", "Max Failures", "Program", "max_failures", -1},
    {"progmaxrund", "Max Run Duration", "Program", "max_run_duration", -1},
    {"prognlsenv", "NLS ENV", "Program", "nls_env", -1},
    {"progcomment", "Comments", "Program", "comments", -1},
};

const pages::RecordKind kJobKind{"JOB",     kJob,        "jobmem",       "job_query",
                                 "PROCOBJ", "jobddlmem", "jobddl_query", "jobddltext"};

} // namespace

void ObjectBrowserScreen::buildSchedulerPages()
{
    QTabWidget *jobpage = pages_.value(QStringLiteral("JOB"));
    QWidget *job = newTab(jobpage, "Job");
    auto *jobGrid = new QGridLayout(job);
    jobGrid->setRowStretch(edits_.layOut(jobGrid, 0, kJob, QStringLiteral("Job"), 3, job), 1);
    QWidget *jobDdl = newTab(jobpage, "DDL");
    (new QVBoxLayout(jobDdl))->addWidget(detailMemo("jobddltext", jobDdl));

    QWidget *program = newTab(pages_.value(QStringLiteral("PROGRAM")), "Program");
    auto *programGrid = new QGridLayout(program);
    programGrid->setRowStretch(edits_.layOut(programGrid, 0, kProgram, QStringLiteral("Program"), 1, program), 1);
}

void ObjectBrowserScreen::jobBranch(const QString &owner, const QString &name)
{
    // The DDL of a scheduler object is asked for as "PROCOBJ".
    showRecord(
        kJobKind,
        {QStringLiteral("select  "), QStringLiteral("OWNER,JOB_NAME,JOB_SUBNAME,JOB_STYLE,JOB_CREATOR,CLIENT_ID, "),
         QStringLiteral("GLOBAL_UID,PROGRAM_OWNER,PROGRAM_NAME,JOB_TYPE,JOB_ACTION, "),
         QStringLiteral("NUMBER_OF_ARGUMENTS,SCHEDULE_OWNER,SCHEDULE_NAME,SCHEDULE_TYPE, "),
         QStringLiteral("START_DATE,REPEAT_INTERVAL,EVENT_QUEUE_OWNER,EVENT_QUEUE_NAME, "),
         QStringLiteral("EVENT_QUEUE_AGENT,EVENT_CONDITION,EVENT_RULE,FILE_WATCHER_OWNER, "),
         QStringLiteral("FILE_WATCHER_NAME,END_DATE,JOB_CLASS,ENABLED,AUTO_DROP,RESTARTABLE, "),
         QStringLiteral("STATE,JOB_PRIORITY,RUN_COUNT,MAX_RUNS,FAILURE_COUNT,MAX_FAILURES, "),
         QStringLiteral("RETRY_COUNT,to_char(LAST_START_DATE) as last_start_date,"),
         QStringLiteral("LAST_RUN_DURATION,to_char(NEXT_RUN_DATE) as next_run_date, "),
         QStringLiteral("SCHEDULE_LIMIT,MAX_RUN_DURATION,LOGGING_LEVEL,STOP_ON_WINDOW_CLOSE, "),
         QStringLiteral("INSTANCE_STICKINESS,RAISE_EVENTS,SYSTEM,JOB_WEIGHT,NLS_ENV, "),
         QStringLiteral("SOURCE,NUMBER_OF_DESTINATIONS,DESTINATION_OWNER,DESTINATION, "),
         QStringLiteral("CREDENTIAL_OWNER,CREDENTIAL_NAME,INSTANCE_ID,DEFERRED_DROP, "),
         QStringLiteral("ALLOW_RUNS_IN_RESTRICTED_MODE,COMMENTS,FLAGS  "), QStringLiteral("from dba_scheduler_jobs  "),
         QStringLiteral("where  "), QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
         QStringLiteral("job_name =  ") + sqlQuote(name) + QStringLiteral(" ")},
        name, owner);
}

void ObjectBrowserScreen::programBranch(const QString &owner, const QString &name)
{
    showDetailPage(pages_.value(QStringLiteral("PROGRAM")));
    edits_.clear(kProgram);
    scriptMemo("progsrcmem")->clear();
    // The double-clicked program, not the first of them all.
    Query &q = runScript("progsrcmem", "progsrc_query",
                         {QStringLiteral("select * from dba_scheduler_programs "), QStringLiteral("where "),
                          QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                          QStringLiteral("program_name =  ") + sqlQuote(name) + QStringLiteral(" "),
                          QStringLiteral("order by owner,program_name")});
    edits_.copyByName(q, kProgram);
    q.close();
}

} // namespace tavimond
