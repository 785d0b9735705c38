// v$sysstat: the connected instance's cumulative statistics, growing with its age.
#include "live_model.h"
#include "../select_eval.h"
#include "../server.h"

#include <cmath>
#include <vector>

namespace tavimond::sim {
namespace {

struct StatSpec {
    int number;
    const char *name;
    int statClass;
    double perSecond;
};

// "session logical reads" is not listed: it is the sum of "db block gets" and
// "consistent gets", as on a real instance.
const StatSpec kStats[] = {
    {0, "logons cumulative", 1, 0.06},
    {2, "opened cursors cumulative", 1, 140},
    {6, "user commits", 1, 85},
    {7, "user rollbacks", 1, 0.7},
    {8, "user calls", 1, 1900},
    {12, "CPU used by this session", 1, 310},
    {20, "db block gets", 8, 4200},
    {22, "consistent gets", 8, 61000},
    {24, "physical reads", 8, 880},
    {25, "physical reads direct", 8, 45},
    {27, "physical writes", 8, 125},
    {30, "db block changes", 8, 3100},
    {34, "consistent changes", 8, 140},
    {40, "redo entries", 2, 1600},
    {41, "redo size", 2, 780000},
    {50, "table scans (long tables)", 64, 0.9},
    {51, "table scans (short tables)", 64, 75},
    {60, "parse count (total)", 64, 130},
    {61, "parse count (hard)", 64, 4.5},
    {64, "execute count", 64, 2400},
    {70, "sorts (memory)", 64, 95},
    {71, "sorts (disk)", 64, 0.02},
    {80, "bytes sent via SQL*Net to client", 1, 2600000},
    {81, "bytes received via SQL*Net from client", 1, 1900000},
};
constexpr int kSessionLogicalReads = 14;

// A stable number for a statistic's name (STAT_ID).
QString statId(const char *name)
{
    quint32 h = 2166136261u;
    for (const char *c = name; *c; ++c)
        h = (h ^ quint8(*c)) * 16777619u;
    return QString::number(h);
}

class SystemStatistics {
public:
    explicit SystemStatistics(Model &model) : live_(model.state<LiveModel>())
    {
        QRandomGenerator rng = model.random(0x5757);
        for (size_t i = 0; i < std::size(kStats); ++i)
            shapes_.push_back(LiveModel::CounterShape::draw(rng, 0.75, 0.5, 300, 4000));
    }

    Table rows(int instance) const
    {
        Table t({QStringLiteral("STATISTIC#"), QStringLiteral("NAME"), QStringLiteral("CLASS"), QStringLiteral("VALUE"),
                 QStringLiteral("STAT_ID")});
        const double age = live_.exactAge(instance);
        double logicalReads = 0;
        for (size_t i = 0; i < std::size(kStats); ++i) {
            const StatSpec &st = kStats[i];
            const double value = shapes_[i].value(st.perSecond, instance, age);
            const QLatin1String name(st.name);
            if (name == QLatin1String("db block gets") || name == QLatin1String("consistent gets"))
                logicalReads += value;
            t.addRow({QString::number(st.number), QString(name), QString::number(st.statClass), oracleNumber(value),
                      statId(st.name)});
        }
        t.addRow({QString::number(kSessionLogicalReads), QStringLiteral("session logical reads"), QStringLiteral("1"),
                  oracleNumber(logicalReads), statId("session logical reads")});
        return t;
    }

private:
    LiveModel &live_;
    std::vector<LiveModel::CounterShape> shapes_;
};

} // namespace

void registerSysstatFamily(std::vector<Recogniser> &out)
{
    out.push_back(simpleViewRecogniser(QStringLiteral("v$sysstat"), [](Context &ctx) {
        return ctx.model.state<SystemStatistics>().rows(ctx.session.instance);
    }));
}

} // namespace tavimond::sim
