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
    EXPECT_TRUE(cut.status == ConsoleLine::Ok && cut.line == "qqqq" && cut.consumed == 4);
    EXPECT_EQ(TakeConsoleLine(u"abc", 4).status, ConsoleLine::Incomplete);
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

TEST(ConsoleLines, TheFetchListKeepsItsOrderAndTheLatestThousand) {
    ConsoleLineReader reader;
    for (int i = 0; i < ConsoleLineReader::MaxCurls + 5; ++i) {
        reader.feed(QStringLiteral("cURL: %1\n").arg(i));
    }
    EXPECT_EQ(reader.curls().size(), ConsoleLineReader::MaxCurls);
    EXPECT_EQ(reader.curls().first(), "5");
    EXPECT_EQ(reader.curls().last(), QString::number(ConsoleLineReader::MaxCurls + 4));
    EXPECT_EQ(reader.summary().cURL, reader.curls().last());
}
