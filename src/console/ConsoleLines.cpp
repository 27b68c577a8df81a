#include "console/ConsoleLines.h"

#include "settings/INIFILES.h"

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

ConsoleLine TakeConsoleLine(QStringView text, qsizetype maxLength) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n') {
            return ConsoleLine{ConsoleLine::Ok, text.left(i).toString(), i + 1};
        }
        if (c == u'\r') {
            const qsizetype end = i + 1 < text.size() && text[i + 1] == u'\n' ? i + 2 : i + 1;
            return ConsoleLine{ConsoleLine::Ok, text.left(i).toString(), end};
        }
        if (i + 1 >= maxLength) {
            return ConsoleLine{ConsoleLine::Ok, text.left(i + 1).toString(), i + 1};
        }
    }
    return ConsoleLine{ConsoleLine::Incomplete, QString(), 0};
}

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

bool ApplyConsoleRules(const QString &line, ConsoleSummary &summary, QStringList &curls) {
    bool changed = false;
    if (line.contains(CoverArt) && !line.contains(NoCoverArt)) {
        summary.Clipart = Bracketed(TextAfter(CoverArt, line));
        changed = true;
    }
    if (line.contains(StreamInfo)) {
        QString value = TextAfter(StreamInfo, line);
        value.remove(u'\'');
        value += QStringLiteral(";;;");
        const QStringList pieces = value.split(u';');
        summary.Title = ValueOf(pieces.at(0));
        summary.URL = ValueOf(pieces.at(1));
        QString utc = pieces.at(2);
        utc.replace(QStringLiteral("T"), QStringLiteral(" T"));
        summary.UTC = ValueOf(utc);
        changed = true;
    }
    if (line.contains(Fetch)) {
        summary.cURL = TextAfter(Fetch, line);
        curls << summary.cURL;
        changed = true;
    }
    if (const qsizetype at = line.indexOf(PlayerStart); at >= 0) {
        // From the marker's ":" on; the player's command line sits in brackets after it.
        summary.MPlayer = Bracketed(line.mid(at + PlayerStart.size() - 1));
        changed = true;
    }
    if (line.contains(PlayingMark)) {
        summary.Playing = TextAfter(QStringLiteral("Playing"), line);
        changed = true;
    }
    if (line.contains(TagCheck)) {
        summary.ID3 = Bracketed(TextAfter(QStringLiteral("Check ID3 on:"), line));
        changed = true;
    }
    return changed;
}

bool ConsoleLineReader::feed(const QString &text) {
    m_pending += text;
    bool changed = false;
    qsizetype at = 0;
    for (;;) {
        const ConsoleLine next = TakeConsoleLine(QStringView(m_pending).mid(at), MaxLineLength);
        if (next.status != ConsoleLine::Ok) {
            break;
        }
        at += next.consumed;
        if (!next.line.isEmpty() && ApplyConsoleRules(next.line, m_summary, m_curls)) {
            changed = true;
        }
    }
    m_pending.remove(0, at);
    if (m_curls.size() > MaxCurls) {
        m_curls.remove(0, m_curls.size() - MaxCurls);
    }
    return changed;
}
