#include "mpris/MediaPlayer.h"

#include "mpris/PlayerRadio.h"
#include "session/InfoPanel.h"

#include <QDateTime>
#include <QDBusObjectPath>
#include <QDir>
#include <QSignalSpy>
#include <QUrl>

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

QString trackId(const QVariantMap &metadata) {
    return metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
}

} // namespace

TEST(MediaPlayer, StatusAndWhatTheKeysCanDoFollowTheMetaStatus) {
    // CanPlay and CanPause say whether the player can be paused or resumed at all, whichever way
    // it would act now: while a station starts it can (the pause waits for it to play).
    struct Case {
        const char *status;
        const char *shown;
        bool canPause;
    };
    const Case cases[] = {
        {"playing", "Playing", true},       {"recording", "Playing", true}, {"connecting", "Playing", true},
        {"resolving url", "Playing", true}, {"caching", "Playing", true},   {"resuming", "Playing", true},
        {"paused", "Paused", true},         {"stopped", "Stopped", false},  {"something new", "Stopped", false},
    };
    for (const Case &c : cases) {
        Radio radio;
        radio.playing(QString::fromLatin1(c.status));
        const QVariantMap all = radio.player->playerProperties();
        EXPECT_EQ(all.value("PlaybackStatus").toString(), c.shown) << c.status;
        EXPECT_EQ(radio.player->playbackStatus(), c.shown) << c.status;
        EXPECT_EQ(all.value("CanPlay").toBool(), c.canPause) << c.status;
        EXPECT_EQ(all.value("CanPause").toBool(), c.canPause) << c.status;
        EXPECT_TRUE(all.value("CanControl").toBool());
        for (const char *never : {"CanGoNext", "CanGoPrevious", "CanSeek"}) {
            EXPECT_FALSE(all.value(never).toBool()) << never;
        }
        EXPECT_EQ(all.value("Rate").toDouble(), 1.0);
        EXPECT_EQ(all.value("Position").toLongLong(), 0);
    }
}

TEST(MediaPlayer, OnlyTheNowPlayingScreenAndAnAnsweringRadioTellWhatPlays) {
    Radio radio;
    EXPECT_EQ(radio.player->playbackStatus(), "Stopped"); // no meta yet
    radio.playing(QStringLiteral("playing"));
    ASSERT_EQ(radio.player->playbackStatus(), "Playing");

    // Back on the station list the meta is no longer asked for: its last copy says nothing.
    radio.reply(QStringLiteral("Menu state=3 mp=1 ms=1 title=Stations\r\n"));
    EXPECT_EQ(radio.player->playbackStatus(), "Stopped");
    EXPECT_FALSE(radio.player->nowPlaying().canStop);

    radio.playing(QStringLiteral("playing"));
    radio.link().view.RadioOffline = true;
    radio.link().view.touch();
    radio.link().view.flush();
    EXPECT_EQ(radio.player->playbackStatus(), "Stopped");
}

TEST(MediaPlayer, MetadataNamesTheTrackAndTheCoverWhileTheScreenShowsIt) {
    Radio radio;
    const QVariantMap nothing = radio.player->metadata();
    EXPECT_EQ(nothing.keys(), QStringList{"mpris:trackid"});
    EXPECT_EQ(trackId(nothing), Mpris::NoTrack);

    radio.playing(QStringLiteral("playing"));
    const QVariantMap data = radio.player->metadata();
    EXPECT_EQ(data.value("xesam:title").toString(), "Blue in Green");
    EXPECT_EQ(data.value("xesam:artist").toStringList(), QStringList{"Miles Davis"});
    EXPECT_EQ(data.value("xesam:album").toString(), "Kind of Blue");
    EXPECT_EQ(data.value("xesam:url").toString(), "http://jazz.example/live");
    // The default skin's now-playing screen shows the program folder's cover picture.
    const QString cover = QDir(radio.dir.path()).filePath(QStringLiteral("coverart.png"));
    ASSERT_TRUE(QFile::exists(cover));
    EXPECT_EQ(data.value("mpris:artUrl").toString(), QUrl::fromLocalFile(cover).toString());
    EXPECT_TRUE(data.value("mpris:artUrl").toString().startsWith("file:///"));

    // A valid object path of its own, the same while the track stays, another for the next one.
    const QString id = trackId(data);
    EXPECT_TRUE(QDBusObjectPath(id).path() == id && !id.isEmpty() && !id.startsWith("/org/mpris")) << id.toStdString();
    radio.playing(QStringLiteral("paused"));
    EXPECT_EQ(trackId(radio.player->metadata()), id);
    radio.playing(QStringLiteral("playing"), QStringLiteral("So What"));
    EXPECT_NE(trackId(radio.player->metadata()), id);

    // Without the picture there is no cover to name; nothing plays, nothing but the empty track.
    ASSERT_TRUE(QFile::remove(cover));
    radio.playing(QStringLiteral("playing"), QStringLiteral("Freddie Freeloader"));
    EXPECT_FALSE(radio.player->metadata().contains("mpris:artUrl"));
    radio.playing(QStringLiteral("stopped"));
    EXPECT_EQ(radio.player->metadata().keys(), QStringList{"mpris:trackid"});
}

TEST(MediaPlayer, VolumeIsTheReportedOneAndMovesAsTheSlidersDoes) {
    Radio radio;
    EXPECT_EQ(radio.player->volume(), 0.0); // not reported yet
    radio.reply(QStringLiteral("VOL=20\r\n"));
    EXPECT_DOUBLE_EQ(radio.player->volume(), 0.2);

    // Each value as the slider placed at the rounded position sends it: 33 goes to 35.
    struct Case {
        double fraction;
        int slider;
    };
    for (const Case c : {Case{0.33, 33}, Case{0.5, 50}, Case{0.024, 2}, Case{1.7, 100}, Case{-0.5, 0}}) {
        Radio viaSlider;
        viaSlider.reply(QStringLiteral("VOL=20\r\n"));
        viaSlider.clear();
        viaSlider.session->infoPanel().VolumeAdjuster_Change(c.slider);

        radio.clear();
        radio.link().view.VolumeAdjusterEnabled = true;
        radio.player->setVolume(c.fraction);
        EXPECT_EQ(radio.sent(), viaSlider.sent()) << c.fraction;
        EXPECT_FALSE(radio.sent().isEmpty()) << c.fraction;
        // The slider waits for the radio's answer, as after a move by hand.
        EXPECT_FALSE(radio.link().view.VolumeAdjusterEnabled) << c.fraction;
    }
    radio.clear();
    radio.player->setVolume(0.33);
    EXPECT_EQ(radio.sent(), QStringList({"VOLp", Q, "VOLp", Q, "VOLp", Q}));

    radio.clear();
    radio.player->setVolume(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(radio.sent().isEmpty() && radio.asked().isEmpty());

    // Already there: nothing to press; the panel asks the radio where it is instead.
    radio.player->setVolume(0.21);
    EXPECT_TRUE(radio.sent().isEmpty());
    EXPECT_EQ(radio.asked(), QStringList{"VOLUME"});
}

TEST(MediaPlayer, MethodsPressTheRemotesKeysOnlyWhereTheyAct) {
    struct Case {
        const char *status;
        QStringList playPause, play, pause, stop;
    };
    const QStringList none;
    const QStringList pause{"PAUSE", Q};
    const QStringList stop{"STOP", Q};
    const Case cases[] = {
        {"playing", pause, none, pause, stop}, {"recording", pause, none, pause, stop},
        {"paused", pause, pause, none, stop},  {"caching", none, none, none, stop},
        {"stopped", none, none, none, none},
    };
    for (const Case &c : cases) {
        const auto keysOf = [&c](void (MediaPlayer::*method)()) {
            Radio radio;
            radio.playing(QString::fromLatin1(c.status));
            radio.clear();
            radio.link().telnet.QueueCommand(1, QStringLiteral("METAINFO"));
            (radio.player.get()->*method)();
            const QStringList keys = radio.sent();
            // Sent as a click on the remote sends a key: the polls queued before it go.
            EXPECT_EQ(radio.asked().isEmpty(), !keys.isEmpty());
            return keys;
        };
        EXPECT_EQ(keysOf(&MediaPlayer::playPause), c.playPause) << c.status;
        EXPECT_EQ(keysOf(&MediaPlayer::play), c.play) << c.status;
        EXPECT_EQ(keysOf(&MediaPlayer::pause), c.pause) << c.status;
        EXPECT_EQ(keysOf(&MediaPlayer::stop), c.stop) << c.status;
    }
    // Off the now-playing screen no key acts on the player.
    Radio radio;
    radio.playing(QStringLiteral("playing"));
    radio.reply(QStringLiteral("Menu state=0 mp=1 ms=1 title=Main menu\r\n"));
    radio.clear();
    radio.player->playPause();
    radio.player->stop();
    EXPECT_TRUE(radio.sent().isEmpty());
}

// A pause or play counts until the radio reports where it led, or a few seconds pass: a second
// Pause within a poll does nothing, instead of resuming what the first paused. A pause asked
// for while a station starts goes once it plays, and not at all when it does not in time.
TEST(MediaPlayer, AKeysStatusCountsUntilTheRadioReportsIt) {
    Radio radio;
    radio.playing(QStringLiteral("playing"));
    radio.clear();
    radio.player->pause();
    EXPECT_EQ(radio.player->playbackStatus(), "Paused");
    radio.player->pause();
    radio.playing(QStringLiteral("playing")); // a poll sent before the key
    radio.player->pause();
    EXPECT_EQ(radio.sent(), (QStringList{"PAUSE", Q}));
    radio.playing(QStringLiteral("paused"));
    radio.player->playPause();
    EXPECT_EQ(radio.sent(), (QStringList{"PAUSE", Q, "PAUSE", Q}));
    EXPECT_EQ(radio.player->playbackStatus(), "Playing");
    // Not confirmed in time: the radio's word counts again.
    radio.platform.fakeClock.advance(4000);
    EXPECT_EQ(radio.player->playbackStatus(), "Paused");

    Radio starting;
    starting.playing(QStringLiteral("connecting"));
    starting.clear();
    ASSERT_TRUE(starting.player->nowPlaying().canPause);
    starting.player->playPause();
    EXPECT_EQ(starting.player->playbackStatus(), "Paused");
    starting.playing(QStringLiteral("caching"));
    EXPECT_TRUE(starting.sent().isEmpty());
    starting.playing(QStringLiteral("playing"));
    EXPECT_EQ(starting.sent(), (QStringList{"PAUSE", Q}));
    EXPECT_EQ(starting.player->playbackStatus(), "Paused");

    Radio slow;
    slow.playing(QStringLiteral("connecting"));
    slow.clear();
    slow.player->pause();
    slow.platform.fakeClock.advance(4000);
    slow.playing(QStringLiteral("playing"));
    EXPECT_TRUE(slow.sent().isEmpty());
    EXPECT_EQ(slow.player->playbackStatus(), "Playing");
}

TEST(MediaPlayer, AnnouncesWhatChangedAndNothingElse) {
    Radio radio;
    QSignalSpy spy(radio.player.get(), &MediaPlayer::propertiesChanged);
    const auto changes = [&spy] {
        QStringList names;
        for (const QList<QVariant> &signal : std::as_const(spy)) {
            EXPECT_EQ(signal.at(0).toString(), Mpris::PlayerInterface);
            names << signal.at(1).toMap().keys();
        }
        spy.clear();
        return names;
    };

    radio.reply(QStringLiteral("VOL=20\r\n"));
    EXPECT_EQ(changes(), QStringList{"Volume"});
    radio.reply(QStringLiteral("VOL=20\r\n"));
    EXPECT_EQ(changes(), QStringList());

    radio.playing(QStringLiteral("connecting"));
    ASSERT_EQ(spy.size(), 1); // several values, one signal
    EXPECT_EQ(changes(), QStringList({"CanPause", "CanPlay", "Metadata", "PlaybackStatus"}));
    radio.playing(QStringLiteral("playing"));
    EXPECT_EQ(changes(), QStringList());
    // The same meta again (its head row tells a new time): nothing to say.
    radio.platform.fakeWallClock.set(QDateTime(QDate(2026, 5, 1), QTime(12, 0)));
    radio.playing(QStringLiteral("playing"));
    radio.reply(QStringLiteral("Menu state=5 mp=1 ms=1 title=Now playing\r\n"));
    EXPECT_EQ(changes(), QStringList());

    radio.playing(QStringLiteral("paused"));
    const QVariantMap paused = spy.isEmpty() ? QVariantMap() : spy.first().at(1).toMap();
    EXPECT_EQ(changes(), QStringList{"PlaybackStatus"});
    EXPECT_EQ(paused.value("PlaybackStatus").toString(), "Paused");

    radio.playing(QStringLiteral("paused"), QStringLiteral("So What"));
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.first().at(1).toMap().value("Metadata").toMap().value("xesam:title").toString(), "So What");
    EXPECT_EQ(changes(), QStringList{"Metadata"});

    radio.reply(QStringLiteral("Menu state=3 mp=1 ms=1 title=Stations\r\n"));
    EXPECT_EQ(changes(), QStringList({"CanPause", "CanPlay", "Metadata", "PlaybackStatus"}));
    radio.reply(QStringLiteral("VOL=25\r\nMenu state=3 mp=1 ms=2 title=Stations\r\n"));
    EXPECT_EQ(changes(), QStringList{"Volume"});
}
