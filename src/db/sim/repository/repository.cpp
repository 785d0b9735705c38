#include "repository.h"

#include "../oracle_dates.h"
#include "../statement.h"

#include "../../error.h"

#include <algorithm>

namespace tavimond::sim {
namespace {

bool isKeyword(const QString &word)
{
    static const char *const kKeywords[] = {"group",  "order", "and",  "or",    "where",
                                            "having", "union", "from", "select"};
    for (const char *k : kKeywords)
        if (word == QLatin1String(k))
            return true;
    return false;
}

} // namespace

Repository::Repository(Model &model) : model_(model)
{
    const RepositoryShape &shape = model.state<RepositoryShape>();
    intervalSeconds_ = std::max(1, shape.intervalMinutes) * 60;
    first_ = Model::start().addSecs(-qint64(shape.days) * 86400);
    const int instances = std::max(1, shape.instances);
    firstStartup_.resize(size_t(instances));
    restarts_.resize(size_t(instances));
    firstStartup_[0] = first_.addDays(-20).addSecs(-3 * 3600 - 14 * 60 - 5);
    for (int i = 1; i < instances; ++i)
        firstStartup_[size_t(i)] = first_.addDays(-9 - 4 * (i - 1)).addSecs(-7 * 3600 - 48 * 60 - 31 + 997 * (i - 1));
    if (instances < 2)
        return;
    // Six days in, between two snapshots; and an hour after the clock's start, as the
    // live view of instance 2 has it (the instance is back a minute later).
    restarts_[1].push_back(first_.addDays(std::min(6, std::max(0, shape.days - 1))).addSecs(20 * 60 + 17));
    restarts_[1].push_back(Model::start().addSecs(3600 + 61));
}

QDateTime Repository::boundary(int index) const
{
    return first_.addSecs(qint64(index + 1) * intervalSeconds_);
}

Dice Repository::dice(quint64 salt, qint64 thing, int index, int instance) const
{
    Dice mix(model_.seed() ^ (salt * 0xD6E8FEB86659FD93ULL));
    mix = Dice(mix.next() ^ quint64(thing) * 0x9E3779B97F4A7C15ULL);
    mix = Dice(mix.next() ^ (quint64(index) << 3 | quint64(instance)));
    return mix;
}

QDateTime Repository::takenAt(int index, int instance) const
{
    if (index < 0)
        return first_;
    // Taking a snapshot ends a few seconds after the boundary.
    return boundary(index).addMSecs(1500 + dice(0x5a47, 0, index, instance).below(3500));
}

QDateTime Repository::startupAt(int instance, const QDateTime &t) const
{
    QDateTime s = firstStartup_.at(size_t(instance - 1));
    for (const QDateTime &r : restarts_.at(size_t(instance - 1)))
        if (r <= t)
            s = r;
    return s;
}

std::optional<Repository::Snapshot> Repository::make(int index, int instance) const
{
    if (instance == 1 && index == kMissedSnapshot)
        return std::nullopt;
    Snapshot s;
    s.snapId = kFirstSnapId + index;
    s.index = index;
    s.instance = instance;
    s.end = takenAt(index, instance);
    int previous = index - 1;
    if (instance == 1 && previous == kMissedSnapshot)
        --previous;
    s.begin = takenAt(previous, instance);
    s.startup = startupAt(instance, s.end);
    // The first snapshot after a restart covers the time since the startup.
    if (s.startup > s.begin)
        s.begin = s.startup;
    return s;
}

std::vector<Repository::Snapshot> Repository::snapshots() const
{
    std::vector<Snapshot> out;
    const QDateTime now = model_.now();
    for (int index = 0;; ++index) {
        if (boundary(index) > now)
            break;
        for (int instance = 1; instance <= instances(); ++instance)
            if (auto s = make(index, instance); s && s->end <= now)
                out.push_back(*s);
    }
    return out;
}

std::optional<Repository::Snapshot> Repository::snapshot(qint64 snapId, int instance) const
{
    const qint64 index = snapId - kFirstSnapId;
    if (index < 0 || index > (1 << 24) || instance < 1 || instance > instances())
        return std::nullopt;
    auto s = make(int(index), instance);
    if (!s || s->end > model_.now())
        return std::nullopt;
    return s;
}

bool SnapshotWindow::contains(const Repository::Snapshot &s) const
{
    if (beginFrom && !(beginFrom->isValid() && s.begin >= *beginFrom))
        return false;
    if (endTo && !(endTo->isValid() && s.end <= *endTo))
        return false;
    return true;
}

namespace {

// to_date ( '<text>' , '<mask>' ) from token i; i moves past it.
QDateTime readToDate(const std::vector<Token> &t, size_t &i)
{
    auto is = [&](size_t k, const char *text) { return k < t.size() && t[k].text == QLatin1String(text); };
    if (!is(i, "to_date") || !is(i + 1, "("))
        cannotRead(QStringLiteral("the window"));
    i += 2;
    if (i >= t.size() || t[i].kind != Token::String)
        throw DbError(QStringLiteral("ORA-00936: missing expression"));
    const QString text = t[i].value;
    ++i;
    QString mask = QStringLiteral("DD-MON-RR");
    if (is(i, ",")) {
        ++i;
        if (i >= t.size() || t[i].kind != Token::String)
            throw DbError(QStringLiteral("ORA-00936: missing expression"));
        mask = t[i].value;
        ++i;
    }
    if (!is(i, ")"))
        throw DbError(QStringLiteral("ORA-00907: missing right parenthesis"));
    ++i;
    return toDate(text, mask);
}

// Arithmetic of numbers from token i on, as Oracle reads it: + and - after * and /,
// signs, parentheses; i moves past it.
class ArithmeticReader {
public:
    ArithmeticReader(const std::vector<Token> &t, size_t &i) : t_(t), i_(i) {}

    // Terms joined by + and -, the first one's sign turned by firstSign.
    double sum(double firstSign = 1)
    {
        double v = firstSign * term();
        while (is("+") || is("-")) {
            const bool minus = is("-");
            ++i_;
            v += minus ? -term() : term();
        }
        return v;
    }

private:
    bool is(const char *symbol) const
    {
        return i_ < t_.size() && t_[i_].kind == Token::Symbol && t_[i_].text == QLatin1String(symbol);
    }
    double term()
    {
        double v = factor();
        while (is("*") || is("/")) {
            const bool divide = is("/");
            ++i_;
            const double f = factor();
            if (divide && f == 0)
                throw DbError(QStringLiteral("ORA-01476: divisor is equal to zero"));
            v = divide ? v / f : v * f;
        }
        return v;
    }
    double factor()
    {
        double sign = 1;
        for (; is("-") || is("+"); ++i_)
            sign = is("-") ? -sign : sign;
        if (is("(")) {
            ++i_;
            const double v = sum();
            if (!is(")"))
                throw DbError(QStringLiteral("ORA-00907: missing right parenthesis"));
            ++i_;
            return sign * v;
        }
        if (i_ >= t_.size() || t_[i_].kind == Token::Symbol || (t_[i_].kind == Token::Word && isKeyword(t_[i_].text)))
            throw DbError(QStringLiteral("ORA-00936: missing expression"));
        if (t_[i_].kind == Token::Word || t_[i_].kind == Token::QuotedName)
            throw DbError(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(t_[i_].value.toUpper()));
        bool ok = false;
        const double v = t_[i_].value.toDouble(&ok);
        if (t_[i_].kind == Token::String || !ok)
            throw DbError(QStringLiteral("ORA-01722: invalid number"));
        ++i_;
        return sign * v;
    }

    const std::vector<Token> &t_;
    size_t &i_;
};

} // namespace

std::optional<SnapshotWindow> readSnapshotWindow(const Statement &statement, const Model &model,
                                                 const QString &beginColumn, const QString &endColumn)
{
    const std::vector<Token> &t = statement.tokens();
    const int at = statement.after(beginColumn + QStringLiteral(" >="));
    if (at < 0)
        return std::nullopt;
    SnapshotWindow w;
    size_t i = size_t(at);
    if (i < t.size() && t[i].text == QLatin1String("sysdate")) {
        ++i;
        // A bare sysdate (what is left of "sysdate--1", the rest of the line a comment).
        if (i >= t.size() || (t[i].kind == Token::Word && isKeyword(t[i].text))) {
            w.beginFrom = model.now();
            return w;
        }
        if (t[i].text != QLatin1String("-"))
            cannotRead(QStringLiteral("the window"));
        ++i;
        // sysdate - a + b is (sysdate - a) + b; "sysdate - -1" is a day ahead.
        const double offset = ArithmeticReader(t, i).sum(-1);
        // What follows the arithmetic must end the condition.
        if (i < t.size() && (t[i].kind == Token::Number || t[i].kind == Token::String ||
                             (t[i].kind == Token::Word && !isKeyword(t[i].text))))
            throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
        w.beginFrom = model.now().addMSecs(qint64(offset * 86400000.0));
        return w;
    }
    w.beginFrom = readToDate(t, i);
    const QString endPhrase = QStringLiteral("and ") + endColumn + QStringLiteral(" <=");
    const int end = statement.after(endPhrase, int(i));
    if (end == int(i + Statement::tokenize(endPhrase).size())) {
        size_t j = size_t(end);
        w.endTo = readToDate(t, j);
    }
    return w;
}

QString microsAsSeconds(qint64 micros)
{
    const bool negative = micros < 0;
    const quint64 m = negative ? quint64(-micros) : quint64(micros);
    QString out = QString::number(m / 1000000u);
    if (const quint64 rest = m % 1000000u) {
        QString fraction = QStringLiteral("%1").arg(rest, 6, 10, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        out += QLatin1Char('.') + fraction;
    }
    return negative ? QLatin1Char('-') + out : out;
}

void cannotRead(const QString &what)
{
    // The simulated instance knows each report's statement by its shape; an edit that
    // leaves the shape gets the error a database gives for a statement it cannot parse.
    throw DbError(
        QStringLiteral("ORA-00900: invalid SQL statement (the simulated instance could not read %1)").arg(what));
}

} // namespace tavimond::sim
