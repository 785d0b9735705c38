#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace tavimond {

// The rows of one executed statement, read forward only.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const QStringList &columnNames() const = 0;
    // Moves to the next row; false at the end. Throws DbError when the fetch fails.
    virtual bool fetch() = 0;
    // Text of column i (0-based) of the current row; NULL reads as empty text.
    virtual QString value(int i) const = 0;
};

// One open session with a database.
class Session {
public:
    virtual ~Session() = default;
    // Runs one statement; timeoutSeconds 0 means no limit. Throws DbError.
    virtual std::unique_ptr<Cursor> execute(const QString &sql, int timeoutSeconds) = 0;
    // False once the session found its connection lost.
    virtual bool alive() const = 0;
};

struct ConnectionString;

// Opens sessions; chosen by the connection string's Provider.
std::unique_ptr<Session> openSession(const ConnectionString &cs);

} // namespace tavimond
