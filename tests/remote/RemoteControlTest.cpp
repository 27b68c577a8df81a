// The remote window's logic: clicks and keys on the drawn remote, the pointer aid, the editor's
// measuring clicks and dropped layouts.
#include "keyboard/KeyMap.h"
#include "radio_link/LinkHooks.h"
#include "RemoteTestSupport.h"
#include "session/RadioView.h"
#include "settings/Timeouts.h"

TEST(RemoteControl, HitsAreInclusiveFirstRecordWinsAndModifiersDecideWhatIsSent) {
    RemoteRig rig;
    rig.layout.RemoteButtons = {{10, 20, 10, 40, "UP"}, {15, 30, 30, 60, "OK"}, {50, 40, 0, 100, "NEVER"}};
    EXPECT_TRUE(Between(5, 5, 5) && !Between(5, 6, 4));
    EXPECT_EQ((QList<int>{PercentOf(-1, 200), PercentOf(10, 0), PercentOf(1e12, 1)}), (QList<int>{-1, 0, 32767}));
    // Edges are hits; where rectangles overlap the earlier line wins.
    for (const auto &[yp, xp, hit] :
         {std::tuple{10.0, 10.0, "UP"}, std::tuple{20.9, 40.9, "UP"}, std::tuple{17.0, 35.0, "UP"},
          std::tuple{25.0, 35.0, "OK"}, std::tuple{45.0, 50.0, ""}, std::tuple{21.0, 20.0, ""}}) {
        const int found = HitTest(rig.layout.RemoteButtons, PercentOf(yp * 5, 500), PercentOf(xp * 2, 200));
        EXPECT_EQ(found < 0 ? QString() : rig.layout.RemoteButtons[size_t(found)].Function, QString(hit))
            << yp << "," << xp;
    }
    rig.press(12.5, 20.5);
    EXPECT_EQ(rig.sent, QStringList{"UP"});
    EXPECT_EQ(rig.selected, QStringList{"UP"});
    EXPECT_EQ(QStringList({rig.panel(1), rig.panel(2), rig.panel(3)}),
              QStringList({"Y=62.5, X=41", "rC= UP", "Yp=12 Xp=20"}));

    // Right button, or any modifier: nothing is sent, the command is still selected and shown;
    // a keypad key held with the click is no modifier.
    rig.press(25, 50, Qt::RightButton);
    rig.press(25, 50, Qt::LeftButton, Qt::ControlModifier);
    rig.press(25, 50, Qt::LeftButton, Qt::AltModifier | Qt::ShiftModifier);
    rig.press(25, 50, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(rig.sent, QStringList{"UP"});
    EXPECT_EQ(rig.selected, QStringList({"UP", "OK", "OK", "OK", "OK"}));
    EXPECT_EQ(rig.panel(2), "rC= OK");
    rig.press(25, 50, Qt::LeftButton, Qt::KeypadModifier);
    EXPECT_EQ(rig.sent, QStringList({"UP", "OK"}));
    EXPECT_EQ(rig.connects, 0);

    // Beside the buttons, with any button: the connection is opened, nothing sent or selected.
    rig.press(45, 50);
    rig.press(90, 90, Qt::RightButton);
    EXPECT_EQ(rig.connects, 2);
    EXPECT_EQ(rig.sent.size(), 2);
    EXPECT_EQ(rig.selected.size(), 6);
    EXPECT_EQ(rig.panel(2), "rC= ");
    // A bigger window hits the same buttons at the same relative place.
    rig.control->setPictureSize(QSizeF(333, 777));
    rig.press(12.5, 20.5);
    rig.press(25, 50);
    EXPECT_EQ(rig.sent, QStringList({"UP", "OK", "UP", "OK"}));
    // The placeholder of a layout without rectangles is no button.
    rig.layout.RemoteButtons = {RemoteButton{}};
    rig.press(0, 0);
    EXPECT_EQ(rig.sent.size(), 4);
    EXPECT_EQ(rig.connects, 3);
}

TEST(RemoteControl, KeysPressTheirButtonsAsClicksDo) {
    RemoteRig rig;
    rig.layout.RemoteButtons = {{10, 20, 10, 40, "VOLp"}};
    const auto key = [&rig](int code, Qt::KeyboardModifiers modifiers = {}, bool held = false) {
        return rig.control->KeyPress(KeyStroke{code, modifiers, held, QString()});
    };
    // Selected, sent and shown as a click; a key without a button on the layout still goes.
    EXPECT_TRUE(key(Qt::Key_Plus, Qt::ShiftModifier));
    EXPECT_TRUE(key(Qt::Key_M));
    EXPECT_EQ(rig.sent, QStringList({"VOLp", "MUTE"}));
    EXPECT_EQ(rig.selected, QStringList({"VOLp", "MUTE"}));
    EXPECT_EQ(rig.panel(2), "rC= MUTE");
    // A held key waits for its last press to leave the queue; its ignored repeats are still
    // the window's keys. Keys that press nothing are not.
    rig.waiting = QStringList{"VOLp"};
    EXPECT_TRUE(key(Qt::Key_Plus, {}, true));
    EXPECT_FALSE(key(Qt::Key_A));
    EXPECT_EQ(rig.sent.size(), 2);
    EXPECT_EQ(rig.connects, 0);
    EXPECT_EQ(rig.control->toolTipAt(QPointF(50, 75)), QStringLiteral("VOLp \u2014 key: +"));
    EXPECT_EQ(rig.control->toolTipAt(QPointF(150, 75)), "");
    // Detached, keys go nowhere.
    rig.control->detachActions();
    EXPECT_FALSE(key(Qt::Key_M));
    EXPECT_EQ(rig.sent.size(), 2);
}

TEST(RemoteControl, PointerAidFollowsOrMarksAndGoesFourSecondsAfterTheLastMove) {
    RemoteRig rig;
    RemoteControl &c = *rig.control;
    c.RemoteImage_MouseMove(Qt::NoModifier, QPointF(100, 250));
    EXPECT_EQ(c.aid().shape, PointerAid::Oval);
    EXPECT_TRUE(c.aid().visible);
    EXPECT_EQ(c.aid().geometry().center(), QPointF(100, 250));
    EXPECT_EQ(rig.panel(3), "Yp=50 Xp=50");
    rig.platform.fakeClock.advance(3000);
    c.RemoteImage_MouseMove(Qt::NoModifier, QPointF(10, 10));
    rig.platform.fakeClock.advance(3999);
    EXPECT_TRUE(c.aid().visible);
    rig.platform.fakeClock.advance(1);
    EXPECT_FALSE(c.aid().visible);

    // The editor's rectangle, marked in pixels; box 4 shows the four values.
    rig.editor.ButtonLocations = {"10", "20", "30", "60", ""};
    c.PositionFixedGuide();
    EXPECT_EQ(c.aid().shape, PointerAid::Rectangle);
    EXPECT_EQ(c.aid().geometry(), QRectF(60, 50, 60, 50));
    EXPECT_EQ(rig.editor.ButtonLocations[4], "10, 20, 30, 60, ");
    // A rectangle the window keeps in percent when it grows.
    c.setPictureSize(QSizeF(400, 1000));
    EXPECT_EQ(c.aid().geometry(), QRectF(120, 100, 120, 100));
    c.setPictureSize(QSizeF(200, 500));
    // Upside down: the aid moves but keeps its size.
    c.GuidePosition(40, 30, 10, 90);
    EXPECT_EQ(c.aid().geometry(), QRectF(20, 200, 160, 50));

    // Shift held, or "Keep Aid still": moves only take the rectangle to the boxes' corner.
    c.RemoteImage_MouseMove(Qt::ShiftModifier, QPointF(5, 5));
    EXPECT_EQ(c.aid().geometry(), QRectF(60, 50, 160, 50));
    c.StaticPointer_Click(true);
    c.ShowPointer_Click(false);
    c.RemoteImage_MouseMove(Qt::NoModifier, QPointF(5, 5));
    EXPECT_EQ(c.aid().shape, PointerAid::Rectangle);
    EXPECT_FALSE(c.aid().visible);
    // Switching "Keep Aid still" on shows the aid again.
    c.StaticPointer_Click(true);
    EXPECT_TRUE(rig.editor.ShowPointer && c.aid().visible);

    // A command picked in the list: its first rectangle fills the boxes and is marked; the
    // aid's time-out starts again. An unknown command leaves the boxes.
    rig.layout.RemoteButtons = {{1, 2, 3, 4, "UP"}, {50, 60, 0, 50, "OK"}, {5, 6, 7, 8, "OK"}};
    rig.platform.fakeClock.advance(3000);
    c.TheList_Click("OK");
    EXPECT_EQ(rig.editor.ButtonLocations, (std::array<QString, 5>{"50", "60", "0", "50", "50, 60, 0, 50, "}));
    EXPECT_EQ(c.aid().geometry(), QRectF(0, 250, 100, 50));
    c.TheList_Click("MESSAGE hi");
    EXPECT_EQ(rig.editor.ButtonLocations[0], "50");
    EXPECT_EQ(rig.loseAid->deadline(), rig.platform.fakeClock.nowMs() + 4000);

    // Panels 1 and 2 reset the connection as "Keep As Connected" says; panel 3 asks for the
    // information panel.
    int infoRequests = 0;
    QObject::connect(&c, &RemoteControl::infoPanelRequested, [&] { ++infoRequests; });
    c.StatusBar1_PanelClick(1);
    rig.keepConnected = true;
    c.StatusBar1_PanelClick(2);
    c.StatusBar1_PanelClick(3);
    EXPECT_EQ(QList<int>({rig.disconnects, rig.connects, infoRequests}), QList<int>({1, 1, 1}));
}

TEST(RemoteControl, TheAidsTimeOutSleepsAndItsColourIsNotRedrawnWhileNoAidShows) {
    RemoteRig rig;
    RemoteControl &c = *rig.control;
    int redraws = 0;
    QObject::connect(&c, &RemoteControl::changed, [&redraws] { ++redraws; });
    // The link paints the aid's colour with every command; unseen, it redraws nothing.
    c.setPointerBorderColour(LinkColour::Blue);
    EXPECT_EQ(c.pointerBorderColour(), LinkColour::Blue);
    EXPECT_EQ(redraws, 0);
    // Before the pointer ever moved, an aid switched on stays, as it always did.
    c.ShowPointer_Click(true);
    EXPECT_FALSE(rig.loseAid->isEnabled());
    c.RemoteImage_MouseMove(Qt::NoModifier, QPointF(100, 250));
    EXPECT_TRUE(rig.loseAid->isEnabled());
    redraws = 0;
    c.setPointerBorderColour(LinkColour::Green);
    EXPECT_EQ(redraws, 1);
    rig.platform.fakeClock.advance(RemoteControl::LoseAidInterval);
    EXPECT_FALSE(c.aid().visible || rig.loseAid->isEnabled());
    rig.platform.fakeClock.advance(60000);
    EXPECT_EQ(rig.loseAid->fireCount(), 1);
    // An aid shown again without a move (a marked rectangle, a click) goes after the time-out.
    rig.editor.ButtonLocations = {"10", "20", "30", "60", ""};
    c.PositionFixedGuide();
    EXPECT_TRUE(c.aid().visible && rig.loseAid->isEnabled());
    rig.platform.fakeClock.advance(RemoteControl::LoseAidInterval);
    EXPECT_FALSE(c.aid().visible || rig.loseAid->isEnabled());
    c.RemoteImage_MouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(10, 10));
    EXPECT_TRUE(c.aid().visible && rig.loseAid->isEnabled());
    rig.platform.fakeClock.advance(RemoteControl::LoseAidInterval);
    EXPECT_FALSE(c.aid().visible || rig.loseAid->isEnabled());
}

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
    EXPECT_EQ(QPoint(e.EditIndex, e.GreenBox), QPoint(-1, -1));
    EXPECT_TRUE(rig.sent.isEmpty());
    EXPECT_EQ(rig.control->aid().geometry(), QRectF(66, 60, 56, 35));

    // Backwards: box 0 written, then the last box is next; from no box at all, too.
    e.FocusBox(0);
    shiftPress(40, 40, Qt::RightButton);
    EXPECT_EQ(e.ButtonLocations[0], "40");
    EXPECT_EQ(QPoint(e.EditIndex, e.GreenBox), QPoint(4, 4));
    rig.press(50, 50); // a plain click chooses no box and greens the summary
    EXPECT_EQ(QPoint(e.EditIndex, e.GreenBox), QPoint(-1, 4));
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
    EXPECT_EQ(e.ButtonLocations, (std::array<QString, 5>{"1", "6", "1", "2.5", ""}));
}

TEST(RemoteControl, DroppedLayoutLoadsFromAnyFolderAndAnythingElseLeavesTheCurrentOne) {
    RemoteRig rig;
    rig.write("remote1.txt", "1,2,3,4,POWER\r\n");
    ASSERT_TRUE(SavePicture(rig.dir.filePath("remote1.png"), {30, 60}, Qt::darkGray));
    rig.control->LoadLayout("remote1");
    ASSERT_EQ(rig.control->picture().size(), QSize(30, 60));
    const auto current = rig.layout.RemoteButtons;

    QTemporaryDir otherDir;
    const QDir other(otherDir.path());
    // Not layouts: a folder, a picture without its text file, a text file without a picture,
    // a broken picture, a picture far too large, something that is no file at all.
    ASSERT_TRUE(other.mkdir("folder.png"));
    ASSERT_TRUE(SavePicture(other.filePath("lone.png"), {5, 5}, Qt::darkGray));
    for (const char *text : {"bare.txt", "broken.txt", "huge.txt"}) {
        rig.write(other.filePath(text), "1,2,3,4,UP");
    }
    ASSERT_TRUE(SaveBytes(other.filePath("broken.png"), QByteArray("\x89PNG\r\n\x1a\n garbage", 17)));
    ASSERT_TRUE(SaveBytes(other.filePath("huge.bmp"), AnnouncedBitmap(12000, 12000)));
    for (const auto &[file, why] :
         {std::pair{"folder.png", "folder.png is a folder"}, std::pair{"lone.png", "no lone.txt beside lone.png"},
          std::pair{"bare.txt", "no picture of bare beside bare.txt"},
          std::pair{"broken.txt", "broken.png cannot be read as a picture"},
          std::pair{"huge.txt", "huge.bmp is too large (12000 x 12000)"},
          std::pair{"missing.png", "missing.png does not exist"}}) {
        rig.control->RemoteImage_OLEDragDrop(other.filePath(file));
        EXPECT_EQ(rig.panel(2), QStringLiteral("Not a layout: ") + why);
        EXPECT_EQ(rig.layout.CurrentRemote, "remote1");
        EXPECT_EQ(rig.layout.RemoteButtons, current);
        EXPECT_EQ(rig.control->picture().size(), QSize(30, 60));
    }
    EXPECT_EQ(rig.loaded, 1);

    // A layout in another folder, dropped by its picture with an upper-case extension.
    rig.write(other.filePath("far.TXT"), "5,6,7,8,UP\r\n");
    ASSERT_TRUE(SavePicture(other.filePath("far.PNG"), {40, 90}, Qt::darkGray));
    rig.control->RemoteImage_OLEDragDrop(other.filePath("far.PNG"));
    EXPECT_EQ(rig.layout.CurrentRemote, other.filePath("far"));
    EXPECT_EQ(rig.layout.RemoteButtons, (std::vector<RemoteButton>{{5, 6, 7, 8, "UP"}}));
    EXPECT_EQ(rig.control->picture().size(), QSize(40, 90));
    EXPECT_EQ(rig.loaded, 2);

    // A picture that turns out broken on a reload keeps the one shown and says so.
    ASSERT_TRUE(SaveBytes(other.filePath("far.PNG"), "not a picture"));
    rig.control->LoadLayout(other.filePath("far"));
    EXPECT_EQ(rig.control->picture().size(), QSize(40, 90));
    EXPECT_EQ(rig.panel(2), "far.PNG cannot be read as a picture");
    // One far larger than a window shows it is kept at a size a window can use.
    ASSERT_TRUE(SavePicture(other.filePath("far.PNG"), {4100, 1025}, Qt::darkGray));
    rig.control->LoadLayout(other.filePath("far"));
    EXPECT_EQ(rig.control->picture().size(), QSize(MaxPictureSide, MaxPictureSide / 4));
}

// A request before anyone answers it is a wiring fault and stops the program; once the
// program detached the window at its close, requests go nowhere.
TEST(RemoteControl, UnansweredRequestsStopTheProgramUntilTheWindowIsDetached) {
    RemoteRig rig;
    rig.layout.RemoteButtons = {{10, 20, 10, 40, "UP"}};
    EXPECT_DEATH(
        {
            FakePlatform platform;
            RemoteControl unwired(rig.layout, rig.editor, rig.settings, platform.createTimer());
            unwired.setPictureSize(QSizeF(200, 500));
            unwired.RemoteImage_MouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(30, 75));
        },
        "before the program set who answers it");
    rig.control->detachActions();
    rig.press(12.5, 20.5);
    rig.control->StatusBar1_PanelClick(1);
    EXPECT_TRUE(rig.sent.isEmpty() && rig.selected.isEmpty());
    EXPECT_EQ(rig.connects + rig.disconnects, 0);
}
