#include "core/float_arithmetic.h"
#include "db/error.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace tavimond;

TEST(FloatArithmetic, AFigureHasFifteenDigitsAPointWhateverTheLocaleAndNoExponentAndRoundsHalfToEven)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatFloat(95.5), "95.5");
    QLocale::setDefault(before);
    EXPECT_EQ(formatFloat(100), "100");
    EXPECT_EQ(formatFloat(-0.0), "0");
    EXPECT_EQ(formatFloat(1.0 / 3.0 * 100), "33.3333333333333");
    // Binary noise beyond fifteen digits does not show.
    EXPECT_EQ(formatFloat(9512 * 0.01), "95.12");
    EXPECT_EQ(formatFloat((1 - 5.0 / 100) * 100), "95");
    // Never an exponent: a small figure with its zeros, a huge one with its digits.
    EXPECT_EQ(formatFloat(0.000168 - 0.000084), "0.000084");
    EXPECT_EQ(formatFloat(-1.25e-7), "-0.000000125");
    EXPECT_EQ(formatFloat(1e-17), "0");
    EXPECT_EQ(formatFloat(-1.5e20), "-150000000000000000000");
    EXPECT_EQ(formatFloat(123456789012345678.0), "123456789012346000");

    const std::tuple<double, int, const char *> rounded[] = {
        {95.125, 2, "95.12"}, {95.375, 2, "95.38"},  {12.345, 2, "12.34"}, {99.995, 2, "100"},
        {-0.125, 2, "-0.12"}, {97.4367, 2, "97.44"}, {2.5, 0, "2"},        {3.5, 0, "4"}};
    for (const auto &[value, places, text] : rounded)
        EXPECT_EQ(formatFloat(roundHalfEven(value, places)), QLatin1String(text)) << value;
}

TEST(FloatArithmetic, AZeroDivisorRaisesInsteadOfGivingInfinity)
{
    EXPECT_DOUBLE_EQ(divideFloat(5, 100), 0.05);
    for (const auto &[dividend, message] :
         {std::pair{0.0, "Invalid floating point operation"}, std::pair{-3.0, "Floating point division by zero"}}) {
        try {
            divideFloat(dividend, 0);
            ADD_FAILURE() << dividend << " / 0 gave a number";
        } catch (const Error &e) {
            EXPECT_EQ(e.message(), QLatin1String(message));
        }
    }
}
