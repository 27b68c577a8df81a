#include "mpris/MprisService.h"

#include "mpris/PlayerRadio.h"
#include "mpris/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QLocalServer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");

// The values of an a{sv} as they arrive, nested maps taken out of their marshalled form.
QVariantMap mapOf(const QVariant &value) {
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>()) : value.toMap();
}

} // namespace

// What a client on the bus receives as PropertiesChanged.
class ChangeRecorder : public QObject {
    Q_OBJECT
public:
    QList<QPair<QString, QVariantMap>> changes;
    QStringList invalidated;

public Q_SLOTS:
    void changed(const QString &interface, const QVariantMap &values, const QStringList &names) {
        changes.append({interface, values});
        invalidated << names;
    }
};

// The player's bus object on a bus of the test's own, looked at by a second connection as any
// client looks at it.
class MprisServiceTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 20000;

    PrivateBus m_bus;
    int m_connections = 0;

    QDBusConnection connect(const QString &role) {
        return QDBusConnection::connectToBus(m_bus.address, role + QString::number(++m_connections));
    }
    // A call answered by this very thread: waited for in the event loop, never blocking it.
    static QDBusMessage call(QDBusConnection &client, const QString &interface, const QString &method,
                             const QVariantList &arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(Mpris::ServiceName, Mpris::ObjectPath, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = client.asyncCall(message);
        QDeadlineTimer deadline(Patience);
        while (!pending.isFinished() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        pending.waitForFinished();
        return pending.reply();
    }
    static QVariantMap getAll(QDBusConnection &client, const QString &interface) {
        const QDBusMessage reply = call(client, Properties, QStringLiteral("GetAll"), {interface});
        return reply.type() == QDBusMessage::ReplyMessage ? mapOf(reply.arguments().value(0)) : QVariantMap();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(!m_bus.address.isEmpty(), qPrintable(m_bus.error)); }

    // Every value and method as a client meets them, and PropertiesChanged exactly when a
    // value changed.
    void valuesMethodsAndChangesOnTheBus() {
        Radio radio;
        radio.reply(QStringLiteral("VOL=20\r\n"));
        QDBusConnection bus = connect(QStringLiteral("player"));
        QDBusConnection client = connect(QStringLiteral("client"));
        QVERIFY(bus.isConnected() && client.isConnected());
        {
            MprisService service(*radio.player);
            QCOMPARE(service.registerOn(bus), QString());
            QVERIFY(client.interface()->isServiceRegistered(Mpris::ServiceName));

            const QVariantMap root = getAll(client, Mpris::RootInterface);
            QCOMPARE(root.value("Identity").toString(), QStringLiteral("CV Remote"));
            QCOMPARE(root.value("DesktopEntry").toString(), QStringLiteral("io.example.Desk"));
            QVERIFY(root.value("CanQuit").toBool() && root.value("CanRaise").toBool());
            QVERIFY(!root.value("HasTrackList").toBool());
            QVERIFY(root.contains("SupportedUriSchemes") && root.contains("SupportedMimeTypes"));
            QVERIFY(root.value("SupportedUriSchemes").toStringList().isEmpty() &&
                    root.value("SupportedMimeTypes").toStringList().isEmpty());

            QVariantMap player = getAll(client, Mpris::PlayerInterface);
            QCOMPARE(player.value("PlaybackStatus").toString(), QStringLiteral("Stopped"));
            QCOMPARE(player.value("Volume").metaType(), QMetaType::fromType<double>());
            QCOMPARE(player.value("Volume").toDouble(), 0.2);
            QCOMPARE(player.value("Position").metaType(), QMetaType::fromType<qlonglong>());
            for (const char *name : {"Rate", "MinimumRate", "MaximumRate"}) {
                QCOMPARE(player.value(name).toDouble(), 1.0);
            }
            QVERIFY(player.value("CanControl").toBool() && !player.value("CanSeek").toBool());
            QCOMPARE(mapOf(player.value("Metadata")).value("mpris:trackid").value<QDBusObjectPath>().path(),
                     Mpris::NoTrack);

            ChangeRecorder recorder;
            QVERIFY(client.connect(Mpris::ServiceName, Mpris::ObjectPath, Properties,
                                   QStringLiteral("PropertiesChanged"), &recorder,
                                   SLOT(changed(QString, QVariantMap, QStringList))));

            radio.playing(QStringLiteral("playing"));
            QTRY_COMPARE_WITH_TIMEOUT(recorder.changes.size(), 1, Patience);
            QCOMPARE(recorder.changes[0].first, Mpris::PlayerInterface);
            QVariantMap changed = recorder.changes[0].second;
            QCOMPARE(changed.value("PlaybackStatus").toString(), QStringLiteral("Playing"));
            QVERIFY(changed.value("CanPause").toBool());
            const QVariantMap metadata = mapOf(changed.value("Metadata"));
            QCOMPARE(metadata.value("xesam:title").toString(), QStringLiteral("Blue in Green"));
            QCOMPARE(metadata.value("xesam:artist").toStringList(), QStringList{"Miles Davis"});
            QCOMPARE(metadata.value("mpris:trackid").metaType(), QMetaType::fromType<QDBusObjectPath>());
            QVERIFY(metadata.value("mpris:artUrl").toString().startsWith("file:///"));
            QVERIFY(recorder.invalidated.isEmpty());

            // The same again says nothing. A client hears signals in the order they were sent, so
            // the volume's signal arriving alone shows nothing went before it.
            radio.playing(QStringLiteral("playing"));
            radio.reply(QStringLiteral("VOL=20\r\n"));
            radio.reply(QStringLiteral("VOL=35\r\n"));
            QTRY_COMPARE_WITH_TIMEOUT(recorder.changes.size(), 2, Patience);
            QCOMPARE(recorder.changes[1].second, (QVariantMap{{"Volume", 0.35}}));

            // A client sets the volume as the panel's slider would: 35 to 50 is three steps of five.
            radio.clear();
            QDBusMessage reply =
                call(client, Properties, QStringLiteral("Set"),
                     {Mpris::PlayerInterface, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.5))});
            QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
            QCOMPARE(radio.sent(), QStringList({"VOLp", Q, "VOLp", Q, "VOLp", Q}));
            // A value of the wrong type is refused and moves nothing.
            radio.clear();
            reply = call(client, Properties, QStringLiteral("Set"),
                         {Mpris::PlayerInterface, QStringLiteral("Volume"),
                          QVariant::fromValue(QDBusVariant(QStringLiteral("loud")))});
            QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
            QVERIFY(radio.sent().isEmpty());

            // The methods: PlayPause pauses, Play then resumes what it paused and Pause pauses
            // again, each from the status the key before led to; the rest are answered and do
            // nothing.
            for (const char *method : {"PlayPause", "Play", "Pause", "Next", "Previous"}) {
                QCOMPARE(call(client, Mpris::PlayerInterface, QString::fromLatin1(method)).type(),
                         QDBusMessage::ReplyMessage);
            }
            QCOMPARE(call(client, Mpris::PlayerInterface, QStringLiteral("Seek"), {qlonglong(5000000)}).type(),
                     QDBusMessage::ReplyMessage);
            QCOMPARE(call(client, Mpris::PlayerInterface, QStringLiteral("SetPosition"),
                          {QVariant::fromValue(QDBusObjectPath(Mpris::NoTrack)), qlonglong(0)})
                         .type(),
                     QDBusMessage::ReplyMessage);
            QCOMPARE(
                call(client, Mpris::PlayerInterface, QStringLiteral("OpenUri"), {QStringLiteral("http://x/")}).type(),
                QDBusMessage::ReplyMessage);
            QCOMPARE(call(client, Mpris::PlayerInterface, QStringLiteral("Stop")).type(), QDBusMessage::ReplyMessage);
            QCOMPARE(radio.sent(), QStringList({"PAUSE", Q, "PAUSE", Q, "PAUSE", Q, "STOP", Q}));

            QSignalSpy raised(radio.player.get(), &MediaPlayer::raiseRequested);
            QSignalSpy quit(radio.player.get(), &MediaPlayer::quitRequested);
            QCOMPARE(call(client, Mpris::RootInterface, QStringLiteral("Raise")).type(), QDBusMessage::ReplyMessage);
            QCOMPARE(call(client, Mpris::RootInterface, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
            QCOMPARE(raised.size(), 1);
            QCOMPARE(quit.size(), 1);
            // The two before, and the status each of the three pause keys leads to.
            QCOMPARE(recorder.changes.size(), 5);
        }
        // Gone from the bus with the service.
        QVERIFY(!client.interface()->isServiceRegistered(Mpris::ServiceName));
        QDBusConnection::disconnectFromBus(bus.name());
        QDBusConnection::disconnectFromBus(client.name());
    }

    // A bus is only connected to once it answers: one that takes the connection and says nothing
    // would hold up every use of the bus in the program, its end included.
    void onlyABusThatAnswersIsConnectedTo() {
        QCOMPARE(SessionBusProblem(m_bus.address, Patience), QString());
        // Several addresses: the first that takes the connection decides.
        QTemporaryDir dir;
        const QString missing = QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("none"));
        QCOMPARE(SessionBusProblem(missing + QLatin1Char(';') + m_bus.address, Patience), QString());
        QVERIFY(SessionBusProblem(missing, Patience).startsWith(missing + QStringLiteral(": ")));

        QLocalServer silentLocal;
        QVERIFY(silentLocal.listen(dir.filePath(QStringLiteral("silent"))));
        QTcpServer silentTcp;
        QVERIFY(silentTcp.listen(QHostAddress::LocalHost));
        for (const QString &address :
             QStringList{QStringLiteral("unix:path=") + silentLocal.fullServerName(),
                         QStringLiteral("tcp:host=127.0.0.1,port=%1").arg(silentTcp.serverPort())}) {
            QCOMPARE(SessionBusProblem(address, 200),
                     QStringLiteral("the bus at %1 took the connection, but it does not answer").arg(address));
        }
        // Transports not looked at here are left to the bus library.
        QCOMPARE(SessionBusProblem(QStringLiteral("launchd:env=SOMEWHERE"), 200), QString());
    }

    // A second copy finds the name taken and takes the name of a second instance, leaving the
    // first on the bus; when that is taken too it says so and leaves nothing behind.
    void aSecondCopyTakesAnInstanceName() {
        Radio first;
        Radio second;
        Radio third;
        QDBusConnection firstBus = connect(QStringLiteral("first"));
        QDBusConnection secondBus = connect(QStringLiteral("second"));
        QDBusConnection thirdBus = connect(QStringLiteral("third"));
        const QString instance =
            Mpris::ServiceName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
        {
            MprisService owner(*first.player);
            QCOMPARE(owner.registerOn(firstBus), QString());
            MprisService late(*second.player);
            QCOMPARE(late.registerOn(secondBus), QString());
            QCOMPARE(late.serviceName(), instance);
            QCOMPARE(secondBus.interface()->serviceOwner(Mpris::ServiceName).value(), firstBus.baseService());
            QCOMPARE(secondBus.interface()->serviceOwner(instance).value(), secondBus.baseService());
            MprisService later(*third.player);
            QCOMPARE(later.registerOn(thirdBus), QStringLiteral("another program holds the name ") + instance);
            QVERIFY(!later.registered());
            // The refused one left no object behind: its connection can take the path again.
            QVERIFY(later.registerOn(thirdBus, QStringLiteral("org.mpris.MediaPlayer2.cvremote.third")).isEmpty());
        }
        for (const QDBusConnection &bus : {firstBus, secondBus, thirdBus}) {
            QDBusConnection::disconnectFromBus(bus.name());
        }
    }
};

QTEST_GUILESS_MAIN(MprisServiceTest)
#include "MprisServiceTest.moc"
