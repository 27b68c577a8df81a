#include "session/LinkHealthLook.h"

#include "session/RadioView.h"

#include <gtest/gtest.h>

// The words each state is shown in, the story the tool tip adds, and the keys still waiting.
TEST(LinkHealthLook, WordsAndToolTipForEachState) {
    RadioView view;
    view.RadioAddress = "127.0.0.1:8080";
    LinkHealthLook look = LinkHealthLookOf(view);
    EXPECT_EQ(look.health, LinkHealth::NotYetAnswered);
    EXPECT_EQ(look.text, "Connecting to 127.0.0.1:8080…");
    view.ConnectProblem = "Cannot reach 127.0.0.1:8080: connection refused. Change it in Radio > Radio Address...";
    EXPECT_EQ(LinkHealthLookOf(view).toolTip, "No answer from the radio at 127.0.0.1:8080 yet. " + view.ConnectProblem);

    view.RadioOffline = true;
    view.OfflineSince = "05:37:29";
    view.OfflineReason = "connection refused";
    look = LinkHealthLookOf(view);
    EXPECT_EQ(look.health, LinkHealth::Offline);
    EXPECT_EQ(look.text, "Radio offline since 05:37:29: connection refused");
    EXPECT_EQ(look.shortText, "Offline");
    EXPECT_EQ(look.toolTip, look.text + ". " + view.ConnectProblem);
    // A radio that opened the connection and said nothing: no connect problem to tell.
    view.ConnectProblem.clear();
    view.OfflineReason.clear();
    view.WaitingCommands = 2;
    look = LinkHealthLookOf(view);
    EXPECT_EQ(look.text, "Radio offline since 05:37:29");
    EXPECT_EQ(look.toolTip,
              "Radio offline since 05:37:29. The radio at 127.0.0.1:8080 does not answer; " + view.waitingText());

    view.RadioOffline = false;
    view.WaitingCommands = 0;
    view.LinkHealth = "Radio answers (last reply 05:38:02)";
    look = LinkHealthLookOf(view);
    EXPECT_EQ(look.health, LinkHealth::Answers);
    EXPECT_EQ(look.text, "Radio answers");
    EXPECT_EQ(look.toolTip, "Radio answers (last reply 05:38:02) at 127.0.0.1:8080");
}

// The words stay readable (4.5:1 at least) on light, dark and in-between backgrounds, and the
// three states keep three different marks.
TEST(LinkHealthLook, WordsKeepTheirContrastOnEveryPalette) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
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
