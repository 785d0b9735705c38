#pragma once

// The user sessions that run the catalogue's statements, and one pair in which a
// session waits for another's row lock. Which statement a session runs, and whether
// the pair is blocked, follow the simulated clock.

#include "../model.h"

#include <QString>
#include <vector>

namespace tavimond::sim {

class LiveModel;

struct SqlSession {
    int instance = 1;
    int sid = 0;
    int serial = 0;
    QString username;
    QString program;
    QString status;          // "ACTIVE" while it runs a statement, "INACTIVE" between them
    QString sqlId;           // the statement it runs now; empty between statements
    QString prevSqlId;       // the one it ran before
    qint64 sqlSeconds = 0;   // since the current statement, or the idle spell, began
    qint64 logonSeconds = 0; // since it logged on
    // The same to the millisecond, and of it the seconds it spent ACTIVE: its counters
    // follow these, so that they grow between samples less than a second apart.
    double exactLogonSeconds = 0;
    double activeSeconds = 0;
    QString event;
    QString waitClass;
    // The session it waits for; 0 when it waits for none.
    int blockingInstance = 0;
    int blockingSession = 0;
    // Its open transaction: the table it changes (empty when none), whether its row
    // locks block another session, and the transaction's identity.
    QString transactionTable;
    bool blocksOthers = false;
    qint64 transactionUsnSlot = 0;
    qint64 transactionSequence = 0;
    qint64 transactionSeconds = 0;
    // The transaction whose row lock it requests, when it waits for one.
    qint64 requestedUsnSlot = 0;
    qint64 requestedSequence = 0;
};

class SqlSessions {
public:
    // The blocked pair is blocked for the first kBlockedSeconds of every kBlockingCycle
    // seconds of the clock; then the holder commits.
    static constexpr qint64 kBlockingCycle = 900;
    static constexpr qint64 kBlockedSeconds = 600;

    explicit SqlSessions(Model &model);

    // The sessions of both instances at the current simulated time.
    std::vector<SqlSession> now() const;

private:
    struct Worker {
        int instance;
        int sid;
        int serial;
        const char *username;
        const char *program;
        std::vector<int> statements; // catalogue positions it cycles through, then rests
        qint64 dwell;                // seconds per statement
        qint64 offset;
    };
    SqlSession pairMember(int sid, int serial, const char *username, const char *program, qint64 loggedOnBefore,
                          qint64 t) const;
    SqlSession blocker(qint64 t) const;
    SqlSession waiter(qint64 t) const;

    LiveModel &live_;
    std::vector<Worker> workers_;
};

} // namespace tavimond::sim
