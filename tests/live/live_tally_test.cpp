#include "core/result_grid.h"
#include "db/error.h"
#include "live/live_tally.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

// A tally grid of rows (key, accumulated, delta, min, max, threshold) and its spare row.
void fillTally(ResultGrid &g, const QList<QStringList> &rows)
{
    g.setColCount(6);
    g.setRowCount(int(rows.size()) + 2);
    for (int i = 0; i < rows.size(); ++i)
        g.setRow(i + 1, rows.at(i));
}

// The breaches after the header, each as key=threshold<delta.
QStringList keys(const ResultGrid &breaches)
{
    QStringList out;
    for (int r = 1; r < breaches.rowCount() - 1; ++r)
        out << breaches.cell(1, r) + '=' + breaches.cell(2, r) + '<' + breaches.cell(3, r);
    return out;
}

} // namespace

TEST(BreachScan, OnlyAThresholdStrictlyBelowTheDeltaBreaches)
{
    ResultGrid tally, breaches(4);
    fillTally(tally, {{"1:equal", "9", "10", "", "", "10"},
                      {"1:below", "9", "10", "", "", "9"},
                      {"1:none", "9", "50", "", "", ""},
                      {"1:blank", "9", "50", "", "", "1 "},
                      {"1:fraction", "9", "50", "", "", "1.5"},
                      {"1:quoted", "9", "50", "", "", "\"1\""},
                      {"1:huge", "9", "5000000000", "", "", "1"},
                      {"1:first", "9", "", "", "", "-1"},
                      {"1:negative", "9", "-3", "", "", "-4"}});
    const QDateTime now(QDate(2026, 12, 6), QTime(21, 5, 7));
    ScanThresholdBreaches(tally, breaches, now);
    EXPECT_EQ(keys(breaches), (QStringList{"1:below=9<10", "1:first=-1<", "1:negative=-4<-3"}));
    EXPECT_TRUE(breaches.cell(0, 1).endsWith(QStringLiteral(" 21:05:07")));
    EXPECT_EQ(breaches.row(breaches.rowCount() - 1), QStringList(4, QString())); // the next breach goes here
    // A row that stays above its threshold breaches at every scan, below the earlier ones.
    ScanThresholdBreaches(tally, breaches, now.addSecs(30));
    EXPECT_EQ(keys(breaches).size(), 6);
    EXPECT_EQ(breaches.cell(1, 4), QStringLiteral("1:below"));
}

TEST(ThresholdFile, SaveThenLoadPutsEachRowsMaxIntoItsThreshold)
{
    QTemporaryDir dir;
    const QString path =
        thresholdFilePath(dir.path(), QStringLiteral("host:1521/ORCL"), QStringLiteral("_wait_thresh.txt"));
    EXPECT_EQ(path, dir.path() + QStringLiteral("/host_1521_ORCL_wait_thresh.txt"));

    ResultGrid tally;
    fillTally(tally, {{"1:log file sync", "90", "5", "1", "12", ""}, {"2:new", "4", "", "", "", ""}});
    SaveThresholdFile(tally, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("1:log file sync,12\r\n2:new,\r\n,\r\n"));
    const auto thresholds = [&] { return QStringList{tally.cell(5, 1), tally.cell(5, 2), tally.cell(5, 3)}; };
    LoadThresholdFile(tally, path);
    EXPECT_EQ(thresholds(), (QStringList{"12", "", ""}));

    // Keys between quotes match; values keep their text; lines without a comma name no key.
    {
        QFile w(path);
        ASSERT_TRUE(w.open(QIODevice::WriteOnly | QIODevice::Truncate));
        w.write("\"2:new\",\"7\"\nno comma here\n1:log file sync,3 \r\n");
    }
    LoadThresholdFile(tally, path);
    EXPECT_EQ(thresholds(), (QStringList{"3 ", "\"7\"", ""})); // the spare row takes no threshold

    // A missing file raises and changes nothing; so does saving into a missing folder.
    EXPECT_THROW(LoadThresholdFile(tally, dir.filePath(QStringLiteral("absent.txt"))), Error);
    EXPECT_EQ(thresholds(), (QStringList{"3 ", "\"7\"", ""}));
    EXPECT_THROW(SaveThresholdFile(tally, dir.filePath(QStringLiteral("no/such/folder.txt"))), Error);
}
