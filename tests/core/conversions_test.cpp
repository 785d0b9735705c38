#include "core/conversions.h"
#include "db/error.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tavimond;

TEST(Conversions, LenientReadsWhatItCanAndNeverFails)
{
    EXPECT_EQ(lenientToInt64(QString()), 0);
    EXPECT_EQ(lenientToInt64(QStringLiteral("12.7")), 12);
    EXPECT_EQ(lenientToInt64(QStringLiteral("abc")), 0);
    EXPECT_EQ(lenientToInt64(QStringLiteral("  -42x")), -42);
    EXPECT_EQ(lenientToInt64(QStringLiteral("+7")), 7);
    EXPECT_EQ(lenientToInt64(QStringLiteral("1.5E+10")), 1);
    EXPECT_EQ(lenientToInt64(QStringLiteral("$ff")), 255);
    EXPECT_EQ(lenientToInt64(QStringLiteral("0x1F")), 31);
    EXPECT_EQ(lenientToInt64(QStringLiteral("-X10")), -16);
    EXPECT_EQ(lenientToInt64(QStringLiteral("9223372036854775807")), std::numeric_limits<qint64>::max());
    // A digit that would overflow ends the reading.
    EXPECT_EQ(lenientToInt64(QStringLiteral("92233720368547758079")), std::numeric_limits<qint64>::max());
    EXPECT_EQ(lenientToInt64(QStringLiteral("99999999999999999999")), 999999999999999999LL);
}

TEST(Conversions, StrictFloatAndChartValues)
{
    EXPECT_DOUBLE_EQ(strictToFloat(QStringLiteral(" 1234.5 ")), 1234.5);
    EXPECT_DOUBLE_EQ(strictToFloat(QStringLiteral("-.5e2")), -50);
    EXPECT_THROW(strictToFloat(QStringLiteral("1,5")), Error);
    EXPECT_THROW(strictToFloat(QString()), Error);
    EXPECT_DOUBLE_EQ(chartValue(QStringLiteral("4294967296")), 4294967296.0);
    EXPECT_THROW(chartValue(QStringLiteral("n/a")), Error);

    // Decimals come out exactly as the general conversion reads them, to the last bit,
    // short or long, with or without the leading zero.
    QStringList texts{"0.1", ".5", "-0.0012", "1.", "-12.5000", "123456789.123456", "9999999999999.99",
                      "0.000000000000001", "12345678901234.567", "-0.0"};
    for (quint64 m = 7, k = 0; k < 400; ++k, m = m * 6364136223846793005ULL + 1442695040888963407ULL) {
        const QString digits = QString::number(m % 1000000000000000ULL);
        texts << digits.left(int(k % quint64(digits.size()))) + "." + digits.mid(int(k % quint64(digits.size())));
    }
    for (const QString &t : texts) {
        const double expected = t.toDouble();
        const double read = strictToFloat(t);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(&read), 8),
                  QByteArray(reinterpret_cast<const char *>(&expected), 8))
            << t.toStdString();
    }
}

TEST(Conversions, SortValueUsesTheLongestNumericPrefix)
{
    EXPECT_EQ(sortValue(QString()), 0);
    EXPECT_EQ(sortValue(QStringLiteral(" -2.5e1xyz")), -25);
    EXPECT_EQ(sortValue(QStringLiteral("12,5")), 12);
    EXPECT_EQ(sortValue(QStringLiteral("junk")), 0);
    EXPECT_EQ(sortValue(QStringLiteral("7e")), 7);
}

TEST(Conversions, TallyDeltaIsExactForWholeNumbersAndDecimals)
{
    EXPECT_EQ(tallyDelta(QStringLiteral("15"), QStringLiteral("10")), QStringLiteral("5"));
    EXPECT_EQ(tallyDelta(QStringLiteral("40"), QStringLiteral("100")), QStringLiteral("-60"));
    EXPECT_EQ(tallyDelta(QStringLiteral("9007199254740993"), QStringLiteral("1")), QStringLiteral("9007199254740992"));
    EXPECT_EQ(tallyDelta(QStringLiteral("14.1"), QStringLiteral("12.9")), QStringLiteral("1.2"));
    EXPECT_EQ(tallyDelta(QStringLiteral("12.9"), QStringLiteral("12.9")), QStringLiteral("0"));
    EXPECT_EQ(tallyDelta(QStringLiteral("2.0E+10"), QStringLiteral("1.5E+10")), QStringLiteral("5000000000"));
    EXPECT_EQ(tallyDelta(QStringLiteral("0.5"), QString()), QStringLiteral("0.5"));
    // Text that is no number is read leniently, as before.
    EXPECT_EQ(tallyDelta(QStringLiteral("12abc"), QStringLiteral("2")), QStringLiteral("10"));
    // Wraps instead of overflowing.
    EXPECT_EQ(tallyDelta(QStringLiteral("-9223372036854775807"), QStringLiteral("2")),
              QStringLiteral("9223372036854775807"));
    EXPECT_LT(compareNumberTexts(QStringLiteral("0.95"), QStringLiteral("1.2")), 0);
    EXPECT_GT(compareNumberTexts(QStringLiteral("9007199254740993"), QStringLiteral("9007199254740992")), 0);
}

TEST(Conversions, SqlQuoteDoublesEveryInnerQuote)
{
    EXPECT_EQ(sqlQuote(QStringLiteral("O'BRIEN")), QStringLiteral("'O''BRIEN'"));
    EXPECT_EQ(sqlQuote(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(sqlQuote(QString()), QStringLiteral("''"));
    EXPECT_EQ(sqlQuote(QStringLiteral("b1c2qtprbwmd3")), QStringLiteral("'b1c2qtprbwmd3'"));
}
