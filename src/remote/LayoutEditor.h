#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <array>

class INIFILES;
class PlacedWindow;
struct RemoteLayout;

// The layout editor of the main window, as plain data: the five edge boxes (top, bottom, left,
// right in percent of the picture, and the four as one line), which box the next shift-click on
// the remote picture writes, the box shown green, the two pointer-aid options and a status line.
// The main window renders it and forwards typing, focus and keys; the remote window runs the
// capture step on shift-clicks.
class LayoutEditor : public QObject {
    Q_OBJECT
public:
    static constexpr int Boxes = 5;
    static constexpr int SummaryBox = 4;
    static constexpr int Green = 65280; // red in the low byte
    static constexpr int White = 16777215;

    std::array<QString, Boxes> ButtonLocations;
    // The box the next capture writes: 0..4, or -1 for none.
    qint16 EditIndex = -1;
    // The box shown green (-1: none). Usually the edit index, but a plain click on the picture
    // greens the summary box while choosing none.
    int GreenBox = -1;
    bool ShowPointer = true;    // "Show Pointer aid"
    bool StaticPointer = false; // "Keep Aid still"
    // What the last Set or Save did, for the user.
    QString StatusText;

    int boxColour(int box) const { return box == GreenBox ? Green : White; }

    // Greens the box named by index and whitens the others; -2 stands for the edit index.
    void SetBoxColors(int index);
    // Typed into a box.
    void setBox(int box, const QString &text);
    // A box took the focus: the next capture writes it.
    void FocusBox(int box);
    // Up or Down in a box: the number becomes |n - 1| or |n + 1|. The caller redraws the
    // rectangle afterwards.
    void ArrowKey(int box, bool up);
    // A shift-click on the picture at yp, xp (percent). Right button steps back through the
    // boxes, any other forward.
    void CaptureStep(bool rightButton, qint16 yp, qint16 xp);
    // A click on the picture without modifier keys: no box is chosen.
    void ClearChoice();

    // Boxes 0..3 as the rectangle guide reads them (numeric prefix, rounded; 0 when out of range).
    std::array<qint16, 4> edges() const;
    // Box 4 shows boxes 0..3, each followed by ", ".
    void writeSummary();

    // Copies the first rectangle of command into boxes 0..3. False (boxes untouched) when the
    // layout has none.
    bool ShowCommand(const RemoteLayout &layout, const QString &command);
    // "Set": boxes 0..3 become the rectangle of command (its first record; a new record at the
    // end when it has none). A box that holds no number leaves its edge as it was. A command the
    // layout file could not carry exactly is refused and StatusText says why. True when the
    // table changed.
    bool SetButton_Click(RemoteLayout &layout, const QString &command);
    // "Save": writes the current layout; nothing while no layout is current.
    bool UpdateButtons_Click(RemoteLayout &layout, INIFILES &settings, PlacedWindow *remoteWindow);

    // Emits changed() so the main window renders the boxes again.
    void touch() { Q_EMIT changed(); }

Q_SIGNALS:
    void changed();
};
