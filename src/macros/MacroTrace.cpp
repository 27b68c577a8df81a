#include "macros/MacroTrace.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Restarted = QStringLiteral("RESTARTED");

} // namespace

void MacroTrace::add(const QString &text) {
    if (text.isEmpty()) {
        set(QString());
        return;
    }
    QString added = text;
    if (m_text.endsWith(CrLf) && added.startsWith(CrLf)) {
        added.remove(0, 2);
        if (added.isEmpty()) {
            return;
        }
    }
    m_text += added;
    if (m_text.size() > Limit) {
        set(m_text.right(Kept));
    } else {
        Q_EMIT appended(added);
    }
}

bool MacroTrace::restarted() const {
    return m_text.contains(Restarted);
}

void MacroTrace::dropBeforeRestart() {
    const qsizetype at = m_text.indexOf(Restarted);
    if (at >= 0) {
        set(m_text.mid(at + Restarted.size() + 2));
    }
}

void MacroTrace::set(const QString &text) {
    m_text = text;
    Q_EMIT reset();
}
