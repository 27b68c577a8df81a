#pragma once

#include <QObject>
#include <QString>

// The text of the terminal view: every reply the radio sent, raw, newest at the end. Only the
// last MaxChars characters are kept so a chatty radio cannot grow it without bound.
class TerminalText : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxChars = 20000;
    // The column ruler the view starts with, CR LF included.
    static QString Ruler();

    explicit TerminalText(QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    void Append(const QString &more);
    void Clear();
    // Local edits made in the unlocked view; kept to the same limit.
    void SetText(const QString &text);

Q_SIGNALS:
    void changed();

private:
    QString m_text;
};
