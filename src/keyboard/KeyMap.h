#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class QKeyEvent;

// The computer's keyboard as a remote: which key presses which of the radio's keys in the
// remote and display windows, and how often a held key presses it.

// A key press as a window received it.
struct KeyStroke {
    int key = 0; // a Qt::Key
    Qt::KeyboardModifiers modifiers;
    bool autoRepeat = false; // sent again by the keyboard while the key is held down
    QString text;            // the character the key types, if it types one
};
KeyStroke StrokeOf(const QKeyEvent &event);

// The radio key a keyboard key presses, "" for none. The arrows press UP, DOWN, LEFT and RIGHT,
// Enter OK, Escape and Backspace EXIT, Home HOME, "+" (also "=", the same key unshifted) VOLp,
// "-" VOLm, Space PAUSE and M MUTE; the media keys press PAUSE, STOP, RECORD, VOLp, VOLm and
// MUTE. Shift and the keypad make no difference; with Ctrl, Alt or Meta held a key presses
// nothing, except P: POWER needs exactly Ctrl+P, so that no stray key switches the radio off.
QString RadioKeyOf(int key, Qt::KeyboardModifiers modifiers);

// Whether a held key presses its radio key again: the volume and the cursor keys do; OK, EXIT,
// HOME, POWER, PAUSE, MUTE, STOP and RECORD are pressed once per press of the key.
bool RepeatsWhenHeld(const QString &radioKey);

// The radio key a stroke presses now, "" for none. waiting holds the commands still queued for
// the radio. A repeat of a held key presses again only when the key's last press has left the
// queue: the radio is then stepped at the pace it answers, and it stops at most one step after
// the key is let go instead of working off a queue that filled while the key was held.
QString RadioKeyToPress(const KeyStroke &stroke, const QStringList &waiting);

// The keyboard key shown for a radio key ("+" for VOLp), "" when it has none.
QString KeyNameOf(const QString &radioKey);

// The name a screen reader gives the remote's key that sends this command: "Volume up" for
// VOLp, "Power" for POWER; any other command as it is written.
QString SpokenKeyName(const QString &command);

// A button's tooltip: "VOLp — key: +", or the command alone when no key presses it.
QString ButtonToolTip(const QString &command);

// The radio keys that a keyboard key presses, in the order a help text lists them.
QStringList KeyedRadioKeys();

// The help text of the keys, as rich text: a table of keys and what they press, then a word on
// held keys, the search screen and the media keys.
QString KeyboardHelpText();
