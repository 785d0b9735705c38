#include "buffer_cache_model.h"

namespace tavimond::sim {
namespace {

constexpr int kFreeBuffers = 400;
constexpr double kConsistentReadCopies = 0.05; // of the cached blocks of tables
constexpr double kDirty = 0.08;

} // namespace

BufferCacheModel::BufferCacheModel(Model &model) : layout_(model.state<StorageLayout>())
{
    QRandomGenerator rng = model.random(0xbcac4e);
    const std::vector<Segment> &segments = layout_.segments();
    // The cache: each block of a segment is in it with the segment's share.
    for (size_t i = 0; i < segments.size(); ++i) {
        const Segment &s = segments[i];
        const double share = s.cachedShare;
        const bool table = s.type.startsWith(QLatin1String("TABLE"));
        const int hottest = 2 + int(share * 40);
        for (const Extent &e : s.extents) {
            for (qint64 b = e.blockId; b < e.blockId + e.blocks; ++b) {
                if (share <= 0 || rng.generateDouble() >= share)
                    continue;
                buffers_.push_back({e.fileId, b, s.dataObjectId, QStringLiteral("xcur"), rng.generateDouble() < kDirty,
                                    1 + int(rng.bounded(hottest))});
                if (table && rng.generateDouble() < kConsistentReadCopies)
                    buffers_.push_back({e.fileId, b, s.dataObjectId, QStringLiteral("cr"), false, 1});
            }
        }
    }
    for (int k = 0; k < kFreeBuffers; ++k) {
        const Segment &s = segments[rng.bounded(quint32(segments.size()))];
        const Extent &e = s.extents[rng.bounded(quint32(s.extents.size()))];
        buffers_.push_back({e.fileId, e.blockId + qint64(rng.bounded(quint32(e.blocks))), s.dataObjectId,
                            QStringLiteral("free"), false, 0});
    }
}


} // namespace tavimond::sim
