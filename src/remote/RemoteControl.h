#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

class INIFILES;
class LayoutEditor;
class PlacedWindow;
class Timer;
struct KeyStroke;
struct RemoteButton;
struct RemoteLayout;
struct Timeouts;

// True when low <= value <= high, both ends included; never when low > high.
bool Between(qint16 value, qint16 low, qint16 high);

// The first button (file order) whose rectangle holds yp, xp; -1 when none does.
int HitTest(const std::vector<RemoteButton> &buttons, qint16 yp, qint16 xp);

// A position in whole percent of an extent, rounded down; 0 on an empty picture.
qint16 PercentOf(double position, double extent);

// The remote window's status panels 1 and 3 for a mouse position, and panel 2 for a command.
QString PixelPanelText(QPointF at);
QString CommandPanelText(const QString &command);
QString PercentPanelText(qint16 yp, qint16 xp);

// The modifier keys that steer a click: none, shift alone, or any other combination of shift,
// control and alt.
enum class ClickModifiers { None, ShiftAlone, Other };
ClickModifiers ClickModifiersOf(Qt::KeyboardModifiers modifiers);

// Why a file dropped onto the remote window is no layout to load ("" when it is one): a folder,
// a file without a ".txt" text file and a picture beside it, or a picture that cannot be shown.
// When it is one, picture receives the layout's picture.
QString DropProblem(const QString &path, QImage &picture);

// Reads a layout picture. Pictures larger than MaxPicturePixels are refused before they are
// decoded: a stray photo must not take the program's memory. The window only ever shows the
// picture scaled to its own size, so one larger than MaxPictureSide either way is kept scaled
// down to that (its proportions kept), a few times what a remote window shows. "" on success,
// else why not.
constexpr qint64 MaxPicturePixels = 40LL * 1000 * 1000;
constexpr int MaxPictureSide = 2048;
QString ReadLayoutPicture(const QString &path, QImage &picture);

// Where a picture of this size is shown in an area: as large as fits with its proportions kept,
// centred, so a window cut shorter or narrower than the picture does not squeeze the drawn
// keys out of shape. Without a picture, the whole area.
QRect FittedPictureRect(QSize picture, QSize area);

// The pointer aid drawn over the remote picture: an oval that follows the mouse, or a rectangle
// that marks one layout rectangle. Geometry in pixels of the picture as shown.
struct PointerAid {
    enum Shape { Oval, Rectangle };
    static constexpr double OvalSize = 22;

    Shape shape = Oval;
    bool visible = false;
    QPointF ovalCentre;
    QRectF marked; // the rectangle shape's place and size

    QRectF geometry() const;
};

class RemoteControl;

// What the remote window asks of the rest of the program: the radio link and the main
// window's command list answer (the program's answer is RemoteRequests in
// src/app/WireRemote.cpp, handed over when the remote window is made).
class RemoteActions {
public:
    virtual ~RemoteActions() = default;
    virtual void sendKey(const QString &command) = 0;
    virtual void connectRadio() = 0;
    virtual void disconnectRadio() = 0;
    virtual bool keepAsConnected() const = 0;
    // The commands queued for the radio and not yet sent.
    virtual QStringList waitingCommands() const = 0;
    // Select the first command list entry equal to the command, if there is one.
    virtual void selectCommand(const QString &command) = 0;
    // After a layout was loaded into this control: the command list's selection marks its
    // rectangle again.
    virtual void layoutLoaded(RemoteControl &control) = 0;
};

// The remote window's behaviour, without the window: the hit test and click rules, the pointer
// aid and its time-out, the status panels, dropped layouts, and the layout's picture. The
// window forwards mouse events in pixels of the picture as shown, tells the picture's size, and
// renders on changed().
class RemoteControl : public QObject {
    Q_OBJECT
public:
    static constexpr int LoseAidInterval = 4000;

    RemoteControl(RemoteLayout &layout, LayoutEditor &editor, INIFILES &settings, std::unique_ptr<Timer> loseAid);
    ~RemoteControl() override;

    // Who answers the window's requests; it must be set before the first one (an unanswered
    // request is a wiring fault and stops a debug build). Detached, the requests go nowhere:
    // the program does that when it closes the window, before the link goes.
    void setActions(RemoteActions &actions) { m_actions = &actions; }
    void detachActions();

    // The window whose placement is stored per layout; null until the window exists.
    void setPlacedWindow(PlacedWindow *window) { m_window = window; }
    // The size of the picture as shown, in pixels.
    void setPictureSize(QSizeF size);
    QSizeF pictureSize() const { return m_pictureSize; }

    // A key of the layout as a screen reader offers it: a rectangle that sends a command (its
    // index in the layout's table), where it lies on the picture as shown.
    struct Key {
        int index = -1;
        QString command;
        QRectF area;
    };
    QList<Key> keys() const;
    // Presses the layout's key at this index as a plain click on it does: its command is chosen
    // in the command list and sent once. An index the layout no longer has does nothing.
    void pressKey(int index);

    const QImage &picture() const { return m_picture; }
    // The layout's picture drawn at twice the size ("<name>@2x.png" beside it), or null.
    const QImage &sharpPicture() const { return m_sharpPicture; }
    const PointerAid &aid() const { return m_aid; }
    // Panels 1..3 (index 0 unused).
    const std::array<QString, 4> &statusPanels() const { return m_panels; }
    // Colour of the aid's outline (red in the low byte); -1 until the link paints it.
    int pointerBorderColour() const { return m_pointerBorderColour; }
    void setPointerBorderColour(int colour);
    Timer &LoseAid() { return *m_loseAid; }

    // Loads a layout by name or by the path of one of its files, shows its picture (a picture
    // that cannot be read leaves the one shown and says so) and marks the selected command.
    void LoadLayout(const QString &name);
    // The rest of it, for a layout that the Reload action loaded: the picture ("" keeps the one
    // shown) and the selected command marked.
    void showLayout(const QString &picturePath);
    // A layout picked from the main window's list: the window's place is kept for the layout
    // shown so far, then the picked one becomes current. The caller reloads.
    void ChooseLayout(const QString &name);
    // The window's load: its placement, then the current layout.
    void Form_Load();
    // The window's unload: hidden, then its placement stored for the window and for the layout.
    void Form_Unload();

    void RemoteImage_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at);
    // The second press of a double click: a key that repeats when held (the arrows, VOLp, VOLm)
    // is pressed again, any other key of the radio only once (POWER twice would switch the radio
    // off and on). Off the keys, and with modifier keys held, it is a press as any other.
    void RemoteImage_DblClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at);
    void RemoteImage_MouseMove(Qt::KeyboardModifiers modifiers, QPointF at);
    void RemoteImage_OLEDragDrop(const QString &path);
    // A key that reached the window: the radio key it presses (see RadioKeyToPress) is sent as a
    // click on its button sends it, and shown in panel 2. True when it pressed one.
    bool KeyPress(const KeyStroke &stroke);
    // The tooltip at a place of the picture: the button's command and its keyboard key.
    QString toolTipAt(QPointF at) const;
    void LoseAid_Timer();
    void StatusBar1_PanelClick(int panel);

    // Places the aid over a rectangle given in percent of the picture.
    void GuidePosition(qint16 top, qint16 bottom, qint16 left, qint16 right);
    // Marks the rectangle of the editor's boxes and refreshes the summary box.
    void PositionFixedGuide();
    // A command chosen in the command list: the aid's time-out restarts and the command's
    // rectangle, when the layout has one, fills the editor's boxes and is marked.
    void TheList_Click(const QString &command);
    // The main window's two options.
    void ShowPointer_Click(bool on);
    void StaticPointer_Click(bool on);

Q_SIGNALS:
    void changed();
    // Panel 3 was clicked: the information panel should show.
    void infoPanelRequested();

private:
    // The answering side, or nullptr once detached.
    RemoteActions *actions();
    void restartLoseAid();
    void wakeLoseAid();
    void setPanel(int panel, const QString &text);
    void showPicture(const QString &path, const QImage *decoded);

    RemoteLayout &m_layout;
    LayoutEditor &m_editor;
    INIFILES &m_settings;
    std::unique_ptr<Timer> m_loseAid;
    bool m_loseAidStarted = false; // the pointer has moved over the picture at least once
    PlacedWindow *m_window = nullptr;
    RemoteActions *m_actions = nullptr;
    bool m_detached = false;
    QSizeF m_pictureSize;
    QImage m_picture;
    QImage m_sharpPicture;
    PointerAid m_aid;
    std::array<QString, 4> m_panels;
    int m_pointerBorderColour = -1;
};
