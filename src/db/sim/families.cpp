#include "server.h"

namespace tavimond::sim {

// One registration routine per family of views, each in its own file.
void registerDualFamily(std::vector<Recogniser> &out);
void registerWaitEventFamily(std::vector<Recogniser> &out);
void registerCacheStatisticsFamily(std::vector<Recogniser> &out);
void registerSysstatFamily(std::vector<Recogniser> &out);
void registerBufferCacheFamily(std::vector<Recogniser> &out);
void registerSqlTextFamily(std::vector<Recogniser> &out);
void registerLockFamily(std::vector<Recogniser> &out);
void registerLatchFamily(std::vector<Recogniser> &out);
void registerSessionFamily(std::vector<Recogniser> &out);
void registerObjectFamily(std::vector<Recogniser> &out);
void registerTableFamily(std::vector<Recogniser> &out);
void registerIndexFamily(std::vector<Recogniser> &out);
void registerSegmentFamily(std::vector<Recogniser> &out);
void registerMetadataFamily(std::vector<Recogniser> &out);
void registerCodeFamily(std::vector<Recogniser> &out);
void registerSchedulerFamily(std::vector<Recogniser> &out);
void registerSqlstatFamily(std::vector<Recogniser> &out);
void registerAdvisorFamily(std::vector<Recogniser> &out);
void registerSystemEventFamily(std::vector<Recogniser> &out);
void registerFileStatFamily(std::vector<Recogniser> &out);
void registerSqlHistoryFamily(std::vector<Recogniser> &out);
void registerAshFamily(std::vector<Recogniser> &out);
void registerSqlTextPlanFamily(std::vector<Recogniser> &out);
void registerSecurityFamilies(std::vector<Recogniser> &out);
void registerStorageFamily(std::vector<Recogniser> &out);
void registerTablespaceUsageFamily(std::vector<Recogniser> &out);
void registerSystemTopologyFamily(std::vector<Recogniser> &out);
void registerSegmentListFamily(std::vector<Recogniser> &out);
void registerSegstatFamily(std::vector<Recogniser> &out);
void registerGrowthTrendFamily(std::vector<Recogniser> &out);

void registerFamilies(std::vector<Recogniser> &out)
{
    registerDualFamily(out);
    registerWaitEventFamily(out);
    registerCacheStatisticsFamily(out);
    registerSysstatFamily(out);
    registerBufferCacheFamily(out);
    registerSqlTextFamily(out);
    registerLockFamily(out);
    registerLatchFamily(out);
    registerSessionFamily(out);
    registerSqlHistoryFamily(out);
    registerAshFamily(out);
    registerSqlTextPlanFamily(out);
    registerObjectFamily(out);
    registerTableFamily(out);
    registerIndexFamily(out);
    registerSegmentFamily(out);
    registerMetadataFamily(out);
    registerCodeFamily(out);
    registerSchedulerFamily(out);
    registerSqlstatFamily(out);
    registerAdvisorFamily(out);
    registerSystemEventFamily(out);
    registerFileStatFamily(out);
    registerSecurityFamilies(out);
    registerStorageFamily(out);
    registerTablespaceUsageFamily(out);
    registerSystemTopologyFamily(out);
    registerSegmentListFamily(out);
    registerSegstatFamily(out);
    registerGrowthTrendFamily(out);
}

} // namespace tavimond::sim
