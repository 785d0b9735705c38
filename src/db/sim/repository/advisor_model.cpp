#include "advisor_model.h"

#include "sql_workload.h"

#include "../dictionary/storage_layout.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace tavimond::sim {
namespace {

constexpr quint64 kSaltStatus = 0xad01;
constexpr quint64 kSaltFindings = 0xad02;
constexpr quint64 kSaltSegments = 0xad03;

const QString kDbTime = QStringLiteral("Database Time");
const QString kUndefined = QStringLiteral("UNDEFINED");

// The tables ADDM names in row lock and segment findings.
const char *const kBusyTables[][2] = {
    {"SALES", "ORDERS"}, {"SALES", "ORDER_LINES"}, {"BILLING", "INVOICES"}, {"INVENTORY", "STOCK_LEVELS"}};

qint64 objectIdOf(const StorageLayout &layout, const QString &owner, const QString &name)
{
    for (const StorageLayout::DbObject &o : layout.objects())
        if (o.owner == owner && o.name == name && o.subobject.isEmpty())
            return o.objectId;
    return 0;
}

// The verb ADDM names a statement by.
QString statementKind(const QString &text)
{
    static const QRegularExpression firstWord(QStringLiteral("^\\s*(?:/\\*.*?\\*/\\s*)?([A-Za-z]+)"));
    const QString word = firstWord.match(text).captured(1).toUpper();
    return word.isEmpty() ? QStringLiteral("SELECT") : word;
}

qint64 share(qint64 of, double low, double high, Dice &d)
{
    return qint64(std::llround(double(of) * d.between(low, high)));
}

// Builds one task's details: findings, then their recommendations ranked at the end.
class TaskBuilder {
public:
    explicit TaskBuilder(AdvisorHistory::Task &task) : task_(task) {}

    int finding(const QString &type, qint64 impact, const QString &impactType, const QString &message)
    {
        const int id = int(task_.findings.size()) + 1;
        task_.findings.push_back({id, type, impact, impactType, message});
        return id;
    }
    int recommendation(int findingId, const QString &type, std::optional<qint64> benefit, const QString &benefitType)
    {
        const int id = int(task_.recommendations.size()) + 1;
        task_.recommendations.push_back({id, findingId, 0, type, benefit, benefitType});
        return id;
    }
    void action(int recId, const QString &command, const QString &message)
    {
        task_.actions.push_back({int(task_.actions.size()) + 1, recId, command, message});
    }
    // Ranks 1..n: a recommendation without an estimate first, then the largest benefit.
    void rank()
    {
        std::vector<AdvisorHistory::Recommendation *> order;
        for (AdvisorHistory::Recommendation &r : task_.recommendations)
            order.push_back(&r);
        std::stable_sort(order.begin(), order.end(), [](const auto *a, const auto *b) {
            if (a->benefit.has_value() != b->benefit.has_value())
                return !a->benefit.has_value();
            return a->benefit.value_or(0) > b->benefit.value_or(0);
        });
        for (size_t i = 0; i < order.size(); ++i)
            order[i]->rank = int(i) + 1;
    }

private:
    AdvisorHistory::Task &task_;
};

} // namespace

AdvisorHistory::AdvisorHistory(Model &model) : model_(model)
{}

std::vector<AdvisorHistory::Task> AdvisorHistory::tasks() const
{
    const Repository &repository = model_.state<Repository>();
    const QDateTime now = model_.now();
    std::vector<Task> out;
    auto finish = [&](Task &t, Dice d, bool mayFail) {
        t.executionStart = t.created;
        t.executionEnd = t.created.addSecs(t.advisor == QLatin1String("ADDM") ? 12 + d.below(80) : 300 + d.below(600));
        const double fate = mayFail ? d.uniform() : 1.0;
        t.status = fate < 0.015  ? QStringLiteral("ERROR")
                   : fate < 0.04 ? QStringLiteral("INTERRUPTED")
                                 : QStringLiteral("COMPLETED");
        if (t.executionEnd > now) {
            t.status = QStringLiteral("EXECUTING");
            t.executionEnd = QDateTime();
        }
        out.push_back(std::move(t));
    };
    const std::vector<Repository::Snapshot> snapshots = repository.snapshots();
    const qint64 stride = repository.instances() + 1; // ids of an interval: its analyses, then the segment advisor's
    for (size_t k = 0; k < snapshots.size(); ++k) {
        const Repository::Snapshot &s = snapshots[k];
        Task t;
        t.taskId = kFirstTaskId + qint64(s.index) * stride + (s.instance - 1);
        t.owner = QStringLiteral("SYS");
        t.name = QStringLiteral("ADDM:%1_%2_%3").arg(Repository::kDbid).arg(s.instance).arg(s.snapId);
        t.advisor = QStringLiteral("ADDM");
        t.created = s.end.addSecs(3);
        if (t.created <= now)
            finish(t, repository.dice(kSaltStatus, 0, s.index, s.instance), true);
        // After the last snapshot of an interval: the nightly segment advisor.
        const bool lastOfIndex = k + 1 == snapshots.size() || snapshots[k + 1].index != s.index;
        const QDateTime boundary = repository.boundary(s.index);
        if (lastOfIndex && boundary.time().hour() == 22 && boundary.time().minute() == 0) {
            Task a;
            a.taskId = kFirstTaskId + qint64(s.index) * stride + stride - 1;
            a.owner = QStringLiteral("SYS");
            a.created = boundary.addSecs(120);
            a.name = QStringLiteral("SYS_AUTO_SPCADV_") + a.created.toString(QStringLiteral("mmsshhddMMyyyy"));
            a.advisor = QStringLiteral("Segment Advisor");
            if (a.created <= now)
                finish(a, repository.dice(kSaltStatus, 1, s.index, 0), false);
        }
    }
    return out;
}

AdvisorHistory::Origin AdvisorHistory::originOf(qint64 taskId) const
{
    const qint64 n = taskId - kFirstTaskId;
    const qint64 stride = model_.state<Repository>().instances() + 1;
    Origin o;
    o.index = int(n / stride);
    o.segmentAdvisor = n % stride == stride - 1;
    o.instance = o.segmentAdvisor ? 0 : int(n % stride) + 1;
    return o;
}

void AdvisorHistory::details(Task &task) const
{
    task.findings.clear();
    task.recommendations.clear();
    task.actions.clear();
    const Origin o = originOf(task.taskId);
    if (o.segmentAdvisor) {
        segmentAdvisorDetails(task, o.index);
        return;
    }
    if (const auto s = model_.state<Repository>().snapshot(Repository::kFirstSnapId + o.index, o.instance))
        addmDetails(task, *s);
}

void AdvisorHistory::addmDetails(Task &task, const Repository::Snapshot &snapshot) const
{
    const Repository &repository = model_.state<Repository>();
    const StorageLayout &layout = model_.state<StorageLayout>();
    Dice d = repository.dice(kSaltFindings, 0, snapshot.index, snapshot.instance);
    TaskBuilder b(task);

    std::vector<SqlWorkload::Row> rows;
    model_.state<SqlWorkload>().rowsOf(snapshot, rows);
    qint64 dbTime = 0;
    for (const SqlWorkload::Row &r : rows)
        dbTime += r.elapsed;
    if (dbTime <= 0 || d.chance(0.05)) {
        b.finding(QStringLiteral("INFORMATION"), 0, kDbTime,
                  QStringLiteral("There was no significant database activity to run the ADDM."));
        return;
    }

    // The statements that took the most time, each a recommendation of its own.
    std::stable_sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.elapsed > b.elapsed; });
    const int top = std::min<int>(1 + d.below(3), int(rows.size()));
    qint64 topTime = 0;
    for (int i = 0; i < top; ++i)
        topTime += rows[size_t(i)].elapsed;
    if (topTime > 0) {
        const int f = b.finding(QStringLiteral("PROBLEM"), topTime + share(topTime, 0.02, 0.1, d), kDbTime,
                                QStringLiteral("SQL statements consuming significant database time were found. These "
                                               "statements offer a good opportunity for performance improvement."));
        for (int i = 0; i < top && rows[size_t(i)].elapsed > 0; ++i) {
            const SqlWorkload::Row &r = rows[size_t(i)];
            const int rec = b.recommendation(f, QStringLiteral("SQL Tuning"), r.elapsed, kDbTime);
            b.action(rec, QStringLiteral("RUN SQL TUNING ADVISOR"),
                     QStringLiteral("Run SQL Tuning Advisor on the %1 statement with SQL_ID \"%2\".")
                         .arg(statementKind(r.sql->text), r.sql->sqlId));
        }
    }
    if (d.chance(0.4))
        b.finding(QStringLiteral("SYMPTOM"), share(dbTime, 0.2, 0.5, d), kDbTime,
                  QStringLiteral("Wait class \"User I/O\" was consuming significant database time."));
    if (d.chance(0.3)) {
        const qint64 impact = share(dbTime, 0.05, 0.2, d);
        const int f = b.finding(QStringLiteral("PROBLEM"), impact, kDbTime,
                                QStringLiteral("Waits on event \"log file sync\" while performing COMMIT and ROLLBACK "
                                               "operations were consuming significant database time."));
        int rec = b.recommendation(f, QStringLiteral("Application Analysis"), share(impact, 0.5, 0.9, d), kDbTime);
        b.action(rec, kUndefined,
                 QStringLiteral("Investigate application logic for possible reduction in the number of COMMIT "
                                "operations by increasing the size of transactions."));
        rec = b.recommendation(f, QStringLiteral("Host Configuration"), share(impact, 0.2, 0.5, d), kDbTime);
        b.action(rec, kUndefined,
                 QStringLiteral("Investigate the possibility of improving the performance of I/O to the online redo "
                                "log files."));
    }
    // Slow I/O: ADDM gives no estimate of what better disks would save. It was found on
    // instance 1 three hours before the clock started, and now and then besides.
    const bool slowDisks = snapshot.instance == 1 && snapshot.end.secsTo(Model::start()) >= 3 * 3600 &&
                           snapshot.end.secsTo(Model::start()) < 3 * 3600 + repository.intervalSeconds();
    if (slowDisks || d.chance(0.06)) {
        const int f = b.finding(QStringLiteral("PROBLEM"), share(dbTime, 0.1, 0.3, d), kDbTime,
                                QStringLiteral("The throughput of the I/O subsystem was significantly lower than "
                                               "expected."));
        const int rec = b.recommendation(f, QStringLiteral("Host Configuration"), std::nullopt, QString());
        b.action(rec, kUndefined,
                 QStringLiteral("Consider increasing the throughput of the I/O subsystem. Oracle's recommended "
                                "solution is to stripe all data files using the SAME methodology. You might also need "
                                "to increase the number of disks for better performance."));
    }
    if (d.chance(snapshot.instance == 2 ? 0.25 : 0.08)) {
        const qint64 impact = share(dbTime, 0.04, 0.15, d);
        const int f =
            b.finding(QStringLiteral("PROBLEM"), impact, kDbTime,
                      QStringLiteral("The SGA was inadequately sized, causing additional I/O or hard parses."));
        const int rec = b.recommendation(f, QStringLiteral("DB Configuration"), share(impact, 0.6, 0.9, d), kDbTime);
        b.action(rec, QStringLiteral("ALTER PARAMETER"),
                 QStringLiteral("Increase the size of the SGA by setting the parameter \"sga_target\" to %1 M.")
                     .arg(snapshot.instance == 2 ? 6144 : 8192));
    }
    if (d.chance(0.25)) {
        const qint64 impact = share(dbTime, 0.03, 0.12, d);
        const int f = b.finding(QStringLiteral("PROBLEM"), impact, kDbTime,
                                QStringLiteral("Inter-instance messaging was consuming significant database time on "
                                               "this instance."));
        const int rec = b.recommendation(f, QStringLiteral("Host Configuration"), share(impact, 0.6, 0.95, d), kDbTime);
        b.action(rec, kUndefined,
                 QStringLiteral("Investigate the cause of high network interconnect latency between database "
                                "instances. Oracle's recommended solution is to use a high speed dedicated network."));
    }
    if (d.chance(0.12)) {
        const auto &table = kBusyTables[d.below(int(std::size(kBusyTables)))];
        const QString owner = QLatin1String(table[0]), name = QLatin1String(table[1]);
        const qint64 impact = share(dbTime, 0.02, 0.1, d);
        const int f = b.finding(QStringLiteral("PROBLEM"), impact, kDbTime,
                                QStringLiteral("SQL statements were found waiting for row lock waits."));
        const int rec =
            b.recommendation(f, QStringLiteral("Application Analysis"), share(impact, 0.8, 1.0, d), kDbTime);
        b.action(rec, kUndefined,
                 QStringLiteral("Significant row contention was detected in the TABLE \"%1.%2\" with object ID %3. "
                                "Trace the cause of row contention in the application logic using the given blocked "
                                "SQL.")
                     .arg(owner, name)
                     .arg(objectIdOf(layout, owner, name)));
    }
    if (d.chance(0.18)) {
        const auto &table = kBusyTables[d.below(int(std::size(kBusyTables)))];
        const QString owner = QLatin1String(table[0]), name = QLatin1String(table[1]);
        const qint64 id = objectIdOf(layout, owner, name);
        const qint64 impact = share(dbTime, 0.05, 0.2, d);
        const int f = b.finding(QStringLiteral("PROBLEM"), impact, kDbTime,
                                QStringLiteral("Individual database segments responsible for significant \"User I/O\" "
                                               "were found."));
        const int rec = b.recommendation(f, QStringLiteral("Segment Tuning"), share(impact, 0.7, 1.0, d), kDbTime);
        b.action(
            rec, QStringLiteral("RUN SEGMENT ADVISOR"),
            QStringLiteral("Run \"Segment Advisor\" on TABLE \"%1.%2\" with object ID %3.").arg(owner, name).arg(id));
        b.action(rec, kUndefined,
                 QStringLiteral("Investigate application logic involving I/O on TABLE \"%1.%2\" with object ID %3.")
                     .arg(owner, name)
                     .arg(id));
    }
    b.rank();
}

void AdvisorHistory::segmentAdvisorDetails(Task &task, int index) const
{
    const Repository &repository = model_.state<Repository>();
    const StorageLayout &layout = model_.state<StorageLayout>();
    Dice d = repository.dice(kSaltSegments, 0, index, 0);
    TaskBuilder b(task);
    std::vector<const StorageLayout::Segment *> tables;
    for (const StorageLayout::Segment &s : layout.segments())
        if (s.type == QLatin1String("TABLE") && s.tablespace != QLatin1String("SYSTEM") && s.blocks() >= 64)
            tables.push_back(&s);
    const int wanted = std::min<int>(1 + d.below(3), int(tables.size()));
    for (int n = 0; n < wanted; ++n) {
        const StorageLayout::Segment *s = tables[size_t(d.below(int(tables.size())))];
        tables.erase(std::find(tables.begin(), tables.end(), s));
        const qint64 savings = qint64(double(s->blocks()) * d.between(0.12, 0.45)) * StorageLayout::kBlockSize;
        const int f = b.finding(
            QStringLiteral("INFORMATION"), savings, QStringLiteral("Space (bytes)"),
            QStringLiteral("Enable row movement of the table %1.%2 and perform shrink, estimated savings is %3 bytes.")
                .arg(s->owner, s->name)
                .arg(savings));
        const int rec = b.recommendation(f, QStringLiteral("Segment Tuning"), savings, QStringLiteral("Space (bytes)"));
        b.action(rec, QStringLiteral("ENABLE ROW MOVEMENT"),
                 QStringLiteral("alter table \"%1\".\"%2\" enable row movement").arg(s->owner, s->name));
        b.action(rec, QStringLiteral("SHRINK SPACE"),
                 QStringLiteral("alter table \"%1\".\"%2\" shrink space").arg(s->owner, s->name));
    }
    b.rank();
}

} // namespace tavimond::sim
