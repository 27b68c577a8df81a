#pragma once

#include "platform/Timer.h"
#include "session/Menuform.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class RadioView;
class Platform;
class RadioLink;
class Telnet;
struct MacroTable;
struct RadioState;
struct SkinTables;
struct Timeouts;

// Queues the volume keys that bring the radio from its reported volume (VolumeText) to target,
// on the command channel, each followed by a pause. The radio steps by 1 below 5 and by 5 from
// 5 upwards, so targets of 5 and more are rounded to a multiple of 5 first. Returns whether any
// key was queued; nothing is queued when the target equals the reported volume or when the radio
// has not reported a number yet (keys counted from an unknown volume would land anywhere).
// Clears VolumeDragging either way.
bool SetVolume(Telnet &telnet, RadioState &state, int target);
// The volume SetVolume steers to for target: within 0..100, and from 5 up the nearest multiple
// of 5.
int ReachableVolume(int target);
// Where a step of the volume slider by keys or the wheel leads: from the volume `from`, moved by
// `delta` (an arrow key's 1, a page's 5, either way), the reachable volume the step lands on, and
// at least the radio's next step in that direction, so a step never rounds back to where it began.
int SteppedVolume(int from, int delta);
// The volume the radio reported last (VolumeText read as SetVolume reads it); none before the
// radio has reported a number.
std::optional<int> ReportedVolume(const RadioState &state);

// The cursor keys that move the radio's main-menu cursor from entry `from` to entry `to` (1..20,
// four to a row): UP or DOWN to the row, then LEFT or RIGHT along it. Empty when either is
// outside the grid.
QStringList MainMenuMoves(int from, int to);

// The lists of the information panel that take mouse and key presses.
enum class PanelList { MainMenu, Menu, Meta, Info };

// The information panel's behaviour: what a click, double click, key or slider move on the
// panel sends to the radio, the hold flags that keep the reply decoder from moving a list the
// user works in, and the few texts the panel owns. The lists, labels and slider themselves are
// the session's view of the radio (RadioView); the window renders both and forwards user events to
// the handlers here, which are named after their control and event.
class InfoPanel : public QObject {
    Q_OBJECT
public:
    // As much text as fits on the radio's line: the message box is made wide enough to show it.
    static QString messageRuler();

    InfoPanel(Platform &platform, RadioLink &link, RadioState &state, const Timeouts &timeouts, const SkinTables &skin,
              MacroTable &macros, QString programFolder);
    ~InfoPanel() override;

    // The refresh menu, shared with the rest of the program.
    Menuform menu;

    // Texts and flags the panel owns (the window renders them; logic reads them).
    QString TimeLabel = QStringLiteral("00:00:00");
    QString ScrollVolumeLabel = QStringLiteral("100");
    QString MessageText;   // starts empty: nothing goes to the radio's display until typed
    QString StatusMessage; // status bar panel 2: the last message sent

    // The radio's main menu as the skin names it; row = entry number (0 is the power key).
    const QStringList &MainMenuRows() const;

    // How long after a second begins the clock's tick comes, so a tick that is a little early
    // by the wall clock still shows the new second.
    static constexpr int ClockTickLag = 5;

    Timer &HalfSecondTick() { return *m_halfSecondTick; }

    // Once a second, just after the second begins: the time of day and the reported state,
    // version and volume. Announces a change only when one of them differs.
    void HalfSecondTick_Timer();
    // Whether the window showing the clock is on screen; the tick sleeps while it is not.
    void setClockShown(bool shown);

    // A click on the state, version or volume label (caption or value) refreshes that value.
    void DeviceState_Click() { menu.Mnu_State_Refresh_Click(); }
    void DeviceVersion_Click() { menu.Mnu_Version_Refresh_Click(); }
    void DeviceVolume_Click() { menu.Mnu_Volume_Refresh_Click(); }

    // The user picked a row (mouse or keys): the selection is the view's, the window forwards it.
    void selectRow(PanelList list, int row);
    // The user picked a row elsewhere (the display's list labels): it is selected, and the
    // list is held as a mouse press on it holds it.
    void holdRow(PanelList list, int row);
    // A mouse press: the right button refreshes the list and lets the decoder move it again; any
    // other button holds it while the user works in it.
    void List_MouseDown(PanelList list, bool rightButton);
    // A key press in the main menu or info list holds it; Enter acts as a double click.
    // Returns true when the key was used up (Enter).
    bool List_KeyDown(PanelList list, bool enter);

    // Opens the selected main-menu entry (OpenMainMenuEntry).
    void MainMenuList_DblClick();
    // Takes the radio to main-menu entry `entry` and opens it, from whatever screen it shows: off
    // the main menu HOME goes first, then the cursor keys across the grid of four columns, then
    // OK. Entry 0 is the power key. The display's main-menu icons open their entries here too.
    // When the radio has not said which entry its cursor is on, it is asked, and the entry
    // opens when the answer comes; without one in time the terminal says it was not opened.
    void OpenMainMenuEntry(int entry);
    void PendingEntry_Timer();
    // Shows the picture of the clicked main-menu entry while no macro is waiting.
    void MainMenuList_Click(int row);
    // The first row takes the radio home.
    void MenuList_DblClick();
    // Row 0 stops playback, row 5 pauses it.
    void MetaList_DblClick();
    // Rows 0 and 1 turn the radio's list page; a later row moves the radio's cursor to that
    // entry and opens it. Also used by the macro runner to select a row.
    void InfoList_DblClick();

    void RecordButtons_Click();
    void RefreshButton_Click();
    void ScrollVolumeLabel_DblClick();
    void SendMessageButton_Click();
    void MessageText_Change(const QString &text);

    // The slider: dragging shows the value; the user's change (drag ended, click, key) steers
    // the radio's volume there.
    void VolumeAdjuster_Scroll(int value);
    void VolumeAdjuster_Change(int value);
    // Where a step by keys, the wheel or a click beside the handle takes the slider, which shows
    // `shown`: counted from the volume the radio is being steered to while keys toward it are still
    // on their way (the radio's reports meanwhile move the slider back through the volumes it
    // passes), else from `shown`. See SteppedVolume.
    int VolumeAdjuster_Step(int shown, int delta) const;
    // The program moved the slider to the radio's volume: the number follows, nothing is sent.
    void volumeShown(int value);

    // The current menu picture: a double click shows the radio's screen in the display window;
    // a right press shows the macro list over it (hidden macros too with a modifier key held).
    void CurrentMenuImage_DblClick();
    void CurrentMenuImage_RightPress(bool modifierHeld);

    void MacroList_Click(int row);
    // The user moved the list's selection by keys: it is kept, so the list's refresh keeps it too.
    void MacroList_Select(int row);
    // A double click, or Enter or Space on the selected row, runs the macro.
    void MacroList_DblClick(int row);
    void MacroList_RightPress();
    // The macro list over the picture (the view's MacroListVisible); the macro runner shows it
    // again after a failed run and hides it when a run ends.
    void setMacroListVisible(bool visible);
    void MacroLabel_Click();

    const MacroTable &macros() const { return m_macros; }

Q_SIGNALS:
    // The panel's own texts changed; the link's view announces its own changes.
    void changed();

    // What the panel asks of the windows and engines it does not own; the program connects
    // each of them (its tests check that none is left unanswered).
    // The user moved the volume slider to this value: the volume is to be steered there.
    void volumeRequested(int value);
    // Start the macro with this table index (the runner's start sequence).
    void macroStartRequested(int macro);
    // End the running macro on the runner's next tick and clear its pending waits.
    void macroStopRequested();
    // List the macro's steps in the macro window and show that window.
    void macroShowRequested(int macro);
    // Show the display window (restored when minimised).
    void displayRequested();
    // The radio's current menu has a new name: the display colours its menu name labels for it,
    // green for the label that names it (case ignored), light red (255, 128, 128) for the others.
    void currentMenuNamed(const QString &menuName);

private:
    void queue(const QString &command);
    void queueWithPause(const QString &command, int times = 1);
    // After a navigation: a fresh terminal unless a macro runs, and a quick display refresh.
    void followNavigation();
    void holdFlag(PanelList list, bool on);
    void viewChanged();
    void flushView();

    Platform &m_platform;
    RadioLink &m_link;
    Telnet &m_telnet;
    RadioView &m_view;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const SkinTables &m_skin;
    MacroTable &m_macros;
    QString m_programFolder;
    std::unique_ptr<Timer> m_halfSecondTick;
    std::unique_ptr<Timer> m_pendingEntryTimer;
    int m_pendingEntry = -1; // a main-menu entry to open once the radio says where its cursor is
    QString m_lastMenuName;
};
