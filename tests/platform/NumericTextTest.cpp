#include "platform/NumericText.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace NumericText;

TEST(NumericText, ValTakesTheLongestLeadingNumber) {
    const std::pair<QString, double> cases[] = {
        {"12abc", 12}, {"   42", 42}, {"\t-2.5x", -2.5},
        {"+7", 7},     {".5", 0.5},   {"1.2.3", 1.2},
        {"abc", 0},    {"", 0},       {"-", 0},
        {".", 0},      {"x12", 0},    {QString(5000, u'9'), 0}}; // beyond a double: no number, no crash
    for (const auto &[text, value] : cases) {
        EXPECT_EQ(Val(text), value) << text.left(20).toStdString();
    }
}

TEST(NumericText, Int16RoundsHalvesToEvenAndKeepsTargetOnOverflow) {
    // Text, whether it fits, the target afterwards (10 before).
    const std::tuple<QString, bool, int> cases[] = {
        {"2.5", true, 2},         {"3.5", true, 4},         {"-2.5", true, -2},     {"2.51", true, 3},
        {"q", true, 0},           {"40000", false, 10},     {"32767.5", false, 10}, // rounds to 32768
        {"-32768", true, -32768}, {"32767.4", true, 32767}, {"-32768.6", false, 10}};
    for (const auto &[text, fits, value] : cases) {
        qint16 v = 10;
        EXPECT_EQ(ValToInt16(text, v), fits) << text.toStdString();
        EXPECT_EQ(v, value) << text.toStdString();
    }
    EXPECT_EQ(Int16Of(QStringLiteral("99999"), 7), 7);
}

TEST(NumericText, SingleTextIsShortWithSevenSignificantDigits) {
    const std::pair<float, QString> cases[] = {
        {120.0f, "120"}, {1400.0f / 15.0f, "93.33334"}, {0.5f, "0.5"}, {-3.0f, "-3"}, {0.0f, "0"}, {-0.0f, "0"}};
    for (const auto &[value, text] : cases) {
        EXPECT_EQ(SingleText(value), text) << text.toStdString();
    }
}
