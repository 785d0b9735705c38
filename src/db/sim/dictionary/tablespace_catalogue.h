#pragma once

#include "storage_layout.h"

#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

// The dictionary's account of the storage layout's tablespaces and files:
// dba_tablespaces, dba_data_files, dba_temp_files and v$tablespace. Every file is
// large enough for the extents the layout placed in it.
class TablespaceCatalogue {
public:
    struct Tablespace {
        int number; // ts#
        QString name;
        QString contents; // PERMANENT, UNDO or TEMPORARY
        bool bigfile;
        qint64 blockSize;
        qint64 initialExtent;
        std::optional<qint64> nextExtent;
        qint64 minExtents;
        std::optional<qint64> maxExtents;
        std::optional<int> pctIncrease;
        qint64 minExtlen;
        QString status;
        QString logging;
        QString forceLogging;
        QString extentManagement;
        QString allocationType;
        QString pluggedIn;
        QString segmentSpaceManagement;
        QString defTabCompression;
        QString retention;
    };

    struct File {
        int fileId;
        QString tablespace;
        QString name;
        bool temporary; // a temp file (dba_temp_files)
        qint64 blocks;
        QString status;
        int relativeFno;
        bool autoextensible;
        qint64 maxBlocks;   // 0 when the file does not extend
        qint64 incrementBy; // blocks
        QString onlineStatus;

        qint64 bytes() const { return blocks * StorageLayout::kBlockSize; }
        // A locally managed file keeps its first 1 MB for the space bitmap.
        qint64 userBlocks() const { return blocks - kHeaderBlocks; }
        qint64 maxBytes() const { return maxBlocks * StorageLayout::kBlockSize; }
    };

    static constexpr qint64 kHeaderBlocks = 128;

    explicit TablespaceCatalogue(Model &model);

    const std::vector<Tablespace> &tablespaces() const { return tablespaces_; }
    // Data files by file id, then the temporary files by theirs.
    const std::vector<File> &files() const { return files_; }
    const Tablespace *tablespace(const QString &name) const;

    // Blocks that segments take in a tablespace now (for a temporary one, its sort and
    // hash space in use), and blocks its files hold and may grow to.
    qint64 usedBlocks(const QString &tablespace) const;
    qint64 allocatedBlocks(const QString &tablespace) const;
    qint64 maxBlocks(const QString &tablespace) const;
    // The highest block the layout's extents reach in a file (0 for a temporary file).
    qint64 extentEnd(int fileId) const;

private:
    std::vector<Tablespace> tablespaces_;
    std::vector<File> files_;
    std::map<int, qint64> extentEnd_;
    std::map<QString, qint64> used_;
};

} // namespace tavimond::sim
