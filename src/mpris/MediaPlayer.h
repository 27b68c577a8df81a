#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

class Timer;
class RadioSession;
struct RadioStatus;

// The names CV Remote uses on the session bus for the media-player interfaces (MPRIS 2) that
// media keys, the desktop's player widgets and playerctl talk to.
namespace Mpris {
inline const QString ServiceName = QStringLiteral("org.mpris.MediaPlayer2.cvremote");
inline const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString RootInterface = QStringLiteral("org.mpris.MediaPlayer2");
inline const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
// The track id of "nothing plays", which the interfaces reserve for that.
inline const QString NoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
} // namespace Mpris

enum class PlaybackStatus { Stopped, Playing, Paused };
QString PlaybackStatusName(PlaybackStatus status);

// What the radio plays, as the session decoded it, and what its keys can do about it.
struct NowPlaying {
    PlaybackStatus status = PlaybackStatus::Stopped;
    // PAUSE acts on it: it pauses what plays and resumes what is paused. The player interface's
    // CanPlay and CanPause both follow this: they tell whether the player can be controlled
    // that way at all, not which of the two would do something now.
    bool canPause = false;
    bool canStop = false;    // STOP stops it
    bool startingUp = false; // the radio works toward playing a station (connecting, caching...)
    QString title;
    QString artist;
    QString album;
    QString url;

    bool operator==(const NowPlaying &) const = default;
};

// The player of the radio's status. The radio only reports what plays while it shows its
// now-playing screen; elsewhere, or while the radio does not answer, what it said is an old copy
// and nothing is taken from it.
//
// The radio's statuses map to the three a media player has:
// - playing and recording play sound; connecting, resolving url, caching and resuming are the
//   steps the radio takes towards playing on its own, so a desktop shows the player as
//   playing at once instead of flickering through "stopped" while a station starts;
// - paused is paused;
// - stopped, an unknown word and no status at all are stopped.
// PAUSE acts on the radio only while it plays or records (it pauses) or is paused (it resumes),
// not while it connects, caches or resumes; the player still offers pause then and holds it
// until the radio plays. STOP acts on anything but a stopped player.
NowPlaying ReadNowPlaying(const RadioStatus &status);

// The media-player interfaces' values and methods on a radio session, without a bus: the
// adaptors that put it on the session bus only forward to it. Its values follow the session's
// status; refresh() (run on every change of it) compares them with what was last announced and
// announces only what differs. Every method that acts presses the keys a user would press on
// the remote, through the same path a click takes; one that has nothing to act on does nothing.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    // desktopEntry: the base name of the program's desktop entry.
    MediaPlayer(RadioSession &session, QString desktopEntry, QObject *parent = nullptr);
    ~MediaPlayer() override;

    // org.mpris.MediaPlayer2
    static QString identity() { return QStringLiteral("CV Remote"); }
    QString desktopEntry() const { return m_desktopEntry; }
    void raise() { Q_EMIT raiseRequested(); }
    void quit() { Q_EMIT quitRequested(); }

    // org.mpris.MediaPlayer2.Player
    NowPlaying nowPlaying() const;
    QString playbackStatus() const;
    // mpris:trackid, xesam:title, xesam:artist (a list), xesam:album, xesam:url and, while
    // the radio's screen shows a cover, mpris:artUrl (file://). Only the track id while
    // nothing plays.
    QVariantMap metadata() const;
    // The radio's reported volume as a fraction (0 before it has reported one).
    double volume() const;
    // Steers the radio's volume as the information panel's slider does: the fraction is taken
    // as a position from 0 to 100, rounded. A value that is not a number is ignored; values
    // beyond 0..1 count as the nearest end.
    void setVolume(double fraction);
    void playPause();
    void play();
    void pause();
    void stop();

    // Every value of the interface, as announced (for tests and for a first look).
    QVariantMap playerProperties() const;
    // Announces the player values that changed since the last announcement; nothing when none did.
    void refresh();

Q_SIGNALS:
    // Values of `interface` that changed, to be sent as org.freedesktop.DBus.Properties'
    // PropertiesChanged.
    void propertiesChanged(const QString &interface, const QVariantMap &changed);
    void raiseRequested();
    void quitRequested();

private:
    struct Snapshot;
    Snapshot snapshot() const;
    static QVariantMap changedBetween(const Snapshot &before, const Snapshot &after);
    void press(const QString &key);
    void expect(PlaybackStatus status);
    void Expect_Timer();
    void statusChanged();

    // How long the status a play or pause key leads to is shown before the radio reports it.
    static constexpr int ExpectMs = 4000;

    RadioSession &m_session;
    QString m_desktopEntry;
    std::unique_ptr<Timer> m_expectTimer;
    std::optional<PlaybackStatus> m_expected;
    bool m_pauseWhenPlaying = false; // a pause asked for while the station started
    std::unique_ptr<Snapshot> m_announced;
};
