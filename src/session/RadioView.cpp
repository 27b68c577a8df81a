#include "session/RadioView.h"

#include "platform/ControlPictures.h"

#include <algorithm>

QString RadioView::terminalRuler() {
    return QStringLiteral("00000000011111111112222222222333333333344444444445555555555666666666677777777778\r\n");
}

RadioView::RadioView()
    : TelnetData(terminalRuler()) {
    m_terminalMark.size = TelnetData.size();
}

QString RadioView::harmless(const QString &text) {
    // A radio that answers noise must not get control codes into the view: they can change how
    // the rest of the text shows, and some (NUL, the no-break space) do not survive the text
    // box, so the view would never match what was shown and be rebuilt on every refresh. The
    // view's lines end in CR LF, so CR stays here; every other code shows as the command-line
    // client shows it.
    QString shown = text;
    for (QChar &c : shown) {
        if (c == u'\r') {
            continue;
        }
        c = c.unicode() == 0xa0 ? QChar(u' ') : ControlPicture(c);
    }
    return shown;
}

void RadioView::appendTerminal(const QString &text) {
    const QString added = harmless(text.size() > TerminalLimit ? text.right(TerminalLimit) : text);
    if (TelnetData.size() + added.size() > TerminalLimit) {
        // Cut in place: the view never holds more than the limit, and nothing is copied whole.
        TelnetData.remove(0, std::min(TelnetData.size(), TelnetData.size() + added.size() - TerminalLimit));
    }
    TelnetData += added;
    m_terminalMark.appended += added.size();
    m_terminalMark.size = TelnetData.size();
    touch();
}

void RadioView::clearTerminal() {
    TelnetData.clear();
    terminalReplaced();
    touch();
}

void RadioView::terminalReplaced() {
    ++m_terminalMark.revision;
    m_terminalMark.appended = 0;
    m_terminalMark.size = TelnetData.size();
}

bool RadioView::editTerminal(const QString &text) {
    if (!TerminalUnlocked) {
        return false;
    }
    TelnetData = harmless(text.right(TerminalLimit));
    terminalReplaced();
    touch();
    return true;
}

void RadioView::flush() {
    if (m_dirty) {
        m_dirty = false;
        Q_EMIT changed();
    }
}

QString RadioView::waitingText() const {
    if (WaitingCommands <= 0) {
        return {};
    }
    return WaitingCommands == 1 ? QStringLiteral("1 key waiting")
                                : QStringLiteral("%1 keys waiting").arg(WaitingCommands);
}
