// Layout files: their line rules, loading and saving them with the window's place, and the
// editor's Set and Save.
#include "RemoteTestSupport.h"

namespace {

const QString heading = QStringLiteral("# Top,Bottom,Left,Right,Function\r\n\r\n");

} // namespace

TEST(RemoteLayout, LineRulesAndHugeFiles) {
    const auto table = [](const QString &text) { return QString(LayoutText(ParseLayoutText(text))).remove(heading); };
    EXPECT_EQ(table(heading +
                    "   # 1,2,3,4,commented out\r\nno comma here\r\n 05 , 09 ,10, 30 , POWER \r\n12,18,40,60\r\n"
                    "7,8\r\n2.5,3.5,40000,x,VOLp,extra,fields\r\n-3,1e5,12abc,,\tOK\r\n"),
              "05, 09, 10, 30, POWER\r\n12, 18, 40, 60, \r\n07, 08, 00, 00, \r\n02, 04, 00, 00, VOLp\r\n"
              "-03, 01, 12, 00, \tOK\r\n");
    // A file with only the heading gives one record of zeros.
    EXPECT_EQ(table(heading), "00, 00, 00, 00, \r\n");
    EXPECT_EQ(LayoutBaseName("remote1.gif") + LayoutBaseName(".png"), "remote1.gif");
    // Arbitrary bytes are fuzz_remote_layout's; here the sizes: a 1 MB line and 100000 lines.
    EXPECT_EQ(ParseLayoutText("1,2,3,4," + QString(1 << 20, u'x')).front().Function.size(), 1 << 20);
    EXPECT_EQ(ParseLayoutText(QStringLiteral("1,2,3,4,OK\r\n").repeated(100000)).size(), 100000u);
}

TEST(RemoteLayout, LoadSaveLoadGivesTheSameTableAndTheListShowsLayoutsWithPictures) {
    RemoteRig rig;
    RemoteLayout &layout = rig.layout;
    rig.write("remote1.txt", "5,9,10,30,POWER\r\n12, 18, 40, 60, VOLp\r\n-3,100,0,7,MESSAGE hi\r\n");
    rig.write("UP.TXT", "1,2,3,4,UP\r\n");
    // Extensions in any case; the part before the extension must match ("Cam.png" is another name).
    for (const char *file : {"remote1.png", "remote1.jpg", "b.txt", "B.jpg", "Commandlist.txt", "c.TXT", "c.bmp",
                             "d.txt.png", "e.jpg", "UP.bmp", "cam.txt", "cam.JPG", "Cam.png", "solo.TXT"}) {
        rig.write(file);
    }
    EXPECT_EQ(LayoutPicture(rig.dir.filePath("cam")), rig.dir.filePath("cam.JPG"));
    EXPECT_EQ(LayoutPicture(rig.dir.filePath("CAM")), QString());
    EXPECT_EQ(LoadLayout(layout, "remote1.TXT", rig.settings, nullptr), rig.dir.filePath("remote1.jpg"));
    EXPECT_EQ(layout.CurrentRemote, "remote1");
    const auto loaded = layout.RemoteButtons;
    ASSERT_TRUE(SaveLayout(layout, "copy.png", rig.settings, nullptr));
    EXPECT_EQ(layout.CurrentRemote, "copy");
    EXPECT_EQ(rig.read("copy.txt"),
              heading + "05, 09, 10, 30, POWER\r\n12, 18, 40, 60, VOLp\r\n-03, 100, 00, 07, MESSAGE hi\r\n");
    // No picture of that name: the window keeps the one it shows, and the list leaves it out.
    layout = RemoteLayout{};
    EXPECT_EQ(LoadLayout(layout, "copy", rig.settings, nullptr), QString());
    EXPECT_EQ(layout.RemoteButtons, loaded);
    EXPECT_EQ(LayoutNamesIn(rig.dir.path()), QStringList({"c", "cam", "remote1", "UP"}));

    // Saved back into the file it came from, not beside it.
    EXPECT_EQ(LoadLayout(layout, "UP", rig.settings, nullptr), rig.dir.filePath("UP.bmp"));
    layout.RemoteButtons.push_back({9, 9, 9, 9, "OK"});
    ASSERT_TRUE(SaveLayout(layout, "UP", rig.settings, nullptr));
    EXPECT_EQ(QDir(rig.dir.path()).entryList({"UP.*"}, QDir::Files, QDir::Name), QStringList({"UP.TXT", "UP.bmp"}));
    EXPECT_EQ(rig.read("UP.TXT"), heading + "01, 02, 03, 04, UP\r\n09, 09, 09, 09, OK\r\n");

    // An empty name (an empty LastRemote) loads and saves nothing: no "<folder>.txt".
    rig.write("../" + QFileInfo(rig.dir.path()).fileName() + ".txt", "1,1,1,1,WRONG");
    for (const QString &name : {QString(), QStringLiteral(".txt"), QStringLiteral("sub/")}) {
        EXPECT_EQ(LoadLayout(layout, name, rig.settings, nullptr), QString());
        EXPECT_EQ(layout.RemoteButtons.size(), 2u);
        EXPECT_EQ(layout.CurrentRemote, "UP");
        EXPECT_FALSE(SaveLayout(layout, name, rig.settings, nullptr));
    }
    EXPECT_EQ(FileBits::ReadWholeFile(rig.dir.path() + ".txt"), "1,1,1,1,WRONG");
    QFile::remove(rig.dir.path() + ".txt");
    EXPECT_FALSE(SaveLayout(layout, "no/such/folder/x", rig.settings, nullptr));
}

TEST(RemoteLayout, PlacementFollowsTheLayout) {
    RemoteRig rig;
    rig.write("CVRemote.ini", "[B]\r\nFC=300,400,500,600,\r\n");
    FakeRemoteWindow window;
    const auto load = [&](const char *name, Placement before) {
        window.placement = before;
        LoadLayout(rig.layout, name, rig.settings, &window);
        return window.placement.top;
    };
    const auto stored = [&](const char *name) { return rig.settings.ReadSetting(name, "FC", QString()); };
    EXPECT_EQ(load("A", {10, 20, 30, 40}), 10); // nothing stored for A yet: the window stays
    EXPECT_EQ(load("B.txt", {11, 22, 33, 44}), 300);
    EXPECT_EQ(stored("A"), "11,22,33,44,");
    // Reloading the same layout does not overwrite its stored placement first.
    EXPECT_EQ(load("B", {1, 2, 3, 4}), 300);
    window.placement = Placement{5, 6, 7, 8};
    SaveLayout(rig.layout, "B", rig.settings, &window);
    EXPECT_EQ(stored("B"), "5,6,7,8,");
    // Picking another layout in the list keeps the window's place for the old one.
    rig.control->setPlacedWindow(&window);
    window.placement = Placement{1, 2, 3, 4};
    rig.control->ChooseLayout("B");
    EXPECT_EQ(stored("B"), "5,6,7,8,");
    rig.control->ChooseLayout("C");
    EXPECT_EQ(stored("B"), "1,2,3,4,");
    EXPECT_EQ(rig.layout.CurrentRemote, "C");
}

TEST(LayoutEditor, SetAndSaveWriteWhatReloadsExactly) {
    RemoteRig rig;
    LayoutEditor &e = rig.editor;
    rig.write("remote1.txt", heading);
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
    EXPECT_EQ(rig.read("remote1.txt"),
              heading + "00, 00, 00, 00, \r\n05, 09, 00, 30, VOLp\r\n"
                        "11, 02, 03, 14, OK\r\n01, 02, 03, 04, MESSAGE Hello\r\n07, 07, 07, 07, OK\r\n");
    rig.layout.RemoteButtons.clear();
    rig.control->LoadLayout("remote1");
    EXPECT_EQ(rig.layout.RemoteButtons, expected);

    // No current layout: Save writes nothing, in particular no ".txt" beside the program folder.
    rig.layout.CurrentRemote.clear();
    EXPECT_FALSE(e.UpdateButtons_Click(rig.layout, rig.settings, nullptr));
    EXPECT_FALSE(QFileInfo::exists(rig.dir.path() + ".txt"));
}
