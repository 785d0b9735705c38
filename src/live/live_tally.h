#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tavimond {

class Chart;
class Query;
class ResultGrid;

// Pieces the live tally screens (instance wait events, latches) share.

// One sample into a tally grid: the script's lines become the query's SQL, which is
// opened, merged into the grid by key (with one line per key on the chart, when there
// is one, each point labelled with the time of day of `now`) and closed; then the grid
// is sorted by Delta, largest first, keeping its spare row last. An error while opening
// or reading leaves what was loaded before and passes to the caller.
void LoadTallySample(Query &query, const QStringList &script, ResultGrid &grid, Chart *chart, const QDateTime &now);

// The keys of a tally grid's rows from 1 to the last, the spare row's empty key
// included, in grid order: what a sample offers the display list.
QStringList tallyKeys(const ResultGrid &grid);

// The breach scan: every row of a tally grid (the spare row included) whose threshold
// (column 5) is strictly below its Delta (column 2) appends a row to the breach grid:
// the time, the key, the threshold text and the Delta text. Both are read as 32-bit
// whole numbers; a row where either does not convert is judged as 0 against 0, and a
// row without a threshold is judged against its own Delta: neither can breach.
void ScanThresholdBreaches(const ResultGrid &tally, ResultGrid &breaches, const QDateTime &now);

// The text of a breach's time: the short date, a blank and the time of day.
QString breachTimeText(const QDateTime &now);

// The threshold file of a service in the metafile folder: <folder>/<service><suffix>.
// Characters of the service name that would lead out of the folder ("/", "\", ":")
// become "_", so an easy-connect name such as host:1521/ORCL names one file.
QString thresholdFilePath(const QString &folder, const QString &service, const QString &suffix);

// Writes one line per tally row from row 1 to the last (the spare row included): the
// key, "," and the row's Max, each line ended by CR LF. Raises when it cannot write.
void SaveThresholdFile(const ResultGrid &tally, const QString &path);

// Reads a threshold file into column 5 of every tally row whose key a line names: the
// key is the text before the line's first "," with double quotes removed, the value
// the rest of the line. Lines naming no row are ignored, and the spare row takes no
// threshold (the next new key would inherit it). Raises when it cannot read, and then
// changes nothing.
void LoadThresholdFile(ResultGrid &tally, const QString &path);

} // namespace tavimond
