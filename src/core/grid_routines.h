#pragma once

#include <QString>
#include <QStringList>

namespace tavimond {

class Chart;
class Query;
class ResultGrid;

// What a load does with the grid when the database fails part-way through the records;
// the error then says which it did.
enum class FailedLoad {
    KeepRows,  // the grid goes back to the rows it held before the call
    EmptyGrid, // the grid is emptied: for a caller whose earlier rows are no result alone
};

// Opens a query (connecting first when the connection is closed); errors pass to the caller.
void OpenQuery(Query &query);

// Loads an open query's rows into a grid and closes it. "Dump" appends every record;
// "Tally" merges records into rows by their first field, keeping the latest value,
// Delta, Min and Max. seriesMode "All" feeds one line series per key on deltaChart
// (created with the key's first record, its first point at the second); "Single" plots
// the key named by keyControlText on series 0 and 1. addToCumulative adds every
// record's value to the last series of cumulativeChart, and, when cumulativeKeys is
// given, the record's key to that list, so that each point can be named after its own
// record. Charts a call does not use may be null. When the database fails part-way,
// the rows written so far are set aside, the charts and keys go back to what they were,
// the grid as onFailure says, the query stays open, and the error says whether the grid
// keeps its previous rows or is left empty.
void LoadQueryIntoGrid(Query &query, ResultGrid &grid, const QString &keyControlText, Chart *deltaChart,
                       Chart *cumulativeChart, bool clearFirst, const QString &loadMode, const QString &seriesMode,
                       bool addToCumulative, const QString &excludeMark, const QString &axisName,
                       const QString &pointLabel, int columnSwitch, QStringList *cumulativeKeys = nullptr,
                       FailedLoad onFailure = FailedLoad::KeepRows);

// After a plain load: unless the grid has exactly two rows, drops trailing rows whose
// first cell is empty (never row 0). A trimmed grid is next loaded with clearFirst.
void GridTailTrim(ResultGrid &grid);

// Drops trailing rows whose first cell is empty, whatever the row count: a grid
// loaded without records keeps only its header row.
void dropEmptyTailRows(ResultGrid &grid);

// Stable sorts of rows firstRow onward by one column: numbers largest first, or text
// in ordinal order. An empty last row (the spare row of a loaded grid) stays last.
void SortGridNumericDesc(ResultGrid &grid, int column, int firstRow);
void SortGridTextAsc(ResultGrid &grid, int column, int firstRow);

// The text a memo shows for a query: field 1 of every remaining record, a line each.
// It neither opens nor closes the query.
QString QueryMemoText(Query &query);

// Writes the grid, header row included, to fileName: cells joined by delimiter, CR LF
// line ends, UTF-8; a cell holding the delimiter, a double quote or a line break is
// quoted. Then reports "CSV Created: " and the name. Raises when the file cannot be written.
void ExportGridToCsv(const ResultGrid &grid, const QString &fileName, const QString &delimiter);

} // namespace tavimond

namespace tavimond {

// The plain load of a report: every record of an open query appended to the grid
// ("Dump", no chart), the grid emptied first when asked; the query is closed. A failure
// part-way leaves the grid as onFailure says.
void DumpQueryIntoGrid(Query &query, ResultGrid &grid, bool clearFirst, FailedLoad onFailure = FailedLoad::KeepRows);

} // namespace tavimond
