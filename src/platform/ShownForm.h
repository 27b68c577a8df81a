#pragma once

#include <QColor>
#include <QString>

// How the windows show values the program keeps in its own forms.

// Colour values keep red in the low byte, then green, then blue.
inline QColor ShownColour(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Text from the radio mixes CR LF, LF and bare CR; a text box shows each as one line break.
inline QString ShownLineBreaks(const QString &text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}
