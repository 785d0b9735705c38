// v$rowcache and v$librarycache: the dictionary cache and library cache statistics of the
// connected instance, growing with its age.
#include "live_model.h"
#include "../select_eval.h"
#include "../server.h"

#include <cmath>
#include <vector>

namespace tavimond::sim {
namespace {

struct RowCacheSpec {
    int cacheNo;
    const char *type; // PARENT or SUBORDINATE
    const char *parameter;
    double getsPerSecond; // 0: never used on this database
    double missShare;
    int count;
};

// Some parameters come in two rows (a parent and its subordinate, or two caches);
// the rows of one parameter are what "group by parameter" sums.
const RowCacheSpec kRowCache[] = {
    {0, "PARENT", "dc_tablespaces", 42, 0.00002, 24},
    {1, "PARENT", "dc_free_extents", 0, 0, 0},
    {2, "PARENT", "dc_segments", 26, 0.018, 5200},
    {3, "PARENT", "dc_rollback_segments", 12, 0.00008, 44},
    {4, "PARENT", "dc_used_extents", 0, 0, 0},
    {5, "PARENT", "dc_tablespace_quotas", 0.2, 0.04, 12},
    {6, "PARENT", "dc_files", 0.5, 0.008, 24},
    {7, "PARENT", "dc_users", 61, 0.00004, 96},
    {8, "PARENT", "dc_objects", 84, 0.009, 9800},
    {8, "SUBORDINATE", "dc_object_grants", 5, 0.011, 1200},
    {9, "PARENT", "dc_global_oids", 1.5, 0.02, 140},
    {10, "PARENT", "dc_users", 18, 0.0001, 60},
    {11, "PARENT", "dc_constraints", 0.05, 0.4, 30},
    {12, "PARENT", "dc_sequences", 3.2, 0.002, 90},
    {13, "PARENT", "dc_histogram_defs", 31, 0.05, 14000},
    {13, "SUBORDINATE", "dc_histogram_data", 9.5, 0.03, 3800},
    {14, "PARENT", "dc_table_scns", 0, 0, 0},
    {15, "PARENT", "dc_outlines", 0, 0, 0},
    {16, "PARENT", "dc_profiles", 0.8, 0.0002, 6},
    {17, "PARENT", "dc_awr_control", 0.05, 0.0003, 1},
    {18, "PARENT", "dc_props", 2.1, 0.0001, 40},
    {19, "PARENT", "dc_qmc_cache_entries", 0, 0, 0},
    {20, "PARENT", "dc_qmc_ldap_cache_entries", 0, 0, 0},
    {21, "PARENT", "dc_partition_scns", 0, 0, 0},
    {22, "PARENT", "dc_hintsets", 0, 0, 0},
    {23, "PARENT", "dc_sql_prs_errors", 0.01, 0.5, 4},
    {24, "PARENT", "dc_realtime_colst", 0, 0, 0},
    {25, "PARENT", "dc_realtime_tabst", 0, 0, 0},
    {26, "PARENT", "dc_cdbfiles", 0, 0, 0},
    {27, "PARENT", "dc_cdbservices", 0, 0, 0},
    {28, "PARENT", "dc_pdbstates", 0, 0, 0},
    {29, "PARENT", "dc_edition_obj", 0.3, 0.002, 8},
    {30, "PARENT", "dc_java_sessions", 0, 0, 0},
    {31, "PARENT", "dc_schema_objects", 0, 0, 0},
    {32, "PARENT", "dc_rewrite_equivalences", 0, 0, 0},
    {33, "PARENT", "dc_failure_groups", 0, 0, 0},
    {34, "PARENT", "dc_tablespace_groups", 0, 0, 0},
    {35, "PARENT", "outstanding_alerts", 0.1, 0.6, 20},
    {36, "PARENT", "global database name", 3, 0.00001, 1},
    {37, "PARENT", "rule_info", 0, 0, 0},
    {38, "PARENT", "rule_or_piece", 0, 0, 0},
    {39, "PARENT", "sch_lj_objs", 0.02, 0.2, 3},
    {40, "PARENT", "sch_lj_oids", 0.02, 0.15, 3},
    {41, "PARENT", "kqlsubheap_object", 0.6, 0.001, 10},
};

struct LibraryCacheSpec {
    const char *ns;
    double getsPerSecond;
    double getMissShare;
    double pinsPerGet;
    double pinMissShare;
    double reloadShare;         // of the pins
    double invalidationsPerDay; // per day of instance life
};

const LibraryCacheSpec kLibraryCache[] = {
    {"SQL AREA", 95, 0.06, 32, 0.004, 0.0002, 900},
    {"TABLE/PROCEDURE", 60, 0.012, 3.1, 0.008, 0.0004, 0},
    {"BODY", 14, 0.002, 1.4, 0.003, 0.0002, 0},
    {"TRIGGER", 4, 0.003, 1.2, 0.004, 0.0001, 0},
    {"INDEX", 0.6, 0.08, 1, 0.07, 0.0008, 0},
    {"CLUSTER", 2.5, 0.004, 1, 0.004, 0, 0},
    {"DIRECTORY", 0, 0, 0, 0, 0, 0},
    {"QUEUE", 0.8, 0.01, 3, 0.003, 0, 0},
    {"RULESET", 0.02, 0.1, 2, 0.05, 0, 0},
    {"SUBSCRIPTION", 0.01, 0.2, 1, 0.2, 0, 0},
    {"JAVA SOURCE", 0, 0, 0, 0, 0, 0},
    {"JAVA RESOURCE", 0, 0, 0, 0, 0, 0},
    {"JAVA DATA", 0.05, 0.3, 1.5, 0.1, 0, 0},
    {"APP CONTEXT", 0.3, 0.001, 1, 0.001, 0, 0},
    {"XML SCHEMA", 0.01, 0.4, 1, 0.3, 0, 0},
    {"SCHEDULER GLOBAL ATTRIBUTE", 0.2, 0.002, 1, 0.002, 0, 0},
    {"SQL AREA BUILD", 5.5, 0.9, 0, 0, 0, 0},
    {"SQL AREA STATS", 5.4, 0.95, 1, 0.95, 0, 0},
    {"EDITION", 1.2, 0.0005, 2, 0.0005, 0, 0},
    {"DBLINK", 0.4, 0.01, 0, 0, 0, 0},
    {"OBJECT ID", 0.9, 1, 0, 0, 0, 0},
    {"SCHEMA", 0.3, 0.02, 0, 0, 0, 0},
    {"USER PRIVILEGE", 0.1, 0.05, 0, 0, 0, 0},
    {"AUDIT POLICY", 0.7, 0.0001, 1, 0.0001, 0, 0},
};

class CacheStatistics {
public:
    explicit CacheStatistics(Model &model) : live_(model.state<LiveModel>())
    {
        QRandomGenerator rng = model.random(0xcac4e);
        for (size_t i = 0; i < std::size(kRowCache); ++i)
            rowCacheShapes_.push_back(LiveModel::CounterShape::draw(rng, 0.7, 0.6, 600, 5000));
        for (size_t i = 0; i < std::size(kLibraryCache); ++i)
            libraryShapes_.push_back(LiveModel::CounterShape::draw(rng, 0.7, 0.6, 600, 5000));
    }

    Table rowCache(int instance) const
    {
        Table t({QStringLiteral("CACHE#"), QStringLiteral("TYPE"), QStringLiteral("SUBORDINATE#"),
                 QStringLiteral("PARAMETER"), QStringLiteral("COUNT"), QStringLiteral("USAGE"), QStringLiteral("FIXED"),
                 QStringLiteral("GETS"), QStringLiteral("GETMISSES"), QStringLiteral("SCANS"),
                 QStringLiteral("SCANMISSES"), QStringLiteral("MODIFICATIONS"), QStringLiteral("FLUSHES")});
        const double age = live_.exactAge(instance);
        for (size_t i = 0; i < std::size(kRowCache); ++i) {
            const RowCacheSpec &r = kRowCache[i];
            const double gets = rowCacheShapes_[i].value(r.getsPerSecond, instance, age);
            const double misses = std::floor(gets * r.missShare);
            const bool subordinate = r.type[0] == 'S';
            const int count = gets > 0 ? r.count : 0;
            t.addRow({QString::number(r.cacheNo), QString::fromLatin1(r.type),
                      subordinate ? QStringLiteral("0") : QString(), QString::fromLatin1(r.parameter),
                      QString::number(count), QString::number(count - count / 10), QStringLiteral("0"),
                      oracleNumber(gets), oracleNumber(misses), QStringLiteral("0"), QStringLiteral("0"),
                      oracleNumber(std::floor(misses / 3)), oracleNumber(std::floor(misses / 40))});
        }
        return t;
    }

    Table namespaceRows(int instance) const
    {
        Table t({QStringLiteral("NAMESPACE"), QStringLiteral("GETS"), QStringLiteral("GETHITS"),
                 QStringLiteral("GETHITRATIO"), QStringLiteral("PINS"), QStringLiteral("PINHITS"),
                 QStringLiteral("PINHITRATIO"), QStringLiteral("RELOADS"), QStringLiteral("INVALIDATIONS")});
        const double age = live_.exactAge(instance);
        for (size_t i = 0; i < std::size(kLibraryCache); ++i) {
            const LibraryCacheSpec &l = kLibraryCache[i];
            const double gets = libraryShapes_[i].value(l.getsPerSecond, instance, age);
            const double getHits = gets - std::floor(gets * l.getMissShare);
            const double pins = std::floor(gets * l.pinsPerGet);
            const double pinHits = pins - std::floor(pins * l.pinMissShare);
            // A namespace that was never used counts as all hits.
            t.addRow({QString::fromLatin1(l.ns), oracleNumber(gets), oracleNumber(getHits), ratio(getHits, gets),
                      oracleNumber(pins), oracleNumber(pinHits), ratio(pinHits, pins),
                      oracleNumber(std::floor(pins * l.reloadShare)),
                      oracleNumber(std::floor(l.invalidationsPerDay * double(age) / 86400))});
        }
        return t;
    }

private:
    static QString ratio(double hits, double total)
    {
        return total > 0 ? oracleNumber(hits / total) : QStringLiteral("1");
    }

    LiveModel &live_;
    std::vector<LiveModel::CounterShape> rowCacheShapes_;
    std::vector<LiveModel::CounterShape> libraryShapes_;
};

} // namespace

void registerCacheStatisticsFamily(std::vector<Recogniser> &out)
{
    out.push_back(simpleViewRecogniser(QStringLiteral("v$rowcache"), [](Context &ctx) {
        return ctx.model.state<CacheStatistics>().rowCache(ctx.session.instance);
    }));
    out.push_back(simpleViewRecogniser(QStringLiteral("v$librarycache"), [](Context &ctx) {
        return ctx.model.state<CacheStatistics>().namespaceRows(ctx.session.instance);
    }));
}

} // namespace tavimond::sim
