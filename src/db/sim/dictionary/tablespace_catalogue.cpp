#include "tablespace_catalogue.h"

#include <QHash>
#include <algorithm>

namespace tavimond::sim {
namespace {

constexpr qint64 kMegabyte = 1024 * 1024 / StorageLayout::kBlockSize; // blocks
// The largest a smallfile may grow (32 GB less two blocks) and a bigfile (32 TB less three).
constexpr qint64 kSmallfileMaxBlocks = 4194302;
constexpr qint64 kBigfileMaxBlocks = 4294967293;

struct Attributes {
    const char *name;
    const char *logging;
    const char *forceLogging;
    const char *segmentSpaceManagement;
    const char *defTabCompression;
    qint64 unlistedUsedBlocks; // what the layout does not list: AWR data, undo, sorts
};

const Attributes kAttributes[] = {
    {"SYSTEM", "LOGGING", "NO", "MANUAL", "DISABLED", 0},
    {"SYSAUX", "LOGGING", "NO", "AUTO", "DISABLED", 1180 * kMegabyte},
    {"UNDOTBS1", "LOGGING", "NO", "MANUAL", "DISABLED", 74 * kMegabyte},
    {"TEMP", "NOLOGGING", "NO", "MANUAL", "DISABLED", 21 * kMegabyte},
    {"USERS", "LOGGING", "NO", "AUTO", "DISABLED", 0},
    {"UNDOTBS2", "LOGGING", "NO", "MANUAL", "DISABLED", 38 * kMegabyte},
    {"APP_DATA", "LOGGING", "YES", "AUTO", "ENABLED", 0},
    {"APP_INDEX", "NOLOGGING", "NO", "AUTO", "DISABLED", 0},
    {"APP_LOB", "LOGGING", "YES", "AUTO", "DISABLED", 0},
};

struct FileSize {
    int fileId;
    bool temporary;
    int asmNumber; // the number in the file's ASM name
    qint64 megabytes;
    qint64 incrementMegabytes; // 0: the file does not extend
};

const FileSize kSizes[] = {
    {1, false, 256, 40, 10},  {2, false, 257, 1450, 10}, {3, false, 258, 200, 5},  {4, false, 259, 5, 1},
    {5, false, 262, 200, 10}, {6, false, 263, 70, 5},    {7, false, 264, 200, 10}, {8, false, 265, 70, 5},
    {9, false, 266, 100, 10}, {10, false, 271, 200, 10}, {11, false, 272, 70, 0},  {12, false, 270, 20, 0},
    {13, false, 261, 200, 5}, {1, true, 260, 512, 1},    {2, true, 273, 256, 0},
};

// An ASM file name, as the database created it.
QString fileName(const QString &tablespace, bool temporary, int asmNumber)
{
    return QStringLiteral("+DATA/TAVIDB/%1/%2.%3.%4")
        .arg(QLatin1String(temporary ? "TEMPFILE" : "DATAFILE"), tablespace.toLower())
        .arg(asmNumber)
        .arg(1158326145 + 3 * asmNumber);
}

} // namespace

TablespaceCatalogue::TablespaceCatalogue(Model &model)
{
    const StorageLayout &layout = model.state<StorageLayout>();

    // Where each file's extents end; file 1's dictionary blocks count as used.
    extentEnd_[1] = 2128;
    for (const StorageLayout::Segment &s : layout.segments()) {
        used_[s.tablespace] += s.blocks();
        for (const StorageLayout::Extent &e : s.extents)
            extentEnd_[e.fileId] = std::max(extentEnd_[e.fileId], e.blockId + e.blocks);
    }
    used_[QStringLiteral("SYSTEM")] += 2128 - kHeaderBlocks;

    for (const StorageLayout::Tablespace &t : layout.tablespaces()) {
        // A tablespace the layout gains later takes the plain defaults.
        static const Attributes plain{"", "LOGGING", "NO", "AUTO", "DISABLED", 0};
        const auto found = std::find_if(std::begin(kAttributes), std::end(kAttributes),
                                        [&](const Attributes &x) { return t.name == QLatin1String(x.name); });
        const Attributes *a = found == std::end(kAttributes) ? &plain : found;
        const bool temporary = t.contents == QLatin1String("TEMPORARY");
        const bool undo = t.contents == QLatin1String("UNDO");
        Tablespace ts{t.number,
                      t.name,
                      t.contents,
                      t.bigfile,
                      StorageLayout::kBlockSize,
                      temporary ? 1048576 : 65536,
                      temporary ? std::optional<qint64>(1048576) : std::nullopt,
                      1,
                      temporary ? std::nullopt : std::optional<qint64>(2147483645),
                      temporary ? std::optional<int>(0) : std::nullopt,
                      temporary ? 1048576 : 65536,
                      QStringLiteral("ONLINE"),
                      QLatin1String(a->logging),
                      QLatin1String(a->forceLogging),
                      QStringLiteral("LOCAL"),
                      QLatin1String(temporary ? "UNIFORM" : "SYSTEM"),
                      QStringLiteral("NO"),
                      QLatin1String(a->segmentSpaceManagement),
                      QLatin1String(a->defTabCompression),
                      QLatin1String(undo ? "NOGUARANTEE" : "NOT APPLY")};
        tablespaces_.push_back(ts);
        used_[t.name] += a->unlistedUsedBlocks;
    }

    auto addFile = [&](const StorageLayout::Datafile &f, bool temporary) {
        const FileSize plain{f.fileId, temporary, 300 + f.fileId, 100, 10};
        const auto found = std::find_if(std::begin(kSizes), std::end(kSizes), [&](const FileSize &s) {
            return s.fileId == f.fileId && s.temporary == temporary;
        });
        const FileSize *size = found == std::end(kSizes) ? &plain : found;
        const Tablespace &ts = *tablespace(f.tablespace);
        // Never smaller than what the layout put in it, with a fifth to spare.
        const qint64 needed = extentEnd(temporary ? 0 : f.fileId) * 6 / 5;
        const qint64 blocks = std::max(size->megabytes * kMegabyte, (needed + kMegabyte - 1) / kMegabyte * kMegabyte);
        const bool extends = size->incrementMegabytes > 0;
        File file{f.fileId,
                  f.tablespace,
                  fileName(f.tablespace, temporary, size->asmNumber),
                  temporary,
                  blocks,
                  QLatin1String(temporary ? "ONLINE" : "AVAILABLE"),
                  ts.bigfile ? 1024 : f.fileId,
                  extends,
                  extends ? (ts.bigfile ? kBigfileMaxBlocks : kSmallfileMaxBlocks) : 0,
                  extends ? size->incrementMegabytes * kMegabyte : 0,
                  temporary ? QString() : QLatin1String(f.tablespace == QLatin1String("SYSTEM") ? "SYSTEM" : "ONLINE")};
        files_.push_back(file);
    };
    std::vector<StorageLayout::Datafile> data = layout.files();
    std::sort(data.begin(), data.end(), [](const auto &a, const auto &b) { return a.fileId < b.fileId; });
    for (const StorageLayout::Datafile &f : data)
        addFile(f, false);
    for (const StorageLayout::Datafile &f : layout.tempFiles())
        addFile(f, true);
}

const TablespaceCatalogue::Tablespace *TablespaceCatalogue::tablespace(const QString &name) const
{
    for (const Tablespace &t : tablespaces_)
        if (t.name == name)
            return &t;
    return nullptr;
}

qint64 TablespaceCatalogue::usedBlocks(const QString &tablespace) const
{
    const auto it = used_.find(tablespace);
    return it == used_.end() ? 0 : it->second;
}

qint64 TablespaceCatalogue::allocatedBlocks(const QString &tablespace) const
{
    qint64 n = 0;
    for (const File &f : files_)
        if (f.tablespace == tablespace)
            n += f.blocks;
    return n;
}

qint64 TablespaceCatalogue::maxBlocks(const QString &tablespace) const
{
    // A file that does not extend counts with its own size.
    qint64 n = 0;
    for (const File &f : files_)
        if (f.tablespace == tablespace)
            n += f.autoextensible ? f.maxBlocks : f.blocks;
    return n;
}

qint64 TablespaceCatalogue::extentEnd(int fileId) const
{
    const auto it = extentEnd_.find(fileId);
    return it == extentEnd_.end() ? 0 : it->second;
}

} // namespace tavimond::sim
