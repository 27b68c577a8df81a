#include "platform/FileBits.h"
#include "RemoteTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(LayoutEditor, ShiftClicksMeasureARectangleBoxByBox) {
    RemoteRig rig;
    LayoutEditor &e = rig.editor;
    const auto shiftPress = [&](double yp, double xp, Qt::MouseButton button = Qt::LeftButton) {
        rig.press(yp, xp, button, Qt::ShiftModifier);
    };
    // Anywhere, top edge, bottom edge, left edge, right edge, anywhere.
    shiftPress(90, 90);
    EXPECT_EQ(e.EditIndex, 0);
    EXPECT_EQ(e.boxColour(0), LayoutEditor::Green);
    shiftPress(12, 70);
    shiftPress(19, 70);
    shiftPress(50, 33);
    EXPECT_EQ(e.ButtonLocations[4], "12, 19, 33, , ");
    shiftPress(50, 61);
    EXPECT_EQ(e.EditIndex, 4);
    shiftPress(3, 3);
    EXPECT_EQ(e.ButtonLocations, (std::array<QString, 5>{"12", "19", "33", "61", "12, 19, 33, 61, "}));
    EXPECT_EQ(e.EditIndex, -1);
    EXPECT_EQ(e.GreenBox, -1);
    EXPECT_TRUE(rig.sent.isEmpty());
    EXPECT_EQ(rig.control->aid().geometry(), QRectF(66, 60, 56, 35));

    // Backwards: box 0 written, then the last box is next; from no box at all, too.
    e.FocusBox(0);
    shiftPress(40, 40, Qt::RightButton);
    EXPECT_EQ(e.ButtonLocations[0], "40");
    EXPECT_EQ(e.EditIndex, 4);
    EXPECT_EQ(e.GreenBox, 4);
    rig.press(50, 50); // a plain click chooses no box and greens the summary
    EXPECT_EQ(e.EditIndex, -1);
    EXPECT_EQ(e.GreenBox, 4);
    shiftPress(40, 40, Qt::RightButton);
    EXPECT_EQ(e.EditIndex, 4);
    shiftPress(40, 77, Qt::RightButton);
    EXPECT_EQ(e.EditIndex, 3);
    EXPECT_EQ(e.ButtonLocations[4], "40, 19, 33, 61, "); // the summary is rewritten after the capture

    // Up and Down step the number and never go negative.
    e.ButtonLocations = {"0", "5", "abc", " -3.5", ""};
    e.ArrowKey(0, true);
    e.ArrowKey(1, false);
    e.ArrowKey(2, true);
    e.ArrowKey(3, false);
    EXPECT_EQ(e.ButtonLocations[0], "1");
    EXPECT_EQ(e.ButtonLocations[1], "6");
    EXPECT_EQ(e.ButtonLocations[2], "1");
    EXPECT_EQ(e.ButtonLocations[3], "2.5");
}

TEST(LayoutEditor, SetAndSaveWriteWhatReloadsExactly) {
    RemoteRig rig;
    LayoutEditor &e = rig.editor;
    const QDir program(rig.dir.path());
    ASSERT_TRUE(FileBits::WriteWholeFile(program.filePath("remote1.txt"), "# Top,Bottom,Left,Right,Function\r\n\r\n"));
    rig.control->LoadLayout("remote1");
    ASSERT_EQ(rig.layout.RemoteButtons, (std::vector<RemoteButton>{RemoteButton{}}));

    // A new command goes after the placeholder; a box without a number keeps the edge at 0.
    e.ButtonLocations = {"5", "9", "x", "30", ""};
    EXPECT_TRUE(e.SetButton_Click(rig.layout, "VOLp"));
    e.ButtonLocations = {"1", "2", "3", "4", ""};
    EXPECT_TRUE(e.SetButton_Click(rig.layout, "OK"));
    EXPECT_TRUE(e.SetButton_Click(rig.layout, "MESSAGE Hello"));
    rig.layout.RemoteButtons.push_back({7, 7, 7, 7, "OK"});
    // A command twice in the layout: only the earlier record changes; an edge that is not a
    // number or does not fit stays as it was.
    e.ButtonLocations = {"11", "", "40000", "14", ""};
    EXPECT_TRUE(e.SetButton_Click(rig.layout, "OK"));
    EXPECT_EQ(e.StatusText, "Set OK: 11, 02, 03, 14");
    const std::vector<RemoteButton> expected{
        {}, {5, 9, 0, 30, "VOLp"}, {11, 2, 3, 14, "OK"}, {1, 2, 3, 4, "MESSAGE Hello"}, {7, 7, 7, 7, "OK"}};
    EXPECT_EQ(rig.layout.RemoteButtons, expected);

    // Commands the file could not bring back unchanged are refused and the table stays.
    for (const QString &command : {QStringLiteral("MESSAGE Hello, world"), QStringLiteral(" POWER"),
                                   QStringLiteral("POWER "), QString(), QStringLiteral("MESSAGE \u20ac")}) {
        EXPECT_FALSE(e.SetButton_Click(rig.layout, command)) << qPrintable(command);
        EXPECT_TRUE(e.StatusText.startsWith("Not set: ")) << qPrintable(e.StatusText);
    }
    EXPECT_EQ(rig.layout.RemoteButtons, expected);

    EXPECT_TRUE(e.UpdateButtons_Click(rig.layout, rig.settings, nullptr));
    EXPECT_EQ(e.StatusText, "Saved remote1");
    EXPECT_EQ(FileBits::ReadWholeFile(program.filePath("remote1.txt")),
              "# Top,Bottom,Left,Right,Function\r\n\r\n00, 00, 00, 00, \r\n05, 09, 00, 30, VOLp\r\n"
              "11, 02, 03, 14, OK\r\n01, 02, 03, 04, MESSAGE Hello\r\n07, 07, 07, 07, OK\r\n");
    rig.layout.RemoteButtons.clear();
    rig.control->LoadLayout("remote1");
    EXPECT_EQ(rig.layout.RemoteButtons, expected);

    // No current layout: Save writes nothing, in particular no ".txt" beside the program folder.
    rig.layout.CurrentRemote.clear();
    EXPECT_FALSE(e.UpdateButtons_Click(rig.layout, rig.settings, nullptr));
    EXPECT_FALSE(QFileInfo::exists(rig.dir.path() + ".txt"));
}
