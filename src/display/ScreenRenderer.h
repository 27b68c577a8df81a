#pragma once

#include "display/LabelTokens.h"
#include "platform/Imaging.h"
#include "skin/Skin.h"
#include "skin/SkinTables.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

class RadioView;
class WallClock;
class RadioSession;

// One drawn item of the emulated screen: a picture area or a text label. Items are created on
// demand and kept; a screen with fewer items hides the surplus.
struct DrawnItem {
    bool Visible = false;
    int Left = 0; // pixels in the 320x240 screen; for a name label, within its overlay
    int Top = 0;
    QImage Picture; // picture areas
    QImage Sharp;   // the same picture drawn at twice the size, for high-resolution screens; or null
    QString Text;   // labels
    QString ToolTip;
    QString Command;                   // what a click sends, "" for none
    bool PictureOnly = false;          // a picture the radio supplies (a cover): a click does nothing
    bool Row = false;                  // a label that shows an entry of a list
    QRgb Colour = qRgb(255, 255, 255); // text colour of labels
    bool Bold = false;
    QSize Size; // the picture's size, or the text's for a label

    int Width() const { return Size.width(); }
    int Height() const { return Size.height(); }
    QRect Rect() const { return {Left, Top, Size.width(), Size.height()}; }
};

// The radio's 320x240 screen rebuilt from the skin, as plain data: the window only shows
// render() and forwards clicks. DisplayScreen rebuilds the whole screen for a definition of the
// skin; RefreshDisplays updates the texts and colours of the labels of the current label set
// (it runs after every reply and on every display tick, so it never touches a picture).
//
// The skin tables may be replaced at any time (the Reload action): every index into them is
// checked before use, and Redraw() builds the shown screen again from the new tables.
class ScreenRenderer {
public:
    static constexpr int ScreenWidth = 320;
    static constexpr int ScreenHeight = 240;

    // The largest picture each place shows; a bigger one is scaled down, keeping its
    // proportions, when it is loaded, so a skin of huge pictures costs what the screen can show.
    // Each is a little over what the skin that comes with the program draws there: overlays are
    // menu icons (64x48), buttons (32x32) and the cover (80x80); status pictures 16x16; the
    // information panel's menu icon and the waiting animation 64x48 and 56x56.
    static constexpr QSize BackgroundFit{ScreenWidth, ScreenHeight};
    static constexpr QSize OverlayFit{128, 96};
    static constexpr QSize StatusFit{32, 32};
    static constexpr QSize IconFit{64, 64};

    // Caption colours of overlays: the radio's current menu item, and every other one.
    static constexpr QRgb CurrentItemColour = qRgb(0, 255, 0);
    static constexpr QRgb OtherItemColour = qRgb(255, 128, 128);
    // Drawn under the captions, so they read over any picture (the icons' light glyphs too).
    static constexpr QRgb CaptionPlate = qRgba(16, 20, 28, 220);
    // List labels: the selected entry, and the others of an enabled list.
    // A light red: pure red is too dark to read on the skin's dark lists.
    static constexpr QRgb SelectedEntryColour = qRgb(255, 120, 120);
    static constexpr QRgb EnabledListColour = qRgb(0, 255, 0);

    // The session gives the skin, the information panel's lists, their selection, the current
    // menu name and the radio's own words; pictures are looked for in programFolder.
    ScreenRenderer(RadioSession &radio, const WallClock &clock, QString programFolder);

    // Rebuilds the display for the definition named name ("" rebuilds the previous name once).
    // An unknown name, or a background that does not resolve, leaves the screen as it was.
    void DisplayScreen(const QString &name);
    // Builds the screen shown last again, from the current skin tables (after a Reload).
    void Redraw();
    // Texts, boldness and colours of the time, date and list labels of the current label set.
    void RefreshDisplays();

    // Skin::PictureFile in the program folder.
    QString RN(const QString &name) const { return Skin::PictureFile(m_folder, name); }
    // The colour of the background picture under the item's top-left corner (black outside).
    QRgb GetBackColor(const DrawnItem &item) const;
    // Loads the picture name (looked for with ".bmp", ".jpg", ".png" appended, in this order,
    // else as given) at its natural size over the background colour under target into target.
    // False, target unchanged, when the name is "" or the picture cannot be loaded. The
    // information panel loads its current-menu picture and the waiting animations their frames
    // with it.
    bool LoadThePicture(const QString &name, DrawnItem &target);
    // Colours the overlays' name labels for the menu name: the one whose caption equals it
    // (ignoring case) green, every other one light red. The information panel calls it when
    // its current menu name changes.
    void ColourNameLabels(const QString &menuName);

    // The window's title is this and the skin's name for the screen shown.
    static constexpr QLatin1StringView CaptionPrefix{"Display Screen - "};

    // Overlays that only show a picture the radio supplies; a click on them does nothing.
    static bool IsPictureOnly(const QString &picture);

    // The screen as the window shows it.
    // At a device pixel ratio above 1 the screen is drawn at that many device pixels per pixel,
    // with the skin's double-size pictures where it has them and its texts at full resolution.
    QImage render(qreal ratio = 1.0) const;

    // What render() draws from, kept to tell whether an operation changed the picture: the
    // window repaints only then. Pictures compare by identity (the picture cache hands out the
    // same image again), so a picture loaded anew counts as a change even with equal pixels.
    struct Drawing {
        struct Item {
            bool visible = false;
            int left = 0;
            int top = 0;
            QSize size;
            qint64 picture = 0;
            QString text;
            QRgb colour = 0;
            bool bold = false;
            bool operator==(const Item &) const = default;
        };
        QString caption;
        qint64 background = 0;
        std::vector<Item> items;
        bool operator==(const Drawing &) const = default;
    };
    Drawing drawing() const;

    // What lies under a point of the screen, topmost first: a label, a status picture, an
    // overlay (its name label included), else the background.
    struct Hit {
        enum Kind { Background, Overlay, Status, Label } kind = Background;
        int index = -1;
    };
    Hit hitTest(QPoint at) const;
    // The tooltip of whatever lies under a point ("" for the background).
    QString toolTipAt(QPoint at) const;

    // Drawn state.
    QString Caption; // the screen's name, for the window title
    // "Offline since HH:MM:SS" while the radio does not answer, else "": the screen drawn is
    // then the last one known, and render() shows it greyed with this text across.
    QString notLiveText() const;
    QImage BackGround;
    QImage BackGroundSharp;
    std::vector<DrawnItem> OverlayImages;
    std::vector<DrawnItem> OverlayNameLabel; // positions are within the overlay of the same index
    std::vector<DrawnItem> StatusImages;
    std::vector<DrawnItem> OverlayLabel;
    DrawnItem PleaseWaitImage;
    QString LastScreenName;

    // The fonts labels are drawn with (text sizes follow them).
    static QFont labelFont(bool bold);
    static QFont nameLabelFont();

    // Loads that went to the disk since start (the rest came from the picture cache), and the
    // bytes of pixels the cache keeps.
    int diskLoads() const { return m_pictures.diskLoads(); }
    qint64 keptPictureBytes() const { return m_pictures.keptBytes(); }
    const QString &programFolder() const { return m_folder; }

private:
    // The device value a label token stands for (volume, version, power state), or null.
    std::optional<QString> deviceValue(LabelToken token) const;
    const ScreenDef *definition(int index) const;
    QImage picture(const QString &path, QRgb background, QSize fit);
    // The double-size drawing beside the picture at path ("name@2x.png"), over background, when
    // it is twice the size the picture was drawn at; null otherwise.
    QImage sharpPicture(const QString &path, QRgb background, QSize fit, QSize drawn);
    void place(DrawnItem &item, const ScreenItem &from, const DrawnItem *previous) const;
    // Places a picture item and loads the picture it names; false when it names none.
    bool placePicture(DrawnItem &item, const ScreenItem &from, const DrawnItem *previous, QSize fit);
    void sizeLabel(DrawnItem &label) const;
    void centreNameLabel(int index);

    SkinTables &m_skin;
    RadioSession &m_radio;
    const RadioView &m_view;
    const WallClock &m_clock;
    QString m_folder;
    PictureCache m_pictures;
    QString m_drawnName; // the name of the screen built last, for Redraw
};
