#include "session/StatusDecoding.h"

#include "radio_link/RadioState.h"
#include "session/RadioView.h"
#include "skin/SkinTables.h"

#include <gtest/gtest.h>

namespace {

// The state as the decoder leaves it on the radio's station list while a station plays.
struct Decoded {
    RadioState state;
    RadioView view;
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
        view.MetaListEnabled = true;
        view.MetaList = QStringList{"Meta - Updated 07:00:01",
                                    "title=Blue Corner ",
                                    "artist=Miles Avenue",
                                    "album=Late Sets",
                                    "url=http://streams.example.net/jazz.mp3",
                                    "status=Connecting"};
    }
    RadioStatus status() const { return DecodeStatus(state, view, skin, false, QString()); }
};

} // namespace

TEST(StatusDecoding, TheRadiosValuesWithTheSkinsNames) {
    const RadioStatus s = Decoded().status();
    EXPECT_EQ(s.health, LinkHealth::Answers);
    EXPECT_EQ(s.power, "on");
    EXPECT_EQ(s.volume, 35);
    EXPECT_EQ(s.version, "3.1.7");
    EXPECT_EQ(s.screen, 3);
    EXPECT_EQ(s.screenName, "Station List");
    EXPECT_EQ(s.menuItem, 1);
    EXPECT_EQ(s.menuItemName, "Stations");
    // pos is shown 1-based with its place on the page; the entry is the cursor's row.
    EXPECT_EQ(s.listPosition, 10);
    EXPECT_EQ(s.listEntry, "Jazz FM Lounge");
    EXPECT_EQ(s.playing.title, "Blue Corner");
    EXPECT_EQ(s.playing.artist, "Miles Avenue");
    EXPECT_EQ(s.playing.status, "Connecting");
    EXPECT_TRUE(s.playing.startingUp && s.playing.live);
    EXPECT_TRUE(s.coverFile.isEmpty()); // the skin has no screen with a cover
}

TEST(StatusDecoding, UnknownGarbledAndOldValuesAreNotTakenForNews) {
    Decoded d;
    d.state.VolumeText = "loud"; // garbled
    d.state.MenuState.clear();   // the decoder's answer to a screen number of more than four characters
    d.state.VersionText.clear();
    d.view.InfoListEnabled = false; // not a list screen: the rows left from the last one say nothing
    RadioStatus s = d.status();
    EXPECT_FALSE(s.volume);
    EXPECT_FALSE(s.screen);
    EXPECT_TRUE(s.screenName.isEmpty());
    EXPECT_FALSE(s.listPosition);
    EXPECT_TRUE(s.listEntry.isEmpty());
    EXPECT_TRUE(s.version.isEmpty());

    // A screen number beyond the skin's tables has no name but is still the radio's number.
    d.state.MenuState = "250";
    EXPECT_EQ(d.status().screen, 250);
    EXPECT_TRUE(d.status().screenName.isEmpty());

    // What plays is live only on the now-playing screen of a radio that answers.
    d.view.MetaListEnabled = false;
    EXPECT_FALSE(d.status().playing.live);
    d.view.MetaListEnabled = true;
    d.view.RadioOffline = true;
    d.view.OfflineSince = "07:01:00";
    s = d.status();
    EXPECT_FALSE(s.playing.live);
    EXPECT_EQ(s.health, LinkHealth::Offline);
    EXPECT_EQ(s.offlineSince, "07:01:00");

    d.view.RadioOffline = false;
    d.view.LinkHealth.clear(); // nothing has come back yet
    EXPECT_EQ(d.status().health, LinkHealth::NotYetAnswered);
}
