#include "filestat_model.h"

#include "../dictionary/tablespace_catalogue.h"
#include "../live/live_model.h"

#include <QRandomGenerator>
#include <algorithm>

namespace tavimond::sim {
namespace {

// Blocks a second the busiest hours read and write in a tablespace, over its files, on
// instance 1 and on the others; and hundredths of a second per block.
struct Load {
    const char *tablespace;
    double reads[2];
    double writes[2];
    double readCs;
    double writeCs;
};

const Load kLoads[] = {
    {"SYSTEM", {14, 11}, {1.2, 0.9}, 0.45, 0.6},   {"SYSAUX", {7, 5}, {9, 6}, 0.55, 0.8},
    {"UNDOTBS1", {3, 0.02}, {26, 0.05}, 0.4, 0.3}, {"UNDOTBS2", {0.02, 2.4}, {0.05, 19}, 0.4, 0.3},
    {"USERS", {2.5, 1.5}, {0.4, 0.3}, 0.7, 0.9},   {"APP_DATA", {190, 150}, {21, 17}, 0.62, 0.95},
    {"APP_INDEX", {130, 95}, {16, 12}, 0.38, 0.7}, {"APP_LOB", {12, 4}, {3.5, 1.1}, 1.4, 1.8},
};

constexpr qint64 kDay = 86400;

} // namespace

FileStatHistory::FileStatHistory(Model &model)
{
    const TablespaceCatalogue &catalogue = model.state<TablespaceCatalogue>();
    const int instances = model.state<Repository>().instances();
    QRandomGenerator rng = model.random(0xf11e);
    auto add = [&](int fileId, const QString &tablespace, const QString &name, double share) {
        const auto load = std::find_if(std::begin(kLoads), std::end(kLoads),
                                       [&](const Load &l) { return tablespace == QLatin1String(l.tablespace); });
        File f;
        f.fileId = fileId;
        f.tablespace = tablespace;
        f.name = name;
        for (int i = 0; i < instances; ++i) {
            const double jitter = 0.8 + 0.4 * rng.generateDouble();
            const int column = std::min(i, 1);
            f.readsPerSecond.push_back(load == std::end(kLoads) ? 1 : load->reads[column] * share * jitter);
            f.writesPerSecond.push_back(load == std::end(kLoads) ? 0.2 : load->writes[column] * share * jitter);
        }
        f.readCentisecondsPerBlock =
            (load == std::end(kLoads) ? 0.6 : load->readCs) * (0.85 + 0.3 * rng.generateDouble());
        f.writeCentisecondsPerBlock =
            (load == std::end(kLoads) ? 0.8 : load->writeCs) * (0.85 + 0.3 * rng.generateDouble());
        f.phase = rng.generateDouble() * 6.28;
        if (fileId == kAddedFile)
            f.created = Model::start().addSecs(-8 * 3600 - 17 * 60);
        files_.push_back(f);
    };
    // A tablespace's load is shared by its files; an added file takes a new share.
    std::map<QString, int> fileCount;
    for (const TablespaceCatalogue::File &f : catalogue.files())
        if (!f.temporary)
            ++fileCount[f.tablespace];
    for (const TablespaceCatalogue::File &f : catalogue.files())
        if (!f.temporary)
            add(f.fileId, f.tablespace, f.name, 1.0 / fileCount[f.tablespace]);
    // More files of the application's data, for large benchmarks.
    const int extra = model.state<FileStatShape>().extraFiles;
    for (int n = 0; n < extra; ++n) {
        const int id = 100 + n;
        add(id, QStringLiteral("APP_DATA"),
            QStringLiteral("+DATA/TAVIDB/DATAFILE/app_data.%1.%2").arg(400 + n).arg(1158326145 + 3 * (400 + n)), 0.3);
    }
}

std::optional<FileStatHistory::Figures> FileStatHistory::at(const Repository::Snapshot &snapshot,
                                                            const File &file) const
{
    if (file.created.isValid() && snapshot.end <= file.created)
        return std::nullopt;
    const QDateTime since = file.created.isValid() ? std::max(snapshot.startup, file.created) : snapshot.startup;
    const qint64 age = since.secsTo(snapshot.end);
    const size_t i = size_t(snapshot.instance - 1);
    // Busy days and quiet nights: a daily wave, reads and writes a little apart.
    Figures f;
    const double reads = LiveModel::counter(file.readsPerSecond[i], age, kDay, file.phase);
    const double writes = LiveModel::counter(file.writesPerSecond[i], age, kDay, file.phase + 0.7);
    f.phyblkrd = qint64(reads);
    f.phyblkwrt = qint64(writes);
    // The time per block wanders over a few hours.
    f.readtim = qint64(LiveModel::counter(file.readsPerSecond[i] * file.readCentisecondsPerBlock, age, 4 * 3600 + 600,
                                          file.phase * 2));
    f.writetim = qint64(LiveModel::counter(file.writesPerSecond[i] * file.writeCentisecondsPerBlock, age,
                                           5 * 3600 + 900, file.phase * 3));
    return f;
}

} // namespace tavimond::sim
