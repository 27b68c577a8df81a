#pragma once

#include "mpris/MediaPlayer.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

// The two interfaces of the media player's bus object. They only forward to MediaPlayer;
// Qt answers org.freedesktop.DBus.Properties (Get, GetAll, Set) from their properties.

class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
public:
    MprisRootAdaptor(QObject *object, MediaPlayer &player)
        : QDBusAbstractAdaptor(object)
        , m_player(player) {}

    bool canQuit() const { return true; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return MediaPlayer::identity(); }
    QString desktopEntry() const { return m_player.desktopEntry(); }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }

public Q_SLOTS:
    void Raise() { m_player.raise(); }
    void Quit() { m_player.quit(); }

private:
    MediaPlayer &m_player;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate WRITE setRate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE setVolume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ no)
    Q_PROPERTY(bool CanGoPrevious READ no)
    Q_PROPERTY(bool CanPlay READ canPause)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ no)
    Q_PROPERTY(bool CanControl READ yes)
public:
    MprisPlayerAdaptor(QObject *object, MediaPlayer &player)
        : QDBusAbstractAdaptor(object)
        , m_player(player) {}

    QString playbackStatus() const { return m_player.playbackStatus(); }
    // A radio plays at its own pace: the rate is 1 and stays 1.
    double rate() const { return 1.0; }
    void setRate(double) {}
    QVariantMap metadata() const { return m_player.metadata(); }
    double volume() const { return m_player.volume(); }
    void setVolume(double fraction) { m_player.setVolume(fraction); }
    // A stream has no position to tell or seek to.
    qlonglong position() const { return 0; }
    bool canPause() const { return m_player.nowPlaying().canPause; }
    bool no() const { return false; }
    bool yes() const { return true; }

public Q_SLOTS:
    void PlayPause() { m_player.playPause(); }
    void Play() { m_player.play(); }
    void Pause() { m_player.pause(); }
    void Stop() { m_player.stop(); }
    // No next or previous station, no seeking, no addresses to open: nothing happens.
    void Next() {}
    void Previous() {}
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath &, qlonglong) {}
    void OpenUri(const QString &) {}

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    MediaPlayer &m_player;
};
