#include "sql_sessions.h"

#include "live_model.h"
#include "sql_catalogue.h"

#include <algorithm>
#include <cmath>

namespace tavimond::sim {
namespace {

// Catalogue positions.
enum : int { OrdersOfCustomer, UpdateOrderLine, InsertShipment, SalesReport, ProductsOfCategory, DeleteOrderLine };

QString idAt(int position)
{
    return sqlCatalogue().at(size_t(position)).sqlId;
}

// The row lock the pair contends for: one slot of the undo, a new sequence each cycle.
constexpr qint64 kContendedUsnSlot = (7 << 16) | 21;

qint64 contendedSequence(qint64 t)
{
    return 31000 + t / SqlSessions::kBlockingCycle;
}

bool blocked(qint64 t)
{
    return t % SqlSessions::kBlockingCycle < SqlSessions::kBlockedSeconds;
}

// Seconds spent ACTIVE in [from, to) by a session that is ACTIVE for the first `on`
// seconds of every `cycle`, counted from 0.
double activeBetween(double from, double to, double on, double cycle)
{
    const auto upTo = [&](double x) {
        const double turns = std::floor(x / cycle);
        return turns * on + std::min(x - turns * cycle, on);
    };
    return upTo(to) - upTo(from);
}

void idle(SqlSession &s)
{
    s.status = QStringLiteral("INACTIVE");
    s.event = QStringLiteral("SQL*Net message from client");
    s.waitClass = QStringLiteral("Idle");
}

} // namespace

SqlSessions::SqlSessions(Model &model) : live_(model.state<LiveModel>())
{
    workers_ = {
        {1, 101, 3301, "APP_ORDERS", "orders_srv@app01", {OrdersOfCustomer, UpdateOrderLine, InsertShipment}, 40, 0},
        {1, 117, 871, "APP_WEB", "JDBC Thin Client", {ProductsOfCategory, OrdersOfCustomer}, 25, 0},
        {1, 131, 2045, "APP_WEB", "JDBC Thin Client", {DeleteOrderLine, InsertShipment, ProductsOfCategory}, 35, 0},
        {1, 144, 559, "APP_ORDERS", "orders_srv@app01", {UpdateOrderLine, OrdersOfCustomer}, 50, 0},
        {2, 95, 40213, "REPORTS", "sqlplus@rep01", {SalesReport}, 300, 0},
        {2, 108, 1770, "APP_WEB", "JDBC Thin Client", {OrdersOfCustomer, ProductsOfCategory}, 30, 0},
        {2, 122, 6118, "APP_ORDERS", "orders_srv@app02", {InsertShipment, DeleteOrderLine}, 45, 0},
    };
    QRandomGenerator rng = model.random(0x5e55);
    for (Worker &w : workers_)
        w.offset = rng.bounded(int(w.dwell * qint64(w.statements.size() + 1)));
}

std::vector<SqlSession> SqlSessions::now() const
{
    const qint64 t = live_.model().elapsedSeconds();
    const double exact = live_.model().elapsed();
    std::vector<SqlSession> out;
    for (const Worker &w : workers_) {
        SqlSession s;
        s.instance = w.instance;
        s.sid = w.sid;
        const bool restarted = w.instance == 2 && t >= LiveModel::kRestartOfInstance2;
        s.serial = w.serial + (restarted ? 1 : 0);
        s.username = QLatin1String(w.username);
        s.program = QLatin1String(w.program);
        s.logonSeconds = std::min(live_.instanceAge(w.instance), 7200 + qint64(w.sid) * 37 + t);
        s.exactLogonSeconds = std::min(live_.exactAge(w.instance), 7200.0 + double(w.sid) * 37 + exact);

        const qint64 u = t + w.offset;
        const qint64 slot = u / w.dwell;
        const qint64 n = qint64(w.statements.size());
        // A statement per dwell, then a dwell's rest.
        const double exactU = exact + double(w.offset);
        s.activeSeconds =
            activeBetween(exactU - s.exactLogonSeconds, exactU, double(n * w.dwell), double((n + 1) * w.dwell));
        const qint64 phase = slot % (n + 1);
        s.sqlSeconds = u % w.dwell;
        s.prevSqlId = idAt(w.statements.at(size_t(phase == 0 ? n - 1 : phase - 1)));
        if (phase == n) {
            idle(s);
        } else {
            const CatalogueStatement &st = sqlCatalogue().at(size_t(w.statements.at(size_t(phase))));
            s.status = QStringLiteral("ACTIVE");
            s.sqlId = st.sqlId;
            const bool report = st.cachedOn != 0;
            s.event = report ? QStringLiteral("direct path read") : QStringLiteral("db file sequential read");
            s.waitClass = QStringLiteral("User I/O");
            if (!st.table.isEmpty()) {
                s.transactionTable = st.table;
                s.transactionUsnSlot = (qint64(w.sid % 10 + 1) << 16) | (slot % 48);
                s.transactionSequence = 1000 + (slot * 7919) % 90000;
                s.transactionSeconds = s.sqlSeconds;
            }
        }
        out.push_back(std::move(s));
    }
    out.push_back(blocker(t));
    out.push_back(waiter(t));
    return out;
}

// One of the pair on instance 1, resting unless the pair is blocked. Each cycle the
// holder's transaction is a new one.
SqlSession SqlSessions::pairMember(int sid, int serial, const char *username, const char *program,
                                   qint64 loggedOnBefore, qint64 t) const
{
    SqlSession s;
    s.instance = 1;
    s.sid = sid;
    s.serial = serial;
    s.username = QLatin1String(username);
    s.program = QLatin1String(program);
    s.logonSeconds = std::min(live_.instanceAge(1), loggedOnBefore + t);
    s.exactLogonSeconds = std::min(live_.exactAge(1), double(loggedOnBefore) + live_.model().elapsed());
    idle(s);
    s.prevSqlId = idAt(UpdateOrderLine);
    const qint64 c = t % kBlockingCycle;
    s.sqlSeconds = c < kBlockedSeconds ? c : c - kBlockedSeconds;
    return s;
}

// A batch job that updated an order line and has not committed yet.
SqlSession SqlSessions::blocker(qint64 t) const
{
    SqlSession s = pairMember(58, 4711, "APP_ORDERS", "order_batch@app01", 20000, t);
    if (blocked(t)) {
        s.transactionTable = sqlCatalogue().at(UpdateOrderLine).table;
        s.blocksOthers = true;
        s.transactionUsnSlot = kContendedUsnSlot;
        s.transactionSequence = contendedSequence(t);
        s.transactionSeconds = s.sqlSeconds;
    }
    return s;
}

// A web session that wants to change the same order line.
SqlSession SqlSessions::waiter(qint64 t) const
{
    SqlSession s = pairMember(203, 1289, "APP_WEB", "JDBC Thin Client", 9000, t);
    const double exact = live_.model().elapsed();
    s.activeSeconds = activeBetween(exact - s.exactLogonSeconds, exact, kBlockedSeconds, kBlockingCycle);
    if (blocked(t)) {
        s.status = QStringLiteral("ACTIVE");
        s.sqlId = idAt(UpdateOrderLine);
        s.prevSqlId = idAt(OrdersOfCustomer);
        s.event = QStringLiteral("enq: TX - row lock contention");
        s.waitClass = QStringLiteral("Application");
        s.blockingInstance = 1;
        s.blockingSession = 58;
        s.transactionTable = sqlCatalogue().at(UpdateOrderLine).table;
        s.transactionSeconds = s.sqlSeconds;
        s.requestedUsnSlot = kContendedUsnSlot;
        s.requestedSequence = contendedSequence(t);
    }
    return s;
}

} // namespace tavimond::sim
