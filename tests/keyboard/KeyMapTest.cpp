// The keyboard as a remote: which key presses which radio key, with which modifiers, and how
// often a held key presses it.
#include "keyboard/KeyMap.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

QString keyOf(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return RadioKeyOf(key, modifiers);
}

KeyStroke held(int key) {
    return KeyStroke{key, Qt::NoModifier, true, QString()};
}

} // namespace

TEST(KeyMap, EachKeyPressesItsRadioKeyShiftAndKeypadAsideOtherModifiersPressNothing) {
    const std::vector<std::pair<int, const char *>> table = {
        {Qt::Key_Up, "UP"},
        {Qt::Key_Down, "DOWN"},
        {Qt::Key_Left, "LEFT"},
        {Qt::Key_Right, "RIGHT"},
        {Qt::Key_Return, "OK"},
        {Qt::Key_Enter, "OK"},
        {Qt::Key_Escape, "EXIT"},
        {Qt::Key_Backspace, "EXIT"},
        {Qt::Key_Home, "HOME"},
        {Qt::Key_Plus, "VOLp"},
        {Qt::Key_Equal, "VOLp"},
        {Qt::Key_Minus, "VOLm"},
        {Qt::Key_Space, "PAUSE"},
        {Qt::Key_M, "MUTE"},
        {Qt::Key_MediaTogglePlayPause, "PAUSE"},
        {Qt::Key_MediaPause, "PAUSE"},
        {Qt::Key_MediaStop, "STOP"},
        {Qt::Key_MediaRecord, "RECORD"},
        {Qt::Key_VolumeUp, "VOLp"},
        {Qt::Key_VolumeDown, "VOLm"},
        {Qt::Key_VolumeMute, "MUTE"},
    };
    for (const auto &[key, radioKey] : table) {
        SCOPED_TRACE(radioKey);
        EXPECT_EQ(keyOf(key), radioKey);
        // "+" is shifted on most keyboards; the keypad's keys carry their own modifier.
        EXPECT_EQ(keyOf(key, Qt::ShiftModifier), radioKey);
        EXPECT_EQ(keyOf(key, Qt::KeypadModifier), radioKey);
        for (const Qt::KeyboardModifiers chord :
             {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::KeyboardModifiers(Qt::AltModifier),
              Qt::KeyboardModifiers(Qt::MetaModifier),
              Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)}) {
            EXPECT_EQ(keyOf(key, chord), "");
        }
    }
    // Letters other than M, digits and function keys press nothing.
    for (const int key : {int(Qt::Key_A), int(Qt::Key_Z), int(Qt::Key_0), int(Qt::Key_F1), int(Qt::Key_Tab),
                          int(Qt::Key_Delete), int(Qt::Key_End), int(Qt::Key_PageDown)}) {
        EXPECT_EQ(keyOf(key), "") << key;
    }
}

TEST(KeyMap, PowerTakesExactlyCtrlP) {
    EXPECT_EQ(keyOf(Qt::Key_P, Qt::ControlModifier), "POWER");
    EXPECT_EQ(keyOf(Qt::Key_P, Qt::ControlModifier | Qt::KeypadModifier), "POWER");
    for (const Qt::KeyboardModifiers other :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::AltModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::MetaModifier)}) {
        EXPECT_EQ(keyOf(Qt::Key_P, other), "") << other.toInt();
    }
}

TEST(KeyMap, HeldVolumeAndCursorKeysRepeatAtTheQueuesPaceTheOthersPressOnce) {
    // A first press always goes, queued behind its own earlier presses or not.
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Plus), int(Qt::Key_M)}) {
        const QString radioKey = keyOf(key);
        EXPECT_EQ(RadioKeyToPress(KeyStroke{key, {}, false, {}}, {radioKey, "QXDELAY"}), radioKey);
    }
    for (const int key : {int(Qt::Key_Up), int(Qt::Key_Down), int(Qt::Key_Left), int(Qt::Key_Right), int(Qt::Key_Plus),
                          int(Qt::Key_Minus), int(Qt::Key_VolumeUp), int(Qt::Key_VolumeDown)}) {
        const QString radioKey = keyOf(key);
        SCOPED_TRACE(radioKey.toStdString());
        EXPECT_TRUE(RepeatsWhenHeld(radioKey));
        // Again once its last press has gone to the radio; not while it still waits, however
        // many other commands wait with it.
        EXPECT_EQ(RadioKeyToPress(held(key), {}), radioKey);
        EXPECT_EQ(RadioKeyToPress(held(key), {"QXDELAY", "OK", "QXDELAY"}), radioKey);
        EXPECT_EQ(RadioKeyToPress(held(key), {"QXDELAY", radioKey, "QXDELAY"}), "");
    }
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Escape), int(Qt::Key_Backspace), int(Qt::Key_Home),
                          int(Qt::Key_Space), int(Qt::Key_M), int(Qt::Key_MediaStop), int(Qt::Key_MediaRecord),
                          int(Qt::Key_VolumeMute), int(Qt::Key_MediaTogglePlayPause)}) {
        SCOPED_TRACE(keyOf(key).toStdString());
        EXPECT_FALSE(RepeatsWhenHeld(keyOf(key)));
        EXPECT_EQ(RadioKeyToPress(held(key), {}), "");
    }
    EXPECT_EQ(RadioKeyToPress(KeyStroke{Qt::Key_P, Qt::ControlModifier, true, {}}, {}), "");
    EXPECT_EQ(RadioKeyToPress(KeyStroke{Qt::Key_P, Qt::ControlModifier, false, {}}, {"POWER"}), "POWER");
    // A key that presses nothing presses nothing when held either.
    EXPECT_EQ(RadioKeyToPress(held(Qt::Key_A), {}), "");
}

TEST(KeyMap, StrokesTooltipsAndHelpNameTheKeysThatPressThem) {
    const QKeyEvent event(QEvent::KeyPress, Qt::Key_Plus, Qt::ShiftModifier | Qt::KeypadModifier, "+", true);
    const KeyStroke stroke = StrokeOf(event);
    EXPECT_EQ(stroke.key, Qt::Key_Plus);
    EXPECT_EQ(stroke.modifiers, Qt::ShiftModifier | Qt::KeypadModifier);
    EXPECT_TRUE(stroke.autoRepeat);
    EXPECT_EQ(stroke.text, "+");

    EXPECT_EQ(ButtonToolTip("VOLp"), QStringLiteral("VOLp \u2014 key: +"));
    EXPECT_EQ(ButtonToolTip("POWER"), QStringLiteral("POWER \u2014 key: Ctrl+P"));
    EXPECT_EQ(ButtonToolTip("MESSAGE Hi"), "MESSAGE Hi");
    // Every radio key a key presses is named, and the help lists each name once.
    const QString help = KeyboardHelpText();
    QStringList pressed;
    for (const int first : {0, int(Qt::Key_Escape)}) { // characters, then the keys that type none
        for (int key = first; key < first + 0x200; ++key) {
            pressed << keyOf(key) << keyOf(key, Qt::ControlModifier);
        }
    }
    pressed.removeAll(QString());
    pressed.removeDuplicates();
    const QStringList listed = KeyedRadioKeys();
    for (const QString &radioKey : pressed) {
        EXPECT_TRUE(listed.contains(radioKey)) << radioKey.toStdString();
    }
    for (const QString &radioKey : listed) {
        EXPECT_FALSE(KeyNameOf(radioKey).isEmpty()) << radioKey.toStdString();
        EXPECT_EQ(help.count(QStringLiteral("<td>%1</td>").arg(KeyNameOf(radioKey).toHtmlEscaped())), 1)
            << radioKey.toStdString();
    }
    EXPECT_EQ(KeyNameOf("RECORD"), "Record (media key)");
}
