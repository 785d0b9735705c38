#pragma once

#include "repository.h"

#include "../live/live_model.h"

#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

// More wait events than the instances know, for benchmarks: set before first use with
// server.model().state<SystemEventShape>().extraEvents = 400.
struct SystemEventShape {
    explicit SystemEventShape(Model &) {}
    int extraEvents = 0;
};

// The cumulative wait figures of every event of each instance as the repository kept
// them at each snapshot (dba_hist_system_event): the events and rates the live
// instances show, counted from each instance's startup.
//
// What the views rely on:
// - an event has a row at a snapshot only once it has waited: the events the live view
//   sees appear only after the clock's start (a while after it, or after a restart) and
//   some rare ones first waited a few hours before it, so windows hold events that begin
//   part-way through;
// - the figures never fall, except where instance 2 restarted: they start again from zero;
// - time waited is in microseconds and runs far beyond 32 bits.
class SystemEventHistory {
public:
    struct Event {
        QString name;
        QString waitClass;
        qint64 eventId = 0;
        double waitsPerSecond = 0;
        double centisecondsPerWait = 0;
        qint64 appearsAfter = 0; // seconds after the clock's start (or a later startup)
        // On instance 1 and on the others, how long before the clock's start it first
        // waited; 0: at startup.
        qint64 firstWaitBefore[2] = {0, 0};
        LiveModel::CounterShape shape{};
    };
    struct Figures {
        qint64 waits = 0;
        qint64 micro = 0;
    };

    explicit SystemEventHistory(Model &model);

    const std::vector<Event> &events() const { return events_; }
    // The event's figures as the snapshot kept them; nothing when it had not waited yet.
    std::optional<Figures> at(const Repository::Snapshot &snapshot, const Event &event) const;

private:
    std::vector<Event> events_;
};

} // namespace tavimond::sim
