#include "common/file_size_limit.h"
#include "common/recording_sink.h"
#include "common/sim_fixture.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/error.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

// Two columns: the given cells, and each row's number as "r<n>".
void fill(ResultGrid &g, const QStringList &column0)
{
    g.setColCount(2);
    g.setHeaders({"H", "H"});
    g.setRowCount(int(column0.size()) + 1);
    for (int i = 0; i < column0.size(); ++i)
        g.setRow(i + 1, {column0.at(i), QStringLiteral("r%1").arg(i + 1)});
}

QStringList column(const ResultGrid &g, int c)
{
    QStringList out;
    for (int r = 1; r < g.rowCount(); ++r)
        out << g.cell(c, r);
    return out;
}

// The plain bubble sort the stable sorts must agree with.
void bubbleSortNumericDesc(ResultGrid &g, int col, int first, int end)
{
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int r = first; r < end - 1; ++r)
            if (sortValue(g.cell(col, r)) < sortValue(g.cell(col, r + 1))) {
                const QStringList a = g.row(r);
                g.setRow(r, g.row(r + 1));
                g.setRow(r + 1, a);
                swapped = true;
            }
    }
}

} // namespace

TEST(Sorts, NumericDescendingIsStableTextAscendingOrdinalAndTheSpareRowStaysLast)
{
    ResultGrid g;
    fill(g, {"5", QString(), "7"});
    SortGridNumericDesc(g, 0, 1);
    EXPECT_EQ(column(g, 0), (QStringList{"7", "5", QString()}));

    // A negative Delta and the spare row: the spare row stays last.
    ResultGrid t;
    fill(t, {"3", "-2"});
    t.setRowCount(4);
    SortGridNumericDesc(t, 0, 1);
    EXPECT_EQ(column(t, 0), (QStringList{"3", "-2", QString()}));
    EXPECT_EQ(t.row(3), QStringList(2, QString()));

    ResultGrid eq;
    fill(eq, {"1", "2", "1", "2"});
    SortGridNumericDesc(eq, 0, 1);
    EXPECT_EQ(column(eq, 1), (QStringList{"r2", "r4", "r1", "r3"}));
    EXPECT_EQ(eq.row(0), QStringList(2, "H"));
    // The key index follows the moved rows.
    EXPECT_EQ(eq.rowsWithKey("2"), (std::vector<int>{1, 2}));

    ResultGrid text;
    fill(text, {"b", "B", "a", QString(), "a"});
    SortGridTextAsc(text, 0, 1);
    EXPECT_EQ(column(text, 0), (QStringList{QString(), "B", "a", "a", "b"}));
    EXPECT_EQ(column(text, 1)[2], "r3");
}

TEST(Sorts, StableSortAgreesWithTheBubbleSortOnRandomData)
{
    const QStringList pool{QString(), "-3", "12", "1e3", "junk", "2.5", "-0.5", "12x", "999999999999", "0"};
    QRandomGenerator rng(5);
    for (int round = 0; round < 20; ++round) {
        QStringList cells;
        for (int i = 0; i < 60; ++i)
            cells << pool.at(int(rng.bounded(pool.size())));
        cells << "last"; // a non-empty last row takes part in both
        ResultGrid a, b;
        fill(a, cells);
        fill(b, cells);
        SortGridNumericDesc(a, 0, 1);
        bubbleSortNumericDesc(b, 0, 1, b.rowCount());
        ASSERT_EQ(column(a, 1), column(b, 1)) << "round " << round;
    }
}

TEST(Export, WritesEveryRowWithCrLfAndQuotesOnlyCellsThatNeedIt)
{
    auto &sink = test::RecordingSink::current();
    sink.clear();
    ResultGrid g(3);
    try {
        ExportGridToCsv(g, "/no/such/folder/out.csv", ",");
        ADD_FAILURE() << "no error";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), "Cannot write file \"/no/such/folder/out.csv\": No such file or directory. No file was written.");
    }
    EXPECT_TRUE(sink.infos.isEmpty());

    QTemporaryDir dir;
    const QString name = dir.filePath("out.csv");
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, 'x'));
    f.close();
    g.setHeaders({"Inst", "Time", "Avg;Secs"});
    g.setRow(1, {"1", QString(), "2.5"});
    g.setRowCount(4);
    g.setRow(2, {"say \"hi\"", "a\nb", "\u00e9"});
    ExportGridToCsv(g, name, ";");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("Inst;Time;\"Avg;Secs\"\r\n1;;2.5\r\n\"say \"\"hi\"\"\";\"a\nb\";\xc3\xa9\r\n;;\r\n"));
    EXPECT_EQ(sink.infos, QStringList{"CSV Created: " + name});

    ExportGridToCsv(g, name, QString());
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("InstTimeAvg;Secs\r\n12.5\r\n"));
}

TEST(Export, OnAFullDiskThePreviousFileStaysWholeAndNoPartialFileIsLeft)
{
    auto &sink = test::RecordingSink::current();
    sink.clear();
    QTemporaryDir dir;
    const QString name = dir.filePath("out.csv");
    const QString fresh = dir.filePath("new.csv");
    const QByteArray previous = "Inst;Time\r\n1;2\r\n";
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(previous);
    f.close();
    ResultGrid g(2);
    g.setHeaders({"Inst", "Time"});
    g.setRowCount(2001);
    for (int r = 1; r < g.rowCount(); ++r)
        g.setRow(r, {QString::number(r), QString(20, QLatin1Char('x'))});
    auto errorOf = [&](const QString &file) {
        try {
            ExportGridToCsv(g, file, ";");
        } catch (const Error &e) {
            return e.message();
        }
        return QStringLiteral("(no error)");
    };
    QString overwrite, create;
    {
        test::FileSizeLimit disk(4096);
        if (!disk.active())
            GTEST_SKIP() << "no file size limit could be set, so no full disk to write to";
        overwrite = errorOf(name);
        create = errorOf(fresh);
    }
    EXPECT_EQ(overwrite, "Cannot write file \"" + name + "\": File too large. The file keeps its previous content.");
    EXPECT_EQ(create, "Cannot write file \"" + fresh + "\": File too large. No file was written.");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), previous);
    f.close();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"out.csv"});
    EXPECT_TRUE(sink.infos.isEmpty());

    // With room again, the same export replaces the file whole.
    EXPECT_EQ(errorOf(name), "(no error)");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_EQ(written.count("\r\n"), 2001);
    EXPECT_TRUE(written.endsWith("2000;" + QByteArray(20, 'x') + "\r\n"));
}

TEST(Memo, FirstFieldOfEveryRemainingRecordALine)
{
    test::SimFixture sim;
    sim.setRows("pieces", {"TEXT", "N"}, {{"select *", "1"}, {"from t\r\nwhere x = 1", "2"}});
    Query &q = sim.open("pieces");
    EXPECT_EQ(QueryMemoText(q), "select *\nfrom t\nwhere x = 1");
    EXPECT_TRUE(q.isOpen());
    EXPECT_EQ(QueryMemoText(q), QString()); // nothing remains
}
