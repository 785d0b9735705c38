#pragma once

#include "repository.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace tavimond::sim {

// More datafiles than the database has, for benchmarks: set before first use with
// server.model().state<FileStatShape>().extraFiles = 7.
struct FileStatShape {
    explicit FileStatShape(Model &) {}
    int extraFiles = 0;
};

// What each instance read from and wrote to each datafile, as the repository kept it at
// every snapshot (dba_hist_filestatxs): blocks read and written and the time spent, in
// hundredths of a second, counted since the instance started.
//
// What the views rely on:
// - the files are the dictionary's datafiles (dba_data_files), with their ids,
//   tablespaces and names; temporary files are not among them;
// - file 12 was added to SYSTEM when it filled up, eight hours before the clock's start:
//   it has no row before the first snapshot after that;
// - the counters never fall, except where instance 2 restarted: they start again from zero;
// - each instance works mostly in its own undo tablespace.
class FileStatHistory {
public:
    static constexpr int kAddedFile = 12;

    struct File {
        int fileId = 0;
        QString tablespace;
        QString name;
        QDateTime created;                  // null: before the repository's first snapshot
        std::vector<double> readsPerSecond; // by instance - 1
        std::vector<double> writesPerSecond;
        double readCentisecondsPerBlock = 0;
        double writeCentisecondsPerBlock = 0;
        double phase = 0;
    };
    struct Figures {
        qint64 phyblkrd = 0;
        qint64 readtim = 0;
        qint64 phyblkwrt = 0;
        qint64 writetim = 0;
    };

    explicit FileStatHistory(Model &model);

    const std::vector<File> &files() const { return files_; }
    // The file's figures as the instance's snapshot kept them; nothing before the file existed.
    std::optional<Figures> at(const Repository::Snapshot &snapshot, const File &file) const;

private:
    std::vector<File> files_;
};

} // namespace tavimond::sim
