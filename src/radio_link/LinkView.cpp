#include "radio_link/LinkView.h"

QString LinkView::terminalRuler() {
    return QStringLiteral("00000000011111111112222222222333333333344444444445555555555666666666677777777778\r\n");
}

LinkView::LinkView()
    : TelnetData(terminalRuler()) {}

void LinkView::appendTerminal(const QString &text) {
    TelnetData += text;
    if (TelnetData.size() > TerminalLimit) {
        TelnetData = TelnetData.right(TerminalLimit);
    }
    touch();
}

void LinkView::clearTerminal() {
    TelnetData.clear();
    touch();
}

bool LinkView::editTerminal(const QString &text) {
    if (!TerminalUnlocked) {
        return false;
    }
    TelnetData = text.right(TerminalLimit);
    touch();
    return true;
}

void LinkView::flush() {
    if (m_dirty) {
        m_dirty = false;
        Q_EMIT changed();
    }
}
