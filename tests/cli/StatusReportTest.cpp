#include "cli/StatusReport.h"

#include "session/RadioStatus.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

// The status on the radio's station list while a station plays.
RadioStatus stationList() {
    RadioStatus s;
    s.health = LinkHealth::Answers;
    s.power = "on";
    s.volume = 35;
    s.version = "3.1.7";
    s.screen = 3;
    s.screenName = "Station List";
    s.menuItem = 1;
    s.menuItemName = "Stations";
    s.listPosition = 10;
    s.listEntry = "Jazz FM Lounge";
    s.playing = {"Blue Corner", "Miles Avenue", "Late Sets", "http://streams.example.net/jazz.mp3",
                 "playing",     false,          true};
    return s;
}

} // namespace

TEST(StatusReport, EveryValueForAPersonAndForAProgram) {
    const StatusReport r = MakeStatusReport("127.0.0.1:8080", stationList());
    EXPECT_TRUE(r.answers);
    EXPECT_EQ(StatusText(r).toStdString(), "Radio:      127.0.0.1:8080 (answers)\n"
                                           "Power:      on\n"
                                           "Volume:     35\n"
                                           "Screen:     3 Station List\n"
                                           "Menu item:  1 Stations\n"
                                           "List entry: 10 Jazz FM Lounge\n"
                                           "Playing:    Miles Avenue - Blue Corner\n"
                                           "Player:     playing\n"
                                           "Album:      Late Sets\n"
                                           "Stream:     http://streams.example.net/jazz.mp3\n"
                                           "Version:    3.1.7\n");
    EXPECT_EQ(StatusLine(r).toStdString(), "power on, volume 35, screen 3 Station List, item 1 Stations, "
                                           "list 10 Jazz FM Lounge, playing Miles Avenue - Blue Corner (playing)");

    // The same values for a program, through a round trip of the printed text.
    const QJsonObject json = QJsonDocument::fromJson(QJsonDocument(StatusJson(r)).toJson()).object();
    EXPECT_EQ(json["volume"].toInt(), 35);
    EXPECT_EQ(json["screen"].toInt(), 3);
    EXPECT_EQ(json["screenName"].toString(), "Station List");
    EXPECT_EQ(json["listEntry"].toString(), "Jazz FM Lounge");
    EXPECT_EQ(json["playing"].toObject()["title"].toString(), "Blue Corner");
    EXPECT_TRUE(json["answers"].toBool());
}

TEST(StatusReport, UnknownValuesPrintAsSuch) {
    RadioStatus s = stationList();
    s.health = LinkHealth::Offline;
    s.volume.reset();
    s.screen.reset();
    s.screenName.clear();
    s.version.clear();
    s.listPosition.reset();
    s.listEntry.clear();
    s.playing = {};
    const StatusReport r = MakeStatusReport("127.0.0.1:8080", s);
    EXPECT_FALSE(r.answers);

    const QString text = StatusText(r);
    EXPECT_TRUE(text.contains("(does not answer)"));
    EXPECT_TRUE(text.contains("Volume:    -\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Screen:    -\n")) << text.toStdString();
    EXPECT_FALSE(text.contains("List entry"));
    EXPECT_TRUE(StatusLine(r).startsWith("no answer from 127.0.0.1:8080, power on"));

    const QJsonObject json = StatusJson(r);
    for (const char *key : {"volume", "screen", "screenName", "listPosition", "listEntry", "version"}) {
        EXPECT_TRUE(json[key].isNull()) << key;
    }
    EXPECT_TRUE(json["playing"].toObject()["status"].isNull());
}
