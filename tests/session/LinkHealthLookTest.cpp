#include "session/LinkHealthLook.h"

#include <gtest/gtest.h>

// The words stay readable (4.5:1 at least) on light, dark and in-between backgrounds, and the
// three states keep three different marks.
TEST(LinkHealthLook, WordsKeepTheirContrastOnEveryPalette) {
    const QColor backgrounds[] = {Qt::white,
                                  QColor(0xef, 0xef, 0xef), // Fusion's light window
                                  QColor(0xd4, 0xd0, 0xc8), // an old grey theme
                                  QColor(0x80, 0x80, 0x80), // mid grey: neither shade is enough
                                  QColor(0x5a, 0x5a, 0x5a),
                                  QColor(0x31, 0x36, 0x3b), // a dark theme
                                  QColor(0x1e, 0x1e, 0x1e),
                                  Qt::black,
                                  QColor(0x30, 0x40, 0x80)}; // a coloured one
    for (const QColor &background : backgrounds) {
        for (const LinkHealth health : {LinkHealth::NotYetAnswered, LinkHealth::Answers, LinkHealth::Offline}) {
            const LinkHealthColours colours = LinkHealthColoursOn(health, background);
            EXPECT_GE(ContrastRatio(colours.words, background), 4.5)
                << background.name().toStdString() << ' ' << int(health);
        }
    }
    const QColor white(Qt::white);
    EXPECT_NE(LinkHealthColoursOn(LinkHealth::Answers, white).mark,
              LinkHealthColoursOn(LinkHealth::Offline, white).mark);
    EXPECT_NE(LinkHealthColoursOn(LinkHealth::Answers, white).mark,
              LinkHealthColoursOn(LinkHealth::NotYetAnswered, white).mark);
    // On a light window the words are the dark shade of their colour, not black.
    EXPECT_NE(LinkHealthColoursOn(LinkHealth::Offline, white).words, QColor(Qt::black));
}
