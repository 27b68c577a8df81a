#include "platform/NumericText.h"

#include <QRegularExpression>

#include <cmath>

namespace NumericText {

double Val(const QString &text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    QByteArray number;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        number += char(text[i].unicode());
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            number += char(c);
            digits = true;
        } else if (c == u'.' && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
        if (number.size() > 400) {
            break; // more digits than a double can tell apart
        }
    }
    if (!digits) {
        return 0.0;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

bool HasNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d|\\.\\d)"));
    return number.match(text).hasMatch();
}

bool ToInt16(double value, qint16 &target) {
    if (!std::isfinite(value)) {
        return false;
    }
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0) {
        return false;
    }
    target = qint16(rounded);
    return true;
}

bool ValToInt16(const QString &text, qint16 &target) {
    return ToInt16(Val(text), target);
}

qint16 Int16Of(const QString &text, qint16 fallback) {
    qint16 value = fallback;
    ValToInt16(text, value);
    return value;
}

QString SingleText(float value) {
    if (value == 0.0f) {
        return QStringLiteral("0");
    }
    return QString::number(double(value), 'g', 7);
}

} // namespace NumericText
