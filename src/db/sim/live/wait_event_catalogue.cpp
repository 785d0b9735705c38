#include "wait_event_catalogue.h"

#include <cmath>

namespace tavimond::sim {
namespace {

// Rates for a busy OLTP system; a few events first occur while the clock runs.
const WaitEventSpec kEvents[] = {
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

} // namespace

std::span<const WaitEventSpec> waitEventCatalogue()
{
    return kEvents;
}

std::vector<LiveModel::CounterShape> waitEventShapes(Model &model)
{
    QRandomGenerator rng = model.random(0x3e7);
    std::vector<LiveModel::CounterShape> shapes;
    for (size_t i = 0; i < std::size(kEvents); ++i)
        shapes.push_back(LiveModel::CounterShape::draw(rng, 0.6, 0.8, 240, 3000));
    return shapes;
}

WaitEventFigures waitEventFigures(const WaitEventSpec &event, const LiveModel::CounterShape &shape, int instance,
                                  double age)
{
    const double waits = shape.value(event.waitsPerSecond, instance, age);
    return {waits, std::floor(waits * event.centisecondsPerWait * 10000.0)};
}

} // namespace tavimond::sim
