// The keyboard as a remote: modifiers, POWER's chord, held keys, and the names shown for keys.
// (The end-to-end test sends every key of the map to the radio.)
#include "keyboard/KeyMap.h"

#include <gtest/gtest.h>

namespace {

using Mods = Qt::KeyboardModifiers;

KeyStroke held(int key) {
    return KeyStroke{key, {}, true, {}};
}

} // namespace

TEST(KeyMap, ShiftAndKeypadMakeNoDifferenceChordsPressNothingButCtrlP) {
    // "+" comes shifted on most keyboards; the keypad's keys carry a modifier of their own.
    EXPECT_EQ(RadioKeyOf(Qt::Key_Plus, Qt::ShiftModifier), "VOLp");
    EXPECT_EQ(RadioKeyOf(Qt::Key_Enter, Qt::KeypadModifier), "OK");
    EXPECT_EQ(RadioKeyOf(Qt::Key_M, Qt::ShiftModifier), "MUTE");
    for (const Mods chord : {Mods(Qt::ControlModifier), Mods(Qt::AltModifier), Mods(Qt::MetaModifier)}) {
        EXPECT_EQ(RadioKeyOf(Qt::Key_Up, chord), "");
        EXPECT_EQ(RadioKeyOf(Qt::Key_M, chord), "");
    }
    EXPECT_EQ(RadioKeyOf(Qt::Key_A, {}), "");
    // POWER: Ctrl and P and nothing else, so that no stray key switches the radio off.
    EXPECT_EQ(RadioKeyOf(Qt::Key_P, Qt::ControlModifier), "POWER");
    for (const Mods other :
         {Mods(), Mods(Qt::ShiftModifier), Mods(Qt::AltModifier), Mods(Qt::ControlModifier | Qt::ShiftModifier),
          Mods(Qt::ControlModifier | Qt::AltModifier)}) {
        EXPECT_EQ(RadioKeyOf(Qt::Key_P, other), "") << other.toInt();
    }
}

TEST(KeyMap, HeldVolumeAndCursorKeysRepeatAtTheQueuesPaceTheOthersPressOnce) {
    // A first press always goes, even behind its own earlier press.
    EXPECT_EQ(RadioKeyToPress(KeyStroke{Qt::Key_Return, {}, false, {}}, {"OK"}), "OK");
    for (const int key : {int(Qt::Key_Up), int(Qt::Key_Right), int(Qt::Key_Minus), int(Qt::Key_VolumeUp)}) {
        const QString radioKey = RadioKeyOf(key, {});
        // Again once its last press has left the queue, whatever else waits; not while it waits.
        EXPECT_EQ(RadioKeyToPress(held(key), {"QXDELAY", "OK"}), radioKey);
        EXPECT_EQ(RadioKeyToPress(held(key), {"QXDELAY", radioKey}), "");
    }
    for (const int key : {int(Qt::Key_Return), int(Qt::Key_Escape), int(Qt::Key_Home), int(Qt::Key_Space),
                          int(Qt::Key_M), int(Qt::Key_MediaStop)}) {
        EXPECT_EQ(RadioKeyToPress(held(key), {}), "") << key;
    }
    EXPECT_EQ(RadioKeyToPress(KeyStroke{Qt::Key_P, Qt::ControlModifier, true, {}}, {}), "");
}

TEST(KeyMap, TooltipsAndHelpNameEveryKeyThatPressesSomething) {
    EXPECT_EQ(ButtonToolTip("VOLp"), QStringLiteral("VOLp \u2014 key: +"));
    EXPECT_EQ(ButtonToolTip("MESSAGE Hi"), "MESSAGE Hi");
    QStringList pressed;
    for (const int first : {0, int(Qt::Key_Escape)}) { // characters, then the keys that type none
        for (int key = first; key < first + 0x200; ++key) {
            pressed << RadioKeyOf(key, {}) << RadioKeyOf(key, Qt::ControlModifier);
        }
    }
    pressed.removeAll(QString());
    const QString help = KeyboardHelpText();
    for (const QString &radioKey : pressed) {
        EXPECT_TRUE(KeyedRadioKeys().contains(radioKey)) << radioKey.toStdString();
        EXPECT_TRUE(help.contains(QStringLiteral("<td>%1</td>").arg(KeyNameOf(radioKey).toHtmlEscaped())))
            << radioKey.toStdString();
    }
}
