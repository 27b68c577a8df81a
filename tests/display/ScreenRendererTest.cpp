// The emulated screen as data and as pixels, for a small skin made in the test.
#include "display/ScreenReading.h"
#include "DisplayFixture.h"
#include "platform/Contrast.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>

#include <sys/stat.h>

namespace {

const QColor Dark(10, 20, 30);
const QColor Bright(200, 180, 160);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Yellow(255, 255, 0);

// How many pixels of the rectangle are close to the colour (text is antialiased).
int pixelsNear(const QImage &image, QRect area, QColor colour) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                     std::abs(c.blue() - colour.blue()) < 40;
        }
    }
    return count;
}

QRgb complementOf(QColor c) {
    return qRgb(255 - c.red(), 255 - c.green(), 255 - c.blue());
}

} // namespace

struct ScreenRendererTest : DisplayFixture {
    void SetUp() override {
        // Background: dark left half, bright right half (the boundary at x = 160).
        picture("bg.png", {320, 240}, Dark, Bright);
        picture("bg2.png", {320, 240}, Bright);
        picture("red.png", {20, 20}, Red);
        picture("half.png", {30, 40}, Blue, Yellow);
        picture("clear.png", {20, 20}, Qt::transparent);
        picture("sub/blue.png", {10, 10}, Blue);
        useSkin("[one]|B=,,bg,two,BEEP|S=bar|I=set|O=10,20,red,Alpha,CMD_A|O=L5,T10,half,Beta,|"
                "O=150,60,clear,,|O=100,100,,Gamma,|"
                "[two]|B=,,bg2.png,,|O=50,50,red,Only,|"
                "[away]|R=ONE|[gone]|R=nowhere|[nobg]|B=,,missing,,|O=5,5,red,,|"
                "[StatusBar_bar]|O=300,0,sub\\blue,Tip,STATUSCMD|"
                "[Labels_set]|L=5,200,Hello,,|L=L4,200,%INFO,,Row|L=5,T-20,%VOLUME,Vol,|L=200,4,%INFO,,");
    }
};

TEST_F(ScreenRendererTest, BuildsBackgroundOverlaysStatusAndLabelsAtTheirPlaces) {
    view.CurrentMenuLabel = "Alpha";
    state.VolumeText = "35";
    view.InfoList = {"List - Updated", "pos=1 (1)", "1=First"};
    screen().DisplayScreen("one");
    const QImage image = screen().render();
    const auto &overlays = screen().OverlayImages;
    const auto &names = screen().OverlayNameLabel;
    const auto &labels = screen().OverlayLabel;
    EXPECT_EQ(screen().Caption, "Display Screen - one");
    // The background's halves; overlay 0 where the skin puts it, overlay 1 left after its right
    // edge plus 5 and 10 below its top; a transparent picture in the background colour under its
    // top-left corner, also over the bright half; the status picture found with either separator.
    ExpectPixels(image, {{5, 5, Dark},
                         {250, 230, Bright},
                         {10, 20, Red},
                         {29, 39, Red},
                         {36, 66, Blue},
                         {64, 66, Yellow},
                         {165, 65, Dark},
                         {305, 5, Blue}});
    EXPECT_EQ(QPoint(overlays[1].Left, overlays[1].Top), QPoint(35, 30));
    // An overlay without a picture stays hidden but is moved and keeps its caption.
    EXPECT_FALSE(overlays[3].Visible);
    EXPECT_EQ(QPoint(overlays[3].Left, overlays[3].Top), QPoint(100, 100));
    EXPECT_EQ(names[3].Text, "Gamma");
    // The caption of the radio's current menu item is green, the others light red.
    EXPECT_EQ(names[0].Colour, ScreenRenderer::CurrentItemColour);
    EXPECT_EQ(names[1].Colour, ScreenRenderer::OtherItemColour);
    EXPECT_GT(pixelsNear(image, overlays[1].Rect(), QColor(255, 128, 128)), 3);
    EXPECT_EQ(pixelsNear(image, overlays[1].Rect(), QColor(0, 255, 0)), 0);
    EXPECT_EQ(QStringList({overlays[0].ToolTip, overlays[1].ToolTip, screen().StatusImages[0].ToolTip}),
              QStringList({"CMD_A", "Beta", "STATUSCMD"}));

    // Labels: plain text, list entries, device values; placed relative to the label before; a
    // list label's tooltip is its text.
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(QStringList({labels[0].Text, labels[1].Text, labels[2].Text, labels[1].ToolTip, labels[2].ToolTip}),
              QStringList({"Hello", "1 (1)", "35", "1 (1)", "Vol"}));
    EXPECT_EQ(QPoint(labels[1].Left, labels[2].Top), QPoint(5 + labels[0].Width() + 4, 180));
    // A label outside any list takes the complement of the background under it.
    EXPECT_EQ(labels[0].Colour, complementOf(Dark));
    EXPECT_GT(pixelsNear(image, labels[0].Rect(), QColor::fromRgb(complementOf(Dark))), 3);
    // Building asked the poll for the list and the volume at once.
    EXPECT_TRUE(state.needs.NeedList && state.needs.NeedVolume && !state.needs.NeedMeta);
    EXPECT_EQ(state.poll.PollCountdown, 0);
}

TEST_F(ScreenRendererTest, ScreenLookupRedirectUnknownNamesAndTheEmptyName) {
    screen().DisplayScreen("away");
    EXPECT_EQ(skin.CurrentMenu, FindDefinition(skin, "one"));
    EXPECT_EQ(screen().Caption, "Display Screen - ONE"); // the redirect's text

    // A screen with fewer items hides the surplus.
    screen().DisplayScreen("two");
    const QImage image = screen().render();
    EXPECT_EQ(screen().Caption, "Display Screen - two");
    ExpectPixels(image, {{36, 31, Bright}, {50, 50, Red}});
    EXPECT_FALSE(screen().OverlayImages[1].Visible || screen().StatusImages[0].Visible);
    for (const DrawnItem &label : screen().OverlayLabel) {
        EXPECT_FALSE(label.Visible);
    }
    // Unknown names and broken redirects leave the display as it is.
    for (const char *name : {"nothing", "gone"}) {
        screen().DisplayScreen(name);
        EXPECT_EQ(screen().render(), image) << name;
        EXPECT_EQ(skin.CurrentMenu, FindDefinition(skin, "two"));
    }
    // "" builds the last name once: after "two", a change of the current menu item shows.
    screen().DisplayScreen("two");
    for (const char *current : {"Only", "Other"}) {
        view.CurrentMenuLabel = current;
        screen().DisplayScreen("");
        EXPECT_EQ(screen().OverlayNameLabel[0].Colour, ScreenRenderer::CurrentItemColour) << current;
    }
    // A background that does not resolve hides every item and keeps background and title.
    screen().DisplayScreen("nobg");
    EXPECT_EQ(screen().Caption, "Display Screen - two");
    EXPECT_FALSE(screen().OverlayImages[0].Visible || screen().OverlayNameLabel[0].Visible);
    ExpectPixels(screen().render(), {{50, 50, Bright}});
}

TEST_F(ScreenRendererTest, RefreshColoursListsFollowsDeviceValuesLeavesThePollAloneAndShowsAGoneRadio) {
    view.InfoList = {"List - Updated", "pos=2 (2)", "1=First", "2=Second"};
    view.InfoListEnabled = true;
    view.InfoListIndex = 1;
    state.VolumeText = "35";
    screen().DisplayScreen("one");
    auto &labels = screen().OverlayLabel;
    // The selected entry is red and bold.
    EXPECT_EQ(labels[1].Colour, ScreenRenderer::SelectedEntryColour);
    EXPECT_TRUE(labels[1].Bold);
    EXPECT_GT(pixelsNear(screen().render(), labels[1].Rect(), QColor::fromRgb(ScreenRenderer::SelectedEntryColour)), 3);

    view.InfoListIndex = 3;
    view.InfoList = {"List - Updated", "pos=2 (2)", "1=First", "2=Second=x"};
    state.VolumeText = "99";
    state.needs.NeedList = false;
    state.poll.PollCountdown = 5;
    screen().RefreshDisplays();
    EXPECT_EQ(labels[1].Text, "2 (2)");
    EXPECT_EQ(labels[1].Colour, ScreenRenderer::EnabledListColour);
    EXPECT_FALSE(labels[1].Bold);
    EXPECT_EQ(labels[3].Text, "Second=x"); // after the first "=" only
    EXPECT_EQ(labels[3].Colour, ScreenRenderer::SelectedEntryColour);
    EXPECT_TRUE(labels[3].Bold);
    // Volume, version and state follow the radio's replies, not only the screen; a refresh asks
    // nothing of the poll.
    EXPECT_EQ(labels[2].Text, "99");
    EXPECT_EQ(labels[2].Width(), QFontMetrics(ScreenRenderer::labelFont(false)).horizontalAdvance("99"));
    EXPECT_FALSE(state.needs.NeedList);
    EXPECT_EQ(state.poll.PollCountdown, 5);

    // A radio that stopped answering: the last screen shows, greyed, with the time it went.
    const QImage live = screen().render();
    view.RadioOffline = true;
    view.OfflineSince = "09:31:05";
    EXPECT_EQ(screen().notLiveText(), "Offline since 09:31:05");
    const QImage old = screen().render();
    EXPECT_LT(qGray(old.pixel(300, 10)), qGray(live.pixel(300, 10))); // the bright half is veiled
    EXPECT_GT(pixelsNear(old, QRect(0, 102, 320, 36), QColor(Qt::white)), 30);
    view.RadioOffline = false;
    EXPECT_EQ(screen().render(), live);

    // A disabled list shows its entries in the background's complement; past its end, "".
    view.InfoListEnabled = false;
    view.InfoList = {"List - Updated"};
    screen().RefreshDisplays();
    EXPECT_EQ(labels[1].Text, "");
    EXPECT_EQ(labels[1].Colour, complementOf(Dark));
    EXPECT_EQ(labels[3].Colour, complementOf(Bright));
    // The label at index 0 of a list set is never bold, even when selected.
    useSkin("[s]|B=,,bg,,|I=zero|[Labels_zero]|L=1,1,%META,,");
    view.MetaList = {"Meta - Updated"};
    view.MetaListIndex = 0;
    screen().DisplayScreen("s");
    EXPECT_EQ(labels[0].Colour, ScreenRenderer::SelectedEntryColour);
    EXPECT_FALSE(labels[0].Bold);
}

TEST_F(ScreenRendererTest, PictureFilesAreFoundInOrderAndReadOnceUntilTheyChange) {
    for (const auto &[ext, colour] : {std::pair{"png", Red}, {"bmp", Blue}, {"jpg", Yellow}}) {
        picture(QStringLiteral("pic.") + ext, {8, 8}, colour);
    }
    const QString base = folder.filePath("pic");
    EXPECT_EQ(QStringList({screen().RN("pic"), screen().RN("pic.jpg"), screen().RN("none"), screen().RN("")}),
              QStringList({base + ".png", base + ".jpg", "", ""}));
    // Loading prefers the bitmap, then the JPEG (its yellow near enough); unknown names keep the
    // item's picture.
    DrawnItem item;
    ASSERT_TRUE(screen().LoadThePicture("pic", item));
    EXPECT_EQ(item.Picture.pixelColor(1, 1), Blue);
    QFile::remove(base + ".bmp");
    ASSERT_TRUE(screen().LoadThePicture("pic", item));
    EXPECT_FALSE(screen().LoadThePicture("none", item) || screen().LoadThePicture("", item));
    EXPECT_EQ(item.Picture.pixelColor(1, 1).red(), 255);
    EXPECT_GT(item.Picture.pixelColor(1, 1).green(), 200);

    // Each picture is read once per background colour...
    screen().DisplayScreen("one");
    const int first = screen().diskLoads();
    EXPECT_GE(first, 5);
    screen().DisplayScreen("two");
    screen().DisplayScreen("one");
    screen().DisplayScreen("one");
    EXPECT_EQ(screen().diskLoads(), first + 1); // bg2; red over bg2's colour is composed, not read
    // ...until it is replaced on disk.
    picture("red.png", {20, 20}, Yellow);
    QFile file(folder.filePath("red.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    file.close();
    screen().DisplayScreen("one");
    ExpectPixels(screen().render(), {{10, 20, Yellow}});
    // The information panel colours the name labels by the menu name, ignoring case.
    screen().ColourNameLabels("bETA");
    EXPECT_EQ(screen().OverlayNameLabel[0].Colour, ScreenRenderer::OtherItemColour);
    EXPECT_EQ(screen().OverlayNameLabel[1].Colour, ScreenRenderer::CurrentItemColour);
}

TEST_F(ScreenRendererTest, ReloadedTablesAreCheckedBeforeUseAndRedrawUsesThem) {
    view.CurrentMenuLabel = "Alpha";
    screen().DisplayScreen("one");
    ASSERT_GT(skin.CurrentLabelSet, 1);
    // A reload leaves the selection pointing past the new, shorter table.
    useSkin("[one]|B=,,bg2,,|O=1,1,red,,");
    skin.CurrentStatusSet = 40;
    skin.CurrentMenu = 7;
    screen().RefreshDisplays();
    display->DoCommand(0, true);
    display->BackGround_Click();
    display->OverlayImages_MouseDown(0, Qt::LeftButton);
    EXPECT_TRUE(queued().isEmpty());
    screen().Redraw();
    EXPECT_EQ(skin.CurrentMenu, 0);
    ExpectPixels(screen().render(), {{100, 100, Bright}});
}

TEST_F(ScreenRendererTest, HugePicturesAreFittedToTheirPlaceAndDecodedOncePerFile) {
    // Each picture far larger than its place: every overlay a file of its own, drawn over
    // varying colours, one of them twice.
    picture("skin/bg.png", {1600, 1200}, Qt::darkBlue, Qt::darkGreen);
    QString lines = "[s]|B=,,skin/bg,,|S=bar";
    for (int i = 0; i < 12; ++i) {
        picture(QStringLiteral("skin/o%1.png").arg(i), {1000, 1000}, Qt::red, Qt::transparent);
        lines += QStringLiteral("|O=%1,%2,skin/o%3,,").arg(i * 25).arg(i * 19).arg(i);
    }
    lines += "|O=300,200,skin/o0,,|[StatusBar_bar]|O=0,0,skin/o1,,";
    useSkin(lines);
    screen().DisplayScreen("s");
    EXPECT_EQ(screen().BackGround.size(), QSize(320, 240));
    ASSERT_GE(screen().OverlayImages.size(), 13u);
    for (const DrawnItem &overlay : screen().OverlayImages) {
        EXPECT_EQ(overlay.Picture.size(), QSize(96, 96));
    }
    EXPECT_EQ(screen().StatusImages.at(0).Picture.size(), QSize(32, 32));
    // The background, then one decoding per overlay file (the status picture's place is smaller,
    // so its file is decoded at that size too).
    EXPECT_EQ(screen().diskLoads(), 1 + 12 + 1);
    EXPECT_LE(screen().keptPictureBytes(), PictureCache::DefaultBudget);
    screen().DisplayScreen("s");
    EXPECT_EQ(screen().diskLoads(), 1 + 12 + 1);
}

TEST_F(ScreenRendererTest, PictureNamesStayInsideTheProgramFolder) {
    // A picture beside the program folder, reached by "..", by an absolute name or through a
    // link inside the folder; and a FIFO, which would block whoever opens it.
    QTemporaryDir outside;
    ASSERT_TRUE(SavePicture(outside.filePath("secret.png"), {8, 8}, Qt::yellow));
    picture("inside.png", {8, 8}, Qt::green);
    ASSERT_TRUE(QFile::link(outside.filePath("secret.png"), folder.filePath("link.png")));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath("fifo.png")).constData(), 0600), 0);
    const QString up = QDir(folder.path()).relativeFilePath(outside.filePath("secret"));
    ASSERT_TRUE(up.startsWith("../"));
    const QStringList names{up,
                            up + ".png",
                            outside.filePath("secret"),
                            "link",
                            "fifo",
                            "fifo.png",
                            "..\\" + QFileInfo(outside.path()).fileName() + "\\secret"};
    for (const QString &name : names) {
        EXPECT_EQ(screen().RN(name), "") << name.toStdString();
        DrawnItem item;
        EXPECT_FALSE(screen().LoadThePicture(name, item)) << name.toStdString();
    }
    // Inside names still work, with either separator and a leading one.
    EXPECT_EQ(screen().RN("/inside"), folder.filePath("inside.png"));
    useSkin("[s]|B=,,../" + QFileInfo(outside.path()).fileName() + "/secret,,|[t]|B=,,\\inside,,");
    screen().DisplayScreen("s");
    EXPECT_EQ(screen().Caption, "");
    screen().DisplayScreen("t");
    EXPECT_EQ(screen().BackGround.size(), QSize(8, 8));
}

// What a screen reader finds: the offline notice first, icons as buttons named by their
// captions (the current one selected), a supplied picture as a picture that takes no press,
// the status bar's key by its command, the labels' texts and the list's rows with the selected
// one marked. Pressing an object clicks where the screen's hit test finds that very object.
TEST_F(ScreenRendererTest, AScreenReaderReadsWhatTheScreenShowsAndPressesIt) {
    view.InfoList = {"List - Updated", "pos=1 (1)", "1=First", "2=Second"};
    view.InfoListEnabled = true;
    view.InfoListIndex = 3;
    view.CurrentMenuLabel = "Beta";
    useSkin("[one]|B=,,bg,two,BEEP|S=bar|I=set|O=10,20,red,Alpha,CMD_A|O=L5,T10,half,Beta,|"
            "O=150,60,clear,,|O=200,150,coverart,,|"
            "[StatusBar_bar]|O=300,0,sub\\blue,,VOLp|"
            "[Labels_set]|L=5,200,Hello,,|L=L4,200,%INFO,,Row|L=5,T-20,%VOLUME,Vol,|L=200,4,%INFO,,");
    picture("coverart.png", {30, 30}, Red);
    screen().DisplayScreen("one");
    QList<ScreenObject> objects = ReadScreen(screen());
    const auto named = [&objects](const QString &name) -> const ScreenObject * {
        for (const ScreenObject &object : objects) {
            if (object.name == name) {
                return &object;
            }
        }
        return nullptr;
    };
    ASSERT_NE(named("Alpha"), nullptr);
    EXPECT_EQ(named("Alpha")->role, ScreenObject::Button);
    EXPECT_FALSE(named("Alpha")->selected);
    ASSERT_NE(named("Beta"), nullptr);
    EXPECT_TRUE(named("Beta")->selected);
    ASSERT_NE(named("Volume up"), nullptr);
    EXPECT_EQ(named("Volume up")->role, ScreenObject::Button);
    int pictures = 0;
    for (const ScreenObject &object : objects) {
        EXPECT_FALSE(object.name.isEmpty());
        if (object.role == ScreenObject::Picture) {
            ++pictures;
            EXPECT_FALSE(object.pressAt.has_value());
        }
    }
    EXPECT_EQ(pictures, 2); // the see-through one and the cover
    ASSERT_NE(named("Hello"), nullptr);
    EXPECT_EQ(named("Hello")->role, ScreenObject::Text);
    ASSERT_NE(named("Second"), nullptr);
    EXPECT_EQ(named("Second")->role, ScreenObject::ListRow);
    EXPECT_TRUE(named("Second")->selected);

    // Pressing clicks the object itself, also where another lies over its middle.
    display->Click(*named("Alpha")->pressAt);
    display->Click(*named("Volume up")->pressAt);
    EXPECT_EQ(queued().filter(QRegularExpression("^(CMD_A|VOLp)$")), QStringList({"CMD_A", "VOLp"}));

    view.RadioOffline = true;
    view.OfflineSince = "09:31:05";
    objects = ReadScreen(screen());
    ASSERT_FALSE(objects.isEmpty());
    EXPECT_EQ(objects.first().role, ScreenObject::Notice);
    EXPECT_EQ(objects.first().name, "Offline since 09:31:05");
}

// A high-resolution screen gets the skin's double-size drawings pixel for pixel where they
// match the pictures (one of another size is no such drawing), the rest scaled up.
TEST_F(ScreenRendererTest, HighResolutionScreensGetTheDoubleSizeDrawings) {
    picture("red@2x.png", {40, 40}, Yellow, Yellow); // told apart from the plain picture by its colour
    picture("half@2x.png", {10, 10}, Red);
    // Without captions, whose plates would cover the corners looked at (how far depends on the font).
    useSkin("[one]|B=,,bg,,|O=10,20,red,,|O=L5,T10,half,,");
    screen().DisplayScreen("one");
    const QImage one = screen().render();
    EXPECT_EQ(one.size(), QSize(320, 240));
    EXPECT_EQ(one.devicePixelRatio(), 1.0);
    for (const qreal ratio : {1.5, 2.0}) {
        const QImage shown = screen().render(ratio);
        EXPECT_EQ(shown.size(), QSize(320, 240) * ratio);
        EXPECT_EQ(shown.devicePixelRatio(), ratio);
    }
    const QImage two = screen().render(2.0);
    const QRect red = screen().OverlayImages[0].Rect();
    const QPoint corner = red.bottomRight() - QPoint(1, 1);
    EXPECT_EQ(one.pixelColor(corner), Red);
    EXPECT_EQ(two.pixelColor(corner * 2), Yellow);
    const QRect half = screen().OverlayImages[1].Rect();
    EXPECT_EQ(two.pixelColor(half.bottomLeft() * 2 + QPoint(1, -2)), Blue);
}

// The colours the display writes in read on the shipped skin: the list's colours on every
// colour of the list screen's background below its top bar, the captions on their plate even
// over white.
TEST(ShippedSkinColours, TextsReadOnWhatTheyAreDrawnOver) {
    const QImage list(QDir(qEnvironmentVariable("CV_TEST_DATA")).filePath("320x240/list.png"));
    ASSERT_FALSE(list.isNull());
    QSet<QRgb> colours;
    for (int y = 30; y < list.height(); y += 2) {
        for (int x = 0; x < list.width(); x += 2) {
            colours.insert(list.pixel(x, y));
        }
    }
    for (const QRgb under : colours) {
        for (const QRgb text : {ScreenRenderer::SelectedEntryColour, ScreenRenderer::EnabledListColour}) {
            EXPECT_GE(ContrastRatio(QColor::fromRgb(text), QColor::fromRgb(under)), 4.5)
                << qPrintable(QColor::fromRgb(text).name()) << " on " << qPrintable(QColor::fromRgb(under).name());
        }
    }
    QImage plate(1, 1, QImage::Format_RGB32);
    plate.fill(Qt::white);
    QPainter(&plate).fillRect(plate.rect(), QColor::fromRgba(ScreenRenderer::CaptionPlate));
    for (const QRgb caption : {ScreenRenderer::CurrentItemColour, ScreenRenderer::OtherItemColour}) {
        EXPECT_GE(ContrastRatio(QColor::fromRgb(caption), plate.pixelColor(0, 0)), 4.5);
    }
}
