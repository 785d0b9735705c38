#pragma once

#include "../model.h"

#include <QString>

namespace tavimond::sim {

// The life of the two simulated instances, which every live view follows: both have
// been up for days when the clock starts, and instance 2 restarts once, an hour in, so
// that its counters drop and start again from zero.
class LiveModel {
public:
    static constexpr int kInstances = 2;
    static constexpr qint64 kRestartOfInstance2 = 3600; // seconds after the clock starts

    explicit LiveModel(Model &model);

    // Seconds since the instance last started, at the current simulated time: whole,
    // and to the millisecond (for counters).
    qint64 instanceAge(int instance) const;
    double exactAge(int instance) const;
    // Age of something an instance first does `after` seconds into its life, counted
    // from the clock's start for an instance that was up before it: 0 means from the
    // instance's start, like the ordinary waits; -1 when it has not happened yet.
    qint64 ageOf(int instance, qint64 after) const;
    double exactAgeOf(int instance, qint64 after) const;

    // A cumulative counter that grows by `rate` a second on average, faster and slower
    // in a cycle of `period` seconds, never falling; 0 at age 0.
    static double counter(double rate, double age, double period, double phase);

    Model &model() const { return model_; }

    // How one counter grows: its rate's factor on each instance and its cycle.
    struct CounterShape {
        double instanceFactor[kInstances];
        double period;
        double phase;

        // Factors from minFactor to minFactor + factorSpread, periods of minPeriod
        // seconds and up to periodSpread more, any phase.
        static CounterShape draw(QRandomGenerator &rng, double minFactor, double factorSpread, quint32 minPeriod,
                                 quint32 periodSpread);
        // The counter of something that happens `rate` times a second on an instance
        // of that age.
        double value(double rate, int instance, double age) const;
    };

private:
    Model &model_;
    qint64 uptimeAtStart_[kInstances];
};

} // namespace tavimond::sim
