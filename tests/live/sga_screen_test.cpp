// The SGA hit ratios screen against the simulated instance.
#include "live/sga_screen.h"
#include "common/screen_support.h"

#include "db/sim/server.h"

#include <QTabWidget>

using namespace tavimond;

namespace {

class SgaScreenTest : public ::testing::Test {
protected:
    using Rows = QList<QStringList>;

    // What the three scripts find, whatever their select lists.
    void dictionary(const Rows &rows)
    {
        s.sim.setRows(QStringLiteral("v$rowcache"),
                      {QStringLiteral("PARAMETER"), QStringLiteral("SUM(GETMISSES)"), QStringLiteral("SUM(GETS)")},
                      rows);
    }
    void library(const Rows &rows)
    {
        s.sim.setRows(QStringLiteral("v$librarycache"),
                      {QStringLiteral("NAMESPACE"), QStringLiteral("GETS"), QStringLiteral("GETHITRATIO"),
                       QStringLiteral("PINS"), QStringLiteral("PINHITRATIO"), QStringLiteral("RELOADS"),
                       QStringLiteral("INVALIDATIONS")},
                      rows);
    }
    void buffers(const Rows &rows)
    {
        s.sim.setRows(QStringLiteral("v$sysstat"), {QStringLiteral("NAME"), QStringLiteral("VALUE")}, rows);
    }
    void standardCaches()
    {
        dictionary({{"dc_objects", "5", "100"}});
        library({{"SQL AREA", "10", "90", "20", "80", "0", "0"}});
        buffers({{"db block gets", "10"}, {"consistent gets", "90"}, {"physical reads", "10"}});
    }
    QStringList column(const char *grid, int c)
    {
        QStringList out;
        for (const QStringList &row : test::rowsOf(s.grid(grid)))
            out << row.value(c);
        return out;
    }

    test::ScreenHarness<SgaScreen> s;
};

} // namespace

TEST_F(SgaScreenTest, ControlsCaptionsHeadersAndScripts)
{
    EXPECT_EQ(s.screen.objectName(), QStringLiteral("sgapage"));
    ASSERT_EQ(s.screen.count(), 2);
    EXPECT_EQ(s.screen.tabText(0), QStringLiteral("SGA Hit Ratios"));
    EXPECT_EQ(s.screen.tabText(1), QStringLiteral("Script"));
    EXPECT_EQ(s.widget<QAbstractButton>("sgahitbut").text(), QStringLiteral("Retrieve"));
    EXPECT_EQ(s.label("DDHRLabel"), QStringLiteral("Data Dictionary"));
    EXPECT_EQ(s.label("LCHRLabel"), QStringLiteral("Library Cache"));
    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache"));

    EXPECT_EQ(s.grid("DDictGrid").headers(), (QStringList{"Parameter", "Misses", "Gets", "Hit Ratio"}));
    EXPECT_EQ(s.grid("LCacheGrid").headers(), (QStringList{"Namespace", "Gets", "Gets Hit Ratio", "Pins",
                                                           "Pins Hit Ratio", "Reloads", "Invalidations"}));
    EXPECT_EQ(s.grid("BCacheGrid").headers(), (QStringList{"Parameter", "Count"}));
    EXPECT_EQ(s.widget<GridView>("DDictGrid").columnWidth(0), 280);
    EXPECT_EQ(s.widget<GridView>("LCacheGrid").columnWidth(0), 320);
    EXPECT_EQ(s.widget<GridView>("LCacheGrid").columnWidth(4), 100);
    EXPECT_EQ(s.widget<GridView>("BCacheGrid").columnWidth(1), 100);

    const auto memo = [&](const char *name) { return s.widget<QPlainTextEdit>(name).toPlainText().split('\n'); };
    EXPECT_EQ(memo("DDictmem"), (QStringList{"SELECT ", "   Parameter,SUM(getmisses), SUM(gets)", "FROM",
                                             "   v$rowcache", "group by parameter"}));
    EXPECT_EQ(memo("LCachemem"),
              (QStringList{"select", "   namespace, ", "   gets, ", "   gethitratio*100 gethitratio,", "   pins, ",
                           "   pinhitratio*100 pinhitratio,", "   reloads,", "   invalidations ", "from ",
                           "   v$librarycache"}));
    EXPECT_EQ(memo("BCachemem"), (QStringList{"SELECT name,value from v$sysstat where", "name in ", "('db block gets',",
                                              "'consistent gets',", "'physical reads')"}));
    QStringList scriptLabels;
    for (const QLabel *l : s.screen.widget(1)->findChildren<QLabel *>())
        scriptLabels << l->text();
    EXPECT_EQ(scriptLabels, (QStringList{"Data Dictionary", "Library Cache", "Buffer Cache"}));
}

TEST_F(SgaScreenTest, DictionaryRatiosPerRowAndOverallFromTheTotals)
{
    dictionary({{"dc_objects", "5", "100"},
                {"dc_users", "0", "50"},
                {"dc_free_extents", "0", "0"},
                {"dc_segments", "45", "50"},
                {"dc_histogram_defs", "1", "3"}});
    library({{"SQL AREA", "10", "90", "20", "80", "0", "0"}});
    buffers({{"db block gets", "10"}, {"consistent gets", "90"}});
    s.click("sgahitbut");
    ASSERT_EQ(s.sink().errors, QStringList());

    EXPECT_EQ(column("DDictGrid", 0),
              (QStringList{"dc_objects", "dc_users", "dc_free_extents", "dc_segments", "dc_histogram_defs"}));
    // No misses with gets is a full hit; only a parameter without gets shows 0. Row ratios are not rounded.
    EXPECT_EQ(column("DDictGrid", 3), (QStringList{"95", "100", "0", "10", "66.6666666666667"}));
    // 51 misses in 203 gets, not the mean of the rows' ratios.
    EXPECT_EQ(s.label("DDHRLabel"), QStringLiteral("Data Dictionary Hit Ratio:(74.88)"));
    EXPECT_EQ(s.grid("DDictGrid").rowCount(), 6); // trimmed: no spare row
}

TEST_F(SgaScreenTest, LibraryRatiosArePlainMeansRoundedHalfToEven)
{
    dictionary({{"dc_objects", "5", "100"}});
    // Weighted by gets the get ratio would be about 95.25; rounding half up would give 95.13.
    library({{"SQL AREA", "1000000", "95.25", "5000000", "99.99", "12", "3"},
             {"DIRECTORY", "10", "95", "10", "100", "0", "0"}});
    buffers({{"db block gets", "10"}, {"consistent gets", "90"}});
    s.click("sgahitbut");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(s.label("LCHRLabel"), QStringLiteral("Library Cache Hit Ratio (Get:95.12 Pin:100)"));
    EXPECT_EQ(test::rowsOf(s.grid("LCacheGrid")).value(0),
              (QStringList{"SQL AREA", "1000000", "95.25", "5000000", "99.99", "12", "3"}));
}

TEST_F(SgaScreenTest, BufferRatioFromTheThreeStatisticsAMissingOneCountingAsZero)
{
    dictionary({{"dc_objects", "5", "100"}});
    library({{"SQL AREA", "10", "90", "20", "80", "0", "0"}});
    buffers({{"session logical reads", "10000"},
             {"db block gets", "5000"},
             {"db block gets", "400"}, // a later row of a name replaces an earlier one
             {"consistent gets", "9600"},
             {"physical reads", "150"}});
    s.click("sgahitbut");
    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache Hit Ratio:(98.5)"));
    EXPECT_EQ(column("BCacheGrid", 0), (QStringList{"session logical reads", "db block gets", "db block gets",
                                                    "consistent gets", "physical reads"}));

    buffers({{"db block gets", "400"}, {"consistent gets", "9600"}});
    s.click("sgahitbut");
    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache Hit Ratio:(100)"));
    EXPECT_EQ(s.sink().errors, QStringList());
}

TEST_F(SgaScreenTest, AZeroDivisorRaisesTheErrorAndLeavesTheLabelsAsTheyWere)
{
    standardCaches();
    s.click("sgahitbut");
    ASSERT_EQ(s.sink().errors, QStringList());
    const QString dictLabel = s.label("DDHRLabel"), libLabel = s.label("LCHRLabel"), bufLabel = s.label("BCHRLabel");
    EXPECT_EQ(dictLabel, QStringLiteral("Data Dictionary Hit Ratio:(95)"));

    // No dictionary rows: the header row alone, the error, and nothing after it runs.
    dictionary({});
    s.sim.server.clearStatements();
    s.click("sgahitbut");
    EXPECT_EQ(s.sink().errors, QStringList{QStringLiteral("Invalid floating point operation")});
    EXPECT_EQ(s.grid("DDictGrid").rowCount(), 1);
    EXPECT_EQ(s.label("DDHRLabel"), dictLabel);
    EXPECT_EQ(s.label("LCHRLabel"), libLabel);
    EXPECT_EQ(s.sim.server.statements().size(), 1);

    // Misses without gets in every row: a division of a number by zero.
    s.sink().clear();
    dictionary({{"dc_objects", "3", "0"}});
    s.click("sgahitbut");
    EXPECT_EQ(s.sink().errors, QStringList{QStringLiteral("Floating point division by zero")});
    EXPECT_EQ(column("DDictGrid", 3), QStringList{"0"});

    // Libraries without rows, and buffer statistics that are all missing.
    s.sink().clear();
    dictionary({{"dc_objects", "5", "100"}});
    library({});
    s.click("sgahitbut");
    EXPECT_EQ(s.sink().errors, QStringList{QStringLiteral("Invalid floating point operation")});
    EXPECT_EQ(s.label("LCHRLabel"), libLabel);
    s.sink().clear();
    library({{"SQL AREA", "10", "90", "20", "80", "0", "0"}});
    buffers({{"physical reads", "7"}});
    s.click("sgahitbut");
    EXPECT_EQ(s.sink().errors, QStringList{QStringLiteral("Floating point division by zero")});
    EXPECT_EQ(s.label("BCHRLabel"), bufLabel);
    for (const char *l : {"DDHRLabel", "LCHRLabel", "BCHRLabel"}) {
        EXPECT_FALSE(s.label(l).contains(QLatin1String("inf"), Qt::CaseInsensitive)) << l;
        EXPECT_FALSE(s.label(l).contains(QLatin1String("nan"), Qt::CaseInsensitive)) << l;
    }
}

TEST_F(SgaScreenTest, TextThatIsNotANumberEndsTheRetrieveAtThatStep)
{
    standardCaches();
    library({{"SQL AREA", "10", "90,5", "20", "80", "0", "0"}}); // a decimal comma is not a number here
    s.click("sgahitbut");
    EXPECT_EQ(s.sink().errors, QStringList{QStringLiteral("'90,5' is not a valid floating point value")});
    EXPECT_EQ(s.label("DDHRLabel"), QStringLiteral("Data Dictionary Hit Ratio:(95)"));
    EXPECT_EQ(s.label("LCHRLabel"), QStringLiteral("Library Cache"));
    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache"));
}

TEST_F(SgaScreenTest, RetrieveRunsTheEditedScriptsAndReplacesTheRows)
{
    // The standard simulated instance: its own v$ views.
    s.click("sgahitbut");
    ASSERT_EQ(s.sink().errors, QStringList());
    const QStringList statements = s.sim.server.statements();
    ASSERT_EQ(statements.size(), 3);
    EXPECT_EQ(statements.at(0), s.widget<QPlainTextEdit>("DDictmem").toPlainText());
    EXPECT_EQ(statements.at(2), s.widget<QPlainTextEdit>("BCachemem").toPlainText());

    const int parameters = s.grid("DDictGrid").rowCount() - 1;
    EXPECT_GE(parameters, 24);
    const QStringList gets = column("DDictGrid", 2);
    EXPECT_TRUE(gets.contains(QStringLiteral("0")));
    EXPECT_EQ(column("DDictGrid", 3).at(gets.indexOf(QStringLiteral("0"))), QStringLiteral("0"));
    EXPECT_GE(s.grid("LCacheGrid").rowCount() - 1, 12);
    EXPECT_EQ(column("BCacheGrid", 0), (QStringList{"db block gets", "consistent gets", "physical reads"}));
    const QRegularExpression ratio(QStringLiteral(R"(^Buffer Cache Hit Ratio:\((9\d(\.\d\d?)?)\)$)"));
    EXPECT_TRUE(ratio.match(s.label("BCHRLabel")).hasMatch()) << s.label("BCHRLabel").toStdString();

    // Later the counters have grown; the grids hold this retrieve's rows only.
    const QString consistentBefore = s.grid("BCacheGrid").cell(1, 2);
    s.sim.server.model().advance(600);
    s.click("sgahitbut");
    EXPECT_EQ(s.grid("DDictGrid").rowCount() - 1, parameters);
    EXPECT_EQ(s.grid("BCacheGrid").rowCount(), 4);
    EXPECT_GT(s.grid("BCacheGrid").cell(1, 2).toDouble(), consistentBefore.toDouble());

    // An edited script runs as edited, and the simulated instance answers it truly.
    s.widget<QPlainTextEdit>("DDictmem")
        .setPlainText(QStringLiteral("select parameter, sum(getmisses), sum(gets)\nfrom v$rowcache\nwhere gets > 0\n"
                                     "group by parameter\norder by 3 desc"));
    s.click("sgahitbut");
    ASSERT_EQ(s.sink().errors, QStringList());
    const QStringList used = column("DDictGrid", 2);
    EXPECT_LT(used.size(), parameters);
    EXPECT_FALSE(used.contains(QStringLiteral("0")));
    EXPECT_GE(used.first().toDouble(), used.last().toDouble());
}
