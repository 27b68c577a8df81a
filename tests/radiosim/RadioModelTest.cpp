#include "RadioModel.h"

#include "CommandLog.h"

#include <gtest/gtest.h>
#include <type_traits>
#include <vector>

namespace {

// Sends comma-separated keys; every one of them must be acknowledged.
void press(RadioModel &radio, const QString &keys) {
    for (const QString &key : keys.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        ASSERT_EQ(radio.handle(key), QStringLiteral("OK\r\n")) << key.toStdString();
    }
}

std::string ask(RadioModel &radio, const char *command) {
    return radio.handle(QString::fromLatin1(command)).toStdString();
}

// Presses the keys of each step in turn and checks what the radio shows after it.
template <typename T>
void walk(RadioModel &radio, T (RadioModel::*shown)() const,
          const std::vector<std::pair<const char *, std::type_identity_t<T>>> &steps) {
    for (const auto &[keys, expected] : steps) {
        press(radio, QString::fromLatin1(keys));
        EXPECT_EQ((radio.*shown)(), expected) << "after " << keys;
    }
}

} // namespace

TEST(RadioModel, RepliesHaveTheWireFormat) {
    RadioModel radio;
    EXPECT_EQ(ask(radio, "VERSION"), "VER=3.1.7\r\n");
    EXPECT_EQ(ask(radio, "STATE"), "STATE=ON\r\n");
    EXPECT_EQ(ask(radio, "VOLUME"), "VOL=20\r\n");
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=0 mp=1 ms=1 title=Main Menu\r\n");
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=0\r\n");
    EXPECT_EQ(ask(radio, "METAINFO"), "Meta title= artist= album= url= status=stopped\r\n");
    EXPECT_EQ(ask(radio, "MESSAGE Hello radio"), "OK\r\n");
    // Someone typing at a terminal ends the command with Enter; that is not part of it.
    EXPECT_EQ(ask(radio, "VERSION\r\n"), "VER=3.1.7\r\n");
    // Blanks are, and so is case; unknown and empty commands get the error line.
    for (const char *wrong : {"VERSION ", " STATE", "version", "Ok", "", "MESSAGE", "VOLP"}) {
        EXPECT_EQ(ask(radio, wrong), "ERROR unknown command\r\n") << wrong;
    }
}

TEST(RadioModel, VolumeStepsFineBelowFiveAndCoarseAboveInBothDirections) {
    RadioModel radio;
    const auto steps = [&radio](const QString &key, int n) {
        std::vector<int> volumes;
        while (n-- > 0) {
            press(radio, key);
            volumes.push_back(radio.volume());
        }
        return volumes;
    };
    EXPECT_EQ(steps("VOLm", 9), (std::vector<int>{15, 10, 5, 4, 3, 2, 1, 0, 0}));
    EXPECT_EQ(steps("VOLp", 7), (std::vector<int>{1, 2, 3, 4, 5, 10, 15}));
    steps("VOLp", 30);
    EXPECT_EQ(ask(radio, "VOLUME"), "VOL=100\r\n");
    // A step while muted starts from silence and ends the mute.
    walk(radio, &RadioModel::volume, {{"MUTE", 0}, {"MUTE", 100}, {"MUTE,VOLp", 1}, {"MUTE,MUTE", 1}});
}

TEST(RadioModel, MainMenuIsAGridOfFourColumnsWithoutWrapping) {
    RadioModel radio;
    // RIGHT stops at the end of a row, LEFT at its start.
    walk(radio, &RadioModel::mainMenuItem,
         {{"UP,LEFT", 1}, {"RIGHT,RIGHT,RIGHT,RIGHT", 4}, {"DOWN", 8}, {"LEFT,LEFT,LEFT,LEFT", 5}});
    press(radio, QStringLiteral("DOWN"));
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=0 mp=2 ms=9 title=Main Menu\r\n");
    press(radio, QStringLiteral("DOWN,DOWN,DOWN,RIGHT,RIGHT,RIGHT,RIGHT"));
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=0 mp=3 ms=20 title=Main Menu\r\n");
    press(radio, QStringLiteral("OK"));
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=55 mp=3 ms=20 title=About\r\n");
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=0 1=About 1 2=About 2 3=About 3 4=About 4 5=About 5 6=About 6 "
                                      "7=About 7\r\n");
    walk(radio, &RadioModel::mainMenuItem, {{"EXIT,UP,UP,UP,UP,LEFT,LEFT,LEFT", 1}});
    walk(radio, &RadioModel::screen,
         {{"HOME,UP,LEFT,LEFT,LEFT,OK", 3},
          {"HOME,UP,LEFT,LEFT,LEFT,RIGHT,OK", 7},
          {"HOME,UP,LEFT,LEFT,LEFT,RIGHT,RIGHT,OK", 14},
          {"HOME,UP,LEFT,LEFT,LEFT,RIGHT,RIGHT,RIGHT,OK", 9},
          {"HOME,UP,LEFT,LEFT,LEFT,DOWN,OK", 40}});
}

TEST(RadioModel, ListsMoveByOneAndByPagesOfSeven) {
    RadioModel radio;
    press(radio, QStringLiteral("OK")); // item 1: the 20 stations
    ASSERT_EQ(radio.screen(), 3);
    walk(radio, &RadioModel::listPosition, {{"UP,LEFT", 0}, {"DOWN,DOWN,DOWN,DOWN,DOWN,DOWN,DOWN,DOWN,DOWN", 9}});
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=9 1=Baroque Hours 2=Radio Sol 3=Deep House Deck 4=Country Roads FM "
                                      "5=Folk Corner 6=Ambient Drift 7=Lost Signal Radio\r\n");
    press(radio, QStringLiteral("RIGHT"));
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=16 1=Reggae Shore 2=Opera Box 3=Kids Tunes 4=Talk of the Town "
                                      "5=Synthwave Drive 6=Chill Radio Garden\r\n");
    // No page after the last; DOWN stops on the last entry; a short last page takes the cursor
    // to its last entry. The list keeps its place while the radio is elsewhere.
    walk(radio, &RadioModel::listPosition,
         {{"RIGHT", 16}, {"DOWN,DOWN,DOWN,DOWN", 19}, {"LEFT,LEFT,LEFT", 5}, {"DOWN,RIGHT,RIGHT", 19}});
    press(radio, QStringLiteral("EXIT"));
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=0\r\n"); // other screens have no list
    walk(radio, &RadioModel::listPosition, {{"OK", 19}});
}

// Each step: the moves from where the last step ended (the first from "G") and the key the
// cursor must then stand on. The moves are the paths the program computes for these pairs.
TEST(RadioModel, KeyboardCursorWrapsAsTheProgramExpects) {
    const std::vector<std::vector<std::pair<const char *, char>>> walks{
        {{"LEFT,LEFT,LEFT,LEFT", 'A'}, {"UP,LEFT,DOWN", 'P'}, {"LEFT,LEFT,UP,UP,LEFT", '_'}},
        {{"LEFT,LEFT,LEFT,LEFT,UP,UP", '1'}, {"DOWN,LEFT,DOWN", 'P'}},
        {{"UP,LEFT,LEFT,LEFT,LEFT,LEFT", '0'}, {"DOWN", 'P'}},
        {{"LEFT,LEFT,LEFT,LEFT", 'A'}, {"DOWN,DOWN,RIGHT", ' '}, {"RIGHT,DOWN,DOWN", 'P'}},
        {{"LEFT,LEFT,LEFT,LEFT,DOWN,DOWN,RIGHT", ' '}, {"LEFT,DOWN", '1'}},
        {{"LEFT,LEFT,LEFT,LEFT,DOWN,DOWN,RIGHT", ' '}, {"RIGHT,UP,UP", 'L'}},
        {{"LEFT,LEFT,LEFT,LEFT,DOWN,DOWN,RIGHT,RIGHT", '*'}, {"DOWN,RIGHT,UP", '1'}},
        {{"LEFT,LEFT,LEFT,DOWN", 'Z'}, {"DOWN,DOWN,LEFT,LEFT,LEFT,LEFT", '1'}},
        {{"LEFT,LEFT,LEFT,LEFT", 'A'}, {"DOWN,DOWN", '_'}, {"LEFT", '?'}, {"RIGHT,UP", '^'}},
        {{"UP,LEFT,LEFT,LEFT,LEFT", 'Q'}, {"LEFT", '0'}, {"RIGHT", 'Q'}, {"UP,LEFT", '*'}, {"RIGHT", '1'}},
        {{"UP,UP,RIGHT,RIGHT,RIGHT,RIGHT", '9'}, {"UP", '*'}, {"UP", '?'}, {"UP", 'L'}, {"UP", 'O'}},
        {{"UP,UP,UP", ' '}, {"DOWN", '5'}, {"UP,RIGHT,UP", '?'}},
    };
    for (const auto &walk : walks) {
        RadioModel radio;
        press(radio, QStringLiteral("RIGHT,RIGHT,OK")); // item 3: the search keyboard
        ASSERT_EQ(radio.screen(), 14);
        ASSERT_EQ(radio.keyboard().key(), QLatin1Char('G'));
        for (const auto &[moves, key] : walk) {
            press(radio, QString::fromLatin1(moves));
            EXPECT_EQ(radio.keyboard().key(), QLatin1Char(key)) << "after " << moves << " of walk to " << key;
        }
    }
}

TEST(RadioModel, TypingAWordOnTheKeyboardFindsTheStationsHoldingIt) {
    RadioModel radio;
    press(radio, QStringLiteral("RIGHT,RIGHT,OK"));
    // J, A, Z, Z, then "_" to search.
    press(radio, QStringLiteral("RIGHT,RIGHT,OK,LEFT,LEFT,LEFT,LEFT,LEFT,LEFT,OK,DOWN,RIGHT,OK,OK"));
    EXPECT_EQ(radio.searchText(), QStringLiteral("JAZZ"));
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=14 mp=1 ms=3 title=Search\r\n");
    press(radio, QStringLiteral("DOWN,LEFT,OK"));
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=15 mp=1 ms=3 title=Search Results\r\n");
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=0 1=Jazz FM Lounge 2=Smooth Jazz Nights 3=Acid Jazz Cellar\r\n");
    press(radio, QStringLiteral("DOWN,OK"));
    EXPECT_EQ((std::pair{radio.screen(), radio.currentStation()}), (std::pair{5, 2}));
    walk(radio, &RadioModel::screen, {{"STOP", 15}}); // back to the list the station came from
    // Lower case after "^" (which also puts the cursor back on "G"), blank, delete, and a
    // word nothing matches.
    press(radio, QStringLiteral("HOME,OK"));
    ASSERT_EQ(radio.screen(), 14);
    EXPECT_EQ(radio.searchText(), QString()) << "the keyboard opens empty";
    press(radio, QStringLiteral("LEFT,LEFT,LEFT,LEFT,DOWN,OK"));
    EXPECT_EQ(radio.keyboard().key(), QLatin1Char('G'));
    EXPECT_FALSE(radio.upperCase());
    press(radio, QStringLiteral("UP,LEFT,LEFT,LEFT,LEFT,OK,OK,DOWN,DOWN,DOWN,RIGHT,OK"));
    EXPECT_EQ(radio.searchText(), QStringLiteral("qq "));
    press(radio, QStringLiteral("RIGHT,OK,LEFT,OK"));
    EXPECT_EQ(radio.searchText(), QStringLiteral("qq "));
    walk(radio, &RadioModel::screen, {{"LEFT,OK", 15}});
    EXPECT_EQ(ask(radio, "LISTINFO"), "List pos=0 1=no results\r\n");
    walk(radio, &RadioModel::screen, {{"OK", 15}}); // there is nothing to play
}

TEST(RadioModel, PlayingGoesThroughTheStatusSequenceAndWritesTheConsole) {
    RadioModel radio;
    radio.setUtcClock([] { return QDateTime(QDate(2026, 12, 6), QTime(13, 45), Qt::UTC); });
    press(radio, QStringLiteral("OK,DOWN,OK")); // Classic Rock Radio sends StreamUTC
    EXPECT_EQ(radio.screen(), 5);
    const std::string meta = " artist=The Amplifiers album=Loud Years url=http://streams.example.net/classic-rock.mp3";
    EXPECT_EQ(ask(radio, "METAINFO"), "Meta title=Highway Lights" + meta + " status=connecting\r\n");
    ASSERT_TRUE(radio.statusInTransition());
    radio.advanceStatus();
    EXPECT_EQ(ask(radio, "METAINFO"), "Meta title=Highway Lights" + meta + " status=caching\r\n");
    radio.advanceStatus();
    EXPECT_EQ(ask(radio, "METAINFO"), "Meta title=Highway Lights" + meta + " status=playing\r\n");
    EXPECT_FALSE(radio.statusInTransition());
    const QString address = QStringLiteral("http://streams.example.net/classic-rock.mp3");
    EXPECT_EQ(radio.takeConsoleLines(),
              (QStringList{QStringLiteral("cURL: ") + address,
                           QStringLiteral("Starting mplayer : [mplayer -quiet -cache 320 ") + address + "]",
                           QStringLiteral("ICY Info: StreamTitle='The Amplifiers - Highway Lights';StreamUrl='") +
                               address + "';StreamUTC='2026-12-06T13:45:00';",
                           QStringLiteral("load coverart [/tmp/coverart/classic-rock.jpg]"),
                           QStringLiteral("Check ID3 on: [") + address + "]", QStringLiteral("Playing ") + address}));
    using S = RadioModel::Status;
    walk(radio, &RadioModel::status, {{"RECORD", S::Recording}, {"PAUSE", S::Paused}, {"PAUSE", S::Resuming}});
    radio.advanceStatus();
    // Leaving the screen keeps the music going; STOP from elsewhere ends it.
    press(radio, QStringLiteral("EXIT"));
    EXPECT_TRUE(radio.screen() == 0 && radio.status() == S::Playing);
    walk(radio, &RadioModel::screen, {{"STOP", 0}});
    EXPECT_EQ(radio.takeConsoleLines(), QStringList{QStringLiteral("unload coverart")});
    EXPECT_EQ(ask(radio, "METAINFO"), "Meta title= artist= album= url= status=stopped\r\n");
}

TEST(RadioModel, TheUnplayableStationShowsTheErrorScreen) {
    RadioModel radio;
    press(radio, "OK," + QStringLiteral("DOWN,").repeated(13) + "OK");
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=21 mp=1 ms=1 title=Station unavailable\r\n");
    EXPECT_EQ(ask(radio, "METAINFO"), "Meta title= artist= album= url= status=stopped\r\n");
    EXPECT_FALSE(radio.statusInTransition());
    // Only STOP and EXIT leave the error screen.
    walk(radio, &RadioModel::screen, {{"UP,OK", 21}, {"STOP", 3}});
    EXPECT_EQ(radio.listPosition(), 13);
    walk(radio, &RadioModel::screen, {{"OK,EXIT", 3}});
}

TEST(RadioModel, StandbyIgnoresEverythingButPower) {
    RadioModel radio;
    press(radio, QStringLiteral("OK,OK")); // playing the first station
    ASSERT_EQ(radio.status(), RadioModel::Status::Connecting);
    press(radio, QStringLiteral("POWER"));
    EXPECT_EQ(ask(radio, "STATE"), "STATE=OFF\r\n");
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=34 mp=1 ms=1 title=Standby\r\n");
    EXPECT_EQ(radio.status(), RadioModel::Status::Stopped) << "night mode ends playback";
    press(radio, QStringLiteral("HOME,DOWN,OK,VOLp,MUTE,EXIT"));
    EXPECT_EQ(ask(radio, "MESSAGE dark"), "OK\r\n");
    EXPECT_EQ((std::tuple{radio.screen(), radio.volume(), radio.mainMenuItem()}), (std::tuple{34, 20, 1}));
    press(radio, QStringLiteral("POWER"));
    EXPECT_EQ(ask(radio, "STATE"), "STATE=ON\r\n");
    EXPECT_EQ(radio.screen(), 0);
}

TEST(RadioModel, AMessageStaysUntilTheNextKeyWhichDoesNothingElse) {
    RadioModel radio;
    press(radio, QStringLiteral("OK,DOWN"));
    EXPECT_EQ(ask(radio, "MESSAGE Back in 5 minutes"), "OK\r\n");
    EXPECT_EQ(ask(radio, "MINFO"), "Menu state=30 mp=1 ms=1 title=Back in 5 minutes\r\n");
    EXPECT_EQ(radio.lastMessage(), QStringLiteral("Back in 5 minutes"));
    EXPECT_EQ(ask(radio, "MESSAGE second"), "OK\r\n");
    press(radio, QStringLiteral("DOWN"));
    EXPECT_EQ((std::pair{radio.screen(), radio.listPosition()}), (std::pair{3, 1}));
    walk(radio, &RadioModel::screen, {{"HOME", 0}});
}

TEST(CommandLog, EscapesLineEndsTabsAndBackslashes) {
    EXPECT_EQ(CommandLog::formatLine(1234, 8080, 7, QByteArray("MESSAGE a\tb\\c\r\nd\xe9")),
              QByteArray("1234\t8080\t7\tMESSAGE a\\tb\\\\c\\r\\nd\xe9\n"));
    EXPECT_EQ(CommandLog::escape(QByteArray()), QByteArray());
}
