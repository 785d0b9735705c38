#include "core/conversions.h"
#include "db/error.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

QString failureOf(const QString &text)
{
    try {
        strictToInt(text);
    } catch (const Error &e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST(StrictToInt, TakesSignedDecimalIntegersWithLeadingBlanks)
{
    EXPECT_EQ(strictToInt(QStringLiteral("30")), 30);
    EXPECT_EQ(strictToInt(QStringLiteral("  45")), 45);
    EXPECT_EQ(strictToInt(QStringLiteral("\t7")), 7);
    EXPECT_EQ(strictToInt(QStringLiteral("+12")), 12);
    EXPECT_EQ(strictToInt(QStringLiteral("-0")), 0);
    EXPECT_EQ(strictToInt(QStringLiteral("007")), 7);
    EXPECT_EQ(strictToInt(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(strictToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
}

TEST(StrictToInt, AnythingElseIsNotAValidIntegerValue)
{
    EXPECT_EQ(failureOf(QStringLiteral("abc")), QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_EQ(failureOf(QString()), QStringLiteral("'' is not a valid integer value"));
    EXPECT_EQ(failureOf(QStringLiteral(" 12 ")), QStringLiteral("' 12 ' is not a valid integer value"));
    for (const char *bad : {" ", "+", "-", "1.5", "12a", "1e3", "0x10", "$10", "1 2", "--1", "2147483648",
                            "-2147483649", "99999999999999999999999"})
        EXPECT_EQ(failureOf(QLatin1String(bad)),
                  QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(bad)))
            << bad;
    // Digits of other scripts are not decimal digits here.
    EXPECT_NE(failureOf(QStringLiteral("\u0663")), QStringLiteral("(no error)"));
}
