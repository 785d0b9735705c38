#include "connection.h"

#include "query.h"

#include <algorithm>

namespace tavimond {

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::setConnectionString(ConnectionString cs)
{
    close();
    cs_ = std::move(cs);
}

void Connection::close()
{
    // Closing a query detaches it, so work on a copy of the list.
    const auto queries = openQueries_;
    for (Query *q : queries)
        q->close();
    openQueries_.clear();
    session_.reset();
}

bool Connection::connected() const
{
    return session_ && session_->alive();
}

Session &Connection::session()
{
    if (session_ && !session_->alive())
        close(); // the link was lost: connect afresh
    if (!session_)
        session_ = openSession(cs_);
    return *session_;
}

void Connection::attach(Query *q)
{
    if (std::find(openQueries_.begin(), openQueries_.end(), q) == openQueries_.end())
        openQueries_.push_back(q);
}

void Connection::detach(Query *q)
{
    openQueries_.erase(std::remove(openQueries_.begin(), openQueries_.end(), q), openQueries_.end());
}

} // namespace tavimond
