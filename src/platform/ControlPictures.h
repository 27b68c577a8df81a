#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// Text from the radio (its replies, the titles it relays, its console) may hold control codes.
// Written to a terminal they are commands: ESC and BEL sequences set the window title, clear
// the screen, recolour text or make links; in a text box some do not survive or change how the
// rest shows. Wherever such text is shown it goes through here first, so every view shows the
// same visible, inert stand-in for the same code.

// The stand-in for one character: C0 codes other than LF and TAB show as their control
// pictures (U+2400 + code), DEL as its own (U+2421). Bytes 0x80 to 0x9F are no text in Latin-1
// (nor in any code the radio speaks): they show as one more control picture, the substitute's,
// rather than as the replacement character, which reads as text decoded in the wrong code.
// Every other character is returned as it is.
constexpr QChar ControlPicture(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x20 && u != u'\n' && u != u'\t') {
        return QChar(char16_t(0x2400 + u));
    }
    if (u == 0x7f) {
        return QChar(char16_t(0x2421));
    }
    if (u >= 0x80 && u < 0xa0) {
        return QChar(char16_t(0x2426));
    }
    return c;
}

// The text with every character passed through ControlPicture: only LF and TAB stay as controls.
QString ShowControls(QStringView text);

class QByteArray;

// A JSON document (UTF-8) as it may go to a terminal. JSON escapes the C0 codes already, but
// not DEL nor the C1 codes U+0080 to U+009F, which some terminals obey in UTF-8 as well (U+009B
// starts a sequence as ESC [ does). Those are written as \u escapes: the document reads back
// to the same values.
QByteArray EscapeControlsInJson(const QByteArray &json);
