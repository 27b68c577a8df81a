#include "app/Program.h"
#include "main_window/MainWindow.h"
#include "mpris/MediaPlayer.h"
#include "mpris/MprisService.h"
#include "session/RadioSession.h"

#include <atomic>

// The media player on the session bus (media keys, the desktop's player widgets, playerctl):
// Raise brings the main window to the front, Quit closes it as the user does. The bus is
// reached on a thread of its own; without one, or with the name taken, the program runs as
// before and the terminal view says why, once.
void Program::wireMpris() {
    static std::atomic<int> connections = 0;
    m_mpris = std::make_unique<QObject>();
    QObject *context = m_mpris.get();
    auto *player = new MediaPlayer(*m_session, QStringLiteral(CV_APP_ID), context);
    auto *service = new MprisService(*player, context);
    connect(player, &MediaPlayer::raiseRequested, context, [this] { m_main->bringToFront(); });
    // Not within the bus call, and not on the player's context: the close takes the player, its
    // bus object and that context away.
    connect(
        player, &MediaPlayer::quitRequested, this, [this] { Close(); }, Qt::QueuedConnection);

    auto *connector = new SessionBusConnector(QStringLiteral("cvremote-mpris-%1").arg(++connections), context);
    connect(connector, &SessionBusConnector::done, context,
            [this, connector, service](bool connected, const QString &error) {
                const QString why = connected ? service->registerOn(QDBusConnection(connector->connectionName()))
                                              : QStringLiteral("no D-Bus session bus (%1)").arg(error);
                if (!why.isEmpty()) {
                    m_session->notice(MprisOffNotice(why));
                }
            });
    connector->start();
}
