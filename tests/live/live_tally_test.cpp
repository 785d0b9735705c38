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
    g.setHeaders({QStringLiteral("Wait Event"), QStringLiteral("Accumulated"), QStringLiteral("Delta"),
                  QStringLiteral("Min"), QStringLiteral("Max"), QStringLiteral("Threshhold")});
    g.setRowCount(int(rows.size()) + 2);
    for (int i = 0; i < rows.size(); ++i)
        g.setRow(i + 1, rows.at(i));
}

QStringList keys(const ResultGrid &breaches)
{
    QStringList out;
    for (int r = 1; r < breaches.rowCount() - 1; ++r)
        out << breaches.cell(1, r) + QLatin1Char('=') + breaches.cell(2, r) + QLatin1Char('<') + breaches.cell(3, r);
    return out;
}

} // namespace

TEST(BreachScan, OnlyAThresholdStrictlyBelowTheDeltaBreaches)
{
    ResultGrid tally, breaches(4);
    fillTally(
        tally,
        {{QStringLiteral("1:equal"), QStringLiteral("9"), QStringLiteral("10"), {}, {}, QStringLiteral("10")},
         {QStringLiteral("1:below"), QStringLiteral("9"), QStringLiteral("10"), {}, {}, QStringLiteral("9")},
         {QStringLiteral("1:none"), QStringLiteral("9"), QStringLiteral("50"), {}, {}, {}},
         {QStringLiteral("1:blank"), QStringLiteral("9"), QStringLiteral("50"), {}, {}, QStringLiteral("1 ")},
         {QStringLiteral("1:fraction"), QStringLiteral("9"), QStringLiteral("50"), {}, {}, QStringLiteral("1.5")},
         {QStringLiteral("1:quoted"), QStringLiteral("9"), QStringLiteral("50"), {}, {}, QStringLiteral("\"1\"")},
         {QStringLiteral("1:huge"), QStringLiteral("9"), QStringLiteral("5000000000"), {}, {}, QStringLiteral("1")},
         {QStringLiteral("1:first"), QStringLiteral("9"), {}, {}, {}, QStringLiteral("-1")},
         {QStringLiteral("1:negative"), QStringLiteral("9"), QStringLiteral("-3"), {}, {}, QStringLiteral("-4")}});
    const QDateTime now(QDate(2026, 12, 6), QTime(21, 5, 7));
    ScanThresholdBreaches(tally, breaches, now);
    EXPECT_EQ(keys(breaches), (QStringList{QStringLiteral("1:below=9<10"), QStringLiteral("1:first=-1<"),
                                           QStringLiteral("1:negative=-4<-3")}));
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
    fillTally(tally, {{QStringLiteral("1:log file sync"),
                       QStringLiteral("90"),
                       QStringLiteral("5"),
                       QStringLiteral("1"),
                       QStringLiteral("12"),
                       {}},
                      {QStringLiteral("2:new"), QStringLiteral("4"), {}, {}, {}, {}}});
    SaveThresholdFile(tally, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("1:log file sync,12\r\n2:new,\r\n,\r\n"));

    LoadThresholdFile(tally, path);
    EXPECT_EQ(tally.cell(5, 1), QStringLiteral("12"));
    EXPECT_EQ(tally.cell(5, 2), QString());
    EXPECT_EQ(tally.cell(5, 3), QString());

    // Keys between quotes match; values keep their text; lines without a comma name no key.
    {
        QFile w(path);
        ASSERT_TRUE(w.open(QIODevice::WriteOnly | QIODevice::Truncate));
        w.write("\"2:new\",\"7\"\nno comma here\n1:log file sync,3 \r\n");
    }
    LoadThresholdFile(tally, path);
    EXPECT_EQ(tally.cell(5, 2), QStringLiteral("\"7\""));
    EXPECT_EQ(tally.cell(5, 1), QStringLiteral("3 "));
    EXPECT_EQ(tally.cell(5, 3), QString()); // the spare row takes no threshold

    // A missing file raises and changes nothing; so does saving into a missing folder.
    EXPECT_THROW(LoadThresholdFile(tally, dir.filePath(QStringLiteral("absent.txt"))), Error);
    EXPECT_EQ(tally.cell(5, 1), QStringLiteral("3 "));
    EXPECT_THROW(SaveThresholdFile(tally, dir.filePath(QStringLiteral("no/such/folder.txt"))), Error);
}
