// What the database layer's tests share: logons to the simulated instance, its answers
// as rows or as one column, and the error a statement ends with.
#pragma once

#include "common/sim_fixture.h"
#include "db/error.h"
#include "db/sim/server.h"

#include <functional>

namespace tavimond::test {

inline ConnectionString simLogon(const QString &user = "system", const QString &service = "TAVIDB")
{
    return {"Provider=Simulated;", Logon{user, "manager", service}};
}

// A simulated result's rows, each as its cells joined by '|'.
inline QStringList rowsOf(const sim::Result &r)
{
    QStringList out;
    for (qsizetype i = 0; i < r->rowCount(); ++i)
        out << r->cells.mid(i * r->columns.size(), r->columns.size()).join(QLatin1Char('|'));
    return out;
}

// The message of the DbError that f ends with, or "(no error)".
inline QString errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const DbError &e) {
        return e.message();
    }
    return "(no error)";
}

// The simulated instance reset with a seed, and statements sent on a connection logged on
// to one of its two instances.
class SimDb {
public:
    explicit SimDb(quint32 seed) : server(sim::Server::instance()) { server.reset(seed, sim::ClockMode::Manual); }

    // Every row of a statement whose lines are separated by '\n', as cell texts.
    QList<QStringList> rows(const QString &sql, const QString &service = "TAVIDB")
    {
        Connection cnn;
        cnn.setConnectionString(simLogon("system", service));
        return allRows(cnn, sql.split(QLatin1Char('\n')));
    }
    // The first cell of every row.
    QStringList column(const QString &sql, const QString &service = "TAVIDB")
    {
        QStringList out;
        for (const QStringList &r : rows(sql, service))
            out << r.value(0);
        return out;
    }
    QString error(const QString &sql, const QString &service = "TAVIDB")
    {
        return errorOf([&] { rows(sql, service); });
    }
    sim::Model &model() { return server.model(); }

    sim::Server &server;
};

} // namespace tavimond::test
