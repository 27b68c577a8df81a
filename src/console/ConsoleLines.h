#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The radio's debug console, read as lines and summarised into what is playing. Pure: no
// sockets, no timers; the console window's logic feeds it whatever text arrived.

// One step of cutting text into lines.
struct ConsoleLine {
    enum Status { Ok, Incomplete };
    Status status = Incomplete;
    QString line;           // without its line end
    qsizetype consumed = 0; // characters of the input that the line and its line end took
};

// The first line of text. A line ends at CR LF, at a bare LF or at a bare CR; the radio mixes
// them, sometimes within one packet. Incomplete when no line end came yet. A CR that is the
// last character is a line end already: when its LF follows in the next packet, that makes an
// empty line, and empty lines mean nothing. A console that streams maxLength characters
// without a line end gets them as a line of their own, so the carried-over rest stays bounded.
ConsoleLine TakeConsoleLine(QStringView text, qsizetype maxLength);

// What the console says is playing; each field holds the last value a line gave it.
struct ConsoleSummary {
    QString UTC;
    QString Title;
    QString URL;
    QString Clipart;
    QString ID3;
    QString cURL;
    QString MPlayer;
    QString Playing;

    // The eleven labelled lines shown in the summary box, each ended by CR LF. Radio, Stocks
    // and Weather have no console line and stay empty.
    QString text() const;
};

// Runs the line rules (cover art, stream information, fetches, player start, playing, tag
// check) over one line. A line can satisfy several. Every "cURL: " text is also added to
// curls. True when any rule fired.
bool ApplyConsoleRules(const QString &line, ConsoleSummary &summary, QStringList &curls);

// The console text as it arrives, cut into lines and run through the rules. The unfinished
// last line waits here for the rest of it.
class ConsoleLineReader {
public:
    static constexpr qsizetype MaxLineLength = 64 * 1024;
    static constexpr int MaxCurls = 1000; // the fetch list keeps the latest this many

    // Takes newly received text; true when the summary changed.
    bool feed(const QString &text);
    // Forgets the unfinished line (a new connection starts afresh).
    void clear() { m_pending.clear(); }

    qsizetype pendingLength() const { return m_pending.size(); }
    const ConsoleSummary &summary() const { return m_summary; }
    const QStringList &curls() const { return m_curls; }
    void clearCurls() { m_curls.clear(); }

private:
    QString m_pending;
    ConsoleSummary m_summary;
    QStringList m_curls;
};
