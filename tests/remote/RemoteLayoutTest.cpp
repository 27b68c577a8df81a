#include "remote/RemoteLayout.h"

#include "platform/FileBits.h"
#include "settings/INIFILES.h"
#include "settings/PlacedWindow.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct FakeRemoteWindow : PlacedWindow {
    QString placementName() const override { return "RemoteForm"; }
    Placement currentPlacement() const override { return placement; }
    bool isNormalState() const override { return true; }
    void applyPlacement(const Placement &p) override { placement = p; }
    void hideWindow() override {}
    Placement placement;
};

// A program folder in a temporary directory with the settings file beside the executable.
struct ProgramFolder {
    QTemporaryDir dir;
    INIFILES settings;
    ProgramFolder() { settings.SetProgramPaths(dir.filePath("CVRemote")); }
    // An absolute name writes outside the folder.
    void write(const QString &name, const QString &text = "x") const {
        ASSERT_TRUE(FileBits::WriteWholeFile(QDir(dir.path()).filePath(name), text));
    }
};

const QString heading = QStringLiteral("# Top,Bottom,Left,Right,Function\r\n\r\n");

} // namespace

TEST(RemoteLayout, LineRulesAndArbitraryBytes) {
    const auto table = [](const QString &text) { return QString(LayoutText(ParseLayoutText(text))).remove(heading); };
    EXPECT_EQ(table(heading +
                    "   # 1,2,3,4,commented out\r\nno comma here\r\n 05 , 09 ,10, 30 , POWER \r\n12,18,40,60\r\n"
                    "7,8\r\n2.5,3.5,40000,x,VOLp,extra,fields\r\n-3,1e5,12abc,,\tOK\r\n"),
              "05, 09, 10, 30, POWER\r\n12, 18, 40, 60, \r\n07, 08, 00, 00, \r\n02, 04, 00, 00, VOLp\r\n"
              "-03, 01, 12, 00, \tOK\r\n");
    // A file with only the heading gives one record of zeros.
    EXPECT_EQ(table(heading), "00, 00, 00, 00, \r\n");
    EXPECT_EQ(LayoutBaseName("remote1.gif") + LayoutBaseName(".png"), "remote1.gif");

    QRandomGenerator random(20261206);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(qsizetype(random.bounded(1 << (round % 16 + 1))), Qt::Uninitialized);
        for (char &b : bytes) {
            // Mostly separators and digits, so that many lines get as far as the number rules.
            static const char pool[] = ",,,\r\n#- 0123456789.e";
            b = random.bounded(4) == 0 ? char(random.bounded(256)) : pool[random.bounded(int(sizeof pool - 1))];
        }
        EXPECT_FALSE(ParseLayoutText(QString::fromLatin1(bytes)).empty());
    }
    EXPECT_EQ(ParseLayoutText("1,2,3,4," + QString(1 << 20, u'x')).front().Function.size(), 1 << 20); // a 1 MB line
    EXPECT_EQ(ParseLayoutText(QStringLiteral("1,2,3,4,OK\r\n").repeated(100000)).size(), 100000u);
}

TEST(RemoteLayout, LoadSaveLoadGivesTheSameTableAndTheListShowsLayoutsWithPictures) {
    ProgramFolder program;
    program.write("remote1.txt", "5,9,10,30,POWER\r\n12, 18, 40, 60, VOLp\r\n-3,100,0,7,MESSAGE hi\r\n");
    for (const char *file :
         {"remote1.png", "remote1.jpg", "b.txt", "B.jpg", "Commandlist.txt", "c.TXT", "c.bmp", "d.txt.png", "e.jpg"}) {
        program.write(file);
    }
    RemoteLayout layout;
    EXPECT_EQ(LoadLayout(layout, "remote1.TXT", program.settings, nullptr), program.dir.filePath("remote1.jpg"));
    EXPECT_EQ(layout.CurrentRemote, "remote1");
    const auto loaded = layout.RemoteButtons;
    ASSERT_TRUE(SaveLayout(layout, "copy.png", program.settings, nullptr));
    EXPECT_EQ(layout.CurrentRemote, "copy");
    EXPECT_EQ(FileBits::ReadWholeFile(program.dir.filePath("copy.txt")),
              heading + "05, 09, 10, 30, POWER\r\n12, 18, 40, 60, VOLp\r\n-03, 100, 00, 07, MESSAGE hi\r\n");
    layout = RemoteLayout{};
    // No picture of that name: the window keeps the one it shows, and the list leaves it out.
    EXPECT_EQ(LoadLayout(layout, "copy", program.settings, nullptr), QString());
    EXPECT_EQ(layout.RemoteButtons, loaded);
    EXPECT_EQ(LayoutNamesIn(program.dir.path()), QStringList({"c", "remote1"}));

    // A layout in another folder, addressed by the path of its picture.
    QTemporaryDir other;
    const QString far = other.filePath("far");
    program.write(far + ".txt", "1,2,3,4,UP");
    program.write(far + ".bmp");
    EXPECT_EQ(LoadLayout(layout, far + ".bmp", program.settings, nullptr), far + ".bmp");
    EXPECT_EQ(layout.CurrentRemote, far);
    EXPECT_EQ(layout.RemoteButtons, (std::vector<RemoteButton>{{1, 2, 3, 4, "UP"}}));
    EXPECT_FALSE(SaveLayout(layout, "no/such/folder/x", program.settings, nullptr));
}

TEST(RemoteLayout, PlacementFollowsTheLayout) {
    ProgramFolder program;
    program.write("CVRemote.ini", "[B]\r\nFC=300,400,500,600,\r\n");
    FakeRemoteWindow window;
    RemoteLayout layout;
    const auto load = [&](const char *name, Placement before) {
        window.placement = before;
        LoadLayout(layout, name, program.settings, &window);
        return window.placement.top;
    };
    const auto stored = [&](const char *name) { return program.settings.ReadSetting(name, "FC", QString()); };
    EXPECT_EQ(load("A", {10, 20, 30, 40}), 10); // nothing stored for A yet: the window stays
    EXPECT_EQ(load("B.txt", {11, 22, 33, 44}), 300);
    EXPECT_EQ(stored("A"), "11,22,33,44,");
    // Reloading the same layout does not overwrite its stored placement first.
    EXPECT_EQ(load("B", {1, 2, 3, 4}), 300);
    window.placement = Placement{5, 6, 7, 8};
    SaveLayout(layout, "B", program.settings, &window);
    EXPECT_EQ(stored("B"), "5,6,7,8,");
}

TEST(RemoteLayout, ExtensionsInAnyCaseAndNoLayoutWithoutAName) {
    ProgramFolder program;
    program.write("UP.TXT", "1,2,3,4,UP\r\n");
    program.write("UP.bmp");
    program.write("cam.txt", "5,6,7,8,OK\r\n");
    program.write("cam.JPG");
    program.write("Cam.png"); // another layout's name: the part before the extension must match
    program.write("solo.TXT");
    EXPECT_EQ(LayoutNamesIn(program.dir.path()), QStringList({"cam", "UP"}));
    EXPECT_EQ(LayoutPicture(program.dir.filePath("cam")), program.dir.filePath("cam.JPG"));
    EXPECT_EQ(LayoutPicture(program.dir.filePath("CAM")), QString());

    RemoteLayout layout;
    EXPECT_EQ(LoadLayout(layout, "UP", program.settings, nullptr), program.dir.filePath("UP.bmp"));
    EXPECT_EQ(layout.RemoteButtons, (std::vector<RemoteButton>{{1, 2, 3, 4, "UP"}}));
    // Saved back into the file it came from, not beside it.
    layout.RemoteButtons.push_back({9, 9, 9, 9, "OK"});
    ASSERT_TRUE(SaveLayout(layout, "UP", program.settings, nullptr));
    EXPECT_EQ(QDir(program.dir.path()).entryList({"UP.*"}, QDir::Files, QDir::Name), QStringList({"UP.TXT", "UP.bmp"}));
    EXPECT_EQ(FileBits::ReadWholeFile(program.dir.filePath("UP.TXT")),
              heading + "01, 02, 03, 04, UP\r\n09, 09, 09, 09, OK\r\n");

    // An empty name (an empty LastRemote) loads and saves nothing: no "<folder>.txt".
    program.write("../" + QFileInfo(program.dir.path()).fileName() + ".txt", "1,1,1,1,WRONG");
    const auto before = layout.RemoteButtons;
    for (const QString &name : {QString(), QStringLiteral(".txt"), QStringLiteral("sub/")}) {
        EXPECT_EQ(LoadLayout(layout, name, program.settings, nullptr), QString());
        EXPECT_EQ(layout.RemoteButtons, before);
        EXPECT_EQ(layout.CurrentRemote, "UP");
        EXPECT_FALSE(SaveLayout(layout, name, program.settings, nullptr));
    }
    EXPECT_EQ(FileBits::ReadWholeFile(program.dir.path() + ".txt"), "1,1,1,1,WRONG");
    QFile::remove(program.dir.path() + ".txt");
}
