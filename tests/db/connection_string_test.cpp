#include "db/connection_string.h"
#include "db/odbc/odbc_session.h"

#include <gtest/gtest.h>

using namespace tavimond;

TEST(ConnectionString, TextIsThePrefixFollowedByTheThreeTypedValues)
{
    ConnectionString cs{QStringLiteral("Provider=Simulated;"), std::nullopt};
    EXPECT_EQ(cs.text(), QStringLiteral("Provider=Simulated;"));
    cs.logon = Logon{QStringLiteral("scott"), QStringLiteral("ti;ger"), QStringLiteral("TAVIDB")};
    // The text the user sees holds the values exactly as typed.
    EXPECT_EQ(cs.text(), QStringLiteral("Provider=Simulated;User ID=scott;Password=ti;ger;Data Source=TAVIDB;"));
    EXPECT_TRUE(cs.isSimulated());
}

TEST(ConnectionString, PrefixAttributesHonourBracesAndIgnoreFragments)
{
    const ConnectionString cs{QStringLiteral("Driver={Oracle 19 ODBC; driver};junk;Timeout=5;X={a}}b};"), std::nullopt};
    const auto attrs = cs.prefixAttributes();
    ASSERT_EQ(attrs.size(), 3);
    EXPECT_EQ(attrs[0].first, QStringLiteral("Driver"));
    EXPECT_EQ(attrs[0].second, QStringLiteral("Oracle 19 ODBC; driver"));
    EXPECT_EQ(attrs[1].second, QStringLiteral("5"));
    EXPECT_EQ(attrs[2].second, QStringLiteral("a}b"));
    EXPECT_EQ(cs.attribute(QStringLiteral("timeout")), QStringLiteral("5"));
    EXPECT_FALSE(cs.isSimulated());
}

TEST(ConnectionString, OdbcStringBracesValuesThatWouldBreakIt)
{
    EXPECT_EQ(odbcValue(QStringLiteral("tiger")), QStringLiteral("tiger"));
    EXPECT_EQ(odbcValue(QStringLiteral("ti;ger")), QStringLiteral("{ti;ger}"));
    EXPECT_EQ(odbcValue(QStringLiteral("a}b")), QStringLiteral("{a}}b}"));
    EXPECT_EQ(odbcValue(QStringLiteral(" pad")), QStringLiteral("{ pad}"));

    ConnectionString cs{QStringLiteral("Provider=OraOLEDB;Driver=Oracle ODBC;Option=1;"),
                        Logon{QStringLiteral("scott"), QStringLiteral("p;PWD=x"), QStringLiteral("host:1521/ORCL")}};
    // Provider is an OLE DB notion and is dropped; a password cannot add attributes.
    EXPECT_EQ(odbc::driverConnectString(cs),
              QStringLiteral("Driver={Oracle ODBC};Option=1;UID=scott;PWD={p;PWD=x};DBQ=host:1521/ORCL;"));
}

TEST(ConnectionString, NumbersReadWithAPointWhateverTheClientSettings)
{
    EXPECT_EQ(odbc::normaliseNumber(QStringLiteral("1234,5")), QStringLiteral("1234.5"));
    EXPECT_EQ(odbc::normaliseNumber(QStringLiteral("-0,25")), QStringLiteral("-0.25"));
    EXPECT_EQ(odbc::normaliseNumber(QStringLiteral("1234.5")), QStringLiteral("1234.5"));
    EXPECT_EQ(odbc::normaliseNumber(QStringLiteral("42")), QStringLiteral("42"));
}
