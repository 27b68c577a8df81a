#include "radio_link/LinkView.h"

QString LinkView::terminalRuler() {
    return QStringLiteral("00000000011111111112222222222333333333344444444445555555555666666666677777777778\r\n");
}

LinkView::LinkView()
    : TelnetData(terminalRuler()) {}

QString LinkView::harmless(const QString &text) {
    // A radio that answers noise must not get control codes into the view: they can change how
    // the rest of the text shows, and some (NUL, the no-break space) do not survive the text
    // box, so the view would never match what was shown and be rebuilt on every refresh.
    // Line ends and tabs stay; the other C0 codes show as their control pictures.
    QString shown = text;
    for (QChar &c : shown) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\r' && u != u'\n' && u != u'\t') {
            c = QChar(char16_t(0x2400 + u));
        } else if (u == 0x7f) {
            c = QChar(char16_t(0x2421));
        } else if (u >= 0x80 && u < 0xa0) {
            c = QChar(char16_t(0xfffd));
        } else if (u == 0xa0) {
            c = u' ';
        }
    }
    return shown;
}

void LinkView::appendTerminal(const QString &text) {
    TelnetData += harmless(text.size() > TerminalLimit ? text.right(TerminalLimit) : text);
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
    TelnetData = harmless(text.right(TerminalLimit));
    touch();
    return true;
}

void LinkView::flush() {
    if (m_dirty) {
        m_dirty = false;
        Q_EMIT changed();
    }
}
