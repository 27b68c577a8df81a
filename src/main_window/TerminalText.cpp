#include "main_window/TerminalText.h"

QString TerminalText::Ruler() {
    return QStringLiteral("00000000011111111112222222222333333333344444444445555555555666666666677777777778\r\n");
}

TerminalText::TerminalText(QObject *parent)
    : QObject(parent)
    , m_text(Ruler()) {}

void TerminalText::Append(const QString &more) {
    if (more.isEmpty()) {
        return;
    }
    if (more.size() >= MaxChars) {
        m_text = more.right(MaxChars);
    } else {
        m_text += more;
        if (m_text.size() > MaxChars) {
            m_text.remove(0, m_text.size() - MaxChars);
        }
    }
    Q_EMIT changed();
}

void TerminalText::Clear() {
    m_text.clear();
    Q_EMIT changed();
}

void TerminalText::SetText(const QString &text) {
    const QString kept = text.right(MaxChars);
    if (kept == m_text) {
        return;
    }
    m_text = kept;
    Q_EMIT changed();
}
