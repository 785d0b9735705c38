// The SGA hit ratios screen against the simulated instance.
#include "live/sga_screen.h"
#include "common/screen_support.h"

#include "db/sim/server.h"

using namespace tavimond;

namespace {

using Rows = QList<QStringList>;
const Rows kLibrary{{"SQL AREA", "10", "90", "20", "80", "0", "0"}};

class SgaScreenTest : public ::testing::Test {
protected:
    // What the three scripts find, whatever their select lists.
    void caches(const Rows &dictionary, const Rows &library, const Rows &buffers)
    {
        s.sim.setRows("v$rowcache", {"PARAMETER", "SUM(GETMISSES)", "SUM(GETS)"}, dictionary);
        s.sim.setRows("v$librarycache",
                      {"NAMESPACE", "GETS", "GETHITRATIO", "PINS", "PINHITRATIO", "RELOADS", "INVALIDATIONS"}, library);
        s.sim.setRows("v$sysstat", {"NAME", "VALUE"}, buffers);
    }
    // Retrieves and gives the errors it raised.
    QStringList retrieve()
    {
        s.sink().clear();
        s.click("sgahitbut");
        return s.sink().errors;
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

TEST_F(SgaScreenTest, EachRatioFromItsRowsAndAZeroDivisorOrATextThatIsNoNumberEndsTheRetrieveAtThatStep)
{
    const Rows buffers{{"db block gets", "10"}, {"consistent gets", "90"}, {"physical reads", "10"}};
    // A decimal comma is not a number here: the library step ends, the dictionary's is done.
    caches({{"dc_objects", "5", "100"}}, {{"SQL AREA", "10", "90,5", "20", "80", "0", "0"}}, buffers);
    EXPECT_EQ(retrieve(), QStringList{QStringLiteral("'90,5' is not a valid floating point value")});
    EXPECT_EQ(s.label("DDHRLabel"), QStringLiteral("Data Dictionary Hit Ratio:(95)"));
    EXPECT_EQ(s.label("LCHRLabel"), QStringLiteral("Library Cache"));
    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache"));

    caches({{"dc_objects", "5", "100"}}, kLibrary, buffers);
    ASSERT_EQ(retrieve(), QStringList());
    const QString dictLabel = s.label("DDHRLabel"), libLabel = s.label("LCHRLabel"), bufLabel = s.label("BCHRLabel");

    // No dictionary rows: the header row alone, the error, and nothing after it runs.
    caches({}, kLibrary, buffers);
    s.sim.server.clearStatements();
    EXPECT_EQ(retrieve(), QStringList{QStringLiteral("Invalid floating point operation")});
    EXPECT_EQ(s.grid("DDictGrid").rowCount(), 1);
    EXPECT_EQ(s.label("DDHRLabel"), dictLabel);
    EXPECT_EQ(s.label("LCHRLabel"), libLabel);
    EXPECT_EQ(s.sim.server.statements().size(), 1);

    // Misses without gets in every row: a division of a number by zero.
    caches({{"dc_objects", "3", "0"}}, kLibrary, buffers);
    EXPECT_EQ(retrieve(), QStringList{QStringLiteral("Floating point division by zero")});
    EXPECT_EQ(column("DDictGrid", 3), QStringList{"0"});

    // Libraries without rows, and buffer statistics that are all missing.
    caches({{"dc_objects", "5", "100"}}, {}, buffers);
    EXPECT_EQ(retrieve(), QStringList{QStringLiteral("Invalid floating point operation")});
    EXPECT_EQ(s.label("LCHRLabel"), libLabel);
    caches({{"dc_objects", "5", "100"}}, kLibrary, {{"physical reads", "7"}});
    EXPECT_EQ(retrieve(), QStringList{QStringLiteral("Floating point division by zero")});
    EXPECT_EQ(s.label("BCHRLabel"), bufLabel);
    for (const char *l : {"DDHRLabel", "LCHRLabel", "BCHRLabel"}) {
        EXPECT_FALSE(s.label(l).contains(QLatin1String("inf"), Qt::CaseInsensitive)) << l;
        EXPECT_FALSE(s.label(l).contains(QLatin1String("nan"), Qt::CaseInsensitive)) << l;
    }

    // Each ratio from rows of known figures.
    caches({{"dc_objects", "5", "100"},
            {"dc_users", "0", "50"},
            {"dc_free_extents", "0", "0"},
            {"dc_segments", "45", "50"},
            {"dc_histogram_defs", "1", "3"}},
           // Weighted by gets the get ratio would be about 95.25; rounding half up would give 95.13.
           {{"SQL AREA", "1000000", "95.25", "5000000", "99.99", "12", "3"},
            {"DIRECTORY", "10", "95", "10", "100", "0", "0"}},
           {{"session logical reads", "10000"},
            {"db block gets", "5000"},
            {"db block gets", "400"}, // a later row of a name replaces an earlier one
            {"consistent gets", "9600"},
            {"physical reads", "150"}});
    ASSERT_EQ(retrieve(), QStringList());

    EXPECT_EQ(column("DDictGrid", 0),
              (QStringList{"dc_objects", "dc_users", "dc_free_extents", "dc_segments", "dc_histogram_defs"}));
    // No misses with gets is a full hit; only a parameter without gets shows 0. Row ratios are not rounded.
    EXPECT_EQ(column("DDictGrid", 3), (QStringList{"95", "100", "0", "10", "66.6666666666667"}));
    // 51 misses in 203 gets, not the mean of the rows' ratios.
    EXPECT_EQ(s.label("DDHRLabel"), QStringLiteral("Data Dictionary Hit Ratio:(74.88)"));
    EXPECT_EQ(s.grid("DDictGrid").rowCount(), 6); // trimmed: no spare row

    EXPECT_EQ(s.label("LCHRLabel"), QStringLiteral("Library Cache Hit Ratio (Get:95.12 Pin:100)"));
    EXPECT_EQ(test::rowsOf(s.grid("LCacheGrid")).value(0),
              (QStringList{"SQL AREA", "1000000", "95.25", "5000000", "99.99", "12", "3"}));

    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache Hit Ratio:(98.5)"));
    EXPECT_EQ(column("BCacheGrid", 0), (QStringList{"session logical reads", "db block gets", "db block gets",
                                                    "consistent gets", "physical reads"}));
    // A missing statistic counts as zero.
    caches({{"dc_objects", "5", "100"}}, kLibrary, {{"db block gets", "400"}, {"consistent gets", "9600"}});
    ASSERT_EQ(retrieve(), QStringList());
    EXPECT_EQ(s.label("BCHRLabel"), QStringLiteral("Buffer Cache Hit Ratio:(100)"));
}

TEST_F(SgaScreenTest, RetrieveRunsTheEditedScriptsAndReplacesTheRows)
{
    // The standard simulated instance: its own v$ views.
    ASSERT_EQ(retrieve(), QStringList());
    const auto lines = [](const QStringList &l) { return l.join(QLatin1Char('\n')); };
    EXPECT_EQ(s.sim.server.statements(),
              (QStringList{lines({"SELECT ", "   Parameter,SUM(getmisses), SUM(gets)", "FROM", "   v$rowcache",
                                  "group by parameter"}),
                           lines({"select", "   namespace, ", "   gets, ", "   gethitratio*100 gethitratio,",
                                  "   pins, ", "   pinhitratio*100 pinhitratio,", "   reloads,", "   invalidations ",
                                  "from ", "   v$librarycache"}),
                           lines({"SELECT name,value from v$sysstat where", "name in ", "('db block gets',",
                                  "'consistent gets',", "'physical reads')"})}));

    const int parameters = s.grid("DDictGrid").rowCount() - 1;
    EXPECT_GE(parameters, 24);
    EXPECT_EQ(column("BCacheGrid", 0), (QStringList{"db block gets", "consistent gets", "physical reads"}));

    // Again: the grids hold this retrieve's rows only.
    ASSERT_EQ(retrieve(), QStringList());
    EXPECT_EQ(s.grid("DDictGrid").rowCount() - 1, parameters);
    EXPECT_EQ(s.grid("BCacheGrid").rowCount(), 4);

    // An edited script runs as edited, and the simulated instance answers it truly.
    s.memo("DDictmem")
        .setPlainText("select parameter, sum(getmisses), sum(gets)\nfrom v$rowcache\nwhere gets > 0\n"
                      "group by parameter\norder by 3 desc");
    ASSERT_EQ(retrieve(), QStringList());
    const QStringList used = column("DDictGrid", 2);
    EXPECT_LT(used.size(), parameters);
    EXPECT_FALSE(used.contains(QStringLiteral("0")));
    EXPECT_GE(used.first().toDouble(), used.last().toDouble());
}
