// The system topology report: instance-wide figures per snapshot and instance, from an
// inline view that puts the time model, host, PGA, system and global-cache statistics
// of every snapshot side by side with their differences from the snapshot before
// (LAG per statistic, instance and startup), grouped and computed by the outer select.
#include "grouped_select.h"
#include "repository.h"
#include "system_statistics.h"

#include "../dictionary/storage_layout.h"
#include "../server.h"

#include "../../error.h"

#include <cmath>

namespace tavimond::sim {
namespace {

using View = SystemStatistics::View;

// One branch of the inline view: the statistics table it reads, the names it selects
// and what it divides the differences by.
struct Branch {
    View view;
    QStringList names;
    double divisor = 1;
};

// A range of tokens and the phrases found in it.
class Tokens {
public:
    Tokens(const std::vector<Token> &t, size_t begin, size_t end) : t_(t), begin_(begin), end_(end) {}

    // Index of the first token after the phrase; -1 if absent.
    int after(const QString &phrase) const
    {
        const std::vector<Token> p = Statement::tokenize(phrase);
        for (size_t i = begin_; i + p.size() <= end_; ++i) {
            bool same = true;
            for (size_t j = 0; j < p.size() && same; ++j)
                same = t_[i + j].text == p[j].text;
            if (same)
                return int(i + p.size());
        }
        return -1;
    }
    void require(const QString &phrase, const char *what) const
    {
        if (after(phrase) < 0)
            cannotRead(QString::fromLatin1(what));
    }
    const Token *at(int i) const { return i >= 0 && size_t(i) < end_ ? &t_[size_t(i)] : nullptr; }
    bool is(int i, const char *text) const
    {
        return at(i) && at(i)->kind != Token::String && at(i)->text == QLatin1String(text);
    }

    // The first token at depth 0 from `from` that reads `text`; end() when none.
    size_t topLevel(size_t from, const char *text) const
    {
        int depth = 0;
        for (size_t i = from; i < end_; ++i) {
            if (t_[i].kind == Token::String)
                continue;
            if (depth == 0 && t_[i].text == QLatin1String(text))
                return i;
            depth += t_[i].text == QLatin1String("(") ? 1 : t_[i].text == QLatin1String(")") ? -1 : 0;
        }
        return end_;
    }
    size_t closing(size_t open) const { return closingParenthesis(t_, open, end_); }
    size_t end() const { return end_; }

private:
    const std::vector<Token> &t_;
    size_t begin_, end_;
};

Branch readBranch(const Tokens &b)
{
    const int table = b.after(QStringLiteral("from dba_hist_snapshot s ,"));
    if (!b.at(table) || !b.at(table + 1) || b.at(table)->kind != Token::Word || b.at(table + 1)->kind != Token::Word)
        cannotRead(QStringLiteral("a branch of the inline view"));
    Branch out;
    if (!SystemStatistics::viewOf(b.at(table)->text, out.view))
        throw DbError(QStringLiteral("ORA-00942: table or view does not exist"));
    const QString x = b.at(table + 1)->text;
    const bool byName = out.view == View::PgaStat || out.view == View::DlmMisc;
    const QString name = x + (byName ? QStringLiteral(".name") : QStringLiteral(".stat_name"));
    const QString key = x + (byName ? QStringLiteral(".name") : QStringLiteral(".stat_id"));

    b.require(QStringLiteral("select s.instance_number, s.snap_id,"), "the branch's select list");
    b.require(QStringLiteral("s.begin_interval_time begin_interval_time"), "the branch's begin_interval_time");
    b.require(QStringLiteral("s.end_interval_time end_interval_time"), "the branch's end_interval_time");
    b.require(QStringLiteral("round((CAST (s.end_interval_time AS DATE) - CAST (s.begin_interval_time AS DATE)) * 24 "
                             "* 3600) ela"),
              "the branch's ela");
    b.require(name + QStringLiteral(" stat_name"), "the branch's stat_name");
    b.require(QStringLiteral("case when s.begin_interval_time = s.startup_time then %1.value else %1.value - LAG "
                             "(%1.value, 1) OVER (PARTITION BY %2, s.dbid, s.instance_number, s.startup_time ORDER BY "
                             "s.snap_id) end)")
                  .arg(x, key),
              "the branch's diff_val");
    b.require(x + QStringLiteral(".value value"), "the branch's value");
    for (const char *column : {"dbid", "instance_number", "snap_id"})
        b.require(QStringLiteral("s.%1 = %2.%1").arg(QLatin1String(column), x), "the branch's join");

    // ") / <number> diff_val" or ") diff_val"
    int at = b.after(QStringLiteral("end ) /"));
    if (at >= 0 && b.at(at) && b.at(at)->kind == Token::Number && b.is(at + 1, "diff_val")) {
        out.divisor = b.at(at)->value.toDouble();
        if (out.divisor == 0)
            throw DbError(QStringLiteral("ORA-01476: divisor is equal to zero"));
    } else if (b.after(QStringLiteral("end ) diff_val")) < 0) {
        cannotRead(QStringLiteral("the branch's diff_val"));
    }

    at = b.after(name + QStringLiteral(" in ("));
    if (at < 0)
        cannotRead(QStringLiteral("the branch's statistic names"));
    for (;; at += 2) {
        if (!b.at(at) || b.at(at)->kind != Token::String)
            cannotRead(QStringLiteral("the branch's statistic names"));
        out.names << b.at(at)->value;
        if (b.is(at + 1, ")"))
            break;
        if (!b.is(at + 1, ","))
            cannotRead(QStringLiteral("the branch's statistic names"));
    }
    out.names.removeDuplicates();
    return out;
}

// (select to_number(value) from v$parameter where name = 'db_block_size')
SqlValue parameter(const QString &subquery)
{
    const Statement q(subquery);
    const std::optional<QString> name = q.stringAfter(QStringLiteral("from v$parameter where name ="));
    const bool number = q.has(QStringLiteral("select to_number ( value ) from"));
    if (!name || !(number || q.has(QStringLiteral("select value from"))))
        cannotRead(QStringLiteral("the scalar subquery"));
    if (*name != QLatin1String("db_block_size"))
        return {}; // no such parameter: no row
    const int size = StorageLayout::kBlockSize;
    return number ? SqlValue::of(double(size)) : SqlValue::of(QString::number(size));
}

// The database's CAST of a timestamp to a date keeps whole seconds.
qint64 wholeSeconds(const QDateTime &t)
{
    return (t.toMSecsSinceEpoch() + 500) / 1000;
}

Result systemTopology(const Statement &s, Context &ctx)
{
    const std::vector<Token> &t = s.tokens();
    const Tokens all(t, 0, t.size());
    // select <items> from ( <view> ), v$database d [where <window>] group by ... order by ...
    const size_t from = all.topLevel(1, "from");
    if (!all.is(0, "select") || !all.is(int(from) + 1, "("))
        cannotRead(QStringLiteral("the statement"));
    const size_t close = all.closing(from + 1);
    if (!all.is(int(close) + 1, ",") || !all.is(int(close) + 2, "v$database") || !all.is(int(close) + 3, "d"))
        cannotRead(QStringLiteral("the views"));
    const size_t group = all.topLevel(close + 4, "group");
    const size_t order = all.topLevel(close + 4, "order");
    const size_t clauses = std::min(group, order);
    std::optional<SnapshotWindow> window;
    if (all.is(int(close) + 4, "where")) {
        window = readSnapshotWindow(s, ctx.model);
        if (!window)
            cannotRead(QStringLiteral("the window"));
    } else if (close + 4 != clauses) {
        cannotRead(QStringLiteral("the statement"));
    }
    if ((group < t.size() && !all.is(int(group) + 1, "by")) || (order < t.size() && !all.is(int(order) + 1, "by")) ||
        order < group)
        cannotRead(QStringLiteral("the grouping"));

    // The branches of the inline view, up to its own ordering.
    const Tokens view(t, from + 2, Tokens(t, 0, close).topLevel(from + 2, "order"));
    std::vector<Branch> branches;
    for (size_t b = from + 2; b < view.end();) {
        size_t e = view.topLevel(b, "union");
        branches.push_back(readBranch(Tokens(t, b, e)));
        if (e < view.end() && !view.is(int(e) + 1, "all"))
            cannotRead(QStringLiteral("the union"));
        b = e + 2;
    }

    GroupedSelect::Ranges ranges;
    ranges.selectBegin = 1;
    ranges.selectEnd = from;
    if (group < t.size()) {
        ranges.groupBegin = group + 2;
        ranges.groupEnd = order < t.size() ? order : t.size();
    }
    if (order < t.size()) {
        ranges.orderBegin = order + 2;
        ranges.orderEnd = t.size();
    }
    const QStringList columns{
        QStringLiteral("INSTANCE_NUMBER"),   QStringLiteral("SNAP_ID"), QStringLiteral("BEGIN_INTERVAL_TIME"),
        QStringLiteral("END_INTERVAL_TIME"), QStringLiteral("ELA"),     QStringLiteral("STAT_NAME"),
        QStringLiteral("DIFF_VAL"),          QStringLiteral("VALUE"),   QStringLiteral("D.NAME")};
    const GroupedSelect select(t, ranges, columns, parameter);

    // Each branch's statistics, by index into the captures' values.
    struct Selected {
        int statistic;
        const Branch *branch;
    };
    std::vector<Selected> selected;
    for (const Branch &b : branches)
        for (const QString &name : b.names)
            if (const int i = SystemStatistics::indexOf(b.view, name); i >= 0)
                selected.push_back({i, &b});

    // The differences run over every snapshot of the repository, whatever the window.
    const std::vector<SystemStatistics::Capture> captures = ctx.model.state<SystemStatistics>().captures();
    const int instances = ctx.model.state<Repository>().instances();
    std::vector<std::vector<double>> previous(
        static_cast<size_t>(instances)); // by instance: the last value of each selection
    std::vector<QDateTime> startup(static_cast<size_t>(instances));
    const double nan = std::nan("");
    const SqlValue database = SqlValue::of(Repository::databaseName());
    ViewRows rows;
    rows.columns = columns;
    for (const SystemStatistics::Capture &c : captures) {
        const Repository::Snapshot &snap = c.snapshot;
        std::vector<double> &last = previous[size_t(snap.instance - 1)];
        if (last.empty() || startup[size_t(snap.instance - 1)] != snap.startup) {
            last.assign(selected.size(), nan);
            startup[size_t(snap.instance - 1)] = snap.startup;
        }
        const bool shown = !window || window->contains(snap);
        const bool afterStartup = snap.begin == snap.startup;
        const SqlValue begin = SqlValue::time(snap.begin.toMSecsSinceEpoch());
        const SqlValue end = SqlValue::time(snap.end.toMSecsSinceEpoch());
        const SqlValue ela = SqlValue::of(double(wholeSeconds(snap.end) - wholeSeconds(snap.begin)));
        for (size_t k = 0; k < selected.size(); ++k) {
            const Selected &sel = selected[k];
            const double value = c.values[size_t(sel.statistic)];
            if (std::isnan(value))
                continue;
            const double before = last[k];
            last[k] = value;
            if (!shown)
                continue;
            SqlValue diff;
            if (afterStartup)
                diff = SqlValue::of(value / sel.branch->divisor);
            else if (!std::isnan(before))
                diff = SqlValue::of((value - before) / sel.branch->divisor);
            rows.rows.push_back({SqlValue::of(double(snap.instance)), SqlValue::of(double(snap.snapId)), begin, end,
                                 ela, SqlValue::of(SystemStatistics::statistics()[size_t(sel.statistic)].name), diff,
                                 SqlValue::of(value), database});
        }
    }
    return select.run(rows);
}

} // namespace

void registerSystemTopologyFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("instance statistics per snapshot and instance"),
                   [](const Statement &s) {
                       return s.has(QStringLiteral("dba_hist_sys_time_model")) &&
                              s.has(QStringLiteral("dba_hist_osstat")) && s.has(QStringLiteral("dba_hist_sysstat")) &&
                              s.has(QStringLiteral("v$database d"));
                   },
                   systemTopology});
}

} // namespace tavimond::sim
