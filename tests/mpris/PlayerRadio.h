#pragma once

#include "e2e/FilledFolder.h"
#include "mpris/MediaPlayer.h"
#include "radio_link/RadioLink.h"
#include "session/RadioSession.h"
#include "support/FakePlatform.h"

#include <QTemporaryDir>

#include <memory>

inline const QString Q = QStringLiteral("QXDELAY");

// The player on a session with the default data files and fake time; the radio's replies are
// handed to the link's decoder as the connection hands them, what the player sends is read from
// the queues.
struct Radio {
    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<RadioSession> session;
    std::unique_ptr<MediaPlayer> player;

    Radio() {
        if (!FillProgramFolder(dir.path(), 1)) {
            qFatal("the program folder cannot be filled (CV_TEST_DATA: %s)",
                   qPrintable(qEnvironmentVariable("CV_TEST_DATA")));
        }
        session = std::make_unique<RadioSession>(platform, dir.path());
        session->loadSettings();
        session->loadData();
        player = std::make_unique<MediaPlayer>(*session, QStringLiteral("io.example.Desk"));
    }
    RadioLink &link() { return session->link(); }
    void reply(const QString &lines) {
        link().telnet.Channels[1].LastReply = lines;
        link().decoder.DecodeReturn();
        link().view.flush();
    }
    // The radio on its now-playing screen, reporting this meta status.
    void playing(const QString &status, const QString &title = QStringLiteral("Blue in Green")) {
        reply(QStringLiteral("Menu state=5 mp=1 ms=1 title=Now playing\r\n"
                             "Meta title=%1 artist=Miles Davis album=Kind of Blue url=http://jazz.example/live "
                             "status=%2\r\n")
                  .arg(title, status));
    }
    QStringList sent() const { return session->link().telnet.toGo(); }
    QStringList asked() const { return session->link().telnet.pending(1); }
    void clear() {
        link().telnet.ClearChannel(0);
        link().telnet.ClearChannel(1);
    }
};
