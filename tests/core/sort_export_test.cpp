#include "common/recording_sink.h"
#include "common/sim_fixture.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/error.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

void fill(ResultGrid &g, const QStringList &column0, int cols = 2)
{
    g.setColCount(cols);
    g.setHeaders(QStringList(cols, QStringLiteral("H")));
    g.setRowCount(int(column0.size()) + 1);
    for (int i = 0; i < column0.size(); ++i) {
        g.setCell(0, i + 1, column0.at(i));
        if (cols > 1)
            g.setCell(1, i + 1, QStringLiteral("r%1").arg(i + 1));
    }
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

TEST(Sorts, NumericDescendingIsStableAndKeepsTheSpareRowLast)
{
    ResultGrid g;
    fill(g, {QStringLiteral("5"), QString(), QStringLiteral("7")});
    SortGridNumericDesc(g, 0, 1);
    EXPECT_EQ(column(g, 0), (QStringList{QStringLiteral("7"), QStringLiteral("5"), QString()}));

    // A negative Delta and the spare row: the spare row stays last.
    ResultGrid t;
    fill(t, {QStringLiteral("3"), QStringLiteral("-2")});
    t.setRowCount(4);
    SortGridNumericDesc(t, 0, 1);
    EXPECT_EQ(column(t, 0), (QStringList{QStringLiteral("3"), QStringLiteral("-2"), QString()}));
    EXPECT_EQ(t.row(3), QStringList(2, QString()));

    ResultGrid eq;
    fill(eq, {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("2")});
    SortGridNumericDesc(eq, 0, 1);
    EXPECT_EQ(column(eq, 1),
              (QStringList{QStringLiteral("r2"), QStringLiteral("r4"), QStringLiteral("r1"), QStringLiteral("r3")}));
    EXPECT_EQ(eq.row(0), QStringList(2, QStringLiteral("H")));
    // The key index follows the moved rows.
    EXPECT_EQ(eq.rowsWithKey(QStringLiteral("2")), (std::vector<int>{1, 2}));
}

TEST(Sorts, TextAscendingIsOrdinal)
{
    ResultGrid g;
    fill(g, {QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("a"), QString(), QStringLiteral("a")});
    SortGridTextAsc(g, 0, 1);
    EXPECT_EQ(column(g, 0), (QStringList{QString(), QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("a"),
                                         QStringLiteral("b")}));
    EXPECT_EQ(column(g, 1)[2], QStringLiteral("r3"));
}

TEST(Sorts, StableSortAgreesWithTheBubbleSortOnRandomData)
{
    const QStringList pool{QString(),
                           QStringLiteral("-3"),
                           QStringLiteral("12"),
                           QStringLiteral("1e3"),
                           QStringLiteral("junk"),
                           QStringLiteral("2.5"),
                           QStringLiteral("-0.5"),
                           QStringLiteral("12x"),
                           QStringLiteral("999999999999"),
                           QStringLiteral("0")};
    QRandomGenerator rng(5);
    for (int round = 0; round < 20; ++round) {
        QStringList cells;
        for (int i = 0; i < 60; ++i)
            cells << pool.at(int(rng.bounded(pool.size())));
        cells << QStringLiteral("last"); // a non-empty last row takes part in both
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
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("out.csv"));
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    ResultGrid g(3);
    g.setHeaders({QStringLiteral("Inst"), QStringLiteral("Time"), QStringLiteral("Avg;Secs")});
    g.setRow(1, {QStringLiteral("1"), QString(), QStringLiteral("2.5")});
    g.setRowCount(4);
    g.setRow(2, {QStringLiteral("say \"hi\""), QStringLiteral("a\nb"), QStringLiteral("\u00e9")});
    ExportGridToCsv(g, name, QStringLiteral(";"));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("Inst;Time;\"Avg;Secs\"\r\n1;;2.5\r\n\"say \"\"hi\"\"\";\"a\nb\";\xc3\xa9\r\n;;\r\n"));
    EXPECT_EQ(sink.infos, QStringList{QStringLiteral("CSV Created: ") + name});

    ExportGridToCsv(g, name, QString());
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("InstTimeAvg;Secs\r\n12.5\r\n"));
}

TEST(Export, AFileThatCannotBeWrittenRaisesAndReportsNothing)
{
    auto &sink = test::RecordingSink::current();
    sink.clear();
    ResultGrid g(1);
    EXPECT_THROW(ExportGridToCsv(g, QStringLiteral("/no/such/folder/out.csv"), QStringLiteral(",")), Error);
    EXPECT_TRUE(sink.infos.isEmpty());
}

TEST(Memo, FirstFieldOfEveryRemainingRecordALine)
{
    test::SimFixture sim;
    sim.setRows(QStringLiteral("pieces"), {QStringLiteral("TEXT"), QStringLiteral("N")},
                {{QStringLiteral("select *"), QStringLiteral("1")},
                 {QStringLiteral("from t\r\nwhere x = 1"), QStringLiteral("2")}});
    Query &q = sim.open(QStringLiteral("pieces"));
    EXPECT_EQ(QueryMemoText(q), QStringLiteral("select *\nfrom t\nwhere x = 1"));
    EXPECT_TRUE(q.isOpen());
    EXPECT_EQ(QueryMemoText(q), QString()); // nothing remains
}
