#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

namespace tavimond {

class Connection;
class Cursor;

// One query component: SQL held as lines, a command time-out, and the rows of its
// last opening read forward. Fields are numbered from 0.
class Query {
public:
    static constexpr int kDefaultTimeoutSeconds = 30;
    static constexpr int kLongTimeoutSeconds = 3000;

    explicit Query(Connection &connection, int commandTimeoutSeconds = kDefaultTimeoutSeconds);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    // Assigning SQL closes the query if it is open.
    void setSql(const QStringList &lines);
    const QStringList &sql() const { return sql_; }
    // The statement sent: the lines joined by line breaks.
    QString statement() const { return sql_.join(QLatin1Char('\n')); }

    int commandTimeout() const { return timeout_; }
    void setCommandTimeout(int seconds) { timeout_ = seconds; }

    // Connects if needed, sends the statement and moves to its first record.
    // Only queries are sent: a statement that ensureReadOnly refuses never reaches the
    // database. Throws DbError.
    void open();
    bool isOpen() const { return cursor_ != nullptr; }
    bool eof() const { return !onRecord_; }
    void next();
    void close();

    int fieldCount() const { return int(names_.size()); }
    QString fieldName(int i) const;
    // Text of a field of the current record; NULL and "no current record" read as "".
    QString field(int i) const;
    // By name, without regard to case; with duplicate names the first one.
    QString field(const QString &name) const;
    int fieldIndex(const QString &name) const; // -1 when absent

private:
    Connection &connection_;
    QStringList sql_;
    int timeout_;
    std::unique_ptr<Cursor> cursor_;
    QStringList names_;
    QHash<QString, int> byName_;
    bool onRecord_ = false;
};

} // namespace tavimond
