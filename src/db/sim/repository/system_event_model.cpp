#include "system_event_model.h"

#include "../live/wait_event_catalogue.h"

#include <QHash>
#include <algorithm>

namespace tavimond::sim {
namespace {

// Rare events that first waited part-way through the last day before the clock's start:
// hours before it, on instance 1 and on instance 2.
struct LateStart {
    const char *name;
    int hoursBefore[2]; // on instance 1, on the others
};

const LateStart kLateStarts[] = {
    {"enq: TM - contention", {20, 7}},
    {"os thread startup", {9, 30}},
    {"library cache lock", {5, 13}},
    {"cursor: pin S wait on X", {30, 3}},
};

// Oracle's event ids are hashes of the names.
qint64 eventIdOf(const QString &name)
{
    quint32 h = 2166136261u;
    for (QChar c : name)
        h = (h ^ c.unicode()) * 16777619u;
    return qint64(h);
}

const char *const kExtraClasses[] = {"Other", "Concurrency", "Application", "User I/O", "Cluster", "Configuration"};

} // namespace

SystemEventHistory::SystemEventHistory(Model &model)
{
    const std::vector<LiveModel::CounterShape> shapes = waitEventShapes(model);
    const std::span<const WaitEventSpec> catalogue = waitEventCatalogue();
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const WaitEventSpec &spec = catalogue[i];
        Event e;
        e.name = QString::fromLatin1(spec.name);
        e.waitClass = QString::fromLatin1(spec.waitClass);
        e.eventId = eventIdOf(e.name);
        e.waitsPerSecond = spec.waitsPerSecond;
        e.centisecondsPerWait = spec.centisecondsPerWait;
        e.appearsAfter = spec.appearsAfter;
        e.shape = shapes[i];
        for (const LateStart &l : kLateStarts)
            if (e.name == QLatin1String(l.name))
                for (int k = 0; k < 2; ++k)
                    e.firstWaitBefore[k] = qint64(l.hoursBefore[k]) * 3600;
        events_.push_back(e);
    }
    // Rare application events of their own, for large benchmarks.
    QRandomGenerator rng = model.random(0x5e7e);
    const int extra = model.state<SystemEventShape>().extraEvents;
    for (int n = 0; n < extra; ++n) {
        Event e;
        e.waitClass = QString::fromLatin1(kExtraClasses[n % std::size(kExtraClasses)]);
        e.name = QStringLiteral("%1 wait %2").arg(e.waitClass.toLower()).arg(n + 1, 4, 10, QLatin1Char('0'));
        e.eventId = eventIdOf(e.name);
        e.waitsPerSecond = 0.01 + rng.generateDouble() * 5;
        e.centisecondsPerWait = 0.01 + rng.generateDouble() * 4;
        e.shape = LiveModel::CounterShape::draw(rng, 0.6, 0.8, 240, 3000);
        if (n % 10 == 0)
            for (qint64 &before : e.firstWaitBefore)
                before = qint64(rng.bounded(14 * 86400));
        events_.push_back(e);
    }
}

std::optional<SystemEventHistory::Figures> SystemEventHistory::at(const Repository::Snapshot &snapshot,
                                                                  const Event &event) const
{
    const QDateTime clockStart = Model::start();
    QDateTime first = snapshot.startup;
    if (event.appearsAfter > 0)
        first = std::max(first, clockStart).addSecs(event.appearsAfter);
    else if (const qint64 before = event.firstWaitBefore[snapshot.instance == 1 ? 0 : 1])
        first = std::max(first, clockStart.addSecs(-before));
    const qint64 age = first.secsTo(snapshot.end);
    if (age <= 0)
        return std::nullopt;
    const WaitEventSpec spec{nullptr, nullptr, event.waitsPerSecond, event.centisecondsPerWait, event.appearsAfter};
    const WaitEventFigures f = waitEventFigures(spec, event.shape, snapshot.instance, age);
    if (f.waits < 1)
        return std::nullopt;
    return Figures{qint64(f.waits), qint64(f.micro)};
}

} // namespace tavimond::sim
