#include "model.h"

namespace tavimond::sim {

Model::Model(quint64 seed, ClockMode mode) : seed_(seed), mode_(mode), wallStartMs_(QDateTime::currentMSecsSinceEpoch())
{}

QDateTime Model::start()
{
    // A naive timestamp, as the database server shows it; UTC keeps it free of daylight-saving jumps.
    return QDateTime(QDate(2026, 11, 30), QTime(8, 0, 0), Qt::UTC);
}

qint64 Model::elapsedMilliseconds() const
{
    const qint64 wall = mode_ == ClockMode::Wall ? QDateTime::currentMSecsSinceEpoch() - wallStartMs_ : 0;
    return wall + offsetMs_;
}

qint64 Model::elapsedSeconds() const
{
    const qint64 ms = elapsedMilliseconds();
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

QDateTime Model::now() const
{
    return start().addSecs(elapsedSeconds());
}

QRandomGenerator Model::random(quint64 salt) const
{
    const quint64 mixed =
        (seed_ * 0x9E3779B97F4A7C15ULL) ^ (salt + 0x632BE59BD9B4E019ULL + (seed_ << 6) + (seed_ >> 2));
    return QRandomGenerator(quint32(mixed ^ (mixed >> 32)));
}

} // namespace tavimond::sim
