#pragma once

#include "repository.h"

#include <QString>

namespace tavimond::sim {

class TablespaceCatalogue;

// The space each tablespace used at every snapshot (dba_hist_tbspc_space_usage), in
// blocks. Used space grows over the days as each tablespace's kind would: the
// application's data, indexes and documents steadily during working hours, the
// dictionary slowly, undo and temporary space up and down with the day's work. Files
// that extend grew by their increments as the used space reached them, so that at the
// clock's start the figures are those of dba_data_files and dba_temp_files.
class TablespaceUsage {
public:
    struct Usage {
        qint64 size;    // allocated
        qint64 maxSize; // what the files may grow to
        qint64 used;
    };

    explicit TablespaceUsage(Model &model);

    Usage at(const QString &tablespace, const Repository::Snapshot &snapshot) const;

private:
    const Repository &repository_;
    const TablespaceCatalogue &catalogue_;
};

} // namespace tavimond::sim
