#include "console/ConsoleLines.h"

#include <gtest/gtest.h>

namespace {

// Feeds the pieces one after another, as packets would arrive.
ConsoleLineReader fed(const QStringList &pieces) {
    ConsoleLineReader reader;
    for (const QString &piece : pieces) {
        reader.feed(piece);
    }
    return reader;
}

} // namespace

TEST(ConsoleLines, LineEndsOfEveryKindAndPacketBordersGiveWholeLines) {
    // Half a line, then its rest with CR LF: one line, and nothing of it is lost or doubled.
    ConsoleLineReader split = fed({"cURL: http://radio.example/str", "eam.pls\r\n"});
    EXPECT_EQ(split.summary().cURL, "http://radio.example/stream.pls");
    EXPECT_EQ(split.curls(), QStringList{"http://radio.example/stream.pls"});
    EXPECT_EQ(split.pendingLength(), 0);
    // LF, CR LF and a bare CR in one packet each end their line: none takes the next one's text.
    ConsoleLineReader mixed = fed({"cURL: a.pls\nStarting mplayer : [mplayer a]\r\nPlaying a\rCheck ID3 on: [a]\n"});
    EXPECT_EQ(
        (QStringList{mixed.summary().cURL, mixed.summary().MPlayer, mixed.summary().Playing, mixed.summary().ID3}),
        (QStringList{"a.pls", "mplayer a", "a", "a"}));
    // A CR LF pair torn apart by the packet border is still one line end.
    ConsoleLineReader torn = fed({"cURL: b.pls\r", "\nPlaying b\r", "\n"});
    EXPECT_EQ(torn.curls(), QStringList{"b.pls"});
    EXPECT_EQ(torn.summary().Playing, "b");
    // The unfinished last line waits for its end before any rule sees it.
    ConsoleLineReader waiting;
    EXPECT_FALSE(waiting.feed("Playing c"));
    EXPECT_EQ(waiting.pendingLength(), 9);
    EXPECT_TRUE(waiting.feed("d\n"));
    EXPECT_EQ(waiting.summary().Playing, "cd");
}

TEST(ConsoleLines, ALineWithoutItsEndIsCutAtTheBoundAndTheNextLinesStillCount) {
    // Exactly the bound without a line end is a whole line already.
    ConsoleLineReader reader(16);
    EXPECT_TRUE(reader.feed(u"Playing 12345678"));
    EXPECT_EQ(reader.summary().Playing, "12345678");
    EXPECT_EQ(reader.pendingLength(), 0);
    // A waiting line is cut at the bound even when its packets are small; the rest of it is a
    // line of its own, and a line after it is read as usual.
    reader.feed(u"Playing abc");
    reader.feed(u"defghijk");
    EXPECT_EQ(reader.summary().Playing, "abcdefgh");
    EXPECT_EQ(reader.pendingLength(), 3);
    EXPECT_TRUE(reader.feed(u"\nPlaying z\n"));
    EXPECT_EQ(reader.summary().Playing, "z");

    ConsoleLineReader flooded;
    const QString flood(3 * ConsoleLineReader::MaxLineLength + 5, u'x');
    for (int i = 0; i < 4; ++i) {
        flooded.feed(flood);
        EXPECT_LT(flooded.pendingLength(), ConsoleLineReader::MaxLineLength);
    }
    flooded.feed(u"\r\nPlaying after the flood\r\n");
    EXPECT_EQ(flooded.summary().Playing, "after the flood");
}

TEST(ConsoleLines, AfterLostTextTheFirstPieceIsNotTakenForALine) {
    ConsoleLineReader reader;
    reader.feed(u"Playing a");
    reader.skipToNextLine();
    EXPECT_EQ(reader.pendingLength(), 0);
    // The text before the next line end lost its start: "Playing b" may belong to anything.
    EXPECT_FALSE(reader.feed(u"xx Playing b"));
    EXPECT_FALSE(reader.feed(u" more\r"));
    EXPECT_TRUE(reader.feed(u"\nPlaying c\n"));
    EXPECT_EQ(reader.summary().Playing, "c");
    // A line end right at the start of what comes ends the lost piece at once.
    reader.skipToNextLine();
    EXPECT_TRUE(reader.feed(u"\nPlaying d\n"));
    EXPECT_EQ(reader.summary().Playing, "d");
}

// Each line in turn, on one summary: whether a rule fired and a field it must leave as shown
// (a row without a line checks one more field of the line before).
TEST(ConsoleLines, RulesFillTheirFields) {
    struct Row {
        const char *line;
        bool recognised;
        QString ConsoleSummary::*field;
        const char *value;
    };
    const Row rows[] = {
        {"ICY Info: StreamTitle='Artist - A Title';StreamUrl='http://x.example/a=b';", true, &ConsoleSummary::Title,
         "Artist - A Title"},
        {nullptr, true, &ConsoleSummary::URL, "http://x.example/a=b"}, // only the first "=" separates the key
        {nullptr, true, &ConsoleSummary::UTC, ""},
        {"ICY Info: StreamTitle='B';StreamUrl='u';StreamUTC='2026-12-06T13:45:00'", true, &ConsoleSummary::UTC,
         "2026-12-06 T13:45:00"},
        {"ICY Info: just a title", true, &ConsoleSummary::Title, "just a title"}, // no key: the field stays whole
        {nullptr, true, &ConsoleSummary::URL, ""},
        {"player: load coverart [/tmp/covers/jazz.jpg] ok", true, &ConsoleSummary::Clipart, "/tmp/covers/jazz.jpg"},
        {"player: unload coverart [/tmp/x.jpg]", false, &ConsoleSummary::Clipart, "/tmp/covers/jazz.jpg"},
        {"load coverart plain.png", true, &ConsoleSummary::Clipart, "plain.png"},
        {"Starting mplayer : [mplayer -cache 320 http://s.example/a]", true, &ConsoleSummary::MPlayer,
         "mplayer -cache 320 http://s.example/a"},
        {"Check ID3 on: [ http://s.example/a ]", true, &ConsoleSummary::ID3, "http://s.example/a"},
        {"cURL: http://s.example/b.m3u Playing http://s.example/b", true, &ConsoleSummary::cURL,
         "http://s.example/b.m3u Playing http://s.example/b"},
        {nullptr, true, &ConsoleSummary::Playing, "http://s.example/b"},
    };
    ConsoleSummary summary;
    QStringList curls;
    for (const Row &row : rows) {
        if (row.line) {
            EXPECT_EQ(ApplyConsoleRules(row.line, summary, curls), row.recognised) << row.line;
        }
        EXPECT_EQ(summary.*row.field, row.value) << (row.line ? row.line : "(same line)");
    }
    EXPECT_EQ(curls, QStringList{"http://s.example/b.m3u Playing http://s.example/b"});
    const QString before = summary.text();
    EXPECT_FALSE(ApplyConsoleRules("mixer: volume 35", summary, curls));
    EXPECT_EQ(summary.text(), before);
}

TEST(ConsoleLines, TheFetchListKeepsItsOrderAndTheLatestWithinItsBounds) {
    ConsoleLineReader reader;
    for (int i = 0; i < ConsoleLineReader::MaxCurls + 5; ++i) {
        reader.feed(QStringLiteral("cURL: %1\n").arg(i));
    }
    EXPECT_EQ(reader.curls().size(), ConsoleLineReader::MaxCurls);
    EXPECT_EQ(reader.curls().first(), "5");
    EXPECT_EQ(reader.curls().last(), QString::number(ConsoleLineReader::MaxCurls + 4));
    EXPECT_EQ(reader.summary().cURL, reader.curls().last());
    EXPECT_EQ(reader.curlsAdded(), ConsoleLineReader::MaxCurls + 5);
    // Long addresses: the list holds fewer of them, the newest last, never above its bound.
    const qsizetype length = 60000;
    for (int i = 0; i < 10; ++i) {
        reader.feed(QStringLiteral("cURL: %1").arg(i) + QString(length - 1, u'u') + "\n");
    }
    const qsizetype fit = ConsoleLineReader::MaxCurlCharacters / length;
    ASSERT_EQ(reader.curls().size(), fit);
    EXPECT_TRUE(reader.curls().first().startsWith(QString::number(10 - fit)));
    EXPECT_TRUE(reader.curls().last().startsWith("9"));
    EXPECT_LE(reader.keptCharacters(), ConsoleLineReader::MaxCurlCharacters + 2 * length);
    // Emptying the list keeps the count of what was added, so a view can tell old from new.
    reader.clearCurls();
    reader.feed(u"cURL: again\n");
    EXPECT_EQ(reader.curls(), QStringList{"again"});
    EXPECT_EQ(reader.curlsAdded(), ConsoleLineReader::MaxCurls + 16);
}
