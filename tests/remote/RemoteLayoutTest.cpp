#include "remote/RemoteLayout.h"

#include "platform/FileBits.h"
#include "settings/INIFILES.h"
#include "settings/PlacedWindow.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class FakeRemoteWindow : public PlacedWindow {
public:
    QString placementName() const override { return QStringLiteral("RemoteForm"); }
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
    ProgramFolder() { settings.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote"))); }
    void write(const QString &name, const QString &text) const {
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(name), text));
    }
};

RemoteButton button(qint16 top, qint16 bottom, qint16 left, qint16 right, const QString &function) {
    return RemoteButton{top, bottom, left, right, function};
}

} // namespace

TEST(RemoteLayout, LineRules) {
    const auto buttons = ParseLayoutText(QStringLiteral("# Top,Bottom,Left,Right,Function\r\n"
                                                        "\r\n"
                                                        "   # 1,2,3,4,commented out\r\n"
                                                        "no comma here\r\n"
                                                        " 05 , 09 ,10, 30 , POWER \r\n"
                                                        "12,18,40,60\r\n"
                                                        "7,8\r\n"
                                                        "2.5,3.5,40000,x,VOLp,extra,fields\r\n"
                                                        "-3,1e5,12abc,,\tOK\r\n"));
    const std::vector<RemoteButton> expected{
        button(5, 9, 10, 30, QStringLiteral("POWER")), button(12, 18, 40, 60, QString()), button(7, 8, 0, 0, QString()),
        button(2, 4, 0, 0, QStringLiteral("VOLp")), button(-3, 1, 12, 0, QStringLiteral("\tOK"))};
    EXPECT_EQ(buttons, expected);

    // A file with only the heading, and no file at all, give one record of zeros.
    EXPECT_EQ(ParseLayoutText(QStringLiteral("# Top,Bottom,Left,Right,Function\r\n\r\n")),
              std::vector<RemoteButton>{RemoteButton{}});
    EXPECT_EQ(ParseLayoutText(QString()), std::vector<RemoteButton>{RemoteButton{}});
}

TEST(RemoteLayout, NumbersAndNames) {
    EXPECT_EQ(LayoutNumber(0), QStringLiteral("00"));
    EXPECT_EQ(LayoutNumber(7), QStringLiteral("07"));
    EXPECT_EQ(LayoutNumber(100), QStringLiteral("100"));
    EXPECT_EQ(LayoutNumber(-3), QStringLiteral("-03"));
    EXPECT_EQ(LayoutNumber(-32768), QStringLiteral("-32768"));
    EXPECT_EQ(LayoutBaseName(QStringLiteral("remote1.TXT")), QStringLiteral("remote1"));
    EXPECT_EQ(LayoutBaseName(QStringLiteral("/x/y/remote2.Jpg")), QStringLiteral("/x/y/remote2"));
    EXPECT_EQ(LayoutBaseName(QStringLiteral("remote1.gif")), QStringLiteral("remote1.gif"));
    EXPECT_EQ(LayoutBaseName(QStringLiteral(".png")), QString());
}

TEST(RemoteLayout, LoadSaveLoadGivesTheSameTable) {
    ProgramFolder program;
    program.write(QStringLiteral("remote1.txt"), QStringLiteral("5,9,10,30,POWER\r\n12, 18, 40, 60, VOLp\r\n"
                                                                "-3,100,0,7,MESSAGE hello there\r\n"));
    program.write(QStringLiteral("remote1.png"), QStringLiteral("png"));
    program.write(QStringLiteral("remote1.jpg"), QStringLiteral("jpg"));
    RemoteLayout layout;
    EXPECT_EQ(LoadLayout(layout, QStringLiteral("remote1.TXT"), program.settings, nullptr),
              program.dir.filePath(QStringLiteral("remote1.jpg")));
    EXPECT_EQ(layout.CurrentRemote, QStringLiteral("remote1"));
    ASSERT_EQ(layout.RemoteButtons.size(), 3u);
    const auto loaded = layout.RemoteButtons;

    ASSERT_TRUE(SaveLayout(layout, QStringLiteral("copy.png"), program.settings, nullptr));
    EXPECT_EQ(layout.CurrentRemote, QStringLiteral("copy"));
    EXPECT_EQ(FileBits::ReadWholeFile(program.dir.filePath(QStringLiteral("copy.txt"))),
              QStringLiteral("# Top,Bottom,Left,Right,Function\r\n\r\n"
                             "05, 09, 10, 30, POWER\r\n"
                             "12, 18, 40, 60, VOLp\r\n"
                             "-03, 100, 00, 07, MESSAGE hello there\r\n"));
    layout = RemoteLayout{};
    // No picture of that name: the window keeps the one it shows.
    EXPECT_EQ(LoadLayout(layout, QStringLiteral("copy"), program.settings, nullptr), QString());
    EXPECT_EQ(layout.RemoteButtons, loaded);

    // A layout in another folder, addressed by the path of its picture.
    QTemporaryDir other;
    ASSERT_TRUE(FileBits::WriteWholeFile(other.filePath(QStringLiteral("far.txt")), QStringLiteral("1,2,3,4,UP")));
    ASSERT_TRUE(FileBits::WriteWholeFile(other.filePath(QStringLiteral("far.bmp")), QStringLiteral("bmp")));
    EXPECT_EQ(LoadLayout(layout, other.filePath(QStringLiteral("far.bmp")), program.settings, nullptr),
              other.filePath(QStringLiteral("far.bmp")));
    EXPECT_EQ(layout.CurrentRemote, other.filePath(QStringLiteral("far")));
    EXPECT_EQ(layout.RemoteButtons, std::vector<RemoteButton>{button(1, 2, 3, 4, QStringLiteral("UP"))});

    // A save that cannot be written reports it and leaves no file behind.
    EXPECT_FALSE(SaveLayout(layout, QStringLiteral("no/such/folder/x"), program.settings, nullptr));
}

TEST(RemoteLayout, PlacementFollowsTheLayout) {
    ProgramFolder program;
    program.write(QStringLiteral("CVRemote.ini"), QStringLiteral("[B]\r\nFC=300,400,500,600,\r\n"));
    FakeRemoteWindow window;
    RemoteLayout layout;
    window.placement = Placement{10, 20, 30, 40};
    LoadLayout(layout, QStringLiteral("A"), program.settings, &window);
    // Nothing stored for A yet: the window stays where it is.
    EXPECT_EQ(window.placement.top, 10);

    window.placement = Placement{11, 22, 33, 44};
    LoadLayout(layout, QStringLiteral("B.txt"), program.settings, &window);
    EXPECT_EQ(program.settings.ReadSetting(QStringLiteral("A"), QStringLiteral("FC"), QString()),
              QStringLiteral("11,22,33,44,"));
    EXPECT_EQ(window.placement.top, 300);
    EXPECT_EQ(window.placement.height, 600);

    // Reloading the same layout does not overwrite its stored placement first.
    window.placement = Placement{1, 2, 3, 4};
    LoadLayout(layout, QStringLiteral("B"), program.settings, &window);
    EXPECT_EQ(window.placement.top, 300);

    window.placement = Placement{5, 6, 7, 8};
    SaveLayout(layout, QStringLiteral("B"), program.settings, &window);
    EXPECT_EQ(program.settings.ReadSetting(QStringLiteral("B"), QStringLiteral("FC"), QString()),
              QStringLiteral("5,6,7,8,"));
}

TEST(RemoteLayout, LayoutListOfAFolder) {
    ProgramFolder program;
    for (const char *file :
         {"remote1.txt", "remote1.png", "b.txt", "B.jpg", "Commandlist.txt", "c.TXT", "c.bmp", "d.txt.png", "e.jpg"}) {
        program.write(QString::fromLatin1(file), QStringLiteral("x"));
    }
    const QStringList names = LayoutNamesIn(program.dir.path());
    EXPECT_EQ(names, (QStringList{QStringLiteral("c"), QStringLiteral("remote1")}));
    EXPECT_EQ(LayoutListSelection(names, QStringLiteral("remote1")), 1);
    EXPECT_EQ(LayoutListSelection(names, QStringLiteral("Remote1")), -1);
}

TEST(RemoteLayout, ArbitraryBytesLoad) {
    QRandomGenerator random(20261206);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(qsizetype(random.bounded(1 << (round % 16 + 1))), Qt::Uninitialized);
        for (char &b : bytes) {
            // Mostly separators and digits, so that many lines get as far as the number rules.
            static const char pool[] = ",,,\r\n#- 0123456789.e";
            b = random.bounded(4) == 0 ? char(random.bounded(256)) : pool[random.bounded(int(sizeof pool - 1))];
        }
        const auto buttons = ParseLayoutText(QString::fromLatin1(bytes));
        EXPECT_FALSE(buttons.empty());
    }
    // A 1 MB line and a 100000-line file.
    EXPECT_EQ(ParseLayoutText(QStringLiteral("1,2,3,4,") + QString(1 << 20, u'x')).front().Function.size(), 1 << 20);
    EXPECT_EQ(ParseLayoutText(QStringLiteral("1,2,3,4,OK\r\n").repeated(100000)).size(), 100000u);
    EXPECT_EQ(ParseLayoutText(QString(1 << 20, u',')).size(), 1u);
}
