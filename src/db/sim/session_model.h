#pragma once

#include "live_model.h"
#include "table.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

struct SessionInfo;

// One statistic as gv$statname names it.
struct StatisticName {
    int number;
    QString name;
    int statClass; // 1 user, 2 redo, 8 cache, 32 RAC, 64 SQL, summed when in several
};

// A statement in the shared pool of both instances.
struct CachedStatement {
    QString sqlId;
    qint64 planHash;
    QString text;
};

// A session as gv$session shows it at the current simulated time.
struct SessionRow {
    int instance = 1;
    int sid = 0;
    int serial = 0;
    qint64 audsid = 0;
    QString username; // empty (NULL) for background processes
    QString type;     // USER or BACKGROUND
    QString status;   // ACTIVE or INACTIVE
    QString program;
    QString machine;
    QString osuser;
    QString module;
    int statement = -1; // index into statements(), -1 while the session runs none
    qint64 age = 0;     // seconds since logon
    qint64 lastCallSeconds = 0;
    int profile = -1; // the session's place in the model; -1 for the caller's own session
};

// The sessions of both instances and their statistics, a function of the seed and the
// simulated time. Background processes live as long as their instance. User sessions
// come and go: some stay for days, some log off and later on again, and one logs off
// every few minutes and is at once replaced by a new session under the same sid with
// the next serial#. A user session is ACTIVE and INACTIVE by turns and runs a statement
// only while ACTIVE; its statistics grow only then. When instance 2 restarts, all its
// sessions end and new ones (new serial#s, counters from zero) log on.
//
// Every session keeps every statistic, except that background processes keep no
// parse, call or application figures: their sums of those come out NULL.
class SessionModel {
public:
    explicit SessionModel(Model &model);

    static const std::vector<StatisticName> &statisticNames();
    static const std::vector<CachedStatement> &statements();
    // Where a statement lies in an instance's shared pool (gv$sqlarea.address).
    static QString statementAddress(int instance, int statement);

    // Every session of one instance (0: of both), ordered by instance and sid. The
    // caller's own session is among them when `who` is given.
    std::vector<SessionRow> sessions(const SessionInfo *who, int instance = 0) const;
    // A session's value of statisticNames()[index]; nothing when it does not keep it.
    std::optional<double> statistic(const SessionRow &session, size_t index) const;
    // Logon time of a session.
    QDateTime logonTime(const SessionRow &session) const;

    // The views. `global` adds the INST_ID column and rows of both instances;
    // otherwise the rows are those of `instance`.
    Table sessionView(bool global, int instance, const SessionInfo &who) const;
    Table sesstatView(bool global, int instance, const SessionInfo &who) const;
    Table statnameView(bool global, int instance) const;
    Table sqlareaView(bool global, int instance) const;

private:
    struct Profile {
        int instance;
        int sid;
        bool background;
        QString username;
        QString program;
        QString machine;
        QString osuser;
        QString module;
        qint64 lifetime; // 0: as long as the instance
        qint64 gap;      // seconds between logoff and the next logon at this sid
        qint64 offset;   // where in its cycle the slot stood when the instance started
        qint64 delay;    // seconds after an instance start before the first logon
        int serialBase;
        double period; // seconds of one ACTIVE and INACTIVE turn
        double duty;   // share of a turn spent ACTIVE
        double phase;
        std::vector<int> statements; // what it runs, by turn
        std::vector<double> rates;   // per active second, by statistic
    };

    void addBackground(int instance, int sid, const char *process, QRandomGenerator &rng);
    void addUser(int instance, int sid, const char *user, const char *program, const char *module, qint64 lifetime,
                 qint64 gap, double duty, QRandomGenerator &rng);
    std::vector<double> rates(bool background, QRandomGenerator &rng) const;
    std::optional<SessionRow> sessionOf(size_t profile) const;
    SessionRow ownSession(const SessionInfo &who) const;
    double activeSeconds(const Profile &p, qint64 age) const;
    int restarts(int instance) const;

    LiveModel &live_;
    std::vector<Profile> profiles_;
    Profile own_; // the rates and turns of the caller's own session
};

} // namespace tavimond::sim
