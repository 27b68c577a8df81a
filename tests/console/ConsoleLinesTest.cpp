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

    // LF, CR LF and a bare CR mixed in one packet: every one ends its line, so no line takes
    // the next one's text into its value.
    ConsoleLineReader mixed = fed({"cURL: a.pls\nStarting mplayer : [mplayer a]\r\nPlaying a\rCheck ID3 on: [a]\n"});
    EXPECT_EQ(mixed.summary().cURL, "a.pls");
    EXPECT_EQ(mixed.summary().MPlayer, "mplayer a");
    EXPECT_EQ(mixed.summary().Playing, "a");
    EXPECT_EQ(mixed.summary().ID3, "a");

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

TEST(ConsoleLines, AConsoleWithoutLineEndsCannotGrowTheCarriedLine) {
    ConsoleLineReader reader;
    const QString flood(ConsoleLineReader::MaxLineLength, u'x');
    for (int i = 0; i < 5; ++i) {
        reader.feed(flood + "yyy");
        EXPECT_LE(reader.pendingLength(), ConsoleLineReader::MaxLineLength);
    }
    // The excess went through as lines of their own: a line after the flood still counts.
    reader.feed("\nPlaying z\n");
    EXPECT_EQ(reader.summary().Playing, "z");
    EXPECT_EQ(reader.pendingLength(), 0);

    const QString tenQ = QString(10, u'q') + "\n";
    const ConsoleLine cut = TakeConsoleLine(tenQ, 4);
    EXPECT_EQ(cut.status, ConsoleLine::Ok);
    EXPECT_EQ(cut.line, "qqqq");
    EXPECT_EQ(cut.consumed, 4);
    EXPECT_EQ(TakeConsoleLine(u"abc", 4).status, ConsoleLine::Incomplete);
}

TEST(ConsoleLines, StreamInformationDropsQuotesAndSplitsAtSemicolons) {
    ConsoleSummary summary;
    QStringList curls;
    EXPECT_TRUE(ApplyConsoleRules("ICY Info: StreamTitle='Artist - A Title';StreamUrl='http://x.example/a=b';", summary,
                                  curls));
    EXPECT_EQ(summary.Title, "Artist - A Title");
    EXPECT_EQ(summary.URL, "http://x.example/a=b"); // only the first "=" separates the key
    EXPECT_EQ(summary.UTC, "");

    ApplyConsoleRules("ICY Info: StreamTitle='B';StreamUrl='u';StreamUTC='2026-12-06T13:45:00'", summary, curls);
    EXPECT_EQ(summary.Title, "B");
    EXPECT_EQ(summary.UTC, "2026-12-06 T13:45:00");

    // Fields without a key stay whole.
    ApplyConsoleRules("ICY Info: just a title", summary, curls);
    EXPECT_EQ(summary.Title, "just a title");
    EXPECT_EQ(summary.URL, "");
}

TEST(ConsoleLines, BracketedValuesAndLinesThatFillSeveralFields) {
    ConsoleSummary summary;
    QStringList curls;
    EXPECT_TRUE(ApplyConsoleRules("player: load coverart [/tmp/covers/jazz.jpg] ok", summary, curls));
    EXPECT_EQ(summary.Clipart, "/tmp/covers/jazz.jpg");
    EXPECT_FALSE(ApplyConsoleRules("player: unload coverart [/tmp/covers/jazz.jpg]", summary, curls));
    EXPECT_EQ(summary.Clipart, "/tmp/covers/jazz.jpg");
    ApplyConsoleRules("load coverart plain.png", summary, curls);
    EXPECT_EQ(summary.Clipart, "plain.png");

    ApplyConsoleRules("Starting mplayer : [mplayer -quiet -cache 320 http://s.example/a]", summary, curls);
    EXPECT_EQ(summary.MPlayer, "mplayer -quiet -cache 320 http://s.example/a");
    ApplyConsoleRules("Check ID3 on: [ http://s.example/a ]", summary, curls);
    EXPECT_EQ(summary.ID3, "http://s.example/a");

    EXPECT_TRUE(ApplyConsoleRules("cURL: http://s.example/b.m3u Playing http://s.example/b", summary, curls));
    EXPECT_EQ(summary.cURL, "http://s.example/b.m3u Playing http://s.example/b");
    EXPECT_EQ(summary.Playing, "http://s.example/b");
    EXPECT_EQ(curls, QStringList{"http://s.example/b.m3u Playing http://s.example/b"});

    const ConsoleSummary before = summary;
    EXPECT_FALSE(ApplyConsoleRules("mixer: volume 35", summary, curls));
    EXPECT_EQ(summary.text(), before.text());
}

TEST(ConsoleLines, SummaryIsElevenLabelledLinesAndTheFetchListKeepsItsOrder) {
    ConsoleLineReader reader;
    reader.feed("cURL: one\ncURL: two\nPlaying two\n");
    EXPECT_EQ(reader.curls(), (QStringList{"one", "two"}));
    EXPECT_EQ(reader.summary().text(), "UTC      : \r\n"
                                       "Title    : \r\n"
                                       "URL      : \r\n"
                                       "Clipart  : \r\n"
                                       "ID3      : \r\n"
                                       "cURL     : two\r\n"
                                       "M-Player : \r\n"
                                       "Playing  : two\r\n"
                                       "Radio    : \r\n"
                                       "Stocks   : \r\n"
                                       "Weather  : \r\n");

    for (int i = 0; i < ConsoleLineReader::MaxCurls + 5; ++i) {
        reader.feed(QStringLiteral("cURL: %1\n").arg(i));
    }
    EXPECT_EQ(reader.curls().size(), ConsoleLineReader::MaxCurls);
    EXPECT_EQ(reader.curls().last(), QString::number(ConsoleLineReader::MaxCurls + 4));
}
