#include "platform/NumericText.h"

#include <gtest/gtest.h>

using namespace NumericText;

TEST(NumericText, ValTakesTheLongestLeadingNumber) {
    EXPECT_EQ(Val(QStringLiteral("12abc")), 12.0);
    EXPECT_EQ(Val(QStringLiteral("   42")), 42.0);
    EXPECT_EQ(Val(QStringLiteral("\t-2.5x")), -2.5);
    EXPECT_EQ(Val(QStringLiteral("+7")), 7.0);
    EXPECT_EQ(Val(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(Val(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(Val(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(Val(QStringLiteral("")), 0.0);
    EXPECT_EQ(Val(QStringLiteral("-")), 0.0);
    EXPECT_EQ(Val(QStringLiteral(".")), 0.0);
    EXPECT_EQ(Val(QStringLiteral("x12")), 0.0);
    EXPECT_EQ(Val(QString(5000, u'9')), 0.0); // beyond a double: no number, and no crash
}

TEST(NumericText, Int16RoundsHalvesToEvenAndKeepsTargetOnOverflow) {
    qint16 v = 10;
    EXPECT_TRUE(ValToInt16(QStringLiteral("2.5"), v));
    EXPECT_EQ(v, 2);
    EXPECT_TRUE(ValToInt16(QStringLiteral("3.5"), v));
    EXPECT_EQ(v, 4);
    EXPECT_TRUE(ValToInt16(QStringLiteral("-2.5"), v));
    EXPECT_EQ(v, -2);
    EXPECT_TRUE(ValToInt16(QStringLiteral("2.51"), v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(ValToInt16(QStringLiteral("q"), v));
    EXPECT_EQ(v, 0);

    v = 10;
    EXPECT_FALSE(ValToInt16(QStringLiteral("40000"), v));
    EXPECT_EQ(v, 10);
    EXPECT_FALSE(ValToInt16(QStringLiteral("32767.5"), v)); // rounds to 32768
    EXPECT_EQ(v, 10);
    EXPECT_TRUE(ValToInt16(QStringLiteral("-32768"), v));
    EXPECT_EQ(v, -32768);
    EXPECT_TRUE(ValToInt16(QStringLiteral("32767.4"), v));
    EXPECT_EQ(v, 32767);
    EXPECT_EQ(Int16Of(QStringLiteral("99999"), 7), 7);
}

TEST(NumericText, SingleTextIsShortWithSevenSignificantDigits) {
    EXPECT_EQ(SingleText(120.0f), QStringLiteral("120"));
    EXPECT_EQ(SingleText(1400.0f / 15.0f), QStringLiteral("93.33334"));
    EXPECT_EQ(SingleText(0.5f), QStringLiteral("0.5"));
    EXPECT_EQ(SingleText(-3.0f), QStringLiteral("-3"));
    EXPECT_EQ(SingleText(0.0f), QStringLiteral("0"));
    EXPECT_EQ(SingleText(-0.0f), QStringLiteral("0"));
}
