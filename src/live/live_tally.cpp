#include "live_tally.h"

#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "core/text_lines.h"
#include "db/error.h"
#include "db/query.h"

#include <QLocale>
#include <QVector>

#include <optional>

namespace tavimond {
namespace {

// The strict 32-bit reading of the breach scan; nullopt where it would fail.
std::optional<int> strictInt(const QString &text)
{
    try {
        return strictToInt(text);
    } catch (const Error &) {
        return std::nullopt;
    }
}

} // namespace

void LoadTallySample(Query &query, const QStringList &script, ResultGrid &grid, Chart *chart, const QDateTime &now)
{
    query.setSql(script);
    OpenQuery(query);
    LoadQueryIntoGrid(query, grid, QString(), chart, nullptr, false, QStringLiteral("Tally"),
                      chart ? QStringLiteral("All") : QStringLiteral("None"), false, QStringLiteral("--null--"),
                      QStringLiteral("LeftAxis"), now.time().toString(QStringLiteral("HH:mm:ss")), 100);
    SortGridNumericDesc(grid, 2, 1);
}

QStringList tallyKeys(const ResultGrid &grid)
{
    QStringList keys;
    keys.reserve(grid.rowCount());
    for (int r = 1; r < grid.rowCount(); ++r)
        keys << grid.cell(0, r);
    return keys;
}

QString breachTimeText(const QDateTime &now)
{
    return QLocale::system().toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           now.time().toString(QStringLiteral("HH:mm:ss"));
}

void ScanThresholdBreaches(const ResultGrid &tally, ResultGrid &breaches, const QDateTime &now)
{
    ResultGrid::Batch batch(breaches);
    const QString time = breachTimeText(now);
    for (int r = 1; r < tally.rowCount(); ++r) {
        int delta = 0, threshold = 0;
        bool failed = false;
        const QString &deltaText = tally.cell(2, r);
        const QString &thresholdText = tally.cell(5, r);
        if (!deltaText.isEmpty()) {
            const auto d = strictInt(deltaText);
            failed = !d;
            delta = threshold = d.value_or(0);
        }
        if (!failed && !thresholdText.isEmpty()) {
            const auto t = strictInt(thresholdText);
            failed = !t;
            threshold = t.value_or(0);
        }
        if (failed)
            delta = threshold = 0;
        if (threshold < delta) {
            const int last = breaches.rowCount() - 1;
            breaches.setRow(last, {time, tally.cell(0, r), thresholdText, deltaText});
            breaches.setRowCount(last + 2);
        }
    }
}

QString thresholdFilePath(const QString &folder, const QString &service, const QString &suffix)
{
    QString name = service;
    for (const QChar bad : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        name.replace(bad, QLatin1Char('_'));
    return folder + QLatin1Char('/') + name + suffix;
}

void SaveThresholdFile(const ResultGrid &tally, const QString &path)
{
    QByteArray text;
    for (int r = 1; r < tally.rowCount(); ++r)
        text += (tally.cell(0, r) + QLatin1Char(',') + tally.cell(4, r) + QLatin1String("\r\n")).toUtf8();
    WholeFileWriter file(path);
    file.write(text);
    file.commit();
}

void LoadThresholdFile(ResultGrid &tally, const QString &path)
{
    // Read the whole file first, so that a failure part-way changes nothing.
    QVector<QPair<QString, QString>> entries;
    TextLineReader reader(path);
    QString line;
    while (reader.next(line)) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        QString key = comma < 0 ? QString() : line.left(comma);
        key.remove(QLatin1Char('"'));
        entries.append({key, comma < 0 ? line : line.mid(comma + 1)});
    }
    ResultGrid::Batch batch(tally);
    const int spare = tally.rowCount() - 1;
    for (const auto &[key, value] : entries)
        for (const int r : tally.rowsWithKey(key))
            if (r != spare || !key.isEmpty()) // a threshold on the spare row would pass to the next new key
                tally.setCell(5, r, value);
}

} // namespace tavimond
