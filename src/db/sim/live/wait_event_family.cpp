// gv$system_event and v$system_event: the wait events of both instances.
#include "live_model.h"
#include "../select_eval.h"
#include "../server.h"

#include <vector>

namespace tavimond::sim {
namespace {

struct EventSpec {
    const char *name;
    const char *waitClass;
    double waitsPerSecond;
    double centisecondsPerWait;
    qint64 appearsAfter; // seconds into the instance's life (or the clock's); 0: known from the start
};

// Rates for a busy OLTP system; a few events first occur while the clock runs.
const EventSpec kEvents[] = {
    {"db file sequential read", "User I/O", 420, 0.6, 0},
    {"db file scattered read", "User I/O", 35, 1.4, 0},
    {"direct path read", "User I/O", 12, 2.2, 0},
    {"direct path write temp", "User I/O", 3, 1.1, 0},
    {"read by other session", "User I/O", 6, 0.9, 0},
    {"Disk file operations I/O", "User I/O", 1.5, 0.05, 0},
    {"log file sync", "Commit", 160, 0.35, 0},
    {"log file parallel write", "System I/O", 150, 0.2, 0},
    {"db file parallel write", "System I/O", 40, 0.5, 0},
    {"control file sequential read", "System I/O", 8, 0.1, 0},
    {"control file parallel write", "System I/O", 1.2, 0.4, 0},
    {"SQL*Net message to client", "Network", 900, 0.0001, 0},
    {"SQL*Net more data to client", "Network", 45, 0.002, 0},
    {"SQL*Net message from client", "Idle", 880, 3.5, 0},
    {"rdbms ipc message", "Idle", 60, 40, 0},
    {"pmon timer", "Idle", 0.33, 300, 0},
    {"smon timer", "Idle", 0.003, 30000, 0},
    {"jobq slave wait", "Idle", 2, 50, 0},
    {"buffer busy waits", "Concurrency", 4, 0.3, 0},
    {"library cache: mutex X", "Concurrency", 2.5, 0.05, 0},
    {"cursor: pin S wait on X", "Concurrency", 0.4, 1.2, 0},
    {"library cache lock", "Concurrency", 0.2, 2, 0},
    {"row cache lock", "Concurrency", 0.3, 0.4, 0},
    {"latch free", "Other", 1.1, 0.2, 0},
    {"enq: TM - contention", "Application", 0.05, 45, 0},
    {"gc cr block 2-way", "Cluster", 210, 0.08, 0},
    {"gc current block 2-way", "Cluster", 140, 0.09, 0},
    {"gc cr multi block request", "Cluster", 18, 0.3, 0},
    {"gcs log flush sync", "Other", 3, 0.6, 0},
    {"os thread startup", "Concurrency", 0.05, 4, 0},
    {"free buffer waits", "Configuration", 0.6, 1.5, 0},
    {"resmgr:cpu quantum", "Scheduler", 0.9, 2.5, 0},
    {"enq: TX - row lock contention", "Application", 0.8, 120, 60},
    {"latch: cache buffers chains", "Concurrency", 3.2, 0.2, 150},
    {"gc buffer busy acquire", "Cluster", 1.7, 0.9, 300},
    {"log buffer space", "Configuration", 0.4, 3, 600},
    {"gc cr failure", "Cluster", 0.3, 1.5, 4000},
};

class WaitEvents {
public:
    explicit WaitEvents(Model &model) : live_(model.state<LiveModel>())
    {
        QRandomGenerator rng = model.random(0x3e7);
        for (size_t i = 0; i < std::size(kEvents); ++i)
            shapes_.push_back(LiveModel::CounterShape::draw(rng, 0.6, 0.8, 240, 3000));
    }

    // One row per event known to the instance: INST_ID, EVENT, TOTAL_WAITS,
    // TOTAL_TIMEOUTS, TIME_WAITED (centiseconds), AVERAGE_WAIT, TIME_WAITED_MICRO, WAIT_CLASS.
    Table rows(bool withInstance, int onlyInstance) const
    {
        QStringList columns{QStringLiteral("EVENT"),          QStringLiteral("TOTAL_WAITS"),
                            QStringLiteral("TOTAL_TIMEOUTS"), QStringLiteral("TIME_WAITED"),
                            QStringLiteral("AVERAGE_WAIT"),   QStringLiteral("TIME_WAITED_MICRO"),
                            QStringLiteral("WAIT_CLASS")};
        if (withInstance)
            columns.prepend(QStringLiteral("INST_ID"));
        Table t(columns);
        for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
            if (onlyInstance && inst != onlyInstance)
                continue;
            for (size_t i = 0; i < std::size(kEvents); ++i) {
                const EventSpec &e = kEvents[i];
                const double age = live_.exactAgeOf(inst, e.appearsAfter);
                if (age < 0 || (e.appearsAfter > 0 && age == 0))
                    continue;
                const double waits = shapes_[i].value(e.waitsPerSecond, inst, age);
                const double micro = std::floor(waits * e.centisecondsPerWait * 10000.0);
                const double centi = std::floor(micro / 10000.0);
                QStringList row{QString::fromLatin1(e.name),
                                oracleNumber(waits),
                                oracleNumber(std::floor(waits * (e.waitClass == std::string_view("Idle") ? 0.4 : 0.0))),
                                oracleNumber(centi),
                                oracleNumber(waits > 0 ? std::round(centi / waits * 100) / 100 : 0),
                                oracleNumber(micro),
                                QString::fromLatin1(e.waitClass)};
                if (withInstance)
                    row.prepend(QString::number(inst));
                t.addRow(row);
            }
        }
        return t;
    }

private:
    LiveModel &live_;
    std::vector<LiveModel::CounterShape> shapes_;
};

} // namespace

void registerWaitEventFamily(std::vector<Recogniser> &out)
{
    for (const bool global : {true, false}) {
        const QString view = global ? QStringLiteral("gv$system_event") : QStringLiteral("v$system_event");
        out.push_back(simpleViewRecogniser(view, [global](Context &ctx) {
            return ctx.model.state<WaitEvents>().rows(global, global ? 0 : ctx.session.instance);
        }));
    }
}

} // namespace tavimond::sim
