#pragma once

#include "live_model.h"
#include "../table.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

struct SessionInfo;
class SqlSessions;

// One statistic as gv$statname names it.
struct StatisticName {
    int number;
    QString name;
    int statClass; // 1 user, 2 redo, 8 cache, 32 RAC, 64 SQL, summed when in several
};

// One wait event of a session as gv$session_event shows it.
struct SessionEvent {
    int number; // the event's number; the view lists a session's events by it
    QString name;
    QString waitClass;
    double waits = 0;
    double timeouts = 0;
    double centiseconds = 0; // time waited
    double maxWait = 0;      // centiseconds
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
    QString sqlId;     // the catalogue statement it runs now; empty while it runs none
    QString prevSqlId; // the one it ran before
    QString event;
    QString waitClass;
    qint64 age = 0; // seconds since logon
    // The same to the millisecond, and of it the seconds spent ACTIVE: the counters
    // follow these, so that they grow between samples less than a second apart.
    double exactAge = 0;
    double activeSeconds = 0;
    qint64 lastCallSeconds = 0;
    int profile = -1; // where its rates are kept; -1 for the caller's own session
};

// Every session of both instances and their statistics, a function of the seed and the
// simulated time. Background processes live as long as their instance. The user
// sessions are those of SqlSessions, which run the catalogue's statements, and more:
// some stay for days, some log off and later on again, and one logs off every few
// minutes and is at once replaced by a new session under the same sid with the next
// serial#. A user session is ACTIVE and INACTIVE by turns and runs a statement only
// while ACTIVE; its statistics grow only then. When instance 2 restarts, all its
// sessions end and new ones (new serial#s, counters from zero) log on.
//
// Every session keeps every statistic, except that background processes keep no
// parse, call or application figures: their sums of those come out NULL. Besides the
// figures the other screens sum there are well over a thousand lesser ones, most of
// them 0 for most sessions, and the memory a session holds, which shrinks as well as
// grows.
//
// A session waits on the events of its kind (user or background) as it works; an event
// appears in gv$session_event with its first wait, and a few events first occur some
// minutes into the session's life (or the clock's, for a session that was there
// before), so that they turn up in the middle of the list, which is ordered by event.
class SessionModel {
public:
    explicit SessionModel(Model &model);

    static const std::vector<StatisticName> &statisticNames();
    // Where a session's statement lies in its instance's shared pool (gv$session's
    // sql_address): the cursor's address, "00" while it runs none.
    static QString sqlAddress(const SessionRow &session);

    // Every session of one instance (0: of both), ordered by instance and sid. The
    // caller's own session is among them when `who` is given.
    std::vector<SessionRow> sessions(const SessionInfo *who, int instance = 0) const;
    // A session's value of statisticNames()[index]; nothing when it does not keep it.
    std::optional<double> statistic(const SessionRow &session, size_t index) const;
    // The events a session has waited on, by event number.
    std::vector<SessionEvent> events(const SessionRow &session) const;

    // The views. `global` adds the INST_ID column and rows of both instances;
    // otherwise the rows are those of `instance`.
    Table sessionView(bool global, int instance, const SessionInfo &who) const;
    Table sesstatView(bool global, int instance, const SessionInfo &who) const;
    Table statnameView(bool global, int instance) const;
    Table sqlareaView(bool global, int instance) const;
    Table sessionEventView(bool global, int instance, const SessionInfo &who) const;

private:
    // A sid's sessions over time: who logs on there, for how long, how busy.
    struct Profile {
        int instance = 1;
        int sid = 0;
        bool background = false;
        bool external = false; // its life is SqlSessions'; only its rates are kept here
        QString username;
        QString program;
        QString machine;
        QString osuser;
        QString module;
        qint64 lifetime = 0; // 0: as long as the instance
        qint64 gap = 0;      // seconds between logoff and the next logon at this sid
        qint64 offset = 0;   // where in its cycle the slot stood when the instance started
        qint64 delay = 0;    // seconds after an instance start before the first logon
        int serialBase = 0;
        double period = 1; // seconds of one ACTIVE and INACTIVE turn
        double duty = 1;   // share of a turn spent ACTIVE
        double phase = 0;
        std::vector<QString> statements; // the sql_ids it runs, by turn
        std::vector<double> rates;       // per active second, by statistic; < 0: not kept
        // Of the lesser statistics, the memory and the waits:
        double work = 1;           // how busy, as a factor of every lesser statistic's rate
        double memoryScale = 1;    // of the memory figures' sizes
        double memoryPeriod = 300; // seconds of one rise and fall of the memory held
        double memoryPhase = 0;
        double idleShare = 0.9;          // of its idle time, the share spent in an idle wait
        std::vector<double> eventShares; // by session event: factor of the event's rate
    };

    void addBackground(int instance, int sid, const char *process, QRandomGenerator &rng);
    void addUser(int instance, int sid, const char *user, const char *program, const char *module, qint64 lifetime,
                 qint64 gap, double duty, const std::vector<int> &statements, QRandomGenerator &rng);
    std::vector<double> rates(bool background, QRandomGenerator &rng) const;
    static void drawLesserFigures(Profile &p, QRandomGenerator &rng);
    const Profile &profileOf(const SessionRow &session) const;
    std::optional<SessionRow> sessionOf(size_t profile) const;
    SessionRow ownSession(const SessionInfo &who) const;
    double activeSeconds(const Profile &p, double age, double phase) const;
    int restarts(int instance) const;

    LiveModel &live_;
    const SqlSessions &sqlSessions_;
    std::vector<Profile> profiles_;
    QHash<QString, int> sqlSessionProfiles_; // "instance/sid" of SqlSessions' sessions -> profile
    Profile own_;                            // the caller's own session
};

} // namespace tavimond::sim
