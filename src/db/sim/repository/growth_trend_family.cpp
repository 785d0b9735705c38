// dbms_space.object_growth_trend: one segment's space used and allocated at points a
// fixed interval apart, measured from the repository's oldest snapshot on, projected
// after the present.
#include "repository.h"
#include "segment_activity.h"

#include "../oracle_dates.h"
#include "../server.h"
#include "../../error.h"

#include <QRegularExpression>

namespace tavimond::sim {
namespace {

// The time an argument sets: sysdate, or sysdate plus or minus a number of days.
QDateTime readSysdateArgument(const Statement &s, const QString &argument, const Model &model)
{
    const std::vector<Token> &t = s.tokens();
    const int i = s.after(argument + QStringLiteral(" =>"));
    if (i < 0 || i >= int(t.size()) || t[size_t(i)].text != QLatin1String("sysdate"))
        cannotRead(QStringLiteral("the argument ") + argument);
    const size_t k = size_t(i) + 1;
    if (k + 1 < t.size() && (t[k].text == QLatin1String("-") || t[k].text == QLatin1String("+")) &&
        t[k + 1].kind == Token::Number) {
        const double days = t[k + 1].value.toDouble() * (t[k].text == QLatin1String("-") ? -1 : 1);
        return model.now().addMSecs(qint64(days * 86400000.0));
    }
    return model.now();
}

// to_dsinterval('D HH:MI:SS') in seconds.
qint64 readInterval(const Statement &s)
{
    const std::optional<QString> text = s.stringAfter(QStringLiteral("interval => to_dsinterval ("));
    if (!text)
        cannotRead(QStringLiteral("the argument interval"));
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\d+)\s+(\d{1,2}):(\d{2}):(\d{2})\s*$)"));
    const QRegularExpressionMatch m = form.match(*text);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("ORA-01867: the interval is invalid"));
    const qint64 seconds = m.captured(1).toLongLong() * 86400 + m.captured(2).toLongLong() * 3600 +
                           m.captured(3).toLongLong() * 60 + m.captured(4).toLongLong();
    if (seconds <= 0)
        throw DbError(QStringLiteral("ORA-01867: the interval is invalid"));
    return seconds;
}

QString requiredText(const Statement &s, const char *argument)
{
    const std::optional<QString> v = s.stringAfter(QString::fromLatin1(argument) + QStringLiteral(" =>"));
    if (!v)
        throw DbError(QStringLiteral("PLS-00306: wrong number or types of arguments in call to 'OBJECT_GROWTH_TREND'"));
    return *v;
}

Result growthTrend(const Statement &s, Context &ctx)
{
    if (!s.has(QStringLiteral("space_usage")) || !s.has(QStringLiteral("space_alloc")) ||
        !s.has(QStringLiteral("quality")))
        cannotRead(QStringLiteral("the select list"));
    const std::optional<QString> timeMask = s.stringAfter(QStringLiteral("to_char ( timepoint ,"));
    if (!timeMask)
        cannotRead(QStringLiteral("the select list"));
    const QString owner = requiredText(s, "object_owner");
    const QString name = requiredText(s, "object_name");
    const QString type = requiredText(s, "object_type");
    const QString partition = s.stringAfter(QStringLiteral("partition_name =>")).value_or(QString());
    const QDateTime from = readSysdateArgument(s, QStringLiteral("start_time"), ctx.model);
    const QDateTime to = readSysdateArgument(s, QStringLiteral("end_time"), ctx.model);
    const qint64 step = readInterval(s);

    const SegmentActivity &activity = ctx.model.state<SegmentActivity>();
    const StorageLayout::DbObject *object = nullptr;
    // NULL texts ('') name no object.
    for (const StorageLayout::DbObject &o : activity.layout().objects())
        if (!owner.isEmpty() && !name.isEmpty() && o.owner == owner && o.name == name && o.type == type &&
            o.subobject == partition)
            object = &o;
    if (!object)
        throw DbError(QStringLiteral("ORA-20000: object %1.%2%3 of type %4 does not exist")
                          .arg(owner, name, partition.isEmpty() ? QString() : QStringLiteral(".") + partition, type));

    auto table = std::make_shared<Table>(QStringList{QStringLiteral("TIMEPOINT"), QStringLiteral("SPACE_USAGE"),
                                                     QStringLiteral("SPACE_ALLOC"), QStringLiteral("QUALITY")});
    // An object without a segment of its own (a partitioned table) has no space to trend.
    if (!activity.segmentOf(*object))
        return table;
    const Repository &repository = activity.repository();
    const QDateTime oldest = repository.boundary(-1);
    const QDateTime now = ctx.model.now();
    for (QDateTime t = from; t <= to; t = t.addSecs(step)) {
        if (t < oldest)
            continue;
        QString quality = QStringLiteral("PROJECTION");
        if (t <= now) {
            // Measured where the segment had a row in the snapshot that covered the time;
            // between such snapshots the space is interpolated.
            const qint64 index = oldest.secsTo(t) / repository.intervalSeconds();
            bool measured = false;
            for (int instance = 1; instance <= repository.instances() && !measured; ++instance)
                if (const auto snap = repository.snapshot(Repository::kFirstSnapId + index, instance))
                    measured = activity.deltasOf(*object, *snap).has_value();
            quality = measured ? QStringLiteral("GOOD") : QStringLiteral("INTERPOLATED");
        }
        const SegmentActivity::Space space = activity.spaceAt(*object, t);
        table->addRow({toChar(t, *timeMask), QString::number(space.used), QString::number(space.allocated), quality});
    }
    return table;
}

} // namespace

void registerGrowthTrendFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dbms_space.object_growth_trend"),
                   [](const Statement &s) { return s.has(QStringLiteral("dbms_space.object_growth_trend")); },
                   growthTrend});
}

} // namespace tavimond::sim
