#pragma once

#include "connection_string.h"
#include "driver.h"

#include <memory>
#include <vector>

namespace tavimond {

class Query;

// The one database connection. It is never opened explicitly: the first query
// opened after a change of its string connects it.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // A new string closes the connection; the next query reconnects with it.
    void setConnectionString(ConnectionString cs);
    const ConnectionString &connectionString() const { return cs_; }
    QString connectionText() const { return cs_.text(); }

    // Closes every open query of this connection, then the session.
    void close();
    bool connected() const;

private:
    friend class Query;
    Session &session(); // connects when needed
    void attach(Query *q);
    void detach(Query *q);

    ConnectionString cs_;
    std::unique_ptr<Session> session_;
    std::vector<Query *> openQueries_;
};

} // namespace tavimond
