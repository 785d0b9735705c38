#pragma once

#include "live_model.h"

#include <span>
#include <vector>

namespace tavimond::sim {

// The wait events the simulated instances know, with how often each is waited for: what
// gv$system_event shows live and what the workload repository kept at each snapshot.
struct WaitEventSpec {
    const char *name;
    const char *waitClass;
    double waitsPerSecond;
    double centisecondsPerWait;
    qint64 appearsAfter; // seconds into the instance's life (or the clock's); 0: known from the start
};

std::span<const WaitEventSpec> waitEventCatalogue();

// Each event's counter shape, by catalogue index; the same for the same model.
std::vector<LiveModel::CounterShape> waitEventShapes(Model &model);

// An event's cumulative figures after `age` seconds of waiting on an instance.
struct WaitEventFigures {
    double waits = 0;
    double micro = 0; // time waited, microseconds
};
WaitEventFigures waitEventFigures(const WaitEventSpec &event, const LiveModel::CounterShape &shape, int instance,
                                  double age);

} // namespace tavimond::sim
