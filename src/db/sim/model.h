#pragma once

#include <QDateTime>
#include <QRandomGenerator>

#include <any>
#include <map>
#include <memory>
#include <typeindex>

namespace tavimond::sim {

enum class ClockMode {
    Manual, // time moves only when advance() is called (tests)
    Wall,   // time follows the wall clock from the reset (the demo)
};

// The simulated database's state: a seed, a clock, and each family's own state.
// Everything it answers is a function of the seed and the simulated time.
class Model {
public:
    Model(quint64 seed, ClockMode mode);

    quint64 seed() const { return seed_; }
    // The simulated time: a fixed start plus the elapsed time, kept to the millisecond
    // so that counters sampled every second do not jump by whole seconds.
    QDateTime now() const;
    qint64 elapsedSeconds() const; // whole seconds
    qint64 elapsedMilliseconds() const;
    double elapsed() const { return double(elapsedMilliseconds()) / 1000.0; } // seconds
    void advance(qint64 seconds) { offsetMs_ += seconds * 1000; }
    void advanceMilliseconds(qint64 ms) { offsetMs_ += ms; }
    static QDateTime start();

    // A generator for one purpose, the same for the same seed and salt.
    QRandomGenerator random(quint64 salt) const;

    // The state a family keeps between statements, made on first use from the model.
    template <class T>
    T &state()
    {
        auto it = states_.find(std::type_index(typeid(T)));
        if (it == states_.end())
            it = states_.emplace(std::type_index(typeid(T)), std::make_shared<T>(*this)).first;
        return *std::static_pointer_cast<T>(it->second);
    }

private:
    quint64 seed_;
    ClockMode mode_;
    qint64 offsetMs_ = 0;
    qint64 wallStartMs_;
    std::map<std::type_index, std::shared_ptr<void>> states_;
};

} // namespace tavimond::sim
