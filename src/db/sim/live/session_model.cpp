#include "session_model.h"

#include "../select_eval.h"
#include "../server.h"
#include "sql_catalogue.h"
#include "sql_sessions.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace tavimond::sim {
namespace {

// The seven time figures come first; the shares of a session's active time they take
// are drawn per session (centiseconds per active second = share * 100).
enum Stat : size_t {
    Cpu,
    UserIo,
    Application,
    Concurrency,
    Cluster,
    RedoSynch,
    ParseElapsed,
    DbTime,
    ParseCpu,
    Logons, // the ones above are times in centiseconds, this one and the ones below counts
};

struct StatSpec {
    int number;
    const char *name;
    int statClass;
    double perActiveSecond; // counts of an average user session
    bool userOnly;          // background processes do not keep it
};

const StatSpec kStats[] = {
    {12, "CPU used by this session", 1, 0, false},
    {140, "user I/O wait time", 1, 0, false},
    {141, "application wait time", 1, 0, true},
    {142, "concurrency wait time", 1, 0, false},
    {143, "cluster wait time", 1, 0, false},
    {157, "redo synch time", 8, 0, false},
    {1008, "parse time elapsed", 64, 0, true},
    {13, "DB time", 1, 0, false},
    {1007, "parse time cpu", 64, 0, true},
    {0, "logons cumulative", 1, 0.0005, false},
    {6, "user calls", 1, 40, true},
    {7, "user commits", 1, 3, true},
    {8, "user rollbacks", 1, 0.05, true},
    {9, "session logical reads", 1, 6500, false},
    {68, "db block gets", 8, 900, false},
    {70, "consistent gets", 8, 5600, false},
    {80, "physical reads", 8, 120, false},
    {84, "physical writes", 8, 25, false},
    {170, "redo entries", 2, 60, false},
    {171, "redo size", 2, 21000, false},
    {183, "gc cr blocks received", 40, 35, false},
    {186, "gc current blocks received", 40, 20, false},
    {1002, "table scans (short tables)", 64, 4, true},
    {1010, "parse count (total)", 64, 30, true},
    {1011, "parse count (hard)", 64, 0.4, true},
    {1013, "execute count", 64, 45, true},
    {1020, "bytes sent via SQL*Net to client", 1, 52000, true},
    {1021, "bytes received via SQL*Net from client", 1, 9800, true},
    {1022, "SQL*Net roundtrips to/from client", 1, 38, true},
    {1030, "sorts (memory)", 64, 5, true},
    {1031, "sorts (disk)", 64, 0.01, true},
};
constexpr size_t kStatCount = std::size(kStats);

// The memory a session holds rises and falls: base plus swing times a wave (the "max"
// figures hold base plus swing). Sizes are scaled per session.
struct MemorySpec {
    int number;
    const char *name;
    double base;
    double swing;
    bool highWater;
};

const MemorySpec kMemory[] = {
    {20, "opened cursors current", 4, 12, false},       {25, "session uga memory", 1.2e6, 2.5e6, false},
    {26, "session uga memory max", 1.2e6, 2.5e6, true}, {35, "session pga memory", 2.4e6, 6e6, false},
    {36, "session pga memory max", 2.4e6, 6e6, true},
};
constexpr size_t kMemoryCount = std::size(kMemory);

// The lesser statistics: what each area of the server counts, named area then measure.
// clang-format off
const char *const kAreas[] = {
    "IM scan", "IM populate", "cell", "securefile", "flashback", "HSC",
    "lob", "queue", "undo", "temp space", "cursor", "gcs",
    "ges", "DBWR", "recursive", "shared io pool", "Parallel operations", "PX local",
    "PX remote", "RowCR", "Batched IO", "index fast full", "table fetch", "OS",
    "Workload Capture", "Workload Replay", "SMON", "transaction", "heap block", "direct path",
    "prefetch", "segment", "Clusterwide", "redo KB", "sql area", "serializable",
};
const char *const kMeasures[] = {
    "requests", "blocks read", "blocks written", "bytes read", "bytes written", "time", "cpu time",
    "waits", "gets", "misses", "hits", "retries", "failures", "timeouts",
    "operations", "rows processed", "rows skipped", "allocations", "deallocations", "checks", "conversions",
    "scans", "pieces", "flushes", "pins", "invalidations", "wakeups", "sleeps",
    "spins", "calls", "count", "undo records applied", "compressions",
};
// clang-format on
constexpr int kFirstLesserNumber = 2000;

struct LesserStatistic {
    int number;
    QString name;
    int statClass;
    double perActiveSecond; // of a session of average work; 0 for about half of them
};

const std::vector<LesserStatistic> &lesserStatistics()
{
    static const std::vector<LesserStatistic> all = [] {
        static const int classes[] = {1, 2, 8, 32, 64, 128};
        // The same names and rates whatever the seed, like a release's statistics.
        QRandomGenerator rng(0x57a7);
        std::vector<LesserStatistic> out;
        int number = kFirstLesserNumber;
        for (size_t a = 0; a < std::size(kAreas); ++a)
            for (const char *measure : kMeasures) {
                LesserStatistic s;
                s.number = number++;
                s.name = QLatin1String(kAreas[a]) + QLatin1Char(' ') + QLatin1String(measure);
                s.statClass = classes[a % std::size(classes)];
                s.perActiveSecond = rng.generateDouble() < 0.5 ? 0 : std::pow(10.0, rng.generateDouble() * 5 - 3);
                out.push_back(std::move(s));
            }
        return out;
    }();
    return all;
}

// The events sessions wait on, by event number: who waits on them, how often (per
// active second; idle events grow with the session's idle time instead), how long a
// wait takes, and, for a few, how far into a session's life they first occur.
struct EventSpec {
    int number;
    const char *name;
    const char *waitClass;
    bool user;
    bool background;
    double waitsPerActiveSecond;
    double centisecondsPerWait;
    qint64 firstAfter; // 0: from the first wait
};

const EventSpec kEvents[] = {
    {26, "Disk file operations I/O", "User I/O", true, false, 0.05, 0.02, 0},
    {88, "control file sequential read", "System I/O", false, true, 0.5, 0.1, 0},
    {115, "os thread startup", "Concurrency", false, true, 0.001, 4, 0},
    {146, "log file sync", "Commit", true, false, 3, 0.4, 0},
    {150, "db file sequential read", "User I/O", true, false, 60, 0.5, 0},
    {151, "db file scattered read", "User I/O", true, false, 6, 1.2, 0},
    {152, "db file parallel read", "User I/O", true, false, 0.8, 1.5, 0},
    {162, "direct path read", "User I/O", true, false, 2, 2, 0},
    {163, "direct path write temp", "User I/O", true, false, 0.3, 1.1, 0},
    {170, "read by other session", "User I/O", true, false, 0.5, 0.8, 0},
    {200, "latch: cache buffers chains", "Concurrency", true, false, 0.4, 0.1, 120},
    {216, "latch free", "Other", true, true, 0.2, 0.2, 0},
    {230, "latch: shared pool", "Concurrency", true, false, 0.1, 0.3, 0},
    {250, "enq: TX - row lock contention", "Application", true, false, 0.02, 150, 300},
    {251, "enq: TX - index contention", "Concurrency", true, false, 0.05, 0.8, 0},
    {253, "enq: CF - contention", "Other", false, true, 0.01, 2, 120},
    {300, "buffer busy waits", "Concurrency", true, false, 0.6, 0.3, 0},
    {351, "gc cr block 2-way", "Cluster", true, true, 25, 0.08, 0},
    {352, "gc current block 2-way", "Cluster", true, false, 15, 0.09, 0},
    {353, "gc cr grant 2-way", "Cluster", true, false, 4, 0.06, 0},
    {360, "gc buffer busy acquire", "Cluster", true, true, 0.3, 0.9, 240},
    {400, "library cache: mutex X", "Concurrency", true, false, 0.3, 0.05, 0},
    {410, "library cache pin", "Concurrency", true, false, 0.05, 0.2, 0},
    {420, "cursor: pin S", "Concurrency", true, false, 0.2, 0.02, 0},
    {440, "events in waitclass Other", "Other", true, false, 0.4, 0.1, 0},
    {450, "rdbms ipc message", "Idle", false, true, 0.33, 0, 0},
    {500, "SQL*Net message to client", "Network", true, false, 40, 0.0001, 0},
    {501, "SQL*Net more data to client", "Network", true, false, 3, 0.002, 0},
    {502, "SQL*Net message from client", "Idle", true, false, 0, 0, 0},
};
constexpr size_t kEventCount = std::size(kEvents);

// Catalogue positions of the statements the sessions run.
enum : int { OrdersOfCustomer, UpdateOrderLine, InsertShipment, SalesReport, ProductsOfCategory, DeleteOrderLine };

const char *const kBackground[] = {"PMON", "PSP0", "VKTM", "GEN0", "DIAG", "DBRM", "LMON", "LMD0",
                                   "LMS0", "DBW0", "LGWR", "CKPT", "SMON", "RECO", "MMON", "MMNL"};

double between(QRandomGenerator &rng, double lo, double hi)
{
    return lo + rng.generateDouble() * (hi - lo);
}

} // namespace

SessionModel::SessionModel(Model &model) : live_(model.state<LiveModel>()), sqlSessions_(model.state<SqlSessions>())
{
    QRandomGenerator rng = model.random(0x5e55);
    // The sessions that run the catalogue's statements keep their sids; rates of
    // their own go with them.
    QHash<int, QSet<int>> taken;
    for (const SqlSession &s : sqlSessions_.now()) {
        taken[s.instance] << s.sid;
        Profile p;
        p.instance = s.instance;
        p.sid = s.sid;
        p.external = true;
        p.rates = rates(false, rng);
        sqlSessionProfiles_.insert(QStringLiteral("%1/%2").arg(s.instance).arg(s.sid), int(profiles_.size()));
        profiles_.push_back(std::move(p));
    }
    for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
        int sid = 1;
        for (const char *process : kBackground)
            addBackground(inst, sid++, process, rng);
        // More user sessions, at sids spread the way a busy instance hands them out.
        sid = 20 + 3 * inst;
        auto next = [&] {
            do
                sid += 7 + int(rng.bounded(23));
            while (taken[inst].contains(sid));
            return sid;
        };
        if (inst == 1)
            addUser(inst, next(), "REPORTS", "ReportServer@rpt01 (TNS V1-V3)", "DailyReports", 900, 300, 0.55,
                    {OrdersOfCustomer, ProductsOfCategory}, rng);
        else
            addUser(inst, next(), "REPORTS", "ReportServer@rpt01 (TNS V1-V3)", "DailyReports", 900, 300, 0.55,
                    {SalesReport}, rng);
        addUser(inst, next(), "SCOTT", "SQL Developer", "SQL Developer", 0, 0, 0, {}, rng); // logged on, idle
        addUser(inst, next(), "SYSTEM", "sqlplus@dbadmin (TNS V1-V3)", "SQL*Plus", 600, 900, 0.25, {ProductsOfCategory},
                rng);
        if (inst == 1) {
            addUser(inst, next(), "BATCH", "sqlldr@etl01 (TNS V1-V3)", "NightlyLoad", 1200, 600, 0.9,
                    {InsertShipment, DeleteOrderLine}, rng);
            addUser(inst, next(), "REPORTS", "ReportServer@rpt01 (TNS V1-V3)", "DailyReports", 700, 200, 0.5,
                    {OrdersOfCustomer}, rng);
            // A short-lived connection whose sid is taken over by the next one at once.
            addUser(inst, next(), "APP_USER", "JDBC Thin Client", "CheckoutService", 150, 0, 0.85,
                    {UpdateOrderLine, InsertShipment, OrdersOfCustomer}, rng);
        }
    }
    own_.rates = rates(false, rng);
    // Drawn apart, so that the figures above stay what they were.
    QRandomGenerator lesser = model.random(0x5e57);
    for (Profile &p : profiles_)
        drawLesserFigures(p, lesser);
    drawLesserFigures(own_, lesser);
}

void SessionModel::drawLesserFigures(Profile &p, QRandomGenerator &rng)
{
    p.work = p.background ? between(rng, 0.01, 0.2) : between(rng, 0.3, 1.7);
    p.memoryScale = p.background ? between(rng, 0.3, 1) : between(rng, 0.6, 2.5);
    p.memoryPeriod = between(rng, 90, 600);
    p.memoryPhase = between(rng, 0, 6.283185307179586);
    p.idleShare = between(rng, 0.6, 0.98);
    p.eventShares.resize(kEventCount);
    for (double &share : p.eventShares)
        share = between(rng, 0.4, 1.6);
}

void SessionModel::addBackground(int instance, int sid, const char *process, QRandomGenerator &rng)
{
    Profile p;
    p.instance = instance;
    p.sid = sid;
    p.background = true;
    p.program = QStringLiteral("oracle@tavidb%1 (%2)").arg(instance).arg(QLatin1String(process));
    p.machine = QStringLiteral("tavidb%1").arg(instance);
    p.osuser = QStringLiteral("oracle");
    p.lifetime = 0;
    p.gap = 0;
    p.offset = 0;
    p.delay = 0;
    p.serialBase = int(rng.bounded(60000));
    p.period = 1;
    p.duty = 1;
    p.phase = 0;
    p.rates = rates(true, rng);
    profiles_.push_back(std::move(p));
}

void SessionModel::addUser(int instance, int sid, const char *user, const char *program, const char *module,
                           qint64 lifetime, qint64 gap, double duty, const std::vector<int> &statements,
                           QRandomGenerator &rng)
{
    Profile p;
    p.instance = instance;
    p.sid = sid;
    p.username = QLatin1String(user);
    p.program = QLatin1String(program);
    p.module = QLatin1String(module);
    p.machine = p.program.contains(QLatin1Char('@'))
                    ? p.program.section(QLatin1Char('@'), 1).section(QLatin1Char(' '), 0, 0)
                    : QStringLiteral("appsrv%1").arg(1 + rng.bounded(3));
    p.osuser = p.username.toLower();
    p.lifetime = lifetime;
    p.gap = gap;
    p.offset = lifetime > 0 ? qint64(rng.bounded(quint32(lifetime + gap))) : 0;
    p.delay = lifetime > 0 ? 30 + qint64(rng.bounded(90)) : 5 + qint64(rng.bounded(15));
    p.serialBase = int(rng.bounded(60000));
    p.period = between(rng, 40, 240);
    p.duty = duty;
    p.phase = between(rng, 0, p.period);
    for (const int k : statements)
        p.statements.push_back(sqlCatalogue().at(size_t(k)).sqlId);
    p.rates = rates(false, rng);
    profiles_.push_back(std::move(p));
}

std::vector<double> SessionModel::rates(bool background, QRandomGenerator &rng) const
{
    std::vector<double> r(kStatCount, 0);
    // Shares of active time.
    double share[ParseElapsed + 1];
    if (background) {
        share[Cpu] = between(rng, 0.01, 0.08);
        share[UserIo] = between(rng, 0, 0.1);
        share[Application] = 0;
        share[Concurrency] = between(rng, 0, 0.01);
        share[Cluster] = between(rng, 0, 0.06);
        share[RedoSynch] = 0;
        share[ParseElapsed] = 0;
    } else {
        share[Cpu] = between(rng, 0.15, 0.65);
        share[UserIo] = between(rng, 0.05, 0.4);
        share[Application] = between(rng, 0, 0.04);
        share[Concurrency] = between(rng, 0.01, 0.06);
        share[Cluster] = between(rng, 0.02, 0.12);
        share[RedoSynch] = between(rng, 0, 0.06);
        share[ParseElapsed] = between(rng, 0.005, 0.03);
    }
    double total = 0;
    for (const double s : share)
        total += s;
    const double scale = total > 0.95 ? 0.95 / total : 1;
    double dbTime = 0;
    for (size_t k = 0; k <= ParseElapsed; ++k) {
        r[k] = share[k] * scale * 100;
        if (k != ParseElapsed)
            dbTime += r[k];
    }
    r[DbTime] = dbTime;
    r[ParseCpu] = r[ParseElapsed] * 0.6;
    const double work = background ? between(rng, 0.01, 0.2) : between(rng, 0.3, 1.7);
    for (size_t k = Logons; k < kStatCount; ++k)
        r[k] = kStats[k].perActiveSecond * work * between(rng, 0.7, 1.3);
    for (size_t k = 0; k < kStatCount; ++k)
        if (background && kStats[k].userOnly)
            r[k] = -1; // not kept
    return r;
}

const std::vector<StatisticName> &SessionModel::statisticNames()
{
    static const std::vector<StatisticName> names = [] {
        std::vector<StatisticName> out;
        for (const StatSpec &s : kStats)
            out.push_back({s.number, QLatin1String(s.name), s.statClass});
        for (const MemorySpec &m : kMemory)
            out.push_back({m.number, QLatin1String(m.name), 1});
        for (const LesserStatistic &s : lesserStatistics())
            out.push_back({s.number, s.name, s.statClass});
        return out;
    }();
    return names;
}

QString SessionModel::sqlAddress(const SessionRow &session)
{
    const CatalogueStatement *statement = session.sqlId.isEmpty() ? nullptr : findStatement(session.sqlId);
    return statement ? statement->address : QStringLiteral("00");
}

int SessionModel::restarts(int instance) const
{
    return instance == 2 && live_.model().elapsedSeconds() >= LiveModel::kRestartOfInstance2 ? 1 : 0;
}

double SessionModel::activeSeconds(const Profile &p, double age, double phase) const
{
    if (p.duty >= 1)
        return age;
    if (p.duty <= 0)
        return 0;
    const double on = p.duty * p.period;
    const auto upTo = [&](double x) {
        const double turns = std::floor(x / p.period);
        return turns * on + std::min(x - turns * p.period, on);
    };
    return upTo(age + phase) - upTo(phase);
}

std::optional<SessionRow> SessionModel::sessionOf(size_t index) const
{
    const Profile &p = profiles_[index];
    const qint64 v = live_.instanceAge(p.instance) - p.delay;
    if (v < 0)
        return std::nullopt;
    qint64 incarnation = 0;
    qint64 start = 0;
    if (p.lifetime > 0) {
        const qint64 cycle = p.lifetime + p.gap;
        const qint64 at = v + p.offset;
        incarnation = at / cycle;
        if (at - incarnation * cycle >= p.lifetime)
            return std::nullopt; // logged off
        start = std::max<qint64>(incarnation * cycle - p.offset, 0);
    }
    const int restart = restarts(p.instance);
    SessionRow s;
    s.instance = p.instance;
    s.sid = p.sid;
    s.serial = 1 + int((qint64(p.serialBase) + incarnation + restart * 4211) % 65535);
    s.audsid = p.background ? 0 : 300000 + (qint64(index) * 7919 + incarnation * 104729 + restart * 31) % 9000000;
    s.username = p.username;
    s.type = p.background ? QStringLiteral("BACKGROUND") : QStringLiteral("USER");
    s.program = p.program;
    s.machine = p.machine;
    s.osuser = p.osuser;
    s.module = p.module;
    s.age = v - start;
    s.exactAge = live_.exactAge(p.instance) - double(p.delay + start);
    // Each new session at the sid starts its turns somewhere else.
    const double phase = std::fmod(p.phase + double(incarnation) * 0.618 * p.period, p.period);
    s.activeSeconds = activeSeconds(p, s.exactAge, phase);
    s.profile = int(index);
    if (p.background) {
        s.status = QStringLiteral("ACTIVE");
        s.event = QStringLiteral("rdbms ipc message");
        s.waitClass = QStringLiteral("Idle");
        s.lastCallSeconds = s.age;
        return s;
    }
    const double at = s.exactAge + phase;
    const double inTurn = std::fmod(at, p.period);
    const bool active = inTurn < p.duty * p.period;
    s.status = active ? QStringLiteral("ACTIVE") : QStringLiteral("INACTIVE");
    s.lastCallSeconds = qint64(active ? inTurn : inTurn - p.duty * p.period);
    if (!p.statements.empty()) {
        const qint64 turn = qint64(std::floor(at / p.period));
        const auto ran = [&](qint64 k) {
            return p.statements[size_t((k + incarnation) % qint64(p.statements.size()))];
        };
        if (active)
            s.sqlId = ran(turn);
        s.prevSqlId = ran(active ? turn + qint64(p.statements.size()) - 1 : turn);
    }
    s.event = active ? QStringLiteral("db file sequential read") : QStringLiteral("SQL*Net message from client");
    s.waitClass = active ? QStringLiteral("User I/O") : QStringLiteral("Idle");
    return s;
}

SessionRow SessionModel::ownSession(const SessionInfo &who) const
{
    SessionRow s;
    s.instance = who.instance;
    s.sid = 400 + int(who.audsid % 50);
    s.serial = 1 + int(who.audsid % 4000);
    s.audsid = who.audsid;
    s.username = who.user.toUpper();
    s.type = QStringLiteral("USER");
    s.status = QStringLiteral("ACTIVE");
    s.program = QStringLiteral("tavimond");
    s.machine = QStringLiteral("dbadmin-pc");
    s.osuser = QStringLiteral("dba");
    s.module = QStringLiteral("tavimond");
    s.event = QStringLiteral("SQL*Net message to client");
    s.waitClass = QStringLiteral("Network");
    s.age = live_.model().elapsedSeconds() + 120;
    s.exactAge = live_.model().elapsed() + 120;
    s.activeSeconds = s.exactAge / 20;
    return s;
}

std::vector<SessionRow> SessionModel::sessions(const SessionInfo *who, int instance) const
{
    std::vector<SessionRow> out;
    for (const SqlSession &q : sqlSessions_.now()) {
        if (instance != 0 && q.instance != instance)
            continue;
        SessionRow s;
        s.instance = q.instance;
        s.sid = q.sid;
        s.serial = q.serial;
        s.audsid = 200000 + qint64(q.sid) * 13 + q.serial;
        s.username = q.username;
        s.type = QStringLiteral("USER");
        s.status = q.status;
        s.program = q.program;
        s.machine =
            q.program.contains(QLatin1Char('@')) ? q.program.section(QLatin1Char('@'), 1) : QStringLiteral("appsrv1");
        s.osuser = q.username.toLower();
        s.module = q.program;
        s.sqlId = q.sqlId;
        s.prevSqlId = q.prevSqlId;
        s.event = q.event;
        s.waitClass = q.waitClass;
        s.age = q.logonSeconds;
        s.exactAge = q.exactLogonSeconds;
        s.activeSeconds = q.activeSeconds;
        s.lastCallSeconds = q.sqlSeconds;
        s.profile = sqlSessionProfiles_.value(QStringLiteral("%1/%2").arg(q.instance).arg(q.sid), -1);
        out.push_back(std::move(s));
    }
    for (size_t i = 0; i < profiles_.size(); ++i) {
        if (profiles_[i].external || (instance != 0 && profiles_[i].instance != instance))
            continue;
        if (auto s = sessionOf(i))
            out.push_back(std::move(*s));
    }
    if (who && (instance == 0 || who->instance == instance))
        out.push_back(ownSession(*who));
    std::stable_sort(out.begin(), out.end(), [](const SessionRow &a, const SessionRow &b) {
        return a.instance != b.instance ? a.instance < b.instance : a.sid < b.sid;
    });
    return out;
}

const SessionModel::Profile &SessionModel::profileOf(const SessionRow &session) const
{
    return session.profile >= 0 ? profiles_[size_t(session.profile)] : own_;
}

std::optional<double> SessionModel::statistic(const SessionRow &session, size_t index) const
{
    const Profile &p = profileOf(session);
    if (index < kStatCount) {
        if (p.rates[index] < 0)
            return std::nullopt;
        if (index == Logons) // the session's own logon
            return 1;
        return std::floor(p.rates[index] * session.activeSeconds);
    }
    index -= kStatCount;
    if (index < kMemoryCount) {
        const MemorySpec &m = kMemory[index];
        const double wave =
            m.highWater ? 1
                        : 0.5 + 0.5 * std::sin(6.283185307179586 * session.exactAge / p.memoryPeriod + p.memoryPhase);
        return std::floor((m.base + m.swing * wave) * p.memoryScale);
    }
    index -= kMemoryCount;
    const auto &lesser = lesserStatistics();
    if (index >= lesser.size())
        return std::nullopt;
    return std::floor(lesser[index].perActiveSecond * p.work * session.activeSeconds);
}

std::vector<SessionEvent> SessionModel::events(const SessionRow &session) const
{
    const Profile &p = profileOf(session);
    const bool background = session.type == QLatin1String("BACKGROUND");
    const double active = session.activeSeconds;
    const double idle = std::max(0.0, session.exactAge - session.activeSeconds);
    // How long the session has been seen: a session there before the clock started
    // counts from the start, so that the later events occur while it is watched.
    const double seen = std::min(session.exactAge, live_.model().elapsed());
    std::vector<SessionEvent> out;
    for (size_t k = 0; k < kEventCount; ++k) {
        const EventSpec &e = kEvents[k];
        if (background ? !e.background : !e.user)
            continue;
        if (e.firstAfter > 0 && seen <= double(e.firstAfter))
            continue;
        const double share = p.eventShares[k];
        SessionEvent ev{e.number, QLatin1String(e.name), QLatin1String(e.waitClass)};
        if (QLatin1String(e.waitClass) == QLatin1String("Idle")) {
            // Background processes sleep between their work; user sessions wait for
            // their client while idle.
            const double asleep = background ? double(session.age) : idle;
            ev.waits = background ? std::floor(e.waitsPerActiveSecond * share * asleep)
                                  : std::floor(asleep / 30) + std::floor(40 * share * active);
            ev.timeouts = std::floor(ev.waits * 0.3);
            ev.centiseconds = std::floor(asleep * 100 * p.idleShare);
            ev.maxWait = ev.waits > 0 ? std::min(ev.centiseconds, 300.0) : 0;
        } else {
            double waits = e.waitsPerActiveSecond * share * active;
            // A later event counts only from its first occurrence: the share of the
            // watched life since then, which only grows.
            if (e.firstAfter > 0 && waits > 0)
                waits = 1 + std::floor(waits * (1 - double(e.firstAfter) / seen));
            ev.waits = std::floor(waits);
            ev.centiseconds = std::floor(ev.waits * e.centisecondsPerWait);
            ev.maxWait = std::ceil(e.centisecondsPerWait * 8);
        }
        if (ev.waits >= 1)
            out.push_back(std::move(ev));
    }
    return out;
}

Table SessionModel::sessionView(bool global, int instance, const SessionInfo &who) const
{
    QStringList columns{QStringLiteral("SID"),         QStringLiteral("SERIAL#"),     QStringLiteral("AUDSID"),
                        QStringLiteral("USERNAME"),    QStringLiteral("STATUS"),      QStringLiteral("OSUSER"),
                        QStringLiteral("MACHINE"),     QStringLiteral("PROGRAM"),     QStringLiteral("TYPE"),
                        QStringLiteral("SQL_ADDRESS"), QStringLiteral("SQL_ID"),      QStringLiteral("PREV_SQL_ID"),
                        QStringLiteral("MODULE"),      QStringLiteral("EVENT"),       QStringLiteral("WAIT_CLASS"),
                        QStringLiteral("LOGON_TIME"),  QStringLiteral("LAST_CALL_ET")};
    if (global)
        columns.prepend(QStringLiteral("INST_ID"));
    Table t(columns);
    for (const SessionRow &s : sessions(&who, global ? 0 : instance)) {
        QStringList row{QString::number(s.sid),
                        QString::number(s.serial),
                        QString::number(s.audsid),
                        s.username,
                        s.status,
                        s.osuser,
                        s.machine,
                        s.program,
                        s.type,
                        sqlAddress(s),
                        s.sqlId,
                        s.prevSqlId,
                        s.module,
                        s.event,
                        s.waitClass,
                        live_.model().now().addSecs(-s.age).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                        QString::number(s.lastCallSeconds)};
        if (global)
            row.prepend(QString::number(s.instance));
        t.addRow(row);
    }
    return t;
}

Table SessionModel::sesstatView(bool global, int instance, const SessionInfo &who) const
{
    QStringList columns{QStringLiteral("SID"), QStringLiteral("STATISTIC#"), QStringLiteral("VALUE")};
    if (global)
        columns.prepend(QStringLiteral("INST_ID"));
    Table t(columns);
    const std::vector<StatisticName> &names = statisticNames();
    for (const SessionRow &s : sessions(&who, global ? 0 : instance)) {
        for (size_t k = 0; k < names.size(); ++k) {
            const auto value = statistic(s, k);
            if (!value)
                continue;
            QStringList row{QString::number(s.sid), QString::number(names[k].number), oracleNumber(*value)};
            if (global)
                row.prepend(QString::number(s.instance));
            t.addRow(row);
        }
    }
    return t;
}

Table SessionModel::sessionEventView(bool global, int instance, const SessionInfo &who) const
{
    QStringList columns{QStringLiteral("SID"),         QStringLiteral("EVENT"),
                        QStringLiteral("TOTAL_WAITS"), QStringLiteral("TOTAL_TIMEOUTS"),
                        QStringLiteral("TIME_WAITED"), QStringLiteral("AVERAGE_WAIT"),
                        QStringLiteral("MAX_WAIT"),    QStringLiteral("TIME_WAITED_MICRO"),
                        QStringLiteral("EVENT_ID"),    QStringLiteral("WAIT_CLASS")};
    if (global)
        columns.prepend(QStringLiteral("INST_ID"));
    Table t(columns);
    for (const SessionRow &s : sessions(&who, global ? 0 : instance)) {
        for (const SessionEvent &e : events(s)) {
            QStringList row{QString::number(s.sid),
                            e.name,
                            oracleNumber(e.waits),
                            oracleNumber(e.timeouts),
                            oracleNumber(e.centiseconds),
                            oracleNumber(std::round(e.centiseconds / e.waits * 100) / 100),
                            oracleNumber(e.maxWait),
                            oracleNumber(e.centiseconds * 10000 + double(qint64(e.waits) % 10000)),
                            QString::number((qint64(e.number) * 2654435761LL) % 4294967291LL),
                            e.waitClass};
            if (global)
                row.prepend(QString::number(s.instance));
            t.addRow(row);
        }
    }
    return t;
}

Table SessionModel::statnameView(bool global, int instance) const
{
    QStringList columns{QStringLiteral("STATISTIC#"), QStringLiteral("NAME"), QStringLiteral("CLASS")};
    if (global)
        columns.prepend(QStringLiteral("INST_ID"));
    Table t(columns);
    for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
        if (!global && inst != instance)
            continue;
        for (const StatisticName &s : statisticNames()) {
            QStringList row{QString::number(s.number), s.name, QString::number(s.statClass)};
            if (global)
                row.prepend(QString::number(inst));
            t.addRow(row);
        }
    }
    return t;
}

Table SessionModel::sqlareaView(bool global, int instance) const
{
    QStringList columns{
        QStringLiteral("SQL_ID"),      QStringLiteral("SQL_TEXT"),     QStringLiteral("ADDRESS"),
        QStringLiteral("HASH_VALUE"),  QStringLiteral("COMMAND_TYPE"), QStringLiteral("PLAN_HASH_VALUE"),
        QStringLiteral("EXECUTIONS"),  QStringLiteral("ELAPSED_TIME"), QStringLiteral("CPU_TIME"),
        QStringLiteral("BUFFER_GETS"), QStringLiteral("DISK_READS"),   QStringLiteral("ROWS_PROCESSED")};
    if (global)
        columns.prepend(QStringLiteral("INST_ID"));
    Table t(columns);
    const auto &catalogue = sqlCatalogue();
    for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
        if (!global && inst != instance)
            continue;
        const double age = live_.exactAge(inst);
        for (size_t k = 0; k < catalogue.size(); ++k) {
            const CatalogueStatement &c = catalogue[k];
            if (!c.cachedOnInstance(inst))
                continue;
            const double rate = c.cachedOn != 0 ? 0.01 : 2 + double(k) * 3;
            const double executions = LiveModel::counter(rate, age, 600 + double(k) * 97, double(k));
            QStringList row{c.sqlId,
                            c.text.left(1000),
                            c.address,
                            QString::number(c.hashValue),
                            QString::number(c.commandType),
                            QString::number(c.planHashValue),
                            oracleNumber(executions),
                            oracleNumber(std::floor(executions * (800 + double(k) * 1300))),
                            oracleNumber(std::floor(executions * (500 + double(k) * 700))),
                            oracleNumber(std::floor(executions * (12 + double(k) * 40))),
                            oracleNumber(std::floor(executions * double(k % 3))),
                            oracleNumber(std::floor(executions * (1 + double(k % 4))))};
            if (global)
                row.prepend(QString::number(inst));
            t.addRow(row);
        }
    }
    return t;
}

} // namespace tavimond::sim
