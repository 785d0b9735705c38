#include "db/connection_string.h"
#include "db/odbc/odbc_session.h"

#include <gtest/gtest.h>

using namespace tavimond;

TEST(ConnectionString, TextIsThePrefixAndTheTypedValuesAndPrefixAttributesHonourBraces)
{
    ConnectionString cs{"Provider=Simulated;", std::nullopt};
    EXPECT_EQ(cs.text(), "Provider=Simulated;");
    cs.logon = Logon{"scott", "ti;ger", "TAVIDB"};
    // The text the user sees holds the values exactly as typed.
    EXPECT_EQ(cs.text(), "Provider=Simulated;User ID=scott;Password=ti;ger;Data Source=TAVIDB;");
    EXPECT_TRUE(cs.isSimulated());

    const ConnectionString prefix{"Driver={Oracle 19 ODBC; driver};junk;Timeout=5;X={a}}b};", std::nullopt};
    const auto attrs = prefix.prefixAttributes();
    ASSERT_EQ(attrs.size(), 3);
    EXPECT_EQ(attrs[0].first, "Driver");
    EXPECT_EQ(attrs[0].second, "Oracle 19 ODBC; driver");
    EXPECT_EQ(attrs[1].second, "5");
    EXPECT_EQ(attrs[2].second, "a}b");
    EXPECT_EQ(prefix.attribute("timeout"), "5");
    EXPECT_FALSE(prefix.isSimulated());
}

TEST(ConnectionString, OdbcStringBracesValuesThatWouldBreakItAndNumbersReadWithAPoint)
{
    EXPECT_EQ(odbcValue("tiger"), "tiger");
    EXPECT_EQ(odbcValue("ti;ger"), "{ti;ger}");
    EXPECT_EQ(odbcValue("a}b"), "{a}}b}");
    EXPECT_EQ(odbcValue(" pad"), "{ pad}");

    ConnectionString cs{"Provider=OraOLEDB;Driver=Oracle ODBC;Option=1;", Logon{"scott", "p;PWD=x", "host:1521/ORCL"}};
    // Provider is an OLE DB notion and is dropped; a password cannot add attributes.
    EXPECT_EQ(odbc::driverConnectString(cs),
              "Driver={Oracle ODBC};Option=1;UID=scott;PWD={p;PWD=x};DBQ=host:1521/ORCL;");

    EXPECT_EQ(odbc::normaliseNumber("1234,5"), "1234.5");
    EXPECT_EQ(odbc::normaliseNumber("-0,25"), "-0.25");
    EXPECT_EQ(odbc::normaliseNumber("1234.5"), "1234.5");
    EXPECT_EQ(odbc::normaliseNumber("42"), "42");
}
