#include "platform/ControlPictures.h"

#include <QByteArray>

QString ShowControls(QStringView text) {
    QString shown(text.size(), Qt::Uninitialized);
    QChar *to = shown.data();
    for (const QChar c : text) {
        *to++ = ControlPicture(c);
    }
    return shown;
}

QByteArray EscapeControlsInJson(const QByteArray &json) {
    // Outside strings a JSON document is ASCII without DEL, so whatever is replaced here lies
    // inside a string, where an escape means the same character.
    static const char hex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(json.size());
    for (qsizetype i = 0; i < json.size(); ++i) {
        const auto byte = static_cast<unsigned char>(json.at(i));
        unsigned code = 0x100; // none
        if (byte == 0x7f) {
            code = 0x7f;
        } else if (byte == 0xc2 && i + 1 < json.size()) {
            const auto next = static_cast<unsigned char>(json.at(i + 1));
            if (next >= 0x80 && next < 0xa0) {
                code = next;
                ++i;
            }
        }
        if (code == 0x100) {
            out += char(byte);
        } else {
            out += "\\u00";
            out += hex[code >> 4];
            out += hex[code & 0xf];
        }
    }
    return out;
}
