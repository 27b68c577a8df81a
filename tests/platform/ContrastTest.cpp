#include "platform/Contrast.h"

#include <gtest/gtest.h>

// The ratio as the accessibility guidelines compute it, and colours moved just far enough to
// reach it, towards black on light backgrounds and towards white on dark ones.
TEST(Contrast, RatiosAndReadableColours) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::white), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor(118, 118, 118), Qt::white), 4.54, 0.01);
    EXPECT_EQ(ContrastRatio(Qt::red, Qt::blue), ContrastRatio(Qt::blue, Qt::red));

    const QColor lightGrey(239, 239, 239), faint(190, 190, 190);
    const QColor readable = ReadableOn(faint, lightGrey);
    EXPECT_GE(ContrastRatio(readable, lightGrey), 4.5);
    EXPECT_LT(ContrastRatio(readable, lightGrey), 4.7); // no darker than it takes
    EXPECT_LT(readable.lightness(), faint.lightness());

    const QColor darkGrey(42, 42, 42), dim(90, 90, 90);
    EXPECT_GE(ContrastRatio(ReadableOn(dim, darkGrey), darkGrey), 4.5);
    EXPECT_GT(ReadableOn(dim, darkGrey).lightness(), dim.lightness());
    // A colour that reads already stays.
    EXPECT_EQ(ReadableOn(Qt::black, lightGrey), QColor(Qt::black));

    // Disabled texts of a light and a dark palette.
    for (const auto &[window, text] :
         {std::pair{QColor(239, 239, 239), QColor(190, 190, 190)}, std::pair{QColor(35, 38, 41), QColor(80, 80, 80)}}) {
        QPalette palette;
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button}) {
            palette.setColor(QPalette::Disabled, role, window);
        }
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
            palette.setColor(QPalette::Disabled, role, text);
        }
        const QPalette readablePalette = WithReadableDisabledText(palette);
        EXPECT_GE(ContrastRatio(readablePalette.color(QPalette::Disabled, QPalette::Text), window), 4.5);
        EXPECT_GE(ContrastRatio(readablePalette.color(QPalette::Disabled, QPalette::WindowText), window), 4.5);
    }
}
