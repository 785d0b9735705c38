// The active session history of one statement over a window of snapshots, grouped per
// session, plan and event (the event refined by its parameters where asked).
#include "active_session_history.h"
#include "repository.h"
#include "sql_workload.h"

#include "../select_eval.h"
#include "../server.h"
#include "../../timestamp_text.h"

#include "../../error.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace tavimond::sim {
namespace {

using Tokens = std::vector<Token>;

bool is(const Tokens &t, size_t i, const char *text)
{
    return i < t.size() && t[i].text == QLatin1String(text);
}

// The tokens joined, upper case, without blanks: "X.SQL_ID||'::'||X.SQL_PLAN_HASH_VALUE".
QString joined(const Tokens &t, size_t from, size_t to)
{
    QString out;
    for (size_t i = from; i < to; ++i)
        out += t[i].kind == Token::String ? t[i].text : t[i].text.toUpper();
    return out;
}

// Comma-separated expressions from `from` to the first of the stop words at depth 0.
std::vector<std::pair<size_t, size_t>> listFrom(const Tokens &t, size_t from, std::initializer_list<const char *> stops)
{
    std::vector<std::pair<size_t, size_t>> out;
    int depth = 0;
    size_t start = from, i = from;
    for (; i < t.size(); ++i) {
        if (t[i].text == QLatin1String("("))
            ++depth;
        else if (t[i].text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && t[i].text == QLatin1String(",")) {
            out.emplace_back(start, i);
            start = i + 1;
        } else if (depth == 0 && std::any_of(stops.begin(), stops.end(),
                                             [&](const char *w) { return t[i].text == QLatin1String(w); }))
            break;
    }
    out.emplace_back(start, i);
    return out;
}

// The parameters an event expression appends: x.event || ':' || x.p1 ... .
enum class Part { Event, P1text, P1, P2text, P2, P3text, P3 };

// Reads "x.event" followed by "||':'||x.<parameter>" terms; nothing when it is not one.
std::optional<std::vector<Part>> readEvent(const Tokens &t, size_t from, size_t to)
{
    if (!(to >= from + 3 && is(t, from, "x") && is(t, from + 1, ".") && is(t, from + 2, "event")))
        return std::nullopt;
    std::vector<Part> parts{Part::Event};
    static const char *const kNames[] = {"p1text", "p1", "p2text", "p2", "p3text", "p3"};
    for (size_t i = from + 3; i < to; i += 6) {
        if (!(i + 6 <= to && is(t, i, "||") && t[i + 1].kind == Token::String && t[i + 1].value == QLatin1String(":") &&
              is(t, i + 2, "||") && is(t, i + 3, "x") && is(t, i + 4, ".")))
            return std::nullopt;
        const auto found = std::find_if(std::begin(kNames), std::end(kNames),
                                        [&](const char *n) { return t[i + 5].text == QLatin1String(n); });
        if (found == std::end(kNames))
            throw DbError(QStringLiteral("ORA-00904: \"X\".\"%1\": invalid identifier").arg(t[i + 5].text.toUpper()));
        parts.push_back(Part(1 + (found - std::begin(kNames))));
    }
    return parts;
}

struct Column {
    enum Kind { Session, Serial, Key, FirstSample, LastSample, Event, Samples, TimeWaited } kind;
    int divisorDigits = 0;
};

Column readColumn(const Tokens &t, size_t from, size_t to, std::vector<Part> &event)
{
    const QString e = joined(t, from, to);
    if (e == QLatin1String("X.SESSION_ID"))
        return {Column::Session};
    if (e == QLatin1String("X.SESSION_SERIAL#"))
        return {Column::Serial};
    if (e == QLatin1String("X.SQL_ID||'::'||X.SQL_PLAN_HASH_VALUE"))
        return {Column::Key};
    if (e == QLatin1String("MIN(X.SAMPLE_TIME)"))
        return {Column::FirstSample};
    if (e == QLatin1String("MAX(X.SAMPLE_TIME)"))
        return {Column::LastSample};
    if (e == QLatin1String("COUNT(*)"))
        return {Column::Samples};
    if (e == QLatin1String("SUM(X.TIME_WAITED)"))
        return {Column::TimeWaited};
    if (e.startsWith(QLatin1String("SUM(X.TIME_WAITED)/1")) && e.count(QLatin1Char('0')) == e.size() - 20)
        return {Column::TimeWaited, int(e.size()) - 20};
    if (auto parts = readEvent(t, from, to)) {
        event = *parts;
        return {Column::Event};
    }
    cannotRead(QStringLiteral("the select list"));
}

QString partText(const ActiveSessionHistory::Sample &s, Part p)
{
    switch (p) {
    case Part::Event:
        return s.event;
    case Part::P1text:
        return s.p1text;
    case Part::P1:
        return QString::number(s.p1);
    case Part::P2text:
        return s.p2text;
    case Part::P2:
        return QString::number(s.p2);
    case Part::P3text:
        return s.p3text;
    case Part::P3:
        return QString::number(s.p3);
    }
    return {};
}

QString divided(qint64 micros, int digits)
{
    if (digits == 6)
        return microsAsSeconds(micros);
    qint64 p = 1;
    for (int i = 0; i < digits; ++i)
        p *= 10;
    return digits == 0 ? QString::number(micros) : oracleNumber(double(micros) / double(p));
}

Result sqlWaits(const Statement &s, Context &ctx)
{
    if (s.sql().count(QLatin1Char('\'')) % 2 != 0)
        throw DbError(QStringLiteral("ORA-01756: quoted string not properly terminated"));
    const Tokens &t = s.tokens();
    if (!is(t, 0, "select") || !s.has(QStringLiteral("from dba_hist_snapshot")) ||
        !s.has(QStringLiteral("where s.snap_id = x.snap_id")))
        cannotRead(QStringLiteral("the statement"));
    const auto sqlId = s.stringAfter(QStringLiteral("from dba_hist_active_sess_history where sql_id ="));
    if (!sqlId)
        cannotRead(QStringLiteral("the statement's sql_id"));

    // The select list, and the grouping and order of its event expression.
    std::vector<Part> event;
    std::vector<Column> columns;
    QStringList names;
    for (auto [from, to] : listFrom(t, 1, {"from"})) {
        columns.push_back(readColumn(t, from, to, event));
        names << joined(t, from, to);
    }
    const int groupAt = s.after(QStringLiteral("where s.snap_id = x.snap_id group by"));
    if (groupAt < 0)
        cannotRead(QStringLiteral("the grouping"));
    auto eventOf = [&](size_t at, std::initializer_list<const char *> stops) {
        std::vector<Part> parts;
        std::vector<Column> keys;
        for (auto [from, to] : listFrom(t, at, stops))
            keys.push_back(readColumn(t, from, to, parts));
        const bool plain = keys.size() == 4 && keys[0].kind == Column::Session && keys[1].kind == Column::Serial &&
                           keys[2].kind == Column::Key && keys[3].kind == Column::Event;
        if (!plain)
            cannotRead(QStringLiteral("the grouping"));
        return parts;
    };
    const std::vector<Part> grouped = eventOf(size_t(groupAt), {"order", "having"});
    if (!event.empty() && event != grouped)
        throw DbError(QStringLiteral("ORA-00979: not a GROUP BY expression"));
    const int orderAt = s.after(QStringLiteral("order by"), groupAt);
    if (orderAt >= 0 && eventOf(size_t(orderAt), {}) != grouped)
        cannotRead(QStringLiteral("the order"));
    const std::optional<SnapshotWindow> window = readSnapshotWindow(s, ctx.model);

    const Repository &repository = ctx.model.state<Repository>();
    const SqlWorkload &workload = ctx.model.state<SqlWorkload>();
    const ActiveSessionHistory &history = ctx.model.state<ActiveSessionHistory>();
    const std::vector<Repository::Snapshot> all = repository.snapshots();
    QSet<qint64> ids;
    for (const Repository::Snapshot &snap : all)
        if (!window || window->contains(snap))
            ids.insert(snap.snapId);

    struct Group {
        int session = 0, serial = 0;
        QString key, event;
        bool nullEvent = false;
        QDateTime first, last;
        qint64 samples = 0, waited = 0;
    };
    std::vector<Group> groups;
    QHash<QString, size_t> byId;
    if (const SqlWorkload::Sql *sql = workload.find(*sqlId)) {
        const size_t index = size_t(sql - workload.statements().data());
        std::vector<ActiveSessionHistory::Sample> samples;
        for (const Repository::Snapshot &snap : all) {
            if (!ids.contains(snap.snapId))
                continue;
            samples.clear();
            history.samplesOf(snap, index, samples);
            for (const ActiveSessionHistory::Sample &x : samples) {
                QString text;
                for (const Part p : grouped)
                    text += (p == Part::Event ? QString() : QStringLiteral(":")) + partText(x, p);
                const QString key = sql->sqlId + QStringLiteral("::") + QString::number(x.planHashValue);
                const QString id = QStringLiteral("%1|%2|%3|%4").arg(x.sessionId).arg(x.serial).arg(key, text);
                auto it = byId.find(id);
                if (it == byId.end()) {
                    it = byId.insert(id, groups.size());
                    // "||" takes a NULL as the empty text; the event alone stays NULL.
                    groups.push_back({x.sessionId, x.serial, key, text, grouped.size() == 1 && x.event.isEmpty(),
                                      x.time, x.time, 0, 0});
                }
                Group &g = groups[it.value()];
                g.first = std::min(g.first, x.time);
                g.last = std::max(g.last, x.time);
                ++g.samples;
                g.waited += x.timeWaited;
            }
        }
    }
    // Ordered by session, serial#, key and event; a NULL event after the others.
    std::sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) {
        if (a.session != b.session)
            return a.session < b.session;
        if (a.serial != b.serial)
            return a.serial < b.serial;
        if (a.key != b.key)
            return a.key < b.key;
        if (a.nullEvent != b.nullEvent)
            return b.nullEvent;
        return a.event < b.event;
    });

    auto table = std::make_shared<Table>(names);
    for (const Group &g : groups) {
        QStringList row;
        for (const Column &c : columns) {
            switch (c.kind) {
            case Column::Session:
                row << QString::number(g.session);
                break;
            case Column::Serial:
                row << QString::number(g.serial);
                break;
            case Column::Key:
                row << g.key;
                break;
            case Column::FirstSample:
                row << timestampText(g.first);
                break;
            case Column::LastSample:
                row << timestampText(g.last);
                break;
            case Column::Event:
                row << g.event;
                break;
            case Column::Samples:
                row << QString::number(g.samples);
                break;
            case Column::TimeWaited:
                row << divided(g.waited, c.divisorDigits);
                break;
            }
        }
        table->addRow(row);
    }
    return table;
}

} // namespace

void registerAshFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("dba_hist_active_sess_history of one statement"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("from dba_hist_active_sess_history where sql_id ="));
                   },
                   sqlWaits});
}

} // namespace tavimond::sim
