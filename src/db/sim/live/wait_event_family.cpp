// gv$system_event and v$system_event: the wait events of both instances.
#include "wait_event_catalogue.h"
#include "../select_eval.h"
#include "../server.h"

#include <cmath>
#include <vector>

namespace tavimond::sim {
namespace {

class WaitEvents {
public:
    explicit WaitEvents(Model &model) : live_(model.state<LiveModel>()), shapes_(waitEventShapes(model)) {}

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
            for (size_t i = 0; i < waitEventCatalogue().size(); ++i) {
                const WaitEventSpec &e = waitEventCatalogue()[i];
                const double age = live_.exactAgeOf(inst, e.appearsAfter);
                if (age < 0 || (e.appearsAfter > 0 && age == 0))
                    continue;
                const auto [waits, micro] = waitEventFigures(e, shapes_[i], inst, age);
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
