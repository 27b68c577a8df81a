#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The radio's debug console, read as lines and summarised into what is playing. Pure: no
// sockets, no timers; the console window's logic feeds it whatever text arrived.

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
    qsizetype characters() const;
};

// Runs the line rules (cover art, stream information, fetches, player start, playing, tag
// check) over one line. A line can satisfy several. Every "cURL: " text is also added to
// curls. True when any rule fired.
bool ApplyConsoleRules(QStringView line, ConsoleSummary &summary, QStringList &curls);
inline bool ApplyConsoleRules(const QString &line, ConsoleSummary &summary, QStringList &curls) {
    return ApplyConsoleRules(QStringView(line), summary, curls);
}

// The console text as it arrives, cut into lines and run through the rules. A line ends at
// CR LF, at a bare LF or at a bare CR; the radio mixes them, sometimes within one packet. A CR
// that ends a packet is a line end already: when its LF follows in the next packet, that makes
// an empty line, and empty lines mean nothing. The unfinished last line waits here for the
// rest of it; a console that streams maxLineLength characters without a line end gets them as
// a line of their own, so what waits stays bounded however long the line.
//
// Everything kept here is bounded: the waiting line, the summary (each field comes from one
// line) and the fetch list (the latest MaxCurls entries, at most MaxCurlCharacters in all).
class ConsoleLineReader {
public:
    static constexpr qsizetype MaxLineLength = 64 * 1024;
    static constexpr int MaxCurls = 1000;
    static constexpr qsizetype MaxCurlCharacters = 256 * 1024;

    explicit ConsoleLineReader(qsizetype maxLineLength = MaxLineLength)
        : m_maxLineLength(maxLineLength) {}

    // Takes newly received text; true when the summary changed. Each character is looked at
    // once, however the text is cut into packets.
    bool feed(QStringView text);
    bool feed(const QString &text) { return feed(QStringView(text)); }
    // Forgets the unfinished line (a new connection starts afresh).
    void clear() {
        m_pending.clear();
        m_skipping = false;
    }
    // Text was lost between what came and what comes next: the unfinished line is forgotten,
    // and what comes next counts only from its first line end on, since its start is gone.
    void skipToNextLine() {
        m_pending.clear();
        m_skipping = true;
    }

    qsizetype pendingLength() const { return m_pending.size(); }
    const ConsoleSummary &summary() const { return m_summary; }
    const QStringList &curls() const { return m_curls; }
    // How many fetches were ever added; the list holds the last curls().size() of them. Lets a
    // view append what is new instead of comparing whole lists.
    qint64 curlsAdded() const { return m_curlsAdded; }
    void clearCurls() {
        m_curls.clear();
        m_curlCharacters = 0;
    }
    // Characters held by the waiting line, the summary and the fetch list.
    qsizetype keptCharacters() const { return m_pending.size() + m_summary.characters() + m_curlCharacters; }

private:
    bool takeLine(QStringView line);

    qsizetype m_maxLineLength;
    QString m_pending;
    bool m_skipping = false;
    ConsoleSummary m_summary;
    QStringList m_curls;
    qsizetype m_curlCharacters = 0;
    qint64 m_curlsAdded = 0;
};
