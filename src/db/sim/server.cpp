#include "server.h"

#include "ambiguous_columns.h"

#include "../connection_string.h"
#include "../error.h"

#include <QFile>
#include <QThread>

namespace tavimond::sim {
namespace {

QString jsonString(const QString &s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

class SimCursor : public Cursor {
public:
    SimCursor(Result table, std::optional<int> loseAfter, bool *alive)
        : table_(std::move(table)), loseAfter_(loseAfter), alive_(alive)
    {}
    const QStringList &columnNames() const override { return table_->columns; }
    bool fetch() override
    {
        if (loseAfter_ && row_ + 1 >= *loseAfter_) {
            *alive_ = false;
            row_ = table_->rowCount();
            throw DbError(QStringLiteral("ORA-03113: end-of-file on communication channel"));
        }
        ++row_;
        return row_ < table_->rowCount();
    }
    QString value(int i) const override { return table_->cell(row_, i); }

private:
    Result table_;
    std::optional<int> loseAfter_;
    bool *alive_;
    qsizetype row_ = -1;
};

class SimSession : public Session {
public:
    SimSession(Server &server, SessionInfo who) : server_(server), who_(std::move(who)) {}
    std::unique_ptr<Cursor> execute(const QString &sql, int timeoutSeconds) override
    {
        if (!alive_)
            throw DbError(QStringLiteral("ORA-03114: not connected to ORACLE"));
        if (server_.networkDown()) {
            alive_ = false;
            throw DbError(QStringLiteral("ORA-03113: end-of-file on communication channel"));
        }
        Result r = server_.execute(sql, timeoutSeconds, who_);
        return std::make_unique<SimCursor>(std::move(r), server_.takeLoseAfterRows(), &alive_);
    }
    bool alive() const override { return alive_; }

private:
    Server &server_;
    SessionInfo who_;
    bool alive_ = true;
};

} // namespace

Server::Server()
{
    reset(1, ClockMode::Wall);
}

Server &Server::instance()
{
    static Server server;
    return server;
}

void Server::reset(quint64 seed, ClockMode mode)
{
    model_ = std::make_unique<Model>(seed, mode);
    extra_.clear();
    families_.clear();
    registerFamilies(families_);
    statements_.clear();
    timeouts_.clear();
    logons_ = 0;
    clearFaults();
}

void Server::add(Recogniser r)
{
    extra_.push_back(std::move(r));
}

void Server::setSlowStatement(const QString &phrase, int milliseconds)
{
    slowPhrase_ = phrase;
    slowMs_ = milliseconds;
}

void Server::clearFaults()
{
    logonDenied_ = false;
    loseAfterRows_.reset();
    slowPhrase_.clear();
    slowMs_ = 0;
    networkDown_ = false;
}

const QHash<QString, int> &Server::services()
{
    static const QHash<QString, int> s{
        {QStringLiteral("TAVIDB"), 1},
        {QStringLiteral("TAVIDB1"), 1},
        {QStringLiteral("TAVIDB2"), 2},
    };
    return s;
}

std::unique_ptr<Session> Server::logon(const ConnectionString &cs)
{
    if (networkDown_)
        throw DbError(QStringLiteral("ORA-12170: TNS:Connect timeout occurred"));
    SessionInfo who;
    if (cs.logon) {
        who.user = cs.logon->user;
        who.service = cs.logon->dataSource.trimmed().toUpper();
    }
    if (!who.service.isEmpty()) {
        const auto it = services().constFind(who.service);
        if (it == services().constEnd())
            throw DbError(QStringLiteral("ORA-12154: TNS:could not resolve the connect identifier specified"));
        who.instance = it.value();
    }
    if (who.user.trimmed().isEmpty() || logonDenied_)
        throw DbError(QStringLiteral("ORA-01017: invalid username/password; logon denied"));
    ++logons_;
    who.audsid = 90000000 + logons_;
    return std::make_unique<SimSession>(*this, who);
}

std::optional<int> Server::takeLoseAfterRows()
{
    auto v = loseAfterRows_;
    loseAfterRows_.reset();
    return v;
}

void Server::log(const QString &sql, int timeoutSeconds)
{
    if (keep_) {
        statements_.append(sql);
        timeouts_.append(timeoutSeconds);
    }
    const QByteArray path = qgetenv("TAVIMOND_SIM_LOG");
    if (path.isEmpty())
        return;
    QFile f(QString::fromLocal8Bit(path));
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write((jsonString(sql) + QLatin1Char('\n')).toUtf8());
}

Result Server::execute(const QString &sql, int timeoutSeconds, const SessionInfo &who)
{
    log(sql, timeoutSeconds);
    const Statement stmt(sql);
    refuseAmbiguousColumns(stmt);
    if (slowMs_ > 0 && !slowPhrase_.isEmpty() && stmt.has(slowPhrase_)) {
        if (timeoutSeconds > 0 && slowMs_ > timeoutSeconds * 1000)
            throw DbError(QStringLiteral("ORA-01013: user requested cancel of current operation"));
        QThread::msleep(ulong(slowMs_));
    }
    Context ctx{*model_, who};
    for (const auto *list : {&extra_, &families_})
        for (const Recogniser &r : *list)
            if (r.matches(stmt))
                return r.answer(stmt, ctx);
    if (keep_)
        unanswered_.append(sql);
    throw DbError(QStringLiteral("ORA-00942: table or view does not exist"));
}

} // namespace tavimond::sim
