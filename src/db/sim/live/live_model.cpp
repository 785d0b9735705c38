#include "live_model.h"

#include <algorithm>
#include <cmath>

namespace tavimond::sim {

LiveModel::LiveModel(Model &model) : model_(model)
{
    QRandomGenerator rng = model.random(0x11fe);
    for (qint64 &u : uptimeAtStart_)
        u = 2 * 86400 + qint64(rng.bounded(5 * 86400));
}

double LiveModel::exactAge(int instance) const
{
    const double t = model_.elapsed();
    if (instance == 2 && t >= kRestartOfInstance2)
        return t - kRestartOfInstance2;
    const int i = std::clamp(instance, 1, kInstances) - 1;
    return double(uptimeAtStart_[i]) + t;
}

qint64 LiveModel::instanceAge(int instance) const
{
    return qint64(std::floor(exactAge(instance)));
}

double LiveModel::exactAgeOf(int instance, qint64 after) const
{
    if (after <= 0)
        return exactAge(instance);
    const double t = model_.elapsed();
    const double start = (instance == 2 && t >= kRestartOfInstance2) ? kRestartOfInstance2 : 0;
    return t >= start + double(after) ? t - (start + double(after)) : -1;
}

qint64 LiveModel::ageOf(int instance, qint64 after) const
{
    const double age = exactAgeOf(instance, after);
    return age < 0 ? -1 : qint64(std::floor(age));
}

double LiveModel::counter(double rate, double age, double period, double phase)
{
    if (age <= 0)
        return 0;
    constexpr double kTwoPi = 6.283185307179586;
    const double a = age;
    // rate * (1 - 0.8 cos(...)) integrated: always rising, at 0.2 to 1.8 times the rate.
    const double wobble = 0.8 * period / kTwoPi * (std::sin(kTwoPi * a / period + phase) - std::sin(phase));
    return std::floor(rate * (a - wobble));
}

LiveModel::CounterShape LiveModel::CounterShape::draw(QRandomGenerator &rng, double minFactor, double factorSpread,
                                                      quint32 minPeriod, quint32 periodSpread)
{
    CounterShape s;
    for (double &f : s.instanceFactor)
        f = minFactor + rng.generateDouble() * factorSpread;
    s.period = minPeriod + rng.bounded(periodSpread);
    s.phase = rng.generateDouble() * 6.28;
    return s;
}

double LiveModel::CounterShape::value(double rate, int instance, double age) const
{
    return counter(rate * instanceFactor[std::clamp(instance, 1, kInstances) - 1], age, period, phase);
}

} // namespace tavimond::sim
