#include "console/ConsoleLines.h"

#include "settings/INIFILES.h"

#include <algorithm>

namespace {

const QString CoverArt = QStringLiteral("load coverart");
const QString NoCoverArt = QStringLiteral("unload coverart");
const QString StreamInfo = QStringLiteral("ICY Info: ");
const QString Fetch = QStringLiteral("cURL: ");
const QString PlayerStart = QStringLiteral("Starting mplayer :");
const QString PlayingMark = QStringLiteral("Playing ");
const QString TagCheck = QStringLiteral("Check ID3 on: ");

// What lies between "[" and "]": the text after the first "[" when there is one, then the
// text before the first "]" when there is one.
QString Bracketed(const QString &text) {
    return TextBefore(QStringLiteral("]"), TextAfter(QStringLiteral("["), text));
}

// "Key=value" gives value; a piece without "=" stays whole.
QString ValueOf(const QString &piece) {
    return TextAfter(QStringLiteral("="), piece);
}

} // namespace

QString ConsoleSummary::text() const {
    const QString lines[] = {QStringLiteral("UTC      : ") + UTC,
                             QStringLiteral("Title    : ") + Title,
                             QStringLiteral("URL      : ") + URL,
                             QStringLiteral("Clipart  : ") + Clipart,
                             QStringLiteral("ID3      : ") + ID3,
                             QStringLiteral("cURL     : ") + cURL,
                             QStringLiteral("M-Player : ") + MPlayer,
                             QStringLiteral("Playing  : ") + Playing,
                             QStringLiteral("Radio    : "),
                             QStringLiteral("Stocks   : "),
                             QStringLiteral("Weather  : ")};
    QString out;
    for (const QString &line : lines) {
        out += line + QStringLiteral("\r\n");
    }
    return out;
}

qsizetype ConsoleSummary::characters() const {
    return UTC.size() + Title.size() + URL.size() + Clipart.size() + ID3.size() + cURL.size() + MPlayer.size() +
           Playing.size();
}

bool ApplyConsoleRules(QStringView view, ConsoleSummary &summary, QStringList &curls) {
    const bool coverArt = view.contains(CoverArt) && !view.contains(NoCoverArt);
    const bool streamInfo = view.contains(StreamInfo);
    const bool fetch = view.contains(Fetch);
    const qsizetype playerStart = view.indexOf(PlayerStart);
    const bool playing = view.contains(PlayingMark);
    const bool tagCheck = view.contains(TagCheck);
    if (!coverArt && !streamInfo && !fetch && playerStart < 0 && !playing && !tagCheck) {
        return false; // most lines: no copy made
    }
    const QString line = view.toString();
    if (coverArt) {
        summary.Clipart = Bracketed(TextAfter(CoverArt, line));
    }
    if (streamInfo) {
        QString value = TextAfter(StreamInfo, line);
        value.remove(u'\'');
        value += QStringLiteral(";;;");
        const QStringList pieces = value.split(u';');
        summary.Title = ValueOf(pieces.at(0));
        summary.URL = ValueOf(pieces.at(1));
        QString utc = pieces.at(2);
        utc.replace(QStringLiteral("T"), QStringLiteral(" T"));
        summary.UTC = ValueOf(utc);
    }
    if (fetch) {
        summary.cURL = TextAfter(Fetch, line);
        curls << summary.cURL;
    }
    if (playerStart >= 0) {
        // From the marker's ":" on; the player's command line sits in brackets after it.
        summary.MPlayer = Bracketed(line.mid(playerStart + PlayerStart.size() - 1));
    }
    if (playing) {
        summary.Playing = TextAfter(QStringLiteral("Playing"), line);
    }
    if (tagCheck) {
        summary.ID3 = Bracketed(TextAfter(QStringLiteral("Check ID3 on:"), line));
    }
    return true;
}

bool ConsoleLineReader::takeLine(QStringView line) {
    if (line.isEmpty()) {
        return false;
    }
    const qsizetype before = m_curls.size();
    const bool changed = ApplyConsoleRules(line, m_summary, m_curls);
    if (m_curls.size() > before) {
        m_curlsAdded += m_curls.size() - before;
        for (qsizetype i = before; i < m_curls.size(); ++i) {
            m_curlCharacters += m_curls.at(i).size();
        }
        // The oldest go first; the latest always stays, as no line is longer than the bound.
        qsizetype drop = 0;
        while (m_curls.size() - drop > MaxCurls || m_curlCharacters > MaxCurlCharacters) {
            m_curlCharacters -= m_curls.at(drop).size();
            ++drop;
        }
        m_curls.remove(0, drop);
    }
    return changed;
}

bool ConsoleLineReader::feed(QStringView text) {
    const qsizetype size = text.size();
    // The next CR and the next LF at or after a position, each searched for once: a text of
    // many lines ended by one kind is not searched to its end for the other kind at every line.
    qsizetype nextCR = -1;
    qsizetype nextLF = -1;
    const auto lineEndFrom = [&](qsizetype from) {
        if (nextCR < from) {
            nextCR = text.indexOf(u'\r', from);
            nextCR = nextCR < 0 ? size : nextCR;
        }
        if (nextLF < from) {
            nextLF = text.indexOf(u'\n', from);
            nextLF = nextLF < 0 ? size : nextLF;
        }
        return std::min(nextCR, nextLF);
    };
    qsizetype at = 0;
    if (m_skipping) {
        at = lineEndFrom(0);
        if (at == size) {
            return false;
        }
        m_skipping = false;
    }
    bool changed = false;
    while (at < size) {
        // Only the new text is searched: what waits from earlier packets held no line end.
        const qsizetype room = m_maxLineLength - m_pending.size();
        const qsizetype end = std::min(lineEndFrom(at), at + room);
        if (end == size && end - at < room) {
            m_pending += text.mid(at);
            break;
        }
        const QStringView piece = text.mid(at, end - at);
        if (m_pending.isEmpty()) {
            changed = takeLine(piece) || changed;
        } else {
            m_pending += piece;
            changed = takeLine(m_pending) || changed;
            m_pending.clear();
        }
        at = end;
        if (at < size && text[at] == u'\r') {
            ++at;
            if (at < size && text[at] == u'\n') {
                ++at;
            }
        } else if (at < size && text[at] == u'\n') {
            ++at;
        }
        // else: a line cut at the length bound; its rest starts the next line.
    }
    return changed;
}
