// gv$latch, v$latch, gv$latch_children, v$latch_children, and the touch counts of the
// buffers under one child latch (v$latch_children joined with sys.x$bh and
// sys.dba_extents).
//
// The buffers are the blocks of the dictionary's segments, each hashed to one cache
// buffers chains child, most of them cached.
#include "live_model.h"
#include "../dictionary/storage_layout.h"
#include "../select_eval.h"
#include "../server.h"

#include "../../error.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <vector>

namespace tavimond::sim {
namespace {

constexpr int kChainChildren = 4096; // cache buffers chains children per instance
const QString kChains = QStringLiteral("cache buffers chains");

struct LatchSpec {
    const char *name;
    double getsPerSecond;
    double sleepsPerSecond; // 0: the latch never sleeps
    qint64 sleepsAfter;     // seconds into the instance's life (or the clock's) its sleeping starts
    int children;           // child latches listed in the children views
};

// Latches of a busy OLTP system; a few start to contend while the clock runs.
const LatchSpec kLatches[] = {
    {"cache buffers chains", 180000, 0, 0, kChainChildren}, // its sleeps are those of its children
    {"cache buffers lru chain", 2500, 0.4, 0, 16},
    {"cache buffer handles", 300, 0.01, 0, 0},
    {"checkpoint queue latch", 1800, 0.02, 0, 16},
    {"active checkpoint queue latch", 40, 0, 0, 0},
    {"redo allocation", 1600, 0.2, 0, 20},
    {"redo copy", 900, 0.05, 0, 8},
    {"redo writing", 150, 0.01, 0, 0},
    {"redo on-disk SCN", 120, 0, 0, 0},
    {"lgwr LWN SCN", 110, 0, 0, 0},
    {"Consistent RBA", 110, 0, 0, 0},
    {"mostly latch-free SCN", 110, 0, 0, 0},
    {"shared pool", 3200, 0.8, 0, 7},
    {"shared pool simulator", 400, 0.01, 0, 0},
    {"shared pool sim alloc", 20, 0, 0, 0},
    {"row cache objects", 5200, 0.3, 0, 48},
    {"library cache load lock", 12, 0.15, 600, 0},
    {"enqueue hash chains", 2600, 0.15, 0, 4},
    {"enqueues", 900, 0.02, 0, 0},
    {"session allocation", 700, 0.05, 0, 0},
    {"session idle bit", 2400, 0, 0, 0},
    {"session switching", 30, 0, 0, 0},
    {"session timer", 1, 0, 0, 0},
    {"messages", 500, 0.02, 0, 0},
    {"SQL memory manager workarea list latch", 800, 0.01, 0, 0},
    {"SQL memory manager latch", 20, 0, 0, 0},
    {"object queue header operation", 2100, 0.1, 0, 16},
    {"object queue header heap", 60, 0, 0, 0},
    {"simulator hash latch", 1500, 0.03, 0, 64},
    {"simulator lru latch", 400, 0.01, 0, 0},
    {"In memory undo latch", 1300, 0.08, 0, 30},
    {"undo global data", 1100, 0.01, 0, 0},
    {"transaction allocation", 300, 0.004, 0, 0},
    {"transaction branch allocation", 15, 0, 0, 0},
    {"list of block allocation", 90, 0, 0, 0},
    {"sort extent pool", 25, 0, 0, 0},
    {"multiblock read objects", 140, 0.01, 0, 0},
    {"parallel query alloc buffer", 4, 0.2, 2400, 0},
    {"process allocation", 3, 0, 0, 0},
    {"process queue reference", 8, 0, 0, 0},
    {"query server process", 1, 0, 0, 0},
    {"channel operations parent latch", 80, 0, 0, 0},
    {"channel handle pool latch", 6, 0, 0, 0},
    {"ksuosstats global area", 2, 0, 0, 0},
    {"active service list", 45, 0, 0, 0},
    {"post/wait queue", 160, 0, 0, 0},
    {"resmgr:free threads list", 5, 0, 0, 0},
    {"resmgr group change latch", 5, 0, 0, 0},
    {"JS queue state obj latch", 35, 0, 0, 0},
    {"job_queue_processes parameter latch", 1, 0, 0, 0},
    {"gcs resource hash", 2800, 0.25, 0, 0},
    {"gc element", 1900, 0.06, 0, 0},
    {"ges resource hash list", 700, 0.1, 0, 0},
    {"ges process table freelist", 4, 0, 0, 0},
    {"ges enqueue table freelist", 200, 0, 0, 0},
    {"ges domain table", 90, 0, 0, 0},
    {"KJC message pool free list", 120, 0, 0, 0},
    {"KJCT flow control latch", 380, 0.02, 0, 0},
    {"hash table column usage latch", 60, 0, 0, 0},
    {"hash table modification latch", 10, 0, 0, 0},
    {"cache table scan latch", 12, 0, 0, 0},
    {"file cache latch", 9, 0, 0, 0},
    {"flashback copy", 3, 0, 0, 0},
    {"space background task latch", 4, 0, 0, 0},
    {"space background state object latch", 1, 0, 0, 0},
    {"Memory Management Latch", 2, 0, 0, 0},
    {"qmn task queue latch", 1, 0, 0, 0},
    {"qmn state object latch", 1, 0, 0, 0},
    {"ASM db client latch", 3, 0, 0, 0},
    {"FOB s.o list latch", 2, 0, 0, 0},
    {"KTF sga latch", 1, 0, 0, 0},
    {"kks stats", 30, 0, 0, 0},
    {"kokc descriptor allocation latch", 6, 0, 0, 0},
    {"granule operation", 1, 0, 0, 0},
    {"Result Cache: RC Latch", 220, 0.12, 1500, 0},
    {"OS process allocation", 3, 0, 0, 0},
    {"OS process", 4, 0, 0, 0},
    {"OS process: request allocation", 1, 0, 0, 0},
    {"call allocation", 20, 0, 0, 0},
    {"client/application info", 40, 0, 0, 0},
    {"compile environment latch", 25, 0, 0, 0},
    {"cp pool latch", 2, 0, 0, 0},
    {"first spare latch", 0, 0, 0, 0},
    {"ktm global data", 1, 0, 0, 0},
    {"global KZLD latch for mem in SGA", 2, 0, 0, 0},
    {"object stats modification", 8, 0, 0, 0},
    {"parameter table management", 2, 0, 0, 0},
    {"pass worker exception to master", 0, 0, 0, 0},
    {"rules engine rule set statistics", 1, 0, 0, 0},
    {"shared server configuration", 1, 0, 0, 0},
    {"spilled messages latch", 1, 0, 0, 0},
    {"threshold alerts latch", 1, 0, 0, 0},
    {"trace latch", 1, 0, 0, 0},
    {"virtual circuit queues", 1, 0, 0, 0},
    {"kwqbsn:qsga", 2, 0, 0, 0},
    {"DML lock allocation", 600, 0.005, 0, 0},
    {"sequence cache", 140, 0.01, 0, 0},
    {"lob segment hash table latch", 3, 0, 0, 0},
    {"lob segment query latch", 3, 0, 0, 0},
    {"recovery domain hash list", 1, 0, 0, 0},
    {"buffer pool", 2, 0, 0, 0},
    {"resumable state object", 1, 0, 0, 0},
    {"archive control", 1, 0, 0, 0},
    {"archive process latch", 1, 0, 0, 0},
    {"dispatcher configuration", 0, 0, 0, 0},
    {"error message lists", 1, 0, 0, 0},
    {"event group latch", 2, 0, 0, 0},
    {"name-service request queue", 1, 0, 0, 0},
};

struct Extent {
    int segment;
    int extentId;
    int file;
    qint64 blockId;
    qint64 blocks;
};

// What drives one child latch's sleeps: a steady trickle since the instance started,
// and for some a hot spell of a few minutes to two hours, while a workload hammers the
// blocks under it. Children cross 100 sleeps at different times.
struct ChildShape {
    double baseRate;
    double hotRate; // 0: never hot
    qint64 hotAfter;
    qint64 hotFor;
    double getsRate;
    double period;
    double phase;
};

// The block's hash, which places it on one child latch and decides whether it is cached.
quint32 blockHash(int file, int block)
{
    quint32 h = quint32(file) * 0x9E3779B1u ^ quint32(block) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

QString hexAddress(quint64 address)
{
    return QStringLiteral("%1").arg(address, 16, 16, QLatin1Char('0')).toUpper();
}

class Latches {
public:
    explicit Latches(Model &model) : live_(model.state<LiveModel>())
    {
        QRandomGenerator rng = model.random(0x1a7c);
        for (size_t i = 0; i < std::size(kLatches); ++i)
            shapes_.push_back(LiveModel::CounterShape::draw(rng, 0.6, 0.8, 300, 3000));
        for (int inst = 0; inst < LiveModel::kInstances; ++inst)
            for (int c = 0; c < kChainChildren; ++c) {
                ChildShape s;
                s.baseRate = std::pow(10.0, -7.0 + rng.generateDouble() * 3.7);
                const bool hot = rng.bounded(100) < 12;
                s.hotRate = hot ? std::pow(10.0, -1.3 + rng.generateDouble() * 1.8) : 0;
                s.hotAfter = 1 + rng.bounded(6 * 3600);
                s.hotFor = 600 + rng.bounded(6600);
                s.getsRate = 10 + rng.generateDouble() * 60;
                s.period = 600 + rng.bounded(3000);
                s.phase = rng.generateDouble() * 6.28;
                chains_[inst].push_back(s);
            }
        // The buffers are the blocks of the segments that dba_extents lists.
        const std::vector<StorageLayout::Segment> &segments = model.state<StorageLayout>().segments();
        for (const StorageLayout::Segment &seg : segments) {
            segmentNames_ << seg.owner + QLatin1Char('.') + seg.name;
            for (const StorageLayout::Extent &e : seg.extents)
                extents_.push_back({int(segmentNames_.size() - 1), e.extentId, e.fileId, e.blockId, e.blocks});
        }
    }

    // gv$latch (withInstance) or v$latch of one instance.
    Table latches(bool withInstance, int onlyInstance) const
    {
        Table t(columns(withInstance, false));
        for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
            if (onlyInstance && inst != onlyInstance)
                continue;
            const double chainSleeps = totalChainSleeps(inst);
            for (size_t i = 0; i < std::size(kLatches); ++i) {
                const LatchSpec &l = kLatches[i];
                const Shape &s = shapes_[i];
                const double factor = s.instanceFactor[inst - 1];
                const double gets =
                    LiveModel::counter(l.getsPerSecond * factor, live_.exactAge(inst), s.period, s.phase);
                double sleeps = 0;
                if (QLatin1String(l.name) == kChains)
                    sleeps = chainSleeps;
                else if (l.sleepsPerSecond > 0)
                    sleeps = LiveModel::counter(l.sleepsPerSecond * factor, live_.exactAgeOf(inst, l.sleepsAfter),
                                                s.period, s.phase);
                addRow(t, withInstance, inst, 0x60009000 + quint64(i) * 0x100, int(i), 0, l.name, gets, sleeps);
            }
        }
        return t;
    }

    // gv$latch_children (withInstance) or v$latch_children of one instance.
    Table children(bool withInstance, int onlyInstance) const
    {
        Table t(columns(withInstance, true));
        t.cells.reserve(qsizetype(kChainChildren) * 2 * t.columns.size() + 1000 * t.columns.size());
        for (int inst = 1; inst <= LiveModel::kInstances; ++inst) {
            if (onlyInstance && inst != onlyInstance)
                continue;
            for (size_t i = 0; i < std::size(kLatches); ++i) {
                const LatchSpec &l = kLatches[i];
                const Shape &s = shapes_[i];
                const bool chains = QLatin1String(l.name) == kChains;
                for (int c = 1; c <= l.children; ++c) {
                    double gets = 0, sleeps = 0;
                    if (chains) {
                        const ChildShape &cs = chains_[inst - 1][size_t(c - 1)];
                        gets = LiveModel::counter(cs.getsRate, live_.exactAge(inst), cs.period, cs.phase);
                        sleeps = childSleeps(inst, c);
                    } else {
                        const double share = s.instanceFactor[inst - 1] / l.children;
                        gets = LiveModel::counter(l.getsPerSecond * share, live_.exactAge(inst), s.period, s.phase + c);
                        if (l.sleepsPerSecond > 0)
                            sleeps = LiveModel::counter(l.sleepsPerSecond * share,
                                                        live_.exactAgeOf(inst, l.sleepsAfter), s.period, s.phase + c);
                    }
                    addRow(t, withInstance, inst, childAddress(inst, int(i), c), int(i), c, l.name, gets, sleeps);
                }
            }
        }
        return t;
    }

    // The buffers under one cache buffers chains child of an instance, with their
    // segments and extents, most-touched first: SEGMENT_NAME, EXTENT#, BLOCK#, TCH, CHILD#.
    Table buffersUnder(int inst, qint64 child) const
    {
        Table t({QStringLiteral("SEGMENT_NAME"), QStringLiteral("EXTENT#"), QStringLiteral("BLOCK#"),
                 QStringLiteral("TCH"), QStringLiteral("CHILD#")});
        if (child < 1 || child > kChainChildren)
            return t;
        const qint64 age = live_.instanceAge(inst);
        // A cache fills in the first half hour after a start.
        const quint32 cachedPer1000 = quint32(850 * std::min<qint64>(age, 1800) / 1800);
        const ChildShape &shape = chains_[inst - 1][size_t(child - 1)];
        const qint64 hotAge = shape.hotRate > 0 ? std::min(live_.ageOf(inst, shape.hotAfter), shape.hotFor) : -1;
        struct Buffer {
            const Extent *extent;
            int block;
            qint64 tch;
        };
        std::vector<Buffer> buffers;
        for (const Extent &e : extents_)
            for (int b = int(e.blockId); b < e.blockId + e.blocks; ++b) {
                const quint32 h = blockHash(e.file, b);
                if (int(h % kChainChildren) + 1 != child || (h >> 12) % 1000 >= cachedPer1000)
                    continue;
                // Few touches for most buffers, many for a few; touches grow with the cache's age.
                const double u = double((h >> 3) % 10007) / 10007.0;
                const qint64 tch = qint64(std::floor(u * u * u * 250 * std::min<qint64>(age, 3600) / 3600.0)) + 1;
                buffers.push_back({&e, b, tch});
            }
        // A hot spell's touches land on one block under the child, at most one per three seconds.
        if (hotAge > 0 && !buffers.empty())
            buffers[size_t(child) % buffers.size()].tch += hotAge / 3;
        std::stable_sort(buffers.begin(), buffers.end(),
                         [](const Buffer &a, const Buffer &b) { return a.tch > b.tch; });
        for (const Buffer &b : buffers) {
            t.addRow({segmentNames_.at(b.extent->segment), QString::number(b.extent->extentId),
                      QString::number(b.block - b.extent->blockId + 1), QString::number(b.tch),
                      QString::number(child)});
        }
        return t;
    }

private:
    using Shape = LiveModel::CounterShape;

    static QStringList columns(bool withInstance, bool children)
    {
        QStringList c{QStringLiteral("ADDR"), QStringLiteral("LATCH#")};
        if (children)
            c << QStringLiteral("CHILD#");
        c << QStringLiteral("LEVEL#") << QStringLiteral("NAME") << QStringLiteral("GETS") << QStringLiteral("MISSES")
          << QStringLiteral("SLEEPS") << QStringLiteral("IMMEDIATE_GETS") << QStringLiteral("IMMEDIATE_MISSES")
          << QStringLiteral("SPIN_GETS") << QStringLiteral("WAIT_TIME");
        if (withInstance)
            c.prepend(QStringLiteral("INST_ID"));
        return c;
    }

    static quint64 childAddress(int inst, int latch, int child)
    {
        return 0x7A000000ull + quint64(inst) * 0x100000000ull + quint64(latch) * 0x1000000ull + quint64(child) * 0x100;
    }

    // child == 0: a parent latch, whose row has no CHILD#.
    static void addRow(Table &t, bool withInstance, int inst, quint64 address, int latch, int child, const char *name,
                       double gets, double sleeps)
    {
        const double misses = std::floor(gets * 0.0004) + sleeps;
        QStringList row{hexAddress(address), QString::number(latch)};
        if (child > 0)
            row << QString::number(child);
        row << QString::number(latch % 8) << QLatin1String(name) << oracleNumber(gets) << oracleNumber(misses)
            << oracleNumber(sleeps) << oracleNumber(std::floor(gets * 0.02)) << oracleNumber(0)
            << oracleNumber(misses - sleeps) << oracleNumber(sleeps * 150);
        if (withInstance)
            row.prepend(QString::number(inst));
        t.addRow(row);
    }

    double childSleeps(int inst, int child) const
    {
        const ChildShape &s = chains_[inst - 1][size_t(child - 1)];
        double sleeps = LiveModel::counter(s.baseRate, live_.exactAge(inst), s.period, s.phase);
        if (s.hotRate > 0)
            sleeps += LiveModel::counter(s.hotRate, std::min(live_.exactAgeOf(inst, s.hotAfter), double(s.hotFor)),
                                         s.period, s.phase);
        return sleeps;
    }

    double totalChainSleeps(int inst) const
    {
        double sum = 0;
        for (int c = 1; c <= kChainChildren; ++c)
            sum += childSleeps(inst, c);
        return sum;
    }

    LiveModel &live_;
    std::vector<Shape> shapes_;
    std::vector<ChildShape> chains_[LiveModel::kInstances];
    std::vector<Extent> extents_;
    QStringList segmentNames_; // owner.name, by segment
};

// The touch-count statement: v$latch_children, sys.x$bh and sys.dba_extents joined on
// the child's address and the block's extent.
bool isTouchCountJoin(const Statement &s)
{
    return s.hasAll({"v$latch_children", "sys.x$bh", "sys.dba_extents", "x.hladdr", "l.addr"});
}

Result touchCounts(const Statement &s, Context &ctx)
{
    const auto &tokens = s.tokens();
    const auto token = [&](int i) {
        return i >= 0 && i < int(tokens.size()) ? tokens[size_t(i)] : Token{Token::Symbol, {}, {}};
    };
    int at = s.after(QStringLiteral("l.child# ="));
    if (token(at).text == QLatin1String("-"))
        ++at;
    if (at < 0 || token(at).kind != Token::Number)
        throw DbError(QStringLiteral("ORA-00936: missing expression"));
    if (token(at + 1).text != QLatin1String("and"))
        throw DbError(QStringLiteral("ORA-00933: SQL command not properly ended"));
    // A number too large for any child reads as one no latch has.
    const qint64 child = s.integerAfter(QStringLiteral("l.child# =")).value_or(0);
    return std::make_shared<Table>(ctx.model.state<Latches>().buffersUnder(ctx.session.instance, child));
}

} // namespace

void registerLatchFamily(std::vector<Recogniser> &out)
{
    out.push_back({QStringLiteral("buffers under a child latch"), isTouchCountJoin, touchCounts});
    for (const bool global : {true, false})
        for (const bool children : {false, true}) {
            const QString view =
                QLatin1String(global ? "gv$" : "v$") + QLatin1String(children ? "latch_children" : "latch");
            out.push_back(simpleViewRecogniser(view, [global, children](Context &ctx) {
                const Latches &latches = ctx.model.state<Latches>();
                const int only = global ? 0 : ctx.session.instance;
                return children ? latches.children(global, only) : latches.latches(global, only);
            }));
        }
}

} // namespace tavimond::sim
