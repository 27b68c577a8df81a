#include "keyboard/KeyMap.h"

#include <QKeyEvent>

#include <array>

namespace {

struct Binding {
    int key;
    const char *radioKey;
};

constexpr std::array Bindings{
    Binding{Qt::Key_Up, "UP"},
    Binding{Qt::Key_Down, "DOWN"},
    Binding{Qt::Key_Left, "LEFT"},
    Binding{Qt::Key_Right, "RIGHT"},
    Binding{Qt::Key_Return, "OK"},
    Binding{Qt::Key_Enter, "OK"},
    Binding{Qt::Key_Escape, "EXIT"},
    Binding{Qt::Key_Backspace, "EXIT"},
    Binding{Qt::Key_Home, "HOME"},
    Binding{Qt::Key_Plus, "VOLp"},
    Binding{Qt::Key_Equal, "VOLp"},
    Binding{Qt::Key_Minus, "VOLm"},
    Binding{Qt::Key_Space, "PAUSE"},
    Binding{Qt::Key_M, "MUTE"},
    Binding{Qt::Key_P, "POWER"},
    Binding{Qt::Key_MediaPause, "PAUSE"},
    Binding{Qt::Key_MediaTogglePlayPause, "PAUSE"},
    Binding{Qt::Key_MediaStop, "STOP"},
    Binding{Qt::Key_MediaRecord, "RECORD"},
    Binding{Qt::Key_VolumeUp, "VOLp"},
    Binding{Qt::Key_VolumeDown, "VOLm"},
    Binding{Qt::Key_VolumeMute, "MUTE"},
};

struct Shown {
    const char *radioKey;
    const char *keyName;
    const char *spoken; // what a screen reader says for the remote's key
};

// In the order of the help text.
constexpr std::array ShownKeys{
    Shown{"UP", "Up", "Up"},
    Shown{"DOWN", "Down", "Down"},
    Shown{"LEFT", "Left", "Left"},
    Shown{"RIGHT", "Right", "Right"},
    Shown{"OK", "Enter", "OK"},
    Shown{"EXIT", "Esc or Backspace", "Exit"},
    Shown{"HOME", "Home", "Home"},
    Shown{"VOLp", "+", "Volume up"},
    Shown{"VOLm", "-", "Volume down"},
    Shown{"PAUSE", "Space", "Pause"},
    Shown{"MUTE", "M", "Mute"},
    Shown{"POWER", "Ctrl+P", "Power"},
    Shown{"STOP", "Stop (media key)", "Stop"},
    Shown{"RECORD", "Record (media key)", "Record"},
};

} // namespace

KeyStroke StrokeOf(const QKeyEvent &event) {
    return KeyStroke{event.key(), event.modifiers(), event.isAutoRepeat(), event.text()};
}

QString RadioKeyOf(int key, Qt::KeyboardModifiers modifiers) {
    // Shift types "+" on most keyboards, and AltGr reaches some characters; neither is a chord.
    const Qt::KeyboardModifiers chord = modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool power = key == Qt::Key_P;
    if (chord != (power ? Qt::KeyboardModifiers(Qt::ControlModifier) : Qt::KeyboardModifiers())) {
        return {};
    }
    if (power && (modifiers & Qt::ShiftModifier)) {
        return {};
    }
    for (const Binding &binding : Bindings) {
        if (binding.key == key) {
            return QLatin1String(binding.radioKey);
        }
    }
    return {};
}

bool RepeatsWhenHeld(const QString &radioKey) {
    for (const char *repeating : {"UP", "DOWN", "LEFT", "RIGHT", "VOLp", "VOLm"}) {
        if (radioKey == QLatin1String(repeating)) {
            return true;
        }
    }
    return false;
}

QString RadioKeyToPress(const KeyStroke &stroke, const QStringList &waiting) {
    const QString radioKey = RadioKeyOf(stroke.key, stroke.modifiers);
    if (radioKey.isEmpty() || !stroke.autoRepeat) {
        return radioKey;
    }
    if (!RepeatsWhenHeld(radioKey) || waiting.contains(radioKey)) {
        return {};
    }
    return radioKey;
}

QString KeyNameOf(const QString &radioKey) {
    for (const Shown &shown : ShownKeys) {
        if (radioKey == QLatin1String(shown.radioKey)) {
            return QString::fromUtf8(shown.keyName);
        }
    }
    return {};
}

QString SpokenKeyName(const QString &command) {
    for (const Shown &shown : ShownKeys) {
        if (command == QLatin1String(shown.radioKey)) {
            return QString::fromUtf8(shown.spoken);
        }
    }
    return command;
}

QString ButtonToolTip(const QString &command) {
    const QString name = KeyNameOf(command);
    return name.isEmpty() ? command : command + QStringLiteral(" \u2014 key: ") + name;
}

QStringList KeyedRadioKeys() {
    QStringList keys;
    for (const Shown &shown : ShownKeys) {
        keys << QLatin1String(shown.radioKey);
    }
    return keys;
}

QString KeyboardHelpText() {
    QString rows;
    for (const Shown &shown : ShownKeys) {
        rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(QString::fromUtf8(shown.keyName).toHtmlEscaped(), QLatin1String(shown.radioKey));
    }
    return QStringLiteral("<p>The keyboard works the remote while the remote or the display window has the "
                          "focus:</p><table>") +
           rows +
           QStringLiteral("</table><p>A held arrow or volume key repeats as fast as the radio answers; the other "
                          "keys press once however long they are held. The keyboard's media keys (play/pause, "
                          "stop, record, volume, mute) work too.</p><p>On the radio's search screen the display "
                          "window types letters, digits and blanks into its search box; Backspace erases, Enter "
                          "searches.</p>");
}
