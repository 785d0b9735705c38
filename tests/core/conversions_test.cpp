#include "core/conversions.h"
#include "db/error.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tavimond;

TEST(Conversions, LenientReadsWhatItCanAndNeverFails)
{
    // A digit that would overflow ends the reading.
    // clang-format off
    const std::pair<const char *, qint64> cases[] = {
        {"", 0}, {"12.7", 12}, {"abc", 0}, {"  -42x", -42}, {"+7", 7}, {"1.5E+10", 1}, {"$ff", 255}, {"0x1F", 31},
        {"-X10", -16}, {"9223372036854775807", std::numeric_limits<qint64>::max()},
        {"92233720368547758079", std::numeric_limits<qint64>::max()}, {"99999999999999999999", 999999999999999999LL}};
    // clang-format on
    for (const auto &[text, value] : cases)
        EXPECT_EQ(lenientToInt64(QLatin1String(text)), value) << text;
}

TEST(Conversions, StrictIntTakesSignedDecimalIntegersWithLeadingBlanksAndNothingElse)
{
    // clang-format off
    const std::pair<const char *, int> good[] = {{"30", 30}, {"  45", 45}, {"\t7", 7}, {"+12", 12}, {"-0", 0},
        {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", std::numeric_limits<int>::min()}};
    // clang-format on
    for (const auto &[text, value] : good)
        EXPECT_EQ(strictToInt(QLatin1String(text)), value) << text;
    for (const char *bad : {"abc", "", " 12 ", " ", "+", "-", "1.5", "12a", "1e3", "0x10", "$10", "1 2", "--1",
                            "2147483648", "-2147483649", "99999999999999999999999"}) {
        try {
            strictToInt(QLatin1String(bad));
            ADD_FAILURE() << bad;
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(bad)));
        }
    }
    // Digits of other scripts are not decimal digits here.
    EXPECT_THROW(strictToInt(QStringLiteral("\u0663")), Error);
}

TEST(Conversions, StrictFloatAndChartValues)
{
    EXPECT_DOUBLE_EQ(strictToFloat(" 1234.5 "), 1234.5);
    EXPECT_DOUBLE_EQ(strictToFloat("-.5e2"), -50);
    EXPECT_THROW(strictToFloat("1,5"), Error);
    EXPECT_THROW(strictToFloat(QString()), Error);
    EXPECT_DOUBLE_EQ(chartValue("4294967296"), 4294967296.0);
    EXPECT_THROW(chartValue("n/a"), Error);

    // Decimals come out exactly as the general conversion reads them, to the last bit,
    // short or long, with or without the leading zero.
    QStringList texts = QString("0.1 .5 -0.0012 1. -12.5000 123456789.123456 9999999999999.99 0.000000000000001 "
                                "12345678901234.567 -0.0")
                            .split(' ');
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

    // Sorting reads the longest numeric prefix.
    const std::pair<const char *, double> sorts[] = {
        {"", 0}, {" -2.5e1xyz", -25}, {"12,5", 12}, {"junk", 0}, {"7e", 7}};
    for (const auto &[text, value] : sorts)
        EXPECT_EQ(sortValue(QLatin1String(text)), value) << text;
}

TEST(Conversions, TallyDeltaIsExactForWholeNumbersAndDecimals)
{
    // Text that is no number is read leniently, as before; the difference wraps instead of overflowing.
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"15", "10", "5"},       {"40", "100", "-60"},  {"9007199254740993", "1", "9007199254740992"},
        {"14.1", "12.9", "1.2"}, {"12.9", "12.9", "0"}, {"2.0E+10", "1.5E+10", "5000000000"},
        {"0.5", "", "0.5"},      {"12abc", "2", "10"},  {"-9223372036854775807", "2", "9223372036854775807"}};
    for (const auto &[now, before, delta] : cases)
        EXPECT_EQ(tallyDelta(QLatin1String(now), QLatin1String(before)), QLatin1String(delta)) << now << " " << before;
    EXPECT_LT(compareNumberTexts("0.95", "1.2"), 0);
    EXPECT_GT(compareNumberTexts("9007199254740993", "9007199254740992"), 0);
}

TEST(Conversions, SqlQuoteDoublesEveryInnerQuote)
{
    EXPECT_EQ(sqlQuote("O'BRIEN"), "'O''BRIEN'");
    EXPECT_EQ(sqlQuote("''"), "''''''");
    EXPECT_EQ(sqlQuote(QString()), "''");
    EXPECT_EQ(sqlQuote("b1c2qtprbwmd3"), "'b1c2qtprbwmd3'");
}
