#include "grid_routines.h"

#include "chart.h"
#include "conversions.h"
#include "messages.h"
#include "result_grid.h"
#include "text_lines.h"

#include "db/error.h"
#include "db/query.h"

#include <QStringList>
#include <algorithm>
#include <numeric>
#include <optional>

namespace tavimond {
namespace {

bool rowIsBlank(const ResultGrid &grid, int r)
{
    for (int c = 0; c < grid.colCount(); ++c)
        if (!grid.cell(c, r).isEmpty())
            return false;
    return true;
}

// Rows firstRow .. end-1 to sort: a blank last row keeps its place as the spare row.
int sortEnd(const ResultGrid &grid, int firstRow)
{
    int end = grid.rowCount();
    if (end - 1 >= firstRow && rowIsBlank(grid, end - 1))
        --end;
    return end;
}

template <typename Key, typename Less>
void stableSortRows(ResultGrid &grid, int column, int firstRow, Key key, Less less)
{
    firstRow = std::max(firstRow, 0);
    const int end = sortEnd(grid, firstRow);
    if (end - firstRow < 2)
        return;
    using K = decltype(key(grid.cell(column, firstRow)));
    std::vector<K> keys;
    keys.reserve(size_t(end - firstRow));
    for (int r = firstRow; r < end; ++r)
        keys.push_back(key(grid.cell(column, r)));
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(keys[size_t(a)], keys[size_t(b)]); });
    if (std::is_sorted(order.begin(), order.end()))
        return;
    grid.permuteRows(firstRow, order);
}

QString csvCell(const QString &cell, const QString &delimiter)
{
    const bool quote = (!delimiter.isEmpty() && cell.contains(delimiter)) || cell.contains(QLatin1Char('"')) ||
                       cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
    if (!quote)
        return cell;
    QString inner = cell;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// The records of an open query into the grid (and charts), counted in `records`.
void loadRecords(Query &query, ResultGrid &grid, const QString &keyControlText, Chart *deltaChart,
                 Chart *cumulativeChart, bool clearFirst, bool tally, bool single, bool all, AxisSide side,
                 bool addToCumulative, const QString &excludeMark, const QString &pointLabel, int columnSwitch,
                 QStringList *cumulativeKeys, int &records)
{
    if (clearFirst)
        grid.empty();

    const int fields = query.fieldCount();
    while (!query.eof()) {
        const QString key = query.field(0);
        const QString value = query.field(1);
        bool matched = false;
        if (tally) {
            const int last = grid.rowCount() - 1;
            const TallyNumber now = readTallyNumber(value);
            // Matching writes columns 1 to 4 only, so the key index stays as it is.
            for (const int r : grid.rowsWithKey(key)) {
                // The spare row is where new keys go; it never matches, even an empty key.
                if (r == last && rowIsBlank(grid, r))
                    continue;
                const TallyDifference delta = subtractTally(now, readTallyNumber(grid.cell(1, r)));
                grid.setCell(1, r, value);
                grid.setCell(2, r, delta.text);
                matched = true;
                if (single && keyControlText == key && deltaChart->seriesCount() >= 2) {
                    deltaChart->addPoint(0, delta.number.value(), pointLabel);
                    deltaChart->addPoint(1, chartValue(grid.cell(5, r)), QString());
                }
                if (all)
                    for (const int s : deltaChart->seriesTitled(key))
                        deltaChart->addPoint(s, delta.number.value(), pointLabel);
                const QString &min = grid.cell(3, r);
                if (min.isEmpty() || compareTally(delta.number, readTallyNumber(min)) < 0)
                    grid.setCell(3, r, delta.text);
                const QString &max = grid.cell(4, r);
                if (max.isEmpty() || compareTally(delta.number, readTallyNumber(max)) > 0)
                    grid.setCell(4, r, delta.text);
            }
        }
        if (!matched) {
            const int last = grid.rowCount() - 1;
            if (columnSwitch >= 100) {
                for (int i = 0; i < fields; ++i) {
                    const QString f = i == 0 ? key : (i == 1 ? value : query.field(i));
                    if (!f.isEmpty())
                        grid.setCell(i, last, f);
                }
            } else {
                grid.setCell(0, last, key);
                grid.setCell(1, last, query.field(columnSwitch - 1));
            }
            grid.setRowCount(last + 2);
            if (all && !(!excludeMark.isEmpty() && key.contains(excludeMark)))
                deltaChart->addSeries(SeriesKind::Line, key, side);
        }
        if (addToCumulative && cumulativeChart && cumulativeChart->seriesCount() > 0) {
            cumulativeChart->addPoint(cumulativeChart->seriesCount() - 1, chartValue(value), QString());
            if (cumulativeKeys)
                cumulativeKeys->append(key);
        }
        ++records;
        query.next();
    }
}

} // namespace

void OpenQuery(Query &query)
{
    query.open();
}

void LoadQueryIntoGrid(Query &query, ResultGrid &grid, const QString &keyControlText, Chart *deltaChart,
                       Chart *cumulativeChart, bool clearFirst, const QString &loadMode, const QString &seriesMode,
                       bool addToCumulative, const QString &excludeMark, const QString &axisName,
                       const QString &pointLabel, int columnSwitch, QStringList *cumulativeKeys, FailedLoad onFailure)
{
    const bool tally = loadMode == QLatin1String("Tally");
    const bool single = seriesMode == QLatin1String("Single") && deltaChart;
    const bool all = seriesMode == QLatin1String("All") && deltaChart;
    const AxisSide side = axisName == QLatin1String("RightAxis") ? AxisSide::Right : AxisSide::Left;

    ResultGrid::Batch gridBatch(grid);
    std::optional<Chart::Batch> deltaBatch, cumulativeBatch;
    if (deltaChart)
        deltaBatch.emplace(*deltaChart);
    if (cumulativeChart)
        cumulativeBatch.emplace(*cumulativeChart);

    // A sample cut short by the database (a connection lost part-way) must not pass for
    // a whole one: the grid and the charts go back to what they were, so that the next
    // sample is compared with the last complete one.
    ResultGrid::Undo gridBefore(grid);
    std::optional<Chart::Checkpoint> deltaBefore, cumulativeBefore;
    if (deltaChart)
        deltaBefore = deltaChart->checkpoint();
    if (cumulativeChart)
        cumulativeBefore = cumulativeChart->checkpoint();
    const qsizetype keysBefore = cumulativeKeys ? cumulativeKeys->size() : 0;
    int records = 0;
    try {
        loadRecords(query, grid, keyControlText, deltaChart, cumulativeChart, clearFirst, tally, single, all, side,
                    addToCumulative, excludeMark, pointLabel, columnSwitch, cumulativeKeys, records);
    } catch (const DbError &e) {
        if (onFailure == FailedLoad::EmptyGrid)
            grid.empty();
        else
            gridBefore.rollback();
        if (deltaChart)
            deltaChart->rollback(*deltaBefore);
        if (cumulativeChart)
            cumulativeChart->rollback(*cumulativeBefore);
        if (cumulativeKeys)
            cumulativeKeys->resize(keysBefore);
        // Said as the user now sees it: a grid emptied, by the caller before the load or
        // here, shows no rows, whatever it held before.
        bool rowsShown = false;
        for (int r = 1; r < grid.rowCount() && !rowsShown; ++r)
            rowsShown = !rowIsBlank(grid, r);
        throw DbError(
            e.message() +
            QStringLiteral("\nLoading stopped after %1 rows; they were set aside and the grid %2")
                .arg(records)
                .arg(rowsShown ? QStringLiteral("keeps its previous rows.") : QStringLiteral("is left empty.")));
    }
    query.close();
}

void GridTailTrim(ResultGrid &grid)
{
    if (grid.rowCount() == 2)
        return;
    dropEmptyTailRows(grid);
}

void dropEmptyTailRows(ResultGrid &grid)
{
    int n = grid.rowCount();
    while (n > 1 && grid.cell(0, n - 1).isEmpty())
        --n;
    grid.setRowCount(n);
}

void SortGridNumericDesc(ResultGrid &grid, int column, int firstRow)
{
    stableSortRows(
        grid, column, firstRow, [](const QString &t) { return sortValue(t); },
        [](double a, double b) { return a > b; });
}

void SortGridTextAsc(ResultGrid &grid, int column, int firstRow)
{
    stableSortRows(
        grid, column, firstRow, [](const QString &t) { return t; },
        [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseSensitive) < 0; });
}

QString QueryMemoText(Query &query)
{
    QStringList lines;
    for (; !query.eof(); query.next())
        lines << query.field(0);
    QString text = lines.join(QLatin1Char('\n'));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void ExportGridToCsv(const ResultGrid &grid, const QString &fileName, const QString &delimiter)
{
    WholeFileWriter file(fileName);
    QByteArray buffer;
    QString line;
    for (int r = 0; r < grid.rowCount(); ++r) {
        line.clear();
        for (int c = 0; c < grid.colCount(); ++c) {
            if (c > 0)
                line += delimiter;
            line += csvCell(grid.cell(c, r), delimiter);
        }
        line += QLatin1String("\r\n");
        buffer += line.toUtf8();
        if (buffer.size() > (1 << 20)) {
            file.write(buffer);
            buffer.clear();
        }
    }
    file.write(buffer);
    file.commit();
    messages().info(QStringLiteral("CSV Created: ") + fileName);
}

} // namespace tavimond

namespace tavimond {

void DumpQueryIntoGrid(Query &query, ResultGrid &grid, bool clearFirst, FailedLoad onFailure)
{
    LoadQueryIntoGrid(query, grid, QString(), nullptr, nullptr, clearFirst, QStringLiteral("Dump"),
                      QStringLiteral("Single"), false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      QString(), 100, nullptr, onFailure);
}

} // namespace tavimond
