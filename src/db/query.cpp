#include "query.h"

#include "connection.h"
#include "driver.h"
#include "error.h"
#include "read_only_guard.h"

namespace tavimond {

Query::Query(Connection &connection, int commandTimeoutSeconds)
    : connection_(connection), timeout_(commandTimeoutSeconds)
{}

Query::~Query()
{
    close();
}

void Query::setSql(const QStringList &lines)
{
    close();
    sql_ = lines;
}

void Query::open()
{
    close();
    const QString text = statement();
    ensureReadOnly(text);
    Session &session = connection_.session();
    std::unique_ptr<Cursor> cursor = session.execute(text, timeout_);
    names_ = cursor->columnNames();
    byName_.clear();
    for (int i = 0; i < names_.size(); ++i) {
        const QString key = names_.at(i).toUpper();
        if (!byName_.contains(key))
            byName_.insert(key, i);
    }
    cursor_ = std::move(cursor);
    connection_.attach(this);
    onRecord_ = false;
    next();
}

void Query::next()
{
    if (!cursor_)
        return;
    onRecord_ = false;
    onRecord_ = cursor_->fetch();
}

void Query::close()
{
    if (cursor_) {
        cursor_.reset();
        connection_.detach(this);
    }
    onRecord_ = false;
}

QString Query::fieldName(int i) const
{
    return i >= 0 && i < names_.size() ? names_.at(i) : QString();
}

QString Query::field(int i) const
{
    if (!onRecord_ || i < 0 || i >= names_.size())
        return {};
    return cursor_->value(i);
}

int Query::fieldIndex(const QString &name) const
{
    return byName_.value(name.toUpper(), -1);
}

QString Query::field(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    return field(i);
}

} // namespace tavimond
