#include "core/float_arithmetic.h"
#include "db/error.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace tavimond;

TEST(FloatArithmetic, GeneralFormHasFifteenDigitsAndAPointWhateverTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatFloat(95.5), QStringLiteral("95.5"));
    QLocale::setDefault(before);
    EXPECT_EQ(formatFloat(100), QStringLiteral("100"));
    EXPECT_EQ(formatFloat(-0.0), QStringLiteral("0"));
    EXPECT_EQ(formatFloat(1.0 / 3.0 * 100), QStringLiteral("33.3333333333333"));
    // Binary noise beyond fifteen digits does not show.
    EXPECT_EQ(formatFloat(9512 * 0.01), QStringLiteral("95.12"));
    EXPECT_EQ(formatFloat((1 - 5.0 / 100) * 100), QStringLiteral("95"));
}

TEST(FloatArithmetic, RoundingGoesHalfToEven)
{
    EXPECT_EQ(formatFloat(roundHalfEven(95.125, 2)), QStringLiteral("95.12"));
    EXPECT_EQ(formatFloat(roundHalfEven(95.375, 2)), QStringLiteral("95.38"));
    EXPECT_EQ(formatFloat(roundHalfEven(12.345, 2)), QStringLiteral("12.34"));
    EXPECT_EQ(formatFloat(roundHalfEven(99.995, 2)), QStringLiteral("100"));
    EXPECT_EQ(formatFloat(roundHalfEven(-0.125, 2)), QStringLiteral("-0.12"));
    EXPECT_EQ(formatFloat(roundHalfEven(97.4367, 2)), QStringLiteral("97.44"));
    EXPECT_EQ(formatFloat(roundHalfEven(2.5, 0)), QStringLiteral("2"));
    EXPECT_EQ(formatFloat(roundHalfEven(3.5, 0)), QStringLiteral("4"));
}

TEST(FloatArithmetic, AZeroDivisorRaisesInsteadOfGivingInfinity)
{
    EXPECT_DOUBLE_EQ(divideFloat(5, 100), 0.05);
    try {
        divideFloat(0, 0);
        FAIL() << "0 / 0 gave a number";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid floating point operation"));
    }
    try {
        divideFloat(-3, 0);
        FAIL() << "-3 / 0 gave a number";
    } catch (const Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Floating point division by zero"));
    }
}
