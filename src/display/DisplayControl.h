#pragma once

#include "display/ScreenRenderer.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class Platform;
class RadioSession;
class RadioView;
class Timer;
struct KeyStroke;
struct SkinTables;

// The display window's behaviour, without the window: the emulated screen used as a touch
// screen (clicks send the skin's commands and follow its targets), the search box that types
// a word on the radio's keyboard, and the waiting animation. The window forwards its mouse
// and key events here and shows screen.render(), the search box and the caption.
//
// It sends and asks through the radio session, and reads the session's view of the radio. The
// display's refresh is the session's automatic poll; the window wires the view's refresh
// requests to RefreshDisplays.
class DisplayControl : public QObject {
    Q_OBJECT
public:
    // The waiting animation's frame counter is the session's, shared with the macro window.
    DisplayControl(Platform &platform, RadioSession &radio, const QString &programFolder);
    ~DisplayControl() override;

    ScreenRenderer screen;

    // The screen operations as the rest of the program calls them; each repaints the window.
    void DisplayScreen(const QString &name);
    void RefreshDisplays();
    // Builds the shown screen again from reloaded skin tables.
    void Redraw();
    // Recolours the overlays' captions when the radio's current menu item (the information
    // panel's current menu name) has changed since the last call.
    void FollowCurrentMenuLabel();
    // Colours the overlays' captions for this menu name (see ScreenRenderer::ColourNameLabels).
    void ColourNameLabels(const QString &menuName);

    // Touch screen.
    // Queues the command of overlay index (-1: the background) of the current screen, or of
    // the current status set, on the command channel; an empty command sends nothing.
    void DoCommand(qint16 index, bool status);
    void BackGround_Click();
    void OverlayImages_MouseDown(int index, Qt::MouseButton button);
    void StatusImages_MouseDown(int index, Qt::MouseButton button);
    // 1 when label index shows the entry of that index of the current list, 2 when it shows
    // that entry of the now-playing list, else 0.
    int WhatList(int index) const;
    void OverlayLabel_Click(int index);
    void OverlayLabel_DblClick(int index);
    // The main-menu entry overlay index of the current screen stands for (1 and up), or -1: an
    // overlay without a command of its own whose caption names an entry of the skin's main menu
    // (case ignored), as the menu's icons do.
    int MainMenuEntryOf(int index) const;
    // The window's mouse events at screen coordinates: a press acts on overlays and status
    // pictures, a left click on what was pressed (background, label or main-menu icon), a double
    // click on labels. The press of a double click's second click comes before the double
    // click itself: the release after it is no second click on an icon.
    void MouseDown(QPoint at, Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);
    void DoubleClick(QPoint at, Qt::MouseButton button);
    // A left click at this point: what a screen reader's press on an object of the screen does.
    void Click(QPoint at);
    // The screen's name for a screen reader: the radio's name for the screen shown.
    QString screenTitle() const;

    // Search box; shown while RadioView::SearchBoxVisible says so (the radio shows its
    // keyboard screen).
    QString SearchText;
    bool SearchEnabled = true;
    // A typed character as the box takes it: "" drops it. "." becomes "_" (which sends the
    // word), upper case becomes lower case, digits, lower case, blank, "_", "^", "*",
    // Backspace and Enter pass; anything else is dropped.
    static QString SearchKeyFilter(QChar typed);
    // The box's text changed (by the user or by a macro).
    void SearchForText_Change(const QString &text);
    // Text put into the search box by the program (a macro types it): handled as if typed, and
    // the box shows it.
    void typeSearchText(const QString &text);
    // Types the box's text on the radio's keyboard, when the radio shows it and no macro runs.
    void SearchForText_DblClick();

    // A key that reached the window, not taken by the search box. While the box shows (the
    // radio is on its search screen) the characters the box takes go into it, Backspace erases
    // its last character and Enter starts the search (once, however long it is held), as they
    // do in the box; other keys, and
    // every key elsewhere, press their radio key as the remote window does (see
    // RadioKeyToPress). True when the key was used.
    bool KeyPress(const KeyStroke &stroke);

    // Waiting animation.
    Timer &PleaseWaitTimer() { return *m_pleaseWaitTimer; }
    void PleaseWaitTimer_Timer();
    void StartPleaseWait();
    // Starts the animation when the now-playing status turns to one the radio waits in
    // (connecting, resolving the address, filling its buffer, resuming). Only a change starts
    // it, so the decoder's stop requests hold until the radio waits again.
    void WatchMetaStatus();
    // Asks the animation to stop at its next tick.
    void StopPleaseWait();

Q_SIGNALS:
    // The screen, the caption or the waiting image changed: the window repaints. Operations that
    // leave the picture as it was (a refresh with nothing new) do not emit it.
    void changed();
    // The search box's text or enabled state changed; the caret goes to the end.
    void searchBoxChanged();
    // A label double click chose an entry of the current or the now-playing list (already
    // selected in the view): the information panel opens it.
    void infoListOpened();
    void metaListOpened();
    // A main-menu icon was clicked: the information panel takes the radio to the entry and opens
    // it, as a double click in its main-menu list does. The display itself stays on the menu
    // until the radio's replies say it moved.
    void mainMenuEntryOpened(int entry);

private:
    // Runs a change of the screen and announces it when the picture differs afterwards.
    void changeScreen(const std::function<void()> &change);
    void show(const QString &screenName);
    void setSearchText(const QString &text);

    SkinTables &m_skin;
    RadioSession &m_radio;
    const RadioView &m_view;
    qint16 &m_waitFrame;
    std::unique_ptr<Timer> m_pleaseWaitTimer;
    ScreenRenderer::Hit m_pressed;
    int m_pressedEntry = -1; // the main-menu entry of the icon pressed, as the screen was then
    bool m_pressValid = false;
    bool m_radioWaited = false;
    QString m_menuLabelSeen;
};
