#pragma once

#include "model.h"
#include "statement.h"
#include "table.h"

#include "../driver.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tavimond {
struct ConnectionString;
}

namespace tavimond::sim {

// Who sent a statement: the logon and the instance its service leads to.
struct SessionInfo {
    QString user;
    QString service;
    int instance = 1;
    qint64 audsid = 0; // the session's audit id, userenv('SESSIONID')
};

struct Context {
    Model &model;
    const SessionInfo &session;
};

// Knows one family of statements by their stable phrases (views, key columns) and
// answers them from the model.
struct Recogniser {
    QString name;
    std::function<bool(const Statement &)> matches;
    std::function<Result(const Statement &, Context &)> answer;
};

// The simulated database server: one per process, as a real server would be.
// Connections with "Provider=Simulated" log on to it.
class Server {
public:
    static Server &instance();

    // A fresh model and log, no faults, the standard families plus nothing else.
    void reset(quint64 seed = 1, ClockMode mode = ClockMode::Manual);
    Model &model() { return *model_; }

    // Adds a recogniser ahead of the standard ones, until the next reset.
    void add(Recogniser r);

    // While on, every statement received is kept for statements(), timeouts() and
    // unanswered(). Off unless a test turns it on: nothing in the program reads them, and a
    // day of the demo's ticks would keep hundreds of megabytes.
    void keepStatements(bool keep) { keep_ = keep; }

    // Every statement received since the reset, in order.
    const QStringList &statements() const { return statements_; }
    // The command time-out each of those statements was sent with, in seconds.
    const QList<int> &timeouts() const { return timeouts_; }
    void clearStatements()
    {
        statements_.clear();
        timeouts_.clear();
    }
    int logonCount() const { return logons_; }
    // Every statement no family knew, since the process started (resets keep them): a
    // test can tell that none of the statements a screen sends falls through.
    const QStringList &unanswered() const { return unanswered_; }

    // Faults for tests.
    void setLogonDenied(bool denied) { logonDenied_ = denied; }
    // The next statement's fetch fails with ORA-03113 after this many rows, and the
    // session is lost.
    void loseConnectionAfterRows(int rows) { loseAfterRows_ = rows; }
    // Statements holding the phrase take this long; longer than their time-out,
    // they fail with ORA-01013 at once.
    void setSlowStatement(const QString &phrase, int milliseconds);
    // While the network is down, every statement of a session fails with ORA-03113 (and
    // loses the session) and every logon times out with ORA-12170.
    void setNetworkDown(bool down) { networkDown_ = down; }
    bool networkDown() const { return networkDown_; }
    void clearFaults();

    // The service names it answers to, and the instance each leads to.
    static const QHash<QString, int> &services();

    // Driver side.
    std::unique_ptr<Session> logon(const ConnectionString &cs);
    Result execute(const QString &sql, int timeoutSeconds, const SessionInfo &who);
    std::optional<int> takeLoseAfterRows();

private:
    Server();
    void log(const QString &sql, int timeoutSeconds);

    std::unique_ptr<Model> model_;
    std::vector<Recogniser> extra_;
    std::vector<Recogniser> families_;
    QStringList statements_;
    QList<int> timeouts_;
    QStringList unanswered_;
    bool keep_ = false;
    int logons_ = 0;
    bool logonDenied_ = false;
    std::optional<int> loseAfterRows_;
    QString slowPhrase_;
    int slowMs_ = 0;
    bool networkDown_ = false;
};

// The families of statements the simulated instance knows; one file per family.
void registerFamilies(std::vector<Recogniser> &out);

// Knows every simple query over one view (see evaluateSimpleSelect) and answers it
// from the view's rows, which are built only then; so edited scripts get true answers.
Recogniser simpleViewRecogniser(const QString &view, std::function<Table(Context &)> rows);

} // namespace tavimond::sim
