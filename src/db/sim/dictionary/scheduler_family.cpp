// The scheduler's jobs and programs: dba_scheduler_jobs and dba_scheduler_programs.
#include "code_catalogue.h"
#include "dictionary_model.h"
#include "dictionary_recognisers.h"

#include "../select_eval.h"

namespace tavimond::sim {

void registerSchedulerFamily(std::vector<Recogniser> &out)
{
    // The job dates are TIMESTAMP WITH TIME ZONE values: read as they are, they come as
    // the data-access layer reads timestamps; through to_char without a format, in the
    // session's format, which is what the statement's rows then hold.
    out.push_back({QStringLiteral("dba_scheduler_jobs"),
                   [](const Statement &s) { return simpleSelectView(s) == QLatin1String("dba_scheduler_jobs"); },
                   [](const Statement &s, Context &ctx) {
                       const bool nls = s.has(QStringLiteral("to_char ( last_start_date )")) ||
                                        s.has(QStringLiteral("to_char ( next_run_date )"));
                       const QDateTime start = ctx.model.state<DictionaryModel>().clockStart();
                       return *evaluateSimpleSelect(s, QStringLiteral("dba_scheduler_jobs"),
                                                    [&] { return code::schedulerJobs(start, nls); });
                   }});
    out.push_back(dictionaryViewRecogniser(QStringLiteral("dba_scheduler_programs")));
}

} // namespace tavimond::sim
