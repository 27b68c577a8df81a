#include "mpris/MediaPlayer.h"

#include "platform/Platform.h"
#include "session/RadioSession.h"

#include <QCryptographicHash>
#include <QDBusObjectPath>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

PlaybackStatus statusOf(const RadioStatus::Playing &playing) {
    const QString word = playing.status.toLower();
    if (word == u"paused") {
        return PlaybackStatus::Paused;
    }
    if (word == u"playing" || word == u"recording" || playing.startingUp) {
        return PlaybackStatus::Playing;
    }
    return PlaybackStatus::Stopped;
}

// An object path naming the track: the same track gives the same path, another track another.
QString trackIdOf(const NowPlaying &playing) {
    if (playing.status == PlaybackStatus::Stopped) {
        return Mpris::NoTrack;
    }
    const QByteArray key = QStringList{playing.title, playing.artist, playing.album, playing.url}.join(u'\n').toUtf8();
    return QStringLiteral("/io/github/cvremote/CVRemote/track/t") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

} // namespace

QString PlaybackStatusName(PlaybackStatus status) {
    switch (status) {
    case PlaybackStatus::Playing:
        return QStringLiteral("Playing");
    case PlaybackStatus::Paused:
        return QStringLiteral("Paused");
    case PlaybackStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

NowPlaying ReadNowPlaying(const RadioStatus &status) {
    NowPlaying playing;
    const RadioStatus::Playing &reported = status.playing;
    if (!reported.live) {
        return playing;
    }
    playing.status = statusOf(reported);
    if (playing.status == PlaybackStatus::Stopped) {
        return playing;
    }
    // While a station starts the player shows as playing, so it can be paused too: the pause is
    // held until the radio plays (see MediaPlayer::pause).
    playing.canPause = true;
    playing.startingUp = reported.startingUp;
    playing.canStop = true;
    playing.title = reported.title;
    playing.artist = reported.artist;
    playing.album = reported.album;
    playing.url = reported.url;
    return playing;
}

// What the player interface shows, in a form that compares by value.
struct MediaPlayer::Snapshot {
    NowPlaying playing;
    QString cover;
    double volume = 0;

    bool operator==(const Snapshot &) const = default;
};

MediaPlayer::MediaPlayer(RadioSession &session, QString desktopEntry, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_desktopEntry(std::move(desktopEntry))
    , m_expectTimer(session.platform().createTimer())
    , m_announced(std::make_unique<Snapshot>(snapshot())) {
    connect(&session, &RadioSession::statusChanged, this, &MediaPlayer::statusChanged);
    connect(m_expectTimer.get(), &Timer::timeout, this, &MediaPlayer::Expect_Timer);
}

MediaPlayer::~MediaPlayer() = default;

NowPlaying MediaPlayer::nowPlaying() const {
    NowPlaying playing = ReadNowPlaying(m_session.status());
    // After a play or pause key the status it leads to counts until the radio reports it, or
    // for a few seconds: a second Pause within a poll must not resume what the first paused.
    if (m_expected && playing.status != PlaybackStatus::Stopped) {
        playing.status = *m_expected;
    }
    return playing;
}

void MediaPlayer::expect(PlaybackStatus status) {
    m_expected = status;
    m_expectTimer->setEnabled(false);
    m_expectTimer->setInterval(ExpectMs);
    m_expectTimer->setEnabled(true);
    refresh();
}

void MediaPlayer::Expect_Timer() {
    m_expectTimer->setEnabled(false);
    m_expected.reset();
    m_pauseWhenPlaying = false;
    refresh();
}

void MediaPlayer::statusChanged() {
    const NowPlaying reported = ReadNowPlaying(m_session.status());
    if (m_pauseWhenPlaying && reported.status == PlaybackStatus::Playing && !reported.startingUp) {
        // The station plays now: the pause asked for while it started goes.
        m_pauseWhenPlaying = false;
        press(QStringLiteral("PAUSE"));
    } else if (m_expected && !m_pauseWhenPlaying &&
               (reported.status == *m_expected || reported.status == PlaybackStatus::Stopped)) {
        m_expected.reset(); // the radio has caught up
        m_expectTimer->setEnabled(false);
    }
    refresh();
}

MediaPlayer::Snapshot MediaPlayer::snapshot() const {
    Snapshot now;
    now.playing = nowPlaying();
    if (now.playing.status != PlaybackStatus::Stopped) {
        now.cover = m_session.status().coverFile;
    }
    now.volume = std::clamp(m_session.status().volume.value_or(0), 0, 100) / 100.0;
    return now;
}

QString MediaPlayer::playbackStatus() const {
    return PlaybackStatusName(nowPlaying().status);
}

namespace {

QVariantMap metadataOf(const NowPlaying &playing, const QString &cover) {
    QVariantMap data;
    data.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackIdOf(playing))));
    if (playing.status == PlaybackStatus::Stopped) {
        return data;
    }
    const auto put = [&data](const QString &key, const QString &value) {
        if (!value.isEmpty()) {
            data.insert(key, value);
        }
    };
    put(QStringLiteral("xesam:title"), playing.title);
    if (!playing.artist.isEmpty()) {
        data.insert(QStringLiteral("xesam:artist"), QStringList{playing.artist});
    }
    put(QStringLiteral("xesam:album"), playing.album);
    put(QStringLiteral("xesam:url"), playing.url);
    if (!cover.isEmpty()) {
        data.insert(QStringLiteral("mpris:artUrl"), QUrl::fromLocalFile(cover).toString());
    }
    return data;
}

} // namespace

QVariantMap MediaPlayer::metadata() const {
    const Snapshot now = snapshot();
    return metadataOf(now.playing, now.cover);
}

double MediaPlayer::volume() const {
    return snapshot().volume;
}

void MediaPlayer::setVolume(double fraction) {
    if (std::isnan(fraction)) {
        return;
    }
    const int position = int(std::lround(std::clamp(fraction, 0.0, 1.0) * 100));
    m_session.setVolume(position);
}

void MediaPlayer::press(const QString &key) {
    m_session.pressKey(key);
}

void MediaPlayer::playPause() {
    const NowPlaying playing = nowPlaying();
    if (playing.status == PlaybackStatus::Paused) {
        play();
    } else if (playing.status == PlaybackStatus::Playing) {
        pause();
    }
}

void MediaPlayer::play() {
    const NowPlaying playing = nowPlaying();
    if (!playing.canPause || playing.status != PlaybackStatus::Paused) {
        return;
    }
    if (m_pauseWhenPlaying) {
        m_pauseWhenPlaying = false; // the held pause is taken back: it never went
    } else {
        press(QStringLiteral("PAUSE"));
    }
    expect(PlaybackStatus::Playing);
}

void MediaPlayer::pause() {
    const NowPlaying playing = nowPlaying();
    if (!playing.canPause || playing.status != PlaybackStatus::Playing) {
        return;
    }
    // The radio takes PAUSE only once it plays; while a station starts the pause waits for that
    // (a few seconds at most).
    if (playing.startingUp) {
        m_pauseWhenPlaying = true;
    } else {
        press(QStringLiteral("PAUSE"));
    }
    expect(PlaybackStatus::Paused);
}

void MediaPlayer::stop() {
    if (nowPlaying().canStop) {
        m_pauseWhenPlaying = false;
        m_expected.reset();
        m_expectTimer->setEnabled(false);
        press(QStringLiteral("STOP"));
    }
}

QVariantMap MediaPlayer::changedBetween(const Snapshot &before, const Snapshot &after) {
    QVariantMap changed;
    if (before.playing.status != after.playing.status) {
        changed.insert(QStringLiteral("PlaybackStatus"), PlaybackStatusName(after.playing.status));
    }
    // A change between playing and paused keeps the track; one to or from stopped does not.
    const auto stopped = [](const Snapshot &s) { return s.playing.status == PlaybackStatus::Stopped; };
    if (stopped(before) != stopped(after) ||
        std::tie(before.playing.title, before.playing.artist, before.playing.album, before.playing.url, before.cover) !=
            std::tie(after.playing.title, after.playing.artist, after.playing.album, after.playing.url, after.cover)) {
        changed.insert(QStringLiteral("Metadata"), metadataOf(after.playing, after.cover));
    }
    if (before.volume != after.volume) {
        changed.insert(QStringLiteral("Volume"), after.volume);
    }
    if (before.playing.canPause != after.playing.canPause) {
        changed.insert(QStringLiteral("CanPlay"), after.playing.canPause);
        changed.insert(QStringLiteral("CanPause"), after.playing.canPause);
    }
    return changed;
}

QVariantMap MediaPlayer::playerProperties() const {
    const Snapshot now = snapshot();
    return {
        {QStringLiteral("PlaybackStatus"), PlaybackStatusName(now.playing.status)},
        {QStringLiteral("Rate"), 1.0},
        {QStringLiteral("MinimumRate"), 1.0},
        {QStringLiteral("MaximumRate"), 1.0},
        {QStringLiteral("Metadata"), metadataOf(now.playing, now.cover)},
        {QStringLiteral("Volume"), now.volume},
        {QStringLiteral("Position"), qlonglong(0)},
        {QStringLiteral("CanGoNext"), false},
        {QStringLiteral("CanGoPrevious"), false},
        {QStringLiteral("CanPlay"), now.playing.canPause},
        {QStringLiteral("CanPause"), now.playing.canPause},
        {QStringLiteral("CanSeek"), false},
        {QStringLiteral("CanControl"), true},
    };
}

void MediaPlayer::refresh() {
    Snapshot now = snapshot();
    if (now == *m_announced) {
        return;
    }
    const QVariantMap changed = changedBetween(*m_announced, now);
    *m_announced = std::move(now);
    if (!changed.isEmpty()) {
        Q_EMIT propertiesChanged(Mpris::PlayerInterface, changed);
    }
}
