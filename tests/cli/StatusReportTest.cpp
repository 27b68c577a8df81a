#include "cli/StatusReport.h"

#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/SkinTables.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

// The state as the decoder leaves it on the radio's station list while a station plays.
struct Decoded {
    RadioState state;
    LinkView view;
    SkinTables skin;

    Decoded() {
        state.PowerState = "ON";
        state.VolumeText = "35";
        state.VersionText = "3.1.7";
        state.MenuState = "3";
        state.SelectedMenuItem = "1";
        state.SelectedListItem = "3";
        skin.StateTable[3] = StateTableEntry{"STATIONS", "Station List", "stationlist", "I"};
        skin.MenuTable[1] = MenuTableEntry{"320x240/menu/stations", "Stations", "3"};
        view.LinkHealth = "Radio answers (last reply 07:00:01)";
        view.InfoListEnabled = true;
        view.InfoList = QStringList{"List - Updated 07:00:01", "pos=10 (3)", "1=Blues Radio", "2=Classic FM",
                                    "3=Jazz FM Lounge",        "4=News 24"};
        view.MetaList = QStringList{"Meta - Updated 07:00:01",
                                    "title=Blue Corner",
                                    "artist=Miles Avenue",
                                    "album=Late Sets",
                                    "url=http://streams.example.net/jazz.mp3",
                                    "status=playing"};
    }
    StatusReport report() const { return MakeStatusReport("127.0.0.1:8080", state, view, skin); }
};

} // namespace

TEST(StatusReport, DecodedStateWithTheSkinsNames) {
    const Decoded d;
    const StatusReport r = d.report();
    EXPECT_TRUE(r.answers);
    EXPECT_EQ(r.power, "on");
    EXPECT_EQ(r.volume, 35);
    EXPECT_EQ(r.screen, 3);
    EXPECT_EQ(r.screenName, "Station List");
    EXPECT_EQ(r.menuItemName, "Stations");
    EXPECT_EQ(r.listPosition, 10);
    EXPECT_EQ(r.listEntry, "Jazz FM Lounge");
    EXPECT_EQ(r.playing.artist, "Miles Avenue");
    EXPECT_EQ(r.playing.status, "playing");

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

TEST(StatusReport, UnknownAndGarbledValuesAreNotGuessed) {
    Decoded d;
    d.state.VolumeText = "loud"; // garbled
    d.state.MenuState.clear();   // the decoder's answer to a screen number of more than four characters
    d.state.VersionText.clear();
    d.view.InfoListEnabled = false; // not a list screen: the rows left from the last one say nothing
    d.view.MetaList.clear();
    d.view.RadioOffline = true;
    const StatusReport r = d.report();
    EXPECT_FALSE(r.answers);
    EXPECT_FALSE(r.volume);
    EXPECT_FALSE(r.screen);
    EXPECT_TRUE(r.screenName.isEmpty());
    EXPECT_FALSE(r.listPosition);
    EXPECT_TRUE(r.listEntry.isEmpty());

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

    // A screen number beyond the skin's tables has no name but is still the radio's number.
    d.state.MenuState = "250";
    EXPECT_EQ(d.report().screen, 250);
    EXPECT_TRUE(d.report().screenName.isEmpty());
}
